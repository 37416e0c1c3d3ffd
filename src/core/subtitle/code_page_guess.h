// The code page of 8-bit subtitle text found from the text itself (uchardet), and text in a code page as UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

struct FoundCodePage {
  std::string codePage;  // the iconv name ("CP932")
  std::string name;      // as people call it ("Shift-JIS")
};

// The code page uchardet judges the text to be in, when it is one the charset list offers (Shift-JIS, Big5, GBK,
// UHC, the Windows code pages 1250 to 1258, Thai); empty when uchardet is unsure or names another one.
std::optional<FoundCodePage> FindCodePage(std::string_view text);

// Text in `codePage` as UTF-8; a byte the code page leaves undefined becomes the code point of the same value, as
// drawing would read it.
std::string CodePageToUtf8(std::string_view text, const std::string& codePage);

}  // namespace quillet
