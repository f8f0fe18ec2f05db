// The start-up catalogue: counts, order, keys, addresses, names and kinds, and
// the lookups of the data image that depend on its contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "Cp932.h"
#include "UCore.h"

namespace {

struct BankShape {
  int bank;
  int records;
  int items;         // rows per sub
  int subs;          // columns
  int firstAddress;  // address of item 1, sub 1
  int subStride;     // address step from one sub to the next (0: one sub only)
  int mnemonicWidth;  // blank-padded mnemonic between the first two colons (0: none)
};

constexpr BankShape kBanks[] = {
    {3, 33, 33, 1, 2501, 0, 5},  {4, 22, 22, 1, 3001, 0, 6},    {5, 36, 36, 1, 3501, 0, 5},
    {6, 80, 10, 8, 1501, 10, 2}, {7, 80, 10, 8, 2001, 10, 4},   {8, 100, 100, 1, 4501, 0, 0},
    {9, 66, 11, 6, 4001, 11, 0}, {10, 50, 50, 1, 1001, 0, 5},
};

const BankShape* ShapeOf(int bank) {
  for (const BankShape& s : kBanks)
    if (s.bank == bank) return &s;
  return nullptr;
}

TEST(CatalogueTest, CountsPerBank) {
  EXPECT_EQ(kProgramItemCount + kSetupParamCount, 493);
  EXPECT_EQ(kProgramItemCount, 26);
  EXPECT_EQ(kSetupParamCount, 467);
  int total = 0;
  for (const BankShape& s : kBanks) {
    SCOPED_TRACE(s.bank);
    const int n = static_cast<int>(std::count_if(std::begin(kSetupParamRecords), std::end(kSetupParamRecords),
                                                 [&](const ParamDescriptor& d) { return d.Bank == s.bank; }));
    EXPECT_EQ(n, s.records);
    EXPECT_EQ(s.items * s.subs, s.records);
    // The tree shows each bank as a grid of its subs and items.
    EXPECT_EQ(kTreeNodeRecords[s.bank].ColumnCount, static_cast<uint32_t>(s.subs));
    EXPECT_EQ(kTreeNodeRecords[s.bank].RowCount, static_cast<uint32_t>(s.items));
    total += n;
  }
  EXPECT_EQ(total, kSetupParamCount);
}

TEST(CatalogueTest, TableOrderAndAddressRule) {
  int previousBank = 0;
  int previousAddress = 0;
  for (int r = 0; r < kSetupParamCount; ++r) {
    const ParamDescriptor& d = kSetupParamRecords[r];
    SCOPED_TRACE(testing::Message() << "record " << r << " address " << d.Address);
    const BankShape* s = ShapeOf(d.Bank);
    ASSERT_NE(s, nullptr);
    ASSERT_GE(d.Bank, previousBank);  // banks 3, 4, ..., 10
    if (d.Bank == previousBank) {
      EXPECT_GT(d.Address, previousAddress);
    }
    ASSERT_GE(d.Item, 1);
    ASSERT_LE(d.Item, s->items);
    ASSERT_GE(d.Sub, 1);
    ASSERT_LE(d.Sub, s->subs);
    EXPECT_EQ(d.Address, s->firstAddress + s->subStride * (d.Sub - 1) + (d.Item - 1));
    // Inside a bank: sub by sub, item by item, without gaps.
    const int position = (d.Sub - 1) * s->items + (d.Item - 1);
    int bankStart = 0;
    for (const BankShape& b : kBanks) {
      if (b.bank == d.Bank) break;
      bankStart += b.records;
    }
    EXPECT_EQ(r, bankStart + position);
    previousBank = d.Bank;
    previousAddress = d.Address;
  }
}

TEST(CatalogueTest, KeysAndAddressesAreDistinct) {
  std::set<int> addresses;
  std::set<std::pair<int, std::pair<int, int>>> keys;
  for (const ParamDescriptor& d : kSetupParamRecords) {
    EXPECT_TRUE(addresses.insert(d.Address).second) << d.Address;
    EXPECT_TRUE(keys.insert({d.Bank, {d.Item, d.Sub}}).second) << d.Address;
    EXPECT_GE(d.Address, 1001);
    EXPECT_LE(d.Address, 4600);
  }
  EXPECT_EQ(addresses.size(), 467u);
  EXPECT_EQ(keys.size(), 467u);
}

TEST(CatalogueTest, ProgramItemRecords) {
  for (int r = 0; r < kProgramItemCount; ++r) {
    const ParamDescriptor& d = kProgramItemRecords[r];
    SCOPED_TRACE(r);
    EXPECT_EQ(d.Bank, 1);
    EXPECT_EQ(d.Item, r + 1);
    EXPECT_EQ(d.Sub, 1);
    // Item number inside the program frame: per segment 1..23, per pattern 1..3.
    EXPECT_EQ(d.Address, d.Item <= 23 ? d.Item : d.Item - 23);
    EXPECT_EQ(d.Attribute, 3);
    EXPECT_EQ(d.Group, 1);
    // The mnemonic alone, blank-padded to six characters, in both languages.
    ASSERT_GE(std::strlen(d.NameEn), 7u);
    EXPECT_EQ(d.NameEn[6], ':');
    EXPECT_EQ(std::string(d.NameJa, 7), std::string(d.NameEn, 7));
  }
}

TEST(CatalogueTest, FieldsEveryRecordShares) {
  auto check = [](const ParamDescriptor& d) {
    SCOPED_TRACE(testing::Message() << d.Bank << "/" << d.Item << "/" << d.Sub);
    const bool c96 = d.Bank == 8 && d.Item == 96;
    EXPECT_EQ(d.Value, c96 ? 1 : 0);
    EXPECT_EQ(d.ReceivedValue, 0);
    EXPECT_STREQ(d.NameThird, " ");
    EXPECT_EQ(d.EntryKind, 0);
    EXPECT_TRUE(d.Attribute == 1 || d.Attribute == 3);
    EXPECT_TRUE(d.Group == 1 || d.Group == 2);
    EXPECT_LE(d.RangeTextKind, 77);
    EXPECT_LE(d.DefaultKind, 42);
    EXPECT_LE(d.RangeCheckKind, 63);
    EXPECT_LE(d.FormatKind, 18);
    EXPECT_LE(d.ChoiceTableId, 48);
    EXPECT_LE(d.DisplayConditionKind, 101);
    if (d.Bank != 6 && d.Bank != 7 && d.Bank != 9) {
      EXPECT_EQ(d.Sub, 1);
    }
  };
  for (const ParamDescriptor& d : kProgramItemRecords) check(d);
  for (const ParamDescriptor& d : kSetupParamRecords) check(d);
}

TEST(CatalogueTest, ReadOnlyAndDeviceIdentificationRecords) {
  const std::set<std::pair<int, int>> readOnly = {
      {3, 30},  {5, 14},  {5, 15},  {5, 16},  {8, 83},  {8, 86},  {8, 87},  {8, 88},  {8, 89},  {8, 91},
      {8, 92},  {8, 95},  {8, 96},  {8, 97},  {8, 98},  {8, 99},  {8, 100}, {10, 7},  {10, 8},  {10, 9},
      {10, 10}, {10, 27}, {10, 28}, {10, 29}, {10, 30}, {10, 47}, {10, 48}, {10, 49}, {10, 50},
  };
  const std::set<std::pair<int, int>> group2 = {{8, 91}, {8, 92}, {8, 96}, {8, 97}, {8, 98}, {8, 99}, {8, 100}};
  ASSERT_EQ(readOnly.size(), 29u);
  std::set<std::pair<int, int>> foundReadOnly, foundGroup2;
  for (const ParamDescriptor& d : kSetupParamRecords) {
    if (d.Attribute == 1) foundReadOnly.insert({d.Bank, d.Item});
    if (d.Group == 2) foundGroup2.insert({d.Bank, d.Item});
  }
  EXPECT_EQ(foundReadOnly, readOnly);
  EXPECT_EQ(foundGroup2, group2);
  const int attribute1 = static_cast<int>(std::count_if(std::begin(kSetupParamRecords), std::end(kSetupParamRecords),
                                                        [](const ParamDescriptor& d) { return d.Attribute == 1; }));
  EXPECT_EQ(attribute1, 29);
}

// Every name is its number or code, a colon, the mnemonic padded to the bank's
// width, a colon and the text; both languages share everything before the text.
TEST(CatalogueTest, NameTextsFollowTheBankForm) {
  for (const ParamDescriptor& d : kSetupParamRecords) {
    SCOPED_TRACE(d.NameEn);
    const BankShape* s = ShapeOf(d.Bank);
    ASSERT_NE(s, nullptr);
    char code[8];
    if (d.Bank == 8)
      std::snprintf(code, sizeof code, "C%02d:", d.Item % 100);
    else if (d.Bank == 9)
      std::snprintf(code, sizeof code, "%-4s:", ("T." + std::to_string(d.Item)).c_str());
    else
      std::snprintf(code, sizeof code, "%2d:", d.Item);
    const std::string en = d.NameEn, ja = d.NameJa;
    const size_t head = std::strlen(code) + (s->mnemonicWidth ? s->mnemonicWidth + 1 : 0);
    ASSERT_GT(en.size(), head);
    ASSERT_GT(ja.size(), head);
    EXPECT_EQ(en.substr(0, std::strlen(code)), code);
    EXPECT_EQ(ja.substr(0, head), en.substr(0, head));
    if (s->mnemonicWidth) {
      EXPECT_EQ(en[head - 1], ':');
    }
  }
}

// The texts reach listings and the screen as CP932: every character must have
// a CP932 form.
TEST(CatalogueTest, NamesConvertToCp932WithoutLoss) {
  auto check = [](const char* text) {
    const std::string bytes = kvl::ToCp932(text);
    EXPECT_EQ(kvl::FromCp932(bytes), text);
    EXPECT_EQ(kvl::Cp932Width(text), static_cast<int>(bytes.size())) << text;
  };
  for (const ParamDescriptor& d : kProgramItemRecords) {
    check(d.NameEn);
    check(d.NameJa);
  }
  for (const ParamDescriptor& d : kSetupParamRecords) {
    check(d.NameEn);
    check(d.NameJa);
  }
}

// Banks 6, 7 and 9 repeat one row per item over their subs.
TEST(CatalogueTest, SharedRowsRepeatOverSubs) {
  for (int bank : {6, 7, 9}) {
    for (const ParamDescriptor& d : kSetupParamRecords) {
      if (d.Bank != bank) continue;
      const ParamDescriptor* first = nullptr;
      for (const ParamDescriptor& f : kSetupParamRecords)
        if (f.Bank == bank && f.Item == d.Item && f.Sub == 1) first = &f;
      ASSERT_NE(first, nullptr);
      SCOPED_TRACE(testing::Message() << bank << "/" << d.Item << "/" << d.Sub);
      EXPECT_STREQ(d.NameEn, first->NameEn);
      EXPECT_STREQ(d.NameJa, first->NameJa);
      // Bank 9's kinds depend on the column pair; check those against the pair's first column.
      const ParamDescriptor* same = first;
      if (bank == 9)
        for (const ParamDescriptor& f : kSetupParamRecords)
          if (f.Bank == 9 && f.Item == d.Item && f.Sub == (d.Sub + 1) / 2 * 2 - 1) same = &f;
      EXPECT_EQ(d.FormatKind, same->FormatKind);
      EXPECT_EQ(d.RangeCheckKind, same->RangeCheckKind);
      EXPECT_EQ(d.RangeTextKind, same->RangeTextKind);
      EXPECT_EQ(d.DefaultKind, same->DefaultKind);
      EXPECT_EQ(d.DisplayConditionKind, same->DisplayConditionKind);
      EXPECT_EQ(d.ChoiceTableId, same->ChoiceTableId);
      EXPECT_EQ(d.Attribute, 3);
      EXPECT_EQ(d.Group, 1);
    }
  }
}

struct Spot {
  int bank, item, sub, address;
  const char* en;
  const char* ja;
  int fmt, chk, rt, dflt, disp, ch;
  int attribute, group;
};

// Typed from the catalogue's description, one row per record.
const Spot kSpots[] = {
    {1, 2, 1, 2, "TIME  :Time", "TIME  :時間", 13, 1, 1, 0, 1, 0, 3, 1},
    {1, 5, 1, 5, "      :event1 OFF time", "      :ｲﾍﾞﾝﾄ1 OFF時間", 13, 4, 4, 0, 4, 0, 3, 1},
    {1, 23, 1, 23, "G.S.2 :G.Soak(CH2)", "G.S.2 :Gｿｰｸ(CH2)", 18, 63, 77, 0, 10, 0, 3, 1},
    {1, 24, 1, 1, "P.STA :PV start", "P.STA :PVｽﾀｰﾄ", 1, 10, 10, 1, 11, 45, 3, 1},
    {3, 1, 1, 2501, " 1:LOC  :Key lock", " 1:LOC  :ｷｰﾛｯｸ", 1, 13, 13, 1, 14, 1, 3, 1},
    {3, 7, 1, 2507, " 7:IOUT :PID operation initial MV", " 7:IOUT :PID演算初期操作量(CH1)", 4, 9, 19, 2, 14, 0, 3, 1},
    {3, 30, 1, 2530, "30:M.-AT:Motor valve opening automatic adjustment", "30:M.-AT:ﾓｰﾀ開度自動調整", 1, 14, 27, 1, 24,
     9, 1, 1},
    {3, 33, 1, 2533, "33:M.-T :Motor valve opening adjustment fully open/closed time",
     "33:M.-T :ﾓｰﾀ開度調整 全開閉時間", 4, 28, 30, 14, 23, 0, 3, 1},
    {4, 1, 1, 3001, " 1:FL.2  :Input 2 digital filter", " 1:FL.2  :入力2ﾃﾞｼﾞﾀﾙﾌｨﾙﾀ", 4, 15, 15, 1, 14, 0, 3, 1},
    {4, 14, 1, 3014, "14:GS.T.2:G.Soak time (CH2)", "14:GS.T.2:G.SOAK時間(CH2)", 4, 21, 22, 3, 14, 0, 3, 1},
    {4, 22, 1, 3022, "22:CP.27 :PID auto-switching point 2-7", "22:CP.27 :PID自動切替点2-7", 2, 17, 34, 9, 31, 0, 3, 1},
    {5, 3, 1, 3503, " 3:HYS1 :Event 1 hysteresis", " 3:HYS1 :ｲﾍﾞﾝﾄ1ﾋｽﾃﾘｼｽ", 3, 32, 36, 12, 32, 0, 3, 1},
    {5, 14, 1, 3514, "14:-----:Unused", "14:-----:未使用", 1, 54, 65, 0, 101, 0, 1, 1},
    {5, 36, 1, 3536, "36:DL.T5:T5 Event ON delay time", "36:DL.T5:T5ｲﾍﾞﾝﾄｵﾝﾃﾞｨﾚｲ時間", 1, 33, 37, 1, 99, 0, 3, 1},
    {6, 1, 1, 1501, " 1:P :Proportional band(PID set 1)", " 1:P :比例帯1", 4, 35, 39, 8, 14, 0, 3, 1},
    {6, 6, 5, 1546, " 6:RE:Manual reset(PID set 1)", " 6:RE:ﾏﾆｭｱﾙﾘｾｯﾄ1", 4, 9, 44, 17, 36, 0, 3, 1},
    {6, 10, 8, 1580, "10:DD:Disturbance inhibit rate time(PID set 1)", "10:DD:外乱抑制微分時間1", 16, 15, 48, 1, 38, 0, 3,
     1},
    {7, 1, 1, 2001, " 1:P.2 :Proportional band(PID set 2)", " 1:P.2 :比例帯2", 4, 39, 49, 8, 14, 0, 3, 1},
    {7, 4, 4, 2034, " 4:OL.2:MV lower limit(PID set 2)", " 4:OL.2:操作量下限2", 4, 36, 42, 1, 39, 0, 3, 1},
    {7, 10, 8, 2080, "10:DD.2:Disturbance inhibit rate time(PID set 2)", "10:DD.2:外乱抑制微分時間2", 16, 15, 48, 1, 42, 0,
     3, 1},
    {8, 1, 1, 4501, "C01:Control action (CH1)", "C01:制御動作", 1, 14, 14, 1, 43, 15, 3, 1},
    {8, 68, 1, 4568, "C68:Programming item: Events 1 to 3", "C68:ﾌﾟﾛｸﾞﾗﾐﾝｸﾞ項目ｲﾍﾞﾝﾄ1～3", 1, 14, 14, 1, 14, 36, 3, 1},
    {8, 83, 1, 4583, "C83:Unused", "C83:未使用", 1, 54, 65, 0, 72, 0, 1, 1},
    {8, 91, 1, 4591, "C91:Input 1 zener barrier adjustment", "C91:入力1ﾂｪﾅｰﾊﾞﾘｱ調整", 11, 57, 68, 38, 74, 0, 1, 2},
    {8, 93, 1, 4593, "C93:WQT communications port selection", "C93:WQT通信ﾎﾟｰﾄ選択", 1, 58, 69, 1, 76, 0, 3, 1},
    {8, 96, 1, 4596, "C96:Hardware type 1", "C96:ﾊｰﾄﾞｳｪｱﾀｲﾌﾟ1", 12, 59, 70, 40, 14, 0, 1, 2},
    {8, 100, 1, 4600, "C00:ROM revision", "C00:ROM ﾚﾋﾞｼﾞｮﾝ", 1, 59, 65, 40, 14, 0, 1, 2},
    {9, 1, 1, 4001, "T.1 :Input linearization table approximation 1", "T.1 :入力折線近似 1", 0, 17, 17, 1, 77, 0, 3, 1},
    {9, 1, 3, 4023, "T.1 :Input linearization table approximation 1", "T.1 :入力折線近似 1", 7, 17, 17, 1, 78, 0, 3, 1},
    {9, 2, 4, 4035, "T.2 :Input linearization table approximation 2", "T.2 :入力折線近似 2", 7, 17, 17, 8, 78, 0, 3, 1},
    {9, 11, 6, 4066, "T.11:Input linearization table approximation 11", "T.11:入力折線近似 11", 8, 60, 74, 8, 79, 0, 3,
     1},
    {10, 1, 1, 1001, " 1:MODE :Operation mode", " 1:MODE :運転ﾓｰﾄﾞ", 1, 14, 14, 1, 14, 44, 3, 1},
    {10, 30, 1, 1030, "30:-----:Unused", "30:-----:未使用", 1, 54, 65, 0, 72, 0, 1, 1},
    {10, 46, 1, 1046, "46:RE.2C:Manual reset (for CH2 cool control)", "46:RE.2C:ﾏﾆｭｱﾙﾘｾｯﾄ(CH2ｸｰﾙ制御用)", 4, 9, 44, 17, 95,
     0, 3, 1},
    {10, 47, 1, 1047, "47:-----:Unused", "47:-----:未使用", 1, 54, 65, 0, 96, 0, 1, 1},
};

class CatalogueCoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(0);
};

TEST_F(CatalogueCoreTest, SpotRecords) {
  std::set<int> banks;
  for (const Spot& s : kSpots) {
    SCOPED_TRACE(testing::Message() << s.bank << "/" << s.item << "/" << s.sub << " " << s.en);
    const ParamDescriptor* d = core->GetParam(s.bank, s.item, s.sub, 0);
    ASSERT_NE(d, nullptr);
    banks.insert(s.bank);
    EXPECT_EQ(d->Bank, s.bank);
    EXPECT_EQ(d->Item, s.item);
    EXPECT_EQ(d->Sub, s.sub);
    EXPECT_EQ(d->Address, s.address);
    EXPECT_STREQ(d->NameEn, s.en);
    EXPECT_STREQ(d->NameJa, s.ja);
    EXPECT_EQ(d->FormatKind, s.fmt);
    EXPECT_EQ(d->RangeCheckKind, s.chk);
    EXPECT_EQ(d->RangeTextKind, s.rt);
    EXPECT_EQ(d->DefaultKind, s.dflt);
    EXPECT_EQ(d->DisplayConditionKind, s.disp);
    EXPECT_EQ(d->ChoiceTableId, s.ch);
    EXPECT_EQ(d->Attribute, s.attribute);
    EXPECT_EQ(d->Group, s.group);
  }
  EXPECT_EQ(banks, (std::set<int>{1, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(CatalogueCoreTest, LookupEdgeCases) {
  const ParamDescriptor* c00 = core->GetParam(8, 100, 1, 0);
  ASSERT_NE(c00, nullptr);
  EXPECT_EQ(c00->Address, 4600);
  EXPECT_STREQ(c00->NameEn, "C00:ROM revision");

  struct Case {
    int bank, item, sub;
    uint16_t entryKind;
  } none[] = {
      {8, 101, 1, 0}, {3, 1, 2, 0},  {0, 1, 1, 0}, {8, 1, 1, 1}, {2, 1, 1, 0},  {3, 34, 1, 0},  {6, 1, 9, 0},
      {9, 12, 1, 0},  {9, 1, 7, 0},  {4, 1, 0, 0}, {1, 27, 1, 0}, {1, 0, 1, 0}, {11, 1, 1, 0}, {32, 1, 1, 0},
      {-1, 1, 1, 0},  {8, 0, 1, 0},  {8, 1, 31, 0}, {1, 5, 31, 0}, {1, 5, 17, 1},
  };
  for (const Case& c : none) {
    SCOPED_TRACE(testing::Message() << c.bank << "/" << c.item << "/" << c.sub << "/" << c.entryKind);
    EXPECT_EQ(core->GetParam(c.bank, c.item, c.sub, c.entryKind), nullptr);
  }

  // The sub of a program item does not matter within 0..30.
  const ParamDescriptor* item5 = core->GetParam(1, 5, 17, 0);
  ASSERT_NE(item5, nullptr);
  EXPECT_EQ(item5, core->ProgramItemRecord(4));
  EXPECT_EQ(item5->Item, 5);
  EXPECT_STREQ(item5->NameEn, "      :event1 OFF time");
  for (int sub : {0, 1, 30}) EXPECT_EQ(core->GetParam(1, 5, sub, 0), item5);
  for (int item = 1; item <= 26; ++item) EXPECT_EQ(core->GetParam(1, item, 1, 0), core->ProgramItemRecord(item - 1));
}

TEST_F(CatalogueCoreTest, EverySetupRecordIsReachableByItsKey) {
  for (int r = 0; r < kSetupParamCount; ++r) {
    ParamDescriptor* own = core->SetupRecord(r);
    SCOPED_TRACE(own->Address);
    // The image works on its own copy of the start-up record.
    EXPECT_EQ(own->Address, kSetupParamRecords[r].Address);
    EXPECT_NE(own, &kSetupParamRecords[r]);
    ParamDescriptor* found = core->GetParam(own->Bank, own->Item, own->Sub, 0);
    EXPECT_EQ(found, own);
    EXPECT_EQ(core->DescriptorPtr(own->Bank, own->Item, own->Sub), own);
  }
  // Exactly these keys exist among the setup banks.
  int reachable = 0;
  for (int bank = 2; bank <= 31; ++bank)
    for (int item = 0; item <= 100; ++item)
      for (int sub = 0; sub <= 30; ++sub)
        if (core->GetParam(bank, item, sub, 0)) ++reachable;
  EXPECT_EQ(reachable, 467);
}

}  // namespace
