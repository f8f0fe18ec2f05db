#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>

namespace kvl {

namespace {

TFileCalls SystemCalls;
std::atomic<TFileCalls*> Current{&SystemCalls};

TFileCalls& Calls() { return *Current.load(); }

// Writes everything, resuming after partial writes and interruptions.
bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = Calls().Write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new, empty file next to the target with a name no one else uses.
// The mode is the process's default for a new file (0666 less the umask).
int CreateTemporary(const std::string& folder, const std::string& base, std::string& tempPath) {
  static thread_local std::mt19937_64 random(
      std::random_device{}() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    // Shortened, so that the name stays within the file system's limit.
    tempPath = folder + "/." + base.substr(0, 200) + suffix;
    const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// True when renaming a new file over the existing one would change more
// than its contents: the folder is not writable for this user, the file has
// other names (they would keep the old contents), or another user owns it
// (the new file would be this user's, without the old one's access list).
bool MustRewriteInPlace(const std::string& folder, const struct stat& old) {
  return old.st_nlink > 1 || old.st_uid != geteuid() || faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0;
}

// The contents of fd, from its start to its end.
bool ReadAll(int fd, std::vector<uint8_t>& bytes) {
  bytes.clear();
  uint8_t piece[65536];
  for (;;) {
    const ssize_t n = read(fd, piece, sizeof piece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.insert(bytes.end(), piece, piece + n);
  }
}

// Makes the open file hold exactly these bytes, flushed to disk.
bool PutContents(int fd, const uint8_t* data, size_t size) {
  return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, data, size) &&
         Calls().Truncate(fd, static_cast<off_t>(size)) == 0 && Calls().Sync(fd) == 0;
}

bool RewriteInPlace(const std::string& target, const uint8_t* data, size_t size) {
  const int fd = open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  std::vector<uint8_t> previous;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !ReadAll(fd, previous)) {
    close(fd);
    return false;
  }
  bool ok = PutContents(fd, data, size);
  if (!ok) PutContents(fd, previous.data(), previous.size());
  // The descriptor is gone after close, whatever it reports; the previous
  // bytes then go back through a new one.
  if (Calls().Close(fd) != 0 && ok) {
    ok = false;
    const int again = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (again >= 0) {
      PutContents(again, previous.data(), previous.size());
      close(again);
    }
  }
  return ok;
}

}  // namespace

ssize_t TFileCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int TFileCalls::Truncate(int fd, off_t size) { return ::ftruncate(fd, size); }
int TFileCalls::Sync(int fd) { return ::fsync(fd); }
int TFileCalls::Close(int fd) { return ::close(fd); }
int TFileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }

TFileCalls* SetFileCalls(TFileCalls* calls) {
  TFileCalls* previous = Current.exchange(calls ? calls : &SystemCalls);
  return previous == &SystemCalls ? nullptr : previous;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  // The same bound as the kernel's for nested links.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string text(static_cast<size_t>(info.st_size > 0 ? info.st_size : 256) + 1, '\0');
    const ssize_t n = readlink(current.c_str(), text.data(), text.size());
    if (n < 0 || static_cast<size_t>(n) >= text.size()) return path;
    text.resize(static_cast<size_t>(n));
    if (text.empty()) return path;
    current = text[0] == '/' ? text : FolderOf(current) + "/" + text;
  }
  return path;
}

bool ReplaceFile(const std::string& path, const void* data, size_t size) {
  if (path.empty()) return false;
  const std::string target = FollowLinks(path);
  const std::string folder = FolderOf(target);

  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists) {
    if (!S_ISREG(old.st_mode)) return false;
    // Replacing by rename needs only the folder's permission; a file that
    // could not be opened for writing must not be replaced either.
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
    if (MustRewriteInPlace(folder, old)) return RewriteInPlace(target, static_cast<const uint8_t*>(data), size);
  }

  std::string tempPath;
  const int fd = CreateTemporary(folder, BaseOf(target), tempPath);
  if (fd < 0) return false;
  bool ok = true;
  if (exists && fchmod(fd, old.st_mode & 07777) != 0) ok = false;
  if (ok) ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
  if (ok) ok = Calls().Sync(fd) == 0;
  // The descriptor is gone after close, whatever it reports.
  if (Calls().Close(fd) != 0) ok = false;
  if (ok) ok = Calls().Rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(tempPath.c_str());
    return false;
  }
  // Make the rename itself durable; the data is in place either way.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

ReadStatus ReadWholeFile(const std::string& path, size_t maxSize, std::vector<uint8_t>& bytes) {
  bytes.clear();
  // Non-blocking, so that a named pipe does not hang the open.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ReadStatus::CannotOpen;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return ReadStatus::CannotOpen;
  }
  if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxSize) {
    close(fd);
    return ReadStatus::TooLarge;
  }
  const size_t size = static_cast<size_t>(info.st_size);
  bytes.resize(size);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, bytes.data() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  // One more byte means the file grew while it was read.
  uint8_t extra;
  const bool grew = done == size && read(fd, &extra, 1) > 0;
  close(fd);
  if (done != size || grew) {
    bytes.clear();
    return ReadStatus::ReadError;
  }
  return ReadStatus::Ok;
}

bool FinishWrittenStream(FILE* file) {
  if (!file) return false;
  const bool written = std::fflush(file) == 0 && !std::ferror(file);
  int synced = -1;
  int syncError = 0;
  if (written) {
    const int fd = fileno(file);
    do {
      synced = Calls().Sync(fd);
      syncError = synced == 0 ? 0 : errno;
    } while (synced != 0 && syncError == EINTR);
  }
  // Devices, pipes and sockets have no sync: only the close can tell.
  const bool noSync = synced != 0 && (syncError == EINVAL || syncError == EROFS || syncError == ENOTSUP);
  const bool closed = std::fclose(file) == 0 || errno == EINTR;
  if (!written) return false;
  if (synced == 0) return true;
  return noSync && closed;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace kvl
