// Picks the four colour roles from the grey entries of an IFO's table, and decides whether the table is usable.
#pragma once

#include "palette/ifo_reader.h"
#include "palette/palette_display.h"
#include "render/frame.h"

namespace quillet {

// The palette entry (0 to 15, the item index of "Color n" in each role's list) chosen for each role.
struct RoleSelection {
  int background = 0;
  int text = 0;
  int outline = 0;
  int antialias = 0;
  bool operator==(const RoleSelection&) const = default;
};

// The roles that go with the generic palette: background 0, text 3, outline 0, antialias 1.
constexpr RoleSelection kGenericRoles{0, 3, 0, 1};

// Luma bands of the test; together they cover 0..255 without overlap.
constexpr int kDarkLumaMax = 70;
constexpr int kMiddleLumaMax = 200;

/* The band test walks entries 0 to 15 and reads each entry's tooltip: luma is hexadecimal digits 3-4, and the
   entry is a grey when digits 5-8 read "8080" (Cr = Cb = 128). The lowest-numbered grey of each band wins:
     dark   (luma 0..70)    -> background and outline
     middle (luma 71..200)  -> antialias
     bright (luma 201..255) -> text
   The table is accepted only when all three bands have a grey. The picks are made as the walk goes, so even a
   rejected table has selected the roles of the bands it found; a rejected table is then replaced by the generic
   palette, which selects all four roles again (kGenericRoles). Tooltips that are too short for the digits (the
   generic palette's "000") simply yield no grey. */
struct BandTestResult {
  bool accepted = false;
  bool darkFound = false;    // roles.background and roles.outline were selected
  bool middleFound = false;  // roles.antialias was selected
  bool brightFound = false;  // roles.text was selected
  RoleSelection roles;       // only the fields of the bands found are meaningful

  // `current` with the selections this test made put in: what the four lists show after the walk.
  RoleSelection ApplyTo(RoleSelection current) const;
  bool operator==(const BandTestResult&) const = default;
};

// Throws ConversionError("Error") only when a luma digit pair is not hexadecimal, which the tooltips built by
// MakeIfoPaletteDisplay and MakeGenericPalette never give.
BandTestResult RunBandTest(const PaletteDisplay& display);

// Everything "Load IFO" changes, decided from what was read, so the caller applies it in one go.
struct IfoPaletteChoice {
  VideoStandard standard = VideoStandard::Pal;  // from the file in either case
  DisplayAspect aspect = DisplayAspect::Standard4x3;  // the title's, from the file in either case
  BandTestResult bandTest;
  bool monochromatic = false;  // rejected: the generic palette and kGenericRoles are in use
  PaletteDisplay display;      // the IFO's colours when accepted, the generic palette when rejected
  RoleSelection roles;         // the four roles after the command
  bool operator==(const IfoPaletteChoice&) const = default;
};

IfoPaletteChoice ChooseIfoPalette(const IfoContents& contents);

}  // namespace quillet
