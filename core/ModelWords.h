// The controller variant: the two hardware-type words, the loop output words
// derived from them, and the model-number wizard's four words, with the rules
// that convert between them and the output selections C75..C77.
//
// The data image owns one TModelWords (TCore::Model); the wizard window
// forwards to it. No window state is used here.
#pragma once

#include <cstdint>
#include <string>

class TCore;

class TModelWords {
 public:
  explicit TModelWords(TCore& core) : Core(core) {}

  // Program-wide words, mirrored in C96 and C97.
  uint16_t HardwareType1 = 0;
  uint16_t HardwareType2 = 0;
  uint16_t Loop1OutputWord = 0;
  uint16_t Loop2OutputWord = 0;

  // The wizard's last choice (registry values OPT0..OPT3).
  uint16_t AuxWord = 0;
  uint16_t OutputWord = 1;
  uint16_t Option2Word = 0;
  uint16_t BasicWord = 0;

  bool IsTwoLoop() const { return (HardwareType2 & 7) != 0; }

 private:
  TCore& Core;
};
