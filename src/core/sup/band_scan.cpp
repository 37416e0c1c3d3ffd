// Cutting the text band of a frame into runs of identical pixels, one run list per band row.
#include "sup/band_scan.h"

#include <bit>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "sup/role_colours.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillet {
namespace {

// The three bytes of a pixel as one number, so neighbours compare with one test.
inline uint32_t PixelKey(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16; }

// Appends to `starts` every x in first .. first + 15 whose pixel differs from the pixel before it (first >= 1),
// and returns the new count. Reads the row from pixel first − 1 to pixel first + 15 only.
inline int FindStarts16(const uint8_t* row, int first, uint16_t* starts, int count) {
  const uint8_t* here = row + 3 * first;
  const uint8_t* left = here - 3;
#if defined(__SSE2__)
  // Byte-wise equality of the 16 pixels with their left neighbours: bit i of `equal` for byte i of the 48.
  uint64_t equal = 0;
  for (int i = 0; i < 3; ++i) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(here + 16 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + 16 * i));
    equal |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)))} << (16 * i);
  }
  // Bit 3j stays set when all three bytes of pixel j are equal; the bits between are masked off.
  uint64_t changed = ~(equal & (equal >> 1) & (equal >> 2)) & 0x249249249249ull;
  while (changed != 0) {
    starts[count++] = static_cast<uint16_t>(first + std::countr_zero(changed) / 3);
    changed &= changed - 1;
  }
#else
  for (int j = 0; j < 16; ++j) {
    starts[count] = static_cast<uint16_t>(first + j);
    count += std::memcmp(here + 3 * j, left + 3 * j, 3) != 0;
  }
#endif
  return count;
}

// The role of a pixel key. The comparisons are exact, with no nearest-colour search: pure blue is always
// background; where role colours coincide text wins over outline, outline over antialias; a colour that none of
// the roles has (a blended edge, say) is background. Written as selects rather than branches, since neighbouring
// runs alternate between colours unpredictably.
class KeyClassifier {
 public:
  explicit KeyClassifier(const RoleRgb& roles)
      : m_blue(Key(kFrameBlue)),
        m_text(Key(roles.text)),
        m_outline(Key(roles.outline)),
        m_antialias(Key(roles.antialias)) {}
  uint8_t operator()(uint32_t key) const {
    unsigned role = key == m_antialias ? kRoleAntialias : kRoleBackground;
    role = key == m_outline ? unsigned{kRoleOutline} : role;
    role = key == m_text ? unsigned{kRoleText} : role;
    role = key == m_blue ? unsigned{kRoleBackground} : role;
    return static_cast<uint8_t>(role);
  }

 private:
  static uint32_t Key(Rgb colour) {
    const uint8_t bgr[3] = {colour.b, colour.g, colour.r};
    return PixelKey(bgr);
  }
  uint32_t m_blue, m_text, m_outline, m_antialias;
};

void CheckBand(const Image24& frame, int bandTop, int bandHeight) {
  if (frame.Width() < kCodedRowPixels) {
    throw QuilletError("The frame is " + std::to_string(frame.Width()) + " pixels wide; at least " +
                       std::to_string(kCodedRowPixels) + " are needed.");
  }
  if (bandHeight <= 0 || bandTop < 0 || bandTop > frame.Height() - bandHeight) {
    throw QuilletError("The text band (rows " + std::to_string(bandTop) + " to " +
                       std::to_string(bandTop + bandHeight - 1) + ") does not lie inside the frame of " +
                       std::to_string(frame.Height()) + " rows.");
  }
}

}  // namespace

/* A text row changes colour every few pixels, at places a branch predictor cannot guess, so a row is scanned
   in two steps: first the run starts (the pixels that differ from their left neighbour), found 16 pixels at a
   time; then each start and the next one make a run, with the role of its first pixel. Pixel 719 is never
   read. */
void ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles, BandRuns& out) {
  CheckBand(frame, bandTop, bandHeight);
  out.Clear();
  const KeyClassifier classify(roles);
  uint16_t starts[kCodedRowPixels + 1];
  for (int y = bandTop; y < bandTop + bandHeight; ++y) {
    const uint8_t* row = frame.Row(y);
    int count = 0;
    starts[count++] = 0;
    int x = 1;
    for (; x + 16 <= kCodedRowPixels; x += 16) count = FindStarts16(row, x, starts, count);
    for (; x < kCodedRowPixels; ++x) {
      starts[count] = static_cast<uint16_t>(x);
      count += PixelKey(row + 3 * x) != PixelKey(row + 3 * x - 3);
    }
    starts[count] = kCodedRowPixels;
    for (int i = 0; i < count; ++i) {
      out.AddRun(PixelRun{starts[i + 1] - starts[i], classify(PixelKey(row + 3 * starts[i]))});
    }
    out.EndRow();
  }
}

BandRuns ScanBand(const Image24& frame, int bandTop, int bandHeight, const RoleRgb& roles) {
  BandRuns runs;
  ScanBand(frame, bandTop, bandHeight, roles, runs);
  return runs;
}

}  // namespace quillet
