// The decisions of the file, listing and edit commands.
#include <gtest/gtest.h>

#include <cstdio>

#include "FileCommandRules.h"

namespace {

TEST(FileCommandRules, ChoosersOfTheFourDialogs) {
  struct Case {
    const char* name;
    int language;
    kvl::FileChooserDescription::Mode mode;
    const char* title;
    const char* filter;
    const char* extension;
    const char* initial;
    bool mustExist;
    bool overwrite;
  } cases[] = {
      {"OpenDialog1", 1, kvl::FileChooserDescription::Mode::Open, "", "KVL-Q70file(*.Q70)|Q70", "q70", "*.q70", true,
       false},
      {"SaveDialog1", 0, kvl::FileChooserDescription::Mode::Save, "", "KVL-Q70ファイル(*.Q70)|Q70", "q70", "*.q70",
       false, true},
      {"SaveDialog2", 1, kvl::FileChooserDescription::Mode::Save, "CSV out", "CSV file(*.csv)|csv", "CSV", "*.CSV",
       false, true},
      {"SaveDialog3", 0, kvl::FileChooserDescription::Mode::Save, "HTML出力", "HTMLﾌｧｲﾙ(*.htm)|htm", "HTM", "*.HTM",
       false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const kvl::FileChooserDescription chooser = kvl::FileChooserFor(c.name, c.language);
    EXPECT_EQ(chooser.Name, c.name);
    EXPECT_EQ(chooser.Kind, c.mode);
    EXPECT_EQ(chooser.Title, c.title);
    EXPECT_EQ(chooser.Filter, c.filter);
    EXPECT_EQ(chooser.DefaultExtension, c.extension);
    EXPECT_EQ(chooser.InitialName, c.initial);
    EXPECT_EQ(chooser.MustExist, c.mustExist);
    EXPECT_EQ(chooser.OverwritePrompt, c.overwrite);
  }
}

TEST(FileCommandRules, QtFilterAndInitialFile) {
  EXPECT_EQ(kvl::ChooserNameFilter("CSV file(*.csv)|csv"), "CSV file(*.csv) (*.csv *.CSV)");
  EXPECT_EQ(kvl::ChooserNameFilter("KVL-Q70file(*.Q70)|Q70"), "KVL-Q70file(*.Q70) (*.q70 *.Q70)");
  EXPECT_EQ(kvl::ChooserNameFilter("a|b|c"), "a|b (*.c *.C)");  // the mask follows the last bar
  EXPECT_EQ(kvl::ChooserNameFilter("no mask"), "no mask");
  EXPECT_EQ(kvl::ChooserInitialFile("*.q70"), "");
  EXPECT_EQ(kvl::ChooserInitialFile("a?.csv"), "");
  EXPECT_EQ(kvl::ChooserInitialFile("bench.q70"), "bench.q70");
}

TEST(FileCommandRules, SaveAndListingResults) {
  EXPECT_TRUE(kvl::SaveNeedsName("Untitled", "Untitled"));
  EXPECT_TRUE(kvl::SaveNeedsName("無題", "無題"));
  EXPECT_FALSE(kvl::SaveNeedsName("/tmp/Untitled", "Untitled"));
  struct Case {
    int open;
    bool written;
    bool closeFailed;
    int result;
  } cases[] = {
      {0, true, false, 0}, {0, false, false, 1}, {0, true, true, 1}, {0, false, true, 1},
      {2, false, false, 2}, {3, false, false, 3}, {4, true, true, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.open << c.written << c.closeFailed);
    EXPECT_EQ(kvl::ListingResult(c.open, c.written, c.closeFailed), c.result);
  }
}

TEST(FileCommandRules, EditConfirmationsAndInsertLimits) {
  using kvl::EditCommand;
  const std::pair<EditCommand, int> codes[] = {
      {EditCommand::InsertNew, 6}, {EditCommand::InsertCopied, 6}, {EditCommand::Cut, 5},
      {EditCommand::Copy, 3},      {EditCommand::Paste, 4},        {EditCommand::Clear, 9},
      {EditCommand::CopyPattern, 7}, {EditCommand::PastePattern, 8},
  };
  for (const auto& [command, code] : codes) EXPECT_EQ(kvl::EditConfirmationCode(command), code);
  EXPECT_FALSE(kvl::InsertRefused("----"));
  EXPECT_TRUE(kvl::InsertRefused("0.0"));
  EXPECT_TRUE(kvl::InsertCopiedPastes("----"));
  EXPECT_FALSE(kvl::InsertCopiedPastes("12"));
}

TEST(FileCommandRules, InsertCopiedTextsAfterCutAndCopy) {
  struct Case {
    bool cut;
    int language;
    const char* caption;
    const char* hint;
  } cases[] = {
      {true, 0, "切り取ったｾｸﾞﾒﾝﾄ(&C)", "切り取ったｾｸﾞﾒﾝﾄの挿入"},
      {false, 0, "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄ(&C)", "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄの挿入"},
      {true, 1, "Cut Segment(&C)", "Insert Cut Segment"},
      {false, 1, "Segment &Copy", "Insert Segment Copy"},
  };
  for (const Case& c : cases) {
    const kvl::CopiedSegmentTexts texts = kvl::CopiedSegmentTextsFor(c.cut, c.language);
    EXPECT_EQ(texts.Caption, c.caption);
    EXPECT_EQ(texts.Hint, c.hint);
  }
}

}  // namespace

namespace {

// Unattended runs cannot type a file name: every chooser is cancelled and
// logged.
TEST(FileCommandRules, UnattendedPresenterCancelsChoosers) {
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  for (auto answer : {kvl::TAutoAnswerPresenter::Answer::Enter, kvl::TAutoAnswerPresenter::Answer::Escape}) {
    kvl::TAutoAnswerPresenter presenter(answer, log);
    std::string path = "unchanged";
    EXPECT_FALSE(presenter.ChooseFile(kvl::FileChooserFor("SaveDialog2", 1), &path));
    EXPECT_FALSE(presenter.ChooseFile(kvl::FileChooserFor("OpenDialog1", 1), &path));
    EXPECT_EQ(path, "unchanged");
  }
  std::rewind(log);
  std::string lines;
  char buffer[128];
  while (std::fgets(buffer, sizeof buffer, log)) lines += buffer;
  std::fclose(log);
  EXPECT_EQ(lines, std::string("file: CSV out -> cancel\nfile: OpenDialog1 -> cancel\n") +
                       "file: CSV out -> cancel\nfile: OpenDialog1 -> cancel\n");
}

}  // namespace
