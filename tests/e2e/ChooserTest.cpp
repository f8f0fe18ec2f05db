// The value chooser on a real X server, driven by the pointer and the
// keyboard: a wheel turned over it while the grid has the focus changes no
// setting, and its list drops down with at most 30 lines.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <sstream>
#include <string>

#include "Desktop.h"
#include "UCore.h"

namespace {

using e2e::NewImage;
using e2e::Program;
using e2e::SaveAndReadBack;
using e2e::StartOn;

constexpr QRgb kFocusCellYellow = qRgb(255, 255, 0);
const QPoint kChooser = e2e::kChooserArea.center();

// The one window the program shows besides its main window (a list that
// dropped down): its X window id, or empty.
std::string PopupWindow(Program& program, const std::string& mainWindow) {
  std::istringstream ids(
      e2e::Shell("xdotool search --onlyvisible --pid " + std::to_string(program.Pid()) + " 2>/dev/null"));
  std::string id;
  while (std::getline(ids, id))
    if (id != mainWindow) return id;
  return "";
}

// The height of the band marking the current entry of a list (the
// selection colour: blue, with little red) at its left edge; 0 when none.
int HighlightHeight(const QImage& list) {
  int rows = 0;
  for (int y = 0; y < list.height(); ++y) {
    const QColor c = list.pixelColor(4, y);
    if (c.blue() > 150 && c.blue() - c.red() > 80) ++rows;
  }
  return rows;
}

class ChooserTest : public ::testing::TestWithParam<Program::Language> {};

INSTANTIATE_TEST_SUITE_P(Languages, ChooserTest,
                         ::testing::Values(Program::Language::English, Program::Language::Japanese),
                         [](const auto& info) { return e2e::LanguageName(info.param); });

// A click in the grid and wheel notches over the chooser: the saved file
// holds every setting as it was. Then the list of all parameters (C55),
// opened with a click, shows 30 lines, and Esc closes it.
TEST_P(ChooserTest, AStrayWheelChangesNothingAndTheListShowsThirtyLines) {
  Program program(GetParam());
  auto image = NewImage();
  // C01 holds its first entry, so that a notch down would choose another.
  image->GetParam(8, 1, 1, 0)->Value = 0;
  // C55 holds an entry of its list (P, proportional band), which the list marks.
  image->GetParam(8, 55, 1, 0)->Value = 1011;
  const std::string path = StartOn(program, *image);
  const std::string& mainWindow = program.Window();
  const QImage start = program.Screenshot();
  // Setup, Parameter setup, Setup data.
  program.Keys("alt+s Down Return Down Down Down Return");
  QRect first;
  ASSERT_TRUE(program.WaitForSteadyScreen([&](const QImage& now) {
    first = e2e::PixelsOf(now, kFocusCellYellow);
    return now != start && !first.isEmpty();
  })) << "the group's first cell is not shown";

  // C01 chooses from a list, shown in the chooser; the grid has the focus
  // after the click.
  ASSERT_NE(start.copy(e2e::kChooserArea), program.Screenshot().copy(e2e::kChooserArea)) << "no chooser for C01";
  program.ClickAt(first.center());
  const QImage clicked = program.Screenshot();
  program.Wheel(kChooser, 5, 3);
  {
    auto saved = SaveAndReadBack(program, path);
    for (int r = 0; r < kSetupParamCount; ++r)
      EXPECT_EQ(saved->SetupRecord(r)->Value, image->SetupRecord(r)->Value)
          << "address " << image->SetupRecord(r)->Address << " changed under the wheel";
  }

  // The parameter list of C55, 54 rows down.
  std::string downs;
  for (int i = 0; i < 54; ++i) downs += " Down";
  program.Keys(downs);
  ASSERT_TRUE(program.WaitForScreen([&](const QImage& now) { return now.copy(first) != clicked.copy(first); }))
      << "the current cell did not move";
  program.ClickAt(kChooser);
  ASSERT_TRUE(program.WaitForShownWindows(2)) << "the list did not open";
  // Its lines are as high as the band marking the current entry.
  int listHeight = 0, lineHeight = 0;
  const std::string shot = program.PathIn("list.png");
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const std::string popup = PopupWindow(program, mainWindow);
    if (popup.empty()) return false;
    e2e::Shell("import -window " + popup + " " + shot + " 2>/dev/null");
    const QImage list(QString::fromStdString(shot));
    listHeight = list.height();
    lineHeight = HighlightHeight(list);
    return lineHeight > 0;
  })) << "no entry is marked in the list";
  if (lineHeight > 0) {
    const double lines = static_cast<double>(listHeight) / lineHeight;
    EXPECT_GE(lines, 29.5) << listHeight << " px in lines of " << lineHeight << " px";
    EXPECT_LT(lines, 31.0) << listHeight << " px in lines of " << lineHeight << " px";
  }
  program.Keys("Escape");
  EXPECT_TRUE(program.WaitForShownWindows(1)) << "Esc did not close the list";
  EXPECT_TRUE(program.Alive());
}

}  // namespace
