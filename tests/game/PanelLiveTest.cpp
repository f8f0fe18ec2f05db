// The game panel on a shown (offscreen) window: its timers running for
// real, keys typed on the board, the keyboard focus and dragging.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <tuple>

#include "PanelFixture.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QTest::qWait(5);
  return done();
}

class LivePanel : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Host));
  }
  // A kind 3 shape falling freely at rows 6..8 (pivot (7, 5)), with the
  // timers too slow to move it during the test.
  void StartSlowKind3() {
    Panel->SetTDelay(100000);
    StartGame();
    Panel->SetNextTShape(3);
    ASSERT_TRUE(Land());
    for (int i = 0; i < 5; ++i) Logic().FallTimerTick();
    ASSERT_EQ(PivotOf(), std::tuple(7, 5, 3));
  }
  std::tuple<int, int, int> PivotOf() {
    for (int c = 1; c <= Logic().BoardColumns(); ++c)
      for (int r = Logic().BoardRows(); r >= 1; --r)
        if (const TCell* cell = Logic().CellAt(r, c); cell && cell->Tag > 0) return {r, c, cell->Tag};
    return {0, 0, 0};
  }
};

TEST_F(LivePanel, TimersRunAtTheirIntervals) {
  StartGame();
  TTtrsWidget& board = *Panel->Board();
  EXPECT_TRUE(board.FallTimer().isActive());
  EXPECT_EQ(board.FallTimer().interval(), 200);
  EXPECT_TRUE(board.ClockTimer().isActive());
  EXPECT_EQ(board.ClockTimer().interval(), 1000);

  Panel->SetTDelay(15);
  EXPECT_EQ(board.FallTimer().interval(), 15);
  const int row = std::get<0>(PivotOf());
  EXPECT_TRUE(WaitFor([&] { return std::get<0>(PivotOf()) >= row + 3; }, 10000));

  // The clock's one second, shortened here so that the test stays quick.
  board.ClockTimer().setInterval(30);
  EXPECT_TRUE(WaitFor([&] { return Times >= 1; }, 10000));
  EXPECT_TRUE(Panel->Caption().startsWith(QStringLiteral("Scores: 0 Time:")));
  EXPECT_GE(Panel->PlayTime(), 1.0);
}

TEST_F(LivePanel, DropFallsAtTwentyMillisecondsThenTheNormalPaceReturns) {
  StartSlowKind3();
  TTtrsWidget& board = *Panel->Board();
  QTest::keyClick(&board, Qt::Key_2, Qt::KeypadModifier);
  EXPECT_EQ(board.FallTimer().interval(), 20);
  const int contacts = Contacts;
  ASSERT_TRUE(WaitFor([&] { return Contacts > contacts; }, 10000));
  EXPECT_EQ(board.FallTimer().interval(), 100000);
  EXPECT_TRUE(board.FallTimer().isActive());
}

TEST_F(LivePanel, KeypadKeysPlayAndThePanelSeesEveryKey) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code;
    std::tuple<int, int, int> pivot;  // after the key
  } cases[] = {
      {Qt::Key_4, Qt::KeypadModifier, 100, {7, 4, 3}},   {Qt::Key_6, Qt::KeypadModifier, 102, {7, 6, 3}},
      {Qt::Key_5, Qt::KeypadModifier, 101, {7, 5, 10}},  {Qt::Key_4, Qt::NoModifier, 52, {7, 5, 3}},
      {Qt::Key_Left, Qt::NoModifier, 37, {7, 5, 3}},     {Qt::Key_A, Qt::NoModifier, 65, {7, 5, 3}},
      {Qt::Key_Left, Qt::KeypadModifier, 37, {7, 5, 3}},
  };
  for (bool defKeys : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.code << (defKeys ? "" : " without the board's keys"));
      Panel->SetState(TState::StPanel);
      Panel->SetDefKeys(defKeys);
      StartSlowKind3();
      std::vector<uint16_t> seen;
      Panel->OnKeyDown = [&](TTetPanel& sender, uint16_t key) {
        EXPECT_EQ(&sender, Panel);
        seen.push_back(key);
      };
      QTest::keyClick(Panel->Board(), c.key, c.modifiers);
      EXPECT_EQ(seen, std::vector<uint16_t>{static_cast<uint16_t>(c.code)});
      EXPECT_EQ(PivotOf(), defKeys ? c.pivot : std::tuple(7, 5, 3));
      if (defKeys) {
        EXPECT_EQ(Logic().LastKey(), c.code);
      }
    }
  }
}

TEST_F(LivePanel, PauseStopsTheGameAndItsKeys) {
  StartSlowKind3();
  Panel->SetTDelay(10);
  Panel->SetPause(true);
  EXPECT_FALSE(Panel->Board()->FallTimer().isActive());
  EXPECT_FALSE(Panel->Board()->ClockTimer().isActive());
  QTest::keyClick(Panel->Board(), Qt::Key_4, Qt::KeypadModifier);
  QTest::qWait(60);
  EXPECT_EQ(PivotOf(), std::tuple(7, 5, 3));
  Panel->SetPause(false);
  EXPECT_TRUE(WaitFor([&] { return std::get<0>(PivotOf()) > 7; }, 10000));
}

TEST_F(LivePanel, TheBoardTakesTheFocusOnceShownAndGetsItBack) {
  auto* other = new QLineEdit(&Host);
  other->setGeometry(320, 20, 80, 24);
  other->show();
  Host.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Host));
  other->setFocus();
  StartGame();
  ASSERT_TRUE(WaitFor([&] { return Logic().Painted; }, 10000));
  EXPECT_TRUE(WaitFor([&] { return Panel->Board()->hasFocus(); }, 10000));

  // Taken away, it comes back on the next setter or, with TimerFocus, on the
  // next clock tick.
  other->setFocus();
  ASSERT_TRUE(WaitFor([&] { return other->hasFocus(); }, 10000));
  Panel->SetTimerFocus(true);
  EXPECT_TRUE(Panel->Board()->hasFocus());
  other->setFocus();
  ASSERT_TRUE(WaitFor([&] { return other->hasFocus(); }, 10000));
  Logic().ClockTimerTick();
  EXPECT_TRUE(Panel->Board()->hasFocus());

  // Without the board's keys, or paused, the panel leaves the focus alone.
  Panel->SetDefKeys(false);
  other->setFocus();
  ASSERT_TRUE(WaitFor([&] { return other->hasFocus(); }, 10000));
  Logic().ClockTimerTick();
  EXPECT_TRUE(other->hasFocus());
  Panel->SetDefKeys(true);
  EXPECT_TRUE(Panel->Board()->hasFocus());
  Panel->SetPause(true);
  other->setFocus();
  ASSERT_TRUE(WaitFor([&] { return other->hasFocus(); }, 10000));
  Logic().ClockTimerTick();
  EXPECT_TRUE(other->hasFocus());
}

TEST_F(LivePanel, DragsTheBoardAndThePanelAbout) {
  StartGame();
  TTtrsWidget* board = Panel->Board();
  const QPoint start = board->pos();
  QTest::mousePress(board, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(board, QPoint(30, 25));
  QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(30, 25));
  EXPECT_EQ(board->pos(), start + QPoint(20, 15));

  // The title bar moves the panel; the frame's corner sizes it.
  const QRect before = Panel->geometry();
  const QMargins m = Panel->contentsMargins();
  const QPoint grip(before.width() / 2, m.left() + 2);
  QTest::mousePress(Panel, Qt::LeftButton, {}, grip);
  QTest::mouseMove(Panel, grip + QPoint(-7, 9));
  QTest::mouseRelease(Panel, Qt::LeftButton, {}, grip + QPoint(-7, 9));
  EXPECT_EQ(Panel->geometry(), before.translated(-7, 9));

  const QRect moved = Panel->geometry();
  const QPoint corner(moved.width() - 1, moved.height() - 1);
  QTest::mousePress(Panel, Qt::LeftButton, {}, corner);
  QTest::mouseMove(Panel, corner + QPoint(-40, -30));
  QTest::mouseRelease(Panel, Qt::LeftButton, {}, corner + QPoint(-40, -30));
  EXPECT_EQ(Panel->geometry(), moved.adjusted(0, 0, -40, -30));
  EXPECT_EQ(Panel->Board()->geometry(), Panel->contentsRect());
}

}  // namespace
