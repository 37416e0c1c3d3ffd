// The DVD subpicture run-length code: coded rows, and the pixel-data block they fill.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/frame.h"

namespace quillet {

// Pixels coded per row: x = 0..718. The last column is never coded; the end-of-line code fills it with the
// background role.
constexpr int kCodedRowPixels = kFrameWidth - 1;

// The pixel-data block of one subpicture with its field offsets (bytes from the block's start).
// The block starts with two zero bytes that no offset points at, then the top field (the band's even
// rows), then the bottom field (its odd rows).
struct PixelData {
  std::vector<uint8_t> block;
  int topFieldOffset = 0;     // always 2
  int bottomFieldOffset = 0;  // 2 + the top field's length
  bool operator==(const PixelData&) const = default;
};

// A coded row never exceeds one nibble per coded pixel (a 1-pixel run is one nibble, longer runs need fewer
// per pixel), plus the pad nibble and the end-of-line code.
constexpr int kMaxCodedRowBytes = (kCodedRowPixels + 1) / 2 + 2;

// Room for one coded row and the writer's last 8-byte store.
constexpr int kRowCodeBufferBytes = kMaxCodedRowBytes + 8;

// Codes one row run by run into a buffer of kRowCodeBufferBytes: each run as a code of 4, 8, 12 or 16 bits
// holding 4 × length + role (runs over 255 pixels as several codes of the same role), a zero nibble when the
// nibble count is odd, then the end-of-line code 0x00 0x00, which fills the rest of the line with the
// background role. The runs are not checked: the caller gives runs of at least one pixel that together cover
// at most 719. The buffer is the caller's, not a member: stores of bytes may alias anything in the same object,
// and the writer's state then goes back to memory after every code (about a third slower).
class RowCodeWriter {
 public:
  explicit RowCodeWriter(uint8_t* buffer) : m_begin(buffer), m_end(buffer) {}

  void Run(int length, unsigned role) {
    while (length > 255) {
      Code(255, role);
      length -= 255;
    }
    Code(length, role);
  }
  // Ends the row (the pad nibble, the end-of-line code) and appends its bytes to `out`.
  void AppendTo(std::vector<uint8_t>& out) {
    uint8_t* end = m_end + (m_bits != 0 ? 1 : 0);  // a lone last nibble is completed by a zero one, stored already
    *end++ = 0;                                     // end of line
    *end++ = 0;
    out.insert(out.end(), m_begin, end);
  }

 private:
  // One code for a run of 1..255 pixels: 4 × length + role, in 1 nibble for lengths 1-3, 2 for 4-15, 3 (a
  // leading zero) for 16-63 and 4 (a leading zero) for 64-255. The pending bits are stored eight bytes at a
  // time and the finished bytes kept, so there is no branch on the byte boundary.
  void Code(int length, unsigned role) {
    const int bits = kCodeBits[length];
    m_bits += bits;
    m_pending = (m_pending << bits) | (4u * static_cast<unsigned>(length) + role);
    uint64_t aligned = m_pending << (64 - m_bits);  // pending bits at the top, zeros below
    if constexpr (std::endian::native == std::endian::little) aligned = __builtin_bswap64(aligned);
    std::memcpy(m_end, &aligned, 8);
    m_end += m_bits >> 3;
    m_bits &= 7;
  }

  // The bits of the code for a run of each length 1..255 (a table: the comparisons cost a tenth of the run).
  static constexpr auto kCodeBits = [] {
    std::array<uint8_t, 256> bits{};
    for (int length = 1; length < 256; ++length) {
      bits[length] = static_cast<uint8_t>(4 * (1 + (length >= 4) + (length >= 16) + (length >= 64)));
    }
    return bits;
  }();

  uint8_t* m_begin;
  uint8_t* m_end;
  uint64_t m_pending = 0;
  int m_bits = 0;  // pending bits: 0 or 4
};

}  // namespace quillet
