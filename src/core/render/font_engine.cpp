// Fonts by face name through fontconfig, monochrome glyphs through FreeType, and line layout with the
// metrics the Windows program measured.
#include "render/font_engine.h"

#include <hb.h>

#include <algorithm>
#include <set>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "render/font_engine_impl.h"

namespace quillet {

int EmHeightPx(int sizePt, int dpi) { return std::max(1, ScaleRound(sizePt, dpi, 72)); }

FontOptions WithFontConfig(FontOptions options) {
  if (!options.fontConfig) options.fontConfig = FontConfig::Load();
  return options;
}

FontEngine::Impl::Impl(FontOptions opts)
    : options(WithFontConfig(std::move(opts))), resolver(options.fontConfig), decoder(options.defaultCodeset) {
  if (FT_Init_FreeType(&library) != 0) throw QuilletError("The font rasteriser (FreeType) cannot be started.");
  buffer = hb_buffer_create();
}

FontEngine::Impl::~Impl() {
  hb_buffer_destroy(buffer);
  // Sizes and shaping fonts first: they hold on to their faces.
  m_instances.clear();
  for (auto& [key, face] : m_faces) FT_Done_Face(face);
  FT_Done_FreeType(library);
}

FT_Face FontEngine::Impl::OpenFace(const std::string& file, int index) {
  auto key = std::make_pair(file, index);
  auto found = m_faces.find(key);
  if (found != m_faces.end()) return found->second;
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
    throw QuilletError("The font file \"" + file + "\" cannot be opened.");
  }
  m_faces.emplace(std::move(key), face);
  return face;
}

FontInstance& FontEngine::Impl::InstanceOf(const ResolvedFace& face, int em, DisplayAspect aspect) {
  auto key = std::make_tuple(face.file, face.index, face.syntheticBold, face.syntheticItalic, em, aspect);
  auto found = m_instances.find(key);
  if (found != m_instances.end()) return *found->second;
  auto instance = std::make_unique<FontInstance>(OpenFace(face.file, face.index), face, em, aspect);
  return *m_instances.emplace(std::move(key), std::move(instance)).first->second;
}

FontInstance& FontEngine::Impl::Primary(const FontDesc& font) {
  if (m_lastInstance != nullptr && font.faceName == m_lastFont.faceName && font.sizePt == m_lastFont.sizePt &&
      font.dpi == m_lastFont.dpi && font.style.bold == m_lastFont.style.bold &&
      font.style.italic == m_lastFont.style.italic && font.aspect == m_lastFont.aspect) {
    return *m_lastInstance;
  }
  const int em = EmHeightPx(font.sizePt, font.dpi);
  auto key = std::make_tuple(font.faceName, font.style.bold, font.style.italic, em, font.aspect);
  auto found = m_byName.find(key);
  FontInstance* instance = nullptr;
  if (found != m_byName.end()) {
    instance = found->second;
  } else {
    const ResolvedFace& face = resolver.Resolve(font.faceName, font.style.bold, font.style.italic);
    FontInstance& made = InstanceOf(face, em, font.aspect);
    // Two names that resolve to the same file share one instance; the metrics name the first one's family.
    instance = &made;
    m_byName.emplace(std::move(key), instance);
  }
  m_lastFont = font;
  m_lastInstance = instance;
  return *instance;
}

FontInstance* FontEngine::Impl::StandIn(const FontDesc& font, char32_t codePoint, std::string_view language) {
  const int em = EmHeightPx(font.sizePt, font.dpi);
  auto& cache = m_standIns[std::make_tuple(font.faceName, font.style.bold, font.style.italic, em, font.aspect,
                                           std::string(language))];
  auto found = cache.find(codePoint);
  if (found != cache.end()) return found->second;

  FontInstance* chosen = nullptr;
  FallbackChain& chain = resolver.Fallbacks(font.faceName, font.style.bold, font.style.italic, language);
  // fontconfig's character sets say which faces claim the code point; the face's own map has the last word.
  for (int i = chain.NextCovering(codePoint, 0); i >= 0 && chosen == nullptr;
       i = chain.NextCovering(codePoint, i + 1)) {
    const ResolvedFace& candidate = chain.Candidate(i);
    if (candidate.file.empty()) continue;
    try {
      FontInstance& instance = InstanceOf(candidate, em, font.aspect);
      if (instance.Covers(codePoint)) chosen = &instance;
    } catch (const QuilletError&) {
      // A broken font file: try the next one.
    }
  }
  cache.emplace(codePoint, chosen);
  return chosen;
}

FontEngine::FontEngine(FontOptions options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

FontEngine::~FontEngine() = default;

const FontOptions& FontEngine::Options() const { return m_impl->options; }

std::vector<std::string> FontEngine::FontNameList() {
  const std::vector<std::string> installed = m_impl->resolver.FamilyNames();
  std::set<std::string> families(installed.begin(), installed.end());
  families.insert("Default");
  std::vector<std::string> sorted(families.begin(), families.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
  std::vector<std::string> names{"Arial"};
  names.insert(names.end(), sorted.begin(), sorted.end());
  return names;
}

const FontMetrics& FontEngine::Metrics(const FontDesc& font) { return m_impl->Primary(font).Metrics(); }

std::u32string FontEngine::DecodeText(const FontDesc& font, std::string_view bytes) {
  return font.unicodeText ? m_impl->decoder.DecodeUtf8(bytes) : m_impl->decoder.Decode(bytes, font.charset);
}

}  // namespace quillet
