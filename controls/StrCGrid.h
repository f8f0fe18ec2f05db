// The parameter grid control: the window of TCustomStrColGrid. It paints the
// cells through the grid's drawing rules into a picture, keeps the keyboard
// focus, moves the current cell by mouse and keys, scrolls by whole cells,
// and edits the current cell in an in-place editor whose text goes into the
// cell as it is typed. While the editor is open the grid keeps the keyboard
// focus and hands the keys on to the editor, so that editing never counts as
// leaving the grid.
#pragma once

#include <QAbstractScrollArea>
#include <QLineEdit>

#include <exception>
#include <functional>

#include "StrCGridBase.h"

// Keys reach the handlers before the grid acts on them: a handler that sets
// the key to 0 (or the character to a null character) consumes it.
using TKeyEvent = std::function<void(TSCGSender* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
using TKeyPressEvent = std::function<void(TSCGSender* Sender, QChar& Key)>;
using TMouseEvent =
    std::function<void(TSCGSender* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

class TStrColGrid : public QAbstractScrollArea, public TCustomStrColGrid {
  Q_OBJECT

 public:
  explicit TStrColGrid(QWidget* parent = nullptr);
  ~TStrColGrid() override;

  // Whether the in-place editor is open; opening needs goEditing in the
  // options in force (and no goRowSelect). Closing keeps the typed text.
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool value);
  // The in-place editor once it has been created, else none.
  QLineEdit* InplaceEditor() const { return FEditor; }

  // Every key pressed in the grid or its editor, before the grid handles it.
  TKeyEvent OnKeyDown;
  // Every character typed (backspace 8, Enter 13 and Esc 27 included),
  // before it opens the editor or reaches it.
  TKeyPressEvent OnKeyPress;
  // The user moved the current cell (or clicked a cell).
  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;

 protected:
  // Creates the in-place editor with the current cell's font and input mode.
  virtual void CreateEditor();
  // The grid received the keyboard focus: the current cell's settings apply.
  virtual void DoEnter();

  bool GridHasFocus() const override;
  void InvalidateGrid() override;
  void InvalidateArea(const TRect& rect) override;
  bool EditorExists() const override { return FEditor != nullptr; }
  void ApplyEditorFont(const TGridFont& font) override;
  void ApplyEditorImeMode(TImeMode mode) override;
  void ApplyWindowImeMode(TImeMode mode) override;
  void GridLayoutChanged() override;
  void CurrentCellMoved(int oldCol, int oldRow) override;
  void CellTextChanged(int col, int row) override;
  void OptionsInForceChanged() override;
  void ColorChanged() override;
  void FontChanged() override;

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 private:
  bool CanEditShow() const;
  void ShowEditor();
  void HideEditor(bool restoreText);
  void PlaceEditor();
  void UpdateScrollBars();
  void UpdateInputMethod();
  void NotifyClick();
  // The typed text after OnKeyPress; characters it cleared are left out.
  QString FilterTyped(const QString& text);
  void SendToEditor(QEvent* event);

  QLineEdit* FEditor = nullptr;
  bool FEditorMode = false;
  QString FEditorStartText;
  bool FEditorWriting = false;
  // A key handed to the editor: when the editor leaves it, it comes back
  // to the grid as its parent and goes on past it.
  bool FForwardingKey = false;
  TImeMode FEditorImeMode = imDontCare;
  bool FUpdatingScrollBars = false;
  bool FMouseSelecting = false;
  // An error a drawing handler raised, raised again outside the painting.
  std::exception_ptr FPaintError;
};
