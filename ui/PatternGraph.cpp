#include "PatternGraph.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QMargins>
#include <QLineSeries>
#include <QPen>
#include <QPushButton>
#include <QResizeEvent>
#include <QSet>
#include <QTimer>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "UCore.h"

namespace kvl {

const char* const LaneLabels[8] = {"EV1", "EV2", "EV3", " T1", " T2", " T3", " T4", " T5"};

namespace {

constexpr int kEmpty = 32767;
constexpr int kSegments = 30;
constexpr int kItemSp1 = 1;
constexpr int kItemTime = 2;
constexpr int kItemSp2 = 3;
constexpr int kTimeEventType = 50;

// A program cell; a cell that does not exist reads as empty.
int Cell(TCore& core, int pattern, int item, int segment) {
  const PatternSlot* slot = core.GetPatternValue(pattern, item, segment);
  return slot ? slot->Value : kEmpty;
}

int Setup(TCore& core, int bank, int item) {
  const ParamDescriptor* d = core.GetParam(bank, item, 1, 0);
  return d ? d->Value : 0;
}

double Scale(double value, int decimals) { return decimals == -1 ? value : value / std::pow(10.0, decimals); }

// The number of used segments: up to the first empty SP1.
int UsedSegments(TCore& core, int pattern) {
  int used = 0;
  while (used < kSegments && Cell(core, pattern, kItemSp1, used + 1) != kEmpty) ++used;
  return used;
}

// Whether lane k (0..7) is shown.
bool LaneShown(TCore& core, int k) {
  if (k < 3) return Setup(core, 5, 1 + 4 * k) == kTimeEventType;  // ET1, ET2, ET3
  const int i = k - 2;                                             // time event T1..T5
  if (!(core.Model.HardwareType2 & 0x20)) return false;
  if (i - 1 < Setup(core, 5, 13)) return false;  // TT = n: T1..Tn are segment-number events
  if (core.DataRevision == 1) return Setup(core, 5, 17 + 4 * (i - 1)) == kTimeEventType;  // ET.T1..ET.T5
  return true;
}

}  // namespace

TimeUnitTexts TimeUnitFor(int c64, int language) {
  const bool ja = language == 0;
  switch (c64) {
    case 0:
      return {ja ? "時間[h:min]" : "Time[h:min]", TimeLabels::Clock};
    case 1:
      return {ja ? "時間[min:s]" : "Time[min:s]", TimeLabels::Clock};
    default:
      return {ja ? "時間[s]" : "Time[s]", TimeLabels::Decimal};
  }
}

std::string ElapsedLabel(int32_t elapsed, TimeLabels labels) {
  char text[48];
  if (labels == TimeLabels::Clock)
    std::snprintf(text, sizeof text, "%d:%.2d", static_cast<int>(elapsed / 60), static_cast<int>(elapsed % 60));
  else
    std::snprintf(text, sizeof text, "%.1f", elapsed * 0.1);
  return text;
}

EventChart ComputeEventChart(TCore& core, int pattern, int32_t totalTime) {
  EventChart chart;
  chart.BottomMax = totalTime;
  for (int k = 0; k < 8; ++k) {
    if (!LaneShown(core, k)) continue;
    const double y = 8 - static_cast<int>(chart.Lanes.size());
    chart.Lanes.push_back({k, y});
    chart.Bars.push_back({0.0, 0.0, y, LaneLabels[k]});
  }
  chart.LeftMin = 8 - static_cast<int>(chart.Lanes.size());
  chart.LeftMax = 9;

  const int used = UsedSegments(core, pattern);
  int32_t elapsed = 0;
  for (int s = 1; s <= used && elapsed < totalTime; ++s) {
    const int32_t t = Cell(core, pattern, kItemTime, s);
    for (const Lane& lane : chart.Lanes) {
      const int on = Cell(core, pattern, 4 + 2 * lane.Index, s);
      if (on == kEmpty || on > t) continue;
      const int offCell = Cell(core, pattern, 5 + 2 * lane.Index, s);
      const int32_t off = offCell != kEmpty && offCell <= t ? offCell : t;
      chart.Bars.push_back({static_cast<double>(elapsed + on), static_cast<double>(elapsed + off), lane.Y, ""});
    }
    elapsed += t;
    chart.Boundaries[static_cast<size_t>(s - 1)] = elapsed;
  }
  return chart;
}

PatternGraphData ComputePatternGraph(TCore& core, int pattern, int language) {
  PatternGraphData data;
  data.ChannelCount = core.Model.HardwareType1 & 0x800 ? 2 : 1;
  if (pattern < 1 || pattern > core.GetPatternCount()) return data;

  const int l1 = Setup(core, 8, 9);
  const int u1 = Setup(core, 8, 10);
  const int l2 = Setup(core, 8, 32);
  const int u2 = Setup(core, 8, 33);
  double min1 = l1, max1 = u1, min2 = l2, max2 = u2;

  const int used = UsedSegments(core, pattern);
  int32_t total = 0;
  for (int s = 1; s <= used; ++s) {
    total += Cell(core, pattern, kItemTime, s);
    const double sp1 = Cell(core, pattern, kItemSp1, s);
    if (sp1 > max1)
      max1 = sp1 + 0.1 * std::fabs(sp1);
    else if (sp1 < min1)
      min1 = sp1 - 0.1 * std::fabs(sp1);
    const int sp2 = Cell(core, pattern, kItemSp2, s);
    if (data.ChannelCount == 2 && sp2 != kEmpty) {
      if (sp2 > max2)
        max2 = sp2;
      else if (sp2 < min2)
        min2 = sp2;
    }
  }
  data.TotalTime = total;

  const int d1 = core.GetDecimalPoint(0);
  const int d2 = core.GetDecimalPoint(2);
  data.Sp1 = {Scale(l1, d1), Scale(u1, d1), Scale(min1, d1), Scale(max1, d1), {}, {}};
  if (data.ChannelCount == 2) data.Sp2 = {Scale(l2, d2), Scale(u2, d2), Scale(min2, d2), Scale(max2, d2), {}, {}};

  if (total <= 0) return data;
  data.Drawn = true;
  data.TimeUnit = TimeUnitFor(Setup(core, 8, 64), language);

  for (ProfileChart* chart : {&data.Sp1, &data.Sp2}) {
    if (chart == &data.Sp2 && data.ChannelCount != 2) break;
    if (chart->Min < chart->Lower) chart->LimitLines.push_back({0.0, static_cast<double>(total), chart->Lower, ""});
    if (chart->Max > chart->Upper) chart->LimitLines.push_back({0.0, static_cast<double>(total), chart->Upper, ""});
  }

  const std::string firstLabel = data.TimeUnit.Labels == TimeLabels::Clock ? "0:00" : "0.0";
  data.Sp1.Points.push_back({0.0, Scale(Cell(core, pattern, kItemSp1, 1), d1), firstLabel});
  const int firstSp2 = Cell(core, pattern, kItemSp2, 1);
  if (data.ChannelCount == 2 && firstSp2 != kEmpty) data.Sp2.Points.push_back({0.0, Scale(firstSp2, d2), firstLabel});
  int32_t elapsed = 0;
  for (int s = 1; s <= used && elapsed < total; ++s) {
    elapsed += Cell(core, pattern, kItemTime, s);
    const std::string label = ElapsedLabel(elapsed, data.TimeUnit.Labels);
    data.Sp1.Points.push_back({static_cast<double>(elapsed), Scale(Cell(core, pattern, kItemSp1, s), d1), label});
    const int sp2 = Cell(core, pattern, kItemSp2, s);
    if (data.ChannelCount == 2 && sp2 != kEmpty)
      data.Sp2.Points.push_back({static_cast<double>(elapsed), Scale(sp2, d2), label});
  }

  data.Events = ComputeEventChart(core, pattern, total);
  return data;
}

PatternGraphHeights PatternGraphLayout(int outerHeight, int panelHeight) {
  const int h = outerHeight - panelHeight - 30;
  return {h * 157 / 418, h * 104 / 418};
}

std::string PatternGraphCaption(int language) { return language == 0 ? "ﾊﾟﾀｰﾝｸﾞﾗﾌ" : "Pattern Graph"; }

}  // namespace kvl

namespace {

QChart* NewChart() {
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setMargins(QMargins(4, 2, 16, 2));
  // No padding around the margins: the lane chart needs every pixel of its
  // height to keep eight lane labels apart at the window's design size.
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  return chart;
}

QChartView* MakeChart(QWidget* parent, const char* name) {
  auto* view = new QChartView(NewChart(), parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

// A new, empty chart in the view. Every drawing starts from one: a chart
// whose axes are taken away while its view is hidden keeps drawing the old
// ones when it is shown again.
QChart* RenewChart(QChartView* view) {
  QChart* old = view->chart();
  QChart* chart = NewChart();
  view->setChart(chart);
  delete old;
  return chart;
}

void AddLine(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, const QColor& colour, qreal width, double x1,
             double y1, double x2, double y2) {
  auto* series = new QLineSeries;
  series->setPen(QPen(colour, width));
  series->append(x1, y1);
  series->append(x2, y2);
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// Text labels at values: a category axis whose labels stand on their values.
// Labels that repeat, or values that do not rise, keep the first one.
QCategoryAxis* LabelAxis(double min, double max, const std::vector<std::pair<double, std::string>>& labels) {
  auto* axis = new QCategoryAxis;
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axis->setRange(min, max);
  axis->setStartValue(min);
  QSet<QString> seen;
  bool first = true;
  double last = 0.0;
  for (const auto& [value, text] : labels) {
    const QString label = QString::fromStdString(text);
    if (seen.contains(label) || (!first && value <= last)) continue;
    axis->append(label, value);
    seen.insert(label);
    first = false;
    last = value;
  }
  return axis;
}

// An SP chart: blank titles and hidden labels, then, when drawn, its profile,
// limit lines and axes.
void ShowProfile(QChartView* view, const kvl::PatternGraphData& data, const kvl::ProfileChart& profile,
                 const char* title) {
  QChart* chart = RenewChart(view);
  if (!data.Drawn) {
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    for (QValueAxis* axis : {x, y}) {
      axis->setTitleText(QStringLiteral(" "));
      axis->setLabelsVisible(false);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return;
  }
  std::vector<std::pair<double, std::string>> labels;
  for (const kvl::ProfilePoint& p : profile.Points) labels.emplace_back(p.X, p.Label);
  QCategoryAxis* x = LabelAxis(0, data.TotalTime, labels);
  x->setTitleText(QString::fromStdString(data.TimeUnit.Title));
  auto* y = new QValueAxis;
  y->setTitleText(QString::fromLatin1(title));
  y->setRange(profile.Min, profile.Max);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  for (const kvl::Bar& bar : profile.LimitLines)
    AddLine(chart, x, y, QColor(0xFF, 0x00, 0xFF), 2, bar.Start, bar.Y, bar.End, bar.Y);
  auto* line = new QLineSeries;
  line->setPen(QPen(QColor(0, 0, 255), 2));
  for (const kvl::ProfilePoint& p : profile.Points) line->append(p.X, p.Y);
  chart->addSeries(line);
  line->attachAxis(x);
  line->attachAxis(y);
}

}  // namespace

TPGraph::TPGraph(TCore& core, int language, QWidget* parent) : QDialog(parent), Core(core), Language(language) {
  setObjectName(QStringLiteral("PGraph"));
  setWindowTitle(QString::fromStdString(kvl::PatternGraphCaption(language)));
  resize(497, 419);

  // The charts and the panel are placed by FormResize, not by a layout: a
  // layout would hold the window to the sizes its charts once had.
  Chart1 = MakeChart(this, "Chart1");
  Chart2 = MakeChart(this, "Chart2");
  Chart3 = MakeChart(this, "Chart3");
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  OKBtn = new QPushButton(QStringLiteral("OK"), Panel1);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setFixedSize(75, 25);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  for (QChartView* view : {Chart1, Chart2, Chart3}) view->installEventFilter(this);
  FormResize();
}

void TPGraph::DrawPattern(int pattern) {
  const kvl::PatternGraphData data = kvl::ComputePatternGraph(Core, pattern, Language);
  TotalTime = data.TotalTime;
  ChannelCount = data.ChannelCount;
  LaneTexts.clear();  // they go with the lane chart
  Chart2->setVisible(ChannelCount == 2);
  ShowProfile(Chart1, data, data.Sp1, "SP1");
  if (ChannelCount == 2)
    ShowProfile(Chart2, data, data.Sp2, "SP2");
  else
    RenewChart(Chart2);
  if (data.Drawn) {
    DrawEvents(data.Events);
  } else {
    // The lane chart stays empty as well.
    QChart* chart = RenewChart(Chart3);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setVisible(false);
    y->setLabelsVisible(false);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
  }
  TimeLabels.clear();
  if (data.Drawn)
    for (const kvl::ProfilePoint& p : data.Sp1.Points) TimeLabels.emplace_back(p.X, p.Label);
  FormResize();
  ScheduleAlignment();
}

void TPGraph::DrawEvents(const kvl::EventChart& events) {
  QChart* chart = RenewChart(Chart3);
  std::vector<std::pair<double, std::string>> labels;
  for (auto lane = events.Lanes.rbegin(); lane != events.Lanes.rend(); ++lane)
    labels.emplace_back(lane->Y, kvl::LaneLabels[lane->Index]);
  QCategoryAxis* y = LabelAxis(events.LeftMin, events.LeftMax, labels);
  // The axis would elide or leave out labels that do not fit between two
  // lanes: the window draws them itself, beside their lanes.
  y->setLabelsVisible(false);
  auto* x = new QValueAxis;
  x->setRange(0, events.BottomMax);
  x->setVisible(false);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (const kvl::Bar& bar : events.Bars)
    if (bar.End != bar.Start) AddLine(chart, x, y, QColor(0xFF, 0x00, 0x00), 8, bar.Start, bar.Y, bar.End, bar.Y);
  for (const auto& boundary : events.Boundaries)
    if (boundary) AddLine(chart, x, y, QColor(0xC0, 0xC0, 0xC0), 1, *boundary, 0, *boundary, 9);
  LaneFont = y->labelsFont();
  LaneMin = events.LeftMin;
  LaneMax = events.LeftMax;
  for (const kvl::Lane& lane : events.Lanes) {
    auto* text = new QGraphicsSimpleTextItem(QString::fromLatin1(kvl::LaneLabels[lane.Index]), chart);
    text->setBrush(y->labelsBrush());
    text->setZValue(10);
    LaneTexts.push_back({text, lane.Y});
  }
}

void TPGraph::OKBtnClick() { accept(); }

int TPGraph::ExecModal() {
  exec();
  return kvl::kModalOk;
}

int TPGraph::AnswerKey(bool) { return kvl::kModalOk; }

std::string TPGraph::FormCaption() const { return windowTitle().toStdString(); }

void TPGraph::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

void TPGraph::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormResize();
}

void TPGraph::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  // The window manager's frame arrives with a move; the heights count it.
  FormResize();
}

bool TPGraph::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::Show) ScheduleAlignment();
  return QDialog::eventFilter(watched, event);
}

void TPGraph::ScheduleAlignment() {
  if (AlignmentPending) return;
  AlignmentPending = true;
  QTimer::singleShot(0, this, [this] { AlignPlotAreas(); });
}

void TPGraph::AlignPlotAreas() {
  AlignmentPending = false;
  std::vector<QChart*> charts;
  for (QChartView* view : {Chart1, Chart2, Chart3})
    if (!view->isHidden()) charts.push_back(view->chart());
  if (charts.empty()) return;
  // Each chart's own plot area first, then the narrowest span they share.
  qreal left = 0, right = 1e9;
  std::vector<QRectF> natural;
  for (QChart* chart : charts) {
    // Releasing a fixed plot area does not lay the chart out again by itself.
    chart->setPlotArea(QRectF());
    if (chart->layout()) {
      chart->layout()->invalidate();
      chart->layout()->activate();
    }
    const QRectF area = chart->plotArea();
    natural.push_back(area);
    // The lane chart's own labels stand left of its plot area.
    const qreal labels = chart == Chart3->chart() ? LaneLabelWidth() : 0;
    left = std::max(left, area.left() + labels);
    right = std::min(right, area.right());
  }
  if (right <= left) return;
  for (size_t i = 0; i < charts.size(); ++i) {
    const QRectF area(left, natural[i].top(), right - left, natural[i].height());
    charts[i]->setPlotArea(area);
    if (charts[i] == Chart3->chart()) PlaceLaneLabels(area);
  }

  // The time labels that fit: a label's text is left out when it would run
  // into the last one shown; its grid line stays.
  if (TotalTime <= 0) return;
  for (QChartView* view : {Chart1, Chart2}) {
    if (view->isHidden()) continue;
    const auto axes = view->chart()->axes(Qt::Horizontal);
    auto* axis = axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(axes.front());
    if (!axis) continue;
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    const QFontMetricsF metrics(axis->labelsFont());
    constexpr qreal kGap = 4;
    qreal lastRight = -1e9;
    QString blank;
    bool first = true;
    double lastValue = 0;
    QSet<QString> seen;
    for (const auto& [value, text] : TimeLabels) {
      QString label = QString::fromStdString(text);
      if (seen.contains(label) || (!first && value <= lastValue)) continue;
      seen.insert(label);
      first = false;
      lastValue = value;
      const qreal x = (right - left) * value / TotalTime;
      const qreal half = metrics.horizontalAdvance(label) / 2;
      if (x - half < lastRight + kGap) {
        blank += QLatin1Char(' ');
        label = blank;  // distinct blank texts keep one category each
      } else {
        lastRight = x + half;
      }
      axis->append(label, value);
    }
  }
}

void TPGraph::FormResize() {
  const int w = width();
  const int panelHeight = 30;
  Panel1->setGeometry(0, height() - panelHeight, w, panelHeight);
  OKBtn->move(w - OKBtn->width() - 30, (panelHeight - OKBtn->height()) / 2);
  const kvl::PatternGraphHeights heights = kvl::PatternGraphLayout(frameGeometry().height(), panelHeight);
  // A chart view keeps the smallest and largest sizes its chart once asked
  // for; each placing starts without them.
  int bottom = height() - panelHeight;
  const auto place = [w, &bottom](QChartView* view, int h) {
    h = std::clamp(h, 0, std::max(0, bottom));
    view->setMinimumSize(0, 0);
    view->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QRect rect(0, bottom - h, w, h);
    bottom -= h;
    if (view->geometry() == rect) return false;
    view->setGeometry(rect);
    return true;
  };
  bool moved = place(Chart3, heights.Chart3);
  if (!Chart2->isHidden()) moved = place(Chart2, heights.Chart2) || moved;
  moved = place(Chart1, bottom) || moved;
  if (moved) ScheduleAlignment();
}

void TPGraph::PlaceLaneLabels(const QRectF& plot) {
  if (LaneTexts.empty() || plot.height() <= 0 || LaneMax <= LaneMin) return;
  // Labels whose ink would run into the next lane's take a smaller font,
  // down to 8 points.
  const qreal spacing = plot.height() / (LaneMax - LaneMin);
  QFont font = LaneFont;
  qreal points = font.pointSizeF();
  if (points <= 0) points = font.pixelSize() * 72.0 / std::max(1, logicalDpiY());
  const auto inkHeight = [this](const QFont& f) {
    const QFontMetricsF metrics(f);
    qreal h = 0;
    for (const LaneText& lane : LaneTexts) h = std::max(h, metrics.tightBoundingRect(lane.Item->text()).height());
    return h;
  };
  constexpr qreal kSmallest = 8.0;
  font.setPointSizeF(points);
  while (inkHeight(font) + 1 > spacing && points > kSmallest) {
    points = std::max(kSmallest, points - 0.5);
    font.setPointSizeF(points);
  }
  const QFontMetricsF metrics(font);
  for (const LaneText& lane : LaneTexts) {
    lane.Item->setFont(font);
    const QString text = lane.Item->text();
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal centre = plot.top() + (LaneMax - lane.Y) / (LaneMax - LaneMin) * plot.height();
    lane.Item->setPos(plot.left() - kLaneLabelGap - metrics.horizontalAdvance(text),
                      centre - (metrics.ascent() + ink.center().y()));
  }
}

qreal TPGraph::LaneLabelWidth() const {
  qreal width = 0;
  const QFontMetricsF metrics(LaneFont);
  for (const LaneText& lane : LaneTexts) width = std::max(width, metrics.horizontalAdvance(lane.Item->text()));
  return width == 0 ? 0 : width + kLaneLabelGap;
}

double TPGraph::LaneLabelPointSize(size_t lane) const {
  return lane < LaneTexts.size() ? LaneTexts[lane].Item->font().pointSizeF() : 0.0;
}

QRectF TPGraph::LaneLabelRect(size_t lane) const {
  if (lane >= LaneTexts.size()) return {};
  const QGraphicsSimpleTextItem* item = LaneTexts[lane].Item;
  const QFontMetricsF metrics(item->font());
  return metrics.tightBoundingRect(item->text()).translated(item->pos() + QPointF(0, metrics.ascent()));
}

QString TPGraph::LaneLabelText(size_t lane) const {
  return lane < LaneTexts.size() ? LaneTexts[lane].Item->text() : QString();
}

bool TPGraph::LaneLabelShown(size_t lane) const {
  return lane < LaneTexts.size() && LaneTexts[lane].Item->isVisible();
}
