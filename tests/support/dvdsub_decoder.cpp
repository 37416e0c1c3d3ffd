// Test-only: decodes SUP packets with ffmpeg's DVD subtitle decoder, an implementation independent of ours.
#include "dvdsub_decoder.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#ifdef QUILLET_HAVE_AVCODEC
extern "C" {
#include <libavcodec/avcodec.h>
}
#endif

namespace quillet::test {

std::vector<SupPacket> SplitSupFile(const std::string& bytes) {
  std::vector<SupPacket> packets;
  std::size_t at = 0;
  auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
  while (at < bytes.size()) {
    if (bytes.size() - at < 12 || bytes[at] != 'S' || bytes[at + 1] != 'P') {
      throw std::runtime_error("no packet header at byte " + std::to_string(at));
    }
    SupPacket packet;
    packet.pts90k = uint32_t{byte(at + 2)} | uint32_t{byte(at + 3)} << 8 | uint32_t{byte(at + 4)} << 16 |
                    uint32_t{byte(at + 5)} << 24;
    const std::size_t size = std::size_t{byte(at + 10)} << 8 | byte(at + 11);
    if (size < 4 || bytes.size() - at - 10 < size) {
      throw std::runtime_error("unit at byte " + std::to_string(at) + " overruns the file");
    }
    packet.unit.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 10),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 10 + size));
    packets.push_back(std::move(packet));
    at += 10 + size;
  }
  return packets;
}

#ifdef QUILLET_HAVE_AVCODEC

bool DvdSubDecoderAvailable() { return avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE) != nullptr; }

DecodedSubpicture DecodeDvdSubpicture(std::span<const uint8_t> unit, int64_t pts90k, std::string_view idxHeader) {
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

#else

bool DvdSubDecoderAvailable() { return false; }

DecodedSubpicture DecodeDvdSubpicture(std::span<const uint8_t>, int64_t, std::string_view) {
  throw std::runtime_error("built without libavcodec");
}

#endif

}  // namespace quillet::test
