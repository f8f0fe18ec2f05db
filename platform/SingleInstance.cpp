#include "SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kvl {

std::string SingleInstanceLockPath(std::string_view name, unsigned userId) {
  std::string path("/tmp/");
  path.append(name);
  path += '-';
  path += std::to_string(userId);
  return path;
}

std::string SingleInstanceLockPath(std::string_view name) {
  return SingleInstanceLockPath(name, static_cast<unsigned>(getuid()));
}

SingleInstanceGuard::Outcome SingleInstanceGuard::Acquire() {
  if (Fd >= 0) return Outcome::Acquired;
  ErrorText.clear();
  // No symbolic links: the file may sit in a directory other users can write.
  const int fd = open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    ErrorText = "cannot open the lock file " + Path + ": " + std::strerror(errno);
    return Outcome::Failed;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return Outcome::AlreadyRunning;
    ErrorText = "cannot lock " + Path + ": " + std::strerror(error);
    return Outcome::Failed;
  }
  Fd = fd;
  return Outcome::Acquired;
}

void SingleInstanceGuard::Release() {
  if (Fd < 0) return;
  flock(Fd, LOCK_UN);
  close(Fd);
  Fd = -1;
}

}  // namespace kvl
