// One subtitle file of a named run: read, width-checked, and written by the window's generation run.
#include "app/file_conversion.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/document_job.h"
#include "app/long_lines.h"
#include "app/pgs_conversion.h"
#include "base/errors.h"
#include "base/message_sink.h"
#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"
#include "run/generation_run.h"

namespace quillet {
namespace {

// Collects what the readers would show in a box.
class CollectingSink : public MessageSink {
 public:
  explicit CollectingSink(std::vector<std::string>& lines) : m_lines(lines) {}
  void ShowMessage(const std::string& text) override { m_lines.push_back(OneLine(text)); }

 private:
  std::vector<std::string>& m_lines;
};

}  // namespace

std::string OneLine(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      while (!out.empty() && out.back() == ' ') out.pop_back();
      if (!out.empty() && i + 1 < text.size()) out += " / ";
    } else {
      out += c;
    }
  }
  return out;
}

TSubtitle ReadSubtitleForRun(const std::string& path, const NamedRunSetup& setup, std::vector<std::string>& notices) {
  // The window's one message for every file it cannot take would hide the plainest reason of all.
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    throw QuilletError("the file does not exist");
  }
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)) &&
      !std::filesystem::exists(std::filesystem::status(path, ec))) {
    throw QuilletError("the file is a link to \"" + std::filesystem::read_symlink(path, ec).string() +
                       "\", which does not exist");
  }
  TSubtitle document;
  CollectingSink sink(notices);
  document.LoadFromFile(path, true, sink, setup.characters,
                        {setup.options.fps, kNoFrameRateWithoutFps, setup.codePage});
  if (!document.Loaded || document.Count() == 0) {
    std::string why;
    for (const std::string& line : notices) why += (why.empty() ? "" : " / ") + line;
    notices.clear();
    throw QuilletError(why.empty() ? "the file holds no subtitle entries" : why);
  }
  if (!document.ReadingNotice.empty()) notices.insert(notices.begin(), document.ReadingNotice);
  if (!setup.options.plain) {
    if (std::string notice = UnsupportedStylesNotice(document); !notice.empty()) notices.push_back(std::move(notice));
  }
  return document;
}

std::string UnsupportedStylesNotice(const TSubtitle& document) {
  const auto count = std::count_if(document.Lines.begin(), document.Lines.end(),
                                   [](const SubtitleLine& line) { return line.Style.unsupported; });
  if (count == 0) return {};
  return std::to_string(count) + (count == 1 ? " entry asks" : " entries ask") +
         " for colours or a position of their own; a DVD subpicture has four palette colours, so they are drawn "
         "in the chosen colours at the place their alignment gives";
}

std::string LineTooWide(int entryIndex, const LineMeasures& m, int limitPx) {
  const int which = m.w1 >= limitPx ? 1 : m.w2 >= limitPx ? 2 : m.w3 >= limitPx ? 3 : 0;
  if (which == 0) return {};
  return "entry " + std::to_string(entryIndex) + ": line " + std::to_string(which) + " is " +
         std::to_string(which == 1   ? m.w1
                        : which == 2 ? m.w2
                                     : m.w3) +
         " pixels wide, the frame holds lines up to " + std::to_string(limitPx - 1);
}

std::string FirstLineTooWide(const TSubtitle& document, FontEngine& engine, const RenderSettings& render, bool wrapped,
                             int limitPx) {
  for (int n = 1; n <= document.Count(); ++n) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(n - 1)];
    const std::string tooWide = LineTooWide(n, MeasureEntry(engine, EntryTextOf(line), render), limitPx);
    if (!tooWide.empty()) {
      return tooWide +
             (wrapped ? " and no breaking at blanks makes it fit (use a smaller --size)"
                      : " (use a smaller --size, or --wrap)") +
             "; nothing written";
    }
  }
  return {};
}

std::string FitLinesForRun(TSubtitle& document, FontEngine& engine, const RenderSettings& render, bool wrap) {
  if (wrap) BreakLongLinesOfDocument(document, engine, render.font, WrapLineLimit(render));
  return FirstLineTooWide(document, engine, render, wrap);
}

namespace {

// FitLinesForRun for the Blu-ray frame: --wrap breaks lines as for the DVD frame (never wider than the HD frame
// holds), then each line is measured at its scaled size against the frame's width.
std::string FitLinesForPgs(TSubtitle& document, FontEngine& engine, const RenderSettings& render,
                           const NamedOptions& options) {
  if (options.wrap) BreakLongLinesOfDocument(document, engine, render.font, WrapLineLimit(render));
  return FirstLineTooWideForFrame(document, engine, render, PgsFrame(options.frameRows), options.wrap);
}

}  // namespace

FileOutcome ConvertSubtitleFile(const NamedRunSetup& setup, const std::string& path, FontEnginePerThread& engines,
                                int workerThreads, std::atomic<long>& entriesDone, const UnitOut& unitOut) {
  FileOutcome outcome;
  try {
    TSubtitle document = ReadSubtitleForRun(path, setup, outcome.notices);
    outcome.entries = document.Count();
    const RenderSettings render = setup.Render(document.UnicodeText);

    // The whole file is refused when one line does not fit, as loading it in the window refuses it.
    const bool pgs = WritesPgs(setup.options.format);
    outcome.message = pgs ? FitLinesForPgs(document, engines.ForThisThread(), render, setup.options)
                          : FitLinesForRun(document, engines.ForThisThread(), render, setup.options.wrap);
    if (!outcome.message.empty()) return outcome;

    const OutputPaths paths = unitOut ? OutputPaths{} : NamedOutputPaths(setup.options, path);

    const DocumentJobOutputs outputs{paths,
                                     setup.paletteEntries,
                                     setup.palette.Colours(),
                                     setup.options.language,
                                     unitOut ? std::string()
                                     : pgs   ? ComposePgsReport(paths, setup.options.frameRows)
                                             : ComposeFinalReport(setup.reportCase, paths),
                                     workerThreads};
    GenerationJob job = pgs ? PgsGenerationJob(document, render, engines, setup.options, outputs)
                            : DocumentGenerationJob(document, render, engines, outputs);
    job.unitOut = unitOut;
    GenerationHooks hooks;
    hooks.advanceProgress = [&] { entriesDone.fetch_add(1, std::memory_order_relaxed); };
    const GenerationOutcome run = RunGeneration(job, hooks);
    if (run.status != GenerationStatus::Completed) {
      outcome.message = OneLine(run.message);
      return outcome;
    }
    // Entries written otherwise than the file says (times a DVD cannot hold, text outside the frame,
    // characters no installed font has): one line per kind.
    for (std::string& line : run.notice.Lines()) outcome.notices.push_back(std::move(line));
    if (!unitOut) outcome.written = paths.Files();
    outcome.ok = true;
  } catch (const std::exception& e) {
    outcome.message = OneLine(e.what());
  }
  return outcome;
}

}  // namespace quillet
