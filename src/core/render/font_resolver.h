// Font files by family name and style through fontconfig, and the ranked stand-ins for characters a face lacks.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "render/font_config.h"

struct _FcConfig;
struct _FcFontSet;
struct _FcPattern;

namespace quillet {

// The language a Windows charset stands for ("ja" for SHIFTJIS, "he" for HEBREW, …), empty when it names none
// (ANSI, DEFAULT, SYMBOL, OEM, MAC). It steers the choice of stand-in faces and the shaping.
std::string_view LanguageOfCharset(uint8_t charset);

// The language a line's own script says, for choosing stand-in faces when the charset says none: Japanese for
// kana, Korean for Hangul, Chinese for Han alone (traditional with bopomofo), and the language of a few scripts
// that have one (Arabic, Hebrew, Thai, Devanagari); empty otherwise.
std::string_view LanguageOfText(std::u32string_view text);

// The faces fontconfig ranks for a font description, best first: the chosen family and its aliases, then faces
// for the charset's language, then everything else. Each candidate is prepared (weight, slant, synthetic styles)
// only when it is first asked for.
class FallbackChain {
 public:
  FallbackChain(_FcConfig* config, _FcPattern* query, _FcFontSet* sorted, bool bold, bool italic);
  ~FallbackChain();
  FallbackChain(const FallbackChain&) = delete;
  FallbackChain& operator=(const FallbackChain&) = delete;

  // The first candidate at or after `from` whose character set holds the code point; -1 when none does.
  int NextCovering(char32_t codePoint, int from) const;
  const ResolvedFace& Candidate(int index);

 private:
  _FcConfig* m_config;
  _FcPattern* m_query;
  _FcFontSet* m_sorted;
  bool m_bold;
  bool m_italic;
  std::vector<std::optional<ResolvedFace>> m_prepared;
};

// Shares the engines' fontconfig configuration and caches what it answered; takes the answers earlier runs kept
// when they hold what is asked. Not thread-safe (one per font engine).
class FontResolver {
 public:
  explicit FontResolver(std::shared_ptr<const FontConfig> config);
  FontResolver(const FontResolver&) = delete;
  FontResolver& operator=(const FontResolver&) = delete;

  // The face for a family name ("Default" or empty: fontconfig's default sans). Throws QuilletError when
  // fontconfig offers nothing at all.
  const ResolvedFace& Resolve(const std::string& name, bool bold, bool italic);

  // The ranked stand-ins for the same description, with the charset's language.
  FallbackChain& Fallbacks(const std::string& name, bool bold, bool italic, std::string_view language);

  // The first family name of every installed scalable font.
  std::vector<std::string> FamilyNames();

 private:
  std::shared_ptr<const FontConfig> m_shared;  // shared with the other engines
  std::map<std::tuple<std::string, bool, bool>, ResolvedFace> m_resolved;
  // Declared last so it is destroyed first: the chains point into the configuration.
  std::map<std::tuple<std::string, bool, bool, std::string>, std::unique_ptr<FallbackChain>> m_chains;
};

}  // namespace quillet
