// Every subpicture unit in packets of its own: the DVD muxer's packs are rewritten where one packet holds the end of
// a unit and the start of the next.
#include "mux/subpicture_packs.h"

#include <algorithm>
#include <cstring>

namespace quillet {
namespace {

constexpr uint8_t kPackStart = 0xBA;
constexpr uint8_t kSystemHeader = 0xBB;
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr uint8_t kPaddingStream = 0xBE;
constexpr std::size_t kPesFixedBytes = 9;  // start code, length, two flag bytes, header length
constexpr std::size_t kMaxHeadersBytes = 256;

bool StartCode(const uint8_t* at, uint8_t code) { return at[0] == 0 && at[1] == 0 && at[2] == 1 && at[3] == code; }
std::size_t Read16(const uint8_t* at) { return static_cast<std::size_t>(at[0] << 8 | at[1]); }

int64_t ReadPts(const uint8_t* at) {
  return static_cast<int64_t>(at[0] >> 1 & 7) << 30 | static_cast<int64_t>(Read16(at + 1) >> 1) << 15 |
         static_cast<int64_t>(Read16(at + 3) >> 1);
}

void PutPts(uint8_t* at, int64_t pts) {
  at[0] = static_cast<uint8_t>(0x21 | (pts >> 29 & 0x0E));
  at[1] = static_cast<uint8_t>(pts >> 22);
  at[2] = static_cast<uint8_t>(pts >> 14 | 1);
  at[3] = static_cast<uint8_t>(pts >> 7);
  at[4] = static_cast<uint8_t>(pts << 1 | 1);
}

// Where the parts of one subpicture packet lie in its pack.
struct SubpicturePacket {
  std::size_t headerEnd = 0;  // the pack header's end (with any system header)
  bool hasPts = false;
  int64_t pts = 0;
  std::span<const uint8_t> extension;  // the PES extension (the buffer size in a stream's first packet), or none
  int substream = 0;
  std::span<const uint8_t> payload;
};

// The subpicture packet of a pack, when the pack is one.
bool ReadSubpicturePacket(const uint8_t* pack, SubpicturePacket& packet) {
  if (!StartCode(pack, kPackStart) || (pack[4] & 0xC0) != 0x40) return false;
  std::size_t at = 14 + (pack[13] & 7u);
  if (at + 6 <= kDvdPackBytes && StartCode(pack + at, kSystemHeader)) at += 6 + Read16(pack + at + 4);
  // The muxer's headers before a packet are a few dozen bytes; far more leaves no room to write the unit again.
  if (at > kMaxHeadersBytes || !StartCode(pack + at, kPrivateStream1)) return false;
  const std::size_t end = at + 6 + Read16(pack + at + 4);
  const uint8_t flags = pack[at + 7];
  const std::size_t data = at + kPesFixedBytes;
  const std::size_t substream = data + pack[at + 8];
  if (end > kDvdPackBytes || substream >= end || (pack[substream] & 0xE0) != 0x20 || (flags & 0x40) != 0) return false;
  packet.headerEnd = at;
  packet.hasPts = (flags & 0x80) != 0;
  if (packet.hasPts && data + 5 > substream) return false;
  if (packet.hasPts) packet.pts = ReadPts(pack + data);
  const std::size_t extension = data + (packet.hasPts ? 5 : 0);
  if ((flags & 0x01) != 0 && extension + 3 <= substream && pack[extension] == 0x10) {
    packet.extension = {pack + extension, 3};
  }
  packet.substream = pack[substream];
  packet.payload = {pack + substream + 1, end - substream - 1};
  return true;
}

// One pack holding `part` of a unit: the pack header of `pack` (its first `headerEnd` bytes), a packet of
// sub-stream `substream` with `pts` when given, and padding to the pack's size.
std::array<uint8_t, kDvdPackBytes> PartPack(const uint8_t* pack, std::size_t headerEnd, int substream,
                                            std::span<const uint8_t> part, const int64_t* pts,
                                            std::span<const uint8_t> extension) {
  std::array<uint8_t, kDvdPackBytes> out{};
  std::memcpy(out.data(), pack, headerEnd);
  std::size_t headerData = (pts ? 5 : 0) + extension.size() + 1;  // one stuffing byte, as the muxer writes
  std::size_t padding = kDvdPackBytes - (headerEnd + kPesFixedBytes + headerData + 1 + part.size());
  if (padding < 6) {  // too short for a padding packet: stuffing in the header instead
    headerData += padding;
    padding = 0;
  }
  const std::size_t length = 3 + headerData + 1 + part.size();
  const uint8_t start[] = {0,
                           0,
                           1,
                           kPrivateStream1,
                           static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length),
                           0x80,
                           static_cast<uint8_t>((pts ? 0x80 : 0) | (extension.empty() ? 0 : 0x01)),
                           static_cast<uint8_t>(headerData)};
  uint8_t* at = std::copy(std::begin(start), std::end(start), out.data() + headerEnd);
  if (pts) {
    PutPts(at, *pts);
    at += 5;
  }
  at = std::copy(extension.begin(), extension.end(), at);
  at = std::fill_n(at, headerData - (pts ? 5 : 0) - extension.size(), uint8_t{0xFF});
  *at++ = static_cast<uint8_t>(substream);
  at = std::copy(part.begin(), part.end(), at);
  if (padding > 0) {
    const uint8_t pad[] = {
        0, 0, 1, kPaddingStream, static_cast<uint8_t>((padding - 6) >> 8), static_cast<uint8_t>(padding - 6)};
    std::fill_n(std::copy(std::begin(pad), std::end(pad), at), padding - 6, uint8_t{0xFF});
  }
  return out;
}

// The packet dvdauthor reads the colours of a subpicture stream's units from (spumux writes one before each unit):
// a padding packet right behind a 14-byte pack header, "dvdauthor-data", version 2, "subtitle", the sub-stream,
// start and end time (the end unknown), then a colour map of 16 Y Cr Cb entries; 0xFF ends the list.
std::array<uint8_t, kDvdPackBytes> ColourPack(const uint8_t* pack, int substream, int64_t pts,
                                              const std::array<uint32_t, 16>& colours) {
  constexpr std::size_t kHeader = 14;
  std::array<uint8_t, kDvdPackBytes> out{};
  out.fill(0xFF);
  std::memcpy(out.data(), pack, kHeader);
  out[13] = 0xF8;  // no stuffing: dvdauthor looks for the packet right behind
  const std::size_t length = kDvdPackBytes - kHeader - 6;
  const uint8_t start[] = {0, 0, 1, kPaddingStream, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
  uint8_t* at = std::copy(std::begin(start), std::end(start), out.data() + kHeader);
  static constexpr char kMark[] = "dvdauthor-data";  // with its terminating zero
  at = std::copy(std::begin(kMark), std::end(kMark), at);
  const auto pts32 = static_cast<uint32_t>(pts);
  const uint8_t info[] = {2,
                          1,
                          static_cast<uint8_t>(substream),
                          static_cast<uint8_t>(pts32 >> 24),
                          static_cast<uint8_t>(pts32 >> 16),
                          static_cast<uint8_t>(pts32 >> 8),
                          static_cast<uint8_t>(pts32),
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF,
                          1,
                          16};
  at = std::copy(std::begin(info), std::end(info), at);
  for (const uint32_t colour : colours) {
    *at++ = static_cast<uint8_t>(colour >> 16);
    *at++ = static_cast<uint8_t>(colour >> 8);
    *at++ = static_cast<uint8_t>(colour);
  }
  return out;  // the 0xFF after the colours ends the list
}

// The unit size a unit's first two bytes give; 0 for one that cannot be a unit's.
uint32_t UnitSize(const std::vector<uint8_t>& unit) {
  const uint32_t size = static_cast<uint32_t>(unit[0] << 8 | unit[1]);
  return size >= 4 ? size : 0;
}

}  // namespace

void SubpicturePacker::Expect(int substream, int64_t pts90k) { StreamOf(substream).handed.push_back(pts90k); }

void SubpicturePacker::Feed(std::span<const uint8_t> bytes) {
  if (m_lost) {
    m_sink(bytes);
    return;
  }
  while (!bytes.empty()) {
    if (m_partial.empty() && bytes.size() >= kDvdPackBytes) {
      Pack(bytes.data());
      bytes = bytes.subspan(kDvdPackBytes);
      continue;
    }
    const std::size_t take = std::min(kDvdPackBytes - m_partial.size(), bytes.size());
    m_partial.insert(m_partial.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
    bytes = bytes.subspan(take);
    if (m_partial.size() == kDvdPackBytes) {
      Pack(m_partial.data());
      m_partial.clear();
    }
  }
}

void SubpicturePacker::Finish() {
  if (!m_partial.empty()) m_sink(m_partial);
  m_partial.clear();
}

void SubpicturePacker::Pack(const uint8_t* pack) {
  SubpicturePacket packet;
  if (!StartCode(pack, kPackStart)) m_lost = true;  // not the muxer's packs: passed on as they are from here on
  if (m_lost || !ReadSubpicturePacket(pack, packet) || StreamOf(packet.substream).lost) {
    m_sink({pack, kDvdPackBytes});
    return;
  }
  Stream& stream = StreamOf(packet.substream);
  if (stream.extension.empty() && !packet.extension.empty()) {
    stream.extension.assign(packet.extension.begin(), packet.extension.end());
  }
  // The packet's own time is that of the first unit starting in it.
  if (packet.hasPts && !stream.handed.empty()) m_offset = packet.pts - stream.handed.front();
  if (!Gather(stream, packet.payload, pack, packet.headerEnd, packet.substream)) {
    // What was gathered of the unit goes out as it came, and so does the stream from here on.
    stream.lost = true;
    if (!stream.unit.empty()) WriteUnit(stream, pack, packet.headerEnd, packet.substream);
    m_sink({pack, kDvdPackBytes});
  }
}

bool SubpicturePacker::Gather(Stream& stream, std::span<const uint8_t> payload, const uint8_t* pack,
                              std::size_t headerEnd, int substream) {
  while (!payload.empty()) {
    if (stream.unit.empty()) {
      stream.unitPts = (stream.handed.empty() ? 0 : stream.handed.front()) + m_offset;
      if (!stream.handed.empty()) stream.handed.pop_front();
    }
    // A unit's first two bytes give its size, and they too may lie in two packets.
    const std::size_t want =
        stream.unit.size() < 2 ? 2 - stream.unit.size() : UnitSize(stream.unit) - stream.unit.size();
    const std::size_t take = std::min(want, payload.size());
    stream.unit.insert(stream.unit.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(take));
    payload = payload.subspan(take);
    if (stream.unit.size() < 2) break;
    if (UnitSize(stream.unit) == 0) return false;
    if (stream.unit.size() == UnitSize(stream.unit)) WriteUnit(stream, pack, headerEnd, substream);
  }
  return true;
}

void SubpicturePacker::WriteUnit(Stream& stream, const uint8_t* pack, std::size_t headerEnd, int substream) {
  const int64_t pts = stream.unitPts & ((int64_t{1} << 33) - 1);
  const std::span<const uint8_t> unit = stream.unit;
  const auto& kept = m_kept[static_cast<std::size_t>(substream & 0x1F)];
  m_sink(ColourPack(pack, substream, pts, kept ? *kept : m_colours));
  for (std::size_t at = 0; at < unit.size();) {
    const bool first = at == 0;
    const std::span<const uint8_t> extension =
        first ? std::span<const uint8_t>(stream.extension) : std::span<const uint8_t>{};
    const std::size_t room = kDvdPackBytes - headerEnd - kPesFixedBytes - ((first ? 5 : 0) + extension.size() + 1) - 1;
    const std::size_t take = std::min(room, unit.size() - at);
    m_sink(PartPack(pack, headerEnd, substream, unit.subspan(at, take), first ? &pts : nullptr, extension));
    at += take;
  }
  stream.extension.clear();  // a stream's first packet only
  stream.extension.shrink_to_fit();
  stream.unit.clear();
}

}  // namespace quillet
