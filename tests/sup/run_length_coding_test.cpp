// The run-length code of rows (through the reference coder's checked EncodeRow), and capturing the role colours.
#include "reference_coder.h"
#include "sup/run_length_coding.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "render/frame.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Row(const std::vector<PixelRun>& runs) {
  Bytes out;
  EncodeRow(runs, out);
  return out;
}

TEST(EncodeRow, CodesTheExamplesByteForByte) {
  struct Case {
    const char* name;
    std::vector<PixelRun> runs;
    Bytes bytes;
  };
  const Case cases[] = {
      {"all background: 255 + 255 + 209", {{719, 0}}, {0x03, 0xFC, 0x03, 0xFC, 0x03, 0x44, 0x00, 0x00}},
      {"single text pixel at x = 100, odd nibble count padded",
       {{100, 0}, {1, 1}, {618, 0}},
       {0x01, 0x90, 0x50, 0x3F, 0xC0, 0x3F, 0xC0, 0x1B, 0x00, 0x00, 0x00}},
      {"mixed widths, even nibble count",
       {{3, 0}, {4, 1}, {16, 2}, {64, 3}, {632, 0}},
       {0xC1, 0x10, 0x42, 0x01, 0x03, 0x03, 0xFC, 0x03, 0xFC, 0x01, 0xE8, 0x00, 0x00}},
  };
  for (const Case& c : cases) EXPECT_EQ(Row(c.runs), c.bytes) << c.name;
}

TEST(EncodeRow, PicksTheCodeWidthByRunLength) {
  // Role 1; a trailing run of 1 background pixel (nibble 4) makes the nibble count visible in the bytes.
  struct Case {
    int length;
    Bytes bytes;
  };
  const Case cases[] = {
      {3, {0xD4, 0x00, 0x00}},                // D, 4
      {4, {0x11, 0x40, 0x00, 0x00}},          // 11, 4, pad
      {15, {0x3D, 0x40, 0x00, 0x00}},         // 3D, 4, pad
      {16, {0x04, 0x14, 0x00, 0x00}},         // 041, 4
      {63, {0x0F, 0xD4, 0x00, 0x00}},         // 0FD, 4
      {64, {0x01, 0x01, 0x40, 0x00, 0x00}},   // 0101, 4, pad
      {255, {0x03, 0xFD, 0x40, 0x00, 0x00}},  // 03FD, 4, pad
      {256, {0x03, 0xFD, 0x54, 0x00, 0x00}},  // 03FD, 5, 4
      {510, {0x03, 0xFD, 0x03, 0xFD, 0x40, 0x00, 0x00}},
      {511, {0x03, 0xFD, 0x03, 0xFD, 0x54, 0x00, 0x00}},
  };
  for (const Case& c : cases) EXPECT_EQ(Row({{c.length, 1}, {1, 0}}), c.bytes) << "length " << c.length;
}

TEST(EncodeRow, RefusesRunsThatDoNotFitARow) {
  EXPECT_THROW(Row({{700, 0}, {20, 1}}), std::invalid_argument);
  EXPECT_THROW(Row({{0, 1}, {719, 0}}), std::invalid_argument);
  // The longest row possible, every pixel its own run: one nibble each, padded.
  std::vector<PixelRun> single(719, PixelRun{1, 1});
  EXPECT_EQ(Row(single).size(), 360u + 2u);
}

TEST(CaptureRoleColours, TakesEachRolesSwatch) {
  std::array<Rgb, 16> swatches{};
  for (int i = 0; i < 16; ++i) swatches[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 2), 7};
  EXPECT_EQ(CaptureRoleColours(swatches, 1, 2, 3), (RoleRgb{swatches[1], swatches[2], swatches[3]}));
  EXPECT_THROW(CaptureRoleColours(swatches, 16, 2, 3), std::out_of_range);
}

}  // namespace
}  // namespace quillet
