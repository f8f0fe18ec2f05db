// The table graph window: each linearization table in use drawn as a broken
// line from input value (x) to output value (y), with the break points that
// share an input value marked in red.
//
// The points, marks, axis ranges and visible sheets are computed by the plain
// functions below from the data image; the window only shows them.
#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "DialogPresenter.h"

class QChart;
class QChartView;
class QPushButton;
class QTabWidget;
class QWidget;
class TCore;

namespace kvl {

struct ChartPoint {
  double X = 0.0;
  double Y = 0.0;
  bool operator==(const ChartPoint&) const = default;
};

struct ChartSegment {
  ChartPoint From;
  ChartPoint To;
  bool operator==(const ChartSegment&) const = default;
};

struct AxisRange {
  double Min = 0.0;
  double Max = 0.0;
  bool operator==(const AxisRange&) const = default;
};

// One chart of the table graph.
struct TableChart {
  bool InUse = false;            // the table's switch (C08, C28, C29) is nonzero
  std::vector<ChartPoint> Line;  // the blue line, in ascending x order
  // The ten red marks, mark n - 1 for break point n + 1 when it repeats the
  // input value of the last plotted point; empty where there is none.
  std::array<std::optional<ChartSegment>, 10> Marks;
  AxisRange X;  // both axes scale to every point drawn
  AxisRange Y;
};

struct TableGraphPlan {
  std::array<bool, 3> TabVisible = {false, false, false};
  std::array<bool, 3> Plotted = {false, false, false};
  // The sheet to make active; -1 leaves the active sheet as it was.
  int ActivePage = -1;
  std::array<TableChart, 3> Charts;
};

// The standard decimal conversion: the leading number of the text (leading
// blanks skipped), 0 when it starts with none.
double LeadingNumber(const std::string& text);

// The chart of table 0, 1 or 2 from the current data image.
TableChart ComputeTableChart(TCore& core, int table);

// Whether plotting the table makes its sheet the active one: it is in use
// and no earlier table is.
bool TableTakesActivePage(TCore& core, int table);

// Which sheets show, which tables are plotted and the sheet made active.
TableGraphPlan ComputeTableGraph(TCore& core);

struct TableGraphTexts {
  std::string Caption;
  std::array<std::string, 3> Sheets;
  std::string Ok;
};
TableGraphTexts TableGraphTextsFor(int language);

}  // namespace kvl

class TGraph : public QDialog, public kvl::TModalForm {
 public:
  TGraph(TCore& core, int language, QWidget* parent = nullptr);

  // Shown as a form; Enter and Esc both close it with OK.
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  // Chooses the visible sheets and plots the tables; before every showing.
  void SetupTables();
  // Clears and redraws one chart (table 0, 1 or 2).
  void PlotTable(int table);
  void BitBtn1Click();

  QWidget* Panel1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  std::array<QWidget*, 3> TabSheets = {};
  std::array<QChartView*, 3> Charts = {};

 private:
  TCore& Core;
};
