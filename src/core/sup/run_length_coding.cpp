// The DVD subpicture run-length code: runs of pixels, coded rows, and the pixel-data block they fill.
#include "sup/run_length_coding.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <stdexcept>

namespace quillet {
namespace {

// A coded row never exceeds one nibble per coded pixel (a 1-pixel run is one nibble, longer runs need fewer
// per pixel), plus the pad nibble and the end-of-line code.
constexpr int kMaxCodedRowBytes = (kCodedRowPixels + 1) / 2 + 2;

inline void StoreBigEndian64(uint8_t* out, uint64_t value) {
  if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
  std::memcpy(out, &value, 8);
}

// Writes codes of whole nibbles into a row buffer, first nibble in the high half of a byte. Each code is added
// to a bit accumulator whose whole bytes are stored at once (eight bytes written, the finished ones kept), so
// there is no branch on the byte boundary. The buffer needs 8 bytes of room after the last byte kept.
// Every code of a run passes through here: a writer that loops over whole bytes made the two-hour film's run
// about 12 % slower (paired whole runs), so this one stays.
class NibbleWriter {
 public:
  explicit NibbleWriter(uint8_t* out) : m_out(out) {}

  // `value` as `nibbles` nibbles (1..4), most significant first; value < 16^nibbles.
  void Put(unsigned value, int nibbles) {
    m_bits += 4 * nibbles;
    m_acc = (m_acc << (4 * nibbles)) | value;
    const uint64_t aligned = m_acc << (64 - m_bits);  // pending bits at the top, zeros below
    StoreBigEndian64(m_out, aligned);
    m_out += m_bits >> 3;
    m_bits &= 7;
  }
  // End of the codes: a lone last nibble is completed with a zero nibble (already stored). Returns the end.
  uint8_t* Finish() { return m_out + (m_bits != 0 ? 1 : 0); }

 private:
  uint8_t* m_out;
  uint64_t m_acc = 0;
  int m_bits = 0;  // pending bits: 0 or 4
};

// One code for a run of 1..255 pixels: 4 × length + role, in 1 nibble for lengths 1-3, 2 for 4-15, 3 (a
// leading zero) for 16-63 and 4 (a leading zero) for 64-255.
inline void PutCode(NibbleWriter& writer, int length, unsigned role) {
  assert(length >= 1 && length <= 255);
  const int nibbles = 1 + (length >= 4) + (length >= 16) + (length >= 64);
  writer.Put(4u * static_cast<unsigned>(length) + role, nibbles);
}

}  // namespace

void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out) {
  uint8_t row[kMaxCodedRowBytes + 8];
  NibbleWriter writer(row);
  int pixels = 0;
  for (const PixelRun& run : runs) {
    assert(run.role < 4);
    // The checks also keep the codes inside the row buffer.
    if (run.length < 1) throw std::invalid_argument("a run of no pixels");
    pixels += run.length;
    if (pixels > kCodedRowPixels) throw std::invalid_argument("a row's runs cover more than 719 pixels");
    int left = run.length;
    while (left > 255) {
      PutCode(writer, 255, run.role);
      left -= 255;
    }
    PutCode(writer, left, run.role);
  }
  uint8_t* end = writer.Finish();
  *end++ = 0;  // end of line
  *end++ = 0;
  out.insert(out.end(), row, end);
}

}  // namespace quillet
