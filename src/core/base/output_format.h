// What a generation run writes (the SUP file, the VobSub pair, or both) and the VobSub track's language: chosen by
// the job values and the window, acted on by the run, so it sits below both.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The SUP file is for DVD authoring programs; the VobSub pair (.idx/.sub) for players, Matroska and ffmpeg; the
// Blu-ray SUP file (presentation graphics, PGS) for Blu-ray authoring and Matroska, antialiased on an HD frame.
enum class OutputFormat { Sup, VobSub, Both, Pgs };
inline bool WritesSup(OutputFormat format) { return format != OutputFormat::VobSub; }
inline bool WritesVobSub(OutputFormat format) { return format == OutputFormat::VobSub || format == OutputFormat::Both; }
inline bool WritesPgs(OutputFormat format) { return format == OutputFormat::Pgs; }

// The language a VobSub track is marked with unless told otherwise.
inline constexpr std::string_view kDefaultVobSubLanguage = "en";

// A language code as a VobSub index takes it: two ASCII letters (ISO 639-1), returned in lower case. Anything else
// (empty, three letters, digits, blanks) gives nothing.
std::optional<std::string> NormaliseVobSubLanguage(std::string_view code);

// The output choice of one run.
struct OutputOptions {
  OutputFormat format = OutputFormat::Sup;
  std::string language{kDefaultVobSubLanguage};  // two lower-case letters, as NormaliseVobSubLanguage gives
  bool operator==(const OutputOptions&) const = default;
};

}  // namespace quillet
