#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "UCore.h"

namespace {

constexpr int16_t E = kEmptyValue;

// A recognisable value for every cell: segment * 100 + item.
int16_t Code(int item, int segment) { return static_cast<int16_t>(segment * 100 + item); }
int16_t PatternItemCode(int item) { return static_cast<int16_t>(1000 + item); }

// The default of a cell of item 1..26.
int16_t Default(int item) { return (item == 20 || item == 21 || item >= 24) ? 0 : E; }

class ClipboardTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);

  int16_t& Cell(int p, int item, int s) {
    PatternSlot* cell = core->GetPatternValue(p, item, s);
    EXPECT_NE(cell, nullptr);
    static PatternSlot dummy;
    return cell ? cell->Value : dummy.Value;
  }

  // Pattern p with `used` used segments: every cell holds its Code and the
  // segments after the used ones only lack their SP1, so a test sees which
  // segment's values went where.
  void Fill(int p, int used) {
    for (int s = 1; s <= kSegmentCount; ++s)
      for (int i = 1; i <= kSegmentItemCount; ++i) Cell(p, i, s) = (i == 1 && s > used) ? E : Code(i, s);
    for (int k = 24; k <= 26; ++k) Cell(p, k, 1) = PatternItemCode(k);
  }

  // Every cell of items 1..23 in segment s equals what segment `from` of the
  // filled pattern held (0: every item at its default).
  void ExpectSegmentFrom(int p, int s, int from, int used) {
    for (int i = 1; i <= kSegmentItemCount; ++i) {
      const int16_t expected = from == 0 ? Default(i) : (i == 1 && from > used) ? E : Code(i, from);
      EXPECT_EQ(Cell(p, i, s), expected) << "segment " << s << " item " << i;
    }
  }

  int UsedSegments(int p) {
    int n = 0;
    while (n < kSegmentCount && Cell(p, 1, n + 1) != E) ++n;
    return n;
  }

  std::vector<int16_t> AllWorkingValues() {
    std::vector<int16_t> v;
    for (int p = 1; p <= kPatternCount; ++p) {
      for (int i = 1; i <= kSegmentItemCount; ++i)
        for (int s = 1; s <= kSegmentCount; ++s) v.push_back(Cell(p, i, s));
      for (int k = 24; k <= 26; ++k) v.push_back(Cell(p, k, 1));
    }
    return v;
  }
};

TEST_F(ClipboardTest, DefaultsFollowTheItemsDefaultKind) {
  for (int item = 1; item <= 26; ++item) EXPECT_EQ(core->ProgramItemDefault(item), Default(item)) << item;
}

TEST_F(ClipboardTest, CopyAndPasteSegmentCarryPatternItemsOnlyWithSegmentOne) {
  Fill(1, 5);
  Fill(2, 5);

  // From segment 3: the clipboard holds the defaults (0) for items 24..26,
  // and pasting into segment 1 writes them.
  core->CopySegment(1, 3);
  for (int k = 1; k <= 23; ++k) EXPECT_EQ(core->SegmentClipboard[k], Code(k, 3)) << k;
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(core->SegmentClipboard[k], 0) << k;
  core->PasteSegment(2, 1);
  ExpectSegmentFrom(2, 1, 3, 5);
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(Cell(2, k, 1), 0) << k;

  // From segment 1 the pattern items come along, but pasting into another
  // segment leaves them alone.
  Fill(2, 5);
  core->CopySegment(1, 1);
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(core->SegmentClipboard[k], PatternItemCode(k)) << k;
  for (int k = 24; k <= 26; ++k) Cell(2, k, 1) = 7;
  core->PasteSegment(2, 4);
  ExpectSegmentFrom(2, 4, 1, 5);
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(Cell(2, k, 1), 7) << k;
  ExpectSegmentFrom(2, 3, 3, 5);
  ExpectSegmentFrom(2, 5, 5, 5);
}

TEST_F(ClipboardTest, CutMovesTheFollowingUsedSegmentsUp) {
  struct Case {
    const char* name;
    int used, cut;
    // Where segments 1..30 take their values from afterwards (0 defaults);
    // unlisted segments keep their own.
    std::vector<std::pair<int, int>> moved;
    bool patternItemsReset;
  } cases[] = {
      {"first of three", 3, 1, {{1, 2}, {2, 3}, {3, 4}, {30, 0}}, true},
      {"middle of six", 6, 5, {{5, 6}, {6, 7}, {30, 0}}, false},
      {"an unused segment", 3, 5, {{30, 0}}, false},
      {"first of a full pattern",
       30,
       1,
       {{1, 2}, {2, 3}, {3, 4}, {10, 11}, {28, 29}, {29, 30}, {30, 0}},
       true},
      {"last segment of a full pattern", 30, 30, {{29, 29}, {30, 0}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(4, c.used);
    core->CutSegment(4, c.cut);

    std::vector<int> from(kSegmentCount + 1);
    for (int s = 1; s <= kSegmentCount; ++s) from[s] = s;
    for (const auto& [to, source] : c.moved) from[to] = source;
    if (c.used == 30 && c.cut == 1)
      for (int s = 1; s < 30; ++s) from[s] = s + 1;
    for (int s = 1; s <= kSegmentCount; ++s) ExpectSegmentFrom(4, s, from[s], c.used);

    for (int k = 24; k <= 26; ++k)
      EXPECT_EQ(Cell(4, k, 1), c.patternItemsReset ? 0 : PatternItemCode(k)) << k;
    // The clipboard holds the cut segment, its pattern items only from 1.
    for (int k = 1; k <= 23; ++k)
      EXPECT_EQ(core->SegmentClipboard[k], (k == 1 && c.cut > c.used) ? E : Code(k, c.cut)) << k;
    for (int k = 24; k <= 26; ++k)
      EXPECT_EQ(core->SegmentClipboard[k], c.cut == 1 ? PatternItemCode(k) : 0) << k;
    EXPECT_EQ(UsedSegments(4), c.cut <= c.used ? c.used - 1 : c.used);
  }
}

TEST_F(ClipboardTest, InsertStartsANewSegmentAtTheOldSetPoints) {
  struct Case {
    const char* name;
    int used, at;
    int usedAfter;
  } cases[] = {
      {"second of three", 3, 2, 4},
      {"first of three", 3, 1, 4},
      {"first of 29 (the last free segment fills)", 29, 1, 30},
      {"last of a full pattern", 30, 30, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(6, c.used);
    core->InsertSegment(6, c.at);

    for (int s = 1; s < c.at; ++s) ExpectSegmentFrom(6, s, s, c.used);
    // The new segment: SP1 and SP2 of the old one, TIME 10, defaults after.
    EXPECT_EQ(Cell(6, 1, c.at), Code(1, c.at));
    EXPECT_EQ(Cell(6, 2, c.at), 10);
    EXPECT_EQ(Cell(6, 3, c.at), Code(3, c.at));
    for (int i = 4; i <= 23; ++i) EXPECT_EQ(Cell(6, i, c.at), Default(i)) << i;
    // The used segments from there on moved down by one; the unused ones
    // after them kept their values.
    for (int s = c.at + 1; s <= kSegmentCount; ++s)
      ExpectSegmentFrom(6, s, s - 1 <= c.used ? s - 1 : s, c.used);
    for (int k = 24; k <= 26; ++k) EXPECT_EQ(Cell(6, k, 1), c.at == 1 ? 0 : PatternItemCode(k)) << k;
    EXPECT_EQ(UsedSegments(6), c.usedAfter);
  }
}

TEST_F(ClipboardTest, InsertIntoAFullPatternDropsTheLastSegment) {
  // The program editor refuses this; the operation itself overwrites what
  // segment 30 held with segment 29.
  Fill(6, 30);
  core->InsertSegment(6, 1);
  ExpectSegmentFrom(6, 30, 29, 30);
  ExpectSegmentFrom(6, 2, 1, 30);
}

TEST_F(ClipboardTest, InsertIntoAnEmptyPatternGivesAnUnusedSegment) {
  core->InsertSegment(7, 1);
  EXPECT_EQ(Cell(7, 1, 1), E);
  EXPECT_EQ(Cell(7, 2, 1), 10);
  EXPECT_EQ(UsedSegments(7), 0);
  for (int s = 2; s <= kSegmentCount; ++s) EXPECT_EQ(Cell(7, 2, s), E) << s;
}

TEST_F(ClipboardTest, InsertCopiedSegmentPastesIntoTheGap) {
  struct Case {
    int copyFrom, at;
  } cases[] = {{3, 2}, {3, 1}, {1, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "copy " << c.copyFrom << " insert at " << c.at);
    Fill(8, 5);
    core->CopySegment(8, c.copyFrom);
    core->InsertCopiedSegment(8, c.at);
    ExpectSegmentFrom(8, c.at, c.copyFrom, 5);
    for (int s = c.at + 1; s <= 6; ++s) ExpectSegmentFrom(8, s, s - 1, 5);
    EXPECT_EQ(UsedSegments(8), 6);
    for (int k = 24; k <= 26; ++k) {
      const int16_t expected = c.at != 1 ? PatternItemCode(k) : c.copyFrom == 1 ? PatternItemCode(k) : 0;
      EXPECT_EQ(Cell(8, k, 1), expected) << k;
    }
  }
}

TEST_F(ClipboardTest, ClearSetsDefaultsAndEndsThePatternAtASetPoint) {
  struct Case {
    const char* name;
    int item, segment;
    // (item, segment, expected value); every other cell keeps its Code.
    std::vector<std::tuple<int, int, int16_t>> changed;
    int clearedFrom = 0, clearedTo = -1;  // segments whose items 1..23 all default
  } cases[] = {
      {"event 1 ON time empties its OFF time", 4, 2, {{4, 2, E}, {5, 2, E}}},
      {"event 1 OFF time alone", 5, 2, {{5, 2, E}}},
      {"time event 5 ON time", 18, 3, {{18, 3, E}, {19, 3, E}}},
      {"time event 5 OFF time alone", 19, 3, {{19, 3, E}}},
      {"PID set number", 20, 4, {{20, 4, 0}}},
      {"PID set number CH2, not an ON time", 21, 4, {{21, 4, 0}}},
      {"G.Soak", 22, 1, {{22, 1, E}}},
      {"cycle, one per pattern", 25, 3, {{25, 1, 0}}},
      {"SP1 ends the pattern", 1, 2, {}, 2, 5},
      {"TIME ends the pattern", 2, 4, {}, 4, 5},
      {"SP2 of the last used segment", 3, 5, {}, 5, 5},
      {"SP1 of an unused segment", 1, 6, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(9, 5);
    core->ClearSegment(9, c.item, c.segment);
    for (int s = 1; s <= kSegmentCount; ++s)
      for (int i = 1; i <= 23; ++i) {
        int16_t expected = (i == 1 && s > 5) ? E : Code(i, s);
        if (s >= c.clearedFrom && s <= c.clearedTo) expected = Default(i);
        for (const auto& [ci, cs, v] : c.changed)
          if (ci == i && cs == s) expected = v;
        EXPECT_EQ(Cell(9, i, s), expected) << "segment " << s << " item " << i;
      }
    for (int k = 24; k <= 26; ++k) {
      int16_t expected = PatternItemCode(k);
      for (const auto& [ci, cs, v] : c.changed)
        if (ci == k) expected = v;
      EXPECT_EQ(Cell(9, k, 1), expected) << k;
    }
  }
}

TEST_F(ClipboardTest, CopyAndPastePatternCarryCellsItemsAndTag) {
  Fill(3, 12);
  char tag[9] = "HEAT";
  core->SetTag(3, tag);
  core->CopyPattern(3);

  // Into a pattern that was never used.
  core->PastePattern(11);
  for (int s = 1; s <= kSegmentCount; ++s) ExpectSegmentFrom(11, s, s, 12);
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(Cell(11, k, 1), PatternItemCode(k));
  char out[9];
  ASSERT_TRUE(core->GetTag(11, out));
  EXPECT_STREQ(out, "HEAT    ");
  // Only working values: the second copies and the received tag stay.
  EXPECT_EQ(core->GetPatternValue(11, 1, 1)->SecondValue, 0);
  EXPECT_EQ(core->TagPtr(11)->ReceivedTag[0], '\0');

  // Negative values survive the clipboard's unsigned words.
  Cell(3, 1, 1) = -1999;
  core->CopyPattern(3);
  core->PastePattern(12);
  EXPECT_EQ(Cell(12, 1, 1), -1999);
}

TEST_F(ClipboardTest, PastingClipboardsNeverFilledWritesZeros) {
  Fill(5, 4);
  core->PastePattern(5);
  for (int s = 1; s <= kSegmentCount; ++s)
    for (int i = 1; i <= 23; ++i) EXPECT_EQ(Cell(5, i, s), 0);
  for (int k = 24; k <= 26; ++k) EXPECT_EQ(Cell(5, k, 1), 0);
  char out[9];
  ASSERT_TRUE(core->GetTag(5, out));
  EXPECT_STREQ(out, "        ");

  Fill(5, 4);
  core->PasteSegment(5, 1);
  for (int k = 1; k <= 26; ++k) EXPECT_EQ(Cell(5, k, 1), 0) << k;
}

TEST_F(ClipboardTest, ArgumentsOutsideTheProgramChangeNothing) {
  Fill(1, 30);
  Fill(19, 30);
  core->CopySegment(1, 7);
  const std::vector<int16_t> before = AllWorkingValues();
  int16_t clipboard[27];
  std::memcpy(clipboard, core->SegmentClipboard, sizeof clipboard);

  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
      {"cut segment 31", [&] { core->CutSegment(1, 31); }},
      {"cut segment 0", [&] { core->CutSegment(1, 0); }},
      {"cut pattern 20", [&] { core->CutSegment(20, 1); }},
      {"insert at 0", [&] { core->InsertSegment(1, 0); }},
      {"insert at 31", [&] { core->InsertSegment(19, 31); }},
      {"insert copied at 0", [&] { core->InsertCopiedSegment(1, 0); }},
      {"paste into pattern 0", [&] { core->PasteSegment(0, 1); }},
      {"copy segment 31", [&] { core->CopySegment(1, 31); }},
      {"clear item 27", [&] { core->ClearSegment(1, 27, 1); }},
      {"clear item 0", [&] { core->ClearSegment(1, 0, 1); }},
      {"clear segment 0", [&] { core->ClearSegment(1, 1, 0); }},
      {"paste pattern 20", [&] { core->PastePattern(20); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    call();
    EXPECT_EQ(AllWorkingValues(), before);
    EXPECT_EQ(std::memcmp(clipboard, core->SegmentClipboard, sizeof clipboard), 0);
  }
}

}  // namespace
