#include "Affinity.h"

#include <sched.h>

#include <gtest/gtest.h>

namespace {

TEST(Affinity, PinsToTheLowestAllowedProcessor) {
  cpu_set_t before;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  int lowest = -1;
  for (int cpu = 0; cpu < CPU_SETSIZE && lowest < 0; ++cpu)
    if (CPU_ISSET(cpu, &before)) lowest = cpu;
  ASSERT_GE(lowest, 0);

  ASSERT_TRUE(kvl::PinToFirstProcessor());
  cpu_set_t after;
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_EQ(CPU_COUNT(&after), 1);
  EXPECT_TRUE(CPU_ISSET(lowest, &after));
  // Pinning again keeps the same processor.
  EXPECT_TRUE(kvl::PinToFirstProcessor());
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_ISSET(lowest, &after));
  EXPECT_EQ(CPU_COUNT(&after), 1);
}

}  // namespace
