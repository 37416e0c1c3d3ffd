// The look-ahead workers of a run follow the processors the process may use.
#include "run/worker_count.h"

#include <gtest/gtest.h>
#include <sched.h>

namespace quillet {
namespace {

TEST(WorkerCount, OneWorkerPerProcessorBesidesTheRunsOwnThread) {
  EXPECT_EQ(LookAheadWorkers(1), 0);
  EXPECT_EQ(LookAheadWorkers(2), 1);
  EXPECT_EQ(LookAheadWorkers(8), 7);
}

TEST(WorkerCount, UsableProcessorsAreTheAffinityMasks) {
  cpu_set_t saved;
  ASSERT_EQ(::sched_getaffinity(0, sizeof saved, &saved), 0);
  EXPECT_EQ(UsableProcessorCount(), CPU_COUNT(&saved));

  // Narrowed to one processor (as taskset or a container's limit does), whatever the machine has.
  int first = 0;
  while (!CPU_ISSET(first, &saved)) ++first;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
  const int narrowed = UsableProcessorCount();
  ASSERT_EQ(::sched_setaffinity(0, sizeof saved, &saved), 0);
  EXPECT_EQ(narrowed, 1);
}

}  // namespace
}  // namespace quillet
