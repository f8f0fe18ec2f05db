// The parameter grid without its window: a string grid (fixed header rows
// and columns, a text per cell, the current cell and the selection, column
// widths and row heights, scrolling by whole cells, the grid options)
// extended by per-cell display parameters, named fonts, multi-line cells,
// focus colours, a dotted focus frame, a 3-D frame for fixed cells, per-cell
// options and events when the current cell moves. Every decision and every
// drawing rule is here; the window (TStrColGrid) only supplies the keyboard
// focus, the in-place editor, the scroll bars and the picture to paint on.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "StrCGridCanvas.h"
#include "StrCGridParams.h"
#include "StrCGridTypes.h"

// The class library's grid events.
using TSelectCellEvent = std::function<void(TSCGSender* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    std::function<void(TSCGSender* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TNotifyEvent = std::function<void(TSCGSender* Sender)>;

class TCustomStrColGrid : public TSCGSender {
 public:
  TCustomStrColGrid();
  ~TCustomStrColGrid() override;
  TCustomStrColGrid(const TCustomStrColGrid&) = delete;
  TCustomStrColGrid& operator=(const TCustomStrColGrid&) = delete;

  // ---- the string grid ----
  int ColCount() const { return FColCount; }
  void SetColCount(int value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int value);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int value);
  // Setting a default size gives every column (row) that size.
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int value);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  // The text of a cell; a cell outside the grid reads as empty and refuses
  // to be written.
  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);

  // The current cell, always a scrolling (non-fixed) cell. Setting it moves
  // the current cell through SelectCell; a position outside the scrolling
  // cells is refused.
  int Col() const { return FCurCol; }
  void SetCol(int value);
  int Row() const { return FCurRow; }
  void SetRow(int value);
  // The selected cells (the current cell and the anchor of a range).
  TGridRect Selection() const;

  // The first scrolling row and column shown.
  int TopRow() const { return FTopRow; }
  void SetTopRow(int value);
  int LeftCol() const { return FLeftCol; }
  void SetLeftCol(int value);
  int MaxTopRow() const;
  int MaxLeftCol() const;
  // Scrolls the least that brings the cell wholly into view (as far as the
  // drawing area allows); a fixed row or column does not scroll.
  void MakeCellVisible(int col, int row);
  // Scrolling rows (columns) wholly shown from TopRow (LeftCol), at least 1.
  int VisibleRowCount() const;
  int VisibleColCount() const;
  // The size of the drawing area; the window sets it.
  void SetClientSize(int width, int height);
  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }
  // The cell's rectangle in the drawing area; empty while it is scrolled away.
  TRect CellRect(int col, int row) const;
  // The cell under a point of the drawing area; false when none is.
  bool MouseCoord(int x, int y, int& col, int& row) const;
  bool IsFixedCell(int col, int row) const { return col < FFixedCols || row < FFixedRows; }

  QColor Color() const { return FColor; }
  void SetColor(const QColor& value);
  QColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(const QColor& value);
  const TGridFont& Font() const { return FFont; }
  void SetFont(const TGridFont& value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool value);

  // ---- the extensions ----
  TSCGCellParams& CellParams() { return FCellParams; }
  const TSCGCellParams& CellParams() const { return FCellParams; }
  TSCGCellFonts& Fonts() { return FFonts; }
  const TSCGCellFonts& Fonts() const { return FFonts; }

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TAlignment FixedAlignment() const { return FFixedAlignment; }
  void SetFixedAlignment(TAlignment value);
  TTextLayout FixedLayout() const { return FFixedLayout; }
  void SetFixedLayout(TTextLayout value);
  bool FocusDraw() const { return FFocusDraw; }
  void SetFocusDraw(bool value);
  QColor FocusCellColor() const { return FFocusCellColor; }
  void SetFocusCellColor(const QColor& value);
  QColor FocusCellFontColor() const { return FFocusCellFontColor; }
  void SetFocusCellFontColor(const QColor& value);
  bool FocusCellFontColorEnabled() const { return FFocusCellFontColorEnabled; }
  void SetFocusCellFontColorEnabled(bool value);
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode value);
  bool CellDivide() const { return FCellDivide; }
  void SetCellDivide(bool value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value) { FLayout = value; }
  // The grid's own options; writing them also makes them the set in force.
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions value);
  // The options in force: the grid's own, or the current cell's parameter's
  // when it has them enabled (set by SelectCell).
  TGridOptions OptionsInForce() const { return FOptionsInForce; }

  // While loading, the value checks of the cell parameters and fonts are
  // skipped; Loaded ends it and applies the current cell's settings.
  void BeginLoading() { FLoading = true; }
  bool Loading() const { return FLoading; }
  virtual void Loaded();

  // Repaints one cell.
  void InvalidateCell(int col, int row);
  // The parameter that applies to the cell (the last one covering it), or
  // none; with `create`, a missing one is appended for a cell of the grid.
  TSCGCellParam* GetCellParamPointer(int col, int row, bool create);
  // Empties both the cell parameters and the fonts.
  void ClearAllCellParams();
  // Refuses a position outside the grid.
  void CheckColRowRange(int col, int row) const;
  void GetDefaultCellParams(int col, int row, TCellDrawParams& params) const;
  void GetCellParams(int col, int row, TCellDrawParams& params) const;
  void SetCellParams(const TCellDrawParams& params);
  TSCGCellFont* AddFont(const TGridFont& font);
  void DeleteFont(int index);
  int FontCount() const { return FFonts.Count(); }

  // ---- per-cell operations: read the cell's parameter or the grid's value,
  // write to the cell's parameter (appended when none applies) ----
  TAlignment GetCellAlignments(int col, int row) const;
  void SetCellAlignments(int col, int row, TAlignment value);
  QColor GetCellFontColors(int col, int row) const;
  void SetCellFontColors(int col, int row, const QColor& value);
  int GetCellFontWidths(int col, int row) const;
  void SetCellFontWidths(int col, int row, int value);
  QColor GetCellColors(int col, int row) const;
  void SetCellColors(int col, int row, const QColor& value);
  bool GetCellBrushEnabled(int col, int row) const;
  void SetCellBrushEnabled(int col, int row, bool value);
  Qt::BrushStyle GetCellBrushStyles(int col, int row) const;
  void SetCellBrushStyles(int col, int row, Qt::BrushStyle value);
  QColor GetCellBrushColors(int col, int row) const;
  void SetCellBrushColors(int col, int row, const QColor& value);
  int GetCellFonts(int col, int row) const;
  void SetCellFonts(int col, int row, int index);
  // Line `index` (from 0) of the cell's text.
  QString CellLines(int col, int row, int index) const;
  void SetCellLines(int col, int row, int index, const QString& line);
  // Lines a cell may have through SetCellLines.
  static constexpr int kMaxCellLines = 1024;

  // ---- drawing ----
  // BeforeDraw, then every visible cell, the grid lines and the empty rest.
  virtual void Paint();
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  virtual void FillCellWithParams(int col, int row, TGridDrawState state, TSCGCellParam* param, bool focusMode);
  void FillCell(int col, int row, TGridDrawState state);
  // Paints the canvas in the focus colours when the cell is to have them.
  bool SetCanvasStateForFocusMode(TSCGCellParam* param, TGridDrawState state);
  void DrawFixedFrame(const TRect& rect);
  // How a visible cell is to be drawn now.
  TGridDrawState CellDrawState(int col, int row) const;
  TGridCanvas& Canvas() { return FCanvas; }

  // Whether the current cell may move to (col, row); applies the new cell's
  // options and editor settings and fires the cell events.
  virtual bool SelectCell(int col, int row);

  // ---- moving the current cell ----
  // Moves the current cell (keeping the range anchor when `moveAnchor` is
  // false and ranges may be selected); false when SelectCell refused.
  bool MoveCurrent(int col, int row, bool moveAnchor);
  // A navigation key: arrows, Home, End (with Ctrl: also the first or last
  // row), Page Up and Page Down; Shift extends a range. False for other keys.
  bool KeyMove(int key, bool shift, bool control);

  // ---- what the editor takes from the current cell's parameter ----
  TGridFont EditorFontFor(const TSCGCellParam* param) const;
  TImeMode EditorImeModeFor(const TSCGCellParam* param) const;

  // ---- events ----
  TSelectCellEvent OnSelectCell;
  TDrawCellEvent OnDrawCell;
  TSCGCellChangedEvent OnCellChanged;
  TSCGColChangedEvent OnColChanged;
  TSCGRowChangedEvent OnRowChanged;
  TSCGOutCellTextEvent OnOutCellText;
  TSCGDrawTextOneLineEvent OnDrawTextOneLine;
  TNotifyEvent BeforeDraw;

 protected:
  // What the window supplies; without a window the grid never has the
  // focus and has no editor.
  virtual bool GridHasFocus() const { return false; }
  virtual void InvalidateGrid() {}
  virtual void InvalidateArea(const TRect&) {}
  virtual bool EditorExists() const { return false; }
  virtual void ApplyEditorFont(const TGridFont&) {}
  virtual void ApplyEditorImeMode(TImeMode) {}
  virtual void ApplyWindowImeMode(TImeMode) {}
  // Counts, sizes or the scroll position changed.
  virtual void GridLayoutChanged() {}
  // The current cell moved from (oldCol, oldRow).
  virtual void CurrentCellMoved(int, int) {}
  virtual void CellTextChanged(int, int) {}
  virtual void OptionsInForceChanged() {}
  virtual void ColorChanged() {}
  virtual void FontChanged() {}
  // For the window: take a colour or font that reached it by other ways.
  void StoreColor(const QColor& value);
  void StoreFontFace(const QFont& value);

 private:
  void SetOptionsInForce(TGridOptions value);
  void ClampPositions();
  void DrawCellDefault(int col, int row, const TRect& rect, TGridDrawState state);
  void DrawFocusFrame(const TRect& rect, bool leftSide, bool rightSide);
  void DrawGridLines(int col, int row, const TRect& rect);
  void SaveCanvasState();
  void RestoreCanvasState();
  // A write through a cell's parameter; a parameter appended for it is
  // removed again when the write is refused.
  template <typename Write>
  void WriteCellParam(int col, int row, Write write);
  // Left edge of a column or top edge of a row in the drawing area, or -1.
  int ColumnLeft(int col) const;
  int RowTop(int row) const;
  // The columns (rows) with a part in the drawing area, fixed ones first.
  std::vector<int> ShownCols() const;
  std::vector<int> ShownRows() const;
  int VertLineWidth() const;
  int HorzLineWidth() const;
  static uint64_t CellKey(int col, int row) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(col)) << 32) | static_cast<uint32_t>(row);
  }

  int FColCount = 5;
  int FRowCount = 5;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  std::vector<int> FColWidths;
  std::vector<int> FRowHeights;
  std::unordered_map<uint64_t, QString> FCells;
  int FCurCol = 1;
  int FCurRow = 1;
  int FAnchorCol = 1;
  int FAnchorRow = 1;
  int FTopRow = 1;
  int FLeftCol = 1;
  int FClientWidth = 0;
  int FClientHeight = 0;
  QColor FColor;
  QColor FFixedColor;
  TGridFont FFont;
  bool FCtl3D = true;
  bool FDefaultDrawing = false;

  TAlignment FAlignment = taLeftJustify;
  TAlignment FFixedAlignment = taLeftJustify;
  TTextLayout FFixedLayout = tlTop;
  bool FFocusDraw = true;
  QColor FFocusCellColor;
  QColor FFocusCellFontColor;
  bool FFocusCellFontColorEnabled = false;
  TImeMode FImeMode = imDontCare;
  bool FCellDivide = true;
  TTextLayout FLayout = tlTop;
  TGridOptions FOptions;
  TGridOptions FOptionsInForce;
  bool FLoading = false;

  // The cell SelectCell compares with.
  int FPrevCol = 0;
  int FPrevRow = 0;

  TGridCanvas FCanvas;
  TGridBrush FSavedBrush;
  TGridPen FSavedPen;
  TGridFont FSavedFont;

  // Declared before the fonts: a font being freed clears the names that
  // cell parameters hold of it.
  TSCGCellParams FCellParams;
  TSCGCellFonts FFonts;
};
