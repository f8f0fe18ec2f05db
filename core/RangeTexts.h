// The fixed setting-range help texts: one record per range-text kind whose
// text depends on nothing but the language. The other kinds are computed by
// TCore::GetRangeText from the settings at the moment of the call.
#pragma once

#include <cstdint>

struct FixedRangeText {
  uint8_t Kind;
  const char* Japanese;  // UTF-8; "～" where the English has " to "
  const char* English;
};

// Range-text kinds run 0..77: 39 with a fixed text, 39 computed.
inline constexpr int kLastRangeTextKind = 77;
inline constexpr int kFixedRangeTextCount = 39;

// In ascending kind order.
extern const FixedRangeText kFixedRangeTexts[kFixedRangeTextCount];
