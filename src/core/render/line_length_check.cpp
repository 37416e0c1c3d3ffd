// The check that every line of a subtitle fits the frame: the 680-pixel limit, its verdicts and messages.
#include "render/line_length_check.h"

#include "base/number_text.h"
#include "render/charset_decoder.h"

namespace quillet {

bool LinesFitWidth(const LineMeasures& measures) {
  return measures.w1 < kMaxLineWidthPx && measures.w2 < kMaxLineWidthPx && measures.w3 < kMaxLineWidthPx;
}

std::string TooLongMessage(std::string_view line1, std::string_view line2, std::string_view ending) {
  std::string message = "The string \r";
  message.append(line1);
  message += '\r';
  message.append(line2);
  message += '\r';
  message.append(ending);
  return message;
}

std::string SubtitleTextForMessage(FontEngine& engine, std::string_view text, const FontDesc& font) {
  const std::string& configured = engine.Options().defaultCodeset;
  // Only the start of a long line is decoded: no code page takes more than 4 bytes a character.
  std::u32string decoded = engine.DecodeText(font, text.substr(0, 4 * kQuotedLineCharacters + 8));
  const bool cut = decoded.size() > kQuotedLineCharacters || text.size() > 4 * kQuotedLineCharacters + 8;
  if (decoded.size() > kQuotedLineCharacters) decoded.resize(kQuotedLineCharacters);
  std::string shown = EncodeInCodeset(decoded, configured.empty() ? UserCodeset() : configured);
  if (cut) shown += "...";
  return shown;
}

LineCheckVerdict CheckLineLengths(FontEngine& engine, std::string_view line1, std::string_view line2,
                                  const FontDesc& font, bool subtitleLoaded) {
  LineCheckVerdict verdict;
  if (LinesFitWidth(MeasureSubtitleLines(engine, line1, line2, font))) return verdict;
  verdict.linesFit = false;
  verdict.clearSubtitleList = !subtitleLoaded;
  verdict.message =
      TooLongMessage(SubtitleTextForMessage(engine, line1, font), SubtitleTextForMessage(engine, line2, font),
                     subtitleLoaded ? kTooLongAfterFontChange : kTooLongOnLoad);
  return verdict;
}

LineCheckVerdict CheckLineLengths(FontEngine& engine, const EntryText& entry, const RenderSettings& settings,
                                  bool subtitleLoaded) {
  LineCheckVerdict verdict;
  const LineMeasures measures = MeasureEntry(engine, entry, settings);
  if (LinesFitWidth(measures)) return verdict;
  verdict.linesFit = false;
  verdict.clearSubtitleList = !subtitleLoaded;
  const FontDesc& font = settings.font;
  std::string lines2 = SubtitleTextForMessage(engine, entry.line2, font);
  if (measures.h3 > 0) lines2 += '\r' + SubtitleTextForMessage(engine, entry.line3, font);
  verdict.message = TooLongMessage(SubtitleTextForMessage(engine, entry.line1, font), lines2,
                                   subtitleLoaded ? kTooLongAfterFontChange : kTooLongOnLoad);
  return verdict;
}

}  // namespace quillet
