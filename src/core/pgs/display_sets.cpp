// Blu-ray presentation graphics: objects, windows and the display sets of an entry.
#include "pgs/display_sets.h"

#include <algorithm>

#include "pgs/object_coding.h"

namespace quillet {
namespace {

enum SegmentType : uint8_t { kPalette = 0x14, kObject = 0x15, kComposition = 0x16, kWindows = 0x17, kEnd = 0x80 };
constexpr std::size_t kHeaderBytes = 13;  // "PG", presentation and decode time, type, length
constexpr std::size_t kMaxSegmentBytes = 0xFFFF;
constexpr uint8_t kEpochStart = 0x80;

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(v & 0xFF));
}

void Put32At(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + static_cast<std::size_t>(k)] = static_cast<uint8_t>(v >> (24 - 8 * k));
}

void AppendSegment(uint8_t type, const std::vector<uint8_t>& payload, std::vector<uint8_t>& out) {
  out.insert(out.end(), {'P', 'G', 0, 0, 0, 0, 0, 0, 0, 0, type});
  Put16(out, static_cast<int>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
}

void AppendComposition(const PgsPicture& picture, bool start, std::vector<uint8_t>& out) {
  std::vector<uint8_t> p;
  Put16(p, picture.frame.width);
  Put16(p, picture.frame.height);
  p.push_back(0x10);  // frame rate: not used by players
  Put16(p, 0);        // composition number, stamped later
  p.insert(p.end(), {start ? kEpochStart : uint8_t{0}, 0, 0});  // state, no palette update, palette 0
  p.push_back(static_cast<uint8_t>(start ? picture.objects.size() : 0));
  for (std::size_t k = 0; start && k < picture.objects.size(); ++k) {
    const PgsObject& o = picture.objects[k];
    Put16(p, static_cast<int>(k));                    // object
    p.insert(p.end(), {static_cast<uint8_t>(k), 0});  // its window, not cropped, not forced
    Put16(p, o.x);
    Put16(p, o.y);
  }
  AppendSegment(kComposition, p, out);
}

void AppendWindows(const PgsPicture& picture, std::vector<uint8_t>& out) {
  std::vector<uint8_t> p{static_cast<uint8_t>(picture.objects.size())};
  for (std::size_t k = 0; k < picture.objects.size(); ++k) {
    const PgsObject& o = picture.objects[k];
    p.push_back(static_cast<uint8_t>(k));
    for (int v : {o.x, o.y, o.width, o.height}) Put16(p, v);
  }
  AppendSegment(kWindows, p, out);
}

void AppendPalette(const PgsPicture& picture, std::vector<uint8_t>& out) {
  std::vector<uint8_t> p{0, 0, 0, 16, 128, 128, 0};  // palette 0, version 0; index 0 transparent
  for (std::size_t k = 0; k < picture.palette.size(); ++k) {
    const YCbCrEntry& e = picture.palette[k];
    p.insert(p.end(), {static_cast<uint8_t>(k + 1), e.y, e.cr, e.cb, e.alpha});
  }
  AppendSegment(kPalette, p, out);
}

// The object's code in as many segments as it needs: the first says the whole length and the size.
void AppendObject(const PgsObject& o, int id, std::vector<uint8_t>& out) {
  std::size_t at = 0;
  do {
    const bool first = at == 0;
    std::vector<uint8_t> p;
    Put16(p, id);
    p.push_back(0);  // version
    const std::size_t room = kMaxSegmentBytes - (first ? 11 : 4);
    const std::size_t take = std::min(room, o.code.size() - at);
    const bool last = at + take == o.code.size();
    p.push_back(static_cast<uint8_t>((first ? 0x80 : 0) | (last ? 0x40 : 0)));
    if (first) {
      const std::size_t length = o.code.size() + 4;
      p.insert(p.end(), {static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 8),
                         static_cast<uint8_t>(length)});
      Put16(p, o.width);
      Put16(p, o.height);
    }
    p.insert(p.end(), o.code.begin() + static_cast<std::ptrdiff_t>(at),
             o.code.begin() + static_cast<std::ptrdiff_t>(at + take));
    AppendSegment(kObject, p, out);
    at += take;
  } while (at < o.code.size());
}

// An object around drawn columns x0 .. x1 − 1 and rows y0 .. y1 − 1 of a picture placed at left, top in the frame,
// grown to the minimum size inside the frame.
PgsObject PlaceObject(int left, int top, int x0, int x1, int y0, int y1, PictureFrame frame) {
  PgsObject o;
  auto grow = [](int from, int size, int limit, int& at, int& length) {
    length = std::max(size, kMinPgsObjectSide);
    at = std::clamp(from - (length - size) / 2, 0, std::max(0, limit - length));
  };
  grow(left + x0, x1 - x0, frame.width, o.x, o.width);
  grow(top + y0, y1 - y0, frame.height, o.y, o.height);
  return o;
}

// The drawn columns of rows y0 .. y1 − 1 of a picture of `width` columns, [x0, x1), through `drawn(y, x)`.
template <typename Drawn>
std::pair<int, int> DrawnColumns(int width, int y0, int y1, const Drawn& drawn) {
  int x0 = width;
  int x1 = 0;
  for (int y = y0; y < y1; ++y) {
    int first = 0, last = width;
    while (first < last && !drawn(y, first)) ++first;
    while (last > first && !drawn(y, last - 1)) --last;
    if (first == last) continue;
    x0 = std::min(x0, first);
    x1 = std::max(x1, last);
  }
  return {x0, x1};
}

// Rows y0 .. y1 − 1 of the indexed picture (placed at left, top in the frame), cut to their drawn columns and
// grown to the minimum size inside the frame, as an object.
PgsObject ObjectOfRows(const IndexedPicture& indexed, int left, int top, int y0, int y1, PictureFrame frame) {
  const uint8_t* at = indexed.indices.data();
  const std::size_t w = static_cast<std::size_t>(indexed.width);
  const auto [x0, x1] = DrawnColumns(indexed.width, y0, y1, [&](int y, int x) {
    return at[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)] != 0;
  });
  PgsObject o = PlaceObject(left, top, x0, x1, y0, y1, frame);
  // The object's rows: the drawn ones copied, the rest (grown to the minimum) transparent.
  std::vector<uint8_t> indices(static_cast<std::size_t>(o.width) * static_cast<std::size_t>(o.height), 0);
  const int fromX = std::max(o.x, left), toX = std::min(o.x + o.width, left + indexed.width);
  for (int y = std::max(o.y, top); y < std::min(o.y + o.height, top + indexed.height) && fromX < toX; ++y) {
    const uint8_t* from = at + static_cast<std::size_t>(y - top) * w + static_cast<std::size_t>(fromX - left);
    std::copy(from, from + (toX - fromX),
              indices.begin() + static_cast<std::ptrdiff_t>((y - o.y) * o.width + (fromX - o.x)));
  }
  AppendObjectCode(indices, o.width, o.height, o.code);
  return o;
}

// The drawn rows' parts of a picture of `height` rows, through `drawn(y)`: one, or two around the widest band of
// empty rows when it is a quarter of the frame.
template <typename Drawn>
std::vector<std::pair<int, int>> RowParts(int height, int frameRows, const Drawn& rowDrawn) {
  std::vector<int> drawn;
  for (int y = 0; y < height; ++y) {
    if (rowDrawn(y)) drawn.push_back(y);
  }
  if (drawn.empty()) return {};
  std::size_t widest = 0;
  int gap = 0;
  for (std::size_t k = 1; k < drawn.size(); ++k) {
    if (drawn[k] - drawn[k - 1] - 1 > gap) {
      gap = drawn[k] - drawn[k - 1] - 1;
      widest = k - 1;
    }
  }
  if (gap > 0 && gap >= frameRows / 4) return {{drawn.front(), drawn[widest] + 1}, {drawn[widest + 1], drawn.back() + 1}};
  return {{drawn.front(), drawn.back() + 1}};
}

// Codes the object's rows straight from the drawn colours, numbering them as they come (in the order a row-by-row
// scan of the picture meets them). Returns false, leaving `numbers` past the palette, at a 256th colour.
bool CodeFromColours(const RgbaPicture& drawn, PgsObject& o, ColourNumbers& numbers) {
  ObjectCoder coder(o.code);
  const int fromX = std::max(o.x, drawn.left), toX = std::min(o.x + o.width, drawn.left + drawn.width);
  for (int y = o.y; y < o.y + o.height; ++y) {
    coder.BeginRow(o.width);
    if (y < drawn.top || y >= drawn.top + drawn.height || fromX >= toX) {
      coder.Add(0, o.width);
      coder.EndRow();
      continue;
    }
    coder.Add(0, fromX - o.x);
    const uint32_t* row = &drawn.pixels[static_cast<std::size_t>(y - drawn.top) * static_cast<std::size_t>(drawn.width) +
                                        static_cast<std::size_t>(fromX - drawn.left)];
    const int n = toX - fromX;
    for (int x = 0; x < n;) {
      const uint32_t colour = row[x];
      int end = x + 1;
      while (end < n && row[end] == colour) ++end;
      uint8_t index = 0;
      if ((colour & 0xFF) != 0) {
        const uint32_t number = numbers.NumberOf(colour);
        if (number >= kMaxPaletteColours) return false;
        index = static_cast<uint8_t>(number + 1);
      }
      coder.Add(index, end - x);
      x = end;
    }
    coder.Add(0, o.x + o.width - toX);
    coder.EndRow();
  }
  return true;
}

// The picture's objects and palette made straight from the drawn colours, as IndexColours would index them when
// they fit; false when there are more than 255 colours.
bool MakeExactPicture(const RgbaPicture& drawn, PgsPicture& picture) {
  const std::size_t w = static_cast<std::size_t>(drawn.width);
  auto alphaAt = [&](int y, int x) {
    return (drawn.pixels[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)] & 0xFF) != 0;
  };
  auto rowDrawn = [&](int y) {
    const uint32_t* row = drawn.pixels.data() + static_cast<std::size_t>(y) * w;
    return std::any_of(row, row + drawn.width, [](uint32_t c) { return (c & 0xFF) != 0; });
  };
  ColourNumbers numbers;
  for (const auto& [y0, y1] : RowParts(drawn.height, picture.frame.height, rowDrawn)) {
    const auto [x0, x1] = DrawnColumns(drawn.width, y0, y1, alphaAt);
    picture.objects.push_back(PlaceObject(drawn.left, drawn.top, x0, x1, y0, y1, picture.frame));
    if (!CodeFromColours(drawn, picture.objects.back(), numbers)) {
      picture.objects.clear();
      return false;
    }
  }
  const ColourMatrix matrix = MatrixForFrameRows(picture.frame.height);
  for (uint32_t colour : numbers.Colours()) picture.palette.push_back(ToYCbCr(colour, matrix));
  return true;
}

int64_t Ticks(int64_t pixels, int64_t pixelsPerSecond) { return (90000 * pixels + pixelsPerSecond - 1) / pixelsPerSecond; }

}  // namespace

PgsPicture MakePgsPicture(const RgbaPicture& drawn, PictureFrame frame) {
  PgsPicture picture;
  picture.frame = frame;
  if (!MakeExactPicture(drawn, picture)) {
    const IndexedPicture indexed = IndexColours(drawn);
    picture.reduced = indexed.reduced;
    const ColourMatrix matrix = MatrixForFrameRows(frame.height);
    for (uint32_t colour : indexed.colours) picture.palette.push_back(ToYCbCr(colour, matrix));
    auto rowDrawn = [&](int y) {
      const auto row = indexed.indices.begin() + static_cast<std::ptrdiff_t>(y) * indexed.width;
      return std::any_of(row, row + indexed.width, [](uint8_t v) { return v != 0; });
    };
    for (const auto& [y0, y1] : RowParts(indexed.height, frame.height, rowDrawn)) {
      picture.objects.push_back(ObjectOfRows(indexed, drawn.left, drawn.top, y0, y1, frame));
    }
  }
  if (picture.objects.empty()) {
    PgsObject blank{frame.width / 2 - kMinPgsObjectSide / 2, frame.height - 2 * kMinPgsObjectSide, kMinPgsObjectSide,
                    kMinPgsObjectSide, {}};
    const std::vector<uint8_t> none(kMinPgsObjectSide * kMinPgsObjectSide, 0);
    AppendObjectCode(none, kMinPgsObjectSide, kMinPgsObjectSide, blank.code);
    picture.objects.push_back(std::move(blank));
  }
  return picture;
}

std::size_t CodedBytes(const PgsPicture& picture) {
  std::size_t bytes = 0;
  for (const PgsObject& o : picture.objects) bytes += o.code.size() + 4;
  return bytes;
}

std::string PgsLimitProblem(const PgsPicture& picture) {
  std::size_t pixels = 0;
  for (const PgsObject& o : picture.objects) {
    if (o.width > kMaxPgsObjectSide || o.height > kMaxPgsObjectSide) {
      return "its picture is " + std::to_string(o.width) + " × " + std::to_string(o.height) +
             " pixels, more than the " + std::to_string(kMaxPgsObjectSide) + " a player takes on a side";
    }
    pixels += static_cast<std::size_t>(o.width) * static_cast<std::size_t>(o.height);
  }
  if (CodedBytes(picture) > kPgsCodedBufferBytes) {
    return "its picture needs " + std::to_string(CodedBytes(picture)) + " bytes of coded object data, more than the " +
           std::to_string(kPgsCodedBufferBytes) + " a player holds";
  }
  if (pixels > kPgsObjectBufferPixels) {
    return "its picture has " + std::to_string(pixels) + " pixels, more than the " +
           std::to_string(kPgsObjectBufferPixels) + " a player's object buffer holds";
  }
  return {};
}

void AppendDisplaySets(const PgsPicture& picture, std::vector<uint8_t>& out) {
  AppendComposition(picture, true, out);
  AppendWindows(picture, out);
  AppendPalette(picture, out);
  for (std::size_t k = 0; k < picture.objects.size(); ++k) AppendObject(picture.objects[k], static_cast<int>(k), out);
  AppendSegment(kEnd, {}, out);
  AppendComposition(picture, false, out);
  AppendWindows(picture, out);
  AppendSegment(kEnd, {}, out);
}

void StampDisplaySets(std::vector<uint8_t>& sets, const DisplaySetTimes& times, uint16_t& compositionNumber) {
  // Pass 1: each set's decoding work, in 90 kHz ticks.
  int64_t work[2] = {0, 0};
  int set = 0;
  for (std::size_t at = 0; at + kHeaderBytes <= sets.size() && set < 2;) {
    const uint8_t* s = sets.data() + at;
    const std::size_t length = (std::size_t{s[11]} << 8) | s[12];
    const uint8_t* p = s + kHeaderBytes;
    auto area = [](const uint8_t* size) { return int64_t{(size[0] << 8) | size[1]} * ((size[2] << 8) | size[3]); };
    // Planes and windows are drawn at 256 Mbit/s, objects decoded at 128 Mbit/s, eight bits a pixel.
    if (s[10] == kComposition && p[7] == kEpochStart) work[set] += Ticks(area(p), 32'000'000);
    if (s[10] == kWindows) {
      for (int k = 0; k < p[0]; ++k) {
        const uint8_t* w = p + 1 + 9 * k;
        work[set] += Ticks(area(w + 5), 32'000'000);
      }
    }
    if (s[10] == kObject && (p[3] & 0x80) != 0) work[set] += Ticks(area(p + 7), 16'000'000);
    if (s[10] == kEnd) ++set;
    at += kHeaderBytes + length;
  }
  // Pass 2: the times and composition numbers.
  const uint32_t pts[2] = {times.startPts, times.endPts};
  const uint32_t earliest[2] = {times.previousPts, times.startPts};
  set = 0;
  for (std::size_t at = 0; at + kHeaderBytes <= sets.size() && set < 2;) {
    const int64_t dts = std::max<int64_t>(int64_t{pts[set]} - work[set], earliest[set]);
    Put32At(sets, at + 2, pts[set]);
    Put32At(sets, at + 6, static_cast<uint32_t>(std::min<int64_t>(dts, pts[set])));
    const uint8_t type = sets[at + 10];
    if (type == kComposition) {
      sets[at + kHeaderBytes + 5] = static_cast<uint8_t>(compositionNumber >> 8);
      sets[at + kHeaderBytes + 6] = static_cast<uint8_t>(compositionNumber & 0xFF);
      ++compositionNumber;
    }
    if (type == kEnd) ++set;
    at += kHeaderBytes + ((std::size_t{sets[at + 11]} << 8) | sets[at + 12]);
  }
}

}  // namespace quillet
