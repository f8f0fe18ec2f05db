// The continuous exerciser against the simulated controller: it runs rounds
// of reads and writes, counts frames and failures on the user-interface
// thread, and stops cleanly.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QtTest/QTest>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "MessageCatalog.h"
#include "ServiceFixture.h"
#include "URenzokuthread.h"

namespace {

using servicetest::ServiceToolsTest;

bool OnUiThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

class ExerciserTest : public ServiceToolsTest {
 protected:
  void SetUp() override {
    ServiceToolsTest::SetUp();
    Start();
    // Parameters only keep a round short.
    Range->SetRange({false, true, true});
    for (QLineEdit* edit : {Counter->EditComm, Counter->EditError})
      QObject::connect(edit, &QLineEdit::textChanged, edit, [this] {
        if (!OnUiThread()) ++OffThreadTouches;
      });
  }
  void TearDown() override {
    EXPECT_EQ(OffThreadTouches, 0);
    ServiceToolsTest::TearDown();
  }
  // Handles events until the condition holds (or 10 s have passed).
  bool WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
      if (timer.elapsed() > 10000) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }
  int OffThreadTouches = 0;
};

TEST_F(ExerciserTest, RunsRoundsAndStopsCleanly) {
  Counter->EditComm->setText(QStringLiteral("77"));
  Test->Button2Click();
  ASSERT_EQ(Presenter.Shown.size(), 1u);
  EXPECT_EQ(Presenter.Shown[0].Text, "連続開始");
  EXPECT_EQ(Presenter.Shown[0].Buttons.size(), 2u);
  EXPECT_TRUE(Counter->isVisible());
  ASSERT_TRUE(Test->ExerciserRunning());
  // Several rounds: a parameter read is 17 frames.
  ASSERT_TRUE(WaitFor([this] { return Counter->FrameCount() >= 120; }));
  EXPECT_EQ(Counter->ErrorCount(), 0);

  // One refused parameter read is counted, logged and the loop goes on.
  Sim.AddFault({kvlsim::FaultKind::Refusal, 0, kvlsim::FrameKind::ReadWords, -1, 1, 0x45});
  ASSERT_TRUE(WaitFor([this] { return Counter->ErrorCount() == 1; }));
  const long framesBefore = Counter->FrameCount();
  ASSERT_TRUE(WaitFor([&] { return Counter->FrameCount() > framesBefore + 40; }));
  EXPECT_TRUE(Test->LogLines().contains(QString::fromUtf8("Q70状態エラー")));

  Test->Button3Click();
  EXPECT_EQ(Presenter.Shown.back().Text, "連続停止");
  Test->WaitForExerciser();
  EXPECT_FALSE(Test->ExerciserRunning());
  EXPECT_FALSE(Core->Protocol->IsOpen());
  EXPECT_EQ(Counter->ErrorCount(), 1);
  EXPECT_EQ(LastLine(), "");
  // What moved followed the range dialog: parameters only.
  for (const kvlsim::FrameRecord& frame : Sim.Frames()) {
    EXPECT_NE(frame.Kind, kvlsim::FrameKind::ReadProgram);
    EXPECT_NE(frame.Kind, kvlsim::FrameKind::WriteProgram);
  }
  // A stop when none runs asks nothing.
  const size_t shown = Presenter.Shown.size();
  Test->Button3Click();
  EXPECT_EQ(Presenter.Shown.size(), shown);
}

TEST_F(ExerciserTest, FramesAreCountedOnlyWhileTheCounterIsVisible) {
  Test->Button2Click();
  ASSERT_TRUE(WaitFor([this] { return Counter->FrameCount() >= 20; }));
  Counter->hide();
  QCoreApplication::processEvents();
  const long counted = Counter->FrameCount();
  const size_t frames = Sim.FrameCount();
  ASSERT_TRUE(WaitFor([&] { return Sim.FrameCount() > frames + 60; }));
  EXPECT_EQ(Counter->FrameCount(), counted);
  Test->Button3Click();
  Test->WaitForExerciser();
}

TEST_F(ExerciserTest, CancelStartsNothingAndOneRunsAtATime) {
  Presenter.Answers = {kvl::kModalCancel};
  Test->Button2Click();
  EXPECT_FALSE(Test->ExerciserRunning());
  EXPECT_FALSE(Counter->isVisible());

  Test->Button2Click();
  ASSERT_TRUE(Test->ExerciserRunning());
  const size_t shown = Presenter.Shown.size();
  Test->Button2Click();  // a second start while one runs
  EXPECT_EQ(Presenter.Shown.size(), shown);
  // The window's own buttons keep off the port meanwhile.
  const QStringList before = Test->LogLines();
  Test->SHLReadClick();
  Test->Button6Click();
  EXPECT_EQ(Test->LogLines(), before);

  // A stop answered with Cancel goes on.
  Presenter.Answers = {kvl::kModalCancel};
  Test->Button3Click();
  EXPECT_TRUE(Test->ExerciserRunning());
  Test->Button3Click();
  Test->WaitForExerciser();
  EXPECT_FALSE(Test->ExerciserRunning());
}

TEST_F(ExerciserTest, PortThatCannotOpenEndsWithMessage) {
  Core->LineSetting = 0;  // refused before opening
  Test->Button2Click();
  Test->WaitForExerciser();
  ASSERT_TRUE(WaitFor([this] { return Presenter.Shown.size() == 2; }));
  EXPECT_EQ(Presenter.Shown[1].Text, kvl::DescribeMessage(kvl::kMessageTransfer, 5, 1, "").Text);
  EXPECT_EQ(Counter->FrameCount(), 0);
  // Once it has gone, a new one may start.
  ASSERT_TRUE(WaitFor([this] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Core->LineSetting = 13;
    Test->Button2Click();
    return Test->ExerciserRunning();
  }));
}

// A line that fails every frame at once (its other end closed): the loop
// goes on counting and logging failures, the log keeps only its newest
// lines, and the stop ends the loop.
TEST_F(ExerciserTest, ALineFailingEveryFrameAtOnceKeepsTheLogBoundedAndStops) {
  // With nothing checked in the range a round is only the model read and the
  // mode word: it must not spin either.
  for (const bool nothingChecked : {false, true}) {
    SCOPED_TRACE(nothingChecked ? "nothing checked" : "parameters checked");
    Range->SetRange({false, !nothingChecked, true});
    for (int i = 0; i < TWQTTEST::kLogLineLimit; ++i) Test->Memo1->appendPlainText(QStringLiteral("old %1").arg(i));
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    ::setenv("KVLQ70_COM1", ::ptsname(master), 1);
    // A start does nothing until the previous worker is gone.
    ASSERT_TRUE(WaitFor([this] {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      Test->Button2Click();
      return Test->ExerciserRunning();
    }));
    ASSERT_TRUE(WaitFor([this] { return Core->Protocol->IsOpen(); }));
    QElapsedTimer since;
    since.start();
    ::close(master);

    ASSERT_TRUE(WaitFor([this] { return Counter->ErrorCount() >= 30; }));
    // Three failures a round, and a round that fails at once still takes its
    // time: the loop does not spin (a slow machine only makes it slower).
    const long rounds = since.elapsed() / TRenzoku::kFailedRoundMs + 2;
    EXPECT_LE(Counter->ErrorCount(), 3 * rounds);
    EXPECT_TRUE(Test->ExerciserRunning()) << "a failure does not end the loop";
    const QStringList lines = Test->LogLines();
    EXPECT_LE(lines.size(), TWQTTEST::kLogLineLimit);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_NE(lines.front(), QStringLiteral("old 0")) << "the oldest lines go";
    EXPECT_EQ(lines.back(), QString::fromUtf8("通信エラー"));

    Test->Button3Click();
    ASSERT_TRUE(WaitFor([this] { return !Test->ExerciserRunning(); }));
    const long errors = Counter->ErrorCount();
    EXPECT_EQ(LastLine(), "");
    EXPECT_NE(Test->LogLines().at(Test->LogLines().size() - 2), QString()) << "one empty line after the stop";
    EXPECT_LE(Test->LogLines().size(), TWQTTEST::kLogLineLimit);
    QCoreApplication::processEvents();
    EXPECT_EQ(Counter->ErrorCount(), errors);
    EXPECT_FALSE(Core->Protocol->IsOpen());
  }
}

TEST_F(ExerciserTest, ClosingTheWindowsWhileRunningStopsTheWorker) {
  Test->Button2Click();
  ASSERT_TRUE(WaitFor([this] { return Counter->FrameCount() >= 20; }));
  Test.reset();
  EXPECT_FALSE(Core->Protocol->IsOpen());
}

TEST_F(ExerciserTest, TheCentredCounterCoversNoControlOfTheTesterPage) {
  Test->show();
  Test->PageControl1->setCurrentWidget(Test->TabSheet3);
  QTest::mouseClick(Test->Button2, Qt::LeftButton);
  ASSERT_TRUE(Counter->isVisible());
  ASSERT_TRUE(Test->ExerciserRunning());
  for (bool maximized : {false, true}) {
    SCOPED_TRACE(maximized ? "maximized" : "default size");
    if (maximized) Test->showMaximized();
    QCoreApplication::processEvents();
    const QRect counter = Counter->frameGeometry();
    // Both windows are centred on the screen.
    const QRect screen = Test->screen()->availableGeometry();
    EXPECT_LE((counter.center() - screen.center()).manhattanLength(), 4);
    if (!maximized) {
      EXPECT_LE((Test->frameGeometry().center() - screen.center()).manhattanLength(), 4);
    }
    for (QWidget* control : Test->TabSheet3->findChildren<QWidget*>()) {
      if (!control->isVisible()) continue;
      const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
      EXPECT_FALSE(global.intersects(counter)) << control->objectName().toStdString();
    }
  }
  // The stop button takes its click.
  QTest::mouseClick(Test->Button3, Qt::LeftButton);
  EXPECT_EQ(Presenter.Shown.back().Text, "連続停止");
  Test->WaitForExerciser();
  EXPECT_FALSE(Test->ExerciserRunning());
}

}  // namespace
