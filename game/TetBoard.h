// The playing field of the falling-blocks game, as plain logic: the grid of
// cells, the falling shape, moves, turns, landing, full-row removal and the
// end of the game. It draws nothing and owns no timer: the board widget
// (TetBoardWidget.h) shows it, runs its two timers at the intervals it asks
// for and feeds their ticks in.
//
// Rows are 1..BoardRows from the top, columns 1..BoardColumns from the left.
// A cell's tag is 0 for a settled cell, kind + 7 x orientation (1..28) for
// the pivot of the falling shape and the negative of a pivot value of the
// same kind for its other three cells.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

// The four commands a player gives.
enum class TTSAKey : uint8_t { Lft = 0, Rgh = 1, Drp = 2, Rtt = 3 };
// How cells are coloured.
enum class TColorTAFShapes : uint8_t { colorFixed = 0, colorFixed2 = 1, colorOne = 2, colorRandom = 3 };
// The outline of a cell.
enum class TShapeType : uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
// The fill pattern of a cell.
enum class TBrushStyle : uint8_t {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// Whether a value read from outside names one of the enumerators.
bool IsValidKey(TTSAKey key);
bool IsValidColorMode(TColorTAFShapes mode);
bool IsValidShapeType(TShapeType shape);
bool IsValidBrushStyle(TBrushStyle style);

// One occupied position: its tag and the look it was given when placed.
// Colours are 0x00BBGGRR; a value with the top bit set names a system colour.
struct TCell {
  int Tag = 0;
  uint32_t BrushColor = 0xFFFFFF;
  uint32_t PenColor = 0;
  int PenWidth = 1;
  TShapeType Shape = TShapeType::stRectangle;
  TBrushStyle BrushStyle = TBrushStyle::bsSolid;
};

struct TCellBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TTtrs {
 public:
  static constexpr int MaxRows = 48;
  static constexpr int MaxColumns = 24;
  static constexpr int MinRows = 6;
  static constexpr int MinColumns = 6;
  static constexpr int TimerDefault = 1000;  // ms, both timers from creation
  static constexpr int DropInterval = 20;    // ms per row while dropping

  // Seeds the random source from the clock.
  TTtrs();
  virtual ~TTtrs() = default;
  TTtrs(const TTtrs&) = delete;
  TTtrs& operator=(const TTtrs&) = delete;

  // Makes the random draws (kinds, random colours) repeatable.
  void SeedRandom(uint32_t seed);

  // ---- settings ----
  // On a change to true, starts a game; false only clears Active.
  void SetActive(bool value);
  // On a change, enables both timers when not paused and stops them when paused.
  void SetPause(bool value);
  // Values outside the enumerations are refused (the old value stays).
  void SetCellColorMode(TColorTAFShapes value);
  void SetCellOneColor(uint32_t value);
  void SetCellPenColor(uint32_t value);
  void SetCellPenWidth(int value);
  void SetCellShapeType(TShapeType value);
  void SetCellBrushStyle(TBrushStyle value);
  // Normal fall interval in ms, also given to the fall timer at once; values
  // below 1 are refused.
  void SetFallInterval(int value);
  void SetBottomColor(uint32_t value);
  void SetShowNextColor(bool value);
  // Kind 1..7 of the shape that spawns next (others are refused); with
  // ShowNextColor the background takes that kind's palette colour.
  void SetNextKind(uint16_t value);
  // Rows 6..48 and columns 6..24; refused out of range and while a game is
  // running (the cells in play would no longer fit). False when refused.
  bool SetBoardRows(int value);
  bool SetBoardColumns(int value);
  // The board's own background colour.
  void SetColor(uint32_t value);

  // ---- commands ----
  void DoAction(TTSAKey action);
  // Numeric keypad: 100 (4) left, 102 (6) right, 101 (5) turn, 98 (2) drop.
  void KeyAction(uint16_t key);
  // Whether the key is one the game plays: the keypad's 4, 6, 5 and 2.
  static bool IsPlayKey(uint16_t key) { return key == 100 || key == 102 || key == 101 || key == 98; }
  virtual void MoveLeft();
  virtual void MoveRight();
  // A quarter turn counter-clockwise about the pivot, when there is room.
  virtual void Rotate();
  // The rest of the fall runs at DropInterval per row.
  virtual void Drop();
  // After a shape settled: restores the fall interval, removes full rows and
  // spawns the next shape.
  virtual void NewShape();

  // ---- timer ticks and size ----
  void FallTimerTick();
  void ClockTimerTick();
  // Every change of the board's outer size (pixels).
  void Resize(int width, int height);

  // Places a new cell (replacing any at that position) with the current cell
  // settings. Refused (false) for a position outside the rows and columns in
  // play or a tag outside -28..28.
  bool PlaceCell(int row, int tag, int column);
  // The cell at a position, or none (also for a position outside the grid).
  const TCell* CellAt(int row, int column) const;
  // Where the cell at a position is drawn, from the cell geometry.
  TCellBounds CellBounds(int row, int column) const;

  // The colour kind 1..7 of a tag (0 for tag 0 or a tag outside -28..28).
  static int ColourKind(int tag);
  // The palette colour of a kind 1..7 in mode colorFixed or colorFixed2.
  static uint32_t PaletteColour(TColorTAFShapes mode, int kind);

  // ---- notifications (also the events of the same name) ----
  virtual void DoTime();
  virtual void DoRowFull();
  virtual void DoShapeSpawned();
  // Ends the game: clears the board, hides the bottom strip, fires OnGameOver.
  virtual void GameOver();

  // ---- state ----
  bool Active() const { return FActive; }
  bool Paused() const { return FPaused; }
  bool ShowNextColor() const { return FShowNextColor; }
  uint16_t NextKind() const { return FNextKind; }
  TTSAKey Action() const { return FAction; }
  uint16_t LastKey() const { return FLastKey; }
  int FallInterval() const { return FFallInterval; }
  uint32_t BottomColor() const { return FBottomColor; }
  uint32_t CellPenColor() const { return FCellPenColor; }
  uint32_t CellOneColor() const { return FCellOneColor; }
  TColorTAFShapes CellColorMode() const { return FCellColorMode; }
  int CellPenWidth() const { return FCellPenWidth; }
  TShapeType CellShapeType() const { return FCellShapeType; }
  TBrushStyle CellBrushStyle() const { return FCellBrushStyle; }
  uint32_t Color() const { return FColor; }
  int BoardRows() const { return FBoardRows; }
  int BoardColumns() const { return FBoardColumns; }
  int LeftMargin() const { return FLeftMargin; }
  int CellHeight() const { return FCellHeight; }
  int CellWidth() const { return FCellWidth; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // The strip below the last row.
  bool BottomPanelVisible() const { return FBottomVisible; }
  TCellBounds BottomPanelBounds() const;
  // What the two timers should do.
  int FallTimerInterval() const { return FFallTimerInterval; }
  bool TimersEnabled() const { return FTimersEnabled; }

  // Set by the widget after the first paint of a game.
  bool Painted = false;

  // Events; each passes the board.
  std::function<void(TTtrs&)> OnRowFull;
  std::function<void(TTtrs&)> OnGameOver;
  std::function<void(TTtrs&)> OnShapeSpawned;
  std::function<void(TTtrs&)> OnTime;
  // For the widget: the timers' interval or enabled state changed; cells,
  // colours or the bottom strip changed; the board should fill its parent.
  std::function<void()> OnTimersChanged;
  std::function<void()> OnChanged;
  std::function<void()> OnAlign;

 private:
  struct Pos {
    int Row, Column;
  };
  std::optional<TCell>& Slot(int row, int column);
  bool Inside(int row, int column) const;
  bool IsMoving(int row, int column) const;
  bool IsSettled(int row, int column) const;
  void Destroy(int row, int column);
  void ClearAll();
  void ComputeGeometry();
  void SpawnShape();
  void RemoveRow(int row);
  void MoveSideways(int step);
  int RandomKind();
  void SetFallTimerInterval(int ms);
  void Changed();

  std::mt19937 Random;
  bool FActive = false;
  bool FPaused = false;
  bool FShowNextColor = false;
  uint16_t FNextKind = 0;
  TTSAKey FAction = TTSAKey::Lft;
  uint16_t FLastKey = 0;
  int FFallInterval = 0;
  uint32_t FBottomColor = 0;
  uint32_t FCellPenColor = 0;
  uint32_t FCellOneColor = 0;
  TColorTAFShapes FCellColorMode = TColorTAFShapes::colorFixed;
  int FCellPenWidth = 0;
  TShapeType FCellShapeType = TShapeType::stRectangle;
  TBrushStyle FCellBrushStyle = TBrushStyle::bsSolid;
  uint32_t FColor = 0x8000000F;  // the button-face colour of a fresh panel
  int FBoardRows = 20;
  int FBoardColumns = 10;
  int FLeftMargin = 0;
  int FCellHeight = 0;
  int FCellWidth = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FBottomVisible = false;
  int FBottomHeight = 0;
  int FFallTimerInterval = TimerDefault;
  bool FTimersEnabled = true;
  std::array<std::array<std::optional<TCell>, MaxColumns>, MaxRows> Cells{};
};
