// The fuzz target's bookkeeping of data images. It lies in its own source so
// that it is built without the fuzzer's comparison tracing, which would
// otherwise cost most of the run time in these loops.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "UCore.h"

// What a load may change: every working value, the tags and the revision.
struct ImageState {
  std::vector<int16_t> Values;
  char Tags[kPatternCount][10];
  int32_t Revision;
};

void CaptureImage(TCore& core, ImageState& state);
void RestoreImage(TCore& core, const ImageState& state);

// Whether `loaded`, read back from a save of `original`, holds the same image
// (a revision-0 image holds the settings that revision 0 fills in).
bool SameImageAfterSave(TCore& original, TCore& loaded);

// The data file with its checksum byte set right.
std::vector<uint8_t> WithChecksum(const uint8_t* data, size_t size);

// A valid current-type file with values of its own, written through
// TCore::SaveFile at `scratchPath`; empty when it cannot be made.
std::vector<uint8_t> SampleCurrentFile(const std::string& scratchPath, int revision = 1);

// A valid old-type file, built byte by byte.
std::vector<uint8_t> SampleOldFile();
