// Test-only: ffmpeg's decoder and demuxers, reached through the module that holds them.
#include <dlfcn.h>

#include <stdexcept>

#include "ffmpeg_module.h"

namespace quillet::test {

const FfmpegModule* LoadFfmpegModule() {
#ifdef QUILLET_TEST_FFMPEG_MODULE
  static const FfmpegModule* const module = []() -> const FfmpegModule* {
    void* handle = dlopen(QUILLET_TEST_FFMPEG_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;  // kept open for the life of the process
    auto entry = reinterpret_cast<decltype(&QuilletTestFfmpegModule)>(dlsym(handle, "QuilletTestFfmpegModule"));
    return entry != nullptr ? entry() : nullptr;
  }();
  return module;
#else
  return nullptr;
#endif
}

bool DvdSubDecoderAvailable() {
  const FfmpegModule* module = LoadFfmpegModule();
  return module != nullptr && module->decoderAvailable();
}

DecodedSubpicture DecodeDvdSubpicture(std::span<const uint8_t> unit, int64_t pts90k, std::string_view idxHeader) {
  const FfmpegModule* module = LoadFfmpegModule();
  if (module == nullptr) throw std::runtime_error("built without libavcodec");
  return module->decode(unit, pts90k, idxHeader);
}

bool FfmpegDemuxerAvailable() {
  const FfmpegModule* module = LoadFfmpegModule();
  return module != nullptr && module->demuxerAvailable();
}

DemuxedFile DemuxWithFfmpeg(const std::string& path, const char* format) {
  const FfmpegModule* module = LoadFfmpegModule();
  if (module == nullptr) throw std::runtime_error("built without libavformat");
  return module->demux(path, format);
}

std::vector<DecodedPgsSet> DecodePgsFile(const std::string& path) {
  const FfmpegModule* module = LoadFfmpegModule();
  if (module == nullptr) throw std::runtime_error("built without libavcodec");
  return module->decodePgs(path);
}

}  // namespace quillet::test
