// The game panel: its defaults, the validation of its properties (a bad
// value keeps the old one and is answered by a message), the game state and
// back, starting, pausing, scores, captions, events and pictures.
#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>

#include <climits>
#include <functional>
#include <tuple>

#include "PanelFixture.h"

namespace {

using GamePanel = PanelFixture;

TEST_F(GamePanel, StartsWithTheDocumentedDefaults) {
  const TTetPanel& p = *Panel;
  EXPECT_FALSE(p.About().isEmpty());
  EXPECT_EQ(p.State(), TState::StPanel);
  EXPECT_FALSE(p.Start());
  EXPECT_TRUE(p.PicStretch());
  EXPECT_EQ(p.ColorTB(), 0u);
  EXPECT_EQ(p.ColorTF(), 0u);
  EXPECT_EQ(p.ColorTShapes(), TColorTAFShapes::colorFixed);
  EXPECT_EQ(p.ColorTShapesPen(), 0xFFFFFFu);
  EXPECT_EQ(p.WidthTShapesPen(), 1);
  EXPECT_EQ(p.TDelay(), 200);
  EXPECT_FALSE(p.NextSColorT());
  EXPECT_FALSE(p.TimerFocus());
  EXPECT_TRUE(p.DefKeys());
  EXPECT_EQ(p.OneColorTShapes(), 0x8000000Fu);
  EXPECT_EQ(p.ShapesTShape(), TShapeType::stRoundRect);
  EXPECT_EQ(p.ShapesTBrushStyle(), TBrushStyle::bsSolid);
  EXPECT_TRUE(p.ShowScoresTime());
  EXPECT_TRUE(p.ShowAllDlgs());
  EXPECT_TRUE(p.AOverPicture().isEmpty());
  EXPECT_EQ(p.TCoeff(), 1);
  EXPECT_TRUE(p.BStPicture().isEmpty());
  EXPECT_EQ(p.TRows(), 20);
  EXPECT_EQ(p.TColumns(), 10);
  EXPECT_TRUE(p.WithCaption());
  EXPECT_FALSE(p.Pause());
  EXPECT_EQ(p.NextTShape(), 7);
  EXPECT_EQ(p.Board(), nullptr);
  EXPECT_EQ(p.Picture(), nullptr);
}

struct RangeCase {
  const char* name;
  std::function<void(TTetPanel&, int)> set;
  std::function<int(const TTetPanel&)> get;
  std::function<int(TTetPanel&)> board;  // the value the board holds
  std::vector<int> bad, good;
  const char* text;
};

std::vector<RangeCase> RangeCases() {
  return {
      {"pen width", [](TTetPanel& p, int v) { p.SetWidthTShapesPen(v); },
       [](const TTetPanel& p) { return p.WidthTShapesPen(); },
       [](TTetPanel& p) { return p.Board()->Board().CellPenWidth(); }, {0, -1, INT_MIN}, {2, INT_MAX},
       "Value must be >0"},
      {"fall interval", [](TTetPanel& p, int v) { p.SetTDelay(v); }, [](const TTetPanel& p) { return p.TDelay(); },
       [](TTetPanel& p) { return p.Board()->Board().FallInterval(); }, {0, -200}, {1, 500}, "Value must be >0"},
      {"next kind", [](TTetPanel& p, int v) { p.SetNextTShape(v); },
       [](const TTetPanel& p) { return p.NextTShape(); },
       [](TTetPanel& p) { return p.Board()->Board().NextKind(); }, {0, 8, -1, 65537}, {1, 3}, "Value must be in [1..7]"},
      {"rows", [](TTetPanel& p, int v) { p.SeTTRows(v); }, [](const TTetPanel& p) { return p.TRows(); },
       [](TTetPanel& p) { return p.Board()->Board().BoardRows(); }, {5, 49, 0, -20, 65556}, {6, 48},
       "Value must be in [6..48]"},
      {"columns", [](TTetPanel& p, int v) { p.SeTTColumns(v); }, [](const TTetPanel& p) { return p.TColumns(); },
       [](TTetPanel& p) { return p.Board()->Board().BoardColumns(); }, {5, 25, 0, 65546}, {6, 24},
       "Value must be in [6..24]"},
  };
}

TEST_F(GamePanel, RefusesOutOfRangeValuesWithAnErrorBoxAndKeepsTheOldOne) {
  for (bool inGame : {false, true}) {
    for (const RangeCase& c : RangeCases()) {
      SCOPED_TRACE(testing::Message() << c.name << (inGame ? " in the game state" : " as a panel"));
      if (inGame && !Panel->Board()) EnterGame();
      for (int good : c.good) {
        Shown.clear();
        c.set(*Panel, good);
        EXPECT_TRUE(Shown.empty());
        EXPECT_EQ(c.get(*Panel), good);
        if (inGame) {
          EXPECT_EQ(c.board(*Panel), good);
        }
      }
      const int kept = c.get(*Panel);
      for (int bad : c.bad) {
        SCOPED_TRACE(bad);
        Shown.clear();
        c.set(*Panel, bad);
        ASSERT_EQ(Shown.size(), 1u);
        EXPECT_EQ(Shown[0].Kind, TGameMessageKind::Error);
        EXPECT_EQ(Shown[0].Text.toStdString(), c.text);
        EXPECT_EQ(c.get(*Panel), kept);
        if (inGame) {
          EXPECT_EQ(c.board(*Panel), kept);
        }
      }
    }
  }
}

TEST_F(GamePanel, RefusesValuesOutsideTheEnumerationsSilently) {
  Panel->SetColorTShapes(static_cast<TColorTAFShapes>(9));
  Panel->SetShapesTShape(static_cast<TShapeType>(6));
  Panel->SetShapesTBrushStyle(static_cast<TBrushStyle>(200));
  Panel->SetState(static_cast<TState>(2));
  EnterGame();
  Panel->SetGKey(static_cast<TTSAKey>(4));
  EXPECT_EQ(Panel->ColorTShapes(), TColorTAFShapes::colorFixed);
  EXPECT_EQ(Panel->ShapesTShape(), TShapeType::stRoundRect);
  EXPECT_EQ(Panel->ShapesTBrushStyle(), TBrushStyle::bsSolid);
  EXPECT_EQ(Panel->GKey(), TTSAKey::Lft);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(GamePanel, WithCaptionChangesOnlyAsAPanel) {
  Panel->SetWithCaption(false);
  EXPECT_FALSE(Panel->WithCaption());
  EXPECT_TRUE(Shown.empty());
  EnterGame();
  for (bool value : {true, false}) {
    Shown.clear();
    Panel->SetWithCaption(value);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Kind, TGameMessageKind::Error);
    EXPECT_EQ(Shown[0].Text, QStringLiteral("At run time change this option only if State=sTetPanel"));
    EXPECT_FALSE(Panel->WithCaption());
  }
  Panel->SetState(TState::StPanel);
  Shown.clear();
  Panel->SetWithCaption(true);
  EXPECT_TRUE(Panel->WithCaption());
  EXPECT_TRUE(Shown.empty());
}

TEST_F(GamePanel, CopiesItsSettingsIntoTheBoardAndForwardsChanges) {
  Panel->SetColorTB(0x010101);
  Panel->SetColorTF(0x020202);
  Panel->SetColorTShapes(TColorTAFShapes::colorOne);
  Panel->SetColorTShapesPen(0x030303);
  Panel->SetWidthTShapesPen(4);
  Panel->SetTDelay(120);
  Panel->SetNextSColorT(false);
  Panel->SetOneColorTShapes(0x040404);
  Panel->SetShapesTShape(TShapeType::stCircle);
  Panel->SetShapesTBrushStyle(TBrushStyle::bsCross);
  Panel->SetNextTShape(4);
  Panel->SeTTRows(30);
  Panel->SeTTColumns(12);
  EnterGame();
  const TTtrs& b = Logic();
  EXPECT_EQ(b.Color(), 0x010101u);
  EXPECT_EQ(b.BottomColor(), 0x020202u);
  EXPECT_EQ(b.CellColorMode(), TColorTAFShapes::colorOne);
  EXPECT_EQ(b.CellPenColor(), 0x030303u);
  EXPECT_EQ(b.CellPenWidth(), 4);
  EXPECT_EQ(b.FallInterval(), 120);
  EXPECT_EQ(b.FallTimerInterval(), 120);
  EXPECT_FALSE(b.ShowNextColor());
  EXPECT_EQ(b.CellOneColor(), 0x040404u);
  EXPECT_EQ(b.CellShapeType(), TShapeType::stCircle);
  EXPECT_EQ(b.CellBrushStyle(), TBrushStyle::bsCross);
  EXPECT_EQ(b.NextKind(), 4);
  EXPECT_EQ(b.BoardRows(), 30);
  EXPECT_EQ(b.BoardColumns(), 12);
  EXPECT_FALSE(b.Active());
  EXPECT_FALSE(b.Paused());
  EXPECT_EQ(Panel->Board()->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(Panel->Board()->parentWidget(), Panel);

  // Changes in the game state reach the board.
  Panel->SetColorTB(0x111111);
  Panel->SetColorTF(0x121212);
  Panel->SetColorTShapes(TColorTAFShapes::colorFixed2);
  Panel->SetColorTShapesPen(0x131313);
  Panel->SetNextSColorT(true);
  Panel->SetOneColorTShapes(0x141414);
  Panel->SetShapesTShape(TShapeType::stEllipse);
  Panel->SetShapesTBrushStyle(TBrushStyle::bsVertical);
  EXPECT_EQ(b.BottomColor(), 0x121212u);
  EXPECT_EQ(b.CellColorMode(), TColorTAFShapes::colorFixed2);
  EXPECT_EQ(b.CellPenColor(), 0x131313u);
  EXPECT_TRUE(b.ShowNextColor());
  EXPECT_EQ(b.CellOneColor(), 0x141414u);
  EXPECT_EQ(b.CellShapeType(), TShapeType::stEllipse);
  EXPECT_EQ(b.CellBrushStyle(), TBrushStyle::bsVertical);
  // With the next shape's colour shown, a new next kind recolours the board.
  Panel->SetNextTShape(5);
  EXPECT_EQ(b.Color(), 0xFF0000u);
  EXPECT_TRUE(Shown.empty());
}

TEST_F(GamePanel, EntersTheGameStateAndLeavesItAsItWas) {
  struct Case {
    bool withCaption, showScores;
    uint32_t style;
    const char* caption;
  } cases[] = {
      {true, true, TTetPanel::WS_CAPTION | TTetPanel::WS_THICKFRAME, "Scores: 0; Time     0"},
      {false, true, TTetPanel::WS_THICKFRAME, "Scores: 0; Time     0"},
      {true, false, TTetPanel::WS_CAPTION | TTetPanel::WS_THICKFRAME, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.withCaption << c.showScores);
    Panel->SetWithCaption(c.withCaption);
    Panel->SetShowScoresTime(c.showScores);
    Panel->SetCaption(QStringLiteral("Game"));
    const QRect before = Panel->geometry();
    EnterGame();
    EXPECT_EQ(Panel->WindowStyle(), c.style);
    EXPECT_EQ(Panel->SavedBounds(), before);
    EXPECT_EQ(Panel->geometry(), before);
    EXPECT_EQ(Panel->Caption().toStdString(), c.caption);
    const QMargins m = Panel->contentsMargins();
    EXPECT_GT(m.left(), 0);
    EXPECT_EQ(m.top() > m.left(), c.withCaption);
    EXPECT_EQ(Panel->Board()->geometry(), Panel->contentsRect());
    EXPECT_TRUE(Panel->Board()->isVisible());
    EXPECT_EQ(Panel->DeletedRows(), 0);

    // The board follows the panel's size; moving the panel is undone on leaving.
    Panel->setGeometry(40, 30, 260, 400);
    EXPECT_EQ(Panel->Board()->geometry(), Panel->contentsRect());
    Panel->SetStart(true);
    Panel->SetPause(true);
    QPointer<TTtrsWidget> board = Panel->Board();
    Panel->SetState(TState::Plumet);  // no change: nothing happens
    EXPECT_EQ(Panel->Board(), board.data());
    Panel->SetState(TState::StPanel);
    EXPECT_EQ(Panel->Board(), nullptr);
    EXPECT_EQ(Panel->WindowStyle(), 0u);
    EXPECT_EQ(Panel->contentsMargins(), QMargins());
    EXPECT_EQ(Panel->geometry(), before);
    EXPECT_EQ(Panel->Caption(), QStringLiteral("Game"));
    EXPECT_FALSE(Panel->Start());
    EXPECT_FALSE(Panel->Pause());
    // The board is gone once control is back in the event loop.
    ASSERT_FALSE(board.isNull());
    EXPECT_FALSE(board->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(board.isNull());
  }
}

TEST_F(GamePanel, StartsAGameOnlyInTheGameState) {
  Panel->SetStart(true);
  EXPECT_FALSE(Panel->Start());
  EXPECT_EQ(Panel->Board(), nullptr);
  Panel->SetPause(true);
  EXPECT_FALSE(Panel->Pause());

  EnterGame();
  Panel->SetPause(true);  // no game yet
  EXPECT_FALSE(Panel->Pause());
  EXPECT_FALSE(Logic().Paused());
  Panel->SeTTRows(25);
  Panel->SetStart(true);
  EXPECT_TRUE(Panel->Start());
  EXPECT_TRUE(Logic().Active());
  EXPECT_EQ(Logic().BoardRows(), 25);
  EXPECT_EQ(Panel->Caption(), QStringLiteral("Scores: 0"));
  EXPECT_EQ(Contacts, 1);
  EXPECT_EQ(Panel->NextTShape(), Logic().NextKind());

  // Setting false does not stop the game.
  Panel->SetStart(false);
  EXPECT_TRUE(Panel->Start());
  EXPECT_TRUE(Logic().Active());

  Panel->SetPause(true);
  EXPECT_TRUE(Panel->Pause());
  EXPECT_TRUE(Logic().Paused());
  EXPECT_FALSE(Panel->Board()->FallTimer().isActive());
  EXPECT_FALSE(Panel->Board()->ClockTimer().isActive());
  Panel->Board()->move(5, 5);  // dragged about while paused
  Panel->SetPause(false);
  EXPECT_FALSE(Logic().Paused());
  EXPECT_TRUE(Panel->Board()->FallTimer().isActive());
  EXPECT_EQ(Panel->Board()->geometry(), Panel->contentsRect());
}

TEST_F(GamePanel, RowsAndColumnsChangedDuringAGameWaitForTheNextOne) {
  struct Case {
    bool rows, showAll;
  } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.rows ? "rows" : "columns") << " " << c.showAll);
    Panel->SetState(TState::StPanel);
    Panel->SeTTRows(20);
    Panel->SeTTColumns(10);
    Panel->SetShowAllDlgs(c.showAll);
    StartGame();
    Shown.clear();
    c.rows ? Panel->SeTTRows(30) : Panel->SeTTColumns(14);
    if (c.showAll) {
      ASSERT_EQ(Shown.size(), 1u);
      EXPECT_EQ(Shown[0].Kind, TGameMessageKind::Information);
      EXPECT_EQ(Shown[0].Text, QStringLiteral("Restart Plumet to have effect this option"));
    } else {
      EXPECT_TRUE(Shown.empty());
    }
    EXPECT_EQ(Logic().BoardRows(), 20);
    EXPECT_EQ(Logic().BoardColumns(), 10);
    EndGame();
    // Between games a change reaches the board at once.
    Shown.clear();
    c.rows ? Panel->SeTTColumns(8) : Panel->SeTTRows(12);
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Logic().BoardRows(), c.rows ? 20 : 12);
    EXPECT_EQ(Logic().BoardColumns(), c.rows ? 8 : 10);
    Panel->SetStart(true);
    EXPECT_EQ(Logic().BoardRows(), c.rows ? 30 : 12);
    EXPECT_EQ(Logic().BoardColumns(), c.rows ? 8 : 14);
  }
}

TEST_F(GamePanel, CountsRemovedRowsAndScores) {
  struct Case {
    int coeff, rows;
    int scores;
  } cases[] = {{1, 1, 1}, {5, 2, 10}, {-3, 1, -3}, {INT_MAX, 2, INT_MAX}, {INT_MIN, 2, INT_MIN}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.coeff << " x " << c.rows);
    Panel->SetState(TState::StPanel);
    Deletes = 0;
    Panel->SetTCoeff(c.coeff);
    StartGame();
    for (int r = 0; r < c.rows; ++r) FillRow(20 - r);
    ASSERT_TRUE(Land());
    EXPECT_EQ(Deletes, c.rows);
    EXPECT_EQ(Panel->DeletedRows(), c.rows);
    EXPECT_EQ(Panel->Scores(), c.scores);
  }
}

TEST_F(GamePanel, ShowsScoreAndTimeOnEveryClockTick) {
  Panel->SetTCoeff(7);
  StartGame();
  Logic().ClockTimerTick();
  EXPECT_EQ(Times, 1);
  EXPECT_EQ(Panel->PlayTime(), 1.0);
  EXPECT_EQ(Panel->Caption(), QStringLiteral("Scores: 0 Time:     1"));
  FillRow(20);
  ASSERT_TRUE(Land());
  for (int i = 0; i < 122; ++i) Logic().ClockTimerTick();
  EXPECT_EQ(Panel->Caption(), QStringLiteral("Scores: 7 Time:   123"));
  Panel->SetShowScoresTime(false);
  Logic().ClockTimerTick();
  EXPECT_EQ(Panel->Caption(), QString());
  EXPECT_EQ(Times, 124);
  // A new game counts from zero.
  EndGame();
  Logic().ClockTimerTick();
  EXPECT_EQ(Times, 124);
  Panel->SetShowScoresTime(true);
  Panel->SetStart(true);
  EXPECT_EQ(Panel->Scores(), 0);
  EXPECT_EQ(Panel->PlayTime(), 0.0);
  Logic().ClockTimerTick();
  EXPECT_EQ(Panel->Caption(), QStringLiteral("Scores: 0 Time:     1"));
}

TEST_F(GamePanel, NextShapeIsReadAfterEverySpawnAndChosenWhenWritten) {
  for (int kind = 1; kind <= 7; ++kind) {
    SCOPED_TRACE(kind);
    Panel->SetState(TState::StPanel);
    StartGame(77);
    Panel->SetNextTShape(kind);
    EXPECT_EQ(Logic().NextKind(), kind);
    const int contacts = Contacts;
    ASSERT_TRUE(Land());
    EXPECT_EQ(Contacts, contacts + 1);
    // The shape just spawned is of the kind written; the panel now reads the
    // kind that comes after it.
    bool found = false;
    for (int r = 1; r <= 4 && !found; ++r)
      for (int c = 1; c <= 10; ++c)
        if (const TCell* cell = Logic().CellAt(r, c); cell && cell->Tag == kind) found = true;
    EXPECT_TRUE(found);
    EXPECT_EQ(Panel->NextTShape(), Logic().NextKind());
  }
}

TEST_F(GamePanel, ActionsRunOnlyDuringAnUnpausedGame) {
  struct Case {
    TTSAKey key;
    int shift, turn;
    bool drop;
  } cases[] = {{TTSAKey::Lft, -1, 0, false}, {TTSAKey::Rgh, 1, 0, false}, {TTSAKey::Rtt, 0, 1, false},
               {TTSAKey::Drp, 0, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key));
    Panel->SetState(TState::StPanel);
    Panel->SetGKey(c.key);  // no board: not even stored
    EnterGame();
    Logic().SetNextKind(3);
    Panel->SetGKey(c.key);  // no game: stored, nothing done
    EXPECT_EQ(Panel->GKey(), c.key);
    Panel->SetStart(true);
    Panel->SetNextTShape(3);
    ASSERT_TRUE(Land());  // a kind 3 shape now falls
    for (int i = 0; i < 5; ++i) Logic().FallTimerTick();
    auto pivot = [&] {
      for (int c2 = 1; c2 <= 10; ++c2)
        for (int r = 20; r >= 1; --r)
          if (const TCell* cell = Logic().CellAt(r, c2); cell && cell->Tag > 0) return std::tuple(r, c2, cell->Tag);
      return std::tuple(0, 0, 0);
    };
    const auto [r0, c0, t0] = pivot();
    Panel->SetPause(true);
    Panel->SetGKey(c.key);
    EXPECT_EQ(pivot(), std::tuple(r0, c0, t0));
    Panel->SetPause(false);
    Panel->SetGKey(c.key);
    EXPECT_EQ(pivot(), std::tuple(r0, c0 + c.shift, t0 + 7 * c.turn));
    EXPECT_EQ(Logic().FallTimerInterval(), c.drop ? 20 : Panel->TDelay());
    EXPECT_EQ(Logic().Action(), c.key);
  }
}

TEST_F(GamePanel, GameOverEndsTheGameAndFiresItsEvent) {
  StartGame();
  EndGame();
  EXPECT_EQ(Overs, 1);
  EXPECT_FALSE(Panel->Start());
  EXPECT_FALSE(Logic().Active());
  // The board stays for the next game.
  ASSERT_NE(Panel->Board(), nullptr);
  Panel->SetStart(true);
  EXPECT_TRUE(Panel->Start());
  EXPECT_TRUE(Logic().Active());
}

TEST_F(GamePanel, LeavingTheGameStateFromItsOwnEventsIsSafe) {
  // Each handler lets the board go while the board is still inside its
  // event; the sanitizer build checks that nothing touches it afterwards.
  struct Case {
    const char* name;
    int event;  // 0 game over, 1 row removed, 2 spawn, 3 clock
  } cases[] = {{"game over", 0}, {"row removed", 1}, {"spawn", 2}, {"clock", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Panel->SetState(TState::StPanel);
    Panel->OnPlumetOver = Panel->OnPlumetDelete = Panel->OnPlumetContact = Panel->OnPlumetTime = nullptr;
    StartGame();
    const std::function<void(TTetPanel&)> leave = [](TTetPanel& p) { p.SetState(TState::StPanel); };
    Panel->OnPlumetOver = c.event == 0 ? leave : nullptr;
    Panel->OnPlumetDelete = c.event == 1 ? leave : nullptr;
    Panel->OnPlumetContact = c.event == 2 ? leave : nullptr;
    Panel->OnPlumetTime = c.event == 3 ? leave : nullptr;
    QPointer<TTtrsWidget> board = Panel->Board();
    TTtrs& logic = Logic();
    FillRow(20);
    if (c.event == 0) {
      for (int i = 0; i < 6; ++i) logic.FallTimerTick();
      for (int r = 1; r <= 4; ++r)
        for (int col = 4; col <= 6; ++col) ASSERT_TRUE(logic.PlaceCell(r, 0, col));
    }
    if (c.event == 3) logic.ClockTimerTick();
    for (int i = 0; i < 40 && Panel->Board(); ++i) logic.FallTimerTick();
    EXPECT_EQ(Panel->Board(), nullptr);
    EXPECT_EQ(Panel->State(), TState::StPanel);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(board.isNull());
  }
}

class PanelPictures : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    ASSERT_TRUE(Dir.isValid());
    Red = Dir.filePath(QStringLiteral("red.png"));
    QImage image(10, 8, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    ASSERT_TRUE(image.save(Red));
    Missing = Dir.filePath(QStringLiteral("missing.bmp"));
  }
  QColor PixelOnBoard(int x, int y) { return Panel->Board()->grab().toImage().pixelColor(x, y); }

  QTemporaryDir Dir;
  QString Red, Missing;
};

TEST_F(PanelPictures, ShowsTheBackgroundPictureUntilTheFirstGame) {
  Panel->SetColorTB(0x00FF00);  // green board
  Panel->SetBStPicture(Red);
  EnterGame();
  EXPECT_TRUE(Shown.empty());
  ASSERT_NE(Panel->Picture(), nullptr);
  // Stretched over the whole board.
  const QSize size = Panel->Board()->size();
  EXPECT_EQ(PixelOnBoard(size.width() - 2, size.height() - 2), QColor(255, 0, 0));
  Panel->SetPicStretch(false);
  EXPECT_EQ(PixelOnBoard(5, 5), QColor(255, 0, 0));
  EXPECT_EQ(PixelOnBoard(50, 50), QColor(0, 255, 0));
  Panel->SetStart(true);
  EXPECT_EQ(Panel->Picture(), nullptr);
  EXPECT_EQ(PixelOnBoard(5, 5), QColor(0, 255, 0));
}

TEST_F(PanelPictures, ShowsTheGameOverPictureAfterAGame) {
  Panel->SetColorTB(0x00FF00);
  Panel->SetAOverPicture(Red);
  StartGame();
  EXPECT_EQ(Panel->Picture(), nullptr);
  EndGame();
  ASSERT_NE(Panel->Picture(), nullptr);
  EXPECT_EQ(PixelOnBoard(20, 20), QColor(255, 0, 0));
  EXPECT_TRUE(Shown.empty());
  EXPECT_EQ(Panel->AOverPicture(), Red);
}

TEST_F(PanelPictures, APictureThatCannotBeOpenedIsReportedOnceAndDropped) {
  struct Case {
    bool background;
  } cases[] = {{true}, {false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.background ? "background" : "game over");
    Panel->SetState(TState::StPanel);
    Shown.clear();
    c.background ? Panel->SetBStPicture(Missing) : Panel->SetAOverPicture(Missing);
    EXPECT_TRUE(Shown.empty());  // the file is read only when needed
    StartGame();
    EndGame();
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Kind, TGameMessageKind::Plain);
    EXPECT_EQ(Shown[0].Text, QStringLiteral("Cannot Open ") + Missing);
    EXPECT_EQ(Panel->Picture(), nullptr);
    EXPECT_TRUE(Panel->BStPicture().isEmpty());
    EXPECT_TRUE(Panel->AOverPicture().isEmpty());
    // The game goes on, and the file is not tried again.
    Panel->SetStart(true);
    EndGame();
    Panel->SetState(TState::StPanel);
    EnterGame();
    EXPECT_EQ(Shown.size(), 1u);
  }
}

}  // namespace
