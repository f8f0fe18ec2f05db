// The main window's data as a user meets it on a real X server: the tag a
// loaded file brings, the grid's editor over a replaced image, and a click
// after scrolling the grid with the mouse wheel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "Desktop.h"
#include "UCore.h"

namespace {

using namespace std::chrono_literals;
using e2e::Program;

constexpr int32_t kGroups[] = {1, 2, 0};
constexpr QRgb kFocusCellYellow = qRgb(255, 255, 0);

std::unique_ptr<TCore> NewImage() {
  auto core = std::make_unique<TCore>(1);
  core->Model.ApplyModelDefaults();
  core->SetDefaults(kGroups, true);
  core->Model.UpdateModelFlags();
  core->BuildModelCode();
  return core;
}

std::string StartOn(Program& program, TCore& image) {
  const std::string path = program.PathIn("plant.q70");
  EXPECT_EQ(image.SaveFile(kGroups, path), 0);
  EXPECT_TRUE(program.Start({path})) << program.Output();
  return path;
}

// Waits until the condition holds, with a bound a loaded machine meets.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(100ms);
  }
  return condition();
}

// The pointer at a point of the window's client area as its screenshots
// show it, in screen coordinates.
void PointAt(Program& program, QPoint at) {
  const QPoint screen = program.WindowRect().topLeft() + at;
  e2e::Shell("xdotool mousemove " + std::to_string(screen.x()) + " " + std::to_string(screen.y()));
}

void ClickAt(Program& program, QPoint at) {
  PointAt(program, at);
  e2e::Shell("xdotool click 1");
  program.Settle();
}

// Wheel notches over the point: button 5 turns it down, 4 up.
void WheelAt(Program& program, QPoint at, int button, int notches) {
  PointAt(program, at);
  e2e::Shell("xdotool click --repeat " + std::to_string(notches) + " --delay 60 " + std::to_string(button));
  program.Settle();
}

// Saves with Ctrl+S into the file the program loaded, removed first, so that
// an image saved as it was loaded is seen to be written too.
std::unique_ptr<TCore> SaveAndReadBack(Program& program, const std::string& path) {
  std::remove(path.c_str());
  program.Keys("ctrl+s");
  EXPECT_TRUE(e2e::WaitForFileChange(path, "", 10000ms)) << "Ctrl+S saved nothing";
  auto core = std::make_unique<TCore>(1);
  EXPECT_EQ(core->LoadFile(path), 0) << path;
  return core;
}

class MainWindowDataTest : public ::testing::TestWithParam<Program::Language> {};

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowDataTest,
                         ::testing::Values(Program::Language::English, Program::Language::Japanese),
                         [](const auto& info) {
                           return info.param == Program::Language::English ? "English" : "Japanese";
                         });

// A file named on the command line brings its tag: the TAG field shows it,
// so a click into the field and Enter store it again, and Save writes it;
// whether the start-up wizard is then completed or cancelled.
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
    const QRect window = program.WindowRect();
    ASSERT_FALSE(window.isEmpty());
    // The TAG field closes the tool panel's first row on the right.
    ClickAt(program, QPoint(window.width() - 45, 18));
    program.Keys("Return");
    auto saved = SaveAndReadBack(program, path);
    char stored[9] = {};
    ASSERT_TRUE(saved->GetTag(1, stored));
    EXPECT_STREQ(stored, "AB      ");
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
  ASSERT_TRUE(WaitUntil([&] { return e2e::PixelsOf(program.Screenshot(), kFocusCellYellow).isEmpty(); }))
      << "the editor did not open";
  program.Keys("ctrl+n");
  EXPECT_TRUE(WaitUntil([&] { return e2e::PixelsOf(program.Screenshot(), kFocusCellYellow) == current; }))
      << "the editor is still open over the new image";
  EXPECT_TRUE(WaitUntil([&] { return program.Screenshot() == start; }))
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
  program.Keys("alt+s Down Return Return");  // Setup, Parameter setup, Variable parameter
  const QRect first = e2e::PixelsOf(program.Screenshot(), kFocusCellYellow);
  ASSERT_FALSE(first.isEmpty()) << "the group's first cell is not shown";
  // The tree panel's empty part below its entries takes the focus.
  ClickAt(program, QPoint(20, program.WindowRect().height() - 160));
  // The names of the rows shown: the title column left of the values.
  const QRect names(first.left() - 260, first.top(), 250, program.WindowRect().height() - 120 - first.top());
  const QImage top = program.Screenshot().copy(names);
  WheelAt(program, first.center(), 5, 10);
  QImage scrolled;
  ASSERT_TRUE(WaitUntil([&] {
    scrolled = program.Screenshot();
    return scrolled.copy(names) != top;
  })) << "the wheel did not scroll the grid";
  const QPoint target = first.center() + QPoint(0, 5 * (first.height() + 1));
  ClickAt(program, target);
  const QImage after = program.Screenshot();
  EXPECT_TRUE(e2e::PixelsOf(after, kFocusCellYellow).contains(target)) << "the clicked cell is not the current one";
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
