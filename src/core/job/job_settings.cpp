// Track-bar placement of the two pixel settings.
#include "job/job_settings.h"

#include <algorithm>

namespace quillet {

int ClampOffset(int position) { return std::clamp(position, kOffsetMin, kOffsetMax); }

int ClampOffsetOr(int position) {
  int clamped = std::clamp(position, kOffsetOrMin, kOffsetOrMax);
  // An odd value is raised, never lowered: -3 becomes -2, not -4.
  if (clamped % 2 != 0) ++clamped;
  return clamped;
}

}  // namespace quillet
