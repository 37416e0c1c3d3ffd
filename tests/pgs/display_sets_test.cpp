// The display sets of an entry: segments, windows, times and the format's limits.
#include "pgs/display_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace quillet {
namespace {

struct Segment {
  uint32_t pts = 0;
  uint32_t dts = 0;
  uint8_t type = 0;
  std::vector<uint8_t> payload;
};

std::vector<Segment> Segments(const std::vector<uint8_t>& bytes) {
  std::vector<Segment> out;
  for (std::size_t at = 0; at < bytes.size();) {
    EXPECT_EQ(bytes[at], 'P');
    EXPECT_EQ(bytes[at + 1], 'G');
    auto be32 = [&](std::size_t k) {
      return (uint32_t{bytes[k]} << 24) | (uint32_t{bytes[k + 1]} << 16) | (uint32_t{bytes[k + 2]} << 8) | bytes[k + 3];
    };
    const std::size_t length = (std::size_t{bytes[at + 11]} << 8) | bytes[at + 12];
    out.push_back({be32(at + 2), be32(at + 6), bytes[at + 10],
                   std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at + 13),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(at + 13 + length))});
    at += 13 + length;
  }
  return out;
}

// A drawn box in the frame, in the colour `ink` gives (0 for none).
template <class Ink>
RgbaPicture Drawn(int left, int top, int width, int height, Ink ink) {
  RgbaPicture p{left, top, width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) p.pixels.push_back(ink(x, y));
  }
  return p;
}

TEST(DisplaySets, AnEntryIsShownAtItsStartAndClearedAtItsEnd) {
  const PgsPicture picture = MakePgsPicture(Drawn(100, 900, 300, 60, [](int x, int) { return x >= 10 ? ~0u : 0; }), {});
  std::vector<uint8_t> bytes;
  AppendDisplaySets(picture, bytes);
  // The first set is decoded before it is shown (plane, window and object at their rates) but never before the
  // previous set's presentation time.
  const uint32_t work = 5832 + (90000u * 290 * 60 + 31999999) / 32000000 + (90000u * 290 * 60 + 15999999) / 16000000;
  for (const uint32_t previous : {0u, 89990u}) {
    std::vector<uint8_t> stamped = bytes;
    uint16_t composition = 7;
    StampDisplaySets(stamped, {90000, 180000, previous}, composition);
    EXPECT_EQ(composition, 9);
    const std::vector<Segment> segments = Segments(stamped);
    std::vector<uint8_t> types;
    for (const Segment& s : segments) types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<uint8_t>{0x16, 0x17, 0x14, 0x15, 0x80, 0x16, 0x17, 0x80}));
    // Epoch start with one object at its window; then a composition with none, numbered on.
    EXPECT_EQ(segments[0].payload[7], 0x80);
    EXPECT_EQ(segments[0].payload[10], 1);
    EXPECT_EQ(segments[5].payload[6], 8);
    EXPECT_EQ(segments[5].payload[7], 0x00);
    EXPECT_EQ(segments[5].payload[10], 0);
    for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(segments[k].pts, k < 5 ? 90000u : 180000u) << k;
    EXPECT_EQ(segments[0].dts, std::max(90000u - work, previous));
    EXPECT_GE(segments[5].dts, 90000u);
    EXPECT_LE(segments[5].dts, 180000u);
  }
}

TEST(DisplaySets, ObjectsHoldTheInkGrownToTheMinimumSize) {
  struct Case {
    const char* name;
    RgbaPicture drawn;
    PictureFrame frame;
    std::vector<std::array<int, 4>> objects;  // x, y, width, height
  };
  const Case cases[] = {
      {"cut to the drawn columns", Drawn(100, 900, 300, 60, [](int x, int) { return x >= 10 ? ~0u : 0; }), {},
       {{110, 900, 290, 60}}},
      {"lines at the top and the bottom",
       Drawn(600, 40, 400, 1000, [](int, int y) { return y < 50 || y >= 950 ? ~0u : 0; }), {},
       {{600, 40, 400, 50}, {600, 990, 400, 50}}},
      {"one pixel", Drawn(500, 500, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? ~0u : 0; }), {},
       {{498, 498, 8, 8}}},
      {"nothing drawn", RgbaPicture{}, {720, 576}, {{356, 560, 8, 8}}},
  };
  for (const Case& c : cases) {
    const PgsPicture picture = MakePgsPicture(c.drawn, c.frame);
    std::vector<std::array<int, 4>> got;
    for (const PgsObject& o : picture.objects) got.push_back({o.x, o.y, o.width, o.height});
    EXPECT_EQ(got, c.objects) << c.name;
  }
}

TEST(DisplaySets, LargeObjectsSpanSegmentsAndOversizedOnesAreRefused) {
  // Every other pixel changes colour, in 400 greys: a 1920 × 200 object codes to far more than one segment holds,
  // in the 255 commonest colours.
  auto noisy = [](int x, int y) { return (x + y) % 2 == 0 ? 0u : static_cast<uint32_t>((x % 400) << 16 | 0xFF); };
  const PgsPicture picture = MakePgsPicture(Drawn(0, 600, 1920, 200, noisy), {});
  EXPECT_TRUE(picture.reduced);
  EXPECT_EQ(picture.palette.size(), 255u);
  std::vector<uint8_t> bytes;
  AppendDisplaySets(picture, bytes);
  std::size_t objects = 0, data = 0;
  for (const Segment& s : Segments(bytes)) {
    if (s.type != 0x15) continue;
    ++objects;
    data += s.payload.size() - ((s.payload[3] & 0x80) != 0 ? 11 : 4);
  }
  EXPECT_GT(objects, 1u);
  EXPECT_EQ(data, picture.objects[0].code.size());
  EXPECT_TRUE(PgsLimitProblem(picture).empty());
  const PgsPicture huge = MakePgsPicture(Drawn(0, 0, 1920, 1080, noisy), {});
  EXPECT_NE(PgsLimitProblem(huge).find("1048576"), std::string::npos);
}

}  // namespace
}  // namespace quillet
