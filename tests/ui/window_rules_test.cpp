// Rules every window keeps: distinct mnemonics, a fit in the free area of each of three screens
// (1024x600, 1920x1080, 2048x1200 at scale 2), and Escape in an open menu closes only the menu.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "ui/advanced_dialog.h"
#include "ui/credits_screen.h"
#include "ui/file_picker.h"
#include "ui/help_viewer.h"
#include "ui/password_dialog.h"
#include "ui/properties_dialog.h"
#include "ui/sound_effects_dialog.h"
#include "ui/welcome_screen.h"
#include "ui_test_util.h"

using namespace lmvn;
using namespace lmvn::ui;

namespace {

struct Window {
  QString name;
  std::function<QDialog*()> make;
  bool everyControlKeyed = false;  // every labelled control has an access key
};

std::vector<Window> Windows() {
  std::vector<Window> windows;
  for (int page = 0; page < 6; ++page) {
    windows.push_back({QString("Properties page %1").arg(page), [page] {
                         auto* dialog = new PropertiesDialog;
                         dialog->selectEffect(page);
                         return dialog;
                       }});
  }
  windows.push_back({"Advanced", [] { return new AdvancedDialog; }, true});
  windows.push_back({"Sound Effects", [] { return new SoundEffectsDialog; }, true});
  windows.push_back({"password", [] { return new PasswordDialog; }});
  windows.push_back({"file picker", [] {
                       auto* picker = new FilePicker;
                       picker->FormLet(true, "Open", "Templates (*.lvx)|*.lvx");
                       return picker;
                     }});
  windows.push_back({"welcome", [] {
                       auto* welcome = new WelcomeScreen;
                       welcome->FormLet(true);
                       return welcome;
                     }});
  windows.push_back({"credits", [] {
                       auto* credits = new CreditsScreen;
                       credits->FormLet(100, 0.0075f, 2.0f, CreditsScreen::CreditLines());
                       return credits;
                     }});
  windows.push_back({"help viewer", [] { return new HelpViewer; }});
  return windows;
}

// The letters that more than one shown control of `window` claims (each menu's items are a scope
// of their own); with `unkeyed`, also the texts of controls that have no access key.
QStringList Clashes(QWidget* window, QStringList* unkeyed = nullptr) {
  QList<QMap<QKeySequence, QStringList>> scopes(1);
  const auto add = [&](QMap<QKeySequence, QStringList>& scope, const QString& text,
                       bool needsKey = false) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    if (!key.isEmpty()) scope[key] << text;
    // OK and Cancel have Enter and Escape.
    if (needsKey && unkeyed && key.isEmpty() && !text.isEmpty() && text != "OK" && text != "Cancel")
      *unkeyed << text;
  };
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
      add(scopes[0], label->text(), true);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) add(scopes[0], button->text(), true);
    if (auto* group = qobject_cast<QGroupBox*>(w))
      add(scopes[0], group->title(), group->isCheckable());
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) add(scopes[0], tabs->tabText(i));
    }
    if (auto* bar = qobject_cast<QMenuBar*>(w)) {
      for (QAction* menu : bar->actions()) {
        add(scopes[0], menu->text());
        scopes.append(QMap<QKeySequence, QStringList>());
        for (QAction* item : menu->menu()->actions()) add(scopes.last(), item->text());
      }
    }
  }
  QStringList clashes;
  for (const auto& scope : scopes) {
    for (auto it = scope.begin(); it != scope.end(); ++it) {
      if (it->size() > 1) clashes << it->join(" / ");
    }
  }
  return clashes;
}

}  // namespace

class WindowRulesTest : public QObject {
  Q_OBJECT
  test::PrivateStore store_;

 private slots:
  void everyWindowHasDistinctMnemonicsAndFitsEveryScreen() {
    QCOMPARE(QGuiApplication::screens().size(), 3);
    for (QScreen* screen : QGuiApplication::screens()) {
      for (const Window& entry : Windows()) {
        std::unique_ptr<QDialog> window(entry.make());
        window->setScreen(screen);
        window->move(screen->geometry().topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QString where = entry.name + " on " + screen->name();
        QStringList unkeyed;
        const QStringList clashes =
            Clashes(window.get(), entry.everyControlKeyed ? &unkeyed : nullptr);
        QVERIFY2(clashes.isEmpty(), qPrintable(where + ": " + clashes.join(", ")));
        QVERIFY2(unkeyed.isEmpty(), qPrintable(where + ", no access key: " + unkeyed.join(", ")));
        const QRect frame = window->frameGeometry();
        QVERIFY2(screen->availableGeometry().contains(frame),
                 qPrintable(where + QString::asprintf(" at %d,%d %dx%d", frame.x(), frame.y(),
                                                      frame.width(), frame.height())));
      }
    }
  }

  // Alt+E opens the Edit menu; Escape then closes the menu and leaves the dialog and its edits.
  void escapeInAnOpenMenuClosesOnlyTheMenu() {
    PropertiesDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* shells = qobject_cast<QLineEdit*>(dialog.fieldWidget("Fireworks", "FireWorks"));
    shells->setText("42");
    QTest::keyClick(&dialog, Qt::Key_E, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr && menu->title() == "&Edit");
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(dialog.isVisible());
    QCOMPARE(shells->text(), "42");
  }
};

int main(int argc, char** argv) {
  QTemporaryDir dir;
  const QString config = dir.filePath("screens.json");
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly)) return 1;
  file.write(R"({"screens": [
    {"name": "small", "x": 0, "y": 0, "width": 1024, "height": 600},
    {"name": "wide", "x": 1024, "y": 0, "width": 1920, "height": 1080},
    {"name": "scaled", "x": 2944, "y": 0, "width": 2048, "height": 1200, "logicalDpi": 192}]})");
  file.close();
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
  QApplication app(argc, argv);
  WindowRulesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_rules_test.moc"
