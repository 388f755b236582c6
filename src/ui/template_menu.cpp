#include "ui/template_menu.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "settings/templates.h"
#include "ui/screens.h"

namespace lmvn::ui {
namespace {

// The hourglass while a template is read or written.
class BusyPointer {
 public:
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

bool SaveToCurrent(QWidget* parent, const DialogValues& values) {
  bool saved;
  {
    const BusyPointer busy;
    saved = SaveDialogAsTemplate(values, CurrentTemplatePath());
  }
  if (!saved) {
    // A template that silently failed to save would be lost work: say so.
    QMessageBox::warning(parent, QString::fromLatin1(kSaveTemplateTitle),
                         QStringLiteral("The template could not be saved to %1.")
                             .arg(QFile::decodeName(CurrentTemplatePath().c_str())));
  }
  return saved;
}

}  // namespace

bool OpenTemplate(QWidget* parent, DialogValues& values) {
  const QString path = PickFile(parent, /*open=*/true, QString::fromLatin1(kOpenTemplateTitle),
                                QString::fromLatin1(kTemplateFilter));
  if (path.isEmpty()) return false;
  CurrentTemplatePath() = QFile::encodeName(path).toStdString();
  const BusyPointer busy;
  LoadTemplateIntoDialog(values, CurrentTemplatePath());
  return true;
}

bool SaveTemplate(QWidget* parent, const DialogValues& values) {
  if (CurrentTemplatePath().empty()) return SaveTemplateAs(parent, values);
  return SaveToCurrent(parent, values);
}

bool SaveTemplateAs(QWidget* parent, const DialogValues& values) {
  const QString path = PickFile(parent, /*open=*/false, QString::fromLatin1(kSaveTemplateTitle),
                                QString::fromLatin1(kTemplateFilter));
  if (path.isEmpty()) return false;
  // As every save dialog does: a file that is there already is replaced only when confirmed.
  if (QFileInfo::exists(path) &&
      QMessageBox::question(parent, QString::fromLatin1(kSaveTemplateTitle),
                            QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                .arg(QFileInfo(path).fileName()),
                            QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) != QMessageBox::Yes) {
    return false;
  }
  CurrentTemplatePath() = QFile::encodeName(path).toStdString();
  return SaveToCurrent(parent, values);
}

}  // namespace lmvn::ui
