// "quillet mux": subtitle files converted and added to a DVD video as subpicture streams, with the palette file
// and the dvdauthor project that make it a disc in the right colours.
#include "app/mux_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "app/mux_checks.h"
#include "app/named_run.h"
#include "app/named_run_setup.h"
#include "app/progress_line.h"
#include "app/usage.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "base/output_file.h"
#include "base/output_format.h"
#include "base/output_set.h"
#include "base/shown_text.h"
#include "base/whole_file.h"
#include "mux/dvdauthor_project.h"
#include "mux/film_input.h"
#include "mux/subpicture_muxer.h"
#include "palette/ycrcb.h"
#include "run/output_files.h"
#include "run/run_notice.h"
#include "run/worker_count.h"
#include "sup/subpicture_unit.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

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
      if (!code)
        notices.push_back(video + ": its project names a language \"" + language +
                          "\" that is no two-letter code; the project lists that stream without one");
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
  MuxProgressLine(std::ostream& err, bool shown, const MuxFront& front, int64_t duration90k)
      : m_line(err, shown), m_name(front.name), m_report(front.progress), m_duration90k(duration90k) {}
  void Copied(uint64_t done, uint64_t total) {
    if (m_report) return m_report(done, total, m_duration90k);
    const Clock::time_point now = Clock::now();
    if (now - m_last < std::chrono::milliseconds(250)) return;
    m_last = now;
    const int percent = total ? static_cast<int>(std::min<uint64_t>(done * 100 / total, 99)) : 99;
    Show(m_name + ": " + std::to_string(done >> 20) + " of " + std::to_string(total >> 20) + " MB copied (" +
         std::to_string(percent) + "%)");
  }
  void Syncing() { Show(m_name + ": copied; putting the files on disk"); }
  void Wipe() { m_line.Wipe(); }

 private:
  void Show(const std::string& text) {
    const long seconds =
        static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - m_start).count());
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, ", %ld:%02ld elapsed", seconds / 60, seconds % 60);
    m_line.Show(text + elapsed);
  }

  ProgressLine m_line;
  const std::string m_name;
  const std::function<void(uint64_t, uint64_t, int64_t)> m_report;
  const int64_t m_duration90k;
  const Clock::time_point m_start = Clock::now();
  Clock::time_point m_last{};
};

// Converts one subtitle file into its track as convert converts it; throws QuilletError with the reason.
SubpictureTrack ConvertTrack(const NamedRunSetup& setup, const std::string& path, bool forced,
                             FontEnginePerThread& engines, std::vector<std::string>& notices) {
  SubpictureTrack track;
  std::atomic<long> entriesDone{0};
  const int workers = LookAheadWorkers(setup.options.jobs > 0 ? setup.options.jobs : UsableProcessorCount());
  const FileOutcome outcome =
      ConvertSubtitleFile(setup, path, engines, workers, entriesDone,
                          [&track](int entryIndex, uint32_t pts90k, std::span<const uint8_t> unit) {
                            track.units.push_back({entryIndex, pts90k, std::vector<uint8_t>(unit.begin(), unit.end())});
                          });
  for (const std::string& notice : outcome.notices) notices.push_back(path + ": " + notice);
  if (!outcome.ok) throw QuilletError(outcome.message);
  if (forced) {
    for (TimedUnit& unit : track.units) ForceDisplay(unit.bytes);
  }
  KeepUnitsApart(track);
  return track;
}

// The dvdauthor project of the film: its earlier streams' languages, then one per new subtitle. Says so when the
// film's earlier palette file differs from this run's palette.
DvdauthorProject ProjectFor(const std::string& video, const ProgramStreamInfo& film, const MuxOutputNames& names,
                            const NamedOptions& options, std::size_t newStreams, const std::string& paletteText,
                            std::vector<std::string>& notices) {
  DvdauthorProject project{AbsolutePath(names.film),
                           AbsolutePath(names.palette),
                           film.standard,
                           EarlierLanguages(video, film, notices),
                           {},
                           false,
                           {}};
  project.widescreen = film.widescreen;
  project.drawnWide.assign(project.languages.size(), false);  // the film's own: drawn by whom, for what, unknown
  for (std::size_t k = 0; k < newStreams; ++k) {
    project.languages.push_back(k < options.languages.size() ? options.languages[k]
                                                             : std::string(kDefaultVobSubLanguage));
    project.drawnWide.push_back(options.wide);
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
  const auto clock = [&](int64_t time90k) {
    return ClockTime(static_cast<double>(time90k - film.videoStart90k) / 90.0);
  };
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

// What was written, and the command that makes the disc, into a folder of its own: dvdauthor adds a title to a
// disc already in the folder it is given.
void ReportWritten(std::ostream& out, const MuxOutputNames& names, int streams, std::size_t newStreams) {
  fs::path disc(names.film);
  disc.replace_extension();
  out << names.film << ": wrote " << names.film << " (" << streams
      << (streams == 1 ? " subpicture stream, " : " subpicture streams, ") << newStreams << " new), " << names.palette
      << ", " << names.project << '\n'
      << "Make the disc in a new folder (dvdauthor adds a title to a disc already there) with: dvdauthor -o "
      << ShellQuoted(disc.string() + "_DVD") << " -x " << ShellQuoted(names.project) << '\n';
}

// Every subtitle converted into its track; the failure of the first that cannot be.
std::optional<MuxFailure> ConvertTracks(const NamedRunSetup& setup, const std::vector<std::string>& subtitles,
                                        bool forced, FontEnginePerThread& engines, std::vector<SubpictureTrack>& tracks,
                                        std::vector<std::string>& notices) {
  for (const std::string& subtitle : subtitles) {
    try {
      tracks.push_back(ConvertTrack(setup, subtitle, forced, engines, notices));
    } catch (const std::exception& e) {
      return MuxFailure{false, subtitle + ": " + OneLine(e.what())};
    }
  }
  return std::nullopt;
}

// The colours a front asked for, in the generic palette's text, outline and antialias entries (the units are drawn
// and coded for those entries; only what the disc shows for them changes).
void ApplyFrontColours(const MuxFront& front, NamedRunSetup& setup) {
  if (!setup.options.job.haveifo) return;  // an IFO's own palette is kept
  const auto rgb = [](uint32_t c) {
    return Rgb{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)};
  };
  const Rgb text = rgb(front.textColour.value_or(0xFFFFFF));
  const Rgb outline = rgb(front.outlineColour.value_or(0x000000));
  const auto third = [](uint8_t from, uint8_t to) { return static_cast<uint8_t>((2 * from + to + 1) / 3); };
  const Rgb antialias{third(outline.r, text.r), third(outline.g, text.g), third(outline.b, text.b)};
  if (front.textColour) setup.paletteYCrCb[static_cast<std::size_t>(setup.roles.text)] = RgbToYCrCb(text);
  if (front.outlineColour) setup.paletteYCrCb[static_cast<std::size_t>(setup.roles.outline)] = RgbToYCrCb(outline);
  if (front.textColour || front.outlineColour) {
    setup.paletteYCrCb[static_cast<std::size_t>(setup.roles.antialias)] = RgbToYCrCb(antialias);
  }
}

// What a front said of the film that the film contradicts.
std::optional<MuxFailure> FrontRefusal(const std::string& video, const ProgramStreamInfo& film, const MuxFront& front) {
  if (front.streamNumber >= 0 && front.streamNumber != film.subpictureStreams) {
    return MuxFailure{true, video + ": the new subpicture stream is to be number " +
                                std::to_string(front.streamNumber) + ", but the film carries " +
                                std::to_string(film.subpictureStreams) + " subpicture stream" +
                                (film.subpictureStreams == 1 ? "" : "s") + ", so it can only be number " +
                                std::to_string(film.subpictureStreams)};
  }
  if (front.widescreen && *front.widescreen != film.widescreen) {
    return MuxFailure{true, video + ": the aspect given, " + std::string(*front.widescreen ? "16:9" : "4:3") +
                                ", is not the film's, " + (film.widescreen ? "16:9" : "4:3")};
  }
  return std::nullopt;
}

// The command once its line is accepted: reads the film, converts the subtitles, writes the three files.
std::optional<MuxFailure> MuxFilm(NamedOptions& options, const MuxFront& front, const MuxOutputNames& names,
                                  std::ostream& out, std::ostream& err, bool errIsTerminal,
                                  std::vector<std::string>& notices) {
  const std::string& video = options.files.front();
  const std::vector<std::string> subtitles(options.files.begin() + 1, options.files.end());
  SubpictureMuxer muxer(video);
  if (front.keepFilmColours) muxer.KeepFilmColours(FilmColourPackets(video));
  const ProgramStreamInfo& probed = muxer.Probe();
  // Without a word on the frame the film decides it; a frame that was decided must be the film's.
  if (options.job.haveifo && !options.standardGiven) options.job.pal = probed.standard == VideoStandard::Pal;
  // So does its aspect: a 16:9 film's subtitles are drawn squeezed unless --aspect says otherwise (an IFO still
  // decides for its title).
  if (!options.aspectGiven) options.wide = probed.widescreen;

  FontEnginePerThread engines;
  SetupError setupError;
  NamedRunSetup setup = PrepareNamedRun(options, engines.ForThisThread(), setupError);
  if (!setupError.message.empty()) return MuxFailure{setupError.usage, setupError.message};
  if (auto refused = WrongFrame(video, probed, options, setup.render.standard)) return refused;
  ApplyFrontColours(front, setup);
  // The subtitles are converted while the film is read through for its subpicture streams.
  std::vector<SubpictureTrack> tracks;
  if (auto refused = ConvertTracks(setup, subtitles, front.forced, engines, tracks, notices)) return refused;
  const ProgramStreamInfo& film = muxer.Info();
  if (auto refused = FrontRefusal(video, film, front)) return refused;
  if (auto refused = TooManyStreams(video, film, static_cast<int>(subtitles.size()))) return refused;
  if (auto refused = KeepDiscColours(video, film, options, setup, notices)) return refused;

  const std::string paletteText = DvdauthorPaletteText(setup.paletteYCrCb);
  std::vector<std::string> projectNotices;
  const DvdauthorProject project = ProjectFor(video, film, names, setup.options, subtitles.size(), paletteText,
                                              front.report ? notices : projectNotices);
  MuxProgressLine progress(err, errIsTerminal && !options.quiet, front, film.duration90k);
  const MuxResult result = WriteMuxOutputs(muxer, tracks, setup.paletteYCrCb, names, paletteText, project, progress);
  AddMuxNotices(result, video, film, subtitles, notices);
  if (!options.quiet && front.report) {
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

std::optional<MuxFailure> RunMuxJob(NamedOptions& options, const MuxFront& front, std::ostream& out, std::ostream& err,
                                    bool errIsTerminal, std::vector<std::string>& notices) {
  SilenceLibavLog();
  try {
    return MuxFilm(options, front, MuxOutputNamesFor(options.muxOutput), out, err, errIsTerminal, notices);
  } catch (const std::exception& e) {
    return MuxFailure{false, OneLine(e.what())};
  }
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

  std::vector<std::string> notices;
  const std::optional<MuxFailure> failure = RunMuxJob(options, MuxFront{}, out, err, errIsTerminal, notices);
  for (const std::string& notice : notices) err << notice << '\n';
  if (failure) return Refuse(err, *failure);
  err << std::flush;
  out << std::flush;
  return kExitOk;
}

}  // namespace quillet
