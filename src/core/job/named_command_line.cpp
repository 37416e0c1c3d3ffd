// The named command line: options with the window's words, checked one by one, into one JobSettings.
#include "job/named_command_line.h"

#include <array>
#include <cctype>
#include <functional>
#include <map>

#include "base/ascii_text.h"
#include "base/number_text.h"
#include "base/shown_text.h"

namespace quillet {
namespace {

bool IsPrefixIgnoringCase(std::string_view prefix, std::string_view word) {
  return !prefix.empty() && prefix.size() <= word.size() &&
         EqualsIgnoringAsciiCase(prefix, word.substr(0, prefix.size()));
}

template <std::size_t N>
std::optional<int> FindIgnoringCase(const std::array<std::string_view, N>& list, std::string_view text) {
  for (std::size_t i = 0; i < N; ++i) {
    if (EqualsIgnoringAsciiCase(list[i], text)) return static_cast<int>(i);
  }
  return std::nullopt;
}

template <std::size_t N>
std::string JoinList(const std::array<std::string_view, N>& list) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) {
    if (i) out += ", ";
    out += list[i];
  }
  return out;
}

// A style as a bit set (bold 1, italic 2, underline 4, strikeout 8) from "+"-joined word starts; "Normal" is
// the empty set. Empty when a word names nothing, or more than one thing.
std::optional<unsigned> StyleBits(std::string_view text) {
  static constexpr std::array<std::string_view, 4> kWords = {"bold", "italic", "underline", "strikeout"};
  if (EqualsIgnoringAsciiCase(text, "normal")) return 0u;
  unsigned bits = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t plus = text.find('+', start);
    const std::string_view word = text.substr(start, plus == std::string_view::npos ? plus : plus - start);
    std::optional<unsigned> bit;
    for (std::size_t i = 0; i < kWords.size(); ++i) {
      if (!IsPrefixIgnoringCase(word, kWords[i])) continue;
      if (bit) return std::nullopt;  // "" or a start two words share
      bit = 1u << i;
    }
    if (!bit) return std::nullopt;
    bits |= *bit;
    if (plus == std::string_view::npos) return bits;
    start = plus + 1;
  }
}

std::string Quoted(std::string_view value) { return QuoteForMessage(value); }

// Six hexadecimal digits RRGGBB (a leading # allowed).
std::string HexColour(std::string_view value, uint32_t& out) {
  std::string_view digits = value;
  if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  uint32_t colour = 0;
  for (char c : digits) {
    const int digit = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
    if (digit < 0 || digits.size() != 6) return Quoted(value) + " is not a colour of six hexadecimal digits RRGGBB";
    colour = colour << 4 | static_cast<uint32_t>(digit);
  }
  if (digits.size() != 6) return Quoted(value) + " is not a colour of six hexadecimal digits RRGGBB";
  out = colour;
  return {};
}

// What the parser knows of one option: whether it takes a value, and how to apply it.
struct OptionRule {
  bool takesValue = true;
  // Applies the value; returns a usage message (without the "--name: " start) when it is not allowed.
  std::function<std::string(std::string_view value, NamedOptions&)> apply;
};

std::string IntegerInRange(std::string_view value, int low, int high, int& out, bool evenOnly = false) {
  const auto number = ParseDecimalInteger(value);
  if (!number || *number < low || *number > high || (evenOnly && *number % 2 != 0)) {
    return Quoted(value) + " is not " + (evenOnly ? "an even" : "a whole") + " number from " + std::to_string(low) +
           " to " + std::to_string(high);
  }
  out = *number;
  return {};
}

std::string ApplyColours(std::string_view value, NamedOptions& options) {
  std::array<int, 4> entries{};
  std::size_t start = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t comma = value.find(',', start);
    const bool last = i + 1 == entries.size();
    if ((comma == std::string_view::npos) != last) break;
    const auto number = ParseDecimalInteger(value.substr(start, last ? std::string_view::npos : comma - start));
    if (!number || *number < 0 || *number > 15) break;
    entries[i] = *number;
    if (last) {
      options.job.colorantialias = entries[0];
      options.job.coloroutline = entries[1];
      options.job.colortext = entries[2];
      options.job.colorbg = entries[3];
      options.coloursGiven = true;
      return {};
    }
    start = comma + 1;
  }
  return Quoted(value) +
         " is not four palette entries A,O,T,B (antialias, outline, text, background), each 0 to 15, such as 1,0,3,0";
}

// The options' rules, one function each (OptionRule's second member).
std::string IfoOption(std::string_view v, NamedOptions& o) {
  if (v.empty()) return std::string("needs the path of an IFO file");
  o.job.haveifo = false;
  o.job.filenameifo = std::string(v);
  return std::string();
}

std::string GenericOption(std::string_view, NamedOptions& o) {
  o.job.haveifo = true;
  o.job.filenameifo.clear();
  return std::string();
}

std::string PalOption(std::string_view, NamedOptions& o) {
  o.job.pal = true;
  o.standardGiven = true;
  return std::string();
}

std::string NtscOption(std::string_view, NamedOptions& o) {
  o.job.pal = false;
  o.standardGiven = true;
  return std::string();
}

std::string FontOption(std::string_view v, NamedOptions& o) {
  if (v.empty()) return std::string("needs a font family name, such as Arial or \"DejaVu Sans\"");
  o.fontName = std::string(v);
  return std::string();
}

std::string SizeOption(std::string_view v, NamedOptions& o) {
  for (std::size_t i = 0; i < kSizeList.size(); ++i) {
    if (v == kSizeList[i]) {
      o.job.fontsize = static_cast<int>(i);
      return std::string();
    }
  }
  return Quoted(v) + " is not one of 6 to 30, or an even size from 32 to 50";
}

std::string StyleOption(std::string_view v, NamedOptions& o) {
  if (auto index = StyleIndexFromWords(v)) {
    o.job.fontstyle = *index;
    return std::string();
  }
  return Quoted(v) + " is not one of " + JoinList(kStyleList);
}

std::string CharsetOption(std::string_view v, NamedOptions& o) {
  if (auto index = FindIgnoringCase(kCharsetList, v)) {
    o.job.fontcharset = *index;
    return std::string();
  }
  return Quoted(v) + " is not one of " + JoinList(kCharsetList);
}

std::string AlignOption(std::string_view v, NamedOptions& o) {
  if (auto index = FindIgnoringCase(kAlignList, v)) {
    o.job.align = *index;
    return std::string();
  }
  return Quoted(v) + " is not one of left, center, right";
}

std::string OutlineOption(std::string_view v, NamedOptions& o) {
  if (auto index = FindIgnoringCase(kOutlineWidthList, v)) {
    o.job.outline = *index;
    return std::string();
  }
  return Quoted(v) + " is not one of 2, 3, 4 (pixels)";
}

std::string FormatOption(std::string_view v, NamedOptions& o) {
  static constexpr std::array<std::string_view, 4> kFormats = {"sup", "vobsub", "both", "pgs"};
  if (auto index = FindIgnoringCase(kFormats, v)) {
    o.format = static_cast<OutputFormat>(*index);
    return std::string();
  }
  return Quoted(v) + " is not one of sup, vobsub, both, pgs";
}

std::string FrameOption(std::string_view v, NamedOptions& o) {
  const auto rows = ParseDecimalInteger(v);
  if (!rows || (*rows != 1080 && *rows != 720 && *rows != 576 && *rows != 480)) {
    return Quoted(v) + " is not one of 1080, 720, 576, 480 (lines of the Blu-ray frame)";
  }
  o.frameRows = *rows;
  return std::string();
}

std::string LanguageOption(std::string_view v, NamedOptions& o) {
  const std::optional<std::string> language = NormaliseVobSubLanguage(v);
  if (!language) return Quoted(v) + " is not a two-letter language code such as en, fr or de";
  o.language = *language;
  o.languages.push_back(*language);
  return std::string();
}

std::string OutputOption(std::string_view v, NamedOptions& o) {
  if (v.empty()) return std::string("needs a folder");
  // Output names go into messages, lists and a dvdauthor project: none of them may hold a line break.
  if (std::string problem = OutputNameProblem(v); !problem.empty()) {
    return Quoted(v) + " cannot name an output: " + problem;
  }
  o.outputDir = std::string(v);
  return std::string();
}

std::string JobsOption(std::string_view v, NamedOptions& o) {
  const auto number = ParseDecimalInteger(v);
  if (!number || *number < 1 || *number > 1024) return Quoted(v) + " is not a number of jobs from 1 to 1024";
  o.jobs = *number;
  return std::string();
}

std::string FpsOption(std::string_view v, NamedOptions& o) {
  // Frame rates run from a few frames a second (old animation) to 120 (high frame rate video).
  const std::optional<double> rate = ParseDecimalNumber(v);
  if (!rate || !(*rate >= 1.0 && *rate <= 1000.0)) {
    return Quoted(v) + " is not a frame rate from 1 to 1000, such as 23.976 or 25";
  }
  o.fps = *rate;
  return std::string();
}

std::string AspectOption(std::string_view v, NamedOptions& o) {
  if (v != "4:3" && v != "16:9") return Quoted(v) + " is not 4:3 or 16:9";
  o.wide = v == "16:9";
  o.aspectGiven = true;
  return std::string();
}

std::string WrapOption(std::string_view, NamedOptions& o) {
  o.wrap = true;
  return std::string();
}

std::string PlainOption(std::string_view, NamedOptions& o) {
  o.plain = true;
  return std::string();
}

std::string DirectionOption(std::string_view v, NamedOptions& o) {
  if (auto index = FindIgnoringCase(kDirectionList, v)) {
    o.direction = *index;
    return std::string();
  }
  return Quoted(v) + " is not one of " + JoinList(kDirectionList);
}

std::string QuietOption(std::string_view, NamedOptions& o) {
  o.quiet = true;
  return std::string();
}

const std::map<std::string, OptionRule, std::less<>>& Options() {
  static const std::map<std::string, OptionRule, std::less<>> kOptions = {
      {"--ifo", {true, IfoOption}},
      {"--generic", {false, GenericOption}},
      {"--pal", {false, PalOption}},
      {"--ntsc", {false, NtscOption}},
      {"--colors", {true, ApplyColours}},
      {"--font", {true, FontOption}},
      {"--size", {true, SizeOption}},
      {"--style", {true, StyleOption}},
      {"--charset", {true, CharsetOption}},
      {"--align", {true, AlignOption}},
      {"--offset",
       {true,
        [](std::string_view v, NamedOptions& o) { return IntegerInRange(v, kOffsetMin, kOffsetMax, o.job.offset); }}},
      {"--offset-or",
       {true, [](std::string_view v,
                 NamedOptions& o) { return IntegerInRange(v, kOffsetOrMin, kOffsetOrMax, o.job.offsetor, true); }}},
      {"--outline", {true, OutlineOption}},
      {"--format", {true, FormatOption}},
      {"--frame", {true, FrameOption}},
      {"--text-colour", {true, [](std::string_view v, NamedOptions& o) { return HexColour(v, o.textColour); }}},
      {"--outline-colour", {true, [](std::string_view v, NamedOptions& o) { return HexColour(v, o.outlineColour); }}},
      {"--language", {true, LanguageOption}},
      {"-o", {true, OutputOption}},
      {"-j", {true, JobsOption}},
      {"--fps", {true, FpsOption}},
      {"--aspect", {true, AspectOption}},
      {"--wrap", {false, WrapOption}},
      {"--plain", {false, PlainOption}},
      {"--direction", {true, DirectionOption}},
      {"--quiet", {false, QuietOption}},
  };
  return kOptions;
}

// Long spellings of the short options.
std::string_view Canonical(std::string_view name) {
  if (name == "--output") return "-o";
  if (name == "--jobs") return "-j";
  if (name == "-q") return "--quiet";
  if (name == "--colours") return "--colors";
  return name;
}

// A one-letter option without a value, which may start a bundle ("-qj2").
bool IsShortSwitch(std::string_view name) {
  const auto found = Options().find(Canonical(name));
  return found != Options().end() && !found->second.takesValue;
}

}  // namespace

std::optional<int> StyleIndexFromWords(std::string_view text) {
  const auto wanted = StyleBits(text);
  if (!wanted) return std::nullopt;
  for (std::size_t i = 0; i < kStyleList.size(); ++i) {
    if (StyleBits(kStyleList[i]) == wanted) return static_cast<int>(i);
  }
  return std::nullopt;
}

namespace {

// "--help"/"-h" and "--version" win wherever they stand before "--", so "--help" added to a wrong line still shows
// the help. True when one was found (and set in `result`).
bool TakeHelpOrVersion(const std::vector<std::string>& args, NamedParse& result) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      return true;
    }
    if (arg == "--version") {
      result.version = true;
      return true;
    }
  }
  return false;
}

// An option as written: its name and the value written into it ("--name=value", "-j2", "-oDIR"). Both view
// `arg`. A bundle of short switches ("-qj2") is split: its first letter is the option, the rest goes into `args`
// as the next argument (`at` is the bundle's place).
struct WrittenOption {
  std::string_view name;
  std::optional<std::string_view> inlineValue;
};
WrittenOption SplitWrittenOption(const std::string& arg, std::vector<std::string>& args, std::size_t at) {
  const std::string_view text = arg;
  if (text.rfind("--", 0) == 0) {
    if (const std::size_t eq = text.find('='); eq != std::string_view::npos) {
      return {text.substr(0, eq), text.substr(eq + 1)};
    }
  } else if (text.size() > 2 && (text[1] == 'j' || text[1] == 'o')) {
    return {text.substr(0, 2), text.substr(2)};
  } else if (text.size() > 2 && IsShortSwitch(text.substr(0, 2))) {
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, std::string("-").append(text.substr(2)));
    return {text.substr(0, 2), std::nullopt};
  }
  return {text, std::nullopt};
}

// Which of the options that exclude each other the line gave.
struct ExclusiveChoices {
  bool ifo = false, generic = false, pal = false, ntsc = false;
};

// The rules about the whole line once every option is read: options that exclude each other, the files each
// command needs, and mux's output and languages.
void CheckWholeLine(NamedCommand command, const ExclusiveChoices& given, NamedParse& result) {
  if (given.ifo && given.generic) {
    result.error = "--ifo and --generic cannot be used together: an IFO gives the palette, --generic replaces it";
  } else if (given.pal && given.ntsc) {
    result.error = "--pal and --ntsc cannot be used together";
  } else if (command == NamedCommand::Mux) {
    NamedOptions& o = result.options;
    const std::size_t subtitles = o.files.empty() ? 0 : o.files.size() - 1;
    if (o.outputDir.empty()) {
      result.error = "-o OUT.mpg is needed: quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE...";
    } else if (subtitles == 0) {
      result.error = std::string(o.files.empty() ? "no video and no subtitle file given"
                                                 : "no subtitle file given after the video") +
                     ": quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE...";
    } else if (!o.languages.empty() && o.languages.size() != subtitles) {
      result.error = "--language: given " + std::to_string(o.languages.size()) +
                     (o.languages.size() == 1 ? " time for " : " times for ") + std::to_string(subtitles) +
                     (subtitles == 1 ? " subtitle file" : " subtitle files") +
                     "; give it once per subtitle, in the same order";
    }
    o.muxOutput = std::move(o.outputDir);
    o.outputDir.clear();
  } else if (result.options.files.empty()) {
    result.error =
        std::string("no subtitle file given: ") +
        (command == NamedCommand::Convert ? "quillet convert [options] FILE..." : "quillet check [options] FILE...");
  }
  // Without an IFO the generic palette is the only one there is.
  if (!given.ifo) result.options.job.haveifo = true;
}

}  // namespace

NamedParse ParseNamedCommandLine(NamedCommand command, const std::vector<std::string>& given) {
  NamedParse result;
  std::vector<std::string> args = given;  // bundled short options are split in place
  if (TakeHelpOrVersion(args, result)) return result;
  ExclusiveChoices choices;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string arg = args[i];  // a copy: splitting a bundle inserts into args
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      result.options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const WrittenOption written = SplitWrittenOption(arg, args, i);
    const std::string_view typed = written.name;  // messages name the option as it was written: --jobs, not -j
    const std::string_view name = Canonical(written.name);
    const auto found = Options().find(name);
    if (found == Options().end()) {
      result.error = "unknown option '" + std::string(typed) + "'";
      return result;
    }
    const OptionRule& rule = found->second;
    std::string_view value;
    if (rule.takesValue) {
      if (written.inlineValue) {
        value = *written.inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        result.error = std::string(typed) + ": needs a value";
        return result;
      }
    } else if (written.inlineValue) {
      result.error = std::string(typed) + ": takes no value";
      return result;
    }
    // A check writes nothing: the output options are taken (one option list serves both commands) and left unused.
    const bool unusedByCheck = command == NamedCommand::Check && (name == "-o" || name == "--language");
    if (unusedByCheck) continue;
    if (std::string message = rule.apply(value, result.options); !message.empty()) {
      result.error = std::string(typed) + ": " + message;
      return result;
    }
    choices.ifo |= name == "--ifo";
    choices.generic |= name == "--generic";
    choices.pal |= name == "--pal";
    choices.ntsc |= name == "--ntsc";
  }
  CheckWholeLine(command, choices, result);
  return result;
}

}  // namespace quillet
