// Which characters some installed font can draw: the union of every installed font's character set.
#include "render/installed_characters.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>

namespace quillet {

InstalledCharacters::InstalledCharacters() : m_all(FcCharSetCreate()) {
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_CHARSET, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  if (fonts) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcCharSet* charset = nullptr;
      if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &charset) == FcResultMatch && charset) {
        FcCharSetMerge(m_all, charset, nullptr);
      }
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
}

InstalledCharacters::~InstalledCharacters() { FcCharSetDestroy(m_all); }

bool InstalledCharacters::Has(char32_t codePoint) const {
  if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) return true;
  return FcCharSetHasChar(m_all, static_cast<FcChar32>(codePoint)) != FcFalse;
}

std::u32string InstalledCharacters::Missing(const std::u32string& text) const {
  std::u32string missing;
  for (char32_t c : text) {
    if (!Has(c) && missing.find(c) == std::u32string::npos) missing += c;
  }
  return missing;
}

std::string CodePointName(char32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
  return name;
}

}  // namespace quillet
