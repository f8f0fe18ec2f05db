// The transfer windows under a real window manager: what the progress window
// tells the window manager about its border icons, and that closing it there
// cancels the transfer.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Desktop.h"

namespace {

using namespace std::chrono_literals;
using e2e::Program;

class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(e2e::Desktop::Instance().Start()) << "no X server with a window manager"; }
  void TearDown() override { e2e::Desktop::Instance().Stop(); }
};
[[maybe_unused]] ::testing::Environment* const desktop = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

// Polls the condition until it holds or the limit has passed.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

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
    // The window manager offers no maximising of the fixed-size window.
    const std::string actions = e2e::Shell("xprop -id " + window + " _NET_WM_ALLOWED_ACTIONS 2>/dev/null");
    EXPECT_EQ(actions.find("MAXIMIZE"), std::string::npos) << actions;

    // Closed by the window manager (its Alt+F4): Cancel.
    e2e::Shell("xdotool windowactivate --sync " + window + " 2>/dev/null");
    e2e::Shell("xdotool key --delay 60 alt+F4");
    EXPECT_TRUE(WaitUntil([&] { return WindowNamed(pid, c.caption).empty(); }, 30s));
    EXPECT_TRUE(WaitUntil([&] { return program.Output().find(c.stopped) != std::string::npos; }, 30s))
        << program.Output();
    EXPECT_TRUE(program.Alive());
  }
}

}  // namespace
