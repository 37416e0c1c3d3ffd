// The output side of the mux: libavformat's DVD muxer writing into an OutputFile, every subpicture unit in packs
// of its own.
#include "mux/dvd_output.h"

#include <new>

#include "base/errors.h"

extern "C" {
#include <libavutil/mathematics.h>
}

namespace quillet {
namespace {

constexpr int kIoBufferBytes = 1 << 16;
// A DVD's program stream is multiplexed at 10.08 Mbit/s, whatever its streams' rates add up to.
constexpr const char* kDvdMuxRate = "10080000";
// The DVD muxer numbers subpicture streams from this sub-stream on, in the order they were added.
constexpr int kFirstSubpictureSubstream = 0x20;

}  // namespace

std::string AvErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

DvdOutput::DvdOutput(OutputFile& file, const std::array<uint32_t, 16>& colours)
    : m_file(file),
      m_packer(
          [this](std::span<const uint8_t> bytes) {
            m_file.Write(bytes);
            m_bytes += bytes.size();
          },
          colours) {
  if (avformat_alloc_output_context2(&m_context, nullptr, "dvd", nullptr) < 0 || m_context == nullptr) {
    throw QuilletError("This libavformat has no DVD muxer.");
  }
  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
  m_io = avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, &DvdOutput::WriteBytes, nullptr);
  if (m_io == nullptr) {
    av_free(buffer);
    avformat_free_context(m_context);
    throw std::bad_alloc();
  }
  m_context->pb = m_io;
}

DvdOutput::~DvdOutput() {
  avformat_free_context(m_context);
  if (m_io != nullptr) av_freep(&m_io->buffer);
  avio_context_free(&m_io);
}

void DvdOutput::Start() {
  int substream = kFirstSubpictureSubstream;
  for (unsigned i = 0; i < m_context->nb_streams; ++i) {
    const bool subpicture = m_context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE;
    m_substreamOf.push_back(subpicture ? substream++ : -1);
  }
  AVDictionary* options = nullptr;
  av_dict_set(&options, "muxrate", kDvdMuxRate, 0);
  const int header = avformat_write_header(m_context, &options);
  av_dict_free(&options);
  Check(header, "Cannot start the program stream");
}

void DvdOutput::Write(AVPacket* packet, const std::string& what) {
  const int substream = m_substreamOf[static_cast<std::size_t>(packet->stream_index)];
  if (substream >= 0) {
    const AVRational timeBase = m_context->streams[packet->stream_index]->time_base;
    m_packer.Expect(substream, av_rescale_q(packet->pts, timeBase, AVRational{1, 90000}));
  }
  Check(av_interleaved_write_frame(m_context, packet), what);
}

void DvdOutput::Finish() {
  Check(av_write_trailer(m_context), "Cannot finish the program stream");
  avio_flush(m_context->pb);
  Check(0, "");
  m_packer.Finish();
}

void DvdOutput::Check(int status, const std::string& what) {
  if (m_error) std::rethrow_exception(m_error);
  if (status < 0) throw QuilletError(what + ": " + AvErrorText(status));
}

int DvdOutput::WriteBytes(void* opaque, uint8_t* bytes, int size) {
  auto* self = static_cast<DvdOutput*>(opaque);
  if (self->m_error) return AVERROR(EIO);
  try {
    self->m_packer.Feed(std::span<const uint8_t>(bytes, static_cast<std::size_t>(size)));
  } catch (...) {
    self->m_error = std::current_exception();
    return AVERROR(EIO);
  }
  return size;
}

}  // namespace quillet
