// The output side of the mux: libavformat's DVD muxer writing into an OutputFile, every subpicture unit in packs
// of its own.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "base/output_file.h"
#include "mux/subpicture_packs.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace quillet {

// libavformat's text for an error code.
std::string AvErrorText(int error);

// A failure of the file inside the muxer's write callback is kept and thrown again once libavformat has returned,
// since no exception may cross its C code.
class DvdOutput {
 public:
  // `colours`: the palette the subpictures were drawn for (0x00YYCrCb), told to dvdauthor inside the film.
  DvdOutput(OutputFile& file, const std::array<uint32_t, 16>& colours);
  ~DvdOutput();
  DvdOutput(const DvdOutput&) = delete;
  DvdOutput& operator=(const DvdOutput&) = delete;

  AVFormatContext* Context() { return m_context; }

  // Starts the program stream at a DVD's mux rate, once every stream is added.
  void Start();
  // Hands a packet to the muxer (which takes its data). Throws the file's failure or one of `what`.
  void Write(AVPacket* packet, const std::string& what);
  // Writes what the muxer still holds and ends the program stream.
  void Finish();
  uint64_t BytesWritten() const { return m_bytes; }
  // The colours told for sub-stream `substream`'s units in place of the palette's.
  void KeepColours(int substream, const std::array<uint32_t, 16>& colours) { m_packer.KeepColours(substream, colours); }

  // Throws the file's own failure when there was one, else a failure of `what`.
  void Check(int status, const std::string& what);

 private:
  static int WriteBytes(void* opaque, uint8_t* bytes, int size);

  OutputFile& m_file;
  AVFormatContext* m_context = nullptr;
  AVIOContext* m_io = nullptr;
  std::exception_ptr m_error;
  uint64_t m_bytes = 0;
  SubpicturePacker m_packer;
  std::vector<int> m_substreamOf;  // by output stream: the DVD sub-stream number of a subpicture stream, else -1
};

}  // namespace quillet
