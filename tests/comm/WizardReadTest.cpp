// The wizard's read choice through the real range and confirmation dialogs.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "CommWindowsFixture.h"
#include "OptSet.h"
#include "WizardRead.h"

namespace {

using commuitest::CommWindowsTest;

TEST_F(CommWindowsTest, WizardReadChoiceShowsTheRangeForTheParametersAlone) {
  const struct {
    const char* name;
    uint16_t langId;
    bool rangeOk;  // Enter or Esc on the range dialog
    bool confirm;  // the confirmation's answer
    bool reads;
    const char* question;
  } cases[] = {
      {"confirmed", 0x409, true, true, true, "Start to read?"},
      {"confirmation refused", 0x411, true, false, false, "読出しを実行します"},
      {"range cancelled", 0x409, false, false, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    Start(c.langId);
    TOptSet wizard(*Main, *Core, Presenter);
    kvl::ConnectWizardRead(wizard, *Range);
    Main->CommDirection = 1;
    kvl::RangeChoice boxes;
    std::string asked;
    Presenter.FormActions = {[&](kvl::TModalForm& form) {
                               boxes = Range->Range();
                               return form.AnswerKey(c.rangeOk);
                             },
                             [&](kvl::TModalForm& form) {
                               asked = dynamic_cast<Tcommdialog&>(form).Question();
                               return form.AnswerKey(c.confirm);
                             }};
    wizard.ModelToControls();
    wizard.SetActivePage(wizard.TabSheetSel);
    wizard.RadioGroupSelect->Button(1)->click();
    wizard.BitBtnToStd->click();
    EXPECT_EQ(boxes, kvl::RangeForWizardRead());
    EXPECT_FALSE(Range->CheckParameter->isEnabled());
    EXPECT_EQ(asked, c.question);
    EXPECT_EQ(Main->CommDirection, 0);
    EXPECT_EQ(Main->Timer2->isActive(), c.reads);
    EXPECT_EQ(wizard.result(), c.reads ? kvl::kModalOk : 0);
    EXPECT_EQ(wizard.ActivePage(), wizard.TabSheetSel);
    EXPECT_TRUE(Presenter.Shown.empty());
    Main->Timer2->stop();
  }
}

}  // namespace
