#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ChoiceTables.h"
#include "Cp932.h"

namespace {

// Value range and label width of every table, in table order.
struct Range {
  int first, last, width;
};
constexpr Range kRanges[kChoiceTableCount] = {
    {0, 1, 1},   {0, 1, 1},     {0, 3, 1},     {0, 3, 1},     {0, 2, 1},   {0, 2, 1},  // 1-6
    {0, 1, 1},   {0, 1, 1},     {0, 1, 1},     {0, 1, 1},     {0, 1, 1},   {0, 1, 1},  // 7-12
    {0, 3, 1},   {0, 3, 1},     {0, 1, 1},     {0, 1, 1},     {0, 1, 1},   {0, 3, 1},  // 13-18
    {0, 4, 1},   {0, 1, 1},     {0, 1, 1},     {0, 2, 1},     {0, 1, 1},   {0, 1, 1},  // 19-24
    {0, 1, 1},   {0, 2, 1},     {0, 2, 1},     {0, 1, 1},     {0, 1, 1},   {0, 1, 1},  // 25-30
    {0, 1, 1},   {0, 2, 1},     {0, 1, 1},     {0, 1, 1},     {0, 1, 1},   {0, 2, 1},  // 31-36
    {0, 20, 2},  {0, 20, 2},    {0, 20, 2},    {0, 2, 1},     {0, 1, 1},   {0, 1, 1},  // 37-42
    {0, 1, 1},   {0, 1, 1},     {0, 5, 1},     {0, 5, 1},     {0, 2, 1},   {0, 1, 1},  // 43-48
    {0, 1, 1},   {0, 2, 1},     {0, 1, 1},     {0, 199, 3},   {0, 11, 2},  {0, 73, 2}, // 49-54
    {128, 193, 3}, {224, 230, 3}, {0, 255, 3},                                        // 55-57
};

std::string Label(int value, int width) {
  std::string digits = std::to_string(value);
  return std::string(width > static_cast<int>(digits.size()) ? width - digits.size() : 0, ' ') +
         digits + ":";
}

// Every reference of every table, to see exactly which ones an operation moves.
std::vector<const char*> Snapshot() {
  std::vector<const char*> refs;
  for (int t = 1; t <= kChoiceTableCount; ++t)
    for (int r = 0; r < 3; ++r)
      for (int e = 0; e < ChoiceCount(t); ++e) refs.push_back(ChoiceText(t, r, e));
  return refs;
}

TEST(ChoiceTablesTest, CountsAndLabelsFollowTheValueRanges) {
  int choices = 0, texts = 0;
  for (int t = 1; t <= kChoiceTableCount; ++t) {
    SCOPED_TRACE(testing::Message() << "table " << t);
    const Range& range = kRanges[t - 1];
    const int n = ChoiceCount(t);
    ASSERT_EQ(n, range.last - range.first + 1);
    ASSERT_EQ(ChoiceTables[t - 1].Count, n);
    ASSERT_EQ(ChoiceRow(t, kChoiceRowJapanese), ChoiceTables[t - 1].Texts);
    ASSERT_EQ(ChoiceRow(t, kChoiceRowLabel), ChoiceTables[t - 1].Texts + 2 * n);
    choices += n;
    const bool fullLabels = t == 31 || t == 32 || t == 35;
    for (int e = 0; e < n; ++e) {
      SCOPED_TRACE(testing::Message() << "entry " << e);
      const int value = range.first + e;
      const std::string label = Label(value, range.width);
      for (int r = 0; r < 3; ++r) {
        const char* text = ChoiceText(t, r, e);
        ASSERT_NE(text, nullptr) << "row " << r;
        ++texts;
        EXPECT_EQ(std::string(text).substr(0, label.size()), label) << "row " << r;
        int parsed = -1;
        EXPECT_TRUE(ChoiceValue(text, &parsed));
        EXPECT_EQ(parsed, value);
        EXPECT_EQ(FindChoiceEntry(t, r, value), e) << "row " << r;
      }
      const std::string ja = ChoiceText(t, kChoiceRowJapanese, e);
      const std::string en = ChoiceText(t, kChoiceRowEnglish, e);
      const std::string bare = ChoiceText(t, kChoiceRowLabel, e);
      if (fullLabels) {
        EXPECT_EQ(bare, en);
        EXPECT_EQ(ja, en);
      } else {
        EXPECT_EQ(bare, label);
        EXPECT_GT(en.size(), label.size());
        EXPECT_GT(ja.size(), label.size());
      }
    }
  }
  EXPECT_EQ(choices, 805);
  EXPECT_EQ(texts, 2415);
  EXPECT_EQ(ChoiceCount(0), 0);
  EXPECT_EQ(ChoiceCount(58), 0);
}

TEST(ChoiceTablesTest, SpotTexts) {
  struct Case {
    int table, value;
    const char* ja;
    const char* en;
  } cases[] = {
      {1, 0, "0:2自由度を使用しない", "0: 2 degrees of freedom PID is disabled."},
      {3, 2, "2:ｵｰﾊﾞｰｼｭｰﾄしにくいATを行う", "2: Overshoot-inhibited AT is executed."},
      {4, 3, "3:4800bps ﾊﾟﾘﾃｨ無し 2ｽﾄｯﾌﾟ", "3: 4800bps/no parity, 2 stop bits"},
      {15, 1, "1:待機あり(復電時やREADY時も待機となる)", "1: Standby ON"},
      {19, 4, "4:ﾊﾟﾗﾒｰﾀ設定およびﾌﾟﾛｸﾞﾗﾑ設定の表示不可、運転ｷｰ操作不可",
       "4: Display of parameter settings and program settings disabled, and use of operation "
       "keys disabled"},
      {31, 1, "1:min:s", "1:min:s"},
      {32, 2, "2:0.1s", "2:0.1s"},
      {35, 0, "0:READY", "0:READY"},
      {37, 6, " 6:MANUAL/AUTO(CH1側)", " 6:Manual/auto operation"},
      {37, 10, "10:NOP", "10:NOP"},
      {37, 20, "20:NOP", "20:NOP"},
      {38, 10, "10:NOP", "10: NOP"},
      {38, 19, "19:正/逆動作反転(CH2側)", "19: Direct/reverse action inversion (CH2)"},
      {39, 11, "11:02ｾﾝｻｲﾝﾋﾟｰﾀﾞﾝｽﾁｪｯｸ", "11:02 sensor check"},
      {43, 0, "0:摂氏(ﾟC)", "0: 'C"},
      {43, 1, "1:使用しないでください", "1: 'F"},
      {45, 3, "3:T1～T3はｾｸﾞﾒﾝﾄ番号ｲﾍﾞﾝﾄ、T4～T5はﾀｲﾑｲﾍﾞﾝﾄ",
       "3: T1 to T3 are segment No. events. T4 and T5 are time events."},
      {47, 1, "1:中(0.5～2.5m/s)", "1: Medium (0.5 to 2.5 m/s)"},
      {52, 0, "  0:PV1正", "  0:PV1 direct"},
      {52, 24, " 24:PVq正", " 24:NOP"},
      {52, 25, " 25:PVq逆", " 25:NOP"},
      {52, 28, " 28:NOP", " 28:NOP"},
      {52, 49, " 49:NOP", " 49:NOP"},
      {52, 50, " 50:ﾀｲﾑｲﾍﾞﾝﾄ", " 50:Time event"},
      {52, 51, " 51:NOP", " 51:NOP"},
      {52, 99, " 99:NOP", " 99:NOP"},
      {52, 100, "100:RUN+HOLD+FAST+END", "100:RUN+HOLD+FAST+END"},
      {52, 124, "124:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH2)", "124:Auto-tuning executing (CH2)"},
      {52, 125, "125:NOP", "125:NOP"},
      {52, 199, "199:NOP", "199:NOP"},
      {53, 2, " 2:偏差1", " 2:Deviation 1"},
      {53, 11, "11:NOP", "11:NOP"},
      {54, 0, " 0:K(CA)      | K09 |      0～  1200 ﾟC",
       " 0:K(CA)      | K09 |      0 to   1200 'C     0 to  2400 'F"},
      {54, 15, "15:Ni-Ni･Mo   | Z13 |      0～  1300 ﾟC",
       "15:Ni-Ni･Mo   | Z13 |      0 to   1300 'C    32 to  2372 'F"},
      {54, 17, "17:PLⅡ       | Y13 |      0～  1300 ﾟC",
       "17:PL2        | Y13 |      0 to   1300 'C    32 to  2372 'F"},
      {54, 20, "20:金鉄ｸﾛﾒﾙ   | Z06 |    0.0～ 300.0  K",
       "20:Golden iron chromel        | Z06 |    0.0 to  300.0  K"},
      {54, 21, "21:NOP ", "21:NOP "},
      {54, 31, "31:NOP ", "31:NOP "},
      {54, 41, "41:NOP ", "41:NOP "},
      {54, 47, "47:NOP ", "47:NOP "},
      {54, 57, "57:NOP ", "57:NOP "},
      {54, 63, "63:NOP ", "63:NOP "},
      {54, 64, "64:  4～ 20mA | C01 | -1999～+9999(ﾌﾟﾛｸﾞﾗﾏﾌﾞﾙ)  ", "64:  4 to  20mA | C01 | -1999 to +9999"},
      {54, 73, "73:  0～ 10V  | L07 | -1999～+9999(ﾌﾟﾛｸﾞﾗﾏﾌﾞﾙ)  ", "73:  0 to  10V  | L07 | -1999 to +9999"},
      {55, 128, "128:K(CA)      | K44 | -200.0～+300.0 ﾟC",
       "128:K(CA)      | K44 | -200.0 to +300.0 'C  -300 to  +700 'F"},
      {55, 130, "130:NOP ", "130:NOP "},
      {55, 159, "159:NOP ", "159:NOP "},
      {55, 162, "162:NOP ", "162:NOP "},
      {55, 175, "175:NOP ", "175:NOP "},
      {55, 178, "178:NOP ", "178:NOP "},
      {55, 191, "191:NOP ", "191:NOP "},
      {55, 193, "193:1～ 5V | V01 | -1999～+9999(ﾌﾟﾛｸﾞﾗﾏﾌﾞﾙ)  ", "193:1 to  5V | V01 | -1999 to +9999"},
      {56, 224, "224:日本碍子製酸素分圧(PO2)演算      0～ 1250mV",
       "224:oxygen pressure (PO2) computation                          0 to 1250mV"},
      {56, 226, "226:ﾏﾗｿﾝﾓﾆﾀｰｽﾞ･ｹﾝﾌﾞﾘｯｼﾞ製ｾﾝｻ用CP演算 0～ 1250mV",
       "226:CP computation for Marathon monitors and Cambridge sensors 0 to 1250mV"},
      {56, 230, "230:ﾌｧｰﾈｽｺﾝﾄﾛｰﾙ製ｾﾝｻ用CP演算         0～ 1250mV",
       "230:CP computation for Furnace Control sensors                 0 to 1250mV"},
      {57, 0, "  0:NOP", "  0:NOP"},
      {57, 101, "101:NOP", "101:NOP"},
      {57, 106, "106:NOP", "106:NOP"},
      {57, 112, "112:NOP", "112:NOP"},
      {57, 113, "113:拡張演算あり(R08～)", "113:Extended function enable.(R08～)"},
      {57, 115, "115:PID定数のI,D,DI,DDの設定値が0.01s単位。拡張演算あり(R08～)",
       "115:PID parameter I,D,DI,DD setup 0.01s.Extended function enable.(R08 or later)"},
      {57, 116, "116:NOP ", "116:NOP "},
      {57, 240, "240:NOP ", "240:NOP "},
      {57, 241, "241:RTDﾂｪﾅｰﾊﾞﾘｱ調整", "241:RTD zener barrier adjustment"},
      {57, 242, "242:NOP", "242:NOP"},
      {57, 255, "255:NOP", "255:NOP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "table " << c.table << " value " << c.value);
    const int entry = c.value - kRanges[c.table - 1].first;
    ASSERT_NE(ChoiceText(c.table, kChoiceRowJapanese, entry), nullptr);
    EXPECT_STREQ(ChoiceText(c.table, kChoiceRowJapanese, entry), c.ja);
    EXPECT_STREQ(ChoiceText(c.table, kChoiceRowEnglish, entry), c.en);
  }
}

TEST(ChoiceTablesTest, ControllerBytesOfSpecialCharacters) {
  struct Case {
    int table, value, row;
    std::string cp932;
  } cases[] = {
      // half-width katakana, one byte each
      {20, 1, kChoiceRowJapanese, "1:\xCC\xDF\xD8\xBE\xAF\xC4"},
      {43, 0, kChoiceRowJapanese, "0:\x90\xDB\x8E\x81(\xDF" "C)"},
      // the Roman numeral two
      {54, 17, kChoiceRowJapanese, "17:PL\x87\x55       | Y13 |      0\x81\x60  1300 \xDF" "C"},
      // the full-width tilde in an English text
      {57, 113, kChoiceRowEnglish, "113:Extended function enable.(R08\x81\x60)"},
      // trailing blanks survive
      {54, 21, kChoiceRowEnglish, "21:NOP "},
      {55, 192, kChoiceRowJapanese,
       "192:0\x81\x60" "10V | L07 | -1999\x81\x60+9999(\xCC\xDF\xDB\xB8\xDE\xD7\xCF\xCC\xDE\xD9)  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "table " << c.table << " value " << c.value);
    const char* text = ChoiceText(c.table, c.row, c.value - kRanges[c.table - 1].first);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(kvl::ToCp932(text), c.cp932);
    EXPECT_EQ(kvl::Cp932Width(text), static_cast<int>(c.cp932.size()));
  }
}

TEST(ChoiceTablesTest, MatchingAValueToAnEntry) {
  struct Case {
    int table, row, value, entry;
  } cases[] = {
      {19, kChoiceRowEnglish, 4, 4},    {19, kChoiceRowEnglish, 7, -1},
      {19, kChoiceRowJapanese, -1, -1}, {55, kChoiceRowEnglish, 5, -1},
      {55, kChoiceRowLabel, 128, 0},    {55, kChoiceRowJapanese, 193, 65},
      {55, kChoiceRowJapanese, 194, -1}, {56, kChoiceRowEnglish, 224, 0},
      {56, kChoiceRowLabel, 230, 6},    {56, kChoiceRowLabel, 0, -1},
      {57, kChoiceRowLabel, 255, 255},  {57, kChoiceRowEnglish, 256, -1},
      {31, kChoiceRowLabel, 1, 1},      {0, kChoiceRowEnglish, 0, -1},
      {58, kChoiceRowEnglish, 0, -1},   {1, -1, 0, -1},
      {1, 3, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "table " << c.table << " row " << c.row << " value " << c.value);
    EXPECT_EQ(FindChoiceEntry(c.table, c.row, c.value), c.entry);
  }
}

TEST(ChoiceTablesTest, ValueInFrontOfTheFirstColon) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {
      {"  0:NOP", true, 0},      {"128:", true, 128},      {"0:h:min", true, 0},
      {" 9:x:y", true, 9},       {"-5:x", true, -5},       {"+7:x", true, 7},
      {"255:NOP ", true, 255},   {"", false, 0},           {"NOP", false, 0},
      {"12", false, 0},          {" :x", false, 0},        {"1 2:x", false, 0},
      {"12 :x", false, 0},       {"x1:y", false, 0},       {"-:x", false, 0},
      {"99999999999:x", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int value = -12345;
    EXPECT_EQ(ChoiceValue(c.text, &value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
  EXPECT_FALSE(ChoiceValue(nullptr, nullptr));
}

TEST(ChoiceTablesTest, RowsAndOutOfRangeAccess) {
  EXPECT_EQ(ChoiceRowOfLanguage(0), kChoiceRowJapanese);
  EXPECT_EQ(ChoiceRowOfLanguage(1), kChoiceRowEnglish);
  for (int language : {2, 3, -1, 255}) EXPECT_EQ(ChoiceRowOfLanguage(language), kChoiceRowLabel);

  struct Case {
    int table, row, entry;
  } cases[] = {
      {0, 0, 0}, {58, 0, 0}, {-1, 0, 0}, {1, -1, 0}, {1, 3, 0}, {1, 0, -1}, {1, 0, 2}, {57, 2, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.table << "/" << c.row << "/" << c.entry);
    EXPECT_EQ(ChoiceText(c.table, c.row, c.entry), nullptr);
  }
  EXPECT_EQ(ChoiceRow(0, 0), nullptr);
  EXPECT_EQ(ChoiceRow(1, 3), nullptr);
  EXPECT_STREQ(ChoiceText(57, 2, 255), "255:");
  EXPECT_STREQ(ChoiceText(1, 0, 1), "1:2自由度を使用する");
}

TEST(ChoiceTablesTest, TablesOfEachId) {
  struct Case {
    int id;
    std::vector<int> tables;
  } cases[] = {
      {0, {}},          {1, {19}},     {6, {1}},          {11, {5, 6}},   {12, {52}},
      {14, {45, 46}},   {17, {54}},    {22, {24, 25}},    {24, {55, 56}}, {26, {26, 27}},
      {29, {53}},       {30, {37, 38, 39}}, {32, {31, 32}}, {34, {13, 14}}, {38, {48}},
      {45, {49, 50}},   {47, {57}},    {48, {}},          {49, {}},       {-1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id);
    int tables[3] = {};
    const int n = ChoiceTablesOfId(c.id, tables);
    EXPECT_EQ(std::vector<int>(tables, tables + n), c.tables);
  }
  // Every table is named by some id.
  std::vector<bool> named(kChoiceTableCount + 1, false);
  for (int id = 1; id <= 47; ++id) {
    int tables[3] = {};
    const int n = ChoiceTablesOfId(id, tables);
    ASSERT_GE(n, 1) << id;
    for (int i = 0; i < n; ++i) {
      ASSERT_GE(tables[i], 1);
      ASSERT_LE(tables[i], kChoiceTableCount);
      named[tables[i]] = true;
    }
  }
  for (int t = 1; t <= kChoiceTableCount; ++t) EXPECT_TRUE(named[t]) << t;
}

// Re-pointing entries changes references only, and exactly the one asked for.
class ChoiceRewriteTest : public ::testing::Test {
 protected:
  void TearDown() override {
    // Put every reference back so the other tests see the initial tables.
    size_t i = 0;
    for (int t = 1; t <= kChoiceTableCount; ++t)
      for (int r = 0; r < 3; ++r)
        for (int e = 0; e < ChoiceCount(t); ++e) ChoiceRow(t, r)[e] = initial[i++];
  }
  const std::vector<const char*> initial = Snapshot();
};

TEST_F(ChoiceRewriteTest, SetChoiceTextRepointsOneReference) {
  static const char kPvq[] = " 24:PVq direct";
  static const char kMfb[] = " 8:NOP";
  static const char kEnd[] = "125:Program end";
  struct Case {
    int table, row, entry;
    const char* text;
  } cases[] = {
      {52, kChoiceRowEnglish, 24, kPvq},
      {53, kChoiceRowLabel, 8, kMfb},
      {52, kChoiceRowJapanese, 125, kEnd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "table " << c.table << " row " << c.row << " entry " << c.entry);
    const std::vector<const char*> before = Snapshot();
    const char* old = ChoiceText(c.table, c.row, c.entry);
    const std::string oldText = old;
    ASSERT_TRUE(SetChoiceText(c.table, c.row, c.entry, c.text));
    EXPECT_EQ(ChoiceText(c.table, c.row, c.entry), c.text);  // the reference itself, no copy
    EXPECT_EQ(old, oldText);                                  // the old text is untouched
    const std::vector<const char*> after = Snapshot();
    ASSERT_EQ(after.size(), before.size());
    int moved = 0;
    for (size_t i = 0; i < after.size(); ++i) moved += after[i] != before[i];
    EXPECT_EQ(moved, 1);
    // The value is still found at its entry after the rewrite.
    int value = 0;
    ASSERT_TRUE(ChoiceValue(c.text, &value));
    EXPECT_EQ(FindChoiceEntry(c.table, c.row, value), c.entry);
    // Re-pointing back restores every reference.
    ASSERT_TRUE(SetChoiceText(c.table, c.row, c.entry, old));
    EXPECT_EQ(Snapshot(), before);
  }
}

TEST_F(ChoiceRewriteTest, RefusedRewritesChangeNothing) {
  struct Case {
    int table, row, entry;
    const char* text;
  } cases[] = {
      {0, 0, 0, "0:x"}, {58, 0, 0, "0:x"}, {52, 3, 0, "0:x"}, {52, -1, 0, "0:x"},
      {52, 0, 200, "200:x"}, {52, 0, -1, "0:x"}, {53, 1, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.table << "/" << c.row << "/" << c.entry);
    EXPECT_FALSE(SetChoiceText(c.table, c.row, c.entry, c.text));
    EXPECT_EQ(Snapshot(), initial);
  }
}

}  // namespace
