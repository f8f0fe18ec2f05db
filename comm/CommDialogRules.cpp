#include "CommDialogRules.h"

namespace kvl {
namespace {

bool Japanese(int language) { return language == 0; }

const char* Pick(int language, const char* japanese, const char* english) {
  return Japanese(language) ? japanese : english;
}

constexpr const char* kCancelJapanese = "ｷｬﾝｾﾙ";

}  // namespace

ProgressTexts ProgressWindowTexts(int language) {
  return {Pick(language, "通信", "Communication"), Pick(language, "しばらくお待ちください", "Wait"),
          Pick(language, kCancelJapanese, "Cancel")};
}

std::string TransferCaption(int direction, int language) {
  if (direction == 1) return Pick(language, "書込み(KVL→MXQ)", "Write(KVL to MXQ)");
  return Pick(language, "読出し(MXQ→KVL)", "Read(MXQ to KVL)");
}

RangeTexts RangeDialogTexts(int language) {
  return {Pick(language, "通信", "Communication"),   Pick(language, "通信範囲の選択", "Select"),
          Pick(language, "プログラム", "Program"),   Pick(language, "パラメータ", "Parameter"),
          "OK",                                      Pick(language, kCancelJapanese, "Cancel")};
}

RangeChoice RangeForCommand() { return {true, true, true}; }

RangeChoice RangeForWizardRead() { return {false, true, false}; }

bool RangeClosesWithOk(int confirmationResult) { return confirmationResult == 1; }

bool TransferHasRange(bool checkProgram, bool checkParameter) { return checkProgram || checkParameter; }

ConfirmTexts ConfirmDialogTexts(int language) {
  // The form's question stands in both languages until the range dialog
  // replaces it.
  return {Pick(language, "確認", "Confirm"), "実行しますか", "&OK", Pick(language, kCancelJapanese, "Cancel")};
}

std::string ConfirmQuestion(int direction, int language) {
  if (direction == 1) return Pick(language, "書込みを実行します", "Start to write?");
  return Pick(language, "読出しを実行します", "Start to read?");
}

EnvironmentTexts EnvironmentDialogTexts(int language) {
  EnvironmentTexts t;
  t.Caption = Pick(language, "環境設定", "Enviroment Setup");
  t.PortGroup = Pick(language, "通信ポート", "Comm Port");
  t.FontGroup = Pick(language, "フォント設定", "Font Setup");
  if (Japanese(language))
    t.FontSizes = {" 7ﾎﾟｲﾝﾄ", " 8ﾎﾟｲﾝﾄ", " 9ﾎﾟｲﾝﾄ", "10ﾎﾟｲﾝﾄ"};
  else
    t.FontSizes = {" 7point", " 8point", " 9point"};
  t.Ok = "OK";
  t.Cancel = Pick(language, kCancelJapanese, "Cancel");
  return t;
}

std::vector<std::string> PortListItems(int language) {
  std::vector<std::string> items;
  const std::string prefix = Pick(language, "ポート COM", "Port COM");
  for (int port = 1; port <= kPortCount; ++port) items.push_back(prefix + std::to_string(port));
  return items;
}

int PortListIndex(int portNumber) { return portNumber >= 1 && portNumber <= kPortCount ? portNumber - 1 : -1; }

int FontListIndex(int points) { return points >= 7 && points <= 10 ? points - kSmallestFontPoints : -1; }

EnvironmentChoice ApplyEnvironmentChoice(const EnvironmentChoice& current, int portIndex, int fontIndex) {
  EnvironmentChoice next = current;
  if (portIndex >= 0) next.PortNumber = portIndex + 1;
  if (fontIndex >= 0) next.FontPoints = fontIndex + kSmallestFontPoints;
  return next;
}

}  // namespace kvl
