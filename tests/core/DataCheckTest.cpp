#include "DataCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UCore.h"

namespace {

// The wizard's choice of a variant: basic model, output type, auxiliary
// output, option 2 (indexes of its lists).
struct Choice {
  int basic, output, aux, option2;
};

class DataCheckTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core;

  // A default image of the variant, as the wizard leaves it.
  void MakeImage(int language, Choice c = {0, 0, 0, 0}) {
    static constexpr int32_t kGroups[] = {1, 2, 0};
    core = std::make_unique<TCore>(language);
    core->Model.ControlsToModel(1, c.basic, c.output, c.aux, c.option2);
    core->Model.ApplyModelDefaults();
    core->SetDefaults(kGroups, true);
    core->Model.UpdateModelFlags();
    core->BuildModelCode();
  }

  // Pattern's segments 1..count in use: SP1 100, TIME 1:00, as typed.
  void UseSegments(int pattern, int count) {
    for (int s = 1; s <= count; ++s) {
      ASSERT_TRUE(core->SetParamText(1, 1, s, pattern, "100"));
      ASSERT_TRUE(core->SetParamText(1, 2, s, pattern, "1:00"));
    }
  }

  void SetCell(int pattern, int item, int segment, int value) {
    PatternSlot* cell = core->PatternSlotPtr(pattern, item, segment);
    ASSERT_NE(cell, nullptr);
    cell->Value = static_cast<int16_t>(value);
  }
  void SetParam(int bank, int item, int sub, int value) {
    ParamDescriptor* d = core->GetParam(bank, item, sub, 0);
    ASSERT_NE(d, nullptr);
    d->Value = static_cast<int16_t>(value);
  }

  // Everything a check could change: setup values, every cell with its second
  // copy, model words, model code and group sizes.
  std::vector<int> Fingerprint() {
    std::vector<int> f;
    for (int i = 0; i < core->GetParamCount(); ++i) f.push_back(core->SetupRecord(i)->Value);
    for (int p = 1; p <= core->GetPatternCount(); ++p)
      for (int item = 1; item <= kProgramItemCount; ++item)
        for (int s = 1; s <= 30; ++s)
          if (const PatternSlot* cell = core->PatternSlotPtr(p, item, s)) {
            f.push_back(cell->Value);
            f.push_back(cell->SecondValue);
          }
    const TModelWords& m = core->Model;
    for (int w : {m.HardwareType1, m.HardwareType2, m.Loop1OutputWord, m.Loop2OutputWord, m.AuxWord, m.OutputWord,
                  m.Option2Word, m.BasicWord})
      f.push_back(w);
    for (char c : core->ModelCode) f.push_back(c);
    for (int k = 0; k < kTreeNodeCount; ++k) {
      f.push_back(static_cast<int>(core->TreeNode(k)->RowCount));
      f.push_back(static_cast<int>(core->TreeNode(k)->ColumnCount));
    }
    return f;
  }

  DataCheckResult Check(bool programs = true, bool parameters = true) {
    return CheckDataImage(*core, programs, parameters, DefaultProgramNumbers(*core));
  }
};

std::vector<std::string> Lines(const DataCheckResult& r) {
  std::vector<std::string> lines;
  for (const DataCheckFailure& f : r.Failures) lines.push_back(f.Line);
  return lines;
}

TEST(DataCheckLines, FixedColumnsCountCp932Bytes) {
  struct Case {
    std::string line, expected;
  } cases[] = {
      {ProgramFailureLine(1, "Program", 3, "SP1   :SP1", 5),
       "    1 : Program -  3   : SP1   :SP1                          :   5"},
      // Half-width katakana are one byte each, other Japanese characters two.
      {ProgramFailureLine(12, "ﾌﾟﾛｸﾞﾗﾑ", 19, "CYCL  :ｻｲｸﾙ", 1),
       "   12 : ﾌﾟﾛｸﾞﾗﾑ - 19   : CYCL  :ｻｲｸﾙ                         :   1"},
      {SetupFailureLine(3, "PID parameter", " 1:P :Proportional band(PID set 1)", 8),
       "    3 : PID parameter  :  1:P :Proportional band(PID set 1)  :   8"},
      {SetupFailureLine(99999, "PIDﾊﾟﾗﾒｰﾀ", " 1:P :比例帯1", 2),
       "99999 : PIDﾊﾟﾗﾒｰﾀ      :  1:P :比例帯1                       :   2"},
      // Longer names are not cut.
      {SetupFailureLine(2, "Constant-value operation data", std::string(40, 'x'), 1),
       "    2 : Constant-value operation data : " + std::string(40, 'x') + " :   1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.line, c.expected);
}

// A default image, with some program segments in use, checks clean and is
// left as it was.
TEST_F(DataCheckTest, DefaultImagesCheckClean) {
  const Choice choices[] = {{0, 0, 0, 0}, {0, 3, 1, 2}, {1, 0, 0, 1}, {2, 2, 2, 0}, {3, 1, 0, 2}, {3, 4, 1, 1}};
  for (int language : {0, 1}) {
    for (const Choice& c : choices) {
      SCOPED_TRACE(testing::Message() << language << ": " << c.basic << c.output << c.aux << c.option2);
      MakeImage(language, c);
      UseSegments(1, 3);
      UseSegments(19, 30);
      ASSERT_TRUE(core->SetParamText(1, 4, 2, 1, "50"));  // an event ON point
      const std::vector<int> before = Fingerprint();
      const DataCheckResult r = Check();
      EXPECT_TRUE(r.Ok);
      EXPECT_EQ(r.FailureCount, 0);
      EXPECT_TRUE(r.Failures.empty());
      EXPECT_EQ(Fingerprint(), before);
      EXPECT_TRUE(RunDataCheck(*core, true, true));
    }
  }
}

// Out-of-range values in a program cell, a per-pattern item and a setup
// parameter are listed, in check order, with their places; nothing changes.
TEST_F(DataCheckTest, OutOfRangeValuesAreListedWithTheirPlaces) {
  struct Case {
    int language;
    std::vector<std::string> lines;
  } cases[] = {
      {1,
       {"    1 : Program -  3   : SP1   :SP1                          :   5",
        "    2 : Program -  3   : CYCL  :Cycle                        :   1",
        "    3 : PID parameter  :  1:P :Proportional band(PID set 1)  :   3",
        "    4 : Setup data     : C03:Input 1 range type              :   1"}},
      {0,
       {"    1 : ﾌﾟﾛｸﾞﾗﾑ -  3   : SP1   :SP1                          :   5",
        "    2 : ﾌﾟﾛｸﾞﾗﾑ -  3   : CYCL  :ｻｲｸﾙ                         :   1",
        "    3 : PIDﾊﾟﾗﾒｰﾀ      :  1:P :比例帯1                       :   3",
        "    4 : ｾｯﾄｱｯﾌﾟﾃﾞｰﾀ    : C03:入力1ﾚﾝｼﾞ種類                   :   1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    MakeImage(c.language);
    UseSegments(3, 5);
    SetCell(3, 1, 5, 5000);      // SP1 above 1200
    SetCell(3, 25, 1, 10000);    // cycle above 9999
    SetParam(6, 1, 3, 10000);    // proportional band of PID set 3 above 999.9
    SetParam(8, 3, 1, 74);       // input 1 range type above 73
    const std::vector<int> before = Fingerprint();
    const DataCheckResult r = Check();
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.FailureCount, 4);
    EXPECT_EQ(Lines(r), c.lines);
    ASSERT_EQ(r.Failures.size(), 4u);
    struct Place {
      int node, row, col, program;
    } places[] = {{1, 1, 5, 3}, {1, 10, 1, 3}, {6, 1, 3, 0}, {8, 3, 1, 0}};
    for (size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(r.Failures[i].Node, places[i].node);
      EXPECT_EQ(r.Failures[i].Row, places[i].row);
      EXPECT_EQ(r.Failures[i].Col, places[i].col);
      EXPECT_EQ(r.Failures[i].Program, places[i].program);
    }
    EXPECT_EQ(Fingerprint(), before);
    EXPECT_FALSE(RunDataCheck(*core, true, true));
  }
}

// The list counts program numbers as the program list shows them.
TEST_F(DataCheckTest, ProgramNumbersComeFromTheProgramList) {
  MakeImage(1);
  UseSegments(2, 1);
  SetCell(2, 1, 1, -5);
  std::vector<int> numbers = DefaultProgramNumbers(*core);
  ASSERT_EQ(numbers.size(), 19u);
  EXPECT_EQ(numbers[1], 2);
  numbers[1] = 12;
  const DataCheckResult r = CheckDataImage(*core, true, true, numbers);
  ASSERT_EQ(r.Failures.size(), 1u);
  EXPECT_EQ(r.Failures[0].Program, 12);
  EXPECT_EQ(r.Failures[0].Line, "    1 : Program - 12   : SP1   :SP1                          :   1");
  // Patterns past the list are not checked.
  EXPECT_TRUE(CheckDataImage(*core, true, true, {1}).Ok);
}

// Values shown as "----" (unused segments, hidden rows, hidden values,
// absent groups) and records of attribute 1 are not checked.
TEST_F(DataCheckTest, ValuesNotShownAreNotChecked) {
  struct Case {
    const char* what;
    int bank, item, sub, pattern, value;
  } cases[] = {
      {"TIME of an unused segment", 1, 2, 4, 1, 9999},
      {"SP2 of a single-loop model", 1, 3, 1, 1, 30000},
      {"PID switching point hidden by its setting", 3, 13, 1, 0, 30000},
      {"time event type without time events", 5, 17, 1, 0, 30000},
      {"a group absent on this model", 4, 1, 1, 0, 30000},
      {"PID parameters 2 on a single-loop model", 7, 1, 1, 0, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeImage(1);
    UseSegments(1, 3);
    std::string value, name;
    if (c.bank == 1) {
      SetCell(c.pattern, c.item, c.sub, c.value);
    } else {
      SetParam(c.bank, c.item, c.sub, c.value);
    }
    core->GetParamText(c.bank, c.item, c.sub, c.pattern, value, name);
    EXPECT_TRUE(value == "----" || name == "----" || c.bank == 4 || c.bank == 7) << value;
    const std::vector<int> before = Fingerprint();
    EXPECT_TRUE(Check().Ok);
    EXPECT_EQ(Fingerprint(), before);
  }

  // A shown value of a record with attribute 1 is passed over.
  MakeImage(1);
  ParamDescriptor* d = core->GetParam(8, 3, 1, 0);
  ASSERT_NE(d, nullptr);
  d->Value = 74;
  EXPECT_FALSE(Check().Ok);
  const uint8_t attribute = d->Attribute;
  d->Attribute = 1;
  EXPECT_TRUE(Check().Ok);
  d->Attribute = attribute;
}

// The range chosen for a write: programs only lists no setup parameter, and
// parameters only no program value.
TEST_F(DataCheckTest, OnlyTheChosenRangesAreChecked) {
  MakeImage(1);
  UseSegments(3, 5);
  SetCell(3, 1, 5, 5000);
  SetParam(6, 1, 3, 10000);
  struct Case {
    bool programs, parameters;
    int failures;
    int node;
  } cases[] = {{true, false, 1, 1}, {false, true, 1, 6}, {false, false, 0, -1}, {true, true, 2, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.programs << c.parameters);
    const DataCheckResult r = Check(c.programs, c.parameters);
    EXPECT_EQ(r.Ok, c.failures == 0);
    ASSERT_EQ(r.FailureCount, c.failures);
    if (c.failures > 0) {
      EXPECT_EQ(r.Failures[0].Node, c.node);
      EXPECT_EQ(r.Failures[0].Line.substr(0, 8), "    1 : ");
    }
    EXPECT_EQ(RunDataCheck(*core, c.programs, c.parameters), c.failures == 0);
  }
}

// A trial store runs the value's dependent updates; the check undoes them, so
// a value they would rewrite stays as it was.
TEST_F(DataCheckTest, DependentUpdatesOfTheTrialStoresAreUndone) {
  MakeImage(1);
  UseSegments(1, 2);
  // An input-1 lower limit that the table of the thermocouple range does not
  // give (as a data file may hold it): storing C02 again would rewrite it.
  SetParam(8, 5, 1, 37);
  // An event ON time at or above an OFF time that is kept as it is: storing
  // the ON time pushes the OFF time when the event is a time event.
  SetParam(5, 1, 1, 50);  // ET1: time event
  ASSERT_TRUE(core->SetParamText(1, 4, 1, 1, "0:30"));
  SetCell(1, 5, 1, 10);
  const std::vector<int> before = Fingerprint();
  Check();
  EXPECT_EQ(Fingerprint(), before);
  EXPECT_EQ(core->GetParam(8, 5, 1, 0)->Value, 37);
  EXPECT_EQ(core->PatternSlotPtr(1, 5, 1)->Value, 10);
}

// A time above 99:59 (or below 0:00) shows as "99:59", a text that gives back
// another word: the cell is listed and keeps its word.
TEST_F(DataCheckTest, TimesOutsideTheirTextAreListedAndKept) {
  for (int value : {6000, 7000, -1}) {
    SCOPED_TRACE(value);
    MakeImage(1);
    UseSegments(1, 2);
    SetCell(1, 2, 2, value);
    std::string text, name;
    core->GetParamText(1, 2, 2, 1, text, name);
    EXPECT_EQ(text, "99:59");
    const DataCheckResult r = Check();
    ASSERT_EQ(r.Failures.size(), 1u);
    EXPECT_EQ(r.Failures[0].Line, "    1 : Program -  1   : TIME  :Time                         :   2");
    EXPECT_EQ(core->PatternSlotPtr(1, 2, 2)->Value, value);
  }
  // 99:59 itself is a valid time.
  MakeImage(1);
  UseSegments(1, 2);
  SetCell(1, 2, 2, 5999);
  EXPECT_TRUE(Check().Ok);
}

}  // namespace
