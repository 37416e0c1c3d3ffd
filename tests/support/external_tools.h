// Test-only: running the outside programs the independent checks use (ffmpeg, dvdauthor, mkvmerge).
#pragma once

#include <string>

namespace quillet::test {

// True when `name` is a program on PATH.
bool HaveTool(const std::string& name);

// `text` in single quotes for the shell.
std::string ShellQuote(const std::string& text);

// Runs a shell command with its output captured; on failure the test fails with the command and the output.
// Returns whether it succeeded; `output`, when given, receives what the command printed.
bool RunTool(const std::string& command, std::string* output = nullptr);

}  // namespace quillet::test
