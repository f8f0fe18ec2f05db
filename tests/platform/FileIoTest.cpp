#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kvl-io-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Dir = pattern;
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string At(const std::string& name) const { return Dir + "/" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
  }
  static unsigned Mode(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0xFFFF;
  }
  std::string Dir;
};

// Calls that write at most a few bytes at a time and are interrupted now and
// then, as a slow or signalled write may be.
struct ShortWrites : kvl::TFileCalls {
  int Calls = 0;
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (++Calls % 3 == 0) {
      errno = EINTR;
      return -1;
    }
    return kvl::TFileCalls::Write(fd, data, std::min<size_t>(size, 7));
  }
};

struct FailAt : kvl::TFileCalls {
  enum Step { OnWrite, OnSync, OnClose, OnRename } FailingStep;
  explicit FailAt(Step s) : FailingStep(s) {}
  ssize_t Write(int fd, const void* d, size_t n) override {
    return FailingStep == OnWrite ? (errno = ENOSPC, -1) : kvl::TFileCalls::Write(fd, d, n);
  }
  int Sync(int fd) override { return FailingStep == OnSync ? (errno = EIO, -1) : kvl::TFileCalls::Sync(fd); }
  int Close(int fd) override {
    const int rc = kvl::TFileCalls::Close(fd);
    return FailingStep == OnClose ? (errno = EIO, -1) : rc;
  }
  int Rename(const char* a, const char* b) override {
    return FailingStep == OnRename ? (errno = EXDEV, -1) : kvl::TFileCalls::Rename(a, b);
  }
};

TEST(FolderOf, SplitsAtTheLastSlash) {
  struct Case {
    const char* path;
    const char* folder;
  } cases[] = {
      {"a.q70", "."}, {"/a.q70", "/"}, {"/tmp/a.q70", "/tmp"}, {"x/y/a.q70", "x/y"}, {"", "."},
  };
  for (const Case& c : cases) EXPECT_EQ(kvl::FolderOf(c.path), c.folder) << c.path;
}

TEST_F(FileIoTest, FollowLinksToTheFileMeant) {
  fs::create_directory(At("sub"));
  Write(At("sub/real"), {1});
  ASSERT_EQ(symlink("sub/real", At("rel").c_str()), 0);
  ASSERT_EQ(symlink(At("rel").c_str(), At("abs").c_str()), 0);
  ASSERT_EQ(symlink("missing", At("dangling").c_str()), 0);
  ASSERT_EQ(symlink("loop2", At("loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", At("loop2").c_str()), 0);
  struct Case {
    std::string path, expected;
  } cases[] = {
      {At("sub/real"), At("sub/real")},
      {At("rel"), At("sub/real")},
      {At("abs"), At("sub/real")},
      {At("dangling"), At("missing")},
      {At("loop1"), At("loop1")},
      {At("new"), At("new")},
  };
  for (const Case& c : cases) EXPECT_EQ(kvl::FollowLinks(c.path), c.expected) << c.path;
}

TEST_F(FileIoTest, ReplaceFileWritesNewAndExistingFiles) {
  const Bytes data(100000, 0x5A);
  // A new file gets read and write permission as the umask allows.
  const mode_t mask = umask(022);
  umask(mask);
  ASSERT_TRUE(kvl::ReplaceFile(At("new"), data.data(), data.size()));
  EXPECT_EQ(Read(At("new")), data);
  EXPECT_EQ(Mode(At("new")), 0666u & ~static_cast<unsigned>(mask));

  // An existing one keeps its permission bits, also through a link.
  Write(At("old"), {1, 2, 3});
  ASSERT_EQ(chmod(At("old").c_str(), 0604), 0);
  ASSERT_EQ(symlink("old", At("link").c_str()), 0);
  ASSERT_TRUE(kvl::ReplaceFile(At("link"), data.data(), 10));
  EXPECT_EQ(Read(At("old")), Bytes(10, 0x5A));
  EXPECT_EQ(Mode(At("old")), 0604u);
  EXPECT_TRUE(fs::is_symlink(At("link")));

  // A dangling link creates the file it names.
  ASSERT_EQ(symlink("made", At("dangling").c_str()), 0);
  ASSERT_TRUE(kvl::ReplaceFile(At("dangling"), data.data(), 4));
  EXPECT_EQ(Read(At("made")), Bytes(4, 0x5A));
  EXPECT_EQ(Names(), (std::vector<std::string>{"dangling", "link", "made", "new", "old"}));
}

TEST_F(FileIoTest, ReplaceFileSurvivesShortAndInterruptedWrites) {
  ShortWrites calls;
  kvl::SetFileCalls(&calls);
  Bytes data(1000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 13);
  const bool ok = kvl::ReplaceFile(At("f"), data.data(), data.size());
  kvl::SetFileCalls(nullptr);
  ASSERT_TRUE(ok);
  EXPECT_EQ(Read(At("f")), data);
  EXPECT_GT(calls.Calls, 140);
}

TEST_F(FileIoTest, AFailedReplaceLeavesThePreviousFileAndNoTemporary) {
  const Bytes previous = {'p', 'r', 'e', 'v'};
  const Bytes data(5000, 1);
  for (FailAt::Step step : {FailAt::OnWrite, FailAt::OnSync, FailAt::OnClose, FailAt::OnRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    Write(At("f"), previous);
    FailAt calls(step);
    EXPECT_EQ(kvl::SetFileCalls(&calls), nullptr);
    const bool ok = kvl::ReplaceFile(At("f"), data.data(), data.size());
    EXPECT_EQ(kvl::SetFileCalls(nullptr), &calls);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Read(At("f")), previous);
    EXPECT_EQ(Names(), std::vector<std::string>{"f"});
  }
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info;
}

constexpr uid_t kOtherUser = 65534;  // nobody

TEST_F(FileIoTest, FilesARenameWouldChangeAreRewrittenInPlace) {
  const Bytes previous = {'o', 'l', 'd', '!', '!', '!', '!', '!'};
  const Bytes data = {'n', 'e', 'w'};
  {
    SCOPED_TRACE("a second name");
    Write(At("f"), previous);
    ASSERT_EQ(link(At("f").c_str(), At("g").c_str()), 0);
    const ino_t inode = StatOf(At("f")).st_ino;
    ASSERT_TRUE(kvl::ReplaceFile(At("f"), data.data(), data.size()));
    EXPECT_EQ(Read(At("f")), data);
    EXPECT_EQ(Read(At("g")), data) << "both names keep naming one file";
    EXPECT_EQ(StatOf(At("f")).st_ino, inode);
    EXPECT_EQ(StatOf(At("f")).st_nlink, 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"f", "g"}));
  }
  if (geteuid() == 0) {
    SCOPED_TRACE("another user's file");
    Write(At("h"), previous);
    ASSERT_EQ(chown(At("h").c_str(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(chmod(At("h").c_str(), 0664), 0);
    ASSERT_TRUE(kvl::ReplaceFile(At("h"), data.data(), data.size()));
    EXPECT_EQ(Read(At("h")), data);
    EXPECT_EQ(StatOf(At("h")).st_uid, kOtherUser);
    EXPECT_EQ(StatOf(At("h")).st_gid, kOtherUser);
    EXPECT_EQ(Mode(At("h")), 0664u);
  }
  {
    SCOPED_TRACE("a folder this user cannot write");
    // The superuser writes every folder: the save is then made by another user.
    ASSERT_EQ(mkdir(At("ro").c_str(), 0755), 0);
    Write(At("ro/f"), previous);
    const bool asOther = geteuid() == 0;
    if (asOther) {
      ASSERT_EQ(chmod(Dir.c_str(), 0755), 0);
      ASSERT_EQ(chown(At("ro/f").c_str(), kOtherUser, kOtherUser), 0);
    } else {
      ASSERT_EQ(chmod(At("ro").c_str(), 0555), 0);
    }
    const pid_t child = fork();
    if (child == 0) {
      if (asOther && (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0)) _exit(2);
      _exit(kvl::ReplaceFile(At("ro/f"), data.data(), data.size()) ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Read(At("ro/f")), data);
    chmod(At("ro").c_str(), 0755);
    EXPECT_EQ(fs::directory_iterator(At("ro"))->path().filename(), "f");
  }
}

// Calls that fail one step once, after the writes before it went through.
struct FailOnce : kvl::TFileCalls {
  enum Step { OnTruncate, OnSync, OnClose } FailingStep;
  bool Failed = false;
  explicit FailOnce(Step s) : FailingStep(s) {}
  bool Now(Step s) {
    if (s != FailingStep || Failed) return false;
    Failed = true;
    return true;
  }
  int Truncate(int fd, off_t n) override { return Now(OnTruncate) ? (errno = EIO, -1) : kvl::TFileCalls::Truncate(fd, n); }
  int Sync(int fd) override { return Now(OnSync) ? (errno = EIO, -1) : kvl::TFileCalls::Sync(fd); }
  int Close(int fd) override {
    const int rc = kvl::TFileCalls::Close(fd);
    return Now(OnClose) ? (errno = EIO, -1) : rc;
  }
};

// The first write takes half the bytes, the next one fails, later ones go.
struct FailAfterPartialWrite : kvl::TFileCalls {
  int Calls = 0;
  ssize_t Write(int fd, const void* d, size_t n) override {
    ++Calls;
    if (Calls == 1) return kvl::TFileCalls::Write(fd, d, n / 2);
    if (Calls == 2) return (errno = ENOSPC, -1);
    return kvl::TFileCalls::Write(fd, d, n);
  }
};

TEST_F(FileIoTest, AFailedRewriteInPlacePutsThePreviousBytesBack) {
  Bytes previous(3000);
  for (size_t i = 0; i < previous.size(); ++i) previous[i] = static_cast<uint8_t>(i * 7);
  const Bytes data(5000, 1);
  FailAfterPartialWrite partial;
  FailOnce truncate(FailOnce::OnTruncate), sync(FailOnce::OnSync), close(FailOnce::OnClose);
  const struct {
    const char* name;
    kvl::TFileCalls* calls;
  } cases[] = {{"write", &partial}, {"truncate", &truncate}, {"sync", &sync}, {"close", &close}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Dir);
    fs::create_directory(Dir);
    Write(At("f"), previous);
    ASSERT_EQ(link(At("f").c_str(), At("g").c_str()), 0);
    kvl::SetFileCalls(c.calls);
    const bool ok = kvl::ReplaceFile(At("f"), data.data(), data.size());
    kvl::SetFileCalls(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Read(At("f")), previous);
    EXPECT_EQ(Read(At("g")), previous);
    EXPECT_EQ(Names(), (std::vector<std::string>{"f", "g"}));
  }
}

TEST_F(FileIoTest, ReplaceFileRefusesWhatIsNoFile) {
  const Bytes data(10, 1);
  fs::create_directory(At("dir"));
  EXPECT_FALSE(kvl::ReplaceFile(At("dir"), data.data(), data.size()));
  EXPECT_FALSE(kvl::ReplaceFile(At("missing/f"), data.data(), data.size()));
  EXPECT_FALSE(kvl::ReplaceFile("", data.data(), data.size()));
  EXPECT_TRUE(fs::is_directory(At("dir")));
  EXPECT_EQ(Names(), std::vector<std::string>{"dir"});
}

TEST_F(FileIoTest, ReadWholeFile) {
  Write(At("ten"), Bytes(10, 7));
  Write(At("empty"), {});
  fs::create_directory(At("dir"));
  ASSERT_EQ(mkfifo(At("fifo").c_str(), 0600), 0);
  struct Case {
    std::string path;
    size_t limit;
    kvl::ReadStatus status;
    size_t size;
  } cases[] = {
      {At("ten"), 10, kvl::ReadStatus::Ok, 10},
      {At("ten"), 9, kvl::ReadStatus::TooLarge, 0},
      {At("empty"), 10, kvl::ReadStatus::Ok, 0},
      {At("missing"), 10, kvl::ReadStatus::CannotOpen, 0},
      {At("dir"), 10, kvl::ReadStatus::CannotOpen, 0},
      {At("fifo"), 10, kvl::ReadStatus::CannotOpen, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Bytes bytes = {1, 2};
    EXPECT_EQ(kvl::ReadWholeFile(c.path, c.limit, bytes), c.status);
    EXPECT_EQ(bytes.size(), c.size);
  }
  Bytes bytes;
  ASSERT_EQ(kvl::ReadWholeFile(At("ten"), 100, bytes), kvl::ReadStatus::Ok);
  EXPECT_EQ(bytes, Bytes(10, 7));
}

TEST_F(FileIoTest, SameFileSeesThroughLinks) {
  Write(At("a"), {1});
  Write(At("b"), {1});
  ASSERT_EQ(symlink("a", At("la").c_str()), 0);
  ASSERT_EQ(link(At("a").c_str(), At("ha").c_str()), 0);
  EXPECT_TRUE(kvl::SameFile(At("a"), At("la")));
  EXPECT_TRUE(kvl::SameFile(At("ha"), At("a")));
  EXPECT_FALSE(kvl::SameFile(At("a"), At("b")));
  EXPECT_FALSE(kvl::SameFile(At("a"), At("missing")));
}

}  // namespace

namespace {

// A sync as a file system may report it: interrupted first, failing, missing
// (devices and pipes have none), or good with the close then failing (the
// descriptor is taken away under the stream, so its close reports EBADF).
struct StreamSync : kvl::TFileCalls {
  enum Mode { Good, InterruptedTwice, Fails, Missing, GoodThenCloseFails, MissingThenCloseFails } How;
  explicit StreamSync(Mode how) : How(how) {}
  int Interruptions = 0;
  int Sync(int fd) override {
    switch (How) {
      case Good: return kvl::TFileCalls::Sync(fd);
      case InterruptedTwice:
        if (Interruptions++ < 2) return (errno = EINTR, -1);
        return kvl::TFileCalls::Sync(fd);
      case Fails: return (errno = EIO, -1);
      case Missing: return (errno = EINVAL, -1);
      case GoodThenCloseFails: {
        const int rc = kvl::TFileCalls::Sync(fd);
        ::close(fd);
        return rc;
      }
      case MissingThenCloseFails: ::close(fd); return (errno = EINVAL, -1);
    }
    return -1;
  }
};

TEST_F(FileIoTest, FinishWrittenStreamTellsWhetherEveryByteReachedTheFile) {
  const struct {
    const char* Name;
    StreamSync::Mode How;
    bool Complete;
  } cases[] = {
      {"synced", StreamSync::Good, true},
      {"sync interrupted, then done", StreamSync::InterruptedTwice, true},
      {"sync failed", StreamSync::Fails, false},
      {"no sync", StreamSync::Missing, true},
      {"close failed after a good sync", StreamSync::GoodThenCloseFails, true},
      {"close failed without a sync", StreamSync::MissingThenCloseFails, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = At("list.csv");
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_GE(std::fputs("A,B\r\n", file), 0);
    StreamSync calls(c.How);
    kvl::SetFileCalls(&calls);
    EXPECT_EQ(kvl::FinishWrittenStream(file), c.Complete);
    kvl::SetFileCalls(nullptr);
    EXPECT_EQ(Read(path), (Bytes{'A', ',', 'B', '\r', '\n'}));
  }
  EXPECT_FALSE(kvl::FinishWrittenStream(nullptr));
}

TEST_F(FileIoTest, FinishWrittenStreamReportsBytesThatCouldNotBeWritten) {
  FILE* file = std::fopen("/dev/full", "wb");
  if (!file) GTEST_SKIP() << "no /dev/full";
  ASSERT_GT(std::fputs("x", file), 0);  // still buffered: it meets the full device at the flush
  EXPECT_FALSE(kvl::FinishWrittenStream(file));
}

}  // namespace
