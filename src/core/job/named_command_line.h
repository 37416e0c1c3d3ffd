// The named command line ("quillet convert|check [options] FILE...", "quillet mux [options] -o OUT VIDEO SUB..."): every job value as an option with the
// window's words, checked, turned into one JobSettings plus the options that only many-file runs have.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/output_format.h"
#include "job/job_settings.h"

namespace quillet {

enum class NamedCommand { Convert, Check, Mux };

// The options of one named run. `job` holds the 16 values shared by every file; `job.filenamesub` is left
// empty (each of `files` fills it in turn) and `job.fontname` stays 0 until the run has found `fontName` in
// the installed font list, which only the machine that runs it knows.
struct NamedOptions {
  JobSettings job;
  std::string fontName{kFirstFontName};
  // Without --colors the palette chooses the four roles, as loading an IFO or ticking "no IFO" does in the
  // window; with it, job.colorantialias .. job.colorbg hold the given entries.
  bool coloursGiven = false;
  bool standardGiven = false;  // --pal or --ntsc was given; an IFO still decides when one is used
  // --aspect 16:9: the video is shown stretched to 16:9, so the glyphs are drawn squeezed to 3/4. An IFO's own
  // aspect still decides when one is used.
  bool wide = false;
  bool aspectGiven = false;
  OutputFormat format = OutputFormat::Sup;
  std::string language{kDefaultVobSubLanguage};  // the VobSub index's two-letter language code
  std::vector<std::string> languages;  // every --language in order: mux gives the k-th to the k-th subtitle
  std::string muxOutput;               // mux: the program stream to write (its -o)
  std::string outputDir;        // empty: each output beside its input
  int jobs = 0;                 // files converted at once; 0 means one per processor the process may use
  bool quiet = false;
  // The frame rate of a MicroDVD file whose first line declares none; 0: such a file is refused.
  double fps = 0.0;
  // A line too wide for the frame is broken again into two lines that fit, where the text has a blank.
  bool wrap = false;
  // Every line in the chosen style at the chosen place, no third line: what the file says beyond its letters
  // (italic, bold, underline, top placement) is left out.
  bool plain = false;
  int direction = 0;  // --direction, an index into kDirectionList
  // Blu-ray output (--format pgs): the frame's rows (1080, 720, 576 or 480) and the colours, 0xRRGGBB.
  int frameRows = 1080;
  uint32_t textColour = 0xFFFFFF;
  uint32_t outlineColour = 0x000000;
  std::vector<std::string> files;

  bool operator==(const NamedOptions&) const = default;
};

// The outcome of reading the arguments. A usage error carries one line saying which option and what is
// allowed ("--align: 'middle' is not one of left, center, right"); the program prints it and exits with 2.
struct NamedParse {
  bool help = false;     // --help or -h: print the command's help, nothing else
  bool version = false;  // --version: print the program's version, nothing else
  std::string error;  // not empty: a usage error
  NamedOptions options;
};

// Reads the arguments that follow "convert" or "check". Options and file names may come in any order; "--"
// ends the options; "--name=value" and "--name value" are the same, as are "-j 2", "-j2", "-o DIR", "-oDIR";
// short options may be bundled ("-qj2"). A check takes --format, --language and -o and leaves them unused.
// A repeated option keeps its last value. At least one file is needed unless help was asked for. For mux, -o names
// the output file rather than a folder and is needed, the first file is the video and at least one subtitle must
// follow it, and --language may come once per subtitle.
NamedParse ParseNamedCommandLine(NamedCommand command, const std::vector<std::string>& args);

// The help of "quillet convert --help" and "quillet check --help".
std::string NamedCommandUsage(NamedCommand command);

// The style list entry that a "+"-joined set of words names, the words in any order and letter case, each a
// list word or its start ("Bold+It" is Bold+Italic, "under" is Underline). Empty when no entry has that set.
std::optional<int> StyleIndexFromWords(std::string_view text);

}  // namespace quillet
