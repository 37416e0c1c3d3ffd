// Markup that subtitle files carry inside their text and that is never drawn: ASS override blocks and line
// breaks in SubRip and ASS text, MicroDVD control codes.
#include "subtitle/markup.h"

#include <algorithm>

#include "subtitle/subtitle.h"

namespace quillet {
namespace {

// Follows what an override block (the text between its braces) says of drawing mode: "\p1" and up start a vector
// drawing, whose commands are not text; "\p0" ends it ("\pos" and "\pbo" are other tags). The block holds
// whole characters, so its ASCII bytes are characters.
void FollowDrawingMode(std::string_view block, const TextCharacters& characters, bool& drawing) {
  for (std::size_t at = characters.Find(block, "\\p"); at != std::string_view::npos;
       at = characters.Find(block, "\\p", at + 2)) {
    if (at + 2 < block.size() && block[at + 2] >= '0' && block[at + 2] <= '9') drawing = block[at + 2] != '0';
  }
}

// Override blocks, drawings, "\N" "\n" breaks and "\h" blanks: see AppendSrtTextLines.
void AppendOverrideTextLines(std::string&& line, DrawnLines& lines, const TextCharacters& characters) {
  // The usual line holds neither "{" nor "\\": nothing more to do. (A plain loop: find_first_of calls memchr
  // once per character.)
  if (std::none_of(line.begin(), line.end(), [](char c) { return c == '{' || c == '\\'; })) {
    if (!line.empty()) lines.Add(std::move(line));
    return;
  }
  const std::string_view text = line;
  std::string piece;
  auto endPiece = [&] {
    if (!piece.empty()) lines.Add(std::move(piece));
    piece.clear();
  };
  bool drawing = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characters.Length(text, i);
    if (length > 1) {
      if (!drawing) piece.append(text, i, length);
      i += length;
      continue;
    }
    const char c = text[i];
    if (c == '{') {
      const std::size_t close = characters.Find(text, '}', i + 1);
      if (close != std::string_view::npos) {
        FollowDrawingMode(text.substr(i + 1, close - i - 1), characters, drawing);
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
        if (!drawing) piece += ' ';
        i += 2;
        continue;
      }
    }
    if (!drawing) piece += c;
    ++i;
  }
  endPiece();
}

}  // namespace

void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters) {
  AppendOverrideTextLines(TSubtitle::RemoveTags(line, characters), lines, characters);
}

void AppendAssTextLines(std::string_view text, DrawnLines& lines, const TextCharacters& characters) {
  AppendOverrideTextLines(std::string(text), lines, characters);
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

std::string RemoveMicroDvdCodes(std::string_view text, const TextCharacters& characters) {
  // The scan starts at the line's start and ends at the first byte that is no code, so every byte it looks at
  // outside a code's value starts a character.
  std::size_t i = 0;
  bool afterCode = false;
  while (i < text.size()) {
    if (text[i] == '/') {
      ++i;
      // ffmpeg reads no code after a "/" that follows one: in "{y:b}/{y:i}Hi" the "{y:i}" is text.
      if (afterCode) break;
      continue;
    }
    if (text[i] == '{' && i + 2 < text.size() && IsMicroDvdCodeLetter(text[i + 1]) && text[i + 2] == ':') {
      const std::size_t close = characters.Find(text, '}', i + 3);
      if (close != std::string_view::npos) {
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
