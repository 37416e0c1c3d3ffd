// Reading BMP pictures (the user's preview backgrounds) into 24-bit images.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "render/image.h"

namespace quillet {

// The largest picture decoded: far beyond any video frame, and small enough to hold in memory (a 16384-square
// picture of 1 bit per pixel is a 32 MB file but 800 MB once decoded).
constexpr int64_t kMaxBmpPixels = int64_t{64} << 20;

// Decodes an uncompressed BMP (1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down).
// Returns nothing for anything else, for a damaged file or for a picture of more than kMaxBmpPixels; `problem`
// (when given) then says which, as words that follow "it ". Every read is bounds-checked.
std::optional<Image24> DecodeBmp(const std::string& bytes, std::string* problem = nullptr);

// Scales a picture to width x height by nearest neighbour (the picture is shown stretched to the frame).
Image24 ScaleNearest(const Image24& image, int width, int height);

}  // namespace quillet
