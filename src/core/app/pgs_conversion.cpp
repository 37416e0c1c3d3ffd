// A named run's Blu-ray output.
#include "app/pgs_conversion.h"

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

std::string LineTooWideForFrame(int n, const LineMeasures& m, int limit) {
  if (m.w1 < limit && m.w2 < limit) return {};
  const bool first = m.w1 >= limit;
  return "entry " + std::to_string(n) + ": line " + (first ? "1" : "2") + " is " + std::to_string(first ? m.w1 : m.w2) +
         " pixels wide, the frame holds lines up to " + std::to_string(limit - 1);
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
  for (int n = 1; n <= document.Count(); ++n) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(n - 1)];
    const std::string tooWide = LineTooWideForFrame(
        n, MeasureSubtitleLines(engine, line.Line1, line.Line2, placement.font), placement.lineLimitPx);
    if (!tooWide.empty()) {
      return tooWide +
             (wrapped ? " and it has no blank to break it at that fits (use a smaller --size)"
                      : " (use a smaller --size, or --wrap)") +
             "; nothing written";
    }
  }
  return {};
}

GenerationJob PgsGenerationJob(const TSubtitle& document, const RenderSettings& render, FontEnginePerThread& engines,
                               const NamedOptions& options, const DocumentJobOutputs& outputs) {
  GenerationJob job = DocumentGenerationJob(document, render, engines, outputs);
  job.pgs = true;
  job.encode = [&document, &engines, render, frame = PgsFrame(options.frameRows),
                colours = PgsColours(options)](int i, EncodedEntry& out) {
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
  const TextColours colours = PgsColours(options);
  std::u32string missing;
  AntialiasedEntry drawn;
  for (int n = 1; n <= document.Count(); ++n) {
    entriesDone.fetch_add(1, std::memory_order_relaxed);
    if (n == document.FrameRateEntry) continue;
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(n - 1)];
    const std::string entry = "entry " + std::to_string(n);
    const LineMeasures m = MeasureSubtitleLines(engine, line.Line1, line.Line2, placement.font);
    if (std::string tooWide = LineTooWideForFrame(n, m, placement.lineLimitPx); !tooWide.empty()) {
      outcome.problems.push_back(std::move(tooWide));
    }
    const PgsPicture picture = DrawPicture(engine, line, render, frame, colours, drawn);
    if (std::string problem = PgsLimitProblem(picture); !problem.empty()) {
      outcome.problems.push_back(entry + ": " + problem);
    }
    if (drawn.fit != BandFit::Inside) outcome.problems.push_back(entry + ": text clipped by the frame");
    for (char32_t c : drawn.missingCharacters) {
      if (missing.find(c) != std::u32string::npos) continue;
      missing += c;
      outcome.problems.push_back(entry + ": no installed font has the character " + CodePointName(c));
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
