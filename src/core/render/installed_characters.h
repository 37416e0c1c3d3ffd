// Which characters some installed font can draw: the union of every installed font's character set.
#pragma once

#include <string>

struct _FcCharSet;

namespace quillet {

// Built once from fontconfig's list of installed fonts; read-only afterwards, so threads may share it.
class InstalledCharacters {
 public:
  InstalledCharacters();
  ~InstalledCharacters();
  InstalledCharacters(const InstalledCharacters&) = delete;
  InstalledCharacters& operator=(const InstalledCharacters&) = delete;

  // True when some installed font has a glyph for the code point. Control characters count as drawn.
  bool Has(char32_t codePoint) const;

  // The characters of `text` that no installed font has, each once, in order of first appearance.
  std::u32string Missing(const std::u32string& text) const;

 private:
  _FcCharSet* m_all = nullptr;
};

// "U+1F600" for a code point.
std::string CodePointName(char32_t codePoint);

}  // namespace quillet
