// Breaking an entry's text again when a line is too wide for the frame ("Break long lines", --wrap).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "render/font_engine.h"

namespace quillet {

// The most lines an entry is broken into.
constexpr int kMaxWrappedLines = 3;

// Bytes begin .. end − 1 of a text.
struct ByteRange {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool operator==(const ByteRange&) const = default;
};

struct BrokenLines {
  std::array<std::string, kMaxWrappedLines> lines;  // the entry's new lines from the top; empty where fewer
  // Where each new line's bytes come from: a range of the entry's lines that were taken (see BreakLongLines)
  // joined by one blank, so that what is kept about a byte of the old lines (a style) can follow it.
  std::array<ByteRange, kMaxWrappedLines> from;
  bool operator==(const BrokenLines&) const = default;
};

/*
 * The entry's first `maxLines` lines (2 or 3; those that hold text, in order) broken again at blanks into at most
 * `maxLines` lines that are all narrower than the width limit (kMaxLineWidthPx), measured as they are drawn with
 * `font`. Empty when those lines fit already, or when no breaking makes them fit (the width check then refuses
 * the entry as before).
 *
 * The author's lines are kept where they can be: each line that fits stays as it is, and each line too wide is
 * broken into as few lines as make it fit, at the blanks that balance them (the widest of them as narrow as it can
 * be; for two, the two widths as close as they can be, the shorter on top on a tie). Only when that needs more than
 * `maxLines` lines are neighbouring lines joined (by a blank) before breaking, two if that is enough, else all.
 * Blanks (spaces and tabs; in every charset they are single bytes) at a break are dropped; a run of them is one
 * break.
 *
 * Linear in the length of the text: each word is measured once (words that come again are not measured again),
 * the lines' widths are sums of those widths, and the lines chosen are measured once more as wholes; a line that
 * comes out wider than its sum said (shaping across a blank) is broken again with the limit lowered by the
 * difference, a few times at most.
 */
std::optional<BrokenLines> BreakLongLines(FontEngine& engine, std::span<const std::string_view> lines,
                                          const FontDesc& font, int maxLines = kMaxWrappedLines);

}  // namespace quillet
