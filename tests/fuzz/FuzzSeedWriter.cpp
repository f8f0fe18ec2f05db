// Writes the fuzzer's starting corpus into a folder: a current-type data file
// of revision 1 and one of revision 0, both with values of their own, an
// old-type file, and one patch input on each type (see LoadFileFuzz.cpp).

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzImage.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  // Patches: revision field "00" of the current type; a tag byte of the old one.
  const std::vector<uint8_t> patchCurrent = {'P', 0, 21, 0, 0, '0'};
  const std::vector<uint8_t> patchOld = {'P', 1, 0x92, 0x08, 0, 'X'};
  const bool ok = Write(folder + "/current.q70", SampleCurrentFile(folder + "/scratch.q70", 1)) &&
                  Write(folder + "/revision0.q70", SampleCurrentFile(folder + "/scratch.q70", 0)) &&
                  Write(folder + "/old.dat", SampleOldFile()) && Write(folder + "/patch-current", patchCurrent) &&
                  Write(folder + "/patch-old", patchOld);
  if (!ok) {
    std::fprintf(stderr, "%s: cannot write the seeds into %s\n", argv[0], folder.c_str());
    return 1;
  }
  return 0;
}
