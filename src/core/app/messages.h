// Fixed texts the main window shows, where more than one command uses them.
#pragma once

namespace quillet {

inline constexpr const char* kNoPaletteYetMessage = "Please load an Ifo file first and then an Srt/Sub/Txt file.";

}  // namespace quillet
