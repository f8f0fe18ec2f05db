#include "StrCGridParams.h"

#include "StrCGridBase.h"

namespace {

QString ListIndexError(int index) { return QString::asprintf("List index out of bounds (%d)", index); }

}  // namespace

// ---- TSCGCellParam ----

TSCGCellParam::TSCGCellParam(TSCGCellParams& collection)
    : FCollection(&collection),
      FCellColor(SystemColor(TSystemColor::Window)),
      FFontColor(SystemColor(TSystemColor::WindowText)),
      FOptions(collection.GetOwner().Options()) {}

TCustomStrColGrid& TSCGCellParam::Grid() const { return FCollection->GetOwner(); }

void TSCGCellParam::CheckRange(bool rangeEnabled) const {
  if (rangeEnabled && !Grid().Loading() && !(FCol <= FColMax && FRow <= FRowMax))
    throw EGridRangeError(QString::fromUtf8(kvl::grid::kBadRange));
}

void TSCGCellParam::SetCol(int value) {
  if (value < 0) throw EGridRangeError(GetDisplayName() + QStringLiteral(".Col の値が 0 を下まわりました"));
  const int old = FCol;
  FCol = value;
  try {
    CheckRange(FRangeEnabled);
  } catch (...) {
    FCol = old;
    throw;
  }
}

void TSCGCellParam::SetRow(int value) {
  if (value < 0) throw EGridRangeError(GetDisplayName() + QStringLiteral(".Row の値が 0 を下まわりました"));
  const int old = FRow;
  FRow = value;
  try {
    CheckRange(FRangeEnabled);
  } catch (...) {
    FRow = old;
    throw;
  }
}

void TSCGCellParam::SetColMax(int value) {
  const int old = FColMax;
  FColMax = value;
  try {
    CheckRange(FRangeEnabled);
  } catch (...) {
    FColMax = old;
    throw;
  }
}

void TSCGCellParam::SetRowMax(int value) {
  const int old = FRowMax;
  FRowMax = value;
  try {
    CheckRange(FRangeEnabled);
  } catch (...) {
    FRowMax = old;
    throw;
  }
}

void TSCGCellParam::SetRangeEnabled(bool value) {
  if (value) CheckRange(true);
  FRangeEnabled = value;
}

void TSCGCellParam::SetFontWidth(int value) {
  if (value < 0) throw EGridRangeError(GetDisplayName() + QStringLiteral(".FontWidth の値が範囲を超えました"));
  FFontWidth = value;
}

void TSCGCellParam::SetFontName(const QString& value) {
  if (!value.isEmpty() && !Grid().Loading()) Grid().Fonts().IndexOfName(value);
  FFontName = value;
}

bool TSCGCellParam::Covers(int col, int row) const {
  if (!FRangeEnabled) return col == FCol && row == FRow;
  return FCol <= col && col <= FColMax && FRow <= row && row <= FRowMax;
}

QString TSCGCellParam::GetDisplayName() const {
  return QString::asprintf("%s (%3d,%3d)-(%3d,%3d)", FName.toUtf8().constData(), FCol, FRow, FColMax, FRowMax);
}

void TSCGCellParam::Assign(const TSCGCellParam& source) {
  if (&source == this) return;
  FAlignment = source.FAlignment;
  FCaption = source.FCaption;
  FCaptionType = source.FCaptionType;
  FCellColor = source.FCellColor;
  FCellColorEnabled = source.FCellColorEnabled;
  FCol = source.FCol;
  FColMax = source.FColMax;
  FBrush = source.FBrush;
  FBrushEnabled = source.FBrushEnabled;
  FFontName = source.FFontName;
  FFontColor = source.FFontColor;
  FFontColorEnabled = source.FFontColorEnabled;
  FFontWidth = source.FFontWidth;
  FImeMode = source.FImeMode;
  FImeModeEnabled = source.FImeModeEnabled;
  FLayout = source.FLayout;
  FName = source.FName;
  FOptions = source.FOptions;
  FOptionsEnabled = source.FOptionsEnabled;
  FRangeEnabled = source.FRangeEnabled;
  FRow = source.FRow;
  FRowMax = source.FRowMax;
  FTag = source.FTag;
  OnEnterCell = source.OnEnterCell;
  OnExitCell = source.OnExitCell;
  OnEnterCol = source.OnEnterCol;
  OnExitCol = source.OnExitCol;
  OnEnterRow = source.OnEnterRow;
  OnExitRow = source.OnExitRow;
  OnOutCellText = source.OnOutCellText;
  OnDrawTextOneLine = source.OnDrawTextOneLine;
  OnDrawCell = source.OnDrawCell;
}

// ---- TSCGCellParams ----

TSCGCellParam* TSCGCellParams::Add() {
  FItems.push_back(std::make_unique<TSCGCellParam>(*this));
  ++FGeneration;
  TSCGCellParam* item = FItems.back().get();
  item->FName = QStringLiteral("パラメータ") + QString::number(Count());
  return item;
}

TSCGCellParam* TSCGCellParams::Items(int i) const {
  if (i < 0 || i >= Count()) throw EGridRangeError(ListIndexError(i));
  return FItems[static_cast<size_t>(i)].get();
}

void TSCGCellParams::SetItems(int i, const TSCGCellParam& source) { Items(i)->Assign(source); }

void TSCGCellParams::Delete(int i) {
  if (i < 0 || i >= Count()) throw EGridRangeError(ListIndexError(i));
  FItems.erase(FItems.begin() + i);
  ++FGeneration;
}

void TSCGCellParams::Clear() {
  FItems.clear();
  ++FGeneration;
}

TSCGCellParam* TSCGCellParams::ItemByName(const QString& name) const {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if ((*it)->Name() == name) return it->get();
  throw EGridRangeError(name + QStringLiteral(" はセルパラメータの中にありません"));
}

TSCGCellParam* TSCGCellParams::ItemByPos(int col, int row) const {
  if (TSCGCellParam* item = Find(col, row)) return item;
  throw EGridRangeError(QString::asprintf("列 %d, 行%d にはセルパラメータがありません", col, row));
}

TSCGCellParam* TSCGCellParams::Find(int col, int row) const {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if ((*it)->Covers(col, row)) return it->get();
  return nullptr;
}

void TSCGCellParams::Assign(const TSCGCellParams& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.FItems) Add()->Assign(*item);
}

// ---- TSCGCellFont ----

TSCGCellFont::TSCGCellFont(TSCGCellFonts& collection)
    : FCollection(&collection), FFont(collection.GetOwner().Font()) {}

TSCGCellFont::~TSCGCellFont() {
  TSCGCellParams& params = FCollection->GetOwner().CellParams();
  for (int i = 0; i < params.Count(); ++i) {
    TSCGCellParam* param = params.Items(i);
    if (param->FFontName == FName) param->FFontName.clear();
  }
}

void TSCGCellFont::SetName(const QString& value) {
  if (value.isEmpty()) throw EGridError(QString::fromUtf8(kvl::grid::kFontNameEmpty));
  TCustomStrColGrid& grid = FCollection->GetOwner();
  if (grid.Loading()) {
    FName = value;
    return;
  }
  for (int i = 0; i < FCollection->Count(); ++i)
    if (FCollection->Items(i)->Name() == value) throw EGridError(QString::fromUtf8(kvl::grid::kFontNameUsed));
  const QString old = FName;
  FName = value;
  TSCGCellParams& params = grid.CellParams();
  for (int i = 0; i < params.Count(); ++i) {
    TSCGCellParam* param = params.Items(i);
    if (param->FFontName == old) param->FFontName = value;
  }
}

QString TSCGCellFont::GetDisplayName() const {
  return QString::asprintf("%s( %s, %d )", FName.toUtf8().constData(), FFont.Font.family().toUtf8().constData(),
                           FFont.Font.pointSize());
}

void TSCGCellFont::Assign(const TSCGCellFont& source) {
  if (&source == this) return;
  FFont = source.FFont;
  FName = source.FName;
}

// ---- TSCGCellFonts ----

TSCGCellFonts::~TSCGCellFonts() { Clear(); }

TSCGCellFont* TSCGCellFonts::Add() {
  FItems.push_back(std::make_unique<TSCGCellFont>(*this));
  TSCGCellFont* item = FItems.back().get();
  item->FName = QStringLiteral("フォント") + QString::number(Count());
  return item;
}

TSCGCellFont* TSCGCellFonts::Items(int i) const {
  if (i < 0 || i >= Count()) throw EGridRangeError(ListIndexError(i));
  return FItems[static_cast<size_t>(i)].get();
}

void TSCGCellFonts::SetItems(int i, const TSCGCellFont& source) { Items(i)->Assign(source); }

void TSCGCellFonts::Delete(int i) {
  if (i < 0 || i >= Count()) throw EGridRangeError(ListIndexError(i));
  FItems.erase(FItems.begin() + i);
}

void TSCGCellFonts::Clear() {
  // One by one from the end, so that each font clears its references while
  // the others are still there.
  while (!FItems.empty()) FItems.pop_back();
}

int TSCGCellFonts::IndexOfName(const QString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<size_t>(i)]->Name() == name) return i;
  throw EGridError(QString::fromUtf8(kvl::grid::kFontNotRegistered));
}

const TSCGCellFont* TSCGCellFonts::Find(const QString& name) const {
  for (const auto& item : FItems)
    if (item->Name() == name) return item.get();
  return nullptr;
}

void TSCGCellFonts::Assign(const TSCGCellFonts& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.FItems) Add()->Assign(*item);
}
