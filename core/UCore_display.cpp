// How the group tree, the grid rows and the grid cells are shown for the
// current controller variant, data revision and values. Nothing here changes
// the data image.
#include <algorithm>

#include "UCore.h"

namespace {

// Display rule codes.
constexpr int kShown = 0;
constexpr int kHidden = 1;   // name and value "----"
constexpr int kBlank = 2;    // value "----"
constexpr int kNoName = 3;   // name emptied

// Tree visibility codes.
constexpr int kAvailable = 0;
constexpr int kUnavailable = 1;
constexpr int kAbsent = 2;

// Cell states.
constexpr int kByText = 0;
constexpr int kFixed = 1;
constexpr int kEditable = 2;

// The values the rules read. A parameter or cell that does not exist reads
// as 0 (a parameter) or empty (a cell), so no rule ever follows a null.
struct View {
  TCore& core;
  uint16_t h1, h2, l1, l2;
  int rev;
  bool twoLoop;

  explicit View(TCore& c)
      : core(c),
        h1(c.Model.HardwareType1),
        h2(c.Model.HardwareType2),
        l1(c.Model.Loop1OutputWord),
        l2(c.Model.Loop2OutputWord),
        rev(c.DataRevision),
        twoLoop((c.Model.HardwareType1 & 0x800) != 0) {}

  int Param(int bank, int item, int sub = 1) const {
    const ParamDescriptor* d = core.GetParam(bank, item, sub, 0);
    return d ? d->Value : 0;
  }
  int C(int n) const { return Param(8, n); }  // setup data Cn
  // The setup parameter at a controller address of the one-column banks.
  int At(int address) const {
    if (address >= 1001 && address <= 1050) return Param(10, address - 1000);
    if (address >= 2501 && address <= 2533) return Param(3, address - 2500);
    if (address >= 3001 && address <= 3022) return Param(4, address - 3000);
    if (address >= 3501 && address <= 3536) return Param(5, address - 3500);
    if (address >= 4501 && address <= 4600) return Param(8, address - 4500);
    return 0;
  }
  int Cell(int pattern, int item, int segment) const {
    const PatternSlot* s = core.GetPatternValue(pattern, item, segment);
    return s ? s->Value : kEmptyValue;
  }
  // Number of time events that the program does not set (3513). The word may
  // hold anything after a file load or a controller read; there are five
  // time events, so it is taken within 0..5.
  int TimeEventType() const { return std::clamp(At(3513), 0, 5); }

  // 2 when the segment's SP1 is empty, else 0.
  int SpRule(int pattern, int segment) const { return Cell(pattern, 1, segment) == kEmptyValue ? kBlank : kShown; }
  // 2 when the value itself is empty, else the SP rule.
  int VRule(int v, int pattern, int segment) const { return v == kEmptyValue ? kBlank : SpRule(pattern, segment); }
  // An OFF time applies only while its ON time (the item before) is a time
  // within 0..5998.
  int OffTimeTail(int pattern, int item, int segment) const {
    const int on = Cell(pattern, item - 1, segment);
    return (on == kEmptyValue || on < 0 || on >= 5999) ? kBlank : kShown;
  }
  // Loop-1 rule A and loop-2 rule B of the constant-value PID rows.
  int LoopRule(uint16_t loop, int outputType) const {
    if (loop & 0x80) {
      if (!(loop & 0x11)) return kShown;
      if (C(45) != 1) return kShown;
      return kBlank;
    }
    if (!(loop & 0x444)) return kShown;
    if (outputType != 1) return kShown;
    return kBlank;
  }
  // The cool-side rows of a heat-cool loop (3-position control excepted).
  int CoolRule(uint16_t loop) const {
    if (!(loop & 0x80)) return kBlank;
    if (!(loop & 0x11)) return kShown;
    if (C(45) != 1) return kShown;
    return kBlank;
  }

  int Rule(const ParamDescriptor& d, int pattern, int segment) const;
};

int View::Rule(const ParamDescriptor& d, int pattern, int segment) const {
  const int v = d.Value;
  const int item = d.Item;
  const int sub = d.Sub;
  switch (d.DisplayConditionKind) {
    case 0:  // SP1
      return v == kEmptyValue ? kBlank : kShown;
    case 1:  // TIME
      return SpRule(pattern, segment);
    case 2:  // SP2
      if (!twoLoop) return kHidden;
      return SpRule(pattern, segment);
    case 3:  // event ON times, items 4, 6, 8: event types 3501, 3505, 3509
      if (At(3501 + (item - 4) * 2) > 50) return kHidden;
      return VRule(v, pattern, segment);
    case 4:  // event OFF times, items 5, 7, 9
      if (At(3501 + (item - 5) * 2) != 50) return kHidden;
      if (VRule(v, pattern, segment) == kBlank) return kBlank;
      return OffTimeTail(pattern, item, segment);
    case 5: {  // time event ON times, items 10..18: types 3517, 3521, ...
      const int n = (item - 10) / 2;
      if (!(h2 & 0x20)) return kHidden;
      if (n < TimeEventType()) return kHidden;
      if (rev == 1 && At(3517 + 4 * n) > 50) return kHidden;
      return VRule(v, pattern, segment);
    }
    case 6: {  // time event OFF times, items 11..19
      const int n = (item - 10) / 2;
      if (!(h2 & 0x20)) return kHidden;
      if (n < TimeEventType()) return kHidden;
      if (rev == 1 && At(3517 + 4 * n) != 50) return kHidden;
      if (VRule(v, pattern, segment) == kBlank) return kBlank;
      return OffTimeTail(pattern, item, segment);
    }
    case 7:  // PID set number CH1
      if (C(11) == 1) return kHidden;
      if (l1 & 0xA000) return kHidden;
      return SpRule(pattern, segment);
    case 8:  // PID set number CH2
      if (!twoLoop) return kHidden;
      if (C(34) == 1) return kHidden;
      if (l2 & 0xA000) return kHidden;
      return SpRule(pattern, segment);
    case 9:  // G.Soak CH1
      return VRule(v, pattern, segment);
    case 10:  // G.Soak CH2
      if (rev == 0 && !twoLoop) return kHidden;
      return VRule(v, pattern, segment);
    case 11:  // per-pattern items: one value, shown under segment 1
    case 12:
    case 13:
      if (segment != 1) return kBlank;
      return SpRule(pattern, 1);
    case 14: return kShown;
    case 15:
    case 43: return (l1 & 0x80) ? kBlank : kShown;
    case 16: return C(11) != 0 ? kShown : kBlank;
    case 17:
      if (C(11) != 0) return (l1 & 0x80) ? kBlank : kShown;
      return kBlank;
    case 18:
      if (h1 & 0x88) return kShown;
      if (!twoLoop) return (h1 & 0x03) ? kShown : kBlank;
      return kBlank;
    case 19: return (h1 & 0x03) ? kShown : kBlank;
    case 20: return (h1 & 0x30) ? kShown : kBlank;
    case 21:
    case 71: return (h1 & 0x200) ? kShown : kBlank;
    case 22: return (h1 & 0x91) == 0x91 ? kShown : kBlank;
    case 23: return (h1 & 0x08) ? kShown : kBlank;
    case 24:
      if (!(h1 & 0x08)) return kBlank;
      if (At(2529) != 2) return kShown;
      return kBlank;
    case 25: return (h2 & 0x02) ? kShown : kBlank;
    case 26: return (h2 & 0x04) ? kShown : kBlank;
    case 27:
      if (l2 & 0x80) return kBlank;
      if (!(h2 & 0x04)) return kShown;
      return kBlank;
    case 28: return (l2 & 0x80) ? kBlank : kShown;
    case 29: return !(h2 & 0x01) ? kShown : kBlank;
    case 30: return C(34) != 0 ? kShown : kBlank;
    case 31:
      if (C(34) == 0) return kBlank;
      if (l2 & 0x80) return kBlank;
      return kShown;
    case 32:  // event standby and hysteresis: the event's type
      return Param(5, ((item - 2) / 4) * 4 + 1) < 50 ? kShown : kBlank;
    case 33: return (h2 & 0x20) ? kShown : kBlank;
    case 34: return Param(6, 1, sub) != 0 ? kShown : kBlank;
    case 35:
      if (Param(6, 1, sub) == 0) return kBlank;
      if (!(l1 & 0x08)) return kShown;
      if (At(2529) != 2) return kShown;
      return kBlank;
    case 36:
      if (Param(6, 1, sub) == 0) return kBlank;
      if (Param(6, 2, sub) == 0) return kShown;
      return kBlank;
    case 37:
      if (Param(6, 1, sub) == 0) return kBlank;
      if (l1 & 0x80) return kBlank;
      if (At(2510) != 0) return kShown;
      return kBlank;
    case 38:
      if (l1 & 0x80) return kHidden;
      if (At(2511) == 0) return kHidden;
      if (Param(6, 1, sub) != 0) return kShown;
      return kBlank;
    case 39:
      if (!(l2 & 0x08)) return kShown;
      if (At(2529) != 2) return kShown;
      return kBlank;
    case 40: return Param(7, 2, sub) == 0 ? kShown : kBlank;
    case 41:
      if (l2 & 0x80) return kBlank;
      if (At(3012) != 0) return kShown;
      return kBlank;
    case 42:
      if (l2 & 0x80) return kHidden;
      if (At(3013) == 0) return kHidden;
      return kShown;
    case 44:
      if (h2 & 0x06) return kShown;
      if (C(3) < 64 || C(3) > 73) return kShown;
      return kBlank;
    case 45: return (C(3) >= 64 && C(3) <= 73) ? kShown : kBlank;
    case 46: return C(12) != 0 ? kShown : kBlank;
    case 47: return C(14) != 0 ? kShown : kBlank;
    case 48: return (l1 & 0x80) ? kShown : kBlank;
    case 49:
      if (l1 & 0x80) return kBlank;
      if (l1 & 0x444) return kShown;
      return kBlank;
    case 50:
      if (C(18) == 0) return kBlank;
      if (l1 & 0x80) return kBlank;
      if (l1 & 0x444) return kShown;
      return kBlank;
    case 51:
      if (!twoLoop) return kBlank;
      if (l2 & 0x80) return kBlank;
      return kShown;
    case 52:
      if (!twoLoop || (h2 & 0x04)) return kBlank;
      if (!(h2 & 0x01)) return kShown;
      if (C(23) == 192 || C(23) == 193) return kBlank;
      return kShown;
    case 53: return twoLoop ? kShown : kBlank;
    case 54:
      if (!twoLoop) return kBlank;
      if (h2 & 0x04) return kBlank;
      if (C(23) == 192 || C(23) == 193) return kShown;
      return kBlank;
    case 55:
      if (!twoLoop) return kBlank;
      if (!(h2 & 0x02)) return kShown;
      return kBlank;
    case 56:
      if (!twoLoop) return kBlank;
      if (h2 & 0x02) return kShown;
      if (C(35) != 0) return kShown;
      return kBlank;
    case 57:
      if (!twoLoop) return kBlank;
      if (C(37) != 0) return kShown;
      return kBlank;
    case 58:
      if (!twoLoop) return kBlank;
      if (l2 & 0x80) return kShown;
      return kBlank;
    case 59:
      if (!twoLoop) return kBlank;
      if (l2 & 0x80) return kBlank;
      if (l2 & 0x444) return kShown;
      return kBlank;
    case 60:
      if (!twoLoop) return kBlank;
      if (l2 & 0x80) return kBlank;
      if (!(l2 & 0x444)) return kBlank;
      if (C(41) != 0) return kShown;
      return kBlank;
    case 61:
      if (twoLoop) return kBlank;
      if (h1 & 0x4000) return kShown;
      return kBlank;
    case 62: return (h1 & 0x8000) ? kShown : kBlank;
    case 63: return (h2 & 0x10) ? kShown : kBlank;
    case 64:  // cold junction compensation: thermocouple inputs
      if (!twoLoop) {
        if (C(3) < 0) return kBlank;
        if (C(3) < 21) return kShown;
        return kBlank;
      }
      if (C(3) >= 0 && C(3) <= 20) return kShown;
      if (C(23) == 128 || C(23) == 129) return kShown;
      return kBlank;
    case 65: return (h1 & 0x222) ? kShown : kBlank;
    case 66: return (h1 & 0x06) ? kShown : kBlank;
    case 67: return (h1 & 0x60) ? kShown : kBlank;
    case 68: return (h1 & 0x600) ? kShown : kBlank;
    case 69: return (h1 & 0x02) ? kShown : kBlank;
    case 70: return (h1 & 0x20) ? kShown : kBlank;
    case 72: return kBlank;
    case 73:
      if (!(h2 & 0x80)) return kBlank;
      if (C(93) == 0) return kShown;
      return kBlank;
    case 74:  // input 1 zener barrier adjustment
      if (C(90) != 241) return kBlank;
      if (C(3) < 32) return kBlank;
      if (C(3) < 64) return kShown;
      return kBlank;
    case 75:  // input 2 zener barrier adjustment
      if (!twoLoop) return kBlank;
      if (C(90) != 241) return kBlank;
      if (C(23) < 160) return kBlank;
      if (C(23) < 192) return kShown;
      return kBlank;
    case 76: return kShown;
    case 77: return C(8) != 0 ? kShown : kBlank;
    case 78:
      if (twoLoop) return C(28) != 0 ? kShown : kBlank;
      return kNoName;
    case 79:
      if (h2 & 0x04) return C(29) != 0 ? kShown : kBlank;
      return kNoName;
    case 80:  // event setting values: the event's type
      return Param(5, (item - 4) * 4 + 1) < 50 ? kShown : kBlank;
    case 81: return LoopRule(l1, C(18));
    case 82:
      if (At(1011) == 0) return kBlank;
      return LoopRule(l1, C(18));
    case 83:
      if (At(1011) == 0) return kBlank;
      if (l1 & 0x80) {
        if (!(l1 & 0x11)) return kShown;
        if (C(45) != 1) return kShown;
        return kBlank;
      }
      if (l1 & 0x444) return C(18) != 1 ? kShown : kBlank;
      if (!(l1 & 0x08)) return kShown;
      if (At(2529) != 2) return kShown;
      return kBlank;
    case 84:
      if (At(1011) == 0) return kBlank;
      if (At(1012) != 0) return kBlank;
      return LoopRule(l1, C(18));
    case 85:
    case 86:
      if (At(1011) == 0) return kBlank;
      if (l1 & 0x80) return kBlank;
      if (At(d.DisplayConditionKind == 85 ? 2510 : 2511) == 0) return kBlank;
      if (!(l1 & 0x444)) return kShown;
      if (C(18) != 1) return kShown;
      return kBlank;
    case 87: return CoolRule(l1);
    case 88:
      if (At(1022) != 0) return kBlank;
      return CoolRule(l1);
    case 89:
      if (!twoLoop) return kHidden;
      return LoopRule(l2, C(41));
    case 90:
      if (!twoLoop) return kHidden;
      if (l2 & 0x80) {
        if (!(l2 & 0x11)) return kShown;
        if (C(45) != 1) return kShown;
        return kBlank;
      }
      if ((l2 & 0x444) && C(41) == 1) return kBlank;
      if (!(l2 & 0x08)) return kShown;
      if (At(2529) != 2) return kShown;
      return kBlank;
    case 91:
      if (!twoLoop) return kHidden;
      if (At(1032) != 0) return kBlank;
      return LoopRule(l2, C(41));
    case 92:
    case 93:
      if (!twoLoop) return kHidden;
      if (l2 & 0x80) return kBlank;
      if (At(d.DisplayConditionKind == 92 ? 3012 : 3013) == 0) return kBlank;
      if (!(l2 & 0x444)) return kShown;
      if (C(41) != 1) return kShown;
      return kBlank;
    case 94:
      if (!twoLoop) return kHidden;
      return CoolRule(l2);
    case 95:
      if (!twoLoop) return kHidden;
      if (At(1042) != 0) return kBlank;
      return CoolRule(l2);
    case 96: return twoLoop ? kBlank : kHidden;
    case 97: return rev != 0 ? kShown : kBlank;
    case 98: return kShown;
    case 99:  // time event type and ON delay rows
      if (rev == 0) return kHidden;
      if (!(h2 & 0x20)) return kBlank;
      if ((item - 17) / 4 >= TimeEventType()) return kShown;
      return kBlank;
    case 100:  // time event standby and hysteresis rows
      if (rev == 0) return kHidden;
      if (!(h2 & 0x20)) return kBlank;
      if (Param(5, ((item - 6) / 4) * 4 + 5) >= 50) return kBlank;
      if ((item - 17) / 4 >= TimeEventType()) return kShown;
      return kBlank;
    case 101: return rev == 0 ? kHidden : kBlank;
    default: return kShown;
  }
}

}  // namespace

int TCore::GetTreeNode(int node, int* kind, uint32_t* treeLevel, const char** accelerator, const char** name,
                       uint32_t* rowCount, uint32_t* columnCount) {
  if (node < 0 || node >= kTreeNodeCount) return kAvailable;
  const TreeNodeEntry& n = TreeNodes[node];
  if (kind) *kind = n.Kind;
  if (columnCount) *columnCount = n.ColumnCount;
  if (rowCount) *rowCount = n.RowCount;
  if (name) *name = Language == 1 ? n.NameEn : Language == 2 ? n.NameThird : n.NameJa;
  if (accelerator) *accelerator = n.Accelerator;
  if (treeLevel) *treeLevel = n.TreeLevel;

  int code = kAvailable;
  if (n.VisibilityMode == 0)
    code = 0 > AccessLevel ? kUnavailable : kAvailable;
  else if (n.VisibilityMode == 1)
    code = kUnavailable;

  const View view(*this);
  const int mode = view.At(1001);  // operation mode: 1 is constant-value operation
  switch (n.Kind) {
    case 0:
    case 1:
      if (mode == 1) code = kUnavailable;
      break;
    case 4:
      if (!view.twoLoop) code = kAbsent;
      break;
    case 6:
      if (mode == 1 || (view.l1 & 0xA000)) code = kUnavailable;
      break;
    case 7:
      if (!view.twoLoop)
        code = kAbsent;
      else if (mode == 1 || (view.l2 & 0xA000))
        code = kUnavailable;
      break;
    case 9:  // tables in use: input 1 (C08), input 2 (C28), carbon potential (C29)
      if (!view.twoLoop) {
        if (view.C(8) == 0) code = kUnavailable;
      } else if (view.h2 & 4) {
        if (view.C(8) == 0 && view.C(28) == 0 && view.C(29) == 0) code = kUnavailable;
      } else {
        if (view.C(8) == 0 && view.C(28) == 0) code = kUnavailable;
      }
      break;
    default:
      break;
  }
  return code;
}

int TCore::GetDisplayRule(const ParamDescriptor* record, int pattern, int segment) {
  if (ShowAll == 1 || !record) return kShown;
  return View(*this).Rule(*record, pattern, segment);
}

int TCore::GetSegmentCellState(int bank, int pattern, int item, int segment) {
  const ParamDescriptor* d = DescriptorPtr(bank, item, segment);
  if (!d) return kFixed;
  const View view(*this);
  switch (d->DisplayConditionKind) {
    case 0:  // SP1 may be entered up to the first unused segment
      if (segment == 1) return kEditable;
      return view.Cell(pattern, 1, segment - 1) == kEmptyValue ? kByText : kEditable;
    case 3:
    case 5:
    case 9:
    case 10:
      return view.Cell(pattern, 1, segment) == kEmptyValue ? kByText : kEditable;
    case 4:
    case 6: {
      const int on = view.Cell(pattern, d->Item - 1, segment);
      return (on == kEmptyValue || on < 0 || on >= 5999) ? kByText : kEditable;
    }
    case 14:  // the hardware words and ROM identity C96..C99, C00
      return (d->Bank == 8 && d->Item >= 96 && d->Item <= 100) ? kFixed : kByText;
    case 24:  // 2530 is read only
      return (d->Bank == 3 && d->Item == 30) ? kFixed : kByText;
    case 74:
    case 75:
      return kFixed;
    case 98:
      return DataRevision == 0 ? kFixed : kByText;
    default:
      return kByText;
  }
}

int TCore::GetNodeRowCount(int node) {
  int kind = 0;
  uint32_t rows = 0;
  if (node < 0 || node >= kTreeNodeCount) return 0;
  GetTreeNode(node, &kind, nullptr, nullptr, nullptr, &rows, nullptr);
  if (kind != 1) return static_cast<int>(rows) + 1;

  // The program group: its shown items plus the title row.
  const View view(*this);
  int count = (view.h2 & 0x07) ? 27 : (view.rev != 0 ? 25 : 24);
  for (int n = 0; n < 3; ++n) {  // event types 3501, 3505, 3509
    const int type = view.At(3501 + 4 * n);
    if (type > 50)
      count -= 2;  // ON and OFF time hidden
    else if (type < 50)
      count -= 1;  // OFF time hidden
  }
  if (!(view.h2 & 0xB0)) {
    count -= 10;  // no time events
  } else {
    const int tt = view.TimeEventType();
    int k = 0;
    if (view.rev == 1) {
      for (int n = 1; n <= 5; ++n) {
        if (tt >= n) {
          k += 2;
        } else {
          const int type = view.At(3517 + 4 * (n - 1));
          if (type > 50)
            k += 2;
          else if (type < 50)
            k += 1;
        }
      }
    }
    count -= std::max(2 * tt, k);
  }
  if (view.C(11) == 1 || (view.l1 & 0xA000)) count -= 1;
  if (view.twoLoop && (view.C(34) == 1 || (view.l2 & 0xA000))) count -= 1;
  return count;
}
