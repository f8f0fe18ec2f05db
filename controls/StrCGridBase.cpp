#include "StrCGridBase.h"

#include <QGuiApplication>

#include <algorithm>

namespace {

using kvl::grid::ComposeCellText;
using kvl::grid::ContrastColor;
using kvl::grid::FocusFramePoints;
using kvl::grid::JoinCellLines;
using kvl::grid::SplitCellLines;
using kvl::grid::TextOrigin;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString ListIndexError(int index) { return QString::asprintf("List index out of bounds (%d)", index); }

const char* const kGridIndexOutOfRange = "Grid index out of range";

constexpr TGridOptions kInitialOptions =
    TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

}  // namespace

TCustomStrColGrid::TCustomStrColGrid()
    : FColor(SystemColor(TSystemColor::Window)),
      FFixedColor(SystemColor(TSystemColor::BtnFace)),
      FFocusCellColor(SystemColor(TSystemColor::Highlight)),
      FFocusCellFontColor(SystemColor(TSystemColor::HighlightText)),
      FOptions(kInitialOptions),
      FOptionsInForce(kInitialOptions),
      FCellParams(*this),
      FFonts(*this) {
  FFont.Font = QGuiApplication::font();
  FFont.Color = SystemColor(TSystemColor::WindowText);
  FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
  FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
}

TCustomStrColGrid::~TCustomStrColGrid() {
  FCellParams.Clear();
  FFonts.Clear();
}

// ---- counts and sizes ----

void TCustomStrColGrid::SetColCount(int value) {
  value = std::max(value, 1);
  if (value <= FFixedCols) FFixedCols = value - 1;
  FColCount = value;
  FColWidths.resize(static_cast<size_t>(value), FDefaultColWidth);
  std::erase_if(FCells, [value](const auto& cell) { return static_cast<int>(cell.first >> 32) >= value; });
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetRowCount(int value) {
  value = std::max(value, 1);
  if (value <= FFixedRows) FFixedRows = value - 1;
  FRowCount = value;
  FRowHeights.resize(static_cast<size_t>(value), FDefaultRowHeight);
  std::erase_if(FCells,
                [value](const auto& cell) { return static_cast<int>(cell.first & 0xFFFFFFFFu) >= value; });
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetFixedCols(int value) {
  if (value < 0 || value >= FColCount)
    throw EGridRangeError(QStringLiteral("Fixed column count must be less than column count"));
  FFixedCols = value;
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetFixedRows(int value) {
  if (value < 0 || value >= FRowCount)
    throw EGridRangeError(QStringLiteral("Fixed row count must be less than row count"));
  FFixedRows = value;
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetDefaultColWidth(int value) {
  if (value < 0) throw EGridRangeError(QStringLiteral("Column width must not be negative"));
  FDefaultColWidth = value;
  std::fill(FColWidths.begin(), FColWidths.end(), value);
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetDefaultRowHeight(int value) {
  if (value < 0) throw EGridRangeError(QStringLiteral("Row height must not be negative"));
  FDefaultRowHeight = value;
  std::fill(FRowHeights.begin(), FRowHeights.end(), value);
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

int TCustomStrColGrid::ColWidths(int col) const {
  if (col < 0 || col >= FColCount) throw EGridRangeError(Text(kGridIndexOutOfRange));
  return FColWidths[static_cast<size_t>(col)];
}

void TCustomStrColGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= FColCount) throw EGridRangeError(Text(kGridIndexOutOfRange));
  if (width < 0) throw EGridRangeError(QStringLiteral("Column width must not be negative"));
  FColWidths[static_cast<size_t>(col)] = width;
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

int TCustomStrColGrid::RowHeights(int row) const {
  if (row < 0 || row >= FRowCount) throw EGridRangeError(Text(kGridIndexOutOfRange));
  return FRowHeights[static_cast<size_t>(row)];
}

void TCustomStrColGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= FRowCount) throw EGridRangeError(Text(kGridIndexOutOfRange));
  if (height < 0) throw EGridRangeError(QStringLiteral("Row height must not be negative"));
  FRowHeights[static_cast<size_t>(row)] = height;
  ClampPositions();
  GridLayoutChanged();
  InvalidateGrid();
}

QString TCustomStrColGrid::Cells(int col, int row) const {
  if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount) return QString();
  const auto it = FCells.find(CellKey(col, row));
  return it == FCells.end() ? QString() : it->second;
}

void TCustomStrColGrid::SetCells(int col, int row, const QString& text) {
  CheckColRowRange(col, row);
  if (text.isEmpty())
    FCells.erase(CellKey(col, row));
  else
    FCells[CellKey(col, row)] = text;
  InvalidateCell(col, row);
  CellTextChanged(col, row);
}

// ---- current cell, selection, scrolling ----

void TCustomStrColGrid::SetCol(int value) { MoveCurrent(value, FCurRow, true); }

void TCustomStrColGrid::SetRow(int value) { MoveCurrent(FCurCol, value, true); }

TGridRect TCustomStrColGrid::Selection() const {
  TGridRect r{std::min(FAnchorCol, FCurCol), std::min(FAnchorRow, FCurRow), std::max(FAnchorCol, FCurCol),
              std::max(FAnchorRow, FCurRow)};
  if (FOptionsInForce & goRowSelect) {
    r.Left = FFixedCols;
    r.Right = FColCount - 1;
  }
  return r;
}

void TCustomStrColGrid::ClampPositions() {
  const int oldCol = FCurCol;
  const int oldRow = FCurRow;
  FCurCol = std::clamp(FCurCol, FFixedCols, FColCount - 1);
  FCurRow = std::clamp(FCurRow, FFixedRows, FRowCount - 1);
  FAnchorCol = std::clamp(FAnchorCol, FFixedCols, FColCount - 1);
  FAnchorRow = std::clamp(FAnchorRow, FFixedRows, FRowCount - 1);
  FTopRow = std::clamp(FTopRow, FFixedRows, MaxTopRow());
  FLeftCol = std::clamp(FLeftCol, FFixedCols, MaxLeftCol());
  if (oldCol != FCurCol || oldRow != FCurRow) CurrentCellMoved(oldCol, oldRow);
}

int TCustomStrColGrid::VertLineWidth() const {
  return (FOptionsInForce & (goVertLine | goFixedVertLine)) ? 1 : 0;
}

int TCustomStrColGrid::HorzLineWidth() const {
  return (FOptionsInForce & (goHorzLine | goFixedHorzLine)) ? 1 : 0;
}

int TCustomStrColGrid::ColumnLeft(int col) const {
  if (col < 0 || col >= FColCount) return -1;
  const int line = VertLineWidth();
  int x = 0;
  if (col < FFixedCols) {
    for (int i = 0; i < col; ++i) x += FColWidths[static_cast<size_t>(i)] + line;
    return x;
  }
  if (col < FLeftCol) return -1;
  for (int i = 0; i < FFixedCols; ++i) x += FColWidths[static_cast<size_t>(i)] + line;
  for (int i = FLeftCol; i < col; ++i) {
    x += FColWidths[static_cast<size_t>(i)] + line;
    if (FClientWidth > 0 && x >= FClientWidth) return x;
  }
  return x;
}

int TCustomStrColGrid::RowTop(int row) const {
  if (row < 0 || row >= FRowCount) return -1;
  const int line = HorzLineWidth();
  int y = 0;
  if (row < FFixedRows) {
    for (int i = 0; i < row; ++i) y += FRowHeights[static_cast<size_t>(i)] + line;
    return y;
  }
  if (row < FTopRow) return -1;
  for (int i = 0; i < FFixedRows; ++i) y += FRowHeights[static_cast<size_t>(i)] + line;
  for (int i = FTopRow; i < row; ++i) {
    y += FRowHeights[static_cast<size_t>(i)] + line;
    if (FClientHeight > 0 && y >= FClientHeight) return y;
  }
  return y;
}

int TCustomStrColGrid::MaxTopRow() const {
  const int line = HorzLineWidth();
  int fixed = 0;
  for (int i = 0; i < FFixedRows; ++i) fixed += FRowHeights[static_cast<size_t>(i)] + line;
  const int available = FClientHeight - fixed;
  int top = FRowCount - 1;
  int used = FRowHeights[static_cast<size_t>(top)] + line;
  while (top > FFixedRows && used + FRowHeights[static_cast<size_t>(top - 1)] + line <= available) {
    --top;
    used += FRowHeights[static_cast<size_t>(top)] + line;
  }
  return std::max(top, FFixedRows);
}

int TCustomStrColGrid::MaxLeftCol() const {
  const int line = VertLineWidth();
  int fixed = 0;
  for (int i = 0; i < FFixedCols; ++i) fixed += FColWidths[static_cast<size_t>(i)] + line;
  const int available = FClientWidth - fixed;
  int left = FColCount - 1;
  int used = FColWidths[static_cast<size_t>(left)] + line;
  while (left > FFixedCols && used + FColWidths[static_cast<size_t>(left - 1)] + line <= available) {
    --left;
    used += FColWidths[static_cast<size_t>(left)] + line;
  }
  return std::max(left, FFixedCols);
}

void TCustomStrColGrid::SetTopRow(int value) {
  value = std::clamp(value, FFixedRows, MaxTopRow());
  if (value == FTopRow) return;
  FTopRow = value;
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::SetLeftCol(int value) {
  value = std::clamp(value, FFixedCols, MaxLeftCol());
  if (value == FLeftCol) return;
  FLeftCol = value;
  GridLayoutChanged();
  InvalidateGrid();
}

int TCustomStrColGrid::VisibleRowCount() const {
  int count = 0;
  for (int row = FTopRow; row < FRowCount; ++row) {
    const int top = RowTop(row);
    if (top < 0 || top + FRowHeights[static_cast<size_t>(row)] > FClientHeight) break;
    ++count;
  }
  return std::max(count, 1);
}

int TCustomStrColGrid::VisibleColCount() const {
  int count = 0;
  for (int col = FLeftCol; col < FColCount; ++col) {
    const int left = ColumnLeft(col);
    if (left < 0 || left + FColWidths[static_cast<size_t>(col)] > FClientWidth) break;
    ++count;
  }
  return std::max(count, 1);
}

void TCustomStrColGrid::SetClientSize(int width, int height) {
  FClientWidth = std::max(width, 0);
  FClientHeight = std::max(height, 0);
  FTopRow = std::clamp(FTopRow, FFixedRows, MaxTopRow());
  FLeftCol = std::clamp(FLeftCol, FFixedCols, MaxLeftCol());
  GridLayoutChanged();
}

void TCustomStrColGrid::MakeCellVisible(int col, int row) {
  if (FClientWidth <= 0 || FClientHeight <= 0) return;
  const int oldTop = FTopRow;
  const int oldLeft = FLeftCol;
  if (row >= FFixedRows) {
    if (row < FTopRow) {
      FTopRow = row;
    } else {
      while (FTopRow < row && RowTop(row) + FRowHeights[static_cast<size_t>(row)] > FClientHeight) ++FTopRow;
    }
  }
  if (col >= FFixedCols) {
    if (col < FLeftCol) {
      FLeftCol = col;
    } else {
      while (FLeftCol < col && ColumnLeft(col) + FColWidths[static_cast<size_t>(col)] > FClientWidth) ++FLeftCol;
    }
  }
  if (oldTop != FTopRow || oldLeft != FLeftCol) GridLayoutChanged();
}

std::vector<int> TCustomStrColGrid::ShownCols() const {
  std::vector<int> cols;
  for (int c = 0; c < FFixedCols; ++c) {
    if (ColumnLeft(c) >= FClientWidth) return cols;
    cols.push_back(c);
  }
  for (int c = FLeftCol; c < FColCount; ++c) {
    if (ColumnLeft(c) >= FClientWidth) break;
    cols.push_back(c);
  }
  return cols;
}

std::vector<int> TCustomStrColGrid::ShownRows() const {
  std::vector<int> rows;
  for (int r = 0; r < FFixedRows; ++r) {
    if (RowTop(r) >= FClientHeight) return rows;
    rows.push_back(r);
  }
  for (int r = FTopRow; r < FRowCount; ++r) {
    if (RowTop(r) >= FClientHeight) break;
    rows.push_back(r);
  }
  return rows;
}

TRect TCustomStrColGrid::CellRect(int col, int row) const {
  const int x = ColumnLeft(col);
  const int y = RowTop(row);
  if (x < 0 || y < 0 || x >= FClientWidth || y >= FClientHeight) return {};
  return {x, y, x + FColWidths[static_cast<size_t>(col)], y + FRowHeights[static_cast<size_t>(row)]};
}

bool TCustomStrColGrid::MouseCoord(int x, int y, int& col, int& row) const {
  col = -1;
  row = -1;
  if (x < 0 || y < 0 || x >= FClientWidth || y >= FClientHeight) return false;
  const int vline = VertLineWidth();
  const int hline = HorzLineWidth();
  for (const int c : ShownCols()) {
    const int left = ColumnLeft(c);
    if (x >= left && x < left + FColWidths[static_cast<size_t>(c)] + vline) {
      col = c;
      break;
    }
  }
  for (const int r : ShownRows()) {
    const int top = RowTop(r);
    if (y >= top && y < top + FRowHeights[static_cast<size_t>(r)] + hline) {
      row = r;
      break;
    }
  }
  if (col < 0 || row < 0) {
    col = -1;
    row = -1;
    return false;
  }
  return true;
}

bool TCustomStrColGrid::MoveCurrent(int col, int row, bool moveAnchor) {
  if (col < FFixedCols || col >= FColCount || row < FFixedRows || row >= FRowCount)
    throw EGridRangeError(Text(kvl::grid::kCellOutOfGrid));
  if (!SelectCell(col, row)) return false;
  const int oldCol = FCurCol;
  const int oldRow = FCurRow;
  FCurCol = col;
  FCurRow = row;
  if (moveAnchor || !(FOptionsInForce & goRangeSelect)) {
    FAnchorCol = col;
    FAnchorRow = row;
  }
  MakeCellVisible(col, row);
  InvalidateGrid();
  CurrentCellMoved(oldCol, oldRow);
  return true;
}

bool TCustomStrColGrid::KeyMove(int key, bool shift, bool control) {
  int col = FCurCol;
  int row = FCurRow;
  switch (key) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Home:
      col = FFixedCols;
      if (control) row = FFixedRows;
      break;
    case Qt::Key_End:
      col = FColCount - 1;
      if (control) row = FRowCount - 1;
      break;
    case Qt::Key_PageUp: row -= VisibleRowCount(); break;
    case Qt::Key_PageDown: row += VisibleRowCount(); break;
    default: return false;
  }
  col = std::clamp(col, FFixedCols, FColCount - 1);
  row = std::clamp(row, FFixedRows, FRowCount - 1);
  MoveCurrent(col, row, !(shift && (FOptionsInForce & goRangeSelect)));
  return true;
}

// ---- grid-level properties ----

void TCustomStrColGrid::SetColor(const QColor& value) {
  FColor = value;
  ColorChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::StoreColor(const QColor& value) {
  if (value == FColor) return;
  FColor = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFixedColor(const QColor& value) {
  FFixedColor = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFont(const TGridFont& value) {
  FFont = value;
  FontChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::StoreFontFace(const QFont& value) {
  if (value == FFont.Font) return;
  FFont.Font = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetCtl3D(bool value) {
  FCtl3D = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetDefaultDrawing(bool value) {
  FDefaultDrawing = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetAlignment(TAlignment value) {
  FAlignment = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFixedAlignment(TAlignment value) {
  FFixedAlignment = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFixedLayout(TTextLayout value) {
  FFixedLayout = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFocusDraw(bool value) {
  FFocusDraw = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFocusCellColor(const QColor& value) {
  FFocusCellColor = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFocusCellFontColor(const QColor& value) {
  FFocusCellFontColor = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetFocusCellFontColorEnabled(bool value) {
  FFocusCellFontColorEnabled = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetImeMode(TImeMode value) {
  FImeMode = value;
  ApplyWindowImeMode(value);
  if (EditorExists()) ApplyEditorImeMode(value);
}

void TCustomStrColGrid::SetCellDivide(bool value) {
  FCellDivide = value;
  InvalidateGrid();
}

void TCustomStrColGrid::SetOptions(TGridOptions value) {
  FOptions = value;
  SetOptionsInForce(value);
}

void TCustomStrColGrid::SetOptionsInForce(TGridOptions value) {
  if (value == FOptionsInForce) return;
  FOptionsInForce = value;
  if (!(value & goRangeSelect)) {
    FAnchorCol = FCurCol;
    FAnchorRow = FCurRow;
  }
  ClampPositions();
  OptionsInForceChanged();
  GridLayoutChanged();
  InvalidateGrid();
}

void TCustomStrColGrid::Loaded() {
  FLoading = false;
  FCanvas.Font = FFont;
  FPrevCol = FCurCol;
  FPrevRow = FCurRow;
  SelectCell(FCurCol, FCurRow);
  InvalidateGrid();
}

// ---- cell parameters and fonts ----

void TCustomStrColGrid::InvalidateCell(int col, int row) {
  const TRect rect = CellRect(col, row);
  if (!rect.IsEmpty()) InvalidateArea(rect);
}

TSCGCellParam* TCustomStrColGrid::GetCellParamPointer(int col, int row, bool create) {
  if (TSCGCellParam* param = FCellParams.Find(col, row)) return param;
  if (!create) return nullptr;
  CheckColRowRange(col, row);
  TSCGCellParam* param = FCellParams.Add();
  param->SetCaption(QString());
  param->SetFontColor(FFont.Color);
  param->SetCellColor(IsFixedCell(col, row) ? FFixedColor : FColor);
  param->SetCellColorEnabled(true);
  param->SetFontColorEnabled(true);
  param->SetCol(col);
  param->SetRow(row);
  return param;
}

void TCustomStrColGrid::ClearAllCellParams() {
  FCellParams.Clear();
  FFonts.Clear();
  InvalidateGrid();
}

void TCustomStrColGrid::CheckColRowRange(int col, int row) const {
  if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount)
    throw EGridRangeError(Text(kvl::grid::kCellOutOfGrid));
}

void TCustomStrColGrid::GetDefaultCellParams(int col, int row, TCellDrawParams& params) const {
  CheckColRowRange(col, row);
  params.Col = col;
  params.Row = row;
  params.Alignment = FAlignment;
  params.FontColor = FFont.Color;
  params.FontWidth = 1;
  params.CellColor = IsFixedCell(col, row) ? FFixedColor : FColor;
  params.BrushEnabled = false;
  params.BrushStyle = Qt::NoBrush;
  params.BrushColor = FColor;
  params.FontIndex = -1;
}

void TCustomStrColGrid::GetCellParams(int col, int row, TCellDrawParams& params) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  if (!param) {
    GetDefaultCellParams(col, row, params);
    return;
  }
  params.Col = col;
  params.Row = row;
  params.Alignment = param->Alignment();
  params.FontColor = param->FontColor();
  params.FontWidth = param->FontWidth();
  params.CellColor = param->CellColor();
  params.BrushEnabled = param->BrushEnabled();
  params.BrushStyle = param->Brush().Style();
  params.BrushColor = param->Brush().Color();
  params.FontIndex = param->FontName().isEmpty() ? -1 : FFonts.IndexOfName(param->FontName());
}

template <typename Write>
void TCustomStrColGrid::WriteCellParam(int col, int row, Write write) {
  CheckColRowRange(col, row);
  TSCGCellParam* param = FCellParams.Find(col, row);
  const bool created = param == nullptr;
  if (created) param = GetCellParamPointer(col, row, true);
  try {
    write(param);
  } catch (...) {
    if (created) {
      for (int i = FCellParams.Count() - 1; i >= 0; --i) {
        if (FCellParams.Items(i) == param) {
          FCellParams.Delete(i);
          break;
        }
      }
    }
    throw;
  }
  InvalidateGrid();
}

void TCustomStrColGrid::SetCellParams(const TCellDrawParams& params) {
  CheckColRowRange(params.Col, params.Row);
  if (params.FontIndex < -1 || params.FontIndex >= FFonts.Count())
    throw EGridRangeError(Text(kvl::grid::kIndexOutOfRange));
  WriteCellParam(params.Col, params.Row, [&](TSCGCellParam* param) {
    // The one value that can be refused goes first, so that a refusal
    // leaves the parameter as it was.
    param->SetFontWidth(params.FontWidth);
    param->SetCol(params.Col);
    param->SetRow(params.Row);
    param->SetAlignment(params.Alignment);
    param->SetFontColor(params.FontColor);
    param->SetFontColorEnabled(true);
    param->SetCellColor(params.CellColor);
    param->SetCellColorEnabled(true);
    param->SetBrushEnabled(params.BrushEnabled);
    param->Brush().SetColor(params.BrushColor);
    param->Brush().SetStyle(params.BrushStyle);
    param->SetFontName(params.FontIndex < 0 ? QString() : FFonts.Items(params.FontIndex)->Name());
  });
}

TSCGCellFont* TCustomStrColGrid::AddFont(const TGridFont& font) {
  TSCGCellFont* item = FFonts.Add();
  item->SetFont(font);
  return item;
}

void TCustomStrColGrid::DeleteFont(int index) {
  if (index < 0 || index >= FFonts.Count()) throw EGridRangeError(Text(kvl::grid::kIndexOutOfRange));
  const QString name = FFonts.Items(index)->Name();
  for (int i = 0; i < FCellParams.Count(); ++i)
    if (FCellParams.Items(i)->FontName() == name) throw EGridError(Text(kvl::grid::kFontInUse));
  FFonts.Delete(index);
  InvalidateGrid();
}

// ---- per-cell operations ----

TAlignment TCustomStrColGrid::GetCellAlignments(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->Alignment() : FAlignment;
}

void TCustomStrColGrid::SetCellAlignments(int col, int row, TAlignment value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->SetAlignment(value); });
}

QColor TCustomStrColGrid::GetCellFontColors(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->FontColor() : FFont.Color;
}

void TCustomStrColGrid::SetCellFontColors(int col, int row, const QColor& value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->SetFontColor(value); });
}

int TCustomStrColGrid::GetCellFontWidths(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->FontWidth() : 1;
}

void TCustomStrColGrid::SetCellFontWidths(int col, int row, int value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->SetFontWidth(value); });
}

QColor TCustomStrColGrid::GetCellColors(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->CellColor() : FColor;
}

void TCustomStrColGrid::SetCellColors(int col, int row, const QColor& value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) {
    param->SetCellColor(value);
    param->SetCellColorEnabled(true);
  });
}

bool TCustomStrColGrid::GetCellBrushEnabled(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->BrushEnabled() : false;
}

void TCustomStrColGrid::SetCellBrushEnabled(int col, int row, bool value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->SetBrushEnabled(value); });
}

Qt::BrushStyle TCustomStrColGrid::GetCellBrushStyles(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->Brush().Style() : FCanvas.Brush.Style();
}

void TCustomStrColGrid::SetCellBrushStyles(int col, int row, Qt::BrushStyle value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->Brush().SetStyle(value); });
}

QColor TCustomStrColGrid::GetCellBrushColors(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  return param ? param->Brush().Color() : FColor;
}

void TCustomStrColGrid::SetCellBrushColors(int col, int row, const QColor& value) {
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->Brush().SetColor(value); });
}

int TCustomStrColGrid::GetCellFonts(int col, int row) const {
  CheckColRowRange(col, row);
  const TSCGCellParam* param = FCellParams.Find(col, row);
  if (!param || param->FontName().isEmpty()) return -1;
  return FFonts.IndexOfName(param->FontName());
}

void TCustomStrColGrid::SetCellFonts(int col, int row, int index) {
  CheckColRowRange(col, row);
  if (index < -1 || index >= FFonts.Count()) throw EGridRangeError(Text(kvl::grid::kIndexOutOfRange));
  const QString name = index < 0 ? QString() : FFonts.Items(index)->Name();
  WriteCellParam(col, row, [&](TSCGCellParam* param) { param->SetFontName(name); });
}

QString TCustomStrColGrid::CellLines(int col, int row, int index) const {
  CheckColRowRange(col, row);
  if (index < 0) throw EGridRangeError(ListIndexError(index));
  const QStringList lines = SplitCellLines(Cells(col, row));
  return index < lines.size() ? lines.at(index) : QString();
}

void TCustomStrColGrid::SetCellLines(int col, int row, int index, const QString& line) {
  CheckColRowRange(col, row);
  if (index < 0 || index >= kMaxCellLines) throw EGridRangeError(ListIndexError(index));
  QStringList lines = SplitCellLines(Cells(col, row));
  while (lines.size() <= index) lines.append(QString());
  lines[index] = line;
  SetCells(col, row, JoinCellLines(lines));
}

TGridFont TCustomStrColGrid::EditorFontFor(const TSCGCellParam* param) const {
  if (param && !param->FontName().isEmpty())
    if (const TSCGCellFont* font = FFonts.Find(param->FontName())) return font->Font();
  return FFont;
}

TImeMode TCustomStrColGrid::EditorImeModeFor(const TSCGCellParam* param) const {
  return param && param->ImeModeEnabled() ? param->ImeMode() : FImeMode;
}

// ---- moving the current cell ----

bool TCustomStrColGrid::SelectCell(int col, int row) {
  bool result = true;
  if (OnSelectCell) {
    const TSelectCellEvent handler = OnSelectCell;
    handler(this, col, row, result);
  }
  // A move the check refuses does not happen: the cell events and settings
  // below belong to moves that do.
  if (!result) return false;

  const TGridOptions previousOptions = FOptionsInForce;
  TSCGCellParam* newParam = GetCellParamPointer(col, row, false);
  if (EditorExists()) {
    ApplyEditorFont(EditorFontFor(newParam));
    ApplyEditorImeMode(EditorImeModeFor(newParam));
  }
  SetOptionsInForce(newParam && newParam->OptionsEnabled() ? newParam->Options() : FOptions);
  if (col == FPrevCol && row == FPrevRow) return result;

  const int oldCol = FPrevCol;
  const int oldRow = FPrevRow;
  const bool colChanges = col != oldCol;
  const bool rowChanges = row != oldRow;
  // Handlers may change the cell parameters: each is looked up afresh and
  // called through a copy.
  const auto callParam = [this](int c, int r, auto member, auto... args) {
    TSCGCellParam* param = GetCellParamPointer(c, r, false);
    if (!param || !(param->*member)) return;
    const auto handler = param->*member;
    handler(param, this, args...);
  };
  try {
    callParam(oldCol, oldRow, &TSCGCellParam::OnExitCell, oldCol, oldRow, col, row);
    if (colChanges) callParam(oldCol, oldRow, &TSCGCellParam::OnExitCol, oldCol, col);
    if (rowChanges) callParam(oldCol, oldRow, &TSCGCellParam::OnExitRow, oldRow, row);
    callParam(col, row, &TSCGCellParam::OnEnterCell, oldCol, oldRow, col, row);
    if (colChanges) callParam(col, row, &TSCGCellParam::OnEnterCol, oldCol, col);
    if (rowChanges) callParam(col, row, &TSCGCellParam::OnEnterRow, oldRow, row);
    if (OnCellChanged) {
      const TSCGCellChangedEvent handler = OnCellChanged;
      handler(this, oldCol, oldRow, col, row);
    }
    if (colChanges && OnColChanged) {
      const TSCGColChangedEvent handler = OnColChanged;
      handler(this, oldCol, col);
    }
    if (rowChanges && OnRowChanged) {
      const TSCGRowChangedEvent handler = OnRowChanged;
      handler(this, oldRow, row);
    }
  } catch (...) {
    // The move is refused: the current cell keeps its settings.
    SetOptionsInForce(previousOptions);
    if (EditorExists()) {
      const TSCGCellParam* current = GetCellParamPointer(FCurCol, FCurRow, false);
      ApplyEditorFont(EditorFontFor(current));
      ApplyEditorImeMode(EditorImeModeFor(current));
    }
    return false;
  }
  FPrevCol = col;
  FPrevRow = row;
  return result;
}

// ---- drawing ----

TGridDrawState TCustomStrColGrid::CellDrawState(int col, int row) const {
  TGridDrawState state;
  if (IsFixedCell(col, row)) return state | gdFixed;
  if (GridHasFocus() && col == FCurCol && row == FCurRow) state |= gdFocused;
  if (Selection().Contains(col, row)) state |= gdSelected;
  return state;
}

void TCustomStrColGrid::Paint() {
  if (BeforeDraw) {
    const TNotifyEvent handler = BeforeDraw;
    handler(this);
  }
  const int vline = VertLineWidth();
  const int hline = HorzLineWidth();
  const std::vector<int> cols = ShownCols();
  const std::vector<int> rows = ShownRows();
  const int right = cols.empty() ? 0 : ColumnLeft(cols.back()) + FColWidths[static_cast<size_t>(cols.back())] + vline;
  const int bottom = rows.empty() ? 0 : RowTop(rows.back()) + FRowHeights[static_cast<size_t>(rows.back())] + hline;
  for (const int r : rows) {
    for (const int c : cols) {
      const TRect rect = CellRect(c, r);
      DrawCell(c, r, rect, CellDrawState(c, r));
      DrawGridLines(c, r, rect);
    }
  }
  // The part of the window that no cell reaches.
  const TGridBrush brush = FCanvas.Brush;
  FCanvas.Brush.SetStyle(Qt::SolidPattern);
  FCanvas.Brush.SetColor(FColor);
  FCanvas.FillRect({right, 0, FClientWidth, FClientHeight});
  FCanvas.FillRect({0, bottom, right, FClientHeight});
  FCanvas.Brush = brush;
}

void TCustomStrColGrid::DrawGridLines(int col, int row, const TRect& rect) {
  const int vline = VertLineWidth();
  const int hline = HorzLineWidth();
  if (vline == 0 && hline == 0) return;
  const bool fixed = IsFixedCell(col, row);
  const TGridBrush brush = FCanvas.Brush;
  FCanvas.Brush.SetStyle(Qt::SolidPattern);
  if (vline > 0) {
    const bool drawn = (FOptionsInForce & (fixed ? goFixedVertLine : goVertLine)) != 0;
    FCanvas.Brush.SetColor(drawn ? (fixed ? QColor(0, 0, 0) : SilverColor()) : (fixed ? FFixedColor : FColor));
    FCanvas.FillRect({rect.Right, rect.Top, rect.Right + vline, rect.Bottom + hline});
  }
  if (hline > 0) {
    const bool drawn = (FOptionsInForce & (fixed ? goFixedHorzLine : goHorzLine)) != 0;
    FCanvas.Brush.SetColor(drawn ? (fixed ? QColor(0, 0, 0) : SilverColor()) : (fixed ? FFixedColor : FColor));
    FCanvas.FillRect({rect.Left, rect.Bottom, rect.Right, rect.Bottom + hline});
  }
  FCanvas.Brush = brush;
}

void TCustomStrColGrid::SaveCanvasState() {
  FSavedBrush = FCanvas.Brush;
  FSavedPen = FCanvas.Pen;
  FSavedFont = FCanvas.Font;
}

void TCustomStrColGrid::RestoreCanvasState() {
  FCanvas.Brush = FSavedBrush;
  FCanvas.Pen = FSavedPen;
  FCanvas.Font = FSavedFont;
}

void TCustomStrColGrid::FillCell(int col, int row, TGridDrawState state) {
  FillCellWithParams(col, row, state, GetCellParamPointer(col, row, false), true);
}

bool TCustomStrColGrid::SetCanvasStateForFocusMode(TSCGCellParam* param, TGridDrawState state) {
  const TGridOptions options = param && param->OptionsEnabled() ? param->Options() : FOptionsInForce;
  const bool painted = (GridHasFocus() || FFocusDraw) && (state & gdSelected) &&
                       ((options & goDrawFocusSelected) || !(state & gdFocused) || (options & goRowSelect));
  if (!painted) return false;
  FCanvas.Brush.SetColor(FFocusCellColor);
  if (FFocusCellFontColorEnabled)
    FCanvas.Font.Color = FFocusCellFontColor;
  else if (param && param->FontColorEnabled())
    FCanvas.Font.Color = param->FontColor();
  return true;
}

void TCustomStrColGrid::FillCellWithParams(int col, int row, TGridDrawState state, TSCGCellParam* param,
                                           bool focusMode) {
  const TRect rect = CellRect(col, row);
  const TSCGCellFont* named = param && !param->FontName().isEmpty() ? FFonts.Find(param->FontName()) : nullptr;
  FCanvas.Font = named ? named->Font() : FFont;
  const bool fixed = IsFixedCell(col, row);
  if (fixed) focusMode = false;
  if (!param && fixed) {
    FCanvas.Brush.SetStyle(Qt::SolidPattern);
    FCanvas.Brush.SetColor(FFixedColor);
    FCanvas.FillRect(rect);
  } else {
    if (focusMode) {
      SetCanvasStateForFocusMode(param, state);
      FCanvas.FillRect(rect);
    } else if (!param) {
      FCanvas.Brush.SetStyle(Qt::SolidPattern);
      FCanvas.Brush.SetColor(FColor);
      FCanvas.FillRect(rect);
      FCanvas.Font.Color = FFont.Color;
    } else {
      FCanvas.Brush.SetStyle(Qt::SolidPattern);
      FCanvas.Brush.SetColor(param->CellColorEnabled() ? param->CellColor() : (fixed ? FFixedColor : FColor));
      FCanvas.FillRect(rect);
      if (param->FontColorEnabled()) FCanvas.Font.Color = param->FontColor();
    }
    if (param && param->BrushEnabled()) {
      FCanvas.Brush = param->Brush();
      FCanvas.Pen.Style = Qt::NoPen;
      FCanvas.Rectangle(rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1);
    }
  }
  FCanvas.Brush.SetStyle(Qt::NoBrush);
  FCanvas.Pen.Style = Qt::SolidLine;
  FCanvas.Pen.Width = 1;
  FCanvas.Pen.Color = FCanvas.Brush.Color();
}

void TCustomStrColGrid::DrawFixedFrame(const TRect& rect) {
  if (!FCtl3D) return;
  FCanvas.Pen.Style = Qt::SolidLine;
  FCanvas.Pen.Width = 1;
  FCanvas.Pen.Color = SystemColor(TSystemColor::BtnHighlight);
  FCanvas.MoveTo(rect.Right - 1, rect.Top);
  FCanvas.LineTo(rect.Left, rect.Top);
  FCanvas.LineTo(rect.Left, rect.Bottom - 1);
  FCanvas.Pen.Color = GreyColor();
  FCanvas.LineTo(rect.Right - 1, rect.Bottom - 1);
  FCanvas.LineTo(rect.Right - 1, rect.Top);
}

void TCustomStrColGrid::DrawFocusFrame(const TRect& rect, bool leftSide, bool rightSide) {
  FCanvas.Pen.Style = Qt::SolidLine;
  FCanvas.Brush.SetStyle(Qt::SolidPattern);
  for (const QPoint& point : FocusFramePoints(rect, leftSide, rightSide))
    FCanvas.SetPixel(point.x(), point.y(), ContrastColor(FCanvas.Pixel(point.x(), point.y())));
}

void TCustomStrColGrid::DrawCellDefault(int col, int row, const TRect& rect, TGridDrawState state) {
  FCanvas.Font = FFont;
  FCanvas.Brush.SetStyle(Qt::SolidPattern);
  if (state & gdFixed) {
    FCanvas.Brush.SetColor(FFixedColor);
  } else if ((state & gdSelected) &&
             (!(state & gdFocused) || (FOptionsInForce & (goDrawFocusSelected | goRowSelect)))) {
    FCanvas.Brush.SetColor(SystemColor(TSystemColor::Highlight));
    FCanvas.Font.Color = SystemColor(TSystemColor::HighlightText);
  } else {
    FCanvas.Brush.SetColor(FColor);
  }
  FCanvas.FillRect(rect);
  FCanvas.TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
  if (OnDrawCell) {
    const TDrawCellEvent handler = OnDrawCell;
    handler(this, col, row, rect, state);
  }
  if (state & gdFixed) DrawFixedFrame(rect);
  if (state & gdFocused) DrawFocusFrame(rect, true, true);
}

void TCustomStrColGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (FDefaultDrawing) {
    DrawCellDefault(col, row, rect, state);
    return;
  }
  // 1. The cell's parameter and options. Handlers may change the cell
  // parameters; the parameter is then looked up again.
  TSCGCellParam* param = GetCellParamPointer(col, row, false);
  uint64_t generation = FCellParams.Generation();
  const auto refresh = [&] {
    if (FCellParams.Generation() == generation) return;
    param = GetCellParamPointer(col, row, false);
    generation = FCellParams.Generation();
  };
  const TGridOptions options = param && param->OptionsEnabled() ? param->Options() : FOptionsInForce;
  const bool fixed = IsFixedCell(col, row);

  // 2.-4. Background, focus colours, saved canvas.
  FillCellWithParams(col, row, state, param, false);
  const bool focusColours = SetCanvasStateForFocusMode(param, state);
  SaveCanvasState();

  // 5. Text and placement.
  int repeat = 1;
  TAlignment alignment = fixed ? FFixedAlignment : FAlignment;
  TTextLayout layout = fixed ? FFixedLayout : FLayout;
  QString text = Cells(col, row);
  bool canvasReset = true;
  bool handled = false;
  if (!param) {
    if (OnOutCellText) {
      const TSCGOutCellTextEvent handler = OnOutCellText;
      // The grid has no caption text of its own.
      handler(this, this, rect, col, row, QString(), text, canvasReset);
      handled = true;
    }
  } else {
    repeat = param->FontWidth();
    alignment = param->Alignment();
    layout = param->Layout();
    text = ComposeCellText(param->CaptionType(), param->Caption(), text);
    if (param->OnOutCellText) {
      const TSCGOutCellTextEvent handler = param->OnOutCellText;
      const QString caption = param->Caption();
      handler(param, this, rect, col, row, caption, text, canvasReset);
      handled = true;
      refresh();
    }
  }
  if (handled) {
    if (canvasReset)
      RestoreCanvasState();
    else
      SaveCanvasState();
  }

  // 6. The focus colour over the whole cell.
  if (focusColours) FCanvas.FillRect(rect);

  if (!FCellDivide) {
    // 7. One word-wrapped text from the top-left.
    FCanvas.DrawTextWrapped(rect.Inflated(-2, -2), text);
  } else {
    // 8. Line by line.
    QStringList lines = SplitCellLines(text);
    if (lines.isEmpty()) lines.append(QString());
    const int count = static_cast<int>(lines.size());
    const int lineHeight = rect.Height() / count;
    for (int i = 0; i < count; ++i) {
      const TRect line{rect.Left, rect.Top + i * lineHeight, rect.Right,
                       i == count - 1 ? rect.Bottom : rect.Top + (i + 1) * lineHeight};
      QString lineText = lines.at(i);
      TAlignment lineAlignment = alignment;
      TTextLayout lineLayout = layout;
      bool innerLine = (options & goHorzLine) != 0;
      if (OnDrawTextOneLine) {
        RestoreCanvasState();
        const TSCGDrawTextOneLineEvent handler = OnDrawTextOneLine;
        handler(this, this, line, col, row, i, state, lineText, lineAlignment, lineLayout, innerLine);
        refresh();
      }
      if (param && param->OnDrawTextOneLine) {
        RestoreCanvasState();
        const TSCGDrawTextOneLineEvent handler = param->OnDrawTextOneLine;
        handler(param, this, line, col, row, i, state, lineText, lineAlignment, lineLayout, innerLine);
        refresh();
      }
      const QPoint origin = TextOrigin(lineAlignment, lineLayout, rect, line, FCanvas.TextWidth(lineText),
                                       FCanvas.TextHeight(lineText));
      const Qt::BrushStyle brushStyle = FCanvas.Brush.Style();
      FCanvas.Brush.SetStyle(Qt::NoBrush);
      for (int k = 0; k < repeat; ++k) FCanvas.TextRect(line, origin.x() + k, origin.y(), lineText);
      FCanvas.Brush.SetStyle(brushStyle);
      if (innerLine) {
        FCanvas.Pen.Style = Qt::SolidLine;
        FCanvas.Pen.Width = 1;
        if (i > 0) {
          FCanvas.Pen.Color = fixed && FCtl3D ? SystemColor(TSystemColor::BtnHighlight) : SilverColor();
          FCanvas.MoveTo(line.Left, line.Top);
          FCanvas.LineTo(line.Right, line.Top);
        }
        if (fixed && i < count - 1) {
          FCanvas.Pen.Color = SystemColor(TSystemColor::BtnShadow);
          FCanvas.MoveTo(line.Left, line.Bottom - 1);
          FCanvas.LineTo(line.Right, line.Bottom - 1);
        }
      }
    }
  }

  // 9. The drawing events.
  if (OnDrawCell) {
    const TDrawCellEvent handler = OnDrawCell;
    handler(this, col, row, rect, state);
    refresh();
  }
  if (param && param->OnDrawCell) {
    const TSCGDrawCellEvent handler = param->OnDrawCell;
    handler(param, this, col, row, rect, state);
    refresh();
  }

  // 10. The focus frame.
  if (GridHasFocus() && !fixed) {
    if (!(options & goRowSelect)) {
      if (state & gdFocused) DrawFocusFrame(rect, true, true);
    } else if (row == FCurRow) {
      int first = FFixedCols;
      int last = FColCount - 1;
      if (param && param->OptionsEnabled()) {
        first = param->Col();
        last = param->ColMax();
      }
      DrawFocusFrame(rect, col == first, col == last);
    }
  }

  // 11. The fixed frame.
  if (fixed) DrawFixedFrame(rect);
}
