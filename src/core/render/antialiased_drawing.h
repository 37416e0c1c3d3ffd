// Drawing an entry antialiased on a frame of any size: the lines laid out and placed as on the DVD frame, drawn
// with FreeType's grey coverage, the outline grown by its stroker, composited into straight RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/font_engine.h"
#include "render/frame.h"
#include "render/image.h"
#include "render/render_settings.h"

namespace quillet {

// A box of the frame in straight (not premultiplied) RGBA, R << 24 | G << 16 | B << 8 | A a pixel, top row first.
struct RgbaPicture {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

// The frames an antialiased entry can be drawn on.
struct PictureFrame {
  int width = 1920;
  int height = 1080;
  bool operator==(const PictureFrame&) const = default;
};

// What the settings mean on a frame of `frameHeight` rows: font size (through its dpi), offsets and outline keep
// their proportion to the frame height, taking the 576 rows of the PAL frame as the measure; the 576- and 480-row
// frames (720 wide, as the DVD frames) keep the settings as they are.
struct ScaledPlacement {
  FontDesc font;
  int offset = 0;    // as PlaceSubtitleLines takes it: the 40 rows it adds are scaled too
  int offsetOr = 0;
  int marginPx = 8;  // a left- or right-aligned line's distance from the frame's edge
  int outlinePx64 = 3 * 64;  // the stroker's radius, 1/64 pixel
  int lineLimitPx = 680;     // a line this wide or wider does not fit the frame
};
ScaledPlacement ScaleForFrame(const RenderSettings& settings, PictureFrame frame);

// The colours of the antialiased drawing.
struct TextColours {
  Rgb text{255, 255, 255};
  Rgb outline{0, 0, 0};
  bool operator==(const TextColours&) const = default;
};

// One entry drawn: the box of the frame that holds every drawn pixel (empty when nothing is drawn).
struct AntialiasedEntry {
  RgbaPicture picture;
  BandFit fit = BandFit::Inside;  // whether drawn pixels fell outside the frame (and were cut off)
  std::u32string missingCharacters;
  std::u32string controlCharacters;
};

// Draws line 1 and then line 2 (on top where they meet), each as its outline (the grown shape, in the outline
// colour) under its text, placed as PlaceSubtitleLines places them on a frame of that height and aligned across
// its width. Coverage is taken in 16 steps, so the two colours with their alpha levels make at most 255 colours
// besides transparent whenever the lines do not overlap.
void DrawAntialiasedEntry(FontEngine& engine, std::string_view line1, std::string_view line2,
                          const RenderSettings& settings, PictureFrame frame, const TextColours& colours,
                          AntialiasedEntry& out);

}  // namespace quillet
