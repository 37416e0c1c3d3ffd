// spumux's configuration for text subtitles (<subpictures><stream><textsub …/></stream></subpictures>), as the
// authoring programs write it, read into the options of a mux run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/mux_run.h"
#include "job/named_command_line.h"

namespace quillet {

// A colour as spumux reads one: a name ("white", "green"), #RGB or #RRGGBB (or more digits, a multiple of three),
// gray(v), rgb(r,g,b), rgba(r,g,b,a), components as 0..255 or percentages. 0xAARRGGBB; empty when it is none.
std::optional<uint32_t> ParseSpumuxColour(std::string_view text);

// What one configuration asks for.
struct SpumuxJob {
  NamedOptions options;              // files: the subtitle file alone; the film and the output are the run's
  MuxFront front;                    // colours, forced display, the aspect the film was said to have
  std::string characterSet;          // the iconv name of the subtitle file's text; empty: UTF-8 (read as it is)
  std::vector<std::string> notices;  // values drawn otherwise than asked (a font size between two sizes)
};

// The job, or `error`: a message naming the element or attribute and what is wrong with it (unknown ones, those
// of image subpictures, and effects this program does not draw, such as shadows, are refused).
struct SpumuxParse {
  std::optional<SpumuxJob> job;
  std::string error;
};
SpumuxParse ReadSpumuxConfig(std::string_view xml);

// spumux's options as the authoring programs give them.
struct SpumuxArguments {
  std::string config;         // the configuration file
  int stream = 0;             // -s: the subpicture stream to add, 0 to 31
  bool byteProgress = false;  // -P: "INFO: N bytes of data written" lines besides the "STAT:" ones
  bool help = false;
  std::string error;  // not empty: the command line is refused, for this reason
};
SpumuxArguments ParseSpumuxArguments(const std::vector<std::string>& args);

}  // namespace quillet
