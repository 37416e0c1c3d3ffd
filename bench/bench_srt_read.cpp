// Time to load a two-hour, 1,500-entry SubRip file: the whole load from disk, and the parse alone.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "base/whole_file.h"
#include "subtitle/srt_reader.h"
#include "subtitle/subtitle.h"

namespace {

using quillet::bench::IgnoringSink;

// The file scripts/make_long_srt writes, made once per process in a scratch folder ("" when that fails).
const std::string& LongSrtPath() {
  static const std::string path = [] {
    const std::filesystem::path file = quillet::bench::ScratchFolder("srt-read") / "long.srt";
    return quillet::bench::MakeLongSrt(file, 1500) ? file.string() : std::string();
  }();
  return path;
}

void BM_LoadLongSrtFile(benchmark::State& state) {
  const std::string& path = LongSrtPath();
  if (path.empty()) {
    state.SkipWithError("scripts/make_long_srt failed");
    return;
  }
  IgnoringSink sink;
  for (auto _ : state) {
    quillet::TSubtitle document;
    document.LoadFromFile(path, true, sink);
    if (document.Count() != 1500) state.SkipWithError("wrong entry count");
    benchmark::DoNotOptimize(document.Lines.data());
  }
}
BENCHMARK(BM_LoadLongSrtFile)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_ParseLongSrtInMemory(benchmark::State& state) {
  const std::string& path = LongSrtPath();
  if (path.empty()) {
    state.SkipWithError("scripts/make_long_srt failed");
    return;
  }
  const std::string bytes = quillet::ReadWholeFile(path);
  for (auto _ : state) {
    quillet::TSubtitle document;
    quillet::ReadSrt(bytes, document);
    benchmark::DoNotOptimize(document.Lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseLongSrtInMemory)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!LongSrtPath().empty()) std::filesystem::remove_all(std::filesystem::path(LongSrtPath()).parent_path());
  return 0;
}
