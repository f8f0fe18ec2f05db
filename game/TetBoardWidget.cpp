#include "TetBoardWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

QColor GameColour(uint32_t value, const QPalette& palette) {
  if ((value & 0x80000000u) == 0)
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
  // System colours by their index in the low byte.
  switch (value & 0xFF) {
    case 2: case 13: return palette.color(QPalette::Highlight);
    case 9: case 14: return palette.color(QPalette::HighlightedText);
    case 5: return palette.color(QPalette::Base);
    case 7: case 8: return palette.color(QPalette::WindowText);
    case 15: return palette.color(QPalette::Button);
    case 16: return palette.color(QPalette::Dark);
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);
    case 21: return palette.color(QPalette::Shadow);
    case 22: return palette.color(QPalette::Midlight);
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    default: return palette.color(QPalette::Window);
  }
}

uint16_t VirtualKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>((keypad ? 96 : 48) + (key - Qt::Key_0));
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>(65 + (key - Qt::Key_A));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint16_t>(112 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 0;
    case Qt::Key_Minus: return keypad ? 109 : 0;
    case Qt::Key_Period: return keypad ? 110 : 0;
    case Qt::Key_Slash: return keypad ? 111 : 0;
    default: return 0;
  }
}

TTtrsWidget::TTtrsWidget(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(false);
  setMouseTracking(true);
  Logic.OnTimersChanged = [this] { SyncTimers(); };
  Logic.OnChanged = [this] { update(); };
  Logic.OnAlign = [this] { AlignToParent(); };
  QObject::connect(&Fall, &QTimer::timeout, this, [this] { Logic.FallTimerTick(); });
  QObject::connect(&Clock, &QTimer::timeout, this, [this] { Logic.ClockTimerTick(); });
  Fall.start(TTtrs::TimerDefault);
  Clock.start(TTtrs::TimerDefault);
  Logic.Resize(width(), height());
}

TTtrsWidget::~TTtrsWidget() {
  // The board's callbacks point back here; none may run while it goes.
  Logic.OnTimersChanged = nullptr;
  Logic.OnChanged = nullptr;
  Logic.OnAlign = nullptr;
}

void TTtrsWidget::AlignToParent() {
  if (QWidget* parent = parentWidget()) setGeometry(parent->contentsRect());
  // A hidden board gets no resize event; the logic must know its size at once.
  Logic.Resize(width(), height());
}

void TTtrsWidget::StopTimers() {
  Stopped = true;
  Fall.stop();
  Clock.stop();
}

// Like a timer whose Interval and Enabled are set: an unchanged interval
// does not restart it.
void TTtrsWidget::SyncTimers() {
  if (Stopped) return;
  if (Fall.interval() != Logic.FallTimerInterval()) Fall.setInterval(Logic.FallTimerInterval());
  if (Logic.TimersEnabled()) {
    if (!Fall.isActive()) Fall.start();
    if (!Clock.isActive()) Clock.start();
  } else {
    Fall.stop();
    Clock.stop();
  }
}

void TTtrsWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Logic.Resize(width(), height());
}

void TTtrsWidget::DrawCell(QPainter& painter, const TCell& cell, const TCellBounds& bounds) {
  const int penWidth = std::max(cell.PenWidth, 0);
  int x = penWidth / 2, y = x;
  int w = bounds.Width - penWidth + 1, h = bounds.Height - penWidth + 1;
  if (penWidth == 0) --w, --h;
  const int s = std::min(w, h);
  const TShapeType shape = cell.Shape;
  if (shape == TShapeType::stSquare || shape == TShapeType::stRoundSquare || shape == TShapeType::stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  if (w <= 0 || h <= 0) return;
  QPen pen(GameColour(cell.PenColor, palette()));
  pen.setWidth(penWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  Qt::BrushStyle style = Qt::SolidPattern;
  switch (cell.BrushStyle) {
    case TBrushStyle::bsSolid: style = Qt::SolidPattern; break;
    case TBrushStyle::bsClear: style = Qt::NoBrush; break;
    case TBrushStyle::bsHorizontal: style = Qt::HorPattern; break;
    case TBrushStyle::bsVertical: style = Qt::VerPattern; break;
    case TBrushStyle::bsFDiagonal: style = Qt::FDiagPattern; break;
    case TBrushStyle::bsBDiagonal: style = Qt::BDiagPattern; break;
    case TBrushStyle::bsCross: style = Qt::CrossPattern; break;
    case TBrushStyle::bsDiagCross: style = Qt::DiagCrossPattern; break;
  }
  painter.setBrush(QBrush(GameColour(cell.BrushColor, palette()), style));
  // The outline runs inside the right and bottom edges, as on the cell's
  // own square.
  const QRect r(bounds.Left + x, bounds.Top + y, std::max(w - 1, 0), std::max(h - 1, 0));
  switch (shape) {
    case TShapeType::stRectangle:
    case TShapeType::stSquare: painter.drawRect(r); break;
    case TShapeType::stRoundRect:
    case TShapeType::stRoundSquare: painter.drawRoundedRect(r, s / 8.0, s / 8.0); break;
    case TShapeType::stEllipse:
    case TShapeType::stCircle: painter.drawEllipse(r); break;
  }
}

void TTtrsWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), GameColour(Logic.Color(), palette()));
  for (int r = 1; r <= Logic.BoardRows(); ++r)
    for (int c = 1; c <= Logic.BoardColumns(); ++c)
      if (const TCell* cell = Logic.CellAt(r, c)) DrawCell(painter, *cell, Logic.CellBounds(r, c));
  if (Logic.BottomPanelVisible()) {
    const TCellBounds b = Logic.BottomPanelBounds();
    if (b.Width > 0 && b.Height > 0) {
      const QRect strip(b.Left, b.Top, b.Width, b.Height);
      painter.fillRect(strip, GameColour(Logic.BottomColor(), palette()));
      // Single border, raised bevel inside it.
      painter.setBrush(Qt::NoBrush);
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawRect(strip.adjusted(0, 0, -1, -1));
      if (b.Width > 2 && b.Height > 2) {
        const QRect inner = strip.adjusted(1, 1, -2, -2);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(inner.topLeft(), inner.topRight());
        painter.drawLine(inner.topLeft(), inner.bottomLeft());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(inner.bottomLeft(), inner.bottomRight());
        painter.drawLine(inner.topRight(), inner.bottomRight());
      }
    }
  }
  if (!Logic.Painted) {
    if (isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus) setFocus();
    Logic.Painted = true;
  }
  if (OnPaintDone) OnPaintDone(*this, painter);
}

// Every key is reported; the board keeps only the keys the game plays, and
// every other key goes on to the window (Esc to its cancel button).
void TTtrsWidget::keyPressEvent(QKeyEvent* event) {
  const uint16_t key = VirtualKeyCode(*event);
  if (OnKeyDown) OnKeyDown(*this, key);
  event->setAccepted(TTtrs::IsPlayKey(key));
}

void TTtrsWidget::TakeFocus() {
  if (focusPolicy() != Qt::NoFocus && !hasFocus()) setFocus(Qt::MouseFocusReason);
}

// Pressing anywhere drags the board as by a title bar; the mouse over the
// board gives it the keyboard focus.
void TTtrsWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Dragging = true;
    DragStart = event->position().toPoint();
  }
  TakeFocus();
}

void TTtrsWidget::mouseMoveEvent(QMouseEvent* event) {
  if (Dragging && (event->buttons() & Qt::LeftButton)) move(pos() + event->position().toPoint() - DragStart);
  TakeFocus();
}

void TTtrsWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Dragging = false;
  TakeFocus();
}
