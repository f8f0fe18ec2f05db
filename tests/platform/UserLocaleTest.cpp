#include "UserLocale.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(UserLocale, JapaneseOnlyForTheJaLanguage) {
  struct Case {
    const char* name;
    bool japanese;
  } cases[] = {
      {"ja_JP.UTF-8", true}, {"ja_JP.eucJP", true}, {"ja", true},    {"ja_JP", true},
      {"ja@euro", true},     {"en_US.UTF-8", false}, {"C", false},   {"POSIX", false},
      {"", false},           {"jav_ID", false},      {"de_DE", false}, {"C.UTF-8", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(kvl::IsJapaneseLocaleName(c.name), c.japanese);
  }
}

TEST(UserLocale, MessagesLocaleFollowsPrecedence) {
  struct Case {
    const char *lcAll, *lcMessages, *lang, *expected;
  } cases[] = {
      {"ja_JP.UTF-8", "en_US", "de_DE", "ja_JP.UTF-8"},
      {"", "en_US", "ja_JP", "en_US"},
      {nullptr, nullptr, "ja_JP", "ja_JP"},
      {nullptr, "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(kvl::MessagesLocaleName(c.lcAll, c.lcMessages, c.lang), c.expected);
  }
}

TEST(UserLocale, LanguageIdAndCodePageComeFromTheEnvironment) {
  struct Case {
    const char *lcAll, *lang;
    uint16_t langId;
    unsigned codePage;
  } cases[] = {
      {"", "ja_JP.UTF-8", 0x411, 932},
      {"en_GB.UTF-8", "ja_JP.UTF-8", 0x409, 437},
      {"ja_JP.UTF-8", "C", 0x411, 932},
      {"", "", 0x409, 437},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    setenv("LC_ALL", c.lcAll, 1);
    unsetenv("LC_MESSAGES");
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(kvl::UserDefaultLangId(), c.langId);
    EXPECT_EQ(kvl::OemCodePage(), c.codePage);
  }
}

}  // namespace
