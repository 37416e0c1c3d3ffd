// Packet header, times and the subpicture unit around a pixel-data block.
#include "sup/subpicture_unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/errors.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

unsigned Be16(const Bytes& unit, std::size_t at) { return unsigned{unit.at(at)} << 8 | unit.at(at + 1); }

PixelData Block(std::size_t length, int bottomFieldOffset) {
  PixelData data;
  data.block.assign(length, 0x11);
  data.block[0] = data.block[1] = 0;
  data.topFieldOffset = 2;
  data.bottomFieldOffset = bottomFieldOffset;
  return data;
}

const PaletteEntries kGeneric{1, 2, 3, 0};  // antialias, outline, text, background

TEST(BuildSubpictureUnit, LaysOutAnEvenBlock) {
  const Bytes unit = BuildSubpictureUnit(Block(100, 52), 436, 70, kGeneric, 180);
  ASSERT_EQ(unit.size(), 134u);
  EXPECT_EQ(Be16(unit, 0), 134u);  // size
  EXPECT_EQ(Be16(unit, 2), 104u);  // first control sequence
  const Bytes control(unit.begin() + 104, unit.end());
  const Bytes expected = {0x00, 0x00, 0x00, 0x80,                     // at once; next sequence at 128
                          0x01,                                       // start display
                          0x03, 0x12, 0x30,                           // colours
                          0x04, 0xFF, 0xF0,                           // contrast
                          0x05, 0x00, 0x02, 0xCF, 0x1B, 0x41, 0xF9,   // columns 0..719, lines 436..505
                          0x06, 0x00, 0x06, 0x00, 0x38,               // field offsets 2 + 4 and 52 + 4
                          0xFF, 0x00, 0xB4, 0x00, 0x80, 0x02, 0xFF};  // after 180: stop; last sequence
  EXPECT_EQ(control, expected);
}

TEST(BuildSubpictureUnit, PadsAnOddBlockToAnEvenSize) {
  const Bytes unit = BuildSubpictureUnit(Block(101, 50), 0, 2, kGeneric, 4);
  ASSERT_EQ(unit.size(), 136u);
  EXPECT_EQ(Be16(unit, 0), 136u);
  EXPECT_EQ(Be16(unit, 2), 105u);
  EXPECT_EQ(Be16(unit, 105 + 2), 129u);
  EXPECT_EQ(Be16(unit, 105 + 26), 129u);
  EXPECT_EQ(unit[105 + 29], 0xFF);
  EXPECT_EQ(unit[135], 0xFF);  // the pad
}

TEST(BuildSubpictureUnit, StandardsDifferOnlyInTheirLineNumbers) {
  const Bytes pal = BuildSubpictureUnit(Block(40, 20), 500, 64, kGeneric, 270);
  const Bytes ntsc = BuildSubpictureUnit(Block(40, 20), 404, 64, kGeneric, 270);
  ASSERT_EQ(pal.size(), ntsc.size());
  std::vector<std::size_t> differing;
  for (std::size_t i = 0; i < pal.size(); ++i) {
    if (pal[i] != ntsc[i]) differing.push_back(i);
  }
  EXPECT_EQ(differing, (std::vector<std::size_t>{44 + 15, 44 + 16, 44 + 17}));
}

TEST(BuildSubpictureUnit, RefusesUnitsAPlayerCannotHold) {
  EXPECT_NO_THROW(BuildSubpictureUnit(Block(kMaxSubpictureUnitBytes - 34, 10), 0, 2, kGeneric, 1));
  try {
    BuildSubpictureUnit(Block(kMaxSubpictureUnitBytes - 33, 10), 0, 2, kGeneric, 1);
    FAIL() << "no error";
  } catch (const SubpictureTooLargeError& e) {
    EXPECT_EQ(e.UnitBytes(), kMaxSubpictureUnitBytes + 2);
  }
}

TEST(BuildPacketHeader, StoresTheTimeLittleEndian) {
  const auto header = BuildPacketHeader(PresentationTime(1000));
  EXPECT_EQ(Bytes(header.begin(), header.end()), (Bytes{0x53, 0x50, 0x90, 0x5F, 0x01, 0x00, 0, 0, 0, 0}));
}

TEST(PresentationTime, RoundsHalfToEvenAndWrapsNegativeTimes) {
  EXPECT_EQ(PresentationTime(1000), 90000u);
  EXPECT_EQ(PresentationTime(0.5), 45u);
  EXPECT_EQ(PresentationTime(1.0 / 180), 0u);                // 0.5 ticks: to even 0
  EXPECT_EQ(PresentationTime(3.0 / 180), 2u);                // 1.5 ticks: to even 2
  EXPECT_EQ(PresentationTime(-1000), 4294967296u - 90000u);  // wraps to about 13 h 15 min, not 0
  EXPECT_EQ(PresentationTime(47721858.9), 5u);               // 2^32 + 5 ticks: the low 32 bits
}

TEST(DisplayDelay, CountsNinetiethsOfASecondRoundedHalfToEven) {
  struct Case {
    double startMs, endMs;
    uint16_t delay;
  };
  const Case cases[] = {
      {1000, 3000, 180},
      {0, 3000, 270},
      {0, 50, 4},
      {0, 150, 14},
      {10, 60, 4},
      // Low 16 bits, not clamped: an entry ending before its start, and one longer than about 728 s.
      {5000, 4000, static_cast<uint16_t>(65536 - 90)},
      {0, 730000, static_cast<uint16_t>(65700 - 65536)},
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayDelay(c.startMs, c.endMs), c.delay) << c.startMs << " " << c.endMs;
}

TEST(ParseTimeMs, ReadsDecimalTextWithADotOnly) {
  EXPECT_EQ(ParseTimeMs("1000"), 1000.0);
  EXPECT_EQ(ParseTimeMs("-2500"), -2500.0);
  EXPECT_EQ(ParseTimeMs("41.708"), 41.708);
  EXPECT_EQ(ParseTimeMs(" 12 "), 12.0);
  for (const char* bad : {"", "12,5", "abc", "1e3x", "inf", "nan", "--1", "1 2"}) {
    EXPECT_THROW(ParseTimeMs(bad), ConversionError) << bad;
  }
}

TEST(RoundHalfEven, BreaksTiesTowardsEven) {
  const double cases[][2] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
}

}  // namespace
}  // namespace quillet
