// Walks the lines of a whole file held in memory, the way a text file is read line by line.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// Lines end at CR LF, LF or a lone CR; the last line needs no line end. A line end at the very end of the bytes
// is not followed by another (empty) line, so "a\n" is one line and "a\n\n" two. Views point into the bytes,
// which must outlive the cursor.
class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes) : m_rest(bytes) {}

  bool AtEnd() const { return m_rest.empty(); }

  // The next line without its line end; an empty line once the end is reached.
  std::string_view Next() {
    const char* begin = m_rest.data();
    const std::size_t size = m_rest.size();
    // One plain pass: a scan per kind of line end would go quadratic on files that use only the other kind.
    std::size_t i = 0;
    while (i < size && begin[i] != '\n' && begin[i] != '\r') ++i;
    std::string_view line(begin, i);
    if (i < size) {
      std::size_t endLength = (m_rest[i] == '\r' && i + 1 < size && m_rest[i + 1] == '\n') ? 2 : 1;
      m_rest.remove_prefix(i + endLength);
    } else {
      m_rest = {};
    }
    return line;
  }

  // The line Next() would return, without moving.
  std::string_view Peek() const {
    LineCursor copy = *this;
    return copy.Next();
  }

 private:
  std::string_view m_rest;
};

}  // namespace quillet
