// "quillet mux": what the command refuses before it writes anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/mux_run.h"
#include "app/named_run_setup.h"
#include "job/named_command_line.h"
#include "mux/subpicture_muxer.h"

namespace quillet {

// A failure that ends the command; `usage` marks the command line's fault (exit status 2).
struct MuxFailure {
  bool usage = false;
  std::string message;
};

// A project beside an earlier output is small; anything larger is not one of ours.
constexpr uint64_t kMaxProjectBytes = 1 << 20;

// `path` made absolute and normal (as given when that fails).
std::string AbsolutePath(const std::string& path);

// Every input that no output may replace, outputs that would replace each other or that dvdauthor would not take
// for files, and names no project can hold.
std::optional<MuxFailure> OutputOverAnInput(const NamedOptions& options, const MuxOutputNames& names);

// An output name taken by a file an earlier "quillet mux" did not write there.
std::optional<MuxFailure> ForeignMuxOutput(const MuxOutputNames& names);

// A film with too many subpicture streams for a title once the subtitles join them.
std::optional<MuxFailure> TooManyStreams(const std::string& video, const ProgramStreamInfo& film, int newStreams);

// Subpictures made for the other frame size than the film's.
std::optional<MuxFailure> WrongFrame(const std::string& video, const ProgramStreamInfo& film,
                                     const NamedOptions& options, VideoStandard subpictures);

// An IFO whose palette has no greys to draw with: see the definition.
std::optional<MuxFailure> KeepDiscColours(const std::string& video, const ProgramStreamInfo& film,
                                          const NamedOptions& options, NamedRunSetup& setup,
                                          std::vector<std::string>& notices);

}  // namespace quillet
