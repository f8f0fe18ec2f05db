#include "AboutBoxRules.h"

#include "MessageCatalog.h"

namespace kvl {
namespace {

constexpr const char* kModelLine = "R77(MXQ41,42)";
constexpr const char* kUnlockCode = "7308";
constexpr const char* kCloseCode = "6194";
constexpr const char* kRightsNotice = "Copyright (C) Halvorin Co., Ltd.\nAll rights reserved.";

// Black, red, lime, yellow, blue, fuchsia, aqua.
constexpr uint32_t kColourWords[kAboutColourCount] = {0, 255, 65280, 65535, 16711680, 16711935, 16776960};

}  // namespace

std::string AboutCaption() { return std::string("About ") + kProductName; }

std::string AboutProductText() { return std::string(kProductName) + kModelLine; }

std::string AboutCopyrightText(const std::string& modelCode) {
  return std::string(kProductName) + " for " + kControllerName + "\n" + modelCode + "\n" + kRightsNotice;
}

std::string AboutVersionText(int major, int minor, int release) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release);
}

std::string AboutVersionText(int major, int minor, int release, int build) {
  return AboutVersionText(major, minor, release) + "." + std::to_string(build);
}

AccessCodeOutcome CheckAccessCode(const std::string& text) {
  if (text == kUnlockCode) return AccessCodeOutcome::ShowUnlockButton;
  if (text == kCloseCode) return AccessCodeOutcome::CloseField;
  return AccessCodeOutcome::None;
}

uint32_t AboutColourWord(int index) {
  return index >= 0 && index < kAboutColourCount ? kColourWords[index] : kColourWords[0];
}

int NextAboutColourIndex(int index) {
  const int next = index + 1;
  return next >= kAboutColourCount || next < 0 ? 0 : next;
}

}  // namespace kvl
