// lumivane-pictures FOLDER: the pictures of the screens in docs/, grabbed from the screens
// themselves on the offscreen platform with a private, empty settings store.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "ui/advanced_dialog.h"
#include "ui/credits_screen.h"
#include "ui/file_picker.h"
#include "ui/help_viewer.h"
#include "ui/password_dialog.h"
#include "ui/properties_dialog.h"
#include "ui/properties_preview.h"
#include "ui/sound_effects_dialog.h"
#include "ui/template_menu.h"
#include "ui/welcome_screen.h"

namespace {

using namespace lmvn;
using namespace lmvn::ui;

QString folder;
int failures = 0;

void Save(QWidget* widget, const char* name) {
  const QString path = QDir(folder).filePath(QString(name) + ".png");
  if (widget->grab().save(path)) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "lumivane-pictures: cannot write %s\n", qPrintable(path));
    ++failures;
  }
}

// Shows a screen until the window system has drawn it once.
void Show(QWidget* widget, QScreen* screen = nullptr) {
  if (screen != nullptr) {
    widget->setScreen(screen);
    widget->move(screen->geometry().topLeft());
  }
  widget->show();
  if (!QTest::qWaitForWindowExposed(widget)) std::fprintf(stderr, "lumivane-pictures: not shown\n");
}

// Runs the event loop until `done` holds, for at most `ms` milliseconds.
void WaitFor(const std::function<bool()>& done, int ms) {
  if (!QTest::qWaitFor(done, ms)) std::fprintf(stderr, "lumivane-pictures: still waiting\n");
}

void Properties(QScreen* small) {
  PropertiesDialog d;
  Show(&d);
  d.resize(d.sizeHint());  // the whole dialog, as a screen with room shows it
  const char* names[] = {"fireworks", "starfield", "warp", "sparklers", "gravity", "galaxies"};
  for (int effect = 0; effect < 6; ++effect) {
    d.selectEffect(effect);
    d.preview()->Restart();
    WaitFor([&d] { return d.preview()->frames() >= 200; }, 20000);  // under way
    Save(&d, qPrintable(QString("properties-%1").arg(names[effect])));
  }
  d.selectEffect(0);
  QWidget* shells = d.fieldWidget(kSectionFireworks, "FireWorks");
  shells->setFocus();
  QApplication::processEvents();
  QTest::keyClick(shells, Qt::Key_F1);
  QApplication::processEvents();
  Save(d.helpViewer(), "properties-help");

  PropertiesDialog onSmall;
  Show(&onSmall, small);
  Save(&onSmall, "properties-small-screen");
}

void Dialogs() {
  WriteSetting(kSettingsApp, kSectionAdvanced, "Adv_WindowResize", "1");
  WriteSetting(kSettingsApp, kSectionAdvanced, "Adv_PerfMult", "2.5");
  {
    AdvancedDialog dialog;
    Show(&dialog);
    Save(&dialog, "advanced");
  }
  WriteSetting(kSettingsApp, kSectionSoundFX, "SoundFX_ON", "1");
  WriteSetting(kSettingsApp, kSectionSoundFX, "Fire_Standard",
               "/usr/share/lumivane/sounds/bang.wav");
  {
    SoundEffectsDialog dialog;
    Show(&dialog);
    dialog.eventList()->setCurrentRow(1);
    Save(&dialog, "sound_effects");
  }
  {
    PasswordDialog dialog;
    Show(&dialog);
    Save(&dialog, "password");
  }
  QTemporaryDir templates;
  for (const char* name : {"night.lvx", "aurora.lvx", "tune.wav", "README"}) {
    QFile(templates.filePath(name)).open(QIODevice::WriteOnly);
  }
  QDir(templates.path()).mkdir("shared");
  FilePicker picker;
  picker.FormLet(true, kOpenTemplateTitle, kTemplateFilter);
  picker.SetFolder(templates.path());
  Show(&picker);
  Save(&picker, "file_picker");
}

void Welcome() {
  WelcomeScreen screen;
  screen.FormLet(true);
  Show(&screen);
  while (!(screen.demoShown() && screen.demoFrames() >= 600)) screen.RunFrame();
  Save(&screen, "welcome");

  CreditsScreen credits;
  credits.FormLet(100, 0.0075f, 10.0f, CreditsScreen::CreditLines());
  Show(&credits);
  for (int frame = 0; frame <= 31; ++frame) credits.RunFrame();
  Save(&credits, "credits");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: lumivane-pictures FOLDER\n");
    return 2;
  }
  folder = QString::fromLocal8Bit(argv[1]);
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  const QString screens = config.filePath("screens.json");
  QFile file(screens);
  if (!file.open(QIODevice::WriteOnly)) return 1;
  file.write(R"({"screens": [
    {"name": "small", "x": 0, "y": 0, "width": 1024, "height": 600},
    {"name": "wide", "x": 1024, "y": 0, "width": 1920, "height": 1080}]})");
  file.close();
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toUtf8());
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lumivane");
  QScreen* small = QApplication::primaryScreen();
  Dialogs();
  Welcome();
  Properties(small);
  return failures == 0 ? 0 : 1;
}
