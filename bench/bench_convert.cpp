// Whole conversion of a two-hour, 1,500-entry SubRip file: load, render, code and write the SUP file, with the
// default settings (Arial 20, outline 3, PAL, the generic palette's roles). Prints the median wall time and the
// process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/document_job.h"
#include "bench_support.h"
#include "palette/grey_band_roles.h"
#include "palette/palette_display.h"
#include "render/font_engine_pool.h"
#include "render/subtitle_renderer.h"
#include "subtitle/subtitle.h"
#include "run/generation_run.h"
#include "run/output_files.h"
#include "sup/role_colours.h"

namespace {

using namespace quillet;

using bench::IgnoringSink;

// A scratch folder holding the file scripts/make_long_srt writes, made once per process.
const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path dir = bench::ScratchFolder("convert");
    return bench::MakeLongSrt(dir / "long.srt", 1500) ? dir : std::filesystem::path();
  }();
  return folder;
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// One conversion as the window's "Generate Sup" does it after "Load SRT"; workers as the run's setting.
GenerationOutcome Convert(const std::string& srtPath, int workers) {
  IgnoringSink sink;
  TSubtitle document;
  document.LoadFromFile(srtPath, true, sink);

  const RoleSelection roles = kGenericRoles;
  const RoleRgb colours =
      CaptureRoleColours(MakeGenericPalette().Colours(), roles.antialias, roles.outline, roles.text);
  const FontDesc font;  // Arial 20, DEFAULT charset, normal style
  FontEnginePerThread engines;

  const OutputPaths paths = OutputPathsFor(srtPath);
  // As the window and a named run build it.
  DocumentJobOutputs outputs;
  outputs.paths = paths;
  outputs.palette = PaletteEntries{roles.antialias, roles.outline, roles.text, roles.background};
  outputs.instructionText = ComposeFinalReport(ReportCase::NoIfo, paths);
  outputs.workerThreads = workers;
  const GenerationJob job = DocumentGenerationJob(
      document, RenderSettings{font, Alignment::Center, 30, -4, 3, VideoStandard::Pal, colours}, engines, outputs);
  return RunGeneration(job, {});
}

void BM_ConvertLongSrt(benchmark::State& state) {
  if (WorkFolder().empty()) {
    state.SkipWithError("scripts/make_long_srt failed");
    return;
  }
  const std::string srtPath = (WorkFolder() / "long.srt").string();
  const int workers = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const GenerationOutcome outcome = Convert(srtPath, workers);
    if (outcome.status != GenerationStatus::Completed || outcome.packetsWritten != 1500) {
      state.SkipWithError(("conversion failed: " + outcome.message).c_str());
      return;
    }
  }
  state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
  state.counters["sup_KB"] = static_cast<double>(std::filesystem::file_size(WorkFolder() / "long.sup")) / 1024.0;
}
// kAutoWorkerThreads (one worker per processor), then strictly sequential for comparison.
BENCHMARK(BM_ConvertLongSrt)
    ->ArgName("workers")
    ->Arg(kAutoWorkerThreads)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("peak resident memory of the whole process: %.1f MB\n", static_cast<double>(PeakRssKb()) / 1024.0);
  if (!WorkFolder().empty()) std::filesystem::remove_all(WorkFolder());
  return 0;
}
