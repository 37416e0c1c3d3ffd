// The installed fonts as fontconfig describes them, loaded at most once and shared by every font engine of a
// process, and the answers it gave that later runs reuse.
#include "render/font_config.h"

#include <fontconfig/fontconfig.h>

#include "base/errors.h"

namespace quillet {

std::shared_ptr<const FontConfig> FontConfig::Load(const std::string& answersFile) {
  return std::shared_ptr<const FontConfig>(new FontConfig(answersFile));
}

FontConfig::FontConfig(std::string answersFile)
    : m_answersFile(std::move(answersFile)), m_answers(ReadFontAnswers(m_answersFile)) {}

FontConfig::~FontConfig() {
  FcConfig* config = m_config.load();
  if (config == nullptr) return;
  if (m_answersChanged) {
    try {
      WriteFontAnswers(m_answersFile, m_answers, config);
    } catch (const std::exception&) {
      // Only a cache: the next run asks fontconfig again.
    }
  }
  FcConfigDestroy(config);
}

_FcConfig* FontConfig::Get() const {
  std::call_once(m_loadOnce, [this] {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) throw QuilletError("The font configuration (fontconfig) cannot be loaded.");
    m_config.store(config);
  });
  return m_config.load();
}

bool FontConfig::Loaded() const { return m_config.load() != nullptr; }

std::optional<ResolvedFace> FontConfig::KnownFace(const std::string& name, bool bold, bool italic) const {
  std::lock_guard lock(m_mutex);
  const auto found = m_answers.faces.find({name, bold, italic});
  if (found == m_answers.faces.end()) return std::nullopt;
  return found->second;
}

void FontConfig::AddFace(const std::string& name, bool bold, bool italic, const ResolvedFace& face) const {
  std::lock_guard lock(m_mutex);
  auto [at, added] = m_answers.faces.try_emplace({name, bold, italic}, face);
  if (added || !(at->second == face)) {
    at->second = face;
    m_answersChanged = true;
  }
}

std::optional<std::vector<std::string>> FontConfig::KnownFamilyNames() const {
  std::lock_guard lock(m_mutex);
  return m_answers.familyNames;
}

void FontConfig::AddFamilyNames(const std::vector<std::string>& names) const {
  std::lock_guard lock(m_mutex);
  if (m_answers.familyNames != names) {
    m_answers.familyNames = names;
    m_answersChanged = true;
  }
}

std::optional<FontFileFace> ReadFontFileFace(const std::string& path) {
  int faces = 0;
  FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &faces);
  if (pattern == nullptr) return std::nullopt;
  std::optional<FontFileFace> face;
  FcChar8* name = nullptr;
  if (FcPatternGetString(pattern, FC_FAMILY, 0, &name) == FcResultMatch && name != nullptr) {
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
    face = FontFileFace{reinterpret_cast<const char*>(name), weight >= FC_WEIGHT_BOLD, slant != FC_SLANT_ROMAN};
  }
  FcPatternDestroy(pattern);
  return face;
}

}  // namespace quillet
