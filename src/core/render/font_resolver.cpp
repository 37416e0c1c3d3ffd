// Font files by family name and style through fontconfig, and the ranked stand-ins for characters a face lacks.
#include "render/font_resolver.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <set>

#include "base/errors.h"
#include "render/code_point_class.h"
#include "render/name_tables.h"

namespace quillet {
namespace {

// The pattern that asks for a family at a weight and slant, with fontconfig's substitutions applied.
FcPattern* QueryPattern(const std::string& name, bool bold, bool italic, std::string_view language, FcConfig* config) {
  const std::string family = name.empty() || name == "Default" ? "sans-serif" : name;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(bold ? 700 : 400));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  if (!language.empty()) {
    const std::string lang(language);
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang.c_str()));
  }
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

// Reads a prepared match: its file, and whether the asked-for bold or italic must be made by the rasteriser.
std::optional<ResolvedFace> FaceFromMatch(FcPattern* match, bool bold, bool italic) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  ResolvedFace face;
  face.file = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
  FcChar8* familyFound = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &familyFound) == FcResultMatch) {
    face.family = reinterpret_cast<const char*>(familyFound);
  }
  double weight = FC_WEIGHT_REGULAR;
  int weightInt = 0;
  if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weightInt) == FcResultMatch) {
    weight = weightInt;
  } else {
    FcPatternGetDouble(match, FC_WEIGHT, 0, &weight);
  }
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match, FC_SLANT, 0, &slant);
  FcBool embolden = FcFalse;
  FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
  // fontconfig marks a slanted stand-in for a missing italic face with a shear matrix (and calls it oblique).
  FcMatrix* matrix = nullptr;
  const bool sheared = FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix->xy != 0;
  face.syntheticBold = bold && (embolden == FcTrue || weight < FC_WEIGHT_DEMIBOLD);
  face.syntheticItalic = italic && (slant == FC_SLANT_ROMAN || sheared);
  return face;
}

}  // namespace

std::string_view LanguageOfText(std::u32string_view text) {
  bool han = false, hangul = false, bopomofo = false;
  std::string_view first;
  for (char32_t c : text) {
    switch (ScriptOf(c)) {
      case HB_SCRIPT_HIRAGANA:
      case HB_SCRIPT_KATAKANA:
        return "ja";  // kana is Japanese whatever Han it stands beside
      case HB_SCRIPT_HANGUL:
        hangul = true;
        break;
      case HB_SCRIPT_HAN:
        han = true;
        break;
      case HB_SCRIPT_BOPOMOFO:
        bopomofo = true;
        break;
      case HB_SCRIPT_ARABIC:
        if (first.empty()) first = "ar";
        break;
      case HB_SCRIPT_HEBREW:
        if (first.empty()) first = "he";
        break;
      case HB_SCRIPT_THAI:
        if (first.empty()) first = "th";
        break;
      case HB_SCRIPT_DEVANAGARI:
        if (first.empty()) first = "hi";
        break;
      default:
        break;
    }
  }
  if (hangul) return "ko";
  if (bopomofo) return "zh-tw";
  if (han) return "zh-cn";
  return first;
}

std::string_view LanguageOfCharset(uint8_t charset) {
  const CharsetInfo* row = FindCharset(charset);
  return row != nullptr ? row->language : std::string_view();
}

FallbackChain::FallbackChain(FcConfig* config, FcPattern* query, FcFontSet* sorted, bool bold, bool italic)
    : m_config(config),
      m_query(query),
      m_sorted(sorted),
      m_bold(bold),
      m_italic(italic),
      m_prepared(sorted != nullptr ? sorted->nfont : 0) {}

FallbackChain::~FallbackChain() {
  if (m_sorted != nullptr) FcFontSetDestroy(m_sorted);
  FcPatternDestroy(m_query);
}

int FallbackChain::NextCovering(char32_t codePoint, int from) const {
  if (m_sorted == nullptr) return -1;
  for (int i = std::max(0, from); i < m_sorted->nfont; ++i) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(m_sorted->fonts[i], FC_CHARSET, 0, &charset) == FcResultMatch &&
        FcCharSetHasChar(charset, codePoint)) {
      return i;
    }
  }
  return -1;
}

const ResolvedFace& FallbackChain::Candidate(int index) {
  std::optional<ResolvedFace>& prepared = m_prepared.at(static_cast<std::size_t>(index));
  if (!prepared) {
    FcPattern* match = FcFontRenderPrepare(m_config, m_query, m_sorted->fonts[index]);
    if (match != nullptr) {
      prepared = FaceFromMatch(match, m_bold, m_italic);
      FcPatternDestroy(match);
    }
    if (!prepared) prepared = ResolvedFace{};  // no file: the caller's face check fails on it
  }
  return *prepared;
}

FontResolver::FontResolver(std::shared_ptr<const FontConfig> config) : m_shared(std::move(config)) {}

const ResolvedFace& FontResolver::Resolve(const std::string& name, bool bold, bool italic) {
  auto key = std::make_tuple(name, bold, italic);
  auto found = m_resolved.find(key);
  if (found != m_resolved.end()) return found->second;
  if (std::optional<ResolvedFace> known = m_shared->KnownFace(name, bold, italic)) {
    return m_resolved.emplace(std::move(key), std::move(*known)).first->second;
  }

  FcConfig* config = m_shared->Get();
  FcPattern* pattern = QueryPattern(name, bold, italic, {}, config);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  std::optional<ResolvedFace> face;
  if (match != nullptr) {
    face = FaceFromMatch(match, bold, italic);
    FcPatternDestroy(match);
  }
  if (!face) throw QuilletError("No installed font can stand in for \"" + name + "\".");
  m_shared->AddFace(name, bold, italic, *face);
  return m_resolved.emplace(std::move(key), std::move(*face)).first->second;
}

FallbackChain& FontResolver::Fallbacks(const std::string& name, bool bold, bool italic, std::string_view language) {
  auto key = std::make_tuple(name, bold, italic, std::string(language));
  auto found = m_chains.find(key);
  if (found != m_chains.end()) return *found->second;

  FcConfig* config = m_shared->Get();
  FcPattern* query = QueryPattern(name, bold, italic, language, config);
  FcResult result = FcResultNoMatch;
  // Trimmed: a face that adds no character to the better ones before it is left out.
  FcFontSet* sorted = FcFontSort(config, query, FcTrue, nullptr, &result);
  auto chain = std::make_unique<FallbackChain>(config, query, sorted, bold, italic);
  return *m_chains.emplace(std::move(key), std::move(chain)).first->second;
}

std::vector<std::string> FontResolver::FamilyNames() {
  if (std::optional<std::vector<std::string>> known = m_shared->KnownFamilyNames()) return *known;
  FcConfig* config = m_shared->Get();
  std::set<std::string> families;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(config, pattern, objects);
  if (fonts != nullptr) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family[0] != 0) {
        families.insert(reinterpret_cast<const char*>(family));
      }
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  std::vector<std::string> names(families.begin(), families.end());
  m_shared->AddFamilyNames(names);
  return names;
}

}  // namespace quillet
