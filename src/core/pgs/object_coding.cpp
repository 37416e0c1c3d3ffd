// The run-length code of a presentation graphics object.
#include "pgs/object_coding.h"

#include <algorithm>

namespace quillet {
namespace {

// Writes the codes of a run at `to` and returns the end: at most 4 bytes for each 16383 pixels.
uint8_t* PutRun(uint8_t index, int length, uint8_t* to) {
  while (length > 0) {
    const int run = std::min(length, kMaxRunPixels);
    length -= run;
    const auto high = static_cast<uint8_t>(run >> 8);
    const auto low = static_cast<uint8_t>(run & 0xFF);
    if (index != 0 && run <= 2) {
      *to++ = index;
      if (run == 2) *to++ = index;
    } else if (index == 0) {
      *to++ = 0;
      if (run < 64) {
        *to++ = low;
      } else {
        *to++ = static_cast<uint8_t>(0x40 | high);
        *to++ = low;
      }
    } else {
      *to++ = 0;
      if (run < 64) {
        *to++ = static_cast<uint8_t>(0x80 | low);
      } else {
        *to++ = static_cast<uint8_t>(0xC0 | high);
        *to++ = low;
      }
      *to++ = index;
    }
  }
  return to;
}

}  // namespace

void AppendObjectCode(std::span<const uint8_t> indices, int width, int height, std::vector<uint8_t>& out) {
  // Coded into a buffer of the worst case (every pixel a run of its own, 3 bytes for a transparent one, and each
  // row's end) kept for the thread, so that it is not cleared for every object.
  thread_local std::vector<uint8_t> buffer;
  const std::size_t worst = static_cast<std::size_t>(height) * (3 * static_cast<std::size_t>(width) + 2);
  if (buffer.size() < worst) buffer.resize(worst);
  uint8_t* to = buffer.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    int x = 0;
    while (x < width) {
      int end = x + 1;
      while (end < width && row[end] == row[x]) ++end;
      to = PutRun(row[x], end - x, to);
      x = end;
    }
    *to++ = 0;
    *to++ = 0;
  }
  out.insert(out.end(), buffer.data(), to);
}

}  // namespace quillet
