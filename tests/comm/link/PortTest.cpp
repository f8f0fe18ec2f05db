#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>

#include "PlainMessage.h"
#include "SerialPort.h"
#include "SimLink.h"

namespace {

class PortTest : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    link.ReceiveTimeout = 100;
  }
  // Writes bytes from the controller's side and waits until the port has them.
  void Deliver(const std::vector<uint8_t>& bytes) {
    sim.SendRaw(bytes);
    const bool arrived = WaitUntil([&] {
      uint32_t in = 0, out = 0;
      return kvl::SerialQueueCounts(link.Handle(), in, out) && in >= bytes.size();
    });
    if (!arrived) FAIL() << "bytes did not arrive";
  }
};

// Room a loaded machine (or the sanitizers) may add to a wait that ends on
// its time-out: a bound that catches a wait that does not end, never one that
// only came late.
constexpr auto kWakeSlack = std::chrono::milliseconds(1500);

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

TEST_F(PortTest, BinaryReplyTakesExactlyItsLengthAndDropsTheRestOfThePiece) {
  Deliver(Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  uint8_t buffer[16] = {};
  uint32_t status = 99, count = 0;
  ASSERT_TRUE(link.Receive(buffer, 8, status, count));
  EXPECT_EQ(count, 8u);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(buffer[8], 0) << "nothing stored past the expected length";
  EXPECT_FALSE(link.Receive(buffer, 2, status, count));
  EXPECT_EQ(status, TComm::kStatusTimeout);
  EXPECT_EQ(count, 0u);
}

TEST_F(PortTest, TextLinesStartAtStxAndEndAtCrLf) {
  struct Case {
    const char* name;
    std::vector<uint8_t> line;
    bool ok;
    std::vector<uint8_t> stored;  // the NUL after the stored bytes included
    uint32_t status;
  } cases[] = {
      {"noise around a line", TextBytes("xx\x02" "ab\r\nyy"), true, TextBytes(std::string("\x02" "ab\r\n", 5) + '\0'),
       0},
      {"a lone LF is kept", TextBytes("\x02" "a\nb\r\n"), true, TextBytes(std::string("\x02" "a\nb\r\n", 6) + '\0'), 0},
      {"a second STX starts again", TextBytes("\x02" "old\x02" "new\r\n"), true,
       TextBytes(std::string("\x02" "new\r\n", 6) + '\0'), 0},
      {"cut off by the time-out", TextBytes("\x02" "ab"), true, TextBytes(std::string("\x02" "ab", 3) + '\0'), 0},
      {"nothing", {}, false, TextBytes(std::string(1, '\0')), TComm::kStatusTimeout},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    link.PurgeInput();
    if (!c.line.empty()) Deliver(c.line);
    std::vector<uint8_t> buffer(TComm::kLineBufferSize + 1, 0xEE);
    uint32_t status = 0, count = 0;
    EXPECT_EQ(link.Receive(buffer.data(), TComm::kTextLine, status, count), c.ok);
    EXPECT_EQ(status, c.status);
    ASSERT_EQ(count + 1, c.stored.size());
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + count + 1), c.stored);
  }
}

TEST_F(PortTest, AnOverlongTextLineStaysInsideItsBuffer) {
  std::string line = "\x02";
  line += std::string(5000, 'a');
  line += "\r\n";
  sim.SendRaw(TextBytes(line));
  std::vector<uint8_t> buffer(TComm::kLineBufferSize + 1 + 64, 0xEE);
  uint32_t status = 0, count = 0;
  EXPECT_TRUE(link.Receive(buffer.data(), TComm::kTextLine, status, count));
  EXPECT_EQ(count, TComm::kLineBufferSize);
  EXPECT_EQ(buffer[TComm::kLineBufferSize], 0);
  for (size_t i = TComm::kLineBufferSize + 1; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
}

TEST_F(PortTest, SilentControllerEndsAReceiveAfterTheTimeOutWithoutSpinning) {
  const struct {
    const char* name;
    uint32_t expected;
  } cases[] = {{"binary", 8}, {"text", TComm::kTextLine}};
  link.ReceiveTimeout = 300;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> buffer(TComm::kLineBufferSize + 1);
    uint32_t status = 0, count = 0;
    const double cpu0 = CpuMs();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.Receive(buffer.data(), c.expected, status, count));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuMs() - cpu0;
    EXPECT_EQ(status, TComm::kStatusTimeout);
    EXPECT_GE(ms, 295);  // the clock counts whole milliseconds
    EXPECT_LT(ms, 300 + kWakeSlack.count());
    // The process's own time hardly moves with the load: a busy wait takes
    // the whole 300 ms, a poll at most some 5 ms (measured under the
    // sanitizers; 0.1 ms to 0.6 ms for the text line).
    EXPECT_LT(cpu, 30.0) << "a wait of 300 ms took " << cpu << " ms of processor time";
  }
}

std::string gMessage;
void Capture(std::string_view text) { gMessage = text; }

TEST_F(PortTest, SendTakesAtMostTheOutputQueue) {
  gMessage.clear();
  auto previous = kvl::SetPlainMessageHandler(Capture);
  const std::vector<uint8_t> tooLong(4097, 0x55), longest(4096, 0x55);
  EXPECT_FALSE(link.Send(tooLong.data(), 4097));
  EXPECT_EQ(gMessage, "send data too long");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(sim.BytesReceived(), 0u);
  gMessage.clear();
  EXPECT_TRUE(link.Send(longest.data(), 4096));
  EXPECT_TRUE(WaitForBytes(4096));
  EXPECT_EQ(gMessage, "");
  kvl::SetPlainMessageHandler(previous);
}

TEST(StalledLineTest, SendGivesUpAfterTheTimeOut) {
  // A controller that reads nothing: the line's buffer fills, and a send
  // waits for room no longer than the time-out.
  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  char name[128] = {};
  ASSERT_EQ(::ttyname_r(slave, name, sizeof name), 0);
  ::setenv("KVLQ70_COM5", name, 1);
  TComm port;
  port.PortNumber = 5;
  port.ReceiveTimeout = 100;
  ASSERT_EQ(port.Open(), 0u);
  const std::vector<uint8_t> block(4096, 0x55);
  bool sent = true;
  int blocks = 0;
  std::chrono::steady_clock::duration last{};
  while (sent && blocks < 64) {
    const auto start = std::chrono::steady_clock::now();
    sent = port.Send(block.data(), 4096);
    last = std::chrono::steady_clock::now() - start;
    ++blocks;
  }
  EXPECT_FALSE(sent);
  EXPECT_GT(blocks, 1);
  EXPECT_GE(last, std::chrono::milliseconds(95));  // the clock counts whole milliseconds
  EXPECT_LT(last, std::chrono::milliseconds(100) + kWakeSlack);
  port.Close();
  ::close(master);
  ::close(slave);
  ::unsetenv("KVLQ70_COM5");
}

void IgnoreSignal(int) {}

TEST(InterruptedWaitTest, SignalsDoNotCutAWaitShort) {
  // A handled signal ends a poll early; every wait still lasts its time-out.
  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  char name[128] = {};
  ASSERT_EQ(::ttyname_r(slave, name, sizeof name), 0);
  ::setenv("KVLQ70_COM6", name, 1);
  TComm port;
  port.PortNumber = 6;
  ASSERT_EQ(port.Open(), 0u);
  // Fill the line: the other side reads nothing.
  const std::vector<uint8_t> block(4096, 0x55);
  port.ReceiveTimeout = 0;
  // The pseudo-terminal moves bytes on a little later (later still on a
  // loaded machine): full once three rounds in a row take no block.
  for (int round = 0, idle = 0; idle < 3 && round < 500; ++round) {
    int sent = 0;
    while (sent < 64 && port.Send(block.data(), 4096)) ++sent;
    idle = sent == 0 ? idle + 1 : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  port.ReceiveTimeout = 200;

  struct sigaction action {}, previous{};
  action.sa_handler = IgnoreSignal;  // no SA_RESTART: poll returns EINTR
  ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);
  const pthread_t waiter = ::pthread_self();
  std::atomic<bool> done{false};
  std::thread signaller([&] {
    while (!done.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ::pthread_kill(waiter, SIGUSR1);
    }
  });

  std::vector<uint8_t> buffer(TComm::kLineBufferSize + 1);
  uint32_t status = 0, count = 0;
  const struct {
    const char* name;
    std::function<bool()> run;
  } cases[] = {
      {"send on a full line", [&] { return port.Send(block.data(), 4096); }},
      {"binary receive", [&] { return port.Receive(buffer.data(), 8, status, count); }},
      {"text receive", [&] { return port.Receive(buffer.data(), TComm::kTextLine, status, count); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c.run());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(190));  // the clock counts whole milliseconds
    // A wait that started again on each signal (every 5 ms) would not end.
    EXPECT_LT(took, std::chrono::milliseconds(200) + kWakeSlack);
  }
  done = true;
  signaller.join();
  ::sigaction(SIGUSR1, &previous, nullptr);
  port.Close();
  ::close(master);
  ::close(slave);
  ::unsetenv("KVLQ70_COM6");
}

TEST_F(PortTest, ClosedPortSendsAndReceivesNothing) {
  EXPECT_EQ(link.Close(), 0u);
  EXPECT_EQ(link.Handle(), -1);
  EXPECT_EQ(link.Close(), 1u);
  uint8_t buffer[8];
  uint32_t status = 7, count = 7;
  EXPECT_FALSE(link.Send(buffer, 8));
  EXPECT_FALSE(link.Receive(buffer, 8, status, count));
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(count, 0u);
}

TEST_F(PortTest, APortInUseIsRefusedAndTheOpenOneGoesOn) {
  const int handle = link.Handle();
  TProtocol second;
  second.ReceiveTimeout = 100;
  EXPECT_EQ(second.Open(), 3u);
  EXPECT_FALSE(second.IsOpen());
  // Opening the open port again refuses too and leaves it as it was.
  EXPECT_EQ(link.Open(), 3u);
  EXPECT_EQ(link.Handle(), handle);
  uint16_t word = 0;
  ASSERT_TRUE(link.ReadWords(9997, 1, &word));
  EXPECT_EQ(word, 1552);
  // Once the first lets go, the second gets the port.
  EXPECT_EQ(link.Close(), 0u);
  ASSERT_EQ(second.Open(), 0u);
  ASSERT_TRUE(second.ReadWords(9997, 1, &word));
  EXPECT_EQ(second.Close(), 0u);
}

// Opens the device as a program that takes no lock would, in a child
// process without the superuser's rights (which exclusive mode lets in).
bool PlainOpenSucceeds(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::_exit(fd >= 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(PortTest, AnOpenPortKeepsOutProgramsThatTakeNoLock) {
  const std::string path = sim.SlavePath();
  ::chmod(path.c_str(), 0666);  // any user could open it but for exclusive mode
  int exclusive = 0;
  ASSERT_EQ(::ioctl(link.Handle(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  EXPECT_FALSE(PlainOpenSucceeds(path));
  // Closing lets the device go, although the controller's side stays open.
  EXPECT_EQ(link.Close(), 0u);
  EXPECT_TRUE(PlainOpenSucceeds(path));
  ASSERT_EQ(link.Open(), 0u);
  EXPECT_FALSE(PlainOpenSucceeds(path));
}

TEST_F(PortTest, PortNumbersOutsideOneToSixteenOpenNothing) {
  ::setenv("KVLQ70_COM16", sim.SlavePath().c_str(), 1);
  link.Close();
  const struct {
    int port;
    uint32_t result;
  } cases[] = {{0, 1}, {17, 1}, {-1, 1}, {16, 0}, {1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    link.PortNumber = c.port;
    EXPECT_EQ(link.Open(), c.result);
    EXPECT_EQ(link.IsOpen(), c.result == 0);
    link.Close();
  }
  ::unsetenv("KVLQ70_COM16");
}

TEST(DevicePathTest, EnvironmentFirstThenUsbThenOnboard) {
  ::setenv("KVLQ70_COM3", "/tmp/some-port", 1);
  EXPECT_EQ(kvl::SerialDevicePath(3), "/tmp/some-port");
  ::setenv("KVLQ70_COM3", "", 1);  // empty counts as not set
  const std::string usb = "/dev/ttyUSB2";
  const std::string expected = ::access(usb.c_str(), F_OK) == 0 ? usb : "/dev/ttyS2";
  EXPECT_EQ(kvl::SerialDevicePath(3), expected);
  ::unsetenv("KVLQ70_COM3");
  EXPECT_EQ(kvl::SerialDevicePath(3), expected);
}

TEST(DevicePathTest, MissingDeviceOrNoTerminalIsResultThree) {
  TComm port;
  ::setenv("KVLQ70_COM2", "/nonexistent/tty", 1);
  port.PortNumber = 2;
  EXPECT_EQ(port.Open(), 3u);
  ::setenv("KVLQ70_COM2", "/dev/null", 1);
  EXPECT_EQ(port.Open(), 3u);
  ::unsetenv("KVLQ70_COM2");
  EXPECT_EQ(port.Close(), 1u);
}

TEST_F(PortTest, EveryLineSettingReachesTheLine) {
  link.Close();
  for (int index = 1; index <= kLineSettingCount; ++index) {
    SCOPED_TRACE(index);
    const LineSettingEntry& entry = kLineSettings[index - 1];
    link.Baud = entry.Baud;
    link.Parity = entry.Parity;
    link.StopBits = entry.StopBits;
    ASSERT_EQ(link.Open(), 0u);
    // A pseudo-terminal keeps the speed and the stop bits (it drops parity,
    // whose flags are checked on their own).
    kvl::SerialLine line;
    ASSERT_TRUE(sim.LineSettings(line));
    EXPECT_EQ(line.Baud, entry.Baud);
    EXPECT_EQ(line.TwoStopBits, index % 2 == 0);
    link.Close();
  }
  EXPECT_EQ(kLineSettings[10].Baud, 56000u);
  EXPECT_EQ(kLineSettings[11].Baud, 56000u);
  EXPECT_EQ(kLineSettings[8].Baud, 57600u);
}

TEST_F(PortTest, BinaryFramesPassEveryByteValue) {
  // Flow-control characters, CR, LF and the top bit travel unchanged.
  std::vector<uint16_t> values;
  for (int i = 0; i < 125; ++i) values.push_back(static_cast<uint16_t>((i * 0x1113 + 0x0D0A) ^ 0x8011));
  values[0] = 0x1311;
  values[1] = 0x0A0D;
  values[2] = 0x0302;
  ASSERT_TRUE(link.WriteWords(3000, 125, values.data()));
  std::vector<uint16_t> back(125);
  ASSERT_TRUE(link.ReadWords(3000, 125, back.data()));
  EXPECT_EQ(back, values);
}

TEST_F(PortTest, CloseFromAnotherThreadEndsATransactionAtOnce) {
  sim.AddFault([] {
    kvlsim::Fault f;
    f.Kind = kvlsim::FaultKind::Silence;
    f.Times = -1;
    return f;
  }());
  link.ReceiveTimeout = 2000;
  const struct {
    const char* name;
    bool text;
    uint32_t error;
  } cases[] = {{"loader frame", false, 0}, {"text command", true, TProtocol::kErrNoTextReply}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(link.IsOpen() || link.Open() == 0);
    sim.ClearFrames();
    link.ProtocolError = 0x12345;
    std::atomic<bool> result{true};
    std::chrono::steady_clock::time_point ended;
    std::thread worker([&] {
      uint16_t word;
      std::string reply;
      result = c.text ? link.WqtCommand("RD", reply) : link.ReadWords(1001, 1, &word);
      ended = std::chrono::steady_clock::now();
    });
    // Cancelled once the first try is out and waits for its reply.
    EXPECT_TRUE(WaitUntil([&] { return sim.FrameCount() != 0; }));
    EXPECT_EQ(sim.FrameCount(), 1u);
    const auto cancelled = std::chrono::steady_clock::now();
    EXPECT_EQ(link.Cancel(), 0u);
    worker.join();
    EXPECT_FALSE(result.load());
    EXPECT_LT(ended - cancelled, std::chrono::milliseconds(link.ReceiveTimeout / 2)) << "not at the time-out";
    EXPECT_EQ(link.ProtocolError, c.error) << "the port was closed while retrying";
    EXPECT_FALSE(link.IsOpen());
  }
  // The next job opens and works as usual.
  sim.ClearFaults();
  link.ReceiveTimeout = 200;
  ASSERT_EQ(link.Open(), 0u);
  uint16_t word = 0;
  EXPECT_TRUE(link.ReadWords(9997, 1, &word));
}

TEST_F(PortTest, CancelRacingTransactionsNeverLeavesThePortHalfOpen) {
  link.ReceiveTimeout = 50;
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE(round);
    if (!link.IsOpen()) {
      ASSERT_EQ(link.Open(), 0u);
    }
    std::atomic<bool> stop{false};
    std::thread worker([&] {
      uint16_t word;
      while (!stop.load()) link.ReadWords(1001, 1, &word);
    });
    std::this_thread::sleep_for(std::chrono::microseconds(300 * (round % 7)));
    link.Cancel();
    stop = true;
    worker.join();
    EXPECT_FALSE(link.IsOpen());
  }
  // The device is free again: another object can take it.
  TProtocol other;
  other.ReceiveTimeout = 200;
  ASSERT_EQ(other.Open(), 0u);
  uint16_t word = 0;
  EXPECT_TRUE(other.ReadWords(9997, 1, &word));
}

}  // namespace
