// What a generation run writes (the SUP file, the VobSub pair, or both) and the VobSub track's language.
#include "base/output_format.h"

#include "base/ascii_text.h"

namespace quillet {

std::optional<std::string> NormaliseVobSubLanguage(std::string_view code) {
  if (code.size() != 2) return std::nullopt;
  std::string result = AsciiLower(code);
  for (char c : result) {
    if (c < 'a' || c > 'z') return std::nullopt;
  }
  return result;
}

}  // namespace quillet
