// The main window's data as a user meets it on a real X server: the tag a
// loaded file brings, the grid's editor over a replaced image, and a click
// after scrolling the grid with the mouse wheel.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "Desktop.h"
#include "UCore.h"

namespace {

using namespace std::chrono_literals;
using e2e::kGroups;
using e2e::NewImage;
using e2e::Program;
using e2e::SaveAndReadBack;
using e2e::StartOn;

constexpr QRgb kFocusCellYellow = qRgb(255, 255, 0);

class MainWindowDataTest : public ::testing::TestWithParam<Program::Language> {};

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowDataTest,
                         ::testing::Values(Program::Language::English, Program::Language::Japanese),
                         [](const auto& info) { return e2e::LanguageName(info.param); });

// A file named on the command line brings its tag: the TAG field shows it,
// so a letter typed there over its third one and Enter store the loaded tag
// with that letter, and Save writes it; whether the start-up wizard is then
// completed or cancelled. The field is reached with Tab (grid, tree, error list,
// program selector, tag field), each step waited for on the screen; the
// changed letter shows that the field had the focus.
TEST_P(MainWindowDataTest, TheTagOfAFileOnTheCommandLineIsShownAndKept) {
  for (const char* answer : {"esc", "enter"}) {
    SCOPED_TRACE(answer);
    Program program(GetParam());
    auto image = NewImage();
    char tag[9] = "AB      ";
    ASSERT_TRUE(image->SetTag(1, tag));
    const std::string path = program.PathIn("plant.q70");
    ASSERT_EQ(image->SaveFile(kGroups, path), 0);
    ASSERT_TRUE(program.Start({path}, {{"KVLQ70_DIALOG_ANSWER", answer}})) << program.Output();
    QImage previous = program.Screenshot();
    for (int tab = 1; tab <= 4; ++tab) {
      SCOPED_TRACE(tab);
      program.Keys("Tab");
      ASSERT_TRUE(program.WaitForScreen([&](const QImage& now) {
        if (now == previous) return false;
        previous = now;
        return true;
      })) << "Tab did not move the focus";
    }
    program.Keys("Home Right Right shift+Right");
    program.Type("C");
    program.Keys("Return");
    auto saved = SaveAndReadBack(program, path);
    char stored[9] = {};
    ASSERT_TRUE(saved->GetTag(1, stored));
    EXPECT_STREQ(stored, "ABC     ");
  }
}

// "12" typed into SP1, then File, New answered with OK: the editor is closed
// and the window shows the new image as the start showed the same defaults,
// the yellow current cell on SP1 and nothing of the typed text.
TEST_P(MainWindowDataTest, NewClosesTheGridEditorAndDropsItsText) {
  Program program(GetParam());
  auto image = NewImage();
  StartOn(program, *image);
  const QImage start = program.Screenshot();
  const QRect current = e2e::PixelsOf(start, kFocusCellYellow);
  ASSERT_FALSE(current.isEmpty()) << "the current cell is not shown at start";
  program.Type("12");
  // The open editor covers the yellow cell.
  ASSERT_TRUE(program.WaitForScreen([&](const QImage& now) { return e2e::PixelsOf(now, kFocusCellYellow).isEmpty(); }))
      << "the editor did not open";
  program.Keys("ctrl+n");
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) { return e2e::PixelsOf(now, kFocusCellYellow) == current; }))
      << "the editor is still open over the new image";
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) { return now == start; }))
      << "the new image is not shown as the start showed it";
  EXPECT_TRUE(program.Alive());
}

// The grid scrolled with the wheel while the group tree has the focus: a
// click selects the cell under the pointer, and the view stays where the
// wheel left it.
TEST(MainWindowDataRoads, AClickAfterTheWheelSelectsTheCellAndKeepsTheView) {
  Program program;
  auto image = NewImage();
  const std::string path = StartOn(program, *image);
  const QImage start = program.Screenshot();
  const QRect chooser = e2e::kChooserArea;
  program.Keys("alt+s Down Return Return");  // Setup, Parameter setup, Variable parameter
  QRect first;
  ASSERT_TRUE(program.WaitForSteadyScreen([&](const QImage& now) {
    first = e2e::PixelsOf(now, kFocusCellYellow);
    return now.copy(chooser) != start.copy(chooser) && !first.isEmpty();
  })) << "the menus did not close on the group, its first cell shown";
  // The tree panel's empty part below its entries takes the focus; the status
  // text below the tree shows it.
  const QImage beforeClick = program.Screenshot();
  program.ClickAt(QPoint(20, program.WindowRect().height() - 160));
  QImage top;
  ASSERT_TRUE(program.WaitForScreen([&](const QImage& now) {
    top = now;
    return now != beforeClick;
  })) << "the click did not move the focus to the tree";
  // The names of the rows shown: the title column left of the values.
  const QRect names(first.left() - 260, first.top(), 250, program.WindowRect().height() - 120 - first.top());
  top = top.copy(names);
  program.Wheel(first.center(), 5, 10);
  // The view the click is to keep, after the last notch.
  QImage scrolled;
  ASSERT_TRUE(program.WaitForSteadyScreen([&](const QImage& now) {
    scrolled = now;
    return now.copy(names) != top;
  })) << "the wheel did not scroll the grid";
  const QPoint target = first.center() + QPoint(0, 5 * (first.height() + 1));
  program.ClickAt(target);
  QImage after;
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) {
    after = now;
    return e2e::PixelsOf(now, kFocusCellYellow).contains(target);
  })) << "the clicked cell is not the current one";
  EXPECT_TRUE(after.copy(names) == scrolled.copy(names)) << "the view jumped";
  // The value typed there is stored in the row the user saw under the pointer.
  program.Type("1");
  program.Keys("Return");
  auto saved = SaveAndReadBack(program, path);
  int changed = 0;
  for (int item = 1; item <= 34; ++item) {
    const ParamDescriptor* before = image->GetParam(3, item, 1, 0);
    const ParamDescriptor* now = saved->GetParam(3, item, 1, 0);
    if (before && now && before->Value != now->Value) changed = item;
  }
  EXPECT_GT(changed, 18) << "the value went to a row of the unscrolled view";
}

}  // namespace
