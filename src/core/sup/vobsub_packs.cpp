// The .sub half of a VobSub pair: subpicture units carried in 2048-byte MPEG-2 program-stream packs.
//
// Layout followed: the DVD-Video pack header and PES header descriptions of the dvdinfo pages
// (dvd.sourceforge.net/dvdinfo/packhdr.html and pes-hdr.html, mirrored at mpucoder.com/DVD), which give the
// MPEG-2 program-stream fields as a DVD uses them. Each pack, one 2048-byte sector:
//
//   pack header, 14 bytes   00 00 01 BA, SCR (33 bits + 9-bit extension, with marker bits),
//                           program_mux_rate 25200 (10.08 Mbit/s in units of 50 bytes/s) + two marker bits,
//                           five reserved bits and a pack stuffing length of 0
//   PES packet              00 00 01 BD (private stream 1), 16-bit length of what follows it,
//                           0x81 ('10', not scrambled, original), PTS_DTS_flags '10' in the unit's first
//                           pack and '00' in the others, header data length, the PTS (5 bytes, first pack
//                           only), stuffing bytes 0xFF, then the substream number 0x20 and unit bytes
//   padding                 what is left of the sector: a padding stream packet 00 00 01 BE with its length
//                           and 0xFF bytes, or, when fewer than the 6 bytes such a packet needs are left,
//                           stuffing bytes inside the PES header instead
//
// The SCR of every pack is the unit's PTS: a subtitle stream on its own has no other clock to follow.
#include "sup/vobsub_packs.h"

#include <algorithm>
#include <cassert>

namespace quillet {
namespace {

constexpr std::size_t kPackHeaderBytes = 14;
constexpr std::size_t kPesFixedBytes = 9;  // start code, stream id, length, two flag bytes, header data length
constexpr std::size_t kPtsBytes = 5;
constexpr std::size_t kPaddingHeaderBytes = 6;
constexpr uint32_t kMuxRate = 25200;

static_assert(kFirstPackPayloadBytes == kVobSubPackBytes - kPackHeaderBytes - kPesFixedBytes - kPtsBytes - 1);
static_assert(kLaterPackPayloadBytes == kVobSubPackBytes - kPackHeaderBytes - kPesFixedBytes - 1);

void PutPackHeader(uint8_t* p, uint64_t scr) {
  p[0] = 0x00;
  p[1] = 0x00;
  p[2] = 0x01;
  p[3] = 0xBA;
  // '01', SCR 32..30, marker, SCR 29..15, marker, SCR 14..0, marker, extension (0), marker.
  p[4] = static_cast<uint8_t>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03));
  p[5] = static_cast<uint8_t>(scr >> 20);
  p[6] = static_cast<uint8_t>(((scr >> 12) & 0xF8) | 0x04 | ((scr >> 13) & 0x03));
  p[7] = static_cast<uint8_t>(scr >> 5);
  p[8] = static_cast<uint8_t>(((scr << 3) & 0xF8) | 0x04);
  p[9] = 0x01;
  p[10] = static_cast<uint8_t>(kMuxRate >> 14);
  p[11] = static_cast<uint8_t>(kMuxRate >> 6);
  p[12] = static_cast<uint8_t>(((kMuxRate << 2) & 0xFC) | 0x03);
  p[13] = 0xF8;  // reserved bits set, no pack stuffing
}

// '0010', PTS 32..30, marker, PTS 29..15, marker, PTS 14..0, marker.
void PutPts(uint8_t* p, uint64_t pts) {
  p[0] = static_cast<uint8_t>(0x21 | ((pts >> 29) & 0x0E));
  p[1] = static_cast<uint8_t>(pts >> 22);
  p[2] = static_cast<uint8_t>(((pts >> 14) & 0xFE) | 0x01);
  p[3] = static_cast<uint8_t>(pts >> 7);
  p[4] = static_cast<uint8_t>(((pts << 1) & 0xFE) | 0x01);
}

}  // namespace

std::size_t VobSubPackCount(std::size_t unitBytes) {
  if (unitBytes <= kFirstPackPayloadBytes) return 1;
  return 1 + (unitBytes - kFirstPackPayloadBytes + kLaterPackPayloadBytes - 1) / kLaterPackPayloadBytes;
}

void AppendVobSubPacks(std::span<const uint8_t> unit, uint32_t pts90k, std::vector<uint8_t>& out) {
  const std::size_t packs = VobSubPackCount(unit.size());
  std::size_t at = out.size();
  out.resize(at + packs * kVobSubPackBytes);
  std::size_t sent = 0;
  for (std::size_t pack = 0; pack < packs; ++pack, at += kVobSubPackBytes) {
    uint8_t* p = out.data() + at;
    const bool first = pack == 0;
    const std::size_t capacity = first ? kFirstPackPayloadBytes : kLaterPackPayloadBytes;
    const std::size_t payload = std::min(capacity, unit.size() - sent);
    const std::size_t left = capacity - payload;
    const std::size_t stuffing = left < kPaddingHeaderBytes ? left : 0;
    const std::size_t headerData = (first ? kPtsBytes : 0) + stuffing;

    PutPackHeader(p, pts90k);
    uint8_t* pes = p + kPackHeaderBytes;
    const std::size_t pesLength = 3 + headerData + 1 + payload;  // counted from the byte after the length field
    pes[0] = 0x00;
    pes[1] = 0x00;
    pes[2] = 0x01;
    pes[3] = 0xBD;
    pes[4] = static_cast<uint8_t>(pesLength >> 8);
    pes[5] = static_cast<uint8_t>(pesLength);
    pes[6] = 0x81;
    pes[7] = first ? 0x80 : 0x00;
    pes[8] = static_cast<uint8_t>(headerData);
    uint8_t* q = pes + kPesFixedBytes;
    if (first) {
      PutPts(q, pts90k);
      q += kPtsBytes;
    }
    std::fill_n(q, stuffing, uint8_t{0xFF});
    q += stuffing;
    *q++ = kVobSubSubstreamId;
    std::copy_n(unit.data() + sent, payload, q);
    q += payload;
    sent += payload;

    const std::size_t padding = p + kVobSubPackBytes - q;
    assert(padding == 0 || padding >= kPaddingHeaderBytes);
    if (padding > 0) {
      const std::size_t paddingLength = padding - kPaddingHeaderBytes;
      q[0] = 0x00;
      q[1] = 0x00;
      q[2] = 0x01;
      q[3] = 0xBE;
      q[4] = static_cast<uint8_t>(paddingLength >> 8);
      q[5] = static_cast<uint8_t>(paddingLength);
      std::fill_n(q + kPaddingHeaderBytes, paddingLength, uint8_t{0xFF});
    }
  }
  assert(sent == unit.size());
}

}  // namespace quillet
