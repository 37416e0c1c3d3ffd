// Time to load a two-hour, 1,500-entry SubRip file: the whole load from disk, and the parse alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/message_sink.h"
#include "base/whole_file.h"
#include "subtitle/srt_reader.h"
#include "subtitle/subtitle.h"

namespace {

class IgnoringSink : public quillet::MessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

// The file scripts/make_long_srt writes, made once per process in the temporary folder.
const std::string& LongSrtPath() {
  static const std::string path = [] {
    std::string file =
        (std::filesystem::temp_directory_path() / ("quillet-bench-long-" + std::to_string(::getpid()) + ".srt"))
            .string();
    std::string command = "bash \"" QUILLET_SOURCE_DIR "/scripts/make_long_srt\" \"" + file + "\" 1500";
    if (std::system(command.c_str()) != 0) return std::string();
    return file;
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
  if (!LongSrtPath().empty()) std::filesystem::remove(LongSrtPath());
  return 0;
}
