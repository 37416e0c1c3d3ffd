// Inside the font engine: the rasteriser, the resolved faces and sizes, the stand-in faces per code point.
// Shared by font_engine.cpp (fonts) and text_layout.cpp (laying a line out); nothing else includes it.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "render/charset_decoder.h"
#include "render/font_engine.h"
#include "render/font_instance.h"
#include "render/font_resolver.h"

struct hb_buffer_t;

namespace quillet {

// The style of each code point of a line laid out with style runs: bits italic 1, bold 2, underline 4, and the
// font description and chosen face of each of the eight (faces made on first use).
struct StyledCharacters {
  std::vector<uint8_t> bits;
  std::array<FontDesc, 8> fonts;
  std::array<FontInstance*, 8> faces{};
};

struct FontEngine::Impl {
  explicit Impl(FontOptions opts);
  ~Impl();

  // The instance of the chosen face for a font description (the last one is remembered: consecutive lines
  // nearly always use the same font).
  FontInstance& Primary(const FontDesc& font);
  // The best installed face other than the chosen one that has the code point, at the same size, weight and
  // slant, steered by the language (the charset's, else the line's own); nullptr when no installed font has it.
  // Cached per code point.
  FontInstance* StandIn(const FontDesc& font, char32_t codePoint, std::string_view language);

  // `styled`: the style of each code point; nullptr when the whole line is in `font`.
  std::optional<LineLayout> LayoutPlain(FontInstance& primary, const FontDesc& font, const std::u32string& text,
                                        StyledCharacters* styled = nullptr);
  LineLayout LayoutShaped(FontInstance& primary, const FontDesc& font, const std::u32string& text,
                          StyledCharacters* styled = nullptr);

  FontOptions options;
  FT_Library library = nullptr;
  FontResolver resolver;
  CharsetDecoder decoder;
  hb_buffer_t* buffer = nullptr;  // reused for every run that is shaped

 private:
  FT_Face OpenFace(const std::string& file, int index);
  FontInstance& InstanceOf(const ResolvedFace& face, int em, DisplayAspect aspect);

  std::map<std::pair<std::string, int>, FT_Face> m_faces;
  // By file, face index, synthetic bold, synthetic italic, em and aspect.
  std::map<std::tuple<std::string, int, bool, bool, int, DisplayAspect>, std::unique_ptr<FontInstance>> m_instances;
  // By face name, bold, italic, em and aspect.
  std::map<std::tuple<std::string, bool, bool, int, DisplayAspect>, FontInstance*> m_byName;
  FontDesc m_lastFont;
  FontInstance* m_lastInstance = nullptr;
  // By face name, bold, italic, em, aspect and language: the stand-in of every code point asked about (nullptr:
  // none).
  std::map<std::tuple<std::string, bool, bool, int, DisplayAspect, std::string>,
           std::unordered_map<char32_t, FontInstance*>>
      m_standIns;
};

}  // namespace quillet
