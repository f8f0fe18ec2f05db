#include "ServiceChoiceRules.h"

#include <cstdint>
#include <iterator>

namespace kvl {

int32_t LineSettingForSpeedItem(int item) {
  static constexpr int32_t kSettings[] = {1, 3, 5, 7, 9, 11, 13};
  if (item < 0 || item >= static_cast<int>(std::size(kSettings))) return 1;
  return kSettings[item];
}

int SpeedItemForLineSetting(int32_t lineSetting) {
  if (lineSetting < 1) return -1;
  const int32_t item = (lineSetting - 1) / 2;
  return item < 7 ? static_cast<int>(item) : -1;
}

uint8_t ChecksumFlagForSumItem(int item) { return item == 1 ? 0 : 1; }

bool ParseInteger(std::string_view text, int32_t& value) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  if (begin == end) return false;
  bool negative = false;
  if (text[begin] == '+' || text[begin] == '-') {
    negative = text[begin] == '-';
    ++begin;
  }
  int base = 10;
  if (begin < end && text[begin] == '$') {
    base = 16;
    ++begin;
  }
  if (begin == end) return false;
  int64_t magnitude = 0;
  for (size_t i = begin; i < end; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0x80000000LL) return false;
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX || signedValue < INT32_MIN) return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

}  // namespace kvl
