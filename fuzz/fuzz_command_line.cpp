// Fuzzes the command line: the grammar of the 16 values, the conversion of each value, and an unattended run
// driven by the converted values.
//
// Input: arguments separated by NUL bytes. Values 2 and 3 (the IFO and subtitle file names) never reach the
// file system as given: the run reads a small IFO and a one-entry subtitle of our own from the scratch folder,
// and writes its SUP and instruction files there.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_controller.h"
#include "app/main_view.h"
#include "base/errors.h"
#include "fuzz_support.h"
#include "job/command_line.h"
#include "job/job_settings.h"

using namespace quillet;

namespace {

// A view with no one in front of it: records what it would show, never waits.
class SilentView : public MainView {
 public:
  void ShowMessage(const std::string&) override { ++messages; }
  void ShowError(const std::string&) override { ++errors; }
  void ShowNotice(const std::string&) override {}
  void ExecuteOpenDialog(FileDialogState&) override {}
  void ProcessEvents() override {}
  void StateChanged() override {}
  void PictureChanged() override {}
  void ProgressChanged() override {}
  void EndProgram() override { ended = true; }

  int messages = 0;
  int errors = 0;
  bool ended = false;
};

// A title set information file whose colour table holds a grey ramp; PAL or NTSC.
std::string SmallIfo(bool pal) {
  std::string bytes(2 * 2048, '\0');
  bytes[0xCC + 3] = 1;  // the program chain table in sector 1, its first chain at offset 0
  bytes[0x200] = pal ? 0x50 : 0x40;
  for (int n = 0; n < 16; ++n) {
    const std::size_t at = 2048 + 0xA4 + 4 * static_cast<std::size_t>(n);
    bytes[at + 1] = static_cast<char>(16 + n * 14);  // Y
    bytes[at + 2] = static_cast<char>(128);          // Cr
    bytes[at + 3] = static_cast<char>(128);          // Cb
  }
  return bytes;
}

// Checks a conversion: it either gives a value or throws ConversionError naming the text, nothing else.
template <typename Convert>
void CheckConversion(Convert convert, const std::string& text) {
  try {
    (void)convert(text);
  } catch (const ConversionError& e) {
    QUILLET_FUZZ_CHECK(std::string_view(e.what()).starts_with("'" + text + "'"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::InputSplitter input(data, size);
  std::vector<std::string> args;
  while (!input.Empty() && args.size() < 20) args.emplace_back(input.Until('\0'));

  const CommandLine commandLine = ParseCommandLine(args);
  if (!commandLine.unattended) {
    QUILLET_FUZZ_CHECK(commandLine == CommandLine{});
  } else {
    for (std::size_t i = 0; i < kParameterCount; ++i) {
      QUILLET_FUZZ_CHECK(!commandLine.args[i].empty() && commandLine.args[i] != kParameterNames[i]);
    }
  }
  for (const std::string& arg : args) {
    CheckConversion(ConvertBooleanValue, arg);
    CheckConversion(ConvertIntegerValue, arg);
    try {
      const int offset = ConvertOffsetValue(arg);
      QUILLET_FUZZ_CHECK(offset >= kOffsetMin && offset <= kOffsetMax);
      const int offsetOr = ConvertOffsetOrValue(arg);
      QUILLET_FUZZ_CHECK(offsetOr >= kOffsetOrMin && offsetOr <= kOffsetOrMax && offsetOr % 2 == 0);
    } catch (const ConversionError&) {
    }
  }
  if (!commandLine.unattended) return 0;

  // The run itself, with our own files in place of the named ones.
  auto& scratch = fuzz::ScratchFolder::Get();
  static const std::string palIfo = scratch.Write("pal.ifo", SmallIfo(true));
  static const std::string ntscIfo = scratch.Write("ntsc.ifo", SmallIfo(false));
  static const std::string subtitle =
      scratch.Write("film.srt", "1\r\n00:00:01,000 --> 00:00:03,500\r\nOne line of text\r\nand a second\r\n\r\n");
  args[1] = commandLine.args[1].size() % 3 == 0   ? scratch.Path().string() + "/missing.ifo"
            : commandLine.args[1].size() % 3 == 1 ? palIfo
                                                  : ntscIfo;
  args[2] = subtitle;

  SilentView view;
  ControllerOptions options;
  options.programFolder = scratch.Path().string() + "/";
  options.generationWorkers = 0;
  try {
    MainController controller(view, options);
    controller.FormCreate(args);
    controller.FormActivate();
    // A run that ended the program wrote its SUP file and reported nothing.
    if (view.ended) QUILLET_FUZZ_CHECK(view.errors == 0);
  } catch (const std::exception& e) {
    // The commands end every failure with the error box; nothing may escape them.
    fuzz::ScratchFolder::Fail(std::string("an exception escaped the unattended run: ") + e.what());
  }
  return 0;
}
