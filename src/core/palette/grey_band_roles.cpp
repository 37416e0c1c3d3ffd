// Picks the four colour roles from the grey entries of an IFO's table, and decides whether the table is usable.
#include "palette/grey_band_roles.h"

#include <string>
#include <string_view>

#include "palette/hex_text.h"

namespace quillet {
namespace {

// Characters `first` (1-based) to first + count - 1 of `text`, or as many of them as there are.
std::string_view Digits(std::string_view text, std::size_t first, std::size_t count) {
  if (first - 1 >= text.size()) return {};
  return text.substr(first - 1, count);
}

}  // namespace

RoleSelection BandTestResult::ApplyTo(RoleSelection current) const {
  if (darkFound) {
    current.background = roles.background;
    current.outline = roles.outline;
  }
  if (middleFound) current.antialias = roles.antialias;
  if (brightFound) current.text = roles.text;
  return current;
}

BandTestResult RunBandTest(const PaletteDisplay& display) {
  BandTestResult result;
  for (int n = 0; n < kPaletteSize; ++n) {
    const std::string& tooltip = display.entries[n].tooltip;
    const int luma = HexToInt(Digits(tooltip, 3, 2));
    if (Digits(tooltip, 5, 4) != "8080") continue;
    if (luma >= 0 && luma <= kDarkLumaMax) {
      if (!result.darkFound) {
        result.roles.background = n;
        result.roles.outline = n;
        result.darkFound = true;
      }
    } else if (luma > kDarkLumaMax && luma <= kMiddleLumaMax) {
      if (!result.middleFound) {
        result.roles.antialias = n;
        result.middleFound = true;
      }
    } else if (luma > kMiddleLumaMax && luma <= 255) {
      if (!result.brightFound) {
        result.roles.text = n;
        result.brightFound = true;
      }
    }
  }
  result.accepted = result.darkFound && result.middleFound && result.brightFound;
  return result;
}

IfoPaletteChoice ChooseIfoPalette(const IfoContents& contents) {
  IfoPaletteChoice choice;
  choice.standard = DetectVideoStandard(contents.videoAttributes);
  choice.aspect = DetectDisplayAspect(contents.videoAttributes);
  const PaletteDisplay ifoDisplay = MakeIfoPaletteDisplay(contents.palette);
  choice.bandTest = RunBandTest(ifoDisplay);
  choice.monochromatic = !choice.bandTest.accepted;
  if (choice.bandTest.accepted) {
    choice.display = ifoDisplay;
    choice.roles = choice.bandTest.ApplyTo(RoleSelection{});
  } else {
    choice.display = MakeGenericPalette();
    choice.roles = kGenericRoles;
  }
  return choice;
}

}  // namespace quillet
