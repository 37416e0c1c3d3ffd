// Writing a picture as a 24-bit BMP, to look at rendered frames and to make test pictures.
#pragma once

#include <string>

#include "render/image.h"

namespace quillet {

// The bytes of a bottom-up 24-bit BMP file of the picture.
std::string EncodeBmp(const Image24& image);

}  // namespace quillet
