// The .sub half of a VobSub pair: subpicture units carried in 2048-byte MPEG-2 program-stream packs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillet {

// Every pack of a .sub file is one DVD sector long.
constexpr std::size_t kVobSubPackBytes = 2048;

// The private-stream-1 substream number of the first subpicture stream of a DVD.
constexpr uint8_t kVobSubSubstreamId = 0x20;

// How many unit bytes fit in the first pack of a unit (its PES header carries the PTS) and in each later one.
constexpr std::size_t kFirstPackPayloadBytes = 2019;
constexpr std::size_t kLaterPackPayloadBytes = 2024;

// Number of packs a unit of `unitBytes` bytes is split over (at least one, even for an empty unit).
std::size_t VobSubPackCount(std::size_t unitBytes);

// Appends the packs that carry one subpicture unit (exactly the bytes a SUP packet holds after its 10-byte
// header) presented at `pts90k`: VobSubPackCount(unit.size()) × 2048 bytes.
void AppendVobSubPacks(std::span<const uint8_t> unit, uint32_t pts90k, std::vector<uint8_t>& out);

}  // namespace quillet
