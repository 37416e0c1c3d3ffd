// Where the characters of 8-bit text begin, so that markup and line breaks are found between characters and
// never inside one.
#include "base/text_characters.h"

#include <iconv.h>

#include <cerrno>

#include "base/ascii_text.h"

namespace quillet {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// How iconv reads `bytes` from the initial state: the number of characters when it reads them all, -1 when the
// input is incomplete (a lead byte alone), -2 when it is invalid.
int CharactersIn(iconv_t cd, const char* bytes, std::size_t size) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {bytes[0], size > 1 ? bytes[1] : '\0'};
  char out[32];
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = size, outLeft = sizeof out;
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
    return errno == EINVAL ? -1 : -2;
  }
  return static_cast<int>((sizeof out - outLeft) / 4);
}

}  // namespace

TextCharacters::TextCharacters(const std::string& codePage) {
  // UTF-8, the usual case, needs no table: no character of it holds an ASCII byte.
  if (codePage.empty() || EqualsIgnoringAsciiCase(codePage, "UTF-8") || EqualsIgnoringAsciiCase(codePage, "UTF8")) {
    return;
  }
  iconv_t cd = iconv_open("UTF-32LE", codePage.c_str());
  if (cd == kNoDescriptor) return;
  auto pairs = std::make_shared<std::bitset<65536>>();
  bool asciiTrail = false;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    const char alone = static_cast<char>(lead);
    if (CharactersIn(cd, &alone, 1) != -1) continue;  // a character of its own, or no character at all
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const char pair[2] = {alone, static_cast<char>(trail)};
      if (CharactersIn(cd, pair, 2) != 1) continue;
      pairs->set(static_cast<std::size_t>(lead << 8 | trail));
      asciiTrail = asciiTrail || trail < 0x80;
    }
  }
  iconv_close(cd);
  if (!asciiTrail) return;
  m_pairs = std::move(pairs);
  m_codePage = codePage;
}

std::size_t TextCharacters::SteppingFind(std::string_view text, std::string_view s, std::size_t from) const {
  // The characters of an ASCII text are its bytes, so after a match at a character start none is cut.
  for (std::size_t at = from; at < text.size(); at += Length(text, at)) {
    if (text.substr(at, s.size()) == s) return at;
  }
  return std::string_view::npos;
}

std::size_t TextCharacters::SteppingFindLast(std::string_view text, char c) const {
  std::size_t last = std::string_view::npos;
  for (std::size_t at = 0; at < text.size(); at += Length(text, at)) {
    if (text[at] == c) last = at;
  }
  return last;
}

}  // namespace quillet
