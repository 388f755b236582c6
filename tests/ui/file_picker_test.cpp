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

#include "ui/file_picker.h"
#include "ui/screens.h"
#include "ui/template_menu.h"
#include "ui_test_util.h"

using lmvn::ui::FilePicker;
using lmvn::ui::test::MessageWatcher;

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
  std::unique_ptr<FilePicker> Picker(bool open) {
    auto picker = std::make_unique<FilePicker>();
    picker->FormLet(open, open ? "Select Lumivane Template" : "Enter or Select Lumivane Template",
                    lmvn::ui::kTemplateFilter);
    picker->SetFolder(dir_.path());
    picker->show();
    return picker;
  }
  // Types `name` into the file box and presses OK.
  static void Submit(FilePicker* picker, const QString& name) {
    picker->findChild<QLineEdit*>("txtFile")->setText(name);
    QTest::mouseClick(picker->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
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
    Submit(picker.get(), "night");
    QVERIFY(picker->Accepted());
    QCOMPARE(picker->FullFileName(), dir_.filePath("night.lvx"));
    QVERIFY(!picker->isVisible());
    // No probe left behind, and the file named like the old probe is untouched.
    QCOMPARE(FolderContents(dir_.path()), QStringList{"night.lvx0"});
    QCOMPARE(lmvn::ui::test::FileBytes(dir_.filePath("night.lvx0")), QByteArray("someone's file"));
    QCOMPARE(QFileInfo(dir_.filePath("night.lvx0")).lastModified(), modified);

    picker = Picker(false);
    Submit(picker.get(), "night.ini");
    QCOMPARE(picker->FullFileName(), dir_.filePath("night.ini"));
    picker = Picker(false);
    Submit(picker.get(), dir_.filePath("abs"));
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
      MessageWatcher message;
      Submit(picker.get(), name);
      QCOMPARE(message.text(), QStringLiteral("Please enter a valid path and file."));
      QVERIFY2(!picker->Accepted() && picker->isVisible(), qPrintable(name));
      QCOMPARE(picker->focusWidget(), picker->findChild<QLineEdit*>("txtFile"));
    }
    QFile::setPermissions(dir_.filePath("locked"),
                          QFileDevice::WriteOwner | QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  }

  void openingANameThatDoesNotExistKeepsThePickerOpen() {
    auto picker = Picker(true);
    MessageWatcher message;
    Submit(picker.get(), "nothing.lvx");
    QCOMPARE(message.text(), QStringLiteral("Please select an existing file."));
    QVERIFY(picker->isVisible());
    QVERIFY(!picker->Accepted());
    QCOMPARE(picker->FullFileName(), QString());

    PutFile(dir_.filePath("nothing.lvx"));
    Submit(picker.get(), "nothing.lvx");
    QVERIFY(picker->Accepted());
    QCOMPARE(picker->FullFileName(), dir_.filePath("nothing.lvx"));
  }

  void listsFollowTheTypeAndAFileCanBeChosenByClicks() {
    for (const char* name : {"night.lvx", "aurora.lvx", "tune.wav", "README"}) {
      PutFile(dir_.filePath(name));
    }
    QDir(dir_.path()).mkdir("shared");
    auto picker = Picker(true);
    auto* files = picker->findChild<QListWidget*>("filTemp");
    auto* folders = picker->findChild<QListWidget*>("dirTemp");
    auto* types = picker->findChild<QComboBox*>("cboTypes");
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("Lumivane Templates (*.lvx)"));
    QCOMPARE(Items(files), (QStringList{"aurora.lvx", "night.lvx"}));
    QCOMPARE(Items(folders), (QStringList{"..", "shared"}));
    types->setCurrentIndex(1);  // All Files (*.*): names without a dot too
    QCOMPARE(Items(files), (QStringList{"aurora.lvx", "night.lvx", "README", "tune.wav"}));

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
      QCOMPARE(picker->findChild<QComboBox*>("drvTemp")->currentText(), dir_.filePath("sub"));
      Submit(picker.get(), "deeper");  // a folder typed into the box opens too
      QCOMPARE(picker->CurrentFolder(), dir_.filePath("sub/deeper"));
      QTest::mouseClick(picker->findChild<QPushButton*>("cmdDismiss"), Qt::LeftButton);
      QVERIFY(!picker->Accepted());
    }
    FilePicker next;
    QCOMPARE(next.CurrentFolder(), dir_.filePath("sub/deeper"));
  }
};

QTEST_MAIN(FilePickerTest)
#include "file_picker_test.moc"
