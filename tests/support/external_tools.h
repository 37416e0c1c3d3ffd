// Test-only: running the outside programs the independent checks use (ffmpeg, dvdauthor, mkvmerge).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "render/frame.h"
#include "test_support.h"

namespace quillet::test {

// True when `name` is a program on PATH.
bool HaveTool(const std::string& name);

// `text` in single quotes for the shell.
std::string ShellQuote(const std::string& text);

// Runs a shell command with its output captured; on failure the test fails with the command and the output.
// Returns whether it succeeded; `output`, when given, receives what the command printed.
bool RunTool(const std::string& command, std::string* output = nullptr);

// A one-second black MPEG-2 program stream authored by dvdauthor into a title set with `palette` (16 entries
// 0x00YYCrCb). Returns the path of its VTS_01_0.IFO, or an empty text after a failure (the test has failed).
std::string AuthorTitleSet(const TempDir& dir, VideoStandard standard, const std::array<uint32_t, 16>& palette,
                           DisplayAspect aspect = DisplayAspect::Standard4x3);

}  // namespace quillet::test
