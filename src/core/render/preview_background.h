// The preview's background pictures: our own built-in ones, or the user's BMP files.
#pragma once

#include <string>

#include "render/frame.h"
#include "render/image.h"

namespace quillet {

// The built-in background for a standard (720 x 576 or 720 x 480): an evening coast drawn by code,
// so that light and dark text both show against it.
Image24 BuiltInPreviewBackground(VideoStandard standard);

// The user's picture at userPath scaled to the frame, or the built-in one when the path is empty or the
// file is missing or cannot be read as a BMP.
Image24 LoadPreviewPicture(VideoStandard standard, const std::string& userPath);

}  // namespace quillet
