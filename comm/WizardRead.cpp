#include "WizardRead.h"

#include "CommDialogRules.h"
#include "OptSet.h"
#include "UCommunication.h"

namespace kvl {

void ConnectWizardRead(TOptSet& wizard, TCommunication& range) {
  wizard.SetReadRangeDialog([&range] {
    range.SetRange(RangeForWizardRead());
    return range.Execute();
  });
}

}  // namespace kvl
