// The colours of a presentation graphics picture.
#include "pgs/pgs_palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace quillet {
namespace {

uint8_t Clamped(double v, int low, int high) {
  return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(v)), low, high));
}

// Squared distance of two colours, premultiplied so that nearly transparent pixels differ little.
long long Distance(uint32_t a, uint32_t b) {
  const long long alphaA = a & 0xFF;
  const long long alphaB = b & 0xFF;
  long long sum = (alphaA - alphaB) * (alphaA - alphaB) * 255;
  for (int shift = 8; shift <= 24; shift += 8) {
    const long long d = static_cast<long long>((a >> shift) & 0xFF) * alphaA -
                        static_cast<long long>((b >> shift) & 0xFF) * alphaB;
    sum += d * d / 255;
  }
  return sum;
}

// The colours kept when there are too many: the most frequent first.
std::vector<uint32_t> MostFrequent(const std::unordered_map<uint32_t, int>& counts) {
  std::vector<std::pair<uint32_t, int>> all(counts.begin(), counts.end());
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  all.resize(std::min<std::size_t>(all.size(), kMaxPaletteColours));
  std::vector<uint32_t> kept;
  for (const auto& [colour, count] : all) kept.push_back(colour);
  std::sort(kept.begin(), kept.end());
  return kept;
}

}  // namespace

ColourMatrix MatrixForFrameRows(int rows) { return rows >= 720 ? ColourMatrix::Bt709 : ColourMatrix::Bt601; }

YCbCrEntry ToYCbCr(uint32_t rgba, ColourMatrix matrix) {
  const double kr = matrix == ColourMatrix::Bt709 ? 0.2126 : 0.299;
  const double kb = matrix == ColourMatrix::Bt709 ? 0.0722 : 0.114;
  const double r = ((rgba >> 24) & 0xFF) / 255.0;
  const double g = ((rgba >> 16) & 0xFF) / 255.0;
  const double b = ((rgba >> 8) & 0xFF) / 255.0;
  const double luma = kr * r + (1 - kr - kb) * g + kb * b;
  YCbCrEntry e;
  e.y = Clamped(16 + 219 * luma, 16, 235);
  e.cb = Clamped(128 + 224 * (b - luma) / (2 * (1 - kb)), 16, 240);
  e.cr = Clamped(128 + 224 * (r - luma) / (2 * (1 - kr)), 16, 240);
  e.alpha = static_cast<uint8_t>(rgba & 0xFF);
  return e;
}

namespace {

// The palette index of each numbered colour: all of them in order when they fit, else the kept ones and the nearest.
std::vector<uint8_t> IndexOfNumbers(const ColourNumbers& numbers, IndexedPicture& out) {
  const std::vector<uint32_t>& colours = numbers.Colours();
  std::vector<uint8_t> index(colours.size(), 0);
  out.reduced = colours.size() > static_cast<std::size_t>(kMaxPaletteColours);
  if (!out.reduced) {
    out.colours = colours;
    for (std::size_t k = 0; k < colours.size(); ++k) index[k] = static_cast<uint8_t>(k + 1);
    return index;
  }
  std::unordered_map<uint32_t, int> counts;
  for (std::size_t k = 0; k < colours.size(); ++k) counts[colours[k]] = numbers.Counts()[k];
  out.colours = MostFrequent(counts);
  for (std::size_t k = 0; k < colours.size(); ++k) {
    std::size_t best = 0;
    for (std::size_t c = 1; c < out.colours.size(); ++c) {
      if (Distance(colours[k], out.colours[c]) < Distance(colours[k], out.colours[best])) best = c;
    }
    index[k] = static_cast<uint8_t>(best + 1);
  }
  return index;
}

}  // namespace

uint32_t ColourNumbers::Lookup(uint32_t colour) {
  if (m_slots.size() < 2 * (m_colours.size() + 1)) Grow();
  std::size_t at = Hash(colour);
  for (;; at = (at + 1) & (m_slots.size() - 1)) {
    Slot& slot = m_slots[at];
    if (slot.used && slot.colour == colour) return slot.number;
    if (slot.used) continue;
    slot = {colour, static_cast<uint32_t>(m_colours.size()), true};
    m_colours.push_back(colour);
    m_counts.push_back(0);
    return slot.number;
  }
}

void ColourNumbers::Grow() {
  std::vector<Slot> old = std::move(m_slots);
  m_slots.assign(std::max<std::size_t>(1024, 2 * old.size()), Slot{});
  for (const Slot& slot : old) {
    if (!slot.used) continue;
    std::size_t at = Hash(slot.colour);
    while (m_slots[at].used) at = (at + 1) & (m_slots.size() - 1);
    m_slots[at] = slot;
  }
}

IndexedPicture IndexColours(const RgbaPicture& picture) {
  IndexedPicture out;
  out.width = picture.width;
  out.height = picture.height;
  const std::size_t area = picture.pixels.size();
  out.indices.assign(area, 0);
  // Each drawn pixel's colour number, then its palette index; transparent pixels stay index 0.
  ColourNumbers numbers;
  auto numberOf = [&](uint32_t colour) { return numbers.NumberOf(colour); };
  // Run by run of one colour. While the colours fit, a colour's number + 1 is its index; past 255 the pixels are
  // indexed again below.
  const uint32_t* pixels = picture.pixels.data();
  for (std::size_t i = 0; i < area;) {
    const uint32_t colour = pixels[i];
    std::size_t end = i + 1;
    while (end < area && pixels[end] == colour) ++end;
    if ((colour & 0xFF) != 0) {
      const uint32_t number = numberOf(colour);
      const uint8_t index = number < kMaxPaletteColours ? static_cast<uint8_t>(number + 1) : 0;
      std::fill(out.indices.begin() + static_cast<std::ptrdiff_t>(i), out.indices.begin() + static_cast<std::ptrdiff_t>(end),
                index);
      numbers.Count(number, static_cast<int>(end - i));
    }
    i = end;
  }
  const std::vector<uint8_t> index = IndexOfNumbers(numbers, out);
  if (!out.reduced) return out;
  for (std::size_t i = 0; i < area; ++i) {
    if ((picture.pixels[i] & 0xFF) != 0) out.indices[i] = index[numberOf(picture.pixels[i])];
  }
  return out;
}

}  // namespace quillet
