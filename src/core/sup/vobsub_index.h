// The .idx half of a VobSub pair: frame size, palette, language and where each subpicture starts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/output_format.h"
#include "render/image.h"

namespace quillet {

// The second line of every index this program writes: how a later run knows the pair for its own.
constexpr std::string_view kVobSubIndexMarker =
    "# Subpictures written by Quillet; the .sub beside this file holds them.";

// One subpicture: when it is presented and where its first pack starts in the .sub file.
struct VobSubIndexEntry {
  uint32_t pts90k = 0;
  uint64_t filePos = 0;
  bool operator==(const VobSubIndexEntry&) const = default;
};

struct VobSubIndex {
  int width = 720;
  int height = 576;                              // 576 (PAL) or 480 (NTSC)
  std::array<Rgb, 16> palette{};                 // the 16 colours the units' palette entries point at
  std::string language{kDefaultVobSubLanguage};  // two lower-case letters
  std::vector<VobSubIndexEntry> entries;         // in the order the units stand in the .sub file
};

// "HH:MM:SS:mmm" of a presentation time, rounded to the nearest millisecond.
std::string VobSubTimestamp(uint32_t pts90k);

// The whole .idx text, lines ended with CR LF. The timestamp lines are listed in presentation order (equal
// times keep their file order): readers expect increasing timestamps, while the .sub keeps the units in the
// subtitle list's order, so an entry listed early but shown late still finds its unit by its file position.
std::string BuildVobSubIndex(const VobSubIndex& index);

}  // namespace quillet
