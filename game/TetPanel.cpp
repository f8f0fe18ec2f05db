#include "TetPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <qdrawutil.h>

#include <algorithm>
#include <limits>

namespace {

// Score arithmetic that stops at the ends of the 32-bit range instead of
// wrapping round.
int SaturatedAdd(int a, int b) {
  const long long sum = static_cast<long long>(a) + b;
  return static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

enum Hit { HitNone = 0, HitLeft = 1, HitRight = 2, HitTop = 4, HitBottom = 8, HitCaption = 16 };

}  // namespace

TTetPanel::TTetPanel(QWidget* parent, TGameMessagePresenter presenter) : QWidget(parent) {
  SetMessagePresenter(std::move(presenter));
  setMouseTracking(true);
}

TTetPanel::~TTetPanel() {
  delete FBoard;
  FBoard = nullptr;
}

void TTetPanel::SetMessagePresenter(TGameMessagePresenter presenter) {
  if (presenter)
    Presenter = std::move(presenter);
  else
    Presenter = [this](const TGameMessage& message) { ShowGameMessageBox(message, this); };
}

void TTetPanel::Show(TGameMessageKind kind, const QString& text) { Presenter(TGameMessage{kind, text}); }

QString TTetPanel::About() const {
  return QStringLiteral("TTetPanel: the falling-blocks game panel of KVL-Q70, by the Halvorin KVL-Q70 developers");
}

// ---- property setters ----

void TTetPanel::SetState(TState value) {
  if (value == FState || (value != TState::StPanel && value != TState::Plumet)) return;
  FState = value;
  ChangeState();
}

void TTetPanel::SetStart(bool value) {
  if (value && !FStart && HasBoard()) {
    FBoard->update();
    FStart = true;
    FScores = 0;
    FDeletedRows = 0;
    FPlayTime = 0;
    SetCaption(FShowScoresTime ? QStringLiteral("Scores: 0") : QString());
    FPicture.reset();
    TTtrs& board = FBoard->Board();
    board.SetBoardRows(FTRows);
    board.SetBoardColumns(FTColumns);
    board.SetActive(true);
  }
  PanelSetFocus();
}

void TTetPanel::SetPause(bool value) {
  if (HasBoard() && value != FPause && FStart) {
    FPause = value;
    FBoard->Board().SetPause(value);
    if (!value) FBoard->AlignToParent();
  }
  PanelSetFocus();
}

void TTetPanel::SetGKey(TTSAKey value) {
  if (HasBoard() && IsValidKey(value)) {
    FGKey = value;
    if (FStart && !FPause) FBoard->Board().DoAction(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetPicStretch(bool value) {
  FPicStretch = value;
  PanelSetFocus();
}

void TTetPanel::SetColorTB(uint32_t value) {
  if (value != FColorTB) {
    FColorTB = value;
    if (HasBoard()) Logic()->SetColor(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetColorTF(uint32_t value) {
  if (value != FColorTF) {
    FColorTF = value;
    if (HasBoard()) Logic()->SetBottomColor(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetColorTShapes(TColorTAFShapes value) {
  if (value != FColorTShapes && IsValidColorMode(value)) {
    FColorTShapes = value;
    if (HasBoard()) Logic()->SetCellColorMode(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetColorTShapesPen(uint32_t value) {
  if (value != FColorTShapesPen) {
    FColorTShapesPen = value;
    if (HasBoard()) Logic()->SetCellPenColor(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetWidthTShapesPen(int value) {
  if (value <= 0) {
    Show(TGameMessageKind::Error, QStringLiteral("Value must be >0"));
  } else if (value != FWidthTShapesPen) {
    FWidthTShapesPen = value;
    if (HasBoard()) Logic()->SetCellPenWidth(value);
  }
  PanelSetFocus();
}

// A fall interval below 1 ms would stop the game or spin the timer; it is
// refused like a pen width below 1.
void TTetPanel::SetTDelay(int value) {
  if (value <= 0) {
    Show(TGameMessageKind::Error, QStringLiteral("Value must be >0"));
  } else {
    FTDelay = value;
    if (HasBoard()) Logic()->SetFallInterval(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetNextSColorT(bool value) {
  if (value != FNextSColorT) {
    FNextSColorT = value;
    if (HasBoard()) Logic()->SetShowNextColor(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetTimerFocus(bool value) {
  FTimerFocus = value;
  PanelSetFocus();
}

void TTetPanel::SetDefKeys(bool value) {
  FDefKeys = value;
  PanelSetFocus();
}

void TTetPanel::SetOneColorTShapes(uint32_t value) {
  if (value != FOneColorTShapes) {
    FOneColorTShapes = value;
    if (HasBoard()) Logic()->SetCellOneColor(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetShapesTShape(TShapeType value) {
  if (value != FShapesTShape && IsValidShapeType(value)) {
    FShapesTShape = value;
    if (HasBoard()) Logic()->SetCellShapeType(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetShapesTBrushStyle(TBrushStyle value) {
  if (value != FShapesTBrushStyle && IsValidBrushStyle(value)) {
    FShapesTBrushStyle = value;
    if (HasBoard()) Logic()->SetCellBrushStyle(value);
  }
  PanelSetFocus();
}

void TTetPanel::SetShowScoresTime(bool value) {
  FShowScoresTime = value;
  PanelSetFocus();
}

void TTetPanel::SetShowAllDlgs(bool value) {
  FShowAllDlgs = value;
  PanelSetFocus();
}

void TTetPanel::SetAOverPicture(const QString& value) {
  if (value != FAOverPicture) FAOverPicture = value;
  PanelSetFocus();
}

void TTetPanel::SetTCoeff(int value) {
  FTCoeff = value;
  PanelSetFocus();
}

void TTetPanel::SetBStPicture(const QString& value) {
  if (value != FBStPicture) FBStPicture = value;
  PanelSetFocus();
}

void TTetPanel::SetNextTShape(int value) {
  if (value < 1 || value > 7) {
    Show(TGameMessageKind::Error, QStringLiteral("Value must be in [1..7]"));
  } else if (value != FNextTShape) {
    FNextTShape = static_cast<uint16_t>(value);
    if (HasBoard()) Logic()->SetNextKind(FNextTShape);
  }
  PanelSetFocus();
}

void TTetPanel::SeTTRows(int value) {
  if (value < TTtrs::MinRows || value > TTtrs::MaxRows) {
    Show(TGameMessageKind::Error, QStringLiteral("Value must be in [6..48]"));
  } else if (value != FTRows) {
    FTRows = static_cast<uint16_t>(value);
    if (HasBoard()) {
      if (!Logic()->Active())
        Logic()->SetBoardRows(value);
      else if (FShowAllDlgs)
        Show(TGameMessageKind::Information, QStringLiteral("Restart Plumet to have effect this option"));
    }
  }
  PanelSetFocus();
}

void TTetPanel::SeTTColumns(int value) {
  if (value < TTtrs::MinColumns || value > TTtrs::MaxColumns) {
    Show(TGameMessageKind::Error, QStringLiteral("Value must be in [6..24]"));
  } else if (value != FTColumns) {
    FTColumns = static_cast<uint16_t>(value);
    if (HasBoard()) {
      if (!Logic()->Active())
        Logic()->SetBoardColumns(value);
      else if (FShowAllDlgs)
        Show(TGameMessageKind::Information, QStringLiteral("Restart Plumet to have effect this option"));
    }
  }
  PanelSetFocus();
}

void TTetPanel::SetWithCaption(bool value) {
  if (FState != TState::StPanel)
    Show(TGameMessageKind::Error, QStringLiteral("At run time change this option only if State=sTetPanel"));
  else
    FWithCaption = value;
  PanelSetFocus();
}

void TTetPanel::SetCaption(const QString& value) {
  FCaption = value;
  update();
}

void TTetPanel::PanelSetFocus() {
  if (FDefKeys && !FPause && FStart && HasBoard() && FBoard->Board().Painted && !FBoard->hasFocus())
    FBoard->setFocus(Qt::OtherFocusReason);
}

// ---- state changes ----

void TTetPanel::ChangeState() {
  if (FState == TState::Plumet) {
    ChangeParams();
    SavedCaption = FCaption;
    SetCaption(QStringLiteral("PLEASE WAIT"));

    auto* widget = new TTtrsWidget(this);
    FBoard = widget;
    TTtrs& board = widget->Board();
    board.SetActive(false);
    board.SetBoardColumns(FTColumns);
    board.SetBoardRows(FTRows);
    widget->AlignToParent();
    board.SetPause(false);

    board.SetColor(FColorTB);
    board.SetBottomColor(FColorTF);
    board.SetCellColorMode(FColorTShapes);
    board.SetShowNextColor(FNextSColorT);
    board.SetNextKind(FNextTShape);
    board.SetCellBrushStyle(FShapesTBrushStyle);
    board.SetCellPenColor(FColorTShapesPen);
    board.SetCellPenWidth(FWidthTShapesPen);
    board.SetCellShapeType(FShapesTShape);
    board.SetCellOneColor(FOneColorTShapes);
    board.SetFallInterval(FTDelay);

    // Each handler acts only for the board it was set on: a handler that
    // leaves the game state lets that board go while its own event runs.
    widget->OnKeyDown = [this, widget](TTtrsWidget&, uint16_t key) {
      if (widget == FBoard) TetPanelKeyDown(key);
    };
    board.OnRowFull = [this, widget](TTtrs&) {
      if (widget == FBoard) PlumetDelete();
    };
    board.OnGameOver = [this, widget](TTtrs&) {
      if (widget == FBoard) PlumetOver();
    };
    board.OnShapeSpawned = [this, widget](TTtrs&) {
      if (widget == FBoard) PlumetContact();
    };
    board.OnTime = [this, widget](TTtrs&) {
      if (widget == FBoard) STAFTime();
    };
    widget->OnPaintDone = [this, widget](TTtrsWidget&, QPainter& painter) {
      if (widget == FBoard) PlumetPaint(painter);
    };
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->show();

    FDeletedRows = 0;
    SetCaption(FShowScoresTime ? QStringLiteral("Scores: 0; Time     0") : QString());
    FPicture.reset();
    if (!FBStPicture.isEmpty()) LoadPicture(FBStPicture);
    widget->update();
  } else {
    if (FBoard) {
      // The board goes at once for the panel; the object itself is deleted
      // once control is back in the event loop, since this may run inside
      // one of its own events.
      TTtrsWidget* board = FBoard;
      FBoard = nullptr;
      board->StopTimers();
      board->hide();
      board->deleteLater();
      ChangeParams();
      SetCaption(SavedCaption);
      FStart = false;
      FPause = false;
    }
    FPicture.reset();
  }
}

void TTetPanel::ChangeParams() {
  const uint32_t bits = FWithCaption ? (WS_CAPTION | WS_THICKFRAME) : WS_THICKFRAME;
  if (FState == TState::Plumet)
    FWindowStyle |= bits;
  else
    FWindowStyle &= ~bits;
  if (FState == TState::Plumet) {
    FSavedBounds = geometry();
    ApplyFrame();
  } else {
    ApplyFrame();
    setGeometry(FSavedBounds);
  }
  update();
}

// The client area shrinks inside the frame the style bits ask for; the
// outer bounds stay.
void TTetPanel::ApplyFrame() {
  const int frame = (FWindowStyle & WS_THICKFRAME) ? style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this) : 0;
  const int title = (FWindowStyle & WS_CAPTION) == WS_CAPTION
                        ? style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)
                        : 0;
  setContentsMargins(frame, frame + title, frame, frame);
  if (FBoard) FBoard->AlignToParent();
}

QRect TTetPanel::CaptionRect() const {
  if ((FWindowStyle & WS_CAPTION) != WS_CAPTION) return {};
  const QMargins m = contentsMargins();
  return QRect(m.left(), m.left(), width() - m.left() - m.right(), m.top() - m.left());
}

void TTetPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (FBoard) FBoard->AlignToParent();
}

// ---- picture, caption ----

void TTetPanel::LoadPicture(QString& name) {
  auto picture = std::make_unique<QImage>();
  if (!picture->load(name)) {
    const QString shown = name;
    FPicture.reset();
    name.clear();
    Show(TGameMessageKind::Plain, QStringLiteral("Cannot Open ") + shown);
    return;
  }
  FPicture = std::move(picture);
}

QString TTetPanel::ScoreCaption() const {
  return QStringLiteral("Scores: ") + QString::number(FScores) + QStringLiteral(" Time:") +
         QString::asprintf("%6.0f", FPlayTime);
}

// ---- board event handlers ----

void TTetPanel::TetPanelKeyDown(uint16_t key) {
  if (OnKeyDown) OnKeyDown(*this, key);
  if (!FDefKeys || !FBoard) return;
  const TTtrs& board = FBoard->Board();
  if (FState == TState::Plumet && board.Active() && !board.Paused()) FBoard->Board().KeyAction(key);
  PanelSetFocus();
}

void TTetPanel::PlumetDelete() {
  FDeletedRows = SaturatedAdd(FDeletedRows, 1);
  FScores = SaturatedAdd(FScores, FTCoeff);
  if (OnPlumetDelete) OnPlumetDelete(*this);
  PanelSetFocus();
}

void TTetPanel::PlumetContact() {
  if (FBoard) FNextTShape = FBoard->Board().NextKind();
  if (OnPlumetContact) OnPlumetContact(*this);
}

void TTetPanel::STAFTime() {
  if (FTimerFocus) PanelSetFocus();
  FPlayTime += 1;
  if (HasBoard()) {
    if (OnPlumetTime) OnPlumetTime(*this);
    SetCaption(FShowScoresTime ? ScoreCaption() : QString());
  }
}

void TTetPanel::PlumetOver() {
  if (FBoard) FBoard->Board().SetActive(false);
  FStart = false;
  if (OnPlumetOver) OnPlumetOver(*this);
  if (!FAOverPicture.isEmpty()) LoadPicture(FAOverPicture);
  if (FBoard) FBoard->update();
  PanelSetFocus();
}

void TTetPanel::PlumetPaint(QPainter& painter) {
  if (!FBoard || FBoard->Board().Active() || !FPicture || FPicture->isNull()) return;
  if (FPicStretch)
    painter.drawImage(FBoard->rect(), *FPicture);
  else
    painter.drawImage(QPoint(0, 0), *FPicture);
}

// ---- painting and the frame ----

void TTetPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (FWindowStyle & WS_THICKFRAME) {
    painter.fillRect(rect(), palette().color(QPalette::Button));
    qDrawWinPanel(&painter, rect(), palette(), false);
  }
  const QRect title = CaptionRect();
  if (!title.isEmpty()) {
    QStyleOptionTitleBar option;
    option.initFrom(this);
    option.rect = title;
    option.text = FCaption;
    option.subControls = QStyle::SC_TitleBarLabel;
    option.titleBarFlags = Qt::Window | Qt::WindowTitleHint;
    option.titleBarState = Qt::WindowActive;
    option.state |= QStyle::State_Active;
    style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, this);
  }
  // The client area: a raised panel with the caption in its middle (covered
  // by the board in the game state).
  const QRect client = contentsRect();
  painter.fillRect(client, palette().color(QPalette::Button));
  qDrawShadePanel(&painter, client, palette(), false, 1);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawText(client, Qt::AlignCenter, FCaption);
}

int TTetPanel::HitTest(const QPoint& p) const {
  if (!(FWindowStyle & WS_THICKFRAME)) return HitNone;
  const QMargins m = contentsMargins();
  const int frame = m.left();
  int hit = HitNone;
  if (p.x() < frame) hit |= HitLeft;
  if (p.x() >= width() - frame) hit |= HitRight;
  if (p.y() < frame) hit |= HitTop;
  if (p.y() >= height() - frame) hit |= HitBottom;
  if (hit == HitNone && CaptionRect().contains(p)) hit = HitCaption;
  return hit;
}

// The title bar moves the panel inside its parent; the frame sizes it.
void TTetPanel::mousePressEvent(QMouseEvent* event) {
  DragHit = event->button() == Qt::LeftButton ? HitTest(event->position().toPoint()) : HitNone;
  DragOrigin = event->globalPosition().toPoint();
  DragGeometry = geometry();
  QWidget::mousePressEvent(event);
}

void TTetPanel::mouseMoveEvent(QMouseEvent* event) {
  if (DragHit == HitNone || !(event->buttons() & Qt::LeftButton)) {
    const int hit = HitTest(event->position().toPoint());
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (hit == (HitLeft | HitTop) || hit == (HitRight | HitBottom))
      shape = Qt::SizeFDiagCursor;
    else if (hit == (HitRight | HitTop) || hit == (HitLeft | HitBottom))
      shape = Qt::SizeBDiagCursor;
    else if (hit & (HitLeft | HitRight))
      shape = Qt::SizeHorCursor;
    else if (hit & (HitTop | HitBottom))
      shape = Qt::SizeVerCursor;
    setCursor(shape);
    return;
  }
  const QPoint delta = event->globalPosition().toPoint() - DragOrigin;
  if (DragHit == HitCaption) {
    move(DragGeometry.topLeft() + delta);
    return;
  }
  QRect r = DragGeometry;
  const int least = 2 * contentsMargins().left() + contentsMargins().top() + 8;
  if (DragHit & HitLeft) r.setLeft(std::min(r.left() + delta.x(), r.right() - least));
  if (DragHit & HitRight) r.setRight(std::max(r.right() + delta.x(), r.left() + least));
  if (DragHit & HitTop) r.setTop(std::min(r.top() + delta.y(), r.bottom() - least));
  if (DragHit & HitBottom) r.setBottom(std::max(r.bottom() + delta.y(), r.top() + least));
  setGeometry(r);
}

void TTetPanel::mouseReleaseEvent(QMouseEvent* event) {
  DragHit = HitNone;
  QWidget::mouseReleaseEvent(event);
}
