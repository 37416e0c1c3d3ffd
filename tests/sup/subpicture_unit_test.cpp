// Packet header, times and the subpicture unit around a pixel-data block.
#include "sup/subpicture_unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/errors.h"

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

TEST(PresentationTime, RoundsHalfToEvenAndNeverWraps) {
  EXPECT_EQ(PresentationTime(1000), 90000u);
  EXPECT_EQ(PresentationTime(0.5), 45u);
  EXPECT_EQ(PresentationTime(1.0 / 180), 0u);  // 0.5 ticks: to even 0
  EXPECT_EQ(PresentationTime(3.0 / 180), 2u);  // 1.5 ticks: to even 2
  EXPECT_EQ(PresentationTime(-1000), 0u);      // shown from the start, not 13 h 15 min later
  EXPECT_EQ(PresentationTime(47721858), 4294967220u);
  // The last start whose ticks fit 32 bits, and the first that does not (13:15:21.86, or 14:00:00).
  EXPECT_TRUE(StartTimeFits(47721858.83));
  EXPECT_FALSE(StartTimeFits(47721858.84));
  EXPECT_FALSE(StartTimeFits(14 * 3600000.0));
}

TEST(DisplayDelay, CountsPlayerTicksOf1024Over90MsRoundedHalfToEven) {
  struct Case {
    double startMs, endMs;
    uint16_t delay;
  };
  const Case cases[] = {
      {1000, 3000, 176},   // 175.78 ticks
      {0, 6000, 527},      // 527.34: ends within a tick of 6 s, not 144 ms after it
      {10, 266, 22},       // 256 ms is 22.5 ticks: to even 22
      {0, 768, 68},        // 67.5: to even 68
      {1000, 1000, 0},     // zero length
      {5000, 4000, 0},     // ends before it starts: not shown, rather than for 12 minutes
      {0, 745648, 65535},  // 65535.47 ticks, the longest a player can count
      {0, 745649, 65535},  // 65535.55: cut to the longest
      {0, 900000, 65535},  // 900 s: cut to 745.6 s, rather than wrapped to 172 s
      {-1000, 2000, 176},  // counted from 0, where it is shown, so it still ends at 2 s
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayDelay(c.startMs, c.endMs), c.delay) << c.startMs << " " << c.endMs;
}

TEST(TimingFor, NamesWhatHadToGiveWay) {
  EXPECT_EQ(TimingFor(1000, 3000), (PacketTiming{90000, 176, kTimingAsWritten}));
  EXPECT_EQ(TimingFor(1000, 1000), (PacketTiming{90000, 0, kTimingAsWritten}));
  EXPECT_EQ(TimingFor(-1000, 2000), (PacketTiming{0, 176, kStartBeforeZero}));
  EXPECT_EQ(TimingFor(5000, 4000), (PacketTiming{450000, 0, kEndsBeforeStart}));
  // One tick (11.4 ms; 6 ms rounds to it) is shown; under half a tick is not.
  EXPECT_TRUE(TimingFor(1000, 1006).Shown());
  EXPECT_FALSE(TimingFor(1000, 1005).Shown());
  EXPECT_EQ(TimingFor(0, 745648).adjustments, kTimingAsWritten);
  EXPECT_EQ(TimingFor(0, 745649), (PacketTiming{0, 65535, kLastsTooLong}));
  EXPECT_EQ(TimingFor(-3000, -2000).adjustments, kStartBeforeZero | kEndsBeforeStart);
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

TEST(SubpictureUnit, AStopDelayIsLoweredToALimitNeverRaised) {
  for (const std::size_t pixels : {100u, 101u}) {  // an odd block moves the control sequences by its pad byte
    Bytes unit = BuildSubpictureUnit(Block(pixels, 50), 436, 70, kGeneric, 180);
    EXPECT_TRUE(LimitStopDelay(unit, 200));
    EXPECT_EQ(unit, BuildSubpictureUnit(Block(pixels, 50), 436, 70, kGeneric, 180));
    EXPECT_TRUE(LimitStopDelay(unit, 3));
    EXPECT_EQ(unit, BuildSubpictureUnit(Block(pixels, 50), 436, 70, kGeneric, 3));
  }
  Bytes cut = BuildSubpictureUnit(Block(100, 50), 436, 70, kGeneric, 180);
  cut.resize(cut.size() - 30);  // its control sequences past its end
  const Bytes before = cut;
  EXPECT_FALSE(LimitStopDelay(cut, 3));
  EXPECT_EQ(cut, before);
}

TEST(SubpictureUnit, AForcedDisplayChangesOnlyItsStartCommand) {
  for (const std::size_t pixels : {100u, 101u}) {
    const Bytes plain = BuildSubpictureUnit(Block(pixels, 50), 436, 70, kGeneric, 180);
    Bytes forced = plain;
    ASSERT_TRUE(ForceDisplay(forced));
    const std::size_t start = static_cast<std::size_t>(plain[2] << 8 | plain[3]) + 4;
    EXPECT_EQ(plain[start], 0x01);
    EXPECT_EQ(forced[start], 0x00);
    forced[start] = 0x01;
    EXPECT_EQ(forced, plain);
  }
  Bytes twice = BuildSubpictureUnit(Block(100, 50), 436, 70, kGeneric, 180);
  ASSERT_TRUE(ForceDisplay(twice));
  const Bytes once = twice;
  EXPECT_FALSE(ForceDisplay(twice));  // it no longer starts with a plain start
  EXPECT_EQ(twice, once);
}

}  // namespace
}  // namespace quillet
