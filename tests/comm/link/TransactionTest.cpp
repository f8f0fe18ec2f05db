#include <cerrno>
#include <functional>

#include "SerialPort.h"

#include "SimLink.h"

namespace {

using kvlsim::Fault;
using kvlsim::FaultKind;
using kvlsim::FrameKind;

class TransactionTest : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    // Short enough for the faults that wait it out four times, long enough
    // for every answered try to be answered in time on a loaded machine.
    link.ReceiveTimeout = 500;
    for (int i = 0; i < 5; ++i) sim.SetWord(static_cast<uint16_t>(1001 + i), static_cast<uint16_t>(40 + i));
  }
};

Fault Always(FaultKind kind) {
  Fault f;
  f.Kind = kind;
  f.Times = -1;
  return f;
}
Fault Once(FaultKind kind) {
  Fault f;
  f.Kind = kind;
  return f;
}
Fault OnFrame(FaultKind kind, int number) {
  Fault f;
  f.Kind = kind;
  f.FrameNumber = number;
  return f;
}
Fault Refuse(uint8_t status, int times = -1) {
  Fault f;
  f.Kind = FaultKind::Refusal;
  f.Status = status;
  f.Times = times;
  return f;
}

TEST_F(TransactionTest, FaultsCostTheirRetriesAndEndInTheirError) {
  Fault otherKind = Always(FaultKind::Silence);
  otherKind.OnKind = FrameKind::WriteWords;
  Fault otherAddress = Always(FaultKind::Silence);
  otherAddress.Address = 9997;
  Fault thisAddress = Always(FaultKind::Silence);
  thisAddress.Address = 1001;

  struct Case {
    const char* name;
    std::vector<Fault> faults;
    int retries;
    bool ok;
    size_t sends;
    uint32_t error;  // ProtocolError afterwards (it starts at 0)
  } cases[] = {
      {"clean", {}, 3, true, 1, 0},
      {"bad checksum always", {Always(FaultKind::BadChecksum)}, 3, false, 4, 0x40000},
      {"no STX always", {Always(FaultKind::NoStx)}, 3, false, 4, 0x20000},
      {"silence always", {Always(FaultKind::Silence)}, 3, false, 4, 0x10000},
      {"short reply always", {Always(FaultKind::ShortReply)}, 3, false, 4, 0x10000},
      {"garbage always", {Always(FaultKind::Garbage)}, 3, false, 4, 0x20000},
      {"refusal G", {Refuse(0x47)}, 3, false, 1, 0x47000000},
      {"refusal 0", {Refuse(0x30)}, 3, false, 1, 0x30000000},
      {"refusal with status 0x00", {Refuse(0x00)}, 3, false, 1, 0},
      {"refusal with status 0xC7", {Refuse(0xC7)}, 3, false, 1, 0xC7000000},
      {"bad checksum, then status 0x00", {OnFrame(FaultKind::BadChecksum, 1), Refuse(0x00)}, 3, false, 2, 0},
      {"bad checksum, then refusal I", {OnFrame(FaultKind::BadChecksum, 1), Refuse(0x49)}, 3, false, 2, 0x49000000},
      {"bad checksum once", {Once(FaultKind::BadChecksum)}, 3, true, 2, 0x40000},
      {"no STX once", {Once(FaultKind::NoStx)}, 3, true, 2, 0x20000},
      {"silence once", {Once(FaultKind::Silence)}, 3, true, 2, 0},
      {"garbage once", {Once(FaultKind::Garbage)}, 3, true, 2, 0x20000},
      {"short reply three times", {[] { Fault f = Once(FaultKind::ShortReply); f.Times = 3; return f; }()}, 3, true,
       4, 0},
      {"bad checksum, then silence", {OnFrame(FaultKind::BadChecksum, 1), Always(FaultKind::Silence)}, 3, false, 4,
       0x10000},
      {"retry count 0", {Always(FaultKind::Silence)}, 0, false, 1, 0x10000},
      {"retry count 1", {Always(FaultKind::BadChecksum)}, 1, false, 2, 0x40000},
      {"fault on another kind", {otherKind}, 3, true, 1, 0},
      {"fault on another address", {otherAddress}, 3, true, 1, 0},
      {"fault on this address", {thisAddress}, 3, false, 4, 0x10000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    for (const Fault& f : c.faults) sim.AddFault(f);
    link.RetryCount = c.retries;
    link.ProtocolError = 0;
    uint16_t words[5] = {};
    EXPECT_EQ(link.ReadWords(1001, 5, words), c.ok);
    EXPECT_EQ(sim.FrameCount(), c.sends);
    EXPECT_EQ(link.ProtocolError, c.error);
    if (c.ok)
      for (int i = 0; i < 5; ++i) EXPECT_EQ(words[i], 40 + i);
    else
      for (int i = 0; i < 5; ++i) EXPECT_EQ(words[i], 0) << "nothing is copied out of a failed frame";
  }
}

TEST_F(TransactionTest, WritesAreRetriedAndRefusalsAreNot) {
  struct Case {
    const char* name;
    Fault fault;
    bool ok;
    size_t sends;
    uint32_t error;
  } cases[] = {
      {"refusal I on delete", Refuse(0x49), false, 1, 0x49000000},
      {"status 0x00 on delete", Refuse(0x00), false, 1, 0},
      {"checksum once", Once(FaultKind::BadChecksum), true, 2, 0x40000},
      {"silence always", Always(FaultKind::Silence), false, 4, 0x10000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    sim.AddFault(c.fault);
    link.ProtocolError = 0;
    EXPECT_EQ(link.DeleteProgram(7, 1), c.ok);
    EXPECT_EQ(sim.FrameCount(), c.sends);
    EXPECT_EQ(link.ProtocolError, c.error);
    for (const auto& f : sim.Frames()) EXPECT_EQ(f.Kind, FrameKind::DeleteProgram);
  }
}

// A reply whose status byte is 0x00 is a refusal like any other, though its
// error word is 0: a stale word from an earlier frame gives way to it, and
// nothing is copied out.
TEST_F(TransactionTest, StatusZeroIsARefusalOfEveryFrameKind) {
  Fault echo = Always(FaultKind::Echo);
  const struct {
    const char* name;
    Fault fault;
    std::function<bool(TProtocol&, uint16_t*)> frame;
  } cases[] = {
      {"word read", Refuse(0x00), [](TProtocol& l, uint16_t* w) { return l.ReadWords(1001, 1, w); }},
      {"word read on a line that echoes", echo, [](TProtocol& l, uint16_t* w) { return l.ReadWords(1001, 1, w); }},
      {"words read", Refuse(0x00), [](TProtocol& l, uint16_t* w) { return l.ReadWords(1001, 3, w); }},
      {"program read", Refuse(0x00), [](TProtocol& l, uint16_t* w) { return l.ReadProgram(1, 1, w, 3, 1); }},
      {"word write", Refuse(0x00),
       [](TProtocol& l, uint16_t*) {
         const uint16_t one = 1;
         return l.WriteWords(1001, 1, &one);
       }},
      {"program write", Refuse(0x00),
       [](TProtocol& l, uint16_t*) {
         const int16_t one = 1;
         return l.WriteProgram(1, 1, &one, 1, 1);
       }},
      {"delete", Refuse(0x00), [](TProtocol& l, uint16_t*) { return l.DeleteProgram(1, 1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    sim.AddFault(c.fault);
    link.ProtocolError = TProtocol::kErrChecksum;
    uint16_t words[3] = {0xA55A, 0xA55A, 0xA55A};
    EXPECT_FALSE(c.frame(link, words));
    EXPECT_EQ(sim.FrameCount(), 1u) << "a refusal is not sent again";
    EXPECT_EQ(link.ProtocolError, 0u);
    for (uint16_t w : words) EXPECT_EQ(w, 0xA55A) << "nothing is copied out";
  }
}

TEST_F(TransactionTest, LateRepliesAreNotTakenForTheNextFrame) {
  // Every reply comes later than the time-out: each frame is answered by the
  // reply to its first try while its second try waits, and the reply to the
  // second try arrives after the frame is done.
  link.ReceiveTimeout = 200;
  kvlsim::Config config = sim.GetConfig();
  config.ReplyLatencyMs = 300;
  sim.SetConfig(config);
  sim.SetWord(1001, 111);
  sim.SetWord(1002, 222);
  const struct {
    uint16_t address, value;
  } reads[] = {{1001, 111}, {1002, 222}, {1001, 111}};
  for (const auto& r : reads) {
    SCOPED_TRACE(r.address);
    uint16_t word = 0;
    ASSERT_TRUE(link.ReadWords(r.address, 1, &word));
    EXPECT_EQ(word, r.value);
  }
  EXPECT_EQ(sim.FrameCount(), 6u);
}

// Each fault spoils the first frame's first reply; the line runs at 19200
// bit/s with the simulator keeping the characters' time. The times are told
// apart by the time-out: a retry costs far less than one, a missing reply or
// a reply's missing rest one, never two.
TEST_F(TransactionTest, ASpoiledReplyCostsOneRetryAndAMissingOneATimeOut) {
  link.Close();
  link.Baud = 19200;
  link.ReceiveTimeout = 2000;
  ASSERT_EQ(link.Open(), 0u);
  const double timeOut = link.ReceiveTimeout / 1000.0;
  kvlsim::Config config = sim.GetConfig();
  config.EmulateByteTime = true;
  sim.SetConfig(config);
  Fault garbage = OnFrame(FaultKind::Garbage, 1);
  garbage.Bytes = 6;  // the reply's tail is still on the line when the first 16 bytes are in
  Fault cut = OnFrame(FaultKind::ShortReply, 1);
  const struct {
    const char* name;
    Fault fault;
    int timeOuts;  // waited for, both frames together
  } cases[] = {
      {"bad checksum", OnFrame(FaultKind::BadChecksum, 1), 0},
      {"no STX", OnFrame(FaultKind::NoStx, 1), 0},
      {"noise before the reply", garbage, 0},
      {"short reply", cut, 1},  // its rest is awaited for one time-out
      {"no reply", OnFrame(FaultKind::Silence, 1), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    sim.AddFault(c.fault);
    uint16_t five[5] = {}, two[2] = {};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(link.ReadWords(1001, 5, five));
    ASSERT_TRUE(link.ReadWords(1003, 2, two));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (c.timeOuts == 0) {
      EXPECT_LT(took.count(), timeOut / 2) << "a retry, not a time-out";
    } else {
      EXPECT_GE(took.count(), timeOut * 0.99);
      EXPECT_LT(took.count(), timeOut * 2) << "one time-out, not two";
    }
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 3u) << "one retry, and the second frame is not disturbed";
    EXPECT_EQ(frames[0].Address, 1001);
    EXPECT_EQ(frames[1].Address, 1001);
    EXPECT_EQ(frames[2].Address, 1003);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(five[i], 40 + i);
    EXPECT_EQ(two[0], 42);
    EXPECT_EQ(two[1], 43);
  }
}

TEST_F(TransactionTest, AReplyLaterThanTheTimeOutNeverShiftsTheData) {
  // One frame's reply comes only after its retry went out: before the retry's
  // own reply (in order, within the retry's time-out) or after it (overtaken,
  // up to 250 ms after the reply that was taken, inside the 300 ms of quiet
  // the next frame waits for). Each read must give its own word.
  link.ReceiveTimeout = 200;
  for (int i = 0; i < 4; ++i) sim.SetWord(static_cast<uint16_t>(1101 + i), static_cast<uint16_t>(700 + i));
  const struct {
    FaultKind kind;
    int afterRetryMs;
  } cases[] = {{FaultKind::Late, 20},           {FaultKind::Late, 100},           {FaultKind::LateOvertaken, 50},
               {FaultKind::LateOvertaken, 150}, {FaultKind::LateOvertaken, 250}};
  for (const auto& c : cases)
    for (int frame : {1, 2}) {
      SCOPED_TRACE(testing::Message() << (c.kind == FaultKind::Late ? "in order, " : "overtaken, ")
                                      << c.afterRetryMs << " ms after the retry, frame " << frame);
      sim.ClearFaults();
      sim.ClearFrames();
      Fault late = OnFrame(c.kind, frame);
      late.DelayMs = c.afterRetryMs;
      sim.AddFault(late);
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < 4; ++i) {
        uint16_t word = 0;
        ASSERT_TRUE(link.ReadWords(static_cast<uint16_t>(1101 + i), 1, &word));
        EXPECT_EQ(word, 700 + i) << "read " << i;
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      // The late frame once more, right after itself; nothing else repeated.
      std::vector<uint16_t> sent, expected = {1101, 1102, 1103, 1104};
      expected.insert(expected.begin() + frame, static_cast<uint16_t>(1100 + frame));
      for (const auto& f : sim.Frames()) sent.push_back(f.Address);
      EXPECT_EQ(sent, expected);
      // About a time-out and 300 ms of quiet; the bound leaves a loaded
      // machine plenty of room and only catches a wait that does not end.
      EXPECT_LT(took.count(), 10.0);
      // Nothing is left over for a later frame either.
      uint16_t word = 0;
      ASSERT_TRUE(link.ReadWords(1101, 1, &word));
      EXPECT_EQ(word, 700);
      EXPECT_EQ(sim.FrameCount(), 6u);
    }
}

TEST_F(TransactionTest, BytesWaitingBeforeASendAreDropped) {
  // A well-formed reply that nobody asked for waits in the input queue.
  const auto stale = Bytes({0x02, 0x80, 0x00, 0x00, 0x34, 0x12, 0x00, 0xC9});
  ASSERT_EQ(TProtocol::LoaderSum(stale.data(), 8), stale[7]);
  sim.SendRaw(stale);
  ASSERT_TRUE(WaitUntil([&] {
    uint32_t in = 0, out = 0;
    return kvl::SerialQueueCounts(link.Handle(), in, out) && in == 8;
  }));
  uint16_t word = 0;
  ASSERT_TRUE(link.ReadWords(9997, 1, &word));
  EXPECT_EQ(word, 1552);
  EXPECT_EQ(sim.FrameCount(), 1u);
}

TEST_F(TransactionTest, LineGoingAwayEndsEveryFrameAtOnce) {
  link.ReceiveTimeout = 2000;
  sim.AddFault(OnFrame(FaultKind::LineDrop, 3));
  uint16_t words[5];
  ASSERT_TRUE(link.ReadWords(1001, 5, words));
  ASSERT_TRUE(link.ReadWords(1001, 5, words));
  for (int frame = 3; frame <= 4; ++frame) {
    SCOPED_TRACE(frame);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.ReadWords(1001, 5, words));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(link.ReceiveTimeout / 2)) << "no waiting for time-outs on a dead line";
    EXPECT_EQ(link.ProtocolError, TComm::kStatusPortFault + EIO);
  }
  EXPECT_EQ(sim.FrameCount(), 3u);
  // DTR cannot be dropped on a line that is gone; the port is closed all the same.
  EXPECT_EQ(link.Close(), 3u);
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
