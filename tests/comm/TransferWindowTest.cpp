// The transfer thread behind the progress window against a simulated
// controller: results, cancel, the model question and the data check, with
// every window touched on the user-interface thread only.
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <algorithm>

#include "CommWindowsFixture.h"
#include "MessageCatalog.h"
#include "TransferFixture.h"
#include "URenzoku.h"

namespace {

using commuitest::CommWindowsTest;
using transfertest::Snapshot;

bool OnUiThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

std::string Message(int kind, int code) { return kvl::DescribeMessage(kind, code, 1, "").Text; }

class TransferWindowTest : public CommWindowsTest {
 protected:
  void SetUp() override {
    CommWindowsTest::SetUp();
    Start();
    QObject::connect(CommProg->ProgressBar1, &QProgressBar::valueChanged, CommProg.get(), [this] {
      if (!OnUiThread()) ++OffThreadTouches;
    });
    Presenter.OnMessage = [this](const kvl::MessageDescription&) {
      if (!OnUiThread()) ++OffThreadTouches;
    };
  }
  void TearDown() override {
    EXPECT_EQ(OffThreadTouches, 0);
    CommWindowsTest::TearDown();
  }

  std::vector<std::string> Tokens() const {
    std::vector<std::string> out;
    for (const kvlsim::FrameRecord& f : Sim.Frames()) out.push_back(transfertest::Token(f));
    return out;
  }
  bool Sent(const std::string& prefix) const {
    const std::vector<std::string> tokens = Tokens();
    return std::any_of(tokens.begin(), tokens.end(), [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
  }

  int OffThreadTouches = 0;
};

TEST_F(TransferWindowTest, ReadCommitsAndReportsReadComplete) {
  transfertest::SeedController(Sim, 3, std::vector<int>(19, 4));
  Main->FileName = "/tmp/earlier.q70";
  Main->ErrorList->addItem(QStringLiteral("    1 : an earlier failure"));
  Main->ComboBoxProgNum->setCurrentIndex(5);
  RunTransfer(0);

  EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Read Complete"});
  EXPECT_EQ(Presenter.FormsShown, std::vector<std::string>{"Read(MXQ to KVL)"});
  EXPECT_FALSE(CommProg->isVisible());
  EXPECT_FALSE(CommProg->WorkerRunning());
  EXPECT_FALSE(Core->Protocol->IsOpen());
  // Committed: parameters, programs, tags, the controller's model.
  EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(Sim.Word(2501)));
  EXPECT_EQ(Core->GetPatternValue(19, 23, 4)->Value, static_cast<int16_t>(Sim.ProgramWord(19, 4, 23)));
  EXPECT_EQ(Core->GetPatternValue(19, 1, 5)->Value, kEmptyValue);
  char tag[9];
  Core->GetTag(2, tag);
  EXPECT_EQ(Sim.Tag(2), tag);
  EXPECT_EQ(Core->Model.HardwareType1, 0x0844);
  // The main window follows: untitled, the new model code in the caption,
  // the error list emptied, the first program selected.
  EXPECT_EQ(Main->FileName, Main->UntitledName);
  EXPECT_EQ(Main->Caption(), kvl::MainCaption(Main->UntitledName, Core->ModelCode));
  EXPECT_EQ(Core->ModelCode.substr(0, 3), "Q42");
  EXPECT_EQ(Main->ErrorList->count(), 0);
  EXPECT_EQ(Main->ComboBoxProgNum->currentIndex(), 0);
  EXPECT_EQ(CommProg->ProgressBar1->maximum(), 13627);
  EXPECT_EQ(CommProg->ProgressBar1->value(), 13627);
  // The probe came first.
  ASSERT_FALSE(Tokens().empty());
  EXPECT_EQ(Tokens().front(), "R9997");
}

TEST_F(TransferWindowTest, ResultsOfWritesAndFailures) {
  struct Case {
    const char* name;
    int direction;
    std::function<void(TransferWindowTest&)> arrange;
    int code;
    bool written;
  } cases[] = {
      {"write in READY", 1, [](TransferWindowTest&) {}, 14, true},
      {"write outside READY skips the setup data", 1,
       [](TransferWindowTest& t) { t.Sim.SetWord(508, 0); }, 13, true},
      {"program write refused", 1,
       [](TransferWindowTest& t) {
         t.Sim.SetWord(508, 0);
         t.Sim.SetWord(4600, 1);
         t.MatchModel();
       },
       12, false},
      {"port that cannot be opened", 0,
       [](TransferWindowTest& t) {
         ::setenv("KVLQ70_COM7", "/nonexistent/kvlq70-port", 1);
         t.Core->PortNumber = 7;
       },
       5, false},
      {"another controller", 0, [](TransferWindowTest& t) { t.Sim.SetWord(9997, 1234); }, 4, false},
      {"silent controller", 0,
       [](TransferWindowTest& t) {
         t.Sim.AddFault({kvlsim::FaultKind::Silence, 0, kvlsim::FrameKind::Any, -1, -1, 0, 0});
         t.Core->Protocol->ReceiveTimeout = 50;
       },
       1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    Sim.ClearFaults();
    transfertest::SeedController(Sim, 11, std::vector<int>(19, 2));
    Start();
    MatchModel();
    Core->GetParam(3, 1, 1, 0)->Value = 77;
    c.arrange(*this);
    Sim.ClearFrames();
    Presenter.Shown.clear();
    const transfertest::ImageSnapshot before = Snapshot(*Core);
    RunTransfer(c.direction);
    EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{Message(4, c.code)});
    EXPECT_EQ(Sent("W527=0"), c.written);
    if (c.written) { EXPECT_EQ(Sim.Word(2501), 77); }
    EXPECT_EQ(Snapshot(*Core), before);  // a failed read commits nothing either
    EXPECT_FALSE(Core->Protocol->IsOpen());
    EXPECT_FALSE(CommProg->isVisible());
    ::unsetenv("KVLQ70_COM7");
  }
}

// While the continuous-communication window is visible, every program frame
// and every parameter-run frame of a transfer adds 1 to its frame count, on
// the user-interface thread; hidden, it counts nothing.
TEST_F(TransferWindowTest, FramesCountInTheVisibleCounterWindow) {
  TRenzokuComm counter;
  CommProg->SetFrameCounter(&counter);
  QObject::connect(counter.EditComm, &QLineEdit::textChanged, &counter, [this] {
    if (!OnUiThread()) ++OffThreadTouches;
  });
  transfertest::SeedController(Sim, 9, std::vector<int>(19, 3));
  // Not counted: the probe, the mode, revision and transfer words, deletes.
  auto dataFrames = [this] {
    long n = 0;
    for (const kvlsim::FrameRecord& f : Sim.Frames()) {
      const std::string t = transfertest::Token(f);
      const bool other = t == "R9997" || t == "R9999" || t == "R508" || t == "R4600" || t.rfind("W527=", 0) == 0 ||
                         t[0] == 'X';
      if (!other) ++n;
    }
    return n;
  };
  for (bool visible : {true, false})
    for (int direction : {0, 1}) {
      SCOPED_TRACE(testing::Message() << (visible ? "visible, " : "hidden, ") << (direction ? "write" : "read"));
      counter.ResetCounts();
      counter.setVisible(visible);
      MatchModel();
      Sim.ClearFrames();
      Presenter.Shown.clear();
      RunTransfer(direction);
      ASSERT_EQ(Presenter.Texts(), std::vector<std::string>{Message(4, direction == 1 ? 14 : 0)});
      // Reads: 589 program frames, 17 + 2 parameter runs.
      if (direction == 0) { EXPECT_EQ(dataFrames(), 608); }
      EXPECT_EQ(counter.FrameCount(), visible ? dataFrames() : 0);
    }
  CommProg->SetFrameCounter(nullptr);
}

// Cancel once the bar has passed a point: the window closes at once, the
// worker stops within its frame, result 3, nothing committed; a transfer
// asked for right away waits for that worker, then runs.
TEST_F(TransferWindowTest, CancelMidJobEndsStoppedWithValuesUntouched) {
  struct Case {
    const char* name;
    int direction;
  } cases[] = {{"read", 0}, {"write", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    transfertest::SeedController(Sim, 21, std::vector<int>(19, 30));
    Start();
    Core->Protocol->ReceiveTimeout = 2000;  // the cancel must not wait for it
    MatchModel();
    FillPrograms();
    bool clicked = false;
    std::chrono::steady_clock::time_point clickedAt, stoppedAt;
    QObject::connect(CommProg->ProgressBar1, &QProgressBar::valueChanged, CommProg.get(), [&](int value) {
      if (clicked || value < 3000) return;
      clicked = true;
      clickedAt = std::chrono::steady_clock::now();
      CommProg->BitBtn1->click();
      EXPECT_FALSE(CommProg->isVisible());
    });
    Presenter.OnMessage = [&](const kvl::MessageDescription& message) {
      if (message.Text == "Stop communications") stoppedAt = std::chrono::steady_clock::now();
    };
    Sim.ClearFrames();
    Presenter.Shown.clear();
    Main->CommDirection = c.direction;
    CommProg->Execute();
    EXPECT_TRUE(clicked);
    // The window has closed; the worker still waits to report.
    EXPECT_TRUE(CommProg->WorkerRunning());
    EXPECT_TRUE(Presenter.Shown.empty());
    // The range dialog's next confirmation comes at once: the read waits for
    // the cancelled worker, whose result is shown first.
    Main->CommDirection = 0;
    Presenter.FormsShown.clear();
    CommProg->Execute();
    CommProg->WaitForWorker();
    Presenter.OnMessage = nullptr;
    // The cancelled worker ends within its frame, not at the receive time-out.
    EXPECT_LT(stoppedAt - clickedAt, std::chrono::milliseconds(Core->Protocol->ReceiveTimeout / 2));
    EXPECT_EQ(Presenter.Texts(), (std::vector<std::string>{"Stop communications", "Read Complete"}));
    EXPECT_EQ(Presenter.FormsShown.size(), 1u);
    EXPECT_EQ(Core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(Sim.Word(2501)));
    EXPECT_FALSE(Core->Protocol->IsOpen());
    QObject::disconnect(CommProg->ProgressBar1, &QProgressBar::valueChanged, CommProg.get(), nullptr);

    // Once more, without the second transfer: nothing committed.
    Stop();
    Start();
    Core->Protocol->ReceiveTimeout = 2000;
    MatchModel();
    FillPrograms();
    const transfertest::ImageSnapshot untouched = Snapshot(*Core);
    clicked = false;
    QObject::connect(CommProg->ProgressBar1, &QProgressBar::valueChanged, CommProg.get(), [&](int value) {
      if (clicked || value < 3000) return;
      clicked = true;
      CommProg->BitBtn1->click();
    });
    Presenter.Shown.clear();
    Sim.ClearFrames();
    RunTransfer(c.direction);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Stop communications"});
    EXPECT_EQ(Snapshot(*Core), untouched);
    EXPECT_FALSE(Sent("W527=0"));
    EXPECT_LT(Sim.FrameCount(), 400u);
    EXPECT_FALSE(Core->Protocol->IsOpen());
  }
}

TEST_F(TransferWindowTest, ModelQuestionYesStopsNoAdoptsAndWrites) {
  struct Case {
    const char* name;
    int answer;
    std::vector<std::string> texts;
    bool written;
  } cases[] = {
      {"Yes stops silently", kvl::kModalYes, {Message(5, 0)}, false},
      {"No adopts the controller's model", kvl::kModalNo, {Message(5, 0), "Write Complete"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    transfertest::SeedController(Sim, 5, std::vector<int>(19, 1));
    Start();
    Core->GetParam(8, 96, 1, 0)->Value = 0x0001;
    Core->GetParam(8, 97, 1, 0)->Value = 0;
    const std::string modelBefore = Core->ModelCode;
    Presenter.Answers = {c.answer};
    Presenter.Shown.clear();
    bool hiddenWhileAsked = false;
    Presenter.OnMessage = [&](const kvl::MessageDescription& m) {
      if (m.Text == Message(5, 0)) hiddenWhileAsked = !CommProg->isVisible();
    };
    int checks = 0;
    bool shownAgain = false;
    std::string captionAtCheck;
    CommProg->SetDataCheck([&](bool programs, bool parameters) {
      ++checks;
      EXPECT_TRUE(programs);
      EXPECT_TRUE(parameters);
      shownAgain = CommProg->isVisible();
      captionAtCheck = Main->Caption();
      return true;
    });
    Sim.ClearFrames();
    RunTransfer(1);
    EXPECT_EQ(Presenter.Texts(), c.texts);
    EXPECT_TRUE(hiddenWhileAsked);
    EXPECT_EQ(Sent("R508"), c.written);
    EXPECT_EQ(Sent("W527=0"), c.written);
    EXPECT_FALSE(Core->Protocol->IsOpen());
    EXPECT_FALSE(CommProg->isVisible());
    if (c.written) {
      EXPECT_EQ(checks, 1);
      EXPECT_TRUE(shownAgain);
      EXPECT_EQ(Core->GetParam(8, 96, 1, 0)->Value, 0x0844);
      EXPECT_EQ(Core->Model.HardwareType1, 0x0844);
      EXPECT_EQ(Core->Model.HardwareType2, 0x0031);
      EXPECT_NE(Core->ModelCode, modelBefore);
      EXPECT_EQ(captionAtCheck, kvl::MainCaption(Main->FileName, Core->ModelCode));
    } else {
      EXPECT_EQ(checks, 0);
      EXPECT_EQ(Core->GetParam(8, 96, 1, 0)->Value, 0x0001);
      EXPECT_EQ(Core->ModelCode, modelBefore);
    }
  }
}

TEST_F(TransferWindowTest, DataCheckAndModelCheckBeforeAWrite) {
  struct Case {
    const char* name;
    bool modelCheck;
    kvl::RangeChoice range;
    bool checkPasses;
    std::vector<std::string> texts;
    int checks;
    const char* firstFrame;
  } cases[] = {
      {"check fails", true, kvl::RangeForCommand(), false, {"Abnormalities are in a setup"}, 1, "R9997"},
      {"check passes", true, kvl::RangeForCommand(), true, {"Write Complete"}, 1, "R9997"},
      {"programs only", true, {true, false, true}, true, {"Write Complete"}, 1, "R9997"},
      {"model check off", false, kvl::RangeForCommand(), false, {"Write Complete"}, 0, "R508"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    transfertest::SeedController(Sim, 8, std::vector<int>(19, 1));
    Start();
    MatchModel();
    Range->SetRange(c.range);
    CommProg->SetModelCheck([&] { return c.modelCheck; });
    int checks = 0;
    CommProg->SetDataCheck([&](bool programs, bool parameters) {
      ++checks;
      EXPECT_EQ(programs, c.range.CheckProgram);
      EXPECT_EQ(parameters, c.range.CheckParameter);
      return c.checkPasses;
    });
    Sim.ClearFrames();
    RunTransfer(1);
    EXPECT_EQ(Presenter.Texts(), c.texts);
    EXPECT_EQ(checks, c.checks);
    ASSERT_FALSE(Tokens().empty());
    EXPECT_EQ(Tokens().front(), c.firstFrame);
    EXPECT_EQ(Sent("R508"), c.texts.back() == "Write Complete");
    EXPECT_FALSE(Core->Protocol->IsOpen());
    Presenter.Shown.clear();
  }
}

TEST_F(TransferWindowTest, ReadWithModelCheckOffStartsWithTheFirstRange) {
  struct Case {
    kvl::RangeChoice range;
    const char* firstFrame;
    int maximum;
  } cases[] = {
      {kvl::RangeForCommand(), "r1.0@1x7", 13627},
      {kvl::RangeForWizardRead(), "R", 517},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstFrame);
    Sim.ClearFrames();
    Presenter.Shown.clear();
    Range->SetRange(c.range);
    CommProg->SetModelCheck([] { return false; });
    RunTransfer(0);
    EXPECT_EQ(Presenter.Texts(), std::vector<std::string>{"Read Complete"});
    ASSERT_FALSE(Tokens().empty());
    EXPECT_EQ(Tokens().front().rfind(c.firstFrame, 0), 0u) << Tokens().front();
    EXPECT_EQ(CommProg->ProgressBar1->maximum(), c.maximum);
  }
}

// Closing the windows while a job runs cancels it and waits for it.
TEST_F(TransferWindowTest, WindowGoingAwayMidJob) {
  transfertest::SeedController(Sim, 2, std::vector<int>(19, 30));
  Core->Protocol->ReceiveTimeout = 10000;  // the end must not wait for it
  bool clicked = false;
  QObject::connect(CommProg->ProgressBar1, &QProgressBar::valueChanged, CommProg.get(), [&](int value) {
    if (clicked || value < 1000) return;
    clicked = true;
    CommProg->CloseWindow();  // leaves the job running
  });
  const transfertest::ImageSnapshot before = Snapshot(*Core);
  Main->CommDirection = 0;
  CommProg->Execute();
  EXPECT_TRUE(CommProg->WorkerRunning());
  const auto start = std::chrono::steady_clock::now();
  CommProg.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(Core->Protocol->ReceiveTimeout / 2));
  EXPECT_TRUE(Presenter.Shown.empty());
  EXPECT_EQ(Snapshot(*Core), before);
  EXPECT_FALSE(Core->Protocol->IsOpen());
}

}  // namespace
