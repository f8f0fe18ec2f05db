// The parameter grid: its rules without widgets (what the rows and columns
// show, editing, status texts, command states, keys, chosen values, tags) and
// the main window's grid with its chooser, program selector and tag editor.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QListWidget>
#include <QStackedLayout>
#include <QTest>
#include <QWheelEvent>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <vector>

#include "GridViewRules.h"
#include "Keyboard.h"
#include "StrCGrid.h"
#include "TestSupport.h"
#include "UCore.h"

using kvltest::MainFormHarness;

namespace {

// A data image at its defaults for the model words given.
std::unique_ptr<TCore> CoreFor(uint16_t hardware1, uint16_t hardware2, int language = 1) {
  auto core = std::make_unique<TCore>(language);
  static constexpr int32_t kGroups[] = {1, 2, 0};
  core->Model.ApplyModelDefaults();
  core->SetDefaults(kGroups, true);
  core->Model.HardwareType1 = hardware1;
  core->Model.HardwareType2 = hardware2;
  core->Model.UpdateModelFlags();
  core->BuildModelCode();
  return core;
}

std::string Text(const QString& text) { return text.toStdString(); }

int CountOf(const std::string& text, char ch) { return static_cast<int>(std::count(text.begin(), text.end(), ch)); }

}  // namespace

TEST(GridViewRules, NumbersKeysCharactersAndChosenValues) {
  const struct {
    int N;
    const char* Text;
  } numbers[] = {{0, " 0"}, {1, " 1"}, {9, " 9"}, {10, "10"}, {30, "30"}, {100, "100"}};
  for (const auto& c : numbers) EXPECT_EQ(kvl::FormatNumber2(c.N), c.Text) << c.N;

  const struct {
    char32_t Ch;
    bool Passes;
  } characters[] = {{U'0', true}, {U'9', true}, {U'-', true}, {U'.', true}, {U':', true}, {8, true},
                    {13, true},   {U'a', false}, {U'+', false}, {U' ', false}, {U',', false}, {27, false},
                    {U'あ', false}, {U'ｱ', false}, {U'１', false}};
  for (const auto& c : characters) EXPECT_EQ(kvl::GridCharacterPasses(c.Ch), c.Passes) << static_cast<int>(c.Ch);

  const struct {
    int Key;
    bool EditorOpen;
    kvl::GridKeyAction Action;
  } keys[] = {
      {27, false, kvl::GridKeyAction::Cancel}, {27, true, kvl::GridKeyAction::Cancel},
      {13, true, kvl::GridKeyAction::Commit},  {38, true, kvl::GridKeyAction::Commit},
      {40, true, kvl::GridKeyAction::Commit},  {13, false, kvl::GridKeyAction::None},
      {38, false, kvl::GridKeyAction::None},   {40, false, kvl::GridKeyAction::None},
      {37, true, kvl::GridKeyAction::None},    {9, true, kvl::GridKeyAction::None},
  };
  for (const auto& c : keys)
    EXPECT_EQ(kvl::GridKeyActionFor(c.Key, c.EditorOpen), c.Action) << c.Key << " " << c.EditorOpen;

  const struct {
    const char* Choice;
    const char* Value;
  } choices[] = {
      {"0: Key lock disabled", "0"}, {" 8:MFB", "08"},      {"110:MFB推定位置制御", "110"},
      {"  3:x:y", "003"},            {"1001:SP1 bias", "1001"}, {"12", "12"},
  };
  for (const auto& c : choices) EXPECT_EQ(kvl::ChoiceValueText(c.Choice), c.Value) << c.Choice;
}

TEST(GridViewRules, InkAndEditingByCellState) {
  const struct {
    int State;
    const char* Text;
    kvl::CellInk Ink;
    bool Editable;
  } cases[] = {
      {1, "12", kvl::CellInk::GrayText, false},    {1, "----", kvl::CellInk::GrayText, false},
      {2, "----", kvl::CellInk::WindowText, true}, {2, "", kvl::CellInk::WindowText, true},
      {0, "12", kvl::CellInk::WindowText, true},   {0, "----", kvl::CellInk::GrayText, false},
      {0, "", kvl::CellInk::WindowText, false},    {3, "1.0", kvl::CellInk::WindowText, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kvl::InkOfCell(c.State, c.Text), c.Ink) << c.State << " " << c.Text;
    EXPECT_EQ(kvl::CellIsEditable(c.State, c.Text), c.Editable) << c.State << " " << c.Text;
  }
}

TEST(GridViewRules, TypedTagsAcceptedOrRefused) {
  const struct {
    const char* Typed;
    bool Accepted;
    const char* Stored;
  } cases[] = {
      {"AB", true, "AB      "},
      {"ab", true, "ab      "},  // the editor turns letters to upper case before
      {"", true, "        "},
      {"PROG-1_@", true, "PROG-1_@"},
      {"ABCDEFGHIJ", true, "ABCDEFGH"},
      {"A^]", true, "A^]     "},
      {"A`", false, ""},   // 96
      {"A{", false, ""},   // 123
      {"A~", false, ""},
      {"A\x1f", false, ""},
      {"ｱｲ", false, ""},   // half-width katakana: one byte above 95
      {"Aあ", false, ""},  // a double-byte character
      {"ABCDEFGHIJあ", false, ""},  // also past the eighth character
      {"A?", true, "A?      "},
      {"éA", false, ""},  // no CP932 character: refused, not stored as "?A"
      {"AÉ", false, ""},
      {"ABCDEFGHÉ", false, ""},  // also past the eighth character
  };
  for (const auto& c : cases) {
    const std::optional<std::string> tag = kvl::AcceptedTag(c.Typed);
    EXPECT_EQ(tag.has_value(), c.Accepted) << c.Typed;
    if (tag && c.Accepted) {
      EXPECT_EQ(*tag, c.Stored) << c.Typed;
    }
  }
}

TEST(GridViewRules, TablesOfSetupAndProgramGroupsByModel) {
  const struct {
    uint16_t Hardware1;
    uint16_t Hardware2;
    int Node;
    int ColCount;
    int RowCount;
    std::vector<int> Items;  // ItemOfRow from row 1
    const char* FirstHeader;
    const char* LastHeader;
    const char* FirstName;
  } cases[] = {
      // Single loop: the OFF times, SP2 and the CH2 items have no row.
      {1, 0, 1, 31, 12, {1, 2, 4, 6, 8, 20, 22, 23, 24, 25, 26}, " 1 Seg.", "30 Seg.", "SP1   :SP1"},
      {0x841, 1, 1, 31, 14, {1, 2, 3, 4, 6, 8, 20, 21, 22, 23, 24, 25, 26}, " 1 Seg.", "30 Seg.", "SP1   :SP1"},
      {1, 0, 3, 2, 34, {}, " 1", " 1", " 1:LOC  :Key lock"},
      // Eight PID sets; the rows whose name is "----" are left out.
      {1, 0, 6, 9, 8, {1, 2, 3, 4, 5, 6, 7}, " 1", " 8", " 1:P :Proportional band(PID set 1)"},
      // Table data: lettered columns; the cells without a name make no column.
      {1, 0, 9, 3, 12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, "A", "B", "T.1 :Input linearization table approximation 1"},
      {0x841, 1, 9, 5, 12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, "A", "D", "T.1 :Input linearization table approximation 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Hardware1 << " node " << c.Node);
    auto core = CoreFor(c.Hardware1, c.Hardware2);
    const kvl::GridTableView t = kvl::BuildGridTable(*core, c.Node, 1);
    ASSERT_EQ(t.Show, kvl::GridShow::Table);
    EXPECT_EQ(t.ColCount, c.ColCount);
    EXPECT_EQ(t.RowCount, c.RowCount);
    EXPECT_EQ(static_cast<int>(t.ItemOfRow.size()), c.RowCount);
    if (!c.Items.empty()) {
      EXPECT_EQ(std::vector<int>(t.ItemOfRow.begin() + 1, t.ItemOfRow.end()), c.Items);
    }
    EXPECT_EQ(t.Cell(1, 0), c.FirstHeader);
    EXPECT_EQ(t.Cell(c.ColCount - 1, 0), c.LastHeader);
    EXPECT_EQ(t.Cell(0, 1), c.FirstName);
    EXPECT_EQ(t.ProgramControls, c.Node == 1);
    // Every shown cell is the data image's text of its item and column.
    for (int r = 1; r < t.RowCount; ++r) {
      for (int d = 1; d < t.ColCount; ++d) {
        std::string value, name;
        core->GetParamText(t.Kind, t.ItemOfRow[static_cast<size_t>(r)], t.SegmentOfCol[static_cast<size_t>(d)], 1,
                           value, name);
        EXPECT_EQ(t.Cell(d, r), value) << d << "," << r;
        EXPECT_NE(t.Cell(0, r), "----");
      }
    }
  }
  // The program group shows as many rows as the data image counts for it.
  for (const auto& model : {std::pair<uint16_t, uint16_t>{1, 0}, {0x841, 1}}) {
    auto core = CoreFor(model.first, model.second);
    EXPECT_EQ(kvl::BuildGridTable(*core, 1, 1).RowCount, core->GetNodeRowCount(1));
  }
}

TEST(GridViewRules, ValuesBlanksHeadingsAndListingText) {
  auto core = CoreFor(1, 0);
  kvl::GridTableView t = kvl::BuildGridTable(*core, 3, 1);
  EXPECT_EQ(t.GroupName, "Variable parameter");
  EXPECT_EQ(t.Cell(0, 0), "Variable parameter");
  EXPECT_EQ(t.Cell(1, 1), "0");
  EXPECT_EQ(t.Cell(1, 12), "2.0");
  EXPECT_EQ(t.Cell(1, 13), "----");  // CP.11 without PID auto switching
  EXPECT_EQ(t.Rows[0].Cells[0].Ink, kvl::CellInk::WindowText);
  EXPECT_EQ(t.Rows[12].Cells[0].Ink, kvl::CellInk::GrayText);
  EXPECT_EQ(t.ListingText.rfind("Variable parameter\n 1:LOC  :Key lock\t0\n 2:PRTC :Program protect\t0\n", 0), 0u);
  EXPECT_EQ(CountOf(t.ListingText, '\n'), 34);

  // Program group: every row lists its name and 30 values, tab-separated.
  t = kvl::BuildGridTable(*core, 1, 1);
  EXPECT_EQ(t.Cell(1, 1), "----");
  EXPECT_EQ(t.Cell(30, 11), "----");
  const std::string firstLine = t.ListingText.substr(t.ListingText.find('\n') + 1);
  EXPECT_EQ(firstLine.rfind("SP1   :SP1\t----\t----", 0), 0u);
  EXPECT_EQ(CountOf(firstLine.substr(0, firstLine.find('\n')), '\t'), 30);

  // A heading, and a node outside the tree, show no grid.
  t = kvl::BuildGridTable(*core, 0, 1);
  EXPECT_EQ(t.Show, kvl::GridShow::Hidden);
  EXPECT_EQ(t.GroupName, "Program setup");
  EXPECT_FALSE(t.ProgramControls);
  EXPECT_EQ(kvl::BuildGridTable(*core, -1, 1).Show, kvl::GridShow::Hidden);
  EXPECT_EQ(kvl::BuildGridTable(*core, 11, 1).Show, kvl::GridShow::Hidden);
}

TEST(GridViewRules, CurrentCellEditingAndStatusTexts) {
  auto core = CoreFor(1, 0);
  const kvl::GridTableView setup = kvl::BuildGridTable(*core, 3, 1);
  const kvl::GridTableView program = kvl::BuildGridTable(*core, 1, 1);
  const std::string locRange = core->GetRangeText(3, 1, 1, 1, 0);
  const std::string sp1Range = core->GetRangeText(1, 1, 1, 1, 0);
  ASSERT_EQ(locRange, "0 to 4");
  const struct {
    const kvl::GridTableView* Table;
    int Col;
    int Row;
    int Language;
    bool Editable;
    std::string Position;
    std::string Range;
  } cases[] = {
      {&setup, 1, 1, 1, true, " 1, 1", "Valid settings:" + locRange},
      {&setup, 1, 1, 0, true, " 1, 1", "設定範囲：" + locRange},
      {&setup, 1, 13, 1, false, " 1,13", "Not Applicable"},  // "----"
      {&setup, 1, 13, 0, false, " 1,13", "設定不可"},
      {&setup, 2, 1, 1, false, " 2, 1", "Not Applicable"},  // outside the table
      {&setup, 1, 34, 1, false, " 1,34", "Not Applicable"},
      // SP1 of the first segment is editable even while it is "----"; the
      // next segment's is not until the first is used.
      {&program, 1, 1, 1, true, " 1, 1", "Valid settings:" + sp1Range},
      {&program, 2, 1, 1, false, " 2, 1", "Not Applicable"},
      {&program, 1, 2, 1, false, " 1, 2", "Not Applicable"},
  };
  for (const auto& c : cases) {
    const kvl::GridCellStatus s = kvl::CurrentCellStatus(*core, *c.Table, 1, c.Col, c.Row, c.Language);
    EXPECT_EQ(s.Editable, c.Editable) << c.Col << "," << c.Row;
    EXPECT_EQ(s.Position, c.Position);
    EXPECT_EQ(s.Range, c.Range);
  }

  // Once segment 1 has an SP1, segment 2's SP1 and segment 1's time open.
  ASSERT_TRUE(core->SetParamText(1, 1, 1, 1, "100"));
  const kvl::GridTableView used = kvl::BuildGridTable(*core, 1, 1);
  EXPECT_NE(used.Cell(1, 1), "----");
  EXPECT_TRUE(kvl::CurrentCellStatus(*core, used, 1, 2, 1, 1).Editable);
  EXPECT_NE(used.Cell(1, 2), "----");
  EXPECT_TRUE(kvl::CurrentCellStatus(*core, used, 1, 1, 2, 1).Editable);
  EXPECT_FALSE(kvl::CurrentCellStatus(*core, used, 1, 3, 1, 1).Editable);
  // Another pattern's table is its own.
  EXPECT_EQ(kvl::BuildGridTable(*core, 1, 2).Cell(1, 1), "----");
}

TEST(GridViewRules, SegmentCommandsFollowTheUsedSegments) {
  auto core = CoreFor(1, 0);
  const kvl::GridTableView empty = kvl::BuildGridTable(*core, 1, 1);
  ASSERT_TRUE(core->SetParamText(1, 1, 1, 1, "100"));
  ASSERT_TRUE(core->SetParamText(1, 1, 2, 1, "200"));
  const kvl::GridTableView used = kvl::BuildGridTable(*core, 1, 1);
  ASSERT_EQ(used.ItemOfRow[6], 20);  // PID set number of CH1
  ASSERT_NE(used.Cell(1, 6), "----");
  const struct {
    const kvl::GridTableView* Table;
    int Col;
    int Row;
    bool SegmentFull;
    bool PatternFull;
    kvl::SegmentCommands Expected;  // cut/copy/new, paste/insert copied, insert, clear, copy, paste pattern
  } cases[] = {
      {&empty, 1, 1, false, false, {false, false, false, false, false, false}},
      {&empty, 1, 1, true, true, {false, true, true, false, false, true}},  // the first free segment
      {&empty, 2, 1, true, false, {false, false, false, false, false, false}},
      {&used, 1, 1, false, false, {true, false, true, true, true, false}},
      {&used, 2, 1, true, false, {true, true, true, true, true, false}},
      {&used, 3, 1, true, false, {false, true, true, false, true, false}},
      {&used, 4, 1, true, false, {false, false, false, false, true, false}},
      {&used, 1, 6, false, false, {true, false, true, false, true, false}},  // PID set numbers are not cleared
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row << " " << c.SegmentFull);
    const kvl::SegmentCommands s = kvl::SegmentCommandStates(*c.Table, c.Col, c.Row, c.SegmentFull, c.PatternFull);
    EXPECT_EQ(s.CutCopyNew, c.Expected.CutCopyNew);
    EXPECT_EQ(s.PasteInsertCopied, c.Expected.PasteInsertCopied);
    EXPECT_EQ(s.Insert, c.Expected.Insert);
    EXPECT_EQ(s.Clear, c.Expected.Clear);
    EXPECT_EQ(s.CopyPattern, c.Expected.CopyPattern);
    EXPECT_EQ(s.PastePattern, c.Expected.PastePattern);
  }
}

// ---- the main window's grid ----

namespace {

struct GridWindow {
  GridWindow() {
    h.Start();
    f = h.Form.get();
    core = h.Core.get();
    f->show();
    f->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(f));
  }
  TStrColGrid& Grid() const { return *f->StrColGrid1; }
  std::string Cell(int col, int row) const { return Text(Grid().Cells(col, row)); }
  // The user moves the current cell.
  void MoveTo(int col, int row) const {
    Grid().SetCol(col);
    Grid().SetRow(row);
    f->StrColGrid1Click();
  }
  MainFormHarness h;
  TMainForm* f = nullptr;
  TCore* core = nullptr;
};

}  // namespace

TEST(GridView, SetupGroupShowsItsTableAndStatus) {
  GridWindow w;
  TMainForm& f = *w.f;
  w.MoveTo(1, 5);
  f.GroupMenuAction(3)->trigger();
  EXPECT_EQ(f.GridStack->currentWidget(), f.StrColGrid1);
  EXPECT_EQ(w.Grid().Col(), 1);
  EXPECT_EQ(w.Grid().Row(), 1);  // a group selection starts at the first cell
  EXPECT_EQ(w.Grid().ColCount(), 2);
  EXPECT_EQ(w.Grid().RowCount(), 34);
  EXPECT_EQ(w.Cell(0, 0), "Variable parameter");
  EXPECT_EQ(w.Cell(1, 0), " 1");
  EXPECT_EQ(w.Cell(0, 1), " 1:LOC  :Key lock");
  EXPECT_EQ(w.Cell(1, 1), "0");
  EXPECT_EQ(w.Cell(1, 13), "----");
  EXPECT_EQ(Text(f.Panel8->text()), "Variable parameter");
  EXPECT_EQ(w.Grid().ColWidths(0), f.GridTitleColumnWidth);
  EXPECT_EQ(w.Grid().ColWidths(1), f.GridDefaultColumnWidth);
  // The group name in the corner is drawn as the other title cells: the
  // rebuild removed the wide parameter it set first.
  EXPECT_EQ(w.Grid().CellParams().Find(0, 0), nullptr);
  EXPECT_EQ(w.Grid().GetCellFontWidths(0, 0), 1);
  EXPECT_EQ(w.Grid().GetCellAlignments(1, 0), taCenter);
  EXPECT_TRUE(f.ComboBoxProgNum->isHidden());
  EXPECT_TRUE(f.EditTag->isHidden());
  EXPECT_TRUE(f.ToolButton("CUTButton")->isHidden());
  EXPECT_FALSE(f.MenuItem("CUT1")->isEnabled());
  EXPECT_EQ(f.ItemOfRow[13], 13);
  EXPECT_EQ(f.SegmentOfCol[1], 1);
  EXPECT_EQ(Text(f.StatusPanels[0]->text()), " 1, 1");
  EXPECT_EQ(Text(f.StatusPanels[1]->text()), "Valid settings:0 to 4");
  EXPECT_TRUE(w.Grid().Options() & goEditing);

  w.MoveTo(1, 13);
  EXPECT_EQ(Text(f.StatusPanels[0]->text()), " 1,13");
  EXPECT_EQ(Text(f.StatusPanels[1]->text()), "Not Applicable");
  EXPECT_FALSE(w.Grid().Options() & goEditing);

  // The inks of the states show while the grid has the focus.
  f.Outline1->setFocus(Qt::TabFocusReason);
  ASSERT_FALSE(w.Grid().hasFocus());
  EXPECT_EQ(w.Grid().CellParams().Find(1, 1), nullptr);
  f.StrColGrid1->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(w.Grid().hasFocus());
  EXPECT_EQ(w.Grid().GetCellFontColors(1, 1), SystemColor(TSystemColor::WindowText));
  EXPECT_EQ(w.Grid().GetCellFontColors(1, 13), SystemColor(TSystemColor::GrayText));
  EXPECT_EQ(w.Grid().GetCellAlignments(1, 13), taRightJustify);
  f.Outline1->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w.Grid().CellParams().Find(1, 13), nullptr);

  // A heading hides the grid and its chooser; the name behind it shows.
  f.SelectGroup(0);
  EXPECT_EQ(f.GridStack->currentWidget(), f.Panel8);
  EXPECT_TRUE(f.StrColGrid1->isHidden());
  EXPECT_TRUE(f.ComboBox1->isHidden());
  EXPECT_EQ(Text(f.Panel8->text()), "Program setup");
}

TEST(GridView, TypedValuesAreStoredOrRedrawn) {
  GridWindow w;
  TMainForm& f = *w.f;
  TCore& core = *w.core;
  f.GroupMenuAction(3)->trigger();
  TStrColGrid& grid = w.Grid();
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
  const struct {
    int Row;
    const char* Typed;
    Qt::Key Key;
    int Stored;        // the working value afterwards
    const char* Shown;  // the cell's text afterwards
    int RowAfter;
  } cases[] = {
      {5, "1a2", Qt::Key_Return, 12, "12", 5},  // letters do not reach the cell
      {5, "-7", Qt::Key_Return, -7, "-7", 5},
      {1, "3", Qt::Key_Return, 3, "3", 1},
      {1, "5", Qt::Key_Return, 3, "3", 1},      // out of range: the stored value again
      {1, "5-", Qt::Key_Return, 3, "3", 1},     // not a number
      {1, "1:2", Qt::Key_Return, 3, "3", 1},
      {5, "34", Qt::Key_Up, 34, "34", 4},       // stored, then the row above
      {5, "56", Qt::Key_Down, 56, "56", 6},
      {4, "9", Qt::Key_Escape, 0, "0", 4},      // Esc drops the typed text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Row << " " << c.Typed);
    w.MoveTo(1, c.Row);
    kvltest::TypeText(QString::fromUtf8(c.Typed));
    ASSERT_TRUE(grid.EditorMode());
    kvltest::PressKey(c.Key);
    EXPECT_EQ(core.GetParam(3, c.Row, 1, 0)->Value, c.Stored);
    EXPECT_EQ(w.Cell(1, c.Row), c.Shown);
    EXPECT_EQ(grid.Row(), c.RowAfter);
    if (c.Key != Qt::Key_Up && c.Key != Qt::Key_Down) {
      EXPECT_FALSE(grid.EditorMode());
    }
    EXPECT_TRUE(w.h.Presenter.Shown.empty());  // no message for a refusal
    grid.SetEditorMode(false);
  }
}

TEST(GridView, TheGridHasTheFocusAtStartAndTypingStoresAValue) {
  GridWindow w;
  TMainForm& f = *w.f;
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), f.StrColGrid1);
  // The wizard closing gives it the focus again.
  f.Outline1->setFocus(Qt::MouseFocusReason);
  f.OpenWizardAtStart();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), f.StrColGrid1);
  // So a user can type at once: SP1 of segment 1, then a time of 1:30 in its TIME.
  kvltest::TypeText(QStringLiteral("100"));
  kvltest::PressKey(Qt::Key_Return);
  EXPECT_NE(w.core->GetPatternValue(1, 1, 1)->Value, 32767);
  EXPECT_EQ(w.Cell(1, 1), "100");
  kvltest::PressKey(Qt::Key_Down);
  ASSERT_EQ(f.ItemOfRow[static_cast<size_t>(w.Grid().Row())], 2);
  kvltest::TypeText(QStringLiteral("1:30"));
  kvltest::PressKey(Qt::Key_Return);
  EXPECT_EQ(w.Cell(1, 2), "1:30");
}

// The current cell lies wholly inside the grid's drawing area.
bool CurrentCellShown(const TStrColGrid& grid) {
  const TRect r = grid.CellRect(grid.Col(), grid.Row());
  return !r.IsEmpty() && r.Right <= grid.ClientWidth() && r.Left >= grid.ColWidths(0);
}

TEST(GridView, EveryCellCanBeScrolledIntoViewAndMovesKeepTheCurrentCellShown) {
  for (int langId : {0x409, 0x411}) {
    for (int width : {640, 1200}) {
      SCOPED_TRACE(testing::Message() << langId << " " << width);
      MainFormHarness h;
      h.Start({}, static_cast<uint16_t>(langId));
      TMainForm& f = *h.Form;
      f.resize(width, 480);
      f.GroupMenuAction(1)->trigger();
      TStrColGrid& grid = *f.StrColGrid1;
      ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
      ASSERT_EQ(grid.ColWidths(0), langId == 0x411 ? 270 : 400);
      ASSERT_EQ(grid.ColCount(), 31);

      kvltest::PressKey(Qt::Key_End);
      EXPECT_EQ(grid.Col(), 30);
      EXPECT_TRUE(CurrentCellShown(grid));
      f.UpdateGrid(true);  // a rebuild does not pull the view back
      EXPECT_TRUE(CurrentCellShown(grid));
      kvltest::PressKey(Qt::Key_Home);
      EXPECT_EQ(grid.Col(), 1);
      EXPECT_TRUE(CurrentCellShown(grid));
      for (int i = 0; i < 29; ++i) kvltest::PressKey(Qt::Key_Right);
      EXPECT_EQ(grid.Col(), 30);
      EXPECT_TRUE(CurrentCellShown(grid));

      // The scroll bar reaches the last segment.
      kvltest::PressKey(Qt::Key_Home);
      grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
      EXPECT_FALSE(grid.CellRect(30, 1).IsEmpty());
      EXPECT_LE(grid.CellRect(30, 1).Right, grid.ClientWidth());

      // A jump (as from the error list) and a program change.
      f.MoveGridTo(28, 5);
      EXPECT_EQ(grid.Col(), 28);
      EXPECT_TRUE(CurrentCellShown(grid));
      f.ComboBoxProgNum->setCurrentIndex(3);
      f.ComboBoxProgNumChange();
      EXPECT_TRUE(CurrentCellShown(grid));
    }
  }
}

TEST(GridView, ChooserPreselectsStoresAndHides) {
  GridWindow w;
  TMainForm& f = *w.f;
  TCore& core = *w.core;
  f.GroupMenuAction(3)->trigger();
  core.GetParam(3, 1, 1, 0)->Value = 2;
  f.UpdateGrid(true);
  ASSERT_FALSE(f.ComboBox1->isHidden());
  EXPECT_EQ(f.ComboBox1->count(), 5);
  EXPECT_EQ(f.ComboBox1->currentIndex(), 2);
  EXPECT_EQ(f.ComboBox1->currentText().left(2), QStringLiteral("2:"));
  EXPECT_EQ(f.ComboBox1->x(), 10);
  EXPECT_EQ(f.ComboBox1->width(), f.width() - 20);

  // Choosing an entry stores its number.
  f.ComboBox1->setCurrentIndex(4);
  emit f.ComboBox1->activated(4);
  EXPECT_EQ(core.GetParam(3, 1, 1, 0)->Value, 4);
  EXPECT_EQ(w.Cell(1, 1), "4");

  // A numeric setting hides the chooser.
  w.MoveTo(1, 3);
  EXPECT_TRUE(f.ComboBox1->isHidden());
  // So does a choice setting that shows "----".
  f.GroupMenuAction(8)->trigger();
  w.MoveTo(1, 1);
  EXPECT_FALSE(f.ComboBox1->isHidden());
  ASSERT_NE(core.GetParam(8, 18, 1, 0)->ChoiceTableId, 0);
  w.MoveTo(1, 18);
  ASSERT_EQ(w.Cell(1, 18), "----");
  EXPECT_TRUE(f.ComboBox1->isHidden());
}

namespace {

// A wheel notch over the chooser, as the pointer delivers it: to the widget
// under the pointer.
void WheelOver(QWidget& widget, int notches) {
  const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
  QWheelEvent wheel(at, widget.mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&widget, &wheel);
}

// The row of the grid that shows the item.
int RowOfItem(const TMainForm& f, int item) {
  for (int r = 1; r < f.StrColGrid1->RowCount(); ++r)
    if (f.ItemOfRow[r] == item) return r;
  return -1;
}

}  // namespace

// A wheel turned over the chooser changes its entry, and so the setting,
// only while the chooser has the keyboard focus; its list drops down with at
// most 30 lines, also for the list of all parameters. In both languages.
TEST(GridView, ChooserTakesTheWheelOnlyWithTheFocusAndListsThirtyLines) {
  for (uint16_t langId : {uint16_t{0x409}, uint16_t{0x411}}) {
    SCOPED_TRACE(langId);
    MainFormHarness h;
    h.Start({}, langId);
    TMainForm& f = *h.Form;
    TCore& core = *h.Core;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.GroupMenuAction(3)->trigger();
    TStrColGrid& grid = *f.StrColGrid1;
    ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
    core.GetParam(3, 1, 1, 0)->Value = 2;
    f.UpdateGrid(true);
    ASSERT_FALSE(f.ComboBox1->isHidden());

    // The focus on the grid: nothing changes.
    WheelOver(*f.ComboBox1, 1);
    WheelOver(*f.ComboBox1, -1);
    WheelOver(*f.ComboBox1, 1);
    EXPECT_EQ(core.GetParam(3, 1, 1, 0)->Value, 2);
    EXPECT_EQ(f.ComboBox1->currentIndex(), 2);
    EXPECT_TRUE(grid.hasFocus());
    EXPECT_EQ(f.ComboBox1->focusPolicy(), Qt::StrongFocus) << "a wheel would give it the focus";

    // With the focus, as after a click or Tab, a notch down chooses the next entry.
    f.ComboBox1->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(f.ComboBox1->hasFocus());
    WheelOver(*f.ComboBox1, 1);
    EXPECT_EQ(f.ComboBox1->currentIndex(), 3);
    EXPECT_EQ(core.GetParam(3, 1, 1, 0)->Value, 3);

    // The list of all parameters (C55, "PARA assignment item 1"), opened
    // with the keyboard: 30 lines show.
    f.GroupMenuAction(8)->trigger();
    ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
    const int row = RowOfItem(f, 55);
    ASSERT_GT(row, 0);
    grid.SetCol(1);
    grid.SetRow(row);
    f.StrColGrid1Click();
    ASSERT_FALSE(f.ComboBox1->isHidden());
    ASSERT_GT(f.ComboBox1->count(), 300);
    f.ComboBox1->setFocus(Qt::TabFocusReason);
    kvltest::PressKey(Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = f.ComboBox1->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 10000));
    const QRect area = list->viewport()->rect();
    const int first = list->indexAt(area.topLeft() + QPoint(2, 1)).row();
    const int last = list->indexAt(QPoint(2, area.bottom() - 1)).row();
    EXPECT_EQ(last - first + 1, 30) << "rows " << first << " to " << last;
    EXPECT_LE(list->window()->height(), 31 * list->sizeHintForRow(0) + 10) << "the list is taller than 30 lines";
    // Under the chooser, not over the window.
    EXPECT_GE(list->window()->geometry().top(), f.ComboBox1->mapToGlobal(QPoint(0, 0)).y());
    kvltest::PressKey(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }, 10000));
  }
}

TEST(GridView, ProgramGroupSelectorTagAndCommands) {
  GridWindow w;
  TMainForm& f = *w.f;
  TCore& core = *w.core;
  f.GroupMenuAction(1)->trigger();
  TStrColGrid& grid = w.Grid();
  EXPECT_FALSE(f.ComboBoxProgNum->isHidden());
  EXPECT_FALSE(f.EditTag->isHidden());
  EXPECT_FALSE(f.LabelProg->isHidden());
  EXPECT_FALSE(f.LabelTag->isHidden());
  EXPECT_EQ(grid.ColCount(), 31);
  EXPECT_EQ(w.Cell(1, 0), " 1 Seg.");
  EXPECT_EQ(w.Cell(30, 0), "30 Seg.");
  EXPECT_EQ(w.Cell(0, 3), "EV1   :event1 Operating point");
  EXPECT_EQ(f.ItemOfRow[3], 4);
  EXPECT_EQ(w.Cell(1, 1), "----");
  EXPECT_TRUE(grid.Options() & goEditing);  // the first SP1 may be entered
  EXPECT_EQ(Text(f.EditTag->text()), "PROG01  ");
  EXPECT_FALSE(f.ToolButton("CUTButton")->isHidden());
  EXPECT_FALSE(f.MenuItem("CUT1")->isEnabled());
  EXPECT_FALSE(f.MenuItem("PASTE1")->isEnabled());

  // SP1 typed into segment 1 of program 1.
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
  kvltest::TypeText(QStringLiteral("100"));
  kvltest::PressKey(Qt::Key_Return);
  std::string value, name;
  core.GetParamText(1, 1, 1, 1, value, name);
  EXPECT_NE(value, "----");
  EXPECT_EQ(w.Cell(1, 1), value);
  EXPECT_NE(core.GetPatternValue(1, 1, 1)->Value, 32767);
  EXPECT_TRUE(f.MenuItem("CUT1")->isEnabled());
  EXPECT_TRUE(f.ToolButton("CUTButton")->isEnabled());
  EXPECT_TRUE(f.MenuItem("COPY2")->isEnabled());

  // PV start chooses from a list, placed right of the segment buttons and
  // clear of the program controls.
  w.MoveTo(1, 9);
  ASSERT_EQ(f.ItemOfRow[9], 24);
  ASSERT_FALSE(f.ComboBox1->isHidden());
  EXPECT_EQ(f.ComboBox1->x(), 210);
  EXPECT_EQ(f.ComboBox1->width(), f.width() - 220);
  EXPECT_EQ(f.ComboBox1->currentIndex(), 0);
  EXPECT_EQ(Text(f.ComboBox1->currentText()).rfind("0:", 0), 0u);
  for (QWidget* control : {static_cast<QWidget*>(f.EditTag), static_cast<QWidget*>(f.ComboBoxProgNum)})
    EXPECT_FALSE(f.ComboBox1->geometry().intersects(control->geometry()));
  f.ComboBox1->setCurrentIndex(1);
  emit f.ComboBox1->activated(1);
  EXPECT_EQ(core.GetPatternValue(1, 24, 1)->Value, 1);

  // The segment commands act on the current cell.
  w.MoveTo(2, 3);
  EXPECT_EQ(f.CurrentProgram(), 1);
  EXPECT_EQ(f.CurrentSegment(), 2);
  EXPECT_EQ(f.CurrentItem(), 4);

  // With a copied segment, paste is offered on the used and the first free segment.
  f.SegmentClipboardFull = 1;
  const struct {
    int Col;
    bool Paste;
  } pastes[] = {{1, true}, {2, true}, {3, false}};
  for (const auto& c : pastes) {
    w.MoveTo(c.Col, 1);
    EXPECT_EQ(f.MenuItem("PASTE1")->isEnabled(), c.Paste) << c.Col;
    EXPECT_EQ(f.ToolButton("InsertButton2")->isEnabled(), c.Paste) << c.Col;
  }

  // The program selector switches pattern and tag.
  ASSERT_TRUE(core.SetParamText(1, 1, 1, 2, "50"));
  std::string second;
  core.GetParamText(1, 1, 1, 2, second, name);
  f.ComboBoxProgNum->setCurrentIndex(1);
  emit f.ComboBoxProgNum->activated(1);
  EXPECT_EQ(Text(f.EditTag->text()), "PROG02  ");
  EXPECT_EQ(w.Cell(1, 1), second);
  f.ComboBoxProgNum->setCurrentIndex(0);
  emit f.ComboBoxProgNum->activated(0);
  EXPECT_EQ(w.Cell(1, 1), value);
  EXPECT_EQ(Text(f.EditTag->text()), "PROG01  ");

  // The tag editor: letters turn upper case; a refused text or Esc shows the stored tag.
  const struct {
    const char* Typed;
    Qt::Key Key;
    const char* Stored;
  } tags[] = {
      {"ab", Qt::Key_Return, "AB      "},
      {"A{", Qt::Key_Return, "AB      "},
      {"A`", Qt::Key_Return, "AB      "},
      {"XY", Qt::Key_Escape, "AB      "},
      {"P-9_", Qt::Key_Enter, "P-9_    "},
      {"éA", Qt::Key_Return, "P-9_    "},  // no "?" for what CP932 cannot hold
  };
  ASSERT_TRUE(kvltest::FocusInActiveWindow(*f.EditTag));
  for (const auto& c : tags) {
    SCOPED_TRACE(c.Typed);
    f.EditTag->clear();
    kvltest::TypeText(QString::fromUtf8(c.Typed));
    kvltest::PressKey(c.Key);
    char tag[9] = {};
    ASSERT_TRUE(core.GetTag(1, tag));
    EXPECT_STREQ(tag, c.Stored);
    EXPECT_EQ(Text(f.EditTag->text()), c.Stored);
  }
  char other[9] = {};
  core.GetTag(2, other);
  EXPECT_STREQ(other, "PROG02  ");
}

TEST(GridView, GridTextGoesToTheClipboardWhenAsked) {
  GridWindow w;
  TMainForm& f = *w.f;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("before"));
  f.GroupMenuAction(3)->trigger();
  EXPECT_EQ(Text(clipboard->text()), "before");
  f.GridTextToClipboard = [] { return true; };
  f.GroupMenuAction(6)->trigger();
  const std::string text = Text(clipboard->text());
  EXPECT_EQ(text, f.GridTable.ListingText);
  EXPECT_EQ(text.rfind("PID parameter\n 1:P :Proportional band(PID set 1)\t100.0\t100.0\t", 0), 0u);
}

TEST(GridView, ErrorListLineMovesTheGridToItsCell) {
  GridWindow w;
  TMainForm& f = *w.f;
  TCore& core = *w.core;
  for (int s = 1; s <= 5; ++s) {
    ASSERT_TRUE(core.SetParamText(1, 1, s, 3, "100"));
    ASSERT_TRUE(core.SetParamText(1, 2, s, 3, "1:00"));
  }
  core.PatternSlotPtr(3, 1, 5)->Value = 5000;
  core.GetParam(6, 1, 3, 0)->Value = 10000;
  ASSERT_FALSE(f.CheckData(true, true));
  ASSERT_EQ(f.ErrorList->count(), 2);
  const struct {
    int Line;
    int Node;
    int Col;
    int Row;
    const char* Position;
  } cases[] = {{0, 1, 5, 1, " 5, 1"}, {1, 6, 3, 1, " 3, 1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Line);
    f.Outline1->setFocus(Qt::TabFocusReason);
    f.ErrorList->setCurrentRow(c.Line);
    f.ErrorListDblClick();
    EXPECT_EQ(f.CurrentGroupKind(), c.Node);
    EXPECT_EQ(w.Grid().Col(), c.Col);
    EXPECT_EQ(w.Grid().Row(), c.Row);
    EXPECT_TRUE(w.Grid().hasFocus());
    EXPECT_EQ(Text(f.StatusPanels[0]->text()), c.Position);
  }
  EXPECT_EQ(w.Cell(3, 1), "1000.0");  // the faulty value is shown as stored
  // An empty list only gives the grid the focus.
  ASSERT_TRUE(f.CheckData(false, false));
  f.Outline1->setFocus(Qt::TabFocusReason);
  f.ErrorListDblClick();
  EXPECT_TRUE(w.Grid().hasFocus());
  EXPECT_EQ(f.CurrentGroupKind(), 6);
}
