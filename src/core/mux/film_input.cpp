// The film as libavformat reads it: a plain file opened by this program and read through its own descriptor.
#include "mux/film_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "base/errors.h"
#include "base/whole_file.h"

namespace quillet {
namespace {

constexpr int kReadBufferBytes = 1 << 16;

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

}  // namespace

int OpenFilm(const std::string& path) { return OpenRegularFileForReading(path); }

FilmReader::FilmReader(int fd, const std::string& path, const char* format) : m_fd(fd) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(kReadBufferBytes));
  m_io = buffer ? avio_alloc_context(buffer, kReadBufferBytes, 0, this, &FilmReader::Read, nullptr, &FilmReader::Seek)
                : nullptr;
  m_context = avformat_alloc_context();
  if (m_io == nullptr || m_context == nullptr) {
    if (m_io == nullptr) av_free(buffer);
    Release();
    throw std::bad_alloc();
  }
  m_context->pb = m_io;
  m_context->flags |= AVFMT_FLAG_CUSTOM_IO;
  // No protocol is opened through this context, nor through anything the demuxer might open next to it.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const AVInputFormat* forced = format ? av_find_input_format(format) : nullptr;
  const int opened = avformat_open_input(&m_context, path.c_str(), forced, &options);
  av_dict_free(&options);
  if (opened < 0) {  // the context is freed already
    Release();
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(opened, text, sizeof text);
    throw FileError("Cannot read \"" + path + "\": " + text + ".");
  }
}

FilmReader::~FilmReader() { Release(); }

void FilmReader::Release() noexcept {
  avformat_close_input(&m_context);
  if (m_io != nullptr) av_freep(&m_io->buffer);
  avio_context_free(&m_io);
}

int FilmReader::Read(void* opaque, uint8_t* bytes, int size) {
  auto* self = static_cast<FilmReader*>(opaque);
  for (;;) {
    const ssize_t got = ::pread(self->m_fd, bytes, static_cast<std::size_t>(size), self->m_offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return AVERROR(errno);
    if (got == 0) return AVERROR_EOF;
    self->m_offset += got;
    return static_cast<int>(got);
  }
}

int64_t FilmReader::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<FilmReader*>(opaque);
  struct stat info {};
  if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE || (whence & ~AVSEEK_FORCE) == SEEK_END) {
    if (::fstat(self->m_fd, &info) != 0) return AVERROR(errno);
  }
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
      return info.st_size;
    case SEEK_SET:
      break;
    case SEEK_CUR:
      offset += self->m_offset;
      break;
    case SEEK_END:
      offset += info.st_size;
      break;
    default:
      return AVERROR(EINVAL);
  }
  if (offset < 0) return AVERROR(EINVAL);
  self->m_offset = offset;
  return offset;
}

FilmScan ScanFilm(int fd, const std::string& path) {
  FilmReader reader(fd, path, "mpeg");
  AVFormatContext* context = reader.Context();
  context->flags |= AVFMT_FLAG_NOPARSE | AVFMT_FLAG_NOFILLIN;
  FilmScan scan;
  std::map<int, uint64_t> subpictureHashes;  // by stream number
  unsigned noted = 0;
  // A stream's first packet is returned (it did not exist to be discarded); later ones of streams other than
  // subpictures are skipped unread.
  const auto noteNewStreams = [&] {
    for (; noted < context->nb_streams; ++noted) {
      AVStream* stream = context->streams[noted];
      const AVCodecParameters* par = stream->codecpar;
      if (par->codec_id != AV_CODEC_ID_DVD_SUBTITLE) stream->discard = AVDISCARD_ALL;
      scan.streams.push_back({stream->id, par->codec_type, par->codec_id});
    }
  };
  std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
  if (packet == nullptr) throw std::bad_alloc();
  noteNewStreams();
  while (av_read_frame(context, packet.get()) >= 0) {
    noteNewStreams();
    const AVStream* stream = context->streams[packet->stream_index];
    if (stream->codecpar->codec_id == AV_CODEC_ID_DVD_SUBTITLE) {
      const auto [at, added] = subpictureHashes.try_emplace(stream->id, kHashStart);
      at->second = HashBytes(packet->data, static_cast<std::size_t>(packet->size), at->second);
    }
    av_packet_unref(packet.get());
  }
  noteNewStreams();
  std::vector<uint64_t> hashes;
  for (const auto& [id, hash] : subpictureHashes) hashes.push_back(hash);
  scan.subpictureHash = SubpictureStreamsHash(hashes);
  return scan;
}

uint64_t HashBytes(const uint8_t* bytes, std::size_t size, uint64_t hash) {
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3u;
  return hash;
}

uint64_t SubpictureStreamsHash(const std::vector<uint64_t>& streamHashes) {
  uint64_t hash = kHashStart;
  for (const uint64_t stream : streamHashes) {
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(stream >> (8 * i));
    hash = HashBytes(bytes, sizeof bytes, hash);
  }
  return hash;
}

namespace {

// The colour map of one pack's "dvdauthor-data" packet right behind its pack header, with its sub-stream.
bool ReadColourPacket(const uint8_t* pack, std::size_t size, int& substream, std::array<uint32_t, 16>& colours) {
  static constexpr uint8_t kStart[] = {0, 0, 1, 0xBA};
  static constexpr char kMark[] = "dvdauthor-data";  // with its terminating zero
  if (size < 64 || std::memcmp(pack, kStart, 4) != 0 || (pack[4] >> 6) != 1) return false;
  const std::size_t at = 14 + (pack[13] & 7u);
  if (at + 6 + sizeof kMark + 11 > size || pack[at + 2] != 1 || pack[at + 3] != 0xBE) return false;
  if (std::memcmp(pack + at + 6, kMark, sizeof kMark) != 0) return false;
  std::size_t i = at + 6 + sizeof kMark;
  if (pack[i + 1] != 1) return false;  // not a subtitle's
  substream = 0x20 | (pack[i + 2] & 0x1F);
  bool found = false;
  for (i += 11; i + 2 <= size && pack[i] != 0xFF;) {
    const std::size_t count = pack[i + 1];
    const std::size_t width = pack[i] == 1 ? 3 : pack[i] == 2 ? 8 : 0;
    if (width == 0 || i + 2 + count * width > size) return false;
    if (pack[i] == 1) {
      colours.fill(0);
      for (std::size_t k = 0; k < count && k < 16; ++k) {
        const uint8_t* c = pack + i + 2 + 3 * k;
        colours[k] = static_cast<uint32_t>(c[0]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[2];
      }
      found = true;
    }
    i += 2 + count * width;
  }
  return found;
}

}  // namespace

std::map<int, std::array<uint32_t, 16>> FilmColourPackets(const std::string& path) {
  const int fd = OpenFilm(path);
  std::map<int, std::array<uint32_t, 16>> found;
  std::vector<uint8_t> packs(std::size_t{2048} * 512);
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(fd, packs.data(), packs.size(), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      throw FileError(FileErrorText("read", path, error));
    }
    for (std::size_t at = 0; at + 2048 <= static_cast<std::size_t>(got); at += 2048) {
      int substream = 0;
      std::array<uint32_t, 16> colours{};
      if (ReadColourPacket(packs.data() + at, 2048, substream, colours)) found[substream] = colours;
    }
    if (static_cast<std::size_t>(got) < packs.size()) break;
    offset += got;
  }
  ::close(fd);
  return found;
}

}  // namespace quillet
