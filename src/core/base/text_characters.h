// Where the characters of 8-bit text begin, so that markup and line breaks are found between characters and
// never inside one.
#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quillet {

// In Shift-JIS, GBK, UHC, Big5 and Johab the second byte of a character can be an ASCII byte ("ポ" is 83 7C,
// "|" being 7C), so a search for "\N", "|" or "{" byte by byte finds markup that is not there and cuts
// characters in half. A TextCharacters knows, for one code page, which two-byte sequences are one character and
// steps over them.
//
// The grouping is the one iconv decodes with: a byte pair is one character exactly when iconv reads it as one,
// so what the readers split is what drawing later decodes. A lead byte followed by a byte that does not complete
// it, or at the end of the text, is a character on its own. Code pages in which no character contains an ASCII
// byte (UTF-8, the single-byte ones, EUC) need no stepping: every ASCII byte is a character there.
//
// Cheap to copy: copies share the table.
class TextCharacters {
 public:
  // Every byte is a character: UTF-8 text and the single-byte code pages.
  TextCharacters() = default;
  // The characters of an iconv code page ("CP932"); byte by byte when iconv does not know the name or when none
  // of its characters holds an ASCII byte.
  explicit TextCharacters(const std::string& codePage);

  // True when every ASCII byte of the text is a character of its own.
  bool ByteWise() const { return m_pairs == nullptr; }

  // The number of bytes (1 or 2) of the character that starts at text[at]; at < text.size().
  std::size_t Length(std::string_view text, std::size_t at) const {
    if (m_pairs == nullptr || at + 1 >= text.size()) return 1;
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    return (*m_pairs)[lead << 8 | trail] ? 2 : 1;
  }

  // The first character at or after `from` that is the ASCII byte `c` (or starts the ASCII text `s`); npos when
  // there is none. `from` must be the start of a character.
  std::size_t Find(std::string_view text, char c, std::size_t from = 0) const {
    return m_pairs == nullptr ? text.find(c, from) : SteppingFind(text, std::string_view(&c, 1), from);
  }
  std::size_t Find(std::string_view text, std::string_view s, std::size_t from = 0) const {
    return m_pairs == nullptr ? text.find(s, from) : SteppingFind(text, s, from);
  }
  // The last character that is the ASCII byte `c`; npos when there is none.
  std::size_t FindLast(std::string_view text, char c) const {
    return m_pairs == nullptr ? text.rfind(c) : SteppingFindLast(text, c);
  }

  // Both group bytes into the same characters.
  bool operator==(const TextCharacters& other) const { return m_codePage == other.m_codePage; }

 private:
  std::size_t SteppingFind(std::string_view text, std::string_view s, std::size_t from) const;
  std::size_t SteppingFindLast(std::string_view text, char c) const;

  std::string m_codePage;                             // empty when byte-wise
  std::shared_ptr<const std::bitset<65536>> m_pairs;  // bit lead << 8 | trail: the pair is one character
};

}  // namespace quillet
