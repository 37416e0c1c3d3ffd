// The fast renderer against the literal one, pixel for pixel, across the settings' whole ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "reference_render.h"
#include "render/subtitle_renderer.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

// The font size list: 6 … 30, then 32 … 50 by two.
std::vector<int> SizeList() {
  std::vector<int> sizes;
  for (int s = 6; s <= 30; ++s) sizes.push_back(s);
  for (int s = 32; s <= 50; s += 2) sizes.push_back(s);
  return sizes;
}

const char* const kStyles[] = {"Normal",     "Bold",        "Italic",       "Underline", "Bold+Italic",
                               "Bold+Under", "Bold+It+Und", "Italic+Under", "StrikeOut"};
const char* const kAligns[] = {"center", "left", "right"};

// Texts chosen for their edges: descenders, a glyph that reaches left of its pen ('j' first), accents over
// capitals, lines wider than the frame at large sizes (negative x, clipped on both sides), empty lines.
const char* const kLines[] = {
    "Rethymno.",
    "Crete Hellas.",
    "",
    "jumpy gig, quaint fjord",
    "\xC3\x89t\xC3\xA9 \xC3\x80 l'\xC3\x8Ele",  // UTF-8 under DEFAULT
    "The quick brown fox jumps over the lazy dog while the dog sleeps on",
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
    "i",
    "  spaced  out  ",
};

// One value of each axis per case, each axis walking through its own shuffled order so that every value of
// every axis appears and the combinations vary.
class AxisWalker {
 public:
  AxisWalker(int length, std::mt19937& random) : m_order(length) {
    for (int i = 0; i < length; ++i) m_order[i] = i;
    std::shuffle(m_order.begin(), m_order.end(), random);
  }
  int At(int caseIndex) const { return m_order[caseIndex % m_order.size()]; }
  int Length() const { return static_cast<int>(m_order.size()); }

 private:
  std::vector<int> m_order;
};

void ExpectSameFrame(const RenderedFrame& fast, const RenderedFrame& reference, const std::string& what) {
  ASSERT_EQ(fast.frame.Width(), reference.frame.Width()) << what;
  ASSERT_EQ(fast.frame.Height(), reference.frame.Height()) << what;
  EXPECT_EQ(fast.bandTop, reference.bandTop) << what;
  EXPECT_EQ(fast.bandHeight, reference.bandHeight) << what;
  if (fast.frame == reference.frame) return;
  for (int y = 0; y < fast.frame.Height(); ++y) {
    for (int x = 0; x < fast.frame.Width(); ++x) {
      if (fast.frame.Pixel(x, y) != reference.frame.Pixel(x, y)) {
        ADD_FAILURE() << what << ": first differing pixel at " << x << "," << y;
        return;
      }
    }
  }
}

TEST(ReferenceCompare, FastFramesEqualTheLiteralAlgorithm) {
  const std::vector<int> sizes = SizeList();
  std::mt19937 random(20240611);
  const AxisWalker sizeAxis(static_cast<int>(sizes.size()), random);
  const AxisWalker widthAxis(3, random);
  const AxisWalker styleAxis(9, random);
  const AxisWalker alignAxis(3, random);
  const AxisWalker standardAxis(2, random);
  const AxisWalker offsetOrAxis(25, random);  // −14 … 10
  const AxisWalker line1Axis(std::size(kLines), random);
  const AxisWalker line2Axis(std::size(kLines) - 1, random);
  const std::vector<int> offsets = {8, 12, 30, 31, 100, 250, 400, 441, 470, 492};
  const AxisWalker offsetAxis(static_cast<int>(offsets.size()), random);
  // Distinct roles, and once in a while two roles that share a colour.
  const RoleRgb distinct{Rgb{200, 200, 0}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
  const RoleRgb shared{Rgb{255, 255, 255}, Rgb{16, 16, 16}, Rgb{255, 255, 255}};

  const int cases = 2 * static_cast<int>(sizes.size());
  for (int i = 0; i < cases; ++i) {
    const int size = sizes[sizeAxis.At(i)];
    const int width = 2 + widthAxis.At(i);
    const char* style = kStyles[styleAxis.At(i)];
    const char* align = kAligns[alignAxis.At(i)];
    const VideoStandard standard = standardAxis.At(i) == 0 ? VideoStandard::Pal : VideoStandard::Ntsc;
    const int offsetOr = -14 + offsetOrAxis.At(i);
    const int offset = offsets[offsetAxis.At(i)];
    const char* line1 = kLines[line1Axis.At(i)];
    const char* line2 = kLines[(line1Axis.At(i) + 1 + line2Axis.At(i)) % std::size(kLines)];
    const RoleRgb& roles = i % 7 == 3 ? shared : distinct;
    const FontDesc font = Font(size, StyleFromText(style));

    const std::string what = "case " + std::to_string(i) + ": size " + std::to_string(size) + ", W " +
                             std::to_string(width) + ", " + style + ", " + align + ", " +
                             (standard == VideoStandard::Pal ? "PAL" : "NTSC") + ", offset " + std::to_string(offset) +
                             ", offsetOr " + std::to_string(offsetOr) + ", \"" + line1 + "\" / \"" + line2 + "\"";
    ExpectSameFrame(
        RenderFrame(SharedEngine(), line1, line2,
                    RenderSettings{font, AlignmentFromText(align), offset, offsetOr, width, standard, roles}),
        ReferenceRenderFrame(SharedEngine(), line1, line2,
                             RenderSettings{font, AlignmentFromText(align), offset, offsetOr, width, standard, roles}),
        what);
  }
}

// Every offsetOr from −14 to 10 (odd ones too: the drawing does not rely on evenness) with the cells overlapping.
TEST(ReferenceCompare, EveryOffsetOrWithOverlappingCells) {
  const RoleRgb roles{Rgb{1, 2, 3}, Rgb{4, 5, 6}, Rgb{7, 8, 9}};
  for (int offsetOr = -14; offsetOr <= 10; ++offsetOr) {
    const FontDesc font = Font(14 + offsetOr + 14, StyleFromText(offsetOr % 2 ? "Bold+It+Und" : "StrikeOut"));
    ExpectSameFrame(
        RenderFrame(SharedEngine(), "gjpqy Qg", "Tŷ Bach",
                    RenderSettings{font, Alignment::Center, 30, offsetOr, 4, VideoStandard::Pal, roles}),
        ReferenceRenderFrame(SharedEngine(), "gjpqy Qg", "Tŷ Bach",
                             RenderSettings{font, Alignment::Center, 30, offsetOr, 4, VideoStandard::Pal, roles}),
        "offsetOr " + std::to_string(offsetOr));
  }
}

// The preview draws on a picture, not on blue: only ink pixels change.
TEST(ReferenceCompare, DrawingOnAPictureMatches) {
  Image24 picture(720, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 720; ++x) picture.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), uint8_t(x ^ y)});
  }
  const RoleRgb roles{Rgb{200, 200, 0}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
  for (int size : {6, 20, 50}) {
    const FontDesc font = Font(size, StyleFromText("Bold+Under"));
    Image24 fast = picture;
    Image24 reference = picture;
    const LineMeasures m = MeasureSubtitleLines(SharedEngine(), "Rethymno.", "Crete Hellas", font);
    const LineOrigins a =
        DrawSubtitleLines(SharedEngine(), fast, "Rethymno.", "Crete Hellas", m,
                          RenderSettings{font, Alignment::Right, 300, -4, 3, VideoStandard::Pal, roles});
    const LineOrigins b =
        ReferenceDrawSubtitleLines(SharedEngine(), reference, "Rethymno.", "Crete Hellas", m,
                                   RenderSettings{font, Alignment::Right, 300, -4, 3, VideoStandard::Pal, roles});
    EXPECT_EQ(a, b);
    EXPECT_TRUE(fast == reference) << "size " << size;
    EXPECT_FALSE(fast == picture);
  }
}

}  // namespace
}  // namespace quillet
