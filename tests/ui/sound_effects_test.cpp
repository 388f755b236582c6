// The Sound Effects dialog, used as a person would, with a recording sound output or the real
// sound engine.
#include <sys/stat.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <string>
#include <vector>

#include "recording_output.h"
#include "settings/catalogue.h"
#include "settings/store.h"
#include "sound/sound_output.h"
#include "ui/sound_effects_dialog.h"
#include "ui_test_util.h"

namespace lmvn::ui {

namespace {

std::string Read(std::string_view key) {
  return ReadSettingString(kSettingsApp, kSectionSoundFX, key, "<none>");
}
void Write(std::string_view key, std::string_view value) {
  WriteSetting(kSettingsApp, kSectionSoundFX, key, value);
}

QPoint RowCentre(QListWidget* list, int row) {
  return list->visualItemRect(list->item(row)).center();
}

void ClickRow(QListWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, row));
}

// A double click as the window system delivers it: press, release, then the second press
// as a double click, and its release.
void DoubleClickRow(QListWidget* list, int row) {
  const QPoint at = RowCentre(list, row);
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class SoundEffectsTest : public QObject {
  Q_OBJECT

  test::SoundLog log_;
  std::unique_ptr<test::PrivateStore> store_;

 private slots:
  void init() {
    store_ = std::make_unique<test::PrivateStore>();
    log_ = {};
    sound::SetSoundOutput(std::make_unique<test::RecordingOutput>(&log_));
  }

  void PlayAndDoubleClickPlayWithSoundOff() {
    Write("SoundFX_ON", "0");
    Write("Fire_Launch", "/sounds/launch.wav");
    Write("Fire_JetBurst", "/sounds/jet.wav");
    SoundEffectsDialog dialog;
    dialog.show();
    QVERIFY(!dialog.soundSwitch()->isChecked());
    QCOMPARE(dialog.eventList()->count(), 8);
    // The first event is chosen from the start.
    QCOMPARE(dialog.currentIndex(), 0);
    QCOMPARE(dialog.fileBox()->text(), QString("/sounds/launch.wav"));
    QTest::mouseClick(dialog.playButton(), Qt::LeftButton);
    DoubleClickRow(dialog.eventList(), 3);
    QCOMPARE(log_.Paths(), (std::vector<std::string>{"/sounds/launch.wav", "/sounds/jet.wav"}));

    // Switching sound on and off again governs the frame; Defaults switches it off.
    dialog.soundSwitch()->click();
    QVERIFY(dialog.playButton()->isEnabled());
    QTest::mouseClick(dialog.defaultsButton(), Qt::LeftButton);
    QVERIFY(!dialog.soundSwitch()->isChecked());
    QVERIFY(!dialog.eventList()->isEnabled() && !dialog.fileBox()->isEnabled() &&
            !dialog.playButton()->isEnabled());
    QCOMPARE(dialog.fileBox()->text(), QString("/sounds/jet.wav"));  // files kept
  }

  void TypedPathSurvivesChoosingAnotherEntry() {
    Write("Fire_MultiBurst", "/sounds/multi.wav");
    SoundEffectsDialog dialog;
    dialog.show();
    ClickRow(dialog.eventList(), 1);
    dialog.fileBox()->setFocus();
    QTest::keyClicks(dialog.fileBox(), "  /tmp/boom.wav  ");
    ClickRow(dialog.eventList(), 2);
    QCOMPARE(dialog.fileBox()->text(), QString("/sounds/multi.wav"));
    ClickRow(dialog.eventList(), 1);
    QCOMPARE(dialog.fileBox()->text(), QString("/tmp/boom.wav"));
    // A name of blanks is stored empty; Delete in the list empties the file box.
    ClickRow(dialog.eventList(), 4);
    QTest::keyClicks(dialog.fileBox(), "   ");
    ClickRow(dialog.eventList(), 2);
    QTest::keyClick(dialog.eventList(), Qt::Key_Delete);
    QVERIFY(dialog.fileBox()->text().isEmpty());
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Read("Fire_Standard"), std::string("/tmp/boom.wav"));
    QCOMPARE(Read("Fire_Scintil"), std::string(""));
    QCOMPARE(Read("Fire_MultiBurst"), std::string(""));
    QCOMPARE(Read("SoundFX_ON"), std::string("0"));
  }

  void OkWithoutChoosingWritesTheFilesAsLoaded() {
    const char* keys[] = {"Fire_Launch",  "Fire_Standard", "Fire_MultiBurst", "Fire_JetBurst",
                          "Fire_Scintil", "Fire_Sparkle",  "Fire_RingDisk",   "Fire_Twister"};
    for (int i = 0; i < 8; ++i) Write(keys[i], "/s/" + std::to_string(i) + " a.wav");
    Write("SoundFX_ON", "true");  // not "1": off
    SoundEffectsDialog dialog;
    dialog.show();
    QVERIFY(!dialog.soundSwitch()->isChecked());
    dialog.soundSwitch()->click();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(Read("SoundFX_ON"), std::string("1"));
    for (int i = 0; i < 8; ++i) QCOMPARE(Read(keys[i]), "/s/" + std::to_string(i) + " a.wav");

    // Cancel writes nothing.
    SoundEffectsDialog cancelled;
    cancelled.soundSwitch()->click();
    QTest::mouseClick(cancelled.cancelButton(), Qt::LeftButton);
    QCOMPARE(Read("SoundFX_ON"), std::string("1"));
  }

  void PlayOrPickWithNothingChosenAsksForAnEntry() {
    SoundEffectsDialog dialog;
    dialog.show();
    dialog.eventList()->setCurrentRow(-1);
    for (QPushButton* button : {dialog.playButton(), dialog.pickButton()}) {
      test::MessageWatcher message;
      QTest::mouseClick(button, Qt::LeftButton);
      QTRY_COMPARE(message.text(), QString("Please select an Effect Type."));
      QCOMPARE(message.icon(), QMessageBox::Warning);
    }
    QVERIFY(log_.played.empty());
    QCOMPARE(Read("SoundFX_ON"), std::string("<none>"));
  }

  // With the real sound engine: what keeps a file from playing shows under the file box, and
  // typing clears it. The file's own faults are found whether or not there is a sound device.
  void PlayTellsWhyAFileDoesNotPlay() {
    sound::SetSoundOutput(nullptr);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.wav");
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // A wave header that announces 30 s of 8 kHz 8-bit mono.
    const QString longWave = dir.filePath("long.wav");
    std::ofstream(longWave.toStdString(), std::ios::binary)
        << std::string(
               "RIFF\x24\xa6\x03\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x40\x1f\0\0"
               "\1\0\x08\0data\0\xa6\x03\0",
               44)
        << std::string(240000, '\x80');
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("missing.wav"), "Cannot play: no such file."},
        {fifo, "Cannot play: not a regular file."},
        {longWave, "Cannot play: longer than 20 seconds."},
    };
    SoundEffectsDialog dialog;
    dialog.show();
    for (const auto& [path, reason] : cases) {
      dialog.fileBox()->setText(path);
      QTest::mouseClick(dialog.playButton(), Qt::LeftButton);
      QCOMPARE(dialog.reasonLine()->text(), reason);
    }
    QTest::keyClicks(dialog.fileBox(), "x");
    QVERIFY(dialog.reasonLine()->text().isEmpty());
  }

  // Built-in Sounds fills every event's box with the program's own sound files.
  void BuiltInSoundsFillEveryEvent() {
    SoundEffectsDialog dialog;
    dialog.show();
    QTest::mouseClick(dialog.builtInButton(), Qt::LeftButton);
    for (int row = 0; row < 8; ++row) {
      ClickRow(dialog.eventList(), row);
      const QString path = dialog.fileBox()->text();
      QVERIFY2(path.endsWith(QString::fromUtf8(sound::kBuiltInSounds[std::size_t(row)].data())),
               qPrintable(path));
      QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    }
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QVERIFY(Read("Fire_Twister").ends_with("twister-whirl.wav"));
  }
};

}  // namespace lmvn::ui

QTEST_MAIN(lmvn::ui::SoundEffectsTest)
#include "sound_effects_test.moc"
