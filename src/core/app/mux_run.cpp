// "quillet mux": subtitle files converted and added to a DVD video as subpicture streams, with the palette file
// and the dvdauthor project that make it a disc in the right colours.
#include "app/mux_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "app/named_run.h"
#include "app/named_run_setup.h"
#include "app/usage.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "base/output_file.h"
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

std::string EntryList(const std::vector<int>& entries) {
  std::string text;
  const std::size_t shown = std::min<std::size_t>(entries.size(), RunNotice::kListedEntries);
  for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + std::to_string(entries[i]);
  if (shown < entries.size()) text += " and " + std::to_string(entries.size() - shown) + " more";
  return text;
}

// The languages of the film's own subpicture streams, from the project an earlier mux wrote beside it; empty codes
// (and a notice) when there is none that lists them all.
std::vector<std::string> EarlierLanguages(const std::string& video, int streams, std::vector<std::string>& notices) {
  if (streams == 0) return {};
  std::optional<std::vector<std::string>> languages;
  try {
    if (const auto xml = ReadWholeFileIfPresent(MuxOutputNamesFor(video).project, kMaxProjectBytes)) {
      languages = ProjectSubpictureLanguages(*xml);
    }
  } catch (const std::exception&) {
    languages.reset();  // unreadable: told below like a missing one
  }
  if (languages && static_cast<int>(languages->size()) == streams) return *languages;
  notices.push_back(video + ": no project beside it names the language of " +
                    (streams == 1 ? std::string("its subpicture stream; the project lists it")
                                  : "its " + std::to_string(streams) + " subpicture streams; the project lists them") +
                    " without one");
  return std::vector<std::string>(static_cast<std::size_t>(streams));
}

class ProgressLine {
 public:
  ProgressLine(std::ostream& err, bool shown) : m_err(err), m_shown(shown) {}
  void Show(uint64_t done, uint64_t total) {
    if (!m_shown) return;
    const Clock::time_point now = Clock::now();
    if (done < total && now - m_last < std::chrono::milliseconds(250)) return;
    m_last = now;
    const long seconds = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(now - m_start).count());
    char text[160];
    std::snprintf(text, sizeof text, "quillet mux: %llu of %llu MB copied (%d%%), %ld:%02ld elapsed",
                  static_cast<unsigned long long>(done >> 20), static_cast<unsigned long long>(total >> 20),
                  total ? static_cast<int>(done * 100 / total) : 100, seconds / 60, seconds % 60);
    m_err << "\r\033[K" << text << std::flush;
    m_drawn = true;
  }
  void Wipe() {
    if (m_drawn) m_err << "\r\033[K" << std::flush;
    m_drawn = false;
  }

 private:
  std::ostream& m_err;
  const bool m_shown;
  bool m_drawn = false;
  const Clock::time_point m_start = Clock::now();
  Clock::time_point m_last{};
};

// Every input that no output may replace, and outputs that would replace each other or that dvdauthor would not
// take for files.
std::optional<MuxFailure> OutputOverAnInput(const NamedOptions& options, const MuxOutputNames& names) {
  if (names.film.ends_with('|')) {
    return MuxFailure{true, "-o: " + names.film + " ends in '|', which would make dvdauthor run it as a command"};
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

// Converts one subtitle file into its track; throws MuxFailure-worthy QuilletError messages naming the entry.
SubpictureTrack ConvertTrack(const NamedRunSetup& setup, const std::string& path, FontEnginePerThread& engines,
                             std::vector<std::string>& notices) {
  std::vector<std::string> readerNotices;
  TSubtitle document = ReadSubtitleForRun(path, setup.characters, readerNotices, setup.options);
  for (const std::string& notice : readerNotices) notices.push_back(path + ": " + notice);
  const RenderSettings render = setup.Render(document.UnicodeText);
  if (std::string tooWide = FitLinesForRun(document, engines.ForThisThread(), render, setup.options.wrap);
      !tooWide.empty()) {
    throw QuilletError(tooWide);
  }
  DocumentJobOutputs outputs;
  outputs.palette = setup.paletteEntries;
  outputs.workerThreads = LookAheadWorkers(setup.options.jobs > 0 ? setup.options.jobs : UsableProcessorCount());
  GenerationJob job = DocumentGenerationJob(document, render, engines, outputs);
  SubpictureTrack track;
  track.units.reserve(static_cast<std::size_t>(document.Count()));
  job.unitOut = [&track](int entryIndex, uint32_t pts90k, std::span<const uint8_t> unit) {
    track.units.push_back({entryIndex, pts90k, std::vector<uint8_t>(unit.begin(), unit.end())});
  };
  const GenerationOutcome run = RunGeneration(job, {});
  if (run.status != GenerationStatus::Completed) throw QuilletError(OneLine(run.message));
  for (const std::string& line : run.notice.Lines()) notices.push_back(path + ": " + line);
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

// The dvdauthor project of the film: its earlier streams' languages, then one per new subtitle. Says so when the
// film's earlier palette file differs from this run's palette.
DvdauthorProject ProjectFor(const std::string& video, const ProgramStreamInfo& film, const MuxOutputNames& names,
                            const NamedOptions& options, std::size_t newStreams, const std::string& paletteText,
                            std::vector<std::string>& notices) {
  DvdauthorProject project{AbsolutePath(names.film), AbsolutePath(names.palette), film.standard,
                           EarlierLanguages(video, film.subpictureStreams, notices)};
  for (std::size_t k = 0; k < newStreams; ++k) {
    project.languages.push_back(k < options.languages.size() ? options.languages[k]
                                                             : std::string(kDefaultVobSubLanguage));
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
                          const MuxOutputNames& names, const std::string& paletteText, const DvdauthorProject& project,
                          ProgressLine& progress) {
  OutputFile filmFile(names.film);
  OutputFile paletteFile(names.palette);
  OutputFile projectFile(names.project);
  filmFile.Open();
  MuxResult result;
  try {
    result = muxer.Write(tracks, filmFile, [&](uint64_t done, uint64_t total) { progress.Show(done, total); });
  } catch (...) {
    progress.Wipe();
    throw;
  }
  progress.Wipe();
  paletteFile.Open();
  paletteFile.Write(paletteText);
  projectFile.Open();
  projectFile.Write(DvdauthorProjectXml(project));
  OutputFile* const files[] = {&filmFile, &paletteFile, &projectFile};
  CommitOutputs(files);
  return result;
}

// What the written film leaves out: entries after the video's end, streams a DVD cannot hold.
void AddMuxNotices(const MuxResult& result, const std::string& video, const ProgramStreamInfo& film,
                   const std::vector<std::string>& subtitles, std::vector<std::string>& notices) {
  for (std::size_t t = 0; t < subtitles.size(); ++t) {
    if (result.entriesAfterVideo[t].empty()) continue;
    notices.push_back(subtitles[t] + ": " + std::to_string(result.entriesAfterVideo[t].size()) +
                      (result.entriesAfterVideo[t].size() == 1 ? " entry starts" : " entries start") +
                      " after the video ends (" + ClockTime(static_cast<double>(result.videoEnd90k - film.videoStart90k) / 90.0) +
                      "), so a player shows nothing of it; written all the same: entries " +
                      EntryList(result.entriesAfterVideo[t]));
  }
  for (const std::string& dropped : result.droppedStreams) {
    notices.push_back(video + ": " + dropped + " is not a DVD stream and was left out");
  }
}

}  // namespace

MuxOutputNames MuxOutputNamesFor(const std::string& film) {
  fs::path stem(film);
  if (stem.has_extension()) stem.replace_extension();
  return {film, stem.string() + ".palette", stem.string() + ".dvdauthor.xml"};
}

int RunMuxCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  const std::string prefix = "quillet mux: ";
  const NamedParse parse = ParseNamedCommandLine(NamedCommand::Mux, args);
  if (parse.help) {
    out << NamedCommandUsage(NamedCommand::Mux) << std::flush;
    return kExitOk;
  }
  if (parse.version) {
    out << ProgramVersionLine() << std::flush;
    return kExitOk;
  }
  auto refuse = [&](const MuxFailure& failure) {
    err << (failure.usage ? prefix : "") << failure.message << '\n';
    if (failure.usage) err << "Try 'quillet mux --help'.\n";
    err << "Nothing was written.\n" << std::flush;
    return failure.usage ? kExitUsage : kExitFailed;
  };
  if (!parse.error.empty()) return refuse({true, parse.error});
  NamedOptions options = parse.options;
  const std::string& video = options.files.front();
  const std::vector<std::string> subtitles(options.files.begin() + 1, options.files.end());
  const MuxOutputNames names = MuxOutputNamesFor(options.muxOutput);
  if (auto clash = OutputOverAnInput(options, names)) return refuse(*clash);
  if (auto foreign = ForeignMuxOutput(names)) return refuse(*foreign);

  SilenceLibavLog();
  std::vector<std::string> notices;
  try {
    SubpictureMuxer muxer(video);
    const ProgramStreamInfo& film = muxer.Info();
    const int streams = film.subpictureStreams + static_cast<int>(subtitles.size());
    if (auto refused = TooManyStreams(video, film, static_cast<int>(subtitles.size()))) return refuse(*refused);
    // Without a word on the frame the film decides it; a frame that was decided must be the film's.
    const bool genericPalette = options.job.haveifo;
    if (genericPalette && !options.standardGiven) options.job.pal = film.standard == VideoStandard::Pal;

    FontEnginePerThread engines;
    SetupError setupError;
    const NamedRunSetup setup = PrepareNamedRun(options, engines.ForThisThread(), setupError);
    if (!setupError.message.empty()) return refuse({setupError.usage, setupError.message});
    if (auto refused = WrongFrame(video, film, options, setup.render.standard)) return refuse(*refused);
    for (const std::string& notice : setup.notices) notices.push_back(notice);

    std::vector<SubpictureTrack> tracks;
    for (const std::string& subtitle : subtitles) {
      try {
        tracks.push_back(ConvertTrack(setup, subtitle, engines, notices));
      } catch (const std::exception& e) {
        for (const std::string& notice : notices) err << notice << '\n';
        return refuse({false, subtitle + ": " + OneLine(e.what())});
      }
    }

    const std::string paletteText = DvdauthorPaletteText(setup.paletteYCrCb);
    const DvdauthorProject project = ProjectFor(video, film, names, options, subtitles.size(), paletteText, notices);
    ProgressLine progress(err, errIsTerminal && !options.quiet);
    const MuxResult result = WriteMuxOutputs(muxer, tracks, names, paletteText, project, progress);
    AddMuxNotices(result, video, film, subtitles, notices);
    for (const std::string& notice : notices) err << notice << '\n';
    if (!options.quiet) {
      out << names.film << ": wrote " << names.film << " (" << streams
          << (streams == 1 ? " subpicture stream, " : " subpicture streams, ") << subtitles.size() << " new), "
          << names.palette << ", " << names.project << '\n'
          << "Make the disc with: dvdauthor -o DVD -x " << names.project << '\n';
    }
    err << std::flush;
    out << std::flush;
    return kExitOk;
  } catch (const std::exception& e) {
    for (const std::string& notice : notices) err << notice << '\n';
    return refuse({false, OneLine(e.what())});
  }
}

}  // namespace quillet
