// How many look-ahead workers a generation run starts: from the processors this process may run on.
#include "run/worker_count.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace quillet {

int UsableProcessorCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int LookAheadWorkers(int processors) { return std::max(0, processors - 1); }

}  // namespace quillet
