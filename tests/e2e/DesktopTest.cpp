// The test desktop itself: a display of its own for every run, and only
// clients with the run's cookie let in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Desktop.h"

namespace {

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
  // Starting a desktop points this process's DISPLAY and XAUTHORITY at it.
  const std::string display = first.DisplayName(), authority = first.AuthorityFile();
  {
    e2e::Desktop second;
    const bool started = second.Start();
    const std::string secondDisplay = second.DisplayName(), secondAuthority = second.AuthorityFile();
    EXPECT_TRUE(started) << second.Log();
    if (started) {
      EXPECT_NE(secondDisplay, display);
      EXPECT_TRUE(Connects(secondDisplay, secondAuthority));
      EXPECT_FALSE(Connects(secondDisplay, authority)) << "the first run's cookie opens the second display";
      EXPECT_FALSE(Connects(display, secondAuthority)) << "the second run's cookie opens the first display";
    }
    second.Stop();
  }
  setenv("DISPLAY", display.c_str(), 1);
  setenv("XAUTHORITY", authority.c_str(), 1);
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(Connects(display, authority));
}

}  // namespace
