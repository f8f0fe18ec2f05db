// The drawing rules, checked by the pixels of a painted grid: backgrounds by
// cell parameter, fixed cells and focus colours, grid lines, the 3-D frame
// of fixed cells, the dotted focus frame, text placement and repeat count,
// multi-line cells with their inner lines, word-wrapped cells and brushes.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include <string>
#include <vector>

#include "GridTestSupport.h"

namespace {

using gridtest::InkBounds;
using gridtest::PaintGrid;
using gridtest::TestFont;
using gridtest::TTestGrid;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kFixed(0xD4, 0xD0, 0xC8);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

std::string Name(const QColor& c) { return c.name().toStdString(); }

// Three columns of 40 and three rows of 20 pixels, one fixed of each, with
// one-pixel lines: columns at x 0, 41, 82 and rows at y 0, 21, 42.
void SetUpSmallGrid(TTestGrid& grid) {
  grid.SetColCount(3);
  grid.SetRowCount(3);
  grid.SetDefaultColWidth(40);
  grid.SetDefaultRowHeight(20);
  grid.SetColor(kWhite);
  grid.SetFixedColor(kFixed);
  grid.SetFocusCellColor(kYellow);
  grid.SetClientSize(130, 70);
}

struct Probe {
  const char* What;
  int X, Y;
  QColor Expected;
};

void ExpectPixels(const QImage& image, const std::vector<Probe>& probes) {
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.What << " at " << p.X << "," << p.Y);
    EXPECT_EQ(Name(image.pixelColor(p.X, p.Y)), Name(p.Expected));
  }
}

TEST(GridDrawing, BackgroundsLinesAndFixedFrames) {
  const QColor highlight = SystemColor(TSystemColor::BtnHighlight);
  const QColor grey(0x80, 0x80, 0x80);
  const QColor silver(0xC0, 0xC0, 0xC0);
  ASSERT_NE(Name(highlight), Name(kFixed));
  TTestGrid grid;
  SetUpSmallGrid(grid);
  grid.SetCellColors(2, 1, kRed);
  TSCGCellParam* fixedParam = grid.CellParams().Add();  // a fixed cell's parameter without its own colour
  fixedParam->SetCol(2);
  fixedParam->SetRow(0);
  TSCGCellParam* plain = grid.CellParams().Add();  // a scrolling cell's parameter without its own colour
  plain->SetCol(1);
  plain->SetRow(2);

  ExpectPixels(PaintGrid(grid), {
                                    {"selected current cell without focus: focus colour", 60, 30, kYellow},
                                    {"cell colour of its parameter", 100, 30, kRed},
                                    {"cell without parameter", 100, 52, kWhite},
                                    {"parameter without colour", 60, 52, kWhite},
                                    {"fixed cell", 20, 30, kFixed},
                                    {"fixed cell's parameter without colour", 100, 10, kFixed},
                                    {"line right of a fixed cell", 40, 30, kBlack},
                                    {"line below a fixed cell", 60, 20, kBlack},
                                    {"line right of a scrolling cell", 81, 52, silver},
                                    {"line below a scrolling cell", 60, 41, silver},
                                    {"line crossing", 81, 41, silver},
                                    {"beyond the last column", 126, 30, kWhite},
                                    {"below the last row", 60, 66, kWhite},
                                    {"fixed frame top", 60, 0, highlight},
                                    {"fixed frame left", 41, 10, highlight},
                                    {"fixed frame top-left corner", 41, 0, highlight},
                                    {"fixed frame bottom", 60, 19, grey},
                                    {"fixed frame right", 80, 10, grey},
                                    {"fixed frame bottom-right corner", 80, 19, grey},
                                    {"inside the fixed frame", 60, 10, kFixed},
                                });

  // No focus drawing, no scrolling lines (the fixed ones keep the gap), no 3-D frame.
  grid.SetFocusDraw(false);
  grid.SetOptions(grid.Options() & ~TGridOptions(goVertLine | goHorzLine));
  grid.SetCtl3D(false);
  ExpectPixels(PaintGrid(grid), {
                                    {"current cell without focus drawing", 60, 30, kWhite},
                                    {"no line right of a scrolling cell", 81, 52, kWhite},
                                    {"no line below a scrolling cell", 60, 41, kWhite},
                                    {"fixed lines stay", 40, 30, kBlack},
                                    {"no fixed frame", 60, 0, kFixed},
                                    {"no fixed frame", 80, 10, kFixed},
                                });

  // Without any line option the cells touch.
  grid.SetOptions(TGridOptions());
  EXPECT_EQ(grid.CellRect(1, 1), (TRect{40, 20, 80, 40}));
  ExpectPixels(PaintGrid(grid), {{"cells side by side", 80, 25, kRed}, {"fixed next to scrolling", 39, 25, kFixed}});
}

TEST(GridDrawing, FocusColoursAndTheDottedFocusFrame) {
  TTestGrid grid;
  SetUpSmallGrid(grid);
  grid.Focused = true;
  // The current cell (1,1) spans x 41..80 and y 21..40.
  ExpectPixels(PaintGrid(grid), {
                                    {"focused cell keeps its colour", 60, 30, kWhite},
                                    {"dot on the top row", 41, 21, kBlack},
                                    {"gap on the top row", 42, 21, kWhite},
                                    {"dot on the top row", 79, 21, kBlack},
                                    {"dot on the bottom row", 41, 40, kBlack},
                                    {"gap on the bottom row", 80, 40, kWhite},
                                    {"dot on the left column", 41, 23, kBlack},
                                    {"gap on the left column", 41, 22, kWhite},
                                    {"dot on the right column", 80, 23, kBlack},
                                    {"gap on the right column", 80, 24, kWhite},
                                    {"no frame on other cells", 83, 21, kWhite},
                                });

  // Painted in the focus colour, the dots are its inverse.
  grid.SetOptions(grid.Options() | goDrawFocusSelected);
  ExpectPixels(PaintGrid(grid), {
                                    {"focused cell in the focus colour", 60, 30, kYellow},
                                    {"dot over yellow", 41, 21, kBlue},
                                    {"gap", 42, 21, kYellow},
                                });

  // Other selected cells are painted in the focus colour; the focused one
  // only with goDrawFocusSelected.
  grid.SetOptions(grid.Options() & ~TGridOptions(goDrawFocusSelected));
  grid.KeyMove(Qt::Key_Right, true, false);  // select (1,1)..(2,1), focus on (2,1)
  ExpectPixels(PaintGrid(grid), {
                                    {"selected, not focused", 60, 30, kYellow},
                                    {"focused", 100, 30, kWhite},
                                });

  // Whole-row selection: every cell of the row in the focus colour and a
  // frame over the row, open between the cells.
  grid.SetOptions(grid.Options() | goRowSelect);
  const QImage row = PaintGrid(grid);
  ExpectPixels(row, {
                        {"row cell", 60, 30, kYellow},
                        {"row cell", 100, 30, kYellow},
                        {"left side of the row frame", 41, 23, kBlue},
                        {"no side between cells", 80, 23, kYellow},
                        {"no side between cells", 82, 23, kYellow},
                        {"right side of the row frame", 121, 23, kBlue},
                    });

  struct Contrast {
    QColor In, Out;
  };
  for (const Contrast& c : std::vector<Contrast>{{kWhite, kBlack},
                                                 {kYellow, kBlue},
                                                 {QColor(0x12, 0x34, 0x56), QColor(0xED, 0xCB, 0xA9)},
                                                 {QColor(128, 128, 128), kWhite},
                                                 {QColor(127, 127, 127), kWhite},
                                                 {QColor(125, 131, 127), kWhite},
                                                 {QColor(110, 128, 128), QColor(145, 127, 127)}}) {
    SCOPED_TRACE(Name(c.In));
    EXPECT_EQ(Name(kvl::grid::ContrastColor(c.In)), Name(c.Out));
  }
}

// Where the ink of a text must lie when it starts at `origin`.
TRect ExpectedInk(const QString& text, QPoint origin, int repeat) {
  const QFontMetrics metrics(TestFont());
  const QRect tight = metrics.tightBoundingRect(text);
  const int baseline = origin.y() + metrics.ascent();
  return {origin.x() + tight.left(), baseline + tight.top(), origin.x() + tight.right() + repeat - 1,
          baseline + tight.bottom()};
}

void ExpectNear(const TRect& ink, const TRect& expected) {
  EXPECT_NEAR(ink.Left, expected.Left, 1);
  EXPECT_NEAR(ink.Top, expected.Top, 1);
  EXPECT_NEAR(ink.Right, expected.Right, 1);
  EXPECT_NEAR(ink.Bottom, expected.Bottom, 1);
}

TEST(GridDrawing, TextPlacementAndRepeatCount) {
  const QString text = QStringLiteral("MM");
  const QFontMetrics metrics(TestFont());
  const int width = metrics.horizontalAdvance(text);
  const int height = metrics.height();
  struct Case {
    TAlignment Alignment;
    TTextLayout Layout;
    int Repeat;
  };
  const std::vector<Case> cases = {
      {taLeftJustify, tlTop, 1},    {taRightJustify, tlTop, 1},  {taCenter, tlTop, 1},
      {taLeftJustify, tlCenter, 1}, {taRightJustify, tlBottom, 1}, {taCenter, tlCenter, 1},
      {taLeftJustify, tlTop, 3},    {taRightJustify, tlCenter, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alignment " << int(c.Alignment) << " layout " << int(c.Layout)
                                    << " repeat " << c.Repeat);
    TTestGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetDefaultColWidth(100);
    grid.SetDefaultRowHeight(40);
    grid.SetColor(kWhite);
    grid.SetFocusDraw(false);
    grid.SetClientSize(220, 90);
    grid.SetCells(1, 1, text);
    grid.SetCellAlignments(1, 1, c.Alignment);
    grid.SetCellFontWidths(1, 1, c.Repeat);
    grid.SetCellFontColors(1, 1, kBlack);
    grid.GetCellParamPointer(1, 1, false)->SetLayout(c.Layout);
    const TRect cell = grid.CellRect(1, 1);
    ASSERT_EQ(cell, (TRect{101, 41, 201, 81}));
    const QPoint origin = kvl::grid::TextOrigin(c.Alignment, c.Layout, cell, cell, width, height);
    ExpectNear(InkBounds(PaintGrid(grid), cell, kWhite), ExpectedInk(text, origin, c.Repeat));
  }

  // The placement rules themselves.
  const TRect cell{10, 20, 110, 60};
  EXPECT_EQ(kvl::grid::TextOrigin(taLeftJustify, tlTop, cell, cell, 30, 15), QPoint(12, 22));
  EXPECT_EQ(kvl::grid::TextOrigin(taRightJustify, tlBottom, cell, cell, 30, 15), QPoint(78, 44));
  EXPECT_EQ(kvl::grid::TextOrigin(taCenter, tlCenter, cell, cell, 31, 15), QPoint(44, 33));
  // Centring rounds towards zero, also for a text wider than its cell.
  EXPECT_EQ(kvl::grid::TextOrigin(taCenter, tlCenter, cell, TRect{10, 20, 110, 27}, 103, 10), QPoint(9, 20));

  // Without a parameter: the grid's placement, the fixed placement in fixed
  // cells; a repeat count of 0 draws nothing.
  TTestGrid grid;
  grid.SetColCount(2);
  grid.SetRowCount(2);
  grid.SetDefaultColWidth(100);
  grid.SetDefaultRowHeight(40);
  grid.SetColor(kWhite);
  grid.SetFixedColor(kWhite);
  grid.SetCtl3D(false);
  grid.SetFocusDraw(false);
  grid.SetClientSize(220, 90);
  grid.SetAlignment(taRightJustify);
  grid.SetLayout(tlBottom);
  grid.SetFixedAlignment(taCenter);
  grid.SetFixedLayout(tlCenter);
  grid.SetCells(1, 1, text);
  grid.SetCells(0, 1, text);
  const QImage image = PaintGrid(grid);
  const TRect scrolling = grid.CellRect(1, 1);
  const TRect fixed = grid.CellRect(0, 1);
  ExpectNear(InkBounds(image, scrolling, kWhite),
             ExpectedInk(text, kvl::grid::TextOrigin(taRightJustify, tlBottom, scrolling, scrolling, width, height), 1));
  ExpectNear(InkBounds(image, fixed, kWhite),
             ExpectedInk(text, kvl::grid::TextOrigin(taCenter, tlCenter, fixed, fixed, width, height), 1));
  grid.SetCellFontWidths(1, 1, 0);
  EXPECT_TRUE(InkBounds(PaintGrid(grid), scrolling, kWhite).IsEmpty());
}

TEST(GridDrawing, MultiLineCellsAndWordWrap) {
  const QColor silver(0xC0, 0xC0, 0xC0);
  TTestGrid grid;
  grid.SetColCount(2);
  grid.SetRowCount(2);
  grid.SetDefaultColWidth(100);
  grid.SetDefaultRowHeight(40);
  grid.SetColor(kWhite);
  grid.SetFixedColor(kFixed);
  grid.SetFocusDraw(false);
  grid.SetClientSize(220, 90);
  grid.SetCells(1, 1, QStringLiteral("M\r\nM"));
  grid.SetCellAlignments(1, 1, taRightJustify);
  grid.SetCellFontColors(1, 1, kBlack);
  const TRect cell = grid.CellRect(1, 1);  // {101, 41, 201, 81}: lines of 20 pixels
  const TRect top{cell.Left, cell.Top, cell.Right, cell.Top + 20};
  const TRect bottom{cell.Left, cell.Top + 20, cell.Right, cell.Bottom};
  grid.SetCells(0, 1, QStringLiteral("\r\n\r\n"));  // two empty lines in a fixed cell
  const TRect fixed = grid.CellRect(0, 1);

  QImage image = PaintGrid(grid);
  const TRect first = InkBounds(image, {top.Left, top.Top, top.Right, top.Bottom - 1}, kWhite);
  const TRect second = InkBounds(image, {bottom.Left, bottom.Top + 1, bottom.Right, bottom.Bottom}, kWhite);
  ASSERT_FALSE(first.IsEmpty());
  ASSERT_FALSE(second.IsEmpty());
  EXPECT_GT(first.Left, cell.Left + 50);  // both right-aligned
  EXPECT_EQ(first.Left, second.Left);
  EXPECT_EQ(second.Top - first.Top, 20);  // each half the cell high
  ExpectPixels(image, {
                          {"inner line at the second line's top", cell.Left, cell.Top + 20, silver},
                          {"inner line to the right end", cell.Right - 1, cell.Top + 20, silver},
                          {"no inner line above", cell.Left + 5, cell.Top + 19, kWhite},
                          {"fixed: light line at the second line's top", fixed.Left + 50, fixed.Top + 20,
                           SystemColor(TSystemColor::BtnHighlight)},
                          {"fixed: shadow above it", fixed.Left + 50, fixed.Top + 19,
                           SystemColor(TSystemColor::BtnShadow)},
                      });

  // A final line break starts no line; an empty text draws only the background.
  grid.SetCells(1, 1, QStringLiteral("M\r\n"));
  grid.SetCells(0, 1, QString());
  image = PaintGrid(grid);
  ExpectPixels(image, {{"no inner line", cell.Left + 5, cell.Top + 20, kWhite},
                       {"no inner line in the fixed cell", fixed.Left + 50, fixed.Top + 20, kFixed}});
  EXPECT_LT(InkBounds(image, cell, kWhite).Bottom, cell.Top + 20);
  // Without goHorzLine there are no inner lines.
  grid.SetCells(1, 1, QStringLiteral("M\r\nM"));
  grid.SetOptions(grid.Options() & ~TGridOptions(goHorzLine));
  ExpectPixels(PaintGrid(grid), {{"no inner line", cell.Left + 5, cell.Top + 20, kWhite}});

  // One word-wrapped text from the top-left, whatever the alignment.
  grid.SetCellDivide(false);
  grid.SetCells(1, 1, QStringLiteral("MMM MMM MMM MMM"));
  const QFontMetrics metrics(TestFont());
  ASSERT_GT(metrics.horizontalAdvance(QStringLiteral("MMM MMM MMM MMM")), cell.Width() - 4);
  const TRect wrapped = InkBounds(PaintGrid(grid), cell, kWhite);
  EXPECT_NEAR(wrapped.Left, cell.Left + 2 + metrics.tightBoundingRect(QStringLiteral("M")).left(), 1);
  EXPECT_GT(wrapped.Bottom - wrapped.Top, metrics.height());  // more than one line
  EXPECT_LE(wrapped.Right, cell.Right - 3);                   // inside the cell shrunk by 2
  EXPECT_LE(wrapped.Bottom, cell.Bottom - 3);
}

TEST(GridDrawing, BrushPatternOverTheCell) {
  TTestGrid grid;
  SetUpSmallGrid(grid);
  grid.SetFocusDraw(false);
  grid.SetCellBrushEnabled(2, 2, true);
  grid.SetCellBrushStyles(2, 2, Qt::CrossPattern);
  grid.SetCellBrushColors(2, 2, kBlue);
  EXPECT_EQ(grid.GetCellBrushStyles(2, 2), Qt::CrossPattern);
  const QImage image = PaintGrid(grid);
  const TRect cell = grid.CellRect(2, 2);
  int blue = 0;
  int white = 0;
  for (int y = cell.Top; y < cell.Bottom; ++y) {
    for (int x = cell.Left; x < cell.Right; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == kBlue) ++blue;
      if (c == kWhite) ++white;
    }
  }
  EXPECT_GT(blue, 20);
  EXPECT_GT(white, blue);  // a pattern over the background, not a fill
  EXPECT_EQ(blue + white, cell.Width() * cell.Height());
  ExpectPixels(image, {{"the line right of it", cell.Right, cell.Top + 5, QColor(0xC0, 0xC0, 0xC0)},
                       {"the line below it", cell.Left + 5, cell.Bottom, QColor(0xC0, 0xC0, 0xC0)}});
}

TEST(GridDrawing, HandlersReplaceTextsAndLinesAndDrawAfterTheCell) {
  TTestGrid grid;
  SetUpSmallGrid(grid);
  grid.SetFocusDraw(false);
  grid.SetCells(2, 2, QStringLiteral("x"));
  std::vector<std::string> calls;
  grid.OnOutCellText = [&](TSCGSender* sender, TCustomStrColGrid* g, const TRect&, int col, int row,
                           const QString& caption, QString& value, bool& reset) {
    EXPECT_EQ(sender, g);
    EXPECT_TRUE(caption.isEmpty());
    EXPECT_TRUE(reset);
    if (col == 2 && row == 2) value = QStringLiteral("M\r\nM");
  };
  TSCGCellParam* p = grid.GetCellParamPointer(1, 2, true);
  p->SetCaption(QStringLiteral("M"));
  p->SetCaptionType(ctHeader);
  p->OnOutCellText = [&](TSCGSender* sender, TCustomStrColGrid* g, const TRect&, int, int, const QString& caption,
                         QString& value, bool& reset) {
    EXPECT_EQ(sender, p);
    calls.push_back("param text " + caption.toStdString() + "+" + value.toStdString());
    // The canvas stays as the handler leaves it: red text.
    g->Canvas().Font.Color = kRed;
    reset = false;
  };
  p->OnDrawCell = [&](TSCGSender*, TCustomStrColGrid* g, int col, int row, const TRect& rect, TGridDrawState) {
    calls.push_back("param draw " + std::to_string(col) + "," + std::to_string(row));
    g->Canvas().Brush.SetColor(kRed);
    g->Canvas().FillRect({rect.Left, rect.Top, rect.Left + 3, rect.Top + 3});
  };
  grid.OnDrawTextOneLine = [&](TSCGSender*, TCustomStrColGrid*, const TRect&, int col, int row, int index,
                               TGridDrawState, QString& text, TAlignment& alignment, TTextLayout&, bool& inner) {
    if (col != 2 || row != 2) return;
    calls.push_back("line " + std::to_string(index) + " " + text.toStdString());
    if (index == 1) {
      text = QString();  // the second line drawn empty
      inner = false;     // and without its inner line
    }
    alignment = taRightJustify;
  };
  grid.OnDrawCell = [&](TSCGSender*, int col, int row, const TRect&, TGridDrawState state) {
    if (col == 2 && row == 2) calls.push_back(std::string("grid draw") + (state & gdFixed ? " fixed" : ""));
  };
  const QImage image = PaintGrid(grid);
  EXPECT_EQ(calls, (std::vector<std::string>{"param text M+M", "param draw 1,2", "line 0 M", "line 1 M",
                                             "grid draw"}));
  const TRect cell = grid.CellRect(2, 2);  // lines of 10 pixels
  const TRect ink = InkBounds(image, cell, kWhite);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Left, cell.Left + 20);       // right-aligned by the handler
  EXPECT_LT(ink.Bottom, cell.Top + 10 + 2);  // only the first line
  const TRect captioned = grid.CellRect(1, 2);
  ExpectPixels(image, {{"no inner line", cell.Left + 2, cell.Top + 10, kWhite},
                       {"drawn after the cell", captioned.Left + 1, captioned.Top + 1, kRed}});
  // The caption's text in the colour the handler left.
  int red = 0;
  for (int y = captioned.Top + 4; y < captioned.Bottom; ++y)
    for (int x = captioned.Left; x < captioned.Right; ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
    }
  EXPECT_GT(red, 5);
}

}  // namespace
