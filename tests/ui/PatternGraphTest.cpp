#include "PatternGraph.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QtTest/QTest>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <vector>

#include "ChartDescription.h"
#include "TableGraph.h"
#include "TestSupport.h"
#include "UCore.h"
#include "mainform.h"

// Rectangles as their numbers in failure messages.
inline void PrintTo(const QRectF& r, std::ostream* out) {
  *out << "(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}
inline void PrintTo(const QRect& r, std::ostream* out) { PrintTo(QRectF(r), out); }

namespace {

using kvl::Bar;
using kvl::ProfilePoint;

constexpr int kEmpty = 32767;

void SetSetup(TCore& core, int bank, int item, int value) {
  ParamDescriptor* d = core.GetParam(bank, item, 1, 0);
  ASSERT_NE(d, nullptr) << bank << "/" << item;
  d->Value = static_cast<int16_t>(value);
}

void SetCell(TCore& core, int pattern, int item, int segment, int value) {
  PatternSlot* slot = core.GetPatternValue(pattern, item, segment);
  ASSERT_NE(slot, nullptr) << pattern << "/" << item << "/" << segment;
  slot->Value = static_cast<int16_t>(value);
}

struct Segment {
  int sp1;
  int time;
  int sp2 = kEmpty;
};

// A data image whose pattern 1 holds exactly the given segments (every other
// cell empty), C04 = C24 = 0, SP limits 0..400, time unit `c64`, no event
// lane shown.
std::unique_ptr<TCore> MakeImage(const std::vector<Segment>& segments, int c64 = 0, uint16_t hw1 = 0,
                                 int language = 1) {
  auto core = std::make_unique<TCore>(language);
  core->Model.HardwareType1 = hw1;
  core->Model.HardwareType2 = 0;
  for (int s = 1; s <= 30; ++s)
    for (int item = 1; item <= 23; ++item) SetCell(*core, 1, item, s, kEmpty);
  for (size_t i = 0; i < segments.size(); ++i) {
    const int s = static_cast<int>(i) + 1;
    SetCell(*core, 1, 1, s, segments[i].sp1);
    SetCell(*core, 1, 2, s, segments[i].time);
    SetCell(*core, 1, 3, s, segments[i].sp2);
  }
  SetSetup(*core, 8, 4, 0);
  SetSetup(*core, 8, 24, 0);
  SetSetup(*core, 8, 9, 0);
  SetSetup(*core, 8, 10, 400);
  SetSetup(*core, 8, 32, 0);
  SetSetup(*core, 8, 33, 400);
  SetSetup(*core, 8, 64, c64);
  for (int item : {1, 5, 9}) SetSetup(*core, 5, item, 0);
  SetSetup(*core, 5, 13, 0);
  for (int item : {17, 21, 25, 29, 33}) SetSetup(*core, 5, item, 0);
  core->DataRevision = 0;
  return core;
}

TEST(PatternGraphValues, TimeUnitGivesTitleAndLabelStyleInBothLanguages) {
  const struct {
    int c64;
    int language;
    const char* title;
    kvl::TimeLabels labels;
  } cases[] = {
      {0, 0, "時間[h:min]", kvl::TimeLabels::Clock},   {0, 1, "Time[h:min]", kvl::TimeLabels::Clock},
      {1, 0, "時間[min:s]", kvl::TimeLabels::Clock},   {1, 1, "Time[min:s]", kvl::TimeLabels::Clock},
      {2, 0, "時間[s]", kvl::TimeLabels::Decimal},     {2, 1, "Time[s]", kvl::TimeLabels::Decimal},
      {-1, 1, "Time[s]", kvl::TimeLabels::Decimal},    {7, 0, "時間[s]", kvl::TimeLabels::Decimal},
  };
  for (const auto& c : cases) {
    const kvl::TimeUnitTexts unit = kvl::TimeUnitFor(c.c64, c.language);
    EXPECT_EQ(unit.Title, c.title) << c.c64 << " " << c.language;
    EXPECT_EQ(unit.Labels, c.labels) << c.c64 << " " << c.language;
  }
  EXPECT_EQ(kvl::PatternGraphCaption(0), "ﾊﾟﾀｰﾝｸﾞﾗﾌ");
  EXPECT_EQ(kvl::PatternGraphCaption(1), "Pattern Graph");
}

TEST(PatternGraphValues, ElapsedLabels) {
  const struct {
    int32_t elapsed;
    kvl::TimeLabels labels;
    const char* text;
  } cases[] = {
      {0, kvl::TimeLabels::Clock, "0:00"},          {125, kvl::TimeLabels::Clock, "2:05"},
      {125, kvl::TimeLabels::Decimal, "12.5"},      {0, kvl::TimeLabels::Decimal, "0.0"},
      {3600, kvl::TimeLabels::Clock, "60:00"},      {982980, kvl::TimeLabels::Clock, "16383:00"},
      {982980, kvl::TimeLabels::Decimal, "98298.0"}, {59, kvl::TimeLabels::Clock, "0:59"},
  };
  for (const auto& c : cases) EXPECT_EQ(kvl::ElapsedLabel(c.elapsed, c.labels), c.text) << c.elapsed;
}

TEST(PatternGraphValues, ProfileLimitsAndPointsOfASmallPattern) {
  // Segment 3 has TIME 0: the profile stops at the total time, before it.
  auto core = MakeImage({{100, 60}, {500, 65}, {200, 0}});
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
  EXPECT_EQ(data.ChannelCount, 1);
  EXPECT_EQ(data.TotalTime, 125);
  ASSERT_TRUE(data.Drawn);
  EXPECT_EQ(data.TimeUnit.Title, "Time[h:min]");
  EXPECT_DOUBLE_EQ(data.Sp1.Lower, 0.0);
  EXPECT_DOUBLE_EQ(data.Sp1.Upper, 400.0);
  EXPECT_DOUBLE_EQ(data.Sp1.Min, 0.0);
  EXPECT_DOUBLE_EQ(data.Sp1.Max, 550.0);  // 500 + 10 %
  EXPECT_EQ(data.Sp1.LimitLines, (std::vector<Bar>{{0.0, 125.0, 400.0, ""}}));
  EXPECT_EQ(data.Sp1.Points,
            (std::vector<ProfilePoint>{{0.0, 100.0, "0:00"}, {60.0, 100.0, "1:00"}, {125.0, 500.0, "2:05"}}));
  EXPECT_TRUE(data.Sp2.Points.empty());
}

TEST(PatternGraphValues, LimitLinesAppearOnlyWhenTheProfileLeavesTheBand) {
  const struct {
    std::vector<Segment> segments;
    double min, max;
    std::vector<double> limitLines;
  } cases[] = {
      {{{100, 10}, {400, 10}, {0, 10}}, 0.0, 400.0, {}},
      {{{-100, 10}}, -110.0, 400.0, {0.0}},
      {{{-100, 10}, {1000, 5}}, -110.0, 1100.0, {0.0, 400.0}},
      {{{401, 10}}, 0.0, 441.1, {400.0}},
  };
  for (const auto& c : cases) {
    auto core = MakeImage(c.segments);
    const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
    EXPECT_DOUBLE_EQ(data.Sp1.Min, c.min);
    EXPECT_DOUBLE_EQ(data.Sp1.Max, c.max);
    std::vector<double> ys;
    for (const Bar& bar : data.Sp1.LimitLines) ys.push_back(bar.Y);
    EXPECT_EQ(ys, c.limitLines);
  }
}

TEST(PatternGraphValues, ValuesAreScaledByTheInputDecimals) {
  auto core = MakeImage({{1000, 30, 250}, {5000, 30, 900}}, 2, 0x0800);
  SetSetup(*core, 8, 4, 1);   // d1 = 1
  SetSetup(*core, 8, 24, 2);  // d2 = 2
  SetSetup(*core, 8, 10, 4000);
  SetSetup(*core, 8, 33, 800);
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 0);
  EXPECT_EQ(data.ChannelCount, 2);
  EXPECT_EQ(data.TimeUnit.Title, "時間[s]");
  EXPECT_DOUBLE_EQ(data.Sp1.Upper, 400.0);
  EXPECT_DOUBLE_EQ(data.Sp1.Max, 550.0);
  EXPECT_EQ(data.Sp1.Points,
            (std::vector<ProfilePoint>{{0.0, 100.0, "0.0"}, {30.0, 100.0, "3.0"}, {60.0, 500.0, "6.0"}}));
  // SP2 widens its axis without a margin.
  EXPECT_DOUBLE_EQ(data.Sp2.Upper, 8.0);
  EXPECT_DOUBLE_EQ(data.Sp2.Max, 9.0);
  EXPECT_EQ(data.Sp2.LimitLines, (std::vector<Bar>{{0.0, 60.0, 8.0, ""}}));
  EXPECT_EQ(data.Sp2.Points,
            (std::vector<ProfilePoint>{{0.0, 2.5, "0.0"}, {30.0, 2.5, "3.0"}, {60.0, 9.0, "6.0"}}));
}

TEST(PatternGraphValues, AnEmptySp2CellNeitherWidensTheAxisNorDrawsAPoint) {
  auto core = MakeImage({{100, 30, 200}, {100, 30, kEmpty}, {100, 30, 300}}, 0, 0x0800);
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
  EXPECT_DOUBLE_EQ(data.Sp2.Max, 400.0);
  EXPECT_TRUE(data.Sp2.LimitLines.empty());
  EXPECT_EQ(data.Sp2.Points,
            (std::vector<ProfilePoint>{{0.0, 200.0, "0:00"}, {30.0, 200.0, "0:30"}, {90.0, 300.0, "1:30"}}));
}

TEST(PatternGraphValues, NothingIsDrawnWithoutAPositiveTotalTime) {
  const struct {
    const char* name;
    std::vector<Segment> segments;
    int32_t total;
  } cases[] = {
      {"empty pattern", {}, 0},
      {"all TIME 0", {{100, 0}, {200, 0}}, 0},
      {"negative total", {{100, 10}, {200, -30}}, -20},
  };
  for (const auto& c : cases) {
    auto core = MakeImage(c.segments);
    const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
    EXPECT_EQ(data.TotalTime, c.total) << c.name;
    EXPECT_FALSE(data.Drawn) << c.name;
    EXPECT_TRUE(data.Sp1.Points.empty()) << c.name;
    EXPECT_TRUE(data.Sp1.LimitLines.empty()) << c.name;
    EXPECT_TRUE(data.Events.Lanes.empty()) << c.name;
    for (const auto& boundary : data.Events.Boundaries) EXPECT_FALSE(boundary.has_value()) << c.name;
  }
}

TEST(PatternGraphValues, PatternOutsideTheRangeGivesAnEmptyGraph) {
  auto core = MakeImage({{100, 10}});
  for (int pattern : {0, -1, 20, 1000}) {
    const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, pattern, 1);
    EXPECT_FALSE(data.Drawn) << pattern;
    EXPECT_EQ(data.TotalTime, 0) << pattern;
    EXPECT_TRUE(data.Sp1.Points.empty()) << pattern;
  }
}

TEST(PatternGraphValues, ThirtyLongSegmentsSumWithoutOverflow) {
  auto core = MakeImage(std::vector<Segment>(30, Segment{100, 32766}), 1);
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
  EXPECT_EQ(data.TotalTime, 30 * 32766);
  ASSERT_TRUE(data.Drawn);
  ASSERT_EQ(data.Sp1.Points.size(), 31u);
  EXPECT_DOUBLE_EQ(data.Sp1.Points.back().X, 30.0 * 32766);
  EXPECT_EQ(data.Sp1.Points.back().Label, "16383:00");
  for (size_t s = 0; s < 30; ++s) {
    ASSERT_TRUE(data.Events.Boundaries[s].has_value()) << s;
    EXPECT_DOUBLE_EQ(*data.Events.Boundaries[s], 32766.0 * static_cast<double>(s + 1));
  }
}

TEST(PatternGraphValues, NegativeTimeShortensTheTotalAndTheProfile) {
  auto core = MakeImage({{100, 50}, {200, -20}});
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(*core, 1, 1);
  EXPECT_EQ(data.TotalTime, 30);
  EXPECT_EQ(data.Sp1.Points, (std::vector<ProfilePoint>{{0.0, 100.0, "0:00"}, {50.0, 100.0, "0:50"}}));
}

TEST(PatternGraphValues, LanesFollowEventTypesTimeEventsAndRevision) {
  const struct {
    const char* name;
    int et1, et2, et3;
    uint16_t hw2;
    int tt;
    int revision;
    std::vector<int> etT;  // ET.T1..ET.T5
    std::vector<int> lanes;
  } cases[] = {
      {"events only", 50, 0, 50, 0x00, 0, 0, {0, 0, 0, 0, 0}, {0, 2}},
      {"no time events fitted", 0, 50, 0, 0x00, 0, 1, {50, 50, 50, 50, 50}, {1}},
      {"TT 2, revision 0", 50, 0, 50, 0x20, 2, 0, {0, 0, 0, 0, 0}, {0, 2, 5, 6, 7}},
      {"TT 0, revision 1", 0, 0, 0, 0x20, 0, 1, {0, 50, 0, 0, 50}, {4, 7}},
      {"TT 5", 50, 50, 50, 0x20, 5, 0, {50, 50, 50, 50, 50}, {0, 1, 2}},
  };
  for (const auto& c : cases) {
    auto core = MakeImage({{100, 60}});
    core->Model.HardwareType2 = c.hw2;
    core->DataRevision = c.revision;
    SetSetup(*core, 5, 1, c.et1);
    SetSetup(*core, 5, 5, c.et2);
    SetSetup(*core, 5, 9, c.et3);
    SetSetup(*core, 5, 13, c.tt);
    for (int i = 0; i < 5; ++i) SetSetup(*core, 5, 17 + 4 * i, c.etT[static_cast<size_t>(i)]);
    const kvl::EventChart events = kvl::ComputePatternGraph(*core, 1, 1).Events;
    std::vector<int> lanes;
    for (size_t p = 0; p < events.Lanes.size(); ++p) {
      lanes.push_back(events.Lanes[p].Index);
      EXPECT_DOUBLE_EQ(events.Lanes[p].Y, 8.0 - static_cast<double>(p)) << c.name;
      ASSERT_LT(p, events.Bars.size());
      EXPECT_EQ(events.Bars[p], (Bar{0.0, 0.0, 8.0 - static_cast<double>(p), kvl::LaneLabels[lanes.back()]}))
          << c.name;
    }
    EXPECT_EQ(lanes, c.lanes) << c.name;
    EXPECT_DOUBLE_EQ(events.LeftMin, 8.0 - static_cast<double>(c.lanes.size())) << c.name;
    EXPECT_DOUBLE_EQ(events.LeftMax, 9.0) << c.name;
    EXPECT_DOUBLE_EQ(events.BottomMax, 60.0) << c.name;
  }
  EXPECT_STREQ(kvl::LaneLabels[0], "EV1");
  EXPECT_STREQ(kvl::LaneLabels[3], " T1");
  EXPECT_STREQ(kvl::LaneLabels[7], " T5");
}

TEST(PatternGraphValues, OnIntervalsAndSegmentEnds) {
  auto core = MakeImage({{100, 60}, {200, 65}, {300, 10}, {300, 5}, {100, 20}});
  SetSetup(*core, 5, 1, 50);  // EV1
  SetSetup(*core, 5, 9, 50);  // EV3
  // EV1 (items 4, 5): on 10 off 20 in segment 1; on 70 > TIME in segment 2.
  SetCell(*core, 1, 4, 1, 10);
  SetCell(*core, 1, 5, 1, 20);
  SetCell(*core, 1, 4, 2, 70);
  SetCell(*core, 1, 5, 2, 71);
  // EV3 (items 8, 9): on 30, off empty in segment 1; on 0, off 100 > TIME in
  // segment 2; on 10 = TIME in segment 3 (a bar of length 0 at its end).
  SetCell(*core, 1, 8, 1, 30);
  SetCell(*core, 1, 8, 2, 0);
  SetCell(*core, 1, 9, 2, 100);
  SetCell(*core, 1, 8, 3, 10);
  const kvl::EventChart events = kvl::ComputePatternGraph(*core, 1, 1).Events;
  ASSERT_EQ(events.Lanes.size(), 2u);
  const std::vector<Bar> bars = {
      {0.0, 0.0, 8.0, "EV1"},   {0.0, 0.0, 7.0, "EV3"},    {10.0, 20.0, 8.0, ""},
      {30.0, 60.0, 7.0, ""},    {60.0, 125.0, 7.0, ""},    {135.0, 135.0, 7.0, ""},
  };
  EXPECT_EQ(events.Bars, bars);
  const double ends[5] = {60.0, 125.0, 135.0, 140.0, 160.0};
  for (size_t s = 0; s < 30; ++s) {
    if (s < 5) {
      ASSERT_TRUE(events.Boundaries[s].has_value()) << s;
      EXPECT_DOUBLE_EQ(*events.Boundaries[s], ends[s]);
    } else {
      EXPECT_FALSE(events.Boundaries[s].has_value()) << s;
    }
  }
}

TEST(PatternGraphValues, LayoutSharesTheHeightBetweenTheCharts) {
  const struct {
    int outer, panel, chart2, chart3;
  } cases[] = {
      {448, 30, 145, 96},  // H = 388
      {478, 30, 157, 104},  // H = 418
      {60, 30, 0, 0},
      {100, 30, 15, 9},  // H = 40: truncating
  };
  for (const auto& c : cases) {
    const kvl::PatternGraphHeights h = kvl::PatternGraphLayout(c.outer, c.panel);
    EXPECT_EQ(h.Chart2, c.chart2) << c.outer;
    EXPECT_EQ(h.Chart3, c.chart3) << c.outer;
  }
}

TEST(PatternGraphWindow, OpensOffscreenWithADefaultImage) {
  for (int language : {0, 1}) {
    auto core = std::make_unique<TCore>(language);
    TPGraph graph(*core, language);
    for (int pattern = 1; pattern <= 19; ++pattern) graph.DrawPattern(pattern);
    graph.show();
    QApplication::processEvents();
    EXPECT_EQ(graph.windowTitle().toStdString(), kvl::PatternGraphCaption(language));
    graph.OKBtn->click();
    EXPECT_FALSE(graph.isVisible());
  }
}

TEST(PatternGraphWindow, ShowsTheComputedProfileAndHidesSp2OnSingleLoop) {
  for (uint16_t hw1 : {uint16_t{0}, uint16_t{0x0800}}) {
    auto core = MakeImage({{100, 60, 50}, {500, 65, 60}}, 0, hw1);
    SetSetup(*core, 5, 1, 50);
    TPGraph graph(*core, 1);
    graph.DrawPattern(1);
    graph.show();
    QApplication::processEvents();
    EXPECT_EQ(graph.TotalTime, 125);
    EXPECT_EQ(graph.ChannelCount, hw1 ? 2 : 1);
    EXPECT_EQ(graph.Chart2->isVisible(), hw1 != 0);
    // The profile line and one limit line.
    EXPECT_EQ(graph.Chart1->chart()->series().size(), 2);
    bool found = false;
    for (QAbstractSeries* series : graph.Chart1->chart()->series()) {
      auto* line = static_cast<QLineSeries*>(series);
      if (line->count() == 3) {
        found = true;
        EXPECT_DOUBLE_EQ(line->at(2).x(), 125.0);
        EXPECT_DOUBLE_EQ(line->at(2).y(), 500.0);
      }
    }
    EXPECT_TRUE(found);
    // Two segment ends in the lane chart (the lane has no ON interval).
    EXPECT_EQ(graph.Chart3->chart()->series().size(), 2);
    graph.hide();
  }
}

// Pattern 1 of the image becomes the given segments.
void SetSegments(TCore& core, const std::vector<Segment>& segments) {
  for (int s = 1; s <= 30; ++s) {
    const Segment seg = static_cast<size_t>(s) <= segments.size() ? segments[static_cast<size_t>(s - 1)]
                                                                   : Segment{kEmpty, kEmpty, kEmpty};
    SetCell(core, 1, 1, s, seg.sp1);
    SetCell(core, 1, 2, s, seg.time);
    SetCell(core, 1, 3, s, seg.sp2);
  }
}

TEST(PatternGraphWindow, EveryShowingLooksAsAFreshWindowShowingTheSameData) {
  const struct {
    const char* name;
    std::vector<Segment> segments;
    int c64;
  } showings[] = {
      {"two segments, h:min", {{100, 60, 50}, {500, 65, 60}}, 0},
      {"three segments, seconds", {{200, 30, 20}, {300, 300, 30}, {100, 400, 10}}, 2},
      {"empty pattern", {}, 0},
      {"one segment, min:s", {{-50, 90, 100}}, 1},
  };
  for (uint16_t hw1 : {uint16_t{0x0800}, uint16_t{0}}) {
    auto core = MakeImage({}, 0, hw1);
    SetSetup(*core, 5, 1, 50);
    TPGraph reused(*core, 1);
    for (const auto& showing : showings) {
      SCOPED_TRACE(std::string(showing.name) + (hw1 ? ", two loops" : ", one loop"));
      SetSegments(*core, showing.segments);
      SetSetup(*core, 8, 64, showing.c64);
      reused.DrawPattern(1);
      reused.show();
      TPGraph fresh(*core, 1);
      fresh.DrawPattern(1);
      fresh.move(reused.pos());
      fresh.show();
      QApplication::processEvents();
      for (auto chart : {&TPGraph::Chart1, &TPGraph::Chart2, &TPGraph::Chart3}) {
        QChartView* was = reused.*chart;
        QChartView* now = fresh.*chart;
        EXPECT_EQ(was->isVisible(), now->isVisible()) << now->objectName().toStdString();
        EXPECT_EQ(kvltest::DescribeChart(was->chart()), kvltest::DescribeChart(now->chart()))
            << now->objectName().toStdString();
        if (now->isVisible()) {
          EXPECT_TRUE(kvltest::ChartPicture(was) == kvltest::ChartPicture(now)) << now->objectName().toStdString();
        }
      }
      reused.OKBtn->click();
    }
  }
}

// Waits until the window has the size and its charts are laid out.
bool LaidOutAt(TPGraph& graph, QSize size) {
  return QTest::qWaitFor([&] { return graph.size() == size && !graph.LayoutPending(); }, 20000);
}

// What a size decides: each chart's place in the window and its plot area.
struct ChartPlaces {
  bool shown[3];
  QRect view[3];
  QRectF plot[3];
};

ChartPlaces PlacesOf(TPGraph& graph) {
  ChartPlaces places{};
  int i = 0;
  for (QChartView* view : {graph.Chart1, graph.Chart2, graph.Chart3}) {
    places.shown[i] = view->isVisible();
    places.view[i] = view->geometry();
    places.plot[i] = view->chart()->plotArea();
    ++i;
  }
  return places;
}

// A pattern with its profile, a limit line and three lanes.
std::unique_ptr<TCore> LaneImage(uint16_t hw1, int language) {
  auto core = MakeImage({{100, 30, 50}, {500, 60, 60}, {-20, 90, 70}}, 0, hw1, language);
  for (int item : {1, 5, 9}) SetSetup(*core, 5, item, 50);
  SetCell(*core, 1, 4, 2, 10);
  SetCell(*core, 1, 5, 2, 40);
  return core;
}

TEST(PatternGraphWindow, TheChartsShareOneTimeScaleAndTimeLabelsDoNotOverlap) {
  // Short segments next to long ones: neighbouring time labels would run
  // into each other at the default size.
  auto core = MakeImage({{100, 30, 50}, {3000, 30, 60}, {-200, 360, 70}, {400, 5, 80}, {100, 5, 90}}, 0, 0x0800);
  SetSetup(*core, 5, 1, 50);
  SetSetup(*core, 5, 5, 50);
  SetSetup(*core, 5, 9, 50);
  TPGraph graph(*core, 1);
  graph.DrawPattern(1);
  graph.show();
  for (QSize size : {QSize(497, 419), QSize(900, 700), QSize(420, 360)}) {
    SCOPED_TRACE(size.width());
    graph.resize(size);
    ASSERT_TRUE(LaidOutAt(graph, size));
    const QRectF a1 = graph.Chart1->chart()->plotArea();
    for (QChartView* view : {graph.Chart2, graph.Chart3}) {
      const QRectF a = view->chart()->plotArea();
      EXPECT_DOUBLE_EQ(a.left(), a1.left()) << view->objectName().toStdString();
      EXPECT_DOUBLE_EQ(a.width(), a1.width()) << view->objectName().toStdString();
    }
    // The shown time labels keep apart; every profile point keeps its label.
    auto* axis = qobject_cast<QCategoryAxis*>(graph.Chart1->chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(axis, nullptr);
    const QFontMetricsF metrics(axis->labelsFont());
    qreal lastRight = -1e9;
    int shown = 0;
    for (const QString& label : axis->categoriesLabels()) {
      if (label.trimmed().isEmpty()) continue;
      const qreal x = a1.width() * axis->endValue(label) / graph.TotalTime;
      const qreal half = metrics.horizontalAdvance(label) / 2;
      EXPECT_GE(x - half, lastRight) << label.toStdString();
      lastRight = x + half;
      ++shown;
    }
    EXPECT_GE(shown, 2);
    EXPECT_EQ(axis->categoriesLabels().size(), 6);
  }
  EXPECT_EQ(kvl::ComputePatternGraph(*core, 1, 1).Sp1.Points.size(), 6u);
}

TEST(PatternGraphWindow, EveryResizeLooksAsAFreshWindowOpenedAtThatSize) {
  const std::vector<QSize> upward = {QSize(497, 419), QSize(760, 560), QSize(1100, 860)};
  const std::vector<QSize> downward = {QSize(1100, 860), QSize(700, 500), QSize(497, 419)};
  for (uint16_t hw1 : {uint16_t{0x0800}, uint16_t{0}}) {
    auto core = LaneImage(hw1, 1);
    for (const auto* sizes : {&upward, &downward}) {
      TPGraph resized(*core, 1);
      resized.resize(sizes->front());
      resized.DrawPattern(1);
      resized.show();
      for (const QSize size : *sizes) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                     (sizes == &upward ? " growing" : " shrinking") + (hw1 ? ", two loops" : ", one loop"));
        resized.resize(size);
        ASSERT_TRUE(LaidOutAt(resized, size)) << resized.width() << "x" << resized.height();
        TPGraph fresh(*core, 1);
        fresh.resize(size);
        fresh.DrawPattern(1);
        fresh.show();
        ASSERT_TRUE(LaidOutAt(fresh, size));
        const ChartPlaces was = PlacesOf(resized);
        const ChartPlaces now = PlacesOf(fresh);
        const kvl::PatternGraphHeights heights =
            kvl::PatternGraphLayout(fresh.frameGeometry().height(), fresh.Panel1->height());
        for (int i = 0; i < 3; ++i) {
          SCOPED_TRACE("Chart" + std::to_string(i + 1));
          EXPECT_EQ(was.shown[i], now.shown[i]);
          if (!now.shown[i]) continue;
          EXPECT_EQ(was.view[i], now.view[i]);
          EXPECT_EQ(was.plot[i], now.plot[i]);
          // Inside its chart, spanning its width less the axis labels, on
          // the left edge and width the charts share.
          EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(now.view[i].size())).contains(now.plot[i])) << now.plot[i].width();
          EXPECT_GT(now.plot[i].width(), now.view[i].width() - 130);
          EXPECT_GT(now.plot[i].height(), 0);
          EXPECT_DOUBLE_EQ(now.plot[i].left(), now.plot[0].left());
          EXPECT_DOUBLE_EQ(now.plot[i].width(), now.plot[0].width());
          EXPECT_EQ(now.view[i].width(), size.width());
        }
        EXPECT_EQ(fresh.Chart3->height(), heights.Chart3);
        if (hw1) {
          EXPECT_EQ(fresh.Chart2->height(), heights.Chart2);
        }
        EXPECT_EQ(fresh.Chart3->geometry().bottom() + 1, fresh.Panel1->geometry().top());
        EXPECT_EQ(fresh.Chart1->geometry().top(), 0);
        EXPECT_EQ(fresh.Panel1->geometry().bottom() + 1, size.height());
      }
    }
  }
}

// A pattern with the given number of lanes shown (EV1.. first, then T1..).
std::unique_ptr<TCore> LanesImage(int lanes, uint16_t hw1, int language) {
  auto core = MakeImage({{100, 30, 50}, {500, 60, 60}}, 0, hw1, language);
  core->Model.HardwareType2 = 0x20;
  for (int k = 0; k < 3; ++k) SetSetup(*core, 5, 1 + 4 * k, k < lanes ? 50 : 0);
  SetSetup(*core, 5, 13, std::clamp(8 - lanes, 0, 5));  // TT = n: T1..Tn are not lanes
  return core;
}

TEST(PatternGraphWindow, EveryLaneLabelIsDrawnWholeBesideItsLane) {
  const QSize design(497, 419), large(1100, 860);
  for (int language : {0, 1}) {
    for (uint16_t hw1 : {uint16_t{0}, uint16_t{0x0800}}) {
      for (const QSize size : {design, large}) {
        SCOPED_TRACE(std::string(language ? "English" : "Japanese") + (hw1 ? ", two loops, " : ", one loop, ") +
                     std::to_string(size.width()));
        auto core = LanesImage(8, hw1, language);
        TPGraph graph(*core, language);
        graph.resize(size);
        graph.DrawPattern(1);
        graph.show();
        ASSERT_TRUE(LaidOutAt(graph, size));
        QChart* chart = graph.Chart3->chart();
        const QRectF plot = chart->plotArea();
        const QFont chartFont = chart->axes(Qt::Vertical).front()->labelsFont();
        ASSERT_EQ(graph.LaneLabelCount(), 8u);
        for (size_t k = 0; k < 8; ++k) {
          SCOPED_TRACE(kvl::LaneLabels[k]);
          EXPECT_EQ(graph.LaneLabelText(k).toStdString(), kvl::LaneLabels[k]);
          EXPECT_TRUE(graph.LaneLabelShown(k));
          EXPECT_GE(graph.LaneLabelPointSize(k), 8.0);
          EXPECT_LE(graph.LaneLabelPointSize(k), chartFont.pointSizeF());
          if (size == large) {
            EXPECT_DOUBLE_EQ(graph.LaneLabelPointSize(k), chartFont.pointSizeF());
          }
          const QRectF ink = graph.LaneLabelRect(k);
          // Left of the plot area, inside the chart, on its lane's height.
          EXPECT_LE(ink.right(), plot.left());
          EXPECT_GE(ink.left(), 0.0);
          const qreal laneY = plot.top() + (k + 1) * plot.height() / 9;  // lanes 8 .. 1 of 0 .. 9
          EXPECT_NEAR(ink.center().y(), laneY, 1.0);
          if (k > 0) {
            EXPECT_LE(graph.LaneLabelRect(k - 1).bottom(), ink.top()) << "runs into the lane above";
          }
        }
        // The lane labels' room does not cost the charts their shared edge.
        EXPECT_DOUBLE_EQ(plot.left(), graph.Chart1->chart()->plotArea().left());
      }
    }
  }
}

TEST(PatternGraphWindow, FewLanesKeepTheChartsFontAtTheDesignSize) {
  for (int language : {0, 1}) {
    auto core = LanesImage(3, 0x0800, language);
    TPGraph graph(*core, language);
    graph.DrawPattern(1);
    graph.show();
    ASSERT_TRUE(LaidOutAt(graph, QSize(497, 419)));
    const QFont chartFont = graph.Chart3->chart()->axes(Qt::Vertical).front()->labelsFont();
    ASSERT_EQ(graph.LaneLabelCount(), 3u);
    for (size_t k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(graph.LaneLabelPointSize(k), chartFont.pointSizeF()) << k;
  }
}

TEST(GraphCommands, MainWindowOpensBothGraphs) {
  kvltest::MainFormHarness h;
  h.Start();
  QAction* table = h.Form->MenuItem("TableGraph");
  QAction* pattern = h.Form->MenuItem("PatternGraph");
  ASSERT_NE(table, nullptr);
  ASSERT_NE(pattern, nullptr);
  std::vector<std::string> titles;
  auto closeSoon = [&titles] {
    QTimer::singleShot(0, [&titles] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        titles.push_back(modal->windowTitle().toStdString());
        modal->close();
      }
    });
  };
  closeSoon();
  pattern->setEnabled(true);
  pattern->trigger();
  closeSoon();
  table->setEnabled(true);
  table->trigger();
  EXPECT_EQ(titles, (std::vector<std::string>{"Pattern Graph", "Table graph"}));
  EXPECT_NE(h.Form->findChild<TPGraph*>(QStringLiteral("PGraph")), nullptr);
  EXPECT_NE(h.Form->findChild<TGraph*>(QStringLiteral("Graph")), nullptr);
}

}  // namespace
