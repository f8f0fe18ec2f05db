#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "InputRanges.h"
#include "SetupImageFixture.h"

namespace {

const int32_t kAllGroups[] = {1, 2, 0};
constexpr int16_t kSentinel = 1234;

using Values = std::vector<std::pair<int, int>>;  // (address, value)

// ---- input range tables ----

TEST(InputRangeTables, HoldEveryCodeInOrder) {
  EXPECT_EQ(std::size(kInput1Ranges), 74u);
  EXPECT_EQ(std::size(kInput2Ranges), 73u);
  for (int i = 0; i < kInput1RangeCount; ++i) EXPECT_EQ(kInput1Ranges[i].Code, i);
  std::vector<int> codes2;
  for (int c = 128; c <= 193; ++c) codes2.push_back(c);
  for (int c = 224; c <= 230; ++c) codes2.push_back(c);
  ASSERT_EQ(codes2.size(), 73u);
  for (int i = 0; i < kInput2RangeCount; ++i) EXPECT_EQ(kInput2Ranges[i].Code, codes2[i]);

  // The linear mark sits exactly on the linear inputs; the last field is 0.
  for (const InputRangeEntry& e : kInput1Ranges) {
    const int mark = (e.Code >= 64 && e.Code <= 73) ? 3 : 0;
    EXPECT_EQ(e.Linear, mark) << e.Code;
    EXPECT_EQ(e.LinearF, mark) << e.Code;
    EXPECT_EQ(e.Reserved, 0) << e.Code;
  }
  for (const InputRangeEntry& e : kInput2Ranges) {
    const int mark = (e.Code == 192 || e.Code == 193) ? 3 : 0;
    EXPECT_EQ(e.Linear, mark) << e.Code;
    EXPECT_EQ(e.LinearF, mark) << e.Code;
    EXPECT_EQ(e.Reserved, 0) << e.Code;
  }
}

TEST(InputRangeTables, RowsReadAsTyped) {
  struct Row {
    int table, index;
    InputRangeEntry expected;
  } rows[] = {
      {1, 0, {0, 0, 1200, 0, 0, 0, 2400, 0, 0, 0}},
      {1, 4, {4, -1999, 3000, 1, 0, -300, 700, 0, 0, 0}},
      {1, 13, {13, 0, 1400, 0, 0, 0, 2552, 0, 0, 0}},
      {1, 16, {16, 0, 1300, 0, 0, 32, 2372, 0, 0, 0}},
      {1, 20, {20, 0, 3000, 1, 0, 0, 3000, 1, 0, 0}},
      {1, 36, {36, -600, 400, 1, 0, -760, 1040, 1, 0, 0}},
      {1, 40, {40, 0, 9999, 2, 0, 0, 2000, 1, 0, 0}},
      {1, 48, {48, -1999, 5000, 1, 0, -300, 900, 0, 0, 0}},
      {1, 63, {63, -1999, 5000, 1, 0, -300, 900, 0, 0, 0}},
      {1, 73, {73, -1999, 9999, 0, 3, -1999, 9999, 0, 3, 0}},
      {2, 0, {128, -1999, 3000, 1, 0, -300, 700, 0, 0, 0}},
      {2, 1, {129, -200, 1200, 0, 0, -300, 2400, 0, 0, 0}},
      {2, 33, {161, 0, 9999, 2, 0, 0, 2000, 1, 0, 0}},
      {2, 49, {177, 0, 9999, 2, 0, 0, 2000, 1, 0, 0}},
      {2, 63, {191, -500, 2000, 1, 0, -500, 4000, 1, 0, 0}},
      {2, 64, {192, -1999, 9999, 0, 3, -1999, 9999, 0, 3, 0}},
      {2, 66, {224, 0, 1250, 0, 0, 0, 1250, 0, 0, 0}},
      {2, 72, {230, 0, 1250, 0, 0, 0, 1250, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    const InputRangeEntry& e = r.table == 1 ? kInput1Ranges[r.index] : kInput2Ranges[r.index];
    SCOPED_TRACE(testing::Message() << "table " << r.table << " code " << r.expected.Code);
    EXPECT_EQ(e.Code, r.expected.Code);
    EXPECT_EQ(e.Low, r.expected.Low);
    EXPECT_EQ(e.High, r.expected.High);
    EXPECT_EQ(e.Point, r.expected.Point);
    EXPECT_EQ(e.Linear, r.expected.Linear);
    EXPECT_EQ(e.LowF, r.expected.LowF);
    EXPECT_EQ(e.HighF, r.expected.HighF);
    EXPECT_EQ(e.PointF, r.expected.PointF);
  }
}

// ---- defaults ----

class DefaultsTest : public SetupImageFixture {
 protected:
  void Expect(const Values& values) {
    for (const auto& [address, value] : values) EXPECT_EQ(Get(address), value) << "at " << address;
  }
};

// One record of every default kind, after a full reset of a single-loop relay
// model; "unchanged" rows keep the value they held before.
TEST_F(DefaultsTest, EveryDefaultKindOnASingleLoopModel) {
  SetAllSetupValues(kSentinel);
  SetModel({0x01, 0x00, 0x01, 0});
  core->SetDefaults(kAllGroups, true);
  struct Row {
    int kind, address, value;
  } rows[] = {
      {0, 3514, 32767},     {0, C(83), 32767},   {0, 1050, 32767},    {1, 2501, 0},       {1, 3513, 0},
      {2, 2507, 0},         {3, 2512, 20},       {3, 3014, 20},       {4, 2514, 200},     {5, 2515, 400},
      {6, 2516, 600},       {7, 2517, 800},      {8, 2518, 1000},     {8, 1501, 1000},    {8, 4066, 1000},
      {9, 2519, 1200},      {10, 2521, 5},       {11, 2522, 10},      {12, 2525, 5},      {12, 3503, 5},
      {13, 2532, 9000},     {14, 2533, 300},     {15, 3004, 1013},    {16, 3007, 235},    {17, 1506, 500},
      {17, 2076, 500},      {18, 1509, 120},     {19, C(2), 0},       {20, C(3), 0},      {21, C(4), 0},
      {22, C(5), 0},        {23, C(6), 1200},    {24, C(9), 0},       {25, C(10), 1200},  {26, C(22), 0},
      {27, C(23), 128},     {28, C(24), 1},      {29, C(25), -1999},  {30, C(26), 3000},  {31, C(31), 4000},
      {32, C(32), -1999},   {33, C(33), 3000},   {34, C(75), kSentinel}, {35, C(76), kSentinel},
      {36, C(77), kSentinel}, {37, C(78), 15},   {37, C(80), 15},     {38, C(91), 0},     {39, C(92), 0},
      {40, C(96), 0x01},    {40, C(98), kSentinel}, {40, C(100), kSentinel}, {41, 1004, 9999}, {42, 3517, 50},
      {42, 3533, 50},
  };
  for (const Row& r : rows) {
    ParamDescriptor* d = Param(r.address);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->DefaultKind, r.kind) << "at " << r.address;
    EXPECT_EQ(d->Value, r.value) << "at " << r.address;
  }
  // No record is left with the sentinel unless its kind keeps the value.
  for (int i = 0; i < core->GetParamCount(); ++i) {
    const ParamDescriptor* d = core->SetupRecord(i);
    const int k = d->DefaultKind;
    const bool kept = (k >= 34 && k <= 36) || k == 40;
    if (!kept) {
      EXPECT_NE(d->Value, kSentinel) << "at " << d->Address;
    }
  }
}

// The records whose defaults follow the model words.
TEST_F(DefaultsTest, ModelDependentDefaults) {
  struct Case {
    const char* name;
    Variant model;
    Values expected;
  } cases[] = {
      {"single-loop relay",
       {0x01, 0x00, 0x01, 0},
       {{2507, 0}, {2521, 5}, {C(23), 128}, {C(24), 1}, {C(25), -1999}, {C(26), 3000}, {C(31), 4000},
        {C(32), -1999}, {C(33), 3000}, {C(3), 0}, {C(5), 0}, {C(6), 1200}, {C(9), 0}, {C(10), 1200}}},
      {"single-loop position-proportional", {0x08, 0x00, 0x08, 0}, {{2507, 0}, {2521, 50}, {C(23), 128}}},
      {"single-loop heat-cool", {0xC4, 0x00, 0xC4, 0}, {{2507, 500}, {2521, 0}}},
      {"two-loop carbon potential",
       {0x844, 0x04, 0x04, 0x40},
       {{2507, 0}, {2521, 5}, {C(23), 225}, {C(24), 0}, {C(25), 0}, {C(26), 1250}, {C(31), 4000}, {C(32), 0},
        {C(33), 2000}, {C(6), 1200}, {C(96), 0x844}, {C(97), 0x04}}},
      {"two-loop carbon potential, heat-cool", {0xC91, 0x34, 0x91, 0x400}, {{2507, 500}, {2521, 0}, {C(23), 225}}},
      {"two-loop temperature/humidity",
       {0x844, 0x02, 0x04, 0x40},
       {{C(23), 128}, {C(24), 1}, {C(25), -1999}, {C(26), 3000}, {C(32), 0}, {C(33), 1000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetAllSetupValues(kSentinel);
    SetModel(c.model);
    core->SetDefaults(kAllGroups, true);
    Expect(c.expected);
  }
}

TEST_F(DefaultsTest, CarbonPotentialRangeTypeTwoTwentyFourNarrowsSp2) {
  SetModel({0x844, 0x04, 0x04, 0x40});
  core->SetDefaults(kAllGroups, true);
  // File/New keeps the chosen input type and applies its dependent defaults.
  Set(C(23), 224);
  core->SetDefaults(kAllGroups, false);
  Expect({{C(23), 224}, {C(24), 0}, {C(25), 0}, {C(26), 1250}, {C(31), 1500}, {C(32), 0}, {C(33), 1500}});
}

TEST_F(DefaultsTest, FlagFalseKeepsInputTypesUnitsAndZenerAdjustments) {
  SetAllSetupValues(kSentinel);
  SetModel({0x841, 0x01, 0x01, 0x40});
  Set(C(2), 1);
  Set(C(3), 4);
  Set(C(22), 1);
  Set(C(23), 130);
  Set(C(91), 7);
  Set(C(92), -8);
  core->SetDefaults(kAllGroups, false);
  Expect({{C(2), 1}, {C(3), 4}, {C(4), 0}, {C(5), -300}, {C(6), 700}, {C(9), -300}, {C(10), 700},
          {C(22), 1}, {C(23), 130}, {C(24), 0}, {C(25), -300}, {C(26), 700}, {C(32), -300}, {C(33), 700},
          {C(31), 4000}, {C(91), 7}, {C(92), -8}, {C(96), 0x841}, {C(99), kSentinel}, {2501, 0}});

  // The same with the flag set resets all of them.
  core->SetDefaults(kAllGroups, true);
  Expect({{C(2), 0}, {C(3), 0}, {C(5), 0}, {C(6), 1200}, {C(22), 0}, {C(23), 128}, {C(91), 0}, {C(92), 0}});
}

TEST_F(DefaultsTest, ProgramCellsAndTagsReturnToDefaults) {
  for (int p = 1; p <= 19; ++p)
    for (int i = 1; i <= 26; ++i)
      for (int s = 1; s <= 30; ++s) core->GetPatternValue(p, i, s)->Value = 77;
  char tag[9] = "ABC";
  ASSERT_TRUE(core->SetTag(5, tag));
  ASSERT_TRUE(core->SetTag(19, tag));

  core->SetDefaults(kAllGroups, true);
  for (int p = 1; p <= 19; ++p) {
    for (int i = 1; i <= 26; ++i)
      for (int s = 1; s <= 30; ++s) {
        const int expected = (i == 20 || i == 21 || i >= 24) ? 0 : 32767;
        ASSERT_EQ(core->GetPatternValue(p, i, s)->Value, expected) << p << "/" << i << "/" << s;
      }
    char out[9];
    ASSERT_TRUE(core->GetTag(p, out));
    char expected[12];
    std::snprintf(expected, sizeof expected, "PROG%02d  ", p);
    EXPECT_STREQ(out, expected);
  }
}

// Which records a group list selects: program items and ordinary setup data
// are group 1, the device identification rows (C91, C92, C96..C99, C00)
// group 2. Tags are reset whatever the list.
TEST_F(DefaultsTest, GroupListSelectsTheRecords) {
  const int32_t onlyTwo[] = {2, 0};
  const int32_t onlyOne[] = {1, 0};
  const int32_t lowByteTwo[] = {0x102, 0};  // only the low byte counts
  const int32_t twice[] = {1, 1, 2, 2, 0};
  const int32_t empty[] = {0};
  struct Case {
    const char* name;
    GroupList groups;
    bool setupGroup1, setupGroup2, cells;
  } cases[] = {
      {"{1, 2}", kAllGroups, true, true, true},  {"{2}", onlyTwo, false, true, false},
      {"{1}", onlyOne, true, false, true},       {"{0x102}", lowByteTwo, false, true, false},
      {"{1, 1, 2, 2}", twice, true, true, true}, {"{}", empty, false, false, false},
      {"null", nullptr, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetAllSetupValues(kSentinel);
    SetModel({0x01, 0x00, 0x01, 0});
    Set(C(91), 5);
    Set(C(92), 6);
    core->GetPatternValue(3, 1, 1)->Value = 100;
    core->GetPatternValue(3, 24, 1)->Value = 3;
    char tag[9] = "X";
    ASSERT_TRUE(core->SetTag(3, tag));

    core->SetDefaults(c.groups, true);
    EXPECT_EQ(Get(2501), c.setupGroup1 ? 0 : kSentinel);
    EXPECT_EQ(Get(C(6)), c.setupGroup1 ? 1200 : kSentinel);
    EXPECT_EQ(Get(C(91)), c.setupGroup2 ? 0 : 5);
    EXPECT_EQ(Get(C(92)), c.setupGroup2 ? 0 : 6);
    EXPECT_EQ(Get(C(96)), 0x01);  // never reset
    EXPECT_EQ(Get(C(100)), kSentinel);
    EXPECT_EQ(core->GetPatternValue(3, 1, 1)->Value, c.cells ? 32767 : 100);
    EXPECT_EQ(core->GetPatternValue(3, 24, 1)->Value, c.cells ? 0 : 3);
    char out[9];
    ASSERT_TRUE(core->GetTag(3, out));
    EXPECT_STREQ(out, "PROG03  ");
  }
}

TEST_F(DefaultsTest, ValuesOutsideTheListedRecordsAreNotTouched) {
  SetModel({0x01, 0x00, 0x01, 0});
  ParamDescriptor* d = Param(2501);
  ASSERT_NE(d, nullptr);
  d->ReceivedValue = 42;
  core->DataRevision = 0;
  core->GetPatternValue(1, 1, 1)->SecondValue = 9;
  core->SetDefaults(kAllGroups, true);
  EXPECT_EQ(d->ReceivedValue, 42);
  EXPECT_EQ(core->DataRevision, 0);
  EXPECT_EQ(core->GetPatternValue(1, 1, 1)->SecondValue, 9);
}

// ---- input ranges ----

constexpr int kUnchanged = 777;

TEST_F(DefaultsTest, Input1Range) {
  struct Case {
    int unit, type;
    bool tableLimitsOnly;
    int point, low, high, spLow, spHigh;
  } cases[] = {
      {0, 0, false, 0, 0, 1200, 0, 1200},
      {1, 0, false, 0, 0, 2400, 0, 2400},
      {1, 4, false, 0, -300, 700, -300, 700},
      {0, 4, false, 1, -1999, 3000, -1999, 3000},
      // An input-type change by an edit sets the range but keeps the SP limits.
      {1, 4, true, 0, -300, 700, kUnchanged, kUnchanged},
      {0, 40, true, 2, 0, 9999, kUnchanged, kUnchanged},
      {5, 40, true, 1, 0, 2000, kUnchanged, kUnchanged},  // any nonzero unit is degrees F
      // A linear input gets 0..1000 only from the full application.
      {0, 70, false, 0, 0, 1000, 0, 1000},
      {1, 64, false, 0, 0, 1000, 0, 1000},
      {0, 73, true, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      {0, 70, true, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      // No such range type: nothing changes.
      {0, 100, false, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      {0, 74, true, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      {0, -1, false, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "unit " << c.unit << " type " << c.type << " flag " << c.tableLimitsOnly);
    for (int n : {4, 5, 6, 9, 10}) Set(C(n), kUnchanged);
    Set(C(2), c.unit);
    Set(C(3), c.type);
    core->ApplyInput1Range(c.tableLimitsOnly);
    EXPECT_EQ(Get(C(4)), c.point);
    EXPECT_EQ(Get(C(5)), c.low);
    EXPECT_EQ(Get(C(6)), c.high);
    EXPECT_EQ(Get(C(9)), c.spLow);
    EXPECT_EQ(Get(C(10)), c.spHigh);
    EXPECT_EQ(Get(C(3)), c.type);
  }
}

TEST_F(DefaultsTest, Input2Range) {
  struct Case {
    uint16_t h2;
    int unit, type;
    bool tableLimitsOnly;
    int point, low, high, spLow, spHigh;
  } cases[] = {
      {0x01, 0, 128, false, 1, -1999, 3000, -1999, 3000},
      {0x01, 1, 129, false, 0, -300, 2400, -300, 2400},
      {0x01, 0, 161, true, 2, 0, 9999, kUnchanged, kUnchanged},
      {0x01, 1, 161, true, 1, 0, 2000, kUnchanged, kUnchanged},
      {0x01, 0, 192, false, 0, 0, 1000, 0, 1000},
      {0x01, 0, 193, true, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      // Temperature/humidity: SP2 is 0..100.0 % whatever the input.
      {0x02, 0, 160, false, 1, -500, 2000, 0, 1000},
      // Carbon potential: SP2 up to 1.500 or 2.000 by the sensor type.
      {0x04, 0, 224, false, 0, 0, 1250, 0, 1500},
      {0x04, 0, 225, false, 0, 0, 1250, 0, 2000},
      {0x04, 0, 230, true, 0, 0, 1250, kUnchanged, kUnchanged},
      // No such range type.
      {0x01, 0, 200, false, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
      {0x01, 0, 5, false, kUnchanged, kUnchanged, kUnchanged, kUnchanged, kUnchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "h2 " << c.h2 << " unit " << c.unit << " type " << c.type << " flag "
                                    << c.tableLimitsOnly);
    SetModel({0x841, c.h2, 0x01, 0x40});
    for (int n : {24, 25, 26, 32, 33}) Set(C(n), kUnchanged);
    Set(C(22), c.unit);
    Set(C(23), c.type);
    core->ApplyInput2Range(c.tableLimitsOnly);
    EXPECT_EQ(Get(C(24)), c.point);
    EXPECT_EQ(Get(C(25)), c.low);
    EXPECT_EQ(Get(C(26)), c.high);
    EXPECT_EQ(Get(C(32)), c.spLow);
    EXPECT_EQ(Get(C(33)), c.spHigh);
  }
}

}  // namespace
