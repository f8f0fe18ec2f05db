#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include "Application.h"
#include "Settings.h"

namespace kvltest {

int RecordingPresenter::ShowModal(const kvl::MessageDescription& message) {
  Shown.push_back(message);
  if (!Answers.empty()) {
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  return message.Buttons.at(static_cast<size_t>(message.DefaultButton)).Result;
}

bool RecordingPresenter::ChooseFile(const kvl::FileChooserDescription& chooser, std::string* path) {
  Choosers.push_back(chooser);
  if (Files.empty()) return false;
  const std::string answer = Files.front();
  Files.pop_front();
  if (answer.empty()) return false;
  *path = answer;
  return true;
}

int AnsweringPresenter::ShowForm(kvl::TModalForm& form) {
  FormsShown.push_back(form.FormCaption());
  if (BeforeAnswer) BeforeAnswer(form);
  return form.AnswerKey(AnswerEnter);
}

ModalWatch::ModalWatch(std::function<bool()> act, std::chrono::milliseconds limit)
    : Act(std::move(act)), Limit(limit), Deadline(std::chrono::steady_clock::now() + limit) {
  Timer.setInterval(10);
  QObject::connect(&Timer, &QTimer::timeout, [this] { Poll(); });
  Timer.start();
}

void ModalWatch::Poll() {
  if (std::chrono::steady_clock::now() < Deadline) {
    if (!Acted) Acted = Act();
    return;
  }
  if (!Expired) {
    Expired = true;
    ADD_FAILURE() << (Acted ? "the modal call did not end" : "no modal dialog to act on") << " within "
                  << Limit.count() << " ms";
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || window->windowModality() == Qt::NonModal) continue;
    if (auto* dialog = qobject_cast<QDialog*>(window))
      dialog->reject();
    else
      window->close();
  }
}

RecordingPresenter& ApplicationPresenter() {
  static RecordingPresenter presenter;
  return presenter;
}

namespace {

// One application object for the whole test program, on the offscreen
// platform, created before the first test runs.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    App = std::make_unique<kvl::TApplication>(argc, argv, ApplicationPresenter());
    kvl::InstallFontSubstitutes();
  }
  void TearDown() override { App.reset(); }

 private:
  std::unique_ptr<kvl::TApplication> App;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Stops the main window's start-up timer right after the window has been
// shown (ShowToParent follows the show event, in which the timer starts),
// unless the harness keeps it.
class StartTimerStopper : public QObject {
 public:
  StartTimerStopper(TMainForm& form, const bool& keep) : QObject(&form), Form(form), Keep(keep) {
    form.installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &Form && event->type() == QEvent::ShowToParent && !Keep) Form.Timer1->stop();
    return false;
  }

 private:
  TMainForm& Form;
  const bool& Keep;
};

}  // namespace

MainFormHarness::MainFormHarness() {
  kvl::SetScreenWidthForTesting(1280);
  kvl::SetApplicationTitle("KVL-Q70");
}

MainFormHarness::~MainFormHarness() {
  Stop();
  kvl::SetScreenWidthForTesting(-1);
}

void MainFormHarness::Stop() {
  Form.reset();
  Core.reset();
}

std::string MainFormHarness::IniPath() const { return Dir.filePath(QStringLiteral("Kvlq70.ini")).toStdString(); }

bool MainFormHarness::WaitForStartTimer(int limitMs) {
  return Form && QTest::qWaitFor([this] { return !Form->Timer1->isActive(); }, limitMs);
}

void MainFormHarness::Start(std::vector<std::string> words, uint16_t langId, std::set<std::string> existing,
                            bool finish) {
  TMainFormOptions options;
  options.Words = std::move(words);
  options.UserLangId = langId;
  options.PathExists = [existing](const std::string& path) { return existing.count(path) != 0; };
  const std::string ini = IniPath();
  options.OpenSettings = [ini] { return std::make_unique<kvl::TIniSettingsStore>(ini); };
  kvl::TDialogPresenter& presenter = WindowPresenter ? *WindowPresenter : Presenter;
  Form = std::make_unique<TMainForm>(presenter, std::move(options));
  new StartTimerStopper(*Form, KeepStartTimer);  // a child of the window
  Core = std::make_unique<TCore>(Form->Language);
  Form->AttachCore(*Core);
  Form->ReadWizardWords();
  if (finish) Form->FinishStart();
}

}  // namespace kvltest
