// The .sub packs: every unit split over whole 2048-byte sectors, each sector exactly filled.
#include "sup/vobsub_packs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {
namespace {

// What one sector holds, read back field by field.
struct SectorContents {
  std::vector<uint8_t> payload;  // unit bytes of its private-stream-1 packet
  bool hasPts = false;
  std::vector<uint8_t> ptsBytes;
};

// Walks one sector: pack header, one private-stream-1 packet, then at most a padding packet, which must end
// exactly at the sector's end.
SectorContents ReadSector(const uint8_t* s, const std::string& what) {
  SectorContents contents;
  EXPECT_EQ((std::vector<uint8_t>(s, s + 4)), (std::vector<uint8_t>{0, 0, 1, 0xBA})) << what;
  EXPECT_EQ(s[13] & 0x07, 0) << what << ": pack stuffing";
  std::size_t at = 14;
  bool sawUnit = false;
  while (at < kVobSubPackBytes) {
    if (kVobSubPackBytes - at < 6 || s[at] != 0 || s[at + 1] != 0 || s[at + 2] != 1) {
      ADD_FAILURE() << what << ": no packet start at " << at;
      return contents;
    }
    const uint8_t streamId = s[at + 3];
    const std::size_t length = std::size_t{s[at + 4]} << 8 | s[at + 5];
    const std::size_t end = at + 6 + length;
    if (end > kVobSubPackBytes) {
      ADD_FAILURE() << what << ": packet at " << at << " overruns the sector";
      return contents;
    }
    if (streamId == 0xBD) {
      EXPECT_FALSE(sawUnit) << what;
      sawUnit = true;
      const std::size_t headerData = s[at + 8];
      contents.hasPts = (s[at + 7] & 0xC0) == 0x80;
      const std::size_t ptsAt = at + 9;
      if (contents.hasPts) contents.ptsBytes.assign(s + ptsAt, s + ptsAt + 5);
      for (std::size_t i = ptsAt + (contents.hasPts ? 5 : 0); i < ptsAt + headerData; ++i) {
        EXPECT_EQ(s[i], 0xFF) << what << ": stuffing";
      }
      const std::size_t substream = ptsAt + headerData;
      EXPECT_EQ(s[substream], 0x20) << what;
      contents.payload.assign(s + substream + 1, s + end);
    } else {
      EXPECT_EQ(streamId, 0xBE) << what << ": only padding may follow the unit";
      EXPECT_TRUE(sawUnit) << what;
    }
    at = end;
  }
  EXPECT_TRUE(sawUnit) << what;
  return contents;
}

std::vector<uint8_t> Unit(std::size_t size) {
  std::vector<uint8_t> unit(size);
  for (std::size_t i = 0; i < size; ++i) unit[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return unit;
}

TEST(VobSubPacks, EveryUnitSizeFillsWholeSectorsAndComesBackWhole) {
  // Around the edges: a sector's room exactly used, one byte over, and the few leftover bytes that are too
  // few for a padding packet (those become header stuffing).
  const std::size_t sizes[] = {34, 2012, 2013, 2014, 2016, 2018, 2019, 2020, 4042, 4043, 4044, 6067, 6068, 9000, 53220};
  const std::size_t expectedPacks[] = {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 5, 27};
  for (std::size_t c = 0; c < std::size(sizes); ++c) {
    const std::string what = "unit of " + std::to_string(sizes[c]) + " bytes";
    const std::vector<uint8_t> unit = Unit(sizes[c]);
    std::vector<uint8_t> out = {0xAA};  // packs are appended after what is there
    AppendVobSubPacks(unit, 123456, out);
    ASSERT_EQ(VobSubPackCount(unit.size()), expectedPacks[c]) << what;
    ASSERT_EQ(out.size(), 1 + expectedPacks[c] * kVobSubPackBytes) << what;
    std::vector<uint8_t> joined;
    for (std::size_t pack = 0; pack < expectedPacks[c]; ++pack) {
      const SectorContents sector = ReadSector(out.data() + 1 + pack * kVobSubPackBytes, what);
      EXPECT_EQ(sector.hasPts, pack == 0) << what << " pack " << pack;
      joined.insert(joined.end(), sector.payload.begin(), sector.payload.end());
    }
    EXPECT_EQ(joined, unit) << what;
  }
}

TEST(VobSubPacks, ClockReferenceAndPresentationTimeCarryThePts) {
  std::vector<uint8_t> out;
  AppendVobSubPacks(Unit(100), 90000, out);
  // Pack header: SCR 90 000 with extension 0, mux rate 25 200 (10.08 Mbit/s), no stuffing.
  EXPECT_EQ((std::vector<uint8_t>(out.begin() + 4, out.begin() + 14)),
            (std::vector<uint8_t>{0x44, 0x00, 0x16, 0xFC, 0x84, 0x01, 0x01, 0x89, 0xC3, 0xF8}));
  EXPECT_EQ(ReadSector(out.data(), "1 s").ptsBytes, (std::vector<uint8_t>{0x21, 0x00, 0x05, 0xBF, 0x21}));

  out.clear();
  AppendVobSubPacks(Unit(3000), 0xFFFFFFFFu, out);  // the latest time a SUP holds: every PTS bit up to 31
  EXPECT_EQ(ReadSector(out.data(), "13 h").ptsBytes, (std::vector<uint8_t>{0x27, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ((std::vector<uint8_t>(out.begin() + 4, out.begin() + 10)),
            (std::vector<uint8_t>{0x5F, 0xFF, 0xFF, 0xFF, 0xFC, 0x01}));
  EXPECT_EQ((std::vector<uint8_t>(out.begin() + 2048 + 4, out.begin() + 2048 + 10)),
            (std::vector<uint8_t>(out.begin() + 4, out.begin() + 10)))
      << "every pack of a unit has the same clock reference";
}

}  // namespace
}  // namespace quillet
