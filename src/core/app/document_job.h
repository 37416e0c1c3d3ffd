// The generation run of one loaded subtitle document: the same job for the window and for a named run.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "render/font_engine_pool.h"
#include "render/subtitle_renderer.h"
#include "run/generation_run.h"
#include "run/output_files.h"
#include "subtitle/subtitle.h"

namespace quillet {

// Where the run writes and what it tells besides the pictures.
struct DocumentJobOutputs {
  OutputPaths paths;
  PaletteEntries palette;                // the palette entries of the four roles
  std::array<Rgb, 16> paletteColours{};  // the .idx palette
  std::string language;                  // the .idx language
  std::string instructionText;
  int workerThreads = 0;
};

// An entry as the layout takes it: its three lines and its style.
inline EntryText EntryTextOf(const SubtitleLine& line) {
  return {line.Line1, line.Line2, std::string_view(line.Line3).substr(0, line.Style.thirdLineBytes), &line.Style};
}

// The job renders entry i of `document` with `render` through `engines` and codes it. The job
// refers to `document` and `engines` (and copies `render`): both must outlive the run.
GenerationJob DocumentGenerationJob(const TSubtitle& document, const RenderSettings& render,
                                    FontEnginePerThread& engines, const DocumentJobOutputs& outputs);

}  // namespace quillet
