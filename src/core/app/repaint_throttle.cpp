// How often a generation run repaints the window (the frame being written and the progress bar).
#include "app/repaint_throttle.h"

#include <utility>

namespace quillet {

RepaintThrottle::RepaintThrottle(std::chrono::milliseconds interval, RepaintClock clock)
    : m_interval(interval), m_clock(std::move(clock)) {
  if (!m_clock) m_clock = [] { return std::chrono::steady_clock::now(); };
}

bool RepaintThrottle::Due() {
  if (m_interval.count() <= 0) return true;
  const SteadyTime now = m_clock();
  if (m_last && now - *m_last < m_interval) return false;
  m_last = now;
  return true;
}

}  // namespace quillet
