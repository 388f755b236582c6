#include <stdlib.h>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "modal_helper.h"
#include "ui/password_dialog.h"
#include "ui/screens.h"

using lmvn::ui::PasswordDialog;

class PasswordDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir config_;

 private slots:
  void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit()); }

  void looksAsItShould() {
    PasswordDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Password"));
    QCOMPARE(dialog.findChild<QLabel*>("lblPass")->text(),
             QStringLiteral("Password validation may be added in a future release."));
    auto* frame = dialog.findChild<QGroupBox*>("fraPass");
    auto* check = dialog.findChild<QCheckBox*>("chkPass");
    QCOMPARE(check->text(), QStringLiteral("&Password Required"));
    QCOMPARE(check->parentWidget(), frame);
    QCOMPARE(dialog.findChild<QLineEdit*>("txtNewPass")->echoMode(), QLineEdit::Password);
    const QByteArray folder = qgetenv("LMVN_SCREENSHOT_DIR");
    if (!folder.isEmpty()) dialog.grab().save(QString::fromLocal8Bit(folder) + "/password.png");
  }

  // Different texts and OK: the dialog closes without a word and stores nothing.
  void okAndCancelCloseAndStoreNothing() {
    for (const char* button : {"cmdOK", "cmdCancel"}) {
      PasswordDialog dialog;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      auto* first = dialog.findChild<QLineEdit*>("txtNewPass");
      auto* second = dialog.findChild<QLineEdit*>("txtConfirm");
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
    QCOMPARE(QDir(config_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
  }

  void showPasswordDialogReturnsWhenClosed() {
    lmvn::testing::WhenModalAppears<PasswordDialog>(
        [](PasswordDialog* dialog) { dialog->findChild<QPushButton*>("cmdOK")->click(); });
    lmvn::ui::ShowPasswordDialog(nullptr);
  }
};

QTEST_MAIN(PasswordDialogTest)
#include "password_dialog_test.moc"
