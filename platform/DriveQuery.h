// What the file checks need to know about the drive that will hold a file:
// the kind of file system (a CD-ROM cannot be written, a network file system
// reports no trustworthy free space) and the bytes free for this user.
//
// The queries go through one replaceable object, so that a test can stand in
// for a full disk or a CD-ROM.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kvl {

enum class DriveKind {
  Unknown,  // the folder could not be queried (it may not exist)
  Fixed,    // any local file system that is not a CD-ROM
  CdRom,    // ISO 9660 or UDF
  Network,  // NFS, SMB/CIFS, AFS, Coda, 9P, Ceph, NCP
};

// The kind of a file system from the type number statfs(2) reports.
DriveKind DriveKindOfFileSystemType(uint64_t type);

// blocks x blockSize, saturated at the largest 64-bit value.
uint64_t FreeBytesOf(uint64_t blocks, uint64_t blockSize);

class TDriveQuery {
 public:
  virtual ~TDriveQuery() = default;
  // The kind of the file system holding the folder (statfs).
  virtual DriveKind Kind(const std::string& folder);
  // Bytes free for an unprivileged user on it (statvfs); none when the folder
  // cannot be queried.
  virtual std::optional<uint64_t> FreeBytes(const std::string& folder);
};

// The query in use: the system's, unless a test replaced it.
TDriveQuery& DriveQuery();

// Makes `query` the one in use (null restores the system's) and returns the
// one that was in use before. The caller keeps ownership.
TDriveQuery* SetDriveQuery(TDriveQuery* query);

}  // namespace kvl
