// Adds DVD subpicture streams to an MPEG-2 program stream: libavformat reads the film and writes it again with
// its DVD muxer, video and audio copied, each track's subpicture units as one more subpicture stream.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/output_file.h"
#include "render/frame.h"

namespace quillet {

// A DVD title holds at most this many subpicture streams (private stream 1, sub-streams 0x20 to 0x3F).
constexpr int kMaxSubpictureStreams = 32;

// What the film is, read before anything is written.
struct ProgramStreamInfo {
  int width = 0;
  int height = 0;
  VideoStandard standard = VideoStandard::Pal;
  bool widescreen = false;      // its sequence header gives a 16:9 picture
  int64_t videoStart90k = 0;    // the first picture's presentation time
  int64_t duration90k = 0;      // how long the film plays, as libavformat estimates it (0: unknown)
  int subpictureStreams = 0;    // DVD subpicture streams the film already carries, wherever in it they start
  uint64_t bytes = 0;           // the file's size
  uint64_t subpictureHash = 0;  // the bytes of its subpicture streams hashed (SubpictureStreamsHash)
  bool operator==(const ProgramStreamInfo&) const = default;
};

// One subpicture unit as a SUP packet carries it behind its header, timed from the start of the subtitle file.
struct TimedUnit {
  int entryIndex = 0;  // 1-based, names the entry in messages
  uint32_t pts90k = 0;
  std::vector<uint8_t> bytes;
};

// The units of one subtitle file: one new subpicture stream. Any order; the stream gets them by time.
struct SubpictureTrack {
  std::vector<TimedUnit> units;
};

// Puts a track's units in time order and ends each one's display no later than the next one starts (a stop delay
// rounded to whole ticks may reach past it; two units starting together leave the first a delay of 0, so the
// second replaces it at once): dvdauthor wants a stream's displays one after the other.
void KeepUnitsApart(SubpictureTrack& track);

// Where the film's clock started again (two films joined with cat): at byte `byte`, where the stream had reached
// `continued90k`; the copy continues the clock from there.
struct ClockJump {
  int64_t byte = 0;
  int64_t continued90k = 0;
};

struct MuxResult {
  int64_t videoEnd90k = 0;  // where the last picture ends, on the film's own clock
  // Per track, the entries that start at or after the video's end (left out: no picture is shown with them).
  std::vector<std::vector<int>> entriesAfterVideo;
  // Streams of the film that were left out (besides its navigation packs, which the muxer writes afresh), each
  // with the reason: "stream 0x1C1 (mp2) starts after the part read to learn the film's streams".
  std::vector<std::string> droppedStreams;
  std::vector<ClockJump> clockJumps;
  uint64_t filmBytes = 0;           // the written film's size
  uint64_t filmSubpictureHash = 0;  // and its subpicture streams' bytes hashed, as ProgramStreamInfo's
};

// Bytes read of the film so far, and its size.
using MuxProgress = std::function<void(uint64_t bytesRead, uint64_t bytesTotal)>;

// Keeps libavformat's own log off the terminal for the rest of the process: the command reports every failure
// itself, and the muxer's notes (a subpicture larger than its buffer model) would break up the progress line.
void SilenceLibavLog();

class SubpictureMuxer {
 public:
  // Opens the film and reads what it holds; the whole film is read for the streams that start late in it on a
  // thread of its own meanwhile (Info waits for it). Throws
  // QuilletError naming the file when it is not a regular file or cannot be read, is not an MPEG program stream,
  // or carries no MPEG-2 video, or video of a size no DVD standard has.
  explicit SubpictureMuxer(const std::string& videoPath);
  ~SubpictureMuxer();
  SubpictureMuxer(const SubpictureMuxer&) = delete;
  SubpictureMuxer& operator=(const SubpictureMuxer&) = delete;

  // What the film is, as far as its opening read tells: all but its subpicture streams (their count and hash).
  const ProgramStreamInfo& Probe() const;
  // All of it, once the whole film has been read for the streams that start late (waits for that read; throws
  // what it threw).
  const ProgramStreamInfo& Info();

  // Writes the film to `out` (opened, not committed) with every track as a new subpicture stream numbered after
  // the film's own, each unit shown at its time plus the video's start, and with `colours` (the 16 palette
  // entries, 0x00YYCrCb) told to dvdauthor before every subpicture unit. Packets are read and written one at a
  // time, so memory does not grow with the film. Call once. Throws QuilletError (or the FileError of `out`).
  MuxResult Write(const std::vector<SubpictureTrack>& tracks, const std::array<uint32_t, 16>& colours, OutputFile& out,
                  const MuxProgress& progress);
  // Before Write: the film's own sub-streams (0x20–0x3F) told with these colours rather than with Write's.
  void KeepFilmColours(const std::map<int, std::array<uint32_t, 16>>& colours) { m_keptColours = colours; }

 private:
  void FinishScan();
  struct Input;
  std::unique_ptr<Input> m_input;
  std::string m_path;
  ProgramStreamInfo m_info;
  std::map<int, std::array<uint32_t, 16>> m_keptColours;
};

}  // namespace quillet
