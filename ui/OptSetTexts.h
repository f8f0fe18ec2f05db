// The model-number wizard's texts by language: title, page group titles,
// the method choice, button captions, the welcome text, and the form width.
// Pure data; the window applies it.
#pragma once

#include <string>
#include <vector>

namespace kvl {

struct OptSetTexts {
  std::string Caption;        // the form title
  std::string WelcomeGroup;   // GroupBox1 around the welcome text
  std::string MethodGroup;    // RadioGroupSelect
  std::string MethodItems[2];  // set the model number, read from the controller
  std::string BasicGroup;     // RadioGroupStd
  std::string OutputGroup;    // RadioGroupOut
  std::string Option1Group;   // RadioGroupOpt1
  std::string Option2Group;   // RadioGroupOpt2
  std::string Cancel;
  std::string Back;
  std::string Next;
  std::string Complete;
  int FormWidth = 0;          // pixels
};

// 0 Japanese, anything else English.
OptSetTexts WizardTexts(int language);

// The lines of the welcome page's handling precautions.
std::vector<std::string> WelcomeLines(int language);

}  // namespace kvl
