// Test-only, built as a module of its own: ffmpeg's DVD subtitle decoder and its demuxers, implementations
// independent of ours. The test support opens it on first use (ffmpeg_module.h).
#include "ffmpeg_module.h"

#include <cstring>
#include <memory>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace quillet::test {
namespace {

bool DecoderAvailable() { return avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE) != nullptr; }

bool DemuxerAvailable() { return av_find_input_format("vobsub") != nullptr; }

DecodedSubpicture Decode(std::span<const uint8_t> unit, int64_t pts90k, std::string_view idxHeader) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
  if (codec == nullptr) throw std::runtime_error("libavcodec has no DVD subtitle decoder");
  std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> context(
      avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
  context->time_base = AVRational{1, 90000};
  context->pkt_timebase = AVRational{1, 90000};
  if (!idxHeader.empty()) {
    context->extradata = static_cast<uint8_t*>(av_mallocz(idxHeader.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    std::memcpy(context->extradata, idxHeader.data(), idxHeader.size());
    context->extradata_size = static_cast<int>(idxHeader.size());
  }
  if (avcodec_open2(context.get(), codec, nullptr) < 0) throw std::runtime_error("cannot open the decoder");

  // The decoder may read a little past the packet's end: give it the padding it asks for.
  std::vector<uint8_t> data(unit.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  std::memcpy(data.data(), unit.data(), unit.size());
  std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
  packet->data = data.data();
  packet->size = static_cast<int>(unit.size());
  packet->pts = pts90k;

  AVSubtitle subtitle{};
  int gotSubtitle = 0;
  const int used = avcodec_decode_subtitle2(context.get(), &subtitle, &gotSubtitle, packet.get());
  if (used < 0) throw std::runtime_error("the decoder rejected the unit");

  DecodedSubpicture result;
  if (gotSubtitle) {
    result.startDisplayMs = subtitle.start_display_time;
    result.endDisplayMs = subtitle.end_display_time;
    if (subtitle.num_rects > 0) {
      const AVSubtitleRect* rect = subtitle.rects[0];
      result.hasPicture = true;
      result.x = rect->x;
      result.y = rect->y;
      result.width = rect->w;
      result.height = rect->h;
      result.pixels.resize(static_cast<std::size_t>(rect->w) * rect->h);
      for (int row = 0; row < rect->h; ++row) {
        std::memcpy(result.pixels.data() + static_cast<std::size_t>(row) * rect->w,
                    rect->data[0] + static_cast<std::ptrdiff_t>(row) * rect->linesize[0], rect->w);
      }
      const auto* colours = reinterpret_cast<const uint32_t*>(rect->data[1]);
      for (int i = 0; i < 4 && i < rect->nb_colors; ++i) result.palette[i] = colours[i];
    }
    avsubtitle_free(&subtitle);
  }
  return result;
}

DemuxedFile Demux(const std::string& path, const char* format) {
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
  // A program stream's streams appear as their first packets come: the list grows while reading.
  const auto noteNewStreams = [&] {
    for (auto i = static_cast<unsigned>(file.streams.size()); i < context->nb_streams; ++i) {
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
  };
  noteNewStreams();
  std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
  int status = 0;
  while ((status = av_read_frame(context.get(), packet.get())) >= 0) {
    noteNewStreams();
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

}  // namespace
}  // namespace quillet::test

extern "C" const quillet::test::FfmpegModule* QuilletTestFfmpegModule() {
  using namespace quillet::test;
  static const FfmpegModule entries{DecoderAvailable, Decode, DemuxerAvailable, Demux, DecodePgs};
  return &entries;
}
