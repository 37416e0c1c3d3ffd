// The preview's background pictures: our own built-in ones, or the user's BMP files.
#pragma once

#include <cstdint>
#include <string>

#include "render/frame.h"
#include "render/image.h"

namespace quillet {

// The built-in background for a standard (720 x 576 or 720 x 480): an evening coast drawn by code,
// so that light and dark text both show against it.
Image24 BuiltInPreviewBackground(VideoStandard standard);

// A file larger than this is not read as a preview picture (a 720 x 576 BMP is about 1.2 MB).
constexpr uint64_t kMaxPreviewFileBytes = uint64_t{256} << 20;

struct PreviewPicture {
  Image24 image;
  // Why the user's picture is not shown, as a message for the person; empty when it is, or when there is none.
  std::string problem;
};

// The user's picture at userPath scaled to the frame, or the built-in one when the path is empty or names no
// file (silently: the picture may have been removed since it was chosen), or when the file cannot be used: not
// a regular file, over kMaxPreviewFileBytes, unreadable, not a BMP this program reads, or over kMaxBmpPixels.
// Those are told in `problem`.
PreviewPicture LoadPreviewPicture(VideoStandard standard, const std::string& userPath);

}  // namespace quillet
