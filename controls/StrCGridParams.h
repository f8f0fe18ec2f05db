// Per-cell display parameters of the parameter grid and the named fonts
// they refer to, with the event types the cell parameters and the grid
// share. Both collections belong to one grid; every item knows its
// collection and every collection its grid.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "StrCGridTypes.h"

class TCustomStrColGrid;
class TSCGCellParams;
class TSCGCellFonts;

// What an event hands over as its sender: the grid, or a cell parameter.
class TSCGSender {
 public:
  virtual ~TSCGSender() = default;
};

// ---- event types ----
using TSCGCellChangedEvent = std::function<void(TSCGSender* Sender, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGColChangedEvent = std::function<void(TSCGSender* Sender, int AOldCol, int ANewCol)>;
using TSCGRowChangedEvent = std::function<void(TSCGSender* Sender, int AOldRow, int ANewRow)>;
using TSCGParamsCellChangedEvent = std::function<void(TSCGSender* Sender, TCustomStrColGrid* AGrid, int AOldCol,
                                                      int AOldRow, int ANewCol, int ANewRow)>;
using TSCGParamsColChangedEvent =
    std::function<void(TSCGSender* Sender, TCustomStrColGrid* AGrid, int AOldCol, int ANewCol)>;
using TSCGParamsRowChangedEvent =
    std::function<void(TSCGSender* Sender, TCustomStrColGrid* AGrid, int AOldRow, int ANewRow)>;
using TSCGOutCellTextEvent =
    std::function<void(TSCGSender* Sender, TCustomStrColGrid* AGrid, const TRect& ARect, int ACol, int ARow,
                       const QString& ACaption, QString& AValue, bool& ADoCanvasReset)>;
using TSCGDrawTextOneLineEvent = std::function<void(
    TSCGSender* Sender, TCustomStrColGrid* AGrid, const TRect& ARect, int ACol, int ARow, int AIndex,
    TGridDrawState AState, QString& AText, TAlignment& AAlignment, TTextLayout& ALayout, bool& AInnerHorzLine)>;
using TSCGDrawCellEvent = std::function<void(TSCGSender* Sender, TCustomStrColGrid* AGrid, int Col, int Row,
                                             const TRect& Rect, TGridDrawState State)>;

// The display parameters of one cell or of a rectangular range of cells.
class TSCGCellParam : public TSCGSender {
 public:
  // Joins `collection` (at its end) and takes the initial values.
  explicit TSCGCellParam(TSCGCellParams& collection);

  TSCGCellParams& Collection() const { return *FCollection; }
  TCustomStrColGrid& Grid() const;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value) { FAlignment = value; }
  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& value) { FCaption = value; }
  TSCGCellCaptionType CaptionType() const { return FCaptionType; }
  void SetCaptionType(TSCGCellCaptionType value) { FCaptionType = value; }
  QColor CellColor() const { return FCellColor; }
  void SetCellColor(const QColor& value) { FCellColor = value; }
  bool CellColorEnabled() const { return FCellColorEnabled; }
  void SetCellColorEnabled(bool value) { FCellColorEnabled = value; }
  // Column, or first column of the range; a negative value is refused.
  int Col() const { return FCol; }
  void SetCol(int value);
  // Last column of the range.
  int ColMax() const { return FColMax; }
  void SetColMax(int value);
  const TGridBrush& Brush() const { return FBrush; }
  TGridBrush& Brush() { return FBrush; }
  void SetBrush(const TGridBrush& value) { FBrush = value; }
  bool BrushEnabled() const { return FBrushEnabled; }
  void SetBrushEnabled(bool value) { FBrushEnabled = value; }
  // Name of one of the grid's fonts; empty for the grid's own font.
  const QString& FontName() const { return FFontName; }
  void SetFontName(const QString& value);
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& value) { FFontColor = value; }
  bool FontColorEnabled() const { return FFontColorEnabled; }
  void SetFontColorEnabled(bool value) { FFontColorEnabled = value; }
  // How many times each text line is drawn, each copy one pixel further right.
  int FontWidth() const { return FFontWidth; }
  void SetFontWidth(int value);
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode value) { FImeMode = value; }
  bool ImeModeEnabled() const { return FImeModeEnabled; }
  void SetImeModeEnabled(bool value) { FImeModeEnabled = value; }
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value) { FLayout = value; }
  const QString& Name() const { return FName; }
  void SetName(const QString& value) { FName = value; }
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions value) { FOptions = value; }
  bool OptionsEnabled() const { return FOptionsEnabled; }
  void SetOptionsEnabled(bool value) { FOptionsEnabled = value; }
  bool RangeEnabled() const { return FRangeEnabled; }
  void SetRangeEnabled(bool value);
  int Row() const { return FRow; }
  void SetRow(int value);
  int RowMax() const { return FRowMax; }
  void SetRowMax(int value);
  int Tag() const { return FTag; }
  void SetTag(int value) { FTag = value; }

  // Whether the item covers the cell.
  bool Covers(int col, int row) const;
  // Name and corners, "%s (%3d,%3d)-(%3d,%3d)".
  QString GetDisplayName() const;
  // Copies every property and handler as stored, without checks.
  void Assign(const TSCGCellParam& source);

  TSCGParamsCellChangedEvent OnEnterCell;
  TSCGParamsCellChangedEvent OnExitCell;
  TSCGParamsColChangedEvent OnEnterCol;
  TSCGParamsColChangedEvent OnExitCol;
  TSCGParamsRowChangedEvent OnEnterRow;
  TSCGParamsRowChangedEvent OnExitRow;
  TSCGOutCellTextEvent OnOutCellText;
  TSCGDrawTextOneLineEvent OnDrawTextOneLine;
  TSCGDrawCellEvent OnDrawCell;

 private:
  friend class TSCGCellParams;  // names a new item
  friend class TSCGCellFont;    // renames and clears FontName references
  // With the range on (and the grid not loading), both corners must be in order.
  void CheckRange(bool rangeEnabled) const;

  TSCGCellParams* FCollection;
  TAlignment FAlignment = taLeftJustify;
  QString FCaption;
  TSCGCellCaptionType FCaptionType = ctCellText;
  QColor FCellColor;
  bool FCellColorEnabled = false;
  int FCol = 0;
  int FColMax = 0;
  TGridBrush FBrush;
  bool FBrushEnabled = false;
  QString FFontName;
  QColor FFontColor;
  bool FFontColorEnabled = false;
  int FFontWidth = 1;
  TImeMode FImeMode = imDontCare;
  bool FImeModeEnabled = false;
  TTextLayout FLayout = tlTop;
  QString FName;
  TGridOptions FOptions;
  bool FOptionsEnabled = false;
  bool FRangeEnabled = false;
  int FRow = 0;
  int FRowMax = 0;
  int FTag = 0;
};

// The grid's cell parameters, in order; a later item overrides earlier ones.
class TSCGCellParams {
 public:
  explicit TSCGCellParams(TCustomStrColGrid& grid) : FGrid(&grid) {}
  TSCGCellParams(const TSCGCellParams&) = delete;
  TSCGCellParams& operator=(const TSCGCellParams&) = delete;

  TCustomStrColGrid& GetOwner() const { return *FGrid; }
  // A new item at the end.
  TSCGCellParam* Add();
  int Count() const { return static_cast<int>(FItems.size()); }
  // Item i; an index outside the collection is refused.
  TSCGCellParam* Items(int i) const;
  void SetItems(int i, const TSCGCellParam& source);
  void Delete(int i);
  void Clear();
  // The last item of that exact name.
  TSCGCellParam* ItemByName(const QString& name) const;
  // The last item covering the cell.
  TSCGCellParam* ItemByPos(int col, int row) const;
  // The last item covering the cell, or none.
  TSCGCellParam* Find(int col, int row) const;
  // Becomes a copy of `source`, item by item.
  void Assign(const TSCGCellParams& source);
  // Counts the changes of membership (items added or removed), so that a
  // holder of an item can tell whether it may still be there.
  uint64_t Generation() const { return FGeneration; }

 private:
  TCustomStrColGrid* FGrid;
  uint64_t FGeneration = 0;
  std::vector<std::unique_ptr<TSCGCellParam>> FItems;
};

// A named font of the grid.
class TSCGCellFont {
 public:
  // Joins `collection` (at its end) with a copy of the grid's font.
  explicit TSCGCellFont(TSCGCellFonts& collection);
  // Cell parameters that name this font fall back to the grid's font.
  ~TSCGCellFont();
  TSCGCellFont(const TSCGCellFont&) = delete;
  TSCGCellFont& operator=(const TSCGCellFont&) = delete;

  TSCGCellFonts& Collection() const { return *FCollection; }
  const TGridFont& Font() const { return FFont; }
  void SetFont(const TGridFont& value) { FFont = value; }
  const QString& Name() const { return FName; }
  // Refuses an empty name and a name any font of the grid has; the cell
  // parameters that named the font follow the new name.
  void SetName(const QString& value);
  // Name, face and point size, "%s( %s, %d )".
  QString GetDisplayName() const;
  void Assign(const TSCGCellFont& source);

 private:
  friend class TSCGCellFonts;  // names a new item
  TSCGCellFonts* FCollection;
  TGridFont FFont;
  QString FName;
};

// The grid's named fonts; a font's position is its font index.
class TSCGCellFonts {
 public:
  explicit TSCGCellFonts(TCustomStrColGrid& grid) : FGrid(&grid) {}
  ~TSCGCellFonts();
  TSCGCellFonts(const TSCGCellFonts&) = delete;
  TSCGCellFonts& operator=(const TSCGCellFonts&) = delete;

  TCustomStrColGrid& GetOwner() const { return *FGrid; }
  TSCGCellFont* Add();
  int Count() const { return static_cast<int>(FItems.size()); }
  TSCGCellFont* Items(int i) const;
  void SetItems(int i, const TSCGCellFont& source);
  void Delete(int i);
  void Clear();
  // Index of the first font of that exact name; a missing name is an error.
  int IndexOfName(const QString& name) const;
  // The font of that name, or none.
  const TSCGCellFont* Find(const QString& name) const;
  void Assign(const TSCGCellFonts& source);

 private:
  TCustomStrColGrid* FGrid;
  std::vector<std::unique_ptr<TSCGCellFont>> FItems;
};

// The main display parameters of one cell, read or written in one call.
struct TCellDrawParams {
  int32_t Col = 0;
  int32_t Row = 0;
  TAlignment Alignment = taLeftJustify;
  QColor FontColor;
  int32_t FontWidth = 1;
  QColor CellColor;
  bool BrushEnabled = false;
  Qt::BrushStyle BrushStyle = Qt::NoBrush;
  QColor BrushColor;
  int32_t FontIndex = -1;  // -1: the grid's own font
};
