#include "FileHistoryList.h"

#include <stdexcept>

namespace kvl {
namespace {

constexpr const char* kNegative = "負の値は無効です。";
constexpr const char* kTooMany = "履歴の数が大きすぎます。";
constexpr const char* kCountTooLarge = "最大履歴数よりFileCountが大きいです。";
constexpr const char* kIndexTooLarge = "Indexの値がMAXFileCountを越えてます。";
constexpr const char* kNoName = "ファイル名がありません。";
constexpr const char* kNoPlaces = "MaxFileCountが0です。";

}  // namespace

TFileHistoryList::TFileHistoryList() { SetMaxFileCount(kDefaultMaxFileCount); }

void TFileHistoryList::SetMaxFileCount(int value) {
  if (value < 0) throw std::runtime_error(kNegative);
  if (value > kPlaceLimit) throw std::runtime_error(kTooMany);
  Names.resize(static_cast<size_t>(value));
  Max = value;
  if (Count > Max) Count = Max;
}

void TFileHistoryList::SetFileCount(int value) {
  if (value > Max) throw std::runtime_error(kCountTooLarge);
  // A negative count would break every rule that follows it.
  if (value < 0) throw std::runtime_error(kNegative);
  Count = value;
}

void TFileHistoryList::CheckIndex(int index) const {
  if (index < 0) throw std::runtime_error(kNegative);
  if (index >= Max) throw std::runtime_error(kIndexTooLarge);
}

const std::string& TFileHistoryList::FileName(int index) const {
  CheckIndex(index);
  return Names[static_cast<size_t>(index)];
}

void TFileHistoryList::SetFileName(int index, const std::string& name) {
  CheckIndex(index);
  Names[static_cast<size_t>(index)] = name;
}

void TFileHistoryList::AddFileMenu(const std::string& name, bool toTop) {
  if (name.empty()) throw std::runtime_error(kNoName);
  if (Max == 0) throw std::runtime_error(kNoPlaces);
  // From the end, so that a deletion does not move an unchecked entry.
  for (int i = Max - 1; i >= 0; --i) {
    if (Names[static_cast<size_t>(i)] != name) continue;
    if (i < Count)
      DelFileName(i);
    else
      Names[static_cast<size_t>(i)].clear();  // a name stored past the used entries
  }
  if (toTop) {
    for (int i = Max - 1; i >= 1; --i) Names[static_cast<size_t>(i)] = Names[static_cast<size_t>(i - 1)];
    Names[0] = name;
  } else {
    Names[static_cast<size_t>(Count == Max ? Max - 1 : Count)] = name;
  }
  if (Count < Max) ++Count;
}

void TFileHistoryList::DelFileName(int index) {
  if (Max == 0) throw std::runtime_error(kNoPlaces);
  if (index < 0 || index >= Count) return;
  for (int i = index; i < Count - 1; ++i) Names[static_cast<size_t>(i)] = Names[static_cast<size_t>(i + 1)];
  Names[static_cast<size_t>(Count - 1)].clear();
  --Count;
}

std::string TFileHistoryList::Caption(int index) const {
  return "&" + std::to_string(index + 1) + " " + FileNamePart(FileName(index));
}

std::string FileNamePart(const std::string& path) {
  const size_t last = path.find_last_of("\\:/");
  return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace kvl
