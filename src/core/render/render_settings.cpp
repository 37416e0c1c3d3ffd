// How the entries of a run are drawn: font, placement, outline width, frame and role colours, as one value.
#include "render/render_settings.h"

namespace quillet {

Alignment AlignmentFromText(std::string_view text) {
  if (text == "center") return Alignment::Center;
  if (text == "left") return Alignment::Left;
  return Alignment::Right;
}

}  // namespace quillet
