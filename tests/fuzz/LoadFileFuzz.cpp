// Feeds TCore::LoadFile data files made from the fuzzer's input.
//
// An input is taken as the file itself, except a short input that starts with
// 'P': its second byte chooses a valid base file (even: current type, odd: old
// type) and every following group of four bytes patches it (a 24-bit offset,
// little-endian, taken modulo the file's size, then the byte to put there).
// The patches reach single fields of a 100-kilobyte file far more often than
// mutations of the whole file do.
//
// A file of the current type's size whose checksum is wrong is loaded a
// second time with the checksum set right, so that its body is parsed too.
// Every accepted file must come back unchanged from a save and a load. A
// result other than the documented codes, a difference or a sanitizer
// finding aborts. Every input starts from the same freshly built image.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "FuzzImage.h"
#include "UCore.h"

namespace {

const int32_t kAllGroups[] = {1, 2, 0};
std::string Folder;
std::unique_ptr<TCore> First, Second;
ImageState Pristine;

struct CountingNotifier : TCoreNotifier {
  int Count = 0;
  void ShowNotice(const std::string& text, const std::string& caption) override {
    if (text.empty() || caption.empty()) std::abort();
    ++Count;
  }
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "LoadFileFuzz: %s\n", what);
  std::abort();
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Fail("cannot write the input file");
  const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) Fail("cannot write the input file");
}

std::vector<uint8_t> CurrentBase, OldBase;

// The file an input stands for.
std::vector<uint8_t> FileOf(const uint8_t* data, size_t size) {
  if (size < 2 || size >= 4096 || data[0] != 'P') return std::vector<uint8_t>(data, data + size);
  std::vector<uint8_t> file = (data[1] % 2 == 0) ? CurrentBase : OldBase;
  for (size_t i = 2; i + 4 <= size; i += 4) {
    const size_t offset = (data[i] | (data[i + 1] << 8) | (static_cast<size_t>(data[i + 2]) << 16)) % file.size();
    file[offset] = data[i + 3];
  }
  return file;
}

void LoadOne(const uint8_t* data, size_t size) {
  const std::string path = Folder + "/input.q70";
  WriteFile(path, data, size);
  CountingNotifier notices;
  TCore& core = *First;
  RestoreImage(core, Pristine);
  core.Notifier = &notices;
  int result = core.LoadFile(path);
  if (result == 3 && size == TCore::kDataFileSize) {
    const std::vector<uint8_t> fixed = WithChecksum(data, size);
    WriteFile(path, fixed.data(), fixed.size());
    result = core.LoadFile(path);
    if (result != 0) Fail("a file with a right checksum is refused");
  }
  core.Notifier = nullptr;
  switch (result) {
    case 0: break;
    case 2: case 3: case 5: return;
    default: Fail("unexpected result");
  }
  if (size == TCore::kOldDataFileSize && notices.Count != 1) Fail("old type without its notice");
  if (core.DataRevision != 0 && core.DataRevision != 1) Fail("revision out of range");

  const std::string saved = Folder + "/saved.q70";
  if (core.SaveFile(kAllGroups, saved) != 0) Fail("save failed");
  TCore& again = *Second;
  RestoreImage(again, Pristine);
  if (again.LoadFile(saved) != 0) Fail("saved file refused");
  if (!SameImageAfterSave(core, again)) Fail("image changed by a save and a load");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::error_code error;
  // A memory file system keeps the many small writes cheap.
  const bool shm = std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0;
  std::string pattern =
      ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) / "kvl-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) Fail("no temporary folder");
  Folder = pattern;
  First = std::make_unique<TCore>(1);
  Second = std::make_unique<TCore>(1);
  CaptureImage(*First, Pristine);
  CurrentBase = SampleCurrentFile(Folder + "/base.q70");
  OldBase = SampleOldFile();
  if (CurrentBase.size() != TCore::kDataFileSize || OldBase.size() != TCore::kOldDataFileSize)
    Fail("cannot make the base files");
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
    First.reset();
    Second.reset();
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file = FileOf(data, size);
  LoadOne(file.data(), file.size());
  return 0;
}
