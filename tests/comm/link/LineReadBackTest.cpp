// Opening a port whose driver keeps another line state than asked: the open
// fails with result 8 and leaves the port closed, unless only the second stop
// bit went. The simulated controller's pseudo-terminal stands behind a
// stand-in for the driver's line-state calls that gives the device number of
// a USB-serial adapter. <asm/termbits.h> cannot share a unit with
// <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>

#include "SerialPort.h"
#include "SimLink.h"

namespace {

struct Adapter {
  uint32_t clear = 0;  // control flags its driver drops
  uint32_t speed = 0;  // the speed it runs at instead (0: as asked)
  bool keeping = false;
  struct termios2 kept {};
};

Adapter adapter;

int UsbSerial(int fd, unsigned long request, void* argument) {
  if (request == TIOCGDEV) {
    *static_cast<unsigned int*>(argument) = static_cast<unsigned int>(makedev(188, 0));
    return 0;
  }
  if (request == TCGETS2 && adapter.keeping) {
    *static_cast<struct termios2*>(argument) = adapter.kept;
    return 0;
  }
  if (request == TCSETS2) {
    adapter.kept = *static_cast<const struct termios2*>(argument);
    adapter.kept.c_cflag &= ~adapter.clear;
    if (adapter.speed) adapter.kept.c_ospeed = adapter.kept.c_ispeed = adapter.speed;
    adapter.keeping = true;
  }
  return ::ioctl(fd, request, argument);
}

class LineReadBackTest : public SimLinkTest {
 protected:
  void TearDown() override {
    kvl::SetSerialLineIoctl(nullptr);
    SimLinkTest::TearDown();
  }
};

TEST_F(LineReadBackTest, AnAdapterThatDropsTheFramingFailsTheOpen) {
  const struct {
    const char* name;
    int lineSetting;  // LineSettingIndex
    Adapter adapter;
    uint32_t result;
  } cases[] = {
      {"as asked", 3, {}, 0},
      {"even parity dropped", 3, {PARENB}, 8},
      {"56000 run at 57600", 12, {0, 57600}, 8},
      {"second stop bit dropped", 12, {CSTOPB}, 0},
  };
  link.Close();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LineSettingEntry& entry = kLineSettings[c.lineSetting - 1];
    link.Baud = entry.Baud;
    link.Parity = entry.Parity;
    link.StopBits = entry.StopBits;
    adapter = c.adapter;
    kvl::SetSerialLineIoctl(&UsbSerial);
    EXPECT_EQ(link.Open(), c.result);
    EXPECT_EQ(link.IsOpen(), c.result == 0);
    if (c.result == 0) {
      uint16_t word = 0;
      EXPECT_TRUE(link.ReadWords(9997, 1, &word));
      EXPECT_EQ(word, 1552);
    }
    link.Close();
    // The device is not left locked: the next open takes it.
    kvl::SetSerialLineIoctl(nullptr);
    ASSERT_EQ(link.Open(), 0u);
    link.Close();
  }
}

}  // namespace
