// Times laying one subtitle line out: a Latin line by the glyph-after-glyph layout, the same line forced through
// direction runs and shaping (a leading direction mark), and Hebrew, Arabic and Chinese lines; and breaking a
// line too wide for the frame (--wrap), from an ordinary long line to one of 300 kB, which is linear in its length.
//   build/bench_layout [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <string>

#include "render/font_engine.h"
#include "render/line_wrap.h"

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

// Ordinary English words, every hundredth with a number so that not every word is one measured before, to about
// `bytes` bytes in one line.
std::string LongLine(std::size_t bytes) {
  static const char* const kWords[] = {"I",      "don't", "think", "we",   "should",   "go",   "back",
                                       "there,", "not",   "after", "what", "happened", "last", "night."};
  std::string line;
  for (std::size_t i = 0; line.size() < bytes; ++i) {
    if (!line.empty()) line += ' ';
    line += kWords[i % std::size(kWords)];
    if (i % 100 == 0) line += std::to_string(i);
  }
  return line;
}

// A line of about state.range(0) bytes broken into up to three lines; beyond about 150 bytes no breaking makes it
// fit and it is refused, which is what a line of a broken file meets.
void BM_WrapLongLine(benchmark::State& state) {
  const std::string line = LongLine(static_cast<std::size_t>(state.range(0)));
  const std::string_view lines[] = {line};
  FontDesc font;
  for (auto _ : state) {
    std::optional<BrokenLines> broken = BreakLongLines(Engine(), lines, font);
    benchmark::DoNotOptimize(broken);
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_LatinPlain);
BENCHMARK(BM_LatinShaped);
BENCHMARK(BM_Hebrew);
BENCHMARK(BM_Arabic);
BENCHMARK(BM_Chinese);
BENCHMARK(BM_WrapLongLine)
    ->Arg(120)
    ->Arg(3'000)
    ->Arg(30'000)
    ->Arg(300'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
