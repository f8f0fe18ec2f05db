// The guard that keeps the program to one running instance per user: a lock
// file held with flock(2). The kernel drops the lock when the holder ends,
// however it ends, so a crashed instance never blocks the next one.
#pragma once

#include <string>
#include <string_view>

namespace kvl {

// Where the lock file of a guard named `name` lives: in the user's runtime
// directory (`runtimeDir`, XDG_RUNTIME_DIR) when that is an absolute path,
// else in the temporary directory (`tmpDir`, TMPDIR, else /tmp) with the user
// id in the file name, so that users sharing the directory do not block each
// other. Null or empty directories count as unset.
std::string SingleInstanceLockPath(std::string_view name, const char* runtimeDir, const char* tmpDir,
                                   unsigned userId);

// The same, from this process's environment and user id.
std::string SingleInstanceLockPath(std::string_view name);

class SingleInstanceGuard {
 public:
  enum class Outcome { Acquired, AlreadyRunning, Failed };

  explicit SingleInstanceGuard(std::string lockPath) : Path(std::move(lockPath)) {}
  ~SingleInstanceGuard() { Release(); }
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // Creates the lock file if needed and takes its lock without waiting.
  // AlreadyRunning: another process holds it. Failed: the file could not be
  // made or locked at all; Error() says why.
  Outcome Acquire();

  // Drops the lock (the file stays, unlocked, for the next start).
  void Release();

  bool Held() const { return Fd >= 0; }
  const std::string& LockPath() const { return Path; }
  const std::string& Error() const { return ErrorText; }

 private:
  std::string Path;
  std::string ErrorText;
  int Fd = -1;
};

}  // namespace kvl
