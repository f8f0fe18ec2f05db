// The cell-parameter store: names, initial values, refused values that keep
// the old one, the range and font-name checks, loading, lookup, display
// names, named fonts, caption composition and line splitting.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GridTestSupport.h"
#include "StrCGridParams.h"

namespace {

using gridtest::TTestGrid;

std::string S(const QString& text) { return text.toStdString(); }
std::string Num(int n) { return std::to_string(n); }

TEST(CellParams, ItemsAreNamedAfterTheCountAndLookupByNameFindsTheLastOfTheName) {
  TTestGrid grid;
  TSCGCellParams& params = grid.CellParams();
  TSCGCellParam* first = params.Add();
  params.Add();
  TSCGCellParam* third = params.Add();
  EXPECT_EQ(S(first->Name()), "パラメータ1");
  EXPECT_EQ(S(params.Items(1)->Name()), "パラメータ2");
  EXPECT_EQ(S(third->Name()), "パラメータ3");

  // After deleting the first of three, the next one is named after the count 3 again.
  params.Delete(0);
  TSCGCellParam* added = params.Add();
  EXPECT_EQ(S(added->Name()), "パラメータ3");
  EXPECT_EQ(params.ItemByName(QStringLiteral("パラメータ3")), added);
  EXPECT_EQ(params.ItemByName(QStringLiteral("パラメータ2")), params.Items(0));

  try {
    params.ItemByName(QStringLiteral("パラメータ9"));
    FAIL() << "no error";
  } catch (const EGridRangeError& error) {
    EXPECT_EQ(S(error.Message()), "パラメータ9 はセルパラメータの中にありません");
  }
  // The comparison is exact.
  EXPECT_THROW(params.ItemByName(QStringLiteral("ﾊﾟﾗﾒｰﾀ3")), EGridRangeError);

  TSCGCellFont* font = grid.Fonts().Add();
  EXPECT_EQ(S(font->Name()), "フォント1");
  EXPECT_EQ(S(grid.Fonts().Add()->Name()), "フォント2");
}

TEST(CellParams, InitialValues) {
  TTestGrid grid;
  grid.SetOptions(TGridOptions(goVertLine) | goEditing);
  const TSCGCellParam& p = *grid.CellParams().Add();
  EXPECT_EQ(p.Alignment(), taLeftJustify);
  EXPECT_TRUE(p.Caption().isEmpty());
  EXPECT_EQ(p.CaptionType(), ctCellText);
  EXPECT_EQ(p.CellColor(), SystemColor(TSystemColor::Window));
  EXPECT_FALSE(p.CellColorEnabled());
  EXPECT_EQ(p.Col(), 0);
  EXPECT_EQ(p.ColMax(), 0);
  EXPECT_EQ(p.Brush().Style(), Qt::SolidPattern);
  EXPECT_EQ(p.Brush().Color(), QColor(255, 255, 255));
  EXPECT_FALSE(p.BrushEnabled());
  EXPECT_TRUE(p.FontName().isEmpty());
  EXPECT_EQ(p.FontColor(), SystemColor(TSystemColor::WindowText));
  EXPECT_FALSE(p.FontColorEnabled());
  EXPECT_EQ(p.FontWidth(), 1);
  EXPECT_EQ(p.ImeMode(), imDontCare);
  EXPECT_FALSE(p.ImeModeEnabled());
  EXPECT_EQ(p.Layout(), tlTop);
  // The grid's options at the item's construction.
  EXPECT_EQ(p.Options(), TGridOptions(goVertLine) | goEditing);
  EXPECT_FALSE(p.OptionsEnabled());
  EXPECT_FALSE(p.RangeEnabled());
  EXPECT_EQ(p.Row(), 0);
  EXPECT_EQ(p.RowMax(), 0);
  EXPECT_EQ(p.Tag(), 0);
  EXPECT_FALSE(p.OnEnterCell || p.OnExitCell || p.OnOutCellText || p.OnDrawTextOneLine || p.OnDrawCell);

  // A font starts as a copy of the grid's font.
  EXPECT_EQ(grid.Fonts().Add()->Font(), grid.Font());
}

// A refused value raises the text the grid gives and leaves the property as it was.
struct RefusedValue {
  const char* Name;
  std::function<void(TTestGrid&, TSCGCellParam&)> Prepare;
  std::function<void(TTestGrid&, TSCGCellParam&)> Act;
  std::function<std::string(const TSCGCellParam&)> Observe;
  // The message; a leading '*' stands for the item's display name.
  std::string Message;
  bool RangeError;
};

TEST(CellParams, RefusedValuesRaiseTheGridsTextAndKeepTheOldValue) {
  const auto none = [](TTestGrid&, TSCGCellParam&) {};
  const std::vector<RefusedValue> cases = {
      {"negative column", [](TTestGrid&, TSCGCellParam& p) { p.SetCol(3); },
       [](TTestGrid&, TSCGCellParam& p) { p.SetCol(-1); }, [&](const TSCGCellParam& p) { return Num(p.Col()); },
       "*.Col の値が 0 を下まわりました", true},
      {"negative row", [](TTestGrid&, TSCGCellParam& p) { p.SetRow(12); },
       [](TTestGrid&, TSCGCellParam& p) { p.SetRow(-5); }, [&](const TSCGCellParam& p) { return Num(p.Row()); },
       "*.Row の値が 0 を下まわりました", true},
      {"negative font width", [](TTestGrid&, TSCGCellParam& p) { p.SetFontWidth(2); },
       [](TTestGrid&, TSCGCellParam& p) { p.SetFontWidth(-1); },
       [&](const TSCGCellParam& p) { return Num(p.FontWidth()); }, "*.FontWidth の値が範囲を超えました", true},
      {"range on with the column past its end", [](TTestGrid&, TSCGCellParam& p) { p.SetCol(3); },
       [](TTestGrid&, TSCGCellParam& p) { p.SetRangeEnabled(true); },
       [](const TSCGCellParam& p) { return std::string(p.RangeEnabled() ? "on" : "off"); }, "範囲が不正です", true},
      {"range on with the row past its end", [](TTestGrid&, TSCGCellParam& p) { p.SetRow(1); },
       [](TTestGrid&, TSCGCellParam& p) { p.SetRangeEnabled(true); },
       [](const TSCGCellParam& p) { return std::string(p.RangeEnabled() ? "on" : "off"); }, "範囲が不正です", true},
      {"last column below the first in a range",
       [](TTestGrid&, TSCGCellParam& p) {
         p.SetColMax(5);
         p.SetRowMax(5);
         p.SetCol(3);
         p.SetRangeEnabled(true);
       },
       [](TTestGrid&, TSCGCellParam& p) { p.SetColMax(2); }, [&](const TSCGCellParam& p) { return Num(p.ColMax()); },
       "範囲が不正です", true},
      {"last row below the first in a range",
       [](TTestGrid&, TSCGCellParam& p) {
         p.SetColMax(5);
         p.SetRowMax(5);
         p.SetRow(4);
         p.SetRangeEnabled(true);
       },
       [](TTestGrid&, TSCGCellParam& p) { p.SetRowMax(3); }, [&](const TSCGCellParam& p) { return Num(p.RowMax()); },
       "範囲が不正です", true},
      {"first column past the end of a range",
       [](TTestGrid&, TSCGCellParam& p) {
         p.SetColMax(5);
         p.SetRangeEnabled(true);
       },
       [](TTestGrid&, TSCGCellParam& p) { p.SetCol(6); }, [&](const TSCGCellParam& p) { return Num(p.Col()); },
       "範囲が不正です", true},
      {"font name no font has",
       [](TTestGrid& g, TSCGCellParam& p) {
         g.Fonts().Add();
         p.SetFontName(QStringLiteral("フォント1"));
       },
       [](TTestGrid&, TSCGCellParam& p) { p.SetFontName(QStringLiteral("フォント2")); },
       [](const TSCGCellParam& p) { return S(p.FontName()); },
       "CellParams で指定されたフォント名が Fonts に登録されていません", false},
      {"empty font name",
       [](TTestGrid& g, TSCGCellParam&) { g.Fonts().Add(); },
       [](TTestGrid& g, TSCGCellParam&) { g.Fonts().Items(0)->SetName(QString()); },
       [](const TSCGCellParam& p) { return S(p.Collection().GetOwner().Fonts().Items(0)->Name()); },
       "フォント名は空にできません", false},
      {"font renamed to its own name",
       [](TTestGrid& g, TSCGCellParam&) { g.Fonts().Add(); },
       [](TTestGrid& g, TSCGCellParam&) { g.Fonts().Items(0)->SetName(QStringLiteral("フォント1")); },
       [](const TSCGCellParam& p) { return S(p.Collection().GetOwner().Fonts().Items(0)->Name()); },
       "このフォント名はすでに使用されています", false},
      {"font renamed to another font's name",
       [](TTestGrid& g, TSCGCellParam&) {
         g.Fonts().Add();
         g.Fonts().Add();
       },
       [](TTestGrid& g, TSCGCellParam&) { g.Fonts().Items(1)->SetName(QStringLiteral("フォント1")); },
       [](const TSCGCellParam& p) { return S(p.Collection().GetOwner().Fonts().Items(1)->Name()); },
       "このフォント名はすでに使用されています", false},
      {"item index past the end", none,
       [](TTestGrid& g, TSCGCellParam&) { g.CellParams().Items(1); },
       [](const TSCGCellParam& p) { return Num(p.Collection().Count()); }, "List index out of bounds (1)", true},
      {"negative item index", none,
       [](TTestGrid& g, TSCGCellParam&) { g.CellParams().Delete(-1); },
       [](const TSCGCellParam& p) { return Num(p.Collection().Count()); }, "List index out of bounds (-1)", true},
  };
  for (const RefusedValue& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestGrid grid;
    TSCGCellParam& param = *grid.CellParams().Add();
    c.Prepare(grid, param);
    const std::string before = c.Observe(param);
    std::string expected = c.Message;
    if (!expected.empty() && expected[0] == '*') expected = S(param.GetDisplayName()) + expected.substr(1);
    try {
      c.Act(grid, param);
      ADD_FAILURE() << "no error";
    } catch (const EGridRangeError& error) {
      EXPECT_TRUE(c.RangeError) << "a range error";
      EXPECT_EQ(S(error.Message()), expected);
    } catch (const EGridError& error) {
      EXPECT_FALSE(c.RangeError) << "a general error";
      EXPECT_EQ(S(error.Message()), expected);
    }
    EXPECT_EQ(c.Observe(param), before);
  }
}

TEST(CellParams, AcceptedValuesAtTheEdges) {
  TTestGrid grid;
  TSCGCellParam& p = *grid.CellParams().Add();
  p.SetFontWidth(0);
  EXPECT_EQ(p.FontWidth(), 0);
  // A range of one cell is in order; switching the range off always succeeds.
  p.SetCol(2);
  p.SetColMax(2);
  p.SetRow(4);
  p.SetRowMax(4);
  p.SetRangeEnabled(true);
  EXPECT_TRUE(p.RangeEnabled());
  p.SetRangeEnabled(false);
  // With the range off, the corners are not checked.
  p.SetColMax(0);
  p.SetCol(7);
  EXPECT_EQ(p.Col(), 7);
  p.SetFontName(QString());
  EXPECT_TRUE(p.FontName().isEmpty());
}

TEST(CellParams, WhileLoadingTheChecksAreSkipped) {
  TTestGrid grid;
  grid.BeginLoading();
  TSCGCellParam& p = *grid.CellParams().Add();
  p.SetCol(3);
  p.SetRangeEnabled(true);  // Col 3 past ColMax 0
  EXPECT_TRUE(p.RangeEnabled());
  p.SetFontName(QStringLiteral("後で登録"));
  EXPECT_EQ(S(p.FontName()), "後で登録");
  grid.Fonts().Add();
  grid.Fonts().Add()->SetName(QStringLiteral("フォント1"));  // a second font of the same name
  EXPECT_EQ(S(grid.Fonts().Items(1)->Name()), "フォント1");
  // Negative positions and the empty font name are refused even then.
  EXPECT_THROW(p.SetCol(-1), EGridRangeError);
  EXPECT_THROW(grid.Fonts().Items(0)->SetName(QString()), EGridError);

  grid.Loaded();
  EXPECT_FALSE(grid.Loading());
  EXPECT_THROW(p.SetColMax(1), EGridRangeError);
  EXPECT_EQ(p.ColMax(), 0);
}

TEST(CellParams, CoverageAndLookupByPosition) {
  TTestGrid grid;
  TSCGCellParams& params = grid.CellParams();
  TSCGCellParam* single = params.Add();
  single->SetColMax(5);  // ignored while the range is off
  single->SetRowMax(5);
  single->SetCol(2);
  single->SetRow(3);
  TSCGCellParam* range = params.Add();
  range->SetColMax(4);
  range->SetRowMax(4);
  range->SetCol(1);
  range->SetRow(1);
  range->SetRangeEnabled(true);
  TSCGCellParam* later = params.Add();
  later->SetCol(3);
  later->SetRow(2);

  struct Case {
    int Col, Row;
    TSCGCellParam* Expected;
  };
  const std::vector<Case> cases = {
      {2, 3, range},  // the range item comes after the single one
      {1, 1, range}, {4, 4, range}, {3, 2, later}, {0, 0, nullptr}, {5, 4, nullptr}, {4, 5, nullptr},
      {0, 3, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row);
    EXPECT_EQ(params.Find(c.Col, c.Row), c.Expected);
    EXPECT_EQ(grid.GetCellParamPointer(c.Col, c.Row, false), c.Expected);
    if (c.Expected) {
      EXPECT_EQ(params.ItemByPos(c.Col, c.Row), c.Expected);
    }
  }
  EXPECT_TRUE(single->Covers(2, 3));
  EXPECT_FALSE(single->Covers(3, 3));
  try {
    params.ItemByPos(7, 8);
    FAIL() << "no error";
  } catch (const EGridRangeError& error) {
    EXPECT_EQ(S(error.Message()), "列 7, 行8 にはセルパラメータがありません");
  }
}

TEST(CellParams, DisplayNames) {
  TTestGrid grid;
  TSCGCellParam& p = *grid.CellParams().Add();
  p.SetCol(3);
  p.SetRow(12);
  p.SetColMax(100);
  EXPECT_EQ(S(p.GetDisplayName()), "パラメータ1 (  3, 12)-(100,  0)");
  TSCGCellFont& font = *grid.Fonts().Add();
  TGridFont face;
  face.Font = QFont(QStringLiteral("DejaVu Sans"), 9);
  font.SetFont(face);
  EXPECT_EQ(S(font.GetDisplayName()), "フォント1( DejaVu Sans, 9 )");
}

TEST(CellParams, NamedFontsFollowRenamesAndDeletions) {
  TTestGrid grid;
  TSCGCellFont& first = *grid.Fonts().Add();
  grid.Fonts().Add();
  TSCGCellParam& a = *grid.CellParams().Add();
  TSCGCellParam& b = *grid.CellParams().Add();
  a.SetFontName(QStringLiteral("フォント1"));
  b.SetFontName(QStringLiteral("フォント2"));

  first.SetName(QStringLiteral("表題"));
  EXPECT_EQ(S(a.FontName()), "表題");
  EXPECT_EQ(S(b.FontName()), "フォント2");
  EXPECT_EQ(grid.Fonts().IndexOfName(QStringLiteral("表題")), 0);
  EXPECT_THROW(grid.Fonts().IndexOfName(QStringLiteral("フォント1")), EGridError);

  // The grid refuses to delete a font in use; the collection clears the references.
  try {
    grid.DeleteFont(0);
    FAIL() << "no error";
  } catch (const EGridRangeError&) {
    FAIL() << "not a range error";
  } catch (const EGridError& error) {
    EXPECT_EQ(S(error.Message()), "使用中のﾌｫﾝﾄを削除しようとしました。");
  }
  EXPECT_EQ(grid.FontCount(), 2);
  grid.Fonts().Delete(0);
  EXPECT_TRUE(a.FontName().isEmpty());
  EXPECT_EQ(S(b.FontName()), "フォント2");
  EXPECT_EQ(grid.FontCount(), 1);

  for (const int index : {-1, 1}) {
    try {
      grid.DeleteFont(index);
      FAIL() << "no error for " << index;
    } catch (const EGridRangeError& error) {
      EXPECT_EQ(S(error.Message()), "ｲﾝﾃﾞｯｸｽが範囲を超えました。");
    }
  }
  b.SetFontName(QString());
  grid.DeleteFont(0);
  EXPECT_EQ(grid.FontCount(), 0);
}

TEST(CellParams, AssignCopiesEverythingWithoutChecks) {
  TTestGrid grid;
  TSCGCellParam& source = *grid.CellParams().Add();
  source.SetAlignment(taCenter);
  source.SetCaption(QStringLiteral("℃"));
  source.SetCaptionType(ctFooter);
  source.SetCellColor(QColor(1, 2, 3));
  source.SetCellColorEnabled(true);
  source.SetColMax(9);
  source.SetCol(4);
  source.SetRowMax(9);
  source.SetRow(5);
  source.SetRangeEnabled(true);
  source.Brush().SetStyle(Qt::CrossPattern);
  source.Brush().SetColor(QColor(0, 0, 255));
  source.SetBrushEnabled(true);
  source.SetFontColor(QColor(9, 8, 7));
  source.SetFontWidth(3);
  source.SetImeMode(imHira);
  source.SetLayout(tlBottom);
  source.SetOptions(goEditing);
  source.SetOptionsEnabled(true);
  source.SetTag(77);
  int called = 0;
  source.OnDrawCell = [&](TSCGSender*, TCustomStrColGrid*, int, int, const TRect&, TGridDrawState) { ++called; };

  TTestGrid other;
  TSCGCellParam& target = *other.CellParams().Add();
  target.Assign(source);
  EXPECT_EQ(target.Alignment(), taCenter);
  EXPECT_EQ(S(target.Caption()), "℃");
  EXPECT_EQ(target.CaptionType(), ctFooter);
  EXPECT_EQ(target.CellColor(), QColor(1, 2, 3));
  EXPECT_TRUE(target.CellColorEnabled());
  EXPECT_EQ(target.Col(), 4);
  EXPECT_EQ(target.ColMax(), 9);
  EXPECT_EQ(target.Row(), 5);
  EXPECT_EQ(target.RowMax(), 9);
  EXPECT_TRUE(target.RangeEnabled());
  EXPECT_EQ(target.Brush().Style(), Qt::CrossPattern);
  EXPECT_EQ(target.Brush().Color(), QColor(0, 0, 255));
  EXPECT_TRUE(target.BrushEnabled());
  EXPECT_EQ(target.FontColor(), QColor(9, 8, 7));
  EXPECT_EQ(target.FontWidth(), 3);
  EXPECT_EQ(target.ImeMode(), imHira);
  EXPECT_EQ(target.Layout(), tlBottom);
  EXPECT_EQ(target.Options(), TGridOptions(goEditing));
  EXPECT_TRUE(target.OptionsEnabled());
  EXPECT_EQ(target.Tag(), 77);
  EXPECT_EQ(S(target.Name()), "パラメータ1");
  ASSERT_TRUE(target.OnDrawCell);
  target.OnDrawCell(&target, &other, 0, 0, TRect{}, {});
  EXPECT_EQ(called, 1);
  // The item stays in its own collection.
  EXPECT_EQ(&target.Collection(), &other.CellParams());

  // A font name is copied as stored, even one the target grid lacks.
  source.SetRangeEnabled(false);
  grid.Fonts().Add();
  source.SetFontName(QStringLiteral("フォント1"));
  other.CellParams().SetItems(0, source);
  EXPECT_EQ(S(target.FontName()), "フォント1");

  other.CellParams().Assign(grid.CellParams());
  EXPECT_EQ(other.CellParams().Count(), 1);
  EXPECT_EQ(other.CellParams().Items(0)->Tag(), 77);
}

TEST(CellParams, CaptionComposition) {
  const QString cr(QChar(13));
  struct Case {
    TSCGCellCaptionType Type;
    QString Caption, Cell, Expected;
    QStringList Lines;
  };
  const QString c = QStringLiteral("見出し");
  const QString t = QStringLiteral("12.5");
  const std::vector<Case> cases = {
      {ctCaption, c, t, c, {c}},
      {ctCaption, QString(), t, t, {t}},
      {ctCellText, c, t, t, {t}},
      {ctCellText, c, QString(), c, {c}},
      {ctHeader, c, t, c + t, {c + t}},
      {ctFooter, c, t, t + c, {t + c}},
      {ctTop, c, t, c + cr + t, {c, t}},
      {ctTop, c, QString(), c + cr + cr, {c, QString()}},
      {ctBottom, c, t, t + cr + c, {t, c}},
      {ctBottom, c, QString(), cr + c, {QString(), c}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int(k.Type) << " cell '" << S(k.Cell) << "'");
    const QString shown = kvl::grid::ComposeCellText(k.Type, k.Caption, k.Cell);
    EXPECT_EQ(S(shown), S(k.Expected));
    EXPECT_EQ(kvl::grid::SplitCellLines(shown), k.Lines);
  }
}

TEST(CellParams, LineSplitting) {
  struct Case {
    const char* Text;
    QStringList Lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\n\r\nb", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(kvl::grid::SplitCellLines(QString::fromUtf8(c.Text)), c.Lines);
  }
  EXPECT_EQ(S(kvl::grid::JoinCellLines({"a", "", "b"})), "a\r\n\r\nb\r\n");
}

}  // namespace
