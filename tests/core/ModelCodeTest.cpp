#include <gtest/gtest.h>

#include <memory>

#include "UCore.h"

namespace {

class ModelCodeTest : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);

  void Build(uint16_t h1, uint16_t h2, int revision = 1) {
    core->Model.HardwareType1 = h1;
    core->Model.HardwareType2 = h2;
    core->DataRevision = revision;
    core->BuildModelCode();
  }
};

TEST_F(ModelCodeTest, CodeFollowsTheHardwareTypeWords) {
  struct Case {
    uint16_t h1, h2;
    const char* code;
  } cases[] = {
      {0x0001, 0x00, "Q41A0D0AS000**"},
      {0xC004, 0x30, "Q41A5G0AS021**"},
      {0x4A91, 0x04, "Q42A3D3AS010**"},
      {0x0822, 0xB1, "Q42A5G1AS002**"},
      // Single-loop output codes, auxiliary outputs counted one by one.
      {0x0002, 0x00, "Q41A6D0AS000**"},
      {0x4008, 0x00, "Q41A2G0AS010**"},
      {0x8091, 0x00, "Q41A3D0AS010**"},
      {0x00A2, 0xB0, "Q41A5K0AS002**"},
      {0xC0C4, 0x00, "Q41A5K0AS020**"},
      {0x0841, 0x00, "Q41A0D0AS000**"},  // a two-loop code on a single-loop model
      {0x0005, 0x00, "Q41A0D0AS000**"},  // not a code
      // Bit 0x100 and bits 12 and 13 are no part of the output code.
      {0x3104, 0x00, "Q41A5G0AS000**"},
      // Two-loop models: either auxiliary bit gives "01".
      {0xC821, 0x01, "Q42A0D1AS010**"},
      {0x8844, 0x02, "Q42A5G2AS010**"},
      {0x0A08, 0x04, "Q42A2G3AS000**"},
      {0x0C08, 0x31, "Q42A2G1AS001**"},
      {0x0CC4, 0x02, "Q42A5K2AS000**"},
      {0x0AA2, 0x01, "Q42A5K1AS000**"},
      {0x0004, 0x01, "Q42A0D1AS000**"},  // a single-loop code on a two-loop model
      // Basic model 3: single-loop prefix and digit, two-input output table.
      {0x0844, 0x03, "Q41A5G0AS000**"},
      {0x0004, 0x03, "Q41A0D0AS000**"},
      {0x4C91, 0x07, "Q41A3D0AS010**"},
      // Option 2 needs exactly 0x30 or 0xB0 under the mask 0xB0.
      {0x0001, 0x10, "Q41A0D0AS000**"},
      {0x0001, 0x90, "Q41A0D0AS000**"},
      {0x0001, 0x70, "Q41A0D0AS001**"},
      {0x0001, 0xF0, "Q41A0D0AS002**"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.h1 << "/" << c.h2);
    Build(c.h1, c.h2);
    EXPECT_EQ(core->ModelCode, c.code);
    EXPECT_EQ(core->ModelCode.size(), 14u);
  }
}

TEST_F(ModelCodeTest, GroupSizesFollowModelAndRevision) {
  struct Case {
    uint16_t h2;
    int revision;
    uint32_t eventRows, tableColumns, constantRows;
  } cases[] = {
      {0x00, 1, 36, 2, 30}, {0x00, 0, 13, 2, 30}, {0x01, 1, 36, 4, 50}, {0x02, 0, 13, 4, 50},
      {0x04, 1, 36, 6, 50}, {0x03, 1, 36, 4, 50}, {0xB0, 1, 36, 2, 30}, {0xB4, 0, 13, 6, 50},
      {0x00, 2, 36, 2, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "h2 " << c.h2 << " revision " << c.revision);
    Build(0x0001, c.h2, c.revision);
    EXPECT_EQ(core->TreeNode(5)->RowCount, c.eventRows);
    EXPECT_EQ(core->TreeNode(9)->ColumnCount, c.tableColumns);
    EXPECT_EQ(core->TreeNode(10)->RowCount, c.constantRows);
    // The other counts stay as the catalogue has them.
    EXPECT_EQ(core->TreeNode(5)->ColumnCount, 1u);
    EXPECT_EQ(core->TreeNode(9)->RowCount, 11u);
    EXPECT_EQ(core->TreeNode(10)->ColumnCount, 1u);
    EXPECT_EQ(core->TreeNode(8)->RowCount, 100u);
    EXPECT_EQ(core->TreeNode(1)->ColumnCount, 30u);
  }
}

TEST_F(ModelCodeTest, EveryBuildRewritesTheSizes) {
  Build(0x4A91, 0x04, 0);
  EXPECT_EQ(core->TreeNode(9)->ColumnCount, 6u);
  Build(0x0001, 0x00, 1);
  EXPECT_EQ(core->ModelCode, "Q41A0D0AS000**");
  EXPECT_EQ(core->TreeNode(5)->RowCount, 36u);
  EXPECT_EQ(core->TreeNode(9)->ColumnCount, 2u);
  EXPECT_EQ(core->TreeNode(10)->RowCount, 30u);
}

}  // namespace
