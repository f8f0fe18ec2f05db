#include "SingleInstance.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(SingleInstanceLockPath, IsInTmpByUserIdAlone) {
  EXPECT_EQ(kvl::SingleInstanceLockPath("halvorin.hqz.kvlq70", 1000), "/tmp/halvorin.hqz.kvlq70-1000");
  EXPECT_EQ(kvl::SingleInstanceLockPath("halvorin.hqz.kvlq70", 0), "/tmp/halvorin.hqz.kvlq70-0");
  // The environment does not move it.
  const std::string before = kvl::SingleInstanceLockPath("halvorin.hqz.kvlq70");
  setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(kvl::SingleInstanceLockPath("halvorin.hqz.kvlq70"), before);
  unsetenv("XDG_RUNTIME_DIR");
  unsetenv("TMPDIR");
  EXPECT_EQ(kvl::SingleInstanceLockPath("halvorin.hqz.kvlq70"), before);
  EXPECT_EQ(before, "/tmp/halvorin.hqz.kvlq70-" + std::to_string(getuid()));
}

class SingleInstanceGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kvl-lock-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    Dir = pattern;
    Path = Dir + "/halvorin.hqz.kvlq70";
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Dir, Path;
};

TEST_F(SingleInstanceGuardTest, SecondHolderIsToldAnotherInstanceRuns) {
  using Outcome = kvl::SingleInstanceGuard::Outcome;
  kvl::SingleInstanceGuard first(Path);
  ASSERT_EQ(first.Acquire(), Outcome::Acquired);
  EXPECT_TRUE(first.Held());

  // flock locks belong to the open file, so a second guard in this process
  // meets the first one exactly as another process would.
  kvl::SingleInstanceGuard second(Path);
  EXPECT_EQ(second.Acquire(), Outcome::AlreadyRunning);
  EXPECT_FALSE(second.Held());
  EXPECT_TRUE(second.Error().empty());

  first.Release();
  EXPECT_FALSE(first.Held());
  EXPECT_EQ(second.Acquire(), Outcome::Acquired);
}

TEST_F(SingleInstanceGuardTest, AFileLeftByACrashedInstanceDoesNotBlock) {
  // A child takes the lock and dies without releasing it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    kvl::SingleInstanceGuard guard(Path);
    _exit(guard.Acquire() == kvl::SingleInstanceGuard::Outcome::Acquired ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ASSERT_TRUE(fs::exists(Path));

  kvl::SingleInstanceGuard next(Path);
  EXPECT_EQ(next.Acquire(), kvl::SingleInstanceGuard::Outcome::Acquired);
}

TEST_F(SingleInstanceGuardTest, FailsWithAReasonWhenTheFileCannotBeMade) {
  struct Case {
    std::string path;
    const char* why;
  } cases[] = {
      {Dir + "/missing/halvorin.hqz.kvlq70", "missing directory"},
      {Dir + "/link", "symbolic link"},
  };
  fs::create_symlink(Dir + "/target", Dir + "/link");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    kvl::SingleInstanceGuard guard(c.path);
    EXPECT_EQ(guard.Acquire(), kvl::SingleInstanceGuard::Outcome::Failed);
    EXPECT_FALSE(guard.Held());
    EXPECT_NE(guard.Error().find(c.path), std::string::npos) << guard.Error();
  }
  EXPECT_FALSE(fs::exists(Dir + "/target"));
}

TEST_F(SingleInstanceGuardTest, LockFileIsPrivateAndNotInheritedByPrograms) {
  kvl::SingleInstanceGuard guard(Path);
  ASSERT_EQ(guard.Acquire(), kvl::SingleInstanceGuard::Outcome::Acquired);
  struct stat st {};
  ASSERT_EQ(stat(Path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u);
  // A program started by the holder must not keep the lock after it ends:
  // the descriptor is closed on exec.
  bool closeOnExec = false;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path(), ec) == fs::path(Path)) {
      const int fd = std::stoi(entry.path().filename().string());
      closeOnExec = (fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
    }
  }
  EXPECT_TRUE(closeOnExec);
}

}  // namespace
