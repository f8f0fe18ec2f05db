// The transfer and service windows under a real window manager: what the
// progress window tells the window manager about its border icons, that
// closing it there cancels the transfer, and that dialogs opened while the
// exerciser's counter window shows come up above that window.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "Desktop.h"

namespace {

using namespace std::chrono_literals;
using e2e::Program;
using e2e::WaitUntil;

// The simulated controller, answering slowly so that a transfer lasts.
class SlowController {
 public:
  SlowController() {
    char pattern[] = "/tmp/kvlq70-sim-XXXXXX";
    if (mkdtemp(pattern)) Dir = pattern;
  }
  ~SlowController() {
    Proc.Kill();
    if (!Dir.empty()) e2e::Shell("rm -rf '" + Dir + "'");
  }
  // Starts it; the pseudo-terminal the loader is to open.
  std::string Start() {
    if (!Proc.Start(KVLQ70_SIMULATOR, {"--latency", "300", "--quiet"}, {}, Dir + "/sim.txt")) return "";
    std::string path;
    WaitUntil(
        [&] {
          const std::string text = Proc.Output();
          const size_t end = text.find('\n');
          if (end == std::string::npos) return !Proc.Running();
          path = text.substr(0, end);
          return true;
        },
        20s);
    return path;
  }

 private:
  std::string Dir;
  e2e::Process Proc;
};

// The visible window of the process whose name matches the pattern ("" when none).
std::string WindowNamed(pid_t pid, const std::string& pattern) {
  return e2e::Shell("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name '" + pattern +
                    "' 2>/dev/null | head -n 1");
}

// The words of the window's Motif hints: flags, functions, decorations.
std::vector<unsigned long> MotifHints(const std::string& window) {
  const std::string text = e2e::Shell("xprop -id " + window + " _MOTIF_WM_HINTS 2>/dev/null");
  std::vector<unsigned long> words;
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return words;
  std::istringstream in(text.substr(eq + 1));
  std::string word;
  while (std::getline(in, word, ',')) words.push_back(std::strtoul(word.c_str(), nullptr, 0));
  return words;
}

constexpr unsigned long kMwmFunctionsFlag = 1 << 0;
constexpr unsigned long kMwmDecorationsFlag = 1 << 1;
constexpr unsigned long kMwmFuncAll = 1 << 0;
constexpr unsigned long kMwmFuncMinimize = 1 << 3;
constexpr unsigned long kMwmFuncMaximize = 1 << 4;
constexpr unsigned long kMwmFuncClose = 1 << 5;
constexpr unsigned long kMwmDecorAll = 1 << 0;
constexpr unsigned long kMwmDecorMinimize = 1 << 5;
constexpr unsigned long kMwmDecorMaximize = 1 << 6;

// Whether the window manager lets the window be maximised.
bool CanBeMaximised(const std::string& window) {
  const std::string actions = e2e::Shell("xprop -id " + window + " _NET_WM_ALLOWED_ACTIONS 2>/dev/null");
  return actions.find("MAXIMIZE") != std::string::npos || actions.find("_NET_WM_ACTION") == std::string::npos;
}

// The windows the window manager manages, from the bottom of the stack up.
std::vector<unsigned long> StackingOrder() {
  const std::string text = e2e::Shell("xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null");
  std::vector<unsigned long> windows;
  const size_t hash = text.find('#');
  if (hash == std::string::npos) return windows;
  std::istringstream in(text.substr(hash + 1));
  std::string word;
  while (std::getline(in, word, ',')) windows.push_back(std::strtoul(word.c_str(), nullptr, 0));
  return windows;
}

// Whether the window manager stacks window `upper` above window `lower`.
bool StackedAbove(const std::string& upper, const std::string& lower) {
  const std::vector<unsigned long> order = StackingOrder();
  const auto top = std::find(order.begin(), order.end(), std::strtoul(upper.c_str(), nullptr, 10));
  const auto bottom = std::find(order.begin(), order.end(), std::strtoul(lower.c_str(), nullptr, 10));
  return top != order.end() && bottom != order.end() && top > bottom;
}

TEST(ProgressWindow, OffersNoMinimiseOrMaximiseAndClosingItCancels) {
  const struct {
    Program::Language language;
    const char* caption;  // a part of the read's caption
    const char* stopped;  // the result message of a cancelled job
  } cases[] = {
      {Program::Language::English, "\\(MXQ", "Stop communications"},
      {Program::Language::Japanese, "\\(MXQ", "中断終了しました"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    SlowController controller;
    const std::string port = controller.Start();
    ASSERT_FALSE(port.empty()) << "no simulated controller";
    Program program(c.language);
    ASSERT_TRUE(program.Start({}, {{"KVLQ70_COM1", port}})) << program.Output();
    const pid_t pid = [&] {
      // The program's process: the one whose window is the main window.
      const std::string id = e2e::Shell("xdotool search --onlyvisible --name 'KVL-Q70' getwindowpid 2>/dev/null | head -n 1");
      return static_cast<pid_t>(std::atoi(id.c_str()));
    }();
    ASSERT_GT(pid, 0);

    // Read: the range and confirmation dialogs are answered, the progress
    // window shows while the slow controller answers.
    program.Keys("ctrl+r");
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = WindowNamed(pid, c.caption)).empty(); }, 30s))
        << program.Output();

    const std::vector<unsigned long> hints = MotifHints(window);
    ASSERT_GE(hints.size(), 3u) << "no Motif hints";
    ASSERT_TRUE(hints[0] & kMwmFunctionsFlag) << "the functions are left to the window manager";
    EXPECT_FALSE(hints[1] & kMwmFuncAll);
    EXPECT_FALSE(hints[1] & kMwmFuncMinimize);
    EXPECT_FALSE(hints[1] & kMwmFuncMaximize);
    EXPECT_TRUE(hints[1] & kMwmFuncClose);
    ASSERT_TRUE(hints[0] & kMwmDecorationsFlag);
    EXPECT_FALSE(hints[2] & kMwmDecorAll);
    EXPECT_FALSE(hints[2] & kMwmDecorMinimize);
    EXPECT_FALSE(hints[2] & kMwmDecorMaximize);
    EXPECT_FALSE(CanBeMaximised(window));

    // Closed by the window manager (its Alt+F4): Cancel.
    e2e::Shell("xdotool windowactivate --sync " + window + " 2>/dev/null");
    e2e::Shell("xdotool key --delay 60 alt+F4");
    EXPECT_TRUE(WaitUntil([&] { return WindowNamed(pid, c.caption).empty(); }, 30s));
    EXPECT_TRUE(WaitUntil([&] { return program.Output().find(c.stopped) != std::string::npos; }, 30s))
        << program.Output();
    EXPECT_TRUE(program.Alive());
  }
}

// With the exerciser running, a Read from the main window cannot open the
// port: that message, and the Read's dialogs before it, come up above the
// counter window, which stays on top of the main window.
TEST(CounterWindow, DialogsOpenedWhileItShowsComeUpAboveIt) {
  SlowController controller;
  const std::string port = controller.Start();
  ASSERT_FALSE(port.empty()) << "no simulated controller";
  Program program;
  ASSERT_TRUE(program.Start({"/C"}, {{"KVLQ70_COM1", port}, {"KVLQ70_DIALOG_ANSWER", ""}})) << program.Output();
  const std::string main = e2e::Shell("xdotool search --onlyvisible --name 'KVL-Q70 - ' 2>/dev/null | head -n 1");
  const pid_t pid = static_cast<pid_t>(std::atoi(e2e::Shell("xdotool getwindowpid " + main + " 2>/dev/null").c_str()));
  ASSERT_GT(pid, 0);
  const auto shown = [&](const char* pattern) {
    std::string window;
    WaitUntil([&] { return !(window = WindowNamed(pid, pattern)).empty(); }, 30s);
    return window;
  };

  // The protocol test window's "連続開始" (on the design's grid, right of the
  // speeds), its question answered OK.
  program.Keys("alt+c Up Return");  // Communication, Communication Test
  const std::string test = shown("^Communication TEST");
  ASSERT_FALSE(test.empty()) << "the protocol test window did not open";
  e2e::Shell("xdotool mousemove --window " + test + " 712 150 click 1");
  const std::string question = shown("^確認$");
  ASSERT_FALSE(question.empty()) << "no question before the exerciser starts";
  // Enter is for the question, which may not have the focus yet as it opens.
  e2e::Shell("xdotool windowactivate --sync " + question + " 2>/dev/null");
  program.Keys("Return");
  const std::string counter = shown("^連続通信$");
  ASSERT_FALSE(counter.empty()) << "the counter window did not show";

  e2e::Shell("xdotool windowactivate --sync " + main + " 2>/dev/null");
  EXPECT_TRUE(WaitUntil([&] { return StackedAbove(counter, main); }, 30s)) << "the main window covers the counter";
  program.Keys("ctrl+r");
  const struct {
    const char* pattern;  // the dialog's caption
    const char* role;
  } dialogs[] = {
      {"^Communication$", "the range dialog"},
      {"^Confirm$", "the confirmation"},
      {"^Error$", "\"Can't open comm port\""},
  };
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.role);
    const std::string dialog = shown(d.pattern);
    ASSERT_FALSE(dialog.empty()) << "not shown";
    EXPECT_TRUE(WaitUntil([&] { return StackedAbove(dialog, counter); }, 30s)) << "under the counter window";
    EXPECT_FALSE(CanBeMaximised(dialog));
    e2e::Shell("xdotool windowactivate --sync " + dialog + " 2>/dev/null");
    program.Keys("Return");  // the next dialog, or the end of the Read
  }
  EXPECT_TRUE(WaitUntil([&] { return WindowNamed(pid, "^Error$").empty(); }, 30s)) << "the message stays";
  EXPECT_TRUE(program.Alive());
}

}  // namespace
