// Test frames drawn without the font renderer: role-coloured shapes on the blue frame.
#pragma once

#include <functional>
#include <random>
#include <utility>

#include "reference_coder.h"
#include "render/frame.h"
#include "sup/role_colours.h"

namespace quillet::test {

inline const RoleRgb kTestRoles{Rgb{170, 170, 170}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};  // antialias, outline, text

// A GenerationJob::encode for tests that describe frames as values: each frame made, scanned and coded.
inline std::function<void(int, EncodedEntry&)> EachFrame(std::function<RenderedFrame(int)> make,
                                                         RoleRgb roles = kTestRoles) {
  return [make = std::move(make), roles](int i, EncodedEntry& out) { EncodeFrame(make(i), roles, out); };
}

// A band of `bandHeight` rows from `bandTop` holding "glyphs": text blocks ringed by antialias and outline,
// a few pixels of colours no role has, and a text pixel in the never-coded last column. `seed` varies it.
inline RenderedFrame SyntheticFrame(VideoStandard standard, int bandTop, int bandHeight, unsigned seed) {
  RenderedFrame result;
  result.frame = Image24(kFrameWidth, FrameHeight(standard), kFrameBlue);
  result.bandTop = bandTop;
  result.bandHeight = bandHeight;
  Image24& frame = result.frame;
  std::mt19937 random(seed);
  auto paint = [&](int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = std::max(y0, bandTop); y <= std::min(y1, bandTop + bandHeight - 1); ++y) {
      for (int x = std::max(x0, 0); x <= std::min(x1, kFrameWidth - 1); ++x) frame.SetPixel(x, y, colour);
    }
  };
  const int glyphs = 3 + static_cast<int>(random() % 6);
  for (int g = 0; g < glyphs; ++g) {
    const int x = 10 + static_cast<int>(random() % 660);
    const int y = bandTop + 3 + static_cast<int>(random() % std::max(1, bandHeight - 6));
    const int w = 1 + static_cast<int>(random() % 40);
    const int h = 1 + static_cast<int>(random() % 20);
    const int ring = 2 + static_cast<int>(random() % 3);
    paint(x - ring, y - ring, x + w + ring, y + h + ring, kTestRoles.outline);
    paint(x - 1, y - 1, x + w + 1, y + h + 1, kTestRoles.antialias);
    paint(x, y, x + w, y + h, kTestRoles.text);
  }
  for (int i = 0; i < 20; ++i) {
    const int x = static_cast<int>(random() % 719);
    const int y = bandTop + static_cast<int>(random() % bandHeight);
    frame.SetPixel(x, y, Rgb{static_cast<uint8_t>(random()), 12, 34});  // a blended edge: background
  }
  frame.SetPixel(719, bandTop + bandHeight / 2, kTestRoles.text);
  return result;
}

}  // namespace quillet::test
