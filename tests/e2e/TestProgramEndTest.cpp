// Nothing the end-to-end tests start outlives their test program, however it
// is ended (killed at a time limit, with its CI job or its terminal): not the
// X server, the window manager, the simulated controller, nor the program,
// which would keep the user's instance lock and refuse every later start.
// The test runs this test program again as a child, on a helper test that
// starts all of them, writes their ids and waits; it then kills the child.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Desktop.h"

namespace {

using namespace std::chrono_literals;
using e2e::Program;

// Names the file the helper writes its children's ids to; only a child run
// of this test program has it.
constexpr char kIdsVariable[] = "KVLQ70_E2E_CHILD_IDS";

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Starts the desktop (started by the environment), the program and the
// simulated controller, writes a line "<pid> <name>" for each and a line
// "folder <path>" for each folder left behind when the run is killed, then
// waits to be killed with the test program that started it.
class ChildrenHelper : public ::testing::Test {
 public:
  void TestBody() override {
    const std::string idsPath = std::getenv(kIdsVariable);
    const pid_t parent = getppid();
    e2e::Desktop& desktop = e2e::Desktop::Instance();
    ASSERT_TRUE(desktop.Running()) << desktop.Log();
    Program program;
    ASSERT_TRUE(program.Start()) << program.Output();
    e2e::Process simulator;
    ASSERT_TRUE(simulator.Start(KVLQ70_SIMULATOR, {"--quiet"}, {}, program.PathIn("sim.txt")));
    // Its first line, the pseudo-terminal's path, once it is ready.
    ASSERT_TRUE(e2e::WaitUntil([&] { return simulator.Output().find('\n') != std::string::npos; }))
        << simulator.Output();
    {
      std::ofstream ids(idsPath + ".new");
      ids << desktop.ServerPid() << " Xvfb\n"
          << desktop.WindowManagerPid() << " openbox\n"
          << program.Pid() << " kvlq70\n"
          << simulator.Pid() << " kvlq70-sim\n"
          << "folder " << Folder(desktop.AuthorityFile()) << "\n"
          << "folder " << program.Folder() << "\n";
      ASSERT_TRUE(ids.good());
    }
    ASSERT_EQ(std::rename((idsPath + ".new").c_str(), idsPath.c_str()), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return getppid() != parent; }, 120s));
    ADD_FAILURE() << "not killed by the test that started it";
  }
};

// Registered only in the child run, so that a normal run neither lists nor
// skips it.
[[maybe_unused]] const bool helperRegistered = [] {
  if (!std::getenv(kIdsVariable)) return false;
  ::testing::RegisterTest("ChildrenHelper", "StartsThemAndWaits", nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test* { return new ChildrenHelper; });
  return true;
}();

struct Child {
  pid_t Pid;
  std::string Name;
};

// The process's name as the kernel has it ("" when it has none).
std::string NameOf(pid_t pid) {
  std::string name = e2e::ReadFile("/proc/" + std::to_string(pid) + "/comm");
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

TEST(TestProgramEnd, NothingItStartedOutlivesIt) {
  const struct {
    int signal;
    const char* name;
  } cases[] = {{SIGKILL, "SIGKILL"}, {SIGTERM, "SIGTERM"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // The child's program takes the lock.
    ASSERT_FALSE(e2e::InstanceLockHeld()) << "an instance of the program is running for this user";
    char pattern[] = "/tmp/kvlq70-end-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, idsPath = dir + "/ids";
    e2e::Process run;
    ASSERT_TRUE(run.Start("/proc/self/exe", {"--gtest_filter=ChildrenHelper.*"}, {{kIdsVariable, idsPath}},
                          dir + "/run.txt"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::ReadFile(idsPath).empty() || !run.Running(); }, 90s))
        << "the child run wrote no ids in time:\n"
        << run.Output();
    ASSERT_TRUE(run.Running()) << "the child run ended:\n" << run.Output();

    std::vector<Child> children;
    std::vector<std::string> folders;
    std::istringstream lines(e2e::ReadFile(idsPath));
    std::string first, second;
    while (lines >> first >> second) {
      if (first == "folder")
        folders.push_back(second);
      else
        children.push_back({static_cast<pid_t>(std::atoi(first.c_str())), second});
    }
    ASSERT_EQ(children.size(), 4u) << e2e::ReadFile(idsPath);
    for (const Child& child : children) EXPECT_EQ(NameOf(child.Pid), child.Name) << child.Pid;

    // Only the test program is killed, as a time limit or a closed terminal
    // would: its children are in process groups of their own.
    ASSERT_EQ(kill(run.Pid(), c.signal), 0);
    EXPECT_EQ(run.Wait(30s), -1);
    EXPECT_EQ(run.Signal(), c.signal) << run.Output();
    const auto running = [&] {
      std::string names;
      for (const Child& child : children)
        if (!e2e::ProcessEnded(child.Pid)) names += " " + child.Name + " (" + std::to_string(child.Pid) + ")";
      return names;
    };
    EXPECT_TRUE(e2e::WaitUntil([&] { return running().empty(); }, 30s)) << "still running:" << running();
    EXPECT_FALSE(e2e::InstanceLockHeld()) << "the instance lock is still held";

    // What outlived the run is ended here, so that later tests can start.
    for (const Child& child : children)
      if (!e2e::ProcessEnded(child.Pid) && NameOf(child.Pid) == child.Name) kill(child.Pid, SIGTERM);
    e2e::WaitUntil([&] { return running().empty(); }, 20s);
    for (const Child& child : children)
      if (!e2e::ProcessEnded(child.Pid) && NameOf(child.Pid) == child.Name) kill(child.Pid, SIGKILL);
    e2e::WaitUntil([&] { return running().empty() && !e2e::InstanceLockHeld(); }, 20s);
    for (const std::string& folder : folders)
      if (folder.rfind("/tmp/kvlq70-", 0) == 0) e2e::Shell("rm -rf '" + folder + "'");
    e2e::Shell("rm -rf '" + dir + "'");
  }
}

}  // namespace
