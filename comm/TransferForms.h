// The transfer windows as the main window's read, write and environment
// commands reach them.
#pragma once

#include "mainform.h"

class TComSet;
class TCommProg;
class TCommunication;

class TTransferFormsLink : public TMainForm::TTransferForms {
 public:
  TTransferFormsLink(TCommunication& range, TCommProg& progress, TComSet& environment)
      : Range(range), Progress(progress), Environment(environment) {}

  void SetRange(bool checkProgram, bool checkParameter, bool parameterEnabled) override;
  bool ProgramChecked() const override;
  bool ParameterChecked() const override;
  int ExecuteRange() override;
  void SetProgressCaption(int direction) override;
  int ExecuteProgress() override;
  int ExecuteEnvironment() override;

 private:
  TCommunication& Range;
  TCommProg& Progress;
  TComSet& Environment;
};
