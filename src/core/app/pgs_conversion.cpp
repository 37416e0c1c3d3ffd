// A named run's Blu-ray output.
#include "app/pgs_conversion.h"

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "base/errors.h"
#include "pgs/display_sets.h"
#include "render/code_point_class.h"
#include "render/subtitle_renderer.h"

namespace quillet {
namespace {

Rgb RgbOf(uint32_t colour) {
  return {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
}

// The settings the HD frame measures its lines with: the scaled font; lines 1 and 2 as they are drawn.
RenderSettings MeasuredForFrame(const RenderSettings& render, const ScaledPlacement& placement) {
  RenderSettings measured = render;
  measured.font = placement.font;
  measured.stylesFromFile = false;
  return measured;
}

// The entry drawn and made a picture; what a player cannot hold is thrown.
PgsPicture DrawPicture(FontEngine& engine, const SubtitleLine& line, const RenderSettings& render, PictureFrame frame,
                       const TextColours& colours, AntialiasedEntry& drawn) {
  DrawAntialiasedEntry(engine, line.Line1, line.Line2, render, frame, colours, drawn);
  return MakePgsPicture(drawn.picture, frame);
}

}  // namespace

PictureFrame PgsFrame(int rows) {
  if (rows == 1080) return {1920, 1080};
  if (rows == 720) return {1280, 720};
  return {kFrameWidth, rows};
}

TextColours PgsColours(const NamedOptions& options) {
  return {RgbOf(options.textColour), RgbOf(options.outlineColour)};
}

std::string FirstLineTooWideForFrame(const TSubtitle& document, FontEngine& engine, const RenderSettings& render,
                                     PictureFrame frame, bool wrapped) {
  const ScaledPlacement placement = ScaleForFrame(render, frame);
  return FirstLineTooWide(document, engine, MeasuredForFrame(render, placement), wrapped, placement.lineLimitPx);
}

GenerationJob PgsGenerationJob(const TSubtitle& document, const RenderSettings& render, FontEnginePerThread& engines,
                               const NamedOptions& options, const DocumentJobOutputs& outputs) {
  GenerationJob job = DocumentGenerationJob(document, render, engines, outputs);
  job.pgs = true;
  job.encode = [&document, &engines, render, frame = PgsFrame(options.frameRows), colours = PgsColours(options)](
                   int i, EncodedEntry& out) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    AntialiasedEntry drawn;
    const PgsPicture picture = DrawPicture(engines.ForThisThread(), line, render, frame, colours, drawn);
    if (std::string problem = PgsLimitProblem(picture); !problem.empty()) {
      throw QuilletError(problem + ". Please use a smaller font or outline.");
    }
    out.pictureSets.clear();
    AppendDisplaySets(picture, out.pictureSets);
    out.bandFit = drawn.fit;
    out.missingCharacters = std::move(drawn.missingCharacters);
    out.controlCharacters = std::move(drawn.controlCharacters);
  };
  return job;
}

void CheckPgsDocument(const TSubtitle& document, const RenderSettings& render, FontEngine& engine,
                      const NamedOptions& options, CheckOutcome& outcome, std::atomic<long>& entriesDone) {
  const PictureFrame frame = PgsFrame(options.frameRows);
  const ScaledPlacement placement = ScaleForFrame(render, frame);
  const RenderSettings measured = MeasuredForFrame(render, placement);
  const TextColours colours = PgsColours(options);
  std::u32string missing;
  AntialiasedEntry drawn;
  for (int n = 1; n <= document.Count(); ++n) {
    entriesDone.fetch_add(1, std::memory_order_relaxed);
    if (n == document.FrameRateEntry) continue;
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(n - 1)];
    const std::string entry = "entry " + std::to_string(n);
    const LineMeasures m = MeasureEntry(engine, EntryTextOf(line), measured);
    if (std::string tooWide = LineTooWide(n, m, placement.lineLimitPx); !tooWide.empty()) {
      outcome.Add(std::move(tooWide));
    }
    const PgsPicture picture = DrawPicture(engine, line, render, frame, colours, drawn);
    if (std::string problem = PgsLimitProblem(picture); !problem.empty()) {
      outcome.Add(entry + ": " + problem);
    }
    if (drawn.fit != BandFit::Inside) outcome.Add(entry + ": text clipped by the frame");
    for (char32_t c : drawn.missingCharacters) {
      if (missing.find(c) != std::u32string::npos) continue;
      missing += c;
      outcome.Add(entry + ": no installed font has the character " + CodePointName(c));
    }
    const int bytes = static_cast<int>(CodedBytes(picture));
    if (bytes > outcome.largestUnitBytes) {
      outcome.largestUnitBytes = bytes;
      outcome.largestEntry = n;
    }
  }
  outcome.unitName = "display set";
  outcome.unitLimitBytes = static_cast<int>(kPgsCodedBufferBytes);
}

}  // namespace quillet
