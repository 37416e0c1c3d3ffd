// The preview redraw a settings change causes in the window: the background reloaded, the sample line and the
// selected entry drawn over it, as MainController does it (the Qt window then only shows the picture).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/console_view.h"
#include "bench_support.h"
#include "app/main_controller.h"
#include "render/preview_background.h"

namespace {

using namespace quillet;

// The console view, quiet, with a file dialog that "chooses" one file.
class BenchView : public ConsoleView {
 public:
  explicit BenchView(std::string file) : ConsoleView(std::cerr), m_file(std::move(file)) {}
  void ShowMessage(const std::string&) override {}
  void ExecuteOpenDialog(FileDialogState& dialog) override { dialog.fileName = m_file; }

 private:
  std::string m_file;
};

void BM_PreviewRedrawOnOffsetChange(benchmark::State& state) {
  const std::filesystem::path folder = bench::ScratchFolder("preview");
  const std::filesystem::path srt = folder / "film.srt";
  if (!bench::MakeLongSrt(srt, 20)) {
    std::filesystem::remove_all(folder);
    state.SkipWithError("scripts/make_long_srt failed");
    return;
  }
  BenchView view(srt.string());
  ControllerOptions options;
  options.drawPreview = true;
  MainController controller(view, options);
  controller.FormCreate({});
  controller.SetNoIfo(true);
  controller.ButtonLoadSubClick();
  controller.ListBoxPreviewClick(3);
  if (!controller.State().SubtitleLoaded) {
    state.SkipWithError("the subtitle did not load");
    return;
  }
  controller.MoveOffset(32);
  if (controller.State().preview == BuiltInPreviewBackground(VideoStandard::Pal)) {
    state.SkipWithError("the preview shows no text");
    return;
  }
  int position = 30;
  for (auto _ : state) {
    position = position == 30 ? 32 : 30;
    controller.MoveOffset(position);  // the refresh: sample line and entry, each on a fresh background
    benchmark::DoNotOptimize(controller.State().preview.Bytes().data());
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PreviewRedrawOnOffsetChange)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
