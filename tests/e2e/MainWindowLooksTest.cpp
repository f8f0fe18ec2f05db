// The real program's keyboard round through the main window: Tab from the
// grid reaches only the controls that show their focus, and comes back to
// the grid.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Desktop.h"
#include "UCore.h"

namespace {

using namespace std::chrono_literals;
using e2e::Join;
using e2e::kGroups;
using e2e::Program;

// At start the grid has the focus. Tab takes it away, and Space then runs no
// command (the tool buttons never take the focus). Every Tab shows where the
// focus went (the control's colour and the status text below the tree), and
// after the tree, the error list, the program selector and the tag field the
// fifth Tab is back on the grid, where a typed value is stored.
TEST(MainWindowLooks, TabGoesRoundTheMarkedControlsAndSpaceRunsNoCommand) {
  Program program;
  auto image = e2e::NewImage();
  const std::string path = e2e::StartOn(program, *image);
  ASSERT_FALSE(HasFailure());

  // Each Tab's screen is taken once it has stopped changing, so that the
  // next Tab is not seen in the end of this one's repaint.
  QImage previous = program.Screenshot();
  for (int tab = 1; tab <= 5; ++tab) {
    SCOPED_TRACE(tab);
    // Space after the first Tab, and then the second: the program has
    // handled the Space once it shows the Tab after it.
    program.Keys(tab == 2 ? "space Tab" : "Tab");
    QImage shot;
    EXPECT_TRUE(program.WaitForSteadyScreen([&](const QImage& now) {
      shot = now;
      return now != previous;
    })) << "Tab moved the focus to a control that does not show it";
    previous = shot;
    if (tab == 2) {
      EXPECT_EQ(program.DialogLines().size(), 1u) << "Space after Tab ran a command:\n" << Join(program.DialogLines());
    }
  }
  program.Type("100");
  program.Keys("Return");
  const std::string before = e2e::ReadFile(path);
  program.Keys("ctrl+s");
  ASSERT_TRUE(e2e::WaitForFileChange(path, before, 20000ms)) << "the grid did not have the focus after five Tabs";
  TCore saved(1);
  ASSERT_EQ(saved.LoadFile(path), 0);
  TCore expected(1);
  expected.Model.ApplyModelDefaults();
  expected.SetDefaults(kGroups, true);
  ASSERT_TRUE(expected.SetParamText(1, 1, 1, 1, "100"));
  ASSERT_NE(saved.GetPatternValue(1, 1, 1), nullptr);
  EXPECT_EQ(saved.GetPatternValue(1, 1, 1)->Value, expected.GetPatternValue(1, 1, 1)->Value);
  EXPECT_EQ(program.DialogLines().size(), 1u) << Join(program.DialogLines());
  EXPECT_TRUE(program.Alive());
}

}  // namespace
