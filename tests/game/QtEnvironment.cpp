// One application object for the whole game test program, on the offscreen
// platform, so that the tests run without a display.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "game_tests";
    static char* argv[] = {name, nullptr};
    App = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { App.reset(); }

 private:
  std::unique_ptr<QApplication> App;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
