// The colours of a presentation graphics picture: at most 255 palette entries besides transparent, in YCbCr.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "render/antialiased_drawing.h"

namespace quillet {

// The coefficients a player converts the palette with: BT.709 on HD frames (720 and 1080 rows), BT.601 on the
// 576- and 480-row frames.
enum class ColourMatrix { Bt601, Bt709 };
ColourMatrix MatrixForFrameRows(int rows);

// One palette entry as the palette segment holds it: limited range (Y 16..235, Cb and Cr 16..240), straight alpha.
struct YCbCrEntry {
  uint8_t y = 16;
  uint8_t cr = 128;
  uint8_t cb = 128;
  uint8_t alpha = 0;
  bool operator==(const YCbCrEntry&) const = default;
};
YCbCrEntry ToYCbCr(uint32_t rgba, ColourMatrix matrix);

// A picture as palette indices: index 0 is transparent (every pixel with alpha 0), index k ≥ 1 has the colour
// colours[k − 1] (R << 24 | G << 16 | B << 8 | A).
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> colours;  // at most 255
  bool reduced = false;           // more than 255 colours were drawn: each pixel took the nearest kept one
};

constexpr int kMaxPaletteColours = 255;

// The distinct colours of a picture, each with a number (0, 1, …) in order of first appearance and its count of
// pixels: an open-addressed table behind a small direct-mapped cache, as neighbouring pixels mostly repeat a few
// colours and a picture holds a few hundred colours at most in practice.
class ColourNumbers {
 public:
  uint32_t NumberOf(uint32_t colour) {
    Cached& cached = m_cache[(colour * 2654435761u) >> 22];
    if (!cached.used || cached.colour != colour) cached = {colour, Lookup(colour), true};
    return cached.number;
  }
  void Count(uint32_t number, int pixels) { m_counts[number] += pixels; }
  const std::vector<uint32_t>& Colours() const { return m_colours; }
  const std::vector<int>& Counts() const { return m_counts; }

 private:
  struct Slot {
    uint32_t colour = 0;
    uint32_t number = 0;
    bool used = false;
  };
  using Cached = Slot;
  uint32_t Lookup(uint32_t colour);
  std::size_t Hash(uint32_t colour) const { return ((colour * 2654435761u) >> 7) & (m_slots.size() - 1); }
  void Grow();
  std::array<Cached, 1024> m_cache{};
  std::vector<Slot> m_slots;
  std::vector<uint32_t> m_colours;
  std::vector<int> m_counts;
};

// Exact when the picture holds at most 255 colours besides transparent. Otherwise the 255 most frequent colours
// are kept (ties to the smaller value) and every other pixel takes the nearest of them (premultiplied RGBA, squared
// distance).
IndexedPicture IndexColours(const RgbaPicture& picture);

}  // namespace quillet
