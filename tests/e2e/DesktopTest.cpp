// The test desktop itself: a display of its own for every run, only clients
// with the run's cookie let in, and a desktop started again in full.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "Desktop.h"

namespace {

// A desktop of a test's own. Starting it points this process's DISPLAY and
// XAUTHORITY at it; they are given back to the run's desktop at the end.
struct OwnDesktop {
  OwnDesktop()
      : Display(e2e::Desktop::Instance().DisplayName()), Authority(e2e::Desktop::Instance().AuthorityFile()) {}
  ~OwnDesktop() {
    Desktop.Stop();
    setenv("DISPLAY", Display.c_str(), 1);
    setenv("XAUTHORITY", Authority.c_str(), 1);
  }
  const std::string Display, Authority;
  e2e::Desktop Desktop;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Whether a client with the authorisation file (empty: none) may open the display.
bool Connects(const std::string& display, const std::string& authority) {
  int rc = -1;
  e2e::Shell("XAUTHORITY=" + Quoted(authority.empty() ? "/dev/null" : authority) + " xprop -display " +
                 Quoted(display) + " -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1",
             &rc);
  return rc == 0;
}

TEST(TestDesktop, LetsInOnlyClientsWithTheRunsCookie) {
  e2e::Desktop& desktop = e2e::Desktop::Instance();
  ASSERT_TRUE(desktop.Running()) << desktop.Log();
  EXPECT_TRUE(Connects(desktop.DisplayName(), desktop.AuthorityFile()));
  EXPECT_FALSE(Connects(desktop.DisplayName(), "")) << "a client without the cookie got in";
}

TEST(TestDesktop, ASecondRunGetsADisplayAndACookieOfItsOwn) {
  e2e::Desktop& first = e2e::Desktop::Instance();
  ASSERT_TRUE(first.Running()) << first.Log();
  const std::string display = first.DisplayName(), authority = first.AuthorityFile();
  {
    OwnDesktop own;
    e2e::Desktop& second = own.Desktop;
    const bool started = second.Start();
    const std::string secondDisplay = second.DisplayName(), secondAuthority = second.AuthorityFile();
    EXPECT_TRUE(started) << second.Log();
    if (started) {
      EXPECT_NE(secondDisplay, display);
      EXPECT_TRUE(Connects(secondDisplay, secondAuthority));
      EXPECT_FALSE(Connects(secondDisplay, authority)) << "the first run's cookie opens the second display";
      EXPECT_FALSE(Connects(display, secondAuthority)) << "the second run's cookie opens the first display";
    }
  }
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(Connects(display, authority));
}

// Started again while its server runs but its window manager has died, a
// desktop ends that server before it starts a new one, which it would lose.
TEST(TestDesktop, StartedAgainAfterItsWindowManagerDiedItEndsTheOldServer) {
  OwnDesktop own;
  e2e::Desktop& desktop = own.Desktop;
  ASSERT_TRUE(desktop.Start()) << desktop.Log();
  const pid_t oldServer = desktop.ServerPid();
  ASSERT_EQ(kill(desktop.WindowManagerPid(), SIGKILL), 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return !desktop.Running(); })) << "the window manager did not end";
  ASSERT_FALSE(e2e::ProcessEnded(oldServer)) << "the server ended with its window manager";
  EXPECT_TRUE(desktop.Start()) << desktop.Log();
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ProcessEnded(oldServer); })) << "the old server still runs";
  EXPECT_NE(desktop.ServerPid(), oldServer);
  EXPECT_TRUE(desktop.Running());
  EXPECT_TRUE(Connects(desktop.DisplayName(), desktop.AuthorityFile()));
  // A server the desktop lost is still this process's child.
  if (!e2e::ProcessEnded(oldServer)) {
    kill(oldServer, SIGKILL);
    waitpid(oldServer, nullptr, 0);
  }
}

}  // namespace
