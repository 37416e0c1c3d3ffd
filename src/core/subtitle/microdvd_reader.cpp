// The MicroDVD reader (.sub and .txt): one entry per line, frame numbers in braces, a frame-rate first line.
#include "subtitle/microdvd_reader.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/message_sink.h"
#include "base/number_text.h"
#include "subtitle/line_cursor.h"
#include "subtitle/markup.h"
#include "subtitle/subtitle.h"

namespace quillet {
namespace {

constexpr std::string_view kRatePrefix = "{1}{1}";

int FrameValue(std::string_view text, const char* which, std::string* problem) {
  if (auto value = ParseDecimalInteger(text)) return *value;
  if (problem) *problem = std::string("the ") + which + " frame cannot be read";
  throw ConversionError(QuoteForMessage(text) + " is not a valid integer value for the " + which + " frame");
}

// One MicroDVD text line as drawn: control codes and style tags removed, the styles they give kept.
struct DrawnPart {
  std::string text;
  StyleRuns runs;
};

// The styles of an entry's lines as its codes and tags say: carried from one line to the next where they are.
struct EntryCodes {
  StyleFlags tags;       // style tags open ("<i>" on one line, "</i>" on a later one)
  StyleFlags everyLine;  // "{Y:...}"
  bool colour = false;
};

DrawnPart DrawnText(std::string_view text, const TextCharacters& characters, EntryCodes& entry) {
  MicroDvdCodes codes;
  const std::string uncoded = RemoveMicroDvdCodes(text, characters, &codes);
  DrawnPart part;
  part.text = RemoveStyleTags(uncoded, characters, entry.tags, part.runs, entry.colour);
  entry.everyLine = BothStyles(entry.everyLine, codes.entry);
  entry.colour = entry.colour || codes.colour;
  // A line code styles the whole line, tags adding to it.
  part.runs = WithEverywhere(std::move(part.runs), part.text.size(), codes.line);
  return part;
}

// The entry's style: each line's runs, "{Y:...}" added to every line.
EntryStyle StyleOfEntry(std::vector<DrawnPart>& drawn, const EntryCodes& codes) {
  EntryStyle style;
  style.unsupported = codes.colour;
  for (std::size_t i = 0; i < drawn.size() && i < 3; ++i) {
    style.runs[i] = WithEverywhere(std::move(drawn[i].runs), drawn[i].text.size(), codes.everyLine);
  }
  return style;
}

// The drawn lines of a parsed entry with their styles. A text line left empty by its codes is not drawn as an
// empty line: the lines after it move up. A line empty in the file stays where it is. Line 3 keeps the rest of the
// text: parts past the third join it, "|" between them (a fourth line is named, not drawn).
struct EntryDrawn {
  std::array<std::string, 3> lines;
  EntryStyle style;
};

EntryDrawn EntryLines(const fivestrings& entry, const TextCharacters& characters) {
  std::vector<DrawnPart> drawn;
  EntryCodes codes;
  for (const std::string* part : {&entry.Line1, &entry.Line2}) {
    DrawnPart piece = DrawnText(*part, characters, codes);
    if (!piece.text.empty() || part->empty()) drawn.push_back(std::move(piece));
  }
  for (std::string_view rest = entry.Line3; !rest.empty();) {
    const std::size_t bar = characters.Find(rest, '|');
    const std::string_view part = rest.substr(0, bar);
    DrawnPart piece = DrawnText(part, characters, codes);
    if (!piece.text.empty() || part.empty()) drawn.push_back(std::move(piece));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
    if (rest.empty()) drawn.emplace_back();
  }
  const std::size_t thirdBytes = drawn.size() > 3 ? drawn[2].text.size() : 0;
  for (std::size_t i = 3; i < drawn.size(); ++i) {
    drawn[2].text += '|';
    drawn[2].text += drawn[i].text;
  }
  EntryDrawn out;
  out.style = StyleOfEntry(drawn, codes);
  out.style.moreLines = drawn.size() > 3;
  if (drawn.size() > 3) out.style.thirdLineBytes = thirdBytes;
  drawn.resize(3);
  for (std::size_t i = 0; i < 3; ++i) out.lines[i] = std::move(drawn[i].text);
  return out;
}

}  // namespace

double ReadFps(std::string_view firstLine) {
  if (!firstLine.starts_with(kRatePrefix)) return 0.0;
  std::string_view rateText = firstLine.substr(kRatePrefix.size());
  if (auto rate = ParseDecimalNumber(TrimBlanks(rateText))) return *rate;
  throw ConversionError(QuoteForMessage(rateText) + " is not a valid floating point value");
}

int MicroDvdFrameToMs(int frame, double rate) {
  const std::int64_t product = static_cast<std::int64_t>(frame) * 1000;
  if (product < INT32_MIN || product > INT32_MAX) {
    throw ConversionError("the frame number " + std::to_string(frame) + " is out of range (-2147483 to 2147483)");
  }
  // nearbyint rounds in the current mode, which is to nearest with ties to even unless someone changed it.
  const double ms = std::nearbyint(static_cast<double>(product) / rate);
  if (!(ms >= INT32_MIN && ms <= INT32_MAX)) {
    throw ConversionError("the frame number " + std::to_string(frame) + " at " + std::to_string(rate) +
                          " frames per second gives a time out of range");
  }
  return static_cast<int>(ms);
}

fivestrings ParseMicroDvdLine(std::string_view line, double rate, std::string* problem,
                              const TextCharacters& characters) {
  std::string_view rest = line;
  if (std::size_t brace = characters.Find(rest, '{'); brace != std::string_view::npos) rest.remove_prefix(brace + 1);

  // A missing "}{" or "}" leaves that frame empty, which fails to convert before anything is cut. The frames
  // are ASCII digits, so what follows "{" is a character start in any code page.
  std::size_t between = characters.Find(rest, "}{");
  const int startFrame =
      FrameValue(between == std::string_view::npos ? std::string_view{} : rest.substr(0, between), "start", problem);
  rest.remove_prefix(between + 2);
  std::size_t close = characters.Find(rest, '}');
  const int endFrame =
      FrameValue(close == std::string_view::npos ? std::string_view{} : rest.substr(0, close), "end", problem);
  rest.remove_prefix(close + 1);

  fivestrings result;
  try {
    result.StartTime = std::to_string(MicroDvdFrameToMs(startFrame, rate));
    result.EndTime = std::to_string(MicroDvdFrameToMs(endFrame, rate));
  } catch (const ConversionError&) {
    if (problem) *problem = "the time of a frame is out of range";
    throw;
  }
  std::size_t bar = characters.Find(rest, '|');
  result.Line1 = std::string(rest.substr(0, bar));
  if (bar != std::string_view::npos) {
    rest.remove_prefix(bar + 1);
    bar = characters.Find(rest, '|');
    result.Line2 = std::string(rest.substr(0, bar));
    if (bar != std::string_view::npos) result.Line3 = std::string(rest.substr(bar + 1));
  }
  return result;
}

bool LooksLikeMicroDvd(std::string_view bytes) { return bytes.starts_with('{'); }

std::vector<SkippedEntry> ReadMicroDvd(std::string_view text, const std::string& fileName, TSubtitle& document,
                                       MessageSink& sink, const TextCharacters& characters,
                                       const MicroDvdRate& rateOptions) {
  std::vector<SkippedEntry> skipped;
  LineCursor cursor(text);
  int lineNumber = 0;
  double rate = 0.0;
  bool rateLine = false;  // line 1 declares the rate
  while (!cursor.AtEnd()) {
    std::string_view line = cursor.Next();
    ++lineNumber;
    if (lineNumber == 1) {
      try {
        rate = ReadFps(line);
      } catch (const ConversionError& e) {
        throw ConversionError(e.what() + WhereInFile(fileName, lineNumber));
      }
      rateLine = rate != 0.0;
      if (rate == 0.0) rate = rateOptions.fallback;
      if (rate == 0.0) {
        sink.ShowMessage(rateOptions.missingMessage.empty() ? std::string(kFrameRateMessage)
                                                            : rateOptions.missingMessage);
        document.Loaded = false;
        return skipped;
      }
    }
    document.Loaded = true;
    // A blank line (such as one made by an extra line break at the end) holds no entry.
    if (TrimBlanks(line).empty()) continue;
    fivestrings entry;
    std::string problem;
    try {
      entry = ParseMicroDvdLine(line, rate, &problem, characters);
    } catch (const ConversionError&) {
      skipped.push_back({lineNumber, std::move(problem)});
      continue;
    }
    if (EndsBeforeFilmStarts(std::stoi(entry.EndTime))) {
      skipped.push_back({lineNumber, kEndsBeforeFilmStarts});
      continue;
    }
    EntryDrawn drawn = EntryLines(entry, characters);
    document.AddLine(std::move(entry.StartTime), std::move(entry.EndTime), std::move(drawn.lines[0]),
                     std::move(drawn.lines[1]), std::move(drawn.lines[2]), std::move(drawn.style));
    if (lineNumber == 1 && rateLine) document.FrameRateEntry = document.Count();
  }
  return skipped;
}

}  // namespace quillet
