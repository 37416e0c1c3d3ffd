// Subtitle bytes to Unicode code points by a Windows font charset, through glibc iconv.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_characters.h"

namespace quillet {

// The iconv name of the code page a charset byte stands for ("CP1252" for ANSI, "CP1253" for GREEK, …).
// DEFAULT and SYMBOL have none (empty): DEFAULT is the user's own code page, SYMBOL reads bytes as they are.
// A byte outside the charset table is treated as DEFAULT.
std::string_view CodePageOfCharset(uint8_t charset);

// The characters of text drawn with a charset, for the readers to find markup between them. DEFAULT stands for
// `defaultCodeset` (empty: the user's own, UserCodeset); SYMBOL reads byte by byte.
TextCharacters CharactersOfCharset(uint8_t charset, const std::string& defaultCodeset);

// Text in a code set for a message (the window and standard error read messages in the user's code set):
// UTF-8 when the code set is UTF-8, else through iconv with "?" for a character the code set lacks.
std::string EncodeInCodeset(std::u32string_view text, const std::string& codeset);

// Whether text drawn with `charset` has its code page found from the text when it is not valid UTF-8: DEFAULT
// (and a byte outside the charset table) under a UTF-8 `defaultCodeset` (empty: the user's own).
bool FindsCodePageFromText(uint8_t charset, const std::string& defaultCodeset);

// The code set of the user's locale (LC_ALL, LC_CTYPE, LANG), read without touching the process locale.
// The "C"/POSIX locale's ASCII, or a locale that cannot be loaded, counts as UTF-8.
std::string UserCodeset();

// Decodes subtitle text. Owns one iconv descriptor per code page used, so it is cheap to call per line;
// not thread-safe (each thread keeps its own decoder).
//
// - A byte the code page leaves undefined (or a broken multi-byte sequence) becomes the code point of the
//   same value, and decoding goes on after it.
// - DEFAULT decodes with `defaultCodeset` (the user's own code page); a line that is not valid in it is read
//   as CP1252 as a whole, so a Western file shows its accents even under a UTF-8 locale.
// - SYMBOL yields each byte as a code point; the font engine then looks it up at 0xF000 + byte in a symbol
//   font.
class CharsetDecoder {
 public:
  // An empty defaultCodeset means UserCodeset().
  explicit CharsetDecoder(std::string defaultCodeset = {});
  ~CharsetDecoder();
  CharsetDecoder(const CharsetDecoder&) = delete;
  CharsetDecoder& operator=(const CharsetDecoder&) = delete;

  std::u32string Decode(std::string_view bytes, uint8_t charset);
  // UTF-8 text (read from a UTF-16 file) whatever the charset; an invalid byte becomes the code point of the
  // same value.
  std::u32string DecodeUtf8(std::string_view bytes);

 private:
  // Decodes with one code page. strict: fail on the first invalid sequence instead of passing bytes through.
  std::optional<std::u32string> DecodeWith(const std::string& codePage, std::string_view bytes, bool strict);
  void* Descriptor(const std::string& codePage);  // iconv_t, or nullptr when iconv does not know the name

  std::string m_defaultCodeset;
  std::map<std::string, void*> m_descriptors;
};

}  // namespace quillet
