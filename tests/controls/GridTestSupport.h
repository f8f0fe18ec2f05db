// Shared pieces of the grid tests: the application object on the offscreen
// platform, a grid without a window that can be told it has the focus, and
// helpers that paint a grid into a picture and read it.
#pragma once

#include <QColor>
#include <QImage>

#include "StrCGridBase.h"

namespace gridtest {

// A grid without a window; `Focused` stands for the keyboard focus.
class TTestGrid : public TCustomStrColGrid {
 public:
  TTestGrid();
  bool Focused = false;

 protected:
  bool GridHasFocus() const override { return Focused; }
};

// A font that is installed everywhere the tests run, 12 pixels high.
QFont TestFont();

// Paints the whole grid (its client size) into a new picture.
QImage PaintGrid(TCustomStrColGrid& grid);

// The left-most, top-most, right-most and bottom-most pixels inside `area`
// whose colour differs clearly from `background` (Right and Bottom are the
// last such pixels, not one beyond); an empty result when there is none.
TRect InkBounds(const QImage& image, const TRect& area, const QColor& background);

}  // namespace gridtest
