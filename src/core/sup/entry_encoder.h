// One entry's pixel-data block, coded straight from its passes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/frame.h"
#include "render/subtitle_renderer.h"
#include "sup/paint_codes.h"
#include "sup/run_length_coding.h"

namespace quillet {

// One entry, coded: its pixel-data block and the band it covers.
struct EncodedEntry {
  PixelData pixels;
  int bandTop = 0;
  int bandHeight = 0;
  BandFit bandFit = BandFit::Inside;
  std::u32string missingCharacters;  // drawn as empty boxes: no installed font has them
  std::u32string controlCharacters;  // left out of the lines
  // A Blu-ray entry instead of the pixel data: its two display sets, times and composition numbers still to be
  // stamped by the run (pgs/display_sets.h).
  std::vector<uint8_t> pictureSets;
};

// Codes the entry's band straight from the passes (EncodeBandFromPasses), with the passes' band and missing
// characters; `codes` are PaintCodesFor the role colours. `out`'s buffer is reused.
void EncodePasses(const EntryPasses& passes, const PaintCodes& codes, EncodedEntry& out);

}  // namespace quillet
