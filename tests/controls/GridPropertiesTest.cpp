// The grid's own properties and per-cell operations: initial values, the
// refused positions, indexes and values (nothing changes), reads with and
// without a cell parameter, writes that append or change parameters, cell
// lines, the cell events of SelectCell, per-cell options and moving the
// current cell.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GridTestSupport.h"

namespace {

using gridtest::TTestGrid;

std::string S(const QString& text) { return text.toStdString(); }

TEST(GridProperties, InitialValues) {
  TTestGrid grid;
  EXPECT_EQ(grid.CellParams().Count(), 0);
  EXPECT_EQ(grid.FontCount(), 0);
  EXPECT_EQ(grid.Alignment(), taLeftJustify);
  EXPECT_EQ(grid.FixedAlignment(), taLeftJustify);
  EXPECT_EQ(grid.FixedLayout(), tlTop);
  EXPECT_TRUE(grid.FocusDraw());
  EXPECT_EQ(grid.FocusCellColor(), SystemColor(TSystemColor::Highlight));
  EXPECT_EQ(grid.FocusCellFontColor(), SystemColor(TSystemColor::HighlightText));
  EXPECT_FALSE(grid.FocusCellFontColorEnabled());
  EXPECT_EQ(grid.ImeMode(), imDontCare);
  EXPECT_TRUE(grid.CellDivide());
  EXPECT_EQ(grid.Layout(), tlTop);
  const TGridOptions initial =
      TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  EXPECT_EQ(grid.Options(), initial);
  EXPECT_EQ(grid.OptionsInForce(), initial);
  EXPECT_FALSE(grid.DefaultDrawing());
  EXPECT_TRUE(grid.Ctl3D());
  EXPECT_EQ(grid.Color(), SystemColor(TSystemColor::Window));
  EXPECT_EQ(grid.FixedColor(), SystemColor(TSystemColor::BtnFace));
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.FixedCols(), 1);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(grid.Row(), 1);
}

// Every refused call raises its text and changes nothing: not the cell
// parameters, not the fonts, not the texts, not the current cell.
struct Refusal {
  const char* Name;
  std::function<void(TTestGrid&)> Act;
  std::string Message;
  bool RangeError;
};

std::string Snapshot(TTestGrid& grid) {
  std::string s = std::to_string(grid.CellParams().Count()) + "/" + std::to_string(grid.FontCount()) + "/" +
                  std::to_string(grid.Col()) + "," + std::to_string(grid.Row()) + "/" +
                  std::to_string(grid.FixedCols()) + "," + std::to_string(grid.FixedRows());
  for (int i = 0; i < grid.CellParams().Count(); ++i) {
    const TSCGCellParam& p = *grid.CellParams().Items(i);
    s += "|" + S(p.GetDisplayName()) + ":" + std::to_string(p.FontWidth()) + ":" + S(p.FontName()) + ":" +
         std::to_string(int(p.Alignment()));
  }
  for (int c = 0; c < grid.ColCount(); ++c)
    for (int r = 0; r < grid.RowCount(); ++r) s += "|" + S(grid.Cells(c, r));
  return s;
}

TEST(GridProperties, RefusedPositionsIndexesAndValuesChangeNothing) {
  const std::string outside = "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。";
  const std::string index = "ｲﾝﾃﾞｯｸｽが範囲を超えました。";
  const std::vector<Refusal> cases = {
      {"column = column count", [](TTestGrid& g) { g.CheckColRowRange(5, 0); }, outside, true},
      {"row = row count", [](TTestGrid& g) { g.CheckColRowRange(0, 5); }, outside, true},
      {"negative column", [](TTestGrid& g) { g.CheckColRowRange(-1, 0); }, outside, true},
      {"alignment outside", [](TTestGrid& g) { g.SetCellAlignments(5, 1, taCenter); }, outside, true},
      {"colour read outside", [](TTestGrid& g) { g.GetCellColors(1, -1); }, outside, true},
      {"font width outside", [](TTestGrid& g) { g.SetCellFontWidths(0, 9, 2); }, outside, true},
      {"text outside", [](TTestGrid& g) { g.SetCells(5, 5, QStringLiteral("x")); }, outside, true},
      {"lines outside", [](TTestGrid& g) { g.SetCellLines(-1, 0, 0, QStringLiteral("x")); }, outside, true},
      {"record outside",
       [](TTestGrid& g) {
         TCellDrawParams p;
         p.Col = 1;
         p.Row = 5;
         g.SetCellParams(p);
       },
       outside, true},
      {"parameter created outside", [](TTestGrid& g) { g.GetCellParamPointer(7, 1, true); }, outside, true},
      {"negative font width on a cell without parameter", [](TTestGrid& g) { g.SetCellFontWidths(2, 2, -1); },
       "パラメータ4 (  2,  2)-(  0,  0).FontWidth の値が範囲を超えました", true},
      {"negative font width on a cell with parameter", [](TTestGrid& g) { g.SetCellFontWidths(1, 1, -3); },
       "パラメータ1 (  1,  1)-(  0,  0).FontWidth の値が範囲を超えました", true},
      {"negative font width in a record",
       [](TTestGrid& g) {
         TCellDrawParams p;
         g.GetCellParams(1, 1, p);
         p.Alignment = taCenter;
         p.FontWidth = -1;
         g.SetCellParams(p);
       },
       "パラメータ1 (  1,  1)-(  0,  0).FontWidth の値が範囲を超えました", true},
      {"font index past the fonts", [](TTestGrid& g) { g.SetCellFonts(2, 2, 2); }, index, true},
      {"font index below -1", [](TTestGrid& g) { g.SetCellFonts(1, 1, -2); }, index, true},
      {"font index in a record",
       [](TTestGrid& g) {
         TCellDrawParams p;
         g.GetCellParams(3, 3, p);
         p.FontIndex = 2;
         g.SetCellParams(p);
       },
       index, true},
      {"deleting a font past the end", [](TTestGrid& g) { g.DeleteFont(2); }, index, true},
      {"deleting a font before the start", [](TTestGrid& g) { g.DeleteFont(-1); }, index, true},
      {"deleting a font in use", [](TTestGrid& g) { g.DeleteFont(1); }, "使用中のﾌｫﾝﾄを削除しようとしました。",
       false},
      {"negative line index", [](TTestGrid& g) { g.SetCellLines(1, 1, -1, QStringLiteral("x")); },
       "List index out of bounds (-1)", true},
      {"line index past the limit",
       [](TTestGrid& g) { g.SetCellLines(1, 1, TCustomStrColGrid::kMaxCellLines, QStringLiteral("x")); },
       "List index out of bounds (1024)", true},
      {"negative line index read", [](TTestGrid& g) { g.CellLines(1, 1, -1); }, "List index out of bounds (-1)",
       true},
      {"current cell in a fixed column", [](TTestGrid& g) { g.SetCol(0); }, outside, true},
      {"current cell past the rows", [](TTestGrid& g) { g.SetRow(5); }, outside, true},
      {"fixed columns = column count", [](TTestGrid& g) { g.SetFixedCols(5); },
       "Fixed column count must be less than column count", true},
      {"negative fixed rows", [](TTestGrid& g) { g.SetFixedRows(-1); }, "Fixed row count must be less than row count",
       true},
      {"width of a column past the end", [](TTestGrid& g) { g.SetColWidths(5, 10); }, "Grid index out of range",
       true},
      {"height of a negative row", [](TTestGrid& g) { g.RowHeights(-1); }, "Grid index out of range", true},
      {"negative width", [](TTestGrid& g) { g.SetColWidths(1, -1); }, "Column width must not be negative", true},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestGrid grid;
    grid.SetCells(1, 1, QStringLiteral("12.5"));
    grid.AddFont(grid.Font());
    grid.AddFont(grid.Font());
    grid.SetCellAlignments(1, 1, taRightJustify);  // パラメータ1
    grid.SetCellFonts(1, 2, 1);                    // パラメータ2 uses フォント2
    grid.SetCellColors(3, 3, QColor(1, 2, 3));     // パラメータ3
    const std::string before = Snapshot(grid);
    try {
      c.Act(grid);
      ADD_FAILURE() << "no error";
    } catch (const EGridRangeError& error) {
      EXPECT_TRUE(c.RangeError) << "a range error";
      EXPECT_EQ(S(error.Message()), c.Message);
    } catch (const EGridError& error) {
      EXPECT_FALSE(c.RangeError) << "a general error";
      EXPECT_EQ(S(error.Message()), c.Message);
    }
    EXPECT_EQ(Snapshot(grid), before);
  }
}

TEST(GridProperties, CellsOutsideTheGridReadEmptyAndShrinkingDropsTexts) {
  TTestGrid grid;
  grid.SetCells(4, 4, QStringLiteral("x"));
  EXPECT_EQ(S(grid.Cells(4, 4)), "x");
  EXPECT_TRUE(grid.Cells(5, 4).isEmpty());
  EXPECT_TRUE(grid.Cells(-1, 0).isEmpty());
  grid.SetColCount(4);
  grid.SetColCount(5);
  EXPECT_TRUE(grid.Cells(4, 4).isEmpty());
}

TEST(GridProperties, ReadsWithoutParameterGiveTheGridsValues) {
  TTestGrid grid;
  grid.SetAlignment(taCenter);
  grid.SetColor(QColor(10, 20, 30));
  grid.SetFixedColor(QColor(40, 50, 60));
  TGridFont font = grid.Font();
  font.Color = QColor(70, 80, 90);
  grid.SetFont(font);
  grid.Canvas().Brush.SetStyle(Qt::Dense4Pattern);
  for (const auto& [col, row] : std::vector<std::pair<int, int>>{{2, 2}, {0, 0}, {0, 3}}) {
    SCOPED_TRACE(testing::Message() << col << "," << row);
    EXPECT_EQ(grid.GetCellAlignments(col, row), taCenter);
    EXPECT_EQ(grid.GetCellFontColors(col, row), QColor(70, 80, 90));
    EXPECT_EQ(grid.GetCellFontWidths(col, row), 1);
    EXPECT_EQ(grid.GetCellColors(col, row), QColor(10, 20, 30));
    EXPECT_FALSE(grid.GetCellBrushEnabled(col, row));
    EXPECT_EQ(grid.GetCellBrushStyles(col, row), Qt::Dense4Pattern);
    EXPECT_EQ(grid.GetCellBrushColors(col, row), QColor(10, 20, 30));
    EXPECT_EQ(grid.GetCellFonts(col, row), -1);
  }
  EXPECT_EQ(grid.CellParams().Count(), 0);

  TCellDrawParams p;
  grid.GetCellParams(0, 2, p);  // a fixed cell
  EXPECT_EQ(p.Col, 0);
  EXPECT_EQ(p.Row, 2);
  EXPECT_EQ(p.Alignment, taCenter);
  EXPECT_EQ(p.FontColor, QColor(70, 80, 90));
  EXPECT_EQ(p.FontWidth, 1);
  EXPECT_EQ(p.CellColor, QColor(40, 50, 60));
  EXPECT_FALSE(p.BrushEnabled);
  EXPECT_EQ(p.BrushStyle, Qt::NoBrush);
  EXPECT_EQ(p.BrushColor, QColor(10, 20, 30));
  EXPECT_EQ(p.FontIndex, -1);
  grid.GetCellParams(2, 2, p);
  EXPECT_EQ(p.CellColor, QColor(10, 20, 30));
}

TEST(GridProperties, WritesAppendOneParameterPerCellWithTheGridsColours) {
  TTestGrid grid;
  grid.SetColor(QColor(10, 20, 30));
  grid.SetFixedColor(QColor(40, 50, 60));
  grid.AddFont(grid.Font());

  struct Write {
    const char* Name;
    int Col, Row;
    std::function<void(TTestGrid&, int, int)> Act;
    std::function<bool(TTestGrid&, int, int)> ReadBack;
  };
  const std::vector<Write> writes = {
      {"alignment", 1, 1, [](TTestGrid& g, int c, int r) { g.SetCellAlignments(c, r, taRightJustify); },
       [](TTestGrid& g, int c, int r) { return g.GetCellAlignments(c, r) == taRightJustify; }},
      {"font colour", 2, 1, [](TTestGrid& g, int c, int r) { g.SetCellFontColors(c, r, QColor(255, 0, 0)); },
       [](TTestGrid& g, int c, int r) { return g.GetCellFontColors(c, r) == QColor(255, 0, 0); }},
      {"font width", 3, 1, [](TTestGrid& g, int c, int r) { g.SetCellFontWidths(c, r, 0); },
       [](TTestGrid& g, int c, int r) { return g.GetCellFontWidths(c, r) == 0; }},
      {"cell colour", 4, 1, [](TTestGrid& g, int c, int r) { g.SetCellColors(c, r, QColor(0, 255, 0)); },
       [](TTestGrid& g, int c, int r) {
         return g.GetCellColors(c, r) == QColor(0, 255, 0) && g.GetCellParamPointer(c, r, false)->CellColorEnabled();
       }},
      {"brush on", 1, 2, [](TTestGrid& g, int c, int r) { g.SetCellBrushEnabled(c, r, true); },
       [](TTestGrid& g, int c, int r) { return g.GetCellBrushEnabled(c, r); }},
      {"brush style", 2, 2, [](TTestGrid& g, int c, int r) { g.SetCellBrushStyles(c, r, Qt::BDiagPattern); },
       [](TTestGrid& g, int c, int r) { return g.GetCellBrushStyles(c, r) == Qt::BDiagPattern; }},
      {"brush colour", 3, 2, [](TTestGrid& g, int c, int r) { g.SetCellBrushColors(c, r, QColor(0, 0, 255)); },
       [](TTestGrid& g, int c, int r) { return g.GetCellBrushColors(c, r) == QColor(0, 0, 255); }},
      {"font", 4, 2, [](TTestGrid& g, int c, int r) { g.SetCellFonts(c, r, 0); },
       [](TTestGrid& g, int c, int r) {
         return g.GetCellFonts(c, r) == 0 && g.GetCellParamPointer(c, r, false)->FontName() == "フォント1";
       }},
      {"fixed cell", 0, 3, [](TTestGrid& g, int c, int r) { g.SetCellAlignments(c, r, taCenter); },
       [](TTestGrid& g, int c, int r) { return g.GetCellAlignments(c, r) == taCenter; }},
  };
  for (const Write& w : writes) {
    SCOPED_TRACE(w.Name);
    const int before = grid.CellParams().Count();
    w.Act(grid, w.Col, w.Row);
    ASSERT_EQ(grid.CellParams().Count(), before + 1);
    const TSCGCellParam& p = *grid.CellParams().Items(before);
    EXPECT_EQ(p.Col(), w.Col);
    EXPECT_EQ(p.Row(), w.Row);
    EXPECT_TRUE(p.Caption().isEmpty());
    EXPECT_TRUE(p.CellColorEnabled());
    EXPECT_TRUE(p.FontColorEnabled());
    if (w.Col == 0) {
      EXPECT_EQ(grid.GetCellColors(w.Col, w.Row), QColor(40, 50, 60));
    } else if (std::string(w.Name) != "cell colour") {
      EXPECT_EQ(grid.GetCellColors(w.Col, w.Row), QColor(10, 20, 30));
    }
    EXPECT_TRUE(w.ReadBack(grid, w.Col, w.Row));
    // A second write to the same cell reuses its parameter.
    w.Act(grid, w.Col, w.Row);
    EXPECT_EQ(grid.CellParams().Count(), before + 1);
  }
  // The font colour write leaves the enabling flag as it is.
  TSCGCellParam* p = grid.GetCellParamPointer(2, 1, false);
  p->SetFontColorEnabled(false);
  grid.SetCellFontColors(2, 1, QColor(1, 1, 1));
  EXPECT_FALSE(p->FontColorEnabled());
  // Back to the grid's font.
  grid.SetCellFonts(4, 2, -1);
  EXPECT_EQ(grid.GetCellFonts(4, 2), -1);
  EXPECT_TRUE(grid.GetCellParamPointer(4, 2, false)->FontName().isEmpty());
}

TEST(GridProperties, WritesThroughARangeItemChangeTheWholeRange) {
  TTestGrid grid;
  grid.SetColCount(10);
  grid.SetRowCount(10);
  grid.AddFont(grid.Font());
  TSCGCellParam* range = grid.CellParams().Add();
  range->SetColMax(5);
  range->SetRowMax(5);
  range->SetCol(2);
  range->SetRow(2);
  range->SetRangeEnabled(true);
  grid.SetCellColors(3, 4, QColor(255, 0, 0));
  EXPECT_EQ(grid.CellParams().Count(), 1);
  EXPECT_EQ(grid.GetCellColors(5, 5), QColor(255, 0, 0));

  // A single-cell item after the range overrides it for that cell only.
  TSCGCellParam* single = grid.CellParams().Add();
  single->SetCol(4);
  single->SetRow(4);
  grid.SetCellColors(4, 4, QColor(0, 255, 0));
  EXPECT_EQ(grid.GetCellColors(4, 4), QColor(0, 255, 0));
  EXPECT_EQ(grid.GetCellColors(4, 5), QColor(255, 0, 0));

  // A record moves the item's first corner to the written cell.
  TCellDrawParams p;
  grid.GetCellParams(3, 3, p);
  EXPECT_EQ(p.CellColor, QColor(255, 0, 0));
  p.Alignment = taCenter;
  p.FontColor = QColor(0, 0, 9);
  p.FontWidth = 2;
  p.CellColor = QColor(0, 0, 255);
  p.BrushEnabled = true;
  p.BrushStyle = Qt::NoBrush;
  p.BrushColor = QColor(7, 7, 7);
  p.FontIndex = 0;
  grid.SetCellParams(p);
  EXPECT_EQ(range->Col(), 3);
  EXPECT_EQ(range->Row(), 3);
  EXPECT_EQ(range->ColMax(), 5);
  EXPECT_FALSE(range->Covers(2, 2));
  TCellDrawParams back;
  grid.GetCellParams(5, 5, back);
  EXPECT_EQ(back.Alignment, taCenter);
  EXPECT_EQ(back.FontColor, QColor(0, 0, 9));
  EXPECT_EQ(back.FontWidth, 2);
  EXPECT_EQ(back.CellColor, QColor(0, 0, 255));
  EXPECT_TRUE(back.BrushEnabled);
  EXPECT_EQ(back.BrushStyle, Qt::NoBrush);
  EXPECT_EQ(back.BrushColor, QColor(7, 7, 7));
  EXPECT_EQ(back.FontIndex, 0);
  EXPECT_EQ(grid.CellParams().Count(), 2);
}

TEST(GridProperties, ClearAllEmptiesParametersAndFonts) {
  TTestGrid grid;
  grid.AddFont(grid.Font());
  grid.SetCellFonts(1, 1, 0);
  grid.ClearAllCellParams();
  EXPECT_EQ(grid.CellParams().Count(), 0);
  EXPECT_EQ(grid.FontCount(), 0);
  // A font added from a given font is a copy of it, with the automatic name.
  TGridFont font;
  font.Font = QFont(QStringLiteral("DejaVu Sans Mono"), 11);
  font.Color = QColor(1, 2, 3);
  TSCGCellFont* added = grid.AddFont(font);
  EXPECT_EQ(added->Font(), font);
  EXPECT_EQ(S(added->Name()), "フォント1");
}

TEST(GridProperties, CellLines) {
  TTestGrid grid;
  grid.SetCellLines(1, 1, 3, QStringLiteral("四"));
  EXPECT_EQ(S(grid.Cells(1, 1)), "\r\n\r\n\r\n四\r\n");
  EXPECT_EQ(S(grid.CellLines(1, 1, 3)), "四");
  EXPECT_TRUE(grid.CellLines(1, 1, 0).isEmpty());
  EXPECT_TRUE(grid.CellLines(1, 1, 4).isEmpty());

  grid.SetCells(2, 1, QStringLiteral("a\rb\nc"));
  EXPECT_EQ(S(grid.CellLines(2, 1, 1)), "b");
  grid.SetCellLines(2, 1, 1, QStringLiteral("B"));
  EXPECT_EQ(S(grid.Cells(2, 1)), "a\r\nB\r\nc\r\n");
  grid.SetCellLines(2, 2, TCustomStrColGrid::kMaxCellLines - 1, QStringLiteral("z"));
  EXPECT_EQ(S(grid.CellLines(2, 2, TCustomStrColGrid::kMaxCellLines - 1)), "z");
}

// The cell events of a move, in the order they fire.
struct EventLog {
  std::vector<std::string> Entries;
  void Hook(TSCGCellParam& p, const std::string& tag) {
    p.OnExitCell = [this, tag](TSCGSender*, TCustomStrColGrid*, int oc, int orow, int nc, int nr) {
      Add(tag + " exit-cell " + Pos(oc, orow) + ">" + Pos(nc, nr));
    };
    p.OnExitCol = [this, tag](TSCGSender*, TCustomStrColGrid*, int o, int n) { Add(tag + " exit-col " + Pair(o, n)); };
    p.OnExitRow = [this, tag](TSCGSender*, TCustomStrColGrid*, int o, int n) { Add(tag + " exit-row " + Pair(o, n)); };
    p.OnEnterCell = [this, tag](TSCGSender*, TCustomStrColGrid*, int oc, int orow, int nc, int nr) {
      Add(tag + " enter-cell " + Pos(oc, orow) + ">" + Pos(nc, nr));
    };
    p.OnEnterCol = [this, tag](TSCGSender*, TCustomStrColGrid*, int o, int n) {
      Add(tag + " enter-col " + Pair(o, n));
    };
    p.OnEnterRow = [this, tag](TSCGSender*, TCustomStrColGrid*, int o, int n) {
      Add(tag + " enter-row " + Pair(o, n));
    };
  }
  void Hook(TCustomStrColGrid& g) {
    g.OnCellChanged = [this](TSCGSender*, int oc, int orow, int nc, int nr) {
      Add("grid cell " + Pos(oc, orow) + ">" + Pos(nc, nr));
    };
    g.OnColChanged = [this](TSCGSender*, int o, int n) { Add("grid col " + Pair(o, n)); };
    g.OnRowChanged = [this](TSCGSender*, int o, int n) { Add("grid row " + Pair(o, n)); };
  }
  void Add(const std::string& entry) { Entries.push_back(entry); }
  static std::string Pos(int c, int r) { return std::to_string(c) + "," + std::to_string(r); }
  static std::string Pair(int o, int n) { return std::to_string(o) + ">" + std::to_string(n); }
};

TEST(GridSelectCell, EventsOfAMoveInOrderAndNoneForTheSameCell) {
  TTestGrid grid;
  grid.Loaded();  // the previous cell becomes the current cell (1,1)
  EventLog log;
  log.Hook(*grid.GetCellParamPointer(1, 1, true), "a");
  log.Hook(*grid.GetCellParamPointer(1, 2, true), "b");
  log.Hook(*grid.GetCellParamPointer(2, 2, true), "c");
  log.Hook(grid);

  grid.SetRow(2);
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"a exit-cell 1,1>1,2", "a exit-row 1>2", "b enter-cell 1,1>1,2",
                                                   "b enter-row 1>2", "grid cell 1,1>1,2", "grid row 1>2"}));
  log.Entries.clear();
  grid.SetCol(2);
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"b exit-cell 1,2>2,2", "b exit-col 1>2", "c enter-cell 1,2>2,2",
                                                   "c enter-col 1>2", "grid cell 1,2>2,2", "grid col 1>2"}));
  log.Entries.clear();
  grid.SetCol(2);
  EXPECT_TRUE(grid.SelectCell(2, 2));
  EXPECT_TRUE(log.Entries.empty());

  // Both column and row change: a cell without parameter fires only the grid's events.
  grid.SetColCount(6);
  grid.SetRowCount(6);
  TSCGCellParam* c = grid.GetCellParamPointer(2, 2, false);
  c->OnExitCol = nullptr;
  grid.KeyMove(Qt::Key_End, false, true);  // to the last column and row
  EXPECT_EQ(grid.Col(), 5);
  EXPECT_EQ(grid.Row(), 5);
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"c exit-cell 2,2>5,5", "c exit-row 2>5", "grid cell 2,2>5,5",
                                                   "grid col 2>5", "grid row 2>5"}));
}

TEST(GridSelectCell, AHandlerErrorRefusesTheMoveAndKeepsTheCurrentCellsSettings) {
  TTestGrid grid;
  grid.Loaded();
  TSCGCellParam* target = grid.GetCellParamPointer(2, 1, true);
  target->SetOptions(grid.Options() | goEditing);
  target->SetOptionsEnabled(true);
  EventLog log;
  log.Hook(grid);
  target->OnEnterCell = [](TSCGSender*, TCustomStrColGrid*, int, int, int, int) {
    throw EGridError(QStringLiteral("拒否"));
  };
  EXPECT_FALSE(grid.MoveCurrent(2, 1, true));
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_FALSE(grid.OptionsInForce() & goEditing);
  EXPECT_TRUE(log.Entries.empty());  // the grid's events are skipped

  // The move succeeds once the handler lets it; the previous cell then follows.
  target->OnEnterCell = nullptr;
  EXPECT_TRUE(grid.MoveCurrent(2, 1, true));
  EXPECT_TRUE(grid.OptionsInForce() & goEditing);
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"grid cell 1,1>2,1", "grid col 1>2"}));
  // Back to a cell without its own options: the grid's options are in force again.
  grid.SetCol(1);
  EXPECT_FALSE(grid.OptionsInForce() & goEditing);
  EXPECT_EQ(grid.OptionsInForce(), grid.Options());
}

TEST(GridSelectCell, ARefusingCheckFiresNoEventAndAHandlerMayChangeTheParameters) {
  TTestGrid grid;
  grid.Loaded();
  EventLog log;
  log.Hook(grid);
  log.Hook(*grid.GetCellParamPointer(1, 2, true), "b");
  grid.OnSelectCell = [](TSCGSender*, int, int row, bool& canSelect) { canSelect = row != 3; };
  EXPECT_FALSE(grid.MoveCurrent(1, 3, true));
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_TRUE(log.Entries.empty());

  // A handler that empties the cell parameters while the events run.
  TSCGCellParam* first = grid.GetCellParamPointer(1, 1, true);
  first->OnExitCell = [&grid](TSCGSender*, TCustomStrColGrid*, int, int, int, int) {
    grid.CellParams().Clear();
  };
  first->OnExitRow = [](TSCGSender*, TCustomStrColGrid*, int, int) { ADD_FAILURE() << "a removed item's handler"; };
  EXPECT_TRUE(grid.MoveCurrent(1, 2, true));
  EXPECT_EQ(log.Entries, (std::vector<std::string>{"grid cell 1,1>1,2", "grid row 1>2"}));
}

TEST(GridMoves, KeysMoveWithinTheScrollingCellsAndShiftSelectsARange) {
  TTestGrid grid;
  grid.SetColCount(4);
  grid.SetRowCount(30);
  grid.SetDefaultRowHeight(10);
  grid.SetClientSize(200, 56);  // the fixed row and four rows of 11 pixels
  struct Step {
    int Key;
    bool Shift, Control;
    int Col, Row;
    TGridRect Selection;
  };
  const std::vector<Step> steps = {
      {Qt::Key_Up, false, false, 1, 1, {1, 1, 1, 1}},
      {Qt::Key_Left, false, false, 1, 1, {1, 1, 1, 1}},
      {Qt::Key_Down, true, false, 1, 2, {1, 1, 1, 2}},
      {Qt::Key_Right, true, false, 2, 2, {1, 1, 2, 2}},
      {Qt::Key_PageDown, false, false, 2, 6, {2, 6, 2, 6}},
      {Qt::Key_End, false, false, 3, 6, {3, 6, 3, 6}},
      {Qt::Key_Home, false, false, 1, 6, {1, 6, 1, 6}},
      {Qt::Key_End, false, true, 3, 29, {3, 29, 3, 29}},
      {Qt::Key_PageUp, false, false, 3, 25, {3, 25, 3, 25}},
      {Qt::Key_Home, true, true, 1, 1, {1, 1, 3, 25}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "key " << s.Key << " to " << s.Col << "," << s.Row);
    EXPECT_TRUE(grid.KeyMove(s.Key, s.Shift, s.Control));
    EXPECT_EQ(grid.Col(), s.Col);
    EXPECT_EQ(grid.Row(), s.Row);
    EXPECT_EQ(grid.Selection(), s.Selection);
    // The current row is always shown in full.
    EXPECT_LE(grid.TopRow(), grid.Row());
    EXPECT_LE(grid.CellRect(grid.Col(), grid.Row()).Bottom, grid.ClientHeight());
  }
  EXPECT_FALSE(grid.KeyMove(Qt::Key_A, false, false));

  // Without range selection, Shift moves the anchor along.
  grid.SetOptions(grid.Options() & ~TGridOptions(goRangeSelect));
  grid.KeyMove(Qt::Key_Down, true, false);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 2, 1, 2}));
  // Whole-row selection spans the scrolling columns.
  grid.SetOptions(grid.Options() | goRowSelect);
  EXPECT_EQ(grid.Selection(), (TGridRect{1, 2, 3, 2}));
}

TEST(GridMoves, ShrinkingTheGridKeepsTheCurrentCellInside) {
  TTestGrid grid;
  grid.SetColCount(10);
  grid.SetRowCount(10);
  grid.SetCol(8);
  grid.SetRow(9);
  grid.SetRowCount(2);
  grid.SetColCount(3);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 2, 1}));
  // A count down to the fixed ones takes fixed rows away.
  grid.SetRowCount(1);
  EXPECT_EQ(grid.FixedRows(), 0);
  EXPECT_EQ(grid.Row(), 0);
}

TEST(GridMoves, MouseCoordinatesAndCellRectangles) {
  TTestGrid grid;
  grid.SetColCount(20);
  grid.SetDefaultColWidth(30);
  grid.SetDefaultRowHeight(15);
  grid.SetColWidths(0, 50);
  grid.SetClientSize(150, 80);
  EXPECT_EQ(grid.CellRect(0, 0), (TRect{0, 0, 50, 15}));
  EXPECT_EQ(grid.CellRect(2, 1), (TRect{82, 16, 112, 31}));
  int col = -1;
  int row = -1;
  ASSERT_TRUE(grid.MouseCoord(82, 16, col, row));
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  ASSERT_TRUE(grid.MouseCoord(112, 31, col, row));  // the line belongs to the cell before it
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  EXPECT_FALSE(grid.MouseCoord(10, 90, col, row));
  EXPECT_EQ(col, -1);

  grid.SetLeftCol(5);
  EXPECT_EQ(grid.LeftCol(), 5);
  EXPECT_TRUE(grid.CellRect(2, 1).IsEmpty());
  EXPECT_EQ(grid.CellRect(5, 1), (TRect{51, 16, 81, 31}));
  ASSERT_TRUE(grid.MouseCoord(60, 40, col, row));
  EXPECT_EQ(col, 5);
  EXPECT_EQ(row, 2);
  // Scrolling stops where the last column is shown in full.
  grid.SetLeftCol(100);
  EXPECT_EQ(grid.LeftCol(), grid.MaxLeftCol());
  EXPECT_LE(grid.CellRect(19, 1).Right, grid.ClientWidth());
  EXPECT_FALSE(grid.CellRect(grid.LeftCol() - 1, 1).Right > 0);
}

}  // namespace
