// The drawing surface of the parameter grid: a brush, a pen and a font that
// keep their state between cells, and the few drawing operations the cell
// drawing uses, on an image while one is attached (without one, drawing does
// nothing and pixels read as black).
#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>

#include <memory>

#include "StrCGridTypes.h"

class TGridCanvas {
 public:
  TGridCanvas();
  ~TGridCanvas();
  TGridCanvas(const TGridCanvas&) = delete;
  TGridCanvas& operator=(const TGridCanvas&) = delete;

  // Draws on `image` until Detach; the image must outlive the attachment.
  void Attach(QImage& image);
  void Detach();
  bool Attached() const { return FImage != nullptr; }

  TGridBrush Brush;
  TGridPen Pen;
  TGridFont Font;

  // Fills the rectangle with the brush (a clear brush fills nothing).
  void FillRect(const TRect& rect);
  // Outlines with the pen and fills the inside with the brush; the right
  // and bottom edges are not drawn, and without a pen the fill stops one
  // pixel short of them.
  void Rectangle(int left, int top, int right, int bottom);
  QColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, const QColor& color);
  void MoveTo(int x, int y);
  // A line with the pen from the pen position to (x, y), the end point left
  // out; the pen position moves there.
  void LineTo(int x, int y);
  QPoint PenPos() const { return FPenPos; }
  // A text line whose top-left corner is (x, y), clipped to `clip`, in the
  // font's colour, over the brush when the brush is solid.
  void TextRect(const TRect& clip, int x, int y, const QString& text);
  // The text broken at line breaks and word boundaries, from the top-left of
  // the rectangle, clipped to it.
  void DrawTextWrapped(const TRect& rect, const QString& text);
  int TextWidth(const QString& text) const;
  int TextHeight(const QString& text) const;

 private:
  void PlotPixel(int x, int y, const QColor& color);
  QImage* FImage = nullptr;
  std::unique_ptr<QPainter> FPainter;
  QPoint FPenPos;
};
