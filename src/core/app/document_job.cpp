// The generation run of one loaded subtitle document: the same job for the window and for a named run.
#include "app/document_job.h"

#include "sup/entry_encoder.h"
#include "sup/paint_codes.h"

namespace quillet {

GenerationJob DocumentGenerationJob(const TSubtitle& document, const RenderSettings& render,
                                    FontEnginePerThread& engines, const DocumentJobOutputs& outputs) {
  GenerationJob job;
  job.entryCount = document.Count();
  job.palette = outputs.palette;
  job.paths = outputs.paths;
  job.vobSubIndex.height = FrameHeight(render.standard);
  job.vobSubIndex.palette = outputs.paletteColours;
  job.vobSubIndex.language = outputs.language;
  job.instructionText = outputs.instructionText;
  job.workerThreads = outputs.workerThreads;
  // Entries are coded straight from their passes, with no frame painted; what the role colours make of the
  // passes is worked out once for the run.
  job.encode = [&document, &engines, render, codes = PaintCodesFor(render.roles)](int i, EncodedEntry& out) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    EntryPasses passes;
    RenderEntryPasses(engines.ForThisThread(), EntryTextOf(line), render, passes);
    EncodePasses(passes, codes, out);
  };
  // A third line is drawn when the file's styles are.
  job.entry = [&document, thirdDrawn = render.stylesFromFile](int i) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    return GenerationEntry{line.StartTime,     line.EndTime,
                           line.Line1,         thirdDrawn ? line.Style.moreLines : !line.Line3.empty(),
                           thirdDrawn ? 3 : 2, i == document.FrameRateEntry};
  };
  return job;
}

}  // namespace quillet
