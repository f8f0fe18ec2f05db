#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "UCore.h"

namespace {

class ModelWordsTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);
  TModelWords& model = core->Model;

  ParamDescriptor* C(int item) { return core->GetParam(8, item, 1, 0); }
  void SetC(int item, int16_t value) {
    ParamDescriptor* d = C(item);
    ASSERT_NE(d, nullptr) << "C" << item;
    d->Value = value;
  }
  int16_t GetC(int item) {
    ParamDescriptor* d = C(item);
    EXPECT_NE(d, nullptr) << "C" << item;
    return d ? d->Value : int16_t(-12345);
  }
};

// ---- the wizard's lists ----

TEST_F(ModelWordsTest, ItemTablesHoldTheStatedCounts) {
  struct Case {
    const TItemTable* table;
    int count;
  } cases[] = {
      {&BasicModelTexts, 4}, {&OutputTypeTexts1, 6}, {&OutputTypeTexts2, 5}, {&AuxOutputTexts1, 1},
      {&AuxOutputTexts2, 2}, {&AuxOutputTexts3, 3},  {&Option2Texts, 3},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.table->Count, c.count);
    for (int language = 0; language < 2; ++language)
      for (int i = 0; i < 6; ++i)
        EXPECT_EQ(c.table->Texts[language][i] != nullptr, i < c.count) << language << "/" << i;
  }
  EXPECT_STREQ(BasicModelTexts.Item(0, 0), "&0:Q41ﾓﾃﾞﾙ");
  EXPECT_STREQ(OutputTypeTexts1.Item(1, 3), "&3:6D Voltage output(changeable to 5D output)");
  EXPECT_STREQ(Option2Texts.Item(0, 2), "&2:外部ｽｲｯﾁ入力12点､ﾀｲﾑｲﾍﾞﾝﾄ5点付き､RS-485通信付き");
  EXPECT_STREQ(Option2Texts.Item(1, 0),
               "&0:External switch inputs (4), time events not supported , RS-485 communications not supported ");
  EXPECT_STREQ(AuxOutputTexts3.Item(1, 2), "0&2:2 auxiliary output");
}

TEST_F(ModelWordsTest, ClicksRebuildTheDependentLists) {
  struct Case {
    int basic, output;
    const TItemTable *outputItems, *auxItems;
  } cases[] = {
      {0, 0, &OutputTypeTexts1, &AuxOutputTexts3}, {0, 1, &OutputTypeTexts1, &AuxOutputTexts2},
      {0, 2, &OutputTypeTexts1, &AuxOutputTexts3}, {0, 3, &OutputTypeTexts1, &AuxOutputTexts3},
      {0, 4, &OutputTypeTexts1, &AuxOutputTexts2}, {0, 5, &OutputTypeTexts1, &AuxOutputTexts2},
      {1, 0, &OutputTypeTexts2, &AuxOutputTexts2}, {2, 1, &OutputTypeTexts2, &AuxOutputTexts2},
      {3, 2, &OutputTypeTexts2, &AuxOutputTexts1}, {1, 3, &OutputTypeTexts2, &AuxOutputTexts1},
      {2, 4, &OutputTypeTexts2, &AuxOutputTexts1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.basic << "/" << c.output);
    TModelChoices choices;
    choices.SelectAux(2);
    choices.SelectBasic(c.basic);
    choices.SelectOutput(c.output);
    EXPECT_EQ(choices.OutputItems, c.outputItems);
    EXPECT_EQ(choices.AuxItems, c.auxItems);
    if (c.basic != 0 || c.output != 0) {
      EXPECT_EQ(choices.AuxIndex, 0);
    }
  }

  // Basic model 1 after output 5: output and option 1 start again at 0.
  TModelChoices choices;
  choices.SelectOutput(5);
  choices.SelectAux(1);
  choices.SelectBasic(1);
  EXPECT_EQ(choices.OutputIndex, 0);
  EXPECT_EQ(choices.AuxIndex, 0);
  EXPECT_EQ(choices.OutputItems->Count, 5);
  EXPECT_EQ(choices.AuxItems->Count, 2);
  // A change between two two-loop models resets as well; choosing the same
  // item again changes nothing.
  choices.SelectOutput(1);
  choices.SelectAux(1);
  choices.SelectOutput(1);
  EXPECT_EQ(choices.AuxIndex, 1);
  choices.SelectBasic(2);
  EXPECT_EQ(choices.OutputIndex, 0);
  EXPECT_EQ(choices.AuxIndex, 0);
  // Indexes are held inside their lists.
  choices.SelectOutput(9);
  EXPECT_EQ(choices.OutputIndex, 4);
  choices.SelectAux(1);
  EXPECT_EQ(choices.AuxIndex, 0);
  choices.SelectOption2(-3);
  EXPECT_EQ(choices.Option2Index, 0);
  choices.SelectBasic(7);
  EXPECT_EQ(choices.BasicIndex, 3);
}

// ---- choices to words and back ----

// Every combination that the lists offer: the wizard's model number is the
// model code of the words it produces, and the words give the same choices back.
TEST_F(ModelWordsTest, EveryOfferedCombinationRoundTrips) {
  auto japanese = std::make_unique<TCore>(0);
  int combinations = 0;
  for (int basic = 0; basic < BasicModelTexts.Count; ++basic) {
    TModelChoices byBasic;
    byBasic.SelectBasic(basic);
    for (int output = 0; output < byBasic.OutputItems->Count; ++output) {
      TModelChoices byOutput = byBasic;
      byOutput.SelectOutput(output);
      for (int aux = 0; aux < byOutput.AuxItems->Count; ++aux) {
        for (int option2 = 0; option2 < Option2Texts.Count; ++option2) {
          SCOPED_TRACE(testing::Message() << basic << "/" << output << "/" << aux << "/" << option2);
          ++combinations;
          const TModelNumberPreview preview = model.ControlsToModel(1, basic, output, aux, option2);
          EXPECT_EQ(japanese->Model.ControlsToModel(1, basic, output, aux, option2).ModelNumber,
                    preview.ModelNumber);
          char words[24];
          std::snprintf(words, sizeof words, "%04X:%04X:%04X:%04X", model.AuxWord, model.OutputWord,
                        model.Option2Word, model.BasicWord);
          EXPECT_EQ(preview.WordsText, words);

          model.ApplyModelDefaults();
          core->BuildModelCode();
          EXPECT_EQ(core->ModelCode, preview.ModelNumber);
          EXPECT_EQ(static_cast<uint16_t>(GetC(96)), model.HardwareType1);
          EXPECT_EQ(static_cast<uint16_t>(GetC(97)), model.HardwareType2);

          const TModelChoices back = model.ModelToControls();
          EXPECT_EQ(back.BasicIndex, basic);
          EXPECT_EQ(back.OutputIndex, output);
          EXPECT_EQ(back.AuxIndex, aux);
          EXPECT_EQ(back.Option2Index, option2);
          EXPECT_EQ(back.OutputItems, byOutput.OutputItems);
          EXPECT_EQ(back.AuxItems, byOutput.AuxItems);

          // The selections the defaults wrote describe the same code again,
          // and reloading from C96/C97 gives back the four words.
          const uint16_t h1 = model.HardwareType1, h2 = model.HardwareType2;
          const uint16_t w[4] = {model.AuxWord, model.OutputWord, model.Option2Word, model.BasicWord};
          model.ApplyOutputSelection();
          EXPECT_EQ(model.HardwareType1, h1);
          model.AuxWord = model.OutputWord = model.Option2Word = model.BasicWord = 0x5555;
          model.HardwareType1 = model.HardwareType2 = 0x5555;
          model.LoadModelFromCore();
          EXPECT_EQ(model.HardwareType1, h1);
          EXPECT_EQ(model.HardwareType2, h2);
          EXPECT_EQ(model.AuxWord, w[0]);
          EXPECT_EQ(model.OutputWord, w[1]);
          EXPECT_EQ(model.Option2Word, w[2]);
          EXPECT_EQ(model.BasicWord, w[3]);
        }
      }
    }
  }
  EXPECT_EQ(combinations, 108);
}

TEST_F(ModelWordsTest, ControlsToModelWordsAndTexts) {
  struct Case {
    int basic, output, aux, option2;
    uint16_t auxWord, outputWord, option2Word, basicWord;
    const char* number;
    const char* words;
  } cases[] = {
      {0, 0, 0, 0, 0, 0x01, 0, 0, "Q41A0D0AS000**", "0000:0001:0000:0000"},
      {0, 0, 1, 0, 0x4000, 0x01, 0, 0, "Q41A0D0AS010**", "4000:0001:0000:0000"},
      {0, 1, 1, 1, 0x8000, 0x08, 0x30, 0, "Q41A2G0AS011**", "8000:0008:0030:0000"},
      {0, 2, 2, 2, 0xC000, 0x04, 0xB0, 0, "Q41A5G0AS022**", "C000:0004:00B0:0000"},
      {0, 3, 1, 0, 0x4000, 0x02, 0, 0, "Q41A6D0AS010**", "4000:0002:0000:0000"},
      {0, 4, 1, 0, 0x8000, 0x91, 0, 0, "Q41A3D0AS010**", "8000:0091:0000:0000"},
      {0, 5, 1, 2, 0x8000, 0xC4, 0xB0, 0, "Q41A5K0AS012**", "8000:00C4:00B0:0000"},
      {1, 0, 1, 1, 0x8000, 0x841, 0x30, 1, "Q42A0D1AS011**", "8000:0841:0030:0001"},
      {2, 1, 0, 0, 0, 0x844, 0, 2, "Q42A5G2AS000**", "0000:0844:0000:0002"},
      {3, 2, 0, 2, 0, 0xC08, 0xB0, 4, "Q42A2G3AS002**", "0000:0C08:00B0:0004"},
      {3, 4, 0, 1, 0, 0xCC4, 0x30, 4, "Q42A5K3AS001**", "0000:0CC4:0030:0004"},
      // Heat-cool with output 3 offers no auxiliary output: option 1 stays at
      // its only item.
      {2, 3, 1, 2, 0, 0xC91, 0xB0, 2, "Q42A3D2AS002**", "0000:0C91:00B0:0002"},
      // Indexes outside their lists are held at the nearest item.
      {0, 1, 2, 0, 0x8000, 0x08, 0, 0, "Q41A2G0AS010**", "8000:0008:0000:0000"},
      {5, 7, 3, 9, 0, 0xCC4, 0xB0, 4, "Q42A5K3AS002**", "0000:0CC4:00B0:0004"},
      {-1, -1, -1, -1, 0, 0x01, 0, 0, "Q41A0D0AS000**", "0000:0001:0000:0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.basic << "/" << c.output << "/" << c.aux << "/" << c.option2);
    model.AuxWord = 0x1111;
    model.OutputWord = 0x2222;
    model.Option2Word = 0x3333;
    model.BasicWord = 0x4444;
    const TModelNumberPreview preview = model.ControlsToModel(0, c.basic, c.output, c.aux, c.option2);
    EXPECT_EQ(preview.ModelNumber, c.number);
    EXPECT_EQ(preview.WordsText, c.words);
    // The preview stores nothing.
    EXPECT_EQ(model.AuxWord, 0x1111);
    EXPECT_EQ(model.OutputWord, 0x2222);
    EXPECT_EQ(model.Option2Word, 0x3333);
    EXPECT_EQ(model.BasicWord, 0x4444);

    const TModelNumberPreview stored = model.ControlsToModel(1, c.basic, c.output, c.aux, c.option2);
    EXPECT_EQ(stored.ModelNumber, c.number);
    EXPECT_EQ(model.AuxWord, c.auxWord);
    EXPECT_EQ(model.OutputWord, c.outputWord);
    EXPECT_EQ(model.Option2Word, c.option2Word);
    EXPECT_EQ(model.BasicWord, c.basicWord);
  }
}

TEST_F(ModelWordsTest, ModelToControlsFromTheWords) {
  struct Case {
    uint16_t h1, h2;
    int basic, output, aux, option2;
  } cases[] = {
      {0x0001, 0x00, 0, 0, 0, 0},
      {0xC002, 0x30, 0, 3, 2, 1},
      {0x40A2, 0xB0, 0, 5, 1, 2},
      {0x80C2, 0x00, 0, 5, 1, 0},
      {0xC008, 0x00, 0, 1, 1, 0},  // two auxiliary bits, but a list of two items
      {0x8821, 0xB1, 1, 0, 1, 2},
      {0x0842, 0x02, 2, 1, 0, 0},
      {0xCAA4, 0x04, 3, 4, 0, 0},  // no auxiliary output with output 3
      {0x0A08, 0x34, 3, 2, 0, 1},
      {0x0844, 0x03, 0, 0, 0, 0},  // basic model 3 is shown as single-loop
      {0x0002, 0x05, 0, 3, 0, 0},
      {0x0005, 0x00, 0, 0, 0, 0},  // not a code
      {0x0004, 0x01, 1, 0, 0, 0},  // a single-loop code on a two-loop model
      {0x4005, 0x00, 0, 0, 1, 0},
      {0x0001, 0x10, 0, 0, 0, 0},
      {0x0001, 0xF0, 0, 0, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.h1 << "/" << c.h2);
    model.HardwareType1 = c.h1;
    model.HardwareType2 = c.h2;
    const TModelChoices choices = model.ModelToControls();
    EXPECT_EQ(choices.BasicIndex, c.basic);
    EXPECT_EQ(choices.OutputIndex, c.output);
    EXPECT_EQ(choices.AuxIndex, c.aux);
    EXPECT_EQ(choices.Option2Index, c.option2);
    EXPECT_EQ(choices.OutputItems->Count, c.basic ? 5 : 6);
  }
}

// ---- the words and the output selections ----

TEST_F(ModelWordsTest, ApplyModelDefaultsWritesSelectionsAndWords) {
  struct Case {
    uint16_t aux, output, option2, basic;
    int16_t c75, c76, c77;  // 9 = left as it was
    uint16_t h1, h2;
  } cases[] = {
      {0, 0x02, 0, 0, 1, 9, 9, 0x0002, 0x00},
      {0x4000, 0x04, 0x30, 0, 0, 9, 9, 0x4004, 0x30},
      {0, 0x01, 0, 0, 9, 9, 9, 0x0001, 0x00},
      {0xC000, 0x08, 0, 0, 9, 9, 9, 0xC008, 0x00},
      {0x8000, 0x91, 0xB0, 0, 9, 9, 9, 0x8091, 0xB0},
      {0, 0xC4, 0, 0, 0, 0, 9, 0x00C4, 0x00},
      {0, 0xC2, 0, 0, 1, 0, 9, 0x00C2, 0x00},
      {0, 0xA2, 0, 0, 1, 1, 9, 0x00A2, 0x00},
      {0x8000, 0x841, 0, 1, 9, 0, 9, 0x8841, 0x01},
      {0, 0x821, 0, 2, 9, 1, 9, 0x0821, 0x02},
      {0, 0x844, 0, 1, 0, 0, 9, 0x0844, 0x01},
      {0, 0x824, 0, 4, 0, 1, 9, 0x0824, 0x04},
      {0, 0xC08, 0, 1, 9, 9, 0, 0x0C08, 0x01},
      {0, 0xA91, 0, 1, 9, 9, 1, 0x0A91, 0x01},
      {0, 0xCC4, 0, 2, 0, 0, 0, 0x0CC4, 0x02},
      {0, 0xAC2, 0, 2, 1, 0, 1, 0x0AC2, 0x02},
      {0, 0xAA2, 0, 4, 1, 1, 1, 0x0AA2, 0x04},
      // A code of the other model leaves all three selections.
      {0, 0x844, 0, 0, 9, 9, 9, 0x0844, 0x00},
      {0, 0x04, 0, 1, 9, 9, 9, 0x0004, 0x01},
      {0, 0x05, 0, 0, 9, 9, 9, 0x0005, 0x00},
      // Only the masked bits of each word are taken.
      {0xFFFF, 0x3104, 0xFF, 0, 0, 9, 9, 0xC004, 0xB0},
      {0x0100, 0x0821, 0x40, 0x0F, 9, 1, 9, 0x0821, 0x07},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.output << "/" << c.basic);
    SetC(75, 9);
    SetC(76, 9);
    SetC(77, 9);
    SetC(96, 0);
    SetC(97, 0);
    model.AuxWord = c.aux;
    model.OutputWord = c.output;
    model.Option2Word = c.option2;
    model.BasicWord = c.basic;
    model.ApplyModelDefaults();
    EXPECT_EQ(GetC(75), c.c75);
    EXPECT_EQ(GetC(76), c.c76);
    EXPECT_EQ(GetC(77), c.c77);
    EXPECT_EQ(model.HardwareType1, c.h1);
    EXPECT_EQ(model.HardwareType2, c.h2);
    EXPECT_EQ(static_cast<uint16_t>(GetC(96)), c.h1);
    EXPECT_EQ(static_cast<uint16_t>(GetC(97)), c.h2);
  }
}

TEST_F(ModelWordsTest, VoltageChoiceFollowsItsSelection) {
  SetC(76, 5);
  SetC(77, 6);
  model.ControlsToModel(1, 0, 3, 0, 0);  // single-loop voltage output
  model.ApplyModelDefaults();
  EXPECT_EQ(model.HardwareType1, 0x02);
  EXPECT_EQ(GetC(75), 1);
  EXPECT_EQ(GetC(76), 5);
  EXPECT_EQ(GetC(77), 6);

  SetC(75, 0);
  model.ApplyOutputSelection();
  EXPECT_EQ(model.HardwareType1, 0x04);
  EXPECT_EQ(GetC(96), 0x04);
}

TEST_F(ModelWordsTest, ApplyOutputSelectionPicksTheFamilyMember) {
  struct Case {
    uint16_t h1, h2;
    int16_t c75, c76, c77;
    uint16_t expected;
  } cases[] = {
      // Single-loop.
      {0x0004, 0x00, 1, 0, 0, 0x0002},
      {0x0002, 0x00, 0, 1, 1, 0x0004},
      {0x0004, 0x00, -1, 0, 0, 0x0002},
      {0x00C4, 0x00, 0, 0, 1, 0x00C4},
      {0x00C4, 0x00, 1, 0, 0, 0x00C2},
      {0x00A2, 0x00, 0, 1, 0, 0x00A4},
      {0x00C4, 0x00, 1, 1, 0, 0x00A2},
      {0x00A2, 0x00, 2, 0, 0, 0x00A4},  // n = 2
      {0x00A2, 0x00, 2, 1, 0, 0x00C4},  // n = 4, out of range
      {0x00A2, 0x00, -1, 0, 0, 0x00C4},
      {0x0001, 0x00, 1, 1, 1, 0x0001},
      {0x0008, 0x00, 1, 1, 1, 0x0008},
      {0x0091, 0x00, 1, 1, 1, 0x0091},
      {0x7191, 0x00, 1, 1, 1, 0x4091},  // bit 0x100 and bits 12, 13 cleared, auxiliary kept
      {0x0844, 0x00, 1, 1, 1, 0x0844},  // a two-loop code on a single-loop model
      {0x0005, 0x30, 1, 1, 1, 0x0005},
      // Two-loop.
      {0x0841, 0x01, 0, 1, 0, 0x0821},
      {0x0821, 0x02, 1, 0, 1, 0x0841},
      {0x0844, 0x01, 1, 1, 0, 0x0822},
      {0x0822, 0x04, 1, 0, 0, 0x0842},
      {0x0842, 0x01, 0, 1, 0, 0x0824},
      {0x0822, 0x01, 1, 2, 0, 0x0844},  // n = 5, out of range
      {0x0C08, 0x01, 0, 0, 1, 0x0A08},
      {0x0A08, 0x01, 1, 1, 0, 0x0C08},
      {0x0C91, 0x02, 0, 0, 3, 0x0A91},
      {0x0A91, 0x02, 1, 1, 0, 0x0C91},
      {0x0CC4, 0x01, 1, 0, 1, 0x0AC2},  // n = 5
      {0x0CC4, 0x01, 1, 0, 2, 0x0CC4},  // n = 9, out of range
      {0x0AA2, 0x01, -1, 0, 0, 0x0CC4},
      {0x0CC4, 0x04, 1, 1, 1, 0x0AA2},
      {0x0CC4, 0x01, 0, 1, 0, 0x0CA4},
      {0x0AC2, 0x01, 0, 0, 0, 0x0CC4},
      {0x8844, 0x01, 1, 0, 0, 0x8842},  // auxiliary bit kept
      {0x0CC4, 0x03, 1, 1, 1, 0x0AA2},  // basic model 3 counts as two-loop here
      {0x0004, 0x01, 1, 0, 0, 0x0004},  // a single-loop code on a two-loop model
      {0x3A91, 0xB1, 0, 0, 0, 0x0C91},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.h1 << "/" << c.h2 << std::dec << " C75-77 " << c.c75 << ","
                                    << c.c76 << "," << c.c77);
    SetC(75, c.c75);
    SetC(76, c.c76);
    SetC(77, c.c77);
    SetC(96, 0);
    SetC(97, 0);
    model.HardwareType1 = c.h1;
    model.HardwareType2 = c.h2;
    model.ApplyOutputSelection();
    EXPECT_EQ(model.HardwareType1, c.expected);
    EXPECT_EQ(model.HardwareType2, c.h2);
    EXPECT_EQ(static_cast<uint16_t>(GetC(96)), c.expected);
    EXPECT_EQ(static_cast<uint16_t>(GetC(97)), c.h2);
    EXPECT_EQ(GetC(75), c.c75);  // the selections are only read
  }
}

TEST_F(ModelWordsTest, UpdateModelFlagsSplitsOutputsByLoop) {
  struct Case {
    uint16_t h1, h2;
    int16_t c18, c41, c44, c45;
    uint16_t loop1, loop2;
  } cases[] = {
      // Two-loop, heat-cool or position-proportional: outputs 1 and 2 on one
      // loop, output 3 on the other.
      {0x0C91, 0x02, 0, 0, 0, 1, 0x8091, 0x0400},
      {0x0C91, 0x02, 0, 1, 0, 1, 0x8091, 0x2400},
      {0x0C91, 0x02, 1, 1, 1, 1, 0x2400, 0x8091},
      {0x0A91, 0x01, 1, 1, 0, 0, 0x0091, 0x0200},
      {0x0A91, 0x01, 1, 1, 1, 0, 0x0200, 0x0091},
      {0x0CC4, 0x01, 1, 1, 0, 1, 0x00C4, 0x2400},
      {0x0CC4, 0x01, 0, 1, 1, 0, 0x0400, 0x00C4},
      {0x0C08, 0x01, 1, 0, 0, 0, 0x0008, 0x0400},
      {0x0A08, 0x04, 1, 1, 1, 1, 0x0200, 0x0008},
      {0x8C91, 0x02, 0, -1, 0, -1, 0x8091, 0x2400},  // auxiliary bit masked off; nonzero is enough
      // Two-loop, one output each.
      {0x0844, 0x01, 1, 1, 0, 0, 0x2004, 0x2040},
      {0x0844, 0x01, 1, 1, 1, 0, 0x2040, 0x2004},
      {0x0844, 0x01, 0, 0, 0, 0, 0x0004, 0x0040},
      {0x0844, 0x01, 1, 0, 1, 0, 0x2040, 0x0004},
      {0x0822, 0x01, 1, 1, 0, 0, 0x0002, 0x0020},
      {0x0841, 0x01, 1, 1, 0, 1, 0x0001, 0x2040},
      {0x0821, 0x01, 0, 1, 1, 1, 0x0020, 0x0001},
      // Single-loop.
      {0x0004, 0x00, 1, 1, 1, 1, 0x2004, 0x0000},
      {0x0004, 0x00, 0, 1, 1, 1, 0x0004, 0x0000},
      {0x00C4, 0x00, 1, 0, 0, 0, 0x00C4, 0x0000},
      {0x0002, 0x00, 1, 0, 0, 0, 0x0002, 0x0000},
      {0x0091, 0x00, 0, 0, 0, 1, 0x8091, 0x0000},
      {0x0091, 0x00, 0, 0, 0, 0, 0x0091, 0x0000},
      {0xC191, 0x00, 0, 0, 0, 1, 0x8091, 0x0000},  // bit 0x100 and auxiliary bits masked off
      {0x0004, 0x01, 1, 1, 0, 0, 0x2004, 0x0000},  // the loop split follows bit 0x800 only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.h1 << std::dec << " C18 " << c.c18 << " C41 " << c.c41
                                    << " C44 " << c.c44 << " C45 " << c.c45);
    SetC(18, c.c18);
    SetC(41, c.c41);
    SetC(44, c.c44);
    SetC(45, c.c45);
    model.HardwareType1 = c.h1;
    model.HardwareType2 = c.h2;
    model.Loop1OutputWord = model.Loop2OutputWord = 0x5555;
    model.UpdateModelFlags();
    EXPECT_EQ(model.Loop1OutputWord, c.loop1);
    EXPECT_EQ(model.Loop2OutputWord, c.loop2);
    EXPECT_EQ(model.HardwareType1, c.h1);
  }
}

TEST_F(ModelWordsTest, ThreePositionFlagNeedsRelayPlusRelayHeatCool) {
  struct Case {
    uint16_t word;
    int16_t c45;
    uint16_t expected;
  } cases[] = {
      {0x0091, 1, 0x8091}, {0x0091, -2, 0x8091}, {0x0091, 0, 0x0091}, {0x0011, 1, 0x0011},
      {0x0081, 1, 0x0081}, {0x0090, 1, 0x0090}, {0x00C4, 1, 0x00C4}, {0x2091, 1, 0xA091},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.word << " C45 " << c.c45);
    SetC(45, c.c45);
    uint16_t word = c.word;
    model.ApplyThreePositionFlag(word);
    EXPECT_EQ(word, c.expected);
  }
}

TEST_F(ModelWordsTest, LoadModelFromCoreTakesC96AndC97) {
  SetC(96, static_cast<int16_t>(0x8C91));
  SetC(97, 0xB2);
  SetC(41, 1);
  SetC(44, 0);
  SetC(45, 1);
  model.LoadModelFromCore();
  EXPECT_EQ(model.HardwareType1, 0x8C91);
  EXPECT_EQ(model.HardwareType2, 0xB2);
  EXPECT_EQ(model.Loop1OutputWord, 0x8091);
  EXPECT_EQ(model.Loop2OutputWord, 0x2400);
  EXPECT_EQ(model.AuxWord, 0x8000);
  EXPECT_EQ(model.OutputWord, 0xC91);
  EXPECT_EQ(model.Option2Word, 0xB0);
  EXPECT_EQ(model.BasicWord, 2);
  core->BuildModelCode();
  EXPECT_EQ(core->ModelCode, "Q42A3D2AS012**");
  // Loaded words keep their family member; the wizard shows its family and no
  // auxiliary output, the only choice there.
  const TModelChoices choices = model.ModelToControls();
  EXPECT_EQ(choices.BasicIndex, 2);
  EXPECT_EQ(choices.OutputIndex, 3);
  EXPECT_EQ(choices.AuxIndex, 0);
  EXPECT_EQ(choices.Option2Index, 2);

  SetC(96, 0x7191);
  SetC(97, 0x4F);
  model.LoadModelFromCore();
  EXPECT_EQ(model.HardwareType1, 0x7191);
  EXPECT_EQ(model.AuxWord, 0x4000);
  EXPECT_EQ(model.OutputWord, 0x091);
  EXPECT_EQ(model.Option2Word, 0x00);
  EXPECT_EQ(model.BasicWord, 7);
}

}  // namespace
