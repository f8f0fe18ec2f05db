#include "FuzzImage.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

template <typename Visit>
void ForEachValue(TCore& core, Visit visit) {
  for (int k = 0; k < core.GetParamCount(); ++k) visit(core.SetupRecord(k)->Value);
  for (int p = 1; p <= kPatternCount; ++p)
    for (int i = 1; i <= kProgramItemCount; ++i)
      for (int s = 1; s <= (i <= kSegmentItemCount ? kSegmentCount : 1); ++s) visit(core.GetPatternValue(p, i, s)->Value);
}

}  // namespace

void CaptureImage(TCore& core, ImageState& state) {
  state.Values.clear();
  ForEachValue(core, [&](int16_t& v) { state.Values.push_back(v); });
  for (int p = 1; p <= kPatternCount; ++p) std::memcpy(state.Tags[p - 1], core.TagPtr(p)->WorkingTag, 10);
  state.Revision = core.DataRevision;
}

void RestoreImage(TCore& core, const ImageState& state) {
  size_t n = 0;
  ForEachValue(core, [&](int16_t& v) { v = state.Values[n++]; });
  for (int p = 1; p <= kPatternCount; ++p) std::memcpy(core.TagPtr(p)->WorkingTag, state.Tags[p - 1], 10);
  core.DataRevision = state.Revision;
}

bool SameImageAfterSave(TCore& original, TCore& loaded) {
  if (loaded.DataRevision != original.DataRevision) return false;
  static const int16_t kRevision0Cycle[4] = {50, 0, 5, 0};
  for (int k = 0; k < original.GetParamCount(); ++k) {
    const int address = original.SetupRecord(k)->Address;
    const bool filledIn = original.DataRevision == 0 && address >= 3517 && address <= 3536;
    const int16_t expected = filledIn ? kRevision0Cycle[(address - 3517) % 4] : original.SetupRecord(k)->Value;
    if (loaded.SetupRecord(k)->Value != expected) return false;
  }
  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kProgramItemCount; ++i)
      for (int s = 1; s <= (i <= kSegmentItemCount ? kSegmentCount : 1); ++s)
        if (loaded.GetPatternValue(p, i, s)->Value != original.GetPatternValue(p, i, s)->Value) return false;
    char a[9], b[9];
    if (!original.GetTag(p, a) || !loaded.GetTag(p, b) || std::memcmp(a, b, 9) != 0) return false;
  }
  return true;
}

std::vector<uint8_t> WithChecksum(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  if (file.empty()) return file;
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < file.size(); ++i) sum += file[i];
  file.back() = static_cast<uint8_t>(sum);
  return file;
}

std::vector<uint8_t> SampleCurrentFile(const std::string& scratchPath, int revision) {
  static const int32_t kAllGroups[] = {1, 2, 0};
  auto core = std::make_unique<TCore>(1);
  core->SetDefaults(kAllGroups, true);
  core->DataRevision = revision;
  for (int k = 0; k < core->GetParamCount(); k += 7) core->SetupRecord(k)->Value = static_cast<int16_t>(k * 3 - 500);
  for (int p = 1; p <= kPatternCount; p += 3) {
    for (int s = 1; s <= 4; ++s)
      for (int i = 1; i <= kSegmentItemCount; ++i)
        core->GetPatternValue(p, i, s)->Value = static_cast<int16_t>(p * 100 + s * 10 + i);
    char tag[9];
    std::snprintf(tag, sizeof tag, "SEED%02d", p);
    core->SetTag(p, tag);
  }
  if (core->SaveFile(kAllGroups, scratchPath) != 0) return {};
  std::ifstream in(scratchPath, std::ios::binary);
  std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::remove(scratchPath.c_str());
  return file;
}

std::vector<uint8_t> SampleOldFile() {
  std::vector<uint8_t> file(TCore::kOldDataFileSize, 0);
  auto put = [&](size_t at, int value) {
    file[at] = static_cast<uint8_t>(value & 0xFF);
    file[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
  };
  std::memcpy(file.data(), "Q70A000000000000", 16);
  for (size_t at = 34; at < 922; at += 2) put(at, static_cast<int>(at % 1000));
  for (int p = 0; p < kPatternCount; ++p) {
    const size_t block = 1122 + 2208 * static_cast<size_t>(p);
    for (int s = 0; s < 3; ++s)
      for (int i = 0; i < 26; ++i) put(block + 72 * static_cast<size_t>(s) + 2 * static_cast<size_t>(i), p * 100 + s * 10 + i);
    for (int s = 3; s < kSegmentCount; ++s) put(block + 72 * static_cast<size_t>(s), kEmptyValue);
    std::memcpy(&file[block + 2160], "OLDTAG  ", 8);
  }
  return file;
}
