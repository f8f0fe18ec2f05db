#include "StrCGridCanvas.h"

#include <QFontMetrics>
#include <QRect>

#include <cstdlib>

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

QBrush ToQBrush(const TGridBrush& brush) { return QBrush(brush.Color(), brush.Style()); }

// Line breaks of every kind become the one the painter breaks at.
QString WithPlainLineBreaks(const QString& text) {
  QString result = text;
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QChar(13), QChar(10));
  return result;
}

}  // namespace

TGridCanvas::TGridCanvas() { Brush.SetStyle(Qt::SolidPattern); }

TGridCanvas::~TGridCanvas() { Detach(); }

void TGridCanvas::Attach(QImage& image) {
  Detach();
  FImage = &image;
  FPainter = std::make_unique<QPainter>(&image);
  FPainter->setRenderHint(QPainter::Antialiasing, false);
}

void TGridCanvas::Detach() {
  if (FPainter) FPainter->end();
  FPainter.reset();
  FImage = nullptr;
}

void TGridCanvas::FillRect(const TRect& rect) {
  if (!FPainter || rect.IsEmpty() || Brush.Style() == Qt::NoBrush) return;
  FPainter->fillRect(ToQRect(rect), ToQBrush(Brush));
}

void TGridCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (!FPainter) return;
  if (Pen.Style == Qt::NoPen) {
    FillRect({left, top, right - 1, bottom - 1});
    return;
  }
  FillRect({left + 1, top + 1, right - 1, bottom - 1});
  MoveTo(left, top);
  LineTo(right - 1, top);
  LineTo(right - 1, bottom - 1);
  LineTo(left, bottom - 1);
  LineTo(left, top);
}

QColor TGridCanvas::Pixel(int x, int y) const {
  if (!FImage || !FImage->valid(x, y)) return QColor(0, 0, 0);
  return FImage->pixelColor(x, y);
}

void TGridCanvas::SetPixel(int x, int y, const QColor& color) { PlotPixel(x, y, color); }

void TGridCanvas::PlotPixel(int x, int y, const QColor& color) {
  if (!FPainter || !FImage->valid(x, y)) return;
  FPainter->fillRect(QRect(x, y, 1, 1), color);
}

void TGridCanvas::MoveTo(int x, int y) { FPenPos = QPoint(x, y); }

void TGridCanvas::LineTo(int x, int y) {
  const QPoint from = FPenPos;
  FPenPos = QPoint(x, y);
  if (!FPainter || Pen.Style == Qt::NoPen) return;
  // Bresenham from the start point up to, not including, the end point.
  int x0 = from.x();
  int y0 = from.y();
  const int dx = std::abs(x - x0);
  const int dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1;
  const int sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  while (x0 != x || y0 != y) {
    PlotPixel(x0, y0, Pen.Color);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void TGridCanvas::TextRect(const TRect& clip, int x, int y, const QString& text) {
  if (!FPainter || clip.IsEmpty()) return;
  FPainter->save();
  FPainter->setClipRect(ToQRect(clip));
  if (Brush.Style() != Qt::NoBrush) FPainter->fillRect(ToQRect(clip), ToQBrush(Brush));
  FPainter->setFont(Font.Font);
  FPainter->setPen(Font.Color);
  const QFontMetrics metrics(Font.Font, FImage);
  FPainter->drawText(QPoint(x, y + metrics.ascent()), text);
  FPainter->restore();
}

void TGridCanvas::DrawTextWrapped(const TRect& rect, const QString& text) {
  if (!FPainter || rect.IsEmpty()) return;
  FPainter->save();
  FPainter->setClipRect(ToQRect(rect));
  FPainter->setFont(Font.Font);
  FPainter->setPen(Font.Color);
  FPainter->drawText(ToQRect(rect), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, WithPlainLineBreaks(text));
  FPainter->restore();
}

int TGridCanvas::TextWidth(const QString& text) const {
  return QFontMetrics(Font.Font, FImage).horizontalAdvance(text);
}

int TGridCanvas::TextHeight(const QString&) const { return QFontMetrics(Font.Font, FImage).height(); }
