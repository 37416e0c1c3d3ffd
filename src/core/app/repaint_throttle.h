// How often a generation run repaints the window (the frame being written and the progress bar).
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace quillet {

using SteadyTime = std::chrono::steady_clock::time_point;
// The clock a throttle reads; an empty one is std::chrono::steady_clock.
using RepaintClock = std::function<SteadyTime()>;

/*
 * A run asks once per entry whether the window repaints now. The first question of a run is always answered yes,
 * so the first entry shows at once; later ones only when `interval` has passed since the last yes. A zero
 * interval answers yes every time (tests that follow each entry).
 */
class RepaintThrottle {
 public:
  RepaintThrottle(std::chrono::milliseconds interval, RepaintClock clock);

  // Whether to repaint now; a yes starts the next interval.
  bool Due();

 private:
  std::chrono::milliseconds m_interval;
  RepaintClock m_clock;
  std::optional<SteadyTime> m_last;
};

}  // namespace quillet
