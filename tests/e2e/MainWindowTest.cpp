// The real program on a real X server, driven by real key presses and clicks:
// what it stores (a saved data file read back), what it shows (caption,
// screenshots, the dialog lines it writes) and whether it lives or ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Desktop.h"
#include "UCore.h"

namespace {

using namespace std::chrono_literals;
using e2e::Join;
using e2e::kGroups;
using e2e::NewImage;
using e2e::Program;
using e2e::SaveAndReadBack;
using e2e::StartOn;

constexpr QRgb kFocusCellYellow = qRgb(255, 255, 0);

// The stored word of a program cell (pattern, item, segment).
int Cell(TCore& core, int pattern, int item, int segment) {
  const PatternSlot* slot = core.GetPatternValue(pattern, item, segment);
  return slot ? slot->Value : -99999;
}

// The word a text gives in a program cell.
int WordOf(int item, const char* text) {
  auto core = NewImage();
  EXPECT_TRUE(core->SetParamText(1, item, 1, 1, text)) << text;
  return Cell(*core, 1, item, 1);
}

// Pattern p with n used segments (SP1 and TIME set).
void FillPattern(TCore& core, int p, int n) {
  for (int s = 1; s <= n; ++s) {
    ASSERT_TRUE(core.SetParamText(1, 1, s, p, "100"));
    ASSERT_TRUE(core.SetParamText(1, 2, s, p, "1:00"));
  }
}

bool HasLine(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

std::string ActiveWindow() { return e2e::Shell("xdotool getactivewindow 2>/dev/null"); }

// Waits until the window manager has given the focus to a window other than
// the main window, as it does some time after a new window shows; that
// window, or "" when none got it in time.
std::string WaitForOtherActiveWindow(Program& program) {
  std::string active;
  if (!e2e::WaitUntil([&] { return !(active = ActiveWindow()).empty() && active != program.Window(); })) return "";
  return active;
}

class MainWindowTest : public ::testing::TestWithParam<Program::Language> {};

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowTest,
                         ::testing::Values(Program::Language::English, Program::Language::Japanese),
                         [](const auto& info) { return e2e::LanguageName(info.param); });

// The grid has the focus once the wizard has closed: values are typed at
// once, a time with the colon (Shift on a US keyboard), and Ctrl+S saves.
TEST_P(MainWindowTest, TypedValuesAreSaved) {
  Program program(GetParam());
  auto image = NewImage();
  const std::string path = StartOn(program, *image);
  EXPECT_NE(program.Caption().find("plant.q70) - KVL-Q70 - "), std::string::npos) << program.Caption();
  program.Type("100");
  program.Keys("Return Down");
  program.Type("1:30");
  program.Keys("Return");
  auto saved = SaveAndReadBack(program, path);
  EXPECT_EQ(Cell(*saved, 1, 1, 1), WordOf(1, "100"));
  EXPECT_EQ(Cell(*saved, 1, 2, 1), WordOf(2, "1:30"));
  EXPECT_TRUE(program.Alive());
  // Only the start-up wizard was shown.
  EXPECT_EQ(program.DialogLines().size(), 1u) << Join(program.DialogLines());
}

// Keys that make no text, pressed while a value is being typed: the program
// lives and the typed value is still stored afterwards.
TEST_P(MainWindowTest, KeysWithoutTextWhileEditingKeepTheProgramAndTheValue) {
  Program program(GetParam());
  auto image = NewImage();
  const std::string path = StartOn(program, *image);
  program.Type("4");
  // Alt alone puts the menu bar in keyboard mode, Esc leaves it again.
  const char* keys[] = {"shift", "ctrl", "alt Escape", "super", "F5", "Insert", "Pause", "Caps_Lock Caps_Lock",
                        "ctrl+shift"};
  // These keys show nothing to wait for: a key the program does not live
  // through shows here, or, as the keys are handled in order, at the latest
  // when the save below finds it gone.
  for (const char* key : keys) {
    SCOPED_TRACE(key);
    program.Keys(key);
    ASSERT_TRUE(program.Alive()) << "ended by signal " << program.Signal();
  }
  program.Type("5");
  program.Keys("Return");
  auto saved = SaveAndReadBack(program, path);
  EXPECT_EQ(Cell(*saved, 1, 1, 1), WordOf(1, "45"));
}

// End shows the last segment: its cell (the yellow current cell) is on the
// screen, at the right of the grid; Home brings the first back.
TEST_P(MainWindowTest, TheLastSegmentIsShown) {
  Program program(GetParam());
  auto image = NewImage();
  StartOn(program, *image);
  const QImage start = program.Screenshot();
  const QRect first = e2e::PixelsOf(start, kFocusCellYellow);
  ASSERT_FALSE(first.isEmpty()) << "the current cell is not shown at start";
  program.Keys("End");
  QImage shot;
  ASSERT_TRUE(program.WaitForScreen([&](const QImage& now) {
    shot = now;
    return now != start && !e2e::PixelsOf(now, kFocusCellYellow).isEmpty();
  })) << (shot == start ? "nothing scrolled" : "the current cell is off the screen after End");
  program.Keys("Home");
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) { return e2e::PixelsOf(now, kFocusCellYellow) == first; }))
      << "Home did not bring the first segment back";
}

// The data check lists a failure; Enter on its line puts the grid on the
// failing cell (program 3, segment 5, SP1), where the user types the mend.
TEST(MainWindowRoads, DataCheckJumpsToTheFailingCell) {
  Program program;
  auto image = NewImage();
  FillPattern(*image, 3, 5);
  image->PatternSlotPtr(3, 1, 5)->Value = 5000;
  const std::string path = StartOn(program, *image);
  const QImage start = program.Screenshot();
  program.Keys("ctrl+d");
  ASSERT_TRUE(e2e::WaitUntil([&] { return program.DialogLines().size() >= 2; })) << Join(program.DialogLines());
  ASSERT_TRUE(program.WaitForShownWindows(1)) << "the check's message stays";
  const std::vector<std::string> lines = program.DialogLines();
  ASSERT_EQ(lines.size(), 2u) << Join(lines);
  program.Keys("Home Return");
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) {
    return now != start && !e2e::PixelsOf(now, kFocusCellYellow).isEmpty();
  })) << "the jump's cell is not shown";
  program.Type("200");
  program.Keys("Return");
  auto saved = SaveAndReadBack(program, path);
  EXPECT_EQ(Cell(*saved, 3, 1, 5), WordOf(1, "200"));
}

// Edit, Insert Segment, New Segment on a full program: only the refusal.
TEST(MainWindowRoads, InsertOnAFullProgramIsRefusedWithoutAQuestion) {
  Program program;
  auto image = NewImage();
  FillPattern(*image, 1, 30);
  StartOn(program, *image);
  program.Keys("alt+e i n");
  ASSERT_TRUE(program.WaitForDialogLine("A segment cannot be inserted any more.")) << Join(program.DialogLines());
  ASSERT_TRUE(program.WaitForShownWindows(1)) << "the menus did not close";
  const std::vector<std::string> lines = program.DialogLines();
  ASSERT_EQ(lines.size(), 2u) << Join(lines);
  EXPECT_NE(lines[1].find("A segment cannot be inserted any more."), std::string::npos) << lines[1];
  EXPECT_TRUE(program.Alive());
}

// The value chooser: a click opens its list, Down and Enter choose the next
// value, which is stored.
TEST(MainWindowRoads, TheChooserStoresTheChosenValue) {
  Program program;
  auto image = NewImage();
  const std::string path = StartOn(program, *image);
  ASSERT_EQ(image->GetParam(3, 1, 1, 0)->Value, 0);
  const QImage start = program.Screenshot();
  const QRect chooser = e2e::kChooserArea;
  program.Keys("alt+s Down Return Return");  // Setup, Parameter setup, Variable parameter
  ASSERT_TRUE(program.WaitForSteadyScreen([&](const QImage& now) { return now.copy(chooser) != start.copy(chooser); }))
      << "the menus did not close on the chooser";
  program.ClickAt(chooser.center());
  ASSERT_TRUE(program.WaitForShownWindows(2)) << "the chooser's list did not open";
  program.Keys("Down Return");
  ASSERT_TRUE(program.WaitForShownWindows(1)) << "the chooser's list did not close";
  auto saved = SaveAndReadBack(program, path);
  EXPECT_EQ(saved->GetParam(3, 1, 1, 0)->Value, 1);
}

// Quit answered OK ends the process although the protocol test window is
// open; the next start is not refused.
TEST(MainWindowRoads, QuitEndsTheProgramWithAServiceWindowOpen) {
  Program program;
  ASSERT_TRUE(program.Start({"/C"})) << program.Output();
  program.Keys("alt+c Up Return");  // Communication, Communication Test
  ASSERT_TRUE(program.WaitForShownWindows(2)) << "the protocol test window did not open";
  // Ctrl+Q is for the main window, activated once the new window has taken
  // the focus, which it would otherwise take from under the key.
  ASSERT_NE(WaitForOtherActiveWindow(program), "") << "the protocol test window did not get the focus";
  e2e::Shell("xdotool windowactivate --sync " + program.Window() + " 2>/dev/null");
  program.Keys("ctrl+q");
  EXPECT_EQ(program.WaitForEnd(10000ms), 0) << "still running after Quit";
  EXPECT_TRUE(HasLine(program.DialogLines(), "| Quit |")) << Join(program.DialogLines());
  Program next;
  EXPECT_TRUE(next.Start()) << next.Output();
}

// The protocol test window's "拡張", reached with Tab and pressed with Space,
// shows the control panel; Enter there applies its widths, so a name column
// narrowed on the command line is back at 400 and the current cell is further
// right.
TEST(MainWindowRoads, TheExtensionButtonShowsTheControlPanel) {
  Program program;
  ASSERT_TRUE(program.Start({"/C", "/N200"})) << program.Output();
  const QRect before = e2e::PixelsOf(program.Screenshot(), kFocusCellYellow);
  ASSERT_FALSE(before.isEmpty()) << "the current cell is not shown at start";
  program.Keys("alt+c Up Return");  // Communication, Communication Test
  ASSERT_TRUE(program.WaitForShownWindows(2)) << "the protocol test window did not open";
  // The keys are for the new window: sent once it has the focus.
  const std::string tester = WaitForOtherActiveWindow(program);
  ASSERT_NE(tester, "") << "the protocol test window did not get the focus";
  // Ten Tabs from the window's first control reach "拡張".
  program.Keys("Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space");
  EXPECT_TRUE(program.WaitForDialogLine("form: Control Panel -> 1")) << Join(program.DialogLines());
  ASSERT_TRUE(program.WaitForShownWindows(2)) << "the control panel did not close";
  ASSERT_TRUE(e2e::WaitUntil([&] { return ActiveWindow() == tester; })) << "the protocol test window lost the focus";
  program.Keys("Escape");  // closes the protocol test window
  ASSERT_TRUE(program.WaitForShownWindows(1)) << "the protocol test window did not close";
  e2e::Shell("xdotool search --onlyvisible --name 'KVL-Q70 - ' windowactivate --sync 2>/dev/null");
  QRect after;
  EXPECT_TRUE(program.WaitForScreen([&](const QImage& now) {
    after = e2e::PixelsOf(now, kFocusCellYellow);
    return after.left() - before.left() == 200;
  })) << after.left() - before.left();
  EXPECT_TRUE(program.Alive());
}

// A width switch that is no number: the class library's conversion error in
// the user's language, and the start goes on.
TEST(MainWindowRoads, AWidthSwitchThatIsNoNumberIsReportedAndTheStartGoesOn) {
  Program program(Program::Language::Japanese);
  ASSERT_TRUE(program.Start({"/M6x"})) << program.Output();
  EXPECT_TRUE(HasLine(program.DialogLines(), "'6x' は整数ではありません")) << Join(program.DialogLines());
  EXPECT_TRUE(program.Alive());
}

// A second start is refused while one runs, whatever its environment says.
TEST(MainWindowRoads, ASecondInstanceIsRefusedWhateverItsEnvironment) {
  Program first;
  ASSERT_TRUE(first.Start()) << first.Output();
  const std::map<std::string, std::string> environments[] = {
      {},
      {{"XDG_RUNTIME_DIR", first.Folder()}},
      {{"XDG_RUNTIME_DIR", ""}, {"TMPDIR", first.Folder()}},
  };
  for (const auto& env : environments) {
    e2e::Process second;
    std::map<std::string, std::string> all = {{"KVLQ70_DIALOG_ANSWER", "enter"}, {"LC_ALL", "C.UTF-8"},
                                              {"HOME", first.Folder()}};
    for (const auto& [name, value] : env) all[name] = value;
    ASSERT_TRUE(second.Start(KVLQ70_PROGRAM, {}, all, first.PathIn("second.txt")));
    EXPECT_EQ(second.Wait(20000ms), 0);
    EXPECT_NE(second.Output().find("Can't start up two or more KVL-Q70s at once"), std::string::npos)
        << second.Output();
    EXPECT_TRUE(first.Alive());
  }
}

}  // namespace
