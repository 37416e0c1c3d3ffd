// A named run's Blu-ray output (--format pgs): the frame and colours from the options, the line length check
// on that frame, the generation job that draws entries antialiased into display sets, and the file check.
#pragma once

#include <atomic>
#include <string>

#include "app/document_job.h"
#include "app/named_run_setup.h"
#include "app/subtitle_check.h"
#include "render/antialiased_drawing.h"
#include "subtitle/subtitle.h"

namespace quillet {

// 1080 lines: 1920 × 1080; 720: 1280 × 720; 576 and 480: 720 wide.
PictureFrame PgsFrame(int rows);
TextColours PgsColours(const NamedOptions& options);

// "entry 3: line 1 is 1850 pixels wide, the frame holds lines up to 1844 (...); nothing written" for the first line
// too wide for the frame at its scaled size, else empty.
std::string FirstLineTooWideForFrame(const TSubtitle& document, FontEngine& engine, const RenderSettings& render,
                                     PictureFrame frame, bool wrapped);

// The document's run writing a Blu-ray SUP file: entry i drawn with DrawAntialiasedEntry and made its two display
// sets. An entry whose picture a player cannot hold fails the run, named. The job refers to `document` and
// `engines`: both must outlive the run.
GenerationJob PgsGenerationJob(const TSubtitle& document, const RenderSettings& render, FontEnginePerThread& engines,
                               const NamedOptions& options, const DocumentJobOutputs& outputs);

// "quillet check --format pgs" of a read document: lines too wide for the frame, pictures a player cannot hold,
// text cut by the frame, characters no font has; the largest display set's coded objects in the outcome.
void CheckPgsDocument(const TSubtitle& document, const RenderSettings& render, FontEngine& engine,
                      const NamedOptions& options, CheckOutcome& outcome, std::atomic<long>& entriesDone);

}  // namespace quillet
