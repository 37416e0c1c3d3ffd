// Turning one rendered frame into its pixel-data block, reusing the scan and code buffers entry after entry.
#include "sup/entry_encoder.h"

#include <string>

#include "base/errors.h"

namespace quillet {

void EntryEncoder::Encode(const RenderedFrame& frame, PixelData& out) {
  // The band starts on an even row so that its first row opens the top field.
  if (frame.bandTop % 2 != 0) {
    throw QuilletError("The text band starts on row " + std::to_string(frame.bandTop) + ", which is not even.");
  }
  ScanBand(frame.frame, frame.bandTop, frame.bandHeight, m_roles, m_runs);
  EncodeFields(m_runs, out);
}

}  // namespace quillet
