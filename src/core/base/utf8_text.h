// Writing Unicode text as UTF-8.
#pragma once

#include <string>

namespace quillet {

// Appends the UTF-8 form of a code point; one that Unicode does not allow (a surrogate, above U+10FFFF) becomes
// U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);

}  // namespace quillet
