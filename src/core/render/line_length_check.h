// The check that every line of a subtitle fits the frame: the 680-pixel limit, its verdicts and messages.
#pragma once

#include <string>
#include <string_view>

#include "render/font_engine.h"
#include "render/subtitle_renderer.h"

namespace quillet {

// A line fails when it is this wide or wider (679 passes): the 720-pixel frame less 40.
constexpr int kMaxLineWidthPx = 680;

// Message endings. After "The string " CR line 1 CR line 2 CR comes one of:
inline constexpr std::string_view kTooLongOnLoad =  // the check after reading a subtitle file
    "is too long. Please correct the srt and reload it. You can just use a smaler font size.";
inline constexpr std::string_view kTooLongAfterFontChange =  // the check after a font change
    "is too long. Please use a smaler font size.";
inline constexpr std::string_view kTooLongInPreview = "is too long.";  // the preview's own check
// Shown (unless unattended) when the whole subtitle passed.
inline constexpr std::string_view kAllLinesFitMessage = "Subtitle Style Modified/Loaded Successfully";

// Both widths below the limit.
bool LinesFitWidth(const LineMeasures& measures);

// "The string " CR line1 CR line2 CR ending (lone carriage returns, as the message box breaks lines).
std::string TooLongMessage(std::string_view line1, std::string_view line2, std::string_view ending);

// Subtitle text as a message quotes it: decoded as it is drawn with `font` (its charset, or Unicode for a UTF-16
// file), in the user's code set in which the window and standard error read messages; a long line shows its first
// kQuotedLineCharacters characters and "...".
std::string SubtitleTextForMessage(FontEngine& engine, std::string_view text, const FontDesc& font);

// What one check of an entry's two lines asks the window to do.
struct LineCheckVerdict {
  bool linesFit = true;            // the new value of LinesFit
  bool clearSubtitleList = false;  // empty ListBoxPreview (a load found a line too long)
  std::string message;             // show in a modal box when not empty
  bool operator==(const LineCheckVerdict&) const = default;
};

// Measures both lines with MeasureSubtitleLines. Too long: LinesFit false and the message (its lines as
// SubtitleTextForMessage gives them), with the load's
// ending and the list cleared when subtitleLoaded is false (the check runs inside a load), or the font-change
// ending with the list kept when it is true.
LineCheckVerdict CheckLineLengths(FontEngine& engine, std::string_view line1, std::string_view line2,
                                  const FontDesc& font, bool subtitleLoaded);
// The same for an entry measured as `settings` draw it (MeasureEntry); a third line drawn is quoted after the
// second.
LineCheckVerdict CheckLineLengths(FontEngine& engine, const EntryText& entry, const RenderSettings& settings,
                                  bool subtitleLoaded);

}  // namespace quillet
