// Segment and pattern editing of the program: copy, paste, cut, insert and
// clear, with one segment clipboard and one pattern clipboard.
//
// Only working values change. Items 24..26 hold one cell per pattern and go
// with segment 1.

#include "UCore.h"

namespace {

constexpr int kSp1 = 1;
constexpr int kTime = 2;
constexpr int kLastSegmentItem = kSegmentItemCount;                    // 23
constexpr int kLastItem = kSegmentItemCount + kPatternItemCount;       // 26
constexpr int16_t kInsertedTime = 10;

bool ValidPattern(int pattern) { return pattern >= 1 && pattern <= kPatternCount; }
bool ValidSegment(int segment) { return segment >= 1 && segment <= kSegmentCount; }

// The ON-time items of the events (4, 6, 8) and time events (10 .. 18); the
// OFF time follows each.
bool IsOnTimeItem(int item) { return item >= 4 && item <= 18 && item % 2 == 0; }

}  // namespace

int16_t TCore::ProgramItemDefault(int item) {
  const ParamDescriptor* record = GetParam(1, item, 1, 0);
  return record && record->DefaultKind == 1 ? 0 : kEmptyValue;
}

// The arguments are checked up front, so every cell looked up below exists;
// a missing one would still end the operation without touching more.

void TCore::CopySegment(int p, int s) {
  if (!ValidPattern(p) || !ValidSegment(s)) return;
  for (int k = 1; k <= kLastItem; ++k) {
    if (k > kLastSegmentItem && s != 1) {
      SegmentClipboard[k] = ProgramItemDefault(k);
      continue;
    }
    const PatternSlot* cell = GetPatternValue(p, k, s);
    if (!cell) return;
    SegmentClipboard[k] = cell->Value;
  }
}

void TCore::PasteSegment(int p, int s) {
  if (!ValidPattern(p) || !ValidSegment(s)) return;
  for (int k = 1; k <= kLastItem; ++k) {
    if (k > kLastSegmentItem && s != 1) continue;
    PatternSlot* cell = GetPatternValue(p, k, s);
    if (!cell) return;
    cell->Value = SegmentClipboard[k];
  }
}

void TCore::CutSegment(int p, int s) {
  if (!ValidPattern(p) || !ValidSegment(s)) return;
  CopySegment(p, s);
  for (int k = s; k < kSegmentCount; ++k) {
    const PatternSlot* sp1 = GetPatternValue(p, kSp1, k);
    if (!sp1) return;
    if (sp1->Value == kEmptyValue) break;
    for (int i = 1; i <= kLastItem; ++i) {
      if (i <= kLastSegmentItem) {
        PatternSlot* to = GetPatternValue(p, i, k);
        const PatternSlot* from = GetPatternValue(p, i, k + 1);
        if (!to || !from) return;
        to->Value = from->Value;
      } else if (s == 1) {
        PatternSlot* cell = GetPatternValue(p, i, 1);
        if (!cell) return;
        cell->Value = ProgramItemDefault(i);
      }
    }
  }
  for (int i = 1; i <= kLastSegmentItem; ++i) {
    PatternSlot* cell = GetPatternValue(p, i, kSegmentCount);
    if (!cell) return;
    cell->Value = ProgramItemDefault(i);
  }
}

namespace {

// Moves the used segments from s on down by one; segment s keeps its values.
// False when a cell is missing.
bool ShiftDown(TCore& core, int p, int s) {
  for (int k = kSegmentCount; k > s; --k) {
    const PatternSlot* sp1 = core.GetPatternValue(p, kSp1, k - 1);
    if (!sp1) return false;
    if (sp1->Value == kEmptyValue) continue;
    for (int i = 1; i <= kLastSegmentItem; ++i) {
      PatternSlot* to = core.GetPatternValue(p, i, k);
      const PatternSlot* from = core.GetPatternValue(p, i, k - 1);
      if (!to || !from) return false;
      to->Value = from->Value;
    }
  }
  return true;
}

}  // namespace

void TCore::InsertSegment(int p, int s) {
  if (!ValidPattern(p) || !ValidSegment(s)) return;
  if (!ShiftDown(*this, p, s)) return;
  PatternSlot* time = GetPatternValue(p, kTime, s);
  if (!time) return;
  time->Value = kInsertedTime;
  // SP1 and SP2 stay: the new segment starts at the old one's set points.
  const int last = s == 1 ? kLastItem : kLastSegmentItem;
  for (int i = 4; i <= last; ++i) {
    PatternSlot* cell = GetPatternValue(p, i, s);
    if (!cell) return;
    cell->Value = ProgramItemDefault(i);
  }
}

void TCore::InsertCopiedSegment(int p, int s) {
  if (!ValidPattern(p) || !ValidSegment(s)) return;
  if (!ShiftDown(*this, p, s)) return;
  PasteSegment(p, s);
}

void TCore::ClearSegment(int p, int item, int s) {
  if (!ValidPattern(p) || !ValidSegment(s) || item < 1 || item > kLastItem) return;
  if (item <= 3) {
    // A set point or time cleared ends the pattern here.
    for (int k = s; k <= kSegmentCount; ++k) {
      const PatternSlot* sp1 = GetPatternValue(p, kSp1, k);
      if (!sp1 || sp1->Value == kEmptyValue) return;
      for (int i = 1; i <= kLastSegmentItem; ++i) {
        PatternSlot* cell = GetPatternValue(p, i, k);
        if (!cell) return;
        cell->Value = ProgramItemDefault(i);
      }
    }
    return;
  }
  PatternSlot* cell = GetPatternValue(p, item, s);
  if (!cell) return;
  cell->Value = ProgramItemDefault(item);
  if (IsOnTimeItem(item))
    if (PatternSlot* off = GetPatternValue(p, item + 1, s)) off->Value = kEmptyValue;
}

void TCore::CopyPattern(int p) {
  if (!ValidPattern(p)) return;
  for (int s = 1; s <= kSegmentCount; ++s)
    for (int i = 1; i <= kLastSegmentItem; ++i) {
      const PatternSlot* cell = GetPatternValue(p, i, s);
      if (!cell) return;
      PatternClipboard.Segments[i][s] = static_cast<uint16_t>(cell->Value);
    }
  for (int k = 1; k <= kPatternItemCount; ++k) {
    const PatternSlot* cell = GetPatternValue(p, kLastSegmentItem + k, 1);
    if (!cell) return;
    PatternClipboard.Items[k] = static_cast<uint16_t>(cell->Value);
  }
  GetTag(p, PatternClipboard.Tag);
}

void TCore::PastePattern(int p) {
  if (!ValidPattern(p)) return;
  for (int s = 1; s <= kSegmentCount; ++s)
    for (int i = 1; i <= kLastSegmentItem; ++i) {
      PatternSlot* cell = GetPatternValue(p, i, s);
      if (!cell) return;
      cell->Value = static_cast<int16_t>(PatternClipboard.Segments[i][s]);
    }
  for (int k = 1; k <= kPatternItemCount; ++k) {
    PatternSlot* cell = GetPatternValue(p, kLastSegmentItem + k, 1);
    if (!cell) return;
    cell->Value = static_cast<int16_t>(PatternClipboard.Items[k]);
  }
  // SetTag pads the text in place; the clipboard keeps a padded tag.
  SetTag(p, PatternClipboard.Tag);
}
