// Small lookups shared by the value rules of the data image: formatting and
// parsing, range checks, dependent updates and configuration-dependent names.
// Internal to core/.
#pragma once

#include <optional>
#include <string>

#include "UCore.h"

namespace kvl::values {

// Banks of the data image that the value rules consult.
inline constexpr int kProgramBank = 1;
inline constexpr int kVariableBank = 3;
inline constexpr int kEventBank = 5;
inline constexpr int kPidBank = 6;
inline constexpr int kPid2Bank = 7;
inline constexpr int kSetupBank = 8;
inline constexpr int kConstantBank = 10;

// Event type value that makes an event a time event.
inline constexpr int kTimeEventType = 50;

// The value divided by 10^d with exactly d digits after a '.', at least one
// before it and a leading '-' for negative values; d = 0 gives a plain
// integer.
std::string Fixed(int value, int d);

// Working value of a setup parameter, or nothing when the catalogue has no
// such record.
inline std::optional<int> ParamValue(TCore& core, int bank, int item, int sub = 1) {
  const ParamDescriptor* d = core.GetParam(bank, item, sub, 0);
  if (!d) return std::nullopt;
  return d->Value;
}

// Working value of setup parameter Cnn (bank 8 item nn), or the fallback.
inline int SetupValue(TCore& core, int item, int fallback = 0) {
  return ParamValue(core, kSetupBank, item).value_or(fallback);
}

// The two-loop model bit of the first hardware-type word.
inline bool TwoLoop(const TCore& core) { return (core.Model.HardwareType1 & 0x800) != 0; }

// The event type that governs an event ON time, hysteresis or setting value:
// program items 4, 6, 8 -> ET1..ET3; event bank item i -> item i - 2;
// constant-value items 4..6 -> ET1..ET3. -1 when the type record is missing.
inline int GoverningEventType(TCore& core, const ParamDescriptor& d) {
  int typeItem;
  if (d.Bank == kProgramBank)
    typeItem = 2 * d.Item - 7;
  else if (d.Bank == kEventBank)
    typeItem = d.Item - 2;
  else
    typeItem = 4 * (d.Item - 4) + 1;
  return ParamValue(core, kEventBank, typeItem).value_or(-1);
}

// The type of the time event whose ON time is program item 10, 12, .. 18
// (ET.T1..ET.T5). -1 when the type record is missing.
inline int TimeEventType(TCore& core, int programItem) {
  return ParamValue(core, kEventBank, 2 * programItem - 3).value_or(-1);
}

}  // namespace kvl::values
