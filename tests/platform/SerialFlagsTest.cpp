// The terminal flags of a line. <asm/termbits.h> gives the kernel's flag
// values; it cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <gtest/gtest.h>

#include "SerialPort.h"

namespace {

TEST(SerialFlagsTest, RawEightBitLineWithTheChosenFraming) {
  // Start from a cooked terminal with both kinds of flow control and odd parity.
  const kvl::SerialFlags cooked = {ICRNL | IXON | IXOFF | IXANY | ISTRIP | IGNPAR | PARMRK | BRKINT, OPOST | ONLCR,
                                   B9600 | CS7 | PARENB | PARODD | CRTSCTS | HUPCL,
                                   ISIG | ICANON | ECHO | ECHOE | IEXTEN};
  const struct {
    bool even, two;
  } cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.even << c.two);
    kvl::SerialLine line;
    line.Baud = 56000;
    line.EvenParity = c.even;
    line.TwoStopBits = c.two;
    const kvl::SerialFlags f = kvl::SerialRawFlags(line, cooked);
    EXPECT_EQ(f.Control & CBAUD, static_cast<unsigned>(BOTHER));
    EXPECT_EQ((f.Control >> IBSHIFT) & CBAUD, static_cast<unsigned>(BOTHER));
    EXPECT_EQ(f.Control & CSIZE, static_cast<unsigned>(CS8));
    EXPECT_EQ((f.Control & PARENB) != 0, c.even);
    EXPECT_EQ(f.Control & PARODD, 0u);
    EXPECT_EQ((f.Control & CSTOPB) != 0, c.two);
    EXPECT_EQ(f.Control & CRTSCTS, 0u);
    EXPECT_NE(f.Control & CREAD, 0u);
    EXPECT_NE(f.Control & CLOCAL, 0u);
    EXPECT_NE(f.Control & HUPCL, 0u) << "bits the link does not care about stay";
    EXPECT_EQ(f.Input & (IXON | IXOFF | IXANY | ICRNL | ISTRIP | IGNPAR | PARMRK | BRKINT), 0u);
    EXPECT_NE(f.Input & INPCK, 0u);
    EXPECT_EQ(f.Output & (OPOST | ONLCR), 0u);
    EXPECT_EQ(f.Local & (ISIG | ICANON | ECHO | ECHOE | IEXTEN), 0u);
  }
}

}  // namespace
