// A simulated controller behind port 1 (KVLQ70_COM1 names its pseudo-terminal)
// and a protocol object with its port open on it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ControllerSim.h"
#include "TProtocol.h"

class SimLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.Start());
    ::setenv("KVLQ70_COM1", sim.SlavePath().c_str(), 1);
    link.ReceiveTimeout = 200;
    link.RetryCount = 3;
    ASSERT_EQ(link.Open(), 0u);
  }
  void TearDown() override {
    link.Close();
    sim.Stop();
    ::unsetenv("KVLQ70_COM1");
  }

  // Waits (a generous while, for a loaded machine) until the simulator has
  // received count bytes.
  bool WaitForBytes(uint64_t count) {
    return WaitUntil([&] { return sim.BytesReceived() >= count; }) && sim.BytesReceived() == count;
  }
  // Polls the condition until it holds or ten seconds have passed.
  template <class Condition>
  static bool WaitUntil(Condition holds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!holds()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  kvlsim::TControllerSim sim;
  TProtocol link;
};

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

inline std::vector<uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }
