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

// What a project records of the film it was written beside: enough to tell that film from another one at its name
// (a later run's film whose project was never put in place, say).
struct FilmRecord {
  uint64_t bytes = 0;
  int subpictureStreams = 0;
  uint64_t subpictureHash = 0;  // the bytes of its subpicture streams hashed
  bool operator==(const FilmRecord&) const = default;
};

struct DvdauthorProject {
  std::string filmPath;     // absolute: dvdauthor reads names from the folder it runs in
  std::string palettePath;  // absolute, and not ending in ".rgb" (that would make dvdauthor read RGB)
  VideoStandard standard = VideoStandard::Pal;
  // One per subpicture stream in stream order: a two-letter code, or empty for a stream of unknown language.
  std::vector<std::string> languages;
  FilmRecord film;
  // A 16:9 title (shown whole on a wide screen, letterboxed on a 4:3 one), and by stream whether it was drawn
  // squeezed for it: such a stream is the title's widescreen subpicture stream.
  bool widescreen = false;
  std::vector<bool> drawnWide;
};

// The project as dvdauthor's XML control file: one title set with one title whose program chain plays the film
// with the palette. `dvdauthor -o DVD -x FILE` makes the disc; the file names no destination of its own.
std::string DvdauthorProjectXml(const DvdauthorProject& project);

// The languages of the title's subpicture streams in a project this program wrote, in stream order (empty
// codes for streams listed without one), as the values say them (entities decoded; not checked); nothing when
// `xml` is not such a project.
std::optional<std::vector<std::string>> ProjectSubpictureLanguages(std::string_view xml);

// The film a project this program wrote describes; nothing when it records none (or is not such a project).
std::optional<FilmRecord> ProjectFilmRecord(std::string_view xml);

// Whether `xml` is a project this program wrote whose title plays the film at `filmPath` (absolute, as the project
// names it).
bool ProjectNamesFilm(std::string_view xml, std::string_view filmPath);

// `text` with the five characters XML reserves, tab, line feed and carriage return written as references, for an
// attribute value in double quotes (a raw line end would be read as a space).
std::string XmlAttributeText(std::string_view text);

// An attribute value as written between its quotes, with its references decoded (the five named entities and
// character numbers); an unknown or malformed reference is kept as it is.
std::string XmlAttributeValue(std::string_view value);

// Why `text` cannot be put into an XML document at all ("it holds a control character", "it is not valid UTF-8",
// "it holds U+FFFE or U+FFFF"); empty when it can.
std::string XmlTextProblem(std::string_view text);

}  // namespace quillet
