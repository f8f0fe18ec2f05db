#include "DriveQuery.h"

#include <sys/statvfs.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif

#include <atomic>
#include <limits>

namespace kvl {

namespace {

// File system type numbers as statfs(2) reports them.
constexpr uint64_t kIso9660 = 0x9660;
constexpr uint64_t kUdf = 0x15013346;
constexpr uint64_t kNetworkTypes[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x73757245,  // Coda
    0x01021997,  // 9P
    0x00C36400,  // Ceph
    0x564C,      // NCP
};

TDriveQuery SystemQuery;
std::atomic<TDriveQuery*> Current{&SystemQuery};

}  // namespace

DriveKind DriveKindOfFileSystemType(uint64_t type) {
  if (type == kIso9660 || type == kUdf) return DriveKind::CdRom;
  for (uint64_t t : kNetworkTypes)
    if (type == t) return DriveKind::Network;
  return DriveKind::Fixed;
}

uint64_t FreeBytesOf(uint64_t blocks, uint64_t blockSize) {
  if (blockSize != 0 && blocks > std::numeric_limits<uint64_t>::max() / blockSize)
    return std::numeric_limits<uint64_t>::max();
  return blocks * blockSize;
}

DriveKind TDriveQuery::Kind(const std::string& folder) {
#if defined(__linux__)
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return DriveKind::Unknown;
  // f_type is signed on some architectures; the magic numbers are 32-bit.
  return DriveKindOfFileSystemType(static_cast<uint64_t>(static_cast<uint32_t>(info.f_type)));
#else
  struct statvfs info {};
  return statvfs(folder.c_str(), &info) == 0 ? DriveKind::Fixed : DriveKind::Unknown;
#endif
}

std::optional<uint64_t> TDriveQuery::FreeBytes(const std::string& folder) {
  struct statvfs info {};
  if (statvfs(folder.c_str(), &info) != 0) return std::nullopt;
  const uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  return FreeBytesOf(info.f_bavail, unit);
}

TDriveQuery& DriveQuery() { return *Current.load(); }

TDriveQuery* SetDriveQuery(TDriveQuery* query) {
  TDriveQuery* previous = Current.exchange(query ? query : &SystemQuery);
  return previous == &SystemQuery ? nullptr : previous;
}

}  // namespace kvl
