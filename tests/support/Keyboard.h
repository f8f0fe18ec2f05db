// Keys as a keyboard delivers them: each to the widget that has the keyboard
// focus when it is pressed, with the modifiers held, shortcuts first.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

namespace kvltest {

inline QWidget* FocusWidgetOrFail() {
  QWidget* focus = QApplication::focusWidget();
  EXPECT_NE(focus, nullptr) << "no widget has the keyboard focus";
  return focus;
}

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  if (QWidget* focus = FocusWidgetOrFail()) QTest::keyClick(focus, key, modifiers);
}

// Each character of the text as the key that types it; ':' is typed with
// Shift, as on a US keyboard. A character beyond ASCII comes as a keyboard
// layout that has it gives it: its key with the character as text.
inline void TypeText(const QString& text) {
  for (const QChar c : text) {
    QWidget* focus = FocusWidgetOrFail();
    if (!focus) return;
    if (c.unicode() > 127) {
      QTest::sendKeyEvent(QTest::Click, focus, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                          Qt::NoModifier);
      continue;
    }
    const char ch = c.toLatin1();
    QTest::keyClick(focus, ch, ch == ':' ? Qt::ShiftModifier : Qt::NoModifier);
  }
}

// Shows the widget's window, waits until it is active and gives the widget
// the focus, as a click would.
inline bool FocusInActiveWindow(QWidget& widget) {
  QWidget* window = widget.window();
  window->show();
  // Activation is asynchronous and a loaded machine may take a while.
  return QTest::qWaitFor(
      [&] {
        if (!window->isActiveWindow()) {
          window->raise();
          window->activateWindow();
          return false;
        }
        if (!widget.hasFocus()) widget.setFocus(Qt::MouseFocusReason);
        return widget.hasFocus();
      },
      10000);
}

}  // namespace kvltest
