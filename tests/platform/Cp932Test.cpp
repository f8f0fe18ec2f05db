#include "Cp932.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* utf8;
  const char* cp932;
  int width;
};

TEST(Cp932, ConvertsTheHardCharactersAndCountsBytes) {
  const Case cases[] = {
      {"", "", 0},
      {"AB 1:", "AB 1:", 5},
      {"～", "\x81\x60", 2},          // wave dash of the range texts
      {"Ⅱ", "\x87\x55", 2},          // NEC special character
      {"ｷｰﾛｯｸ", "\xB7\xB0\xDB\xAF\xB8", 5},  // half-width katakana: one byte each
      {"時間", "\x8E\x9E\x8A\xD4", 4},
      {"ｲﾍﾞﾝﾄ1 ON時間", "\xB2\xCD\xDE\xDD\xC4" "1 ON\x8E\x9E\x8A\xD4", 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(kvl::ToCp932(c.utf8), c.cp932);
    EXPECT_EQ(kvl::FromCp932(c.cp932), c.utf8);
    EXPECT_EQ(kvl::Cp932Width(c.utf8), c.width);
    EXPECT_EQ(kvl::ToCp932Exact(c.utf8), std::optional<std::string>(c.cp932));
  }
}

TEST(Cp932, ReplacesWhatItCannotConvert) {
  EXPECT_EQ(kvl::ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // emoji has no CP932 code
  EXPECT_EQ(kvl::FromCp932("a\x81"), "a\xEF\xBF\xBD");      // truncated double-byte
}

// The exact conversion refuses a text with any character CP932 cannot hold,
// where the replacing one would give a "?" that looks like a typed one.
TEST(Cp932, ExactConversionRefusesWhatItCannotHold) {
  const struct {
    const char* utf8;
    bool held;
  } cases[] = {
      {"?A", true},
      {"\xC3\xA9" "A", false},            // é
      {"A\xC3\x89", false},               // É
      {"a\xF0\x9F\x98\x80" "b", false},  // emoji
      {"A\xFF", false},                    // no UTF-8
      {"ｱ時", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(kvl::ToCp932Exact(c.utf8).has_value(), c.held);
  }
}

}  // namespace
