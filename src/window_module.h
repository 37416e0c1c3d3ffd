// The window as a module the program opens only when a display is there, so that a run without one loads no Qt.
#pragma once

// The module's one exported function, looked up by this name: runs the window until it closes or a successful
// unattended run ends it, and returns the exit status. programFolder is the running program's folder, ending
// with "/".
extern "C" int QuilletRunWindow(int argc, char** argv, const char* programFolder);
using QuilletRunWindowFunction = int (*)(int, char**, const char*);
constexpr const char* kRunWindowSymbol = "QuilletRunWindow";
