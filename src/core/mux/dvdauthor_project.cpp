// dvdauthor's palette file and XML project for a muxed film.
#include "mux/dvdauthor_project.h"

#include <cstdio>

namespace quillet {
namespace {

// The first line after the declaration; it marks a project this program wrote and can read back.
constexpr std::string_view kProjectMark = "<!-- quillet mux project:";
constexpr std::string_view kSubpictureTag = "<subpicture";
constexpr std::string_view kLangAttribute = " lang=\"";
constexpr std::string_view kVobFileAttribute = "<vob file=\"";

}  // namespace

std::string DvdauthorPaletteText(const std::array<uint32_t, 16>& entries) {
  std::string text;
  for (const uint32_t entry : entries) {
    char line[16];
    std::snprintf(line, sizeof line, "%06X\n", static_cast<unsigned>(entry & 0xFFFFFFu));
    text += line;
  }
  return text;
}

std::string XmlAttributeText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string DvdauthorProjectXml(const DvdauthorProject& project) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += kProjectMark;
  xml += " make the disc with  dvdauthor -o DVD_FOLDER -x THIS_FILE -->\n";
  // The disc's menu part (VMGM) is empty but still needs a video format; the title's follows the film.
  const std::string format = project.standard == VideoStandard::Pal ? "pal" : "ntsc";
  xml += "<dvdauthor format=\"" + format + "\">\n  <vmgm />\n  <titleset>\n    <titles>\n";
  xml += "      <video format=\"" + format + "\" />\n";
  for (const std::string& language : project.languages) {
    xml += "      <subpicture";
    if (!language.empty()) xml += std::string(kLangAttribute) + XmlAttributeText(language) + "\"";
    xml += " />\n";
  }
  xml += "      <pgc palette=\"" + XmlAttributeText(project.palettePath) + "\">\n";
  xml += "        " + std::string(kVobFileAttribute) + XmlAttributeText(project.filmPath) + "\" />\n";
  xml += "      </pgc>\n    </titles>\n  </titleset>\n</dvdauthor>\n";
  return xml;
}

std::optional<std::vector<std::string>> ProjectSubpictureLanguages(std::string_view xml) {
  if (xml.find(kProjectMark) == std::string_view::npos) return std::nullopt;
  std::vector<std::string> languages;
  for (std::size_t at = xml.find(kSubpictureTag); at != std::string_view::npos; at = xml.find(kSubpictureTag, at + 1)) {
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view tag = xml.substr(at, end - at);
    std::string language;
    if (const std::size_t lang = tag.find(kLangAttribute); lang != std::string_view::npos) {
      const std::size_t start = lang + kLangAttribute.size();
      const std::size_t close = tag.find('"', start);
      if (close == std::string_view::npos) return std::nullopt;
      language = std::string(tag.substr(start, close - start));
    }
    languages.push_back(std::move(language));
  }
  return languages;
}

bool ProjectNamesFilm(std::string_view xml, std::string_view filmPath) {
  if (xml.find(kProjectMark) == std::string_view::npos) return false;
  const std::string vob = std::string(kVobFileAttribute) + XmlAttributeText(filmPath) + "\"";
  return xml.find(vob) != std::string_view::npos;
}

}  // namespace quillet
