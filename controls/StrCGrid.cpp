#include "StrCGrid.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Raises a drawing handler's error again once the painting has finished.
const QEvent::Type kPaintErrorEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

bool IsTypedCharacter(QChar c) { return c.unicode() != 127; }

}  // namespace

TStrColGrid::TStrColGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
  // The grid's colour and font are the window's own.
  StoreColor(palette().color(QPalette::Base));
  StoreFontFace(font());
  SetClientSize(viewport()->width(), viewport()->height());
}

TStrColGrid::~TStrColGrid() = default;

// ---- what the grid takes from the window ----

bool TStrColGrid::GridHasFocus() const { return hasFocus(); }

void TStrColGrid::InvalidateGrid() { viewport()->update(); }

void TStrColGrid::InvalidateArea(const TRect& rect) { viewport()->update(ToQRect(rect)); }

void TStrColGrid::ApplyEditorFont(const TGridFont& font) {
  if (!FEditor) return;
  FEditor->setFont(font.Font);
  QPalette palette = FEditor->palette();
  palette.setColor(QPalette::Text, font.Color);
  FEditor->setPalette(palette);
}

void TStrColGrid::ApplyEditorImeMode(TImeMode mode) {
  FEditorImeMode = mode;
  if (FEditor) FEditor->setInputMethodHints(kvl::grid::ImeModeHints(mode));
  UpdateInputMethod();
}

void TStrColGrid::ApplyWindowImeMode(TImeMode) { UpdateInputMethod(); }

// The grid keeps the focus while editing, so the input method follows the
// editor's mode then and the grid's otherwise.
void TStrColGrid::UpdateInputMethod() {
  const TImeMode mode = FEditorMode ? FEditorImeMode : ImeMode();
  setAttribute(Qt::WA_InputMethodEnabled, kvl::grid::ImeModeAllowsInput(mode));
  setInputMethodHints(kvl::grid::ImeModeHints(mode));
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void TStrColGrid::GridLayoutChanged() {
  UpdateScrollBars();
  PlaceEditor();
  viewport()->update();
}

void TStrColGrid::CurrentCellMoved(int oldCol, int oldRow) {
  if (FEditorMode && (oldCol != Col() || oldRow != Row())) HideEditor(false);
}

// The current cell's text set from outside (a rebuild) replaces the editor's
// text and selects it, so that what is typed next replaces it.
void TStrColGrid::CellTextChanged(int col, int row) {
  if (!FEditorMode || FEditorWriting || col != Col() || row != Row()) return;
  const QString text = Cells(col, row);
  if (FEditor->text() == text) return;
  FEditor->setText(text);
  FEditor->selectAll();
}

void TStrColGrid::OptionsInForceChanged() {
  if (FEditorMode && !CanEditShow()) HideEditor(false);
}

void TStrColGrid::ColorChanged() {
  if (palette().color(QPalette::Base) == Color()) return;
  QPalette p = palette();
  p.setColor(QPalette::Base, Color());
  setPalette(p);
}

void TStrColGrid::FontChanged() {
  if (font() != Font().Font) setFont(Font().Font);
}

void TStrColGrid::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) StoreColor(palette().color(QPalette::Base));
  if (event->type() == QEvent::FontChange) StoreFontFace(font());
}

// ---- the in-place editor ----

bool TStrColGrid::CanEditShow() const {
  return (OptionsInForce() & goEditing) && !(OptionsInForce() & goRowSelect);
}

void TStrColGrid::CreateEditor() {
  FEditor = new QLineEdit(viewport());
  FEditor->setObjectName(QStringLiteral("InplaceEditor"));
  FEditor->setFrame(false);
  FEditor->hide();
  // Clicks into the editor leave the keyboard focus with the grid.
  FEditor->setFocusProxy(this);
  connect(FEditor, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!FEditorMode) return;
    FEditorWriting = true;
    try {
      SetCells(Col(), Row(), text);
    } catch (...) {
      FEditorWriting = false;
      throw;
    }
    FEditorWriting = false;
  });
  const TSCGCellParam* param = GetCellParamPointer(Col(), Row(), false);
  ApplyEditorFont(EditorFontFor(param));
  ApplyEditorImeMode(EditorImeModeFor(param));
}

void TStrColGrid::SetEditorMode(bool value) {
  if (value)
    ShowEditor();
  else
    HideEditor(false);
}

void TStrColGrid::ShowEditor() {
  if (FEditorMode || !CanEditShow()) return;
  if (!FEditor) CreateEditor();
  FEditorStartText = Cells(Col(), Row());
  FEditorMode = true;
  FEditor->setText(FEditorStartText);
  FEditor->selectAll();
  PlaceEditor();
  UpdateInputMethod();
  if (hasFocus()) {
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(FEditor, &focusIn);
  }
}

void TStrColGrid::HideEditor(bool restoreText) {
  if (!FEditorMode) return;
  FEditorMode = false;
  if (restoreText) SetCells(Col(), Row(), FEditorStartText);
  QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
  QCoreApplication::sendEvent(FEditor, &focusOut);
  FEditor->hide();
  UpdateInputMethod();
  viewport()->update();
}

void TStrColGrid::PlaceEditor() {
  if (!FEditor) return;
  const TRect rect = CellRect(Col(), Row());
  if (!FEditorMode || rect.IsEmpty()) {
    FEditor->hide();
    return;
  }
  FEditor->setGeometry(ToQRect(rect));
  FEditor->show();
}

void TStrColGrid::SendToEditor(QEvent* event) {
  if (!FEditor) return;
  const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  const bool wasForwarding = FForwardingKey;
  if (key) FForwardingKey = true;
  QCoreApplication::sendEvent(FEditor, event);
  FForwardingKey = wasForwarding;
}

// ---- scrolling ----

void TStrColGrid::UpdateScrollBars() {
  if (FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  verticalScrollBar()->setRange(0, MaxTopRow() - FixedRows());
  verticalScrollBar()->setPageStep(VisibleRowCount());
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setValue(TopRow() - FixedRows());
  horizontalScrollBar()->setRange(0, MaxLeftCol() - FixedCols());
  horizontalScrollBar()->setPageStep(VisibleColCount());
  horizontalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setValue(LeftCol() - FixedCols());
  FUpdatingScrollBars = false;
}

void TStrColGrid::scrollContentsBy(int, int) {
  if (FUpdatingScrollBars) return;
  SetTopRow(verticalScrollBar()->value() + FixedRows());
  SetLeftCol(horizontalScrollBar()->value() + FixedCols());
}

void TStrColGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  SetClientSize(viewport()->width(), viewport()->height());
}

// ---- painting ----

void TStrColGrid::paintEvent(QPaintEvent*) {
  const QSize size = viewport()->size();
  if (size.isEmpty()) return;
  if (ClientWidth() != size.width() || ClientHeight() != size.height()) SetClientSize(size.width(), size.height());
  QImage image(size, QImage::Format_RGB32);
  image.setDotsPerMeterX(qRound(viewport()->logicalDpiX() / 0.0254));
  image.setDotsPerMeterY(qRound(viewport()->logicalDpiY() / 0.0254));
  image.fill(Color());
  Canvas().Attach(image);
  try {
    Paint();
  } catch (...) {
    if (!FPaintError) {
      FPaintError = std::current_exception();
      QCoreApplication::postEvent(this, new QEvent(kPaintErrorEvent));
    }
  }
  Canvas().Detach();
  QPainter painter(viewport());
  painter.drawImage(0, 0, image);
}

bool TStrColGrid::event(QEvent* event) {
  if (event->type() == kPaintErrorEvent) {
    const std::exception_ptr error = FPaintError;
    FPaintError = nullptr;
    if (error) std::rethrow_exception(error);
    return true;
  }
  return QAbstractScrollArea::event(event);
}

// ---- focus ----

void TStrColGrid::DoEnter() { SelectCell(Col(), Row()); }

void TStrColGrid::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  DoEnter();
  if (FEditorMode) {
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    SendToEditor(&focusIn);
  }
  UpdateInputMethod();
  viewport()->update();
}

void TStrColGrid::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (FEditorMode) {
    // A menu, the menu bar (Alt) or another window takes the focus only for
    // a while: the editor stays open with what was typed.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::MenuBarFocusReason ||
        event->reason() == Qt::ActiveWindowFocusReason) {
      QFocusEvent focusOut(QEvent::FocusOut, event->reason());
      SendToEditor(&focusOut);
    } else {
      HideEditor(false);
    }
  }
  viewport()->update();
}

// ---- keys ----

void TStrColGrid::NotifyClick() {
  if (OnClick) {
    const TNotifyEvent handler = OnClick;
    handler(this);
  }
}

QString TStrColGrid::FilterTyped(const QString& text) {
  QString kept;
  for (QChar c : text) {
    if (!IsTypedCharacter(c)) {
      kept += c;
      continue;
    }
    if (OnKeyPress) {
      const TKeyPressEvent handler = OnKeyPress;
      handler(this, c);
    }
    if (!c.isNull()) kept += c;
  }
  return kept;
}

void TStrColGrid::keyPressEvent(QKeyEvent* event) {
  // A key the editor did not take (Shift, F5, ...) ends here: handing it to
  // the editor again would never end.
  if (FForwardingKey) {
    event->ignore();
    return;
  }
  int key = event->key();
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  event->accept();
  if (OnKeyDown) {
    const TKeyEvent handler = OnKeyDown;
    handler(this, key, modifiers);
    if (key == 0) return;
  }
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool control = modifiers & Qt::ControlModifier;
  const bool movesInEditor = key == Qt::Key_Left || key == Qt::Key_Right ||
                             ((key == Qt::Key_Home || key == Qt::Key_End) && !control);

  if (FEditorMode) {
    switch (key) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        // Enter closes the editor, keeping the typed text.
        if (!FilterTyped(QStringLiteral("\r")).isEmpty()) HideEditor(false);
        return;
      case Qt::Key_Escape:
        // Esc closes the editor and gives the cell back its text, whatever
        // the character handler makes of it.
        FilterTyped(QString(QChar(27)));
        HideEditor(true);
        return;
      default: break;
    }
    if (!movesInEditor && KeyMove(key, shift, control)) {
      NotifyClick();
      return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
      SendToEditor(event);
      return;
    }
    const QString typed = FilterTyped(text);
    if (typed.isEmpty()) return;
    QKeyEvent forwarded(QEvent::KeyPress, key, modifiers, typed, event->isAutoRepeat());
    SendToEditor(&forwarded);
    return;
  }

  if (KeyMove(key, shift, control)) {
    NotifyClick();
    return;
  }
  if (key == Qt::Key_F2) {
    ShowEditor();
    return;
  }
  const QString text = event->text();
  if (text.isEmpty()) {
    event->ignore();
    return;
  }
  const QString typed = FilterTyped(text);
  if (typed.isEmpty()) return;
  if (typed == QStringLiteral("\r")) {
    // Enter opens the editor.
    ShowEditor();
    return;
  }
  const QChar first = typed.at(0);
  if (first.unicode() == 27 || first.unicode() == 9 || !CanEditShow()) return;
  if (first.unicode() < 32 && first.unicode() != 8) return;
  // A typed character opens the editor and replaces the cell's text.
  ShowEditor();
  if (!FEditorMode) return;
  QKeyEvent forwarded(QEvent::KeyPress, key, modifiers, typed, event->isAutoRepeat());
  SendToEditor(&forwarded);
}

void TStrColGrid::inputMethodEvent(QInputMethodEvent* event) {
  const QString committed = event->commitString().isEmpty() ? QString() : FilterTyped(event->commitString());
  if (!FEditorMode) {
    if (committed.isEmpty() || !CanEditShow()) {
      event->accept();
      return;
    }
    ShowEditor();
    if (!FEditorMode) return;
  }
  QInputMethodEvent forwarded(event->preeditString(), event->attributes());
  forwarded.setCommitString(committed, event->replacementStart(), event->replacementLength());
  SendToEditor(&forwarded);
  event->accept();
}

QVariant TStrColGrid::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (!FEditorMode || !FEditor) return QAbstractScrollArea::inputMethodQuery(query);
  QVariant value = FEditor->inputMethodQuery(query);
  if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle)
    value = QRectF(value.toRectF().translated(FEditor->mapTo(this, QPoint(0, 0))));
  return value;
}

// ---- mouse ----

void TStrColGrid::mousePressEvent(QMouseEvent* event) {
  const bool hadFocus = hasFocus();
  if (!hadFocus) setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  int col = -1;
  int row = -1;
  if (event->button() == Qt::LeftButton && MouseCoord(pos.x(), pos.y(), col, row) && !IsFixedCell(col, row)) {
    const bool extend = (modifiers & Qt::ShiftModifier) && (OptionsInForce() & goRangeSelect);
    if (!extend && hadFocus && col == Col() && row == Row() && CanEditShow()) {
      // A click on the current cell opens the editor.
      ShowEditor();
    } else {
      if (FEditorMode && (col != Col() || row != Row())) HideEditor(false);
      MoveCurrent(col, row, !extend);
      FMouseSelecting = (OptionsInForce() & goRangeSelect) != 0;
    }
    NotifyClick();
  }
  if (OnMouseDown) {
    const TMouseEvent handler = OnMouseDown;
    handler(this, event->button(), modifiers, pos.x(), pos.y());
  }
}

void TStrColGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!FMouseSelecting || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint pos = event->position().toPoint();
  int col = -1;
  int row = -1;
  if (!MouseCoord(pos.x(), pos.y(), col, row) || IsFixedCell(col, row)) return;
  if (col != Col() || row != Row()) MoveCurrent(col, row, false);
}

void TStrColGrid::mouseReleaseEvent(QMouseEvent*) { FMouseSelecting = false; }

void TStrColGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  int col = -1;
  int row = -1;
  if (event->button() == Qt::LeftButton && MouseCoord(pos.x(), pos.y(), col, row) && col == Col() &&
      row == Row())
    ShowEditor();
}
