// "quillet mux": subtitle files converted and added to a DVD video as subpicture streams, with the palette file
// and the dvdauthor project that make it a disc in the right colours.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "job/named_command_line.h"

namespace quillet {

// The names written beside the program stream OUT: OUT without its extension, then ".palette" and
// ".dvdauthor.xml" ("film.mpg" gives "film.palette" and "film.dvdauthor.xml").
struct MuxOutputNames {
  std::string film;
  std::string palette;
  std::string project;
};
MuxOutputNames MuxOutputNamesFor(const std::string& film);

// Runs "quillet mux" on the arguments after its name and returns the exit status (named_run.h's). Everything
// the run refuses or fails on is refused before or instead of writing: no output takes its name unless all three
// are complete. Progress goes to `err` while `errIsTerminal`.
int RunMuxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

struct MuxFailure;

// What a command that speaks another program's language asks of the mux beyond the named options.
struct MuxFront {
  std::string name = "quillet mux";  // starts the progress line
  int streamNumber = -1;             // the new stream must be the film's subpicture stream of this number (0-based)
  std::optional<bool> widescreen;    // the film was said to be 16:9 (true) or 4:3 (false)
  // Colours (0xRRGGBB) the generic palette's text and outline entries take, its antialias entry a third of the
  // way from the outline to the text.
  std::optional<uint32_t> textColour;
  std::optional<uint32_t> outlineColour;
  bool forced = false;  // every unit shown whether or not the viewer turned subtitles on
  // The film's own subpicture streams keep the colours the film tells dvdauthor for them (another run may have
  // drawn them in other colours), rather than taking this run's palette.
  bool keepFilmColours = false;
  // In place of the progress line: the film's bytes copied, its size, and how long it plays (0: unknown).
  std::function<void(uint64_t done, uint64_t total, int64_t duration90k)> progress;
  // The palette file and the project beside the film are for the user: the "wrote" line and the dvdauthor command on
  // `out`, and notices about the project (false: they are thrown away with the temporary folder).
  bool report = true;
};

// The mux on options already read (files: the video, then the subtitles; muxOutput set). Notices are collected in
// `notices`, not printed. Returns why nothing was written, if so.
std::optional<MuxFailure> RunMuxJob(NamedOptions& options, const MuxFront& front, std::ostream& out, std::ostream& err,
                                    bool errIsTerminal, std::vector<std::string>& notices);

}  // namespace quillet
