// The line state read back after it was set: a driver that takes a setting
// and keeps only part of it fails the set-up. The device is a pseudo-terminal
// behind a stand-in for the driver's line-state calls, which keeps the line
// state with a flag dropped or the speed rounded and may give the device
// number of a USB-serial adapter. <asm/termbits.h> cannot share a unit with
// <termios.h>.
#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "SerialPort.h"

namespace {

// What the stand-in driver does with the line state it is given.
struct Driver {
  bool usbSerial = true;     // gives the device number of /dev/ttyUSB0, else the pseudo-terminal's own
  uint32_t clear = 0;        // control flags it drops
  uint32_t set = 0;          // control flags it adds
  uint32_t speed = 0;        // the speed it runs at instead (0: as asked)
  uint32_t inputSpeed = 0;   // likewise the input speed
  bool keeping = false;      // a line state was set: reads give what it kept
  struct termios2 kept {};
};

Driver driver;

int StandIn(int fd, unsigned long request, void* argument) {
  if (request == TIOCGDEV && driver.usbSerial) {
    *static_cast<unsigned int*>(argument) = static_cast<unsigned int>(makedev(188, 0));
    return 0;
  }
  if (request == TCGETS2 && driver.keeping) {
    *static_cast<struct termios2*>(argument) = driver.kept;
    return 0;
  }
  if (request == TCSETS2) {
    driver.kept = *static_cast<const struct termios2*>(argument);
    driver.kept.c_cflag = (driver.kept.c_cflag & ~driver.clear) | driver.set;
    if (driver.speed) driver.kept.c_ospeed = driver.speed;
    if (driver.inputSpeed) driver.kept.c_ispeed = driver.inputSpeed;
    driver.keeping = true;
  }
  return ::ioctl(fd, request, argument);
}

class SerialReadBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    driver = Driver{};
  }
  void TearDown() override {
    kvl::SetSerialLineIoctl(nullptr);
    if (slave >= 0) ::close(slave);
    if (master >= 0) ::close(master);
  }
  int master = -1;
  int slave = -1;
};

kvl::SerialLine Line(uint32_t baud, bool even) {
  kvl::SerialLine line;
  line.Baud = baud;
  line.EvenParity = even;
  line.TwoStopBits = !even;  // as the line settings pair them
  return line;
}

TEST_F(SerialReadBackTest, ALineKeptOtherThanAskedFailsTheSetUp) {
  using R = kvl::SerialLineResult;
  const struct {
    const char* name;
    kvl::SerialLine line;
    Driver driver;
    R result;
  } cases[] = {
      {"kept as asked, even parity", Line(9600, true), {}, R::Ok},
      {"kept as asked, no parity", Line(56000, false), {}, R::Ok},
      {"even parity dropped", Line(9600, true), {true, PARENB}, R::SetFailed},
      {"odd parity instead of even", Line(9600, true), {true, 0, PARODD}, R::SetFailed},
      {"space parity instead of even", Line(9600, true), {true, 0, CMSPAR}, R::SetFailed},
      {"parity added", Line(9600, false), {true, 0, PARENB}, R::SetFailed},
      {"seven data bits", Line(19200, true), {true, CSIZE, CS7}, R::SetFailed},
      {"second stop bit dropped", Line(19200, false), {true, CSTOPB}, R::Ok},
      {"56000 rounded to 57600", Line(56000, true), {true, 0, 0, 57600}, R::SetFailed},
      {"115200 run at 113636 (1.4% off)", Line(115200, true), {true, 0, 0, 113636}, R::Ok},
      {"115200 run at 117647 (2.1% off)", Line(115200, true), {true, 0, 0, 117647}, R::SetFailed},
      {"input speed rounded", Line(56000, false), {true, 0, 0, 0, 57600}, R::SetFailed},
      // A pseudo-terminal is told by its device number: its framing is not
      // compared, its speed is.
      {"pseudo-terminal, parity dropped", Line(9600, true), {false, PARENB}, R::Ok},
      {"pseudo-terminal, seven data bits", Line(9600, false), {false, CSIZE, CS7}, R::Ok},
      {"pseudo-terminal, speed rounded", Line(56000, true), {false, 0, 0, 57600}, R::SetFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    driver = c.driver;
    kvl::SetSerialLineIoctl(&StandIn);
    EXPECT_EQ(kvl::SerialIsPseudoTerminal(slave), !c.driver.usbSerial);
    EXPECT_EQ(kvl::SerialApplyLine(slave, c.line), c.result);
  }
}

TEST_F(SerialReadBackTest, APseudoTerminalTakesEveryLineSetting) {
  // The real calls: the kernel's pseudo-terminal drops parity itself.
  EXPECT_TRUE(kvl::SerialIsPseudoTerminal(slave));
  EXPECT_TRUE(kvl::SerialIsPseudoTerminal(master));
  for (uint32_t baud : {4800u, 9600u, 19200u, 38400u, 57600u, 56000u, 115200u})
    for (bool even : {true, false}) {
      SCOPED_TRACE(testing::Message() << baud << (even ? " even" : " none"));
      EXPECT_EQ(kvl::SerialApplyLine(slave, Line(baud, even)), kvl::SerialLineResult::Ok);
      kvl::SerialLine kept;
      ASSERT_TRUE(kvl::SerialQueryLine(slave, kept));
      EXPECT_EQ(kept.Baud, baud);
    }
}

TEST_F(SerialReadBackTest, OtherDevicesAreNoPseudoTerminals) {
  const int null = ::open("/dev/null", O_RDWR);
  ASSERT_GE(null, 0);
  EXPECT_FALSE(kvl::SerialIsPseudoTerminal(null));
  ::close(null);
  driver.usbSerial = true;
  kvl::SetSerialLineIoctl(&StandIn);
  EXPECT_FALSE(kvl::SerialIsPseudoTerminal(slave));
}

}  // namespace
