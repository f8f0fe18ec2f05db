// The grid's window: what it shows (by the pixels of a grabbed picture),
// colour and font shared with the window, and editing by keys with the
// key handlers a caller sets.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "GridTestSupport.h"
#include "Keyboard.h"
#include "StrCGrid.h"

namespace {

std::string S(const QString& text) { return text.toStdString(); }
std::string Name(const QColor& c) { return c.name().toStdString(); }

const QColor kYellow(255, 255, 0);
const QColor kFace(0xD4, 0xD0, 0xC8);

// Set up as the main window sets up its grid.
void SetUpLikeTheMainWindow(TStrColGrid& grid) {
  grid.SetCtl3D(true);
  grid.SetColor(kFace);
  grid.SetFixedColor(kFace);
  grid.SetDefaultColWidth(50);
  grid.SetDefaultRowHeight(18);
  grid.SetRowCount(400);
  grid.SetOptions(TGridOptions(goFixedVertLine) | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected |
                  goEditing);
  grid.SetAlignment(taRightJustify);
  grid.SetFixedLayout(tlCenter);
  grid.SetFocusCellColor(kYellow);
  grid.SetLayout(tlCenter);
  grid.resize(320, 200);
}

QColor ViewportPixel(const TStrColGrid& grid, const QImage& image, int x, int y) {
  const QPoint offset = grid.viewport()->geometry().topLeft();
  return image.pixelColor(x + offset.x(), y + offset.y());
}

TEST(GridWidget, GrabbedPictureShowsTheCellsByTheDrawingRules) {
  TStrColGrid grid;
  SetUpLikeTheMainWindow(grid);
  grid.SetColCount(4);
  grid.SetCells(1, 1, QStringLiteral("1"));
  grid.SetCellColors(2, 2, QColor(0, 128, 0));
  const QImage image = grid.grab().toImage();
  EXPECT_EQ(grid.ClientWidth(), grid.viewport()->width());
  // Columns at x 0, 51, 102, 153; rows at y 0, 19, 38.
  struct Probe {
    const char* What;
    int X, Y;
    QColor Expected;
  };
  const std::vector<Probe> probes = {
      {"current cell in the focus colour", 60, 22, kYellow},
      {"a cell", 120, 25, kFace},
      {"a cell's own colour", 120, 45, QColor(0, 128, 0)},
      {"fixed line", 50, 25, QColor(0, 0, 0)},
      {"cell line", 101, 45, QColor(0xC0, 0xC0, 0xC0)},
      {"fixed frame", 70, 0, SystemColor(TSystemColor::BtnHighlight)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.What);
    EXPECT_EQ(Name(ViewportPixel(grid, image, p.X, p.Y)), Name(p.Expected));
  }
  // The scroll bar covers the rows past the window.
  EXPECT_EQ(grid.verticalScrollBar()->maximum(), grid.MaxTopRow() - grid.FixedRows());
  EXPECT_GT(grid.verticalScrollBar()->maximum(), 380);
  grid.verticalScrollBar()->setValue(10);
  EXPECT_EQ(grid.TopRow(), 11);

  // The class library's drawing: the highlight colour, no focus colour.
  grid.SetDefaultDrawing(true);
  grid.SetTopRow(1);
  const QImage plain = grid.grab().toImage();
  EXPECT_EQ(Name(ViewportPixel(grid, plain, 60, 22)), Name(SystemColor(TSystemColor::Highlight)));
}

TEST(GridWidget, ColourAndFontAreTheWindowsOwn) {
  TStrColGrid grid;
  grid.SetColor(QColor(1, 2, 3));
  EXPECT_EQ(grid.palette().color(QPalette::Base), QColor(1, 2, 3));
  QPalette palette = grid.palette();
  palette.setColor(QPalette::Base, QColor(4, 5, 6));
  grid.setPalette(palette);
  EXPECT_EQ(grid.Color(), QColor(4, 5, 6));

  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPointSize(15);
  grid.setFont(font);
  EXPECT_EQ(grid.Font().Font, font);
  TGridFont own = grid.Font();
  own.Font.setPointSize(8);
  own.Color = QColor(9, 9, 9);
  grid.SetFont(own);
  EXPECT_EQ(grid.font().pointSize(), 8);
  EXPECT_EQ(grid.Font().Color, QColor(9, 9, 9));
}

// Keys as the main window filters them: digits, '-', '.', ':', backspace and Enter.
struct KeyRecorder {
  std::vector<std::string> Downs;
  int Clicks = 0;
  void Hook(TStrColGrid& grid) {
    grid.OnKeyPress = [](TSCGSender*, QChar& key) {
      const ushort c = key.unicode();
      if (!(c == 8 || c == 13 || c == '-' || c == '.' || c == ':' || (c >= '0' && c <= '9'))) key = QChar();
    };
    grid.OnKeyDown = [this, &grid](TSCGSender*, int& key, Qt::KeyboardModifiers) {
      Downs.push_back(std::to_string(key) + (grid.EditorMode() ? " editing" : ""));
    };
    grid.OnClick = [this](TSCGSender*) { ++Clicks; };
  }
};

TEST(GridWidget, TypingOpensTheEditorAndTheTextGoesIntoTheCell) {
  TStrColGrid grid;
  SetUpLikeTheMainWindow(grid);
  grid.SetColCount(3);
  grid.SetCells(1, 1, QStringLiteral("5"));
  grid.SetCells(1, 2, QStringLiteral("8"));
  KeyRecorder keys;
  keys.Hook(grid);
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));

  // The first typed character replaces the text; 'a' never arrives.
  kvltest::TypeText(QStringLiteral("1a2"));
  ASSERT_TRUE(grid.EditorMode());
  ASSERT_NE(grid.InplaceEditor(), nullptr);
  EXPECT_EQ(S(grid.InplaceEditor()->text()), "12");
  EXPECT_EQ(S(grid.Cells(1, 1)), "12");
  // Enter closes the editor and keeps the text; the key handler saw it while editing.
  kvltest::PressKey(Qt::Key_Return);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(S(grid.Cells(1, 1)), "12");
  EXPECT_EQ(keys.Downs.back(), std::to_string(Qt::Key_Return) + " editing");

  // Enter opens it again with the text selected; Esc gives the cell its text back.
  kvltest::PressKey(Qt::Key_Return);
  ASSERT_TRUE(grid.EditorMode());
  kvltest::TypeText(QStringLiteral("-3"));
  EXPECT_EQ(S(grid.Cells(1, 1)), "-3");
  kvltest::PressKey(Qt::Key_Escape);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(S(grid.Cells(1, 1)), "12");

  // Down while editing keeps the typed text, closes the editor and moves.
  kvltest::PressKey(Qt::Key_F2);
  ASSERT_TRUE(grid.EditorMode());
  kvltest::PressKey(Qt::Key_End);  // inside the editor
  kvltest::PressKey(Qt::Key_Backspace);
  kvltest::PressKey(Qt::Key_7);
  const int clicks = keys.Clicks;
  kvltest::PressKey(Qt::Key_Down);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(S(grid.Cells(1, 1)), "17");
  EXPECT_EQ(grid.Row(), 2);
  EXPECT_EQ(keys.Clicks, clicks + 1);
  EXPECT_EQ(keys.Downs.back(), std::to_string(Qt::Key_Down) + " editing");

  // A handler that consumes a key stops it.
  grid.OnKeyDown = [](TSCGSender*, int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Up) key = 0;
  };
  kvltest::PressKey(Qt::Key_Up);
  EXPECT_EQ(grid.Row(), 2);

  // Without goEditing, typing changes nothing.
  grid.SetOptions(grid.Options() & ~TGridOptions(goEditing));
  kvltest::TypeText(QStringLiteral("9"));
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(S(grid.Cells(1, 2)), "8");
  grid.SetEditorMode(true);
  EXPECT_FALSE(grid.EditorMode());

  // Editing per cell: a cell's own options switch it on there only.
  TSCGCellParam* editable = grid.GetCellParamPointer(2, 2, true);
  editable->SetOptions(grid.Options() | goEditing);
  editable->SetOptionsEnabled(true);
  grid.SetCol(2);
  kvltest::TypeText(QStringLiteral("4"));
  EXPECT_TRUE(grid.EditorMode());
  EXPECT_EQ(S(grid.Cells(2, 2)), "4");
  // Switching editing off closes the editor.
  grid.SetOptions(grid.Options());
  EXPECT_FALSE(grid.EditorMode());
}

TEST(GridWidget, KeysThatTypeNothingLeaveTheEditorAsItWas) {
  TStrColGrid grid;
  SetUpLikeTheMainWindow(grid);
  grid.SetColCount(3);
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
  kvltest::TypeText(QStringLiteral("1"));
  ASSERT_TRUE(grid.EditorMode());
  // Modifiers and keys without a character: the editor stays open with its
  // text, and the program goes on (they used to bounce between the grid and
  // its editor until the stack ran out).
  const struct {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
  } keys[] = {
      {Qt::Key_Shift, Qt::NoModifier},   {Qt::Key_Control, Qt::NoModifier}, {Qt::Key_Alt, Qt::NoModifier},
      {Qt::Key_Meta, Qt::NoModifier},    {Qt::Key_CapsLock, Qt::NoModifier}, {Qt::Key_F5, Qt::NoModifier},
      {Qt::Key_Insert, Qt::NoModifier},  {Qt::Key_Pause, Qt::NoModifier},   {Qt::Key_F2, Qt::NoModifier},
      {Qt::Key_S, Qt::ControlModifier},  {Qt::Key_F4, Qt::AltModifier},     {Qt::Key_Tab, Qt::NoModifier},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(k.Key);
    kvltest::PressKey(k.Key, k.Modifiers);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(S(grid.InplaceEditor()->text()), "1");
    EXPECT_EQ(S(grid.Cells(1, 1)), "1");
    EXPECT_TRUE(grid.hasFocus());
  }
  // Shift with the colon key types the colon of a time.
  kvltest::TypeText(QStringLiteral(":30"));
  EXPECT_EQ(S(grid.Cells(1, 1)), "1:30");
}

TEST(GridWidget, TypingReplacesTheTextHoweverTheEditorOpened) {
  TStrColGrid grid;
  SetUpLikeTheMainWindow(grid);
  grid.SetColCount(3);
  // The owner rebuilds every cell on a click, as the main window does.
  grid.OnClick = [&grid](TSCGSender*) {
    for (int r = 1; r < grid.RowCount() && r < 3; ++r) {
      grid.SetCells(1, r, QString());
      grid.SetCells(1, r, QStringLiteral("300"));
    }
  };
  grid.SetCells(1, 1, QStringLiteral("300"));
  grid.SetCells(1, 2, QStringLiteral("300"));
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
  const QRect cell11(grid.CellRect(1, 1).Left, grid.CellRect(1, 1).Top, 50, 18);
  const QRect cell12(grid.CellRect(1, 2).Left, grid.CellRect(1, 2).Top, 50, 18);

  const struct {
    const char* How;
    std::function<void()> Open;
  } ways[] = {
      {"click on the current cell", [&] { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell11.center()); }},
      {"F2", [] { kvltest::PressKey(Qt::Key_F2); }},
      {"Enter", [] { kvltest::PressKey(Qt::Key_Return); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.How);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell12.center());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell11.center());
    ASSERT_EQ(grid.Row(), 1);
    grid.SetEditorMode(false);
    way.Open();
    ASSERT_TRUE(grid.EditorMode());
    kvltest::TypeText(QStringLiteral("5"));
    EXPECT_EQ(S(grid.Cells(1, 1)), "5");
    kvltest::PressKey(Qt::Key_Escape);
    EXPECT_EQ(S(grid.Cells(1, 1)), "300");
  }
  // Typing into a closed editor replaces the text too.
  kvltest::TypeText(QStringLiteral("7"));
  EXPECT_EQ(S(grid.Cells(1, 1)), "7");
}

TEST(GridWidget, TheEditorFollowsProgramTextsAndUsesTheCellsFont) {
  TStrColGrid grid;
  SetUpLikeTheMainWindow(grid);
  TGridFont big = grid.Font();
  big.Font.setPointSize(20);
  big.Color = QColor(0, 0, 200);
  grid.AddFont(big);
  grid.SetCellFonts(1, 1, 0);
  grid.SetEditorMode(true);
  ASSERT_TRUE(grid.EditorMode());
  EXPECT_EQ(grid.InplaceEditor()->font().pointSize(), 20);
  EXPECT_EQ(grid.InplaceEditor()->palette().color(QPalette::Text), QColor(0, 0, 200));
  grid.SetCells(1, 1, QStringLiteral("3.5"));
  EXPECT_EQ(S(grid.InplaceEditor()->text()), "3.5");
  // Moving to a cell without font takes the grid's font into the editor.
  grid.SetRow(2);
  EXPECT_FALSE(grid.EditorMode());
  EXPECT_EQ(grid.InplaceEditor()->font().pointSize(), grid.Font().Font.pointSize());
}

}  // namespace
