#include "ui/template_menu.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "settings/store.h"
#include "settings/templates.h"
#include "ui/screen_rules.h"
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
  // A template that silently failed to save would be lost work: say so.
  if (!saved) ShowWriteFailure(parent, QStringLiteral("The template"), CurrentTemplatePath());
  return saved;
}

}  // namespace

bool OpenTemplate(QWidget* parent, DialogValues& values) {
  const QString path = PickFile(parent, /*open=*/true, QString::fromLatin1(kOpenTemplateTitle),
                                QString::fromLatin1(kTemplateFilter));
  if (path.isEmpty()) return false;
  const std::string file = QFile::encodeName(path).toStdString();
  // A file in which no settings section is found is no template: opening it would put every
  // default into the dialog and the store.
  if (const TemplateFileCheck check = CheckTemplateFile(file);
      check != TemplateFileCheck::kUsable) {
    QMessageBox box(
        QMessageBox::Warning, QString::fromLatin1(kOpenTemplateTitle),
        QStringLiteral("%1 is not a Lumivane template.").arg(QFileInfo(path).fileName()),
        QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromStdString(TemplateFileProblem(check, file)) +
                           QStringLiteral(". Nothing was changed."));
    box.exec();
    return false;
  }
  bool loaded;
  {
    const BusyPointer busy;
    loaded = LoadTemplateIntoDialog(values, file);
  }
  if (!loaded) {
    ShowWriteFailure(parent, QStringLiteral("The template's Advanced settings"),
                     SettingsFilePath(kSettingsApp));
    return false;
  }
  CurrentTemplatePath() = file;
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
