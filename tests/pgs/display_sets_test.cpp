// The display sets of an entry: segments, windows, times and the format's limits.
#include "pgs/display_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace quillet {
namespace {

struct Segment {
  uint32_t pts, dts;
  uint8_t type;
  std::vector<uint8_t> payload;
};

// The segments of a SUP stream: "PG", PTS, DTS, type, length, payload.
std::vector<Segment> Segments(const std::vector<uint8_t>& bytes) {
  std::vector<Segment> out;
  auto be = [&](std::size_t k, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[k + static_cast<std::size_t>(i)];
    return value;
  };
  for (std::size_t at = 0; at < bytes.size(); at += 13 + be(at + 11, 2)) {
    EXPECT_EQ(be(at, 2), uint32_t{'P' << 8 | 'G'});
    const auto payload = bytes.begin() + static_cast<std::ptrdiff_t>(at + 13);
    out.push_back({be(at + 2, 4), be(at + 6, 4), bytes[at + 10], {payload, payload + be(at + 11, 2)}});
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

// Segment order, times and what the sets show are read back through libavcodec end to end; what a decoder does not
// check is here: the decoding stamps and the composition numbers.
TEST(DisplaySets, AnEntryIsShownAtItsStartAndClearedAtItsEnd) {
  std::vector<uint8_t> bytes;
  AppendDisplaySets(MakePgsPicture(Drawn(100, 900, 300, 60, [](int x, int) { return x >= 10 ? ~0u : 0; }), {}), bytes);
  // The first set is decoded before it is shown (plane, window and object at their rates) but never before the
  // previous set's presentation time.
  const uint32_t work = 5832 + (90000u * 290 * 60 + 31999999) / 32000000 + (90000u * 290 * 60 + 15999999) / 16000000;
  for (const uint32_t previous : {0u, 89990u}) {
    std::vector<uint8_t> stamped = bytes;
    uint16_t composition = 7;
    StampDisplaySets(stamped, {90000, 180000, previous}, composition);
    EXPECT_EQ(composition, 9);
    const std::vector<Segment> segments = Segments(stamped);
    ASSERT_EQ(segments.size(), 8u);
    EXPECT_EQ(segments[5].payload[6], 8) << "the clearing composition numbered on";
    EXPECT_EQ(segments[0].dts, std::max(90000u - work, previous));
    EXPECT_TRUE(segments[5].dts >= 90000u && segments[5].dts <= 180000u) << segments[5].dts;
  }
}

TEST(DisplaySets, ObjectsHoldTheInkGrownToTheMinimumSize) {
  const std::tuple<const char*, RgbaPicture, PictureFrame, std::vector<std::array<int, 4>>> cases[] = {
      {"cut to the drawn columns", Drawn(100, 900, 300, 60, [](int x, int) { return x >= 10 ? ~0u : 0; }), {},
       {{110, 900, 290, 60}}},
      {"lines at the top and the bottom",
       Drawn(600, 40, 400, 1000, [](int, int y) { return y < 50 || y >= 950 ? ~0u : 0; }), {},
       {{600, 40, 400, 50}, {600, 990, 400, 50}}},
      {"one pixel", Drawn(500, 500, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? ~0u : 0; }), {},
       {{498, 498, 8, 8}}},
      {"nothing drawn", RgbaPicture{}, {720, 576}, {{356, 560, 8, 8}}}};
  for (const auto& [name, drawn, frame, objects] : cases) {
    std::vector<std::array<int, 4>> got;  // x, y, width, height
    for (const PgsObject& o : MakePgsPicture(drawn, frame).objects) got.push_back({o.x, o.y, o.width, o.height});
    EXPECT_EQ(got, objects) << name;
  }
}

TEST(DisplaySets, LargeObjectsSpanSegmentsAndOversizedOnesAreRefused) {
  // Every other pixel changes colour, in 400 greys: a 1920 × 200 object codes to far more than one segment holds.
  auto noisy = [](int x, int y) { return (x + y) % 2 == 0 ? 0u : static_cast<uint32_t>((x % 400) << 16 | 0xFF); };
  const PgsPicture picture = MakePgsPicture(Drawn(0, 600, 1920, 200, noisy), {});
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
  EXPECT_NE(PgsLimitProblem(MakePgsPicture(Drawn(0, 0, 1920, 1080, noisy), {})).find("1048576"), std::string::npos);
}

}  // namespace
}  // namespace quillet
