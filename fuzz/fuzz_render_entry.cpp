// Fuzzes one entry's way from subtitle text to a subpicture unit: measuring and drawing its two lines on the
// frame (checked against the literal drawing for short entries), scanning the band and run-length coding the
// fields (the reference coder), coding the band straight from the passes as the program does (checked against
// the reference coder byte for byte) and building the unit; and breaking the two lines again as --wrap does
// (every line it gives fits and is a stretch of the entry's text).
//
// Input: six bytes of settings (font, style and charset, alignment, standard and aspect, offset, line distance,
// role colours), then line 1, a line feed, and line 2.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "job/job_settings.h"
#include "reference_coder.h"
#include "reference_render.h"
#include "render/font_engine.h"
#include "render/frame.h"
#include "render/line_length_check.h"
#include "render/line_wrap.h"
#include "render/name_tables.h"
#include "render/subtitle_renderer.h"
#include "sup/paint_codes.h"
#include "sup/subpicture_unit.h"

using namespace quillet;

namespace {

// Colours a role may be given: distinct ones, the frame's own blue, and near neighbours of each other.
constexpr Rgb kColours[] = {{255, 255, 255}, {0, 0, 0},       {128, 128, 128}, {0, 0, 255},
                            {0, 0, 254},     {255, 255, 254}, {16, 16, 16},    {200, 0, 0}};
constexpr std::string_view kFaces[] = {"Arial", "Default", "Liberation Serif", "DejaVu Sans Mono", "No Such Font"};
constexpr std::string_view kAligns[] = {"center", "left", "right", "Center"};
constexpr int kDpis[] = {96, 96, 72, 144};
constexpr std::size_t kMaxComparedBytes = 12;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static FontEngine engine;
  fuzz::InputSplitter input(data, size);
  const uint8_t fontByte = input.Byte();
  const uint8_t styleByte = input.Byte();
  const uint8_t layoutByte = input.Byte();
  const uint8_t offsetByte = input.Byte();
  const uint8_t offsetOrByte = input.Byte();
  const uint8_t colourByte = input.Byte();
  const std::string_view line1 = input.Until('\n');
  const std::string_view line2 = input.Rest();

  FontDesc font;
  font.faceName = std::string(kFaces[(fontByte >> 6) % std::size(kFaces)]);
  font.sizePt = std::stoi(std::string(kSizeList[(fontByte & 0x3F) % kSizeList.size()]));
  font.style = StyleSet::FromBits(styleByte & 0x0F);
  font.charset = CharsetFromText(kCharsetList[(styleByte >> 4) % kCharsetList.size()]);
  font.dpi = kDpis[(layoutByte >> 4) & 3];
  font.aspect = (layoutByte & 8) != 0 ? DisplayAspect::Wide16x9 : DisplayAspect::Standard4x3;
  const std::string_view align = kAligns[layoutByte & 3];
  const VideoStandard standard = (layoutByte & 4) != 0 ? VideoStandard::Ntsc : VideoStandard::Pal;
  const int outlineWidthPx = 2 + (layoutByte >> 6) % 3;
  const int offset = ClampOffset(offsetByte * 2);
  const int offsetOr = ClampOffsetOr(static_cast<int8_t>(offsetOrByte) % 16);
  const RoleRgb roles{kColours[colourByte & 7], kColours[(colourByte >> 3) & 7], kColours[(colourByte >> 5) & 7]};

  const RenderSettings settings{font, AlignmentFromText(align), offset, offsetOr, outlineWidthPx, standard, roles};
  const RenderedFrame frame = RenderFrame(engine, line1, line2, settings);
  QUILLET_FUZZ_CHECK(frame.frame.Width() == kFrameWidth && frame.frame.Height() == FrameHeight(standard));
  QUILLET_FUZZ_CHECK(frame.bandTop % 2 == 0 && frame.bandTop >= 0 && frame.bandHeight > 0);
  QUILLET_FUZZ_CHECK(frame.bandTop + frame.bandHeight <= frame.frame.Height());
  // Short entries are drawn again by the literal algorithm (every shifted draw one after another), which the
  // fast drawing must match pixel for pixel; long ones would make each run too slow.
  if (line1.size() + line2.size() <= kMaxComparedBytes) {
    const RenderedFrame reference = ReferenceRenderFrame(engine, line1, line2, settings);
    QUILLET_FUZZ_CHECK(frame.frame == reference.frame);
    QUILLET_FUZZ_CHECK(frame.bandTop == reference.bandTop && frame.bandHeight == reference.bandHeight);
  }

  static BandRuns runs;
  ScanBand(frame.frame, frame.bandTop, frame.bandHeight, roles, runs);
  QUILLET_FUZZ_CHECK(runs.RowCount() == frame.bandHeight);
  for (int row = 0; row < runs.RowCount(); ++row) {
    int covered = 0;
    for (const PixelRun& run : runs.Row(row)) {
      QUILLET_FUZZ_CHECK(run.length >= 1 && run.length <= kCodedRowPixels && run.role <= 3);
      covered += run.length;
    }
    QUILLET_FUZZ_CHECK(covered == kCodedRowPixels);
  }

  static PixelData pixels;
  EncodeFields(runs, pixels);
  QUILLET_FUZZ_CHECK(pixels.topFieldOffset == 2 && pixels.bottomFieldOffset >= 2);
  QUILLET_FUZZ_CHECK(static_cast<std::size_t>(pixels.bottomFieldOffset) <= pixels.block.size());

  static EntryPasses passes;
  RenderEntryPasses(engine, line1, line2, settings, passes);
  static EncodedEntry direct;
  EncodePasses(passes, PaintCodesFor(roles), direct);
  QUILLET_FUZZ_CHECK(direct.pixels == pixels);
  QUILLET_FUZZ_CHECK(direct.bandTop == frame.bandTop && direct.bandHeight == frame.bandHeight);

  static std::vector<uint8_t> unit;
  unit.clear();
  const PaletteEntries entries{colourByte & 15, colourByte >> 4, offsetByte & 15, offsetByte >> 4};
  try {
    BuildSubpictureUnit(pixels, frame.bandTop, frame.bandHeight, entries, DisplayDelay(1000.0, 3500.0), unit);
    QUILLET_FUZZ_CHECK(unit.size() == SubpictureUnitSize(pixels.block.size()));
    QUILLET_FUZZ_CHECK(unit.size() % 2 == 0 && unit.size() <= static_cast<std::size_t>(kMaxSubpictureUnitBytes));
    QUILLET_FUZZ_CHECK(((std::size_t{unit[0]} << 8) | unit[1]) == unit.size());
  } catch (const SubpictureTooLargeError& e) {
    QUILLET_FUZZ_CHECK(e.UnitBytes() > kMaxSubpictureUnitBytes);
    QUILLET_FUZZ_CHECK(unit.empty());
  }

  const std::string_view lines[] = {line1, line2};
  const std::string joined = line1.empty() || line2.empty() ? std::string(line1) + std::string(line2)
                                                            : std::string(line1) + ' ' + std::string(line2);
  for (const int maxLines : {2, 3}) {
    const std::optional<BrokenLines> broken = BreakLongLines(engine, lines, font, maxLines);
    if (!broken) continue;
    for (std::size_t k = 0; k < broken->lines.size(); ++k) {
      const std::string& line = broken->lines[k];
      const ByteRange from = broken->from[k];
      if (line.empty()) continue;
      QUILLET_FUZZ_CHECK(static_cast<int>(k) < maxLines && (k == 0 || !broken->lines[k - 1].empty()));
      QUILLET_FUZZ_CHECK(from.begin < from.end && from.end <= joined.size());
      QUILLET_FUZZ_CHECK(joined.compare(from.begin, from.end - from.begin, line) == 0);
      QUILLET_FUZZ_CHECK(engine.LayoutLine(font, line).widthPx < kMaxLineWidthPx);
    }
  }
  return 0;
}
