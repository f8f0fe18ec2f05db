#include "TableGraph.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QValueAxis>
#include <QtTest/QTest>

#include <array>
#include <memory>
#include <vector>

#include "ChartDescription.h"
#include "UCore.h"

namespace {

using kvl::ChartPoint;
using kvl::ChartSegment;

void SetSetup(TCore& core, int bank, int item, int sub, int value) {
  ParamDescriptor* d = core.GetParam(bank, item, sub, 0);
  ASSERT_NE(d, nullptr) << bank << "/" << item << "/" << sub;
  d->Value = static_cast<int16_t>(value);
}

// A data image with the given model words, input decimals (C04, C24) and
// table switches (C08, C28, C29).
std::unique_ptr<TCore> MakeImage(uint16_t hw1, uint16_t hw2, int c04, int c24, int c08, int c28, int c29) {
  auto core = std::make_unique<TCore>(1);
  core->Model.HardwareType1 = hw1;
  core->Model.HardwareType2 = hw2;
  SetSetup(*core, 8, 4, 1, c04);
  SetSetup(*core, 8, 24, 1, c24);
  SetSetup(*core, 8, 8, 1, c08);
  SetSetup(*core, 8, 28, 1, c28);
  SetSetup(*core, 8, 29, 1, c29);
  return core;
}

// Raw table words of one table: break point i at (x[i-1], y[i-1]).
void SetTable(TCore& core, int table, const std::vector<int>& x, const std::vector<int>& y) {
  for (int i = 1; i <= 11; ++i) {
    SetSetup(core, 9, i, 2 * table + 1, x[static_cast<size_t>(i - 1)]);
    SetSetup(core, 9, i, 2 * table + 2, y[static_cast<size_t>(i - 1)]);
  }
}

TEST(TableGraphValues, LeadingNumberTakesTheLeadingNumberOrZero) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12.5", 12.5}, {"-3", -3.0},    {"----", 0.0},  {"", 0.0},     {" 7.25abc", 7.25},
      {"+4", 4.0},    {"abc", 0.0},    {"0.000", 0.0}, {"-0.5", -0.5}, {"100.0 C", 100.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(kvl::LeadingNumber(c.text), c.value) << c.text;
}

TEST(TableGraphValues, SingleLoopTableOneDrawsItsPointsAndMarksRepeatedInputs) {
  auto core = MakeImage(0x0000, 0x0000, 1, 1, 1, 0, 0);
  // X: 0, 0, 10, 5, 20, 30, 30, 40, 50, 60, 70 (one decimal place).
  SetTable(*core, 0, {0, 0, 100, 50, 200, 300, 300, 400, 500, 600, 700},
           {10, 20, 150, 999, 250, 350, 360, 450, 550, 650, 750});
  const kvl::TableGraphPlan plan = kvl::ComputeTableGraph(*core);
  EXPECT_EQ(plan.TabVisible, (std::array<bool, 3>{false, false, false}));
  EXPECT_EQ(plan.Plotted, (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(plan.ActivePage, 0);

  const kvl::TableChart& chart = plan.Charts[0];
  ASSERT_TRUE(chart.InUse);
  const std::vector<ChartPoint> line = {{-200.0, -200.0}, {0.0, 1.0},   {0.0, 2.0},   {10.0, 15.0},
                                        {20.0, 25.0},     {30.0, 35.0}, {30.0, 36.0}, {40.0, 45.0},
                                        {50.0, 55.0},     {60.0, 65.0}, {70.0, 75.0}, {1000.0, 1000.0}};
  EXPECT_EQ(chart.Line, line);
  // Point 2 repeats point 1's input, point 7 point 6's; point 4 (x 5) is skipped.
  for (size_t n = 0; n < chart.Marks.size(); ++n) {
    if (n == 0)
      EXPECT_EQ(chart.Marks[n], (ChartSegment{{0.0, 1.0}, {0.0, 2.0}}));
    else if (n == 5)
      EXPECT_EQ(chart.Marks[n], (ChartSegment{{30.0, 35.0}, {30.0, 36.0}}));
    else
      EXPECT_FALSE(chart.Marks[n].has_value()) << n;
  }
  EXPECT_EQ(chart.X, (kvl::AxisRange{-200.0, 1000.0}));
  EXPECT_EQ(chart.Y, (kvl::AxisRange{-200.0, 1000.0}));
}

TEST(TableGraphValues, StartAndEndPointsFollowTheInputDecimals) {
  const struct {
    int c04;
    double start;
    double end;
  } cases[] = {
      {0, -2000.0, 10000.0},
      {2, -20.0, 100.0},
      {3, -2.0, 10.0},
      {9, -20000.0, 100000.0},  // an invalid setting gives -1 decimals: s is 0.1
  };
  for (const auto& c : cases) {
    auto core = MakeImage(0x0000, 0x0000, c.c04, 0, 1, 0, 0);
    SetTable(*core, 0, std::vector<int>(11, 0), std::vector<int>(11, 0));
    const kvl::TableChart chart = kvl::ComputeTableChart(*core, 0);
    ASSERT_GE(chart.Line.size(), 2u);
    EXPECT_EQ(chart.Line.front(), (ChartPoint{c.start, c.start})) << c.c04;
    EXPECT_EQ(chart.Line.back(), (ChartPoint{c.end, c.end})) << c.c04;
  }
}

TEST(TableGraphValues, SheetsAndActivePageFollowTheModelAndTheSwitches) {
  const struct {
    uint16_t hw1, hw2;
    int c08, c28, c29;
    std::array<bool, 3> tabs;
    std::array<bool, 3> plotted;
    int active;
  } cases[] = {
      {0x0000, 0x0000, 1, 1, 1, {false, false, false}, {true, false, false}, 0},
      {0x0800, 0x0001, 1, 1, 0, {true, true, false}, {true, true, false}, 0},
      {0x0800, 0x0001, 0, 1, 0, {true, true, false}, {true, true, false}, 1},
      {0x0800, 0x0001, 0, 0, 1, {true, true, false}, {true, true, false}, -1},
      {0x0800, 0x0004, 0, 0, 1, {true, true, true}, {true, true, true}, 2},
      {0x0800, 0x0004, 0, 1, 1, {true, true, true}, {true, true, true}, 1},
  };
  for (const auto& c : cases) {
    auto core = MakeImage(c.hw1, c.hw2, 1, 1, c.c08, c.c28, c.c29);
    const kvl::TableGraphPlan plan = kvl::ComputeTableGraph(*core);
    EXPECT_EQ(plan.TabVisible, c.tabs) << c.hw1 << " " << c.hw2 << " " << c.c08 << c.c28 << c.c29;
    EXPECT_EQ(plan.Plotted, c.plotted) << c.hw2 << " " << c.c08 << c.c28 << c.c29;
    EXPECT_EQ(plan.ActivePage, c.active) << c.hw2 << " " << c.c08 << c.c28 << c.c29;
    for (size_t t = 0; t < 3; ++t) {
      const int switches[3] = {c.c08, c.c28, c.c29};
      if (!c.plotted[t]) continue;
      EXPECT_EQ(plan.Charts[t].InUse, switches[t] != 0) << t;
      if (!plan.Charts[t].InUse) {
        EXPECT_TRUE(plan.Charts[t].Line.empty()) << t;
      }
    }
  }
}

TEST(TableGraphValues, CarbonPotentialTableRunsFromZeroToFourWhateverTheDecimals) {
  for (int c04 : {0, 1, 3}) {
    auto core = MakeImage(0x0800, 0x0004, c04, c04, 0, 0, 1);
    const kvl::TableChart chart = kvl::ComputeTableChart(*core, 2);
    ASSERT_TRUE(chart.InUse);
    ASSERT_GE(chart.Line.size(), 2u);
    EXPECT_EQ(chart.Line.front(), (ChartPoint{0.0, 0.0})) << c04;
    EXPECT_EQ(chart.Line.back(), (ChartPoint{4.0, 4.0})) << c04;
  }
  auto core = MakeImage(0x0800, 0x0004, 1, 1, 0, 0, 1);
  EXPECT_FALSE(kvl::ComputeTableChart(*core, 3).InUse);
  EXPECT_FALSE(kvl::ComputeTableChart(*core, -1).InUse);
}

TEST(TableGraphTexts, BothLanguages) {
  const kvl::TableGraphTexts ja = kvl::TableGraphTextsFor(0);
  EXPECT_EQ(ja.Caption, "折線ｸﾞﾗﾌ");
  EXPECT_EQ(ja.Sheets, (std::array<std::string, 3>{"折線ｸﾞﾗﾌ1(A,B)", "折線ｸﾞﾗﾌ2(C,D)", "折線ｸﾞﾗﾌ3(E,F)"}));
  EXPECT_EQ(ja.Ok, "OK");
  const kvl::TableGraphTexts en = kvl::TableGraphTextsFor(1);
  EXPECT_EQ(en.Caption, "Table graph");
  EXPECT_EQ(en.Sheets, (std::array<std::string, 3>{"Table graph1(A,B)", "Table graph2(C,D)", "Table graph3(E,F)"}));
  EXPECT_EQ(en.Ok, "OK");
}

TEST(TableGraphWindow, OpensOffscreenAndShowsThePlannedSheets) {
  for (int language : {0, 1}) {
    auto core = std::make_unique<TCore>(language);
    TGraph graph(*core, language);
    graph.SetupTables();
    graph.show();
    QApplication::processEvents();
    EXPECT_EQ(graph.windowTitle().toStdString(), kvl::TableGraphTextsFor(language).Caption);
    EXPECT_EQ(graph.PageControl1->tabText(1).toStdString(), kvl::TableGraphTextsFor(language).Sheets[1]);
    graph.BitBtn1->click();
    EXPECT_FALSE(graph.isVisible());
  }
  // A two-loop image with table 2 in use opens on sheet 2 with its line.
  auto core = MakeImage(0x0800, 0x0001, 1, 1, 0, 1, 0);
  TGraph graph(*core, 1);
  graph.SetupTables();
  graph.show();
  QApplication::processEvents();
  EXPECT_EQ(graph.PageControl1->currentIndex(), 1);
  EXPECT_TRUE(graph.PageControl1->isTabVisible(1));
  EXPECT_FALSE(graph.PageControl1->isTabVisible(2));
  EXPECT_TRUE(graph.Charts[0]->chart()->series().isEmpty());
  ASSERT_FALSE(graph.Charts[1]->chart()->series().isEmpty());
  auto* line = static_cast<QLineSeries*>(graph.Charts[1]->chart()->series().front());
  EXPECT_EQ(line->count(), static_cast<int>(kvl::ComputeTableChart(*core, 1).Line.size()));
  graph.hide();
}

TEST(TableGraphWindow, EveryShowingLooksAsAFreshWindowShowingTheSameData) {
  auto core = MakeImage(0x0800, 0x0004, 1, 0, 1, 1, 1);
  const struct {
    const char* name;
    int c08, c28, c29;
    int scale;  // of table 1's points
  } showings[] = {
      {"all three in use", 1, 1, 1, 1},
      {"table 1 out of use", 0, 1, 1, 1},
      {"table 1 again, other points", 1, 0, 1, 7},
      {"none in use", 0, 0, 0, 1},
  };
  TGraph reused(*core, 1);
  for (const auto& showing : showings) {
    SCOPED_TRACE(showing.name);
    SetSetup(*core, 8, 8, 1, showing.c08);
    SetSetup(*core, 8, 28, 1, showing.c28);
    SetSetup(*core, 8, 29, 1, showing.c29);
    std::vector<int> x, y;
    for (int i = 0; i < 11; ++i) {
      x.push_back(i * 10 * showing.scale);
      y.push_back(i * i * showing.scale);
    }
    SetTable(*core, 0, x, y);
    SetTable(*core, 1, y, x);
    reused.SetupTables();
    reused.show();
    TGraph fresh(*core, 1);
    fresh.SetupTables();
    fresh.move(reused.pos());
    fresh.show();
    QApplication::processEvents();
    const int page = fresh.PageControl1->currentIndex();
    EXPECT_EQ(reused.PageControl1->currentIndex(), page);
    for (int t = 0; t < 3; ++t) {
      // Each sheet in turn, as a user would look at it.
      reused.PageControl1->setCurrentIndex(t);
      fresh.PageControl1->setCurrentIndex(t);
      QChartView* was = reused.Charts[static_cast<size_t>(t)];
      QChartView* now = fresh.Charts[static_cast<size_t>(t)];
      EXPECT_EQ(kvltest::DescribeChart(was->chart()), kvltest::DescribeChart(now->chart())) << t;
      EXPECT_TRUE(kvltest::ChartPicture(was) == kvltest::ChartPicture(now)) << t;
    }
    // Back to the sheet it opened on: with no table in use the next showing
    // keeps the active sheet.
    reused.PageControl1->setCurrentIndex(page);
    reused.BitBtn1->click();
  }
}

TEST(TableGraphWindow, DraggingPansTheValueAxisOnlyUntilTheNextShowing) {
  auto core = MakeImage(0x0000, 0x0000, 0, 0, 1, 0, 0);
  TGraph graph(*core, 1);
  graph.SetupTables();
  graph.show();
  QApplication::processEvents();
  QChartView* view = graph.Charts[0];
  auto ranges = [view] {
    const auto x = view->chart()->axes(Qt::Horizontal);
    const auto y = view->chart()->axes(Qt::Vertical);
    auto* ax = qobject_cast<QValueAxis*>(x.value(0));
    auto* ay = qobject_cast<QValueAxis*>(y.value(0));
    return std::array<double, 4>{ax ? ax->min() : 0, ax ? ax->max() : 0, ay ? ay->min() : 0, ay ? ay->max() : 0};
  };
  const std::array<double, 4> before = ranges();
  ASSERT_LT(before[2], before[3]);
  const kvl::TableChart data = kvl::ComputeTableChart(*core, 0);
  EXPECT_DOUBLE_EQ(before[2], data.Y.Min);
  EXPECT_DOUBLE_EQ(before[3], data.Y.Max);

  // Down and a little sideways: the picture follows the mouse up the value
  // scale; the input scale does not move.
  const QPoint from = view->viewport()->rect().center();
  QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, from);
  for (int step = 1; step <= 4; ++step) QTest::mouseMove(view->viewport(), from + QPoint(5 * step, 10 * step));
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, from + QPoint(20, 40));
  const std::array<double, 4> panned = ranges();
  EXPECT_DOUBLE_EQ(panned[0], before[0]);
  EXPECT_DOUBLE_EQ(panned[1], before[1]);
  EXPECT_GT(panned[2], before[2]);
  EXPECT_NEAR(panned[3] - panned[2], before[3] - before[2], 1e-6 * (before[3] - before[2]));

  // Moving the mouse without a button pans nothing.
  QTest::mouseMove(view->viewport(), from);
  EXPECT_EQ(ranges(), panned);

  graph.BitBtn1->click();
  graph.SetupTables();
  graph.show();
  QApplication::processEvents();
  EXPECT_EQ(ranges(), before);
}

}  // namespace
