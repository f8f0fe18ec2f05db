#include "MessageCatalog.h"

#include <string>

namespace kvl {
namespace {

enum class ButtonSet { Ok, OkCancel, YesNo };

// How the English dialog relabels its buttons.
enum class Relabel { None, Cancel, YesNo };

struct Entry {
  const char* English;
  const char* Japanese;
  DialogType TypeJapanese;
  DialogType TypeEnglish;
  ButtonSet Buttons;
  const char* TitleEnglish;
  Relabel EnglishRelabel;
};

constexpr DialogType kWarn = DialogType::Warning;
constexpr DialogType kErr = DialogType::Error;
constexpr DialogType kInfo = DialogType::Information;
constexpr DialogType kConf = DialogType::Confirmation;

// The platform's captions, as the toolkit of the original tools labels them.
const char* PlatformCaption(DialogButton button) {
  switch (button) {
    case DialogButton::Yes: return "はい(&Y)";
    case DialogButton::No: return "いいえ(&N)";
    case DialogButton::OK: return "OK";
    case DialogButton::Cancel: return "キャンセル";
  }
  return "";
}

// A dialog of the platform: buttons in the order Yes, No, OK, Cancel with the
// platform's captions, the first one focused, Enter on OK (else Yes), Esc on
// Cancel (else No, else OK), the platform's title of its type.
MessageDescription PlatformDialog(DialogType type, ButtonSet set, std::string text) {
  MessageDescription d;
  d.Type = type;
  d.Title = PlatformDialogTitle(type);
  d.Text = std::move(text);
  auto add = [&d](DialogButton b) { d.Buttons.push_back({b, PlatformCaption(b), ModalResultOf(b)}); };
  switch (set) {
    case ButtonSet::Ok: add(DialogButton::OK); break;
    case ButtonSet::OkCancel: add(DialogButton::OK); add(DialogButton::Cancel); break;
    case ButtonSet::YesNo: add(DialogButton::Yes); add(DialogButton::No); break;
  }
  auto indexOf = [&d](DialogButton b) {
    for (size_t i = 0; i < d.Buttons.size(); ++i)
      if (d.Buttons[i].Button == b) return static_cast<int>(i);
    return -1;
  };
  d.FocusButton = 0;
  d.DefaultButton = indexOf(DialogButton::OK) >= 0 ? indexOf(DialogButton::OK) : indexOf(DialogButton::Yes);
  if (indexOf(DialogButton::Cancel) >= 0)
    d.EscapeResult = kModalCancel;
  else if (indexOf(DialogButton::No) >= 0)
    d.EscapeResult = kModalNo;
  else
    d.EscapeResult = kModalOk;
  return d;
}

// Kind 0: confirmations of an edit or of quitting (OK and Cancel).
Entry EditEntry(int code) {
  switch (code) {
    case 2: return {"Quit", "終了します", kConf, kConf, ButtonSet::OkCancel, "Confirm", Relabel::Cancel};
    case 3: return {"Copy segment", "セグメントをコピーします", kConf, kInfo, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 4: return {"Paste segment", "セグメントを貼り付けます", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 5: return {"Cut segment", "セグメントを切り取ります", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 6: return {"Insert segment", "セグメントを挿入します", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 7: return {"Copy pattern", "パターンをコピーします", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 8: return {"Paste pattern", "パターンを貼り付けます", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 9: return {"Clear data", "クリアします", kConf, kConf, ButtonSet::OkCancel, "Information", Relabel::Cancel};
    case 10: return {"A segment cannot be inserted any more.", "これ以上ｾｸﾞﾒﾝﾄを挿入できません", kErr, kErr, ButtonSet::Ok, "Error", Relabel::None};
    default: return {"Initlize Data", "初期化を実行します", kConf, kInfo, ButtonSet::OkCancel, "Information", Relabel::Cancel};
  }
}

Entry ErrorEntry(const char* english, const char* japanese) {
  return {english, japanese, kErr, kErr, ButtonSet::Ok, "Error", Relabel::None};
}

Entry FileReadEntry(int code) {
  if (code == 2) return ErrorEntry("Illegal file size.", "ﾌｧｲﾙｻｲｽﾞが不正です");
  return ErrorEntry("Illegal file information.", "ﾌｧｲﾙ情報が不正です");
}

Entry FileWriteEntry(int code) {
  switch (code) {
    case 2: return ErrorEntry("Not enough free space on disk.", "ディスクの空き容量が不足です");
    case 4: return ErrorEntry("File name too long.", "ﾌｧｲﾙ名が長すぎます");
    default: return ErrorEntry("Can't make file", "ﾌｧｲﾙを作成できません");
  }
}

// Code 3 names the file and is composed by the caller.
Entry ExportEntry(int code) {
  switch (code) {
    case 2: return ErrorEntry("Not enough free space on disk.", "ﾃﾞｨｽｸの空き容量が不足です");
    case 3: return ErrorEntry("Can't save ", "を保存できません");
    case 4: return ErrorEntry("File name too long.", "ﾌｧｲﾙ名が長すぎます");
    default: return ErrorEntry("Can't make file", "ﾌｧｲﾙを作成できません");
  }
}

// Code 6 names the controller and is composed by the caller.
Entry TransferEntry(int code) {
  switch (code) {
    case 1: return ErrorEntry("Time Out", "タイムアウト");
    case 2: return ErrorEntry("Communications error has occurred", "通信エラーが発生しました");
    case 3: return {"Stop communications", "中断終了しました", kConf, kConf, ButtonSet::Ok, "Confirm", Relabel::None};
    case 4:
    case 7: return ErrorEntry("Check currently connected instruments", "接続中の計器を確認してください");
    case 5: return ErrorEntry("Can't open comm port", "通信ﾎﾟｰﾄをｵｰﾌﾟﾝできません");
    case 6: return ErrorEntry("Can't support currently connected ", "をｻﾎﾟｰﾄできません");
    case 8:
      return {"Wrong Version\nWant to stop the operation ?", "計器のﾊﾞｰｼﾞｮﾝが違います、操作を中止しますか", kErr, kErr,
              ButtonSet::YesNo, "Error", Relabel::None};
    case 9: return ErrorEntry("console or WQT function", "ｺﾝｿｰﾙまたはWQT通信で操作中です");
    case 10: return ErrorEntry("Can not write (except ready mode)", "READY以外のため書き込みを行えませんでした");
    case 11: return ErrorEntry("Can not write (MXQ40 status)", "計器の状態により書き込みを行えませんでした");
    case 12:
      return ErrorEntry("This revision MXQ40\nProgram write in READY mode only.",
                        "このROMﾚﾋﾞｼﾞｮﾝのMXQ40では\nREADYﾓｰﾄﾞの時のみﾌﾟﾛｸﾞﾗﾑ書き込みが行えます");
    case 13: return ErrorEntry("Can not write data (except ready mode)", "READY以外のため\n書き込みを行えないﾃﾞｰﾀがありました");
    case 14: return {"Write Complete", "書込みが正常終了しました", kConf, kConf, ButtonSet::Ok, "Confirmation", Relabel::None};
    default: return {"Read Complete", "読出しが正常終了しました", kConf, kConf, ButtonSet::Ok, "Confirmation", Relabel::None};
  }
}

Entry ModelMismatchEntry() {
  return {"A miss-match of MXQ model in the RVN and the loader.\nWant to stop upload.\nIf you choose 'NO', model number "
          "and type of output in the loader are automatically set to match the MXQ.",
          "本体とﾛｰﾀﾞ上の形番が違います、書込みを中止しますか？\n｢いいえ(N)｣を選択すると、ﾛｰﾀﾞ上の形番、出力種類を本体に合わせます",
          kErr, kWarn, ButtonSet::YesNo, "Warning", Relabel::YesNo};
}

Entry DataCheckEntry(int code) {
  if (code == 0)
    return ErrorEntry("Abnormalities are in a setup", "設定に異常があります");
  return {"Complete", "設定異常はありません", kConf, kConf, ButtonSet::Ok, "Confirmation", Relabel::None};
}

}  // namespace

const char* PlatformDialogTitle(DialogType type) {
  switch (type) {
    case DialogType::Warning: return "警告";
    case DialogType::Error: return "エラー";
    case DialogType::Information: return "情報";
    case DialogType::Confirmation: return "確認";
  }
  return "";
}

int ModalResultOf(DialogButton button) {
  switch (button) {
    case DialogButton::Yes: return kModalYes;
    case DialogButton::No: return kModalNo;
    case DialogButton::OK: return kModalOk;
    case DialogButton::Cancel: return kModalCancel;
  }
  return 0;
}

MessageDescription DescribeMessage(int kind, int code, int language, std::string_view fileName) {
  if (kind < 1 || kind > 6) kind = kMessageEdit;
  Entry e;
  switch (kind) {
    case kMessageFileRead: e = FileReadEntry(code); break;
    case kMessageFileWrite: e = FileWriteEntry(code); break;
    case kMessageExport: e = ExportEntry(code); break;
    case kMessageTransfer: e = TransferEntry(code); break;
    case kMessageModelMismatch: e = ModelMismatchEntry(); break;
    case kMessageDataCheck: e = DataCheckEntry(code); break;
    default: e = EditEntry(code); break;
  }
  const bool japanese = language == 0;
  std::string text = japanese ? e.Japanese : e.English;
  if (kind == kMessageExport && code == 3)
    text = japanese ? std::string(fileName) + text : text + std::string(fileName);
  if (kind == kMessageTransfer && code == 6)
    text = japanese ? std::string("接続中の") + kControllerName + text : text + kControllerName;

  if (japanese) return PlatformDialog(e.TypeJapanese, e.Buttons, std::move(text));

  MessageDescription d = PlatformDialog(e.TypeEnglish, e.Buttons, std::move(text));
  for (DialogButtonDescription& b : d.Buttons) {
    if (e.EnglishRelabel == Relabel::Cancel && b.Button == DialogButton::Cancel) b.Caption = "Cancel";
    if (e.EnglishRelabel == Relabel::YesNo && b.Button == DialogButton::Yes) b.Caption = "Yes";
    if (e.EnglishRelabel == Relabel::YesNo && b.Button == DialogButton::No) b.Caption = "No";
  }
  d.Title = e.TitleEnglish;
  return d;
}

MessageDescription DescribeSecondInstance(unsigned oemCodePage) {
  if (oemCodePage == 932)
    return PlatformDialog(DialogType::Error, ButtonSet::Ok,
                          std::string("一度に複数の") + kProductName + "を起動することはできません");
  MessageDescription d = PlatformDialog(
      DialogType::Error, ButtonSet::Ok, std::string("Can't start up two or more ") + kProductName + "s at once");
  d.Title = "Error";
  return d;
}

MessageDescription DescribeException(std::string_view what, std::string_view applicationTitle) {
  MessageDescription d = PlatformDialog(DialogType::Error, ButtonSet::Ok, std::string(what));
  d.Title = std::string(applicationTitle);
  return d;
}

MessageDescription DescribePlainNotice(std::string_view text, std::string_view caption) {
  MessageDescription d;
  d.Type = DialogType::Information;
  d.Title = std::string(caption);
  d.Text = std::string(text);
  d.Buttons.push_back({DialogButton::OK, "OK", kModalOk});
  return d;
}

std::string InvalidIntegerText(std::string_view text, int language) {
  if (language == 0) return "'" + std::string(text) + "' は整数ではありません";
  return "'" + std::string(text) + "' is not a valid integer value";
}

}  // namespace kvl
