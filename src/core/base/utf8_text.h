// Writing Unicode text as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Appends the UTF-8 form of a code point; one that Unicode does not allow (a surrogate, above U+10FFFF) becomes
// U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF); plain
// ASCII is.
bool IsValidUtf8(std::string_view bytes);

// Appends the character an XML reference names (`name` is what stands between '&' and ';': "amp", "#233",
// "#xE9"); false, and nothing appended, when it names none.
bool AppendXmlReference(std::string_view name, std::string& out);

}  // namespace quillet
