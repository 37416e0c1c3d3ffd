// What a subtitle entry says beyond its letters: runs of italic, bold and underline in its lines, and where on
// the frame the entry goes. The readers fill it in; the layout draws it when the run keeps the file's styles.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

// Styles a stretch of text adds to the chosen font's own (bold chosen + italic here = bold italic).
struct StyleFlags {
  bool italic = false;
  bool bold = false;
  bool underline = false;

  bool Any() const { return italic || bold || underline; }
  bool operator==(const StyleFlags&) const = default;
};

// Bytes begin .. end − 1 of one text line carry `flags`. A line's runs are in ascending order, do not overlap and
// never hold an empty range; bytes outside every run are drawn in the chosen style alone.
struct StyleRun {
  std::size_t begin = 0;
  std::size_t end = 0;
  StyleFlags flags;
  bool operator==(const StyleRun&) const = default;
};
using StyleRuns = std::vector<StyleRun>;

// Where the file puts an entry. kChosen: where the run's settings put every entry (the offset above the bottom,
// the chosen alignment).
enum class VerticalPlace : uint8_t { kChosen, kBottom, kMiddle, kTop };
enum class HorizontalPlace : uint8_t { kChosen, kLeft, kCentre, kRight };

struct EntryPlacement {
  VerticalPlace vertical = VerticalPlace::kChosen;
  HorizontalPlace horizontal = HorizontalPlace::kChosen;
  bool operator==(const EntryPlacement&) const = default;
};

// The extras of one entry, beside its three text lines.
struct EntryStyle {
  std::array<StyleRuns, 3> runs;  // of Line1, Line2, Line3
  EntryPlacement placement;
  // The file asked for what is never drawn: a colour, or a position of its own ("\pos", "\move").
  bool unsupported = false;
  // The entry had more lines than the three kept.
  bool moreLines = false;
  // The bytes of Line3 that are its third line: a MicroDVD entry keeps its further lines there, after a "|".
  std::size_t thirdLineBytes = static_cast<std::size_t>(-1);

  bool Plain() const { return runs[0].empty() && runs[1].empty() && runs[2].empty() && placement == EntryPlacement{}; }
  bool operator==(const EntryStyle&) const = default;
};

// Appends `flags` over bytes begin .. end − 1 to `runs`, joining it to the last run when they touch with the same
// flags. Ranges must come in ascending order; empty ranges and plain flags add nothing.
inline void AddStyleRun(StyleRuns& runs, std::size_t begin, std::size_t end, StyleFlags flags) {
  if (begin >= end || !flags.Any()) return;
  if (!runs.empty() && runs.back().end == begin && runs.back().flags == flags) {
    runs.back().end = end;
    return;
  }
  runs.push_back({begin, end, flags});
}

}  // namespace quillet
