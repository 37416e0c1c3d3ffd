// spumux's configuration for text subtitles read into the options of a mux run.
#include "app/spumux_config.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

#include "base/ascii_text.h"
#include "base/number_text.h"
#include "base/utf8_text.h"
#include "job/job_settings.h"
#include "render/font_config.h"

namespace quillet {
namespace {

// One tag of the configuration: <name a="v"…>, </name> or <name …/>.
struct Tag {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  bool closing = false;
  bool empty = false;
};

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' || c == '.';
}

// An attribute value with its character and entity references replaced; empty when one is unknown.
std::optional<std::string> DecodeEntities(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    const std::size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos || !AppendXmlReference(raw.substr(i + 1, semi - i - 1), out))
      return std::nullopt;
    i = semi;
  }
  return out;
}

// The attributes of a tag from `at` (just past its name) to its end; `at` is left past the '>'.
bool ReadAttributes(std::string_view xml, std::size_t& at, Tag& tag) {
  while (at < xml.size()) {
    while (at < xml.size() && std::isspace(static_cast<unsigned char>(xml[at]))) ++at;
    if (xml.substr(at, 2) == "/>") {
      tag.empty = true;
      at += 2;
      return true;
    }
    if (at < xml.size() && xml[at] == '>') return ++at, true;
    const std::size_t nameStart = at;
    while (at < xml.size() && IsNameChar(xml[at])) ++at;
    std::string name(xml.substr(nameStart, at - nameStart));
    while (at < xml.size() && std::isspace(static_cast<unsigned char>(xml[at]))) ++at;
    if (name.empty() || at >= xml.size() || xml[at] != '=') return false;
    ++at;
    while (at < xml.size() && std::isspace(static_cast<unsigned char>(xml[at]))) ++at;
    if (at >= xml.size() || (xml[at] != '"' && xml[at] != '\'')) return false;
    const std::size_t close = xml.find(xml[at], at + 1);
    if (close == std::string_view::npos) return false;
    const std::optional<std::string> value = DecodeEntities(xml.substr(at + 1, close - at - 1));
    if (!value) return false;
    tag.attributes.emplace_back(std::move(name), *value);
    at = close + 1;
  }
  return false;
}

// Every tag of the document in order (declarations, comments and text between tags skipped); empty, with
// `error`, when it is not well-formed.
std::vector<Tag> ReadTags(std::string_view xml, std::string& error) {
  std::vector<Tag> tags;
  std::size_t at = 0;
  while ((at = xml.find('<', at)) != std::string_view::npos) {
    const std::size_t start = at;
    const auto skipTo = [&](std::string_view end) {
      const std::size_t found = xml.find(end, at);
      at = found == std::string_view::npos ? xml.size() : found + end.size();
      return found != std::string_view::npos;
    };
    bool ok = true;
    if (xml.substr(at, 4) == "<!--") {
      ok = skipTo("-->");
    } else if (xml.substr(at, 2) == "<?") {
      ok = skipTo("?>");
    } else if (xml.substr(at, 2) == "<!") {
      ok = skipTo(">");
    } else {
      Tag tag;
      tag.closing = xml.substr(at, 2) == "</";
      at += tag.closing ? 2 : 1;
      const std::size_t nameStart = at;
      while (at < xml.size() && IsNameChar(xml[at])) ++at;
      tag.name = std::string(xml.substr(nameStart, at - nameStart));
      ok =
          !tag.name.empty() && ReadAttributes(xml, at, tag) && !(tag.closing && (tag.empty || !tag.attributes.empty()));
      if (ok) tags.push_back(std::move(tag));
    }
    if (!ok) {
      error = "the configuration is not well-formed XML (at byte " + std::to_string(start) + ")";
      return {};
    }
  }
  return tags;
}

// A colour component: 0..`high`, or a percentage of it.
std::optional<double> Component(std::string_view text, double high) {
  text = TrimBlanks(text);
  const bool percent = !text.empty() && text.back() == '%';
  if (percent) text.remove_suffix(1);
  const std::optional<double> value = ParseDecimalNumber(TrimBlanks(text));
  if (!value) return std::nullopt;
  const double scaled = percent ? *value * high / 100.0 : *value;
  if (!(scaled >= 0.0 && scaled <= high)) return std::nullopt;
  return scaled;
}

std::optional<uint32_t> FunctionColour(std::string_view name, std::string_view inside) {
  std::vector<double> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = inside.find(',', start);
    const std::optional<double> part = Component(inside.substr(start, comma - start), 255.0);
    if (!part) return std::nullopt;
    parts.push_back(*part);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  const auto byte = [](double v) { return static_cast<uint32_t>(std::lround(v)); };
  const bool gray = name == "gray" || name == "graya";
  const std::size_t colours = gray ? 1 : 3;
  const bool alpha = name.back() == 'a';
  if (parts.size() != colours + (alpha ? 1 : 0) || (!gray && name.substr(0, 3) != "rgb")) return std::nullopt;
  const uint32_t r = byte(parts[0]), g = byte(parts[gray ? 0 : 1]), b = byte(parts[gray ? 0 : 2]);
  return (alpha ? byte(parts.back()) : 0xFFu) << 24 | r << 16 | g << 8 | b;
}

std::optional<uint32_t> HexDigitsColour(std::string_view digits) {
  if (digits.empty() || digits.size() % 3 != 0 || digits.size() > 12) return std::nullopt;
  const std::size_t width = digits.size() / 3;
  uint32_t colour = 0xFF;
  for (std::size_t c = 0; c < 3; ++c) {
    const std::string part(digits.substr(c * width, width));
    char* end = nullptr;
    const unsigned long value = std::strtoul(part.c_str(), &end, 16);
    if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(part[0]))) return std::nullopt;
    const unsigned long top = (1ul << (4 * width)) - 1;
    colour = colour << 8 | static_cast<uint32_t>((value * 255 + top / 2) / top);
  }
  return colour;
}

// What the attributes say before they are checked against each other.
struct TextsubValues {
  std::optional<double> subtitleFps, movieFps;
  std::optional<int> leftMargin, rightMargin, movieHeight;
  uint32_t shadowColour = 0xFF000000;
  int shadowX = 0, shadowY = 0;
};

std::string ShownNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string Said(std::string_view attribute, std::string_view value) {
  return std::string(attribute) + "=\"" + std::string(value) + "\"";
}

std::string Number(std::string_view text, double low, double high, double& out) {
  const std::optional<double> value = ParseDecimalNumber(TrimBlanks(text));
  if (!value || !(*value >= low && *value <= high)) {
    return "is not a number from " + ShownNumber(low) + " to " + ShownNumber(high);
  }
  out = *value;
  return {};
}

std::string Whole(std::string_view text, int low, int high, std::optional<int>& out) {
  double value = 0;
  if (std::string why = Number(text, low, high, value); !why.empty()) return why;
  if (value != std::floor(value)) return "is not a whole number of pixels";
  out = static_cast<int>(value);
  return {};
}

std::string Colour(std::string_view text, std::optional<uint32_t>& out) {
  const std::optional<uint32_t> colour = ParseSpumuxColour(text);
  if (!colour) return "is not a colour (a name, #RRGGBB, rgb(…) or rgba(…))";
  if ((*colour >> 24) != 0xFF) return "is not opaque; subtitles are drawn in opaque colours only";
  out = *colour & 0xFFFFFF;
  return {};
}

std::string FontSize(std::string_view text, SpumuxJob& job) {
  double size = 0;
  if (std::string why = Number(text, 1, 500, size); !why.empty()) return why;
  std::size_t best = 0;
  for (std::size_t i = 1; i < kSizeList.size(); ++i) {
    const double here = std::fabs(*ParseDecimalNumber(kSizeList[i]) - size);
    if (here < std::fabs(*ParseDecimalNumber(kSizeList[best]) - size)) best = i;
  }
  job.options.job.fontsize = static_cast<int>(best);
  if (std::fabs(*ParseDecimalNumber(kSizeList[best]) - size) > 0.05) {
    job.notices.push_back("fontsize " + ShownNumber(size) + " is drawn at size " + std::string(kSizeList[best]) +
                          ", the nearest size there is");
  }
  return {};
}

bool LooksLikeFontFile(std::string_view font) {
  if (font.find('/') != std::string_view::npos) return true;
  for (const char* suffix : {".ttf", ".otf", ".ttc", ".pfb", ".pfa", ".otc"}) {
    if (EndsWithIgnoringAsciiCase(font, suffix)) return true;
  }
  return false;
}

std::string Font(std::string_view text, SpumuxJob& job) {
  const std::string font(TrimBlanks(text));
  if (font.empty()) return "names no font";
  if (!LooksLikeFontFile(font)) {
    job.options.fontName = font;
    return {};
  }
  const std::optional<FontFileFace> face = ReadFontFileFace(font);
  if (!face) return "is not a font file that can be read";
  job.options.fontName = face->family;
  const char* style = face->bold ? (face->italic ? "Bold+Italic" : "Bold") : (face->italic ? "Italic" : "Normal");
  job.options.job.fontstyle = StyleIndexFromWords(style).value_or(0);
  return {};
}

std::string Outline(std::string_view text, SpumuxJob& job) {
  double thickness = 0;
  if (std::string why = Number(text, 0, 100, thickness); !why.empty()) return why;
  const long rounded = std::lround(thickness);
  if (rounded < 2 || rounded > 4) return "is not drawn: outlines are 2, 3 or 4 pixels thick";
  job.options.job.outline = static_cast<int>(rounded - 2);
  if (std::fabs(thickness - static_cast<double>(rounded)) > 0.01) {
    job.notices.push_back("outline-thickness " + ShownNumber(thickness) + " is drawn " + std::to_string(rounded) +
                          " pixels thick");
  }
  return {};
}

std::string ShadowOffset(std::string_view text, TextsubValues& values) {
  const std::size_t comma = text.find(',');
  const auto x = ParseDecimalInteger(TrimBlanks(text.substr(0, comma)));
  const auto y =
      comma == std::string_view::npos ? std::nullopt : ParseDecimalInteger(TrimBlanks(text.substr(comma + 1)));
  if (!x || !y) return "is not two whole numbers x, y";
  values.shadowX = *x;
  values.shadowY = *y;
  return {};
}

// The attributes' rules (AttributeRule), one function each where a value needs more than one call.
std::string Filename(std::string_view v, SpumuxJob& job, TextsubValues&) {
  if (v.empty()) return "names no file";
  job.options.files = {std::string(v)};
  return {};
}

std::string CharacterSet(std::string_view v, SpumuxJob& job, TextsubValues&) {
  const std::string name(TrimBlanks(v));
  if (name.empty()) return "names no character set";
  const bool utf8 = EqualsIgnoringAsciiCase(name, "UTF-8") || EqualsIgnoringAsciiCase(name, "UTF8");
  job.characterSet = utf8 ? std::string() : name;
  return {};
}

std::string ShadowColour(std::string_view v, SpumuxJob&, TextsubValues& values) {
  const std::optional<uint32_t> colour = ParseSpumuxColour(v);
  if (!colour) return "is not a colour (a name, #RRGGBB, rgb(…) or rgba(…))";
  values.shadowColour = *colour;
  return {};
}

std::string HorizontalAlignment(std::string_view v, SpumuxJob& job, TextsubValues&) {
  static constexpr std::array<std::string_view, 4> kWords = {"center", "left", "right", "default"};
  for (std::size_t i = 0; i < kWords.size(); ++i) {
    if (!EqualsIgnoringAsciiCase(TrimBlanks(v), kWords[i])) continue;
    job.options.job.align = i == 3 ? 0 : static_cast<int>(i);  // "default": the file's own, else centred
    return {};
  }
  return "is not one of left, center, right, default";
}

std::string VerticalAlignment(std::string_view v, SpumuxJob&, TextsubValues&) {
  if (EqualsIgnoringAsciiCase(TrimBlanks(v), "bottom")) return {};
  return "is not drawn: subtitles stand at the bottom of the picture (bottom-margin sets how high)";
}

// Places only top-aligned text, which is refused: the value is checked, nothing more.
std::string TopMargin(std::string_view v, SpumuxJob&, TextsubValues&) {
  std::optional<int> margin;
  return Whole(v, 0, 576, margin);
}

std::string BottomMargin(std::string_view v, SpumuxJob& job, TextsubValues&) {
  std::optional<int> margin;
  std::string why = Whole(v, kOffsetMin, kOffsetMax, margin);
  if (margin) job.options.job.offset = *margin;
  return why;
}

std::string Fps(std::string_view v, std::optional<double>& out) {
  double fps = 0;
  std::string why = Number(v, 1, 1000, fps);
  out = fps;
  return why;
}

std::string MovieWidth(std::string_view v, SpumuxJob&, TextsubValues&) {
  std::optional<int> width;
  std::string why = Whole(v, 1, 4096, width);
  if (why.empty() && width != 720) return "is not drawn: a DVD's subpictures are 720 wide";
  return why;
}

std::string Aspect(std::string_view v, SpumuxJob& job, TextsubValues&) {
  const std::string_view aspect = TrimBlanks(v);
  if (aspect != "4:3" && aspect != "16:9") return "is not 4:3 or 16:9";
  job.front.widescreen = aspect == "16:9";
  return {};
}

std::string Force(std::string_view v, SpumuxJob& job, TextsubValues&) {
  const std::string_view word = TrimBlanks(v);
  if (!EqualsIgnoringAsciiCase(word, "yes") && !EqualsIgnoringAsciiCase(word, "no")) return "is not yes or no";
  job.front.forced = EqualsIgnoringAsciiCase(word, "yes");
  return {};
}

using AttributeRule = std::string (*)(std::string_view value, SpumuxJob& job, TextsubValues& values);

// Each <textsub> attribute and how it is applied; a non-empty result says what is wrong with the value.
const std::map<std::string, AttributeRule, std::less<>>& TextsubRules() {
  using V = std::string_view;
  using J = SpumuxJob&;
  using T = TextsubValues&;
  static const std::map<std::string, AttributeRule, std::less<>> kRules = {
      {"filename", Filename},
      {"characterset", CharacterSet},
      {"fontsize", [](V v, J job, T) { return FontSize(v, job); }},
      {"font", [](V v, J job, T) { return Font(v, job); }},
      {"fill-color", [](V v, J job, T) { return Colour(v, job.front.textColour); }},
      {"outline-color", [](V v, J job, T) { return Colour(v, job.front.outlineColour); }},
      {"outline-thickness", [](V v, J job, T) { return Outline(v, job); }},
      {"shadow-color", ShadowColour},
      {"shadow-offset", [](V v, J, T values) { return ShadowOffset(v, values); }},
      {"horizontal-alignment", HorizontalAlignment},
      {"vertical-alignment", VerticalAlignment},
      {"left-margin", [](V v, J, T values) { return Whole(v, 0, 360, values.leftMargin); }},
      {"right-margin", [](V v, J, T values) { return Whole(v, 0, 360, values.rightMargin); }},
      {"top-margin", TopMargin},
      {"bottom-margin", BottomMargin},
      {"subtitle-fps", [](V v, J, T values) { return Fps(v, values.subtitleFps); }},
      {"movie-fps", [](V v, J, T values) { return Fps(v, values.movieFps); }},
      {"movie-width", MovieWidth},
      {"movie-height", [](V v, J, T values) { return Whole(v, 1, 4096, values.movieHeight); }},
      {"aspect", Aspect},
      {"force", Force},
  };
  return kRules;
}

// The values that only make sense together: the frame, the frame rates, the margins, the shadow.
std::string CheckTogether(const TextsubValues& values, SpumuxJob& job) {
  NamedOptions& options = job.options;
  if (values.movieHeight) {
    const int height = *values.movieHeight;
    const bool pal = height > 576 - 8 && height <= 576;
    if (!pal && !(height > 480 - 8 && height <= 480))
      return Said("movie-height", std::to_string(height)) + " is not drawn: a DVD's frame is 576 or 480 high";
    if (options.standardGiven && options.job.pal != pal) {
      return Said("movie-height", std::to_string(height)) + " is not the height of the format of <subpictures>";
    }
    options.job.pal = pal;
    options.standardGiven = true;
  }
  if (values.subtitleFps && values.movieFps && std::fabs(*values.subtitleFps - *values.movieFps) > 0.001) {
    return Said("movie-fps", ShownNumber(*values.movieFps)) +
           ": subtitle times are not rescaled from one frame rate to another; give the same subtitle-fps and movie-fps";
  }
  // Frame-counted files without a rate of their own are timed at the format's rate, as spumux times them.
  const double formatFps = !options.standardGiven ? 0.0 : options.job.pal ? 25.0 : 29.97;
  options.fps = values.subtitleFps.value_or(values.movieFps.value_or(formatFps));
  const bool shadowShown = (values.shadowColour >> 24) != 0 && (values.shadowX != 0 || values.shadowY != 0);
  if (shadowShown) {
    return Said("shadow-offset", std::to_string(values.shadowX) + "," + std::to_string(values.shadowY)) +
           " is not drawn: there are no shadows; leave out shadow-offset or make shadow-color transparent";
  }
  const int left = values.leftMargin.value_or(60), right = values.rightMargin.value_or(60);
  if ((values.leftMargin || values.rightMargin) && (options.job.align != 0 || left != right)) {
    return Said(values.leftMargin ? "left-margin" : "right-margin", std::to_string(values.leftMargin ? left : right)) +
           " is not drawn: lines are centred on the picture or stand 8 pixels from its side; side margins "
           "are kept only for centred lines, the same on both sides";
  }
  return {};
}

}  // namespace

std::optional<uint32_t> ParseSpumuxColour(std::string_view text) {
  static const std::map<std::string, uint32_t, std::less<>> kNames = {
      {"black", 0x000000},   {"white", 0xFFFFFF},  {"red", 0xFF0000},    {"green", 0x008000},  {"lime", 0x00FF00},
      {"blue", 0x0000FF},    {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF},   {"aqua", 0x00FFFF},   {"magenta", 0xFF00FF},
      {"fuchsia", 0xFF00FF}, {"gray", 0xBEBEBE},   {"grey", 0xBEBEBE},   {"silver", 0xC0C0C0}, {"orange", 0xFFA500},
      {"navy", 0x000080},    {"purple", 0x800080}, {"maroon", 0x800000}, {"olive", 0x808000},  {"teal", 0x008080}};
  const std::string lower = AsciiLower(TrimBlanks(text));
  if (lower == "transparent" || lower == "none") return 0x00000000u;
  if (const auto named = kNames.find(lower); named != kNames.end()) return 0xFF000000u | named->second;
  if (!lower.empty() && lower[0] == '#') return HexDigitsColour(std::string_view(lower).substr(1));
  const std::size_t open = lower.find('(');
  if (open == std::string::npos || lower.back() != ')') return std::nullopt;
  const std::string name(TrimBlanks(std::string_view(lower).substr(0, open)));
  if (name != "rgb" && name != "rgba" && name != "gray" && name != "graya") return std::nullopt;
  return FunctionColour(name, std::string_view(lower).substr(open + 1, lower.size() - open - 2));
}

namespace {

// The attributes of <textsub> applied to `job`; the first that is refused, as "textsub NAME=\"VALUE\" …".
std::string ApplyTextsub(const Tag& tag, SpumuxJob& job) {
  TextsubValues values;
  for (const auto& [name, value] : tag.attributes) {
    const auto rule = TextsubRules().find(name);
    if (rule == TextsubRules().end()) return "<textsub>: " + Said(name, value) + " is not an attribute spumux knows";
    if (std::string why = rule->second(value, job, values); !why.empty()) {
      return "<textsub>: " + Said(name, value) + " " + why;
    }
  }
  if (job.options.files.empty()) return "<textsub> names no subtitle file (its filename attribute)";
  std::string why = CheckTogether(values, job);
  return why.empty() ? why : "<textsub>: " + why;
}

std::string ApplyFormat(const Tag& tag, SpumuxJob& job) {
  for (const auto& [name, value] : tag.attributes) {
    if (name != "format") return "<subpictures>: " + Said(name, value) + " is not an attribute spumux knows";
    const bool pal = EqualsIgnoringAsciiCase(value, "PAL");
    if (!pal && !EqualsIgnoringAsciiCase(value, "NTSC"))
      return "<subpictures>: " + Said(name, value) + " is not PAL or NTSC";
    job.options.job.pal = pal;
    job.options.standardGiven = true;
  }
  return {};
}

// Where each element may stand: <subpictures> holds <stream>, which holds one <textsub>.
std::string CheckPlace(const Tag& tag, const std::vector<std::string>& open, int textsubs) {
  const std::string parent = open.empty() ? std::string() : open.back();
  if (tag.name == "spu" || tag.name == "button" || tag.name == "action") {
    return "<" + tag.name + ">: image subpictures (menus, buttons) are not made here, only text subtitles (<textsub>)";
  }
  const bool placed = (tag.name == "subpictures" && open.empty()) ||
                      (tag.name == "stream" && parent == "subpictures") ||
                      (tag.name == "textsub" && parent == "stream");
  if (!placed) return "<" + tag.name + "> is not an element spumux takes there";
  if (tag.name == "textsub" && textsubs > 0) return "<textsub>: one text subtitle stream at a time, as spumux takes";
  if (tag.name == "stream" && !tag.attributes.empty()) return "<stream> takes no attributes";
  return {};
}

}  // namespace

SpumuxParse ReadSpumuxConfig(std::string_view xml) {
  SpumuxParse parse;
  SpumuxJob job;
  job.options.job.haveifo = true;  // no IFO: the colours asked for, in the generic palette's entries
  job.options.job.offset = 30;     // spumux's bottom margin
  std::vector<Tag> tags = ReadTags(xml, parse.error);
  if (!parse.error.empty()) return parse;
  std::vector<std::string> open;
  int textsubs = 0;
  for (const Tag& tag : tags) {
    if (tag.closing) {
      if (open.empty() || open.back() != tag.name) return {std::nullopt, "</" + tag.name + "> closes no open element"};
      open.pop_back();
      continue;
    }
    if (std::string why = CheckPlace(tag, open, textsubs); !why.empty()) return {std::nullopt, why};
    std::string why = tag.name == "subpictures" ? ApplyFormat(tag, job)
                      : tag.name == "textsub"   ? ApplyTextsub(tag, job)
                                                : std::string();
    if (!why.empty()) return {std::nullopt, why};
    textsubs += tag.name == "textsub";
    if (!tag.empty) open.push_back(tag.name);
  }
  if (!open.empty()) return {std::nullopt, "<" + open.back() + "> is not closed"};
  if (textsubs == 0)
    return {std::nullopt, "no <textsub> names a subtitle file: <subpictures><stream><textsub filename=…/>"};
  parse.job = std::move(job);
  return parse;
}

namespace {

// An option's value: the rest of its word ("-s0") or the next word ("-s 0").
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i, std::size_t& j) {
  const std::string& word = args[i];
  if (j + 1 < word.size()) {
    std::string value = word.substr(j + 1);
    j = word.size();
    return value;
  }
  j = word.size();
  if (i + 1 >= args.size()) return std::nullopt;
  return args[++i];
}

// One word of short options ("-P", "-Ps", "-s0"); the reason it is refused, if it is.
std::string ShortOptions(const std::vector<std::string>& args, std::size_t& i, SpumuxArguments& parsed) {
  for (std::size_t j = 1; j < args[i].size(); ++j) {
    const char option = args[i][j];
    const std::string flag{'-', option};
    if (option == 'P' || option == 'h') {
      (option == 'P' ? parsed.byteProgress : parsed.help) = true;
      continue;
    }
    if (option != 'm' && option != 's' && option != 'v') return flag + " is not an option";
    const std::optional<std::string> value = OptionValue(args, i, j);
    if (!value) return flag + " needs a value";
    const std::optional<int32_t> number = ParseDecimalInteger(*value);
    if (option == 'm' && (value->empty() || (value->front() != 'd' && value->front() != 'D'))) {
      return "-m " + *value + ": only DVD subpictures (-m dvd) are made, not SVCD or CVD ones";
    }
    if (option == 's' && (!number || *number < 0 || *number > 31)) return "-s " + *value + ": a stream is 0 to 31";
    if (option == 'v' && (!number || *number < 0)) return "-v " + *value + ": a verbosity is a whole number";
    if (option == 's') parsed.stream = *number;
  }
  return {};
}

}  // namespace

SpumuxArguments ParseSpumuxArguments(const std::vector<std::string>& args) {
  SpumuxArguments parsed;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
    const std::string& word = args[i];
    if (word == "--help") {
      parsed.help = true;
    } else if (word == "--nomux" || word == "--nodvdauthor-data") {
      parsed.error = word + " is not supported: the film is always read and told its colours for dvdauthor";
    } else if (word.size() > 1 && word[0] == '-') {
      parsed.error = ShortOptions(args, i, parsed);
    } else {
      files.push_back(word);
    }
  }
  if (parsed.error.empty() && !parsed.help && files.size() != 1) {
    parsed.error =
        files.empty() ? "no configuration file given" : "one configuration file, not " + std::to_string(files.size());
  }
  if (files.size() == 1) parsed.config = files.front();
  return parsed;
}

}  // namespace quillet
