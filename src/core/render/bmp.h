// Reading BMP pictures (the user's preview backgrounds) into 24-bit images.
#pragma once

#include <optional>
#include <string>

#include "render/image.h"

namespace quillet {

// Decodes an uncompressed BMP (1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down).
// Returns nothing for anything else or for a damaged file; every read is bounds-checked.
std::optional<Image24> DecodeBmp(const std::string& bytes);

// Reads and decodes a BMP file; nothing when it is missing, unreadable or not a BMP we can read.
std::optional<Image24> ReadBmpFile(const std::string& path);

// Writes a 24-bit BMP (used to look at rendered frames).
std::string EncodeBmp(const Image24& image);

// Scales a picture to width x height by nearest neighbour (the picture is shown stretched to the frame).
Image24 ScaleNearest(const Image24& image, int width, int height);

}  // namespace quillet
