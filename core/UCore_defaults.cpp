// Defaults of the whole data image and the input range application.

#include "InputRanges.h"
#include "UCore.h"

namespace {

// The setup-data parameter Cn (bank 8 item n; C00 is item 100), or null.
ParamDescriptor* SetupData(TCore& core, int n) { return core.GetParam(8, n, 1, 0); }

int16_t ValueOf(const ParamDescriptor* d) { return d ? d->Value : 0; }

void Store(ParamDescriptor* d, int value) {
  if (d) d->Value = static_cast<int16_t>(value);
}

// The first table record of the range type, or null. The type is compared as
// a 16-bit word, as the controller stores it.
const InputRangeEntry* FindRange(const InputRangeEntry* table, int count, int16_t type) {
  const uint16_t code = static_cast<uint16_t>(type);
  for (int i = 0; i < count; ++i)
    if (table[i].Code == code) return &table[i];
  return nullptr;
}

}  // namespace

void TCore::SetDefaults(GroupList groups, bool resetInputs) {
  // Program cells: 0 for the records of default kind 1 (PID set numbers and
  // the per-pattern items), every other cell empty.
  for (int item = 1; item <= kProgramItemCount; ++item) {
    const ParamDescriptor* record = GetParam(1, item, 1, 0);
    if (!record || !GroupListNames(groups, record->Group)) continue;
    const int16_t value = record->DefaultKind == 1 ? 0 : kEmptyValue;
    for (int pattern = 1; pattern <= kPatternCount; ++pattern) {
      if (item > kSegmentItemCount) {
        if (PatternSlot* cell = GetPatternValue(pattern, item, 1)) cell->Value = value;
        continue;
      }
      for (int segment = 1; segment <= kSegmentCount; ++segment)
        if (PatternSlot* cell = GetPatternValue(pattern, item, segment)) cell->Value = value;
    }
  }

  // Every tag, whatever the list.
  for (PatternTagEntry& tag : Tags) CopyTag8(tag.WorkingTag, tag.DefaultTag);

  const uint16_t h1 = Model.HardwareType1;
  const uint16_t h2 = Model.HardwareType2;
  for (ParamDescriptor& d : SetupParams) {
    if (!GroupListNames(groups, d.Group)) continue;
    switch (d.DefaultKind) {
      case 0: d.Value = kEmptyValue; break;
      case 1: d.Value = 0; break;
      case 2: d.Value = (h1 & 0x80) ? 500 : 0; break;  // heat-cool
      case 3: d.Value = 20; break;
      case 4: d.Value = 200; break;
      case 5: d.Value = 400; break;
      case 6: d.Value = 600; break;
      case 7: d.Value = 800; break;
      case 8: d.Value = 1000; break;
      case 9: d.Value = 1200; break;
      case 10: d.Value = (h1 & 0x80) ? 0 : (h1 & 0x08) ? 50 : 5; break;  // heat-cool, position-proportional
      case 11: d.Value = 10; break;
      case 12: d.Value = 5; break;
      case 13: d.Value = 9000; break;
      case 14: d.Value = 300; break;
      case 15: d.Value = 1013; break;
      case 16: d.Value = 235; break;
      case 17: d.Value = 500; break;
      case 18: d.Value = 120; break;
      case 19:  // C02 input 1 unit
      case 26:  // C22 input 2 unit
      case 38:  // C91, C92 zener barrier adjustments
      case 39:
        if (resetInputs) d.Value = 0;
        break;
      case 20:  // C03 input 1 type, with its range and SP1 limits
        if (resetInputs) d.Value = 0;
        ApplyInput1Range(false);
        break;
      case 27:  // C23 input 2 type (carbon potential: 225), with its range and SP2 limits
        if (resetInputs) d.Value = (h2 & 4) ? 225 : 128;
        ApplyInput2Range(false);
        break;
      case 31: d.Value = ValueOf(SetupData(*this, 23)) == 224 ? 1500 : 4000; break;
      case 37: d.Value = 15; break;
      case 41: d.Value = 9999; break;
      case 42: d.Value = 50; break;
      case 21: case 22: case 23: case 24: case 25:  // set with C03
      case 28: case 29: case 30: case 32: case 33:  // set with C23
      case 34: case 35: case 36:                    // C75..C77, set from the model words
      case 40:                                      // C96..C99, C00: the device's identity
        break;
      default: d.Value = 0; break;
    }
  }
}

namespace {

// One input's range parameters in bank 8: its type, its temperature unit and
// its decimal point, low and high limit (three consecutive items).
struct InputItems {
  int Type, Unit, Point;
  const InputRangeEntry* Table;
  int Count;
};

// Stores the decimal point and limits that the input's range type gives
// (degrees F when its unit is nonzero; 0..1000 for a linear input). False
// when nothing more is to be done: the type names no range, or a linear
// input keeps its scale because only the table limits are asked for.
bool StoreInputLimits(TCore& core, const InputItems& items, bool linear, bool tableLimitsOnly) {
  ParamDescriptor* type = SetupData(core, items.Type);
  const InputRangeEntry* range = type ? FindRange(items.Table, items.Count, type->Value) : nullptr;
  if (!range) return false;
  ParamDescriptor* point = SetupData(core, items.Point);
  ParamDescriptor* low = SetupData(core, items.Point + 1);
  ParamDescriptor* high = SetupData(core, items.Point + 2);
  if (linear) {
    if (tableLimitsOnly) return false;
    Store(low, 0);
    Store(high, 1000);
    Store(point, 0);
  } else if (ValueOf(SetupData(core, items.Unit)) != 0) {  // degrees F
    Store(low, range->LowF);
    Store(high, range->HighF);
    Store(point, range->PointF);
  } else {
    Store(low, range->Low);
    Store(high, range->High);
    Store(point, range->Point);
  }
  return !tableLimitsOnly;
}

}  // namespace

void TCore::ApplyInput1Range(bool tableLimitsOnly) {
  const InputItems items{3, 2, 4, kInput1Ranges, kInput1RangeCount};
  const int type = ValueOf(SetupData(*this, items.Type));
  if (!StoreInputLimits(*this, items, type >= 64 && type <= 73, tableLimitsOnly)) return;
  Store(SetupData(*this, 9), ValueOf(SetupData(*this, 5)));
  Store(SetupData(*this, 10), ValueOf(SetupData(*this, 6)));
}

void TCore::ApplyInput2Range(bool tableLimitsOnly) {
  const InputItems items{23, 22, 24, kInput2Ranges, kInput2RangeCount};
  const int type = ValueOf(SetupData(*this, items.Type));
  if (!StoreInputLimits(*this, items, type == 192 || type == 193, tableLimitsOnly)) return;
  ParamDescriptor* spLow = SetupData(*this, 32);
  ParamDescriptor* spHigh = SetupData(*this, 33);
  const uint16_t h2 = Model.HardwareType2;
  if (h2 & 2) {  // temperature/humidity: SP2 is 0..100.0 %
    Store(spLow, 0);
    Store(spHigh, 1000);
  } else if (h2 & 4) {  // carbon potential
    Store(spLow, 0);
    Store(spHigh, type == 224 ? 1500 : 2000);
  } else {
    Store(spLow, ValueOf(SetupData(*this, 25)));
    Store(spHigh, ValueOf(SetupData(*this, 26)));
  }
}
