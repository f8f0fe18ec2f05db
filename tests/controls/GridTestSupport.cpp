#include "GridTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace gridtest {

TTestGrid::TTestGrid() {
  TGridFont font;
  font.Font = TestFont();
  font.Color = QColor(0, 0, 0);
  SetFont(font);
}

QFont TestFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  return font;
}

QImage PaintGrid(TCustomStrColGrid& grid) {
  QImage image(grid.ClientWidth(), grid.ClientHeight(), QImage::Format_RGB32);
  image.fill(QColor(1, 2, 3));
  grid.Canvas().Attach(image);
  grid.Paint();
  grid.Canvas().Detach();
  return image;
}

TRect InkBounds(const QImage& image, const TRect& area, const QColor& background) {
  TRect ink{area.Right, area.Bottom, area.Left - 1, area.Top - 1};
  bool found = false;
  for (int y = area.Top; y < area.Bottom; ++y) {
    for (int x = area.Left; x < area.Right; ++x) {
      const QColor c = image.pixelColor(x, y);
      const int difference = std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                             std::abs(c.blue() - background.blue());
      if (difference < 120) continue;
      found = true;
      ink.Left = std::min(ink.Left, x);
      ink.Top = std::min(ink.Top, y);
      ink.Right = std::max(ink.Right, x);
      ink.Bottom = std::max(ink.Bottom, y);
    }
  }
  return found ? ink : TRect{};
}

namespace {

// One application object for the whole test program, on the offscreen
// platform, created before the first test runs.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "controls_tests";
    static char* argv[] = {name, nullptr};
    App = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { App.reset(); }

 private:
  std::unique_ptr<QApplication> App;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

}  // namespace gridtest
