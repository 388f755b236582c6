// The program's screens, each shown modally and released when it closes, and the run state
// they share with the saver window.
#pragma once

#include <QString>

class QWidget;

namespace lmvn::ui {

enum class RunMode { Standalone = 0, Installed = 1, Saver = 2, Preview = 3 };

// The program-wide run state. Start-up sets it; the screens read and change it.
struct RunState {
  RunMode runMode = RunMode::Standalone;
  bool firstRun = false;       // no settings were ever stored
  bool exitRequested = false;  // the Properties dialog's File > Exit
  // A signal asked the whole program to end: every open screen closes as if cancelled and
  // whoever opened it returns at once, opening nothing more.
  bool quitRequested = false;
};
RunState& Run();

// The Properties dialog (frmProps). Sets Run().exitRequested for File > Exit.
void ShowPropertiesDialog(QWidget* parent);
// The Advanced dialog (frmAdvanced), from the Properties dialog's Edit menu.
void ShowAdvancedDialog(QWidget* parent);
// The Sound Effects dialog (frmSoundEffects), from the Properties dialog's Edit menu.
void ShowSoundEffectsDialog(QWidget* parent);
// The welcome screen (frmWelcome): the welcome role at first run (credits false), the About
// role from the Properties dialog's Help menu (credits true, with its Credits button).
void ShowWelcomeScreen(QWidget* parent, bool credits);
// The password dialog (frmPassChange), for "/A".
void ShowPasswordDialog(QWidget* parent);
// The file picker (frmTemplate): the chosen full path, or empty when cancelled.
// `filter` is "Description (*.ext)|*.ext|..." pairs.
QString PickFile(QWidget* parent, bool open, const QString& title, const QString& filter);

}  // namespace lmvn::ui
