// Markup that subtitle files carry inside their text and that is never drawn: ASS override blocks and line
// breaks in SubRip and ASS text, MicroDVD control codes.
#include "subtitle/markup.h"

#include <algorithm>

#include "subtitle/subtitle.h"

namespace quillet {

EntryPlacement PlacementFromAlignment(int alignment, bool legacy) {
  if (legacy) {
    // SSA: 1-3 along the bottom, plus 4 for the top row and 8 for the middle one.
    if (alignment >= 9 && alignment <= 11) return PlacementFromAlignment(alignment - 5, false);
    if (alignment >= 5 && alignment <= 7) return PlacementFromAlignment(alignment + 2, false);
    if (alignment >= 1 && alignment <= 3) return PlacementFromAlignment(alignment, false);
    return {};
  }
  if (alignment < 1 || alignment > 9) return {};
  constexpr VerticalPlace kRows[] = {VerticalPlace::kBottom, VerticalPlace::kMiddle, VerticalPlace::kTop};
  constexpr HorizontalPlace kColumns[] = {HorizontalPlace::kLeft, HorizontalPlace::kCentre, HorizontalPlace::kRight};
  return {kRows[(alignment - 1) / 3], kColumns[(alignment - 1) % 3]};
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of `text` (digits only), or -1.
int LeadingNumber(std::string_view text) {
  if (text.empty() || !IsDigit(text[0])) return -1;
  int value = 0;
  for (std::size_t i = 0; i < text.size() && IsDigit(text[i]) && value < 100000; ++i)
    value = value * 10 + (text[i] - '0');
  return value;
}

// A switch tag ("\i1", "\i0", "\i"): on, off, or back to the style's own.
void Switch(std::string_view value, bool base, bool& flag, bool weight = false) {
  if (value.empty()) {
    flag = base;
  } else if (IsDigit(value[0])) {
    const int n = LeadingNumber(value);
    // "\b" also takes a weight: 100 to 900, bold from 600 as fonts are chosen.
    flag = weight && n >= 100 ? n >= 600 : n != 0;
  }
}

// One override tag (the text after its backslash, up to the next one) read into the entry's state.
void FollowTag(std::string_view tag, DrawnLines& lines, bool& drawing) {
  if (tag.empty()) return;
  const std::string_view after = tag.substr(1);
  const bool switchTag = after.empty() || IsDigit(after[0]);
  switch (tag[0]) {
    case 'i':
      if (switchTag) Switch(after, lines.base.italic, lines.overrides.italic);
      return;
    case 'b':
      if (switchTag) Switch(after, lines.base.bold, lines.overrides.bold, true);
      return;
    case 'u':
      if (switchTag) Switch(after, lines.base.underline, lines.overrides.underline);
      return;
    case 'r':
      lines.overrides = lines.base;
      return;
    case 'p':
      // "\p1" and up start a vector drawing, whose commands are not text; "\p0" ends it ("\pbo" is another tag).
      if (!after.empty() && IsDigit(after[0])) drawing = after[0] != '0';
      if (after.starts_with("os")) lines.style.unsupported = true;
      return;
    case 'm':
      if (after.starts_with("ove")) lines.style.unsupported = true;
      return;
    case 'c':
      if (!after.empty() && after[0] == '&') lines.style.unsupported = true;
      return;
    case '1':
    case '2':
    case '3':
    case '4':
      if (after.starts_with("c")) lines.style.unsupported = true;
      return;
    case 'a': {
      // The first placing tag of an entry counts, as in libass.
      const bool numpad = after.starts_with("n");
      const int number = LeadingNumber(numpad ? after.substr(1) : after);
      if (number < 0 || lines.placedByTag) return;
      lines.style.placement = PlacementFromAlignment(number, !numpad);
      lines.placedByTag = true;
      return;
    }
    default:
      return;
  }
}

// Reads what an override block (the text between its braces) says. The block holds whole characters, so its ASCII
// bytes are characters.
void FollowOverrideBlock(std::string_view block, const TextCharacters& characters, DrawnLines& lines, bool& drawing) {
  std::size_t at = characters.Find(block, '\\');
  while (at != std::string_view::npos) {
    const std::size_t next = characters.Find(block, '\\', at + 1);
    FollowTag(block.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1), lines,
              drawing);
    at = next;
  }
}

// The flags of a text's bytes, asked for in ascending order.
class RunCursor {
 public:
  explicit RunCursor(const StyleRuns& runs) : m_runs(runs) {}
  StyleFlags At(std::size_t at) {
    while (m_next < m_runs.size() && m_runs[m_next].end <= at) ++m_next;
    if (m_next < m_runs.size() && m_runs[m_next].begin <= at) return m_runs[m_next].flags;
    return {};
  }

 private:
  const StyleRuns& m_runs;
  std::size_t m_next = 0;
};

}  // namespace

StyleFlags BothStyles(StyleFlags a, StyleFlags b) {
  return {a.italic || b.italic, a.bold || b.bold, a.underline || b.underline};
}

StyleRuns WithEverywhere(StyleRuns runs, std::size_t size, StyleFlags over) {
  if (!over.Any() || size == 0) return runs;
  StyleRuns all;
  std::size_t at = 0;
  for (const StyleRun& run : runs) {
    AddStyleRun(all, at, run.begin, over);
    AddStyleRun(all, run.begin, run.end, BothStyles(run.flags, over));
    at = run.end;
  }
  AddStyleRun(all, at, size, over);
  return all;
}

namespace {

// Override blocks, drawings, "\N" "\n" breaks and "\h" blanks: see AppendSrtTextLines. `runs` style the bytes of
// `line` (from its style tags).
void AppendOverrideTextLines(std::string&& line, StyleRuns&& runs, DrawnLines& lines,
                             const TextCharacters& characters) {
  // The usual line holds neither "{" nor "\\": nothing more to do. (A plain loop: find_first_of calls memchr
  // once per character.)
  if (std::none_of(line.begin(), line.end(), [](char c) { return c == '{' || c == '\\'; })) {
    StyleRuns all = WithEverywhere(std::move(runs), line.size(), lines.overrides);
    if (!line.empty()) lines.Add(std::move(line), std::move(all));
    return;
  }
  const std::string_view text = line;
  RunCursor tagged(runs);
  std::string piece;
  StyleRuns pieceRuns;
  auto endPiece = [&] {
    if (!piece.empty()) lines.Add(std::move(piece), std::move(pieceRuns));
    piece.clear();
    pieceRuns.clear();
  };
  auto append = [&](std::string_view bytes, std::size_t from) {
    AddStyleRun(pieceRuns, piece.size(), piece.size() + bytes.size(), BothStyles(tagged.At(from), lines.overrides));
    piece.append(bytes);
  };
  bool drawing = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characters.Length(text, i);
    if (length > 1) {
      if (!drawing) append(text.substr(i, length), i);
      i += length;
      continue;
    }
    const char c = text[i];
    if (c == '{') {
      const std::size_t close = characters.Find(text, '}', i + 1);
      if (close != std::string_view::npos) {
        FollowOverrideBlock(text.substr(i + 1, close - i - 1), characters, lines, drawing);
        i = close + 1;
        continue;
      }
    } else if (c == '\\' && i + 1 < text.size()) {
      const char code = text[i + 1];
      if (code == 'N' || code == 'n') {
        endPiece();
        i += 2;
        continue;
      }
      if (code == 'h') {
        if (!drawing) append(" ", i);
        i += 2;
        continue;
      }
    }
    if (!drawing) append(text.substr(i, 1), i);
    ++i;
  }
  endPiece();
}

}  // namespace

void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters) {
  StyleRuns runs;
  std::string text = RemoveStyleTags(line, characters, lines.tags, runs, lines.style.unsupported);
  AppendOverrideTextLines(std::move(text), std::move(runs), lines, characters);
}

void AppendAssTextLines(std::string_view text, DrawnLines& lines, const TextCharacters& characters) {
  AppendOverrideTextLines(std::string(text), {}, lines, characters);
}

namespace {

bool IsMicroDvdCodeLetter(char c) {
  switch (c) {
    case 'y':
    case 'Y':
    case 'c':
    case 'C':
    case 'f':
    case 'F':
    case 's':
    case 'S':
    case 'h':
    case 'H':
    case 'o':
    case 'O':
    case 'p':
    case 'P':
      return true;
    default:
      return false;
  }
}

}  // namespace

namespace {

// What one control code says ("y:i", "Y:bu", "c:$0000ff"), added to `codes`.
void FollowMicroDvdCode(std::string_view code, MicroDvdCodes& codes) {
  const char letter = code[0];
  if (letter == 'c' || letter == 'C') codes.colour = true;
  if (letter != 'y' && letter != 'Y') return;
  StyleFlags& flags = letter == 'y' ? codes.line : codes.entry;
  for (char c : code.substr(2)) {
    if (c == 'i' || c == 'I') flags.italic = true;
    if (c == 'b' || c == 'B') flags.bold = true;
    if (c == 'u' || c == 'U') flags.underline = true;
  }
}

}  // namespace

std::string RemoveMicroDvdCodes(std::string_view text, const TextCharacters& characters, MicroDvdCodes* codes) {
  // The scan starts at the line's start and ends at the first byte that is no code, so every byte it looks at
  // outside a code's value starts a character.
  std::size_t i = 0;
  bool afterCode = false;
  while (i < text.size()) {
    if (text[i] == '/') {
      ++i;
      if (codes != nullptr) codes->line.italic = true;
      // ffmpeg reads no code after a "/" that follows one: in "{y:b}/{y:i}Hi" the "{y:i}" is text.
      if (afterCode) break;
      continue;
    }
    if (text[i] == '{' && i + 2 < text.size() && IsMicroDvdCodeLetter(text[i + 1]) && text[i + 2] == ':') {
      const std::size_t close = characters.Find(text, '}', i + 3);
      if (close != std::string_view::npos) {
        if (codes != nullptr) FollowMicroDvdCode(text.substr(i + 1, close - i - 1), *codes);
        i = close + 1;
        afterCode = true;
        continue;
      }
    }
    break;
  }
  return std::string(text.substr(i));
}

}  // namespace quillet
