// The Advanced dialog, used as a person would: type, click, press OK, look at the store.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "ui/advanced_dialog.h"
#include "ui_test_util.h"

namespace lmvn::ui {

namespace {

std::string Read(std::string_view key) {
  return ReadSettingString(kSettingsApp, kSectionAdvanced, key, "<none>");
}
void Write(std::string_view key, std::string_view value) {
  WriteSetting(kSettingsApp, kSectionAdvanced, key, value);
}

}  // namespace

class AdvancedTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::PrivateStore> store_;

 private slots:
  void init() { store_ = std::make_unique<test::PrivateStore>(); }

  void StoredCycleOfZeroShowsTheDefaultFramesAndStaysZero() {
    Write("Adv_EffectCycle", "0");
    AdvancedDialog dialog;
    dialog.show();
    QCOMPARE(dialog.field(AdvancedDialog::kFramesPerEffect)->text(), QString("2500"));
    QVERIFY(!dialog.cycleSwitch()->isChecked());
    // The cycle switch governs everything in its frame, nested frames included.
    QVERIFY(!dialog.field(AdvancedDialog::kFramesPerEffect)->isEnabled());
    QVERIFY(!dialog.effectBox(3)->isEnabled());
    QVERIFY(dialog.field(AdvancedDialog::kDelay)->isEnabled());
    dialog.cycleSwitch()->setChecked(true);
    QVERIFY(dialog.field(AdvancedDialog::kFramesPerEffect)->isEnabled());
    QVERIFY(dialog.effectBox(3)->isEnabled());
    dialog.cycleSwitch()->setChecked(false);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Read("Adv_EffectCycle"), std::string("0"));
    QCOMPARE(Read("Adv_TimeDelay"), std::string("25"));

    // A stored cycle is shown with the switch on.
    Write("Adv_EffectCycle", "700");
    AdvancedDialog again;
    QVERIFY(again.cycleSwitch()->isChecked());
    QCOMPARE(again.field(AdvancedDialog::kFramesPerEffect)->text(), QString("700"));
  }

  void AllThemesBoxesFollowTheirEffect() {
    AdvancedDialog dialog;  // mask 249: boxes 0, 3, 4, 5, 6, 7
    dialog.show();
    dialog.cycleSwitch()->setChecked(true);
    QCOMPARE(dialog.EffectMask(), 249L);
    dialog.effectBox(0)->click();
    QVERIFY(!dialog.effectBox(0)->isChecked());
    QVERIFY(!dialog.effectBox(6)->isChecked());
    dialog.effectBox(5)->click();
    QVERIFY(!dialog.effectBox(7)->isChecked());
    dialog.effectBox(7)->click();               // all Galaxy themes...
    QVERIFY(dialog.effectBox(5)->isChecked());  // ...brings Galaxies back
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(Read("Adv_PickEffects"), std::to_string(249 - 1 - 64));
  }

  void CyclingNeedsAnEffect() {
    Write("Adv_PickEffects", "2");
    AdvancedDialog dialog;
    dialog.show();
    dialog.cycleSwitch()->setChecked(true);
    dialog.effectBox(1)->setChecked(false);
    {
      test::MessageWatcher message;
      QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
      QTRY_COMPARE(message.text(), QString("Please select one or more Effects."));
      QCOMPARE(message.icon(), QMessageBox::Warning);
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(Read("Adv_EffectCycle"), std::string("<none>"));  // nothing written
    QCOMPARE(Read("Adv_PickEffects"), std::string("2"));

    // The two all-themes boxes alone bring their effects with them, and that is enough.
    dialog.effectBox(6)->setChecked(true);
    dialog.effectBox(7)->setChecked(true);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Read("Adv_PickEffects"), std::string("225"));  // 1 + 32 + 64 + 128
    QCOMPARE(Read("Adv_EffectCycle"), std::string("2500"));

    // With cycling off no effect is needed.
    AdvancedDialog off;
    off.cycleSwitch()->setChecked(false);
    for (int i = 0; i < AdvancedDialog::kEffectBoxes; ++i) off.effectBox(i)->setChecked(false);
    QTest::mouseClick(off.okButton(), Qt::LeftButton);
    QCOMPARE(off.result(), int(QDialog::Accepted));
    QCOMPARE(Read("Adv_PickEffects"), std::string("0"));
  }

  void DefaultsThenOk() {
    struct {
      const char *key, *stored, *after;
    } const keys[] = {{"Adv_TimeDelay", "80", "25"},    {"Adv_EffectCycle", "1200", "0"},
                      {"Adv_PickEffects", "6", "249"},  {"Adv_WindowResize", "1", "0"},
                      {"Adv_PerfMult", "2.5", nullptr}, {"Adv_HueStart", "120", "0"}};
    for (const auto& k : keys) Write(k.key, k.stored);
    AdvancedDialog dialog;
    dialog.show();
    QVERIFY(dialog.resizeSwitch()->isChecked());
    QTest::mouseClick(dialog.defaultsButton(), Qt::LeftButton);
    QCOMPARE(dialog.field(AdvancedDialog::kPerfMult)->text(), QString("1.0"));
    QCOMPARE(Read("Adv_TimeDelay"), std::string("80"));  // nothing written before OK
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    for (const auto& k : keys) {
      if (k.after != nullptr) QCOMPARE(Read(k.key), std::string(k.after));
    }
    QCOMPARE(ReadSettingSingle(kSettingsApp, kSectionAdvanced, "Adv_PerfMult", 0), 1.0f);

    // Cancel writes nothing.
    AdvancedDialog cancelled;
    cancelled.field(AdvancedDialog::kDelay)->setText("300");
    QTest::mouseClick(cancelled.cancelButton(), Qt::LeftButton);
    QCOMPARE(Read("Adv_TimeDelay"), std::string("25"));
  }

  // Typing and stepping are the Properties screen's fields; here leaving a box and OK pressed
  // from the keyboard bring values into range, and the hue sample follows its box.
  void FieldsStayInRangeAndTheHueSampleFollows() {
    AdvancedDialog dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    PropertyField* mult = dialog.field(AdvancedDialog::kPerfMult);
    mult->setFocus();
    mult->setText("12.5");
    PropertyField* hue = dialog.field(AdvancedDialog::kHueStart);
    hue->setFocus();
    QCOMPARE(mult->text(), QString("9.9"));
    const QColor before = dialog.hueSample()->palette().color(QPalette::Window);
    hue->setText("240");
    QVERIFY(dialog.hueSample()->palette().color(QPalette::Window) != before);
    PropertyField* delay = dialog.field(AdvancedDialog::kDelay);
    delay->setFocus();
    delay->setText("123456789012");
    QTest::keyClick(delay, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Read("Adv_TimeDelay"), std::string("999"));
    QCOMPARE(Read("Adv_PerfMult"), std::string("9.9"));
    QCOMPARE(Read("Adv_HueStart"), std::string("240"));
  }
};

}  // namespace lmvn::ui

QTEST_MAIN(lmvn::ui::AdvancedTest)
#include "advanced_test.moc"
