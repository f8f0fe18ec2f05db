// Range checks: whether a parsed value may be stored into a setup parameter
// or a program cell, chosen by the record's range-check kind. All bounds are
// inclusive stored integers (before the implied decimal point). Bounds taken
// from other values are computed in int, so an empty cell (32767) plus one
// stays 32768 and lets nothing pass.
#include <optional>

#include "UCore.h"
#include "ValueRules.h"

using namespace kvl::values;

namespace {

struct Bounds {
  int low;
  int high;
};

constexpr Bounds kEvery{-32768, 32767};

// The interval of an event setting by its event type.
Bounds EventInterval(int type) {
  if (type == 4 || type == 5 || type == 16 || type == 17) return {0, 9999};  // absolute deviation
  if ((type >= 8 && type <= 11) || type == 20 || type == 21) return {-100, 1100};  // MV1, MFB, MV2
  return {-1999, 9999};
}

// An interval whose one end is another parameter; nothing when that
// parameter does not exist.
std::optional<Bounds> UpTo(int low, std::optional<int> high) {
  if (!high) return std::nullopt;
  return Bounds{low, *high};
}
std::optional<Bounds> From(std::optional<int> low, int high) {
  if (!low) return std::nullopt;
  return Bounds{*low, high};
}
std::optional<Bounds> Between(std::optional<int> low, std::optional<int> high) {
  if (!low || !high) return std::nullopt;
  return Bounds{*low, *high};
}

// The ON time of an OFF-time cell (the item before it in the same pattern and
// segment), or nothing when that cell does not exist.
std::optional<int> OnTimeCell(TCore& core, int pattern, int offItem, int segment) {
  const PatternSlot* on = core.GetPatternValue(pattern, offItem - 1, segment);
  if (!on) return std::nullopt;
  return on->Value;
}

// The bank that holds an MV limit's partner: the PID banks keep their own,
// every other bank uses the constant-value data.
int MvLimitBank(int bank) { return (bank == kPidBank || bank == kPid2Bank) ? bank : kConstantBank; }

std::optional<Bounds> BoundsOf(TCore& core, const ParamDescriptor& d, int pattern, int segment) {
  const uint16_t h1 = core.Model.HardwareType1;
  const uint16_t h2 = core.Model.HardwareType2;
  const int i = d.Item;
  auto setup = [&core](int item) { return ParamValue(core, kSetupBank, item); };

  switch (d.RangeCheckKind) {
    case 0:
      return Between(setup(9), setup(10));
    case 1:
      return Bounds{0, 5999};
    case 2:
      return Between(setup(32), setup(33));
    case 3: {
      const int type = GoverningEventType(core, d);
      if (type == kTimeEventType) return Bounds{0, 5999};
      return EventInterval(type);
    }
    case 4: {
      const std::optional<int> on = OnTimeCell(core, pattern, i, segment);
      if (!on) return std::nullopt;
      if (*on == kEmptyValue) return Bounds{5999, 5999};
      return Bounds{*on + 1, 5999};
    }
    case 5: {
      const int type = TimeEventType(core, i);
      if (core.DataRevision == 0 || type == kTimeEventType) return Bounds{0, 5999};
      return EventInterval(type);
    }
    case 6: {
      const std::optional<int> on = OnTimeCell(core, pattern, i, segment);
      if (!on) return std::nullopt;
      return Bounds{*on + 1, 5999};
    }
    case 7:
      return (core.Model.Loop1OutputWord & 0x80) ? Bounds{0, 4} : Bounds{0, 8};
    case 8:
      return (core.Model.Loop2OutputWord & 0x80) ? Bounds{0, 4} : Bounds{0, 8};
    case 9:
      return Bounds{0, 1000};
    case 10:
      return TwoLoop(core) ? Bounds{0, 2} : Bounds{0, 1};
    case 11:
      return Bounds{0, 9999};
    case 12:
      return Bounds{0, 19};
    case 13:
      return Bounds{0, 4};
    case 14:
      return Bounds{0, 1};
    case 15:
      return Bounds{0, 1200};
    case 16:
      return Bounds{-1000, 1000};
    case 17:
      return Bounds{-1999, 9999};
    case 18:
      return Bounds{0, 100};
    case 19:
      return Bounds{0, 2};
    case 20:
      return Bounds{0, 3};
    case 21:
      return Bounds{1, 600};
    case 22:
      if (h1 & 0x80) return Bounds{-1000, 500};
      if (h1 & 0x08) return Bounds{5, 250};
      return Bounds{0, 1000};
    case 23:
      if (h1 & 0x01) return Bounds{5, 120};
      if (h1 & 0x02) return Bounds{1, 60};
      return kEvery;
    case 24:
      if (h1 & 0x10) return Bounds{5, 120};
      if (h1 & 0x20) return Bounds{1, 60};
      return kEvery;
    case 25:
      return Bounds{1, 60};
    case 26: {  // M.-CL below M.-OP
      const std::optional<int> open = ParamValue(core, kVariableBank, i + 1);
      if (!open) return std::nullopt;
      return Bounds{0, *open - 500};
    }
    case 27: {  // M.-OP above M.-CL
      const std::optional<int> closed = ParamValue(core, kVariableBank, i - 1);
      if (!closed) return std::nullopt;
      return Bounds{*closed + 500, 9999};
    }
    case 28:
      return Bounds{50, 2400};
    case 29:
      return Bounds{670, 1330};
    case 30:
      return Bounds{100, 500};
    case 31:
      return Bounds{0, 199};
    case 32:
      return Bounds{0, 200};
    case 33:
      return Bounds{0, 3600};
    case 34:
      return Bounds{0, 5};
    case 35: {
      const int code = h1 & 0xEFF;
      if (!TwoLoop(core) && (code == 1 || code == 2)) return Bounds{0, 9999};
      return Bounds{1, 9999};
    }
    case 36:  // MV lower limit up to the upper limit of the same PID set
      return UpTo(-100, ParamValue(core, MvLimitBank(d.Bank), i + 1, d.Sub));
    case 37:  // MV upper limit from the lower limit of the same PID set
      return From(ParamValue(core, MvLimitBank(d.Bank), i - 1, d.Sub), 1100);
    case 38:
      return Bounds{0, 30};
    case 39:
      return Bounds{1, 9999};
    case 40:
      return Bounds{1, 3600};
    case 41:
      return Bounds{0, 73};
    case 42:
      return UpTo(-1999, setup(10));
    case 43:
      return From(setup(9), 9999);
    case 44:
      return Bounds{-10, 110};
    case 45:
      return (h2 & 0x04) ? Bounds{224, 230} : Bounds{128, 193};
    case 46:
      return UpTo(0, setup(31));
    case 47:
      return From(setup(30), SetupValue(core, 23) == 224 ? 1500 : 4000);
    case 48:
      return UpTo((h2 & 0x06) ? 0 : -1999, setup(33));
    case 49:
      if (h2 & 0x04) return From(setup(32), SetupValue(core, 23) == 224 ? 1500 : 2000);
      if (h2 & 0x02) return From(setup(32), 1000);
      return From(setup(32), 9999);
    case 50:
      return Bounds{0, 11};
    case 51:
      return Bounds{0, 20};
    case 52:
      return Bounds{1000, 5000};
    case 53:
      return Bounds{2, 22};
    case 54:  // the unused rows
      return UpTo(0, setup(i + 1));
    case 55:
      return Bounds{0, 127};
    case 56:
      return Bounds{0, 255};
    case 57:
      return Bounds{-1999, 2000};
    case 58:
      return Bounds{0, 15};
    case 59:
      return kEvery;
    case 60:
      return Bounds{0, 4000};
    case 61:  // a time-event type falls under the last interval
      return EventInterval(GoverningEventType(core, d));
    case 62:
      return core.DataRevision != 0 ? Bounds{0, 2} : Bounds{0, 1};
    case 63:
      return TwoLoop(core) ? Bounds{0, 1000} : Bounds{0, 5999};
    default:
      return kEvery;
  }
}

}  // namespace

bool TCore::CheckRange(const ParamDescriptor* descriptor, int16_t value, int pattern, int segment) {
  if (!descriptor) return false;
  const std::optional<Bounds> bounds = BoundsOf(*this, *descriptor, pattern, segment);
  if (!bounds) return false;
  return value >= bounds->low && value <= bounds->high;
}
