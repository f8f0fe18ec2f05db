#include "TetBoard.h"

#include <chrono>
#include <cstdlib>

namespace {

struct Offset {
  int Row, Column;
};

// Spawn positions of each kind relative to (0, m) with m = columns div 2;
// the first is the pivot.
constexpr Offset SpawnCells[7][4] = {
    {{1, 0}, {1, 1}, {2, 0}, {3, 0}},     // 1
    {{1, 0}, {1, -1}, {2, 0}, {3, 0}},    // 2
    {{2, 0}, {2, -1}, {1, 0}, {3, 0}},    // 3
    {{2, 0}, {2, 1}, {1, 1}, {3, 0}},     // 4
    {{2, 0}, {2, -1}, {1, -1}, {3, 0}},   // 5
    {{2, 0}, {1, 0}, {3, 0}, {4, 0}},     // 6
    {{2, 0}, {2, 1}, {1, 1}, {1, 0}},     // 7
};

// The room a turn needs, tested on the pivot (r, c) and the rows R and
// columns C in play.
enum class Need {
  R1C2,      // r > 1 and c < C - 1
  R3C2,      // r > 2 and c > 1
  RC3,       // r < R and c > 2
  CR2,       // c < C and r < R - 1
  C2,        // c < C - 1
  R3,        // r > 2
  C3,        // c > 2
  R2,        // r < R - 1
  CBelow,    // c < C
  RAbove,    // r > 1
  CAbove,    // c > 1
  RBelow,    // r < R
  C1R1,      // c > 1 and r > 1
  Col2to2,   // 2 <= c <= C - 2
  Row3to1,   // 3 <= r <= R - 1
  Col3to1,   // 3 <= c <= C - 1
  Row2to2,   // 2 <= r <= R - 2
};

struct Turn {
  int Tag, NewTag;
  int Count;  // added and removed cells
  Offset Added[3], Removed[3];
  Need Condition;
};

// Every pivot tag that turns, with the cells a quarter turn adds and removes.
constexpr Turn Turns[] = {
    {1, 8, 2, {{-1, 0}, {0, 2}}, {{1, 0}, {2, 0}}, Need::R1C2},
    {8, 15, 2, {{-2, 0}, {0, -1}}, {{0, 1}, {0, 2}}, Need::R3C2},
    {15, 22, 2, {{0, -2}, {1, 0}}, {{-1, 0}, {-2, 0}}, Need::RC3},
    {22, 1, 2, {{0, 1}, {2, 0}}, {{0, -1}, {0, -2}}, Need::CR2},
    {2, 9, 2, {{0, 1}, {0, 2}}, {{0, -1}, {2, 0}}, Need::C2},
    {9, 16, 2, {{-1, 0}, {-2, 0}}, {{1, 0}, {0, 2}}, Need::R3},
    {16, 23, 2, {{0, -1}, {0, -2}}, {{0, 1}, {-2, 0}}, Need::C3},
    {23, 2, 2, {{1, 0}, {2, 0}}, {{-1, 0}, {0, -2}}, Need::R2},
    {3, 10, 1, {{0, 1}}, {{-1, 0}}, Need::CBelow},
    {10, 17, 1, {{-1, 0}}, {{0, -1}}, Need::RAbove},
    {17, 24, 1, {{0, -1}}, {{1, 0}}, Need::CAbove},
    {24, 3, 1, {{1, 0}}, {{0, 1}}, Need::RBelow},
    {4, 11, 2, {{-1, -1}, {-1, 0}}, {{-1, 1}, {1, 0}}, Need::C1R1},
    {11, 18, 2, {{0, -1}, {1, -1}}, {{-1, -1}, {0, 1}}, Need::RBelow},
    {18, 25, 2, {{1, 0}, {1, 1}}, {{1, -1}, {-1, 0}}, Need::CBelow},
    {25, 4, 2, {{0, 1}, {-1, 1}}, {{0, -1}, {1, 1}}, Need::C2},
    {5, 12, 2, {{0, 1}, {1, -1}}, {{0, -1}, {-1, -1}}, Need::CBelow},
    {12, 19, 2, {{-1, 0}, {1, 1}}, {{1, -1}, {1, 0}}, Need::RAbove},
    {19, 26, 2, {{-1, 1}, {0, -1}}, {{0, 1}, {1, 1}}, Need::CAbove},
    {26, 5, 2, {{1, 0}, {-1, -1}}, {{-1, 0}, {-1, 1}}, Need::RBelow},
    {6, 13, 3, {{0, -1}, {0, 1}, {0, 2}}, {{-1, 0}, {1, 0}, {2, 0}}, Need::Col2to2},
    {13, 20, 3, {{-2, 0}, {-1, 0}, {1, 0}}, {{0, -1}, {0, 1}, {0, 2}}, Need::Row3to1},
    {20, 27, 3, {{0, -2}, {0, -1}, {0, 1}}, {{-2, 0}, {-1, 0}, {1, 0}}, Need::Col3to1},
    {27, 6, 3, {{-1, 0}, {1, 0}, {2, 0}}, {{0, -2}, {0, -1}, {0, 1}}, Need::Row2to2},
};

bool Holds(Need need, int r, int c, int rows, int columns) {
  switch (need) {
    case Need::R1C2: return r > 1 && c < columns - 1;
    case Need::R3C2: return r > 2 && c > 1;
    case Need::RC3: return r < rows && c > 2;
    case Need::CR2: return c < columns && r < rows - 1;
    case Need::C2: return c < columns - 1;
    case Need::R3: return r > 2;
    case Need::C3: return c > 2;
    case Need::R2: return r < rows - 1;
    case Need::CBelow: return c < columns;
    case Need::RAbove: return r > 1;
    case Need::CAbove: return c > 1;
    case Need::RBelow: return r < rows;
    case Need::C1R1: return c > 1 && r > 1;
    case Need::Col2to2: return c >= 2 && c <= columns - 2;
    case Need::Row3to1: return r >= 3 && r <= rows - 1;
    case Need::Col3to1: return c >= 3 && c <= columns - 1;
    case Need::Row2to2: return r >= 2 && r <= rows - 2;
  }
  return false;
}

constexpr uint32_t PaletteFixed[7] = {0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080};
constexpr uint32_t PaletteFixed2[7] = {0xFFFF00, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xC0C0C0};

}  // namespace

bool IsValidKey(TTSAKey key) { return static_cast<uint8_t>(key) <= static_cast<uint8_t>(TTSAKey::Rtt); }
bool IsValidColorMode(TColorTAFShapes mode) {
  return static_cast<uint8_t>(mode) <= static_cast<uint8_t>(TColorTAFShapes::colorRandom);
}
bool IsValidShapeType(TShapeType shape) {
  return static_cast<uint8_t>(shape) <= static_cast<uint8_t>(TShapeType::stCircle);
}
bool IsValidBrushStyle(TBrushStyle style) {
  return static_cast<uint8_t>(style) <= static_cast<uint8_t>(TBrushStyle::bsDiagCross);
}

TTtrs::TTtrs() {
  Random.seed(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

void TTtrs::SeedRandom(uint32_t seed) { Random.seed(seed); }

int TTtrs::RandomKind() { return std::uniform_int_distribution<int>(1, 7)(Random); }

int TTtrs::ColourKind(int tag) {
  const int magnitude = std::abs(tag);
  if (magnitude < 1 || magnitude > 28) return 0;
  return (magnitude - 1) % 7 + 1;
}

uint32_t TTtrs::PaletteColour(TColorTAFShapes mode, int kind) {
  if (kind < 1 || kind > 7) return 0;
  return mode == TColorTAFShapes::colorFixed2 ? PaletteFixed2[kind - 1] : PaletteFixed[kind - 1];
}

// ---- settings ----

void TTtrs::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (!value) return;
  FNextKind = static_cast<uint16_t>(RandomKind());
  Painted = false;
  if (OnAlign) OnAlign();
  // A game stopped by SetActive(false) may have left cells behind; a new
  // game starts on an empty grid so that only its own shape falls.
  ClearAll();
  ComputeGeometry();
  SpawnShape();
  FBottomHeight = FHeight - FBoardRows * FCellHeight;
  FBottomVisible = true;
  Changed();
}

void TTtrs::SetPause(bool value) {
  if (value == FPaused) return;
  FPaused = value;
  FTimersEnabled = !value;
  if (OnTimersChanged) OnTimersChanged();
}

void TTtrs::SetCellColorMode(TColorTAFShapes value) {
  if (IsValidColorMode(value)) FCellColorMode = value;
}
void TTtrs::SetCellOneColor(uint32_t value) { FCellOneColor = value; }
void TTtrs::SetCellPenColor(uint32_t value) { FCellPenColor = value; }
void TTtrs::SetCellPenWidth(int value) { FCellPenWidth = value; }
void TTtrs::SetCellShapeType(TShapeType value) {
  if (IsValidShapeType(value)) FCellShapeType = value;
}
void TTtrs::SetCellBrushStyle(TBrushStyle value) {
  if (IsValidBrushStyle(value)) FCellBrushStyle = value;
}

void TTtrs::SetFallInterval(int value) {
  if (value < 1) return;
  FFallInterval = value;
  SetFallTimerInterval(value);
}

void TTtrs::SetFallTimerInterval(int ms) {
  FFallTimerInterval = ms;
  if (OnTimersChanged) OnTimersChanged();
}

void TTtrs::SetBottomColor(uint32_t value) {
  if (value == FBottomColor) return;
  FBottomColor = value;
  Changed();
}

void TTtrs::SetShowNextColor(bool value) { FShowNextColor = value; }

void TTtrs::SetNextKind(uint16_t value) {
  if (value < 1 || value > 7) return;
  FNextKind = value;
  if (FShowNextColor &&
      (FCellColorMode == TColorTAFShapes::colorFixed || FCellColorMode == TColorTAFShapes::colorFixed2)) {
    FColor = PaletteColour(FCellColorMode, value);
    Changed();
  }
}

bool TTtrs::SetBoardRows(int value) {
  if (value < MinRows || value > MaxRows || FActive) return false;
  FBoardRows = value;
  Changed();
  return true;
}

bool TTtrs::SetBoardColumns(int value) {
  if (value < MinColumns || value > MaxColumns || FActive) return false;
  FBoardColumns = value;
  Changed();
  return true;
}

void TTtrs::SetColor(uint32_t value) {
  FColor = value;
  Changed();
}

// ---- cells ----

bool TTtrs::Inside(int row, int column) const {
  return row >= 1 && row <= FBoardRows && column >= 1 && column <= FBoardColumns;
}

std::optional<TCell>& TTtrs::Slot(int row, int column) {
  return Cells[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)];
}

const TCell* TTtrs::CellAt(int row, int column) const {
  if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns) return nullptr;
  const auto& slot = Cells[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)];
  return slot ? &*slot : nullptr;
}

bool TTtrs::IsMoving(int row, int column) const {
  const TCell* cell = CellAt(row, column);
  return cell && cell->Tag != 0;
}

bool TTtrs::IsSettled(int row, int column) const {
  const TCell* cell = CellAt(row, column);
  return cell && cell->Tag == 0;
}

void TTtrs::Destroy(int row, int column) {
  if (Inside(row, column)) Slot(row, column).reset();
}

void TTtrs::ClearAll() {
  for (auto& row : Cells)
    for (auto& slot : row) slot.reset();
}

bool TTtrs::PlaceCell(int row, int tag, int column) {
  if (!Inside(row, column) || tag < -28 || tag > 28) return false;
  TCell cell;
  cell.Tag = tag;
  cell.Shape = FCellShapeType;
  cell.BrushStyle = FCellBrushStyle;
  cell.PenColor = FCellPenColor;
  cell.PenWidth = FCellPenWidth;
  switch (FCellColorMode) {
    case TColorTAFShapes::colorFixed:
    case TColorTAFShapes::colorFixed2:
      if (tag != 0) cell.BrushColor = PaletteColour(FCellColorMode, ColourKind(tag));
      break;
    case TColorTAFShapes::colorOne: cell.BrushColor = FCellOneColor; break;
    case TColorTAFShapes::colorRandom: {
      std::uniform_int_distribution<uint32_t> channel(0, 255);
      const uint32_t red = channel(Random);
      const uint32_t green = channel(Random);
      const uint32_t blue = channel(Random);
      cell.BrushColor = red | (green << 8) | (blue << 16);
      break;
    }
  }
  Slot(row, column) = cell;
  return true;
}

TCellBounds TTtrs::CellBounds(int row, int column) const {
  return {FLeftMargin + (column - 1) * FCellWidth, (row - 1) * FCellHeight, FCellWidth, FCellHeight};
}

TCellBounds TTtrs::BottomPanelBounds() const { return {0, FHeight - FBottomHeight, FWidth, FBottomHeight}; }

void TTtrs::ComputeGeometry() {
  FCellHeight = FHeight / FBoardRows;
  FCellWidth = FWidth / FBoardColumns;
  FLeftMargin = (FWidth - FBoardColumns * FCellWidth) / 2;
}

void TTtrs::Changed() {
  if (OnChanged) OnChanged();
}

// ---- commands ----

void TTtrs::DoAction(TTSAKey action) {
  if (!IsValidKey(action)) return;
  FAction = action;
  switch (action) {
    case TTSAKey::Lft: MoveLeft(); break;
    case TTSAKey::Rgh: MoveRight(); break;
    case TTSAKey::Drp: Drop(); break;
    case TTSAKey::Rtt: Rotate(); break;
  }
}

void TTtrs::KeyAction(uint16_t key) {
  FLastKey = key;
  switch (key) {
    case 100: MoveLeft(); break;
    case 102: MoveRight(); break;
    case 101: Rotate(); break;
    case 98: Drop(); break;
    default: break;
  }
}

void TTtrs::MoveLeft() { MoveSideways(-1); }
void TTtrs::MoveRight() { MoveSideways(+1); }

// Rows top to bottom; within a row, from the side the shape moves towards,
// so that each cell moves into a slot its neighbour has just left.
void TTtrs::MoveSideways(int step) {
  Pos found[4];
  int count = 0;
  const int wall = step < 0 ? 1 : FBoardColumns;
  for (int r = 1; r <= FBoardRows; ++r) {
    for (int i = 0; i < FBoardColumns; ++i) {
      const int c = step < 0 ? 1 + i : FBoardColumns - i;
      if (!IsMoving(r, c)) continue;
      if (c == wall || IsSettled(r, c + step)) return;
      if (count < 4) found[count++] = {r, c};
    }
  }
  if (count < 4) return;
  for (const Pos& p : found) {
    const int tag = CellAt(p.Row, p.Column)->Tag;
    PlaceCell(p.Row, tag, p.Column + step);
    Destroy(p.Row, p.Column);
  }
  Changed();
}

void TTtrs::Rotate() {
  int r = 0, c = 0, tag = 0;
  for (int col = 1; col <= FBoardColumns && tag == 0; ++col) {
    for (int row = FBoardRows; row >= 1; --row) {
      const TCell* cell = CellAt(row, col);
      if (cell && cell->Tag > 0) {
        r = row, c = col, tag = cell->Tag;
        break;
      }
    }
  }
  if (tag == 0) return;
  const Turn* turn = nullptr;
  for (const Turn& t : Turns)
    if (t.Tag == tag) turn = &t;
  if (!turn || !Holds(turn->Condition, r, c, FBoardRows, FBoardColumns)) return;
  // The conditions keep a well-formed shape inside the grid; every position
  // is tested as well, so that a malformed one cannot reach outside it.
  for (int i = 0; i < turn->Count; ++i) {
    const Offset a = turn->Added[i];
    const Offset d = turn->Removed[i];
    if (!Inside(r + a.Row, c + a.Column) || CellAt(r + a.Row, c + a.Column)) return;
    if (!IsMoving(r + d.Row, c + d.Column)) return;
  }
  for (int i = 0; i < turn->Count; ++i) PlaceCell(r + turn->Added[i].Row, -turn->NewTag, c + turn->Added[i].Column);
  for (int i = 0; i < turn->Count; ++i) Destroy(r + turn->Removed[i].Row, c + turn->Removed[i].Column);
  Slot(r, c)->Tag = turn->NewTag;
  Changed();
}

void TTtrs::Drop() { SetFallTimerInterval(DropInterval); }

void TTtrs::NewShape() {
  SetFallTimerInterval(FFallInterval > 0 ? FFallInterval : TimerDefault);
  for (int pass = 0; pass < 4; ++pass) {
    for (int r = FBoardRows; r >= 1; --r) {
      bool full = true;
      for (int c = 1; c <= FBoardColumns && full; ++c) full = CellAt(r, c) != nullptr;
      if (!full) continue;
      DoRowFull();
      RemoveRow(r);
    }
  }
  SpawnShape();
  Changed();
}

// Moves every row above `row` one row down; row 1 ends empty. Moved cells
// take the current cell settings and keep their brush colour.
void TTtrs::RemoveRow(int row) {
  for (int k = row; k >= 2; --k) {
    for (int c = 1; c <= FBoardColumns; ++c) {
      Destroy(k, c);
      const TCell* above = CellAt(k - 1, c);
      if (!above) continue;
      const uint32_t brush = above->BrushColor;
      PlaceCell(k, 0, c);
      Slot(k, c)->BrushColor = brush;
    }
  }
  for (int c = 1; c <= FBoardColumns; ++c) Destroy(1, c);
}

void TTtrs::SpawnShape() {
  if (FNextKind < 1 || FNextKind > 7) return;
  const int kind = FNextKind;
  const int m = FBoardColumns / 2;
  const Offset* cells = SpawnCells[kind - 1];
  for (int i = 0; i < 4; ++i) {
    if (CellAt(cells[i].Row, m + cells[i].Column)) {
      GameOver();
      return;
    }
  }
  for (int i = 0; i < 4; ++i) PlaceCell(cells[i].Row, i == 0 ? kind : -kind, m + cells[i].Column);
  SetNextKind(static_cast<uint16_t>(RandomKind()));
  DoShapeSpawned();
}

// ---- ticks ----

void TTtrs::FallTimerTick() {
  Pos found[4];
  int count = 0;
  bool blocked = false;
  for (int c = 1; c <= FBoardColumns; ++c) {
    for (int r = FBoardRows; r >= 1; --r) {
      if (!IsMoving(r, c) || count == 4) continue;
      found[count++] = {r, c};
      if (r == FBoardRows || IsSettled(r + 1, c)) blocked = true;
    }
  }
  if (count < 4) return;
  if (!blocked) {
    for (const Pos& p : found) {
      const int tag = CellAt(p.Row, p.Column)->Tag;
      PlaceCell(p.Row + 1, tag, p.Column);
      Destroy(p.Row, p.Column);
    }
    Changed();
    return;
  }
  for (const Pos& p : found) Slot(p.Row, p.Column)->Tag = 0;
  NewShape();
}

void TTtrs::ClockTimerTick() {
  if (FActive) DoTime();
}

void TTtrs::Resize(int width, int height) {
  FWidth = width;
  FHeight = height;
  if (FActive) {
    ComputeGeometry();
    FBottomHeight = FHeight - FBoardRows * FCellHeight;
  } else {
    FBottomHeight = 0;
  }
  Changed();
}

// ---- notifications ----

void TTtrs::DoTime() {
  if (OnTime) OnTime(*this);
}

void TTtrs::DoRowFull() {
  if (OnRowFull) OnRowFull(*this);
}

void TTtrs::DoShapeSpawned() {
  if (OnShapeSpawned) OnShapeSpawned(*this);
}

void TTtrs::GameOver() {
  FActive = false;
  ClearAll();
  FBottomVisible = false;
  Changed();
  if (OnGameOver) OnGameOver(*this);
}
