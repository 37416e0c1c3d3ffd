// The files a generation run writes beside the subtitle file, and the final report that names them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/output_format.h"

namespace quillet {

// `name` without its last four characters (the extension ".srt", ".sub" or ".txt"), then `suffix`.
// A name of four characters or fewer gives the suffix alone.
std::string ReplaceExtension(std::string_view name, std::string_view suffix);

// A path cut into its folder (up to and including the last "\", ":" or "/") and its bare name.
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath SplitFolder(std::string_view path);

// The files of a run, all in the subtitle file's folder: "C:\subs\movie.srt" gives "C:\subs\movie.sup",
// "C:\subs\movie.Quillet_Help.txt" and, for VobSub, "C:\subs\movie.idx" and "C:\subs\movie.sub". A path is
// empty when its file is not written. A MicroDVD subtitle is itself a ".sub" file: its VobSub pair is then
// named "movie.vobsub.idx" and "movie.vobsub.sub", so the run never writes over the file it reads.
struct OutputPaths {
  std::string supPath;
  std::string instructionPath;
  std::string idxPath;
  std::string vobSubPath;
  bool pgs = false;  // the SUP file is a Blu-ray one (presentation graphics)
  bool operator==(const OutputPaths&) const = default;

  // The files written, in the order the report names them: the SUP file, the VobSub pair, the instructions.
  std::vector<std::string> Files() const;
};
OutputPaths OutputPathsFor(std::string_view subtitlePath, OutputFormat format = OutputFormat::Sup);

// A VobSub .sub is an MPEG program stream: it starts with a pack header (00 00 01 BA). True when `path` is a
// file holding anything else (a MicroDVD subtitle, most likely): somebody's data, not an earlier run's output.
// An empty file, a missing one, or one that cannot be read gives false: the run may replace it or fail on it.
bool HoldsSomethingElseThanVobSub(const std::string& path);

// Why the file at `path` is not an earlier output of this program of the kind that name stands for ("is not a
// SUP file this program wrote …"), so that a
// named run must not write over it; "" when the name is free, the file is empty, or it is such an output: a SUP
// file starts with a packet header ("SP"; a Blu-ray subtitle starts "PG"), a VobSub index has this program's
// marker line, and a VobSub stream is ours only beside such an index (`idxPath`; a ripped film.idx/film.sub pair is
// somebody's). A file that cannot be read counts as somebody's. The instruction file's name is this program's own.
// A link is judged by the file it names: a link to somebody's file is refused like that file, and a link at the
// instruction file's name must lead to an instruction file of this program.
enum class OutputKind { Sup, VobSubIndex, VobSubStream, PgsSup, Instructions };
// Whether `path` names a regular file with something in it, directly or through links, the only kind of output a
// run must not take over unasked: a free name or an empty file is nobody's data, and links that may not be
// followed and anything that is not a file are the writer's to refuse, with its own words.
bool IsNonEmptyRegularFile(const std::string& path);
std::string ForeignOutputReason(const std::string& path, OutputKind kind, const std::string& idxPath = {});

// The first output of `paths` that a named run must not write over, with why ("" for none).
struct ForeignOutput {
  std::string path;
  std::string reason;
};
ForeignOutput FirstForeignOutput(const OutputPaths& paths);

// OutputPathsFor, except that a VobSub pair whose ".sub" name is taken by a file that is not a VobSub stream (the
// film's MicroDVD subtitle beside the SubRip file being converted) takes the "movie.vobsub.idx"/".sub" names
// instead, so the run writes over nobody's subtitle. The report names the files actually written.
OutputPaths OutputPathsBesideExistingFiles(std::string_view subtitlePath, OutputFormat format);

// Which palette situation the final report explains.
enum class ReportCase { NoIfo, MonochromaticIfo, WithIfo };

// The no-IFO switch off means the IFO's own palette is in use, whatever the flags say. With the switch on,
// a monochromatic IFO wins over the no-IFO case; should neither flag be set the generic palette is still in
// use, so the no-IFO case is told rather than an empty text.
ReportCase SelectReportCase(bool noIfo, bool monochromaticIfo, bool noIfoSwitch);

// The case text: its lines joined by CR LF, with CR LF after the last line too.
std::string CaseText(ReportCase reportCase);

// The case text, the SUP path, CR LF, the instruction path (no line end after it). This is also the
// instruction file's whole content. When the run writes a VobSub pair, its .idx and .sub paths follow the SUP
// path (or stand in its place when there is no SUP file), each with CR LF.
std::string ComposeFinalReport(ReportCase reportCase, const OutputPaths& paths);

// The instruction file of a Blu-ray SUP file: how to add it to a Matroska film (mkvmerge) and to a Blu-ray
// (tsMuxer), then the files written, as ComposeFinalReport lists them.
std::string ComposePgsReport(const OutputPaths& paths, int frameRows);

}  // namespace quillet
