// Times coding a typical two-line entry's band straight from its passes (size 20, outline 3, PAL): the part
// of a generation run that runs once per row of every entry.
//   build/bench_band_coding [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include "render/subtitle_renderer.h"
#include "sup/mask_band_coder.h"
#include "sup/paint_codes.h"

namespace quillet {
namespace {

void BM_CodeTwoLineBand(benchmark::State& state) {
  FontEngine engine(FontOptions{"UTF-8"});
  FontDesc font;
  font.faceName = "Arial";
  font.sizePt = 20;
  const RoleRgb roles{Rgb{128, 128, 128}, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
  EntryPasses passes;
  RenderEntryPasses(engine, "I don't think we should go back there,", "not after what happened last summer.",
                    RenderSettings{font, Alignment::Center, 30, -4, 3, VideoStandard::Pal, roles}, passes);
  const PaintCodes codes = PaintCodesFor(roles);
  PixelData out;
  for (auto _ : state) {
    EncodeBandFromPasses(passes, codes, out);
    benchmark::DoNotOptimize(out.block.data());
  }
  state.counters["bytes"] = static_cast<double>(out.block.size());
}

BENCHMARK(BM_CodeTwoLineBand)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
