#include "CommandLine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "StartupRules.h"

namespace {

using kvl::CommandAction;
using A = CommandAction;

struct Effect {
  CommandAction action;
  std::string word;
  int number;
};

bool operator==(const Effect& e, const kvl::CommandLineItem& i) {
  return e.action == i.Action && e.word == i.Word && e.number == i.Number;
}

std::string Show(const kvl::CommandLineItem& i) {
  return "{" + std::to_string(static_cast<int>(i.Action)) + ", '" + i.Word + "', " + std::to_string(i.Number) + "}";
}

TEST(CommandLine, EveryWordTakesItsMeaning) {
  // Paths that exist on this imagined disk.
  const std::set<std::string> disk = {"/home/u/a.q70", "/E", "/c/data.q70", "rel.q70", "/Ldir"};
  const kvl::PathExistsFn exists = [&disk](const std::string& p) { return disk.count(p) != 0; };
  struct Case {
    std::vector<std::string> words;
    std::vector<Effect> effects;
  } cases[] = {
      {{}, {}},
      {{"/E", "/e"}, {{A::DataFile, "/E", 0}, {A::EnglishTexts, "/e", 0}}},
      {{"/8", "/9", "/8x"}, {{A::FontSize, "/8", 8}, {A::FontSize, "/9", 9}, {A::FontSize, "/8x", 8}}},
      {{"/C", "/c", "/F", "/f"},
       {{A::ServiceMode, "/C", 0}, {A::ServiceMode, "/c", 0}, {A::Maximise, "/F", 0}, {A::Maximise, "/f", 0}}},
      {{"/L200", "/m60", "/N300", "/l-5", "/M+7"},
       {{A::TreePanelWidth, "/L200", 200},
        {A::DefaultColumnWidth, "/m60", 60},
        {A::TitleColumnWidth, "/N300", 300},
        {A::TreePanelWidth, "/l-5", -5},
        {A::DefaultColumnWidth, "/M+7", 7}}},
      // A negative column width is refused where it is read; 0 is a width.
      {{"/M-5", "/n-1", "/N0", "/m-0"},
       {{A::NegativeWidth, "/M-5", -5},
        {A::NegativeWidth, "/n-1", -1},
        {A::TitleColumnWidth, "/N0", 0},
        {A::DefaultColumnWidth, "/m-0", 0}}},
      // A number that is not one is reported with its text, and nothing else happens.
      {{"/L", "/Mx", "/N12a", "/L 5", "/m99999999999", "/n+-1"},
       {{A::NotANumber, "", 0},
        {A::NotANumber, "x", 0},
        {A::NotANumber, "12a", 0},
        {A::NotANumber, " 5", 0},
        {A::NotANumber, "99999999999", 0},
        {A::NotANumber, "+-1", 0}}},
      {{"/", "/x", "/Z9", "//"},
       {{A::Ignored, "/", 0}, {A::Ignored, "/x", 0}, {A::Ignored, "/Z9", 0}, {A::Ignored, "//", 0}}},
      // Absolute paths of existing files are data files, whatever their second character.
      {{"/home/u/a.q70", "/c/data.q70", "/Ldir", "/c/missing.q70"},
       {{A::DataFile, "/home/u/a.q70", 0},
        {A::DataFile, "/c/data.q70", 0},
        {A::DataFile, "/Ldir", 0},
        {A::ServiceMode, "/c/missing.q70", 0}}},
      {{"rel.q70", "missing.q70", "-e", "E"},
       {{A::DataFile, "rel.q70", 0}, {A::DataFile, "missing.q70", 0}, {A::DataFile, "-e", 0}, {A::DataFile, "E", 0}}},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& w : c.words) trace += "'" + w + "' ";
    SCOPED_TRACE(trace);
    const std::vector<kvl::CommandLineItem> items = kvl::ReadCommandLine(c.words, exists);
    ASSERT_EQ(items.size(), c.effects.size());
    for (size_t i = 0; i < items.size(); ++i) EXPECT_TRUE(c.effects[i] == items[i]) << "word " << i << ": " << Show(items[i]);
  }
}

TEST(CommandLine, LanguageFromUserLanguageAndSwitches) {
  const std::set<std::string> disk = {"/etc/E.q70", "/e"};
  const kvl::PathExistsFn exists = [&disk](const std::string& p) { return disk.count(p) != 0; };
  struct Case {
    uint16_t langId;
    std::vector<std::string> words;
    int language;
  } cases[] = {
      {0x411, {}, 0},
      {0x411, {"/e"}, 0},             // an existing file named "/e" is no switch
      {0x411, {"/E"}, 1},
      {0x411, {"/english"}, 1},
      {0x411, {"data.q70", "/E"}, 1},
      {0x411, {"/etc/E.q70"}, 0},     // an absolute path of a data file
      {0x411, {"/etc/missing"}, 1},  // a missing path that begins with "/e" is a switch
      {0x411, {"E", "-E", "/"}, 0},
      {0x409, {}, 1},
      {0x409, {"/8"}, 1},
      {0x804, {}, 1},
      {0x011, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.langId << " " << (c.words.empty() ? "" : c.words[0]));
    EXPECT_EQ(kvl::DecideLanguage(c.langId, c.words, exists), c.language);
  }
}

TEST(CommandLine, CaptionAndTitleFormats) {
  EXPECT_EQ(kvl::MainCaption("Untitled", "Q41A0D0AS000**"), "(Untitled) - KVL-Q70 - Q41A0D0AS000**");
  EXPECT_EQ(kvl::MainCaption("無題", ""), "(無題) - KVL-Q70 - ");
  EXPECT_EQ(kvl::ApplicationTitleFor("Untitled"), "(Untitled)-KVL-Q70");
  EXPECT_EQ(kvl::ApplicationTitleFor("/a/b.q70"), "(/a/b.q70)-KVL-Q70");
  const std::pair<const char*, const char*> names[] = {
      {"/home/u/data.q70", "data.q70"}, {"data.q70", "data.q70"}, {"dir/", ""}, {"/x", "x"}, {"", ""}};
  for (const auto& [path, name] : names) EXPECT_EQ(kvl::FileNameWithoutFolder(path), name) << path;
  EXPECT_TRUE(kvl::MaximiseOnScreen(800));
  EXPECT_TRUE(kvl::MaximiseOnScreen(640));
  EXPECT_FALSE(kvl::MaximiseOnScreen(801));
}

}  // namespace
