// One subtitle file of a named run: read, width-checked, and written by the window's generation run.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/named_run_setup.h"
#include "render/font_engine_pool.h"
#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"
#include "subtitle/subtitle.h"

namespace quillet {

// How one file went. `message` is one line without the file name (the caller puts the name first).
struct FileOutcome {
  bool ok = false;
  std::string message;
  int entries = 0;
  std::vector<std::string> written;  // the outputs, in the order they were written
  std::vector<std::string> notices;  // lines to show even when the file converted
};

// Reads a subtitle file as "Load SRT" does, a MicroDVD file without a frame-rate line at the run's --fps.
// Messages of the readers (an unknown format, a MicroDVD file without its frame rate and no --fps) become one
// line each in `notices`; a file that gives no entries fails with them.
// Throws QuilletError (a time that does not convert, a file that cannot be read).
// Markup is found between the characters the text will be drawn in (setup.characters); text without a byte-order
// mark is read as setup.codePage says.
TSubtitle ReadSubtitleForRun(const std::string& path, const NamedRunSetup& setup, std::vector<std::string>& notices);

// The named commands' refusal of a MicroDVD file without a frame-rate line when --fps is not given.
inline constexpr const char* kNoFrameRateWithoutFps =
    "the MicroDVD file declares no frame rate (no {1}{1}RATE first line): give it with --fps, such as --fps 23.976";

// "entry 3: line 1 is 731 pixels wide, the frame holds lines up to 679" when a line of the entry is as wide as
// `limitPx` or wider (the DVD frame's limit, or the Blu-ray frame's), else empty.
std::string LineTooWide(int entryIndex, const LineMeasures& m, int limitPx = kMaxLineWidthPx);

// The notice (one line) for entries whose file asks for colours or positions, which are never drawn; empty when
// none does. Reading for a run adds it unless the run is --plain.
std::string UnsupportedStylesNotice(const TSubtitle& document);

// The line that keeps the file from being converted, as one message line ("entry 3: line 1 is 731 pixels wide,
// ..."), or empty when every line fits the frame.
// `wrapped`: the lines were broken already (--wrap), so the message does not suggest it.
// The entries are measured as `render` draws them (MeasureEntry).
std::string FirstLineTooWide(const TSubtitle& document, FontEngine& engine, const RenderSettings& render,
                             bool wrapped = false, int limitPx = kMaxLineWidthPx);

// With `wrap` (--wrap) every entry with a line too wide is broken again first (BreakLongLinesOfDocument, into as
// many lines as the run draws); then FirstLineTooWide.
std::string FitLinesForRun(TSubtitle& document, FontEngine& engine, const RenderSettings& render, bool wrap);

// Each unit of a file as its conversion codes it: the entry's number, its presentation time, the unit's bytes.
using UnitOut = std::function<void(int entryIndex, uint32_t pts90k, std::span<const uint8_t> unit)>;

// Converts one file: the whole file is refused when a line is too wide for the frame, as the window refuses it;
// otherwise RunGeneration writes its outputs (each complete or not at all), or, given `unitOut`, writes no file and
// hands it every unit instead (how mux takes them). Entries finished are added to `entriesDone` as they go.
// `workerThreads` as GenerationJob's. Never throws.
FileOutcome ConvertSubtitleFile(const NamedRunSetup& setup, const std::string& path, FontEnginePerThread& engines,
                                int workerThreads, std::atomic<long>& entriesDone, const UnitOut& unitOut = {});

// Messages break lines with carriage returns for the window's boxes; one line each here.
std::string OneLine(std::string_view text);

}  // namespace quillet
