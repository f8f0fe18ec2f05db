// A game panel on a host window (offscreen) whose messages are recorded
// instead of shown, with helpers that drive its board deterministically.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <vector>

#include "TetPanel.h"

class PanelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Host.resize(420, 520);
    Panel = new TTetPanel(&Host, [this](const TGameMessage& message) { Shown.push_back(message); });
    Panel->setGeometry(10, 20, 300, 440);
    Panel->OnPlumetContact = [this](TTetPanel& sender) {
      EXPECT_EQ(&sender, Panel);
      ++Contacts;
    };
    Panel->OnPlumetDelete = [this](TTetPanel& sender) {
      EXPECT_EQ(&sender, Panel);
      ++Deletes;
    };
    Panel->OnPlumetOver = [this](TTetPanel& sender) {
      EXPECT_EQ(&sender, Panel);
      ++Overs;
    };
    Panel->OnPlumetTime = [this](TTetPanel& sender) {
      EXPECT_EQ(&sender, Panel);
      ++Times;
    };
    Host.show();
  }

  // Enters the game state with a seeded board.
  void EnterGame(uint32_t seed = 1) {
    Panel->SetState(TState::Plumet);
    ASSERT_NE(Panel->Board(), nullptr);
    Logic().SeedRandom(seed);
  }
  void StartGame(uint32_t seed = 1) {
    EnterGame(seed);
    Panel->SetStart(true);
    ASSERT_TRUE(Logic().Active());
  }
  TTtrs& Logic() { return Panel->Board()->Board(); }

  // Lets the falling shape land; returns false if nothing spawned or ended.
  bool Land() {
    const int contacts = Contacts, overs = Overs;
    for (int i = 0; i < 200; ++i) {
      Logic().FallTimerTick();
      if (Contacts != contacts || Overs != overs) return true;
    }
    return false;
  }
  // Blocks the spawn positions and lets the shape land: the game ends.
  void EndGame() {
    for (int i = 0; i < 6; ++i) Logic().FallTimerTick();
    const int m = Logic().BoardColumns() / 2;
    for (int r = 1; r <= 4; ++r)
      for (int c = m - 1; c <= m + 1; ++c) ASSERT_TRUE(Logic().PlaceCell(r, 0, c));
    ASSERT_TRUE(Land());
    ASSERT_FALSE(Logic().Active());
  }
  void FillRow(int row) {
    for (int c = 1; c <= Logic().BoardColumns(); ++c) ASSERT_TRUE(Logic().PlaceCell(row, 0, c));
  }

  QWidget Host;
  TTetPanel* Panel = nullptr;
  std::vector<TGameMessage> Shown;
  int Contacts = 0, Deletes = 0, Overs = 0, Times = 0;
};
