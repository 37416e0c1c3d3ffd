// Times RenderFrame on a typical two-line entry (size 20, outline 3), the fast path against the literal
// reference, and prints both medians and their ratio.
//   build-rel/bench_render [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "reference_render.h"
#include "render/subtitle_renderer.h"

namespace quillet {
namespace {

FontEngine& Engine() {
  static FontEngine engine(FontOptions{"UTF-8"});
  return engine;
}

const char* const kLine1 = "I don't think we should go back there,";
const char* const kLine2 = "not after what happened last summer.";
const RoleRgb kRoles{Rgb{128, 128, 128}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};

FontDesc TypicalFont() {
  FontDesc font;
  font.faceName = "Arial";
  font.sizePt = 20;
  return font;
}

void BM_RenderFrameFast(benchmark::State& state) {
  const FontDesc font = TypicalFont();
  for (auto _ : state) {
    RenderedFrame f = RenderFrame(Engine(), kLine1, kLine2,
                                  RenderSettings{font, Alignment::Center, 30, -4, 3, VideoStandard::Pal, kRoles});
    benchmark::DoNotOptimize(f.frame.Bytes().data());
  }
}

void BM_RenderFrameReference(benchmark::State& state) {
  const FontDesc font = TypicalFont();
  for (auto _ : state) {
    RenderedFrame f = ReferenceRenderFrame(
        Engine(), kLine1, kLine2, RenderSettings{font, Alignment::Center, 30, -4, 3, VideoStandard::Pal, kRoles});
    benchmark::DoNotOptimize(f.frame.Bytes().data());
  }
}

// The floor both share: making the blue frame alone.
void BM_BlueFrameOnly(benchmark::State& state) {
  for (auto _ : state) {
    Image24 frame = BlueFrame(VideoStandard::Pal);
    benchmark::DoNotOptimize(frame.Bytes().data());
  }
}

BENCHMARK(BM_BlueFrameOnly)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderFrameFast)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderFrameReference)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Passes everything on to the console and keeps the median of each benchmark.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> m_medians;  // in the benchmarks' unit, microseconds
};

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  quillet::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto frame = reporter.m_medians.find("BM_BlueFrameOnly");
  if (frame != reporter.m_medians.end()) std::printf("Blue frame alone median: %.1f us\n", frame->second);
  const auto fast = reporter.m_medians.find("BM_RenderFrameFast");
  const auto reference = reporter.m_medians.find("BM_RenderFrameReference");
  if (fast != reporter.m_medians.end() && reference != reporter.m_medians.end()) {
    std::printf("RenderFrame median: fast %.1f us, reference %.1f us, reference / fast = %.1f\n", fast->second,
                reference->second, reference->second / fast->second);
  }
  return 0;
}
