// Shared pieces of the window tests: the application object (offscreen), a
// presenter that records every dialog and answers at once, and a harness that
// starts a main window on a private settings file.
#pragma once

#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DialogPresenter.h"
#include "UCore.h"
#include "mainform.h"

namespace kvltest {

class RecordingPresenter : public kvl::TDialogPresenter {
 public:
  int ShowModal(const kvl::MessageDescription& message) override;
  // Answers the file chooser with the next queued path; an empty path or
  // none queued cancels it.
  bool ChooseFile(const kvl::FileChooserDescription& chooser, std::string* path) override;
  // Results to give, in order; when none is queued, the default button's.
  std::deque<int> Answers;
  std::vector<kvl::MessageDescription> Shown;
  std::deque<std::string> Files;
  std::vector<kvl::FileChooserDescription> Choosers;
};

// Records the forms shown and ends each with Enter (or Esc while
// `AnswerEnter` is false), after `BeforeAnswer` has done what the user does
// in it.
class AnsweringPresenter : public RecordingPresenter {
 public:
  int ShowForm(kvl::TModalForm& form) override;
  std::vector<std::string> FormsShown;
  std::function<void(kvl::TModalForm&)> BeforeAnswer;
  bool AnswerEnter = true;
};

// Acts on a modal dialog while the caller's modal call (a presenter's
// ShowModal or ChooseFile) runs: `act` is polled every few milliseconds until
// it returns true, having dealt with the dialog. When no dialog was dealt
// with, or the modal call did not end, within the limit, the test fails and
// every visible modal window is closed, so that the modal loop ends rather
// than the test hanging.
class ModalWatch {
 public:
  explicit ModalWatch(std::function<bool()> act, std::chrono::milliseconds limit = std::chrono::seconds(20));
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

 private:
  void Poll();
  std::function<bool()> Act;
  std::chrono::milliseconds Limit;
  std::chrono::steady_clock::time_point Deadline;
  bool Acted = false;
  bool Expired = false;
  QTimer Timer;
};

// The presenter the application object reports escaped errors to.
RecordingPresenter& ApplicationPresenter();

struct MainFormHarness {
  MainFormHarness();
  ~MainFormHarness();
  // Creates the window (deciding its language), the data image, and, when
  // `finish`, runs the start steps.
  void Start(std::vector<std::string> words = {}, uint16_t langId = 0x409, std::set<std::string> existing = {},
             bool finish = true);
  // Ends the window and the data image (the settings file stays).
  void Stop();
  std::string IniPath() const;
  // Waits (a generous while) until the window's start-up timer has fired or
  // been stopped.
  bool WaitForStartTimer(int limitMs = 10000);

  // The window starts its 100 ms start-up timer (Timer1) when it is first
  // shown; when it fires it opens the start-up wizard and gives the grid the
  // focus, which would move the focus in the middle of a test. The harness
  // stops it as the window is shown, unless a test of the start-up sets this
  // (before showing the window) and waits for it with WaitForStartTimer().
  bool KeepStartTimer = false;

  QTemporaryDir Dir;
  RecordingPresenter Presenter;
  // The presenter the window is made with, when not `Presenter`.
  kvl::TDialogPresenter* WindowPresenter = nullptr;
  std::unique_ptr<TMainForm> Form;
  std::unique_ptr<TCore> Core;
};

}  // namespace kvltest
