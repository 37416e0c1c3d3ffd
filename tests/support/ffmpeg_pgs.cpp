// Test-only, part of the ffmpeg module: a Blu-ray SUP file through ffmpeg's "sup" demuxer and PGS decoder.
#include <memory>
#include <stdexcept>

#include "ffmpeg_module.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace quillet::test {
namespace {

DecodedPgsSet SetOf(const AVSubtitle& subtitle, int64_t pts90k) {
  DecodedPgsSet set;
  set.pts90k = pts90k;
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    const AVSubtitleRect* rect = subtitle.rects[i];
    DecodedPgsRect out{rect->x, rect->y, rect->w, rect->h, {}};
    const auto* palette = reinterpret_cast<const uint32_t*>(rect->data[1]);
    for (int y = 0; y < rect->h; ++y) {
      for (int x = 0; x < rect->w; ++x) {
        const uint32_t argb = palette[rect->data[0][y * rect->linesize[0] + x]];
        out.rgba.push_back((argb << 8) | (argb >> 24));
      }
    }
    set.rects.push_back(std::move(out));
  }
  return set;
}

}  // namespace

std::vector<DecodedPgsSet> DecodePgs(const std::string& path) {
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), av_find_input_format("sup"), nullptr) < 0) {
    throw std::runtime_error("ffmpeg cannot open " + path);
  }
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> format(
      raw, [](AVFormatContext* c) { avformat_close_input(&c); });
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_HDMV_PGS_SUBTITLE);
  if (codec == nullptr || format->nb_streams != 1) throw std::runtime_error("no PGS decoder or no stream");
  std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> context(
      avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
  avcodec_parameters_to_context(context.get(), format->streams[0]->codecpar);
  context->pkt_timebase = format->streams[0]->time_base;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) throw std::runtime_error("cannot open the PGS decoder");
  std::vector<DecodedPgsSet> sets;
  std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
  while (av_read_frame(format.get(), packet.get()) >= 0) {
    AVSubtitle subtitle{};
    int got = 0;
    const int64_t pts90k = av_rescale_q(packet->pts, format->streams[0]->time_base, AVRational{1, 90000});
    if (avcodec_decode_subtitle2(context.get(), &subtitle, &got, packet.get()) < 0) {
      throw std::runtime_error("the PGS decoder rejected a segment at " + std::to_string(pts90k));
    }
    if (got) {
      sets.push_back(SetOf(subtitle, pts90k));
      avsubtitle_free(&subtitle);
    }
    av_packet_unref(packet.get());
  }
  return sets;
}

}  // namespace quillet::test
