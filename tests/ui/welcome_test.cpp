// The welcome and credits screens: roles, the demonstration order, pacing on the main loop,
// and the credits' star field.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <vector>

#include "render/gradient.h"
#include "ui/credits_screen.h"
#include "ui/surface_view.h"
#include "ui/welcome_screen.h"
#include "ui_test_util.h"

namespace lmvn::ui {

class WelcomeTest : public QObject {
  Q_OBJECT

 private slots:
  // Only the About role offers credits; Dismiss stops the demonstration.
  void CreditsButtonAndDismiss() {
    test::PrivateStore store;
    WelcomeScreen about;
    about.FormLet(true);
    about.show();
    QVERIFY(about.creditsButton()->isVisible());
    // It names the settings file this run uses.
    QVERIFY(about.findChild<QLabel*>("body")->text().contains(store.path() + "/Lumivane/"));
    // Laid out beside Dismiss at once, before any event has run.
    QVERIFY(about.creditsButton()->geometry().right() < about.dismissButton()->geometry().left());
    QVERIFY(about.creditsButton()->width() < about.width() / 4);
    WelcomeScreen welcome;
    welcome.FormLet(false);
    welcome.show();
    QVERIFY(!welcome.creditsButton()->isVisible());
    QVERIFY(welcome.animating());
    QTest::qWait(150);  // the pacer runs frames on the main loop meanwhile
    QTest::mouseClick(welcome.dismissButton(), Qt::LeftButton);
    QVERIFY(!welcome.isVisible());
    QVERIFY(!welcome.animating());
    QCOMPARE(welcome.result(), int(QDialog::Accepted));
  }

  void DemonstrationsTakeTurnsInTheirOrder() {
    test::PrivateStore store;
    WelcomeScreen screen;
    std::vector<int> started;
    std::vector<Long> framesShown;
    connect(&screen, &WelcomeScreen::demoStarted, this, [&](int effect, bool) {
      framesShown.push_back(screen.demoFrames());
      started.push_back(effect);
    });
    screen.FormLet(true);
    screen.show();  // starts the first demonstration
    QCOMPARE(screen.demoIndex(), 0);
    std::vector<int> endedAfter;  // frames each finished demonstration ran
    bool drew = false;
    for (int frame = 0; frame < 4 * WelcomeScreen::kDemoFrames + 8 && started.size() < 5; ++frame) {
      const bool shown = screen.demoShown();
      const Long before = screen.demoFrames();
      screen.RunFrame();
      if (started.size() > endedAfter.size() + 1) endedAfter.push_back(shown ? before + 1 : 0);
      if (shown && screen.demoFrames() == 50) {
        drew = drew || screen.picture()->surface().CountLitPixels() > 0;
      }
    }
    const std::vector<int> order = {0, 5, 4, 3, 0};  // Fireworks, Galaxies, Wells, Sparklers
    QCOMPARE(started, order);
    // A demonstration that exists runs exactly its 2000 frames; one that cannot be built yet
    // gives way at once.
    for (const Long frames : endedAfter) {
      QVERIFY(frames == 0 || frames == WelcomeScreen::kDemoFrames);
      if (frames > 0) QVERIFY(drew);
    }
  }

  void CreditsPauseTheDemonstrationAndHandBack() {
    test::PrivateStore store;
    WelcomeScreen about;
    about.FormLet(true);
    about.show();
    bool sawCredits = false, creditsAnimating = false, welcomePaused = false;
    QTimer::singleShot(200, [&] {
      auto* credits = qobject_cast<CreditsScreen*>(QApplication::activeModalWidget());
      if (!credits) return;
      sawCredits = true;
      creditsAnimating = credits->animating();
      welcomePaused = !about.animating();
      QTest::qWait(100);
      QTest::mouseClick(credits->dismissButton(), Qt::LeftButton);
    });
    QTest::mouseClick(about.creditsButton(), Qt::LeftButton);  // returns when credits close
    QVERIFY(sawCredits && creditsAnimating && welcomePaused);
    QVERIFY(about.animating() && about.isVisible());
  }

  void StarNearerThanTheLimitIsReborn() {
    Surface surface(200, 150);
    CreditStarField field(100, 0.0075f);
    field.Restart(surface);
    QCOMPARE(field.stars().size(), std::size_t{101});
    // Straight ahead: its projection stays on screen, but it has come too near.
    CreditStarField::Plot(surface, field.stars()[0]);  // take it off the surface...
    field.stars()[0] = {0.0001f, -0.0001f, 0.025f, 0.004f, -0.004f};
    CreditStarField::Plot(surface, field.stars()[0]);  // ...and put it back where it is now
    field.Frame(surface);
    const CreditStarField::Star& star = field.stars()[0];
    QCOMPARE(star.z, 1.0f);
    QVERIFY(star.px == star.x && star.py == star.y);
    // A star one step short of the limit just moves.
    CreditStarField::Plot(surface, field.stars()[1]);
    field.stars()[1] = {0, 0, 0.03f, 0, 0};
    CreditStarField::Plot(surface, field.stars()[1]);
    field.Frame(surface);
    QVERIFY(field.stars()[1].z < 0.03f && field.stars()[1].z > 0.02f);
  }

  void ExclusiveOrStarsLeaveTheGradientAsItWas() {
    Surface surface(240, 180), gradient(240, 180);
    GradientFill(gradient, RGB(0, 0, 48), RGB(160, 0, 0), 24, kGradientBoxes);
    CreditStarField field(200, 0.25f);  // fast, so stars reach every width and are reborn
    field.Restart(surface);
    for (int frame = 0; frame < 300; ++frame) field.Frame(surface);
    for (const auto& star : field.stars()) CreditStarField::Plot(surface, star);
    for (int y = 0; y < 180; ++y) {
      for (int x = 0; x < 240; ++x) QCOMPARE(surface.GetPixel(x, y), gradient.GetPixel(x, y));
    }
  }

  void CreditsScrollAroundAndFollowResizes() {
    CreditsScreen credits;
    credits.FormLet(100, 0.0075f, 10.0f, CreditsScreen::CreditLines());
    credits.show();
    const int start = credits.creditsText()->y();
    QCOMPARE(start, credits.viewport()->height() - 10);
    credits.RunFrame();
    QCOMPARE(credits.creditsText()->y(), start - 10);
    bool wrapped = false;
    for (int frame = 0; frame < 2000 && !wrapped; ++frame) {
      credits.RunFrame();
      wrapped = credits.creditsText()->y() == start;
    }
    QVERIFY(wrapped);
    credits.resize(400, 300);
    QCOMPARE(credits.fieldView()->surface().width(), 400);
    QCOMPARE(credits.fieldView()->surface().height(), 300);
    int edge = 0;  // the restarted gradient, under a star here and there
    for (int x = 0; x < 400; ++x)
      edge += credits.fieldView()->surface().GetPixel(x, 0) == RGB(0, 0, 48);
    QVERIFY(edge > 380);
  }
};

}  // namespace lmvn::ui

QTEST_MAIN(lmvn::ui::WelcomeTest)
#include "welcome_test.moc"
