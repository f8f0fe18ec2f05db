// Setting-range help texts: every computed kind under the settings, model
// words, revision and neighbouring cells it follows, the fixed kinds in both
// languages, and the texts that must come out empty.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Cp932.h"
#include "RangeTexts.h"
#include "ValueFixture.h"

namespace {

using valuetest::C;
using valuetest::Context;
using valuetest::Loops;
using valuetest::Model;
using valuetest::Revision;
using valuetest::Setting;
using valuetest::With;

constexpr int kJa = 0;
constexpr int kEn = 1;
constexpr uint16_t kTwoLoop = 0x841;  // 2-loop relay + current
constexpr uint16_t kTwoInputs = 0x01;
constexpr uint16_t kTempHumidity = 0x02;
constexpr uint16_t kCarbon = 0x04;
constexpr int kPattern = 2;
constexpr int kSegment = 3;

// A program cell of the tested pattern and segment.
struct CellValue {
  int item;
  int value;
};

// (parameter, context, language) -> text.
struct TextCase {
  const char* what;
  int bank, item, sub;
  Context context;
  std::vector<CellValue> cells;
  int language;
  std::string text;
};

Context TwoLoopWith(std::vector<Setting> settings) { return Model(kTwoLoop, kTwoInputs, std::move(settings)); }

class RangeTextTest : public valuetest::ValueFixture {
 protected:
  void Run(const std::vector<TextCase>& cases) {
    for (const TextCase& c : cases) {
      SCOPED_TRACE(c.what);
      core = std::make_unique<TCore>(c.language);
      Apply(c.context);
      for (const CellValue& cell : c.cells) Cell(kPattern, cell.item, kSegment)->Value = static_cast<int16_t>(cell.value);
      EXPECT_EQ(core->GetRangeText(c.bank, c.item, c.sub, kPattern, 0), c.text);
    }
  }
};

TEST_F(RangeTextTest, NumericRangesFollowLimitsDecimalsAndModel) {
  Run({
      {"0 SP1", 1, 1, 1, With({C(4, 1)}), {}, kEn, "-199.9 to 999.9U"},
      {"0 SP1 ja", 1, 1, 1, With({C(4, 1)}), {}, kJa, "-199.9～999.9U"},
      {"0 constant SP", 10, 2, 1, With({C(4, 1), C(9, 0), C(10, 1200)}), {}, kEn, "0.0 to 120.0U"},
      {"0 SP1 three decimals", 1, 1, 1, With({C(4, 3), C(9, -5), C(10, 12345)}), {}, kEn, "-0.005 to 12.345U"},
      {"2 SP2 input 2", 1, 3, 1, With({C(24, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"2 SP2 temp/humidity", 1, 3, 1, Model(0x841, kTempHumidity, {C(32, 0), C(33, 1000), C(24, 3)}), {}, kEn,
       "0.0 to 100.0U"},
      {"2 constant SP2 carbon", 10, 3, 1, Model(0x841, kCarbon, {C(32, 0), C(33, 1500)}), {}, kJa, "0.000～1.500U"},
      {"9 G.S.", 1, 22, 1, With({C(4, 1)}), {}, kEn, "0.0 to 100.0U"},
      {"9 G.S. ignores C44", 1, 22, 1, TwoLoopWith({C(44, 1), C(24, 2)}), {}, kEn, "0 to 1000U"},
      {"9 DV-L 2-loop C44=1", 3, 25, 1, TwoLoopWith({C(44, 1), C(24, 2)}), {}, kEn, "0.00 to 10.00U"},
      {"9 HY-H 2-loop C44=0", 3, 28, 1, TwoLoopWith({C(4, 1), C(24, 2)}), {}, kEn, "0.0 to 100.0U"},
      {"9 DV-H single-loop C44=1", 3, 26, 1, With({C(44, 1), C(24, 2)}), {}, kEn, "0 to 1000U"},
      {"16 PBI", 3, 4, 1, With({C(4, 1), C(24, 2)}), {}, kEn, "-100.0 to 100.0U"},
      {"16 PBI.2", 4, 2, 1, With({C(4, 1), C(24, 2)}), {}, kEn, "-10.00 to 10.00U"},
      {"16 T-BI", 4, 6, 1, With({C(4, 0), C(24, 2)}), {}, kJa, "-1000～1000U"},
      {"17 SBI", 3, 5, 1, With({C(4, 1)}), {}, kEn, "-199.9 to 999.9U"},
      {"17 CP.17", 3, 19, 1, With({C(4, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"17 table column 2", 9, 1, 2, With({C(4, 1), C(24, 2)}), {}, kEn, "-199.9 to 999.9U"},
      {"17 table column 3", 9, 11, 3, With({C(4, 1), C(24, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"17 C05", 8, 5, 1, With({C(4, 3)}), {}, kEn, "-1.999 to 9.999U"},
      {"17 C26", 8, 26, 1, With({C(4, 0), C(24, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"17 C42 temp/humidity C41=2", 8, 42, 1, Model(0x841, kTempHumidity, {C(41, 2), C(24, 2)}), {}, kEn,
       "-19.99 to 99.99U"},
      {"17 C42 temp/humidity C41=0", 8, 42, 1, Model(0x841, kTempHumidity, {C(24, 2)}), {}, kEn,
       "-199.9 to 999.9U"},
      {"17 C43 carbon", 8, 43, 1, Model(0x841, kCarbon, {C(41, 2), C(24, 0)}), {}, kEn, "-1.999 to 9.999U"},
      {"23 DIFF heat-cool", 3, 21, 1, Model(0x91, 0), {}, kEn, "-100.0 to 50.0%"},
      {"23 DIFF heat-cool ja", 3, 21, 1, Model(0xC4, 0), {}, kJa, "-100.0～50.0%"},
      {"23 DIFF position-proportional", 3, 21, 1, Model(0x08, 0), {}, kEn, "0.5 to 25.0%"},
      {"23 DIFF relay", 3, 21, 1, Model(0x01, 0, {C(4, 1)}), {}, kEn, "0.0 to 100.0U"},
      {"31 SBI.2 temp/humidity", 4, 3, 1, Model(0x841, kTempHumidity), {}, kEn, "-100.0 to 100.0%"},
      {"31 SBI.2 carbon", 4, 3, 1, Model(0x841, kCarbon), {}, kEn, "-1.000 to 1.000"},
      {"31 SBI.2 two inputs", 4, 3, 1, TwoLoopWith({C(24, 0)}), {}, kEn, "-1000 to 1000U"},
      {"34 CP.21 temp/humidity", 4, 16, 1, Model(0x841, kTempHumidity), {}, kJa, "-199.9～999.9%"},
      {"34 CP.27 two inputs", 4, 22, 1, TwoLoopWith({C(24, 1)}), {}, kEn, "-199.9 to 999.9U"},
      {"52 C09 up to C10", 8, 9, 1, With({C(4, 1), C(10, 500)}), {}, kEn, "-199.9 to 50.0U"},
      {"53 C10 from C09", 8, 10, 1, With({C(4, 2), C(9, -100)}), {}, kEn, "-1.00 to 99.99U"},
      {"58 C32 temp/humidity", 8, 32, 1, Model(0x841, kTempHumidity, {C(33, 1000)}), {}, kEn, "0.0 to 100.0"},
      {"58 C32 carbon", 8, 32, 1, Model(0x841, kCarbon, {C(33, 1500)}), {}, kEn, "0.000 to 1.500"},
      {"58 C32 plain", 8, 32, 1, With({C(24, 1), C(33, 5000)}), {}, kEn, "-199.9 to 500.0U"},
      {"59 C33 carbon C23=224", 8, 33, 1, Model(0x841, kCarbon, {C(32, 100), C(23, 224)}), {}, kEn,
       "0.100 to 1.500"},
      {"59 C33 carbon C23=225", 8, 33, 1, Model(0x841, kCarbon, {C(32, 100), C(23, 225)}), {}, kEn,
       "0.100 to 2.000"},
      {"59 C33 temp/humidity", 8, 33, 1, Model(0x841, kTempHumidity, {C(32, 0)}), {}, kJa, "0.0～100.0"},
      {"59 C33 plain", 8, 33, 1, With({C(24, 0), C(32, -50)}), {}, kEn, "-50 to 9999U"},
      {"61 C47 MV1", 8, 47, 1, With({C(46, 3)}), {}, kEn, "-199.9 to 999.9%"},
      {"61 C48 PVq", 8, 48, 1, With({C(46, 11), C(4, 2)}), {}, kEn, "-1999 to 9999mV"},
      {"61 C50 PV1", 8, 50, 1, With({C(49, 0), C(4, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"61 C51 SP2 temp/humidity", 8, 51, 1, Model(0x841, kTempHumidity, {C(49, 5)}), {}, kEn,
       "-199.9 to 999.9U"},
      {"61 C47 type outside the table", 8, 47, 1, With({C(46, 12), C(4, 2)}), {}, kEn, "-1999 to 9999U"},
      {"77 G.S.2 2-loop", 1, 23, 1, TwoLoopWith({C(24, 1)}), {}, kEn, "0.0 to 100.0U"},
      {"77 G.S.2 single-loop", 1, 23, 1, With({C(64, 2)}), {}, kEn, "0.0 to 599.9s"},
  });
}

TEST_F(RangeTextTest, TimeRangesFollowTheProgramTimeUnit) {
  Run({
      {"1 TIME h:min", 1, 2, 1, With({C(64, 0)}), {}, kEn, "00:00 to 99:59h:min"},
      {"1 TIME min:s", 1, 2, 1, With({C(64, 1)}), {}, kEn, "00:00 to 99:59min:s"},
      {"1 TIME 0.1 s", 1, 2, 1, With({C(64, 2)}), {}, kEn, "0.0 to 599.9s"},
      {"1 TIME other unit", 1, 2, 1, With({C(64, -1)}), {}, kEn, "0.0 to 599.9s"},
      {"1 TIME h:min ja", 1, 2, 1, With({C(64, 0)}), {}, kJa, "00:00～99:59h:min"},
      {"1 TIME min:s ja", 1, 2, 1, With({C(64, 1)}), {}, kJa, "00:00～99:59min:s"},
      {"1 TIME 0.1 s ja", 1, 2, 1, With({C(64, 7)}), {}, kJa, "0.0～599.9s"},
      {"4 EV1 OFF after 89 h:min", 1, 5, kSegment, With({C(64, 0)}), {{4, 89}}, kEn, "1:30 to 99:59h:min"},
      {"4 EV2 OFF after 0 min:s", 1, 7, kSegment, With({C(64, 1)}), {{6, 0}}, kEn, "0:01 to 99:59min:s"},
      {"4 EV3 OFF after 89 ja", 1, 9, kSegment, With({C(64, 0)}), {{8, 89}}, kJa, "1:30～99:59h:min"},
      {"4 EV1 OFF after 5999", 1, 5, kSegment, With({C(64, 1)}), {{4, 5999}}, kEn, "100:00 to 99:59min:s"},
      {"6 T2 OFF after 89 h:min", 1, 13, kSegment, With({C(64, 0)}), {{12, 89}}, kEn, "1:30 to 99:59h:min"},
      {"6 T2 OFF after 89 0.1 s", 1, 13, kSegment, With({C(64, 2)}), {{12, 89}}, kEn, "9.0 to 599.9s"},
      {"6 T5 OFF after 89 0.1 s ja", 1, 19, kSegment, With({C(64, 2)}), {{18, 89}}, kJa, "9.0～599.9s"},
      {"6 T1 OFF after 32766", 1, 11, kSegment, With({C(64, 2)}), {{10, 32766}}, kEn, "3276.7 to 599.9s"},
      {"6 T1 OFF after -5", 1, 11, kSegment, With({C(64, 2)}), {{10, -5}}, kEn, "-0.4 to 599.9s"},
      {"76 C64 revision 0", 8, 64, 1, Revision(0), {}, kEn, "0 to 1"},
      {"76 C64 revision 1", 8, 64, 1, Revision(1), {}, kJa, "0～2"},
  });
}

TEST_F(RangeTextTest, EventTypeRangesFollowTheEventType) {
  Run({
      {"3 EV1 time event", 1, 4, 1, With({{5, 1, 50}, C(64, 1)}), {}, kEn, "00:00 to 99:59min:s"},
      {"3 EV1 time event 0.1 s", 1, 4, 1, With({{5, 1, 50}, C(64, 2)}), {}, kEn, "0.0 to 599.9s"},
      {"3 EV1 MV1", 1, 4, 1, With({{5, 1, 8}}), {}, kEn, "-10.0 to 110.0%"},
      {"3 EV1 MV1 ja", 1, 4, 1, With({{5, 1, 8}}), {}, kJa, "-10.0～110.0%"},
      {"3 EV1 absolute deviation 1", 1, 4, 1, With({{5, 1, 4}, C(4, 0)}), {}, kEn, "0 to 9999U"},
      {"3 EV1 PV1", 1, 4, 1, With({{5, 1, 0}, C(4, 2)}), {}, kEn, "-19.99 to 99.99U"},
      {"3 EV2 absolute deviation 2", 1, 6, 1, With({{5, 5, 17}, C(4, 3), C(24, 1)}), {}, kEn, "0.0 to 999.9U"},
      {"3 EV3 MV2", 1, 8, 1, With({{5, 9, 21}}), {}, kEn, "-10.0 to 110.0%"},
      {"3 EV3 type of EV1 not used", 1, 8, 1, With({{5, 1, 8}, {5, 9, 0}}), {}, kEn, "-1999 to 9999U"},
      {"5 T1 revision 0 MV type", 1, 10, 1, Revision(0, {{5, 17, 8}, C(64, 0)}), {}, kEn, "00:00 to 99:59h:min"},
      {"5 T1 revision 0 PV type", 1, 10, 1, Revision(0, {{5, 17, 0}, C(64, 2)}), {}, kJa, "0.0～599.9s"},
      {"5 T1 MV1", 1, 10, 1, With({{5, 17, 11}}), {}, kEn, "-10.0 to 110.0%"},
      {"5 T2 time event", 1, 12, 1, With({{5, 21, 50}, C(64, 0)}), {}, kEn, "00:00 to 99:59h:min"},
      {"5 T3 PV2 temp/humidity", 1, 14, 1, Model(0x841, kTempHumidity, {{5, 25, 12}}), {}, kEn,
       "-199.9 to 999.9U"},
      {"5 T5 absolute deviation 1", 1, 18, 1, With({{5, 33, 5}}), {}, kEn, "0 to 9999U"},
      {"36 HYS1 MFB", 5, 3, 1, With({{5, 1, 9}}), {}, kEn, "0.0 to 20.0%"},
      {"36 HYS1 MFB ja", 5, 3, 1, With({{5, 1, 9}}), {}, kJa, "0.0～20.0%"},
      {"36 HY.T1 PV1", 5, 19, 1, With({{5, 17, 0}, C(4, 1)}), {}, kEn, "0.0 to 20.0U"},
      {"36 HYS2 time event has no time range", 5, 7, 1, With({{5, 5, 50}, C(4, 0)}), {}, kEn, "0 to 200U"},
      {"36 HY.T5 absolute deviation", 5, 35, 1, With({{5, 33, 4}, C(4, 0)}), {}, kEn, "0 to 200U"},
      {"75 EV1 setting time event", 10, 4, 1, With({{5, 1, 50}, C(4, 1)}), {}, kEn, "-199.9 to 999.9U"},
      {"75 EV2 setting MFB", 10, 5, 1, With({{5, 5, 10}}), {}, kEn, "-10.0 to 110.0%"},
      {"75 EV3 setting absolute deviation 2", 10, 6, 1, With({{5, 9, 16}, C(24, 0)}), {}, kJa, "0～9999U"},
  });
}

TEST_F(RangeTextTest, ModelWordsAndSpecialFunctionsChooseTheText) {
  Run({
      {"7 PID1 heat-cool loop", 1, 20, 1, Loops(0x80, 0), {}, kEn, "0 to 4"},
      {"7 PID1 ja", 1, 20, 1, Loops(0x80, 0), {}, kJa, "0～4"},
      {"7 PID1 loop 2 heat-cool only", 1, 20, 1, Loops(0x01, 0x80), {}, kEn, "0 to 8"},
      {"8 PID2 heat-cool loop", 1, 21, 1, Loops(0, 0x80), {}, kEn, "0 to 4"},
      {"8 PID2 ja", 1, 21, 1, Loops(0x80, 0x04), {}, kJa, "0～8"},
      {"10 P.STA 2-loop", 1, 24, 1, TwoLoopWith({}), {}, kEn, "0 to 2"},
      {"10 P.STA single-loop", 1, 24, 1, Model(0x01, 0), {}, kJa, "0～1"},
      {"24 CY.1 relay", 3, 22, 1, Model(0x01, 0), {}, kEn, "5 to 120s"},
      {"24 CY.1 voltage", 3, 22, 1, Model(0x02, 0), {}, kJa, "1～60s"},
      {"24 CY.1 current", 3, 22, 1, Model(0x04, 0), {}, kEn, ""},
      {"25 CY.2 relay", 3, 23, 1, Model(0x91, 0), {}, kEn, "5 to 120s"},
      {"25 CY.2 voltage", 3, 23, 1, Model(0xA2, 0), {}, kEn, "1 to 60s"},
      {"25 CY.2 no output 2", 3, 23, 1, Model(0x01, 0), {}, kEn, ""},
      {"39 P relay", 6, 1, 3, Model(0x01, 0), {}, kEn, "0.0 to 999.9%, 0.0=ON-OFF control"},
      {"39 P voltage ja", 6, 1, 1, Model(0x02, 0), {}, kJa, "0.0～999.9%, 0.0=ON-OFF制御"},
      {"39 P. auxiliary bits outside the code", 10, 11, 1, Model(0xC001, 0), {}, kEn,
       "0.0 to 999.9%, 0.0=ON-OFF control"},
      {"39 P bit 0x100 is no part of the code", 6, 1, 1, Model(0x0101, 0), {}, kEn,
       "0.0 to 999.9%, 0.0=ON-OFF control"},
      {"39 P bit 0x200 is part of the code", 6, 1, 1, Model(0x0201, 0), {}, kEn, "0.1 to 999.9%"},
      {"39 P current", 6, 1, 8, Model(0x04, 0), {}, kEn, "0.1 to 999.9%"},
      {"39 P 2-loop", 6, 1, 1, Model(0x801, kTwoInputs), {}, kJa, "0.1～999.9%"},
      {"55 C23 carbon", 8, 23, 1, Model(0x841, kCarbon), {}, kEn, "224 to 230"},
      {"55 C23 other", 8, 23, 1, TwoLoopWith({}), {}, kJa, "128～193"},
  });
}

TEST_F(RangeTextTest, PidTimeConstantsSwitchWithSpecialFunctions) {
  struct Texts {
    int kind;
    int bank, item, sub;
    const char* en[3];  // tenths, hundredths, whole seconds
    const char* ja[3];
  };
  const Texts rows[] = {
      {40, 6, 2, 4,
       {"0.0 to 360.0s, 0.0=disables integrating action.", "0.00 to 36.00s, 0.00=disables integrating action.",
        "0 to 3600s, 0=disables integrating action."},
       {"0.0～360.0s, 0.0=積分動作なし", "0.00～36.00s, 0.00=積分動作なし", "0～3600s, 0=積分動作なし"}},
      {41, 7, 3, 2,
       {"0.0 to 120.0s, 0.0=disables derivative action.", "0.00 to 12.00s, 0.00=disables derivative action.",
        "0 to 1200s, 0=disables derivative action."},
       {"0.0～120.0s, 0.0=微分動作なし", "0.00～12.00s, 0.00=微分動作なし", "0～1200s, 0=微分動作なし"}},
      {48, 10, 40, 1,
       {"0.0 to 120.0s, 0.0=disables derivative action.", "0.00 to 12.00s, 0.00=disables derivative action.",
        "0 to 1200s, 0=disables derivative action."},
       {"0.0～120.0s, 0.0=微分動作なし", "0.00～12.00s, 0.00=微分動作なし", "0～1200s, 0=微分動作なし"}},
      {47, 6, 9, 8, {"0.1 to 360.0s", "0.01 to 36.00s", "1 to 3600s"}, {"0.1～360.0s", "0.01～36.00s", "1～3600s"}},
  };
  const std::pair<int, int> specials[] = {{104, 0}, {114, 0}, {105, 1}, {115, 1}, {0, 2},
                                          {103, 2}, {106, 2}, {255, 2}, {-104, 2}};
  for (const Texts& row : rows) {
    for (auto [special, column] : specials) {
      for (int language : {kJa, kEn}) {
        SCOPED_TRACE("kind " + std::to_string(row.kind) + " C90=" + std::to_string(special) + " language " +
                     std::to_string(language));
        core = std::make_unique<TCore>(language);
        Apply(With({C(90, special)}));
        ASSERT_EQ(Param(row.bank, row.item, row.sub)->RangeTextKind, row.kind);
        EXPECT_EQ(core->GetRangeText(row.bank, row.item, row.sub, kPattern, 0),
                  language == kJa ? row.ja[column] : row.en[column]);
      }
    }
  }
}

TEST_F(RangeTextTest, NeighbouringValuesAreWrittenAsComputed) {
  Run({
      {"28 M.-CL below 500", 3, 31, 1, With({{3, 32, 300}}), {}, kEn, "0 to -200"},
      {"28 M.-CL ja", 3, 31, 1, With({{3, 32, 2500}}), {}, kJa, "0～2000"},
      {"29 M.-OP above 9999", 3, 32, 1, With({{3, 31, 9600}}), {}, kEn, "10100 to 9999"},
      {"29 M.-OP at the 16-bit top", 3, 32, 1, With({{3, 31, 32767}}), {}, kJa, "33267～9999"},
      {"42 OL beside OH 1000", 6, 4, 3, With({{6, 5, 1000, 3}, {6, 5, 500, 1}}), {}, kEn, "-10.0 to 100.0%"},
      {"42 OL.2 beside OH.2", 7, 4, 5, With({{7, 5, 955, 5}}), {}, kJa, "-10.0～95.5%"},
      {"42 OL.-C beside OH.-C", 10, 24, 1, With({{10, 25, 1100}}), {}, kEn, "-10.0 to 110.0%"},
      {"43 OH beside OL 0", 6, 5, 1, With({{6, 4, 0, 1}}), {}, kEn, "0.0 to 110.0%"},
      {"43 OH.2C beside a negative OL", 10, 45, 1, With({{10, 44, -5}}), {}, kEn, "-0.5 to 110.0%"},
      {"43 OH.2 ja", 7, 5, 8, With({{7, 4, 125, 8}}), {}, kJa, "12.5～110.0%"},
      {"56 C30 up to C31", 8, 30, 1, With({C(31, 1500)}), {}, kEn, "0.000 to 1.500"},
      {"56 C30 ja", 8, 30, 1, With({C(31, 4000)}), {}, kJa, "0.000～4.000"},
      {"57 C31 C23=224", 8, 31, 1, With({C(30, 250), C(23, 224)}), {}, kEn, "0.250 to 1.500"},
      {"57 C31 other C23", 8, 31, 1, With({C(30, 250), C(23, 128)}), {}, kEn, "0.250 to 4.000"},
      {"57 C31 ja", 8, 31, 1, With({C(30, -1), C(23, 224)}), {}, kJa, "-0.001～1.500"},
  });
}

TEST_F(RangeTextTest, FixedKindsIgnoreTheValue) {
  Run({
      {"11 CYCL", 1, 25, 1, {}, {}, kEn, "0 to 9999, 0=Cycle disabled"},
      {"11 CYCL ja", 1, 25, 1, {}, {}, kJa, "0～9999, 0=ｻｲｸﾙ運転はおこなわない"},
      {"12 P.LIN ja", 1, 26, 1, {}, {}, kJa, "0～19, 0=ﾘﾝｸしない"},
      {"14 C01", 8, 1, 1, {}, {}, kEn, "0 to 1"},
      {"18 OTL.2 ja", 4, 8, 1, {}, {}, kJa, "0.0～10.0%(0.1sごと), 0.0=変化ﾘﾐｯﾄなし"},
      {"18 OTL", 3, 6, 1, {}, {}, kEn, "0.0 to 10.0%(0.1s steps), 0.0=disables the limit."},
      {"27 M.-AT ja", 3, 30, 1, {}, {}, kJa, "（なし）"},
      {"50 C03", 8, 3, 1, With({C(3, 5)}), {}, kEn, "0 to 73"},
      {"50 C03 out of range", 8, 3, 1, With({C(3, 999)}), {}, kEn, "0 to 73"},
      {"50 C03 ja", 8, 3, 1, With({C(3, 60)}), {}, kJa, "0～73"},
      {"54 C13 with input 1 decimals invalid", 8, 13, 1, With({C(4, 9)}), {}, kEn, "-10 to 110%"},
      {"65 placeholder", 5, 14, 1, {}, {}, kEn, "(None)"},
      {"65 C00 ja", 8, 100, 1, {}, {}, kJa, "（なし）"},
      {"68 C91", 8, 91, 1, {}, {}, kEn, "-19.99 to 20.00"},
      {"73 C99", 8, 99, 1, {}, {}, kEn, "(None)"},
      {"73 C99 ja", 8, 99, 1, {}, {}, kJa, "（なし）"},
      {"74 table column 5", 9, 3, 5, {}, {}, kEn, "0.000 to 4.000"},
      {"74 table column 6 ja", 9, 11, 6, With({C(24, 7)}), {}, kJa, "0.000～4.000"},
  });
}

// A decimal-point setting outside 0..3 (negative included) leaves no text for
// any value that takes its decimals from it.
TEST_F(RangeTextTest, InvalidDecimalPointGivesTheEmptyText) {
  struct Target {
    const char* what;
    int bank, item, sub;
    std::vector<Setting> extra;
  };
  const Target input1[] = {
      {"0 SP1", 1, 1, 1, {}},
      {"0 constant SP", 10, 2, 1, {}},
      {"3 EV1 PV1", 1, 4, 1, {{5, 1, 0}}},
      {"3 EV1 absolute deviation 1", 1, 4, 1, {{5, 1, 4}}},
      {"5 T1 PV1", 1, 10, 1, {{5, 17, 2}}},
      {"9 G.S.", 1, 22, 1, {}},
      {"9 DV-L", 3, 25, 1, {}},
      {"16 PBI", 3, 4, 1, {}},
      {"17 SBI", 3, 5, 1, {}},
      {"17 C06", 8, 6, 1, {}},
      {"17 table column 1", 9, 4, 1, {}},
      {"23 DIFF", 3, 21, 1, {}},
      {"36 HYS3", 5, 11, 1, {{5, 9, 1}}},
      {"52 C09", 8, 9, 1, {}},
      {"53 C10", 8, 10, 1, {}},
      {"61 C48 SP1", 8, 48, 1, {C(46, 1)}},
      {"75 EV1 setting", 10, 4, 1, {{5, 1, 50}}},
  };
  const Target input2[] = {
      {"2 SP2", 1, 3, 1, {}},
      {"3 EV2 PVw", 1, 6, 1, {{5, 5, 22}}},
      {"16 PBI.2", 4, 2, 1, {}},
      {"17 C25", 8, 25, 1, {}},
      {"17 table column 4", 9, 7, 4, {}},
      {"31 SBI.2", 4, 3, 1, {}},
      {"34 CP.24", 4, 19, 1, {}},
      {"58 C32", 8, 32, 1, {}},
      {"59 C33", 8, 33, 1, {}},
      {"61 C51 SPw", 8, 51, 1, {C(49, 10)}},
      {"77 G.S.2 2-loop", 1, 23, 1, {}},
  };
  for (int bad : {4, 5, 32767, -1, -32768}) {
    for (int language : {kJa, kEn}) {
      core = std::make_unique<TCore>(language);
      for (const Target& p : input1) {
        SCOPED_TRACE(std::string(p.what) + " C04=" + std::to_string(bad));
        Context c = With(p.extra);
        c.settings.push_back(C(4, bad));
        Apply(c);
        EXPECT_EQ(core->GetRangeText(p.bank, p.item, p.sub, kPattern, 0), "");
        // The same parameter with a valid setting has a text.
        Set(C(4, 3));
        EXPECT_NE(core->GetRangeText(p.bank, p.item, p.sub, kPattern, 0), "");
      }
      for (const Target& p : input2) {
        SCOPED_TRACE(std::string(p.what) + " C24=" + std::to_string(bad));
        Context c = TwoLoopWith(p.extra);
        c.settings.push_back(C(24, bad));
        Apply(c);
        EXPECT_EQ(core->GetRangeText(p.bank, p.item, p.sub, kPattern, 0), "");
        Set(C(24, 0));
        EXPECT_NE(core->GetRangeText(p.bank, p.item, p.sub, kPattern, 0), "");
      }
    }
  }
  // Input 2 decimals do not reach the SP2 side of a temperature/humidity or
  // carbon potential model, nor the percent texts of MV event types.
  Apply(Model(0x841, kTempHumidity, {C(24, 9), C(4, 9), {5, 1, 8}}));
  EXPECT_EQ(core->GetRangeText(1, 3, 1, kPattern, 0), "-199.9 to 999.9U");
  EXPECT_EQ(core->GetRangeText(1, 4, 1, kPattern, 0), "-10.0 to 110.0%");
  Apply(Model(0x841, kCarbon, {C(24, -1)}));
  EXPECT_EQ(core->GetRangeText(4, 3, 1, kPattern, 0), "-1.000 to 1.000");
}

// An OFF time whose ON time is empty, or whose ON-time cell does not exist,
// has no text: nothing wraps, nothing outside the pattern data is read.
TEST_F(RangeTextTest, MissingOrEmptyOnTimeGivesTheEmptyText) {
  const int offItems[] = {5, 7, 9, 11, 13, 15, 17, 19};
  for (int language : {kJa, kEn}) {
    core = std::make_unique<TCore>(language);
    for (int unit : {0, 1, 2}) {
      Apply(With({C(64, unit)}));
      for (int item : offItems) {
        SCOPED_TRACE("item " + std::to_string(item) + " unit " + std::to_string(unit));
        PatternSlot* on = Cell(kPattern, item - 1, kSegment);
        on->Value = 32767;
        EXPECT_EQ(core->GetRangeText(1, item, kSegment, kPattern, 0), "");
        on->Value = 100;
        EXPECT_NE(core->GetRangeText(1, item, kSegment, kPattern, 0), "");
        // Cells that do not exist: segment 0 and 31, pattern 0 and 20.
        for (auto [pattern, segment] : {std::pair{kPattern, 0}, std::pair{kPattern, 31}, std::pair{0, kSegment},
                                        std::pair{20, kSegment}, std::pair{-1, kSegment}, std::pair{kPattern, -1}}) {
          EXPECT_EQ(core->GetRangeText(1, item, segment, pattern, 0), "") << pattern << "/" << segment;
        }
      }
    }
  }
  // The neighbour is the ON time of the same pattern and segment.
  Apply(With({C(64, 2)}));
  Cell(kPattern, 10, kSegment)->Value = 32767;
  Cell(kPattern, 10, kSegment + 1)->Value = 0;
  Cell(kPattern + 1, 10, kSegment)->Value = 0;
  EXPECT_EQ(core->GetRangeText(1, 11, kSegment, kPattern, 0), "");
  EXPECT_EQ(core->GetRangeText(1, 11, kSegment + 1, kPattern, 0), "0.1 to 599.9s");
  EXPECT_EQ(core->GetRangeText(1, 11, kSegment, kPattern + 1, 0), "0.1 to 599.9s");
  // Texts that read no cell do not need one.
  EXPECT_EQ(core->GetRangeText(1, 2, kSegment, 0, 0), "0.0 to 599.9s");
}

TEST_F(RangeTextTest, NoRecordOrNoKindGivesTheEmptyText) {
  Apply({});
  const int lookups[][5] = {
      {2, 1, 1, kPattern, 0},   // a heading node
      {8, 101, 1, kPattern, 0}, // beyond the items
      {8, 0, 1, kPattern, 0},
      {6, 1, 9, kPattern, 0},   // PID set 9
      {1, 27, 1, kPattern, 0},  // program item 27
      {1, 1, 31, kPattern, 0},  // segment 31
      {-1, 1, 1, kPattern, 0},
      {32, 1, 1, kPattern, 0},
      {8, 3, 1, kPattern, 1},   // another entry kind
  };
  for (const auto& l : lookups) {
    EXPECT_EQ(core->GetRangeText(l[0], l[1], l[2], l[3], static_cast<uint16_t>(l[4])), "")
        << l[0] << "/" << l[1] << "/" << l[2] << " entry " << l[4];
  }
  ParamDescriptor* c03 = Param(8, 3);
  ASSERT_NE(c03, nullptr);
  for (uint8_t kind : {uint8_t{78}, uint8_t{100}, uint8_t{255}}) {
    c03->RangeTextKind = kind;
    EXPECT_EQ(core->GetRangeText(8, 3, 1, kPattern, 0), "") << int{kind};
  }
  // A record that carries another kind takes that kind's text.
  c03->RangeTextKind = 74;
  EXPECT_EQ(core->GetRangeText(8, 3, 1, kPattern, 0), "0.000 to 4.000");
  c03->RangeTextKind = 76;
  EXPECT_EQ(core->GetRangeText(8, 3, 1, kPattern, 0), "0 to 2");
}

TEST_F(RangeTextTest, FixedTableHoldsThirtyNineKindsInOrder) {
  static_assert(sizeof kFixedRangeTexts / sizeof kFixedRangeTexts[0] == 39);
  const std::set<int> computed = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 16, 17, 23, 24, 25, 28, 29, 31, 34,
                                  36, 39, 40, 41, 42, 43, 47, 48, 52, 53, 55, 56, 57, 58, 59, 61, 75, 76, 77};
  ASSERT_EQ(computed.size(), 39u);
  std::set<int> fixed;
  int previous = -1;
  for (const FixedRangeText& t : kFixedRangeTexts) {
    EXPECT_GT(t.Kind, previous);
    previous = t.Kind;
    EXPECT_LE(t.Kind, kLastRangeTextKind);
    EXPECT_EQ(computed.count(t.Kind), 0u) << int{t.Kind};
    EXPECT_EQ(std::string(t.English).find("～"), std::string::npos) << int{t.Kind};
    EXPECT_EQ(std::string(t.Japanese).find(" to "), std::string::npos) << int{t.Kind};
    fixed.insert(t.Kind);
  }
  EXPECT_EQ(fixed.size() + computed.size(), static_cast<size_t>(kLastRangeTextKind + 1));
}

// Under a context where every computed rule has its inputs, every record of
// the catalogue has a text in both languages, and the catalogue carries every
// kind 0..77.
TEST_F(RangeTextTest, EveryCatalogueRecordHasATextInBothLanguages) {
  for (int language : {kJa, kEn}) {
    core = std::make_unique<TCore>(language);
    Apply(Model(0x91, 0, {C(4, 1), C(24, 1)}));
    for (int item = 1; item <= kSegmentItemCount; ++item) Cell(kPattern, item, kSegment)->Value = 10;
    std::set<int> kinds;
    auto check = [&](const ParamDescriptor& d, int sub) {
      kinds.insert(d.RangeTextKind);
      const std::string text = core->GetRangeText(d.Bank, d.Item, sub, kPattern, 0);
      EXPECT_NE(text, "") << d.NameEn;
      if (language == kJa) {
        EXPECT_EQ(text.find(" to "), std::string::npos) << text;
      } else {
        EXPECT_EQ(text.find("～"), std::string::npos) << text;
      }
    };
    for (int i = 0; i < kProgramItemCount; ++i) check(*core->ProgramItemRecord(i), kSegment);
    for (int i = 0; i < kSetupParamCount; ++i) check(*core->SetupRecord(i), core->SetupRecord(i)->Sub);
    EXPECT_EQ(kinds.size(), static_cast<size_t>(kLastRangeTextKind + 1));
    EXPECT_EQ(*kinds.begin(), 0);
    EXPECT_EQ(*kinds.rbegin(), kLastRangeTextKind);
  }
}

TEST_F(RangeTextTest, JapaneseSeparatorIsTheCp932WaveDash) {
  core = std::make_unique<TCore>(kJa);
  Apply(Loops(0x80, 0));
  EXPECT_EQ(kvl::ToCp932(core->GetRangeText(1, 20, 1, kPattern, 0)), "0\x81\x60" "4");
  Apply(With({C(4, 1)}));
  EXPECT_EQ(kvl::ToCp932(core->GetRangeText(1, 1, 1, kPattern, 0)), "-199.9\x81\x60" "999.9U");
  EXPECT_EQ(kvl::ToCp932(core->GetRangeText(8, 99, 1, kPattern, 0)), "\x81\x69\x82\xc8\x82\xb5\x81\x6a");
  // Half-width katakana stay one byte each.
  EXPECT_EQ(kvl::ToCp932(core->GetRangeText(1, 26, 1, kPattern, 0)), "0\x81\x60" "19, 0=\xd8\xdd\xb8\x82\xb5\x82\xc8\x82\xa2");
}

}  // namespace
