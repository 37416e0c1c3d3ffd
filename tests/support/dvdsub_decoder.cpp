// Test-only: splits a SUP file into its packets (the decoding is ffmpeg's, in ffmpeg_module.cpp).
#include "dvdsub_decoder.h"

#include <stdexcept>

namespace quillet::test {

std::vector<SupPacket> SplitSupFile(const std::string& bytes) {
  std::vector<SupPacket> packets;
  std::size_t at = 0;
  auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
  while (at < bytes.size()) {
    if (bytes.size() - at < 12 || bytes[at] != 'S' || bytes[at + 1] != 'P') {
      throw std::runtime_error("no packet header at byte " + std::to_string(at));
    }
    SupPacket packet;
    packet.pts90k = uint32_t{byte(at + 2)} | uint32_t{byte(at + 3)} << 8 | uint32_t{byte(at + 4)} << 16 |
                    uint32_t{byte(at + 5)} << 24;
    const std::size_t size = std::size_t{byte(at + 10)} << 8 | byte(at + 11);
    if (size < 4 || bytes.size() - at - 10 < size) {
      throw std::runtime_error("unit at byte " + std::to_string(at) + " overruns the file");
    }
    packet.unit.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 10),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 10 + size));
    packets.push_back(std::move(packet));
    at += 10 + size;
  }
  return packets;
}

}  // namespace quillet::test
