// The bytes of one SUP packet: the 10-byte packet header and the DVD subpicture unit behind it.
#include "sup/subpicture_unit.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <string>

#include "base/ascii_text.h"
#include "base/number_text.h"

namespace quillet {
namespace {

void PutBe16(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

// The ticks, rounded; kept in long double (not narrowed to double), so the range checks see the rounded value
// itself. The product is the double one: a time of 1/180 ms is the tie 0.5 ticks, not a hair above it.
long double StartTicks(double startMs) { return RoundHalfToEven(startMs * 90); }

long double DelayTicks(double shownFromMs, double endMs) { return RoundHalfToEven((endMs - shownFromMs) * 90 / 1024); }

}  // namespace

SubpictureTooLargeError::SubpictureTooLargeError(int unitBytes)
    : QuilletError("The subpicture needs " + std::to_string(unitBytes) + " bytes; a DVD player holds at most " +
                   std::to_string(kMaxSubpictureUnitBytes) + "."),
      m_unitBytes(unitBytes) {}

double ParseTimeMs(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  double value = 0;
  const char* end = trimmed.data() + trimmed.size();
  const auto [ptr, ec] = std::from_chars(trimmed.data(), end, value, std::chars_format::fixed);
  if (trimmed.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

bool StartTimeFits(double startMs) { return StartTicks(startMs) <= 4294967295.0L; }

uint32_t PresentationTime(double startMs) {
  const long double ticks = StartTicks(startMs);
  if (!(ticks > 0)) return 0;
  return ticks > 4294967295.0L ? 0xFFFFFFFFu : static_cast<uint32_t>(ticks);
}

uint16_t DisplayDelay(double startMs, double endMs) {
  const long double ticks = DelayTicks(std::max(startMs, 0.0), endMs);
  if (!(ticks > 0)) return 0;
  return ticks > kMaxDelayTicks ? kMaxDelayTicks : static_cast<uint16_t>(ticks);
}

PacketTiming TimingFor(double startMs, double endMs) {
  PacketTiming timing{PresentationTime(startMs), DisplayDelay(startMs, endMs), kTimingAsWritten};
  const double shownFrom = std::max(startMs, 0.0);
  if (startMs < 0) timing.adjustments |= kStartBeforeZero;
  if (endMs < shownFrom) timing.adjustments |= kEndsBeforeStart;
  if (DelayTicks(shownFrom, endMs) > kMaxDelayTicks) timing.adjustments |= kLastsTooLong;
  return timing;
}

std::array<uint8_t, kPacketHeaderBytes> BuildPacketHeader(uint32_t pts90k) {
  return {0x53,
          0x50,
          static_cast<uint8_t>(pts90k),
          static_cast<uint8_t>(pts90k >> 8),
          static_cast<uint8_t>(pts90k >> 16),
          static_cast<uint8_t>(pts90k >> 24),
          0,
          0,
          0,
          0};
}

std::size_t SubpictureUnitSize(std::size_t pixelDataBytes) { return pixelDataBytes + 34 + (pixelDataBytes % 2); }

void BuildSubpictureUnit(const PixelData& pixels, int bandTop, int bandHeight, const PaletteEntries& entries,
                         uint16_t delay, std::vector<uint8_t>& out) {
  const std::size_t size = SubpictureUnitSize(pixels.block.size());
  if (size > static_cast<std::size_t>(kMaxSubpictureUnitBytes)) {
    throw SubpictureTooLargeError(static_cast<int>(std::min<std::size_t>(size, 0x7FFFFFFF)));
  }
  const int lastLine = bandTop + bandHeight - 1;
  assert(bandTop >= 0 && bandHeight >= 1 && lastLine < 4096);
  assert(pixels.topFieldOffset >= 0 && pixels.bottomFieldOffset >= pixels.topFieldOffset);
  auto entry = [](int value) {
    assert(value >= 0 && value < 16);
    return static_cast<unsigned>(value) & 0xF;
  };

  const unsigned controlStart = static_cast<unsigned>(pixels.block.size()) + 4;
  const unsigned lastSequence = controlStart + 24;
  out.reserve(out.size() + size);
  PutBe16(out, static_cast<unsigned>(size));
  PutBe16(out, controlStart);
  out.insert(out.end(), pixels.block.begin(), pixels.block.end());

  // First control sequence: at once, start display with colours, contrast, area and field offsets.
  PutBe16(out, 0);
  PutBe16(out, lastSequence);
  out.push_back(0x01);
  out.push_back(0x03);
  out.push_back(static_cast<uint8_t>(entry(entries.antialias) << 4 | entry(entries.outline)));
  out.push_back(static_cast<uint8_t>(entry(entries.text) << 4 | entry(entries.background)));
  out.push_back(0x04);
  out.push_back(0xFF);  // antialias and outline fully opaque
  out.push_back(0xF0);  // text opaque, background fully transparent
  out.push_back(0x05);
  out.push_back(0x00);  // columns 0 and 719 (0x2CF), 12 bits each
  out.push_back(0x02);
  out.push_back(0xCF);
  out.push_back(static_cast<uint8_t>(bandTop >> 4));
  out.push_back(static_cast<uint8_t>((bandTop & 0xF) << 4 | (lastLine >> 8)));
  out.push_back(static_cast<uint8_t>(lastLine & 0xFF));
  out.push_back(0x06);
  PutBe16(out, static_cast<unsigned>(pixels.topFieldOffset) + 4);
  PutBe16(out, static_cast<unsigned>(pixels.bottomFieldOffset) + 4);
  out.push_back(0xFF);

  // Second control sequence: stop display after the duration; it points at itself as the last one.
  PutBe16(out, delay);
  PutBe16(out, lastSequence);
  out.push_back(0x02);
  out.push_back(0xFF);
  if (pixels.block.size() % 2 != 0) out.push_back(0xFF);
}

std::vector<uint8_t> BuildSubpictureUnit(const PixelData& pixels, int bandTop, int bandHeight,
                                         const PaletteEntries& entries, uint16_t delay) {
  std::vector<uint8_t> out;
  BuildSubpictureUnit(pixels, bandTop, bandHeight, entries, delay, out);
  return out;
}

bool LimitStopDelay(std::span<uint8_t> unit, uint16_t maxTicks) {
  const auto read16 = [&](std::size_t at) { return static_cast<std::size_t>(unit[at] << 8 | unit[at + 1]); };
  if (unit.size() < 4) return false;
  // Each control sequence starts with its delay and the offset of the next; the last points at itself.
  for (std::size_t at = read16(2); at + 4 <= unit.size();) {
    const std::size_t next = read16(at + 2);
    if (next == at) {
      if (read16(at) > maxTicks) {
        unit[at] = static_cast<uint8_t>(maxTicks >> 8);
        unit[at + 1] = static_cast<uint8_t>(maxTicks);
      }
      return true;
    }
    if (next < at) return false;
    at = next;
  }
  return false;
}

bool ForceDisplay(std::span<uint8_t> unit) {
  if (unit.size() < 4) return false;
  const std::size_t first = static_cast<std::size_t>(unit[2] << 8 | unit[3]) + 4;  // past its delay and next
  if (first >= unit.size() || unit[first] != 0x01) return false;
  unit[first] = 0x00;
  return true;
}

}  // namespace quillet
