// Fixed texts the main window shows, where more than one command uses them.
#pragma once

namespace quillet {

inline constexpr const char* kNoPaletteYetMessage = "Please load an Ifo file first and then an Srt/Sub/Txt file.";
// Follows the quoted name of a file given to the window (dropped, or named on its command line) of another kind.
inline constexpr const char* kOpenFileKindsMessage =
    " is not a file Quillet opens.\rDrop a subtitle (SubRip .srt, MicroDVD .sub or .txt, WebVTT .vtt, ASS/SSA .ass or "
    ".ssa) or a DVD's IFO file (.ifo) on the window.";

}  // namespace quillet
