// The Properties dialog as a user meets it: typing, stepping, leaving fields, themes, reset,
// accept and cancel, against the real settings file in a temporary folder.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <memory>

#include <sys/mount.h>
#include <unistd.h>

#include "effects/fireworks.h"
#include "settings/store.h"
#include "settings/theme_fields.h"
#include "settings/transfers.h"
#include "ui/advanced_dialog.h"
#include "ui/help_viewer.h"
#include "ui/properties_dialog.h"
#include "ui/properties_field.h"
#include "ui/properties_preview.h"
#include "ui/properties_themes.h"
#include "ui/screens.h"
#include "ui_test_util.h"

using namespace lmvn;
using namespace lmvn::ui;

namespace {

std::string Stored(std::string_view section, std::string_view key) {
  return ReadSettingString(kSettingsApp, section, key, "<none>");
}

// A theme text of the built-in layout: Fireworks theme 2 ("Sparkles") and Galaxy theme 14.
const char* kSparkles =
    "16, 600, 10, 1, 8, 0.96, 0.05, 3, 0.125, 100, 50, 1, 40, 0.75, 0, 10, 25, 0, 25, 10, 1, "
    "0, 30, 6, 2, 0, 100, 9, 0, 30, 9, 0, 3, 5, 0, 20, 20, 1, 10";
const char* kDiamond =
    "2250, 200, 200, 320, 80, 3, 0, 3200, 3, 3, 2, 170, 359.85, 180, 3, 3, 300, 10, 500, 150, "
    "40, 4000, 150, 100, 2000, 0.9, 600, 40, 0, 100, 1000, 0.95, 0.995, 100, 2000, 0, 0.99, 1";

}  // namespace

class PropertiesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  int beeps_ = 0;

  std::unique_ptr<PropertiesDialog> Open() {
    auto dialog = std::make_unique<PropertiesDialog>();
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog.get())) qWarning("dialog not active");
    return dialog;
  }
  static QLineEdit* Edit(PropertiesDialog& d, std::string_view section, std::string_view key) {
    return qobject_cast<QLineEdit*>(d.fieldWidget(section, key));
  }
  // Focus the box as a user would (its text is then selected) and type into it.
  static void Type(QLineEdit* edit, const QString& keys) {
    if (edit->hasFocus()) edit->selectAll();  // typing over the whole text again
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::keyClicks(edit, keys);
  }
  static void Leave(QLineEdit* edit) {
    QTest::keyClick(edit, Qt::Key_Tab);
    QApplication::processEvents();
  }
  // Answers the next message box with `button`, once it shows; `seenDefault` gets its default.
  static void Answer(QMessageBox::StandardButton button, QMessageBox::StandardButton* seenDefault) {
    test::WhenModalAppears<QMessageBox>([button, seenDefault](QMessageBox* box) {
      *seenDefault = box->standardButton(box->defaultButton());
      box->button(button)->click();
    });
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", dir_->path().toUtf8());
    beeps_ = 0;
    SetBeepForTesting([this] { ++beeps_; });
    SetThemeTextsForTesting(nullptr, nullptr);
    Run() = RunState{};
  }

  void firstOpeningWritesTheFactoryDefaults() {
    Run().firstRun = true;
    WriteSetting(kSettingsApp, "Advanced", "Adv_PerfMult", "3");
    auto d = Open();
    QVERIFY(!Run().firstRun);
    for (std::string_view section : DialogSections()) {
      for (const KeySpec* key : TransferKeys(section)) {
        QCOMPARE(Stored(section, key->name), std::string(key->loaded ? key->defaultText : ""));
      }
    }
    QCOMPARE(Stored("Advanced", "Adv_TimeDelay"), std::string("25"));
    QCOMPARE(Stored("Advanced", "Adv_PerfMult"), std::string("3"));
    QCOMPARE(Edit(*d, "Fireworks", "FireSparks")->text(), QString("450"));
    QCOMPARE(d->currentEffect(), 0);
  }

  void fieldsFollowTheTypingRules() {
    auto d = Open();
    // An empty box that loses focus becomes its lower bound, or 0.
    QLineEdit* length = Edit(*d, "Fireworks", "FireLength");
    Type(length, "");
    QTest::keyClick(length, Qt::Key_Backspace);
    QCOMPARE(length->text(), QString(""));
    Leave(length);
    QCOMPARE(length->text(), QString("1"));
    QLineEdit* size = Edit(*d, "Fireworks", "FireSizeDev");
    Type(size, "5");  // the whole text was selected: typing replaces it
    QCOMPARE(size->text(), QString("5"));
    // Letters and a point are refused in a whole-number box, with a beep each.
    QTest::keyClicks(size, "a.");
    QCOMPARE(size->text(), QString("5"));
    QCOMPARE(beeps_, 2);
    // Out of range on leaving: limited; halves go to even in the field's kind.
    QLineEdit* symmetry = Edit(*d, "Fireworks", "FireSymmetry");
    Type(symmetry, "0.5");
    QTest::keyClicks(symmetry, ".");  // a second point
    QCOMPARE(symmetry->text(), QString("0.5"));
    QCOMPARE(beeps_, 3);
    symmetry->selectAll();  // the selection holds the first point: a new one may replace it
    QTest::keyClicks(symmetry, ".7");
    QCOMPARE(symmetry->text(), QString(".7"));
    QCOMPARE(beeps_, 3);
    Leave(symmetry);
    QCOMPARE(symmetry->text(), QString("0.7"));
    QLineEdit* stars = Edit(*d, "Galaxy", "Galaxy_Stars");
    Type(stars, "99999999");
    Leave(stars);
    QCOMPARE(stars->text(), QString("9999"));
  }

  void arrowsStepAndSpinnersMirror() {
    auto d = Open();
    d->selectEffect(4);
    QLineEdit* particles = Edit(*d, "GravityWell", "Grav_Pixels");
    Type(particles, "15");
    QTest::keyClick(particles, Qt::Key_Down);
    QCOMPARE(particles->text(), QString("10"));
    QTest::keyClick(particles, Qt::Key_Down);
    QCOMPARE(particles->text(), QString("10"));
    QTest::keyClick(particles, Qt::Key_Up);
    QCOMPARE(particles->text(), QString("20"));
    QScrollBar* spinner = d->spinnerOf("GravityWell", "Grav_Pixels");
    QVERIFY(spinner != nullptr);
    QCOMPARE(spinner->value(), 20);
    spinner->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(particles->text(), QString("30"));
    // Typing past the range leaves the spinner at the last value in range, the text as typed.
    Type(particles, "99999");
    QCOMPARE(particles->text(), QString("99999"));
    QCOMPARE(spinner->value(), 9999);
    // Fields without a step ignore the arrows.
    QLineEdit* speed = Edit(*d, "GravityWell", "Grav_Refresh");
    Type(speed, "7");
    QTest::keyClick(speed, Qt::Key_Up);
    QCOMPARE(speed->text(), QString("17"));
    QVERIFY(d->spinnerOf("Fireworks", "FireSymmetry") == nullptr);
  }

  void crossFieldLimitsHoldWhicheverBoxIsTyped() {
    auto d = Open();
    QLineEdit* intensity = Edit(*d, "PixelColor", "ColorPctInt");
    QLineEdit* hue = Edit(*d, "PixelColor", "ColorPctHue");
    Type(hue, "0");
    Type(intensity, "70");
    QCOMPARE(intensity->text(), QString("70"));
    Type(hue, "50");
    Leave(hue);
    QCOMPARE(hue->text(), QString("30"));

    QLineEdit* shells = Edit(*d, "Fireworks", "FireWorks");
    QLineEdit* sparks = Edit(*d, "Fireworks", "FireSparks");
    Type(sparks, "9999");
    QCOMPARE(sparks->text(), QString("1875"));  // 16 shells
    QVERIFY(!d->limitNoteOf("Fireworks", "FireWorks")->isVisibleTo(d.get()));
    Type(shells, "99");
    QCOMPARE(shells->text(), QString("16"));
    QVERIFY(d->limitNoteOf("Fireworks", "FireWorks")->isVisibleTo(d.get()));  // says why
    QVERIFY(d->limitNoteOf("Fireworks", "FireWorks")->text().contains("30000"));
    QVERIFY(shells->text().toInt() * sparks->text().toInt() <= 30000);
    // The six special bursts share out at most 100 percent.
    QLineEdit* rings = Edit(*d, "Fireworks", "FireRingPct");
    Type(rings, "99");
    int sum = 0;
    for (const char* key : {"FireScintPct", "FireMultiPct", "FireBurstPct", "FireSparkPct",
                            "FireRingPct", "FireTwistPct"}) {
      sum += Edit(*d, "Fireworks", key)->text().toInt();
    }
    QCOMPARE(sum, 100);

    // Linked boxes load as stored, and are limited on leaving.
    d->reject();
    WriteSetting(kSettingsApp, "PixelColor", "ColorPctInt", "70");
    WriteSetting(kSettingsApp, "PixelColor", "ColorPctHue", "100");
    d = Open();
    hue = Edit(*d, "PixelColor", "ColorPctHue");
    QCOMPARE(hue->text(), QString("100"));  // loading does not rewrite what the store holds
    hue->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    Leave(hue);
    QCOMPARE(hue->text(), QString("30"));
  }

  void cancelWritesNothingAndAcceptWritesEveryPage() {
    { auto first = Open(); }  // the store now holds the defaults
    {
      auto d = Open();
      Type(Edit(*d, "Starfield", "Star_Stars"), "500");
      d->reject();
    }
    QCOMPARE(Stored("Starfield", "Star_Stars"), std::string("120"));
    auto d = Open();
    QCOMPARE(d->currentEffect(), 0);
    Type(Edit(*d, "Starfield", "Star_Stars"), "500");  // a page that is not shown
    QLineEdit* length = Edit(*d, "Fireworks", "FireLength");
    Type(length, "999");  // still in the box when Accept is pressed
    qobject_cast<QComboBox*>(d->fieldWidget("B-SplineWarp", "Warp_Type"))->setCurrentIndex(2);
    qobject_cast<QCheckBox*>(d->fieldWidget("General", "FixedHues"))->setChecked(true);
    d->selectEffect(5);
    d->findChild<QPushButton*>("cmdAccept")->click();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(Stored("Starfield", "Star_Stars"), std::string("500"));
    QCOMPARE(Stored("Fireworks", "FireLength"), std::string("99"));
    QCOMPARE(Stored("B-SplineWarp", "Warp_Type"), std::string("2"));
    QCOMPARE(Stored("General", "FixedHues"), std::string("1"));
    QCOMPARE(Stored("General", "AnimationType"), std::string("5"));
  }

  void resetAsksThenResetsAdvancedAtOnce() {
    { auto first = Open(); }
    WriteSetting(kSettingsApp, "Advanced", "Adv_TimeDelay", "300");
    WriteSetting(kSettingsApp, "Advanced", "Adv_PickEffects", "3");
    WriteSetting(kSettingsApp, "Advanced", "Adv_PerfMult", "0.5");
    WriteSetting(kSettingsApp, "Fireworks", "FireWorks", "40");
    auto d = Open();
    QCOMPARE(Edit(*d, "Fireworks", "FireWorks")->text(), QString("40"));
    QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
    Answer(QMessageBox::No, &seenDefault);
    d->resetProperties();
    QCOMPARE(seenDefault, QMessageBox::No);
    QCOMPARE(Edit(*d, "Fireworks", "FireWorks")->text(), QString("40"));
    QCOMPARE(Stored("Advanced", "Adv_TimeDelay"), std::string("300"));
    Answer(QMessageBox::Yes, &seenDefault);
    d->resetProperties();
    QCOMPARE(Edit(*d, "Fireworks", "FireWorks")->text(), QString("16"));
    d->reject();
    QCOMPARE(Stored("Fireworks", "FireWorks"), std::string("40"));
    QCOMPARE(Stored("Advanced", "Adv_TimeDelay"), std::string("25"));
    QCOMPARE(Stored("Advanced", "Adv_PickEffects"), std::string("249"));
    QCOMPARE(Stored("Advanced", "Adv_PerfMult"), std::string("0.5"));
  }

  void themesFillExactlyTheirFields() {
    SetThemeTextsForTesting([](int n) { return n == 2 ? std::string(kSparkles) : std::string(); },
                            [](int n) { return n == 14 ? std::string(kDiamond) : std::string(); });
    auto d = Open();
    const DialogValues before = d->values();
    auto* fire = d->findChild<QComboBox*>("cboFireTheme");
    fire->setCurrentIndex(2);
    DialogValues after = d->values();
    const auto keys = FireworksThemeKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      QCOMPARE(after.Get("Fireworks", keys[i]),
               std::string(ThemeField(kSparkles, static_cast<int>(i))));
    }
    QCOMPARE(after.Get("Fireworks", "FireScintPct"), std::string("100"));  // not cut by limits
    QCOMPARE(after.Get("Fireworks", "FireMultiMoment"), std::string("1"));
    QCOMPARE(after.Get("Starfield", "Star_Stars"), before.Get("Starfield", "Star_Stars"));
    fire->setCurrentIndex(0);  // "< NONE >" changes nothing
    QCOMPARE(d->values().Get("Fireworks", "FireSparks"), std::string("600"));

    auto* galaxy = d->findChild<QComboBox*>("cboGalaxyTheme");
    galaxy->setCurrentIndex(14);
    after = d->values();
    QCOMPARE(after.Get("Galaxy", "Galaxy_AngleTInc"), std::string("359.85"));
    QCOMPARE(after.Get("Galaxy", "Galaxy_Profile"), std::string("3"));
    QCOMPARE(after.Get("Galaxy", "Galaxy_CometCPersist"), std::string("0.995"));
    QCOMPARE(after.Get("General", "ColorRed"), before.Get("General", "ColorRed"));
    auto* sketch = d->findChild<ProfileSketch*>("picGalProfile");
    QCOMPARE(sketch->profile(), 3);
    // "Conical": one line from the top left to the bottom right, and nothing else.
    const QImage cone = sketch->grab().toImage();
    const QColor background = cone.pixelColor(cone.width() - 3, 2);
    QVERIFY(cone.pixelColor(cone.width() / 2, cone.height() / 2) != background);
    QCOMPARE(cone.pixelColor(2, cone.height() - 3), background);
    qobject_cast<QComboBox*>(d->fieldWidget("Galaxy", "Galaxy_Profile"))->setCurrentIndex(5);
    QCOMPARE(sketch->profile(), 5);
    // The hue sample shows the wheel colour of the initial hue (180: cyan at full weights).
    const QColor hue = d->findChild<HueSample*>("picGalHue")->colour();
    QVERIFY(hue.red() < 60 && hue.green() > 200 && hue.blue() > 200);
  }

  void effectChoiceShowsItsPageAndFrames() {
    auto d = Open();
    auto* list = d->findChild<QComboBox*>("cboAniType");
    auto* pages = d->findChild<QStackedWidget*>("fraAni");
    QWidget* distribution = Edit(*d, "PixelColor", "ColorPctInt");
    QWidget* pixelSize = Edit(*d, "General", "PixelSize");
    const auto checked = [&](const QString& text) {
      return test::ActionNamed(d.get(), text)->isChecked();
    };
    const bool distributionOn[] = {true, false, true, true, false, false};
    for (int effect = 0; effect < 6; ++effect) {
      list->setCurrentIndex(effect);
      QCOMPARE(pages->currentIndex(), effect);
      QCOMPARE(distribution->isEnabled(), distributionOn[effect]);
      QCOMPARE(pixelSize->isEnabled(), effect >= 2);
    }
    QVERIFY(checked("&Galaxies"));
    QVERIFY(!checked("&Fireworks"));
    test::ActionNamed(d.get(), "B-S&pline Sparklers")->trigger();
    QCOMPARE(list->currentIndex(), 3);
    QVERIFY(checked("B-S&pline Sparklers") && !checked("&Galaxies"));
  }

  void exitAndHelp() {
    auto d = Open();
    QLineEdit* shells = Edit(*d, "Fireworks", "FireWorks");
    shells->setFocus();
    QApplication::processEvents();
    QTest::keyClick(shells, Qt::Key_F1);
    HelpViewer* help = d->helpViewer();
    QVERIFY(help != nullptr && help->isVisible());
    QCOMPARE(help->browser()->source().fileName(), QString("fireworks.html"));
    QCOMPARE(help->browser()->source().fragment(), QString("FireWorks"));
    // Every field has its own section in the help.
    for (std::string_view section : DialogSections()) {
      for (const DialogField& field : DialogFields(section)) {
        if (field.kind == FieldKind::Hidden) continue;
        QVERIFY2(help->hasTopic(QString::fromUtf8(field.key->name.data(),
                                                  static_cast<int>(field.key->name.size()))),
                 field.key->name.data());
      }
    }
    QVERIFY(help->search("solar wind").size() >= 2);
    // Alt+S goes into the search box; a label found on several pages names each page.
    HelpViewer viewer;
    viewer.showContents();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QTest::keyClick(&viewer, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(viewer.searchBox()->hasFocus());
    QTest::keyClicks(viewer.searchBox(), "Spark Persistence");
    QVERIFY(viewer.results()->count() >= 2);
    QVERIFY(!viewer.results()->findItems("(Fireworks Properties)", Qt::MatchEndsWith).isEmpty());
    // Every control a user reaches with Tab has a name a screen reader can speak.
    for (QWidget* w : d->findChildren<QWidget*>()) {
      if ((w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QPushButton*>(w) &&
          !qobject_cast<QCheckBox*>(w) && w->window() == d.get()) {
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
      }
    }
    test::ActionNamed(d.get(), "E&xit")->trigger();
    QVERIFY(Run().exitRequested);
    QCOMPARE(d->result(), int(QDialog::Rejected));
  }

  // A write that fails (a full file system) is reported with its reason and the dialog stays
  // open with what was typed. An end signal (main closes every shown dialog as Cancel does)
  // while Accept lets events run leaves the dialog rejected and nothing stored.
  void failedWritesAndEndSignalsNeverHalfAccept() {
    if (geteuid() != 0) QSKIP("mounting a small file system needs root");
    const QString disk = dir_->filePath("small");
    QVERIFY(QDir().mkpath(disk));
    if (mount("tmpfs", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0) {
      QSKIP("no small file system can be mounted here");
    }
    const auto unmount = qScopeGuard([&] { umount2(disk.toLocal8Bit().constData(), MNT_DETACH); });
    qputenv("XDG_CONFIG_HOME", disk.toUtf8());
    { auto first = Open(); }  // the settings file and its folder exist
    const auto stored = [&disk] { return test::FileBytes(disk + "/Lumivane/LMVN_SS.ini"); };
    const QByteArray before = stored();
    const auto endSignal = [] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (dialog != nullptr && dialog->isVisible()) dialog->done(QDialog::Rejected);
      }
    };
    enum class When { Never, DuringAccept, DuringMessage };
    const struct {
      bool full;
      When signal;
    } cases[] = {{true, When::Never}, {true, When::DuringMessage}, {false, When::DuringAccept}};
    QFile filler(disk + "/filler");
    for (const auto& c : cases) {
      if (c.full && !filler.exists()) {
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(1024, 'x')) > 0) {
        }
        filler.close();
      } else if (!c.full) {
        filler.remove();
      }
      auto d = Open();
      Type(Edit(*d, "Fireworks", "FireWorks"), "42");
      QString message;
      if (c.signal == When::DuringAccept) QTimer::singleShot(0, endSignal);
      if (c.full) {
        test::WhenModalAppears<QMessageBox>([&message, &c, endSignal](QMessageBox* box) {
          message = box->text();
          if (c.signal == When::DuringMessage) return endSignal();
          box->accept();
        });
      }
      d->findChild<QPushButton*>("cmdAccept")->click();
      QCOMPARE(stored(), before);
      if (c.full) QVERIFY2(message.contains("No space left on device"), qPrintable(message));
      QCOMPARE(d->isVisible(), c.signal == When::Never);
      QCOMPARE(d->result(), int(QDialog::Rejected));
      QCOMPARE(Edit(*d, "Fireworks", "FireWorks")->text(), QString("42"));
      if (c.signal == When::Never) {
        // The Advanced dialog's OK on the same full disk: reported, open, nothing stored.
        AdvancedDialog advanced;
        advanced.show();
        message.clear();
        test::WhenModalAppears<QMessageBox>([&message](QMessageBox* box) {
          message = box->text();
          box->accept();
        });
        for (QPushButton* button : advanced.findChildren<QPushButton*>()) {
          if (button->text() == "OK") button->click();
        }
        QVERIFY(message.contains("No space left on device"));
        QVERIFY(advanced.isVisible());
        QCOMPARE(stored(), before);
      }
    }
  }

  // The preview runs the page's effect with what the fields hold, restarts once for a burst of
  // changes, pauses unseen, stops with the dialog, and leaves the store alone.
  void previewRunsTheFieldsAndNeverWrites() {
    { auto first = Open(); }
    const QString file = dir_->filePath("Lumivane/LMVN_SS.ini");
    const QByteArray stored = test::FileBytes(file);
    QVERIFY(!stored.isEmpty());
    auto d = Open();
    PropertiesPreview* preview = d->findChild<PropertiesPreview*>("picPreview");
    QVERIFY(preview != nullptr && preview->running());
    const QImage first = preview->grab().toImage();
    QTRY_VERIFY(preview->grab().toImage() != first);
    const long restarts = preview->restarts();
    Type(Edit(*d, "Fireworks", "FireWorks"), "12");  // "1", then "12"
    QTRY_COMPARE(preview->restarts(), restarts + 1);
    const auto* fireworks = dynamic_cast<const Fireworks*>(preview->effect());
    QVERIFY(fireworks != nullptr);
    QCOMPARE(fireworks->shells().size(), std::size_t{12});
    d->findChild<QCheckBox*>("chkPreview")->setChecked(false);
    QVERIFY(!preview->running());
    d->findChild<QCheckBox*>("chkPreview")->setChecked(true);
    QVERIFY(preview->running());
    d->showMinimized();
    QVERIFY(!preview->running());
    d->showNormal();
    QVERIFY(preview->running());
    d->findChild<QPushButton*>("cmdDismiss")->click();
    QVERIFY(!preview->running());
    QCOMPARE(test::FileBytes(file), stored);
  }
};

QTEST_MAIN(PropertiesTest)
#include "properties_test.moc"
