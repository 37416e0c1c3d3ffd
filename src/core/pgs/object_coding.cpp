// The run-length code of a presentation graphics object.
#include "pgs/object_coding.h"

#include <algorithm>

namespace quillet {
namespace {

void AppendRun(uint8_t index, int length, std::vector<uint8_t>& out) {
  while (length > 0) {
    const int run = std::min(length, kMaxRunPixels);
    length -= run;
    const auto high = static_cast<uint8_t>(run >> 8);
    const auto low = static_cast<uint8_t>(run & 0xFF);
    if (index != 0 && run <= 2) {
      out.insert(out.end(), static_cast<std::size_t>(run), index);
    } else if (index == 0) {
      if (run < 64) {
        out.insert(out.end(), {0, low});
      } else {
        out.insert(out.end(), {0, static_cast<uint8_t>(0x40 | high), low});
      }
    } else if (run < 64) {
      out.insert(out.end(), {0, static_cast<uint8_t>(0x80 | low), index});
    } else {
      out.insert(out.end(), {0, static_cast<uint8_t>(0xC0 | high), low, index});
    }
  }
}

}  // namespace

void AppendObjectCode(std::span<const uint8_t> indices, int width, int height, std::vector<uint8_t>& out) {
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    int x = 0;
    while (x < width) {
      int end = x + 1;
      while (end < width && row[end] == row[x]) ++end;
      AppendRun(row[x], end - x, out);
      x = end;
    }
    out.insert(out.end(), {0, 0});
  }
}

}  // namespace quillet
