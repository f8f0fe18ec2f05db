// Transfer benchmark: a full read and a full write of a full image (19
// patterns of 30 used segments and every parameter) against the simulated
// controller with its line-speed emulation on, at 9600 and 115200 bit/s.
//
// For each run it prints the wall time, the wire-time lower bound (the bytes
// exchanged at the line's speed and framing, plus the simulator's reply
// latency per frame), their ratio, and this process's CPU time. The
// simulator runs in a child process, so that the CPU time is the loader's
// alone.
//
//   kvlq70-transfer-bench [--latency MS] [BAUD ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ControllerSim.h"
#include "TransferJob.h"
#include "UCore.h"

namespace {

struct SimStats {
  uint64_t Frames = 0;
  uint64_t Bytes = 0;  // requests and replies
};

// The reply length the controller sends to a frame.
uint64_t ReplyLength(const kvlsim::FrameRecord& f) {
  using K = kvlsim::FrameKind;
  if (f.Kind == K::ReadWord) return 8;
  if (f.Kind == K::ReadWords || f.Kind == K::ReadProgram) return 2u * f.Count + 6;
  return 8;
}

bool ReadAll(int fd, void* data, size_t size) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The simulated controller in a child process, driven over two pipes:
// 'S' returns the statistics of the frames since the last 'S', 'Q' ends it.
class SimProcess {
 public:
  bool Start(uint32_t baud, uint32_t latencyMs) {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return false;
    Child = ::fork();
    if (Child < 0) return false;
    if (Child == 0) {
      ::close(toChild[1]);
      ::close(fromChild[0]);
      RunChild(toChild[0], fromChild[1], baud, latencyMs);
      ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    ToChild = toChild[1];
    FromChild = fromChild[0];
    uint32_t length = 0;
    if (!ReadAll(FromChild, &length, sizeof length) || length == 0 || length > 255) return false;
    Path.resize(length);
    return ReadAll(FromChild, Path.data(), length);
  }

  bool Stats(SimStats& stats) {
    const char command = 'S';
    return WriteAll(ToChild, &command, 1) && ReadAll(FromChild, &stats, sizeof stats);
  }

  void Stop() {
    if (Child <= 0) return;
    const char command = 'Q';
    WriteAll(ToChild, &command, 1);
    ::close(ToChild);
    ::close(FromChild);
    ::waitpid(Child, nullptr, 0);
    Child = -1;
  }

  ~SimProcess() { Stop(); }

  std::string Path;

 private:
  static void RunChild(int in, int out, uint32_t baud, uint32_t latencyMs) {
    kvlsim::Config config;
    config.EmulateByteTime = true;
    config.LineBaud = baud;
    config.ReplyLatencyMs = latencyMs;
    kvlsim::TControllerSim sim(config);
    // A full image: every setup word and 30 used segments in every pattern.
    for (uint16_t a = kvlsim::TControllerSim::kFirstSetupWord; a <= kvlsim::TControllerSim::kLastSetupWord; ++a)
      sim.SetWord(a, static_cast<uint16_t>(a % 1000));
    sim.SetWord(4596, 0x0001);
    sim.SetWord(4597, 0x0000);
    sim.SetWord(4600, 2);
    for (int p = 1; p <= kvlsim::TControllerSim::kPatterns; ++p) {
      for (int s = 1; s <= kvlsim::TControllerSim::kSegments; ++s)
        for (int i = 1; i <= kvlsim::TControllerSim::kSegmentItems; ++i)
          sim.SetProgramWord(p, s, i, static_cast<uint16_t>(p * 100 + s + i));
      sim.SetTag(p, "BENCH" + std::to_string(p));
    }
    if (!sim.Start()) return;
    const std::string path = sim.SlavePath();
    const uint32_t length = static_cast<uint32_t>(path.size());
    WriteAll(out, &length, sizeof length);
    WriteAll(out, path.data(), length);
    char command = 0;
    while (ReadAll(in, &command, 1) && command == 'S') {
      SimStats stats;
      for (const kvlsim::FrameRecord& f : sim.Frames()) {
        ++stats.Frames;
        stats.Bytes += f.Bytes.size() + (f.Valid ? ReplyLength(f) : 0);
      }
      sim.ClearFrames();
      WriteAll(out, &stats, sizeof stats);
    }
    sim.Stop();
  }

  pid_t Child = -1;
  int ToChild = -1;
  int FromChild = -1;
};

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The line setting without parity and with two stop bits at this speed: 11
// bits a character, as with even parity and one stop bit, but a
// pseudo-terminal keeps no parity bit, so only this framing makes the
// simulator's emulated character as long as the real line's.
int LineSettingFor(uint32_t baud) {
  for (int i = 1; i < kLineSettingCount; i += 2)
    if (kLineSettings[i].Baud == baud) return i + 1;
  return 0;
}

bool RunOne(uint32_t baud, uint32_t latencyMs) {
  const int setting = LineSettingFor(baud);
  if (setting == 0) {
    std::fprintf(stderr, "no line setting for %u bit/s\n", baud);
    return false;
  }
  SimProcess sim;
  if (!sim.Start(baud, latencyMs)) {
    std::fprintf(stderr, "the simulated controller did not start\n");
    return false;
  }
  ::setenv("KVLQ70_COM1", sim.Path.c_str(), 1);

  auto core = std::make_unique<TCore>(1);
  core->PortNumber = 1;
  core->LineSetting = setting;
  core->Protocol->ReceiveTimeout = 2000;
  core->Protocol->RetryCount = 3;
  // Bits per character: start bit, 8 data bits, parity, stop bits.
  const LineSettingEntry& line = kLineSettings[setting - 1];
  const double bitsPerByte = 1 + 8 + (line.Parity != TComm::kParityNone ? 1 : 0) +
                             (line.StopBits == TComm::kTwoStopBits ? 2 : 1);

  bool ok = true;
  for (int direction = 0; direction <= 1; ++direction) {
    TransferJobSettings settings;
    settings.CommDirection = direction;
    TTransferCancel cancel;
    SimStats discard;
    sim.Stats(discard);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t result = RunTransferJob(*core, settings, {}, cancel);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    SimStats stats;
    sim.Stats(stats);
    const double bound = static_cast<double>(stats.Bytes) * bitsPerByte / baud +
                         static_cast<double>(stats.Frames) * latencyMs / 1000.0;
    const int32_t wanted = direction == 0 ? kTransferReadFinished : kTransferWriteFinished;
    std::printf("%6u bit/s  %-5s  result %2d  frames %4llu  bytes %6llu  wall %8.3f s  wire bound %8.3f s  "
                "ratio %.4f  cpu %.3f s (%.2f%% of wall)\n",
                baud, direction == 0 ? "read" : "write", result, static_cast<unsigned long long>(stats.Frames),
                static_cast<unsigned long long>(stats.Bytes), wall, bound, bound > 0 ? wall / bound : 0.0, cpu,
                wall > 0 ? 100.0 * cpu / wall : 0.0);
    std::fflush(stdout);
    ok = ok && result == wanted;
  }
  sim.Stop();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  uint32_t latencyMs = 1;
  std::vector<uint32_t> speeds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--latency") == 0 && i + 1 < argc)
      latencyMs = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else
      speeds.push_back(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
  }
  if (speeds.empty()) speeds = {115200, 9600};
  std::printf("full image: 19 patterns of 30 used segments, every parameter; reply latency %u ms\n", latencyMs);
  bool ok = true;
  for (uint32_t baud : speeds) ok = RunOne(baud, latencyMs) && ok;
  return ok ? 0 : 1;
}
