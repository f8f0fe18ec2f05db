// The transfer windows around a started main window whose port 1 leads to a
// simulated controller; every dialog goes through a presenter that records
// messages and either answers a form as the test says or shows it for real
// (offscreen).
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "ComSet.h"
#include "ControllerSim.h"
#include "Settings.h"
#include "StartupRules.h"
#include "TestSupport.h"
#include "WindowTestPort.h"
#include "UCommunication.h"
#include "UCore.h"
#include "cdialog.h"
#include "mainform.h"
#include "progress.h"

namespace commuitest {

class FormPresenter : public kvltest::RecordingPresenter {
 public:
  int ShowModal(const kvl::MessageDescription& message) override {
    if (OnMessage) OnMessage(message);
    return RecordingPresenter::ShowModal(message);
  }
  int ShowForm(kvl::TModalForm& form) override {
    FormsShown.push_back(form.FormCaption());
    std::function<int(kvl::TModalForm&)> action;
    if (!FormActions.empty()) {
      action = std::move(FormActions.front());
      FormActions.pop_front();
    }
    return action ? action(form) : form.ExecModal();
  }
  // The texts of the messages shown so far.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const kvl::MessageDescription& m : Shown) texts.push_back(m.Text);
    return texts;
  }

  // How the next forms are answered, in order; an empty action shows the
  // form for real. None queued: shown for real.
  std::deque<std::function<int(kvl::TModalForm&)>> FormActions;
  std::vector<std::string> FormsShown;  // captions
  std::function<void(const kvl::MessageDescription&)> OnMessage;
};

class CommWindowsTest : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(kvltest::StartWindowTestPort(Sim)); }
  void TearDown() override {
    Stop();
    kvltest::StopWindowTestPort(Sim);
  }

  std::string IniPath() const { return Dir.filePath(QStringLiteral("Kvlq70.ini")).toStdString(); }

  // The main window started in English (0x409) or Japanese (0x411), the
  // data image and the transfer windows in their order of creation.
  void Start(uint16_t langId = 0x409) {
    Presenter.Shown.clear();
    Presenter.Answers.clear();
    Presenter.FormActions.clear();
    Presenter.FormsShown.clear();
    TMainFormOptions options;
    options.UserLangId = langId;
    options.PathExists = [](const std::string&) { return false; };
    const std::string ini = IniPath();
    options.OpenSettings = [ini] { return std::make_unique<kvl::TIniSettingsStore>(ini); };
    Main = std::make_unique<TMainForm>(Presenter, std::move(options));
    Core = std::make_unique<TCore>(Main->Language);
    Main->AttachCore(*Core);
    Main->ReadWizardWords();
    ComSet = std::make_unique<TComSet>(*Main, *Core, Presenter);
    CommProg = std::make_unique<TCommProg>(*Main, *Core, Presenter);
    Confirm = std::make_unique<Tcommdialog>(Main->Language);
    Range = std::make_unique<TCommunication>(*Main, *Confirm, Presenter);
    CommProg->SetRangeDialog(Range.get());
    Main->FinishStart();
    // A fast line, and short waits where the controller stays silent.
    Core->LineSetting = 13;
    Core->Protocol->ReceiveTimeout = 150;
  }

  void Stop() {
    CommProg.reset();
    Range.reset();
    Confirm.reset();
    ComSet.reset();
    Main.reset();
    Core.reset();
  }

  // Every pattern of the image uses all its segments.
  void FillPrograms() {
    for (int p = 1; p <= kPatternCount; ++p)
      for (int s = 1; s <= kSegmentCount; ++s)
        for (int i = 1; i <= kSegmentItemCount; ++i) Core->GetPatternValue(p, i, s)->Value = static_cast<int16_t>(s);
  }

  // Makes the image's model words equal to the controller's.
  void MatchModel() {
    Core->GetParam(8, 96, 1, 0)->Value = static_cast<int16_t>(Sim.Word(4596));
    Core->GetParam(8, 97, 1, 0)->Value = static_cast<int16_t>(Sim.Word(4597));
  }

  // A transfer as the read and write commands run it once the range dialog
  // has closed with OK: direction, caption, the progress window through the
  // presenter; then until its worker has ended.
  void RunTransfer(int direction) {
    Main->CommDirection = direction;
    CommProg->SetDirectionCaption(direction);
    CommProg->Execute();
    CommProg->WaitForWorker();
  }

  QTemporaryDir Dir;
  FormPresenter Presenter;
  kvlsim::TControllerSim Sim;
  std::unique_ptr<TMainForm> Main;
  std::unique_ptr<TCore> Core;
  std::unique_ptr<TComSet> ComSet;
  std::unique_ptr<TCommProg> CommProg;
  std::unique_ptr<Tcommdialog> Confirm;
  std::unique_ptr<TCommunication> Range;
};

}  // namespace commuitest
