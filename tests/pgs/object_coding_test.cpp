// The run-length code of presentation graphics objects on edge rows: each takes its shortest code.
#include "pgs/object_coding.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ObjectCode, EdgeRowsTakeTheShortestCodes) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint8_t, int>> runs;  // (index, length) of one row, given twice when height is 2
    int height;
    Bytes code;  // every row's code with its 00 00 end
  };
  const Case cases[] = {
      {"one pixel of a colour", {{7, 1}}, 1, {7, 0, 0}},
      {"two pixels of a colour", {{7, 2}}, 1, {7, 7, 0, 0}},
      {"three pixels of a colour", {{7, 3}}, 1, {0, 0x83, 7, 0, 0}},
      {"63 pixels of a colour", {{9, 63}}, 1, {0, 0xBF, 9, 0, 0}},
      {"64 pixels of a colour", {{9, 64}}, 1, {0, 0xC0, 64, 9, 0, 0}},
      {"16383 pixels of a colour", {{255, 16383}}, 1, {0, 0xFF, 0xFF, 255, 0, 0}},
      {"16384 pixels of a colour: two codes", {{5, 16384}}, 1, {0, 0xFF, 0xFF, 5, 5, 0, 0}},
      {"one transparent pixel", {{0, 1}}, 1, {0, 1, 0, 0}},
      {"63 transparent pixels", {{0, 63}}, 1, {0, 63, 0, 0}},
      {"64 transparent pixels", {{0, 64}}, 1, {0, 0x40, 64, 0, 0}},
      {"16383 transparent pixels", {{0, 16383}}, 1, {0, 0x7F, 0xFF, 0, 0}},
      {"16385 transparent pixels", {{0, 16385}}, 1, {0, 0x7F, 0xFF, 0, 2, 0, 0}},
      {"colour runs of 1 between transparent ones", {{0, 1}, {1, 1}, {0, 1}, {2, 1}}, 1, {0, 1, 1, 0, 1, 2, 0, 0}},
      {"a colour run ending the row", {{0, 100}, {3, 70}}, 1, {0, 0x40, 100, 0, 0xC0, 70, 3, 0, 0}},
      {"rows of one colour do not run into each other", {{4, 5}}, 2, {0, 0x85, 4, 0, 0, 0, 0x85, 4, 0, 0}},
  };
  for (const Case& c : cases) {
    Bytes row;
    for (const auto& [index, length] : c.runs) row.insert(row.end(), static_cast<std::size_t>(length), index);
    Bytes pixels;
    for (int y = 0; y < c.height; ++y) pixels.insert(pixels.end(), row.begin(), row.end());
    Bytes code;
    AppendObjectCode(pixels, static_cast<int>(row.size()), c.height, code);
    EXPECT_EQ(code, c.code) << c.name;
  }
}

}  // namespace
}  // namespace quillet
