// The transfer windows' texts and decisions, without any window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommDialogRules.h"
#include "Cp932.h"

namespace {

using namespace kvl;

TEST(CommDialogTexts, EveryFormInBothLanguages) {
  const ProgressTexts pj = ProgressWindowTexts(0), pe = ProgressWindowTexts(1);
  EXPECT_EQ(pj.Caption, "通信");
  EXPECT_EQ(pj.Panel, "しばらくお待ちください");
  EXPECT_EQ(pj.Cancel, "ｷｬﾝｾﾙ");
  EXPECT_EQ(pe.Caption, "Communication");
  EXPECT_EQ(pe.Panel, "Wait");
  EXPECT_EQ(pe.Cancel, "Cancel");

  const RangeTexts rj = RangeDialogTexts(0), re = RangeDialogTexts(1);
  EXPECT_EQ(rj.Caption, "通信");
  EXPECT_EQ(rj.GroupBox, "通信範囲の選択");
  EXPECT_EQ(rj.Program, "プログラム");
  EXPECT_EQ(rj.Parameter, "パラメータ");
  EXPECT_EQ(rj.Cancel, "ｷｬﾝｾﾙ");
  EXPECT_EQ(re.Caption, "Communication");
  EXPECT_EQ(re.GroupBox, "Select");
  EXPECT_EQ(re.Program, "Program");
  EXPECT_EQ(re.Parameter, "Parameter");
  EXPECT_EQ(re.Cancel, "Cancel");
  EXPECT_EQ(rj.Ok, "OK");
  EXPECT_EQ(re.Ok, "OK");

  const ConfirmTexts cj = ConfirmDialogTexts(0), ce = ConfirmDialogTexts(1);
  EXPECT_EQ(cj.Caption, "確認");
  EXPECT_EQ(ce.Caption, "Confirm");
  // The form's question has no English text; the range dialog replaces it.
  EXPECT_EQ(cj.Question, "実行しますか");
  EXPECT_EQ(ce.Question, "実行しますか");
  EXPECT_EQ(cj.Ok, "&OK");
  EXPECT_EQ(ce.Ok, "&OK");
  EXPECT_EQ(cj.Cancel, "ｷｬﾝｾﾙ");
  EXPECT_EQ(ce.Cancel, "Cancel");

  const EnvironmentTexts ej = EnvironmentDialogTexts(0), ee = EnvironmentDialogTexts(1);
  EXPECT_EQ(ej.Caption, "環境設定");
  EXPECT_EQ(ej.PortGroup, "通信ポート");
  EXPECT_EQ(ej.FontGroup, "フォント設定");
  EXPECT_EQ(ej.FontSizes, (std::vector<std::string>{" 7ﾎﾟｲﾝﾄ", " 8ﾎﾟｲﾝﾄ", " 9ﾎﾟｲﾝﾄ", "10ﾎﾟｲﾝﾄ"}));
  EXPECT_EQ(ej.Cancel, "ｷｬﾝｾﾙ");
  EXPECT_EQ(ee.Caption, "Enviroment Setup");
  EXPECT_EQ(ee.PortGroup, "Comm Port");
  EXPECT_EQ(ee.FontGroup, "Font Setup");
  EXPECT_EQ(ee.FontSizes, (std::vector<std::string>{" 7point", " 8point", " 9point"}));
  EXPECT_EQ(ee.Cancel, "Cancel");

  // Half-width katakana: one byte each on the controller tools' code page.
  EXPECT_EQ(Cp932Width(pj.Cancel), 5);
  for (const std::string& item : ej.FontSizes) EXPECT_EQ(Cp932Width(item), 7) << item;
}

TEST(CommDialogTexts, DirectionTexts) {
  struct Case {
    int direction;
    int language;
    const char* caption;
    const char* question;
  } cases[] = {
      {0, 0, "読出し(MXQ→KVL)", "読出しを実行します"},
      {0, 1, "Read(MXQ to KVL)", "Start to read?"},
      {1, 0, "書込み(KVL→MXQ)", "書込みを実行します"},
      {1, 1, "Write(KVL to MXQ)", "Start to write?"},
      // Anything but 1 is a read.
      {2, 1, "Read(MXQ to KVL)", "Start to read?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.direction << "/" << c.language);
    EXPECT_EQ(TransferCaption(c.direction, c.language), c.caption);
    EXPECT_EQ(ConfirmQuestion(c.direction, c.language), c.question);
  }
}

TEST(RangeDecisions, StartingBoxesConfirmationAndRange) {
  EXPECT_EQ(RangeForCommand(), (RangeChoice{true, true, true}));
  EXPECT_EQ(RangeForWizardRead(), (RangeChoice{false, true, false}));

  // Only OK (1) of the confirmation closes the range dialog with OK.
  struct Answer {
    int result;
    bool closes;
  } answers[] = {{1, true}, {2, false}, {0, false}, {6, false}, {7, false}};
  for (const Answer& a : answers) EXPECT_EQ(RangeClosesWithOk(a.result), a.closes) << a.result;

  struct Boxes {
    bool program, parameter, runs;
  } boxes[] = {{true, true, true}, {true, false, true}, {false, true, true}, {false, false, false}};
  for (const Boxes& b : boxes) EXPECT_EQ(TransferHasRange(b.program, b.parameter), b.runs);
}

TEST(EnvironmentDecisions, ListsAndWhatOkApplies) {
  const std::vector<std::string> en = PortListItems(1), ja = PortListItems(0);
  ASSERT_EQ(en.size(), 16u);
  ASSERT_EQ(ja.size(), 16u);
  EXPECT_EQ(en.front(), "Port COM1");
  EXPECT_EQ(en[2], "Port COM3");
  EXPECT_EQ(en.back(), "Port COM16");
  EXPECT_EQ(ja.front(), "ポート COM1");
  EXPECT_EQ(ja.back(), "ポート COM16");

  struct Port {
    int number, index;
  } ports[] = {{0, -1}, {1, 0}, {3, 2}, {16, 15}, {17, -1}, {-5, -1}};
  for (const Port& p : ports) EXPECT_EQ(PortListIndex(p.number), p.index) << p.number;

  struct Font {
    int points, index;
  } fonts[] = {{6, -1}, {7, 0}, {8, 1}, {9, 2}, {10, 3}, {11, -1}, {12, -1}};
  for (const Font& f : fonts) EXPECT_EQ(FontListIndex(f.points), f.index) << f.points;

  struct Choice {
    const char* name;
    int portIndex, fontIndex;
    EnvironmentChoice expected;
  } choices[] = {
      {"COM3 and 9 points", 2, 2, {3, 9}},
      {"COM16 and 7 points", 15, 0, {16, 7}},
      {"10 points", 0, 3, {1, 10}},
      // Nothing chosen keeps what there is (a size without an entry).
      {"no font entry", 11, -1, {12, 12}},
      {"no port entry", -1, 1, {5, 8}},
  };
  const EnvironmentChoice current{5, 12};
  for (const Choice& c : choices) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ApplyEnvironmentChoice(current, c.portIndex, c.fontIndex), c.expected);
  }
}

}  // namespace
