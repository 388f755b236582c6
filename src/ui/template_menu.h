// The Properties dialog's File menu commands for template files. The dialog keeps its fields
// in DialogValues; after OpenTemplate it shows the values again.
#pragma once

#include <QString>

#include "settings/dialog_values.h"

class QWidget;

namespace lmvn::ui {

inline constexpr char kTemplateFilter[] = "Lumivane Templates (*.lvx)|*.lvx|All Files (*.*)|*.*";
inline constexpr char kOpenTemplateTitle[] = "Select Lumivane Template";
inline constexpr char kSaveTemplateTitle[] = "Enter or Select Lumivane Template";

// File > Open Template: picks an existing file; when one is chosen it becomes the current
// template and fills `values` (and writes its Advanced values to the store). True when a
// template was opened; false, and nothing changed, when the picker was cancelled, the file
// holds no settings section (a message box names it) or the store could not be written (a
// message box says why).
bool OpenTemplate(QWidget* parent, DialogValues& values);

// File > Save Template: saves to the current template, or asks for a file as Save Template As
// does when there is none yet. True when the template was written.
bool SaveTemplate(QWidget* parent, const DialogValues& values);

// File > Save Template As: always asks for a file name (and, for a file that exists, whether
// to replace it), then saves there and makes it the current template. True when the template
// was written; false, and nothing changed, when the user cancelled.
bool SaveTemplateAs(QWidget* parent, const DialogValues& values);

}  // namespace lmvn::ui
