// kvlq70-sim: a simulated controller on a pseudo-terminal, for trying the
// loader without a controller. It prints the device to give the loader and
// answers until it is interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ControllerSim.h"

namespace {

const char* KindName(kvlsim::FrameKind kind) {
  switch (kind) {
    case kvlsim::FrameKind::ReadWord: return "read word";
    case kvlsim::FrameKind::ReadWords: return "read words";
    case kvlsim::FrameKind::WriteWord: return "write word";
    case kvlsim::FrameKind::WriteWords: return "write words";
    case kvlsim::FrameKind::ReadProgram: return "read program";
    case kvlsim::FrameKind::WriteProgram: return "write program";
    case kvlsim::FrameKind::DeleteProgram: return "delete program";
    case kvlsim::FrameKind::Text: return "text";
    default: return "?";
  }
}

void Usage() {
  std::fprintf(stderr,
               "usage: kvlq70-sim [--station N] [--sub N] [--latency MS] [--byte-time] [--baud N]\n"
               "                  [--mode N] [--revision N] [--refuse N] [--quiet]\n"
               "  --byte-time   delay replies by their time on the line (at --baud, else the port's speed)\n"
               "  --mode N      mode word 508 (1 = READY)\n"
               "  --revision N  revision word 4600\n"
               "  --refuse N    refuse every loader frame with status byte N (0..255, 0 too)\n");
}

bool Number(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end && *end == '\0' && end != text && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
  kvlsim::Config config;
  long mode = -1, revision = 0;
  bool setRevision = false;
  bool quiet = false;
  long refusal = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    long value = 0;
    auto next = [&](long low, long high) {
      if (i + 1 >= argc || !Number(argv[i + 1], low, high, value)) {
        Usage();
        std::exit(2);
      }
      ++i;
    };
    if (arg == "--station") {
      next(0, 255);
      config.Station = static_cast<uint16_t>(value);
    } else if (arg == "--sub") {
      next(0, 255);
      config.SubAddress = static_cast<uint16_t>(value);
    } else if (arg == "--latency") {
      next(0, 60000);
      config.ReplyLatencyMs = static_cast<uint32_t>(value);
    } else if (arg == "--byte-time") {
      config.EmulateByteTime = true;
    } else if (arg == "--baud") {
      next(1, 4000000);
      config.LineBaud = static_cast<uint32_t>(value);
    } else if (arg == "--mode") {
      next(0, 65535);
      mode = value;
    } else if (arg == "--revision") {
      next(-32768, 32767);
      revision = value;
      setRevision = true;
    } else if (arg == "--refuse") {
      next(0, 255);
      if (value == 0x80) {  // the accepted status is no refusal
        Usage();
        return 2;
      }
      refusal = value;
    } else if (arg == "--quiet") {
      quiet = true;
    } else {
      Usage();
      return 2;
    }
  }

  // The simulator's thread must not take the signals: main waits for them.
  // A shell starts background programs with SIGINT ignored, and an ignored
  // signal never reaches sigwait: take the default back first.
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  kvlsim::TControllerSim sim(config);
  if (mode >= 0) sim.SetWord(kvlsim::TControllerSim::kModeWord, static_cast<uint16_t>(mode));
  if (setRevision)
    sim.SetWord(kvlsim::TControllerSim::kRevisionWord, static_cast<uint16_t>(revision));
  if (refusal >= 0) {
    kvlsim::Fault refuse;
    refuse.Kind = kvlsim::FaultKind::Refusal;
    refuse.Times = -1;
    refuse.Status = static_cast<uint8_t>(refusal);
    sim.AddFault(refuse);
  }
  if (!quiet) {
    sim.SetFrameObserver([](const kvlsim::FrameRecord& f) {
      if (f.Kind == kvlsim::FrameKind::Text)
        std::printf("%-14s station %u \"%s\"%s\n", KindName(f.Kind), f.Address, f.Text.c_str(),
                    f.Valid ? "" : " (not answered)");
      else
        std::printf("%-14s address %u segment %u item %u count %u%s\n", KindName(f.Kind), f.Address, f.Segment,
                    f.StartItem, f.Count, f.Valid ? "" : " (bad frame, not answered)");
      std::fflush(stdout);
    });
  }
  if (!sim.Start()) {
    std::fprintf(stderr, "kvlq70-sim: no pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  std::printf("%s\n", sim.SlavePath().c_str());
  std::printf("Simulated controller on %s; start the loader with KVLQ70_COM1=%s (Ctrl+C ends).\n",
              sim.SlavePath().c_str(), sim.SlavePath().c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&signals, &received);
  sim.Stop();
  return 0;
}
