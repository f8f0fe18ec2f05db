// A panel that turns into the falling-blocks game. In state StPanel it is an
// ordinary panel showing its caption. In state Plumet it gets a sizing frame
// (and, with WithCaption, a title bar showing the caption), creates a game
// board filling its client area and copies its settings into it; from then
// on it starts and pauses games, routes keys to the board, keeps the score
// and play time in its caption and republishes the board's events.
//
// A bad property value is answered with an error box (through the message
// presenter) and the old value stays.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

#include "GameMessages.h"
#include "TetBoard.h"
#include "TetBoardWidget.h"

enum class TState : uint8_t { StPanel = 0, Plumet = 1 };

class TTetPanel : public QWidget {
 public:
  // Window style bits the game state adds to the panel's frame.
  static constexpr uint32_t WS_CAPTION = 0xC00000;
  static constexpr uint32_t WS_THICKFRAME = 0x40000;

  // Without a presenter, messages are shown as modal message boxes.
  explicit TTetPanel(QWidget* parent = nullptr, TGameMessagePresenter presenter = {});
  ~TTetPanel() override;

  void SetMessagePresenter(TGameMessagePresenter presenter);

  // ---- published properties ----
  QString About() const;
  TState State() const { return FState; }
  void SetState(TState value);
  bool Start() const { return FStart; }
  void SetStart(bool value);
  bool PicStretch() const { return FPicStretch; }
  void SetPicStretch(bool value);
  uint32_t ColorTB() const { return FColorTB; }
  void SetColorTB(uint32_t value);
  uint32_t ColorTF() const { return FColorTF; }
  void SetColorTF(uint32_t value);
  TColorTAFShapes ColorTShapes() const { return FColorTShapes; }
  void SetColorTShapes(TColorTAFShapes value);
  uint32_t ColorTShapesPen() const { return FColorTShapesPen; }
  void SetColorTShapesPen(uint32_t value);
  int WidthTShapesPen() const { return FWidthTShapesPen; }
  void SetWidthTShapesPen(int value);
  int TDelay() const { return FTDelay; }
  void SetTDelay(int value);
  bool NextSColorT() const { return FNextSColorT; }
  void SetNextSColorT(bool value);
  bool TimerFocus() const { return FTimerFocus; }
  void SetTimerFocus(bool value);
  bool DefKeys() const { return FDefKeys; }
  void SetDefKeys(bool value);
  uint32_t OneColorTShapes() const { return FOneColorTShapes; }
  void SetOneColorTShapes(uint32_t value);
  TShapeType ShapesTShape() const { return FShapesTShape; }
  void SetShapesTShape(TShapeType value);
  TBrushStyle ShapesTBrushStyle() const { return FShapesTBrushStyle; }
  void SetShapesTBrushStyle(TBrushStyle value);
  bool ShowScoresTime() const { return FShowScoresTime; }
  void SetShowScoresTime(bool value);
  bool ShowAllDlgs() const { return FShowAllDlgs; }
  void SetShowAllDlgs(bool value);
  QString AOverPicture() const { return FAOverPicture; }
  void SetAOverPicture(const QString& value);
  int TCoeff() const { return FTCoeff; }
  void SetTCoeff(int value);
  QString BStPicture() const { return FBStPicture; }
  void SetBStPicture(const QString& value);
  uint16_t TRows() const { return FTRows; }
  void SeTTRows(int value);
  uint16_t TColumns() const { return FTColumns; }
  void SeTTColumns(int value);
  bool WithCaption() const { return FWithCaption; }
  void SetWithCaption(bool value);

  // Events; each passes the panel.
  std::function<void(TTetPanel&)> OnPlumetTime;
  std::function<void(TTetPanel&)> OnPlumetOver;
  std::function<void(TTetPanel&)> OnPlumetDelete;
  std::function<void(TTetPanel&)> OnPlumetContact;
  // The panel's own key-down event: every key pressed on the board
  // (virtual-key code), before the board acts on it.
  std::function<void(TTetPanel&, uint16_t key)> OnKeyDown;

  // ---- public, not published ----
  bool Pause() const { return FPause; }
  void SetPause(bool value);
  // Kind 1..7 of the next shape; after every spawn the board's next kind.
  uint16_t NextTShape() const { return FNextTShape; }
  void SetNextTShape(int value);
  TTSAKey GKey() const { return FGKey; }
  // Performs the action while a game runs and is not paused.
  void SetGKey(TTSAKey value);

  // The panel's caption (the title bar's text in the game state).
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& value);

  // ---- game state ----
  int Scores() const { return FScores; }
  int DeletedRows() const { return FDeletedRows; }
  double PlayTime() const { return FPlayTime; }
  uint32_t WindowStyle() const { return FWindowStyle; }
  QRect SavedBounds() const { return FSavedBounds; }
  const QImage* Picture() const { return FPicture.get(); }
  // The board while in the game state, else none.
  TTtrsWidget* Board() const { return FBoard; }

  // Gives the board the keyboard focus when the board's keys play a running,
  // painted, unpaused game and the board lacks it.
  void PanelSetFocus();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ChangeState();
  void ChangeParams();
  void ApplyFrame();
  QRect CaptionRect() const;
  int HitTest(const QPoint& p) const;
  void Show(TGameMessageKind kind, const QString& text);
  // Loads `name` into Picture; when it cannot be read, says so, drops the
  // picture and empties the property so that the file is not tried again.
  void LoadPicture(QString& name);
  QString ScoreCaption() const;
  bool HasBoard() const { return FState == TState::Plumet && FBoard; }
  TTtrs* Logic() const { return FBoard ? &FBoard->Board() : nullptr; }

  // Board event handlers.
  void TetPanelKeyDown(uint16_t key);
  void PlumetDelete();
  void PlumetContact();
  void STAFTime();
  void PlumetOver();
  void PlumetPaint(QPainter& painter);

  TGameMessagePresenter Presenter;
  TState FState = TState::StPanel;
  bool FStart = false;
  bool FPicStretch = true;
  uint32_t FColorTB = 0;
  uint32_t FColorTF = 0;
  TColorTAFShapes FColorTShapes = TColorTAFShapes::colorFixed;
  uint32_t FColorTShapesPen = 0xFFFFFF;
  int FWidthTShapesPen = 1;
  int FTDelay = 200;
  bool FNextSColorT = false;
  bool FTimerFocus = false;
  bool FDefKeys = true;
  uint32_t FOneColorTShapes = 0x8000000F;
  TShapeType FShapesTShape = TShapeType::stRoundRect;
  TBrushStyle FShapesTBrushStyle = TBrushStyle::bsSolid;
  bool FShowScoresTime = true;
  bool FShowAllDlgs = true;
  QString FAOverPicture;
  int FTCoeff = 1;
  QString FBStPicture;
  uint16_t FTRows = 20;
  uint16_t FTColumns = 10;
  bool FWithCaption = true;
  bool FPause = false;
  uint16_t FNextTShape = 7;
  TTSAKey FGKey = TTSAKey::Lft;
  QString FCaption;

  std::unique_ptr<QImage> FPicture;
  QRect FSavedBounds;
  int FScores = 0;
  int FDeletedRows = 0;
  double FPlayTime = 0;
  uint32_t FWindowStyle = 0;

  // The board of the game state and the caption it replaced.
  TTtrsWidget* FBoard = nullptr;
  QString SavedCaption;

  // Moving or sizing by the frame.
  int DragHit = 0;
  QPoint DragOrigin;
  QRect DragGeometry;
};
