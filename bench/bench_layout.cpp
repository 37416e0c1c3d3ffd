// Times laying one subtitle line out: a Latin line by the glyph-after-glyph layout, the same line forced through
// direction runs and shaping (a leading direction mark), and Hebrew, Arabic and Chinese lines.
//   build/bench_layout [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <string>

#include "render/font_engine.h"

namespace quillet {
namespace {

FontEngine& Engine() {
  static FontEngine engine(FontOptions{"UTF-8"});
  return engine;
}

void Layout(benchmark::State& state, const std::string& line) {
  FontDesc font;  // Arial 20, DEFAULT charset
  for (auto _ : state) {
    LineLayout layout = Engine().LayoutLine(font, line);
    benchmark::DoNotOptimize(layout.widthPx);
  }
}

const std::string kLatin = "I don't think we should go back there,";

void BM_LatinPlain(benchmark::State& state) { Layout(state, kLatin); }
void BM_LatinShaped(benchmark::State& state) { Layout(state, "\xE2\x80\x8E" + kLatin); }
void BM_Hebrew(benchmark::State& state) {
  Layout(state,
         "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D, \xD7\x9E\xD7\x94 "
         "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9E\xD7\x9A?");
}
void BM_Arabic(benchmark::State& state) {
  Layout(state,
         "\xD8\xA7\xD9\x84\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD8\xB9\xD9\x84\xD9\x8A\xD9\x83\xD9\x85 "
         "\xD9\x88\xD8\xB1\xD8\xAD"
         "\xD9\x85\xD8\xA9 \xD8\xA7\xD9\x84\xD9\x84\xD9\x87");
}
void BM_Chinese(benchmark::State& state) {
  Layout(state,
         "\xE6\x88\x91\xE4\xBB\xAC\xE5\xBF\x85\xE9\xA1\xBB\xE5\x9C\xA8\xE4\xB8\x8B\xE9\x9B\xA8\xE4\xB9\x8B\xE5\x89"
         "\x8D\xE7\xA6\xBB\xE5\xBC\x80\xE3\x80\x82");
}

BENCHMARK(BM_LatinPlain);
BENCHMARK(BM_LatinShaped);
BENCHMARK(BM_Hebrew);
BENCHMARK(BM_Arabic);
BENCHMARK(BM_Chinese);

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
