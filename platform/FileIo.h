// Whole-file reading and writing for the program's own files.
//
// A file is replaced where it can be: the new contents go into a temporary
// file in the target's folder, every write, the flush to disk and the close
// are checked, and only then is the temporary file renamed over the target.
// A failure at any step removes the temporary file and leaves the previous
// file as it was.
//
// Where the rename would change more than the contents (a folder the user
// cannot write, a file with other names, a file of another owner, whose
// owner and access list would change), the file is rewritten in place
// instead: its previous bytes are read first and written back when the new
// ones cannot be written, truncated, flushed or closed.
//
// The system calls that can fail half-way (write, ftruncate, fsync, close,
// rename) go through one replaceable object, so that a test can make any of
// them fail.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kvl {

class TFileCalls {
 public:
  virtual ~TFileCalls() = default;
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual int Truncate(int fd, off_t size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
};

// Makes `calls` the ones in use (null restores the system's) and returns the
// ones in use before (null for the system's). The caller keeps ownership.
TFileCalls* SetFileCalls(TFileCalls* calls);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string FolderOf(const std::string& path);

// The path with every symbolic link of its last component followed (relative
// link texts are taken from the link's folder). A dangling link gives the path
// it points to; a loop of links gives the path as it was.
std::string FollowLinks(const std::string& path);

// Writes `size` bytes as the new contents of `path`. When the path is a
// symbolic link the file it points to is replaced. An existing target keeps
// its permission bits and must be writable (and readable, when it is
// rewritten in place); a new file gets read and write permission as the
// process's umask allows. False on any failure, with the previous file
// intact and no temporary file left.
bool ReplaceFile(const std::string& path, const void* data, size_t size);

enum class ReadStatus {
  Ok,
  CannotOpen,  // missing, not a regular file, or not readable
  TooLarge,    // longer than the limit; nothing was read
  ReadError,   // the file changed or failed while being read
};

// Reads a whole regular file of at most `maxSize` bytes into `bytes`.
ReadStatus ReadWholeFile(const std::string& path, size_t maxSize, std::vector<uint8_t>& bytes);

// True when both paths exist and name the same file (after links).
bool SameFile(const std::string& a, const std::string& b);

// Ends a file written through stdio: the buffered bytes are written, the file
// is synced to disk, and the stream is closed (always, also after a failure).
// True when every byte reached the file. A close that reports an error after
// a good sync lost nothing, and neither does one interrupted by a signal
// (Linux has released the descriptor, and the bytes were handed over before):
// neither counts as a failure. Where the file has no sync (a device, a pipe)
// the close's result decides.
bool FinishWrittenStream(FILE* file);

}  // namespace kvl
