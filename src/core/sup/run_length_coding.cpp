// The DVD subpicture run-length code: coded rows, and the pixel-data block of a band's two fields.
#include "sup/run_length_coding.h"

#include <cassert>

namespace quillet {
namespace {

// Writes 4-bit nibbles, first nibble in the high half of a byte.
class NibbleWriter {
 public:
  explicit NibbleWriter(std::vector<uint8_t>& out) : m_out(out) {}

  void Put(unsigned nibble) {
    if (m_half) {
      m_out.back() = static_cast<uint8_t>(m_out.back() | nibble);
    } else {
      m_out.push_back(static_cast<uint8_t>(nibble << 4));
    }
    m_half = !m_half;
  }
  // Completes the last byte with a zero nibble when it holds only one.
  void Align() { m_half = false; }

 private:
  std::vector<uint8_t>& m_out;
  bool m_half = false;
};

// One code for a run of 1..255 pixels. The width follows the length: 1-3 one nibble, 4-15 two, 16-63 a
// zero nibble and two, 64-255 a zero nibble and three.
void PutCode(NibbleWriter& writer, int length, unsigned role) {
  assert(length >= 1 && length <= 255);
  const unsigned value = 4u * static_cast<unsigned>(length) + role;
  if (length < 4) {
    writer.Put(value);
  } else if (length < 16) {
    writer.Put(value >> 4);
    writer.Put(value & 0xF);
  } else if (length < 64) {
    writer.Put(0);
    writer.Put(value >> 4);
    writer.Put(value & 0xF);
  } else {
    writer.Put(0);
    writer.Put(value >> 8);
    writer.Put((value >> 4) & 0xF);
    writer.Put(value & 0xF);
  }
}

}  // namespace

void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out) {
  NibbleWriter writer(out);
  for (const PixelRun& run : runs) {
    assert(run.length >= 1 && run.length <= kCodedRowPixels && run.role < 4);
    int left = run.length;
    while (left > 255) {
      PutCode(writer, 255, run.role);
      left -= 255;
    }
    PutCode(writer, left, run.role);
  }
  writer.Align();
  out.push_back(0);
  out.push_back(0);
}

std::vector<uint8_t> EncodeRow(std::span<const PixelRun> runs) {
  std::vector<uint8_t> out;
  EncodeRow(runs, out);
  return out;
}

void EncodeFields(const BandRuns& runs, PixelData& out) {
  out.block.clear();
  out.block.push_back(0);
  out.block.push_back(0);
  out.topFieldOffset = static_cast<int>(out.block.size());
  for (int row = 0; row < runs.RowCount(); row += 2) EncodeRow(runs.Row(row), out.block);
  out.bottomFieldOffset = static_cast<int>(out.block.size());
  for (int row = 1; row < runs.RowCount(); row += 2) EncodeRow(runs.Row(row), out.block);
}

PixelData EncodeFields(const BandRuns& runs) {
  PixelData out;
  EncodeFields(runs, out);
  return out;
}

}  // namespace quillet
