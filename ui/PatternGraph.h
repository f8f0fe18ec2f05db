// The pattern graph window: one program pattern over time, the SP1 profile
// (and the SP2 profile on two-loop models) with its setpoint limits, and
// below them one lane per time event with its ON intervals and the segment
// ends.
//
// Every point, range, label and lane is computed by the plain functions below
// from the data image; the window only shows them.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DialogPresenter.h"

class QChartView;
class QGraphicsSimpleTextItem;
class QPushButton;
class QWidget;
class TCore;

namespace kvl {

// The lane labels in lane order (EV1..EV3, T1..T5).
extern const char* const LaneLabels[8];

enum class TimeLabels { Clock, Decimal };

// The axis title and label style of the program time unit C64.
struct TimeUnitTexts {
  std::string Title;
  TimeLabels Labels = TimeLabels::Decimal;
};
TimeUnitTexts TimeUnitFor(int c64, int language);

// The bottom-axis label of an elapsed time in program time units.
std::string ElapsedLabel(int32_t elapsed, TimeLabels labels);

struct ProfilePoint {
  double X = 0.0;
  double Y = 0.0;
  std::string Label;
  bool operator==(const ProfilePoint&) const = default;
};

// One horizontal bar: from Start to End at height Y; a bar of length 0
// carries a lane label.
struct Bar {
  double Start = 0.0;
  double End = 0.0;
  double Y = 0.0;
  std::string Label;
  bool operator==(const Bar&) const = default;
};

struct Lane {
  int Index = 0;  // 0..7, into LaneLabels and the event items
  double Y = 0.0;
  bool operator==(const Lane&) const = default;
};

struct EventChart {
  std::vector<Lane> Lanes;
  std::vector<Bar> Bars;  // the label bars of the lanes, then the ON intervals
  double LeftMin = 8.0;
  double LeftMax = 9.0;
  double BottomMax = 0.0;
  // The end of segment n at Boundaries[n - 1]; empty for the segments not drawn.
  std::array<std::optional<double>, 30> Boundaries;
};

struct ProfileChart {
  double Lower = 0.0;  // the limits (C09/C10 or C32/C33), scaled
  double Upper = 0.0;
  double Min = 0.0;  // the axis range, scaled
  double Max = 0.0;
  std::vector<ProfilePoint> Points;
  std::vector<Bar> LimitLines;
};

struct PatternGraphData {
  int ChannelCount = 1;
  int32_t TotalTime = 0;
  // False when TotalTime is 0 or less: the charts stay empty with blank axis
  // titles and hidden labels.
  bool Drawn = false;
  TimeUnitTexts TimeUnit;
  ProfileChart Sp1;
  ProfileChart Sp2;  // only with two channels
  EventChart Events;
};

// The whole graph of pattern 1..19 from the current data image; a pattern
// outside that range gives an empty graph.
PatternGraphData ComputePatternGraph(TCore& core, int pattern, int language);

// The event lanes and intervals of a pattern whose total time is known.
EventChart ComputeEventChart(TCore& core, int pattern, int32_t totalTime);

// Heights of the lane chart and the SP2 chart for the window's outer height
// and the bottom panel's height.
struct PatternGraphHeights {
  int Chart2 = 0;
  int Chart3 = 0;
};
PatternGraphHeights PatternGraphLayout(int outerHeight, int panelHeight);

std::string PatternGraphCaption(int language);

}  // namespace kvl

class TPGraph : public QDialog, public kvl::TModalForm {
 public:
  TPGraph(TCore& core, int language, QWidget* parent = nullptr);

  // Shown as a form; Enter and Esc both close it with OK.
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  // Rebuilds all three charts for pattern 1..19.
  void DrawPattern(int pattern);
  void OKBtnClick();
  // Whether the charts' layout after a drawing or a resize is still to come.
  bool LayoutPending() const { return AlignmentPending; }

  // The lane labels as drawn, from the top lane down: text, point size,
  // visibility and the rectangle of their ink in the lane chart.
  size_t LaneLabelCount() const { return LaneTexts.size(); }
  QString LaneLabelText(size_t lane) const;
  double LaneLabelPointSize(size_t lane) const;
  bool LaneLabelShown(size_t lane) const;
  QRectF LaneLabelRect(size_t lane) const;

  int32_t TotalTime = 0;
  int ChannelCount = 1;

  QChartView* Chart1 = nullptr;
  QChartView* Chart2 = nullptr;
  QChartView* Chart3 = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* OKBtn = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The plot areas of the shown charts get one left edge and one width, so
  // that their time scales stand under each other; the time labels whose
  // text would overlap a neighbour's leave it out.
  void AlignPlotAreas();
  void ScheduleAlignment();
  bool AlignmentPending = false;
  // The profile points' time labels, at their times.
  std::vector<std::pair<double, std::string>> TimeLabels;
  // Places the charts and the panel for the window's size.
  void FormResize();
  // The lane labels beside their lanes of the plot area, in the chart's font
  // or, where they would run into each other, a smaller one of at least 8
  // points.
  void PlaceLaneLabels(const QRectF& plot);
  // The room the lane labels take left of the plot area.
  qreal LaneLabelWidth() const;
  struct LaneText {
    QGraphicsSimpleTextItem* Item;  // owned by the lane chart
    double Y;
  };
  std::vector<LaneText> LaneTexts;
  QFont LaneFont;
  double LaneMin = 8.0;
  double LaneMax = 9.0;
  static constexpr qreal kLaneLabelGap = 4;
  // The lane chart; the end of DrawPattern.
  void DrawEvents(const kvl::EventChart& events);

  TCore& Core;
  int Language;
};
