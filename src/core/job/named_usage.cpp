// The help texts of "quillet convert --help" and "quillet check --help".
#include "job/named_command_line.h"

namespace quillet {

namespace {

constexpr const char* kJobOptions =
    "Palette and frame:\n"
    "  --ifo PATH          take the palette and PAL/NTSC from the DVD's VTS_xx_0.IFO\n"
    "  --generic           use the generic grey palette (the default without --ifo)\n"
    "  --pal, --ntsc       720x576 or 720x480 frame (default --pal; with --ifo the IFO decides)\n"
    "  --aspect 4:3|16:9   how the video is shown (default 4:3; with --ifo the IFO decides); 16:9\n"
    "                      draws the letters 3/4 as wide, so they show unstretched\n"
    "  --colors A,O,T,B    palette entries 0..15 of antialias, outline, text and background\n"
    "                      (also --colours; default: what the palette picks, as in the window)\n"
    "Font and placement:\n"
    "  --font NAME         installed font family (default Arial; fc-list : family lists them)\n"
    "  --size N            6..30, or an even size 32..50 (default 20)\n"
    "  --style STYLE       Normal, Bold, Italic, Underline, Bold+Italic, Bold+Under, Bold+It+Und,\n"
    "                      Italic+Under or StrikeOut; words may be shortened: Bold+It (default Normal)\n"
    "  --charset NAME      ANSI, ARABIC, BALTIC, CHINESEBIG5, DEFAULT, EASTEUROPE, GB2312, GREEK,\n"
    "                      HANGEUL, HEBREW, JOHAB, MAC, OEM, RUSSIAN, SHIFTJIS, SYMBOL, THAI,\n"
    "                      TURKISH or VIETNAMESE (default DEFAULT: UTF-8, else the code page\n"
    "                      found from the text, else CP1252)\n"
    "  --align WHERE       left, center or right (default center)\n"
    "  --offset N          pixels between the frame's bottom and the text, 8..492 (default 30)\n"
    "  --offset-or N       second-line adjustment, an even number -14..10 (default -4)\n"
    "  --outline N         outline width in pixels, 2..4 (default 3)\n"
    "  --plain             every line in the chosen style at the chosen place, two lines at most\n"
    "                      (default: italic, bold, underline, top placement and a third line as\n"
    "                      the file gives them; its colours and positions are never drawn)\n"
    "  --direction DIR     auto, ltr or rtl: each line's own direction, or left to right or right\n"
    "                      to left for every line (default auto)\n"
    "Reading:\n"
    "  --fps RATE          frame rate of a MicroDVD file without a {1}{1}RATE first line, such as\n"
    "                      23.976 (such a file is refused without it)\n"
    "  --wrap              break an entry too wide for the frame into as many lines as are drawn,\n"
    "                      keeping its own lines that fit (without it such a file is refused)\n";

}  // namespace

std::string NamedCommandUsage(NamedCommand command) {
  std::string u;
  if (command == NamedCommand::Convert) {
    u += "Usage: quillet convert [options] FILE...\n\n";
    u += "Converts SubRip (.srt), MicroDVD (.sub, .txt), WebVTT (.vtt) and ASS/SSA (.ass, .ssa) subtitle\n";
    u += "files into DVD subpicture streams.\n";
    u += "A file NAME.srt gives NAME.sup (and/or NAME.idx and NAME.sub) and NAME.Quillet_Help.txt beside\n";
    u += "it, or in -o DIR; the VobSub pair of a MicroDVD NAME.sub is NAME.vobsub.idx and NAME.vobsub.sub.\n";
    u += "A file whose output would be another input or another file's output, or whose .sub output exists\n";
    u += "and is not a VobSub stream (a MicroDVD subtitle), is not converted.\n\n";
    u += kJobOptions;
    u += "Output and run:\n";
    u += "  --format FORMAT     sup, vobsub, both (DVD) or pgs (Blu-ray and Matroska; default sup)\n";
    u += "  --frame LINES       pgs: 1080 (1920x1080, default), 720 (1280x720), 576 or 480 (720 wide)\n";
    u += "  --text-colour RRGGBB, --outline-colour RRGGBB\n";
    u += "                      pgs: the colours of the text and its outline (default FFFFFF, 000000)\n";
    u += "  --language xx       two-letter language code of the VobSub index (default en)\n";
    u += "  -o, --output DIR    write the outputs into DIR (default: beside each input)\n";
    u += "  -j, --jobs N        convert N files at once (default: one per processor)\n";
    u += "  -q, --quiet         print nothing but failures\n";
    u += "  -h, --help          this help\n";
    u += "  --version           the program's version\n\n";
    u += "Messages are one per line, the file name first: \"FILE: wrote ...\" on standard output,\n";
    u += "failures and notices on standard error. While standard error is a terminal a progress\n";
    u += "line shows files done, entries done and the time elapsed.\n\n";
    u += "Exit status: 0 every file converted; 1 a file failed (the others are still converted);\n";
    u += "             2 a usage error.\n";
  } else if (command == NamedCommand::Mux) {
    std::string options = kJobOptions;
    const std::string palDefault = "(default --pal; with --ifo the IFO decides)";
    options.replace(options.find(palDefault), palDefault.size(), "(default: the video's; --ifo: the IFO's)");
    u += "Usage: quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE...\n\n";
    u += "Converts each subtitle file as quillet convert does and adds it to a copy of the DVD video\n";
    u += "(an MPEG-2 program stream, such as ffmpeg -target pal-dvd makes) as one more subpicture stream,\n";
    u += "numbered after those it already carries. Video and audio are copied as they are. Beside OUT.mpg\n";
    u += "go OUT.palette (the 16 colours for dvdauthor) and OUT.dvdauthor.xml, a one-title project:\n";
    u += "    dvdauthor -o DVD -x OUT.dvdauthor.xml\n";
    u += "makes a disc in the new folder DVD (dvdauthor adds a title to a disc already there) that shows\n";
    u += "the subtitles in the colours they were drawn for; the film carries them too. A subtitle at\n";
    u += "00:00:01,000 shows one second into the picture. Without --ifo, --pal or --ntsc the video\n";
    u += "decides the frame; all subtitles of a disc share one palette, so use the same --ifo or\n";
    u += "--generic each time streams are added to the same film.\n\n";
    u += options;
    u += "Output and run:\n";
    u += "  -o, --output OUT    the program stream to write (never one of the inputs)\n";
    u += "  --language xx       two-letter language of a subtitle stream, once per subtitle in order\n";
    u += "                      (without any, each is en)\n";
    u += "  -j, --jobs N        render on N threads (default: one per processor)\n";
    u += "  -q, --quiet         print nothing but failures\n";
    u += "  -h, --help          this help\n\n";
    u += "While standard error is a terminal a progress line shows the bytes of the video copied.\n\n";
    u += "Exit status: 0 written; 1 a file could not be read, converted or written (nothing is written);\n";
    u += "             2 a usage error.\n";
  } else {
    u += "Usage: quillet check [options] FILE...\n\n";
    u += "Reads and lays out every entry of each subtitle file, writes nothing, and lists what a DVD would\n";
    u += "get wrong, one line each, the file name first: lines too wide for the frame (entry, width in\n";
    u += "pixels), entries overlapping the next, durations a DVD cannot hold, text clipped by the frame,\n";
    u += "characters no installed font has, and the largest subpicture against the 53,220-byte limit.\n\n";
    u += kJobOptions;
    u += "Run:\n";
    u += "  -j, --jobs N        check N files at once (default: one per processor)\n";
    u += "  -q, --quiet         print nothing but the problems\n";
    u += "  -h, --help          this help\n";
    u += "  --version           the program's version\n";
    u += "  --format pgs        check for Blu-ray instead (with --frame and the colours): lines against the\n";
    u += "                      HD frame, and the largest display set against what a player holds\n";
    u += "  --language and -o/--output are accepted and ignored, so one option list serves\n";
    u += "  check and convert.\n\n";
    u += "The problems go to standard error, one summary line per file (\"FILE: N problems (...)\") to\n";
    u += "standard output. While standard error is a terminal a progress line shows files done, entries\n";
    u += "done and the time elapsed.\n\n";
    u += "Exit status: 0 nothing to report; 1 something is listed (or a file could not be read);\n";
    u += "             2 a usage error.\n";
  }
  return u;
}

}  // namespace quillet
