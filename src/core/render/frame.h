// The video frame a subtitle entry is drawn on, and what the encoder needs to know about it.
#pragma once

#include <string>

#include "render/image.h"

namespace quillet {

enum class VideoStandard { Pal, Ntsc };

// How a player shows the 720-pixel frame: 4:3, or stretched by 4/3 to 16:9. For 16:9 every glyph is drawn
// squeezed across to 3/4 of its width, so that it shows with its own proportions.
enum class DisplayAspect { Standard4x3, Wide16x9 };

constexpr int kFrameWidth = 720;
constexpr int FrameHeight(VideoStandard standard) { return standard == VideoStandard::Pal ? 576 : 480; }

// The frame background: pure blue. It always classifies as the background role.
constexpr Rgb kFrameBlue{0, 0, 255};

// The drawing colours of the three drawn roles (the background is the blue frame).
struct RoleRgb {
  Rgb antialias;
  Rgb outline;
  Rgb text;
  bool operator==(const RoleRgb&) const = default;
};

// Where an entry's text band lies: the rows outside the frame are not drawn and a player shows nothing there.
enum class BandFit { Inside, Partly, Outside };

// One rendered entry: the frame and the rows that hold its text.
// bandTop is even and bandTop .. bandTop + bandHeight - 1 lie inside the frame.
struct RenderedFrame {
  Image24 frame;
  int bandTop = 0;
  int bandHeight = 0;
  BandFit bandFit = BandFit::Inside;  // whether the band had to be cut to the frame
  // Characters of the entry that no installed font has (drawn as the face's empty box), each once.
  std::u32string missingCharacters;
  // Control characters left out of the lines, each once.
  std::u32string controlCharacters;
};

}  // namespace quillet
