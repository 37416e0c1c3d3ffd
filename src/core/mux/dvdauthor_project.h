// What dvdauthor needs beside a muxed film: the palette file and a one-title project naming the film, the
// palette and the subpicture streams.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/frame.h"

namespace quillet {

// dvdauthor's palette file: 16 lines of six upper-case hexadecimal digits, each entry's Y Cr Cb exactly as the
// title's colour table stores it (bits 23-16 Y, 15-8 Cr, 7-0 Cb; the top byte is left out).
std::string DvdauthorPaletteText(const std::array<uint32_t, 16>& entries);

struct DvdauthorProject {
  std::string filmPath;     // absolute: dvdauthor reads names from the folder it runs in
  std::string palettePath;  // absolute, and not ending in ".rgb" (that would make dvdauthor read RGB)
  VideoStandard standard = VideoStandard::Pal;
  // One per subpicture stream in stream order: a two-letter code, or empty for a stream of unknown language.
  std::vector<std::string> languages;
};

// The project as dvdauthor's XML control file: one title set with one title whose program chain plays the film
// with the palette. `dvdauthor -o DVD -x FILE` makes the disc; the file names no destination of its own.
std::string DvdauthorProjectXml(const DvdauthorProject& project);

// The languages of the title's subpicture streams in a project this program wrote, in stream order (empty
// codes for streams listed without one); nothing when `xml` is not such a project.
std::optional<std::vector<std::string>> ProjectSubpictureLanguages(std::string_view xml);

// Whether `xml` is a project this program wrote whose title plays the film at `filmPath` (absolute, as the project
// names it).
bool ProjectNamesFilm(std::string_view xml, std::string_view filmPath);

// `text` with the five characters XML reserves written as entities, for an attribute value in double quotes.
std::string XmlAttributeText(std::string_view text);

}  // namespace quillet
