// Measuring, placing and drawing an entry's two lines, and rendering the blue frame the encoder reads.
#include "render/subtitle_renderer.h"

#include <algorithm>
#include <utility>

#include "render/bit_mask.h"

namespace quillet {
namespace {

// A line's width as measured: an empty line measures as one space.
int MeasuredWidth(FontEngine& engine, const LineLayout& layout, std::string_view line, const FontDesc& font) {
  return line.empty() ? engine.LayoutLine(font, " ").widthPx : layout.widthPx;
}

// A line's passes from one rasterising of its layout, its cell at (x, y).
void MakeLinePasses(const LineLayout& layout, int x, int y, int outlineWidthPx, LinePasses& out) {
  const int radius = std::max(0, outlineWidthPx);
  out.cellX = x;
  out.cellY = y;
  out.ink = MaskFromLayout(layout, std::max(1, radius));
  out.outline = Dilate(out.ink, radius);
  out.ring = Dilate(out.ink, 1);
}

// Paints a line's passes as layers: outline, then ring, then text on top.
void PaintLinePasses(Image24& picture, const LinePasses& line, const RoleRgb& roles) {
  if (line.ink.Empty()) return;
  const MaskLayer layers[] = {{&line.outline, roles.outline}, {&line.ring, roles.antialias}, {&line.ink, roles.text}};
  PaintLayers(picture, line.cellX, line.cellY, layers);
}

// The characters of the lines' lists, each once.
std::u32string AllLines(const std::array<LineLayout, 3>& lines, std::u32string LineLayout::*list) {
  std::u32string all = lines[0].*list;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    for (char32_t c : lines[i].*list) {
      if (all.find(c) == std::u32string::npos) all.push_back(c);
    }
  }
  return all;
}

// The entry keeps what its file says: its styles are drawn.
bool StyledEntry(const EntryText& entry, const RenderSettings& settings) {
  return settings.stylesFromFile && entry.style != nullptr;
}

Alignment AlignmentOf(HorizontalPlace place, Alignment chosen) {
  switch (place) {
    case HorizontalPlace::kLeft:
      return Alignment::Left;
    case HorizontalPlace::kCentre:
      return Alignment::Center;
    case HorizontalPlace::kRight:
      return Alignment::Right;
    case HorizontalPlace::kChosen:
      break;
  }
  return chosen;
}

// Where the file's placement puts line 1's cell top; the lines below follow as always.
int FirstCellTop(VerticalPlace place, const LineMeasures& m, const RenderSettings& settings, int frameHeight) {
  // A third line's cell and its gap, below line 2's.
  const int third = m.h3 > 0 ? m.h3 - settings.offsetOr : 0;
  switch (place) {
    case VerticalPlace::kTop:
      return settings.offset;
    case VerticalPlace::kMiddle:
      return (frameHeight - (m.h1 + m.h2 - settings.offsetOr + third)) / 2;
    case VerticalPlace::kBottom:
    case VerticalPlace::kChosen:
      break;
  }
  return frameHeight - m.h1 - settings.offset - 40 - third;
}

// Each line is laid out once, for measuring and drawing alike.
LineMeasures Measure(FontEngine& engine, const LineLayout& layout1, const LineLayout& layout2, std::string_view line1,
                     std::string_view line2, const FontDesc& font) {
  return {MeasuredWidth(engine, layout1, line1, font), layout1.heightPx, MeasuredWidth(engine, layout2, line2, font),
          layout2.heightPx};
}

}  // namespace

LineMeasures MeasureSubtitleLines(FontEngine& engine, std::string_view line1, std::string_view line2,
                                  const FontDesc& font) {
  const LineLayout layout1 = engine.LayoutLine(font, line1);
  const LineLayout layout2 = engine.LayoutLine(font, line2);
  return Measure(engine, layout1, layout2, line1, line2, font);
}

EntryLayout LayOutEntry(FontEngine& engine, const EntryText& entry, const RenderSettings& settings, int frameHeight) {
  const FontDesc& font = settings.font;
  EntryLayout out;
  out.frameHeight = frameHeight;
  if (!StyledEntry(entry, settings)) {
    out.lines[0] = engine.LayoutLine(font, entry.line1);
    out.lines[1] = engine.LayoutLine(font, entry.line2);
    out.measures = Measure(engine, out.lines[0], out.lines[1], entry.line1, entry.line2, font);
    out.origins = PlaceSubtitleLines(out.measures, settings.align, settings.offset, settings.offsetOr, frameHeight);
    return out;
  }
  const EntryStyle& style = *entry.style;
  out.lines[0] = engine.LayoutLine(font, entry.line1, style.runs[0]);
  out.lines[1] = engine.LayoutLine(font, entry.line2, style.runs[1]);
  out.measures = Measure(engine, out.lines[0], out.lines[1], entry.line1, entry.line2, font);
  if (!entry.line3.empty()) {
    out.lines[2] = engine.LayoutLine(font, entry.line3, style.runs[2]);
    out.measures.w3 = out.lines[2].widthPx;
    out.measures.h3 = out.lines[2].heightPx;
  }
  const Alignment align = AlignmentOf(style.placement.horizontal, settings.align);
  LineOrigins& o = out.origins;
  o = PlaceSubtitleLines(out.measures, align, settings.offset, settings.offsetOr, frameHeight);
  o.y1 = FirstCellTop(style.placement.vertical, out.measures, settings, frameHeight);
  o.y2 = o.y1 + out.measures.h2 - settings.offsetOr;
  if (out.measures.h3 > 0) {
    o.x3 = LineOriginX(align, out.measures.w3);
    o.y3 = o.y2 + out.measures.h3 - settings.offsetOr;
  }
  return out;
}

LineMeasures MeasureEntry(FontEngine& engine, const EntryText& entry, const RenderSettings& settings) {
  return LayOutEntry(engine, entry, settings, FrameHeight(settings.standard)).measures;
}

int LineOriginX(Alignment align, int widthPx) {
  switch (align) {
    case Alignment::Center:
      return kFrameWidth / 2 - widthPx / 2;
    case Alignment::Left:
      return 8;
    case Alignment::Right:
      break;
  }
  return kFrameWidth - widthPx - 8;
}

LineOrigins PlaceSubtitleLines(const LineMeasures& measures, Alignment align, int offset, int offsetOr,
                               int frameHeight) {
  LineOrigins origins;
  origins.x1 = LineOriginX(align, measures.w1);
  origins.x2 = LineOriginX(align, measures.w2);
  origins.y1 = frameHeight - measures.h1 - offset - 40;
  origins.y2 = origins.y1 + measures.h2 - offsetOr;
  return origins;
}

Band SubtitleBand(int y1, const LineMeasures& measures, int offsetOr, int frameHeight, InkRows ink) {
  // y1 − 1 for odd y1, also below zero: the top stays even so both fields get whole rows.
  auto evenAtOrAbove = [](int row) { return (row % 2 == 0) ? row : row - 1; };
  int top = evenAtOrAbove(y1);
  int end = top + measures.h1 + measures.h2 - offsetOr + 6 + (measures.h3 > 0 ? measures.h3 - offsetOr : 0);
  // Ink above line 1's cell (a Thai tone mark, the outline of an accented capital) or below the band's end is
  // part of the picture too.
  if (!ink.Empty()) {
    top = std::min(top, evenAtOrAbove(ink.top));
    end = std::max(end, ink.end);
  }
  const int evenHeight = frameHeight - frameHeight % 2;
  int clampedTop = std::clamp(top, 0, evenHeight);
  int clampedEnd = std::clamp(end, 0, frameHeight);
  BandFit fit = (clampedTop == top && clampedEnd == end) ? BandFit::Inside : BandFit::Partly;
  if (clampedEnd - clampedTop <= 0) {
    // Nothing of the band is inside the frame: keep two blank rows at the nearer edge.
    clampedTop = end <= 0 ? 0 : std::max(0, evenHeight - 2);
    clampedEnd = std::min(frameHeight, clampedTop + 2);
    fit = BandFit::Outside;
  }
  return {clampedTop, clampedEnd - clampedTop, fit};
}

LineOrigins DrawSubtitleLines(FontEngine& engine, Image24& picture, std::string_view line1, std::string_view line2,
                              const LineMeasures& measures, const RenderSettings& settings) {
  const LineOrigins origins =
      PlaceSubtitleLines(measures, settings.align, settings.offset, settings.offsetOr, picture.Height());
  // Line 2's passes come after all of line 1's, so its outline covers line 1 where they meet.
  LinePasses line;
  MakeLinePasses(engine.LayoutLine(settings.font, line1), origins.x1, origins.y1, settings.outlineWidthPx, line);
  PaintLinePasses(picture, line, settings.roles);
  MakeLinePasses(engine.LayoutLine(settings.font, line2), origins.x2, origins.y2, settings.outlineWidthPx, line);
  PaintLinePasses(picture, line, settings.roles);
  return origins;
}

EntryLayout DrawEntry(FontEngine& engine, Image24& picture, const EntryText& entry, const RenderSettings& settings) {
  EntryLayout layout = LayOutEntry(engine, entry, settings, picture.Height());
  const LineOrigins& o = layout.origins;
  const std::array<std::pair<int, int>, 3> at = {{{o.x1, o.y1}, {o.x2, o.y2}, {o.x3, o.y3}}};
  LinePasses line;
  for (std::size_t i = 0; i < 3; ++i) {
    if (i == 2 && layout.measures.h3 == 0) break;
    MakeLinePasses(layout.lines[i], at[i].first, at[i].second, settings.outlineWidthPx, line);
    PaintLinePasses(picture, line, settings.roles);
  }
  return layout;
}

Image24 BlueFrame(VideoStandard standard) { return Image24(kFrameWidth, FrameHeight(standard), kFrameBlue); }

RenderedFrame RenderFrame(FontEngine& engine, std::string_view line1, std::string_view line2,
                          const RenderSettings& settings) {
  RenderedFrame result;
  RenderFrameInto(engine, line1, line2, settings, result);
  return result;
}

void RenderFrameInto(FontEngine& engine, std::string_view line1, std::string_view line2, const RenderSettings& settings,
                     RenderedFrame& result) {
  RenderFrameInto(engine, EntryText{line1, line2, {}, nullptr}, settings, result);
}

void RenderFrameInto(FontEngine& engine, const EntryText& entry, const RenderSettings& settings,
                     RenderedFrame& result) {
  EntryPasses passes;
  RenderEntryPasses(engine, entry, settings, passes);
  if (result.frame.Width() == kFrameWidth && result.frame.Height() == passes.frameHeight) {
    result.frame.Fill(kFrameBlue);
  } else {
    result.frame = BlueFrame(settings.standard);
  }
  PaintEntryPasses(passes, settings.roles, result.frame);
  result.bandTop = passes.band.top;
  result.bandHeight = passes.band.height;
  result.bandFit = passes.band.fit;
  result.missingCharacters = std::move(passes.missingCharacters);
  result.controlCharacters = std::move(passes.controlCharacters);
}

void RenderEntryPasses(FontEngine& engine, std::string_view line1, std::string_view line2,
                       const RenderSettings& settings, EntryPasses& out) {
  RenderEntryPasses(engine, EntryText{line1, line2, {}, nullptr}, settings, out);
}

void RenderEntryPasses(FontEngine& engine, const EntryText& entry, const RenderSettings& settings, EntryPasses& out) {
  const EntryLayout layout = LayOutEntry(engine, entry, settings, FrameHeight(settings.standard));
  const LineOrigins& o = layout.origins;
  out.frameHeight = layout.frameHeight;
  MakeLinePasses(layout.lines[0], o.x1, o.y1, settings.outlineWidthPx, out.lines[0]);
  MakeLinePasses(layout.lines[1], o.x2, o.y2, settings.outlineWidthPx, out.lines[1]);
  if (layout.measures.h3 > 0) {
    MakeLinePasses(layout.lines[2], o.x3, o.y3, settings.outlineWidthPx, out.lines[2]);
  } else {
    out.lines[2] = LinePasses{};
  }
  out.band = SubtitleBand(o.y1, layout.measures, settings.offsetOr, out.frameHeight, PaintedRows(out.lines));
  out.missingCharacters = AllLines(layout.lines, &LineLayout::missing);
  out.controlCharacters = AllLines(layout.lines, &LineLayout::controls);
}

InkRows PaintedRows(const std::array<LinePasses, 3>& lines) {
  InkRows rows;
  for (const LinePasses& line : lines) {
    const BitMask& drawn = line.outline;
    // Only the columns inside the frame are drawn: ink past its left or right edge gives the band no row.
    const int left = line.cellX + drawn.left;
    const int from = std::max(0, -left);
    const int to = std::min(drawn.width, kFrameWidth - left);
    if (from >= to) continue;
    const int lastWord = (to - 1) >> 6;
    const uint64_t firstBits = ~uint64_t{0} << (from & 63);
    const uint64_t lastBits = (to & 63) == 0 ? ~uint64_t{0} : (uint64_t{1} << (to & 63)) - 1;
    auto inked = [&](int row) {
      const uint64_t* words = drawn.Row(row);
      for (int k = from >> 6; k <= lastWord; ++k) {
        uint64_t w = words[k];
        if (k == from >> 6) w &= firstBits;
        if (k == lastWord) w &= lastBits;
        if (w != 0) return true;
      }
      return false;
    };
    int first = 0, last = drawn.height - 1;
    while (first <= last && !inked(first)) ++first;
    while (last >= first && !inked(last)) --last;
    if (first > last) continue;
    const int top = line.cellY + drawn.top + first;
    const int end = line.cellY + drawn.top + last + 1;
    rows = rows.Empty() ? InkRows{top, end} : InkRows{std::min(rows.top, top), std::max(rows.end, end)};
  }
  return rows;
}

void PaintEntryPasses(const EntryPasses& passes, const RoleRgb& roles, Image24& picture) {
  for (const LinePasses& line : passes.lines) PaintLinePasses(picture, line, roles);
}

}  // namespace quillet
