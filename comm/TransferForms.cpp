#include "TransferForms.h"

#include "ComSet.h"
#include "CommDialogRules.h"
#include "UCommunication.h"
#include "progress.h"

void TTransferFormsLink::SetRange(bool checkProgram, bool checkParameter, bool parameterEnabled) {
  kvl::RangeChoice choice;
  choice.CheckProgram = checkProgram;
  choice.CheckParameter = checkParameter;
  choice.ParameterEnabled = parameterEnabled;
  Range.SetRange(choice);
}

bool TTransferFormsLink::ProgramChecked() const { return Range.Range().CheckProgram; }
bool TTransferFormsLink::ParameterChecked() const { return Range.Range().CheckParameter; }
int TTransferFormsLink::ExecuteRange() { return Range.Execute(); }
void TTransferFormsLink::SetProgressCaption(int direction) { Progress.SetDirectionCaption(direction); }
int TTransferFormsLink::ExecuteProgress() { return Progress.Execute(); }

int TTransferFormsLink::ExecuteEnvironment() {
  Environment.PrepareForShow();
  return Environment.Execute();
}
