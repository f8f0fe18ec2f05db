// The protocol test window against the simulated controller: one frame of
// each kind and the text commands, with the log lines they leave.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "MessageCatalog.h"
#include "ServiceFixture.h"
#include "ServiceToolRules.h"

namespace {

using servicetest::ServiceToolsTest;
using kvlsim::FrameKind;

class ProtocolTestWindowTest : public ServiceToolsTest {
 protected:
  void SetUp() override {
    ServiceToolsTest::SetUp();
    Start();
  }
  void Type(QLineEdit* edit, const char* text) { edit->setText(QString::fromLatin1(text)); }
  kvlsim::FrameRecord LastFrame() const {
    const auto frames = Sim.Frames();
    return frames.empty() ? kvlsim::FrameRecord{} : frames.back();
  }
};

TEST_F(ProtocolTestWindowTest, ShlReadLogsSignedWords) {
  Sim.SetWord(600, 1);
  Sim.SetWord(601, 0xFFFE);
  Sim.SetWord(602, 3);
  Type(Test->Edit1, "600");
  Type(Test->Edit2, "3");
  Test->SHLReadClick();
  EXPECT_EQ(LastLine(), "Read  600:3:1,-2,3");
  EXPECT_FALSE(Core->Protocol->IsOpen());
}

TEST_F(ProtocolTestWindowTest, ShlWriteStoresTheValueOrLogsTheError) {
  Sim.SetWord(600, 0);
  Type(Test->Edit1, "600");
  Type(Test->Edit2, "-5");
  Test->SHLWriteClick();
  EXPECT_EQ(LastLine(), "Write 600:-5:");
  EXPECT_EQ(Sim.Word(600), 0xFFFB);

  // A controller that does not answer: four tries, then the time-out.
  Sim.ClearFrames();
  Sim.AddFault({kvlsim::FaultKind::Silence, 0, FrameKind::Any, -1, -1});
  Type(Test->Edit2, "1");
  Test->SHLWriteClick();
  EXPECT_EQ(LastLine(), "Write 600:1:Error00010000");
  EXPECT_EQ(Sim.FrameCount(), 4u);
}

TEST_F(ProtocolTestWindowTest, RefusedFramesAreLoggedAsErrorsWhateverTheirStatus) {
  Sim.SetWord(600, 1);
  Sim.SetWord(601, 2);
  Type(Test->Edit1, "600");
  Type(Test->Edit2, "2");
  const struct {
    uint8_t status;
    const char* read;   // the SHL Read line
    const char* write;  // the SHL Write line
  } cases[] = {
      {0x47, "Read  600:2:Error47000000", "Write 600:2:Error47000000"},
      {0xC5, "Read  600:2:Error45000000", "Write 600:2:Error45000000"},
      // Its error word is 0, and it is an error all the same.
      {0x00, "Read  600:2:Error00000000", "Write 600:2:Error00000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    Sim.ClearFaults();
    Sim.ClearFrames();
    Sim.AddFault({kvlsim::FaultKind::Refusal, 0, FrameKind::Any, -1, -1, c.status});
    Test->SHLReadClick();
    EXPECT_EQ(LastLine(), c.read);
    Test->SHLWriteClick();
    EXPECT_EQ(LastLine(), c.write);
    EXPECT_EQ(Sim.FrameCount(), 2u) << "a refusal is not sent again";
  }
}

TEST_F(ProtocolTestWindowTest, ProgramFramesReadWriteAndDelete) {
  Sim.SetProgramWord(2, 3, 1, 250);
  Sim.SetProgramWord(2, 3, 2, 0xFFFF);
  Type(Test->Edit1, "1");  // start item
  Type(Test->Edit2, "2");  // count
  Type(Test->Edit3, "2");  // program
  Type(Test->Edit4, "3");  // segment
  Test->ProgReadClick();
  EXPECT_EQ(LastLine(), "Read Prog2:3:1:2:250,-1");
  EXPECT_EQ(LastFrame().Kind, FrameKind::ReadProgram);

  Type(Test->Edit1, "2");
  Type(Test->Edit2, "77");
  Test->ProgWriteClick();
  EXPECT_EQ(LastLine(), "Write Prog2:3:2:77:");
  EXPECT_EQ(Sim.ProgramWord(2, 3, 2), 77);

  for (int s = 1; s <= 5; ++s) Sim.SetProgramWord(2, s, 1, 100);
  Test->ProgDeleteClick();
  EXPECT_EQ(LastLine(), "Delete 2:3:");
  EXPECT_EQ(LastFrame().Kind, FrameKind::DeleteProgram);
  EXPECT_EQ(Sim.UsedSegments(2), 2);
}

TEST_F(ProtocolTestWindowTest, BadNumbersSendNothing) {
  struct Case {
    const char* Address;
    const char* Count;
    const char* Line;  // "" when the conversion error is shown instead
  };
  const Case cases[] = {
      {"6o0", "3", ""},
      {"600", "", ""},
      {"600", "126", "Read  600:126:Error00080000"},    // over the frame limit
      {"600", "65537", "Read  600:65537:Error00080000"},  // would wrap to 1
      {"70000", "1", "Read  70000:1:Error00080000"},
      {"600", "-1", "Read  600:-1:Error00080000"},
  };
  for (const Case& c : cases) {
    Presenter.Shown.clear();
    Test->Button1Click();
    Sim.ClearFrames();
    Type(Test->Edit1, c.Address);
    Type(Test->Edit2, c.Count);
    Test->SHLReadClick();
    EXPECT_EQ(Sim.FrameCount(), 0u) << c.Address << " " << c.Count;
    if (c.Line[0] == '\0') {
      EXPECT_TRUE(Test->LogLines().isEmpty());
      ASSERT_EQ(Presenter.Shown.size(), 1u);
      EXPECT_NE(Presenter.Shown[0].Text.find("is not a valid integer value"), std::string::npos);
    } else {
      EXPECT_EQ(LastLine(), c.Line);
      EXPECT_TRUE(Presenter.Shown.empty());
    }
  }
}

TEST_F(ProtocolTestWindowTest, TextCommandsShowTheReply) {
  Sim.SetTextResponder([](const std::string& body) { return body == "RD10000001" ? "OK0123" : "OK"; });
  Test->Button6Click();
  EXPECT_EQ(LastLine(), "RD10000001:OK0123");
  EXPECT_EQ(LastFrame().Kind, FrameKind::Text);
  EXPECT_EQ(LastFrame().Text, "RD10000001");

  // The tester page: its text, then the history.
  Test->ComboBox1->setEditText(QStringLiteral("@@02XY"));
  Test->Button4Click();
  EXPECT_EQ(LastLine(), "@@02XY:OK");
  EXPECT_GE(Test->ComboBox1->findText(QStringLiteral("@@02XY")), 0);
  EXPECT_TRUE(Test->Button4->isEnabled());
  EXPECT_TRUE(Test->Button5->isEnabled());
  Test->Button7Click();
  EXPECT_EQ(Test->ComboBox1->count(), 0);
}

TEST_F(ProtocolTestWindowTest, EnterSendsTheTextCommandsOnceFromTheFocusedBox) {
  Test->show();
  Test->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Test.get()));
  Test->PageControl1->setCurrentWidget(Test->TabSheet2);
  Test->Edit6->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(LastLine(), "RD10000001:OK");

  // The tester box: both Enter keys, the main one and the keypad's.
  Test->PageControl1->setCurrentWidget(Test->TabSheet3);
  Test->ComboBox1->setFocus();
  Test->ComboBox1->setEditText(QStringLiteral("@@01TESTER"));
  const int historyBefore = Test->ComboBox1->count();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(LastLine(), "@@01TESTER:OK");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(Test->LogLines().size(), 3) << Test->LogLines().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(Test->ComboBox1->count(), historyBefore + 2);
  EXPECT_EQ(Test->ComboBox1->currentText().toStdString(), "@@01TESTER");
  EXPECT_TRUE(Test->isVisible());  // Enter does not close the window
}

TEST_F(ProtocolTestWindowTest, EveryTextSentGoesToTheHistory) {
  // "@@" is already in the list; it is added again, as a new text is.
  for (const char* text : {"@@", "@@02XY", "@@"}) {
    Test->ComboBox1->setEditText(QString::fromLatin1(text));
    Test->Button4Click();
  }
  QStringList items;
  for (int i = 0; i < Test->ComboBox1->count(); ++i) items << Test->ComboBox1->itemText(i);
  EXPECT_EQ(items.join(QLatin1Char('|')).toStdString(), "@@01TESTER|@@|@@|@@02XY|@@");
  // The repeat sends without adding.
  Test->Timer1Timer();
  EXPECT_EQ(Test->ComboBox1->count(), 5);
}

TEST_F(ProtocolTestWindowTest, StationAddressFromTheEnvironmentAndTheTesterResetsIt) {
  kvlsim::Config config = Sim.GetConfig();
  config.Station = 2;
  Sim.SetConfig(config);
  Main->Settings.Address = 2;
  Test->Button6Click();
  EXPECT_EQ(LastLine(), "RD10000001:OK");
  EXPECT_EQ(Core->Protocol->Wqt.Station, 2);  // the WQT page leaves it
  Test->ComboBox1->setEditText(QStringLiteral("@@"));
  Test->Button4Click();
  EXPECT_EQ(LastLine(), "@@:OK");
  EXPECT_EQ(Core->Protocol->Wqt.Station, 1);

  // A controller that does not answer: an empty reply.
  Main->Settings.Address = 5;
  Test->Button6Click();
  EXPECT_EQ(LastLine(), "RD10000001:");
}

TEST_F(ProtocolTestWindowTest, SumOffSendsWithoutChecksumUntilOn) {
  Test->Button6Click();
  const size_t withSum = LastFrame().Bytes.size();
  Test->RadioGroup2Items->button(1)->setChecked(true);
  Test->RadioGroup2Click();
  EXPECT_EQ(Core->Protocol->Wqt.ChecksumFlag, 0);
  Test->Button6Click();
  EXPECT_EQ(LastLine(), "RD10000001:OK");
  EXPECT_EQ(LastFrame().Bytes.size(), withSum - 2);
  Test->Button6Click();
  EXPECT_EQ(LastFrame().Bytes.size(), withSum - 2);
  Test->RadioGroup2Items->button(0)->setChecked(true);
  Test->RadioGroup2Click();
  Test->Button6Click();
  EXPECT_EQ(LastFrame().Bytes.size(), withSum);

  Test->RadioGroup1Items->button(5)->setChecked(true);
  Test->RadioGroup1Click();
  EXPECT_EQ(Core->LineSetting, 11);
}

TEST_F(ProtocolTestWindowTest, RepeatDisablesOneCommandUntilClosed) {
  Test->show();
  Test->Button5Click();
  EXPECT_TRUE(Test->Timer1->isActive());
  EXPECT_EQ(Test->Timer1->interval(), 500);
  EXPECT_FALSE(Test->Button4->isEnabled());
  Test->Timer1Timer();
  EXPECT_EQ(LastLine(), "@@:OK");
  Test->BitBtn1Click();
  EXPECT_FALSE(Test->Timer1->isActive());
  EXPECT_TRUE(Test->Button4->isEnabled());
  EXPECT_FALSE(Test->isVisible());

  Test->Button5Click();
  Test->Button5Click();
  EXPECT_FALSE(Test->Timer1->isActive());
  EXPECT_TRUE(Test->Button4->isEnabled());
}

TEST_F(ProtocolTestWindowTest, ExtensionShowsTheControlPanelAndTheMenuShowsTheWindow) {
  Test->Button8Click();
  EXPECT_EQ(Presenter.FormsShown, std::vector<std::string>{"Control Panel"});
  Main->HookCommTest(Test.get());
  Main->MenuItem("SHLRW1")->trigger();
  EXPECT_TRUE(Test->isVisible());
  EXPECT_FALSE(Test->isModal());
  EXPECT_EQ(Test->windowTitle().toStdString(), "Communication TEST Command Window");
}

TEST_F(ProtocolTestWindowTest, TheMenuShowsTheTesterPageTheLineSpeedAndTheMainWindowState) {
  Main->HookCommTest(Test.get());
  EXPECT_EQ(Test->PageControl1->currentWidget(), Test->TabSheet1);
  const struct {
    int32_t Setting;
    int Item;
    Qt::WindowState State;
  } cases[] = {{5, 2, Qt::WindowNoState}, {14, 6, Qt::WindowMaximized}, {1, 0, Qt::WindowNoState}, {11, 5, Qt::WindowMaximized}};
  for (const auto& c : cases) {
    Test->hide();
    Test->PageControl1->setCurrentWidget(Test->TabSheet2);
    Core->LineSetting = c.Setting;
    Main->setWindowState(c.State);
    Main->MenuItem("SHLRW1")->trigger();
    EXPECT_TRUE(Test->isVisible()) << c.Setting;
    EXPECT_EQ(Test->PageControl1->currentWidget(), Test->TabSheet3) << c.Setting;
    EXPECT_EQ(Test->RadioGroup1Items->checkedId(), c.Item) << c.Setting;
    EXPECT_EQ(Test->windowState() & Qt::WindowMaximized, c.State & Qt::WindowMaximized) << c.Setting;
    // Showing the choice changes no line setting.
    EXPECT_EQ(Core->LineSetting, c.Setting);
  }
}

}  // namespace
