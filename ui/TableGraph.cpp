#include "TableGraph.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "UCore.h"

namespace kvl {

namespace {

int SetupValue(TCore& core, int item) {
  const ParamDescriptor* d = core.GetParam(8, item, 1, 0);
  return d ? d->Value : 0;
}

// The switch parameters of the three tables: C08, C28, C29.
constexpr int kSwitchItem[3] = {8, 28, 29};

double TableValue(TCore& core, int item, int sub) {
  std::string value;
  std::string name;
  core.GetParamText(9, item, sub, 0, value, name);
  return LeadingNumber(value);
}

}  // namespace

double LeadingNumber(const std::string& text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')) ++p;
  if (p != end && *p == '+') ++p;
  double value = 0.0;
  const auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec != std::errc()) return 0.0;
  return value;
}

TableChart ComputeTableChart(TCore& core, int table) {
  TableChart chart;
  if (table < 0 || table > 2) return chart;
  chart.InUse = SetupValue(core, kSwitchItem[table]) != 0;
  if (!chart.InUse) return chart;

  ChartPoint start;
  ChartPoint end;
  if (table < 2) {
    const int d = core.GetDecimalPoint(table);
    const double s = std::pow(10.0, d);
    start = {-2000.0 / s, -2000.0 / s};
    end = {10000.0 / s, 10000.0 / s};
  } else {
    start = {0.0, 0.0};
    end = {4.0, 4.0};
  }

  ChartPoint points[12];
  for (int i = 1; i <= 11; ++i)
    points[i] = {TableValue(core, i, 2 * table + 1), TableValue(core, i, 2 * table + 2)};

  chart.Line.push_back(start);
  chart.Line.push_back(points[1]);
  int last = 1;
  for (int i = 2; i <= 11; ++i) {
    if (points[i].X > points[last].X) {
      chart.Line.push_back(points[i]);
      last = i;
    } else if (points[i].X == points[last].X) {
      chart.Line.push_back(points[i]);
      chart.Marks[static_cast<size_t>(i - 2)] = ChartSegment{points[last], points[i]};
    }
  }
  chart.Line.push_back(end);
  // The series keeps its points in ascending x order; equal x keep the order
  // they were added in.
  std::stable_sort(chart.Line.begin(), chart.Line.end(),
                   [](const ChartPoint& a, const ChartPoint& b) { return a.X < b.X; });

  chart.X = {chart.Line.front().X, chart.Line.front().X};
  chart.Y = {chart.Line.front().Y, chart.Line.front().Y};
  for (const ChartPoint& p : chart.Line) {
    chart.X = {std::min(chart.X.Min, p.X), std::max(chart.X.Max, p.X)};
    chart.Y = {std::min(chart.Y.Min, p.Y), std::max(chart.Y.Max, p.Y)};
  }
  return chart;
}

bool TableTakesActivePage(TCore& core, int table) {
  if (table < 0 || table > 2) return false;
  for (int t = 0; t < table; ++t)
    if (SetupValue(core, kSwitchItem[t]) != 0) return false;
  return SetupValue(core, kSwitchItem[table]) != 0;
}

TableGraphPlan ComputeTableGraph(TCore& core) {
  TableGraphPlan plan;
  int tables = 1;
  if (!(core.Model.HardwareType1 & 0x800)) {
    plan.TabVisible = {false, false, false};
  } else if (core.Model.HardwareType2 & 4) {  // carbon potential
    plan.TabVisible = {true, true, true};
    tables = 3;
  } else {
    plan.TabVisible = {true, true, false};
    tables = 2;
  }
  for (int t = 0; t < tables; ++t) {
    plan.Plotted[static_cast<size_t>(t)] = true;
    plan.Charts[static_cast<size_t>(t)] = ComputeTableChart(core, t);
    if (plan.ActivePage < 0 && TableTakesActivePage(core, t)) plan.ActivePage = t;
  }
  return plan;
}

TableGraphTexts TableGraphTextsFor(int language) {
  if (language == 0)
    return {"折線ｸﾞﾗﾌ", {"折線ｸﾞﾗﾌ1(A,B)", "折線ｸﾞﾗﾌ2(C,D)", "折線ｸﾞﾗﾌ3(E,F)"}, "OK"};
  return {"Table graph", {"Table graph1(A,B)", "Table graph2(C,D)", "Table graph3(E,F)"}, "OK"};
}

}  // namespace kvl

namespace {

QChart* NewChart() {
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setTitle(QString());
  return chart;
}

// A chart view that pans the value axis while it is dragged with the left
// mouse button; the input axis stays as it is.
class TPanChartView : public QChartView {
 public:
  TPanChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QChartView::mousePressEvent(event);
    Dragging = true;
    Last = event->position();
    event->accept();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!Dragging) return QChartView::mouseMoveEvent(event);
    const qreal dy = event->position().y() - Last.y();
    Last = event->position();
    // The picture follows the mouse: dragging down shows higher values.
    if (dy != 0) chart()->scroll(0, dy);
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !Dragging) return QChartView::mouseReleaseEvent(event);
    Dragging = false;
    event->accept();
  }

 private:
  bool Dragging = false;
  QPointF Last;
};

}  // namespace

TGraph::TGraph(TCore& core, int language, QWidget* parent) : QDialog(parent), Core(core) {
  setObjectName(QStringLiteral("Graph"));
  const kvl::TableGraphTexts texts = kvl::TableGraphTextsFor(language);
  setWindowTitle(QString::fromStdString(texts.Caption));
  resize(560, 440);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  for (int t = 0; t < 3; ++t) {
    auto* sheet = new QWidget(PageControl1);
    sheet->setObjectName(QStringLiteral("TabSheet%1").arg(t + 1));
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    auto* view = new TPanChartView(NewChart(), sheet);
    view->setObjectName(QStringLiteral("Chart%1").arg(t + 1));
    view->setRenderHint(QPainter::Antialiasing);
    sheetLayout->addWidget(view);
    PageControl1->addTab(sheet, QString::fromStdString(texts.Sheets[static_cast<size_t>(t)]));
    TabSheets[static_cast<size_t>(t)] = sheet;
    Charts[static_cast<size_t>(t)] = view;
  }
  layout->addWidget(PageControl1, 1);

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(41);
  auto* panelLayout = new QHBoxLayout(Panel1);
  // The OK button keeps 30 pixels from the panel's right edge.
  panelLayout->setContentsMargins(0, 8, 30, 8);
  panelLayout->addStretch(1);
  BitBtn1 = new QPushButton(QString::fromStdString(texts.Ok), Panel1);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setFixedSize(75, 25);
  BitBtn1->setDefault(true);
  panelLayout->addWidget(BitBtn1);
  layout->addWidget(Panel1);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TGraph::SetupTables() {
  const kvl::TableGraphPlan plan = kvl::ComputeTableGraph(Core);
  for (int t = 0; t < 3; ++t) PageControl1->setTabVisible(t, plan.TabVisible[static_cast<size_t>(t)]);
  const bool anyTab = std::any_of(plan.TabVisible.begin(), plan.TabVisible.end(), [](bool v) { return v; });
  PageControl1->tabBar()->setVisible(anyTab);
  for (int t = 0; t < 3; ++t)
    if (plan.Plotted[static_cast<size_t>(t)]) PlotTable(t);
}

void TGraph::PlotTable(int table) {
  if (table < 0 || table > 2) return;
  const kvl::TableChart data = kvl::ComputeTableChart(Core, table);
  // Every showing draws on a new chart, unpanned: a chart whose axes are
  // taken away while the window is hidden keeps drawing the old ones when it
  // is shown again.
  QChartView* view = Charts[static_cast<size_t>(table)];
  QChart* old = view->chart();
  QChart* chart = NewChart();
  view->setChart(chart);
  delete old;
  auto* axisX = new QValueAxis;
  auto* axisY = new QValueAxis;
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  if (!data.InUse) {
    axisX->setLabelsVisible(false);
    axisY->setLabelsVisible(false);
    return;
  }
  axisX->setLabelsVisible(true);
  axisY->setLabelsVisible(true);
  if (kvl::TableTakesActivePage(Core, table)) PageControl1->setCurrentIndex(table);

  auto* blue = new QLineSeries;
  blue->setPen(QPen(QColor(0, 0, 255), 1));
  for (const kvl::ChartPoint& p : data.Line) blue->append(p.X, p.Y);
  chart->addSeries(blue);
  blue->attachAxis(axisX);
  blue->attachAxis(axisY);
  for (const auto& mark : data.Marks) {
    if (!mark) continue;
    auto* red = new QLineSeries;
    red->setPen(QPen(QColor(255, 0, 0), 2));
    red->append(mark->From.X, mark->From.Y);
    red->append(mark->To.X, mark->To.Y);
    chart->addSeries(red);
    red->attachAxis(axisX);
    red->attachAxis(axisY);
  }
  axisX->setRange(data.X.Min, data.X.Max);
  axisY->setRange(data.Y.Min, data.Y.Max);
}

void TGraph::BitBtn1Click() { accept(); }

int TGraph::ExecModal() {
  exec();
  return kvl::kModalOk;
}

int TGraph::AnswerKey(bool) { return kvl::kModalOk; }

std::string TGraph::FormCaption() const { return windowTitle().toStdString(); }
