// The film as libavformat reads it: a plain file opened by this program and read through its own descriptor.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quillet {

// Opens `path` for reading when it is a regular file. A named pipe, a device or a folder is refused at once (a
// pipe with no writer would otherwise block the open for ever). Returns the descriptor, which the caller closes.
// Throws FileError.
int OpenFilm(const std::string& path);

/*
 * A demuxer over a descriptor: the bytes come through callbacks reading `fd` at offsets of their own (pread), so
 * no libavformat protocol is ever involved and a video argument such as "concat:a|b", "pipe:0" or "http://…" is
 * only a file name. Several readers may share one descriptor. `format` forces a demuxer ("mpeg"); null probes.
 * Throws FileError naming `path` when libavformat cannot open it.
 */
class FilmReader {
 public:
  FilmReader(int fd, const std::string& path, const char* format);
  ~FilmReader();
  FilmReader(const FilmReader&) = delete;
  FilmReader& operator=(const FilmReader&) = delete;

  AVFormatContext* Context() { return m_context; }

 private:
  void Release() noexcept;
  static int Read(void* opaque, uint8_t* bytes, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  int m_fd;
  int64_t m_offset = 0;
  AVIOContext* m_io = nullptr;
  AVFormatContext* m_context = nullptr;
};

// A stream of the film: the demuxer's stream number (0xE0 video, 0xC0 MPEG audio, 0x80 AC-3, 0x20–0x3F DVD
// subpictures) and what it carries.
struct FilmStream {
  int id = 0;
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  AVCodecID codec = AV_CODEC_ID_NONE;
};

/*
 * What the whole film holds: every stream, in the order their first packets come (the program stream names its
 * streams only as they appear, and a subtitle stream's first unit may come an hour in), and the bytes of its
 * subpicture streams hashed. Payloads of other streams are skipped unread. Reading stops quietly at a damaged
 * part: the copy itself reports it.
 */
struct FilmScan {
  std::vector<FilmStream> streams;
  uint64_t subpictureHash = 0;  // SubpictureStreamsHash of the subpicture streams' bytes, in stream number order
};
FilmScan ScanFilm(int fd, const std::string& path);

// The colours dvdauthor is told for each sub-stream (0x20–0x3F) in the film's "dvdauthor-data" packets (spumux
// writes one before each unit; a stream told more than once keeps the last), read from the packs of the film at
// `path`. Empty for a film without them. Throws FileError.
std::map<int, std::array<uint32_t, 16>> FilmColourPackets(const std::string& path);

// FNV-1a, 64 bits.
constexpr uint64_t kHashStart = 0xCBF29CE484222325u;
uint64_t HashBytes(const uint8_t* bytes, std::size_t size, uint64_t hash = kHashStart);
// One hash of several streams' bytes, given each stream's HashBytes in stream order.
uint64_t SubpictureStreamsHash(const std::vector<uint64_t>& streamHashes);

}  // namespace quillet
