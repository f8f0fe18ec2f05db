// The main window's file, listing, edit and transfer commands, run through
// their menu items with a presenter that answers every message and file
// chooser; the transfers against the simulated controller.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>

#include <QLineEdit>

#include "CommWindowsFixture.h"
#include "Keyboard.h"
#include "StrCGrid.h"
#include "FileCommandRules.h"
#include "MessageCatalog.h"
#include "OptSet.h"
#include "TransferFixture.h"
#include "TransferForms.h"

namespace {

using commuitest::CommWindowsTest;

std::string Message(int kind, int code, const std::string& fileName = "") {
  return kvl::DescribeMessage(kind, code, 1, fileName).Text;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MainCommandsTest : public CommWindowsTest {
 protected:
  void SetUp() override {
    CommWindowsTest::SetUp();
    Begin();
  }
  void TearDown() override {
    if (Main) Main->SetTransferForms(nullptr);
    Link.reset();
    CommWindowsTest::TearDown();
  }
  void Begin(uint16_t langId = 0x409) {
    if (Main) Main->SetTransferForms(nullptr);
    Link.reset();
    Stop();
    Start(langId);
    Link = std::make_unique<TTransferFormsLink>(*Range, *CommProg, *ComSet);
    Main->SetTransferForms(Link.get());
    Presenter.Files.clear();
    Presenter.Choosers.clear();
  }
  void Trigger(const char* menuItem) {
    QAction* action = Main->MenuItem(menuItem);
    ASSERT_NE(action, nullptr) << menuItem;
    action->setEnabled(true);
    action->trigger();
  }
  std::string PathOf(const char* name) const { return Window.Dir.filePath(QString::fromLatin1(name)).toStdString(); }
  void Reset() {
    Presenter.Shown.clear();
    Presenter.Answers.clear();
    Presenter.Choosers.clear();
    Presenter.FormsShown.clear();
  }

  std::unique_ptr<TTransferFormsLink> Link;
};

// New: asked first; Cancel changes nothing, OK resets the image, untitled.
TEST_F(MainCommandsTest, NewAsksThenResetsToUntitled) {
  const std::string path = PathOf("kept.q70");
  Core->GetParam(3, 1, 1, 0)->Value = 55;
  ASSERT_EQ(Core->SaveFile(std::array<int32_t, 3>{1, 2, 0}.data(), path), 0);
  Presenter.Files = {path};
  Trigger("Open1");
  ASSERT_EQ(Main->FileName, path);
  const std::string caption = Main->Caption();
  Core->DataRevision = 0;
  Main->ErrorList->addItem(QStringLiteral("an earlier error"));

  Reset();
  Presenter.Answers = {kvl::kModalCancel};
  Main->ToolButton("NewButton")->click();
  ASSERT_EQ(Presenter.Shown.size(), 1u);
  EXPECT_EQ(Presenter.Shown[0].Text, "Initlize Data");
  EXPECT_EQ(Main->FileName, path);
  EXPECT_EQ(Main->Caption(), caption);
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, 55);
  EXPECT_EQ(Core->DataRevision, 0);
  EXPECT_EQ(Main->ErrorList->count(), 1);

  Reset();
  Presenter.Answers = {kvl::kModalOk};
  Trigger("New1");
  EXPECT_EQ(Presenter.Shown.size(), 1u);
  EXPECT_EQ(Main->FileName, "Untitled");
  EXPECT_EQ(Main->Caption(), "(Untitled) - KVL-Q70 - " + Core->ModelCode);
  EXPECT_EQ(Main->ApplicationTitleText(), "(Untitled)-KVL-Q70");
  EXPECT_NE(Core->GetParam(3, 1, 1, 0)->Value, 55);
  EXPECT_EQ(Core->DataRevision, 1);
  EXPECT_EQ(Main->ErrorList->count(), 0);
}

std::string TagField(TMainForm& main) { return main.EditTag->text().toStdString(); }

void SetTag(TCore& core, int pattern, const char* tag8) {
  char buffer[9] = {};
  std::memcpy(buffer, tag8, 8);
  ASSERT_TRUE(core.SetTag(pattern, buffer));
}

// Every way the image is replaced ends with the TAG field showing the stored
// tag of the program chosen, whatever the field showed before.
TEST_F(MainCommandsTest, EveryReplacedImageShowsItsStoredTag) {
  const std::string path = PathOf("tagged.q70");
  SetTag(*Core, 1, "AB      ");
  ASSERT_EQ(Core->SaveFile(std::array<int32_t, 3>{1, 2, 0}.data(), path), 0);
  TOptSet wizard(*Main, *Core, Presenter);
  Main->AttachWizard(wizard);

  const struct {
    const char* Name;
    std::function<void()> Replace;
    const char* Shown;
  } cases[] = {
      {"open", [&] { Presenter.Files = {path}; Trigger("Open1"); }, "AB      "},
      {"command line", [&] { Main->LoadCommandLineFile(path); }, "AB      "},
      {"new", [&] { Presenter.Answers = {kvl::kModalOk}; Trigger("New1"); }, "PROG01  "},
      {"wizard completed", [&] { SetTag(*Core, 1, "CD      ");
         Presenter.FormActions = {[](kvl::TModalForm& form) { return form.AnswerKey(true); }};
         Main->ToolButton("SetupButton")->click();
       },
       "CD      "},
      {"wizard words at start", [&] { SetTag(*Core, 1, "EF      "); Main->ApplyWizardModelAtStart(); }, "PROG01  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset();
    Main->EditTag->setText(QStringLiteral("STALE"));
    c.Replace();
    EXPECT_EQ(TagField(*Main), c.Shown);
  }
}

// "12" typed into SP1 and then New or Open: the grid's editor is closed, its
// text dropped, and the grid shows the new image's SP1.
TEST_F(MainCommandsTest, NewAndOpenCloseTheGridEditorDroppingItsText) {
  const std::string path = PathOf("plain.q70");
  ASSERT_EQ(Core->SaveFile(std::array<int32_t, 3>{1, 2, 0}.data(), path), 0);
  const int16_t unused = Core->GetPatternValue(1, 1, 1)->Value;
  TStrColGrid& grid = *Main->StrColGrid1;
  const struct {
    const char* Name;
    std::function<void()> Replace;
    bool Replaced;
  } cases[] = {
      {"new", [&] { Presenter.Answers = {kvl::kModalOk}; Trigger("New1"); }, true},
      {"open", [&] { Presenter.Files = {path}; Trigger("Open1"); }, true},
      {"new cancelled", [&] { Presenter.Answers = {kvl::kModalCancel}; Trigger("New1"); }, false},
      {"open cancelled", [&] { Presenter.Files = {}; Trigger("Open1"); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset();
    Main->GroupMenuAction(1)->trigger();
    ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
    kvltest::TypeText(QStringLiteral("12"));
    ASSERT_TRUE(grid.EditorMode());
    c.Replace();
    if (!c.Replaced) {
      // Nothing was replaced: the typed text is still there to be stored.
      ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
      EXPECT_TRUE(grid.EditorMode());
      kvltest::PressKey(Qt::Key_Return);
      EXPECT_NE(Core->GetPatternValue(1, 1, 1)->Value, unused);
      continue;
    }
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1).toStdString(), "----");
    // Enter now only opens the editor on the cell; nothing was stored.
    kvltest::PressKey(Qt::Key_Return);
    kvltest::PressKey(Qt::Key_Escape);
    EXPECT_EQ(Core->GetPatternValue(1, 1, 1)->Value, unused);
  }
}

// Save on an untitled image asks for a name (cancel writes nothing); then
// the file is named in caption and title without its folder, and Save
// writes to it without asking.
TEST_F(MainCommandsTest, SaveAndSaveAsNameTheFile) {
  const std::string path = PathOf("bench.q70");
  Trigger("Save1");
  ASSERT_EQ(Presenter.Choosers.size(), 1u);
  EXPECT_EQ(Presenter.Choosers[0].Name, "SaveDialog1");
  EXPECT_EQ(Presenter.Choosers[0].InitialName, "*.q70");
  EXPECT_TRUE(Presenter.Choosers[0].OverwritePrompt);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  EXPECT_EQ(Main->FileName, "Untitled");
  EXPECT_TRUE(Presenter.Shown.empty());

  Presenter.Files = {path};
  Main->ToolButton("SaveButton")->click();
  EXPECT_EQ(ReadAll(path).size(), TCore::kDataFileSize);
  EXPECT_EQ(Main->FileName, path);
  EXPECT_EQ(Main->Caption(), "(bench.q70) - KVL-Q70 - " + Core->ModelCode);
  EXPECT_EQ(Main->ApplicationTitleText(), "(bench.q70)-KVL-Q70");
  EXPECT_TRUE(Presenter.Shown.empty());

  Reset();
  Core->GetParam(3, 1, 1, 0)->Value = 66;
  Trigger("Save1");
  EXPECT_TRUE(Presenter.Choosers.empty());
  EXPECT_TRUE(Presenter.Shown.empty());
  auto fresh = std::make_unique<TCore>(1);
  ASSERT_EQ(fresh->LoadFile(path), 0);
  EXPECT_EQ(fresh->GetParam(3, 1, 1, 0)->Value, 66);
}

// A file that cannot be written: the writer's code as a kind 2 message;
// file name and caption stay.
TEST_F(MainCommandsTest, SaveErrorsShowTheWritersCode) {
  struct Case {
    const char* name;
    std::string path;
    const char* text;
  } cases[] = {
      {"missing folder", PathOf("no-such-folder/x.q70"), "Can't make file"},
      {"path too long", PathOf("") + std::string(260, 'n') + ".q70", "File name too long."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    const std::string caption = Main->Caption();
    Presenter.Files = {c.path};
    Trigger("SaveAs1");
    ASSERT_EQ(Presenter.Shown.size(), 1u);
    EXPECT_EQ(Presenter.Shown[0].Text, c.text);
    EXPECT_EQ(Presenter.Shown[0].Title, "Error");
    EXPECT_EQ(Main->FileName, "Untitled");
    EXPECT_EQ(Main->Caption(), caption);
  }
  // Save of a named image reports the same way.
  Main->FileName = PathOf("gone/y.q70");
  Reset();
  Trigger("Save1");
  ASSERT_EQ(Presenter.Shown.size(), 1u);
  EXPECT_EQ(Presenter.Shown[0].Text, "Can't make file");
  EXPECT_TRUE(Presenter.Choosers.empty());
}

// Open: a good file is adopted with its model; a bad one shows the reader's
// code and keeps the name and caption; cancel does nothing.
TEST_F(MainCommandsTest, OpenAdoptsAGoodFileAndReportsABadOne) {
  const std::string good = PathOf("good.q70");
  Core->GetParam(3, 1, 1, 0)->Value = 44;
  ASSERT_EQ(Core->SaveFile(std::array<int32_t, 3>{1, 2, 0}.data(), good), 0);
  std::string bytes = ReadAll(good);
  const std::string shortFile = PathOf("short.q70");
  std::ofstream(shortFile, std::ios::binary) << bytes.substr(0, 1000);
  const std::string badSum = PathOf("badsum.q70");
  bytes.back() = static_cast<char>(bytes.back() + 1);
  std::ofstream(badSum, std::ios::binary) << bytes;

  Trigger("Open1");  // cancelled
  ASSERT_EQ(Presenter.Choosers.size(), 1u);
  EXPECT_EQ(Presenter.Choosers[0].Kind, kvl::FileChooserDescription::Mode::Open);
  EXPECT_EQ(Presenter.Choosers[0].InitialName, "*.q70");
  EXPECT_TRUE(Presenter.Choosers[0].MustExist);
  EXPECT_TRUE(Presenter.Shown.empty());
  EXPECT_EQ(Main->FileName, "Untitled");

  Core->GetParam(3, 1, 1, 0)->Value = 1;
  Main->ComboBoxProgNum->setCurrentIndex(4);
  Main->ErrorList->addItem(QStringLiteral("an earlier error"));
  Presenter.Files = {good};
  Main->ToolButton("OpenButton")->click();
  EXPECT_TRUE(Presenter.Shown.empty());
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, 44);
  EXPECT_EQ(Main->FileName, good);
  EXPECT_EQ(Main->Caption(), "(good.q70) - KVL-Q70 - " + Core->ModelCode);
  EXPECT_EQ(Main->ApplicationTitleText(), "(good.q70)-KVL-Q70");
  EXPECT_EQ(Main->ComboBoxProgNum->currentIndex(), 0);
  EXPECT_EQ(Main->ErrorList->count(), 0);

  struct Case {
    const char* name;
    std::string path;
    const char* text;
  } cases[] = {
      {"wrong size", shortFile, "Illegal file size."},
      {"checksum", badSum, "Illegal file information."},
      {"missing", PathOf("absent.q70"), "Illegal file information."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    const std::string caption = Main->Caption();
    Presenter.Files = {c.path};
    Trigger("Open1");
    ASSERT_EQ(Presenter.Shown.size(), 1u);
    EXPECT_EQ(Presenter.Shown[0].Text, c.text);
    EXPECT_EQ(Main->FileName, good);
    EXPECT_EQ(Main->Caption(), caption);
    EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, 44);
  }
}

// Listings: written without a message; a target that takes no bytes, or
// cannot be made, reports kind 3; cancel writes nothing.
TEST_F(MainCommandsTest, ListingsReportWhatWasNotWritten) {
  struct Case {
    const char* name;
    const char* menuItem;
    const char* dialog;
    std::string path;
    std::string message;  // empty: none
    const char* start;    // the listing's first bytes when written
  } cases[] = {
      {"csv written", "CSVSave", "SaveDialog2", PathOf("list.csv"), "", "[Option:"},
      {"html written", "HTML1", "SaveDialog3", PathOf("list.htm"), "", "<HTML>"},
      {"csv on a full device", "CSVSave", "SaveDialog2", "/dev/full", Message(3, 1), nullptr},
      {"html on a full device", "HTML1", "SaveDialog3", "/dev/full", Message(3, 1), nullptr},
      {"csv in a missing folder", "CSVSave", "SaveDialog2", PathOf("none/list.csv"), Message(3, 1), nullptr},
      {"html cancelled", "HTML1", "SaveDialog3", "", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Presenter.Files = {c.path};
    Trigger(c.menuItem);
    ASSERT_EQ(Presenter.Choosers.size(), 1u);
    EXPECT_EQ(Presenter.Choosers[0].Name, c.dialog);
    std::vector<std::string> expected;
    if (!c.message.empty()) expected.push_back(c.message);
    EXPECT_EQ(Presenter.Texts(), expected);
    if (c.start != nullptr) { EXPECT_EQ(ReadAll(c.path).rfind(c.start, 0), 0u); }
    EXPECT_EQ(Core->ExportFile, nullptr);
  }
}

// Read and write: the range dialog and its confirmation, then the progress
// window runs the transfer and shows its result.
TEST_F(MainCommandsTest, ReadAndWriteRunThroughTheirWindows) {
  transfertest::SeedController(Sim, 5, std::vector<int>(19, 3));
  const auto enter = [](kvl::TModalForm& form) { return form.AnswerKey(true); };
  struct Case {
    const char* name;
    const char* menuItem;
    int direction;
    const char* progress;
    int code;
  } cases[] = {
      {"read", "CommRead", 0, "Read(MXQ to KVL)", 0},
      {"write", "CommWrite", 1, "Write(KVL to MXQ)", 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    MatchModel();
    Range->SetRange(kvl::RangeForWizardRead());  // the command ticks both again
    Presenter.FormActions = {enter, enter, {}};
    Trigger(c.menuItem);
    CommProg->WaitForWorker();
    EXPECT_EQ(Main->CommDirection, c.direction);
    EXPECT_EQ(Range->Range(), kvl::RangeForCommand());
    EXPECT_EQ(Presenter.FormsShown, (std::vector<std::string>{"Communication", "Confirm", c.progress}));
    EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{Message(4, c.code)});
  }
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(Sim.Word(2501)));
}

// The range dialog cancelled, or closed with both boxes cleared: no
// progress window, no message, nothing sent.
TEST_F(MainCommandsTest, TransferEndsWithoutARangeOrOk) {
  const auto enter = [](kvl::TModalForm& form) { return form.AnswerKey(true); };
  const auto clearBoth = [](kvl::TModalForm& form) {
    auto& range = dynamic_cast<TCommunication&>(form);
    range.CheckProgram->setChecked(false);
    range.CheckParameter->setChecked(false);
    return form.AnswerKey(true);
  };
  struct Case {
    const char* name;
    std::deque<std::function<int(kvl::TModalForm&)>> actions;
    size_t forms;
  } cases[] = {
      {"range cancelled", {[](kvl::TModalForm& form) { return form.AnswerKey(false); }}, 1},
      {"confirmation cancelled", {enter, [](kvl::TModalForm& form) { return form.AnswerKey(false); }}, 2},
      {"both boxes cleared", {clearBoth, enter}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Sim.ClearFrames();
    Presenter.FormActions = c.actions;
    Trigger("CommWrite");
    EXPECT_EQ(Presenter.FormsShown.size(), c.forms);
    EXPECT_TRUE(Presenter.Shown.empty());
    EXPECT_FALSE(CommProg->WorkerRunning());
    EXPECT_TRUE(Sim.Frames().empty());
  }
}

// The read the wizard arms: the timer's first tick stops it and runs the
// read in the progress window, captioned for a read after an earlier write.
TEST_F(MainCommandsTest, ReadTimerRunsTheArmedRead) {
  transfertest::SeedController(Sim, 8, std::vector<int>(19, 2));
  MatchModel();
  CommProg->SetDirectionCaption(1);
  Main->CommDirection = 0;
  Range->SetRange(kvl::RangeForWizardRead());
  Presenter.FormActions = {{}};
  Main->Timer2->start();
  QElapsedTimer waited;
  waited.start();
  while (Presenter.FormsShown.empty() && waited.elapsed() < 5000) QCoreApplication::processEvents();
  CommProg->WaitForWorker();
  EXPECT_FALSE(Main->Timer2->isActive());
  EXPECT_EQ(Presenter.FormsShown, std::vector<std::string>{"Read(MXQ to KVL)"});
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{Message(4, 0)});
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(Sim.Word(2501)));
}

// Type setup opens the wizard on its basic-model page, without Back.
TEST_F(MainCommandsTest, ModelSetupOpensTheWizardOnTheBasicPage) {
  TOptSet wizard(*Main, *Core, Presenter);
  Main->AttachWizard(wizard);
  QWidget* page = nullptr;
  bool backShown = true;
  Presenter.FormActions = {[&](kvl::TModalForm& form) {
    page = wizard.ActivePage();
    backShown = wizard.BitBtnBackSel->isVisibleTo(&wizard);
    return form.AnswerKey(false);
  }};
  Main->ToolButton("SetupButton")->click();
  EXPECT_EQ(Presenter.FormsShown.size(), 1u);
  EXPECT_EQ(page, wizard.TabSheetStd);
  EXPECT_FALSE(backShown);
}

// The environment command prepares the dialog and shows it.
TEST_F(MainCommandsTest, EnvironmentSetupShowsTheDialog) {
  Core->PortNumber = 3;
  Presenter.FormActions = {[](kvl::TModalForm& form) { return form.AnswerKey(false); }};
  Main->ToolButton("ComSetupButton")->click();
  EXPECT_EQ(Presenter.FormsShown, std::vector<std::string>{ComSet->FormCaption()});
  EXPECT_EQ(ComSet->comport->count(), 16);
  EXPECT_EQ(ComSet->comport->currentIndex(), 2);
  EXPECT_EQ(ComSet->comport->itemText(15).toStdString(), "Port COM16");
}

// Pattern copy and paste act on the program chosen in the list, each after
// its confirmation; Cancel leaves everything as it was.
TEST_F(MainCommandsTest, PatternCopyAndPasteAfterTheirConfirmation) {
  Core->GetPatternValue(2, 1, 1)->Value = 123;
  Main->ComboBoxProgNum->setCurrentIndex(1);
  const int pattern = Main->ProgramOfItem[1];
  ASSERT_EQ(Main->CurrentProgram(), pattern);
  Core->GetPatternValue(pattern, 1, 1)->Value = 321;

  Presenter.Answers = {kvl::kModalCancel};
  Trigger("COPY2");
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Copy pattern"});
  EXPECT_EQ(Main->PatternClipboardFull, 0);
  EXPECT_FALSE(Main->ToolButton("PASTE2Button")->isEnabled());

  Reset();
  Trigger("COPY2");
  EXPECT_EQ(Main->PatternClipboardFull, 1);
  EXPECT_TRUE(Main->MenuItem("PASTE2")->isEnabled());
  EXPECT_TRUE(Main->ToolButton("PASTE2Button")->isEnabled());

  const int other = Main->ProgramOfItem[0];
  Main->ComboBoxProgNum->setCurrentIndex(0);
  Presenter.Answers = {kvl::kModalCancel};
  Trigger("PASTE2");
  EXPECT_NE(Core->GetPatternValue(other, 1, 1)->Value, 321);
  Reset();
  Trigger("PASTE2");
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Paste pattern"});
  EXPECT_EQ(Core->GetPatternValue(other, 1, 1)->Value, 321);
}

// Without a current segment (no grid cell chosen) the segment commands ask
// nothing and change nothing.
TEST_F(MainCommandsTest, SegmentCommandsNeedACurrentSegment) {
  // A setup group in the grid: no segment is current.
  Main->SelectGroup(3);
  ASSERT_EQ(Main->CurrentSegment(), 0);
  ASSERT_EQ(Main->CurrentItem(), 0);
  for (const char* item : {"NewSeg", "CopySeg", "CUT1", "COPY1", "PASTE1", "CLEAR1"}) {
    SCOPED_TRACE(item);
    Trigger(item);
    EXPECT_TRUE(Presenter.Shown.empty());
    EXPECT_EQ(Main->SegmentClipboardFull, 0);
  }
}

// The segment commands on a chosen cell: each asks first (Cancel changes
// nothing), then acts; insertion is refused while segment 30 is in use.
TEST_F(MainCommandsTest, SegmentCommandsOnACell) {
  using kvl::EditCommand;
  const int p = 2;
  // Segments 1..5 in use, each holding its number in every item.
  auto useFive = [&] {
    for (int seg = 1; seg <= kSegmentCount; ++seg)
      for (int i = 1; i <= kSegmentItemCount; ++i)
        Core->GetPatternValue(p, i, seg)->Value = seg <= 5 ? static_cast<int16_t>(seg) : kEmptyValue;
  };
  auto sp1 = [&](int seg) { return Core->GetPatternValue(p, 1, seg)->Value; };
  useFive();

  Presenter.Answers = {kvl::kModalCancel};
  Main->EditSegment(EditCommand::Cut, p, 2, 0);
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Cut segment"});
  EXPECT_EQ(sp1(2), 2);
  EXPECT_EQ(Main->SegmentClipboardFull, 0);

  Reset();
  Main->EditSegment(EditCommand::Cut, p, 2, 0);
  EXPECT_EQ(sp1(2), 3);
  EXPECT_EQ(sp1(5), kEmptyValue);
  EXPECT_EQ(Main->SegmentClipboardFull, 1);
  EXPECT_TRUE(Main->MenuItem("PASTE1")->isEnabled());
  EXPECT_TRUE(Main->ToolButton("PASTEButton")->isEnabled());
  EXPECT_EQ(Main->MenuItem("CopySeg")->text().toStdString(), "Cut Segment(&C)");
  EXPECT_EQ(Main->ToolButton("InsertButton2")->toolTip().toStdString(), "Insert Cut Segment");

  // Insert copied on the first unused segment (5 now) pastes into it.
  Reset();
  Main->EditSegment(EditCommand::InsertCopied, p, 5, 0);
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Insert segment"});
  EXPECT_EQ(sp1(5), 2);
  EXPECT_EQ(sp1(6), kEmptyValue);
  // On a used segment it shifts the rest down.
  Main->EditSegment(EditCommand::InsertCopied, p, 1, 0);
  EXPECT_EQ(sp1(1), 2);
  EXPECT_EQ(sp1(2), 1);
  EXPECT_EQ(sp1(6), 2);

  useFive();
  Reset();
  Main->EditSegment(EditCommand::Copy, p, 4, 0);
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Copy segment"});
  EXPECT_TRUE(Main->MenuItem("CopySeg")->isEnabled());
  EXPECT_TRUE(Main->ToolButton("InsertButton2")->isEnabled());
  EXPECT_EQ(Main->MenuItem("CopySeg")->text().toStdString(), "Segment &Copy");
  Main->EditSegment(EditCommand::Paste, p, 1, 0);
  EXPECT_EQ(sp1(1), 4);
  Main->EditSegment(EditCommand::InsertNew, p, 2, 0);
  EXPECT_EQ(sp1(3), 2);
  EXPECT_EQ(sp1(6), 5);
  Main->EditSegment(EditCommand::Clear, p, 3, 1);
  EXPECT_EQ(sp1(3), kEmptyValue);
  EXPECT_EQ(Presenter.Texts().back(), "Clear data");

  // Segment 30 in use: only the refusal, nothing asked before it.
  FillPrograms();
  for (EditCommand command : {EditCommand::InsertNew, EditCommand::InsertCopied}) {
    Reset();
    const transfertest::ImageSnapshot before = transfertest::Snapshot(*Core);
    Main->EditSegment(command, p, 3, 0);
    EXPECT_EQ(Presenter.Texts(), (std::vector<std::string>{"A segment cannot be inserted any more."}));
    EXPECT_EQ(transfertest::Snapshot(*Core), before);
  }
}

// Revision 0 turns a program time unit of 2 into 1; revision 1 keeps it.
TEST_F(MainCommandsTest, DataRevisionMenu) {
  Core->GetParam(8, 64, 1, 0)->Value = 2;
  Trigger("Rev0");
  EXPECT_EQ(Core->DataRevision, 0);
  EXPECT_EQ(Core->GetParam(8, 64, 1, 0)->Value, 1);
  EXPECT_TRUE(Main->MenuItem("Rev0")->isChecked());
  EXPECT_FALSE(Main->MenuItem("Rev1")->isChecked());
  Trigger("Rev1");
  EXPECT_EQ(Core->DataRevision, 1);
  EXPECT_EQ(Core->GetParam(8, 64, 1, 0)->Value, 1);
  EXPECT_TRUE(Main->MenuItem("Rev1")->isChecked());
  Core->DataRevision = 0;
  Main->RevChangeClick();
  EXPECT_TRUE(Main->MenuItem("Rev0")->isChecked());
  EXPECT_FALSE(Main->MenuItem("Rev1")->isChecked());
}

// Quit answered Cancel: the window stays, the image and file name too.
TEST_F(MainCommandsTest, QuitCancelledChangesNothing) {
  Main->FileName = "/tmp/bench.q70";
  Core->GetParam(3, 1, 1, 0)->Value = 9;
  Main->show();
  Presenter.Answers = {kvl::kModalCancel};
  EXPECT_FALSE(Main->close());
  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Quit"});
  EXPECT_TRUE(Main->isVisible());
  EXPECT_EQ(Main->FileName, "/tmp/bench.q70");
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, 9);
  Presenter.Answers = {kvl::kModalOk};
  EXPECT_TRUE(Main->close());
}

}  // namespace
