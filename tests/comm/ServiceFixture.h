// The service tools around a started main window whose port 1 leads to a
// simulated controller; every dialog goes through a recording presenter.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "Application.h"
#include "ControllerSim.h"
#include "StartupRules.h"
#include "TestSupport.h"
#include "WindowTestPort.h"
#include "UCommunication.h"
#include "UCore.h"
#include "URenzoku.h"
#include "cdialog.h"
#include "ctrlpanel.h"
#include "mainform.h"
#include "twqttest.h"

namespace servicetest {

class ServiceToolsTest : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(kvltest::StartWindowTestPort(Sim)); }
  void TearDown() override {
    Stop();
    kvltest::StopWindowTestPort(Sim);
  }

  // The main window in English (0x409) or Japanese (0x411), the data image
  // and the service windows.
  void Start(uint16_t langId = 0x409) {
    Window.WindowPresenter = &Presenter;
    Window.Start({}, langId, {}, false);
    Main = Window.Form.get();
    Core = Window.Core.get();
    Confirm = std::make_unique<Tcommdialog>(Main->Language);
    Range = std::make_unique<TCommunication>(*Main, *Confirm, Presenter);
    Counter = std::make_unique<TRenzokuComm>();
    Test = std::make_unique<TWQTTEST>(*Main, *Core, *Counter, Presenter);
    Panel = std::make_unique<TFormCtrl>(*Main, *Core, Presenter);
    Test->SetControlPanel(Panel.get());
    Test->SetRangeDialog(Range.get());
    Main->FinishStart();
    // A fast line, and waits short where the controller stays silent yet
    // long enough for every answer on a loaded machine.
    Core->LineSetting = 13;
    Core->Protocol->ReceiveTimeout = 500;
    Presenter.Shown.clear();
  }

  void Stop() {
    Test.reset();
    Panel.reset();
    Counter.reset();
    Range.reset();
    Confirm.reset();
    Window.Stop();
    Main = nullptr;
    Core = nullptr;
  }

  std::string LastLine() const {
    const QStringList lines = Test->LogLines();
    return lines.isEmpty() ? std::string("<none>") : lines.back().toStdString();
  }

  kvltest::AnsweringPresenter Presenter;
  kvltest::MainFormHarness Window;
  kvlsim::TControllerSim Sim;
  TMainForm* Main = nullptr;
  TCore* Core = nullptr;
  std::unique_ptr<Tcommdialog> Confirm;
  std::unique_ptr<TCommunication> Range;
  std::unique_ptr<TRenzokuComm> Counter;
  std::unique_ptr<TWQTTEST> Test;
  std::unique_ptr<TFormCtrl> Panel;
};

}  // namespace servicetest
