// The game board on screen: shows a TTtrs, runs its fall and clock timers,
// passes its keys on and can be dragged about inside its parent by pressing
// anywhere on it.
#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

#include "TetBoard.h"

class QKeyEvent;
class QPainter;

// A colour value 0x00BBGGRR as a Qt colour; a value with the top bit set
// names a system colour (0x8000000F the button face) and takes the matching
// colour of `palette`.
QColor GameColour(uint32_t value, const QPalette& palette);

// The virtual-key code of a key press: the numeric keypad's digits are
// 96..105, letters and digits their upper-case character codes, the common
// editing and function keys their usual codes; 0 for anything else.
uint16_t VirtualKeyCode(const QKeyEvent& event);

class TTtrsWidget : public QWidget {
 public:
  explicit TTtrsWidget(QWidget* parent = nullptr);
  ~TTtrsWidget() override;

  TTtrs& Board() { return Logic; }
  const TTtrs& Board() const { return Logic; }
  QTimer& FallTimer() { return Fall; }
  QTimer& ClockTimer() { return Clock; }

  // Fills the parent's client area.
  void AlignToParent();
  // Stops both timers for good (the board is being let go).
  void StopTimers();

  // Every key pressed on the board (virtual-key code).
  std::function<void(TTtrsWidget&, uint16_t key)> OnKeyDown;
  // After every paint, with the painter still open on the board.
  std::function<void(TTtrsWidget&, QPainter&)> OnPaintDone;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SyncTimers();
  void DrawCell(QPainter& painter, const TCell& cell, const TCellBounds& bounds);
  void TakeFocus();

  TTtrs Logic;
  QTimer Fall;
  QTimer Clock;
  bool Stopped = false;
  bool Dragging = false;
  QPoint DragStart;
};
