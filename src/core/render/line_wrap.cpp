// Breaking an entry's text again when a line is too wide for the frame.
#include "render/line_wrap.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "render/line_length_check.h"

namespace quillet {
namespace {

// A space or a tab (which is laid out as a space) is a blank in every charset: no double-byte code page uses
// either as the second byte of a character.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Each distinct word measured once; a line's width is the sum of its words' and blanks' advances.
class WordWidths {
 public:
  WordWidths(FontEngine& engine, const FontDesc& font)
      : m_engine(engine), m_font(font), m_blankPx(engine.LayoutLine(font, " ").widthPx) {}

  long long Word(std::string_view word) {
    auto [entry, added] = m_widths.try_emplace(word, 0);
    if (added) entry->second = m_engine.LayoutLine(m_font, word).widthPx;
    return entry->second;
  }
  long long Blanks(std::size_t count) const { return static_cast<long long>(count) * m_blankPx; }

 private:
  FontEngine& m_engine;
  const FontDesc& m_font;
  long long m_blankPx;
  std::unordered_map<std::string_view, long long> m_widths;  // views into the text being broken
};

// A text as words between runs of blanks, with the width of any run of its words as one line in constant time.
struct WordRow {
  ByteRange text;                // in the joined text
  std::vector<ByteRange> words;  // in the joined text
  std::vector<long long> gapPx;  // gapPx[k]: the blanks between word k − 1 and word k (k > 0)
  std::vector<long long> sumPx;  // sumPx[k]: words 0 .. k − 1 with the blanks between them
  long long leadPx = 0;          // blanks before the first word (all of them when there is none)
  long long trailPx = 0;         // blanks after the last word

  std::size_t Count() const { return words.size(); }
  // Words i .. j − 1 (i < j, or both 0) as one line, with the text's own blanks at its start and end.
  long long Width(std::size_t i, std::size_t j) const {
    return sumPx[j] - sumPx[i] - (i > 0 ? gapPx[i] : 0) + (i == 0 ? leadPx : 0) + (j == Count() ? trailPx : 0);
  }
  ByteRange Range(std::size_t i, std::size_t j) const {
    return {i == 0 ? text.begin : words[i].begin, j == Count() ? text.end : words[j - 1].end};
  }
};

WordRow SplitWords(std::string_view joined, ByteRange text, WordWidths& widths) {
  WordRow row;
  row.text = text;
  row.sumPx.push_back(0);
  std::size_t at = text.begin;
  std::size_t blanks = 0;
  while (at < text.end) {
    if (IsBlank(joined[at])) {
      ++blanks;
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < text.end && !IsBlank(joined[at])) ++at;
    const long long gap = widths.Blanks(blanks);
    if (row.words.empty()) row.leadPx = gap;
    row.gapPx.push_back(row.words.empty() ? 0 : gap);
    row.words.push_back({start, at});
    row.sumPx.push_back(row.sumPx.back() + row.gapPx.back() + widths.Word(joined.substr(start, at - start)));
    blanks = 0;
  }
  (row.words.empty() ? row.leadPx : row.trailPx) = widths.Blanks(blanks);
  return row;
}

// The first words of lines 2 and 3 (0 where unused) that break the row into `pieces` lines all narrower than
// `limitPx`, balanced as BreakLongLines says; none when no break does.
std::optional<std::array<std::size_t, 2>> BestBreaks(const WordRow& row, int pieces, long long limitPx) {
  const std::size_t m = row.Count();
  if (pieces == 1) return row.Width(0, m) < limitPx ? std::optional(std::array<std::size_t, 2>{}) : std::nullopt;
  std::optional<std::array<std::size_t, 2>> best;
  long long bestWidest = 0, bestSpread = 0;
  auto consider = [&](std::size_t i, std::size_t j, std::initializer_list<long long> widths, long long spread) {
    const long long widest = std::max(widths);
    if (widest >= limitPx) return;
    if (!best ||
        (pieces == 2 ? spread < bestSpread : widest < bestWidest || (widest == bestWidest && spread < bestSpread))) {
      best = std::array<std::size_t, 2>{i, j};
      bestWidest = widest;
      bestSpread = spread;
    }
  };
  if (pieces == 2) {
    for (std::size_t i = 1; i < m; ++i) {
      const long long a = row.Width(0, i), b = row.Width(i, m);
      consider(i, 0, {a, b}, a > b ? a - b : b - a);
    }
    return best;
  }
  // For each start of line 2 the best start of line 3 balances lines 2 and 3; it never moves back as line 2's
  // start moves on, so one pass finds them all.
  std::size_t j = 2;
  for (std::size_t i = 1; i + 1 < m; ++i) {
    j = std::max(j, i + 1);
    const auto worse = [&](std::size_t at) { return std::max(row.Width(i, at), row.Width(at, m)); };
    while (j + 1 < m && worse(j + 1) < worse(j)) ++j;
    const long long a = row.Width(0, i), b = row.Width(i, j), c = row.Width(j, m);
    consider(i, j, {a, b, c}, std::max({a, b, c}) - std::min({a, b, c}));
  }
  return best;
}

// One new line: where its bytes are in the joined text, and its width as the sum of its words and blanks.
struct NewLine {
  ByteRange range;
  long long widthPx = 0;
};

// The lines of one group of the author's lines (joined by blanks), as few as fit, at most `maxPieces`.
std::optional<std::vector<NewLine>> BreakGroup(std::string_view joined, ByteRange group, int maxPieces,
                                               long long limitPx, WordWidths& widths) {
  const WordRow row = SplitWords(joined, group, widths);
  for (int pieces = 1; pieces <= maxPieces; ++pieces) {
    const std::optional<std::array<std::size_t, 2>> breaks = BestBreaks(row, pieces, limitPx);
    if (!breaks) continue;
    std::vector<std::size_t> starts{0};
    for (int k = 0; k + 1 < pieces; ++k) starts.push_back((*breaks)[static_cast<std::size_t>(k)]);
    starts.push_back(row.Count());
    std::vector<NewLine> lines;
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
      lines.push_back({row.Range(starts[k], starts[k + 1]), row.Width(starts[k], starts[k + 1])});
    }
    return lines;
  }
  return std::nullopt;
}

// The groupings of n author lines to try, fewest joins first: each alone; two neighbours joined; all joined.
// A grouping lists the last line of each group.
std::vector<std::vector<std::vector<std::size_t>>> GroupingsByJoins(std::size_t n) {
  if (n == 1) return {{{0}}};
  if (n == 2) return {{{0, 1}}, {{1}}};
  return {{{0, 1, 2}}, {{1, 2}, {0, 2}}, {{2}}};
}

// The grouping's new lines, each group broken into as few as fit, at most `maxLines` in all; none when it
// cannot be done.
std::optional<std::vector<NewLine>> BreakGrouping(std::string_view joined, const std::vector<ByteRange>& taken,
                                                  const std::vector<std::size_t>& lastOfGroup, int maxLines,
                                                  long long limitPx, WordWidths& widths) {
  std::vector<NewLine> lines;
  std::size_t first = 0;
  for (std::size_t g = 0; g < lastOfGroup.size(); ++g) {
    const std::size_t last = lastOfGroup[g];
    // Every later group needs a line of its own.
    const int room = maxLines - static_cast<int>(lines.size() + lastOfGroup.size() - 1 - g);
    if (room < 1) return std::nullopt;
    const auto group = BreakGroup(joined, {taken[first].begin, taken[last].end}, room, limitPx, widths);
    if (!group) return std::nullopt;
    lines.insert(lines.end(), group->begin(), group->end());
    first = last + 1;
  }
  return lines;
}

// The new lines for a width limit, or none: the first tier of groupings that can be broken to fit, and in it the
// grouping whose widest line is narrowest.
std::optional<std::vector<NewLine>> BreakAt(std::string_view joined, const std::vector<ByteRange>& taken, int maxLines,
                                            long long limitPx, WordWidths& widths) {
  for (const auto& tier : GroupingsByJoins(taken.size())) {
    std::optional<std::vector<NewLine>> best;
    long long bestWidest = 0;
    for (const std::vector<std::size_t>& lastOfGroup : tier) {
      std::optional<std::vector<NewLine>> lines = BreakGrouping(joined, taken, lastOfGroup, maxLines, limitPx, widths);
      if (!lines) continue;
      long long widest = 0;
      for (const NewLine& line : *lines) widest = std::max(widest, line.widthPx);
      if (!best || widest < bestWidest) {
        best = std::move(lines);
        bestWidest = widest;
      }
    }
    if (best) return best;
  }
  return std::nullopt;
}

}  // namespace

std::optional<BrokenLines> BreakLongLines(FontEngine& engine, std::span<const std::string_view> lines,
                                          const FontDesc& font, int maxLines) {
  maxLines = std::clamp(maxLines, 1, kMaxWrappedLines);
  std::string joined;
  std::vector<ByteRange> taken;
  bool fits = true;
  for (std::size_t k = 0; k < lines.size() && k < static_cast<std::size_t>(maxLines); ++k) {
    if (lines[k].empty()) continue;
    if (!joined.empty()) joined += ' ';
    taken.push_back({joined.size(), joined.size() + lines[k].size()});
    joined.append(lines[k]);
    fits = fits && engine.LayoutLine(font, lines[k]).widthPx < kMaxLineWidthPx;
  }
  if (fits) return std::nullopt;

  WordWidths widths(engine, font);
  long long limitPx = kMaxLineWidthPx;
  // The sums are exact for lines whose letters need no shaping; otherwise a few lowerings of the limit settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::optional<std::vector<NewLine>> newLines = BreakAt(joined, taken, maxLines, limitPx, widths);
    if (!newLines) return std::nullopt;
    BrokenLines broken;
    int widestPx = 0;
    for (std::size_t k = 0; k < newLines->size(); ++k) {
      const ByteRange range = (*newLines)[k].range;
      broken.from[k] = range;
      broken.lines[k] = joined.substr(range.begin, range.end - range.begin);
      widestPx = std::max(widestPx, engine.LayoutLine(font, broken.lines[k]).widthPx);
    }
    if (widestPx < kMaxLineWidthPx) return broken;
    limitPx -= widestPx - kMaxLineWidthPx + 1;
  }
  return std::nullopt;
}

}  // namespace quillet
