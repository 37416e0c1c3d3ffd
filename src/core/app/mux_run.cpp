// "quillet mux": subtitle files converted and added to a DVD video as subpicture streams, with the palette file
// and the dvdauthor project that make it a disc in the right colours.
#include "app/mux_run.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "app/named_run.h"
#include "app/named_run_setup.h"
#include "app/progress_line.h"
#include "app/usage.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "base/output_file.h"
#include "base/output_format.h"
#include "base/output_set.h"
#include "base/whole_file.h"
#include "mux/dvdauthor_project.h"
#include "mux/subpicture_muxer.h"
#include "run/output_files.h"
#include "run/run_notice.h"
#include "run/worker_count.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A project beside an earlier output is small; anything larger is not one of ours.
constexpr uint64_t kMaxProjectBytes = 1 << 20;

// A failure that ends the command; `usage` marks the command line's fault (exit status 2).
struct MuxFailure {
  bool usage = false;
  std::string message;
};

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// Whether two names are one file: the same file on disk, or (for a file not there yet) the same place.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(LinkedPath(a), LinkedPath(b), ec) && !ec) return true;
  return AbsolutePath(LinkedPath(a)) == AbsolutePath(LinkedPath(b));
}

// A name for a message, its control characters shown as \xNN so that it cannot move the terminal's cursor.
std::string ShownName(const std::string& name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    shown += escaped;
  }
  return shown;
}

std::string EntryList(const std::vector<int>& entries) {
  std::string text;
  const std::size_t shown = std::min<std::size_t>(entries.size(), RunNotice::kListedEntries);
  for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + std::to_string(entries[i]);
  if (shown < entries.size()) text += " and " + std::to_string(entries.size() - shown) + " more";
  return text;
}

// The project an earlier mux wrote beside `video`, when there is one of ours that describes this very film; a notice
// when there is a project that describes another (a later run's film put in place without its project, say).
std::optional<std::string> ProjectOfFilm(const std::string& video, const ProgramStreamInfo& film,
                                         std::vector<std::string>& notices) {
  std::optional<std::string> xml;
  try {
    xml = ReadWholeFileIfPresent(MuxOutputNamesFor(video).project, kMaxProjectBytes);
  } catch (const std::exception&) {
    xml.reset();  // unreadable: told by the caller like a missing one
  }
  if (!xml || !ProjectSubpictureLanguages(*xml)) return std::nullopt;
  const FilmRecord described{film.bytes, film.subpictureStreams, film.subpictureHash};
  if (ProjectFilmRecord(*xml) != described) {
    notices.push_back(video + ": the project beside it, " + MuxOutputNamesFor(video).project +
                      ", was written for another film (not this one of " + std::to_string(film.bytes) +
                      " bytes), so its languages are not used");
    return std::nullopt;
  }
  return xml;
}

// The languages of the film's own subpicture streams, from the project an earlier mux wrote beside it; empty codes
// (and a notice) for streams that no such project names with a valid code.
std::vector<std::string> EarlierLanguages(const std::string& video, const ProgramStreamInfo& film,
                                          std::vector<std::string>& notices) {
  const int streams = film.subpictureStreams;
  if (streams == 0) return {};
  std::optional<std::vector<std::string>> languages;
  if (const std::optional<std::string> xml = ProjectOfFilm(video, film, notices)) {
    languages = ProjectSubpictureLanguages(*xml);
  }
  if (languages && static_cast<int>(languages->size()) == streams) {
    for (std::string& language : *languages) {
      if (language.empty()) continue;
      const std::optional<std::string> code = NormaliseVobSubLanguage(language);
      if (!code) notices.push_back(video + ": its project names a language \"" + language + "\" that is no two-letter code; the project lists that stream without one");
      language = code.value_or("");
    }
    return *languages;
  }
  notices.push_back(video + ": no project beside it names the language of " +
                    (streams == 1 ? std::string("its subpicture stream; the project lists it")
                                  : "its " + std::to_string(streams) + " subpicture streams; the project lists them") +
                    " without one");
  return std::vector<std::string>(static_cast<std::size_t>(streams));
}

// The mux's progress line: the film's bytes copied, then, while the new files go to disk, that they do (the copy
// ends before its bytes are safe).
class MuxProgressLine {
 public:
  MuxProgressLine(std::ostream& err, bool shown) : m_line(err, shown) {}
  void Copied(uint64_t done, uint64_t total) {
    const Clock::time_point now = Clock::now();
    if (now - m_last < std::chrono::milliseconds(250)) return;
    m_last = now;
    const int percent = total ? static_cast<int>(std::min<uint64_t>(done * 100 / total, 99)) : 99;
    Show("quillet mux: " + std::to_string(done >> 20) + " of " + std::to_string(total >> 20) + " MB copied (" +
         std::to_string(percent) + "%)");
  }
  void Syncing() { Show("quillet mux: copied; putting the files on disk"); }
  void Wipe() { m_line.Wipe(); }

 private:
  void Show(const std::string& text) {
    const long seconds = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - m_start).count());
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, ", %ld:%02ld elapsed", seconds / 60, seconds % 60);
    m_line.Show(text + elapsed);
  }

  ProgressLine m_line;
  const Clock::time_point m_start = Clock::now();
  Clock::time_point m_last{};
};

// Every input that no output may replace, and outputs that would replace each other or that dvdauthor would not
// take for files.
std::optional<MuxFailure> OutputOverAnInput(const NamedOptions& options, const MuxOutputNames& names) {
  if (names.film.ends_with('|')) {
    return MuxFailure{true, "-o: " + names.film + " ends in '|', which would make dvdauthor run it as a command"};
  }
  for (const std::string* name : {&names.film, &names.palette}) {
    if (const std::string problem = XmlTextProblem(AbsolutePath(*name)); !problem.empty()) {
      return MuxFailure{true, "-o: the project cannot name " + ShownName(AbsolutePath(*name)) + ": " + problem};
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

// Converts one subtitle file into its track as convert converts it; throws QuilletError with the reason.
SubpictureTrack ConvertTrack(const NamedRunSetup& setup, const std::string& path, FontEnginePerThread& engines,
                             std::vector<std::string>& notices) {
  SubpictureTrack track;
  std::atomic<long> entriesDone{0};
  const int workers = LookAheadWorkers(setup.options.jobs > 0 ? setup.options.jobs : UsableProcessorCount());
  const FileOutcome outcome = ConvertSubtitleFile(
      setup, path, engines, workers, entriesDone, [&track](int entryIndex, uint32_t pts90k, std::span<const uint8_t> unit) {
        track.units.push_back({entryIndex, pts90k, std::vector<uint8_t>(unit.begin(), unit.end())});
      });
  for (const std::string& notice : outcome.notices) notices.push_back(path + ": " + notice);
  if (!outcome.ok) throw QuilletError(outcome.message);
  KeepUnitsApart(track);
  return track;
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
    return MuxFailure{false, ifo + ": its palette has no greys to draw the subtitles with; the generic grey palette "
                             "would replace it and the " + std::to_string(film.subpictureStreams) +
                                 " subpicture stream(s) " + video + " carries would change colour. Give --colors "
                                 "A,O,T,B (entries 0-15 of that palette for antialias, outline, text and background; "
                                 "the palette stays as it is) or --generic (replace it)"};
  }
  notices.push_back(ifo + ": its palette has no greys to draw the subtitles with; the generic grey palette is used "
                          "and replaces it on the disc (--colors A,O,T,B keeps it and uses the entries named)");
  return std::nullopt;
}

// The dvdauthor project of the film: its earlier streams' languages, then one per new subtitle. Says so when the
// film's earlier palette file differs from this run's palette.
DvdauthorProject ProjectFor(const std::string& video, const ProgramStreamInfo& film, const MuxOutputNames& names,
                            const NamedOptions& options, std::size_t newStreams, const std::string& paletteText,
                            std::vector<std::string>& notices) {
  DvdauthorProject project{AbsolutePath(names.film), AbsolutePath(names.palette), film.standard,
                           EarlierLanguages(video, film, notices), {}, false, {}};
  project.widescreen = film.widescreen;
  project.drawnWide.assign(project.languages.size(), false);  // the film's own: drawn by whom, for what, unknown
  for (std::size_t k = 0; k < newStreams; ++k) {
    project.languages.push_back(k < options.languages.size() ? options.languages[k]
                                                             : std::string(kDefaultVobSubLanguage));
    project.drawnWide.push_back(true);
  }
  if (film.subpictureStreams > 0) {
    const auto earlier = ReadWholeFileIfPresent(MuxOutputNamesFor(video).palette, kMaxProjectBytes);
    if (earlier && *earlier != paletteText) {
      notices.push_back(video +
                        ": its palette file differs from this run's palette; the disc shows every "
                        "subpicture stream in this run's colours, so its earlier streams may look wrong "
                        "(add streams to one film with the same --ifo or --generic)");
    }
  }
  return project;
}

// Writes the film, its palette file and its project under temporary names and puts them in place together: every
// file on disk before any takes its name; the project last: it names the other two, so it never stands beside a
// film or palette it does not describe.
MuxResult WriteMuxOutputs(SubpictureMuxer& muxer, const std::vector<SubpictureTrack>& tracks,
                          const std::array<uint32_t, 16>& colours, const MuxOutputNames& names,
                          const std::string& paletteText, DvdauthorProject project, MuxProgressLine& progress) {
  OutputFile filmFile(names.film);
  OutputFile paletteFile(names.palette);
  OutputFile projectFile(names.project);
  filmFile.Open();
  MuxResult result;
  result = muxer.Write(tracks, colours, filmFile, [&](uint64_t done, uint64_t total) { progress.Copied(done, total); });
  project.film = {result.filmBytes, static_cast<int>(project.languages.size()), result.filmSubpictureHash};
  paletteFile.Open();
  paletteFile.Write(paletteText);
  projectFile.Open();
  projectFile.Write(DvdauthorProjectXml(project));
  progress.Syncing();
  OutputFile* const files[] = {&filmFile, &paletteFile, &projectFile};
  CommitOutputs(files);
  progress.Wipe();
  return result;
}

// What the written film leaves out (entries after the video's end, streams a DVD cannot hold) and where its clock
// was continued.
void AddMuxNotices(const MuxResult& result, const std::string& video, const ProgramStreamInfo& film,
                   const std::vector<std::string>& subtitles, std::vector<std::string>& notices) {
  const auto clock = [&](int64_t time90k) { return ClockTime(static_cast<double>(time90k - film.videoStart90k) / 90.0); };
  for (const ClockJump& jump : result.clockJumps) {
    notices.push_back(video + ": its clock starts again at byte " + std::to_string(jump.byte) + ", " +
                      clock(jump.continued90k) +
                      " into the film (as where two films were joined); the copy continues it, as ffmpeg's does, "
                      "and the subtitles are timed on the continued clock");
  }
  for (std::size_t t = 0; t < subtitles.size(); ++t) {
    if (result.entriesAfterVideo[t].empty()) continue;
    notices.push_back(subtitles[t] + ": " + std::to_string(result.entriesAfterVideo[t].size()) +
                      (result.entriesAfterVideo[t].size() == 1 ? " entry starts" : " entries start") +
                      " after the video ends (" + clock(result.videoEnd90k) +
                      "), where a player shows nothing; left out: entries " + EntryList(result.entriesAfterVideo[t]));
  }
  for (const std::string& dropped : result.droppedStreams) {
    notices.push_back(video + ": " + dropped + "; it was left out");
  }
}

// Says why nothing was written; the exit status.
int Refuse(std::ostream& err, const MuxFailure& failure) {
  err << (failure.usage ? "quillet mux: " : "") << failure.message << '\n';
  if (failure.usage) err << "Try 'quillet mux --help'.\n";
  err << "Nothing was written.\n" << std::flush;
  return failure.usage ? kExitUsage : kExitFailed;
}

// `word` as one shell word: as it is when it holds nothing a shell reads specially, else in single quotes.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("_./-+,:=@%").find(c) != std::string_view::npos;
  });
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// What was written, and the command that makes the disc, into a folder of its own: dvdauthor adds a title to a
// disc already in the folder it is given.
void ReportWritten(std::ostream& out, const MuxOutputNames& names, int streams, std::size_t newStreams) {
  fs::path disc(names.film);
  disc.replace_extension();
  out << names.film << ": wrote " << names.film << " (" << streams
      << (streams == 1 ? " subpicture stream, " : " subpicture streams, ") << newStreams << " new), " << names.palette
      << ", " << names.project << '\n'
      << "Make the disc in a new folder (dvdauthor adds a title to a disc already there) with: dvdauthor -o "
      << ShellWord(disc.string() + "_DVD") << " -x " << ShellWord(names.project) << '\n';
}

// Every subtitle converted into its track; the failure of the first that cannot be.
std::optional<MuxFailure> ConvertTracks(const NamedRunSetup& setup, const std::vector<std::string>& subtitles,
                                        FontEnginePerThread& engines, std::vector<SubpictureTrack>& tracks,
                                        std::vector<std::string>& notices) {
  for (const std::string& subtitle : subtitles) {
    try {
      tracks.push_back(ConvertTrack(setup, subtitle, engines, notices));
    } catch (const std::exception& e) {
      return MuxFailure{false, subtitle + ": " + OneLine(e.what())};
    }
  }
  return std::nullopt;
}

// The command once its line is accepted: reads the film, converts the subtitles, writes the three files.
std::optional<MuxFailure> MuxFilm(NamedOptions& options, const MuxOutputNames& names, std::ostream& out,
                                  std::ostream& err, bool errIsTerminal, std::vector<std::string>& notices) {
  const std::string& video = options.files.front();
  const std::vector<std::string> subtitles(options.files.begin() + 1, options.files.end());
  SubpictureMuxer muxer(video);
  const ProgramStreamInfo& film = muxer.Info();
  if (auto refused = TooManyStreams(video, film, static_cast<int>(subtitles.size()))) return refused;
  // Without a word on the frame the film decides it; a frame that was decided must be the film's.
  if (options.job.haveifo && !options.standardGiven) options.job.pal = film.standard == VideoStandard::Pal;

  FontEnginePerThread engines;
  SetupError setupError;
  NamedRunSetup setup = PrepareNamedRun(options, engines.ForThisThread(), setupError);
  if (!setupError.message.empty()) return MuxFailure{setupError.usage, setupError.message};
  if (auto refused = WrongFrame(video, film, options, setup.render.standard)) return refused;
  if (auto refused = KeepDiscColours(video, film, options, setup, notices)) return refused;
  std::vector<SubpictureTrack> tracks;
  if (auto refused = ConvertTracks(setup, subtitles, engines, tracks, notices)) return refused;

  const std::string paletteText = DvdauthorPaletteText(setup.paletteYCrCb);
  const DvdauthorProject project = ProjectFor(video, film, names, options, subtitles.size(), paletteText, notices);
  MuxProgressLine progress(err, errIsTerminal && !options.quiet);
  const MuxResult result = WriteMuxOutputs(muxer, tracks, setup.paletteYCrCb, names, paletteText, project, progress);
  AddMuxNotices(result, video, film, subtitles, notices);
  if (!options.quiet) {
    ReportWritten(out, names, film.subpictureStreams + static_cast<int>(subtitles.size()), subtitles.size());
  }
  return std::nullopt;
}

}  // namespace

MuxOutputNames MuxOutputNamesFor(const std::string& film) {
  fs::path stem(film);
  if (stem.has_extension()) stem.replace_extension();
  return {film, stem.string() + ".palette", stem.string() + ".dvdauthor.xml"};
}

int RunMuxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  const NamedParse parse = ParseNamedCommandLine(NamedCommand::Mux, args);
  if (parse.help || parse.version) {
    out << (parse.help ? NamedCommandUsage(NamedCommand::Mux) : ProgramVersionLine()) << std::flush;
    return kExitOk;
  }
  if (!parse.error.empty()) return Refuse(err, {true, parse.error});
  NamedOptions options = parse.options;
  const MuxOutputNames names = MuxOutputNamesFor(options.muxOutput);
  if (auto clash = OutputOverAnInput(options, names)) return Refuse(err, *clash);
  if (auto foreign = ForeignMuxOutput(names)) return Refuse(err, *foreign);

  SilenceLibavLog();
  std::vector<std::string> notices;
  std::optional<MuxFailure> failure;
  try {
    failure = MuxFilm(options, names, out, err, errIsTerminal, notices);
  } catch (const std::exception& e) {
    failure = MuxFailure{false, OneLine(e.what())};
  }
  for (const std::string& notice : notices) err << notice << '\n';
  if (failure) return Refuse(err, *failure);
  err << std::flush;
  out << std::flush;
  return kExitOk;
}

}  // namespace quillet
