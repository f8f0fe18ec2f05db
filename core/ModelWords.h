// The controller variant: the two hardware-type words, the loop output words
// derived from them, and the model-number wizard's four words, with the rules
// that convert between them and the output selections C75..C77.
//
// The data image owns one TModelWords (TCore::Model); the wizard window
// forwards to it. No window state is used here: the wizard's choice lists are
// held as data (TModelChoices) that the window copies into its controls.
#pragma once

#include <cstdint>
#include <string>

class TCore;

// One item list of the wizard: Texts[language][index], language 0 Japanese,
// 1 English. The characters at fixed positions of the texts make up the model
// number, so these are data, not only labels. "&" marks the accelerator.
struct TItemTable {
  int Count;
  const char* Texts[2][6];

  const char* Item(int language, int index) const { return Texts[language == 0 ? 0 : 1][index]; }
};

extern const TItemTable BasicModelTexts;   // 4 basic models
extern const TItemTable OutputTypeTexts1;  // 6 single-loop output types
extern const TItemTable OutputTypeTexts2;  // 5 two-loop output types
extern const TItemTable AuxOutputTexts1;   // no auxiliary output only
extern const TItemTable AuxOutputTexts2;   // none or one
extern const TItemTable AuxOutputTexts3;   // none, one or two
extern const TItemTable Option2Texts;      // 3 switch-input / time-event / communication options

// The wizard's four choices and the lists they are taken from. Each Select*
// applies one choice the way a click does: a changed basic model rebuilds the
// output and option-1 lists and resets both indexes to 0; a changed output
// type rebuilds the option-1 list and resets its index to 0. An index outside
// its list is brought to the nearest item, as a choice control holds it.
struct TModelChoices {
  int BasicIndex = 0;
  int OutputIndex = 0;
  int AuxIndex = 0;
  int Option2Index = 0;
  const TItemTable* OutputItems = &OutputTypeTexts1;
  const TItemTable* AuxItems = &AuxOutputTexts3;

  void SelectBasic(int index);
  void SelectOutput(int index);
  void SelectAux(int index);
  void SelectOption2(int index);

  bool IsTwoLoop() const { return BasicIndex != 0; }
  // The 14-character model number from the chosen items' texts.
  std::string ModelNumber(int language) const;
};

// What the wizard shows on its last page for the current choices.
struct TModelNumberPreview {
  std::string ModelNumber;  // e.g. "Q41A0D0AS000**"
  std::string WordsText;    // the four words as "AAAA:OOOO:PPPP:BBBB" (upper-case hexadecimal)
};

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

  // The basic model of HardwareType2 names a 2-loop model. The output code's
  // own 2-loop bit (HardwareType1 & 0x800) is what the display rules, range
  // checks and texts test; the two agree for every variant the wizard makes.
  bool BasicModelIsTwoLoop() const { return (HardwareType2 & 7) != 0; }

  // The wizard's choices to the four words and the model number. Mode 0 is a
  // preview and stores nothing; mode 1 also stores the four words (the caller
  // keeps the model number as the main window's model-number text).
  TModelNumberPreview ControlsToModel(int mode, int basicIndex, int outputIndex, int auxIndex,
                                      int option2Index);
  // HardwareType1/HardwareType2 to the wizard's choices, set in the order
  // basic, output, option 1, option 2 with the list rebuilds of each step.
  TModelChoices ModelToControls() const;
  // The four words to C75..C77, HardwareType1/HardwareType2 and C96/C97.
  void ApplyModelDefaults();
  // C75..C77 choose the member of the current output code's family; C96/C97.
  void ApplyOutputSelection();
  // HardwareType1 and C18, C41, C44, C45 to the two loop output words.
  void UpdateModelFlags();
  // Sets 0x8000 in a relay + relay heat-cool loop word when C45 is nonzero.
  void ApplyThreePositionFlag(uint16_t& word);
  // C96/C97 to the hardware-type words, the loop words and the four words.
  void LoadModelFromCore();

 private:
  // Setup parameter Cn (bank 8 item n); a parameter the catalogue lacks reads
  // as 0 and is not written.
  int16_t SetupValue(int item) const;
  void SetSetupValue(int item, int16_t value);

  TCore& Core;
};
