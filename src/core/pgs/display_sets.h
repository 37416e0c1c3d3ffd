// Blu-ray presentation graphics (PGS): an entry's picture as objects in windows, and the two display sets that
// show it at its start and clear it at its end, as segments behind "PG" headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pgs/pgs_palette.h"
#include "render/antialiased_drawing.h"

namespace quillet {

// What a player holds, and this writer never exceeds:
// - at most two objects and two windows in a display set, one object per window, windows apart;
// - objects and windows at least 8 and at most 4096 pixels on each side, inside the frame;
// - the coded objects of a display set within the 1 MiB coded data buffer, their pixels within the 4 MiB
//   decoded object buffer (every entry starts an epoch, so an entry's objects are all the buffer holds);
// - a palette of 256 entries at most (index 0 transparent, 255 colours);
// - a segment of at most 65535 bytes: a larger object is split over several object segments.
constexpr int kMaxPgsObjects = 2;
constexpr int kMinPgsObjectSide = 8;
constexpr int kMaxPgsObjectSide = 4096;
constexpr std::size_t kPgsCodedBufferBytes = 1 << 20;
constexpr std::size_t kPgsObjectBufferPixels = 4 << 20;

// One object, shown whole in a window of its own size at (x, y).
struct PgsObject {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> code;  // AppendObjectCode of its indices
};

// An entry's picture ready for its display sets.
struct PgsPicture {
  PictureFrame frame;
  std::vector<PgsObject> objects;   // one or two
  std::vector<YCbCrEntry> palette;  // the entries of indices 1 … n
  bool reduced = false;             // the drawing had more than 255 colours
};

// The picture's drawn box, cut to the frame, becomes one object; two (the rows above and below the widest
// band of empty rows) when that band is at least a quarter of the frame high, as when an entry has lines at the top
// and at the bottom. Each object is its part's box of drawn pixels, grown to the 8-pixel minimum inside the frame.
// An entry with nothing drawn gets one transparent 8 × 8 object at the frame's bottom centre.
PgsPicture MakePgsPicture(const RgbaPicture& drawn, PictureFrame frame);

// The bytes of coded objects the picture's start set holds.
std::size_t CodedBytes(const PgsPicture& picture);

// What about the picture a player cannot hold ("its picture needs 1200000 bytes of coded object data, more than the
// 1048576 a player holds"); empty when it fits.
std::string PgsLimitProblem(const PgsPicture& picture);

// Appends the entry's two display sets with every time zero: at its start the composition (epoch start, its
// objects in their windows), the windows, the palette, the objects and the end segment; at its end a composition
// with no object, the same windows and an end segment. StampDisplaySets gives them their times.
void AppendDisplaySets(const PgsPicture& picture, std::vector<uint8_t>& out);

// Sets the times and composition numbers of two display sets AppendDisplaySets made.
//
// Presentation times are the entry's start and end at 90 kHz. The decode time of a set is its presentation time
// less the time a player's decoder takes for it, in the model the format's public descriptions give: an epoch start
// clears the whole graphics plane at 256 Mbit/s, each object is decoded at 128 Mbit/s and each window drawn (or
// cleared) at 256 Mbit/s, eight bits a pixel. A decode time is never before the previous set's presentation time
// (`previousPts`: a decoder works on one set at a time) nor below zero, so decode times never pass presentation
// times and never go back. Every segment of a set carries the set's two times. Composition numbers count on from
// `compositionNumber`, which is advanced past them.
struct DisplaySetTimes {
  uint32_t startPts = 0;
  uint32_t endPts = 0;
  uint32_t previousPts = 0;
};
void StampDisplaySets(std::vector<uint8_t>& sets, const DisplaySetTimes& times, uint16_t& compositionNumber);

}  // namespace quillet
