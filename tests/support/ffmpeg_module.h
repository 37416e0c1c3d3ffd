// Test-only: ffmpeg's decoder and demuxers sit in a module of their own that the test support opens on first
// use, so a test process that does not ask for them does not load libavcodec and libavformat (over a hundred
// libraries, some 50 ms at every start of every test).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dvdsub_decoder.h"
#include "ffmpeg_demuxer.h"
#include "pgs_decoder.h"

namespace quillet::test {

// What the module offers, with the meaning of DvdSubDecoderAvailable, DecodeDvdSubpicture, FfmpegDemuxerAvailable
// and DemuxWithFfmpeg.
struct FfmpegModule {
  bool (*decoderAvailable)();
  DecodedSubpicture (*decode)(std::span<const uint8_t> unit, int64_t pts90k, std::string_view idxHeader);
  bool (*demuxerAvailable)();
  DemuxedFile (*demux)(const std::string& path, const char* format);
  std::vector<DecodedPgsSet> (*decodePgs)(const std::string& path);
};

// The module's own decoding of a Blu-ray SUP file (DecodePgsFile calls it through the module).
std::vector<DecodedPgsSet> DecodePgs(const std::string& path);

// The module's entries; nullptr when it was not built (no libavcodec or libavformat) or cannot be opened.
const FfmpegModule* LoadFfmpegModule();

}  // namespace quillet::test

// The one name the module exports.
extern "C" const quillet::test::FfmpegModule* QuilletTestFfmpegModule();
