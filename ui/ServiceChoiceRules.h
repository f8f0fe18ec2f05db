// The choices the service tools and the control panel share: line speed,
// text checksum and number entry (no window needed).
#pragma once

#include <cstdint>
#include <string_view>

namespace kvl {

// The line setting of a speed choice (items 0..6: 4800, 9600, 19.2K, 38.4K,
// 57.6K, 56.0K, 115K, all even parity and one stop bit); any other index 1.
int32_t LineSettingForSpeedItem(int item);

// The speed choice that shows a line setting: (setting - 1) / 2; -1 for a
// setting no choice shows.
int SpeedItemForLineSetting(int32_t lineSetting);

// The text protocol's checksum flag of a Sum choice: item 1 ("Off") 0, any
// other 1.
uint8_t ChecksumFlagForSumItem(int item);

// A decimal integer as the class library's conversion takes it: blanks
// around it, an optional sign, digits (or '$' and hexadecimal digits), within
// the 32-bit range. False for anything else.
bool ParseInteger(std::string_view text, int32_t& value);

}  // namespace kvl
