// The run-length code of presentation graphics objects: edge rows coded and decoded back.
#include "pgs/object_coding.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

// A decoder written from the format's description, independent of the coder: rows end with 00 00, and a row
// that decodes to another width than the object's is an error.
Bytes Decode(const Bytes& code, int width, int height) {
  Bytes pixels;
  std::size_t at = 0;
  auto next = [&]() -> uint8_t {
    if (at >= code.size()) throw std::runtime_error("code ends inside a run");
    return code[at++];
  };
  for (int y = 0; y < height; ++y) {
    std::size_t row = 0;
    for (;;) {
      uint8_t colour = next();
      int run = 1;
      if (colour == 0) {
        const uint8_t flags = next();
        run = flags & 0x3F;
        if ((flags & 0x40) != 0) run = (run << 8) | next();
        colour = (flags & 0x80) != 0 ? next() : 0;
        if (run == 0 && flags == 0) break;
      }
      pixels.insert(pixels.end(), static_cast<std::size_t>(run), colour);
      row += static_cast<std::size_t>(run);
    }
    if (row != static_cast<std::size_t>(width)) throw std::runtime_error("row " + std::to_string(y) + " decodes wrong");
  }
  if (at != code.size()) throw std::runtime_error("bytes after the last row");
  return pixels;
}

// A row made of runs (index, length).
Bytes RowOf(std::initializer_list<std::pair<uint8_t, int>> runs) {
  Bytes row;
  for (const auto& [index, length] : runs) row.insert(row.end(), static_cast<std::size_t>(length), index);
  return row;
}

TEST(ObjectCode, EdgeRowsDecodeBackAndTakeTheShortestCodes) {
  struct Case {
    const char* name;
    Bytes row;
    Bytes code;  // the row's code, its 00 00 end included; empty: only the round trip is checked
  };
  const Case cases[] = {
      {"one pixel of a colour", RowOf({{7, 1}}), {7, 0, 0}},
      {"two pixels of a colour", RowOf({{7, 2}}), {7, 7, 0, 0}},
      {"three pixels of a colour", RowOf({{7, 3}}), {0, 0x83, 7, 0, 0}},
      {"63 pixels of a colour", RowOf({{9, 63}}), {0, 0xBF, 9, 0, 0}},
      {"64 pixels of a colour", RowOf({{9, 64}}), {0, 0xC0, 64, 9, 0, 0}},
      {"16383 pixels of a colour", RowOf({{255, 16383}}), {0, 0xFF, 0xFF, 255, 0, 0}},
      {"16384 pixels of a colour: two codes", RowOf({{5, 16384}}), {0, 0xFF, 0xFF, 5, 5, 0, 0}},
      {"one transparent pixel", RowOf({{0, 1}}), {0, 1, 0, 0}},
      {"63 transparent pixels", RowOf({{0, 63}}), {0, 63, 0, 0}},
      {"64 transparent pixels", RowOf({{0, 64}}), {0, 0x40, 64, 0, 0}},
      {"16383 transparent pixels", RowOf({{0, 16383}}), {0, 0x7F, 0xFF, 0, 0}},
      {"16385 transparent pixels", RowOf({{0, 16385}}), {0, 0x7F, 0xFF, 0, 2, 0, 0}},
      {"colour runs of 1 between transparent ones", RowOf({{0, 1}, {1, 1}, {0, 1}, {2, 1}}), {0, 1, 1, 0, 1, 2, 0, 0}},
      {"a colour run ending the row", RowOf({{0, 100}, {3, 70}}), {0, 0x40, 100, 0, 0xC0, 70, 3, 0, 0}},
      {"many changes", RowOf({{1, 1}, {2, 63}, {0, 64}, {3, 16383}, {0, 2}, {4, 1}}), {}},
  };
  for (const Case& c : cases) {
    const int width = static_cast<int>(c.row.size());
    Bytes code;
    AppendObjectCode(c.row, width, 1, code);
    if (!c.code.empty()) {
      EXPECT_EQ(code, c.code) << c.name;
    }
    EXPECT_EQ(Decode(code, width, 1), c.row) << c.name;
  }
}

TEST(ObjectCode, RowsEndWhereTheyEndEvenWhenTheyMatch) {
  // Two rows of one colour must not run into each other: each has its own code and end.
  const Bytes pixels = RowOf({{4, 5}, {4, 5}});
  Bytes code;
  AppendObjectCode(pixels, 5, 2, code);
  EXPECT_EQ(code, (Bytes{0, 0x85, 4, 0, 0, 0, 0x85, 4, 0, 0}));
  EXPECT_EQ(Decode(code, 5, 2), pixels);
}

}  // namespace
}  // namespace quillet
