// Test-only: reads a file with ffmpeg's demuxers (VobSub .idx, MPEG program stream), independent of our writer.
#include "ffmpeg_demuxer.h"

#include <memory>
#include <stdexcept>

#ifdef QUILLET_HAVE_AVFORMAT
extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}
#endif

namespace quillet::test {

#ifdef QUILLET_HAVE_AVFORMAT

bool FfmpegDemuxerAvailable() { return av_find_input_format("vobsub") != nullptr; }

DemuxedFile DemuxWithFfmpeg(const std::string& path, const char* format) {
  const AVInputFormat* input = nullptr;
  if (format != nullptr && (input = av_find_input_format(format)) == nullptr) {
    throw std::runtime_error(std::string("ffmpeg has no demuxer ") + format);
  }
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), input, nullptr) < 0) {
    throw std::runtime_error("ffmpeg cannot open " + path);
  }
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> context(
      raw, [](AVFormatContext* c) { avformat_close_input(&c); });
  if (avformat_find_stream_info(context.get(), nullptr) < 0) {
    throw std::runtime_error("ffmpeg finds no streams in " + path);
  }
  DemuxedFile file;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    const AVStream* stream = context->streams[i];
    DemuxedStream info;
    info.codec = avcodec_get_name(stream->codecpar->codec_id);
    info.id = stream->id;
    if (const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0)) {
      info.language = language->value;
    }
    if (stream->codecpar->extradata != nullptr) {
      info.extradata.assign(reinterpret_cast<const char*>(stream->codecpar->extradata),
                            static_cast<std::size_t>(stream->codecpar->extradata_size));
    }
    file.streams.push_back(std::move(info));
  }
  std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
  int status = 0;
  while ((status = av_read_frame(context.get(), packet.get())) >= 0) {
    const AVStream* stream = context->streams[packet->stream_index];
    DemuxedPacket demuxed;
    demuxed.stream = packet->stream_index;
    demuxed.pts90k = av_rescale_q(packet->pts, stream->time_base, AVRational{1, 90000});
    demuxed.data.assign(packet->data, packet->data + packet->size);
    file.packets.push_back(std::move(demuxed));
    av_packet_unref(packet.get());
  }
  if (status != AVERROR_EOF) throw std::runtime_error("ffmpeg stopped reading " + path + " before its end");
  return file;
}

#else

bool FfmpegDemuxerAvailable() { return false; }

DemuxedFile DemuxWithFfmpeg(const std::string&, const char*) { throw std::runtime_error("built without libavformat"); }

#endif

}  // namespace quillet::test
