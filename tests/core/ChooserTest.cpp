// The value chooser: which list a cell gets, the model-dependent rewrite of the
// event-type and auxiliary-output tables, the preselected entry, and the list
// of setup parameters of the "PARA assignment item" settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ChoiceTables.h"
#include "ValueChooser.h"
#include "ValueFixture.h"

namespace {

using valuetest::C;
using valuetest::Context;
using valuetest::Model;
using valuetest::Setting;
using valuetest::With;

constexpr uint16_t kSingleLoop = 0x0001;
constexpr uint16_t kSingleLoopAux = 0x4001;   // with auxiliary output 1
constexpr uint16_t kTwoLoop = 0x0841;
constexpr uint16_t kTwoLoopAux2 = 0x8841;     // with auxiliary output 2
constexpr uint16_t kMfb = 0x0008;             // position-proportional output 1
constexpr uint16_t kHumidity = 0x02;
constexpr uint16_t kCarbon = 0x04;

constexpr int kEventTable = 52;
constexpr int kAuxTable = 53;

Context Variant(uint16_t h1, uint16_t h2, int revision, std::vector<Setting> settings = {}) {
  Context c = Model(h1, h2, std::move(settings));
  c.revision = revision;
  return c;
}

// Tables 52 and 53 are program-wide: every test leaves them as it found them.
class ChooserTest : public valuetest::ValueFixture {
 protected:
  TValueChooser chooser{*core};

  void SetUp() override {
    for (int t : {kEventTable, kAuxTable})
      for (int r = 0; r < 3; ++r)
        for (int e = 0; e < ChoiceCount(t); ++e) saved.push_back(ChoiceText(t, r, e));
  }
  void TearDown() override {
    size_t k = 0;
    for (int t : {kEventTable, kAuxTable})
      for (int r = 0; r < 3; ++r)
        for (int e = 0; e < ChoiceCount(t); ++e) SetChoiceText(t, r, e, saved[k++]);
  }

  std::vector<std::string> Row(int table, int row) {
    std::vector<std::string> texts;
    for (int e = 0; e < ChoiceCount(table); ++e) texts.emplace_back(ChoiceText(table, row, e));
    return texts;
  }

 private:
  std::vector<const char*> saved;
};

// ---- which table an id names ----

TEST_F(ChooserTest, TableOfEachIdByModelAndRevision) {
  struct Case {
    int id;
    uint16_t h1, h2;
    int revision;
    int table;
  };
  const Case cases[] = {
      {1, kSingleLoop, 0, 1, 19},          {12, kTwoLoop, 0, 0, 52},           {29, kSingleLoop, 0, 1, 53},
      {47, kSingleLoop, 0, 0, 57},         {17, kTwoLoop, kCarbon, 1, 54},
      // humidity option
      {11, kTwoLoop, kHumidity, 1, 5},     {11, kTwoLoop, 0, 1, 6},            {11, kTwoLoop, kCarbon, 1, 6},
      {26, kTwoLoop, kHumidity, 1, 27},    {26, kTwoLoop, 0, 1, 26},
      // revision
      {14, kSingleLoop, 0, 0, 45},         {14, kSingleLoop, 0, 1, 46},        {32, kTwoLoop, 0, 0, 31},
      {32, kTwoLoop, 0, 1, 32},
      // one or two loops
      {22, kSingleLoop, 0, 1, 24},         {22, kTwoLoop, 0, 1, 25},           {34, kSingleLoop, kCarbon, 1, 13},
      {34, kTwoLoop, 0, 1, 14},            {45, kSingleLoop, 0, 1, 49},        {45, kTwoLoop, 0, 0, 50},
      // carbon potential
      {24, kTwoLoop, kCarbon, 1, 56},      {24, kTwoLoop, kHumidity, 1, 55},   {30, kSingleLoop, kCarbon, 1, 37},
      {30, kTwoLoop, 0, 1, 38},            {30, kTwoLoop, kCarbon, 1, 39},
      // no table
      {0, kSingleLoop, 0, 1, 0},           {48, kTwoLoop, 0, 1, 0},            {49, kTwoLoop, 0, 1, 0},
      {255, kSingleLoop, 0, 1, 0},         {-1, kSingleLoop, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " h1 " << c.h1 << " h2 " << c.h2 << " rev " << c.revision);
    Apply(Variant(c.h1, c.h2, c.revision));
    EXPECT_EQ(chooser.ChoiceTableOf(c.id), c.table);
  }
}

// ---- the rewrites ----

TEST_F(ChooserTest, AuxOutputRewriteByModel) {
  struct Case {
    const char* what;
    uint16_t h1, h2;
    int language;
    std::vector<std::string> row;
  };
  const Case cases[] = {
      {"single-loop, no options, English", kSingleLoop, 0, 1,
       {" 0:PV", " 1:SP", " 2:Deviation", " 3:MV", " 4:NOP", " 5:NOP", " 6:NOP", " 7:NOP", " 8:NOP", " 9:NOP",
        "10:NOP", "11:NOP"}},
      {"single-loop, position-proportional, Japanese", kSingleLoop | kMfb, 0, 0,
       {" 0:PV", " 1:SP", " 2:偏差", " 3:MV", " 4:NOP", " 5:NOP", " 6:NOP", " 7:NOP", " 8:MFB", " 9:NOP", "10:NOP",
        "11:NOP"}},
      {"two-loop humidity, Japanese", kTwoLoop, kHumidity, 0,
       {" 0:PV1", " 1:SP1", " 2:偏差1", " 3:MV1", " 4:PV2", " 5:SP2", " 6:偏差2", " 7:MV2", " 8:NOP", " 9:PVw",
        "10:SPw", "11:NOP"}},
      {"two-loop carbon, English", kTwoLoop | kMfb, kCarbon, 1,
       {" 0:PV1", " 1:SP1", " 2:Deviation 1", " 3:MV1", " 4:PV2", " 5:SP2", " 6:Deviation 2", " 7:MV2", " 8:MFB",
        " 9:NOP", "10:NOP", "11:PVq(O2 sensor mV)"}},
      {"two-loop carbon, Japanese", kTwoLoop, kCarbon, 0,
       {" 0:PV1", " 1:SP1", " 2:偏差1", " 3:MV1", " 4:PV2", " 5:SP2", " 6:偏差2", " 7:MV2", " 8:NOP", " 9:NOP",
        "10:NOP", "11:PVq(O2ｾﾝｻmV)"}},
      {"language 2 writes English into the label row", kSingleLoop, kHumidity, 2,
       {" 0:PV", " 1:SP", " 2:Deviation", " 3:MV", " 4:NOP", " 5:NOP", " 6:NOP", " 7:NOP", " 8:NOP", " 9:PVw",
        "10:SPw", "11:NOP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(Variant(c.h1, c.h2, 1));
    const int row = ChoiceRowOfLanguage(c.language);
    std::vector<std::vector<std::string>> before;
    for (int r = 0; r < 3; ++r) before.push_back(Row(kAuxTable, r));

    chooser.RewriteAuxOutputTable(c.language);
    EXPECT_EQ(Row(kAuxTable, row), c.row);
    for (int r = 0; r < 3; ++r) {
      if (r == row) continue;
      EXPECT_EQ(Row(kAuxTable, r), before[static_cast<size_t>(r)]) << "row " << r << " moved";
    }
  }
}

TEST_F(ChooserTest, EventTypeRewriteByModelAndRevision) {
  struct Case {
    const char* what;
    uint16_t h1, h2;
    int revision, language;
    std::vector<std::pair<int, std::string>> entries;
  };
  const Case cases[] = {
      {"single-loop rev 0, English", kSingleLoop, 0, 0, 1,
       {{10, " 10:NOP"}, {11, " 11:NOP"}, {110, "110:NOP"}, {12, " 12:NOP"}, {21, " 21:NOP"}, {22, " 22:NOP"},
        {27, " 27:NOP"}, {24, " 24:NOP"}, {118, "118:NOP"},
        {106, "106:G.Soak standby (logical OR of CH1 and CH2)"}, {107, "107:MANUAL (logical OR of CH1 and CH2)"},
        {108, "108:Auto-tuning executing (logical OR of CH1 and CH2)"}, {119, "119:NOP"}, {124, "124:NOP"},
        {125, "125:NOP"}}},
      {"single-loop rev 1, Japanese, position-proportional", kSingleLoop | kMfb, 0, 1, 0,
       {{10, " 10:MFB正"}, {11, " 11:MFB逆"}, {110, "110:MFB推定位置制御"}, {12, " 12:NOP"}, {24, " 24:NOP"},
        {25, " 25:NOP"}, {106, "106:G.SOAK待ち"}, {107, "107:MANUAL"}, {108, "108:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中"},
        {121, "121:NOP"}, {125, "125:運転終了ｲﾍﾞﾝﾄ"}}},
      {"two-loop humidity rev 1, English", kTwoLoop, kHumidity, 1, 1,
       {{12, " 12:PV2 direct"}, {16, " 16:Absolute value deviation 2 direct"}, {21, " 21:MV2 reverse"},
        {22, " 22:PVw direct"}, {23, " 23:PVw reverse"}, {26, " 26:SPw direct"}, {27, " 27:SPw reverse"},
        {24, " 24:NOP"}, {25, " 25:NOP"}, {118, "118:NOP"}, {119, "119:G.Soak standby (CH1)"},
        {121, "121:MANUAL(CH1)"}, {122, "122:MANUAL(CH2)"}, {124, "124:Auto-tuning executing (CH2)"},
        {125, "125:Program end"}}},
      {"two-loop carbon rev 0, Japanese", kTwoLoop | kMfb, kCarbon, 0, 0,
       {{10, " 10:MFB正"}, {13, " 13:PV2逆"}, {17, " 17:絶対値偏差2逆"}, {22, " 22:NOP"}, {26, " 26:NOP"},
        {24, " 24:PVq正"}, {25, " 25:PVq逆"}, {118, "118:O2ｾﾝｻｲﾝﾋﾟｰﾀﾞﾝｽ異常"},
        {106, "106:G.SOAK待ち(CH1とCH2の和)"}, {108, "108:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH1とCH2の和)"},
        {120, "120:G.SOAK待ち(CH2)"}, {123, "123:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH1)"}, {125, "125:NOP"}}},
      {"two-loop carbon rev 1, English", kTwoLoop, kCarbon, 1, 1,
       {{24, " 24:PVq direct"}, {25, " 25:PVq reverse"}, {118, "118:O2 sensor error"}, {10, " 10:NOP"}}},
  };
  // Entries no rewrite touches keep their texts.
  const int untouched[] = {0, 9, 28, 50, 100, 105, 109, 111, 117, 126, 199};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(Variant(c.h1, c.h2, c.revision));
    const int row = ChoiceRowOfLanguage(c.language);
    std::vector<std::string> before = Row(kEventTable, row);
    std::vector<std::string> otherBefore = Row(kEventTable, (row + 1) % 3);

    chooser.RewriteEventTypeTable(c.language);
    for (const auto& [entry, text] : c.entries) EXPECT_EQ(ChoiceText(kEventTable, row, entry), text) << entry;
    for (int e : untouched) EXPECT_EQ(ChoiceText(kEventTable, row, e), before[static_cast<size_t>(e)]) << e;
    EXPECT_EQ(Row(kEventTable, (row + 1) % 3), otherBefore);
  }
}

TEST_F(ChooserTest, RewriteFollowsTheModelBackAndForth) {
  Apply(Variant(kTwoLoop | kMfb, kHumidity | kCarbon, 1));
  chooser.RewriteEventTypeTable(1);
  chooser.RewriteAuxOutputTable(1);
  EXPECT_STREQ(ChoiceText(kEventTable, kChoiceRowEnglish, 14), " 14:Deviation 2 direct");
  EXPECT_STREQ(ChoiceText(kAuxTable, kChoiceRowEnglish, 4), " 4:PV2");

  Apply(Variant(kSingleLoop, 0, 0));
  chooser.RewriteEventTypeTable(1);
  chooser.RewriteAuxOutputTable(1);
  for (int e : {10, 11, 12, 21, 22, 23, 24, 25, 26, 27, 110, 118, 119, 124, 125}) {
    int value = -1;
    ASSERT_TRUE(ChoiceValue(ChoiceText(kEventTable, kChoiceRowEnglish, e), &value));
    EXPECT_EQ(value, e);
    EXPECT_NE(std::string(ChoiceText(kEventTable, kChoiceRowEnglish, e)).find("NOP"), std::string::npos) << e;
  }
  EXPECT_STREQ(ChoiceText(kAuxTable, kChoiceRowEnglish, 4), " 4:NOP");
  EXPECT_STREQ(ChoiceText(kAuxTable, kChoiceRowEnglish, 11), "11:NOP");
}

// ---- the list of one choice table ----

TEST_F(ChooserTest, ChoiceListRowAndPreselection) {
  struct Case {
    const char* what;
    int table;
    int16_t value;
    int language;
    int selected;
    const char* first;
  };
  const Case cases[] = {
      {"Japanese row", 7, 1, 0, 1, "0:逆動作(加熱動作)"},
      {"English row", 7, 0, 1, 0, "0: Reverse action (heat)"},
      {"label row for language 2", 7, 1, 2, 1, "0:"},
      {"label row for any other language", 7, 1, -3, 1, "0:"},
      {"value past the last entry", 19, 7, 1, -1, "0: Key lock disabled"},
      {"negative value", 19, -1, 1, -1, "0: Key lock disabled"},
      {"numbers from 128", 55, 130, 1, 2, "128:K(CA)      | K44 | -200.0 to +300.0 'C  -300 to  +700 'F"},
      {"value below the first number", 55, 5, 1, -1,
       "128:K(CA)      | K44 | -200.0 to +300.0 'C  -300 to  +700 'F"},
      {"numbers from 224", 56, 230, 0, 6, "224:日本碍子製酸素分圧(PO2)演算      0～ 1250mV"},
      {"labels three wide", 57, 255, 2, 255, "  0:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TChoiceList list =
        TValueChooser::SetChoiceList(ChoiceTables[c.table - 1].Texts, ChoiceCount(c.table), c.value, c.language);
    ASSERT_EQ(static_cast<int>(list.Texts.size()), ChoiceCount(c.table));
    EXPECT_EQ(list.Selected, c.selected);
    EXPECT_EQ(list.Texts[0], c.first);
    const int row = ChoiceRowOfLanguage(c.language);
    for (int e = 0; e < ChoiceCount(c.table); ++e)
      EXPECT_EQ(list.Texts[static_cast<size_t>(e)], ChoiceText(c.table, row, e)) << e;
  }
}

TEST_F(ChooserTest, ChoiceListOfOddTables) {
  // Numbers out of order, repeated, padded, and a text without a number.
  const char* texts[3 * 4] = {"  5:a", "no number", "5:b", "-2:c", "", "", "", "", "", "", "", ""};
  TChoiceList list = TValueChooser::SetChoiceList(texts, 4, 5, 0);
  EXPECT_EQ(list.Texts, (std::vector<std::string>{"  5:a", "no number", "5:b", "-2:c"}));
  EXPECT_EQ(list.Selected, 0);  // the first of two entries carrying 5
  EXPECT_EQ(TValueChooser::SetChoiceList(texts, 4, -2, 0).Selected, 3);
  EXPECT_EQ(TValueChooser::SetChoiceList(texts, 4, 0, 0).Selected, -1);

  for (int count : {0, -1, -12}) {
    list = TValueChooser::SetChoiceList(texts, count, 5, 0);
    EXPECT_TRUE(list.Texts.empty());
    EXPECT_EQ(list.Selected, -1);
  }
  list = TValueChooser::SetChoiceList(nullptr, 4, 5, 1);
  EXPECT_TRUE(list.Texts.empty());
  EXPECT_EQ(list.Selected, -1);
}

// ---- the list a cell gets ----

struct CellCase {
  const char* what;
  Context context;
  int group, item, sub, pattern;
  int language;
  TChooserAction action;
  int count = 0;      // entries of the list
  int selected = -1;  // preselected entry
  std::vector<std::pair<int, std::string>> texts = {};
};

class ChooserCellTest : public ChooserTest {
 protected:
  void Check(const CellCase& c) {
    SCOPED_TRACE(c.what);
    const TChooserView view = chooser.ShowChoiceCombo(c.group, c.item, c.sub, c.pattern, c.language);
    ASSERT_EQ(view.Action, c.action);
    if (c.action != TChooserAction::Show) {
      EXPECT_TRUE(view.List.Texts.empty());
      return;
    }
    EXPECT_EQ(view.Left, c.group == 1 ? 210 : 10);
    EXPECT_EQ(view.Width(640), c.group == 1 ? 420 : 620);
    ASSERT_EQ(static_cast<int>(view.List.Texts.size()), c.count);
    EXPECT_EQ(view.List.Selected, c.selected);
    for (const auto& [entry, text] : c.texts) EXPECT_EQ(view.List.Texts[static_cast<size_t>(entry)], text) << entry;
  }
};

TEST_F(ChooserCellTest, TableAndPreselectionByModel) {
  const Setting et1_125{5, 1, 125}, et1_12{5, 1, 12}, et1_24{5, 1, 24};
  const CellCase cases[] = {
      {"ET1 single-loop rev 1", Variant(kSingleLoop, 0, 1, {et1_125}), 5, 1, 1, 1, 1, TChooserAction::Show, 200, 125,
       {{12, " 12:NOP"}, {106, "106:G.Soak standby (logical OR of CH1 and CH2)"}, {125, "125:Program end"}}},
      {"ET1 single-loop rev 0", Variant(kSingleLoop, 0, 0, {et1_125}), 5, 1, 1, 1, 1, TChooserAction::Show, 200, 125,
       {{125, "125:NOP"}, {10, " 10:NOP"}}},
      {"ET1 two-loop humidity rev 0, Japanese", Variant(kTwoLoop | kMfb, kHumidity, 0, {et1_12}), 5, 1, 1, 1, 0,
       TChooserAction::Show, 200, 12,
       {{10, " 10:MFB正"}, {12, " 12:PV2正"}, {22, " 22:PVw正"}, {24, " 24:NOP"},
        {106, "106:G.SOAK待ち(CH1とCH2の和)"}, {119, "119:G.SOAK待ち(CH1)"}, {125, "125:NOP"}}},
      {"ET3 two-loop carbon rev 1", Variant(kTwoLoop, kCarbon, 1, {{5, 9, 24}}), 5, 9, 1, 1, 1,
       TChooserAction::Show, 200, 24, {{24, " 24:PVq direct"}, {118, "118:O2 sensor error"}, {22, " 22:NOP"}}},
      {"ET1 label row", Variant(kTwoLoop, kCarbon, 1, {et1_24}), 5, 1, 1, 1, 2, TChooserAction::Show, 200, 24,
       {{0, "  0:"}, {24, " 24:PVq direct"}, {125, "125:Program end"}, {126, "126:"}}},
      {"C46 single-loop", Variant(kSingleLoopAux, 0, 1, {C(46, 3)}), 8, 46, 1, 1, 1, TChooserAction::Show, 12, 3,
       {{0, " 0:PV"}, {2, " 2:Deviation"}, {7, " 7:NOP"}, {8, " 8:NOP"}, {11, "11:NOP"}}},
      {"C49 two-loop humidity, Japanese", Variant(kTwoLoopAux2 | kMfb, kHumidity, 1, {C(49, 9)}), 8, 49, 1, 1, 0,
       TChooserAction::Show, 12, 9, {{2, " 2:偏差1"}, {6, " 6:偏差2"}, {8, " 8:MFB"}, {9, " 9:PVw"}, {10, "10:SPw"}}},
      {"C49 two-loop carbon", Variant(kTwoLoopAux2, kCarbon, 1, {C(49, 11)}), 8, 49, 1, 1, 1, TChooserAction::Show,
       12, 11, {{11, "11:PVq(O2 sensor mV)"}, {8, " 8:NOP"}}},
      {"C64 rev 0", Variant(kSingleLoop, 0, 0, {C(64, 1)}), 8, 64, 1, 1, 1, TChooserAction::Show, 2, 1,
       {{1, "1:min:s"}}},
      {"C64 rev 1", Variant(kSingleLoop, 0, 1, {C(64, 2)}), 8, 64, 1, 1, 1, TChooserAction::Show, 3, 2,
       {{2, "2:0.1s"}}},
      {"C66 single-loop", Variant(kSingleLoop, 0, 1, {C(66, 1)}), 8, 66, 1, 1, 1, TChooserAction::Show, 4, 1,
       {{1, "1: OFF"}}},
      {"C66 two-loop", Variant(kTwoLoop, 0, 1, {C(66, 1)}), 8, 66, 1, 1, 1, TChooserAction::Show, 4, 1,
       {{1, "1: PV1 OFF"}}},
      {"C23 two-loop", Variant(kTwoLoop, 0, 1, {C(23, 129)}), 8, 23, 1, 1, 1, TChooserAction::Show, 66, 1,
       {{1, "129:K(CA)      | K29 |   -200 to  +1200 'C  -300 to +2400 'F"}}},
      {"C23 two-loop carbon", Variant(kTwoLoop, kCarbon, 1, {C(23, 224)}), 8, 23, 1, 1, 1, TChooserAction::Show, 7,
       0, {}},
      {"C23 carbon, value of no entry", Variant(kTwoLoop, kCarbon, 1, {C(23, 5)}), 8, 23, 1, 1, 1,
       TChooserAction::Show, 7, -1, {}},
      {"C01 value of no entry", Variant(kSingleLoop, 0, 1, {C(1, 7)}), 8, 1, 1, 1, 1, TChooserAction::Show, 2, -1,
       {{0, "0: Reverse action (heat)"}}},
      {"C01 label row", Variant(kSingleLoop, 0, 1, {C(1, 1)}), 8, 1, 1, 1, 2, TChooserAction::Show, 2, 1,
       {{0, "0:"}, {1, "1:"}}},
      {"C90 rev 1", Variant(kSingleLoop, 0, 1, {C(90, 102)}), 8, 90, 1, 1, 1, TChooserAction::Show, 256, 102,
       {{102, "102:Output change 4-20mA to 0-20mA.(R04 or later)"}}},
      {"C55 parameter list", Variant(kSingleLoop, 0, 1, {C(55, 1001)}), 8, 55, 1, 1, 1, TChooserAction::Show, 321, 0,
       {{0, "1001: 1:MODE :Operation mode"}}},
  };
  for (const CellCase& c : cases) {
    Apply(c.context);
    Check(c);
  }
}

TEST_F(ChooserCellTest, ProgramCellsTakeTheirValueFromTheCell) {
  const CellCase cases[] = {
      {"P.STA single-loop", Variant(kSingleLoop, 0, 1), 1, 24, 1, 3, 1, TChooserAction::Show, 2, 1,
       {{1, "1: PV start enabled"}}},
      {"P.STA two-loop", Variant(kTwoLoop, 0, 1), 1, 24, 1, 3, 0, TChooserAction::Show, 3, 1,
       {{1, "1:CH1側でPVｽﾀｰﾄ"}, {2, "2:CH2側でPVｽﾀｰﾄ"}}},
  };
  for (const CellCase& c : cases) {
    Apply(c.context);
    Cell(3, 1, 1)->Value = 100;  // segment 1 in use
    Cell(3, 24, 1)->Value = 1;
    Param(1, 24)->Value = 0;     // the record's own value is not the cell's
    Check(c);
    EXPECT_EQ(Param(1, 24)->Value, 1);
  }
}

TEST_F(ChooserCellTest, CellsThatGetNoList) {
  const CellCase cases[] = {
      // shown as "----"
      {"C46 on a two-loop model", Variant(kTwoLoop, 0, 1, {C(46, 3)}), 8, 46, 1, 1, 1, TChooserAction::Hide},
      {"C49 without auxiliary output 2", Variant(kTwoLoop, 0, 1, {C(49, 3)}), 8, 49, 1, 1, 1, TChooserAction::Hide},
      {"ET.T1 at rev 0", Variant(kSingleLoop, 0x20, 0), 5, 17, 1, 1, 1, TChooserAction::Hide},
      {"C21 on a single-loop model", Variant(kSingleLoop, 0, 1), 8, 21, 1, 1, 1, TChooserAction::Hide},
      {"P.STA of an unused pattern", Variant(kSingleLoop, 0, 1), 1, 24, 1, 5, 1, TChooserAction::Hide},
      {"P.STA under segment 2", Variant(kSingleLoop, 0, 1), 1, 24, 2, 3, 1, TChooserAction::Hide},
      // fixed cells
      {"C90 at rev 0", Variant(kSingleLoop, 0, 0, {C(90, 102)}), 8, 90, 1, 1, 1, TChooserAction::Hide},
      {"M.-AT is read only", Variant(kSingleLoop, 0, 1, {{3, 29, 2}}), 3, 30, 1, 1, 1, TChooserAction::Hide},
      // numeric entry
      {"FL", Variant(kSingleLoop, 0, 1), 3, 3, 1, 1, 1, TChooserAction::Hide},
      {"SP1", Variant(kSingleLoop, 0, 1), 1, 1, 1, 3, 1, TChooserAction::Hide},
      // no such cell: the chooser stays as it is
      {"item past the group", Variant(kSingleLoop, 0, 1), 3, 99, 1, 1, 1, TChooserAction::Keep},
      {"sub-index past the group", Variant(kSingleLoop, 0, 1), 6, 1, 9, 1, 1, TChooserAction::Keep},
      {"no group 11", Variant(kSingleLoop, 0, 1), 11, 1, 1, 1, 1, TChooserAction::Keep},
      {"negative group", Variant(kSingleLoop, 0, 1), -1, 1, 1, 1, 1, TChooserAction::Keep},
      {"pattern 0", Variant(kSingleLoop, 0, 1), 1, 24, 1, 0, 1, TChooserAction::Keep},
      {"pattern 20", Variant(kSingleLoop, 0, 1), 1, 24, 1, 20, 1, TChooserAction::Keep},
      {"segment 31", Variant(kSingleLoop, 0, 1), 1, 24, 31, 3, 1, TChooserAction::Keep},
      {"program item 27", Variant(kSingleLoop, 0, 1), 1, 27, 1, 3, 1, TChooserAction::Keep},
  };
  for (const CellCase& c : cases) {
    Apply(c.context);
    Cell(3, 1, 1)->Value = 100;
    Cell(3, 24, 1)->Value = 1;
    Check(c);
  }
}

TEST_F(ChooserCellTest, TheStateDecidesBeforeTheText) {
  Apply(Variant(kSingleLoop, 0, 1));
  // SP1 of segment 1 is always editable; give it a list to see that its empty
  // value ("----") does not hide the chooser.
  ParamDescriptor* sp1 = Param(1, 1);
  sp1->ChoiceTableId = 6;
  std::string valueText, nameText;
  ASSERT_TRUE(core->GetParamText(1, 1, 1, 4, valueText, nameText));
  ASSERT_EQ(valueText, "----");
  ASSERT_EQ(core->GetSegmentCellState(1, 4, 1, 1), 2);
  sp1->Value = 0;  // the list is preselected from the cell, not from the record
  TChooserView view = chooser.ShowChoiceCombo(1, 1, 1, 4, 1);
  ASSERT_EQ(view.Action, TChooserAction::Show);
  EXPECT_EQ(view.List.Texts.size(), 2u);
  EXPECT_EQ(view.List.Selected, -1);  // 32767 is no choice

  // Segment 2 of the same pattern decides by its text.
  EXPECT_EQ(chooser.ShowChoiceCombo(1, 1, 2, 4, 1).Action, TChooserAction::Hide);

  // An id past the parameter list gets no list.
  Param(8, 1)->ChoiceTableId = 49;
  EXPECT_EQ(chooser.ShowChoiceCombo(8, 1, 1, 1, 1).Action, TChooserAction::Hide);
  Param(8, 1)->ChoiceTableId = 255;
  EXPECT_EQ(chooser.ShowChoiceCombo(8, 1, 1, 1, 1).Action, TChooserAction::Hide);
}

TEST_F(ChooserCellTest, OnlyTheShownTableIsRewritten) {
  Apply(Variant(kTwoLoop, kCarbon, 1, {C(1, 0)}));
  const std::vector<std::string> events = Row(kEventTable, kChoiceRowEnglish);
  const std::vector<std::string> aux = Row(kAuxTable, kChoiceRowEnglish);
  ASSERT_EQ(chooser.ShowChoiceCombo(8, 1, 1, 1, 1).Action, TChooserAction::Show);
  EXPECT_EQ(Row(kEventTable, kChoiceRowEnglish), events);
  EXPECT_EQ(Row(kAuxTable, kChoiceRowEnglish), aux);

  // A hidden auxiliary-output cell leaves table 53 alone too.
  ASSERT_EQ(chooser.ShowChoiceCombo(8, 46, 1, 1, 1).Action, TChooserAction::Hide);
  EXPECT_EQ(Row(kAuxTable, kChoiceRowEnglish), aux);

  // The event type cell rewrites table 52 and leaves the list and the table
  // agreeing.
  const TChooserView view = chooser.ShowChoiceCombo(5, 1, 1, 1, 1);
  ASSERT_EQ(view.Action, TChooserAction::Show);
  EXPECT_EQ(view.List.Texts, Row(kEventTable, kChoiceRowEnglish));
  EXPECT_EQ(view.List.Texts[24], " 24:PVq direct");
  EXPECT_EQ(Row(kAuxTable, kChoiceRowEnglish), aux);
}

// ---- the parameter list ----

// The group a list entry belongs to, by its leading address.
int GroupOfEntry(const std::string& text) {
  const int a = std::stoi(text.substr(0, text.find(':')));
  if (a >= 1001 && a <= 1050) return 10;
  if (a >= 1501 && a <= 1580) return 6;
  if (a >= 2001 && a <= 2080) return 7;
  if (a >= 2501 && a <= 2533) return 3;
  if (a >= 3001 && a <= 3022) return 4;
  if (a >= 3501 && a <= 3536) return 5;
  if (a >= 4001 && a <= 4066) return 9;
  if (a >= 4501 && a <= 4600) return 8;
  return 0;
}

struct GroupRun {
  int group;
  int count;
  const char* first;
  const char* last;
};

struct ListCase {
  const char* what;
  Context context;
  int language;
  std::vector<GroupRun> runs;      // the groups in list order
  std::vector<std::string> named;  // entries that must be in the list
};

class ParameterListTest : public ChooserTest {};

TEST_F(ParameterListTest, SkipRulesNamesAndOrder) {
  const ListCase cases[] = {
      {"single-loop rev 1",
       Variant(kSingleLoop, 0, 1),
       1,
       {{10, 50, "1001: 1:MODE :Operation mode", "1050:50:-----:Unused"},
        {6, 80, "1501: 1:P :Proportional band(PID set 1)-1",
         "1580:10:DD:Disturbance inhibit rate time(PID set 1)-8"},
        {3, 33, "2501: 1:LOC  :Key lock", "2533:33:M.-T :Motor valve opening adjustment fully open/closed time"},
        {5, 36, "3501: 1:ET1  :Event 1 type", "3536:36:DL.T5:T5 Event ON delay time"},
        {9, 22, "4001:T.1 :Input linearization table approximation 1-A",
         "4022:T.11:Input linearization table approximation 11-B"},
        {8, 100, "4501:C01:Control action (CH1)", "4600:C00:ROM revision"}},
       {"4532:C32:Unused", "2524:24:CY.3 :Unused"}},
      {"single-loop rev 1, Japanese",
       Variant(kSingleLoop, 0, 1),
       0,
       {{10, 50, "1001: 1:MODE :運転ﾓｰﾄﾞ", "1050:50:-----:未使用"},
        {6, 80, "1501: 1:P :比例帯1-1", nullptr},
        {3, 33, "2501: 1:LOC  :ｷｰﾛｯｸ", nullptr},
        {5, 36, nullptr, nullptr},
        {9, 22, "4001:T.1 :入力折線近似 1-A", "4022:T.11:入力折線近似 11-B"},
        {8, 100, nullptr, "4600:C00:ROM ﾚﾋﾞｼﾞｮﾝ"}},
       {"4532:C32:未使用", "2524:24:CY.3 :未使用"}},
      {"two-loop carbon rev 1",
       Variant(kTwoLoop, kCarbon, 1),
       1,
       {{10, 50, "1001: 1:MODE :Operation mode", nullptr},
        {6, 80, "1501: 1:P :Proportional band(PID set 1)-1", nullptr},
        {7, 80, nullptr, "2080:10:DD.2:Disturbance inhibit rate time(PID set 2)-8"},
        {3, 33, "2501: 1:LOC  :Key lock", nullptr},
        {4, 22, "3001: 1:FL.2  :Input 2 digital filter", "3022:22:CP.27 :PID auto-switching point 2-7"},
        {5, 36, "3501: 1:ET1  :Event 1 type", "3536:36:DL.T5:T5 Event ON delay time"},
        {9, 66, "4001:T.1 :Input linearization table approximation 1-A",
         "4066:T.11:Input linearization table approximation 11-F"},
        {8, 100, "4501:C01:Control action (CH1)", "4600:C00:ROM revision"}},
       {"3006: 6:T-BI  :CP computation for temperature compensation", "4529:C29:CP computation compensation",
        "4546:C46:Unused", "4532:C32:SP2 lower limit"}},
      {"two-loop rev 1",
       Variant(kTwoLoop, kHumidity, 1),
       1,
       {{10, 50, nullptr, nullptr},
        {6, 80, nullptr, nullptr},
        {7, 80, nullptr, nullptr},
        {3, 33, nullptr, nullptr},
        {4, 22, nullptr, nullptr},
        {5, 36, nullptr, nullptr},
        {9, 44, nullptr, "4044:T.11:Input linearization table approximation 11-D"},
        {8, 100, nullptr, nullptr}},
       {"3006: 6:T-BI  :Unused", "3007: 7:GASS  :Unused"}},
      {"two-loop carbon rev 0",
       Variant(kTwoLoop, kCarbon, 0),
       1,
       {{10, 50, nullptr, nullptr},
        {6, 80, nullptr, nullptr},
        {7, 80, nullptr, nullptr},
        {3, 33, nullptr, nullptr},
        {4, 22, nullptr, nullptr},
        {5, 13, "3501: 1:ET1  :Event 1 type", "3513:13:TT   :Time event type"},
        {9, 66, nullptr, nullptr},
        {8, 100, nullptr, "4600:C00:ROM revision"}},
       {"4594:C94:Unused"}},
      {"single-loop, third names",
       Variant(kSingleLoop, 0, 1),
       2,
       {{10, 50, "1001: ", nullptr},
        {6, 80, "1501: -1", "1580: -8"},
        {3, 33, nullptr, nullptr},
        {5, 36, nullptr, nullptr},
        {9, 22, "4001: -A", "4022: -B"},
        {8, 100, nullptr, nullptr}},
       {"4532:C32:Unused"}},  // configuration-dependent names stay in the image's language
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    core->Language = c.language == 0 ? 0 : 1;
    const TChoiceList list = chooser.SetParameterList(0, c.language);
    EXPECT_EQ(list.Selected, -1);

    size_t at = 0;
    for (const GroupRun& run : c.runs) {
      SCOPED_TRACE(testing::Message() << "group " << run.group);
      ASSERT_LE(at + static_cast<size_t>(run.count), list.Texts.size());
      for (int k = 0; k < run.count; ++k)
        ASSERT_EQ(GroupOfEntry(list.Texts[at + static_cast<size_t>(k)]), run.group) << list.Texts[at + k];
      if (run.first) {
        EXPECT_EQ(list.Texts[at], run.first);
      }
      if (run.last) {
        EXPECT_EQ(list.Texts[at + static_cast<size_t>(run.count) - 1], run.last);
      }
      // catalogue order inside the group: ascending addresses
      for (int k = 1; k < run.count; ++k)
        EXPECT_LT(std::stoi(list.Texts[at + k - 1]), std::stoi(list.Texts[at + k]));
      at += static_cast<size_t>(run.count);
    }
    EXPECT_EQ(at, list.Texts.size()) << "entries after the last group";
    for (const std::string& name : c.named)
      EXPECT_NE(std::find(list.Texts.begin(), list.Texts.end(), name), list.Texts.end()) << name;
  }
}

TEST_F(ParameterListTest, PreselectsTheEntryOfTheAddress) {
  struct Case {
    const char* what;
    Context context;
    int16_t value;
    const char* selected;  // nullptr: nothing selected
  };
  const Case cases[] = {
      {"C01", Variant(kSingleLoop, 0, 1), 4501, "4501:C01:Control action (CH1)"},
      {"first entry", Variant(kSingleLoop, 0, 1), 1001, "1001: 1:MODE :Operation mode"},
      {"last entry", Variant(kSingleLoop, 0, 1), 4600, "4600:C00:ROM revision"},
      {"PID set 3", Variant(kSingleLoop, 0, 1), 1521, "1521: 1:P :Proportional band(PID set 1)-3"},
      {"table column F", Variant(kTwoLoop, kCarbon, 1), 4066,
       "4066:T.11:Input linearization table approximation 11-F"},
      {"skipped group 4 on a single-loop model", Variant(kSingleLoop, 0, 1), 3001, nullptr},
      {"skipped table column C on a single-loop model", Variant(kSingleLoop, 0, 1), 4023, nullptr},
      {"skipped table column E without carbon potential", Variant(kTwoLoop, 0, 1), 4045, nullptr},
      {"skipped event item at rev 0", Variant(kTwoLoop, 0, 0), 3514, nullptr},
      {"no parameter at the address", Variant(kTwoLoop, kCarbon, 1), 4000, nullptr},
      {"zero", Variant(kTwoLoop, kCarbon, 1), 0, nullptr},
      {"negative", Variant(kTwoLoop, kCarbon, 1), -1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    const TChoiceList list = chooser.SetParameterList(c.value, 1);
    if (!c.selected) {
      EXPECT_EQ(list.Selected, -1);
      continue;
    }
    ASSERT_GE(list.Selected, 0);
    ASSERT_LT(list.Selected, static_cast<int>(list.Texts.size()));
    EXPECT_EQ(list.Texts[static_cast<size_t>(list.Selected)], c.selected);
  }
}

}  // namespace
