// What ffmpeg's DVD subtitle decoder should show for a rendered frame, and the comparison with what it showed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "literal_role.h"
#include "render/frame.h"
#include "sup/run_length_coding.h"
#include "sup/role_colours.h"

namespace quillet::test {

// The role codes of the band, column 719 background, cropped to the smallest rectangle holding every
// non-background pixel: the decoder crops away what is fully transparent, and the background is.
struct ExpectedPicture {
  bool hasPicture = false;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

inline ExpectedPicture ExpectPicture(const RenderedFrame& frame, const RoleRgb& roles) {
  auto code = [&](int x, int y) -> uint8_t {
    if (x >= kCodedRowPixels) return 0;
    const Rgb p = frame.frame.Pixel(x, y);
    return LiteralRole(roles, p);
  };
  int left = kFrameWidth, right = -1, top = -1, bottom = -1;
  for (int y = frame.bandTop; y < frame.bandTop + frame.bandHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      if (code(x, y) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      if (top < 0) top = y;
      bottom = y;
    }
  }
  ExpectedPicture picture;
  if (right < 0) return picture;
  picture = {true, left, top, right - left + 1, bottom - top + 1, {}};
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) picture.pixels.push_back(code(x, y));
  return picture;
}

inline void ExpectSamePicture(const DecodedSubpicture& decoded, const ExpectedPicture& expected,
                              const std::string& what) {
  ASSERT_EQ(decoded.hasPicture, expected.hasPicture) << what;
  if (!expected.hasPicture) return;
  // Contrast: background fully transparent, the three drawn roles fully opaque.
  EXPECT_EQ(decoded.palette[0] >> 24, 0u) << what;
  for (int i = 1; i < 4; ++i) EXPECT_EQ(decoded.palette[i] >> 24, 0xFFu) << what << " colour " << i;
  EXPECT_EQ(decoded.x, expected.x) << what;
  EXPECT_EQ(decoded.y, expected.y) << what;
  ASSERT_EQ(decoded.width, expected.width) << what;
  ASSERT_EQ(decoded.height, expected.height) << what;
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < expected.pixels.size(); ++i) mismatches += decoded.pixels[i] != expected.pixels[i];
  EXPECT_EQ(mismatches, 0u) << what;
}

// ffmpeg counts a display delay in ticks of 1024/90000 s.
inline uint32_t DecoderMs(uint16_t delay) { return (uint32_t{delay} << 10) / 90; }

}  // namespace quillet::test
