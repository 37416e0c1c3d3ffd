// One entry's pixel-data block, coded from its rendered frame or straight from its passes.
#include "sup/entry_encoder.h"

#include <string>

#include "base/errors.h"
#include "sup/mask_band_coder.h"

namespace quillet {

void EntryEncoder::Encode(const RenderedFrame& frame, PixelData& out) {
  // The band starts on an even row so that its first row opens the top field.
  if (frame.bandTop % 2 != 0) {
    throw QuilletError("The text band starts on row " + std::to_string(frame.bandTop) + ", which is not even.");
  }
  ScanBand(frame.frame, frame.bandTop, frame.bandHeight, m_roles, m_runs);
  EncodeFields(m_runs, out);
}

void EncodeFrame(const RenderedFrame& frame, const RoleRgb& roles, EncodedEntry& out) {
  EntryEncoder(roles).Encode(frame, out.pixels);
  out.bandTop = frame.bandTop;
  out.bandHeight = frame.bandHeight;
  out.bandFit = frame.bandFit;
  out.missingCharacters = frame.missingCharacters;
}

void EncodePasses(const EntryPasses& passes, const PaintCodes& codes, EncodedEntry& out) {
  EncodeBandFromPasses(passes, codes, out.pixels);
  out.bandTop = passes.band.top;
  out.bandHeight = passes.band.height;
  out.bandFit = passes.band.fit;
  out.missingCharacters = passes.missingCharacters;
}

}  // namespace quillet
