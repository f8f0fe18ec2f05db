// Helpers for the tests that write and read files: a temporary folder, whole
// files as bytes, stand-ins for the drive queries and the file system calls,
// and a notifier that records the notices.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CoreNotifier.h"
#include "DriveQuery.h"
#include "FileIo.h"

namespace {

using Bytes = std::vector<uint8_t>;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvl-file-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
    Path = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  std::string operator/(const std::string& name) const { return Path + "/" + name; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Path;
};

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void PutWord(Bytes& bytes, size_t at, int value) {
  bytes[at] = static_cast<uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

inline int Word(const Bytes& bytes, size_t at) {
  return static_cast<int16_t>(static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
}

// A drive of a chosen kind and free space, counting the queries.
class FakeDrive : public kvl::TDriveQuery {
 public:
  FakeDrive(kvl::DriveKind kind, std::optional<uint64_t> free) : KindValue(kind), Free(free) {
    Previous = kvl::SetDriveQuery(this);
  }
  ~FakeDrive() override { kvl::SetDriveQuery(Previous); }
  kvl::DriveKind Kind(const std::string& folder) override {
    ++Queries;
    Folder = folder;
    return KindValue;
  }
  std::optional<uint64_t> FreeBytes(const std::string&) override {
    ++Queries;
    return Free;
  }
  kvl::DriveKind KindValue;
  std::optional<uint64_t> Free;
  int Queries = 0;
  std::string Folder;

 private:
  kvl::TDriveQuery* Previous;
};

// System calls of which one kind fails (with EIO) from its n-th call on.
class FailingCalls : public kvl::TFileCalls {
 public:
  enum class Step { None, Write, Sync, Close, Rename };
  explicit FailingCalls(Step step, int afterCalls = 0) : FailAt(step), After(afterCalls) {
    Previous = kvl::SetFileCalls(this);
  }
  ~FailingCalls() override { kvl::SetFileCalls(Previous); }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (Fails(Step::Write)) return -1;
    return kvl::TFileCalls::Write(fd, data, size);
  }
  int Sync(int fd) override { return Fails(Step::Sync) ? -1 : kvl::TFileCalls::Sync(fd); }
  int Close(int fd) override {
    // The descriptor is released either way, as close(2) does.
    const int rc = kvl::TFileCalls::Close(fd);
    return Fails(Step::Close) ? -1 : rc;
  }
  int Rename(const char* from, const char* to) override {
    return Fails(Step::Rename) ? -1 : kvl::TFileCalls::Rename(from, to);
  }

 private:
  bool Fails(Step step) {
    if (step != FailAt) return false;
    if (Seen++ < After) return false;
    errno = EIO;
    return true;
  }
  Step FailAt;
  int After;
  int Seen = 0;
  kvl::TFileCalls* Previous;
};

class RecordingNotifier : public TCoreNotifier {
 public:
  void ShowNotice(const std::string& text, const std::string& caption) override {
    Notices.emplace_back(text, caption);
  }
  std::vector<std::pair<std::string, std::string>> Notices;
};

}  // namespace
