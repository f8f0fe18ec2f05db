// The counter window of the continuous exerciser: frames and failures. While
// it is visible, every program frame and parameter-run frame of a whole-image
// transfer adds one to the frame count.
#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;

class TRenzokuComm : public QDialog {
 public:
  explicit TRenzokuComm(QWidget* parent = nullptr);

  // Both counts to "0".
  void ResetCounts();
  // One frame done: the frame count goes up when the window is visible.
  void CountFrame();
  // One failed operation: the failure count goes up.
  void CountError();
  long FrameCount() const;
  long ErrorCount() const;

  QGroupBox* GroupBox1 = nullptr;  // "通信回数"
  QLineEdit* EditComm = nullptr;
  QGroupBox* GroupBox2 = nullptr;  // "エラー回数"
  QLineEdit* EditError = nullptr;
};
