// The preview's background pictures: our own built-in ones, or the user's BMP files.
#include "render/preview_background.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/errors.h"
#include "base/whole_file.h"
#include "render/bmp.h"

namespace quillet {

namespace {

uint8_t Mix(int a, int b, double t) { return static_cast<uint8_t>(std::clamp(a + (b - a) * t, 0.0, 255.0)); }

Rgb Lerp(Rgb a, Rgb b, double t) { return Rgb{Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)}; }

}  // namespace

Image24 BuiltInPreviewBackground(VideoStandard standard) {
  const int w = kFrameWidth;
  const int h = FrameHeight(standard);
  Image24 image(w, h);
  const int horizon = h * 58 / 100;
  const double sunX = w * 0.68;
  const double sunY = horizon - h * 0.07;
  const double sunR = h * 0.055;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = image.Row(y);
    for (int x = 0; x < w; ++x) {
      Rgb c;
      if (y < horizon) {
        // Sky: deep blue at the top to a warm glow at the horizon, brighter near the sun.
        const double t = static_cast<double>(y) / horizon;
        c = Lerp(Rgb{22, 28, 74}, Rgb{236, 146, 92}, t * t);
        const double d = std::hypot(x - sunX, (y - sunY) * 1.1);
        if (d < sunR) {
          c = Rgb{255, 226, 160};
        } else if (d < sunR * 4) {
          c = Lerp(c, Rgb{255, 200, 130}, 0.35 * (1 - (d - sunR) / (sunR * 3)));
        }
        // A ridge of hills on the left.
        const double ridge = horizon - h * (0.08 + 0.05 * std::sin(x / 57.0) + 0.03 * std::sin(x / 23.0 + 1.3)) *
                                           std::max(0.0, 1.0 - x / (w * 0.55));
        if (y > ridge) c = Lerp(Rgb{40, 30, 52}, Rgb{62, 44, 66}, (y - ridge) / (horizon - ridge + 1));
      } else {
        // Sea: dark water with a reflection of the sun.
        const double t = static_cast<double>(y - horizon) / (h - horizon);
        c = Lerp(Rgb{92, 70, 96}, Rgb{16, 22, 48}, std::sqrt(t));
        const double band = std::abs(x - sunX) / (sunR * (1.2 + 2.5 * t));
        if (band < 1.0 && ((y / 3 + x / 17) % 3) != 0) c = Lerp(c, Rgb{250, 190, 120}, 0.6 * (1 - band) * (1 - t));
      }
      row[x * 3] = c.b;
      row[x * 3 + 1] = c.g;
      row[x * 3 + 2] = c.r;
    }
  }
  // The bottom-left pixel's colour is the one the preview treats as transparent: give it a colour
  // that the picture uses nowhere else.
  image.SetPixel(0, h - 1, Rgb{1, 2, 3});
  return image;
}

PreviewPicture LoadPreviewPicture(VideoStandard standard, const std::string& userPath) {
  if (userPath.empty()) return {BuiltInPreviewBackground(standard), {}};
  auto refuse = [&](const std::string& why) {
    return PreviewPicture{
        BuiltInPreviewBackground(standard),
        "The preview picture \"" + userPath + "\" cannot be used: " + why + ". The built-in picture is shown instead."};
  };
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFileIfPresent(userPath, kMaxPreviewFileBytes);
  } catch (const FileTooLargeError&) {
    return refuse("it is larger than 256 MiB");
  } catch (const FileError& e) {
    // A folder, pipe or device is told in the preview's own words, like a picture that cannot be decoded.
    struct stat info {};
    if (::stat(userPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      return refuse(NotRegularFileReason(info.st_mode));
    }
    return {BuiltInPreviewBackground(standard), std::string(e.what()) + " The built-in picture is shown instead."};
  }
  if (!bytes) return {BuiltInPreviewBackground(standard), {}};
  std::string problem;
  std::optional<Image24> picture = DecodeBmp(*bytes, &problem);
  if (!picture) return refuse("it " + problem);
  return {ScaleNearest(*picture, kFrameWidth, FrameHeight(standard)), {}};
}

}  // namespace quillet
