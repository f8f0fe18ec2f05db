// The counter window of the continuous exerciser: frames and failures. While
// it is visible, every program frame and parameter-run frame of a whole-image
// transfer adds one to the frame count, whichever job runs it (the exerciser
// or the transfer thread): each hands its frames over through FrameCountHook.
#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLineEdit;

class TRenzokuComm : public QDialog {
 public:
  explicit TRenzokuComm(QWidget* parent = nullptr);

  // Both counts to "0".
  void ResetCounts();
  // One frame done: the frame count goes up when the window is visible.
  void CountFrame();
  // A worker's frame-count hook (TransferJobHooks::FrameDone): each call
  // runs CountFrame on the user-interface thread through synchronize, the
  // worker's synchronise call. Once the window is gone nothing is counted.
  using Synchronizer = std::function<void(const std::function<void()>&)>;
  std::function<void()> FrameCountHook(Synchronizer synchronize);
  // One failed operation: the failure count goes up.
  void CountError();
  long FrameCount() const;
  long ErrorCount() const;

  QGroupBox* GroupBox1 = nullptr;  // "通信回数"
  QLineEdit* EditComm = nullptr;
  QGroupBox* GroupBox2 = nullptr;  // "エラー回数"
  QLineEdit* EditError = nullptr;
};
