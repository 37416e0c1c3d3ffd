// The DVD subpicture run-length code: runs of pixels, coded rows, and the pixel-data block they fill.
#include "sup/run_length_coding.h"

#include <cassert>
#include <stdexcept>

namespace quillet {

void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out) {
  uint8_t row[kRowCodeBufferBytes];
  RowCodeWriter writer(row);
  int pixels = 0;
  for (const PixelRun& run : runs) {
    assert(run.role < 4);
    // The checks also keep the codes inside the row buffer.
    if (run.length < 1) throw std::invalid_argument("a run of no pixels");
    pixels += run.length;
    if (pixels > kCodedRowPixels) throw std::invalid_argument("a row's runs cover more than 719 pixels");
    writer.Run(run.length, run.role);
  }
  writer.AppendTo(out);
}

}  // namespace quillet
