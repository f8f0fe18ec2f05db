// The board's rules without a window: spawning, falling, moves and turns at
// walls and blocks, landing, full rows, the end of a game, colours, geometry
// and the refusal of positions and values outside the grid.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "TetBoard.h"

namespace {

struct P {
  int Row, Column;
  friend bool operator<(const P& a, const P& b) { return std::tie(a.Row, a.Column) < std::tie(b.Row, b.Column); }
  friend bool operator==(const P& a, const P& b) { return a.Row == b.Row && a.Column == b.Column; }
};

std::ostream& operator<<(std::ostream& os, const P& p) { return os << "(" << p.Row << "," << p.Column << ")"; }

std::set<P> Moving(const TTtrs& b) {
  std::set<P> out;
  for (int r = 1; r <= TTtrs::MaxRows; ++r)
    for (int c = 1; c <= TTtrs::MaxColumns; ++c)
      if (const TCell* cell = b.CellAt(r, c); cell && cell->Tag != 0) out.insert({r, c});
  return out;
}

std::set<P> Settled(const TTtrs& b) {
  std::set<P> out;
  for (int r = 1; r <= TTtrs::MaxRows; ++r)
    for (int c = 1; c <= TTtrs::MaxColumns; ++c)
      if (const TCell* cell = b.CellAt(r, c); cell && cell->Tag == 0) out.insert({r, c});
  return out;
}

// The pivot (the one cell with a positive tag) and its tag.
std::pair<P, int> Pivot(const TTtrs& b) {
  for (int r = 1; r <= TTtrs::MaxRows; ++r)
    for (int c = 1; c <= TTtrs::MaxColumns; ++c)
      if (const TCell* cell = b.CellAt(r, c); cell && cell->Tag > 0) return {{r, c}, cell->Tag};
  return {{0, 0}, 0};
}

std::set<P> Shifted(const std::vector<P>& offsets, P origin) {
  std::set<P> out;
  for (const P& o : offsets) out.insert({origin.Row + o.Row, origin.Column + o.Column});
  return out;
}

class Board : public ::testing::Test {
 protected:
  void SetUp() override {
    B.SeedRandom(12345);
    B.Resize(200, 400);
    B.SetFallInterval(200);
    B.OnRowFull = [this](TTtrs&) { ++RowsFull; };
    B.OnGameOver = [this](TTtrs&) { ++GameOvers; };
    B.OnShapeSpawned = [this](TTtrs&) { ++Spawns; };
    B.OnTime = [this](TTtrs&) { ++Ticks; };
  }
  // Spawns a shape of `kind` at the top, as after a landing.
  void Spawn(int kind) {
    B.SetNextKind(static_cast<uint16_t>(kind));
    B.NewShape();
  }
  void Fall(int rows) {
    for (int i = 0; i < rows; ++i) B.FallTimerTick();
  }
  // Ticks until the falling shape has settled and the next one spawned.
  int FallUntilLanded() {
    const int spawns = Spawns, overs = GameOvers;
    int n = 0;
    while (Spawns == spawns && GameOvers == overs && n < 200) B.FallTimerTick(), ++n;
    return n;
  }
  void FillRow(int row, std::set<int> gaps = {}) {
    for (int c = 1; c <= B.BoardColumns(); ++c)
      if (!gaps.count(c)) { ASSERT_TRUE(B.PlaceCell(row, 0, c)); }
  }

  TTtrs B;
  int RowsFull = 0, GameOvers = 0, Spawns = 0, Ticks = 0;
};

TEST_F(Board, SpawnsEachKindAtItsPlace) {
  struct Case {
    int kind, columns;
    P pivot;
    std::vector<P> others;
  } cases[] = {
      {1, 10, {1, 5}, {{1, 6}, {2, 5}, {3, 5}}}, {2, 10, {1, 5}, {{1, 4}, {2, 5}, {3, 5}}},
      {3, 10, {2, 5}, {{2, 4}, {1, 5}, {3, 5}}}, {4, 10, {2, 5}, {{2, 6}, {1, 6}, {3, 5}}},
      {5, 10, {2, 5}, {{2, 4}, {1, 4}, {3, 5}}}, {6, 10, {2, 5}, {{1, 5}, {3, 5}, {4, 5}}},
      {7, 10, {2, 5}, {{2, 6}, {1, 6}, {1, 5}}}, {4, 7, {2, 3}, {{2, 4}, {1, 4}, {3, 3}}},
      {5, 6, {2, 3}, {{2, 2}, {1, 2}, {3, 3}}},  {1, 24, {1, 12}, {{1, 13}, {2, 12}, {3, 12}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " columns " << c.columns);
    TTtrs b;
    b.SeedRandom(1);
    ASSERT_TRUE(b.SetBoardColumns(c.columns));
    b.SetNextKind(static_cast<uint16_t>(c.kind));
    int spawned = 0;
    b.OnShapeSpawned = [&](TTtrs&) { ++spawned; };
    b.NewShape();
    EXPECT_EQ(spawned, 1);
    EXPECT_EQ(b.CellAt(c.pivot.Row, c.pivot.Column)->Tag, c.kind);
    for (const P& o : c.others) {
      ASSERT_NE(b.CellAt(o.Row, o.Column), nullptr) << o;
      EXPECT_EQ(b.CellAt(o.Row, o.Column)->Tag, -c.kind) << o;
    }
    EXPECT_EQ(Moving(b).size(), 4u);
    EXPECT_GE(b.NextKind(), 1);
    EXPECT_LE(b.NextKind(), 7);
  }
}

TEST_F(Board, NextKindIsDrawnFromTheSeededSourceOverAllKinds) {
  std::set<int> seen;
  std::vector<int> first, again;
  for (int i = 0; i < 60; ++i) {
    B.SetNextKind(1);
    B.NewShape();
    first.push_back(B.NextKind());
    seen.insert(B.NextKind());
    B.GameOver();
  }
  TTtrs other;
  other.SeedRandom(12345);
  for (int i = 0; i < 60; ++i) {
    other.SetNextKind(1);
    other.NewShape();
    again.push_back(other.NextKind());
    other.GameOver();
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(first, again);
}

TEST_F(Board, FallsOneRowPerTickAndSettlesOnTheFloorOrABlock) {
  struct Case {
    const char* name;
    int kind;
    std::vector<P> blocks;
    int expectedTicks;     // ticks until the next shape spawned
    std::set<P> settled;   // the landed shape (and the blocks)
  } cases[] = {
      // An upright bar falls from rows 1..4 to rows 17..20: 16 moves, one
      // more tick to find it blocked.
      {"floor", 6, {}, 17, {{17, 5}, {18, 5}, {19, 5}, {20, 5}}},
      {"block", 6, {{15, 5}}, 11, {{11, 5}, {12, 5}, {13, 5}, {14, 5}, {15, 5}}},
      // Kind 1 hangs on its right arm: the block below (2 rows under the
      // arm) stops it.
      {"arm", 1, {{10, 6}}, 9, {{9, 5}, {9, 6}, {10, 5}, {11, 5}, {10, 6}}},
      // A block beside the path does not hold the shape.
      {"beside", 6, {{10, 6}}, 17, {{10, 6}, {17, 5}, {18, 5}, {19, 5}, {20, 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTtrs b;
    b.SeedRandom(3);
    b.SetFallInterval(200);
    int spawns = 0;
    b.OnShapeSpawned = [&](TTtrs&) { ++spawns; };
    b.SetNextKind(static_cast<uint16_t>(c.kind));
    b.NewShape();
    for (const P& p : c.blocks) ASSERT_TRUE(b.PlaceCell(p.Row, 0, p.Column));
    const std::set<P> start = Moving(b);
    b.FallTimerTick();
    std::set<P> down;
    for (const P& p : start) down.insert({p.Row + 1, p.Column});
    EXPECT_EQ(Moving(b), down);
    int ticks = 1;
    while (spawns == 1 && ticks < 100) b.FallTimerTick(), ++ticks;
    EXPECT_EQ(ticks, c.expectedTicks);
    // The settled shape keeps its cells; the new one is at the top.
    std::set<P> settled = Settled(b);
    EXPECT_EQ(settled, c.settled);
  }
}

TEST_F(Board, FewerThanFourMovingCellsDoNothing) {
  ASSERT_TRUE(B.PlaceCell(5, 3, 5));
  ASSERT_TRUE(B.PlaceCell(5, -3, 4));
  ASSERT_TRUE(B.PlaceCell(4, -3, 5));
  const std::set<P> before = Moving(B);
  B.FallTimerTick();
  B.MoveLeft();
  B.MoveRight();
  EXPECT_EQ(Moving(B), before);
  EXPECT_EQ(Spawns, 0);
}

TEST_F(Board, MovesSidewaysUnlessAWallOrASettledCellIsInTheWay) {
  // Kind 3 falls to rows 6..8 (pivot at (7, 5), cells at columns 4 and 5).
  struct Case {
    const char* name;
    int shift;           // moves before the test move (negative: left)
    std::vector<P> blocks;
    bool left;           // the move tested
    bool moves;
  } cases[] = {
      {"left free", 0, {}, true, true},
      {"left wall", -3, {}, true, false},
      {"left one from wall", -2, {}, true, true},
      {"left block beside pivot row", 0, {{7, 3}}, true, false},
      {"left block beside top cell", 0, {{6, 4}}, true, false},
      {"left block diagonal", 0, {{5, 3}}, true, true},
      {"right free", 0, {}, false, true},
      {"right wall", 5, {}, false, false},
      {"right block", 0, {{8, 6}}, false, false},
      {"right block two away", 0, {{7, 7}}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTtrs b;
    b.SeedRandom(5);
    b.SetNextKind(3);
    b.NewShape();
    for (int i = 0; i < 5; ++i) b.FallTimerTick();
    for (int i = 0; i < std::abs(c.shift); ++i) c.shift < 0 ? b.MoveLeft() : b.MoveRight();
    ASSERT_EQ(Pivot(b).first, (P{7, 5 + c.shift}));
    for (const P& p : c.blocks) ASSERT_TRUE(b.PlaceCell(p.Row, 0, p.Column));
    const std::set<P> before = Moving(b);
    const int pivotTag = Pivot(b).second;
    c.left ? b.MoveLeft() : b.MoveRight();
    std::set<P> expected = before;
    if (c.moves) {
      expected.clear();
      for (const P& p : before) expected.insert({p.Row, p.Column + (c.left ? -1 : 1)});
    }
    EXPECT_EQ(Moving(b), expected);
    EXPECT_EQ(Pivot(b).second, pivotTag);
  }
}

TEST_F(Board, TurnsEachKindCounterClockwiseAndBackInFourTurns) {
  struct Case {
    int kind, newTag;
    std::vector<P> after;  // offsets from the pivot after one turn
  } cases[] = {
      {1, 8, {{0, 0}, {0, 1}, {-1, 0}, {0, 2}}},  {2, 9, {{0, 0}, {1, 0}, {0, 1}, {0, 2}}},
      {3, 10, {{0, 0}, {0, -1}, {1, 0}, {0, 1}}}, {4, 11, {{0, 0}, {0, 1}, {-1, -1}, {-1, 0}}},
      {5, 12, {{0, 0}, {1, 0}, {0, 1}, {1, -1}}}, {6, 13, {{0, 0}, {0, -1}, {0, 1}, {0, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind);
    TTtrs b;
    b.SeedRandom(9);
    b.SetNextKind(static_cast<uint16_t>(c.kind));
    b.NewShape();
    for (int i = 0; i < 6; ++i) b.FallTimerTick();
    const auto [pivot, tag] = Pivot(b);
    ASSERT_EQ(tag, c.kind);
    const std::set<P> spawned = Moving(b);
    b.Rotate();
    EXPECT_EQ(Pivot(b), std::make_pair(pivot, c.newTag));
    EXPECT_EQ(Moving(b), Shifted(c.after, pivot));
    for (const P& p : Moving(b))
      if (!(p == pivot)) { EXPECT_LT(b.CellAt(p.Row, p.Column)->Tag, 0); }
    int tags[3];
    for (int& t : tags) {
      b.Rotate();
      t = Pivot(b).second;
    }
    EXPECT_EQ(tags[0], c.newTag + 7);
    EXPECT_EQ(tags[1], c.newTag + 14);
    EXPECT_EQ(tags[2], c.kind);
    EXPECT_EQ(Moving(b), spawned);
    EXPECT_EQ(Pivot(b).first, pivot);
  }
}

TEST_F(Board, TurnsOnlyWithRoomNearWallsFloorAndBlocks) {
  struct Case {
    const char* name;
    int kind, fall, turns, shift;  // set-up: turns made, rows fallen, columns moved
    std::vector<P> blocks;         // offsets from the pivot
    bool turns_again;
  } cases[] = {
      {"kind 7 in the open", 7, 6, 0, 0, {}, false},
      {"kind 7 anywhere", 7, 10, 0, -4, {}, false},
      {"bar upright, pivot column 1", 6, 4, 0, -4, {}, false},
      {"bar upright, pivot column 2", 6, 4, 0, -3, {}, true},
      {"bar upright, pivot column C-2", 6, 4, 0, 3, {}, true},
      {"bar upright, pivot column C-1", 6, 4, 0, 4, {}, false},
      {"bar upright, pivot column C", 6, 4, 0, 5, {}, false},
      {"bar lying on the floor", 6, 18, 1, 0, {}, false},
      {"bar lying one above the floor", 6, 17, 1, 0, {}, true},
      {"kind 4 tag 25, right column last", 4, 6, 3, 4, {}, false},
      {"kind 4 tag 25, one from the wall", 4, 6, 3, 3, {}, true},
      {"kind 1 in row 1", 1, 0, 0, 0, {}, false},
      {"kind 1 in row 2", 1, 1, 0, 0, {}, true},
      {"kind 1 one from the right wall", 1, 5, 0, 3, {}, true},
      {"kind 1 next to the right wall", 1, 5, 0, 4, {}, false},
      {"kind 3 added cell blocked", 3, 6, 0, 0, {{0, 1}}, false},
      {"kind 3 removed side free", 3, 6, 0, 0, {{0, 2}}, true},
      {"bar upright, added cell blocked", 6, 6, 0, 0, {{0, 2}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTtrs b;
    b.SeedRandom(11);
    b.SetNextKind(static_cast<uint16_t>(c.kind));
    b.NewShape();
    for (int i = 0; i < c.turns; ++i) b.Rotate();
    for (int i = 0; i < c.fall; ++i) b.FallTimerTick();
    for (int i = 0; i < std::abs(c.shift); ++i) c.shift < 0 ? b.MoveLeft() : b.MoveRight();
    const auto [pivot, tag] = Pivot(b);
    ASSERT_EQ(tag, c.kind + 7 * c.turns);
    for (const P& o : c.blocks) ASSERT_TRUE(b.PlaceCell(pivot.Row + o.Row, 0, pivot.Column + o.Column));
    const std::set<P> before = Moving(b);
    b.Rotate();
    if (c.turns_again) {
      EXPECT_NE(Pivot(b).second, tag);
      EXPECT_NE(Moving(b), before);
    } else {
      EXPECT_EQ(Pivot(b).second, tag);
      EXPECT_EQ(Moving(b), before);
    }
    EXPECT_EQ(Moving(b).size(), 4u);
  }
}

TEST_F(Board, MalformedShapesNeverReachOutsideTheGrid) {
  // A pivot whose tag says the shape extends further than the grid allows:
  // the turn must not write outside the grid (the sanitizer build checks).
  struct Case {
    P pivot;
    int tag;
    std::vector<std::pair<P, int>> others;
  } cases[] = {
      {{5, 1}, 11, {{{5, 2}, -4}, {{4, 1}, -4}, {{6, 1}, -4}}},   // 11 -> 18 adds column 0
      {{1, 5}, 25, {{{1, 4}, -4}, {{2, 5}, -4}, {{2, 6}, -4}}},   // 25 -> 4 adds row 0
      {{20, 5}, 18, {{{19, 5}, -4}, {{20, 4}, -4}, {{20, 6}, -4}}},  // 18 -> 25 adds row 21
      {{5, 10}, 12, {{{6, 10}, -5}, {{6, 9}, -5}, {{5, 9}, -5}}},  // 12 -> 19 adds column 11
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    TTtrs b;
    ASSERT_TRUE(b.PlaceCell(c.pivot.Row, c.tag, c.pivot.Column));
    for (const auto& [p, t] : c.others) ASSERT_TRUE(b.PlaceCell(p.Row, t, p.Column));
    const std::set<P> before = Moving(b);
    b.Rotate();
    EXPECT_EQ(Moving(b), before);
    EXPECT_EQ(Pivot(b).second, c.tag);
  }
}

TEST_F(Board, RemovesFullRowsOnLandingAndMovesTheRestDown) {
  // An upright bar dropped into column 5 of a stack.
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::set<int>>> stack;  // row, gaps
    int rowsFull;
    std::set<P> after;
  } cases[] = {
      {"one row", {{20, {5}}}, 1, {{18, 5}, {19, 5}, {20, 5}}},
      {"two adjacent rows", {{19, {5}}, {20, {5}}}, 2, {{19, 5}, {20, 5}}},
      {"four rows", {{17, {5}}, {18, {5}}, {19, {5}}, {20, {5}}}, 4, {}},
      {"three rows and one not full",
       {{17, {5, 1}}, {18, {5}}, {19, {5}}, {20, {5}}},
       3,
       {{20, 2}, {20, 3}, {20, 4}, {20, 5}, {20, 6}, {20, 7}, {20, 8}, {20, 9}, {20, 10}}},
      {"two rows apart",
       {{18, {5}}, {19, {5, 1}}, {20, {5}}},
       2,
       {{19, 5}, {20, 2}, {20, 3}, {20, 4}, {20, 5}, {20, 6}, {20, 7}, {20, 8}, {20, 9}, {20, 10}}},
      {"no full row", {{20, {5, 6}}}, 0,
       {{17, 5}, {18, 5}, {19, 5}, {20, 1}, {20, 2}, {20, 3}, {20, 4}, {20, 5}, {20, 7}, {20, 8}, {20, 9},
        {20, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTtrs b;
    b.SeedRandom(13);
    int rows = 0, spawns = 0;
    b.OnRowFull = [&](TTtrs& sender) {
      EXPECT_EQ(&sender, &b);
      ++rows;
    };
    b.OnShapeSpawned = [&](TTtrs&) { ++spawns; };
    b.SetNextKind(6);
    b.NewShape();
    for (const auto& [row, gaps] : c.stack)
      for (int col = 1; col <= 10; ++col)
        if (!gaps.count(col)) { ASSERT_TRUE(b.PlaceCell(row, 0, col)); }
    b.SetNextKind(7);  // the shape that spawns after the landing
    while (spawns == 1) b.FallTimerTick();
    EXPECT_EQ(rows, c.rowsFull);
    EXPECT_EQ(Settled(b), c.after);
    // The next shape (kind 7) is at the top.
    EXPECT_EQ(Moving(b), (std::set<P>{{1, 5}, {1, 6}, {2, 5}, {2, 6}}));
  }
}

TEST_F(Board, RowRemovalKeepsTheColoursOfTheCellsItMoves) {
  B.SetCellColorMode(TColorTAFShapes::colorOne);
  B.SetCellOneColor(0x112233);
  Spawn(6);
  FillRow(20, {5});
  ASSERT_TRUE(B.PlaceCell(19, 0, 1));
  B.SetCellOneColor(0x445566);
  ASSERT_TRUE(B.PlaceCell(18, 0, 2));
  // Moved cells take the pen settings in force, not their old ones.
  B.SetCellPenColor(0x0000FF);
  B.SetCellPenWidth(3);
  B.SetCellColorMode(TColorTAFShapes::colorRandom);
  B.SetNextKind(7);
  const int spawns = Spawns;
  while (Spawns == spawns) B.FallTimerTick();
  ASSERT_EQ(RowsFull, 1);
  ASSERT_NE(B.CellAt(20, 1), nullptr);
  EXPECT_EQ(B.CellAt(20, 1)->BrushColor, 0x112233u);
  ASSERT_NE(B.CellAt(19, 2), nullptr);
  EXPECT_EQ(B.CellAt(19, 2)->BrushColor, 0x445566u);
  EXPECT_EQ(B.CellAt(19, 2)->PenColor, 0x0000FFu);
  EXPECT_EQ(B.CellAt(19, 2)->PenWidth, 3);
}

TEST_F(Board, ColoursCellsByMode) {
  struct Case {
    TColorTAFShapes mode;
    int tag;
    uint32_t colour;
  } cases[] = {
      {TColorTAFShapes::colorFixed, 1, 0x000080},   {TColorTAFShapes::colorFixed, -2, 0x008000},
      {TColorTAFShapes::colorFixed, 10, 0x008080},  {TColorTAFShapes::colorFixed, -18, 0x800000},
      {TColorTAFShapes::colorFixed, 26, 0x800080},  {TColorTAFShapes::colorFixed, 27, 0x808000},
      {TColorTAFShapes::colorFixed, -28, 0x808080}, {TColorTAFShapes::colorFixed2, 8, 0xFFFF00},
      {TColorTAFShapes::colorFixed2, 2, 0x0000FF},  {TColorTAFShapes::colorFixed2, -3, 0x00FF00},
      {TColorTAFShapes::colorFixed2, 4, 0x00FFFF},  {TColorTAFShapes::colorFixed2, 5, 0xFF0000},
      {TColorTAFShapes::colorFixed2, 13, 0xFF00FF}, {TColorTAFShapes::colorFixed2, 7, 0xC0C0C0},
      {TColorTAFShapes::colorOne, 3, 0xABCDEF},     {TColorTAFShapes::colorOne, 0, 0xABCDEF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " tag " << c.tag);
    TTtrs b;
    b.SetCellColorMode(c.mode);
    b.SetCellOneColor(0xABCDEF);
    b.SetCellPenColor(0x010203);
    b.SetCellPenWidth(2);
    b.SetCellShapeType(TShapeType::stEllipse);
    b.SetCellBrushStyle(TBrushStyle::bsCross);
    ASSERT_TRUE(b.PlaceCell(3, c.tag, 4));
    const TCell* cell = b.CellAt(3, 4);
    EXPECT_EQ(cell->BrushColor, c.colour);
    EXPECT_EQ(cell->PenColor, 0x010203u);
    EXPECT_EQ(cell->PenWidth, 2);
    EXPECT_EQ(cell->Shape, TShapeType::stEllipse);
    EXPECT_EQ(cell->BrushStyle, TBrushStyle::bsCross);
  }
}

TEST_F(Board, RandomColoursChangeAtEveryStepAndStayOnceSettled) {
  B.SetCellColorMode(TColorTAFShapes::colorRandom);
  Spawn(6);
  std::vector<uint32_t> seen;
  for (int i = 0; i < 5; ++i) {
    const P top = *Moving(B).begin();
    seen.push_back(B.CellAt(top.Row, top.Column)->BrushColor);
    B.FallTimerTick();
  }
  EXPECT_EQ(std::set<uint32_t>(seen.begin(), seen.end()).size(), seen.size());
  FallUntilLanded();
  std::vector<uint32_t> landed;
  for (const P& p : Settled(B)) landed.push_back(B.CellAt(p.Row, p.Column)->BrushColor);
  for (int i = 0; i < 5; ++i) B.FallTimerTick();
  std::vector<uint32_t> later;
  for (const P& p : Settled(B)) later.push_back(B.CellAt(p.Row, p.Column)->BrushColor);
  EXPECT_EQ(landed, later);
  for (uint32_t colour : later) EXPECT_EQ(colour & 0xFF000000u, 0u);
}

TEST_F(Board, BackgroundShowsTheComingShapesColour) {
  struct Case {
    TColorTAFShapes mode;
    bool show;
    int kind;
    uint32_t background;
  } cases[] = {
      {TColorTAFShapes::colorFixed, true, 3, 0x008080},   {TColorTAFShapes::colorFixed, true, 7, 0x808080},
      {TColorTAFShapes::colorFixed2, true, 4, 0x00FFFF},  {TColorTAFShapes::colorFixed, false, 3, 0x123456},
      {TColorTAFShapes::colorOne, true, 3, 0x123456},     {TColorTAFShapes::colorRandom, true, 3, 0x123456},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " " << c.show << " " << c.kind);
    TTtrs b;
    b.SetColor(0x123456);
    b.SetCellColorMode(c.mode);
    b.SetShowNextColor(c.show);
    b.SetNextKind(static_cast<uint16_t>(c.kind));
    EXPECT_EQ(b.Color(), c.background);
  }
  // During a game the background follows every spawn.
  B.SetCellColorMode(TColorTAFShapes::colorFixed);
  B.SetShowNextColor(true);
  B.SetActive(true);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(B.Color(), TTtrs::PaletteColour(TColorTAFShapes::colorFixed, B.NextKind()));
    FallUntilLanded();
  }
}

TEST_F(Board, EndsTheGameWhenASpawnIsBlocked) {
  B.SetActive(true);
  ASSERT_EQ(Spawns, 1);
  ASSERT_TRUE(B.BottomPanelVisible());
  B.ClockTimerTick();
  EXPECT_EQ(Ticks, 1);
  Fall(6);
  for (int r = 1; r <= 4; ++r)
    for (int c = 4; c <= 6; ++c) ASSERT_TRUE(B.PlaceCell(r, 0, c));
  B.OnGameOver = [this](TTtrs& sender) {
    EXPECT_EQ(&sender, &B);
    // The board is cleared before the event.
    EXPECT_TRUE(Moving(B).empty());
    EXPECT_TRUE(Settled(B).empty());
    ++GameOvers;
  };
  FallUntilLanded();
  EXPECT_EQ(GameOvers, 1);
  EXPECT_EQ(Spawns, 1);
  EXPECT_FALSE(B.Active());
  EXPECT_FALSE(B.BottomPanelVisible());
  // The timers go on; their ticks find nothing to do.
  B.ClockTimerTick();
  B.FallTimerTick();
  EXPECT_EQ(Ticks, 1);
  EXPECT_EQ(GameOvers, 1);
  EXPECT_TRUE(B.TimersEnabled());
}

TEST_F(Board, DropsAtTwentyMillisecondsUntilTheShapeSettles) {
  B.SetFallInterval(150);
  Spawn(2);
  EXPECT_EQ(B.FallTimerInterval(), 150);
  B.Drop();
  EXPECT_EQ(B.FallTimerInterval(), TTtrs::DropInterval);
  Fall(3);
  EXPECT_EQ(B.FallTimerInterval(), TTtrs::DropInterval);
  FallUntilLanded();
  EXPECT_EQ(B.FallTimerInterval(), 150);
}

TEST_F(Board, CommandsAndKeysReachTheirMoves) {
  struct Case {
    bool byKey;
    int code;  // key code or action
    int shift, turn;
    bool drop;
  } cases[] = {
      {true, 100, -1, 0, false}, {true, 102, 1, 0, false}, {true, 101, 0, 1, false}, {true, 98, 0, 0, true},
      {true, 37, 0, 0, false},   {true, 52, 0, 0, false},  {true, 0, 0, 0, false},
      {false, 0, -1, 0, false},  {false, 1, 1, 0, false},  {false, 2, 0, 0, true},  {false, 3, 0, 1, false},
      {false, 9, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.byKey ? "key " : "action ") << c.code);
    TTtrs b;
    b.SetFallInterval(200);
    b.SetNextKind(3);
    b.NewShape();
    for (int i = 0; i < 5; ++i) b.FallTimerTick();
    const auto [pivot, tag] = Pivot(b);
    if (c.byKey) {
      b.KeyAction(static_cast<uint16_t>(c.code));
      EXPECT_EQ(b.LastKey(), c.code);
    } else {
      b.DoAction(static_cast<TTSAKey>(c.code));
      if (c.code <= 3) { EXPECT_EQ(b.Action(), static_cast<TTSAKey>(c.code)); }
    }
    EXPECT_EQ(Pivot(b).first, (P{pivot.Row, pivot.Column + c.shift}));
    EXPECT_EQ(Pivot(b).second, tag + 7 * c.turn);
    EXPECT_EQ(b.FallTimerInterval(), c.drop ? 20 : 200);
  }
}

TEST_F(Board, PauseStopsAndRestartsBothTimers) {
  int changes = 0;
  B.OnTimersChanged = [&] { ++changes; };
  B.SetPause(false);
  EXPECT_EQ(changes, 0);
  B.SetPause(true);
  EXPECT_TRUE(B.Paused());
  EXPECT_FALSE(B.TimersEnabled());
  B.SetPause(true);
  EXPECT_EQ(changes, 1);
  B.SetPause(false);
  EXPECT_TRUE(B.TimersEnabled());
  EXPECT_EQ(changes, 2);
}

TEST_F(Board, CellGeometryFollowsTheBoardSize) {
  struct Case {
    int width, height, rows, columns;
    int cellWidth, cellHeight, leftMargin, bottomHeight;
  } cases[] = {
      {200, 400, 20, 10, 20, 20, 0, 0}, {205, 410, 20, 10, 20, 20, 2, 10},
      {239, 300, 48, 24, 9, 6, 11, 12}, {60, 60, 6, 6, 10, 10, 0, 0},
      {5, 5, 6, 6, 0, 0, 2, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    TTtrs b;
    ASSERT_TRUE(b.SetBoardRows(c.rows));
    ASSERT_TRUE(b.SetBoardColumns(c.columns));
    b.Resize(c.width, c.height);
    b.SetActive(true);
    EXPECT_EQ(b.CellWidth(), c.cellWidth);
    EXPECT_EQ(b.CellHeight(), c.cellHeight);
    EXPECT_EQ(b.LeftMargin(), c.leftMargin);
    const TCellBounds cell = b.CellBounds(3, 2);
    EXPECT_EQ(cell.Left, c.leftMargin + c.cellWidth);
    EXPECT_EQ(cell.Top, 2 * c.cellHeight);
    EXPECT_EQ(cell.Width, c.cellWidth);
    EXPECT_EQ(cell.Height, c.cellHeight);
    const TCellBounds bottom = b.BottomPanelBounds();
    EXPECT_EQ(bottom.Height, c.bottomHeight);
    EXPECT_EQ(bottom.Top, c.rows * c.cellHeight);
    EXPECT_EQ(bottom.Width, c.width);
    // A resize during the game recomputes everything.
    b.Resize(c.width * 2, c.height * 2);
    EXPECT_EQ(b.CellWidth(), c.width * 2 / c.columns);
    EXPECT_EQ(b.BottomPanelBounds().Height, c.height * 2 - c.rows * (c.height * 2 / c.rows));
  }
  // Not in a game: the bottom strip has no height.
  B.Resize(205, 410);
  EXPECT_EQ(B.BottomPanelBounds().Height, 0);
}

TEST_F(Board, RefusesPositionsAndValuesOutsideTheGrid) {
  struct Case {
    int row, tag, column;
  } cells[] = {{0, 0, 1}, {1, 0, 0}, {21, 0, 1}, {1, 0, 11}, {49, 0, 1}, {1, 0, 25}, {-1, 0, -1},
               {1, 29, 1}, {1, -29, 1}, {1, 1000, 1}};
  for (const Case& c : cells) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column << " tag " << c.tag);
    EXPECT_FALSE(B.PlaceCell(c.row, c.tag, c.column));
  }
  EXPECT_TRUE(Moving(B).empty());
  EXPECT_TRUE(Settled(B).empty());
  EXPECT_EQ(B.CellAt(0, 0), nullptr);
  EXPECT_EQ(B.CellAt(49, 25), nullptr);
  EXPECT_EQ(B.CellAt(-5, 3), nullptr);

  for (int rows : {0, 5, 49, -1, 65535}) EXPECT_FALSE(B.SetBoardRows(rows)) << rows;
  for (int columns : {0, 5, 25, -1}) EXPECT_FALSE(B.SetBoardColumns(columns)) << columns;
  EXPECT_EQ(B.BoardRows(), 20);
  EXPECT_EQ(B.BoardColumns(), 10);
  EXPECT_TRUE(B.SetBoardRows(48));
  EXPECT_TRUE(B.SetBoardColumns(24));
  EXPECT_TRUE(B.PlaceCell(48, 0, 24));

  B.SetNextKind(3);
  for (int kind : {0, 8, 65535}) B.SetNextKind(static_cast<uint16_t>(kind));
  EXPECT_EQ(B.NextKind(), 3);
  B.SetFallInterval(0);
  B.SetFallInterval(-5);
  EXPECT_EQ(B.FallInterval(), 200);
  B.SetCellColorMode(static_cast<TColorTAFShapes>(4));
  B.SetCellShapeType(static_cast<TShapeType>(6));
  B.SetCellBrushStyle(static_cast<TBrushStyle>(8));
  EXPECT_EQ(B.CellColorMode(), TColorTAFShapes::colorFixed);
  EXPECT_EQ(B.CellShapeType(), TShapeType::stRectangle);
  EXPECT_EQ(B.CellBrushStyle(), TBrushStyle::bsSolid);

  // The grid size cannot change under a running game.
  B.SetActive(true);
  EXPECT_FALSE(B.SetBoardRows(20));
  EXPECT_FALSE(B.SetBoardColumns(10));
  EXPECT_EQ(B.BoardRows(), 48);
}

TEST_F(Board, ANewGameStartsOnAnEmptyGrid) {
  B.SetActive(true);
  Fall(3);
  ASSERT_TRUE(B.PlaceCell(20, 0, 1));
  B.SetActive(false);  // only clears Active; the cells stay
  EXPECT_EQ(Moving(B).size(), 4u);
  B.SetActive(true);
  EXPECT_EQ(Moving(B).size(), 4u);
  EXPECT_TRUE(Settled(B).empty());
  EXPECT_EQ(Pivot(B).first.Row <= 2, true);
  EXPECT_FALSE(B.Painted);
}

}  // namespace
