// One entry's pixel-data block, coded straight from its passes.
#include "sup/entry_encoder.h"

#include "sup/mask_band_coder.h"

namespace quillet {

void EncodePasses(const EntryPasses& passes, const PaintCodes& codes, EncodedEntry& out) {
  EncodeBandFromPasses(passes, codes, out.pixels);
  out.bandTop = passes.band.top;
  out.bandHeight = passes.band.height;
  out.bandFit = passes.band.fit;
  out.missingCharacters = passes.missingCharacters;
  out.controlCharacters = passes.controlCharacters;
}

}  // namespace quillet
