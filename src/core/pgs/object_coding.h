// A Blu-ray presentation graphics object: its pixels as palette indices and their run-length code.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillet {

// The longest run one code holds; longer runs take several codes.
constexpr int kMaxRunPixels = 16383;

// Appends the run-length code of `height` rows of `width` indices (row after row, no padding). Index 0 is the
// cheap one: its runs take two bytes up to 63 pixels and three up to 16383. Another index takes one byte for a
// single pixel (two for two), three bytes up to 63 pixels and four up to 16383. Every row ends with 00 00.
void AppendObjectCode(std::span<const uint8_t> indices, int width, int height, std::vector<uint8_t>& out);

}  // namespace quillet
