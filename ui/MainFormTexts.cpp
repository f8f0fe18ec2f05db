#include "MainFormTexts.h"

namespace kvl {

const std::vector<MenuItemDef>& MainMenuItems() {
  static const std::vector<MenuItemDef> items = {
    {"file1", nullptr, "ﾌｧｲﾙ(&F)", "&File", "", false, true, true},
    {"New1", "file1", "初期化(&N)", "&New", "Ctrl+N", false, true, true},
    {"Open1", "file1", "開く(&O)...", "&Open...", "Ctrl+O", false, true, true},
    {"Save1", "file1", "上書き保存(&S)", "&Save", "Ctrl+S", false, true, true},
    {"SaveAs1", "file1", "名前を付けて保存(&A)...", "Save &As...", "Ctrl+A", false, true, true},
    {"Bar1", "file1", nullptr, nullptr, "", true, true, true},
    {"CSVSave", "file1", "CSV出力(&X)...", "CSV Out(&X)...", "", false, true, true},
    {"HTML1", "file1", "HTML出力...", "HTML Out...", "", false, true, true},
    {"Bar2", "file1", nullptr, nullptr, "", true, true, true},
    {"KKVLEnd", "file1", "終了(&Q)", "&Quit", "Ctrl+Q", false, true, true},
    {"edit1", nullptr, "編集(&E)", "&Edit", "", false, true, true},
    {"datachk1", "edit1", "ﾃﾞｰﾀﾁｪｯｸ(&D)", "&Data Check", "Ctrl+D", false, true, true},
    {"Bar6", "edit1", nullptr, nullptr, "", true, true, true},
    {"INSERT1", "edit1", "ｾｸﾞﾒﾝﾄ挿入(&I)", "&Insert Segment", "", false, false, true},
    {"NewSeg", "INSERT1", "新しいｾｸﾞﾒﾝﾄ(&N)", "&New Segment", "", false, false, true},
    {"CopySeg", "INSERT1", "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄ(&C)", "Segment &Copy", "", false, false, true},
    {"CUT1", "edit1", "ｾｸﾞﾒﾝﾄ切り取り(&T)", "Cut Segment(&T)", "Ctrl+X", false, false, true},
    {"COPY1", "edit1", "ｾｸﾞﾒﾝﾄｺﾋﾟｰ(&C)", "&Copy Segment", "Ctrl+C", false, false, true},
    {"PASTE1", "edit1", "ｾｸﾞﾒﾝﾄ貼り付け(&P)", "&Paste Segment", "Ctrl+V", false, false, true},
    {"CLEAR1", "edit1", "ｸﾘｱ(&A)", "Clear(&A)", "", false, false, true},
    {"Bar4", "edit1", nullptr, nullptr, "", true, true, true},
    {"COPY2", "edit1", "ﾊﾟﾀｰﾝｺﾋﾟｰ(&Y)", "Copy Pattern(&Y)", "", false, false, true},
    {"PASTE2", "edit1", "ﾊﾟﾀｰﾝ貼り付け(&S)", "Paste Pattern(&S)", "", false, false, true},
    {"comm1", nullptr, "通信(&C)", "&Communication", "", false, true, true},
    {"CommRead", "comm1", "読出し(MXQ40→KVL)(&R)...", "&Read(MXQ40->KVL)...", "Ctrl+R", false, true, true},
    {"CommWrite", "comm1", "書込み(KVL→MXQ40)(&W)...", "&Write(KVL->MXQ40)...", "Ctrl+W", false, true, true},
    {"Bar5", "comm1", nullptr, nullptr, "", true, true, false},
    {"SHLRW1", "comm1", "通信ﾃｽﾄ...", "Communication Test", "", false, true, false},
    {"set1", nullptr, "項目(&S)", "&Setup", "", false, true, true},
    {"opt1", nullptr, "設定(&O)", "&Option", "", false, true, true},
    {"KatabanSetup", "opt1", "形番設定(&T)...", "&Type Setup...", "Ctrl+T", false, true, true},
    {"CommSetup", "opt1", "環境設定(&E)...", "&Enviroment Setup...", "Ctrl+E", false, true, true},
    {"Bar7", "opt1", nullptr, nullptr, "", true, true, false},
    {"RevChange", "opt1", "計器ﾃﾞｰﾀRev設定", nullptr, "", false, true, false},
    {"Rev0", "RevChange", "Rev 0", nullptr, "", false, true, true, true, false},
    {"Rev1", "RevChange", "Rev 1", nullptr, "", false, true, true, true, true},
    {"View", nullptr, "表示(&V)", "&View", "", false, true, true},
    {"PatternGraph", "View", "ﾊﾟﾀｰﾝｸﾞﾗﾌ(&P)", "&Pattern Graph", "", false, true, true},
    {"TableGraph", "View", "折線ｸﾞﾗﾌ(&T)", "&Table Graph", "", false, false, true},
    {"Help1", nullptr, "ﾍﾙﾌﾟ(&H)", "&Help", "", false, true, true},
    {"MenuVersion", "Help1", "ﾊﾞｰｼﾞｮﾝ(&A)", "Version(&A)", "", false, true, true},
  };
  return items;
}

const MenuItemDef* FindMenuItem(const std::string& name) {
  for (const MenuItemDef& item : MainMenuItems())
    if (name == item.Name) return &item;
  return nullptr;
}

std::string MenuCaption(const MenuItemDef& item, int language) {
  if (item.Separator) return std::string();
  if (language != 0 && item.English != nullptr) return item.English;
  return item.Japanese;
}

const std::vector<ToolButtonDef>& ToolButtons() {
  static const std::vector<ToolButtonDef> buttons = {
    {"NewButton", "初期化", "New", "New1", true},
    {"OpenButton", "開く", "Open", "Open1", true},
    {"SaveButton", "上書き保存", "Save", "Save1", true},
    {"SaveAsButton", "名前を付けて保存", "Save As", "SaveAs1", true},
    {"ZTMtoKVLButton", "読出し(MXQ40→KVL)", "Read(MXQ40->KVL)", "CommRead", true},
    {"KVLtoZTMButton", "書込み(KVL→MXQ40)", "Write(KVL->MXQ40)", "CommWrite", true},
    {"SetupButton", "形番設定", "Type Setting", "KatabanSetup", true},
    {"ComSetupButton", "環境設定", "Environment Setting", "CommSetup", true},
    {"InsertButton1", "新しいｾｸﾞﾒﾝﾄの挿入", "Insert New Segment", "NewSeg", true},
    {"InsertButton2", "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄの挿入", "Insert Segment Copy", "CopySeg", true},
    {"CUTButton", "ｾｸﾞﾒﾝﾄ切り取り", "Cut Segment", "CUT1", true},
    {"COPYButton", "ｾｸﾞﾒﾝﾄｺﾋﾟｰ", "Copy Segment", "COPY1", true},
    {"PASTEButton", "ｾｸﾞﾒﾝﾄ貼り付け", "Paste Segment", "PASTE1", false},
    {"ClearButton", "ｸﾘｱ", "Clear", "CLEAR1", true},
    {"COPY2Button", "ﾊﾟﾀｰﾝｺﾋﾟｰ", "Copy Pattern", "COPY2", true},
    {"PASTE2Button", "ﾊﾟﾀｰﾝ貼り付け", "Paste Pattern", "PASTE2", false},
  };
  return buttons;
}

std::string ToolButtonHint(const ToolButtonDef& button, int language) {
  return language == 0 ? button.HintJapanese : button.HintEnglish;
}

std::vector<FileDialogDef> FileDialogs(int language) {
  const bool ja = language == 0;
  const std::string dataFilter = ja ? "KVL-Q70ファイル(*.Q70)|Q70" : "KVL-Q70file(*.Q70)|Q70";
  return {
      {"OpenDialog1", "", dataFilter, "q70", "*.q70", true, false, true},
      {"SaveDialog1", "", dataFilter, "q70", "", false, true, true},
      {"SaveDialog2", ja ? "CSV出力" : "CSV out", ja ? "CSV ﾌｧｲﾙ(*.csv)|csv" : "CSV file(*.csv)|csv", "CSV", "*.CSV",
       false, true, false},
      {"SaveDialog3", ja ? "HTML出力" : "HTML out", ja ? "HTMLﾌｧｲﾙ(*.htm)|htm" : "HTML file(*.htm)|htm", "HTM",
       "*.HTM", false, true, false},
  };
}

}  // namespace kvl
