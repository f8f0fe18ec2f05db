// The model-number wizard: pages, lists, previews, Complete and Cancel, the
// read choice, the entry points and the texts of both languages.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "OptSet.h"
#include "Settings.h"
#include "StrCGrid.h"
#include "TestSupport.h"
#include "UCore.h"
#include "mainform.h"

namespace {

using kvltest::MainFormHarness;

// Records the forms shown and answers each with `Action` (none: Esc).
class FormPresenter : public kvltest::RecordingPresenter {
 public:
  int ShowForm(kvl::TModalForm& form) override {
    FormsShown.push_back(form.FormCaption());
    return Action ? Action(form) : form.AnswerKey(false);
  }
  std::function<int(kvl::TModalForm&)> Action;
  std::vector<std::string> FormsShown;
};

void WriteWords(const MainFormHarness& h, int aux, int output, int option2, int basic) {
  kvl::TIniSettingsStore store(h.IniPath());
  store.Write("OPTION", "OPT0", std::to_string(aux));
  store.Write("OPTION", "OPT1", std::to_string(output));
  store.Write("OPTION", "OPT2", std::to_string(option2));
  store.Write("OPTION", "OPT3", std::to_string(basic));
  ASSERT_TRUE(store.Flush());
}

// A started main window in English (0x409) or Japanese (0x411) with its wizard.
struct WizardHarness {
  explicit WizardHarness(uint16_t langId = 0x409, std::function<void(const MainFormHarness&)> before = {}) {
    if (before) before(Main);
    Main.Start({}, langId);
    Wizard = std::make_unique<TOptSet>(*Main.Form, *Main.Core, Presenter);
    Main.Form->AttachWizard(*Wizard);
  }
  // As the start opens it, without the modal showing.
  void Open() {
    Wizard->ModelToControls();
    Wizard->SetActivePage(Wizard->TabSheetWelcome);
    Wizard->setResult(0);
  }
  void Next() { Wizard->ForwardButton(Wizard->ActivePage())->click(); }
  static void Click(TRadioGroup* group, int index) {
    ASSERT_NE(group->Button(index), nullptr) << group->objectName().toStdString() << " " << index;
    group->Button(index)->click();
  }
  bool Shows(int node) const {
    const int* e = Main.Form->NodeOfEntry;
    return std::find(e, e + 12, node) != e + 12;
  }
  int Param(int item) const { return Main.Core->GetParam(8, item, 1, 0)->Value; }

  MainFormHarness Main;
  FormPresenter Presenter;
  std::unique_ptr<TOptSet> Wizard;
};

TEST(OptSetWalk, ChoicesBecomeTheModelOnComplete) {
  const struct {
    uint16_t langId;
    int basic, output, aux, option2;
    int outputCount, auxCount;  // items offered on the output and option-1 pages
    int auxShown;               // the option-1 index the choice leaves
    const char* number;
    const char* words;  // Label1 preview
    uint16_t h1, h2;
    int c75;  // after Complete (set to 5 before)
  } cases[] = {
      {0x409, 0, 0, 0, 0, 6, 3, 0, "Q41A0D0AS000**", "0000:0001:0000:0000", 0x0001, 0x00, 5},
      {0x409, 0, 1, 1, 1, 6, 2, 1, "Q41A2G0AS011**", "8000:0008:0030:0000", 0x8008, 0x30, 5},
      {0x409, 0, 3, 2, 2, 6, 3, 2, "Q41A6D0AS022**", "C000:0002:00B0:0000", 0xC002, 0xB0, 1},
      {0x409, 0, 2, 1, 0, 6, 3, 1, "Q41A5G0AS010**", "4000:0004:0000:0000", 0x4004, 0x00, 0},
      {0x409, 1, 0, 1, 0, 5, 2, 1, "Q42A0D1AS010**", "8000:0841:0000:0001", 0x8841, 0x01, 5},
      // Heat-cool with output 3 offers no auxiliary output: the one-output
      // choice cannot be clicked, option 1 stays at its only item.
      {0x409, 2, 3, 1, 2, 5, 1, 0, "Q42A3D2AS002**", "0000:0C91:00B0:0002", 0x0C91, 0xB2, 5},
      {0x411, 3, 4, 0, 1, 5, 1, 0, "Q42A5K3AS001**", "0000:0CC4:0030:0004", 0x0CC4, 0x34, 0},
      {0x411, 1, 1, 1, 2, 5, 2, 1, "Q42A5G1AS012**", "8000:0844:00B0:0001", 0x8844, 0xB1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    WizardHarness w(c.langId);
    TOptSet& wizard = *w.Wizard;
    TCore& core = *w.Main.Core;
    core.GetParam(8, 75, 1, 0)->Value = 5;
    core.GetParam(8, 8, 1, 0)->Value = 3;
    core.GetPatternValue(2, 1, 4)->Value = 1234;
    w.Main.Form->ErrorList->addItem(QStringLiteral("old error"));
    w.Main.Form->ErrorNode = {3};  // its jump table entry
    w.Open();

    EXPECT_EQ(wizard.ActivePage(), wizard.TabSheetWelcome);
    w.Next();
    ASSERT_EQ(wizard.ActivePage(), wizard.TabSheetSel);
    EXPECT_EQ(wizard.RadioGroupSelect->ItemIndex(), 0);
    w.Next();
    ASSERT_EQ(wizard.ActivePage(), wizard.TabSheetStd);
    if (c.basic != 0) WizardHarness::Click(wizard.RadioGroupStd, c.basic);
    EXPECT_EQ(wizard.RadioGroupStd->ItemIndex(), c.basic);
    w.Next();
    ASSERT_EQ(wizard.ActivePage(), wizard.TabSheetOut);
    EXPECT_EQ(wizard.RadioGroupOut->Count(), c.outputCount);
    if (c.output != 0) WizardHarness::Click(wizard.RadioGroupOut, c.output);
    w.Next();
    ASSERT_EQ(wizard.ActivePage(), wizard.TabSheetOpt1);
    EXPECT_EQ(wizard.RadioGroupOpt1->Count(), c.auxCount);
    if (c.aux < c.auxCount && c.aux != 0) WizardHarness::Click(wizard.RadioGroupOpt1, c.aux);
    EXPECT_EQ(wizard.RadioGroupOpt1->ItemIndex(), c.auxShown);
    w.Next();
    ASSERT_EQ(wizard.ActivePage(), wizard.TabSheetOpt2);
    if (c.option2 != 0) WizardHarness::Click(wizard.RadioGroupOpt2, c.option2);
    EXPECT_EQ(wizard.StaticText1->text().toStdString(), c.number);
    EXPECT_EQ(wizard.Label1->text().toStdString(), c.words);
    // The previews store nothing.
    EXPECT_EQ(core.Model.OutputWord, 1);
    EXPECT_EQ(w.Main.Form->ModelNumberText, "");

    w.Next();  // Complete
    EXPECT_EQ(wizard.result(), kvl::kModalOk);
    EXPECT_EQ(w.Main.Form->ModelNumberText, c.number);
    EXPECT_EQ(core.Model.AuxWord, c.h1 & 0xC000);
    EXPECT_EQ(core.Model.OutputWord, c.h1 & 0xEFF);
    EXPECT_EQ(core.Model.Option2Word, c.h2 & 0xB0);
    EXPECT_EQ(core.Model.HardwareType1, c.h1);
    EXPECT_EQ(core.Model.HardwareType2, c.h2);
    EXPECT_EQ(static_cast<uint16_t>(w.Param(96)), c.h1);
    EXPECT_EQ(static_cast<uint16_t>(w.Param(97)), c.h2);
    EXPECT_EQ(w.Param(75), c.c75);
    EXPECT_EQ(core.ModelCode, c.number);
    const std::string untitled = c.langId == 0x411 ? "(無題)" : "(Untitled)";
    EXPECT_EQ(w.Main.Form->Caption(), untitled + " - KVL-Q70 - " + c.number);
    // The other values stay; the views follow the model.
    EXPECT_EQ(w.Param(8), 3);
    EXPECT_EQ(core.GetPatternValue(2, 1, 4)->Value, 1234);
    EXPECT_EQ(w.Main.Form->ErrorList->count(), 0);
    EXPECT_TRUE(w.Main.Form->ErrorNode.empty());
    EXPECT_EQ(w.Shows(4), c.basic != 0);
  }
}

// Each step of a table: a click on one list, then what the lists offer.
TEST(OptSetLists, ClicksRebuildTheDependentLists) {
  enum Group { Basic, Output, Aux };
  const struct Step {
    Group group;
    int index;
    int outputCount, outputIndex, auxCount, auxIndex;
    const char* firstOutputText;
  } steps[] = {
      {Output, 5, 6, 5, 2, 0, "&0:0D Relay"},
      {Aux, 1, 6, 5, 2, 1, "&0:0D Relay"},
      // A new basic model resets output and option 1.
      {Basic, 1, 5, 0, 2, 0, "&0:0D Relay + current(changeable between current output and voltage output)"},
      {Output, 2, 5, 2, 1, 0, "&0:0D Relay + current(changeable between current output and voltage output)"},
      {Output, 1, 5, 1, 2, 0, "&0:0D Relay + current(changeable between current output and voltage output)"},
      {Aux, 1, 5, 1, 2, 1, "&0:0D Relay + current(changeable between current output and voltage output)"},
      {Basic, 2, 5, 0, 2, 0, "&0:0D Relay + current(changeable between current output and voltage output)"},
      {Basic, 0, 6, 0, 3, 0, "&0:0D Relay"},
      {Output, 1, 6, 1, 2, 0, "&0:0D Relay"},
      {Output, 0, 6, 0, 3, 0, "&0:0D Relay"},
      {Aux, 2, 6, 0, 3, 2, "&0:0D Relay"},
      {Output, 4, 6, 4, 2, 0, "&0:0D Relay"},
  };
  WizardHarness w;
  TOptSet& wizard = *w.Wizard;
  w.Open();
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(n++);
    TRadioGroup* group = s.group == Basic ? wizard.RadioGroupStd : s.group == Output ? wizard.RadioGroupOut
                                                                                      : wizard.RadioGroupOpt1;
    WizardHarness::Click(group, s.index);
    EXPECT_EQ(wizard.RadioGroupOut->Count(), s.outputCount);
    EXPECT_EQ(wizard.RadioGroupOut->ItemIndex(), s.outputIndex);
    EXPECT_EQ(wizard.RadioGroupOpt1->Count(), s.auxCount);
    EXPECT_EQ(wizard.RadioGroupOpt1->ItemIndex(), s.auxIndex);
    EXPECT_EQ(wizard.RadioGroupOut->Items().front(), s.firstOutputText);
    EXPECT_EQ(wizard.Choices().OutputIndex, s.outputIndex);
    EXPECT_EQ(wizard.Choices().AuxIndex, s.auxIndex);
  }
}

// The choices shown follow the words stored at the last run.
TEST(OptSetLists, StoredWordsChooseTheItemsShown) {
  const struct {
    int aux, output, option2, basic;  // OPT0..OPT3; -1: none stored
    int basicIndex, outputIndex, auxIndex, option2Index, outputCount, auxCount;
    const char* caption;  // the main window's after the start
  } cases[] = {
      {-1, -1, -1, -1, 0, 0, 0, 0, 6, 3, "(Untitled) - KVL-Q70 - Q41A0D0AS000**"},
      {0x8000, 0x08, 0x30, 0, 0, 1, 1, 1, 6, 2, "(Untitled) - KVL-Q70 - Q41A2G0AS011**"},
      {0xC000, 0x04, 0xB0, 0, 0, 2, 2, 2, 6, 3, "(Untitled) - KVL-Q70 - Q41A5G0AS022**"},
      {0, 0xC91, 0xB0, 2, 2, 3, 0, 2, 5, 1, "(Untitled) - KVL-Q70 - Q42A3D2AS002**"},
      {0x8000, 0x844, 0x30, 4, 3, 1, 1, 1, 5, 2, "(Untitled) - KVL-Q70 - Q42A5G3AS011**"},
      // A basic model the wizard does not know shows the single-loop
      // choices; an unknown output code the first output.
      {0, 0x841, 0, 3, 0, 0, 0, 0, 6, 3, nullptr},
      {0, 0x33, 0, 0, 0, 0, 0, 0, 6, 3, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.output << "/" << c.basic);
    WizardHarness w(0x409, [&c](const MainFormHarness& h) {
      if (c.aux >= 0) WriteWords(h, c.aux, c.output, c.option2, c.basic);
    });
    TOptSet& wizard = *w.Wizard;
    w.Open();
    EXPECT_EQ(wizard.RadioGroupStd->ItemIndex(), c.basicIndex);
    EXPECT_EQ(wizard.RadioGroupOut->ItemIndex(), c.outputIndex);
    EXPECT_EQ(wizard.RadioGroupOpt1->ItemIndex(), c.auxIndex);
    EXPECT_EQ(wizard.RadioGroupOpt2->ItemIndex(), c.option2Index);
    EXPECT_EQ(wizard.RadioGroupOut->Count(), c.outputCount);
    EXPECT_EQ(wizard.RadioGroupOpt1->Count(), c.auxCount);
    if (c.caption) {
      EXPECT_EQ(w.Main.Form->Caption(), c.caption);
    }
  }
}

TEST(OptSetCancel, EveryPageLeavesEverythingAsItWas) {
  const struct {
    int steps;  // Next clicks before Cancel
    int cancel;  // 0 the page's Cancel button, 1 Esc
  } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 0}, {5, 0}, {5, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.steps << "/" << c.cancel);
    WizardHarness w(0x409, [](const MainFormHarness& h) { WriteWords(h, 0x4000, 0x02, 0x30, 0); });
    TOptSet& wizard = *w.Wizard;
    TCore& core = *w.Main.Core;
    core.GetParam(8, 75, 1, 0)->Value = 0;
    const std::string caption = w.Main.Form->Caption();
    const uint16_t h1 = core.Model.HardwareType1;
    const uint16_t h2 = core.Model.HardwareType2;
    w.Main.Form->ErrorList->addItem(QStringLiteral("kept"));
    w.Open();
    // Different choices on the way.
    for (int i = 0; i < c.steps; ++i) {
      if (wizard.ActivePage() == wizard.TabSheetStd) WizardHarness::Click(wizard.RadioGroupStd, 1);
      if (wizard.ActivePage() == wizard.TabSheetOut) WizardHarness::Click(wizard.RadioGroupOut, 4);
      if (wizard.ActivePage() == wizard.TabSheetOpt1) WizardHarness::Click(wizard.RadioGroupOpt1, 0);
      w.Next();
    }
    if (wizard.ActivePage() == wizard.TabSheetOpt2) WizardHarness::Click(wizard.RadioGroupOpt2, 2);
    if (c.cancel == 0) {
      QPushButton* cancel = nullptr;
      for (QPushButton* b : {wizard.BitBtn3, wizard.BitBtn5, wizard.BitBtn2, wizard.BitBtn4, wizard.BitBtn6, wizard.BitBtn9})
        if (b->parentWidget()->parentWidget() == wizard.ActivePage()) cancel = b;
      ASSERT_NE(cancel, nullptr);
      cancel->click();
    } else {
      wizard.reject();
    }
    EXPECT_EQ(wizard.result(), kvl::kModalCancel);
    EXPECT_EQ(core.Model.AuxWord, 0x4000);
    EXPECT_EQ(core.Model.OutputWord, 0x02);
    EXPECT_EQ(core.Model.Option2Word, 0x30);
    EXPECT_EQ(core.Model.BasicWord, 0);
    EXPECT_EQ(core.Model.HardwareType1, h1);
    EXPECT_EQ(core.Model.HardwareType2, h2);
    EXPECT_EQ(static_cast<uint16_t>(w.Param(96)), h1);
    EXPECT_EQ(w.Param(75), 0);
    EXPECT_EQ(core.ModelCode, "Q41A6D0AS011**");
    EXPECT_EQ(w.Main.Form->ModelNumberText, "");
    EXPECT_EQ(w.Main.Form->Caption(), caption);
    EXPECT_EQ(w.Main.Form->ErrorList->count(), 1);
    // The settings are not written.
    kvl::TIniSettingsStore store(w.Main.IniPath());
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT1", -1), 2);
  }
}

TEST(OptSetPages, BackButtonsAndTheMethodPage) {
  WizardHarness w;
  TOptSet& wizard = *w.Wizard;
  w.Open();
  const struct {
    QPushButton* button;
    QWidget* page;  // active afterwards
  } steps[] = {
      {wizard.BitBtnToSel, wizard.TabSheetSel},   {wizard.BitBtnBackWelcome, wizard.TabSheetWelcome},
      {wizard.BitBtnToSel, wizard.TabSheetSel},   {wizard.BitBtnToStd, wizard.TabSheetStd},
      {wizard.BitBtnBackSel, wizard.TabSheetSel}, {wizard.BitBtnToStd, wizard.TabSheetStd},
      {wizard.BitBtnToOut, wizard.TabSheetOut},   {wizard.BitBtnBackStd, wizard.TabSheetStd},
      {wizard.BitBtnToOut, wizard.TabSheetOut},   {wizard.BitBtnToOpt1, wizard.TabSheetOpt1},
      {wizard.BitBtnBackOut, wizard.TabSheetOut}, {wizard.BitBtnToOpt1, wizard.TabSheetOpt1},
      {wizard.BitBtnToOpt2, wizard.TabSheetOpt2}, {wizard.BitBtnBackOpt1, wizard.TabSheetOpt1},
  };
  int n = 0;
  for (const auto& s : steps) {
    SCOPED_TRACE(n++);
    s.button->click();
    EXPECT_EQ(wizard.ActivePage(), s.page);
    // The page's forward button is its default button.
    EXPECT_TRUE(wizard.ForwardButton(s.page)->isDefault());
    EXPECT_EQ(wizard.result(), 0);
  }
  // Tab skips the buttons.
  EXPECT_EQ(wizard.BitBtn1->focusPolicy() & Qt::TabFocus, 0);
  // Basic Back returns the method choice to "set".
  wizard.BitBtnToOut->click();
  wizard.BitBtnBackStd->click();
  wizard.RadioGroupSelect->Button(1)->click();
  wizard.BitBtnBackSel->click();
  EXPECT_EQ(wizard.RadioGroupSelect->ItemIndex(), 0);
}

TEST(OptSetRead, TheReadChoiceArmsTheReadTimerOnceTheRangeIsConfirmed) {
  const struct {
    bool hook;
    int rangeResult;
    bool ends;
  } cases[] = {{false, 0, false}, {true, kvl::kModalCancel, false}, {true, kvl::kModalOk, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hook << "/" << c.rangeResult);
    WizardHarness w;
    TOptSet& wizard = *w.Wizard;
    int shown = 0;
    if (c.hook)
      wizard.SetReadRangeDialog([&] {
        ++shown;
        return c.rangeResult;
      });
    w.Main.Form->CommDirection = 1;
    const std::string code = w.Main.Core->ModelCode;
    w.Open();
    w.Next();
    WizardHarness::Click(wizard.RadioGroupSelect, 1);
    w.Next();
    EXPECT_EQ(shown, c.hook ? 1 : 0);
    EXPECT_EQ(w.Main.Form->CommDirection, 0);
    EXPECT_EQ(w.Main.Form->Timer2->isActive(), c.ends);
    EXPECT_EQ(wizard.result(), c.ends ? kvl::kModalOk : 0);
    EXPECT_EQ(wizard.ActivePage(), wizard.TabSheetSel);
    // Nothing of the model changes here; the read brings it.
    EXPECT_EQ(w.Main.Core->ModelCode, code);
    EXPECT_EQ(w.Main.Form->ModelNumberText, "");
    w.Main.Form->Timer2->stop();
  }
}

TEST(OptSetEntry, TheStartShowsTheWelcomePageAndTheCommandTheBasicPage) {
  WizardHarness w(0x409, [](const MainFormHarness& h) { WriteWords(h, 0, 0x91, 0, 0); });
  TOptSet& wizard = *w.Wizard;
  QWidget* page = nullptr;
  bool backShown = true;
  w.Presenter.Action = [&](kvl::TModalForm& form) {
    page = wizard.ActivePage();
    backShown = !wizard.BitBtnBackSel->isHidden();
    return form.AnswerKey(true);
  };
  // Entered with other choices shown: the showing starts from the words.
  WizardHarness::Click(wizard.RadioGroupStd, 2);
  wizard.SetActivePage(wizard.TabSheetOpt2);
  w.Main.Form->OpenWizardAtStart();
  ASSERT_EQ(w.Presenter.FormsShown, std::vector<std::string>{"Option Setup"});
  EXPECT_EQ(page, wizard.TabSheetWelcome);
  EXPECT_TRUE(backShown);
  // Enter on every page completes the choices shown.
  EXPECT_EQ(wizard.result(), kvl::kModalOk);
  EXPECT_EQ(w.Main.Form->ModelNumberText, "Q41A3D0AS000**");
  EXPECT_EQ(w.Main.Form->Caption(), "(Untitled) - KVL-Q70 - Q41A3D0AS000**");

  // The model setup command: basic page, no Back there from then on.
  wizard.RadioGroupSelect->SetItemIndex(1);
  w.Presenter.Action = [&](kvl::TModalForm& form) {
    page = wizard.ActivePage();
    backShown = !wizard.BitBtnBackSel->isHidden();
    EXPECT_EQ(wizard.RadioGroupSelect->ItemIndex(), 0);
    EXPECT_EQ(wizard.RadioGroupOut->ItemIndex(), 4);
    return form.AnswerKey(false);
  };
  EXPECT_EQ(wizard.ShowForModelSetup(), kvl::kModalCancel);
  EXPECT_EQ(page, wizard.TabSheetStd);
  EXPECT_FALSE(backShown);
  wizard.ShowAtStart();
  EXPECT_FALSE(backShown);
}

// Shown, the window opens the wizard once from its start-up timer; the grid
// has the focus afterwards.
TEST(OptSetEntry, TheStartUpTimerOpensTheWizardOnce) {
  WizardHarness w;
  TMainForm& f = *w.Main.Form;
  w.Main.KeepStartTimer = true;
  f.show();
  EXPECT_TRUE(f.Timer1->isActive());
  EXPECT_EQ(f.Timer1->interval(), 100);
  EXPECT_TRUE(f.Timer1->isSingleShot());
  EXPECT_TRUE(w.Presenter.FormsShown.empty()) << "not before the timer fires";
  ASSERT_TRUE(w.Main.WaitForStartTimer());
  EXPECT_EQ(w.Presenter.FormsShown, std::vector<std::string>{"Option Setup"});
  EXPECT_EQ(w.Wizard->ActivePage(), w.Wizard->TabSheetWelcome);
  EXPECT_EQ(f.focusWidget(), f.StrColGrid1);
  // Shown again, it does not start the timer again.
  f.hide();
  f.show();
  EXPECT_FALSE(f.Timer1->isActive());

  // Elsewhere the harness stops the timer as the window is shown.
  WizardHarness other;
  other.Main.Form->show();
  EXPECT_FALSE(other.Main.Form->Timer1->isActive());
  EXPECT_TRUE(other.Presenter.FormsShown.empty());
}

TEST(OptSetEntry, ServiceModeShowsThePreviews) {
  const struct {
    uint8_t serviceMode;
    bool bySwitch;
    bool words, number;
  } cases[] = {{0, false, false, false}, {1, false, true, false}, {1, true, true, true}};
  for (const auto& c : cases) {
    WizardHarness w;
    w.Main.Form->ServiceMode = c.serviceMode;
    w.Main.Form->ServiceModeBySwitch = c.bySwitch;
    w.Wizard->FormShow();
    EXPECT_EQ(!w.Wizard->Label1->isHidden(), c.words);
    EXPECT_EQ(!w.Wizard->StaticText1->isHidden(), c.number);
  }
}

TEST(OptSetTexts, BothLanguages) {
  const struct {
    uint16_t langId;
    const char *title, *welcomeGroup, *method0, *method1, *basicGroup, *option1Group;
    const char *cancel, *back, *next, *complete;
    int width;
    const char *firstLine, *lastLine;
    size_t lines;
    const char *basic0, *option2Item2;
  } cases[] = {
      {0x409, "Option Setup", "HANDLING PRECAUTIONS", " &0: Set model number", " &1: Read from MXQ40", "Basic Model No.",
       "Option1", "Cancel", "<&Back", "&Next>", "Complete", 700, "KVL-Q70 HANDLING PRECAUTIONS",
       "  parameters are also intialized", 19,
       "&0:Q41A Input 1 channel Digital Program Controller (single-loop model)",
       "&2:External switch inputs (12), 5 time events , RS-485 communications"},
      {0x411, "形番設定", "取扱上の注意", " &0:形番を設定する", " &1:設定をMXQ40から読み出す", "基本形番", "ｵﾌﾟｼｮﾝ1",
       "ｷｬﾝｾﾙ", "＜戻る(&B)", "次へ(&N)＞", "完了", 600, "KVL-Q70取扱上の注意",
       "　レンジコードの設定をすると、一部設定値を初期化することがあります。", 20, "&0:Q41ﾓﾃﾞﾙ",
       "&2:外部ｽｲｯﾁ入力12点､ﾀｲﾑｲﾍﾞﾝﾄ5点付き､RS-485通信付き"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    WizardHarness w(c.langId);
    TOptSet& wizard = *w.Wizard;
    EXPECT_EQ(wizard.windowTitle().toStdString(), c.title);
    EXPECT_EQ(wizard.FormCaption(), c.title);
    EXPECT_EQ(wizard.GroupBox1->title().toStdString(), c.welcomeGroup);
    EXPECT_EQ(wizard.RadioGroupSelect->Items(), (std::vector<std::string>{c.method0, c.method1}));
    EXPECT_EQ(wizard.RadioGroupStd->title().toStdString(), c.basicGroup);
    EXPECT_EQ(wizard.RadioGroupOpt1->title().toStdString(), c.option1Group);
    for (QPushButton* b : {wizard.BitBtn3, wizard.BitBtn5, wizard.BitBtn2, wizard.BitBtn4, wizard.BitBtn6, wizard.BitBtn9})
      EXPECT_EQ(b->text().toStdString(), c.cancel);
    for (QPushButton* b : {wizard.BitBtnBackWelcome, wizard.BitBtnBackSel, wizard.BitBtnBackStd, wizard.BitBtnBackOut,
                           wizard.BitBtnBackOpt1})
      EXPECT_EQ(b->text().toStdString(), c.back);
    for (QPushButton* b : {wizard.BitBtnToSel, wizard.BitBtnToStd, wizard.BitBtnToOut, wizard.BitBtnToOpt1,
                           wizard.BitBtnToOpt2})
      EXPECT_EQ(b->text().toStdString(), c.next);
    EXPECT_EQ(wizard.BitBtn1->text().toStdString(), c.complete);
    EXPECT_EQ(wizard.width(), c.width);
    const QStringList lines = wizard.RichEdit1->toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(static_cast<size_t>(lines.size()), c.lines);
    EXPECT_EQ(lines.front().toStdString(), c.firstLine);
    EXPECT_EQ(lines.back().toStdString(), c.lastLine);
    EXPECT_EQ(lines[3].toStdString(), std::string(67, '-'));
    EXPECT_EQ(wizard.RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_TRUE(wizard.RichEdit1->isReadOnly());
    EXPECT_EQ(wizard.RadioGroupStd->Items().front(), c.basic0);
    EXPECT_EQ(wizard.RadioGroupOpt2->Items().back(), c.option2Item2);
  }
}

}  // namespace
