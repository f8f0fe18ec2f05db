// The checks made before a file of the program is written: the path length,
// the kind of drive and its free space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The characters of a UTF-8 path: its code points, each byte that starts no
// valid sequence counting as one.
size_t PathCharacterCount(const std::string& path);

// 0 the file may be written; 2 fewer than `minFreeBytes` bytes free; 3 the
// target is on a CD-ROM; 4 the path is 255 characters or longer. The drive of a
// path is the file system of the folder that will hold the file (after
// symbolic links). On a network file system, and where the folder cannot be
// queried (opening the file will then fail), the free space is not checked.
int CheckFileTarget(const std::string& path, uint64_t minFreeBytes);
