// The command-line grammar (16 positional values) and the conversion of each value for the unattended run.
#include "job/command_line.h"

#include <cstddef>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/number_text.h"

namespace quillet {
namespace {

std::string_view WithoutTrailingCr(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& argsAfterProgramName) {
  CommandLine result;
  if (argsAfterProgramName.size() < kParameterCount) return result;
  for (int i = 0; i < kParameterCount; ++i) {
    std::string_view arg = WithoutTrailingCr(argsAfterProgramName[i]);
    if (arg.empty() || arg == kParameterNames[i]) return CommandLine{};
    result.args[i] = std::string(arg);
  }
  result.unattended = true;
  return result;
}

bool ConvertBooleanValue(std::string_view text) {
  if (auto nonZero = DecimalIsNonZero(text)) return *nonZero;
  if (EqualsIgnoringAsciiCase(text, "true")) return true;
  if (EqualsIgnoringAsciiCase(text, "false")) return false;
  throw ConversionError("'" + std::string(text) + "' is not a valid boolean value");
}

int ConvertIntegerValue(std::string_view text) {
  if (auto value = ParseDecimalInteger(text)) return *value;
  throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

int ConvertOffsetValue(std::string_view text) { return ClampOffset(ConvertIntegerValue(text)); }

int ConvertOffsetOrValue(std::string_view text) { return ClampOffsetOr(ConvertIntegerValue(text)); }

void CommandLineJob::ThrowIfBadUpTo(int lastValue) const {
  if (firstBadValue != 0 && firstBadValue <= lastValue) throw ConversionError(badValueMessage);
}

CommandLineJob JobFromCommandLine(const std::array<std::string, kParameterCount>& args) {
  CommandLineJob result;
  JobSettings& job = result.job;
  // Converts value `number` (1-based) into `field` unless an earlier value already failed.
  auto convert = [&](int number, auto& field, auto conversion) {
    if (result.firstBadValue != 0) return;
    try {
      field = conversion(args[static_cast<std::size_t>(number - 1)]);
    } catch (const ConversionError& e) {
      result.firstBadValue = number;
      result.badValueMessage = e.what();
    }
  };
  convert(1, job.haveifo, ConvertBooleanValue);
  job.filenameifo = args[1];
  job.filenamesub = args[2];
  if (job.haveifo) convert(4, job.pal, ConvertBooleanValue);
  int* const lists[] = {&job.colorantialias, &job.coloroutline, &job.colortext, &job.colorbg, &job.fontname,
                        &job.fontcharset,    &job.fontstyle,    &job.fontsize,  &job.align};
  for (int i = 0; i < 9; ++i) convert(5 + i, *lists[i], ConvertIntegerValue);
  convert(14, job.offset, ConvertOffsetValue);
  convert(15, job.offsetor, ConvertOffsetOrValue);
  convert(16, job.outline, ConvertIntegerValue);
  return result;
}

}  // namespace quillet
