// The model-number wizard's read choice goes through the range dialog: the
// programs cleared, the parameters ticked and fixed.
#pragma once

class TCommunication;
class TOptSet;

namespace kvl {

// From now on the wizard's read choice shows `range` set for it.
void ConnectWizardRead(TOptSet& wizard, TCommunication& range);

}  // namespace kvl
