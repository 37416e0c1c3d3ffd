// The .idx half of a VobSub pair: frame size, palette, language and where each subpicture starts.
//
// Fields followed: the "VobSub index file, v7" layout as the Library of Congress format description of the
// Subtitle Index (VobSub IDX, fdd000570) shows it. Readers recognise the file by its first line; "size:"
// is the frame the subpictures' coordinates refer to; "palette:" the 16 colours as RRGGBB in hexadecimal;
// "id: xx, index: 0" opens the one track; then one "timestamp: HH:MM:SS:mmm, filepos: 000000000" line per
// subpicture, the file position in hexadecimal. The other settings are written with neutral values: no
// fading, no scaling, no alignment override, so a player shows the subpicture where the unit puts it.
#include "sup/vobsub_index.h"

#include <algorithm>
#include <cstdio>

namespace quillet {

std::string VobSubTimestamp(uint32_t pts90k) {
  const uint64_t ms = (uint64_t{pts90k} + 45) / 90;
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u:%03u", static_cast<unsigned>(ms / 3600000),
                static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                static_cast<unsigned>(ms % 1000));
  return text;
}

std::string BuildVobSubIndex(const VobSubIndex& index) {
  std::string text;
  auto line = [&text](std::string_view content) {
    text += content;
    text += "\r\n";
  };
  line("# VobSub index file, v7 (do not modify this line!)");
  line(std::string(kVobSubIndexMarker));
  line("size: " + std::to_string(index.width) + "x" + std::to_string(index.height));
  line("org: 0, 0");
  line("scale: 100%, 100%");
  line("alpha: 100%");
  line("smooth: OFF");
  line("fadein/out: 0, 0");
  line("align: OFF at LEFT TOP");
  line("time offset: 0");
  line("forced subs: OFF");
  std::string palette = "palette: ";
  for (std::size_t i = 0; i < index.palette.size(); ++i) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "%02x%02x%02x", index.palette[i].r, index.palette[i].g, index.palette[i].b);
    if (i > 0) palette += ", ";
    palette += colour;
  }
  line(palette);
  line("custom colors: OFF, tridx: 0000, colors: 000000, 000000, 000000, 000000");
  line("langidx: 0");
  line("");
  line("id: " + index.language + ", index: 0");

  std::vector<VobSubIndexEntry> ordered = index.entries;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const VobSubIndexEntry& a, const VobSubIndexEntry& b) { return a.pts90k < b.pts90k; });
  for (const VobSubIndexEntry& entry : ordered) {
    char position[24];
    std::snprintf(position, sizeof position, "%09llx", static_cast<unsigned long long>(entry.filePos));
    line("timestamp: " + VobSubTimestamp(entry.pts90k) + ", filepos: " + position);
  }
  return text;
}

}  // namespace quillet
