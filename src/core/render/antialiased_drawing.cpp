// Drawing an entry antialiased on a frame of any size.
#include "render/antialiased_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

#include "render/font_instance.h"
#include "render/subtitle_renderer.h"

namespace quillet {
namespace {

constexpr int kMeasureRows = 576;  // the frame whose proportions the settings are given in

// A coverage picture placed in the frame: its top-left pixel at (x, y).
struct Piece {
  int x = 0;
  int y = 0;
  const GreyCoverage* coverage = nullptr;
  bool text = false;  // the fill (text) or the grown shape (outline)
};

// Frame rows and columns x0 .. x1 − 1, y0 .. y1 − 1.
struct Box {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  Box Union(const Box& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
  }
  Box Cut(const Box& o) const { return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)}; }
};

// A coverage of `width` × `height` filled with 255 where `inside` says so.
template <class Inside>
GreyCoverage Shape(int left, int top, int width, int height, Inside inside) {
  GreyCoverage c{left, top, width, height, {}};
  c.pixels.resize(static_cast<std::size_t>(std::max(0, width)) * static_cast<std::size_t>(std::max(0, height)));
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) c.pixels[static_cast<std::size_t>(j * width + i)] = inside(i, j) ? 255 : 0;
  }
  return c;
}

// A monochrome glyph (an embedded bitmap, the hollow box of a missing character) as coverage, and grown square.
void MonochromePieces(const GlyphBitmap& g, int penX, int baseline, int radius, std::deque<GreyCoverage>& store,
                      std::vector<Piece>& pieces) {
  auto ink = [&g](int i, int j) {
    return i >= 0 && j >= 0 && i < g.width && j < g.height && g.pixels[static_cast<std::size_t>(j * g.width + i)] != 0;
  };
  const GreyCoverage& fill = store.emplace_back(Shape(g.left, g.top, g.width, g.height, ink));
  const GreyCoverage& grown =
      store.emplace_back(Shape(g.left - radius, g.top + radius, g.width + 2 * radius, g.height + 2 * radius,
                               [&](int i, int j) {
                                 for (int dy = -radius; dy <= radius; ++dy) {
                                   for (int dx = -radius; dx <= radius; ++dx) {
                                     if (ink(i - radius + dx, j - radius + dy)) return true;
                                   }
                                 }
                                 return false;
                               }));
  pieces.push_back({penX + grown.left, baseline - grown.top, &grown, false});
  pieces.push_back({penX + fill.left, baseline - fill.top, &fill, true});
}

// Every coverage picture one line draws, its cell's top-left corner at (cellX, cellY).
void LinePieces(const LineLayout& layout, int cellX, int cellY, int outlinePx64, std::deque<GreyCoverage>& store,
                std::vector<Piece>& pieces) {
  const int radius = (outlinePx64 + 32) / 64;
  for (const PlacedGlyph& placed : layout.glyphs) {
    const GlyphBitmap& g = *placed.glyph;
    const int penX = cellX + placed.x - g.left;
    const int glyphBaseline = cellY + placed.y + g.top;  // shaped marks sit off the line's baseline
    const GreyGlyph* grey = g.source != nullptr ? &g.source->Grey(g.index, outlinePx64) : nullptr;
    if (grey == nullptr || grey->fill.pixels.empty()) {
      MonochromePieces(g, penX, glyphBaseline, radius, store, pieces);
      continue;
    }
    const GreyCoverage& grown = grey->grown.pixels.empty() ? grey->fill : grey->grown;
    pieces.push_back({penX + grown.left, glyphBaseline - grown.top, &grown, false});
    pieces.push_back({penX + grey->fill.left, glyphBaseline - grey->fill.top, &grey->fill, true});
  }
  for (const InkRect& rule : layout.rules) {
    const GreyCoverage& fill = store.emplace_back(Shape(0, 0, rule.width, rule.height, [](int, int) { return true; }));
    const GreyCoverage& grown = store.emplace_back(
        Shape(0, 0, rule.width + 2 * radius, rule.height + 2 * radius, [](int, int) { return true; }));
    pieces.push_back({cellX + rule.x - radius, cellY + rule.y - radius, &grown, false});
    pieces.push_back({cellX + rule.x, cellY + rule.y, &fill, true});
  }
}

Box BoxOf(const std::vector<Piece>& pieces) {
  Box box;
  for (const Piece& p : pieces) {
    box = box.Union({p.x, p.y, p.x + p.coverage->width, p.y + p.coverage->height});
  }
  return box;
}

// Coverage 0..255 as one of 16 steps, 0 … 15.
constexpr std::array<uint8_t, 256> kSteps = [] {
  std::array<uint8_t, 256> steps{};
  for (int v = 0; v < 256; ++v) steps[static_cast<std::size_t>(v)] = static_cast<uint8_t>((v * 15 + 127) / 255);
  return steps;
}();

uint32_t Pack(double r, double g, double b, double a) {
  auto byte = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  return byte(r) << 24 | byte(g) << 16 | byte(b) << 8 | byte(a);
}

// The straight RGBA of every pair of steps, text step × 16 + outline step: the outline colour with the outline's
// coverage, the text colour with the text's over it.
std::array<uint32_t, 256> ColourTable(const TextColours& colours) {
  std::array<uint32_t, 256> table{};
  const double tc[3] = {double(colours.text.r), double(colours.text.g), double(colours.text.b)};
  const double oc[3] = {double(colours.outline.r), double(colours.outline.g), double(colours.outline.b)};
  for (int t = 0; t < 16; ++t) {
    for (int o = 0; o < 16; ++o) {
      const double ta = t / 15.0, oa = o / 15.0;
      const double alpha = ta + oa * (1 - ta);
      if (alpha <= 0) continue;
      double c[3];
      for (int ch = 0; ch < 3; ++ch) c[ch] = (tc[ch] * ta + oc[ch] * oa * (1 - ta)) / alpha;
      table[static_cast<std::size_t>(t * 16 + o)] = Pack(c[0], c[1], c[2], alpha * 255);
    }
  }
  return table;
}

// `top` over `under`, both straight RGBA: where line 2 covers line 1.
uint32_t Over(uint32_t top, uint32_t under) {
  const double ta = (top & 0xFF) / 255.0, ua = (under & 0xFF) / 255.0;
  const double alpha = ta + ua * (1 - ta);
  double c[3];
  for (int ch = 0; ch < 3; ++ch) {
    const int shift = 24 - 8 * ch;
    c[ch] = (((top >> shift) & 0xFF) * ta + ((under >> shift) & 0xFF) * ua * (1 - ta)) / alpha;
  }
  return Pack(c[0], c[1], c[2], alpha * 255);
}

// One line's text and outline coverage over its box (the maximum where pieces overlap), in steps, painted onto the
// picture through the colour table; over what an earlier line painted there.
void CompositeLine(const std::vector<Piece>& pieces, const Box& lineBox, const std::array<uint32_t, 256>& table,
                   RgbaPicture& picture) {
  const Box box = lineBox.Cut({picture.left, picture.top, picture.left + picture.width, picture.top + picture.height});
  if (box.Empty()) return;
  const int w = box.x1 - box.x0;
  const std::size_t area = static_cast<std::size_t>(w) * static_cast<std::size_t>(box.y1 - box.y0);
  std::vector<uint8_t> text(area, 0);
  std::vector<uint8_t> outline(area, 0);
  for (const Piece& p : pieces) {
    const GreyCoverage& c = *p.coverage;
    std::vector<uint8_t>& layer = p.text ? text : outline;
    const Box cut = Box{p.x, p.y, p.x + c.width, p.y + c.height}.Cut(box);
    for (int y = cut.y0; y < cut.y1; ++y) {
      const uint8_t* from = c.pixels.data() + static_cast<std::size_t>((y - p.y) * c.width + (cut.x0 - p.x));
      uint8_t* to = layer.data() + static_cast<std::size_t>((y - box.y0) * w + (cut.x0 - box.x0));
      for (int x = 0; x < cut.x1 - cut.x0; ++x) to[x] = std::max(to[x], from[x]);
    }
  }
  for (int y = box.y0; y < box.y1; ++y) {
    const std::size_t from = static_cast<std::size_t>((y - box.y0) * w);
    uint32_t* to = picture.pixels.data() + static_cast<std::size_t>((y - picture.top) * picture.width + (box.x0 - picture.left));
    for (int x = 0; x < w; ++x) {
      const uint8_t t = kSteps[text[from + static_cast<std::size_t>(x)]];
      const uint8_t o = kSteps[std::max(text[from + static_cast<std::size_t>(x)], outline[from + static_cast<std::size_t>(x)])];
      if (o == 0) continue;  // the outline step is never below the text step
      const uint32_t colour = table[static_cast<std::size_t>(t * 16 + o)];
      to[x] = (to[x] & 0xFF) == 0 ? colour : Over(colour, to[x]);
    }
  }
}

int FrameX(Alignment align, int widthPx, PictureFrame frame, int margin) {
  if (frame.width == kFrameWidth) return LineOriginX(align, widthPx);
  switch (align) {
    case Alignment::Center:
      return frame.width / 2 - widthPx / 2;
    case Alignment::Left:
      return margin;
    case Alignment::Right:
      break;
  }
  return frame.width - margin - widthPx;
}

std::u32string BothLists(std::u32string a, const std::u32string& b) {
  for (char32_t c : b) {
    if (a.find(c) == std::u32string::npos) a.push_back(c);
  }
  return a;
}

}  // namespace

ScaledPlacement ScaleForFrame(const RenderSettings& settings, PictureFrame frame) {
  const double s = frame.height > kMeasureRows ? static_cast<double>(frame.height) / kMeasureRows : 1.0;
  auto scaled = [s](double v) { return static_cast<int>(std::lround(v * s)); };
  ScaledPlacement p;
  p.font = settings.font;
  p.font.dpi = scaled(settings.font.dpi);
  p.offset = scaled(settings.offset + 40) - 40;
  p.offsetOr = scaled(settings.offsetOr);
  p.marginPx = scaled(8);
  p.outlinePx64 = scaled(64.0 * std::max(0, settings.outlineWidthPx));
  p.lineLimitPx = frame.width - scaled(40);
  return p;
}

void DrawAntialiasedEntry(FontEngine& engine, std::string_view line1, std::string_view line2,
                          const RenderSettings& settings, PictureFrame frame, const TextColours& colours,
                          AntialiasedEntry& out) {
  const ScaledPlacement placement = ScaleForFrame(settings, frame);
  const LineLayout layouts[2] = {engine.LayoutLine(placement.font, line1), engine.LayoutLine(placement.font, line2)};
  const LineMeasures measures = MeasureSubtitleLines(engine, line1, line2, placement.font);
  const LineOrigins origins =
      PlaceSubtitleLines(measures, settings.align, placement.offset, placement.offsetOr, frame.height);
  const int cellX[2] = {FrameX(settings.align, measures.w1, frame, placement.marginPx),
                        FrameX(settings.align, measures.w2, frame, placement.marginPx)};
  const int cellY[2] = {origins.y1, origins.y2};
  std::deque<GreyCoverage> store;
  std::vector<Piece> pieces[2];
  Box lineBoxes[2];
  for (int i = 0; i < 2; ++i) {
    LinePieces(layouts[i], cellX[i], cellY[i], placement.outlinePx64, store, pieces[i]);
    lineBoxes[i] = BoxOf(pieces[i]);
  }
  const Box drawn = lineBoxes[0].Union(lineBoxes[1]);
  const Box canvas = drawn.Cut({0, 0, frame.width, frame.height});
  out.fit = drawn.Empty() || (canvas.x0 == drawn.x0 && canvas.y0 == drawn.y0 && canvas.x1 == drawn.x1 &&
                              canvas.y1 == drawn.y1)
                ? BandFit::Inside
                : (canvas.Empty() ? BandFit::Outside : BandFit::Partly);
  out.missingCharacters = BothLists(layouts[0].missing, layouts[1].missing);
  out.controlCharacters = BothLists(layouts[0].controls, layouts[1].controls);
  out.picture = RgbaPicture{};
  if (canvas.Empty()) return;
  out.picture.left = canvas.x0;
  out.picture.top = canvas.y0;
  out.picture.width = canvas.x1 - canvas.x0;
  out.picture.height = canvas.y1 - canvas.y0;
  out.picture.pixels.assign(static_cast<std::size_t>(out.picture.width) * static_cast<std::size_t>(out.picture.height),
                            0);
  const std::array<uint32_t, 256> table = ColourTable(colours);
  for (int i = 0; i < 2; ++i) CompositeLine(pieces[i], lineBoxes[i], table, out.picture);
}

}  // namespace quillet
