// Dependent updates after an accepted edit, and the names that follow the
// controller variant and the data revision.
#include <gtest/gtest.h>

#include <string>

#include "ValueFixture.h"

namespace {

using valuetest::C;
using valuetest::Context;
using valuetest::Model;
using valuetest::Revision;
using valuetest::Setting;
using valuetest::With;

constexpr int kPattern = 4;
constexpr int kSegment = 2;
constexpr int16_t kEmpty = 32767;

class UpdateTest : public valuetest::ValueFixture {
 protected:
  bool SetCell(int item, const char* text) { return core->SetParamText(1, item, kSegment, kPattern, text); }
  int CellValue(int item, int segment = kSegment) { return Cell(kPattern, item, segment)->Value; }
  void SetCellValue(int item, int value) { Cell(kPattern, item, kSegment)->Value = static_cast<int16_t>(value); }
};

TEST_F(UpdateTest, FirstSp1OfASegmentStartsIt) {
  struct Case {
    const char* what;
    int sp2Low, sp2High;
    bool segmentInUse;
    int time, sp2;  // afterwards
  } cases[] = {
      {"SP2 limits around 0", -50, 200, false, 0, 0},
      {"SP2 lower limit above 0", 20, 200, false, 0, 20},
      {"SP2 upper limit below 0", -20, -10, false, 0, -10},
      {"segment already in use", 20, 200, true, 300, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(With({C(32, c.sp2Low), C(33, c.sp2High)}));
    SetCellValue(1, c.segmentInUse ? 50 : kEmpty);
    SetCellValue(2, c.segmentInUse ? 300 : kEmpty);
    SetCellValue(3, c.segmentInUse ? 40 : kEmpty);
    ASSERT_TRUE(SetCell(1, "100"));
    EXPECT_EQ(CellValue(1), 100);
    EXPECT_EQ(CellValue(2), c.time);
    EXPECT_EQ(CellValue(3), c.sp2);
    // Other segments and patterns are not touched.
    EXPECT_EQ(CellValue(2, kSegment + 1), kEmpty);
    EXPECT_EQ(Cell(kPattern + 1, 2, kSegment)->Value, kEmpty);
  }
}

TEST_F(UpdateTest, RefusedOrOtherSp1EntriesStartNothing) {
  Apply(With({C(9, 0), C(10, 500), C(32, 20)}));
  SetCellValue(1, kEmpty);
  EXPECT_FALSE(SetCell(1, "600"));  // out of the SP1 limits
  EXPECT_EQ(CellValue(1), kEmpty);
  EXPECT_EQ(CellValue(2), kEmpty);
  EXPECT_EQ(CellValue(3), kEmpty);
  // The constant-value SP shares the range kind but starts no segment.
  ASSERT_TRUE(core->SetParamText(10, 2, 1, 0, "100"));
  EXPECT_EQ(Value(10, 2), 100);
  EXPECT_EQ(Cell(1, 2, 1)->Value, kEmpty);
  EXPECT_EQ(Cell(1, 3, 1)->Value, kEmpty);
}

TEST_F(UpdateTest, OnTimesPushOffTimes) {
  struct Case {
    const char* what;
    Context context;
    int onItem;
    int offBefore;
    const char* on;
    int offAfter;
  } cases[] = {
      {"EV1 pushes a earlier OFF", With({{5, 1, 50}}), 4, 60, "1:30", 91},
      {"EV1 pushes an equal OFF", With({{5, 1, 50}}), 4, 90, "1:30", 91},
      {"EV1 leaves a later OFF", With({{5, 1, 50}}), 4, 120, "1:30", 120},
      {"EV1 leaves an empty OFF", With({{5, 1, 50}}), 4, kEmpty, "1:30", kEmpty},
      {"EV1 at 99:59 empties the OFF", With({{5, 1, 50}}), 4, 120, "99:59", kEmpty},
      {"EV1 not a time event", With({{5, 1, 0}}), 4, 60, "90", 60},
      {"EV3 by ET3", With({{5, 9, 50}, {5, 1, 0}}), 8, 10, "0:20", 21},
      {"T1 revision 0, any type", Revision(0, {{5, 17, 8}}), 10, 60, "1:30", 91},
      {"T1 revision 1 time event", Revision(1, {{5, 17, 50}}), 10, 60, "1:30", 91},
      {"T1 revision 1 MV1", Revision(1, {{5, 17, 8}}), 10, 60, "9.0", 60},
      {"T5 by ET.T5", Revision(1, {{5, 33, 50}, {5, 17, 8}}), 18, 0, "0:00", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    SetCellValue(1, 100);  // a segment in use
    SetCellValue(c.onItem, 0);
    SetCellValue(c.onItem + 1, c.offBefore);
    ASSERT_TRUE(SetCell(c.onItem, c.on));
    EXPECT_EQ(CellValue(c.onItem + 1), c.offAfter);
  }
}

TEST_F(UpdateTest, InputTypeAndUnitReapplyTheRangeTable) {
  struct Case {
    const char* what;
    Context context;
    Setting edit;  // typed as text
    int c04, c05, c06, c09, c10;  // input 1 afterwards
  } cases[] = {
      {"C03 to a table input", With({C(2, 0), C(9, -5), C(10, 5)}), C(3, 9), 0, 0, 1800, -5, 5},
      {"C03 to a linear input keeps the limits", With({C(2, 0), C(4, 2), C(5, 11), C(6, 22)}), C(3, 70), 2, 11,
       22, -1999, 9999},
      {"C02 to degrees F", With({C(3, 4), C(4, 1), C(5, -1999), C(6, 3000)}), C(2, 1), 0, -300, 700, -1999,
       9999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    ASSERT_TRUE(core->SetParamText(8, c.edit.item, 1, 0, std::to_string(c.edit.value)));
    EXPECT_EQ(Value(8, 4), c.c04);
    EXPECT_EQ(Value(8, 5), c.c05);
    EXPECT_EQ(Value(8, 6), c.c06);
    EXPECT_EQ(Value(8, 9), c.c09);
    EXPECT_EQ(Value(8, 10), c.c10);
  }

  // Input 2: C23 and C22.
  Apply(Model(0x841, 1, {C(22, 0), C(24, 0), C(25, 0), C(26, 0)}));
  ASSERT_TRUE(core->SetParamText(8, 23, 1, 0, "160"));
  EXPECT_EQ(Value(8, 25), -500);
  EXPECT_EQ(Value(8, 26), 2000);
  EXPECT_EQ(Value(8, 24), 1);
  ASSERT_TRUE(core->SetParamText(8, 22, 1, 0, "1"));
  EXPECT_EQ(Value(8, 25), -500);
  EXPECT_EQ(Value(8, 26), 4000);
  EXPECT_EQ(Value(8, 24), 1);
  EXPECT_EQ(Value(8, 32), -1999);  // the SP2 limits stay
  EXPECT_EQ(Value(8, 33), 9999);
}

TEST_F(UpdateTest, OtherOnOffSettingsWithTheSameItemNumbersTriggerNothing) {
  // PRTC and ED1 are item 2, ED.T1 item 18, ED.T2 item 22, like C02, C18, C22.
  const Setting edits[] = {{3, 2, 1}, {5, 2, 1}, {5, 18, 1}, {5, 22, 1}};
  for (const Setting& e : edits) {
    SCOPED_TRACE(testing::Message() << e.bank << "/" << e.item);
    Apply(Model(0x841, 1, {C(2, 1), C(3, 9), C(4, 3), C(5, 7), C(6, 8), C(18, 1), C(22, 1), C(23, 160),
                           C(24, 3), C(25, 9), C(26, 10)}));
    Set({e.bank, e.item, 0});
    ASSERT_TRUE(core->SetParamText(e.bank, e.item, 1, 0, "1"));
    EXPECT_EQ(Value(8, 4), 3);
    EXPECT_EQ(Value(8, 5), 7);
    EXPECT_EQ(Value(8, 6), 8);
    EXPECT_EQ(Value(8, 24), 3);
    EXPECT_EQ(Value(8, 25), 9);
    EXPECT_EQ(Value(8, 26), 10);
    EXPECT_EQ(core->Model.Loop1OutputWord, 0);
    EXPECT_EQ(core->Model.Loop2OutputWord, 0);
  }
}

TEST_F(UpdateTest, OutputSettingsRederiveTheModel) {
  // Single-loop voltage output: C75 = 0 makes it a current output at once.
  Apply(Model(0x02, 0, {C(75, 1), C(18, 1)}));
  core->ModelCode = "stale";
  ASSERT_TRUE(core->SetParamText(8, 75, 1, 0, "0"));
  EXPECT_EQ(core->Model.HardwareType1, 0x04);
  EXPECT_EQ(Value(8, 96), 0x04);
  EXPECT_NE(core->ModelCode, "stale");
  EXPECT_EQ(core->Model.Loop1OutputWord, 0x2004);

  // 2-loop heat-cool relay + relay: C45 turns on 3-position control.
  Apply(Model(0xC91, 1, {C(44, 0), C(45, 0), C(41, 0), C(18, 0)}));
  ASSERT_TRUE(core->SetParamText(8, 45, 1, 0, "1"));
  EXPECT_EQ(core->Model.Loop1OutputWord, 0x8091);
  EXPECT_EQ(core->Model.Loop2OutputWord, 0x400);
  ASSERT_TRUE(core->SetParamText(8, 41, 1, 0, "1"));
  EXPECT_EQ(core->Model.Loop2OutputWord, 0x2400);
  ASSERT_TRUE(core->SetParamText(8, 44, 1, 0, "1"));
  EXPECT_EQ(core->Model.Loop2OutputWord, 0x8091);

  // Other kind-19 settings do not touch the loop words.
  core->Model.Loop1OutputWord = 0x1234;
  ASSERT_TRUE(core->SetParamText(3, 8, 1, 0, "2"));
  EXPECT_EQ(core->Model.Loop1OutputWord, 0x1234);
}

// Special names per model, revision, event type and language.
TEST_F(UpdateTest, SpecialNames) {
  constexpr uint16_t two = 0x841;
  struct Case {
    const char* what;
    int bank, item;
    Context context;
    int language;
    const char* name;  // nullptr: the catalogue name applies
  } cases[] = {
      {"EV1 PV1 English", 1, 4, With({{5, 1, 0}}), 1, "EV1   :event1 Operating point"},
      {"EV2 Japanese", 1, 6, With({{5, 5, 8}}), 0, "EV2   :ｲﾍﾞﾝﾄ2 動作点"},
      {"EV3 English", 1, 8, With({{5, 9, 51}}), 1, "EV3   :event3 Operating point"},
      {"EV1 time event", 1, 4, With({{5, 1, 50}}), 1, nullptr},
      {"T1 revision 1", 1, 10, Revision(1, {{5, 17, 8}}), 1, "T1    :time event1 Operating point"},
      {"T5 revision 1 Japanese", 1, 18, Revision(1, {{5, 33, 0}}), 0, "T5    :ﾀｲﾑｲﾍﾞﾝﾄ5 動作点"},
      {"T1 time event", 1, 10, Revision(1, {{5, 17, 50}}), 1, nullptr},
      {"T1 revision 0", 1, 10, Revision(0, {{5, 17, 8}}), 1, nullptr},
      {"T1 OFF time", 1, 11, Revision(1, {{5, 17, 8}}), 1, nullptr},
      {"G.S.2 single-loop", 1, 23, Model(0x01, 0), 1, "G.S.TO:GS time-out"},
      {"G.S.2 single-loop Japanese", 1, 23, Model(0x01, 0), 0, "G.S.TO:GSﾀｲﾑｱｳﾄ時間"},
      {"G.S.2 2-loop", 1, 23, Model(two, 1), 1, nullptr},
      {"DIFF heat-cool", 3, 21, Model(0x91, 0), 1, "21:DIFF :Heat/cool control dead zone"},
      {"DIFF heat-cool Japanese", 3, 21, Model(0xC4, 0), 0, "21:DIFF :ﾋｰﾄｸｰﾙ制御ﾃﾞｯﾄﾞｿﾞｰﾝ"},
      {"DIFF position-proportional", 3, 21, Model(0x08, 0), 1, "21:DIFF :Position-proportional dead zone"},
      {"DIFF position-proportional Japanese", 3, 21, Model(0xC08, 1), 0, "21:DIFF :位置比例制御ﾃﾞｯﾄﾞｿﾞｰﾝ"},
      {"DIFF relay", 3, 21, Model(0x01, 0), 1, nullptr},
      {"CY.3 single-loop", 3, 24, Model(0x01, 0), 1, "24:CY.3 :Unused"},
      {"CY.3 2-loop", 3, 24, Model(two, 1), 1, nullptr},
      {"T-BI without carbon", 4, 6, Model(two, 1), 1, " 6:T-BI  :Unused"},
      {"GASS without carbon Japanese", 4, 7, Model(two, 2), 0, " 7:GASS  :未使用"},
      {"GASS carbon", 4, 7, Model(two, 4), 1, nullptr},
      {"C01 2-loop", 8, 1, Model(two, 1), 1, "C01:Control action (CH1)"},
      {"C01 2-loop Japanese", 8, 1, Model(two, 1), 0, "C01:制御動作(CH1)"},
      {"C01 single-loop", 8, 1, Model(0x01, 0), 1, nullptr},
      {"C11 2-loop", 8, 11, Model(two, 1), 1, "C11:PID set auto-switching(CH1)"},
      {"C12 2-loop Japanese", 8, 12, Model(two, 1), 0, "C12:入力1ｵｰﾊﾞｰﾚﾝｼﾞ時操作量設定(MV1)"},
      {"C13 2-loop", 8, 13, Model(two, 1), 1, "C13:MV1 at input 1 overrange"},
      {"C14 2-loop Japanese", 8, 14, Model(two, 1), 0, "C14:MANUAL変更ﾓｰﾄﾞ(MV1)"},
      {"C15 2-loop", 8, 15, Model(two, 1), 1, "C15:Preset manual value(MV1)"},
      {"C18 2-loop Japanese", 8, 18, Model(two, 1), 0, "C18:主出力種類(CH1)"},
      {"C16 2-loop", 8, 16, Model(two, 1), 1, nullptr},
      {"C21 single-loop", 8, 21, Model(0x01, 0), 1, "C21:Unused"},
      {"C28 single-loop Japanese", 8, 28, Model(0x01, 0), 0, "C28:未使用"},
      {"C32 single-loop", 8, 32, Model(0x01, 0), 1, "C32:Unused"},
      {"C32 2-loop", 8, 32, Model(two, 1), 1, nullptr},
      {"C44 single-loop", 8, 44, Model(0x01, 0), 1, "C44:Unused"},
      {"C45 single-loop", 8, 45, Model(0x01, 0), 1, nullptr},
      {"C77 single-loop", 8, 77, Model(0x01, 0), 1, "C77:Unused"},
      {"C80 single-loop", 8, 80, Model(0x01, 0), 1, "C80:Unused"},
      {"C92 single-loop", 8, 92, Model(0x01, 0), 1, "C92:Unused"},
      {"C29 carbon", 8, 29, Model(two, 4), 1, "C29:CP computation compensation"},
      {"C30 carbon Japanese", 8, 30, Model(two, 4), 0, "C30:CP表示下限"},
      {"C31 carbon", 8, 31, Model(two, 4), 1, "C31:CP display upper limit"},
      {"C31 two inputs", 8, 31, Model(two, 1), 1, nullptr},
      {"C46 2-loop", 8, 46, Model(two, 1), 1, "C46:Unused"},
      {"C48 2-loop Japanese", 8, 48, Model(two, 1), 0, "C48:未使用"},
      {"C46 single-loop", 8, 46, Model(0x4001, 0), 1, nullptr},
      {"C49 2-loop", 8, 49, Model(two, 1), 1, "C49:Auxiliary output type"},
      {"C50 2-loop Japanese", 8, 50, Model(two, 1), 0, "C50:補助出力下限(4mA)"},
      {"C51 2-loop", 8, 51, Model(two, 1), 1, "C51:Auxiliary output upper limit(20mA)"},
      {"C94 revision 0", 8, 94, Revision(0), 1, "C94:Unused"},
      {"C94 revision 0 Japanese", 8, 94, Revision(0), 0, "C94:未使用"},
      {"C94 revision 1", 8, 94, Revision(1), 1, nullptr},
      {"constant SP2 single-loop", 10, 3, Model(0x01, 0), 1, " 3:SP2  :Unused"},
      {"constant SP2 single-loop Japanese", 10, 3, Model(0x01, 0), 0, " 3:SP2  :未使用"},
      {"constant SP2 2-loop", 10, 3, Model(two, 1), 1, nullptr},
      {"language 2 takes English", 8, 94, Revision(0), 2, "C94:Unused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    core = std::make_unique<TCore>(c.language);
    Apply(c.context);
    const ParamDescriptor* d = Param(c.bank, c.item);
    ASSERT_NE(d, nullptr);
    std::string name = "untouched";
    EXPECT_EQ(core->GetSpecialName(d, name), c.name != nullptr);
    EXPECT_EQ(name, c.name ? c.name : "untouched");
  }
}

}  // namespace
