// The colours of a presentation graphics picture.
#include "pgs/pgs_palette.h"

#include <algorithm>
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

IndexedPicture IndexColours(const RgbaPicture& picture) {
  IndexedPicture out;
  out.width = picture.width;
  out.height = picture.height;
  const std::size_t area = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  out.indices.assign(area, 0);
  std::unordered_map<uint32_t, int> counts;
  auto colourAt = [&picture](std::size_t i) {
    const uint8_t* p = picture.rgba.data() + 4 * i;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  };
  uint32_t last = 0;
  int* lastCount = nullptr;
  for (std::size_t i = 0; i < area; ++i) {
    const uint32_t colour = colourAt(i);
    if ((colour & 0xFF) == 0) continue;
    if (lastCount == nullptr || colour != last) lastCount = &counts[colour];
    last = colour;
    ++*lastCount;
  }
  out.reduced = counts.size() > static_cast<std::size_t>(kMaxPaletteColours);
  out.colours = MostFrequent(counts);
  std::unordered_map<uint32_t, uint8_t> indexOf;
  for (std::size_t k = 0; k < out.colours.size(); ++k) indexOf[out.colours[k]] = static_cast<uint8_t>(k + 1);
  for (const auto& [colour, count] : counts) {
    if (indexOf.count(colour) != 0) continue;
    std::size_t best = 0;
    for (std::size_t k = 1; k < out.colours.size(); ++k) {
      if (Distance(colour, out.colours[k]) < Distance(colour, out.colours[best])) best = k;
    }
    indexOf[colour] = static_cast<uint8_t>(best + 1);
  }
  uint8_t lastIndex = 0;
  last = 0;
  for (std::size_t i = 0; i < area; ++i) {
    const uint32_t colour = colourAt(i);
    if ((colour & 0xFF) == 0) continue;
    if (lastIndex == 0 || colour != last) lastIndex = indexOf[colour];
    last = colour;
    out.indices[i] = lastIndex;
  }
  return out;
}

}  // namespace quillet
