// The command-line help printed by "quillet --help".
#include "app/usage.h"

#include "job/job_settings.h"

namespace quillet {

namespace {

template <std::size_t N>
std::string Indexed(const std::array<std::string_view, N>& list) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) {
    if (i) out += ", ";
    out += std::to_string(i) + "=" + std::string(list[i]);
  }
  return out;
}

std::string Range(int min, int max) { return std::to_string(min) + ".." + std::to_string(max); }

}  // namespace

std::string CommandLineUsage() {
  std::string u;
  u += "Usage: quillet                       open the window (needs a display)\n";
  u += "       quillet FILE                  open the window with a subtitle or an IFO loaded\n";
  u += "       quillet convert [options] FILE...  convert subtitle files (see quillet convert --help)\n";
  u += "       quillet check [options] FILE...    list what a DVD would get wrong, write nothing\n";
  u += "       quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE...\n";
  u += "                                     subtitles into a DVD video for dvdauthor (quillet mux --help)\n";
  u += "       quillet spumux [-s N] CONFIG.xml < film.mpg > out.mpg\n";
  u += "                                     spumux's command for text subtitles (quillet spumux --help)\n";
  u += "       quillet V1 V2 ... V16         convert one subtitle file unattended\n";
  u += "       quillet --help | --version\n\n";
  u += "The 16 values, in this order (list values are 0-based indexes):\n";
  u += "   1 haveifo         true (any non-zero number, or True) = no IFO: use the generic grey palette;\n";
  u += "                     false (0 or False) = read the palette from the IFO file of value 2\n";
  u += "   2 filenameifo     path of the DVD's VTS_xx_0.IFO (ignored when value 1 is true)\n";
  u += "   3 filenamesub     path of the subtitle file (.srt, .sub, .txt, .vtt, .ass or .ssa)\n";
  u += "   4 pal             true = PAL 720x576, false = NTSC 720x480 (used only when value 1 is true;\n";
  u += "                     otherwise the IFO decides)\n";
  u += "   5 colorantialias  palette entry 0..15 of the antialias ring\n";
  u += "   6 coloroutline    palette entry 0..15 of the outline\n";
  u += "   7 colortext       palette entry 0..15 of the text\n";
  u += "   8 colorbg         palette entry 0..15 of the background\n";
  u += "   9 fontname        index into the font list: 0 = Arial, then the installed families sorted by name\n";
  u += "  10 fontcharset     " + Indexed(kCharsetList) + "\n";
  u += "  11 fontstyle       " + Indexed(kStyleList) + "\n";
  u += "  12 fontsize        " + Indexed(kSizeList) + "\n";
  u += "  13 align           " + Indexed(kAlignList) + "\n";
  u += "  14 offset          pixels of the first line above the frame's bottom, " + Range(kOffsetMin, kOffsetMax) +
       " (clamped)\n";
  u += "  15 offsetor        how far the second line moves up, " + Range(kOffsetOrMin, kOffsetOrMax) +
       ", odd values raised to even (clamped)\n";
  u += "  16 outline         " + Indexed(kOutlineWidthList) + " pixels\n\n";
  u += "An argument that is empty, or spells its own name (for example haveifo), starts the window instead.\n";
  u += "Defaults of the window: 0 <ifo> <sub> -1 0 0 0 0 0 4 0 14 0 30 -4 1\n\n";
  u += "The SUP file and the instruction file (.Quillet_Help.txt) are written beside the subtitle file.\n";
  u += "\"Add To Batch\" in the window appends such command lines to a .bat file; run it with: sh MyBatch.bat\n\n";
  u += "Exit status: 0 the SUP file was written; 1 the run failed or was refused (the message says why);\n";
  u += "             2 no display and no complete command line, or an unknown command or option.\n";
  return u;
}

std::string ProgramVersionLine() { return std::string("quillet ") + QUILLET_VERSION + "\n"; }

}  // namespace quillet
