#include "FileTarget.h"

#include "DriveQuery.h"
#include "FileIo.h"

int CheckFileTarget(const std::string& path, uint64_t minFreeBytes) {
  if (path.size() >= 255) return 4;
  const std::string folder = kvl::FolderOf(kvl::FollowLinks(path));
  kvl::TDriveQuery& drive = kvl::DriveQuery();
  const kvl::DriveKind kind = drive.Kind(folder);
  if (kind == kvl::DriveKind::CdRom) return 3;
  if (kind == kvl::DriveKind::Network) return 0;
  const std::optional<uint64_t> free = drive.FreeBytes(folder);
  if (free && *free < minFreeBytes) return 2;
  return 0;
}
