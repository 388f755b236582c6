#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "settings/templates.h"
#include "settings/transfers.h"
#include "ui/file_picker.h"
#include "ui/properties_dialog.h"
#include "ui/template_menu.h"
#include "ui_test_util.h"

using lmvn::DialogValues;
using lmvn::ui::FilePicker;

namespace {

// Answers the next picker with `name` typed into its box, or cancels it when `name` is empty;
// records its caption.
void AnswerPicker(const QString& name, QString* caption) {
  lmvn::ui::test::WhenModalAppears<FilePicker>([name, caption](FilePicker* picker) {
    *caption = picker->windowTitle();
    if (name.isEmpty()) {
      picker->findChild<QPushButton*>("cmdDismiss")->click();
      return;
    }
    picker->findChild<QLineEdit*>("txtFile")->setText(name);
    picker->findChild<QPushButton*>("cmdOK")->click();
  });
}

}  // namespace

class TemplateMenuTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private slots:
  void initTestCase() {
    qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toLocal8Bit());
    FilePicker start;
    start.SetFolder(dir_.path());
    start.reject();  // the pickers below open in the test folder
  }

  void saveAsThenSaveThenOpen() {
    DialogValues values;
    values.Set("Fireworks", "FireWorks", "33");
    values.Set("General", "LockMessage", "Back soon");

    QString caption;
    AnswerPicker("night", &caption);
    QVERIFY(lmvn::ui::SaveTemplate(nullptr, values));  // no template yet: asks for one
    QVERIFY(!caption.isEmpty());
    const QString night = dir_.filePath("night.lvx");
    QCOMPARE(QString::fromStdString(lmvn::CurrentTemplatePath()), night);
    QCOMPARE(lmvn::ReadTemplateValue(night.toStdString(), "Fireworks", "FireWorks", ""), "33");

    // Save Template now writes at once, without a picker.
    values.Set("Fireworks", "FireWorks", "44");
    QVERIFY(lmvn::ui::SaveTemplate(nullptr, values));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(lmvn::ReadTemplateValue(night.toStdString(), "Fireworks", "FireWorks", ""), "44");

    // Save Template As always asks; a cancelled picker changes nothing.
    AnswerPicker(QString(), &caption);
    QVERIFY(!lmvn::ui::SaveTemplateAs(nullptr, values));
    QCOMPARE(QString::fromStdString(lmvn::CurrentTemplatePath()), night);

    DialogValues opened;
    AnswerPicker("night.lvx", &caption);
    QVERIFY(lmvn::ui::OpenTemplate(nullptr, opened));
    QCOMPARE(opened.Get("Fireworks", "FireWorks"), "44");
    QCOMPARE(opened.Get("General", "LockMessage"), "Back soon");

    AnswerPicker(QString(), &caption);
    DialogValues untouched;
    QVERIFY(!lmvn::ui::OpenTemplate(nullptr, untouched));
    QVERIFY(!untouched.Has("Fireworks", "FireWorks"));

    // Save Template As onto an existing file asks first; No leaves the file as it was.
    values.Set("Fireworks", "FireWorks", "55");
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
      QString question;
      AnswerPicker("night.lvx", &caption);
      lmvn::ui::test::WhenModalAppears<QMessageBox>([&question, answer](QMessageBox* box) {
        question = box->text();
        box->button(answer)->click();
      });
      QCOMPARE(lmvn::ui::SaveTemplateAs(nullptr, values), answer == QMessageBox::Yes);
      QVERIFY(question.contains("night.lvx already exists"));
      QCOMPARE(lmvn::ReadTemplateValue(night.toStdString(), "Fireworks", "FireWorks", ""),
               answer == QMessageBox::Yes ? "55" : "44");
    }
  }

  // Through the Properties dialog's File menu: a saved template opens again identically.
  void propertiesDialogSavesAndOpensTemplates() {
    lmvn::CurrentTemplatePath().clear();
    lmvn::ui::PropertiesDialog dialog;
    DialogValues edited = dialog.values();
    edited.Set("Galaxy", "Galaxy_Stars", "1234");
    edited.Set("General", "AnimationType", "5");
    dialog.setValues(edited);
    const DialogValues saved = dialog.values();
    QString caption;
    AnswerPicker("dusk", &caption);
    lmvn::ui::test::ActionNamed(&dialog, "Save Template &As...")->trigger();
    QVERIFY(QFile::exists(dir_.filePath("dusk.lvx")));

    DialogValues changed = saved;
    changed.Set("Galaxy", "Galaxy_Stars", "99");
    changed.Set("General", "AnimationType", "1");
    dialog.setValues(changed);
    AnswerPicker("dusk.lvx", &caption);
    lmvn::ui::test::ActionNamed(&dialog, "&Open Template...")->trigger();
    QCOMPARE(dialog.currentEffect(), 5);
    const DialogValues opened = dialog.values();
    for (const auto& section : lmvn::TransferOrder()) {
      for (const lmvn::KeySpec* key : section.keys) {
        QCOMPARE(opened.Get(section.section, key->name), saved.Get(section.section, key->name));
      }
    }
  }

  // A file with no settings section is refused with a message naming it: the dialog and the
  // settings file stay exactly as they were.
  void aFileThatIsNoTemplateIsRefused() {
    lmvn::ui::PropertiesDialog dialog;
    const DialogValues before = dialog.values();
    QFile garbage(dir_.filePath("noise.lvx"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3072; ++i) garbage.putChar(static_cast<char>((i * 7919 + 13) % 251));
    garbage.close();
    const QString store = QString::fromStdString(lmvn::SettingsFilePath(lmvn::kSettingsApp));
    const QByteArray stored = lmvn::ui::test::FileBytes(store);
    const std::string current = lmvn::CurrentTemplatePath();

    QString caption;
    AnswerPicker("noise.lvx", &caption);
    lmvn::ui::test::MessageWatcher message;
    DialogValues values = before;
    QVERIFY(!lmvn::ui::OpenTemplate(&dialog, values));
    QVERIFY(message.text().contains("noise.lvx"));
    QCOMPARE(lmvn::ui::test::FileBytes(store), stored);
    QCOMPARE(lmvn::CurrentTemplatePath(), current);
    for (const auto& section : lmvn::TransferOrder()) {
      for (const lmvn::KeySpec* key : section.keys) {
        QCOMPARE(values.Get(section.section, key->name), before.Get(section.section, key->name));
      }
    }
  }

  // A template that cannot be written is reported, not passed over in silence.
  void aFailedSaveIsReported() {
    QDir(dir_.path()).mkdir("folder.lvx");
    lmvn::CurrentTemplatePath() = dir_.filePath("folder.lvx").toStdString();
    lmvn::ui::test::MessageWatcher message;
    QVERIFY(!lmvn::ui::SaveTemplate(nullptr, DialogValues()));
    QVERIFY(message.text().startsWith("The template could not be saved"));
  }
};

QTEST_MAIN(TemplateMenuTest)
#include "template_menu_test.moc"
