// The transfer windows around a started main window whose port 1 leads to a
// simulated controller; every dialog goes through a presenter that records
// messages and either answers a form as the test says or shows it for real
// (offscreen).
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>

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

  std::string IniPath() const { return Window.IniPath(); }

  // The main window started in English (0x409) or Japanese (0x411), the
  // data image and the transfer windows in their order of creation.
  void Start(uint16_t langId = 0x409) {
    Presenter.Shown.clear();
    Presenter.Answers.clear();
    Presenter.FormActions.clear();
    Presenter.FormsShown.clear();
    Window.WindowPresenter = &Presenter;
    Window.Start({}, langId, {}, false);
    Main = Window.Form.get();
    Core = Window.Core.get();
    ComSet = std::make_unique<TComSet>(*Main, *Core, Presenter);
    CommProg = std::make_unique<TCommProg>(*Main, *Core, Presenter);
    Confirm = std::make_unique<Tcommdialog>(Main->Language);
    Range = std::make_unique<TCommunication>(*Main, *Confirm, Presenter);
    CommProg->SetRangeDialog(Range.get());
    Main->FinishStart();
    // A fast line, and waits short where the controller stays silent yet
    // long enough for every answer on a loaded machine.
    Core->LineSetting = 13;
    Core->Protocol->ReceiveTimeout = 500;
  }

  void Stop() {
    CommProg.reset();
    Range.reset();
    Confirm.reset();
    ComSet.reset();
    Window.Stop();
    Main = nullptr;
    Core = nullptr;
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

  FormPresenter Presenter;
  kvltest::MainFormHarness Window;
  kvlsim::TControllerSim Sim;
  TMainForm* Main = nullptr;
  TCore* Core = nullptr;
  std::unique_ptr<TComSet> ComSet;
  std::unique_ptr<TCommProg> CommProg;
  std::unique_ptr<Tcommdialog> Confirm;
  std::unique_ptr<TCommunication> Range;
};

}  // namespace commuitest
