#include "MessageCatalog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kvl::DialogType;
constexpr DialogType W = DialogType::Warning;
constexpr DialogType E = DialogType::Error;
constexpr DialogType I = DialogType::Information;
constexpr DialogType C = DialogType::Confirmation;
constexpr int JA = 0;
constexpr int EN = 1;

using Captions = std::vector<std::string>;
const Captions kOkCancelJa = {"OK", "キャンセル"};
const Captions kOkCancelEn = {"OK", "Cancel"};
const Captions kOk = {"OK"};
const Captions kYesNoPlatform = {"はい(&Y)", "いいえ(&N)"};
const Captions kYesNoEn = {"Yes", "No"};

struct Case {
  int kind, code, language;
  const char* text;
  DialogType type;
  Captions captions;
  const char* title;
  int escape;  // result of Esc
};

std::string CaptionsOf(const kvl::MessageDescription& d) {
  std::string out;
  for (const auto& b : d.Buttons) out += "[" + b.Caption + "]";
  return out;
}

std::string Join(const Captions& captions) {
  std::string out;
  for (const auto& c : captions) out += "[" + c + "]";
  return out;
}

void Check(const Case& c, const kvl::MessageDescription& d) {
  SCOPED_TRACE(testing::Message() << "kind " << c.kind << " code " << c.code << " language " << c.language);
  EXPECT_EQ(d.Text, c.text);
  EXPECT_EQ(d.Type, c.type);
  EXPECT_EQ(CaptionsOf(d), Join(c.captions));
  EXPECT_EQ(d.Title, c.title);
  EXPECT_EQ(d.EscapeResult, c.escape);
  // The first button has the focus; Enter presses OK, else Yes.
  EXPECT_EQ(d.FocusButton, 0);
  ASSERT_GE(d.DefaultButton, 0);
  ASSERT_LT(d.DefaultButton, static_cast<int>(d.Buttons.size()));
  const kvl::DialogButton enter = d.Buttons[static_cast<size_t>(d.DefaultButton)].Button;
  const bool hasOk = c.captions.size() == 1 || c.captions[0] == "OK";
  EXPECT_EQ(enter, hasOk ? kvl::DialogButton::OK : kvl::DialogButton::Yes);
  for (const auto& b : d.Buttons) EXPECT_EQ(b.Result, kvl::ModalResultOf(b.Button));
}

TEST(MessageCatalog, EveryEntryInBothLanguages) {
  const Case cases[] = {
      // kind 0: edit confirmations and quit
      {0, 1, EN, "Initlize Data", I, kOkCancelEn, "Information", 2},
      {0, 1, JA, "初期化を実行します", C, kOkCancelJa, "確認", 2},
      {0, 2, EN, "Quit", C, kOkCancelEn, "Confirm", 2},
      {0, 2, JA, "終了します", C, kOkCancelJa, "確認", 2},
      {0, 3, EN, "Copy segment", I, kOkCancelEn, "Information", 2},
      {0, 3, JA, "セグメントをコピーします", C, kOkCancelJa, "確認", 2},
      {0, 4, EN, "Paste segment", C, kOkCancelEn, "Information", 2},
      {0, 4, JA, "セグメントを貼り付けます", C, kOkCancelJa, "確認", 2},
      {0, 5, EN, "Cut segment", C, kOkCancelEn, "Information", 2},
      {0, 5, JA, "セグメントを切り取ります", C, kOkCancelJa, "確認", 2},
      {0, 6, EN, "Insert segment", C, kOkCancelEn, "Information", 2},
      {0, 6, JA, "セグメントを挿入します", C, kOkCancelJa, "確認", 2},
      {0, 7, EN, "Copy pattern", C, kOkCancelEn, "Information", 2},
      {0, 7, JA, "パターンをコピーします", C, kOkCancelJa, "確認", 2},
      {0, 8, EN, "Paste pattern", C, kOkCancelEn, "Information", 2},
      {0, 8, JA, "パターンを貼り付けます", C, kOkCancelJa, "確認", 2},
      {0, 9, EN, "Clear data", C, kOkCancelEn, "Information", 2},
      {0, 9, JA, "クリアします", C, kOkCancelJa, "確認", 2},
      {0, 10, EN, "A segment cannot be inserted any more.", E, kOk, "Error", 1},
      {0, 10, JA, "これ以上ｾｸﾞﾒﾝﾄを挿入できません", E, kOk, "エラー", 1},
      // kind 1: data-file read errors
      {1, 2, EN, "Illegal file size.", E, kOk, "Error", 1},
      {1, 2, JA, "ﾌｧｲﾙｻｲｽﾞが不正です", E, kOk, "エラー", 1},
      {1, 1, EN, "Illegal file information.", E, kOk, "Error", 1},
      {1, 1, JA, "ﾌｧｲﾙ情報が不正です", E, kOk, "エラー", 1},
      // kind 2: data-file write errors
      {2, 2, EN, "Not enough free space on disk.", E, kOk, "Error", 1},
      {2, 2, JA, "ディスクの空き容量が不足です", E, kOk, "エラー", 1},
      {2, 4, EN, "File name too long.", E, kOk, "Error", 1},
      {2, 4, JA, "ﾌｧｲﾙ名が長すぎます", E, kOk, "エラー", 1},
      {2, 1, EN, "Can't make file", E, kOk, "Error", 1},
      {2, 3, JA, "ﾌｧｲﾙを作成できません", E, kOk, "エラー", 1},
      // kind 3: listing errors
      {3, 2, EN, "Not enough free space on disk.", E, kOk, "Error", 1},
      {3, 2, JA, "ﾃﾞｨｽｸの空き容量が不足です", E, kOk, "エラー", 1},
      {3, 3, EN, "Can't save list.csv", E, kOk, "Error", 1},
      {3, 3, JA, "list.csvを保存できません", E, kOk, "エラー", 1},
      {3, 4, EN, "File name too long.", E, kOk, "Error", 1},
      {3, 4, JA, "ﾌｧｲﾙ名が長すぎます", E, kOk, "エラー", 1},
      {3, 1, EN, "Can't make file", E, kOk, "Error", 1},
      {3, 1, JA, "ﾌｧｲﾙを作成できません", E, kOk, "エラー", 1},
      // kind 4: communication results
      {4, 1, EN, "Time Out", E, kOk, "Error", 1},
      {4, 1, JA, "タイムアウト", E, kOk, "エラー", 1},
      {4, 2, EN, "Communications error has occurred", E, kOk, "Error", 1},
      {4, 2, JA, "通信エラーが発生しました", E, kOk, "エラー", 1},
      {4, 3, EN, "Stop communications", C, kOk, "Confirm", 1},
      {4, 3, JA, "中断終了しました", C, kOk, "確認", 1},
      {4, 4, EN, "Check currently connected instruments", E, kOk, "Error", 1},
      {4, 4, JA, "接続中の計器を確認してください", E, kOk, "エラー", 1},
      {4, 5, EN, "Can't open comm port", E, kOk, "Error", 1},
      {4, 5, JA, "通信ﾎﾟｰﾄをｵｰﾌﾟﾝできません", E, kOk, "エラー", 1},
      {4, 6, EN, "Can't support currently connected MXQ40", E, kOk, "Error", 1},
      {4, 6, JA, "接続中のMXQ40をｻﾎﾟｰﾄできません", E, kOk, "エラー", 1},
      {4, 7, EN, "Check currently connected instruments", E, kOk, "Error", 1},
      {4, 7, JA, "接続中の計器を確認してください", E, kOk, "エラー", 1},
      {4, 8, EN, "Wrong Version\nWant to stop the operation ?", E, kYesNoPlatform, "Error", 7},
      {4, 8, JA, "計器のﾊﾞｰｼﾞｮﾝが違います、操作を中止しますか", E, kYesNoPlatform, "エラー", 7},
      {4, 9, EN, "console or WQT function", E, kOk, "Error", 1},
      {4, 9, JA, "ｺﾝｿｰﾙまたはWQT通信で操作中です", E, kOk, "エラー", 1},
      {4, 10, EN, "Can not write (except ready mode)", E, kOk, "Error", 1},
      {4, 10, JA, "READY以外のため書き込みを行えませんでした", E, kOk, "エラー", 1},
      {4, 11, EN, "Can not write (MXQ40 status)", E, kOk, "Error", 1},
      {4, 11, JA, "計器の状態により書き込みを行えませんでした", E, kOk, "エラー", 1},
      {4, 12, EN, "This revision MXQ40\nProgram write in READY mode only.", E, kOk, "Error", 1},
      {4, 12, JA, "このROMﾚﾋﾞｼﾞｮﾝのMXQ40では\nREADYﾓｰﾄﾞの時のみﾌﾟﾛｸﾞﾗﾑ書き込みが行えます", E, kOk, "エラー", 1},
      {4, 13, EN, "Can not write data (except ready mode)", E, kOk, "Error", 1},
      {4, 13, JA, "READY以外のため\n書き込みを行えないﾃﾞｰﾀがありました", E, kOk, "エラー", 1},
      {4, 14, EN, "Write Complete", C, kOk, "Confirmation", 1},
      {4, 14, JA, "書込みが正常終了しました", C, kOk, "確認", 1},
      {4, 0, EN, "Read Complete", C, kOk, "Confirmation", 1},
      {4, 0, JA, "読出しが正常終了しました", C, kOk, "確認", 1},
      // kind 5: model mismatch
      {5, 0, EN,
       "A miss-match of MXQ model in the RVN and the loader.\nWant to stop upload.\nIf you choose 'NO', model number and "
       "type of output in the loader are automatically set to match the MXQ.",
       W, kYesNoEn, "Warning", 7},
      {5, 0, JA,
       "本体とﾛｰﾀﾞ上の形番が違います、書込みを中止しますか？\n｢いいえ(N)｣を選択すると、ﾛｰﾀﾞ上の形番、出力種類を本体に合わせます",
       E, kYesNoPlatform, "エラー", 7},
      // kind 6: data check
      {6, 1, EN, "Complete", C, kOk, "Confirmation", 1},
      {6, 1, JA, "設定異常はありません", C, kOk, "確認", 1},
      {6, 0, EN, "Abnormalities are in a setup", E, kOk, "Error", 1},
      {6, 0, JA, "設定に異常があります", E, kOk, "エラー", 1},
  };
  for (const Case& c : cases) Check(c, kvl::DescribeMessage(c.kind, c.code, c.language, "list.csv"));
}

TEST(MessageCatalog, UnknownKindsAndCodesFallBack) {
  const Case cases[] = {
      {7, 0, EN, "Initlize Data", I, kOkCancelEn, "Information", 2},
      {-1, 0, JA, "初期化を実行します", C, kOkCancelJa, "確認", 2},
      // Other kinds are read as kind 0, codes included.
      {7, 2, EN, "Quit", C, kOkCancelEn, "Confirm", 2},
      {-1, 3, JA, "セグメントをコピーします", C, kOkCancelJa, "確認", 2},
      {8, 10, EN, "A segment cannot be inserted any more.", E, kOk, "Error", 1},
      {0, 0, EN, "Initlize Data", I, kOkCancelEn, "Information", 2},
      {0, 11, JA, "初期化を実行します", C, kOkCancelJa, "確認", 2},
      {100, 0, EN, "Initlize Data", I, kOkCancelEn, "Information", 2},
      {1, 0, EN, "Illegal file information.", E, kOk, "Error", 1},
      {1, -5, JA, "ﾌｧｲﾙ情報が不正です", E, kOk, "エラー", 1},
      {2, 99, EN, "Can't make file", E, kOk, "Error", 1},
      {3, 0, JA, "ﾌｧｲﾙを作成できません", E, kOk, "エラー", 1},
      {4, 15, EN, "Read Complete", C, kOk, "Confirmation", 1},
      {4, 1000, JA, "読出しが正常終了しました", C, kOk, "確認", 1},
      {4, -1, EN, "Read Complete", C, kOk, "Confirmation", 1},
      {5, 42, EN,
       "A miss-match of MXQ model in the RVN and the loader.\nWant to stop upload.\nIf you choose 'NO', model number and "
       "type of output in the loader are automatically set to match the MXQ.",
       W, kYesNoEn, "Warning", 7},
      {6, 5, EN, "Complete", C, kOk, "Confirmation", 1},
      {6, -2, JA, "設定異常はありません", C, kOk, "確認", 1},
  };
  for (const Case& c : cases) Check(c, kvl::DescribeMessage(c.kind, c.code, c.language, "ignored"));
  // Any language other than 0 is English.
  EXPECT_EQ(kvl::DescribeMessage(0, 2, 2, "").Text, "Quit");
  EXPECT_EQ(kvl::DescribeMessage(0, 2, -1, "").Title, "Confirm");
}

TEST(MessageCatalog, FileNameJoinsTheExportTextAsItIs) {
  struct Name {
    const char* file;
    const char* english;
    const char* japanese;
  } names[] = {
      {"", "Can't save ", "を保存できません"},
      {"/home/u/設定 <b>1</b> & 2.csv", "Can't save /home/u/設定 <b>1</b> & 2.csv",
       "/home/u/設定 <b>1</b> & 2.csvを保存できません"},
      {"%s%n\\n", "Can't save %s%n\\n", "%s%n\\nを保存できません"},
  };
  for (const Name& n : names) {
    SCOPED_TRACE(n.file);
    EXPECT_EQ(kvl::DescribeMessage(3, 3, EN, n.file).Text, n.english);
    EXPECT_EQ(kvl::DescribeMessage(3, 3, JA, n.file).Text, n.japanese);
    // Only that entry names the file.
    EXPECT_EQ(kvl::DescribeMessage(2, 3, EN, n.file).Text, "Can't make file");
  }
}

TEST(MessageCatalog, SecondInstanceAndEscapedErrors) {
  const kvl::MessageDescription english = kvl::DescribeSecondInstance(437);
  Check({0, 0, EN, "Can't start up two or more KVL-Q70s at once", E, kOk, "Error", 1}, english);
  const kvl::MessageDescription japanese = kvl::DescribeSecondInstance(932);
  Check({0, 0, JA, "一度に複数のKVL-Q70を起動することはできません", E, kOk, "エラー", 1}, japanese);

  Check({0, 0, EN, "'12x' is not a valid integer value", E, kOk, "KVL-Q70", 1},
        kvl::DescribeException(kvl::InvalidIntegerText("12x", EN), "KVL-Q70"));
  Check({0, 0, JA, "'' は整数ではありません", E, kOk, "(無題)-KVL-Q70", 1},
        kvl::DescribeException(kvl::InvalidIntegerText("", JA), "(無題)-KVL-Q70"));
}

}  // namespace
