#include "ControllerSim.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>

namespace kvlsim {

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
constexpr size_t kLongestText = 4200;
constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

uint64_t NowUs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

uint16_t Le(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

void PutLe(std::vector<uint8_t>& bytes, uint16_t word) {
  bytes.push_back(static_cast<uint8_t>(word & 0xFF));
  bytes.push_back(static_cast<uint8_t>(word >> 8));
}

// The loader checksum: 1 + the sum of the bytes, modulo 256.
uint8_t LoaderChecksum(const uint8_t* bytes, size_t n) {
  unsigned sum = 1;
  for (size_t i = 0; i < n; ++i) sum += bytes[i];
  return static_cast<uint8_t>(sum);
}

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Hex2(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  return {digits[(value >> 4) & 0xF], digits[value & 0xF]};
}

// The text checksum: two's complement of the 8-bit sum, as 2 hex digits.
std::string TextChecksum(const std::string& characters) {
  unsigned sum = 0;
  for (unsigned char c : characters) sum += c;
  return Hex2((256 - (sum & 0xFF)) & 0xFF);
}

bool IsLoaderCommand(uint8_t c) {
  return c == 0x00 || c == 0x04 || c == 0x40 || c == 0x44 || c == 0x10 || c == 0x50 || c == 0x58;
}

// A loader reply: STX, status, 2 bytes, the words, 1 byte, the checksum.
std::vector<uint8_t> LoaderReply(uint8_t status, const std::vector<uint16_t>& words) {
  std::vector<uint8_t> reply = {kStx, status, 0, 0};
  for (uint16_t w : words) PutLe(reply, w);
  reply.push_back(0);
  reply.push_back(LoaderChecksum(reply.data(), reply.size()));
  return reply;
}

}  // namespace

TControllerSim::TControllerSim(const Config& config) : Cfg(config), Noise(config.CorruptSeed) {
  Responder = [](const std::string&) { return std::string("OK"); };
  ResetImage();
}

TControllerSim::~TControllerSim() { Stop(); }

void TControllerSim::ResetImage() {
  Words.fill(0);
  Present.reset();
  for (unsigned a = kFirstSetupWord; a <= kLastSetupWord; ++a) Present.set(a);
  for (uint16_t a : {kModeWord, kTransferWord, kRevisionWord, kIdentityWord, kFeatureWord}) Present.set(a);
  Words[kModeWord] = 1;  // READY
  Words[kRevisionWord] = 2;
  Words[kIdentityWord] = kIdentity;
  Words[kFeatureWord] = 1;
  for (int p = 1; p <= kPatterns; ++p) {
    for (int s = 1; s <= kSegments; ++s)
      for (int i = 1; i <= kSegmentItems; ++i) Program[p - 1][s][i] = (i == 20 || i == 21) ? 0 : kEmpty;
    char tag[9];
    std::snprintf(tag, sizeof tag, "PROG%02d  ", p);
    for (int i = 1; i <= 3; ++i) Program[p - 1][0][i] = 0;
    for (int k = 0; k < 4; ++k)
      Program[p - 1][0][4 + k] =
          static_cast<uint16_t>((static_cast<uint8_t>(tag[2 * k]) << 8) | static_cast<uint8_t>(tag[2 * k + 1]));
  }
}

bool TControllerSim::Start() {
  std::lock_guard<std::mutex> lock(M);
  if (Started) return true;
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return false;
  char name[128] = {};
  if (::ttyname_r(slave, name, sizeof name) != 0) {
    ::close(master);
    ::close(slave);
    return false;
  }
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  // Raw from the start, so that nothing is echoed or translated before the
  // loader sets the line up.
  kvl::SerialApplyLine(slave, kvl::SerialLine{});
  Master = master;
  Slave = slave;  // kept open so that the line stays up between the loader's jobs
  Path = name;
  Wake = kvl::WakeCreate();
  StopRequested = false;
  DropRequested = false;
  In.clear();
  Out.clear();
  Held.clear();
  Started = true;
  Thread = std::thread(&TControllerSim::Run, this);
  return true;
}

void TControllerSim::Stop() {
  {
    std::lock_guard<std::mutex> lock(M);
    if (!Started) return;
    StopRequested = true;
    kvl::WakeSignal(Wake);
  }
  Thread.join();
  std::lock_guard<std::mutex> lock(M);
  CloseLine();
  kvl::WakeDestroy(Wake);
  Wake = -1;
  Started = false;
}

bool TControllerSim::Running() const {
  std::lock_guard<std::mutex> lock(M);
  return Started && Master >= 0;
}

std::string TControllerSim::SlavePath() const {
  std::lock_guard<std::mutex> lock(M);
  return Path;
}

Config TControllerSim::GetConfig() const {
  std::lock_guard<std::mutex> lock(M);
  return Cfg;
}

void TControllerSim::SetConfig(const Config& config) {
  std::lock_guard<std::mutex> lock(M);
  if (config.CorruptSeed != Cfg.CorruptSeed) Noise.seed(config.CorruptSeed);
  Cfg = config;
}

bool TControllerSim::HasWord(uint16_t address) const {
  std::lock_guard<std::mutex> lock(M);
  return Present.test(address);
}

uint16_t TControllerSim::Word(uint16_t address) const {
  std::lock_guard<std::mutex> lock(M);
  return Present.test(address) ? Words[address] : 0;
}

void TControllerSim::SetWord(uint16_t address, uint16_t value) {
  std::lock_guard<std::mutex> lock(M);
  Present.set(address);
  Words[address] = value;
}

namespace {
bool ProgramCellExists(int pattern, int segment, int item) {
  if (pattern < 1 || pattern > TControllerSim::kPatterns || segment < 0 || segment > TControllerSim::kSegments)
    return false;
  return item >= 1 && item <= (segment == 0 ? TControllerSim::kHeadItems : TControllerSim::kSegmentItems);
}
}  // namespace

uint16_t TControllerSim::ProgramWord(int pattern, int segment, int item) const {
  std::lock_guard<std::mutex> lock(M);
  return ProgramCellExists(pattern, segment, item) ? Program[pattern - 1][segment][item] : 0;
}

void TControllerSim::SetProgramWord(int pattern, int segment, int item, uint16_t value) {
  std::lock_guard<std::mutex> lock(M);
  if (ProgramCellExists(pattern, segment, item)) Program[pattern - 1][segment][item] = value;
}

std::string TControllerSim::Tag(int pattern) const {
  std::lock_guard<std::mutex> lock(M);
  if (pattern < 1 || pattern > kPatterns) return {};
  std::string tag;
  for (int k = 0; k < 4; ++k) {
    const uint16_t w = Program[pattern - 1][0][4 + k];
    tag += static_cast<char>(w >> 8);
    tag += static_cast<char>(w & 0xFF);
  }
  return tag;
}

void TControllerSim::SetTag(int pattern, std::string_view tag) {
  std::lock_guard<std::mutex> lock(M);
  if (pattern < 1 || pattern > kPatterns) return;
  std::string padded(tag.substr(0, 8));
  padded.resize(8, ' ');
  for (int k = 0; k < 4; ++k)
    Program[pattern - 1][0][4 + k] = static_cast<uint16_t>((static_cast<uint8_t>(padded[2 * k]) << 8) |
                                                            static_cast<uint8_t>(padded[2 * k + 1]));
}

int TControllerSim::UsedSegments(int pattern) const {
  std::lock_guard<std::mutex> lock(M);
  if (pattern < 1 || pattern > kPatterns) return 0;
  int n = 0;
  while (n < kSegments && Program[pattern - 1][n + 1][1] != kEmpty) ++n;
  return n;
}

void TControllerSim::SetTextResponder(TextResponder responder) {
  std::lock_guard<std::mutex> lock(M);
  Responder = responder ? std::move(responder) : [](const std::string&) { return std::string("OK"); };
}

void TControllerSim::AddFault(const Fault& fault) {
  std::lock_guard<std::mutex> lock(M);
  Faults.push_back(fault);
}

void TControllerSim::ClearFaults() {
  std::lock_guard<std::mutex> lock(M);
  Faults.clear();
}

void TControllerSim::DropLine() {
  std::lock_guard<std::mutex> lock(M);
  if (!Started) return;
  DropRequested = true;
  kvl::WakeSignal(Wake);
}

void TControllerSim::SendRaw(const std::vector<uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(M);
  if (!Started || Master < 0) return;
  Out.push_back({NowUs(), bytes, 0, 0});
  kvl::WakeSignal(Wake);
}

std::vector<FrameRecord> TControllerSim::Frames() const {
  std::lock_guard<std::mutex> lock(M);
  return Log;
}

size_t TControllerSim::FrameCount() const {
  std::lock_guard<std::mutex> lock(M);
  return Log.size();
}

void TControllerSim::ClearFrames() {
  std::lock_guard<std::mutex> lock(M);
  // A reply held for a frame still waits for the same next frame.
  auto renumber = [this](Outgoing& o) {
    if (o.AfterFrames != 0) o.AfterFrames = o.AfterFrames > Log.size() ? o.AfterFrames - Log.size() : 1;
  };
  for (Outgoing& o : Out) renumber(o);
  for (Outgoing& h : Held) renumber(h);
  Log.clear();
}

void TControllerSim::SetFrameObserver(std::function<void(const FrameRecord&)> observer) {
  std::lock_guard<std::mutex> lock(M);
  Observer = std::move(observer);
}

uint64_t TControllerSim::BytesReceived() const {
  std::lock_guard<std::mutex> lock(M);
  return ByteCount;
}

uint64_t TControllerSim::Corrupted() const {
  std::lock_guard<std::mutex> lock(M);
  return CorruptedCount;
}

bool TControllerSim::LineSettings(kvl::SerialLine& line) const {
  std::lock_guard<std::mutex> lock(M);
  return Slave >= 0 && kvl::SerialQueryLine(Slave, line);
}

void TControllerSim::CloseLine() {
  if (Master >= 0) ::close(Master);
  if (Slave >= 0) ::close(Slave);
  Master = Slave = -1;
  In.clear();
  Out.clear();
  Held.clear();
}

// ---- the thread ----

void TControllerSim::Run() {
  std::unique_lock<std::mutex> lock(M);
  while (!StopRequested) {
    if (DropRequested) {
      DropRequested = false;
      CloseLine();
    }
    uint64_t now = NowUs();
    Flush(now);
    bool writeBlocked = false;
    if (!In.empty() && now - LastInUs >= static_cast<uint64_t>(Cfg.FrameGapMs) * 1000u) In.clear();
    // Output that is due but did not go: wait for room on the line.
    if (!Out.empty() && now >= Out.front().DueUs && Out.front().ByteUs == 0) writeBlocked = true;

    pollfd fds[2] = {{Wake, POLLIN, 0}, {Master, static_cast<short>(POLLIN | (writeBlocked ? POLLOUT : 0)), 0}};
    const nfds_t count = Master >= 0 ? 2 : 1;
    const uint64_t wake = NextWakeUs(now);
    timespec timeout{};
    timespec* timeoutPtr = nullptr;
    if (wake != kNever) {
      const uint64_t wait = wake > now ? wake - now : 0;
      timeout.tv_sec = static_cast<time_t>(wait / 1000000u);
      timeout.tv_nsec = static_cast<long>((wait % 1000000u) * 1000u);
      timeoutPtr = &timeout;
    }
    lock.unlock();
    const int n = ::ppoll(fds, count, timeoutPtr, nullptr);
    lock.lock();
    if (n <= 0) continue;
    if (fds[0].revents) kvl::WakeDrain(Wake);
    if (count == 2 && Master >= 0) {
      if (fds[1].revents & POLLIN) {
        uint8_t piece[4096];
        ssize_t got;
        while ((got = ::read(Master, piece, sizeof piece)) > 0) {
          In.insert(In.end(), piece, piece + got);
          ByteCount += static_cast<uint64_t>(got);
          LastInUs = NowUs();
        }
        Parse(NowUs());
      } else if (fds[1].revents & (POLLERR | POLLNVAL)) {
        CloseLine();
      }
    }
  }
}

uint64_t TControllerSim::NextWakeUs(uint64_t now) const {
  uint64_t next = kNever;
  if (!Out.empty() && Out.front().AfterFrames == 0) {  // a held reply waits for a frame, not a time
    const Outgoing& o = Out.front();
    if (now < o.DueUs)
      next = o.DueUs + o.ByteUs;
    else if (o.ByteUs != 0)
      next = o.DueUs + (o.Sent + 1) * o.ByteUs;
  }
  if (!In.empty()) next = std::min(next, LastInUs + static_cast<uint64_t>(Cfg.FrameGapMs) * 1000u);
  for (const Outgoing& h : Held)
    if (h.AfterFrames == 0) next = std::min(next, h.DueUs);
  return next;
}

void TControllerSim::Flush(uint64_t now) {
  if (Master < 0) {
    Out.clear();
    Held.clear();
    return;
  }
  // A held reply that is due joins the line's queue.
  for (auto h = Held.begin(); h != Held.end();) {
    if (h->AfterFrames != 0 || now < h->DueUs) {
      ++h;
      continue;
    }
    Out.push_back(std::move(*h));
    h = Held.erase(h);
  }
  while (!Out.empty()) {
    Outgoing& o = Out.front();
    if (o.AfterFrames != 0 || now < o.DueUs) break;
    size_t allowed = o.Bytes.size();
    if (o.ByteUs != 0) allowed = std::min<size_t>(allowed, static_cast<size_t>((now - o.DueUs) / o.ByteUs));
    if (allowed > o.Sent) {
      const ssize_t n = ::write(Master, o.Bytes.data() + o.Sent, allowed - o.Sent);
      if (n > 0) {
        o.Sent += static_cast<size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        CloseLine();
        return;
      }
    }
    if (o.Sent < o.Bytes.size()) break;
    const uint64_t done = o.ByteUs != 0 ? o.DueUs + o.Bytes.size() * o.ByteUs : now;
    Out.pop_front();
    if (!Out.empty()) Out.front().DueUs = std::max(Out.front().DueUs, done);
  }
}

uint64_t TControllerSim::ByteTimeUs() const {
  kvl::SerialLine line;
  const bool known = Slave >= 0 && kvl::SerialQueryLine(Slave, line);
  uint32_t baud = Cfg.LineBaud != 0 ? Cfg.LineBaud : (known ? line.Baud : 0);
  if (baud == 0) baud = 4800;
  const unsigned bits = 1 + 8 + (known && line.EvenParity ? 1 : 0) + (known && line.TwoStopBits ? 2 : 1);
  return std::max<uint64_t>(1, bits * 1000000ull / baud);
}

// ---- decoding ----

void TControllerSim::Parse(uint64_t now) {
  while (!In.empty()) {
    if (In[0] != kStx) {  // noise between frames
      In.erase(In.begin());
      continue;
    }
    if (In.size() < 2) return;
    const uint8_t c = In[1];
    bool text;
    if (c == 'D') {
      // 'D' is both a loader command and a hex digit of a station address.
      if (In.size() < 5) return;
      text = HexValue(In[2]) >= 0 && HexValue(In[3]) >= 0 && HexValue(In[4]) >= 0;
    } else if (IsLoaderCommand(c)) {
      text = false;
    } else {
      text = HexValue(c) >= 0;
      if (!text) {
        In.erase(In.begin());
        continue;
      }
    }
    bool needMore = false;
    const bool taken = text ? TryText(now, needMore) : TryLoader(now, needMore);
    if (needMore) return;
    if (!taken) In.erase(In.begin());
  }
}

bool TControllerSim::TryLoader(uint64_t now, bool& needMore) {
  if (In.size() < 6) {
    needMore = true;
    return false;
  }
  size_t length = 8;
  if (In[1] == 0x44) {
    const uint16_t n = Le(&In[4]);
    if (n > 125) return false;
    length = 8 + 2u * n;
  } else if (In[1] == 0x50) {
    if (In[5] > 125) return false;
    length = 8 + 2u * In[5];
  }
  if (In.size() < length) {
    needMore = true;
    return false;
  }
  std::vector<uint8_t> frame(In.begin(), In.begin() + static_cast<long>(length));
  In.erase(In.begin(), In.begin() + static_cast<long>(length));
  FrameRecord record;
  std::vector<uint8_t> reply = AnswerLoader(frame, record);
  record.Bytes = std::move(frame);
  Handle(std::move(record), std::move(reply), now);
  return true;
}

bool TControllerSim::TryText(uint64_t now, bool& needMore) {
  size_t end = 0;
  for (size_t i = 1; i + 1 < In.size(); ++i)
    if (In[i] == kCr && In[i + 1] == kLf) {
      end = i + 2;
      break;
    }
  if (end == 0) {
    if (In.size() > kLongestText) return false;
    needMore = true;
    return false;
  }
  std::vector<uint8_t> frame(In.begin(), In.begin() + static_cast<long>(end));
  In.erase(In.begin(), In.begin() + static_cast<long>(end));
  FrameRecord record;
  std::vector<uint8_t> reply = AnswerText(frame, record);
  record.Bytes = std::move(frame);
  Handle(std::move(record), std::move(reply), now);
  return true;
}

bool TControllerSim::Ready() const { return (Words[kModeWord] & 0x0F) == 1; }

uint8_t TControllerSim::CheckWords(uint16_t address, int count, bool write) const {
  bool readyOnly = false;
  for (int i = 0; i < count; ++i) {
    const unsigned a = address + static_cast<unsigned>(i);
    if (a > 0xFFFF || !Present.test(a)) return kRefuseAddress;
    if (write && (a == kModeWord || a == kIdentityWord || a == kFeatureWord)) return kRefuseAddress;
    if (a >= Cfg.ReadyOnlyFirst && a <= Cfg.ReadyOnlyLast) readyOnly = true;
  }
  if (write && readyOnly && !Ready()) return kRefuseNotReady;
  return kAccepted;
}

uint8_t TControllerSim::CheckProgram(int pattern, int segment, int startItem, int count, bool write) const {
  if (pattern < 1 || pattern > kPatterns || segment < 0 || segment > kSegments) return kRefuseAddress;
  const int items = segment == 0 ? kHeadItems : kSegmentItems;
  if (count > 0 && (startItem < 1 || startItem + count - 1 > items)) return kRefuseAddress;
  if (write && !Ready() && static_cast<int16_t>(Words[kRevisionWord]) < 2) return kRefuseProgramNotReady;
  return kAccepted;
}

std::vector<uint8_t> TControllerSim::AnswerLoader(const std::vector<uint8_t>& f, FrameRecord& record) {
  const size_t length = f.size();
  const uint8_t command = f[1];
  record.Valid = f[length - 2] == 0 && LoaderChecksum(f.data(), length - 1) == f[length - 1];
  const uint16_t field2 = Le(&f[2]), field4 = Le(&f[4]);
  switch (command) {
    case 0x00:
      record.Kind = FrameKind::ReadWord;
      record.Address = field2;
      record.Count = 1;
      break;
    case 0x04:
      record.Kind = FrameKind::ReadWords;
      record.Address = field2;
      record.Count = field4;
      break;
    case 0x40:
      record.Kind = FrameKind::WriteWord;
      record.Address = field2;
      record.Count = 1;
      break;
    case 0x44:
      record.Kind = FrameKind::WriteWords;
      record.Address = field2;
      record.Count = field4;
      break;
    case 0x10:
    case 0x50:
      record.Kind = command == 0x10 ? FrameKind::ReadProgram : FrameKind::WriteProgram;
      record.Address = f[2];
      record.Segment = f[3];
      record.StartItem = f[4];
      record.Count = f[5];
      break;
    default:  // 0x58
      record.Kind = FrameKind::DeleteProgram;
      record.Address = field2;
      record.Segment = field4;
      break;
  }
  if (!record.Valid) return {};

  switch (record.Kind) {
    case FrameKind::ReadWord:
    case FrameKind::ReadWords: {
      const int n = record.Count;
      if (n > 125) return LoaderReply(kRefuseAddress, {0});
      const uint8_t status = CheckWords(record.Address, n, false);
      std::vector<uint16_t> words(static_cast<size_t>(n), 0);
      if (status == kAccepted)
        for (int i = 0; i < n; ++i) words[static_cast<size_t>(i)] = Words[record.Address + i];
      return LoaderReply(status, words);
    }
    case FrameKind::WriteWord:
    case FrameKind::WriteWords: {
      const int n = record.Count;
      const uint8_t status = CheckWords(record.Address, n, true);
      if (status == kAccepted) {
        if (record.Kind == FrameKind::WriteWord)
          Words[record.Address] = field4;
        else
          for (int i = 0; i < n; ++i) Words[record.Address + i] = Le(&f[6 + 2 * static_cast<size_t>(i)]);
      }
      return LoaderReply(status, {0});
    }
    case FrameKind::ReadProgram: {
      const int n = record.Count;
      const uint8_t status = CheckProgram(record.Address, record.Segment, record.StartItem, n, false);
      std::vector<uint16_t> words(static_cast<size_t>(n), 0);
      if (status == kAccepted)
        for (int i = 0; i < n; ++i)
          words[static_cast<size_t>(i)] = Program[record.Address - 1][record.Segment][record.StartItem + i];
      return LoaderReply(status, words);
    }
    case FrameKind::WriteProgram: {
      const int n = record.Count;
      const uint8_t status = CheckProgram(record.Address, record.Segment, record.StartItem, n, true);
      if (status == kAccepted)
        for (int i = 0; i < n; ++i)
          Program[record.Address - 1][record.Segment][record.StartItem + i] = Le(&f[6 + 2 * static_cast<size_t>(i)]);
      return LoaderReply(status, {0});
    }
    default: {  // delete the segments of a pattern from the given one on
      uint8_t status = kAccepted;
      if (record.Address < 1 || record.Address > kPatterns || record.Segment < 1 || record.Segment > kSegments)
        status = kRefuseAddress;
      else if (!Ready() && static_cast<int16_t>(Words[kRevisionWord]) < 2)
        status = kRefuseProgramNotReady;
      if (status == kAccepted)
        for (int s = record.Segment; s <= kSegments; ++s)
          for (int i = 1; i <= kSegmentItems; ++i)
            Program[record.Address - 1][s][i] = (i == 20 || i == 21) ? 0 : kEmpty;
      return LoaderReply(status, {0});
    }
  }
}

std::vector<uint8_t> TControllerSim::AnswerText(const std::vector<uint8_t>& f, FrameRecord& record) {
  record.Kind = FrameKind::Text;
  record.Valid = false;
  const size_t n = f.size();
  if (n < 9) return {};
  for (size_t i = 1; i <= 4; ++i)
    if (HexValue(f[i]) < 0) return {};
  record.Address = static_cast<uint16_t>(HexValue(f[1]) * 16 + HexValue(f[2]));
  const unsigned sub = static_cast<unsigned>(HexValue(f[3]) * 16 + HexValue(f[4]));
  const char device = static_cast<char>(f[5]);
  size_t etx = 6;
  while (etx < n && f[etx] != kEtx) ++etx;
  if (etx >= n) return {};
  record.Text.assign(f.begin() + 6, f.begin() + static_cast<long>(etx));
  record.Count = static_cast<uint16_t>(record.Text.size());
  const size_t tail = n - 2 - (etx + 1);  // characters between ETX and CR LF
  if (tail != 0 && tail != 2) return {};
  const bool withSum = tail == 2;
  if (withSum) {
    const std::string sum = TextChecksum(std::string(f.begin(), f.begin() + static_cast<long>(etx + 1)));
    if (sum[0] != static_cast<char>(f[etx + 1]) || sum[1] != static_cast<char>(f[etx + 2])) return {};
  }
  if (record.Address != Cfg.Station || sub != Cfg.SubAddress || device != Cfg.DeviceCode) return {};
  record.Valid = true;

  std::string reply = std::string(1, static_cast<char>(kStx)) + Hex2(Cfg.Station) + Hex2(Cfg.SubAddress) + device;
  reply += Responder(record.Text);
  reply += static_cast<char>(kEtx);
  if (withSum) reply += TextChecksum(reply);
  reply += "\r\n";
  return {reply.begin(), reply.end()};
}

// ---- replies ----

void TControllerSim::Handle(FrameRecord record, std::vector<uint8_t> reply, uint64_t now) {
  const size_t number = Log.size() + 1;
  std::optional<Fault> fault;
  if (record.Valid && !reply.empty()) {
    for (Fault& f : Faults) {
      if (f.Times == 0) continue;
      if (f.FrameNumber != 0 && static_cast<size_t>(f.FrameNumber) != number) continue;
      if (f.OnKind != FrameKind::Any && f.OnKind != record.Kind) continue;
      if (f.Address >= 0 && f.Address != record.Address) continue;
      if (f.Times > 0) --f.Times;
      fault = f;
      break;
    }
  }
  const FrameKind kind = record.Kind;
  const size_t requestLength = record.Bytes.size();
  if (fault && fault->Kind == FaultKind::Echo) reply = record.Bytes;
  Log.push_back(std::move(record));
  if (Observer) Observer(Log.back());
  ReleaseHeld(now);
  if (fault && fault->Kind == FaultKind::LineDrop) {
    CloseLine();
    return;
  }
  if (fault) {
    Spoil(*fault, kind, reply);
  } else if (Cfg.CorruptShare > 0 && !reply.empty() &&
             std::uniform_real_distribution<double>(0, 1)(Noise) < Cfg.CorruptShare) {
    const size_t at = std::uniform_int_distribution<size_t>(0, reply.size() - 1)(Noise);
    reply[at] ^= static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(Noise));
    ++CorruptedCount;
  }
  if (reply.empty()) return;
  const uint64_t byteUs = Cfg.EmulateByteTime ? ByteTimeUs() : 0;
  uint64_t due = now + static_cast<uint64_t>(Cfg.ReplyLatencyMs) * 1000u + byteUs * requestLength;
  Outgoing out{due, std::move(reply), 0, byteUs};
  if (fault && (fault->Kind == FaultKind::Late || fault->Kind == FaultKind::LateOvertaken)) {
    out.AfterFrames = Log.size() + 1;
    out.HoldUs = static_cast<uint64_t>(std::max(fault->DelayMs, 0)) * 1000u;
  }
  if (fault && fault->Kind == FaultKind::LateOvertaken)
    Held.push_back(std::move(out));
  else
    Out.push_back(std::move(out));
}

void TControllerSim::ReleaseHeld(uint64_t now) {
  auto release = [&](Outgoing& o) {
    if (o.AfterFrames == 0 || Log.size() < o.AfterFrames) return;
    o.AfterFrames = 0;
    o.DueUs = std::max(o.DueUs, now + o.HoldUs);
  };
  for (Outgoing& o : Out) release(o);
  for (Outgoing& h : Held) release(h);
}

void TControllerSim::Spoil(const Fault& fault, FrameKind kind, std::vector<uint8_t>& reply) {
  switch (fault.Kind) {
    case FaultKind::Silence:
    case FaultKind::LineDrop:
      reply.clear();
      return;
    case FaultKind::ShortReply: {
      const size_t keep =
          fault.Bytes > 0 ? std::min(static_cast<size_t>(fault.Bytes), reply.size() - 1) : reply.size() / 2;
      reply.resize(keep);
      return;
    }
    case FaultKind::Garbage: {
      static const uint8_t noise[] = {0xFF, 0x55, 0xAA, 0x11, 0x13};
      const int count = fault.Bytes > 0 ? fault.Bytes : 3;
      std::vector<uint8_t> spoiled;
      for (int i = 0; i < count; ++i) spoiled.push_back(noise[i % 5]);
      spoiled.insert(spoiled.end(), reply.begin(), reply.end());
      reply.swap(spoiled);
      return;
    }
    case FaultKind::Late:
    case FaultKind::LateOvertaken:
      return;  // on time or not, the reply is sound
    case FaultKind::Echo:
      return;  // the request, put in place of the reply already
    default:
      break;
  }

  if (kind != FrameKind::Text) {
    switch (fault.Kind) {
      case FaultKind::BadChecksum:
        reply.back() = static_cast<uint8_t>(reply.back() + 1);
        break;
      case FaultKind::NoStx:
        reply[0] = 0x15;
        break;
      case FaultKind::Refusal:
        reply[1] = fault.Status;
        reply.back() = LoaderChecksum(reply.data(), reply.size() - 1);
        break;
      default:  // text faults leave a loader reply alone
        break;
    }
    return;
  }

  // A text reply: STX, 5 header characters, body, ETX, [2 sum digits], CR LF.
  std::string header(reply.begin(), reply.begin() + 6);
  size_t etx = 6;
  while (etx < reply.size() && reply[etx] != kEtx) ++etx;
  const std::string body(reply.begin() + 6, reply.begin() + static_cast<long>(etx));
  const bool withSum = reply.size() - etx - 1 == 4;
  bool keepEtx = true, badSum = false, dropStx = false;
  switch (fault.Kind) {
    case FaultKind::ForeignHeader:
      header.replace(1, 2, Hex2((Cfg.Station + 1u) & 0xFF));
      break;
    case FaultKind::NoEtx:
      keepEtx = false;
      break;
    case FaultKind::BadChecksum:
      badSum = true;
      break;
    case FaultKind::NoStx:
      dropStx = true;
      break;
    default:  // a refusal has no text form
      return;
  }
  std::string text = header + body;
  if (keepEtx) text += static_cast<char>(kEtx);
  if (withSum) {
    std::string sum = TextChecksum(text);
    if (badSum) sum[1] = sum[1] == '0' ? '1' : '0';
    text += sum;
  }
  text += "\r\n";
  if (dropStx) text.erase(0, 1);
  reply.assign(text.begin(), text.end());
}

}  // namespace kvlsim
