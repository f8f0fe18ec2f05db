#include "OptSetTexts.h"

#include "StartupRules.h"

namespace kvl {
namespace {

// The maker's notice under the title (the same in both languages) and the rule below it.
constexpr const char* kNotice1 = "Halvorin loader software for the MXQ40 series program controllers";
constexpr const char* kNotice2 = "Read these precautions before you set any parameter.";
constexpr const char* kRule = "-------------------------------------------------------------------";

}  // namespace

OptSetTexts WizardTexts(int language) {
  OptSetTexts t;
  if (language == kLanguageJapanese) {
    t.Caption = "形番設定";
    t.WelcomeGroup = "取扱上の注意";
    t.MethodGroup = "形番設定方法";
    t.MethodItems[0] = " &0:形番を設定する";
    t.MethodItems[1] = " &1:設定をMXQ40から読み出す";
    t.BasicGroup = "基本形番";
    t.OutputGroup = "出力形式";
    t.Option1Group = "ｵﾌﾟｼｮﾝ1";
    t.Option2Group = "ｵﾌﾟｼｮﾝ2";
    t.Cancel = "ｷｬﾝｾﾙ";
    t.Back = "＜戻る(&B)";
    t.Next = "次へ(&N)＞";
    t.Complete = "完了";
    t.FormWidth = 600;
  } else {
    t.Caption = "Option Setup";
    t.WelcomeGroup = "HANDLING PRECAUTIONS";
    t.MethodGroup = "Model setting method";
    t.MethodItems[0] = " &0: Set model number";
    t.MethodItems[1] = " &1: Read from MXQ40";
    t.BasicGroup = "Basic Model No.";
    t.OutputGroup = "Output Type";
    t.Option1Group = "Option1";
    t.Option2Group = "Option2";
    t.Cancel = "Cancel";
    t.Back = "<&Back";
    t.Next = "&Next>";
    t.Complete = "Complete";
    t.FormWidth = 700;
  }
  return t;
}

std::vector<std::string> WelcomeLines(int language) {
  if (language == kLanguageJapanese)
    return {
      "KVL-Q70取扱上の注意",
      kNotice1,
      kNotice2,
      kRule,
      "■パラメータを設定する前に、接続する機器の形番を設定してください。",
      "",
      "　形番設定は以下のいずれかの方法でおこなえます。",
      "",
      "　 ・［設定(O)｜形番設定(T)］を選択して形番を設定する。",
      "　 ・［Ctrl+T］を押下して形番を設定する。",
      "　 ・［通信(C)｜読出し(MXQ40→KVL)(R)］を選択して形番を読み出す。",
      "",
      "　KVLは前回使用時の機器の形番設定情報を保持しているため、",
      "　KVLの形番設定と接続する機器の形番が食い違っていると、",
      "　機器への設定の書き込みができない場合があります",
      "",
      kRule,
      "■パラメータの設定を行う場合、最初にレンジコードを設定してください。",
      "",
      "　レンジコードの設定をすると、一部設定値を初期化することがあります。",
    };
  return {
      "KVL-Q70 HANDLING PRECAUTIONS",
      kNotice1,
      kNotice2,
      kRule,
      "- Set the model number before entering the parameter.",
      "",
      "  Enter the model-set menu by",
      "  - [Option]-[Type Setup]",
      "  - Ctrl + T",
      "  - After connecting MXQ, Upload from MXQ",
      "",
      "Notes:",
      "1. Be sure to save new parameter before down loading",
      "   to MXQ,as it stores the previous parameter",
      "   information used(or default value)",
      "",
      "2.Start the setting of parameter with PV input",
      "  when the PV input is changed,the relative",
      "  parameters are also intialized",
  };
}

}  // namespace kvl
