// The run-length code of a presentation graphics object.
#include "pgs/object_coding.h"

#include <algorithm>

namespace quillet {
namespace {

// Writes the codes of a run at `to` and returns the end: at most 4 bytes for each 16383 pixels.
uint8_t* PutRun(uint8_t index, int length, uint8_t* to) {
  while (length > 0) {
    const int run = std::min(length, kMaxRunPixels);
    length -= run;
    const auto high = static_cast<uint8_t>(run >> 8);
    const auto low = static_cast<uint8_t>(run & 0xFF);
    if (index != 0 && run <= 2) {
      *to++ = index;
      if (run == 2) *to++ = index;
    } else if (index == 0) {
      *to++ = 0;
      if (run < 64) {
        *to++ = low;
      } else {
        *to++ = static_cast<uint8_t>(0x40 | high);
        *to++ = low;
      }
    } else {
      *to++ = 0;
      if (run < 64) {
        *to++ = static_cast<uint8_t>(0x80 | low);
      } else {
        *to++ = static_cast<uint8_t>(0xC0 | high);
        *to++ = low;
      }
      *to++ = index;
    }
  }
  return to;
}

}  // namespace

std::vector<uint8_t>& ThreadBuffer() {
  thread_local std::vector<uint8_t> buffer;
  return buffer;
}

ObjectCoder::ObjectCoder(std::vector<uint8_t>& out) : m_out(out), m_buffer(ThreadBuffer()) {}

void ObjectCoder::BeginRow(int pixels) {
  // Room for the worst case: every pixel a run of its own (3 bytes for a transparent one) and the row's end.
  const std::size_t worst = m_at + 3 * static_cast<std::size_t>(pixels) + 2;
  if (m_buffer.size() < worst) m_buffer.resize(std::max(worst, 2 * m_buffer.size()));
  m_index = 0;
  m_length = 0;
}

void ObjectCoder::FlushLong() {
  m_at = static_cast<std::size_t>(PutRun(m_index, m_length, m_buffer.data() + m_at) - m_buffer.data());
}

void ObjectCoder::EndRow() {
  Flush();
  m_buffer[m_at++] = 0;
  m_buffer[m_at++] = 0;
}

void ObjectCoder::Finish() {
  m_out.insert(m_out.end(), m_buffer.data(), m_buffer.data() + m_at);
  m_at = 0;
}

void AppendObjectCode(std::span<const uint8_t> indices, int width, int height, std::vector<uint8_t>& out) {
  ObjectCoder coder(out);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    coder.BeginRow(width);
    int x = 0;
    while (x < width) {
      int end = x + 1;
      while (end < width && row[end] == row[x]) ++end;
      coder.Add(row[x], end - x);
      x = end;
    }
    coder.EndRow();
  }
}

}  // namespace quillet
