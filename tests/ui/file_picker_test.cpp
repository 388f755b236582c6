#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "modal_helper.h"
#include "ui/file_picker.h"
#include "ui/screens.h"
#include "ui/template_menu.h"

using lmvn::testing::AnswerNextMessage;
using lmvn::ui::FilePicker;

namespace {

void PutFile(const QString& path, const QByteArray& data = "data") {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(data);
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

QStringList FolderContents(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class FilePickerTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  // A shown picker on the test folder.
  std::unique_ptr<FilePicker> Picker(bool open, const QString& folder = {}) {
    auto picker = std::make_unique<FilePicker>();
    picker->FormLet(open, open ? "Select Lumivane Template" : "Enter or Select Lumivane Template",
                    lmvn::ui::kTemplateFilter);
    picker->SetFolder(folder.isEmpty() ? dir_.path() : folder);
    picker->show();
    return picker;
  }
  static void Type(FilePicker* picker, const QString& name) {
    auto* box = picker->findChild<QLineEdit*>("txtFile");
    box->setText(name);
  }
  static void ClickOk(FilePicker* picker) {
    QTest::mouseClick(picker->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  }
  static void Screenshot(QWidget* widget, const char* name) {
    const QByteArray folder = qgetenv("LMVN_SCREENSHOT_DIR");
    if (!folder.isEmpty()) widget->grab().save(QString::fromLocal8Bit(folder) + "/" + name);
  }

 private slots:
  void init() {
    for (const QString& name : FolderContents(dir_.path())) {
      const QString path = dir_.filePath(name);
      QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    }
  }

  void savingAppendsTheExtensionAndLeavesEveryFileAlone() {
    PutFile(dir_.filePath("night.lvx0"), "someone's file");
    const QDateTime modified = QFileInfo(dir_.filePath("night.lvx0")).lastModified();
    auto picker = Picker(false);
    Type(picker.get(), "night");
    ClickOk(picker.get());
    QVERIFY(picker->Accepted());
    QCOMPARE(picker->FullFileName(), dir_.filePath("night.lvx"));
    QVERIFY(!picker->isVisible());
    // No probe left behind, and the file named like the old probe is untouched.
    QCOMPARE(FolderContents(dir_.path()), QStringList{"night.lvx0"});
    QFile kept(dir_.filePath("night.lvx0"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("someone's file"));
    QCOMPARE(QFileInfo(dir_.filePath("night.lvx0")).lastModified(), modified);

    picker = Picker(false);
    Type(picker.get(), "night.ini");
    ClickOk(picker.get());
    QCOMPARE(picker->FullFileName(), dir_.filePath("night.ini"));
    picker = Picker(false);
    Type(picker.get(), dir_.filePath("abs"));
    ClickOk(picker.get());
    QCOMPARE(picker->FullFileName(), dir_.filePath("abs.lvx"));
  }

  void savingWhereNoFileCanBeMadeIsRefused() {
    QDir(dir_.path()).mkdir("locked");
    QFile::setPermissions(dir_.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Root may write anywhere on a writable disk; /proc takes no new files from anyone.
    const QString readOnly = geteuid() == 0 ? QStringLiteral("/proc") : dir_.filePath("locked");
    for (const QString& name :
         {readOnly + "/night", dir_.filePath("missing/night"), QString(), QString(300, u'n')}) {
      auto picker = Picker(false);
      Type(picker.get(), name);
      QString message;
      AnswerNextMessage(&message);
      ClickOk(picker.get());
      QCOMPARE(message, QStringLiteral("Please enter a valid path and file."));
      QVERIFY2(!picker->Accepted() && picker->isVisible(), qPrintable(name));
      QCOMPARE(picker->focusWidget(), picker->findChild<QLineEdit*>("txtFile"));
    }
    QFile::setPermissions(dir_.filePath("locked"),
                          QFileDevice::WriteOwner | QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  }

  void openingANameThatDoesNotExistKeepsThePickerOpen() {
    auto picker = Picker(true);
    Type(picker.get(), "nothing.lvx");
    QString message;
    AnswerNextMessage(&message);
    ClickOk(picker.get());
    QCOMPARE(message, QStringLiteral("Please select an existing file."));
    QVERIFY(picker->isVisible());
    QVERIFY(!picker->Accepted());
    QCOMPARE(picker->FullFileName(), QString());

    PutFile(dir_.filePath("nothing.lvx"));
    ClickOk(picker.get());
    QVERIFY(picker->Accepted());
    QCOMPARE(picker->FullFileName(), dir_.filePath("nothing.lvx"));
  }

  void listsFollowTheTypeAndAFileCanBeChosenByClicks() {
    PutFile(dir_.filePath("b.lvx"));
    PutFile(dir_.filePath("a.lvx"));
    PutFile(dir_.filePath("tune.wav"));
    PutFile(dir_.filePath("README"));
    QDir(dir_.path()).mkdir("sub");
    auto picker = Picker(true);
    auto* files = picker->findChild<QListWidget*>("filTemp");
    auto* folders = picker->findChild<QListWidget*>("dirTemp");
    auto* types = picker->findChild<QComboBox*>("cboTypes");
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("Lumivane Templates (*.lvx)"));
    QCOMPARE(Items(files), (QStringList{"a.lvx", "b.lvx"}));
    QCOMPARE(Items(folders), (QStringList{"..", "sub"}));
    types->setCurrentIndex(1);  // All Files (*.*): names without a dot too
    QCOMPARE(Items(files), (QStringList{"a.lvx", "b.lvx", "README", "tune.wav"}));

    QListWidgetItem* item = files->item(3);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(item).center());
    QCOMPARE(picker->findChild<QLineEdit*>("txtFile")->text(), QStringLiteral("tune.wav"));
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(item).center());
    QVERIFY(picker->Accepted());
    QCOMPARE(picker->FullFileName(), dir_.filePath("tune.wav"));
  }

  void foldersOpenByKeyAndTheNextPickerStartsWhereThisOneClosed() {
    QDir(dir_.path()).mkpath("sub/deeper");
    {
      auto picker = Picker(true);
      auto* folders = picker->findChild<QListWidget*>("dirTemp");
      folders->setFocus();
      folders->setCurrentRow(1);  // "sub"
      QTest::keyClick(folders, Qt::Key_Return);
      QCOMPARE(picker->CurrentFolder(), dir_.filePath("sub"));
      QVERIFY(picker->isVisible());  // Return opened the folder and pressed no button
      QCOMPARE(picker->findChild<QLabel*>("lblFolder")->text(), dir_.filePath("sub"));
      Type(picker.get(), "deeper");  // a folder typed into the box opens too
      ClickOk(picker.get());
      QCOMPARE(picker->CurrentFolder(), dir_.filePath("sub/deeper"));
      QTest::mouseClick(picker->findChild<QPushButton*>("cmdDismiss"), Qt::LeftButton);
      QVERIFY(!picker->Accepted());
    }
    FilePicker next;
    QCOMPARE(next.CurrentFolder(), dir_.filePath("sub/deeper"));
  }

  void screenshot() {
    if (qEnvironmentVariableIsEmpty("LMVN_SCREENSHOT_DIR")) QSKIP("no LMVN_SCREENSHOT_DIR");
    QDir(dir_.path()).mkpath("Lumivane Templates/shared");
    QDir(dir_.path()).mkpath("Lumivane Templates/sounds");
    const QString folder = dir_.filePath("Lumivane Templates");
    for (const char* name : {"aurora.lvx", "deep field.lvx", "finale.lvx", "night.lvx"}) {
      PutFile(folder + "/" + name);
    }
    PutFile(folder + "/notes.txt");
    auto picker = Picker(false, folder);
    Type(picker.get(), "midnight");
    picker->findChild<QListWidget*>("filTemp")->setCurrentRow(-1);
    Screenshot(picker.get(), "file_picker.png");
  }
};

QTEST_MAIN(FilePickerTest)
#include "file_picker_test.moc"
