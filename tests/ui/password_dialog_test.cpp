#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/password_dialog.h"
#include "ui/screens.h"
#include "ui_test_util.h"

using lmvn::ui::PasswordDialog;

class PasswordDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Hidden typing; different texts and OK or Cancel: the dialog closes without a word and
  // stores nothing.
  void okAndCancelCloseAndStoreNothing() {
    lmvn::ui::test::PrivateStore store;
    for (const char* button : {"cmdOK", "cmdCancel"}) {
      PasswordDialog dialog;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      auto* first = dialog.findChild<QLineEdit*>("txtNewPass");
      auto* second = dialog.findChild<QLineEdit*>("txtConfirm");
      QCOMPARE(first->echoMode(), QLineEdit::Password);
      QCOMPARE(second->echoMode(), QLineEdit::Password);
      first->setFocus();
      QTest::keyClicks(first, "secret");
      QTest::keyClick(&dialog, Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), second);
      QTest::keyClicks(second, "other");
      QTest::mouseClick(dialog.findChild<QCheckBox*>("chkPass"), Qt::LeftButton);
      // Back into a filled box: its whole text is selected.
      QTest::mouseClick(first, Qt::LeftButton);
      QTRY_COMPARE(first->selectedText(), QStringLiteral("secret"));
      QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
    QCOMPARE(QDir(store.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
  }

  void showPasswordDialogReturnsWhenClosed() {
    lmvn::ui::test::WhenModalAppears<PasswordDialog>(
        [](PasswordDialog* dialog) { dialog->findChild<QPushButton*>("cmdOK")->click(); });
    lmvn::ui::ShowPasswordDialog(nullptr);
  }
};

QTEST_MAIN(PasswordDialogTest)
#include "password_dialog_test.moc"
