// "quillet mux": subtitle files converted and added to a DVD video as subpicture streams, with the palette file
// and the dvdauthor project that make it a disc in the right colours.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

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

}  // namespace quillet
