// The files a generation run writes beside the subtitle file, and the final report that names them.
#include "run/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/file_descriptor.h"
#include "base/file_paths.h"
#include "base/whole_file.h"
#include "sup/vobsub_index.h"

namespace quillet {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// How every instruction file starts.
constexpr std::string_view kInstructionStart = "All Done !!! (Case : ";

constexpr std::array kNoIfoLines = {
    "All Done !!! (Case : No Ifo)",
    "Since you didnt had any ifo, author your video with the generated sup using Ifoedit.",
    "After authoring the new dvd, load (the generated from Ifoedit) VTS_01_0.IFO on Ifoedit and press VTS_PGCITI "
    "and then VTS_PGC1.",
    "Then find the Color 0 Y Cr CB ,doubleclick it, and put the value: 00 80 80",
    "Then find the Color 1 Y Cr CB ,doubleclick it, and put the value: 55 80 80",
    "Then find the Color 2 Y Cr CB ,doubleclick it, and put the value: AA 80 80",
    "Then find the Color 3 Y Cr CB ,doubleclick it, and put the value: FF 80 80",
    "Then press save. Thats all.",
    "",
    "",
    "Generated Files:",
};

constexpr std::array kMonochromaticIfoLines = {
    "All Done !!! (Case : Monocromatic Ifo)",
    "Since you had an ifo with no polycromatic palette support , Quillet generated for you a sup with a generic "
    "pallette.",
    "Just author your video with the generated sup using Ifoedit.",
    "After authoring the new dvd, load (the generated from Ifoedit) VTS_01_0.IFO on Ifoedit and press VTS_PGCITI "
    "and then VTS_PGC1.",
    "Then find the Color 0 Y Cr CB ,doubleclick it, and put the value: 00 80 80",
    "Then find the Color 1 Y Cr CB ,doubleclick it, and put the value: 55 80 80",
    "Then find the Color 2 Y Cr CB ,doubleclick it, and put the value: AA 80 80",
    "Then find the Color 3 Y Cr CB ,doubleclick it, and put the value: FF 80 80",
    "Then press save. Thats all.",
    "",
    "",
    "Generated Files:",
};

constexpr std::array kWithIfoLines = {
    "All Done !!! (Case : With Ifo)",
    "Since you already had an ifo with polycromatic palette support , Quillet generated for you a sup with the "
    "same ifo pallette.",
    "Just author your video with the generated sup using Ifoedit.",
    "After authoring the new dvd, load the original ifo (the ifo that you have loaded on Quillet) on Ifoedit and "
    "press VTS_PGCITI and then VTS_PGC1.",
    "Then press Subtitle Color, Copy Colors from this PGC",
    "Then load (the generated from Ifoedit) VTS_01_0.IFO on Ifoedit and press VTS_PGCITI and then VTS_PGC1",
    "Then press Subtitle Color, Paste Colors into this PGC",
    "Then press save. Thats all.",
    "",
    "",
    "Generated Files:",
};

template <std::size_t N>
std::string JoinLines(const std::array<const char*, N>& lines) {
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += kLineEnd;
  }
  return text;
}

}  // namespace

std::string ReplaceExtension(std::string_view name, std::string_view suffix) {
  std::string result(name.substr(0, name.size() > 4 ? name.size() - 4 : 0));
  result += suffix;
  return result;
}

SplitPath SplitFolder(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\:/");
  if (cut == std::string_view::npos) return SplitPath{"", std::string(path)};
  return SplitPath{std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

namespace {

OutputPaths PathsFor(std::string_view subtitlePath, OutputFormat format, bool pairNamedVobSub) {
  const SplitPath split = SplitFolder(subtitlePath);
  OutputPaths paths;
  if (WritesSup(format)) paths.supPath = split.folder + ReplaceExtension(split.name, ".sup");
  paths.pgs = WritesPgs(format);
  paths.instructionPath = split.folder + ReplaceExtension(split.name, ".Quillet_Help.txt");
  if (WritesVobSub(format)) {
    // Compared without regard to case: on a FAT or NTFS drive "movie.SUB" and "movie.sub" are one file.
    const bool readsSub = pairNamedVobSub || EndsWithIgnoringAsciiCase(split.name, ".sub");
    paths.idxPath = split.folder + ReplaceExtension(split.name, readsSub ? ".vobsub.idx" : ".idx");
    paths.vobSubPath = split.folder + ReplaceExtension(split.name, readsSub ? ".vobsub.sub" : ".sub");
  }
  return paths;
}

}  // namespace

OutputPaths OutputPathsFor(std::string_view subtitlePath, OutputFormat format) {
  return PathsFor(subtitlePath, format, false);
}

namespace {

// Up to `count` bytes from the start of `path`; nothing when it is not a regular file or cannot be read. A named
// pipe is refused, not opened to wait for a writer.
std::optional<std::string> FileStart(const std::string& path, std::size_t count) {
  try {
    const Descriptor file{OpenRegularFileForReading(path)};
    std::string start(count, '\0');
    const ssize_t got = ::read(file.fd, start.data(), count);
    if (got < 0) return std::nullopt;
    start.resize(static_cast<std::size_t>(got));
    return start;
  } catch (const FileError&) {
    return std::nullopt;
  }
}

bool IsOurVobSubIndex(const std::string& path) {
  const std::optional<std::string> start = FileStart(path, 4096);
  return start && start->find(kVobSubIndexMarker) != std::string::npos;
}

}  // namespace

bool HoldsSomethingElseThanVobSub(const std::string& path) {
  const std::optional<std::string> start = FileStart(path, 4);
  return start && !start->empty() && *start != std::string_view("\0\0\1\xBA", 4);
}

bool IsNonEmptyRegularFile(const std::string& path) {
  // A link is judged by what it names: the writer puts the bytes there.
  const std::string target = LinkedPath(path);
  struct stat info {};
  if (target.empty() || ::stat(target.c_str(), &info) != 0) return false;
  return S_ISREG(info.st_mode) && info.st_size != 0;
}

std::string ForeignOutputReason(const std::string& linkOrPath, OutputKind kind, const std::string& idxPath) {
  if (!IsNonEmptyRegularFile(linkOrPath)) return {};
  const std::string path = LinkedPath(linkOrPath);
  switch (kind) {
    case OutputKind::Instructions: {
      // The name is this program's own; only a link elsewhere must lead to one of its instruction files.
      struct stat info {};
      if (::lstat(linkOrPath.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return {};
      const std::optional<std::string> start = FileStart(path, kInstructionStart.size());
      if (start && *start == kInstructionStart) return {};
      return "is a link to \"" + path + "\", which is not an instruction file this program wrote";
    }
    case OutputKind::Sup: {
      const std::optional<std::string> start = FileStart(path, 2);
      if (start && *start == "SP") return {};
      return "is not a SUP file this program wrote (a Blu-ray subtitle starts \"PG\")";
    }
    case OutputKind::PgsSup: {
      // A Blu-ray SUP file this program writes starts with the header of an epoch's composition segment.
      const std::optional<std::string> start = FileStart(path, 11);
      if (start && start->size() == 11 && start->compare(0, 2, "PG") == 0 && (*start)[10] == '\x16') return {};
      return "is not a Blu-ray SUP file this program wrote (a DVD subtitle starts \"SP\")";
    }
    case OutputKind::VobSubIndex:
      if (IsOurVobSubIndex(path)) return {};
      return "is not a VobSub index this program wrote";
    case OutputKind::VobSubStream:
      if (!HoldsSomethingElseThanVobSub(path) && !idxPath.empty() && IsOurVobSubIndex(LinkedPath(idxPath))) return {};
      return "is not a VobSub stream this program wrote (a MicroDVD subtitle, or a ripped VobSub pair?)";
  }
  return {};
}

ForeignOutput FirstForeignOutput(const OutputPaths& paths) {
  const std::pair<const std::string*, OutputKind> outputs[] = {
      {&paths.supPath, paths.pgs ? OutputKind::PgsSup : OutputKind::Sup},
      {&paths.idxPath, OutputKind::VobSubIndex},
      {&paths.vobSubPath, OutputKind::VobSubStream},
      {&paths.instructionPath, OutputKind::Instructions}};
  for (const auto& [path, kind] : outputs) {
    if (path->empty()) continue;
    std::string reason = ForeignOutputReason(*path, kind, paths.idxPath);
    if (!reason.empty()) return {*path, std::move(reason)};
  }
  return {};
}

OutputPaths OutputPathsBesideExistingFiles(std::string_view subtitlePath, OutputFormat format) {
  const OutputPaths paths = PathsFor(subtitlePath, format, false);
  if (paths.vobSubPath.empty() || !HoldsSomethingElseThanVobSub(paths.vobSubPath)) return paths;
  return PathsFor(subtitlePath, format, true);
}

ReportCase SelectReportCase(bool noIfo, bool monochromaticIfo, bool noIfoSwitch) {
  if (!noIfoSwitch) return ReportCase::WithIfo;
  if (monochromaticIfo) return ReportCase::MonochromaticIfo;
  (void)noIfo;  // with the switch on the generic palette is in use either way
  return ReportCase::NoIfo;
}

std::string CaseText(ReportCase reportCase) {
  switch (reportCase) {
    case ReportCase::NoIfo:
      return JoinLines(kNoIfoLines);
    case ReportCase::MonochromaticIfo:
      return JoinLines(kMonochromaticIfoLines);
    case ReportCase::WithIfo:
      break;
  }
  return JoinLines(kWithIfoLines);
}

std::vector<std::string> OutputPaths::Files() const {
  std::vector<std::string> files;
  for (const std::string* path : {&supPath, &idxPath, &vobSubPath, &instructionPath}) {
    if (!path->empty()) files.push_back(*path);
  }
  return files;
}

std::string ComposePgsReport(const OutputPaths& paths, int frameRows) {
  const std::string sup = paths.supPath;
  const std::string rows = std::to_string(frameRows);
  std::string report = "All Done !!! (Blu-ray subtitles, " + rows + " lines)";
  const std::initializer_list<std::string> lines = {
           std::string(),
           "The .sup file is a Blu-ray presentation graphics (PGS) stream drawn for a video of " + rows + " lines.",
           std::string(),
           "Matroska: add it to the film as a subtitle track with mkvmerge (MKVToolNix):",
           "  mkvmerge -o film_subtitled.mkv film.mkv --language 0:en \"" + sup + "\"",
           std::string(),
           "Blu-ray: add it to the tsMuxer project (the .meta file) beside the video and audio, then mux:",
           "  S_HDMV/PGS, \"" + sup + "\", fps=23.976",
           "  (fps: the video's frame rate), and author the disc with tsMuxer's Blu-ray output.",
           std::string(),
           std::string(),
           std::string("Generated Files:")};
  for (const std::string& line : lines) {
    report += std::string(kLineEnd) + line;
  }
  report += kLineEnd;
  const std::vector<std::string> files = paths.Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) report += kLineEnd;
    report += files[i];
  }
  return report;
}

std::string ComposeFinalReport(ReportCase reportCase, const OutputPaths& paths) {
  std::string report = CaseText(reportCase);
  const std::vector<std::string> files = paths.Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) report += kLineEnd;
    report += files[i];
  }
  return report;
}

}  // namespace quillet
