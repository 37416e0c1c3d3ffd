// Markup that subtitle files carry inside their text and that is never drawn: ASS override blocks and line
// breaks in SubRip text, MicroDVD control codes.
#include "subtitle/markup.h"

#include <algorithm>

#include "subtitle/subtitle.h"

namespace quillet {

void AppendSrtTextLines(std::string_view line, DrawnLines& lines, const TextCharacters& characters) {
  std::string untagged = TSubtitle::RemoveTags(line, characters);
  // The usual line holds neither "{" nor "\\": nothing more to do. (A plain loop: find_first_of calls memchr
  // once per character.)
  if (std::none_of(untagged.begin(), untagged.end(), [](char c) { return c == '{' || c == '\\'; })) {
    if (!untagged.empty()) lines.Add(std::move(untagged));
    return;
  }
  const std::string_view text = untagged;
  std::string piece;
  auto endPiece = [&] {
    if (!piece.empty()) lines.Add(std::move(piece));
    piece.clear();
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characters.Length(text, i);
    if (length > 1) {
      piece.append(text, i, length);
      i += length;
      continue;
    }
    const char c = text[i];
    if (c == '{' && i + 1 < text.size() && text[i + 1] == '\\') {
      const std::size_t close = characters.Find(text, '}', i + 2);
      if (close != std::string_view::npos) {
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
        piece += ' ';
        i += 2;
        continue;
      }
    }
    piece += c;
    ++i;
  }
  endPiece();
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
  if (text.find('{') == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characters.Length(text, i);
    if (length == 1 && text[i] == '{' && i + 2 < text.size() && IsMicroDvdCodeLetter(text[i + 1]) &&
        text[i + 2] == ':') {
      const std::size_t close = characters.Find(text, '}', i + 3);
      if (close != std::string_view::npos) {
        i = close + 1;
        continue;
      }
    }
    result.append(text, i, length);
    i += length;
  }
  return result;
}

}  // namespace quillet
