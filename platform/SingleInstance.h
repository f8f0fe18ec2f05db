// The guard that keeps the program to one running instance per user: a lock
// file held with flock(2). The kernel drops the lock when the holder ends,
// however it ends, so a crashed instance never blocks the next one.
#pragma once

#include <string>
#include <string_view>

namespace kvl {

// Where the lock file of a guard named `name` lives: /tmp, with the user id
// in the file name. Only the user id decides, so that no environment
// variable or login state can give one user two places (and two instances);
// users sharing /tmp do not block each other.
std::string SingleInstanceLockPath(std::string_view name, unsigned userId);

// The same for this process's user.
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
