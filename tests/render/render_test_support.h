// What the render tests share: one font engine for the whole executable, and small picture helpers.
#pragma once

#include <string>

#include "render/font_engine.h"
#include "render/image.h"

namespace quillet::test {

// Made once; DEFAULT decodes as UTF-8 whatever the test machine's locale.
FontEngine& SharedEngine();

// A font description with the common defaults: Arial, DEFAULT charset, 96 dpi.
FontDesc Font(int sizePt, StyleSet style = {}, const std::string& face = "Arial", uint8_t charset = kCharsetDefault);

// The number of pixels of the picture that have this colour.
int CountPixels(const Image24& image, Rgb colour);

// Writes a 24-bit picture as a PNG file (uncompressed deflate blocks; any viewer reads it).
void WritePng(const std::string& path, const Image24& image);

}  // namespace quillet::test
