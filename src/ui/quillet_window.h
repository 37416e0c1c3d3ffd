// Program start with a display: the main window and its event loop.
#pragma once

#include <string>

namespace quillet::ui {

// Runs the program with its window until the window closes or a successful unattended run ends it; returns the
// exit status. programFolder is the running program's folder, ending with "/".
int RunWindow(int argc, char** argv, const std::string& programFolder);

}  // namespace quillet::ui
