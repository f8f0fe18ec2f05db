// The small types of the parameter grid: placements, options, draw states,
// rectangles, brushes, pens and fonts, system colours, the grid's error
// types, and the layout rules that need no window (text composition, line
// splitting, text placement, the contrast colour of the focus frame).
#pragma once

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <vector>

// Horizontal placement of a text line.
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Vertical placement of a text line.
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

// How a cell parameter's caption and the cell's own text make the shown text.
enum TSCGCellCaptionType : uint8_t { ctCaption, ctCellText, ctHeader, ctFooter, ctTop, ctBottom };

// Input-method mode of the in-place editor.
enum TImeMode : uint8_t {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};

// Grid options: lines of fixed and scrolling cells, range selection, the
// focus colour on the focused cell, editing, whole-row selection.
enum TGridOption : uint16_t {
  goFixedVertLine = 0x0001,
  goFixedHorzLine = 0x0002,
  goVertLine = 0x0004,
  goHorzLine = 0x0008,
  goRangeSelect = 0x0010,
  goDrawFocusSelected = 0x0020,
  goEditing = 0x0040,
  goRowSelect = 0x0080,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// How a cell is to be drawn: selected, focused (the current cell of a grid
// with the keyboard focus), fixed.
enum TGridDrawStateFlag : uint8_t { gdSelected = 0x01, gdFocused = 0x02, gdFixed = 0x04 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// A pixel rectangle; Right and Bottom lie just outside it.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  // The rectangle grown by dx and dy on every side (shrunk for negative values).
  TRect Inflated(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

// A range of cells, both corners included.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
  bool operator==(const TGridRect&) const = default;
};

// A brush: style and colour. Giving a clear brush a colour makes it solid.
class TGridBrush {
 public:
  Qt::BrushStyle Style() const { return FStyle; }
  void SetStyle(Qt::BrushStyle style) { FStyle = style; }
  QColor Color() const { return FColor; }
  void SetColor(const QColor& color) {
    FColor = color;
    if (FStyle == Qt::NoBrush) FStyle = Qt::SolidPattern;
  }
  bool operator==(const TGridBrush&) const = default;

 private:
  Qt::BrushStyle FStyle = Qt::SolidPattern;
  QColor FColor = QColor(255, 255, 255);
};

struct TGridPen {
  Qt::PenStyle Style = Qt::SolidLine;
  QColor Color = QColor(0, 0, 0);
  int Width = 1;
  bool operator==(const TGridPen&) const = default;
};

// A font with its text colour.
struct TGridFont {
  QFont Font;
  QColor Color = QColor(0, 0, 0);
  bool operator==(const TGridFont&) const = default;
};

// The system colours the grid uses, from the application palette.
enum class TSystemColor { Window, WindowText, Highlight, HighlightText, BtnFace, BtnHighlight, BtnShadow, GrayText };
QColor SystemColor(TSystemColor which);

// The fixed colours of the drawing rules.
inline QColor SilverColor() { return QColor(0xC0, 0xC0, 0xC0); }
inline QColor GreyColor() { return QColor(0x80, 0x80, 0x80); }

// A refused property value or position. The message is the grid's own text.
class EGridError : public std::runtime_error {
 public:
  explicit EGridError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString Message() const { return QString::fromUtf8(what()); }
};
// A position, range or index outside what is allowed.
class EGridRangeError : public EGridError {
 public:
  using EGridError::EGridError;
};

namespace kvl::grid {

// The texts of the grid's errors.
inline const char* const kCellOutOfGrid = "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。";
inline const char* const kIndexOutOfRange = "ｲﾝﾃﾞｯｸｽが範囲を超えました。";
inline const char* const kFontInUse = "使用中のﾌｫﾝﾄを削除しようとしました。";
inline const char* const kBadRange = "範囲が不正です";
inline const char* const kFontNameEmpty = "フォント名は空にできません";
inline const char* const kFontNameUsed = "このフォント名はすでに使用されています";
inline const char* const kFontNotRegistered = "CellParams で指定されたフォント名が Fonts に登録されていません";

// The shown text of a cell from its own text and a cell parameter's caption.
QString ComposeCellText(TSCGCellCaptionType type, const QString& caption, const QString& cellText);

// The lines of a text broken at CR, LF or CR LF; a final line break starts
// no further line, and an empty text has no line.
QStringList SplitCellLines(const QString& text);

// The lines joined with CR LF after every line.
QString JoinCellLines(const QStringList& lines);

// Where a text line of the given extent starts: horizontally in the cell,
// vertically in the line's own rectangle.
QPoint TextOrigin(TAlignment alignment, TTextLayout layout, const TRect& cell, const TRect& line, int textWidth,
                  int textHeight);

// The colour a dot of the focus frame gets over colour `c`: the inverse,
// or black or white where the inverse would hardly differ from `c`.
QColor ContrastColor(const QColor& c);

// The dots of the focus frame on a cell rectangle: the top and bottom rows
// always, the left and right columns when asked.
std::vector<QPoint> FocusFramePoints(const TRect& rect, bool leftSide, bool rightSide);

// Whether an input method may be used in a control of that mode, and the
// hints that ask it for the mode's kind of input.
bool ImeModeAllowsInput(TImeMode mode);
Qt::InputMethodHints ImeModeHints(TImeMode mode);

// A colour as the 24-bit number blue-green-red, as the system stores it.
inline uint32_t ColorNumber(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

}  // namespace kvl::grid
