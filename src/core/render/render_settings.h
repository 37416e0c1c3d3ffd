// How the entries of a run are drawn: font, placement, outline width, frame and role colours, as one value.
#pragma once

#include <string_view>

#include "render/font_engine.h"
#include "render/frame.h"

namespace quillet {

// Where each line's cell goes across the 720-wide frame.
enum class Alignment { Center, Left, Right };

// The align list's texts: "center", "left"; any other text aligns right, an empty one (no selection) too.
Alignment AlignmentFromText(std::string_view text);

struct RenderSettings {
  FontDesc font;  // font.aspect is the display aspect of the frame (16:9 squeezes the glyphs)
  Alignment align = Alignment::Center;
  int offset = 0;    // line 1's cell bottom this many pixels (plus 40) above the frame's bottom
  int offsetOr = 0;  // line 2 moves up by this many pixels (down when negative)
  int outlineWidthPx = 3;
  VideoStandard standard = VideoStandard::Pal;
  RoleRgb roles;  // the drawing colours of the antialias, outline and text roles
  // Draw what the file says beyond the letters (italic, bold and underline runs, the entry's place, a third
  // line); false draws lines 1 and 2 of every entry in the chosen style at the chosen place.
  bool stylesFromFile = false;
  bool operator==(const RenderSettings&) const = default;
};

}  // namespace quillet
