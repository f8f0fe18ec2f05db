// The static input-range tables: for every input range type its limits and
// decimal point in degrees C and degrees F.
#pragma once

#include <cstdint>

struct InputRangeEntry {
  uint16_t Code;     // range-type value (C03 or C23)
  int16_t Low;       // range lower limit, degrees C
  int16_t High;      // range upper limit, degrees C
  uint16_t Point;    // decimal point position, degrees C
  int16_t Linear;    // 3 on the linear inputs, else 0
  int16_t LowF;      // range lower limit, degrees F
  int16_t HighF;     // range upper limit, degrees F
  uint16_t PointF;   // decimal point position, degrees F
  int16_t LinearF;   // 3 on the linear inputs, else 0
  int16_t Reserved;  // always 0
};

inline constexpr int kInput1RangeCount = 74;
inline constexpr int kInput2RangeCount = 73;

extern const InputRangeEntry kInput1Ranges[kInput1RangeCount];
extern const InputRangeEntry kInput2Ranges[kInput2RangeCount];
