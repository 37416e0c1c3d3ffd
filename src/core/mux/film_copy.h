// Copying the film packet by packet with the subpicture units between its packets, its clock continued where it
// starts again.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "mux/dvd_output.h"
#include "mux/subpicture_muxer.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace quillet {

// What copying the film gave.
struct FilmCopyResult {
  int64_t videoEnd90k = 0;  // where the last picture ends, on the film's (continued) clock
  std::vector<ClockJump> clockJumps;
  std::vector<std::vector<int>> entriesAfterVideo;  // by track: left out
  uint64_t subpictureHash = 0;                      // the written subpicture streams' bytes, as ScanFilm hashes
};

// Where each of the film's streams goes and where the tracks' units go, once the output's streams are added.
struct FilmCopyPlan {
  int videoStream = -1;           // the film's video stream
  std::map<int, int> outputOfId;  // by the film's stream number (AVStream::id), the output stream carrying it
  std::vector<int> trackStream;   // by track, its output stream
  int64_t videoStart90k = 0;
};

// Reads every packet of `in` and writes it to `output` (started), each track's units among them where the film
// has reached their time and its pictures cover it; units after the last picture are left out. `progress` gets
// the bytes read of `bytes`. Throws QuilletError naming `path` when the film cannot be read to its end.
FilmCopyResult CopyFilm(AVFormatContext* in, const FilmCopyPlan& plan, const std::vector<SubpictureTrack>& tracks,
                        DvdOutput& output, const MuxProgress& progress, uint64_t bytes, const std::string& path);

}  // namespace quillet
