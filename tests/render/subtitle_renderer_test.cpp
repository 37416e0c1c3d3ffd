#include "render/subtitle_renderer.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "render/bit_mask.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::CountPixels;
using test::Font;
using test::SharedEngine;

const RoleRgb kRoles{Rgb{255, 255, 0}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};  // antialias, outline, text

TEST(SubtitleRenderer, EmptyLinesMeasureAsOneSpace) {
  const LineMeasures m = MeasureSubtitleLines(SharedEngine(), "", "Rethymno.", Font(20));
  EXPECT_EQ(m.w1, SharedEngine().LayoutLine(Font(20), " ").widthPx);
  EXPECT_GT(m.w1, 0);
  EXPECT_EQ(m.h1, 30);
  EXPECT_EQ(m.w2, 132);
  EXPECT_EQ(m.h2, 30);
}

TEST(SubtitleRenderer, HorizontalPlacementByAlignment) {
  EXPECT_EQ(LineOriginX(Alignment::Center, 132), 294);
  EXPECT_EQ(LineOriginX(Alignment::Center, 133), 360 - 66);  // odd width: the half is rounded down
  EXPECT_EQ(LineOriginX(Alignment::Left, 133), 8);
  EXPECT_EQ(LineOriginX(Alignment::Right, 133), 712 - 133);
  EXPECT_EQ(LineOriginX(AlignmentFromText("anything"), 100), 612);
  // The list texts; no selection (an empty text) aligns right.
  EXPECT_EQ(AlignmentFromText("center"), Alignment::Center);
  EXPECT_EQ(AlignmentFromText("left"), Alignment::Left);
  EXPECT_EQ(AlignmentFromText(""), Alignment::Right);
  EXPECT_EQ(LineOriginX(Alignment::Center, 801), 360 - 400);  // wider than the frame: negative, clipped when drawn
}

TEST(SubtitleRenderer, VerticalPlacementAndBandForTheDefaults) {
  // PAL, size 20 (h = 30), offset 30, offsetOr −4.
  const LineMeasures m{132, 30, 120, 30};
  const LineOrigins o = PlaceSubtitleLines(m, Alignment::Center, 30, -4, 576);
  EXPECT_EQ(o.y1, 576 - 30 - 70);
  EXPECT_EQ(o.y2, o.y1 + 30 + 4);
  EXPECT_EQ(SubtitleBand(o.y1, m, -4, 576), (Band{476, 70}));  // 2h + 10 rows
  // An odd y1 moves the band's top up one row and keeps its height.
  const LineOrigins odd = PlaceSubtitleLines(m, Alignment::Center, 31, -4, 576);
  EXPECT_EQ(odd.y1, 475);
  EXPECT_EQ(SubtitleBand(odd.y1, m, -4, 576), (Band{474, 70}));
  // Positive offsetOr: the cells overlap, the band shrinks.
  EXPECT_EQ(SubtitleBand(476, m, 10, 576).height, 56);
}

// Tall marks (Thai tone mark, Arabic shadda, Vietnamese tilde, Devanagari i-sign, accented capitals) draw the
// same rows on line 1 as on line 2, all inside the band.
TEST(SubtitleRenderer, TallMarksOnLineOneKeepEveryRow) {
  auto paintedRows = [](const RenderedFrame& f, int from, int to) {
    int rows = 0;
    for (int y = from; y < to; ++y) {
      bool painted = false;
      for (int x = 0; x < f.frame.Width() && !painted; ++x) painted = f.frame.Pixel(x, y) != kFrameBlue;
      rows += painted;
    }
    return rows;
  };
  for (const char* text : {"\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3", "\xD8\xA7\xD9\x84\xD9\x84\xD9\x91\xD9\x87",
                           "\xE1\xBA\xAA\xC3\x85\xE1\xBB\x9E", "\xE0\xA4\x95\xE0\xA4\xBF"}) {
    for (int outline : {2, 4}) {
      const RenderSettings settings{Font(36), Alignment::Center, 30, -4, outline, VideoStandard::Pal, kRoles};
      const RenderedFrame upper = RenderFrame(SharedEngine(), text, "", settings);
      const RenderedFrame lower = RenderFrame(SharedEngine(), "", text, settings);
      const int inBand = paintedRows(upper, upper.bandTop, upper.bandTop + upper.bandHeight);
      EXPECT_EQ(inBand, paintedRows(upper, 0, upper.frame.Height())) << text << ", outline " << outline;
      EXPECT_EQ(inBand, paintedRows(lower, lower.bandTop, lower.bandTop + lower.bandHeight)) << text << outline;
      EXPECT_EQ(upper.bandTop % 2, 0);
    }
  }
}

// The settings allow bands that leave the frame; the band is clamped to the rows that exist.
TEST(SubtitleRenderer, BandIsClampedToTheFrame) {
  // Size 50 at offset 8 on PAL: y1 = 576 − 75 − 48 = 453, the band would end at 453 + 150 + 14 + 6 = 623.
  const LineMeasures big{300, 75, 300, 75};
  EXPECT_EQ(SubtitleBand(453, big, -14, 576), (Band{452, 124, BandFit::Partly}));
  // NTSC with offset 492 and size 20: y1 = 480 − 30 − 532 = −82, band −82 .. −82 + 70.
  const LineMeasures m{132, 30, 120, 30};
  EXPECT_EQ(SubtitleBand(-82, m, -4, 480), (Band{0, 2, BandFit::Outside}));  // wholly above: two blank rows at the top
  // Partly above: y1 = −23 → top −24, end −24 + 70 = 46.
  EXPECT_EQ(SubtitleBand(-23, m, -4, 480), (Band{0, 46, BandFit::Partly}));
  // Wholly below cannot happen (y1 < H), but the clamp holds anyway.
  EXPECT_EQ(SubtitleBand(600, m, -4, 480), (Band{478, 2, BandFit::Outside}));

  // Whole frames at both ends: the band is inside and even.
  for (VideoStandard standard : {VideoStandard::Pal, VideoStandard::Ntsc}) {
    for (int offset : {8, 492}) {
      const RenderedFrame f =
          RenderFrame(SharedEngine(), "Rethymno.", "Crete Hellas.",
                      RenderSettings{Font(50), Alignment::Center, offset, -14, 4, standard, kRoles});
      EXPECT_EQ(f.bandTop % 2, 0);
      EXPECT_GE(f.bandTop, 0);
      EXPECT_GE(f.bandHeight, 2);
      EXPECT_LE(f.bandTop + f.bandHeight, f.frame.Height());
    }
  }
}

TEST(SubtitleRenderer, FrameIsBlueWithOnlyTheRoleColours) {
  const RenderedFrame f =
      RenderFrame(SharedEngine(), "Rethymno.", "Crete Hellas.",
                  RenderSettings{Font(20), Alignment::Center, 30, -4, 3, VideoStandard::Pal, kRoles});
  ASSERT_EQ(f.frame.Width(), 720);
  ASSERT_EQ(f.frame.Height(), 576);
  EXPECT_EQ(f.frame.Row(0)[0], 255);  // blue, green, red
  EXPECT_EQ(f.frame.Row(0)[2], 0);
  std::set<std::tuple<int, int, int>> colours;
  for (int y = 0; y < 576; ++y) {
    for (int x = 0; x < 720; ++x) {
      const Rgb p = f.frame.Pixel(x, y);
      colours.insert({p.r, p.g, p.b});
      // Nothing is drawn above the outline rows over line 1's cell or below the band.
      if (p != kFrameBlue) {
        EXPECT_GE(y, f.bandTop - 3);
        EXPECT_LT(y, f.bandTop + f.bandHeight);
      }
    }
  }
  EXPECT_EQ(colours.size(), 4u);
  EXPECT_GT(CountPixels(f.frame, kRoles.text), 100);
  EXPECT_EQ(RenderFrame(SharedEngine(), "x", "",
                        RenderSettings{Font(20), Alignment::Center, 30, -4, 3, VideoStandard::Ntsc, kRoles})
                .frame.Height(),
            480);
}

TEST(SubtitleRenderer, EmptyEntryLeavesTheFrameBlueButSetsTheBand) {
  const RenderedFrame f = RenderFrame(
      SharedEngine(), "", "", RenderSettings{Font(20), Alignment::Center, 30, -4, 3, VideoStandard::Pal, kRoles});
  EXPECT_EQ(f.frame, BlueFrame(VideoStandard::Pal));
  EXPECT_EQ(f.bandTop, 476);
  EXPECT_EQ(f.bandHeight, 70);
}

TEST(SubtitleRenderer, OneLineEntryDrawsOnlyTheUpperLine) {
  const RenderedFrame f =
      RenderFrame(SharedEngine(), "Rethymno.", "",
                  RenderSettings{Font(20), Alignment::Center, 30, -4, 3, VideoStandard::Pal, kRoles});
  const int y1 = 576 - 30 - 70;
  for (int y = y1 + 30 + 4; y < 576; ++y) {  // below line 1's cell and its outline
    for (int x = 0; x < 720; ++x) ASSERT_EQ(f.frame.Pixel(x, y), kFrameBlue) << x << "," << y;
  }
  EXPECT_EQ(f.bandHeight, 70);
}

TEST(SubtitleRenderer, OutlineAndAntialiasRingsHaveTheirWidths) {
  // A lone underlined space is a filled rectangle: its rings are easy to count.
  const FontDesc font = Font(20, StyleFromText("Underline"));
  const LineLayout layout = SharedEngine().LayoutLine(font, " ");
  ASSERT_EQ(layout.rules.size(), 1u);
  const InkRect r = layout.rules[0];
  for (int width : {2, 3, 4}) {
    Image24 picture(720, 576, kFrameBlue);
    const LineMeasures m = MeasureSubtitleLines(SharedEngine(), " ", "", font);
    const LineOrigins o =
        DrawSubtitleLines(SharedEngine(), picture, " ", "", m,
                          RenderSettings{font, Alignment::Left, 30, -4, width, VideoStandard::Pal, kRoles});
    const int area = r.width * r.height;
    EXPECT_EQ(CountPixels(picture, kRoles.text), area);
    EXPECT_EQ(CountPixels(picture, kRoles.antialias), (r.width + 2) * (r.height + 2) - area);
    EXPECT_EQ(CountPixels(picture, kRoles.outline),
              (r.width + 2 * width) * (r.height + 2 * width) - (r.width + 2) * (r.height + 2));
    EXPECT_EQ(picture.Pixel(o.x1 + r.x - width, o.y1 + r.y - width), kRoles.outline);
    EXPECT_EQ(picture.Pixel(o.x1 + r.x - width - 1, o.y1 + r.y), kFrameBlue);
  }
}

TEST(SubtitleRenderer, LineTwoOutlineCoversLineOne) {
  // With offsetOr 10 the cells overlap by 10 rows: line 2's outline paints over line 1's lower glyph rows.
  const FontDesc font = Font(20);
  const RenderedFrame f = RenderFrame(SharedEngine(), "gjpqy", "TTTTT",
                                      RenderSettings{font, Alignment::Center, 100, 10, 4, VideoStandard::Pal, kRoles});
  const RenderedFrame lineOneAlone = RenderFrame(
      SharedEngine(), "gjpqy", "", RenderSettings{font, Alignment::Center, 100, 10, 4, VideoStandard::Pal, kRoles});
  EXPECT_LT(CountPixels(f.frame, kRoles.text) - CountPixels(lineOneAlone.frame, kRoles.text),
            CountPixels(RenderFrame(SharedEngine(), "", "TTTTT",
                                    RenderSettings{font, Alignment::Center, 100, 10, 4, VideoStandard::Pal, kRoles})
                            .frame,
                        kRoles.text));
}

TEST(BitMask, DilationIsTheSquareNeighbourhood) {
  // Two pixels, one at a 64-bit word boundary, dilated: a (2r + 1)² square around each, across words.
  LineLayout layout;
  GlyphBitmap dot;
  dot.width = 1;
  dot.height = 1;
  dot.pixels = {1};
  dot.wordsPerRow = 1;
  dot.bits = {1};
  GlyphBitmap wide;
  wide.width = 70;
  wide.height = 1;
  wide.pixels.assign(70, 0);
  wide.pixels[69] = 1;
  wide.wordsPerRow = 2;
  wide.bits = {0, uint64_t{1} << 5};
  layout.glyphs = {{0, 0, &dot}, {-6, 3, &wide}};
  const BitMask ink = MaskFromLayout(layout, 40);
  EXPECT_EQ(ink.left, -6 - 40);
  EXPECT_EQ(ink.width, 70 + 80);
  EXPECT_TRUE(ink.Test(6 + 40, 40));
  EXPECT_TRUE(ink.Test(69 + 40, 43));
  for (int radius : {1, 2, 3, 4, kMaxDilationRadius}) {
    const BitMask d = Dilate(ink, radius);
    int count = 0;
    for (int y = 0; y < d.height; ++y) {
      for (int x = 0; x < d.width; ++x) {
        const int cx = x + d.left, cy = y + d.top;
        const bool near = (std::abs(cx - 0) <= radius && std::abs(cy - 0) <= radius) ||
                          (std::abs(cx - 63) <= radius && std::abs(cy - 3) <= radius);
        EXPECT_EQ(d.Test(x, y), near) << radius << " " << cx << "," << cy;
        count += d.Test(x, y);
      }
    }
    EXPECT_GT(count, 0);
  }
}

// Random ink of every width around the 64-bit word edges, against a plain neighbourhood test.
TEST(BitMask, DilationMatchesBruteForceAtEveryWidth) {
  std::mt19937 random(7);
  for (int inkWidth = 1; inkWidth <= 140; ++inkWidth) {
    const int radius = 1 + inkWidth % kMaxDilationRadius;
    GlyphBitmap glyph;
    glyph.width = inkWidth;
    glyph.height = 3;
    glyph.wordsPerRow = (inkWidth + 63) / 64;
    glyph.pixels.assign(static_cast<std::size_t>(inkWidth) * 3, 0);
    glyph.bits.assign(static_cast<std::size_t>(glyph.wordsPerRow) * 3, 0);
    for (int j = 0; j < 3; ++j) {
      for (int i = 0; i < inkWidth; ++i) {
        // The last column always has ink: it is the one that reaches the box's right edge.
        if (i == inkWidth - 1 || random() % 4 == 0) {
          glyph.pixels[static_cast<std::size_t>(j) * inkWidth + i] = 1;
          glyph.bits[static_cast<std::size_t>(j) * glyph.wordsPerRow + i / 64] |= uint64_t{1} << (i % 64);
        }
      }
    }
    LineLayout layout;
    layout.glyphs = {{0, 0, &glyph}};
    const BitMask ink = MaskFromLayout(layout, radius);
    const BitMask d = Dilate(ink, radius);
    for (int y = 0; y < d.height; ++y) {
      for (int x = 0; x < d.width; ++x) {
        bool near = false;
        for (int dy = -radius; dy <= radius && !near; ++dy) {
          for (int dx = -radius; dx <= radius && !near; ++dx) near = ink.Test(x + dx, y + dy);
        }
        ASSERT_EQ(d.Test(x, y), near) << "width " << inkWidth << " radius " << radius << " at " << x << "," << y;
      }
    }
  }
}

// Entry after entry drawn into one reused frame must give exactly the frames drawn fresh: every row the
// previous entry touched is blue again, wherever and however large it was.
TEST(RenderFrameInto, ReusedFrameMatchesAFreshOneEntryAfterEntry) {
  struct Entry {
    const char* line1;
    const char* line2;
    int size;
    int offset;
    int offsetOr;
    int outline;
    VideoStandard standard;
  };
  const Entry entries[] = {
      {"Rethymno.", "Crete Hellas.", 50, 8, 10, 4, VideoStandard::Pal},         // tall, at the bottom edge
      {"x", "", 6, 492, -14, 2, VideoStandard::Pal},                            // tiny, near the top
      {"", "", 20, 30, -4, 3, VideoStandard::Pal},                              // nothing drawn
      {"Two lines,", "the second below.", 20, 30, -4, 3, VideoStandard::Ntsc},  // another frame size
      {"Wide line going well past both frame edges at a large size", "y", 50, 200, 0, 4, VideoStandard::Ntsc},
      {"Back to PAL", "", 30, 100, -2, 3, VideoStandard::Pal},
  };
  RenderedFrame reused;
  for (const Entry& e : entries) {
    FontDesc font;
    font.sizePt = e.size;
    const RenderedFrame fresh =
        RenderFrame(SharedEngine(), e.line1, e.line2,
                    RenderSettings{font, Alignment::Center, e.offset, e.offsetOr, e.outline, e.standard, kRoles});
    RenderFrameInto(SharedEngine(), e.line1, e.line2,
                    RenderSettings{font, Alignment::Center, e.offset, e.offsetOr, e.outline, e.standard, kRoles},
                    reused);
    ASSERT_TRUE(reused.frame == fresh.frame) << e.line1;
    EXPECT_EQ(reused.bandTop, fresh.bandTop);
    EXPECT_EQ(reused.bandHeight, fresh.bandHeight);
  }
}

}  // namespace
}  // namespace quillet
