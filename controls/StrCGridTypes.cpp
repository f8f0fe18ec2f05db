#include "StrCGridTypes.h"

#include <QGuiApplication>
#include <QPalette>

#include <cstdlib>

QColor SystemColor(TSystemColor which) {
  const QPalette palette = QGuiApplication::palette();
  switch (which) {
    case TSystemColor::Window: return palette.color(QPalette::Active, QPalette::Base);
    case TSystemColor::WindowText: return palette.color(QPalette::Active, QPalette::Text);
    case TSystemColor::Highlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case TSystemColor::HighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case TSystemColor::BtnFace: return palette.color(QPalette::Active, QPalette::Button);
    case TSystemColor::BtnHighlight: return palette.color(QPalette::Active, QPalette::Light);
    case TSystemColor::BtnShadow: return palette.color(QPalette::Active, QPalette::Dark);
    // The platform's grey text is a mid grey; a style's disabled text is
    // often much lighter and hardly shows on a coloured cell.
    case TSystemColor::GrayText: return QColor(0x80, 0x80, 0x80);
  }
  return QColor(0, 0, 0);
}

namespace kvl::grid {

QString ComposeCellText(TSCGCellCaptionType type, const QString& caption, const QString& cellText) {
  const QString cr(QChar(13));
  switch (type) {
    case ctCaption: return caption.isEmpty() ? cellText : caption;
    case ctCellText: return cellText.isEmpty() ? caption : cellText;
    case ctHeader: return caption + cellText;
    case ctFooter: return cellText + caption;
    case ctTop: return cellText.isEmpty() ? caption + cr + cr : caption + cr + cellText;
    case ctBottom: return cellText + cr + caption;
  }
  return cellText;
}

QStringList SplitCellLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    const QChar c = text.at(i);
    if (c == QChar(13) || c == QChar(10)) {
      lines.append(text.mid(start, i - start));
      if (c == QChar(13) && i + 1 < n && text.at(i + 1) == QChar(10)) ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

QString JoinCellLines(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + QStringLiteral("\r\n");
  return text;
}

QPoint TextOrigin(TAlignment alignment, TTextLayout layout, const TRect& cell, const TRect& line, int textWidth,
                  int textHeight) {
  int x = cell.Left + 2;
  switch (alignment) {
    case taLeftJustify: x = cell.Left + 2; break;
    case taRightJustify: x = cell.Right - (textWidth + 2); break;
    case taCenter: x = cell.Left + (cell.Width() - textWidth) / 2; break;
  }
  int y = line.Top + 2;
  switch (layout) {
    case tlTop: y = line.Top + 2; break;
    case tlCenter: y = line.Top + (line.Height() - textHeight) / 2 + 1; break;
    case tlBottom: y = line.Bottom - textHeight - 1; break;
  }
  return {x, y};
}

QColor ContrastColor(const QColor& c) {
  const QColor inverse(255 - c.red(), 255 - c.green(), 255 - c.blue());
  const int difference = std::abs(c.red() - inverse.red()) + std::abs(c.green() - inverse.green()) +
                         std::abs(c.blue() - inverse.blue());
  if (difference < 24) return ColorNumber(c) > 0xC0C0C0u ? QColor(0, 0, 0) : QColor(255, 255, 255);
  return inverse;
}

std::vector<QPoint> FocusFramePoints(const TRect& rect, bool leftSide, bool rightSide) {
  std::vector<QPoint> points;
  const int right = rect.Right - 1;
  const int bottom = rect.Bottom - 1;
  if (right < rect.Left || bottom < rect.Top) return points;
  for (int i = 0; i <= (right - rect.Left) / 2; ++i) {
    points.emplace_back(rect.Left + 2 * i, rect.Top);
    points.emplace_back(rect.Left + 2 * i, bottom);
  }
  for (int i = 1; i <= (bottom - rect.Top - 1) / 2; ++i) {
    if (leftSide) points.emplace_back(rect.Left, rect.Top + 2 * i);
    if (rightSide) points.emplace_back(right, rect.Top + 2 * i);
  }
  return points;
}

bool ImeModeAllowsInput(TImeMode mode) { return mode != imDisable; }

Qt::InputMethodHints ImeModeHints(TImeMode mode) {
  switch (mode) {
    case imClose:
    case imSAlpha:
    case imAlpha: return Qt::ImhPreferLatin;
    default: return Qt::ImhNone;
  }
}

}  // namespace kvl::grid
