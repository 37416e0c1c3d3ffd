// Test-only: reads a file with ffmpeg's demuxers (VobSub .idx, MPEG program stream), independent of our writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::test {

struct DemuxedStream {
  std::string codec;      // ffmpeg's codec name, "dvd_subtitle" for subpictures
  int id = 0;             // the stream's number in the container (0x20 for the first DVD subpicture stream)
  std::string language;   // the stream's language tag, empty when none
  std::string extradata;  // for VobSub: the .idx header (size, palette, …) as the decoder receives it
};

struct DemuxedPacket {
  int stream = 0;
  int64_t pts90k = 0;  // the packet's time rescaled to 90 kHz ticks
  std::vector<uint8_t> data;
};

struct DemuxedFile {
  std::vector<DemuxedStream> streams;
  std::vector<DemuxedPacket> packets;  // in the order the demuxer returns them
};

// True when the test support was built with libavformat.
bool FfmpegDemuxerAvailable();

// Opens `path` (as `format` when given, e.g. "mpeg"; else as probed) and returns every packet of every stream.
// Throws std::runtime_error when ffmpeg cannot open or read it.
DemuxedFile DemuxWithFfmpeg(const std::string& path, const char* format = nullptr);

}  // namespace quillet::test
