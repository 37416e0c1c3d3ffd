// The mux command as a module the program opens only for "quillet mux", so that no other run loads libavformat
// and the hundred-odd libraries behind it (they took a start of the program from 6 to 44 ms).
#pragma once

// The module's one exported function: runs "quillet mux" on the arguments after "mux" and returns the exit
// status. errIsTerminal: whether standard error is a terminal (for the progress line).
extern "C" int QuilletRunMux(int argc, const char* const* argv, int errIsTerminal);
using QuilletRunMuxFunction = int (*)(int, const char* const*, int);
constexpr const char* kRunMuxSymbol = "QuilletRunMux";
constexpr const char* kMuxModuleFile = "quillet_mux.so";

// Runs "quillet spumux" on the arguments after "spumux" (or after the program's name when it was started as
// spumux): the film from standard input to standard output. Returns the exit status.
extern "C" int QuilletRunSpumux(int argc, const char* const* argv);
using QuilletRunSpumuxFunction = int (*)(int, const char* const*);
constexpr const char* kRunSpumuxSymbol = "QuilletRunSpumux";
