// dvdauthor's palette file and XML project for a muxed film.
#include "mux/dvdauthor_project.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "base/utf8_text.h"

namespace quillet {
namespace {

// The first line after the declaration; it marks a project this program wrote and can read back.
constexpr std::string_view kProjectMark = "<!-- quillet mux project:";
constexpr std::string_view kSubpictureTag = "<subpicture";
constexpr std::string_view kLangAttribute = " lang=\"";
constexpr std::string_view kVobFileAttribute = "<vob file=\"";
constexpr std::string_view kFilmRecord = "<!-- film: ";

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
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string XmlAttributeValue(std::string_view value) {
  std::string out;
  for (std::size_t at = 0; at < value.size(); ++at) {
    const std::size_t end = value[at] == '&' ? value.find(';', at) : std::string_view::npos;
    if (end != std::string_view::npos && AppendXmlReference(value.substr(at + 1, end - at - 1), out)) {
      at = end;
    } else {
      out += value[at];
    }
  }
  return out;
}

std::string XmlTextProblem(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "it holds a control character";
  }
  if (!IsValidUtf8(text)) return "it is not valid UTF-8";
  if (text.find("\xEF\xBF\xBE") != std::string_view::npos || text.find("\xEF\xBF\xBF") != std::string_view::npos) {
    return "it holds U+FFFE or U+FFFF";
  }
  return {};
}

std::string DvdauthorProjectXml(const DvdauthorProject& project) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += kProjectMark;
  xml += " make the disc with  dvdauthor -o DVD_FOLDER -x THIS_FILE -->\n";
  char record[128];
  std::snprintf(record, sizeof record, "%" PRIu64 " bytes, %d subpicture streams, hash %016" PRIx64 " -->",
                project.film.bytes, project.film.subpictureStreams, project.film.subpictureHash);
  xml += std::string(kFilmRecord) + record + "\n";
  // The disc's menu part (VMGM) is empty but still needs a video format; the title's follows the film.
  const std::string format = project.standard == VideoStandard::Pal ? "pal" : "ntsc";
  xml += "<dvdauthor format=\"" + format + "\">\n  <vmgm />\n  <titleset>\n    <titles>\n";
  xml += "      <video format=\"" + format + "\"" +
         (project.widescreen ? " aspect=\"16:9\" widescreen=\"nopanscan\"" : "") + " />\n";
  for (std::size_t k = 0; k < project.languages.size(); ++k) {
    const std::string& language = project.languages[k];
    xml += "      <subpicture";
    if (!language.empty()) xml += std::string(kLangAttribute) + XmlAttributeText(language) + "\"";
    if (project.widescreen && k < project.drawnWide.size() && project.drawnWide[k]) {
      xml += ">\n        <stream mode=\"widescreen\" id=\"" + std::to_string(k) + "\" />\n      </subpicture>\n";
    } else {
      xml += " />\n";
    }
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
      language = XmlAttributeValue(tag.substr(start, close - start));
    }
    languages.push_back(std::move(language));
  }
  return languages;
}

std::optional<FilmRecord> ProjectFilmRecord(std::string_view xml) {
  if (xml.find(kProjectMark) == std::string_view::npos) return std::nullopt;
  const std::size_t at = xml.find(kFilmRecord);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t end = xml.find('\n', at);
  const std::string line(xml.substr(at + kFilmRecord.size(), end == std::string_view::npos ? end : end - at));
  FilmRecord record;
  if (std::sscanf(line.c_str(), "%" SCNu64 " bytes, %d subpicture streams, hash %" SCNx64, &record.bytes,
                  &record.subpictureStreams, &record.subpictureHash) != 3) {
    return std::nullopt;
  }
  return record;
}

bool ProjectNamesFilm(std::string_view xml, std::string_view filmPath) {
  if (xml.find(kProjectMark) == std::string_view::npos) return false;
  const std::string vob = std::string(kVobFileAttribute) + XmlAttributeText(filmPath) + "\"";
  return xml.find(vob) != std::string_view::npos;
}

}  // namespace quillet
