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
// With --corrupt P% each speed is run twice, fault-free and then with P% of
// the replies spoiled by one changed byte (a fixed seed, --seed N), and the
// faulted runs print the ratio of their wall time to the fault-free run's.
// Both runs check the data: the read must give the fault-free read's image,
// and the write must restore the controller's image after the benchmark
// changed it, as a fault-free read afterwards shows.
//
//   kvlq70-transfer-bench [--latency MS] [--corrupt P%] [--seed N] [BAUD ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ControllerSim.h"
#include "TransferJob.h"
#include "UCore.h"

namespace {

struct SimStats {
  uint64_t Frames = 0;
  uint64_t Bytes = 0;      // requests and replies
  uint64_t Corrupted = 0;  // replies spoiled by the line noise
};

// Every working value of the image: setup values, program cells, tags.
std::vector<int16_t> Snapshot(TCore& core) {
  std::vector<int16_t> s;
  for (int r = 0; r < kSetupParamCount; ++r) s.push_back(core.SetupRecord(r)->Value);
  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kProgramItemCount; ++i)
      for (int seg = 1; seg <= (i <= kSegmentItemCount ? kSegmentCount : 1); ++seg)
        s.push_back(core.GetPatternValue(p, i, seg)->Value);
    char tag[9];
    core.GetTag(p, tag);
    for (int k = 0; k < 8; ++k) s.push_back(tag[k]);
  }
  return s;
}

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
// 'S' returns the statistics of the frames since the last 'S'; 'N' and a
// double set the share of replies the line noise spoils; 'X' changes every
// setup word below the model words that a write has written, empties every
// program and renames every tag; 'Q' ends it. Every command but 'Q' is answered.
class SimProcess {
 public:
  bool Start(uint32_t baud, uint32_t latencyMs, uint32_t seed) {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return false;
    Child = ::fork();
    if (Child < 0) return false;
    if (Child == 0) {
      ::close(toChild[1]);
      ::close(fromChild[0]);
      RunChild(toChild[0], fromChild[1], baud, latencyMs, seed);
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

  bool SetNoise(double share) {
    const char command = 'N';
    char done = 0;
    return WriteAll(ToChild, &command, 1) && WriteAll(ToChild, &share, sizeof share) &&
           ReadAll(FromChild, &done, 1);
  }

  bool Scramble() {
    const char command = 'X';
    char done = 0;
    return WriteAll(ToChild, &command, 1) && ReadAll(FromChild, &done, 1);
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
  static void RunChild(int in, int out, uint32_t baud, uint32_t latencyMs, uint32_t seed) {
    using Sim = kvlsim::TControllerSim;
    kvlsim::Config config;
    config.EmulateByteTime = true;
    config.LineBaud = baud;
    config.ReplyLatencyMs = latencyMs;
    config.CorruptSeed = seed;
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
    uint64_t corrupted = 0;
    std::set<int> written;  // setup words a write has written
    while (ReadAll(in, &command, 1) && command != 'Q') {
      const char done = 1;
      if (command == 'S') {
        SimStats stats;
        for (const kvlsim::FrameRecord& f : sim.Frames()) {
          ++stats.Frames;
          stats.Bytes += f.Bytes.size() + (f.Valid ? ReplyLength(f) : 0);
          if (f.Valid && (f.Kind == kvlsim::FrameKind::WriteWords || f.Kind == kvlsim::FrameKind::WriteWord))
            for (int k = 0; k < (f.Kind == kvlsim::FrameKind::WriteWord ? 1 : f.Count); ++k) written.insert(f.Address + k);
        }
        sim.ClearFrames();
        stats.Corrupted = sim.Corrupted() - corrupted;
        corrupted = sim.Corrupted();
        WriteAll(out, &stats, sizeof stats);
      } else if (command == 'N') {
        double share = 0;
        if (!ReadAll(in, &share, sizeof share)) break;
        kvlsim::Config c = sim.GetConfig();
        c.CorruptShare = share;
        sim.SetConfig(c);
        WriteAll(out, &done, 1);
      } else if (command == 'X') {
        for (int a : written)
          if (a >= Sim::kFirstSetupWord && a <= 4500) sim.SetWord(static_cast<uint16_t>(a), sim.Word(static_cast<uint16_t>(a)) ^ 0x0101);
        for (int p = 1; p <= Sim::kPatterns; ++p) {
          for (int s = 1; s <= Sim::kSegments; ++s)
            for (int i = 1; i <= Sim::kSegmentItems; ++i) sim.SetProgramWord(p, s, i, Sim::kEmpty);
          for (int i = 1; i <= 3; ++i) sim.SetProgramWord(p, 0, i, static_cast<uint16_t>(sim.ProgramWord(p, 0, i) ^ 1));
          sim.SetTag(p, "CHANGED");
        }
        WriteAll(out, &done, 1);
      } else {
        break;
      }
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

struct Options {
  uint32_t LatencyMs = 1;
  double CorruptShare = 0;  // 0: fault-free runs only
  uint32_t Seed = 1;
};

struct RunTimes {
  double Wall[2] = {0, 0};  // read, write
};

// One full read and one full write at the speed; with noise, each run also
// checks the data against the fault-free image.
bool RunPass(SimProcess& sim, TCore& core, uint32_t baud, const Options& options, double noise,
             const RunTimes* clean, std::vector<int16_t>& reference, RunTimes& times) {
  const LineSettingEntry& line = kLineSettings[core.LineSetting - 1];
  // Bits per character: start bit, 8 data bits, parity, stop bits.
  const double bitsPerByte = 1 + 8 + (line.Parity != TComm::kParityNone ? 1 : 0) +
                             (line.StopBits == TComm::kTwoStopBits ? 2 : 1);
  bool ok = sim.SetNoise(noise);
  for (int direction = 0; direction <= 1 && ok; ++direction) {
    // The write must put back what the controller held: change it first.
    if (direction == 1 && clean) ok = sim.Scramble();
    TransferJobSettings settings;
    settings.CommDirection = direction;
    TTransferCancel cancel;
    SimStats discard;
    sim.Stats(discard);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t result = RunTransferJob(core, settings, {}, cancel);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    SimStats stats;
    sim.Stats(stats);
    times.Wall[direction] = wall;
    const double bound = static_cast<double>(stats.Bytes) * bitsPerByte / baud +
                         static_cast<double>(stats.Frames) * options.LatencyMs / 1000.0;
    const int32_t wanted = direction == 0 ? kTransferReadFinished : kTransferWriteFinished;
    std::printf("%6u bit/s  %-5s  result %2d  frames %4llu  bytes %6llu  wall %8.3f s  wire bound %8.3f s  "
                "ratio %.4f  cpu %.3f s (%.2f%% of wall)\n",
                baud, direction == 0 ? "read" : "write", result, static_cast<unsigned long long>(stats.Frames),
                static_cast<unsigned long long>(stats.Bytes), wall, bound, bound > 0 ? wall / bound : 0.0, cpu,
                wall > 0 ? 100.0 * cpu / wall : 0.0);
    bool intact = true;
    if (direction == 0 && result == wanted) {
      if (!clean)
        reference = Snapshot(core);
      else
        intact = Snapshot(core) == reference;
    }
    if (clean) {
      std::printf("%6u bit/s  %-5s  %llu of %llu replies corrupted  wall %.3f s against %.3f s fault-free: "
                  "ratio %.3f  %s\n",
                  baud, direction == 0 ? "read" : "write", static_cast<unsigned long long>(stats.Corrupted),
                  static_cast<unsigned long long>(stats.Frames), wall, clean->Wall[direction],
                  clean->Wall[direction] > 0 ? wall / clean->Wall[direction] : 0.0,
                  direction == 0 ? (intact ? "image intact" : "IMAGE DIFFERS") : "");
    }
    std::fflush(stdout);
    ok = ok && result == wanted && intact;
  }
  return ok;
}

// After a faulted write: a fault-free read must give the reference image.
bool CheckWritten(SimProcess& sim, uint32_t baud, int setting, const std::vector<int16_t>& reference) {
  if (!sim.SetNoise(0)) return false;
  auto check = std::make_unique<TCore>(1);
  check->PortNumber = 1;
  check->LineSetting = setting;
  check->Protocol->ReceiveTimeout = 2000;
  check->Protocol->RetryCount = 3;
  TransferJobSettings settings;
  TTransferCancel cancel;
  const bool ok = RunTransferJob(*check, settings, {}, cancel) == kTransferReadFinished &&
                  Snapshot(*check) == reference;
  std::printf("%6u bit/s  write  the controller's image read back fault-free: %s\n", baud,
              ok ? "intact" : "DIFFERS");
  std::fflush(stdout);
  return ok;
}

bool RunOne(uint32_t baud, const Options& options) {
  const int setting = LineSettingFor(baud);
  if (setting == 0) {
    std::fprintf(stderr, "no line setting for %u bit/s\n", baud);
    return false;
  }
  SimProcess sim;
  if (!sim.Start(baud, options.LatencyMs, options.Seed)) {
    std::fprintf(stderr, "the simulated controller did not start\n");
    return false;
  }
  ::setenv("KVLQ70_COM1", sim.Path.c_str(), 1);

  auto core = std::make_unique<TCore>(1);
  core->PortNumber = 1;
  core->LineSetting = setting;
  core->Protocol->ReceiveTimeout = 2000;
  core->Protocol->RetryCount = 3;

  std::vector<int16_t> reference;
  RunTimes clean, faulted;
  bool ok = RunPass(sim, *core, baud, options, 0, nullptr, reference, clean);
  if (ok && options.CorruptShare > 0) {
    ok = RunPass(sim, *core, baud, options, options.CorruptShare, &clean, reference, faulted);
    ok = CheckWritten(sim, baud, setting, reference) && ok;
    const double cleanTotal = clean.Wall[0] + clean.Wall[1], total = faulted.Wall[0] + faulted.Wall[1];
    std::printf("%6u bit/s  read and write with %.2f%% of the replies corrupted: ratio %.3f to fault-free\n",
                baud, 100.0 * options.CorruptShare, cleanTotal > 0 ? total / cleanTotal : 0.0);
  }
  sim.Stop();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<uint32_t> speeds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--latency") == 0 && i + 1 < argc) {
      options.LatencyMs = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      options.Seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(argv[i], "--corrupt") == 0 && i + 1 < argc) {
      // A percentage, with or without its sign.
      char* end = nullptr;
      const double percent = std::strtod(argv[++i], &end);
      if (end == argv[i] || (*end != 0 && std::strcmp(end, "%") != 0) || percent < 0 || percent > 100) {
        std::fprintf(stderr, "--corrupt takes a percentage, e.g. 1%%\n");
        return 2;
      }
      options.CorruptShare = percent / 100.0;
    } else {
      speeds.push_back(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
    }
  }
  if (speeds.empty()) speeds = {115200, 9600};
  std::printf("full image: 19 patterns of 30 used segments, every parameter; reply latency %u ms", options.LatencyMs);
  if (options.CorruptShare > 0) std::printf("; %.2f%% of the replies corrupted, seed %u", 100.0 * options.CorruptShare, options.Seed);
  std::printf("\n");
  bool ok = true;
  for (uint32_t baud : speeds) ok = RunOne(baud, options) && ok;
  return ok ? 0 : 1;
}
