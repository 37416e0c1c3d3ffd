// A Blu-ray presentation graphics object: its pixels as palette indices and their run-length code.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillet {

// The longest run one code holds; longer runs take several codes.
constexpr int kMaxRunPixels = 16383;

// Appends the run-length code of rows given run by run. Index 0 is the cheap one: its runs take two bytes up to 63
// pixels and three up to 16383. Another index takes one byte for a single pixel (two for two), three bytes up to 63
// pixels and four up to 16383. Every row ends with 00 00. Neighbouring runs of one index are coded as one.
class ObjectCoder {
 public:
  // The code goes to `out` when the coder is finished or destroyed.
  explicit ObjectCoder(std::vector<uint8_t>& out);
  ~ObjectCoder() { Finish(); }
  ObjectCoder(const ObjectCoder&) = delete;
  ObjectCoder& operator=(const ObjectCoder&) = delete;
  // A row of at most `pixels` pixels starts.
  void BeginRow(int pixels);
  void Add(uint8_t index, int length) {
    if (length <= 0) return;
    if (index != m_index) Flush();
    m_index = index;
    m_length += length;
  }
  void EndRow();
  void Finish();

 private:
  // The pending run's code; runs under 64 pixels, nearly all of them, written here.
  void Flush() {
    uint8_t* to = m_buffer.data() + m_at;
    if (m_length >= 64) {
      FlushLong();
    } else if (m_index == 0) {
      to[0] = 0;
      to[1] = static_cast<uint8_t>(m_length);
      m_at += m_length > 0 ? 2 : 0;
    } else if (m_length <= 2) {
      to[0] = m_index;
      to[1] = m_index;
      m_at += static_cast<std::size_t>(m_length);
    } else {
      to[0] = 0;
      to[1] = static_cast<uint8_t>(0x80 | m_length);
      to[2] = m_index;
      m_at += 3;
    }
    m_length = 0;
  }
  void FlushLong();
  std::vector<uint8_t>& m_out;
  std::vector<uint8_t>& m_buffer;  // kept for the thread, so that it is not cleared for every object
  std::size_t m_at = 0;
  uint8_t m_index = 0;
  int m_length = 0;
};

// Appends the code of `height` rows of `width` indices (row after row, no padding).
void AppendObjectCode(std::span<const uint8_t> indices, int width, int height, std::vector<uint8_t>& out);

}  // namespace quillet
