// One entry's pixel-data block, coded from its rendered frame or straight from its passes.
#pragma once

#include <string>

#include "render/frame.h"
#include "render/subtitle_renderer.h"
#include "sup/band_scan.h"
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
};

// Codes rendered frames: one object per thread keeps its buffers between entries, so coding entry after entry
// allocates nothing once they have grown.
class EntryEncoder {
 public:
  explicit EntryEncoder(const RoleRgb& roles) : m_roles(roles) {}

  // Scans the frame's band and codes its two fields into `out`. Throws QuilletError when the band is
  // empty, starts on an odd row or leaves the frame.
  void Encode(const RenderedFrame& frame, PixelData& out);

 private:
  RoleRgb m_roles;
  BandRuns m_runs;
};

// The frame path: the frame's band scanned (its pixels classified by the role colours) and coded, with the
// frame's band and missing characters. Throws as EntryEncoder::Encode does.
void EncodeFrame(const RenderedFrame& frame, const RoleRgb& roles, EncodedEntry& out);

// The generation run's path: the same bytes, coded straight from the passes (EncodeBandFromPasses); `codes` are
// PaintCodesFor the role colours.
void EncodePasses(const EntryPasses& passes, const PaintCodes& codes, EncodedEntry& out);

}  // namespace quillet
