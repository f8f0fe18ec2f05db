#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "UCore.h"

namespace {

class AccessorTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);
};

TEST_F(AccessorTest, PatternCellsExistExactlyForValidIdentities) {
  struct Case {
    int pattern, item, segment;
    bool exists;
  } cases[] = {
      {1, 1, 1, true},    {19, 23, 30, true}, {1, 24, 9, true},   {19, 26, 0, true},
      {0, 1, 1, false},   {1, 0, 1, false},   {1, 1, 0, false},   {1, 27, 1, false},
      {20, 1, 1, false},  {1, 1, 31, false},  {-1, 1, 1, false},  {1, -1, 1, false},
      {1, 1, -1, false},  {1, 24, 31, false}, {1, 24, -1, false}, {0, 24, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << "/" << c.item << "/" << c.segment);
    EXPECT_EQ(core->GetPatternValue(c.pattern, c.item, c.segment) != nullptr, c.exists);
  }
  // The per-pattern items ignore the segment; distinct cells stay distinct.
  EXPECT_EQ(core->GetPatternValue(1, 24, 9), core->GetPatternValue(1, 24, 1));
  EXPECT_NE(core->GetPatternValue(1, 24, 1), core->GetPatternValue(2, 24, 1));
  EXPECT_NE(core->GetPatternValue(1, 1, 1), core->GetPatternValue(1, 1, 2));
}

TEST_F(AccessorTest, CellsStartEmptyExceptPidSetsAndPatternItems) {
  for (int p = 1; p <= 19; ++p)
    for (int i = 1; i <= 26; ++i)
      for (int s = 1; s <= 30; ++s) {
        const int16_t expected = (i == 20 || i == 21 || i >= 24) ? 0 : 32767;
        ASSERT_EQ(core->GetPatternValue(p, i, s)->Value, expected) << p << "/" << i << "/" << s;
      }
}

TEST_F(AccessorTest, SaveAndRestoreSlot) {
  PatternSlot* cell = core->GetPatternValue(2, 3, 4);
  cell->Value = 55;
  core->SaveSlot(2, 3, 4);
  cell->Value = 77;
  core->RestoreSlot(2, 3, 4);
  EXPECT_EQ(cell->Value, 55);
  core->SaveSlot(0, 3, 4);  // no such cell: nothing happens
  core->RestoreSlot(2, 3, 31);
}

TEST_F(AccessorTest, TagsArePaddedAndCut) {
  char out[9];
  EXPECT_FALSE(core->GetTag(0, out));
  EXPECT_FALSE(core->GetTag(20, out));
  ASSERT_TRUE(core->GetTag(19, out));
  EXPECT_STREQ(out, "PROG19  ");

  struct Case {
    const char* in;  // at most 8 characters before its NUL are read
    const char* stored;
  } cases[] = {
      {"AB", "AB      "},
      {"ABCDEFGH", "ABCDEFGH"},
      {"ABCDEFGHIJ", "ABCDEFGH"},
      {"", "        "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    char buf[16] = {};
    std::strncpy(buf, c.in, sizeof buf - 1);
    ASSERT_TRUE(core->SetTag(3, buf));
    ASSERT_TRUE(core->GetTag(3, out));
    EXPECT_STREQ(out, c.stored);
    if (std::strlen(c.in) < 8) {
      EXPECT_STREQ(buf, c.stored);  // the caller's text is padded too
    }
  }
  char buf[9] = "XY";
  EXPECT_FALSE(core->SetTag(0, buf));
  EXPECT_FALSE(core->SetTag(20, buf));
}

TEST_F(AccessorTest, CopyTag8CopiesPastANulAndBlanksFromTheFirstNul) {
  const char source[8] = {'A', '\0', 'C', 'D', 'E', 'F', 'G', 'H'};
  char dest[9];
  std::memset(dest, 'x', sizeof dest);
  TCore::CopyTag8(dest, source);
  EXPECT_STREQ(dest, "A       ");
}

TEST_F(AccessorTest, DefaultPatternNames) {
  char out[9];
  int16_t number = 0;
  ASSERT_TRUE(core->GetDefaultPatternName(0, out, &number));
  EXPECT_STREQ(out, "PROG01  ");
  EXPECT_EQ(number, 1);
  ASSERT_TRUE(core->GetDefaultPatternName(18, out, &number));
  EXPECT_EQ(number, 19);
  EXPECT_FALSE(core->GetDefaultPatternName(19, out, &number));
  EXPECT_FALSE(core->GetDefaultPatternName(-1, out, &number));
}

TEST_F(AccessorTest, InitialMembers) {
  EXPECT_EQ(core->ModelCode, "Q41A0D0AS000**");
  EXPECT_EQ(core->DataRevision, 1);
  EXPECT_EQ(core->Language, 1);
  EXPECT_EQ(core->AccessLevel, 1);
  EXPECT_EQ(core->PortNumber, 1);
  EXPECT_EQ(core->LineSetting, 1);
  EXPECT_EQ(core->GetTreeNodeCount(), 11);
  EXPECT_EQ(core->GetParamCount(), 467);
  EXPECT_EQ(core->GetPatternCount(), 19);
  EXPECT_NE(core->Protocol, nullptr);
  EXPECT_EQ(core->TreeNode(10)->RowCount, 50u);
}

}  // namespace
