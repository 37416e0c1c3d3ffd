// The reference coder: pixel classification, band scanning and the pixel-data block of a band's two fields.
#include "reference_coder.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/errors.h"
#include "literal_role.h"
#include "render/frame.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{128, 128, 128};
const RoleRgb kRoles{kGrey, kBlack, kWhite};  // antialias, outline, text

// The runs of one row, as (length, role) pairs.
std::vector<PixelRun> RowRuns(const BandRuns& runs, int row) {
  auto span = runs.Row(row);
  return std::vector<PixelRun>(span.begin(), span.end());
}

TEST(ScanBand, ComparesColoursExactlyInTheFixedOrder) {
  struct Case {
    const char* name;
    RoleRgb roles;
    Rgb pixel;
    uint8_t code;
  };
  const Case cases[] = {
      {"text", kRoles, kWhite, 1},
      {"outline", kRoles, kBlack, 2},
      {"antialias", kRoles, kGrey, 3},
      {"frame blue", kRoles, kFrameBlue, 0},
      {"a blend matches nothing", kRoles, Rgb{127, 128, 128}, 0},
      {"text over outline on the same entry", RoleRgb{kGrey, kWhite, kWhite}, kWhite, 1},
      {"outline over antialias", RoleRgb{kBlack, kBlack, kWhite}, kBlack, 2},
      {"a role that is pure blue is background", RoleRgb{kGrey, kBlack, kFrameBlue}, kFrameBlue, 0},
  };
  for (const Case& c : cases) {
    const Image24 frame(kFrameWidth, 2, c.pixel);
    const BandRuns runs = ScanBand(frame, 0, 2, c.roles);
    ASSERT_EQ(runs.RowCount(), 2) << c.name;
    for (int row = 0; row < 2; ++row) {
      EXPECT_EQ(RowRuns(runs, row), (std::vector<PixelRun>{{kCodedRowPixels, c.code}})) << c.name;
    }
  }
}

TEST(ScanBand, SplitsWhereTheColourChangesNotWhereTheRoleDoes) {
  Image24 frame(kFrameWidth, 4, kFrameBlue);
  frame.SetPixel(10, 0, Rgb{1, 2, 3});  // unknown colour: background, but a run of its own
  frame.SetPixel(11, 0, Rgb{1, 2, 4});  // another unknown colour
  frame.SetPixel(12, 0, kWhite);
  frame.SetPixel(13, 0, kWhite);
  frame.SetPixel(719, 1, kWhite);  // never read
  const BandRuns runs = ScanBand(frame, 0, 2, kRoles);
  ASSERT_EQ(runs.RowCount(), 2);
  EXPECT_EQ(RowRuns(runs, 0), (std::vector<PixelRun>{{10, 0}, {1, 0}, {1, 0}, {2, 1}, {705, 0}}));
  EXPECT_EQ(RowRuns(runs, 1), (std::vector<PixelRun>{{719, 0}}));
}

TEST(ScanBand, TakesTheRoleOfEachRunsColourAndCoversOnlyBandRows) {
  Image24 frame(kFrameWidth, 480, kFrameBlue);
  for (int x = 0; x < 719; ++x) frame.SetPixel(x, 101, x < 5 ? kGrey : kBlack);
  frame.SetPixel(0, 99, kWhite);  // above the band
  const BandRuns runs = ScanBand(frame, 100, 3, kRoles);
  ASSERT_EQ(runs.RowCount(), 3);
  EXPECT_EQ(RowRuns(runs, 0), (std::vector<PixelRun>{{719, 0}}));
  EXPECT_EQ(RowRuns(runs, 1), (std::vector<PixelRun>{{5, 3}, {714, 2}}));
}

TEST(ScanBand, RejectsBandsOutsideTheFrame) {
  const Image24 frame(kFrameWidth, 480, kFrameBlue);
  EXPECT_THROW(ScanBand(frame, 470, 11, kRoles), QuilletError);
  EXPECT_THROW(ScanBand(frame, -2, 10, kRoles), QuilletError);
  EXPECT_THROW(ScanBand(frame, 10, 0, kRoles), QuilletError);
  EXPECT_THROW(ScanBand(Image24(700, 480, kFrameBlue), 10, 2, kRoles), QuilletError);
  EXPECT_NO_THROW(ScanBand(frame, 470, 10, kRoles));
}

TEST(EncodeFields, PutsEvenRowsInTheTopFieldAndOddRowsInTheBottomField) {
  Image24 frame(kFrameWidth, 576, kFrameBlue);
  frame.SetPixel(100, 437, kWhite);  // band row 1: bottom field
  for (int height : {1, 2, 5, 6}) {
    const PixelData data = EncodeFields(ScanBand(frame, 436, height, kRoles));
    const Bytes blank = {0x03, 0xFC, 0x03, 0xFC, 0x03, 0x44, 0x00, 0x00};
    const Bytes dot = {0x01, 0x90, 0x50, 0x3F, 0xC0, 0x3F, 0xC0, 0x1B, 0x00, 0x00, 0x00};
    Bytes expected = {0x00, 0x00};
    const int topRows = (height + 1) / 2;
    const int bottomRows = height / 2;
    for (int i = 0; i < topRows; ++i) expected.insert(expected.end(), blank.begin(), blank.end());
    for (int i = 0; i < bottomRows; ++i) {
      const Bytes& row = i == 0 ? dot : blank;
      expected.insert(expected.end(), row.begin(), row.end());
    }
    EXPECT_EQ(data.block, expected) << "height " << height;
    EXPECT_EQ(data.topFieldOffset, 2);
    EXPECT_EQ(data.bottomFieldOffset, 2 + 8 * topRows) << "height " << height;
  }
}

TEST(EncodeFields, ReusingBuffersGivesTheSameBytes) {
  Image24 busy(kFrameWidth, 576, kFrameBlue);
  for (int x = 0; x < 719; x += 2) busy.SetPixel(x, 300, kWhite);
  Image24 quiet(kFrameWidth, 576, kFrameBlue);
  BandRuns runs;
  PixelData data;
  ScanBand(busy, 300, 9, kRoles, runs);
  EncodeFields(runs, data);
  ScanBand(quiet, 200, 3, kRoles, runs);
  EncodeFields(runs, data);
  EXPECT_EQ(data, EncodeFields(ScanBand(quiet, 200, 3, kRoles)));
}

}  // namespace
}  // namespace quillet
