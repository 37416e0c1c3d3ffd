// "quillet mux": what the command refuses before it writes anything.
#include "app/mux_checks.h"

#include <filesystem>

#include "base/file_paths.h"
#include "base/output_file.h"
#include "base/shown_text.h"
#include "base/whole_file.h"
#include "mux/dvdauthor_project.h"
#include "run/output_files.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// Every input that no output may replace, and outputs that would replace each other or that dvdauthor would not
// take for files.
std::optional<MuxFailure> OutputOverAnInput(const NamedOptions& options, const MuxOutputNames& names) {
  if (names.film.ends_with('|')) {
    return MuxFailure{true, "-o: " + names.film + " ends in '|', which would make dvdauthor run it as a command"};
  }
  for (const std::string* name : {&names.film, &names.palette}) {
    if (const std::string problem = XmlTextProblem(AbsolutePath(*name)); !problem.empty()) {
      return MuxFailure{true, "-o: the project cannot name " + EscapeControls(AbsolutePath(*name)) + ": " + problem};
    }
  }
  if (SameFile(names.film, names.palette) || SameFile(names.film, names.project)) {
    return MuxFailure{true, "-o: " + names.film + " is the name of its own palette or project file; name it .mpg"};
  }
  std::vector<std::string> inputs = options.files;
  if (!options.job.haveifo) inputs.push_back(options.job.filenameifo);
  for (const std::string* output : {&names.film, &names.palette, &names.project}) {
    for (const std::string& input : inputs) {
      if (SameFile(*output, input)) {
        return MuxFailure{
            true, "-o: " + *output + " would be written over the input " + input + "; give the output another name"};
      }
    }
  }
  return std::nullopt;
}

// An output name taken by a file an earlier "quillet mux" did not write there: a project must carry this program's
// mark, a palette counts only beside such a project, and a film only when that project names it. Anything else is
// somebody's film or project and is not written over.
std::optional<MuxFailure> ForeignMuxOutput(const MuxOutputNames& names) {
  const bool projectTaken = IsNonEmptyRegularFile(names.project);
  std::optional<std::string> project;
  if (projectTaken) {
    try {
      project = ReadWholeFile(names.project, kMaxProjectBytes);
    } catch (const std::exception&) {
      project.reset();  // unreadable or too large: not one of ours
    }
  }
  const bool projectOurs = project && ProjectSubpictureLanguages(*project);
  const auto refusal = [](const std::string& path, const std::string& reason) {
    return MuxFailure{false, path + " exists and " + reason + "; it is not written over (use -o OTHER.mpg)"};
  };
  if (projectTaken && !projectOurs) return refusal(names.project, "is not a dvdauthor project this program wrote");
  if (IsNonEmptyRegularFile(names.palette) && !projectOurs) {
    return refusal(names.palette, "is not a palette file this program wrote beside its project");
  }
  if (IsNonEmptyRegularFile(names.film) && !(projectOurs && ProjectNamesFilm(*project, AbsolutePath(names.film)))) {
    return refusal(names.film, "is not a film this program wrote (no project of this program beside it names it)");
  }
  return std::nullopt;
}

// A film with too many subpicture streams for a title once the subtitles join them.
std::optional<MuxFailure> TooManyStreams(const std::string& video, const ProgramStreamInfo& film, int newStreams) {
  const int streams = film.subpictureStreams + newStreams;
  if (streams <= kMaxSubpictureStreams) return std::nullopt;
  return MuxFailure{false, video + ": it carries " + std::to_string(film.subpictureStreams) +
                               " subpicture streams; with " + std::to_string(newStreams) + " more it would have " +
                               std::to_string(streams) + ", and a DVD title holds at most " +
                               std::to_string(kMaxSubpictureStreams)};
}

// Subpictures made for the other frame size than the film's.
std::optional<MuxFailure> WrongFrame(const std::string& video, const ProgramStreamInfo& film,
                                     const NamedOptions& options, VideoStandard subpictures) {
  if (subpictures != film.standard) {
    const auto name = [](VideoStandard s) { return s == VideoStandard::Pal ? "PAL" : "NTSC"; };
    const std::string source =
        options.job.haveifo ? (options.job.pal ? "--pal" : "--ntsc") : "the IFO " + options.job.filenameifo;
    return MuxFailure{false, video + ": the video is " + name(film.standard) + " (" + std::to_string(film.width) + "x" +
                                 std::to_string(film.height) + "), but " + source + " makes " + name(subpictures) +
                                 " subpictures; they would show in the wrong place"};
  }
  return std::nullopt;
}

/*
 * An IFO whose palette has no greys to draw with (a disc whose own subtitles are yellow on blue): the generic
 * palette would replace the disc's on the title, and the film's own subpicture streams would change colour. With
 * --colors the IFO's palette stays, and the subtitles use the entries named; without, a film that carries
 * subpicture streams is refused, and one that carries none gets the generic palette, told. The setup's notices
 * (for convert, pointing to an instruction file mux does not write) are replaced.
 */
std::optional<MuxFailure> KeepDiscColours(const std::string& video, const ProgramStreamInfo& film,
                                          const NamedOptions& options, NamedRunSetup& setup,
                                          std::vector<std::string>& notices) {
  if (setup.reportCase != ReportCase::MonochromaticIfo) {
    for (const std::string& notice : setup.notices) notices.push_back(notice);
    return std::nullopt;
  }
  const std::string& ifo = options.job.filenameifo;
  if (options.coloursGiven) {
    setup.paletteYCrCb = setup.replacedIfoYCrCb;
    notices.push_back(ifo + ": its palette has no greys; it stays as it is and the subtitles use its entries " +
                      std::to_string(setup.roles.antialias) + "," + std::to_string(setup.roles.outline) + "," +
                      std::to_string(setup.roles.text) + "," + std::to_string(setup.roles.background) +
                      " (antialias, outline, text, background) as --colors says");
    return std::nullopt;
  }
  if (film.subpictureStreams > 0) {
    return MuxFailure{false, ifo +
                                 ": its palette has no greys to draw the subtitles with; the generic grey palette "
                                 "would replace it and the " +
                                 std::to_string(film.subpictureStreams) + " subpicture stream(s) " + video +
                                 " carries would change colour. Give --colors "
                                 "A,O,T,B (entries 0-15 of that palette for antialias, outline, text and background; "
                                 "the palette stays as it is) or --generic (replace it)"};
  }
  notices.push_back(ifo +
                    ": its palette has no greys to draw the subtitles with; the generic grey palette is used "
                    "and replaces it on the disc (--colors A,O,T,B keeps it and uses the entries named)");
  return std::nullopt;
}

}  // namespace quillet
