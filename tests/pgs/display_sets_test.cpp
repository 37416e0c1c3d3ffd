// The display sets of an entry: segments, windows, times and the format's limits.
#include "pgs/display_sets.h"

#include <gtest/gtest.h>

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

// A drawn box in the frame, opaque white where `ink` says.
template <class Ink>
RgbaPicture Drawn(int left, int top, int width, int height, Ink ink) {
  RgbaPicture p{left, top, width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.pixels.push_back(ink(x, y) ? 0xFFFFFFFF : 0);
    }
  }
  return p;
}

std::vector<uint8_t> TypesOf(const std::vector<Segment>& segments) {
  std::vector<uint8_t> types;
  for (const Segment& s : segments) types.push_back(s.type);
  return types;
}

TEST(DisplaySets, AnEntryIsShownAtItsStartAndClearedAtItsEnd) {
  const PgsPicture picture = MakePgsPicture(Drawn(100, 900, 300, 60, [](int x, int) { return x >= 10; }), {});
  ASSERT_EQ(picture.objects.size(), 1u);
  EXPECT_EQ(picture.objects[0].x, 110);
  EXPECT_EQ(picture.objects[0].width, 290);
  std::vector<uint8_t> bytes;
  AppendDisplaySets(picture, bytes);
  uint16_t composition = 7;
  StampDisplaySets(bytes, {90000, 180000, 0}, composition);
  EXPECT_EQ(composition, 9);
  const std::vector<Segment> segments = Segments(bytes);
  EXPECT_EQ(TypesOf(segments), (std::vector<uint8_t>{0x16, 0x17, 0x14, 0x15, 0x80, 0x16, 0x17, 0x80}));
  // Epoch start with one object at its window; then a composition with none.
  EXPECT_EQ(segments[0].payload[7], 0x80);
  EXPECT_EQ(segments[0].payload[10], 1);
  EXPECT_EQ(segments[5].payload[7], 0x00);
  EXPECT_EQ(segments[5].payload[10], 0);
  EXPECT_EQ(segments[5].payload[6], 8);  // composition numbers count on
  // The first set is decoded before it is shown: plane, window and object at their rates.
  const uint32_t work = 5832 + (90000u * 290 * 60 + 31999999) / 32000000 + (90000u * 290 * 60 + 15999999) / 16000000;
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(segments[k].pts, 90000u);
  EXPECT_EQ(segments[0].dts, 90000u - work);
  for (std::size_t k = 5; k < 8; ++k) EXPECT_EQ(segments[k].pts, 180000u);
  EXPECT_LE(segments[5].dts, 180000u);
  EXPECT_GE(segments[5].dts, 90000u);
}

TEST(DisplaySets, DecodeTimesNeverGoBackBeforeThePreviousSet) {
  const PgsPicture picture = MakePgsPicture(Drawn(0, 0, 1920, 200, [](int, int) { return true; }), {});
  std::vector<uint8_t> bytes;
  AppendDisplaySets(picture, bytes);
  uint16_t composition = 0;
  StampDisplaySets(bytes, {1000, 1200, 990}, composition);
  const std::vector<Segment> segments = Segments(bytes);
  EXPECT_EQ(segments[0].dts, 990u);
  EXPECT_EQ(segments.back().dts, 1000u);
}

TEST(DisplaySets, LinesAtTopAndBottomTakeTwoWindows) {
  const PgsPicture picture =
      MakePgsPicture(Drawn(600, 40, 400, 1000, [](int, int y) { return y < 50 || y >= 950; }), {});
  ASSERT_EQ(picture.objects.size(), 2u);
  EXPECT_EQ(picture.objects[0].y, 40);
  EXPECT_EQ(picture.objects[0].height, 50);
  EXPECT_EQ(picture.objects[1].y, 990);
  std::vector<uint8_t> bytes;
  AppendDisplaySets(picture, bytes);
  const std::vector<Segment> segments = Segments(bytes);
  EXPECT_EQ(segments[1].payload[0], 2);  // two windows
  EXPECT_EQ(segments[0].payload[10], 2);
}

TEST(DisplaySets, LargeObjectsSpanSegmentsAndOversizedOnesAreRefused) {
  // Every other pixel changes colour: a 1920 × 200 object codes to far more than one segment holds.
  RgbaPicture noisy = Drawn(0, 600, 1920, 200, [](int x, int y) { return (x + y) % 2 == 0; });
  const PgsPicture picture = MakePgsPicture(noisy, {});
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
  // 1920 × 1080 of alternating pixels needs more than the coded buffer.
  const PgsPicture huge = MakePgsPicture(Drawn(0, 0, 1920, 1080, [](int x, int y) { return (x + y) % 2 == 0; }), {});
  EXPECT_NE(PgsLimitProblem(huge).find("1048576"), std::string::npos);
}

TEST(DisplaySets, NothingDrawnGivesOneSmallTransparentObject) {
  const PgsPicture picture = MakePgsPicture(RgbaPicture{}, {720, 576});
  ASSERT_EQ(picture.objects.size(), 1u);
  EXPECT_EQ(picture.objects[0].width, 8);
  EXPECT_EQ(picture.objects[0].height, 8);
  EXPECT_TRUE(picture.palette.empty());
}

}  // namespace
}  // namespace quillet
