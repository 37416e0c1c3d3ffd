// Test-only: a Blu-ray SUP file read and decoded by ffmpeg (its "sup" demuxer and PGS decoder), an
// implementation independent of ours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::test {

// What the decoder shows from one display set on: nothing (a set that clears), or its pictures.
struct DecodedPgsRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgba;  // R << 24 | G << 16 | B << 8 | A, row by row, as the decoder's palette gives them
};
struct DecodedPgsSet {
  int64_t pts90k = 0;
  std::vector<DecodedPgsRect> rects;
};

// Every display set of the file in order. Throws std::runtime_error when ffmpeg cannot read or decode it.
std::vector<DecodedPgsSet> DecodePgsFile(const std::string& path);

}  // namespace quillet::test
