// The speed, checksum and number-entry choices of the service tools and the
// control panel.
#include <gtest/gtest.h>

#include <cstdint>

#include "ServiceChoiceRules.h"
#include "TComm.h"

namespace {

TEST(ServiceChoiceRules, SpeedItemsGiveEvenParityLineSettings) {
  const struct { int Item; int32_t Setting; } cases[] = {
      {0, 1}, {1, 3}, {2, 5}, {3, 7}, {4, 9}, {5, 11}, {6, 13}, {-1, 1}, {7, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(kvl::LineSettingForSpeedItem(c.Item), c.Setting) << c.Item;
  // "56.0K" is 56000 bit/s, not 57600.
  EXPECT_EQ(kLineSettings[kvl::LineSettingForSpeedItem(5) - 1].Baud, 56000u);
  EXPECT_EQ(kLineSettings[kvl::LineSettingForSpeedItem(4) - 1].Baud, 57600u);
}

TEST(ServiceChoiceRules, SpeedChoiceShownForALineSetting) {
  const struct { int32_t Setting; int Item; } cases[] = {
      {1, 0}, {2, 0}, {3, 1}, {4, 1}, {11, 5}, {13, 6}, {14, 6}, {0, -1}, {-3, -1}, {15, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(kvl::SpeedItemForLineSetting(c.Setting), c.Item) << c.Setting;
  // Every speed choice shows itself again.
  for (int item = 0; item < 7; ++item)
    EXPECT_EQ(kvl::SpeedItemForLineSetting(kvl::LineSettingForSpeedItem(item)), item);
}

TEST(ServiceChoiceRules, SumOffIsTheOnlyChoiceWithoutChecksum) {
  EXPECT_EQ(kvl::ChecksumFlagForSumItem(0), 1);
  EXPECT_EQ(kvl::ChecksumFlagForSumItem(1), 0);
  EXPECT_EQ(kvl::ChecksumFlagForSumItem(-1), 1);
}

TEST(ServiceChoiceRules, IntegerEntry) {
  const struct { const char* Text; bool Ok; int32_t Value; } cases[] = {
      {"600", true, 600},     {" 42 ", true, 42},      {"-2", true, -2},
      {"+7", true, 7},        {"$1F", true, 31},       {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"", false, 0},        {"  ", false, 0},
      {"12a", false, 0},      {"1.5", false, 0},       {"-", false, 0},
      {"$", false, 0},        {"99999999999999", false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = -99;
    EXPECT_EQ(kvl::ParseInteger(c.Text, value), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(value, c.Value) << c.Text;
    }
  }
}

}  // namespace
