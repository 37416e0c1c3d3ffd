// Adds DVD subpicture streams to an MPEG-2 program stream through libavformat's DVD muxer.
#include "mux/subpicture_muxer.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "base/errors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

namespace quillet {
namespace {

constexpr AVRational k90kHz{1, 90000};
constexpr int kIoBufferBytes = 1 << 16;
// A DVD's program stream is multiplexed at 10.08 Mbit/s, whatever its streams' rates add up to.
constexpr const char* kDvdMuxRate = "10080000";

std::string AvErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

// Streams a DVD title can carry besides its video, by the codecs the DVD muxer gives DVD stream numbers.
bool IsDvdAudio(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_AC3:
    case AV_CODEC_ID_DTS:
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_PCM_S16BE:
    case AV_CODEC_ID_PCM_DVD:
      return true;
    default:
      return false;
  }
}

// The output side: the DVD muxer writing into an OutputFile. A failure of the file inside the muxer's write
// callback is kept and thrown again once libavformat has returned, since no exception may cross its C code.
class DvdOutput {
 public:
  explicit DvdOutput(OutputFile& file) : m_file(file) {
    if (avformat_alloc_output_context2(&m_context, nullptr, "dvd", nullptr) < 0 || m_context == nullptr) {
      throw QuilletError("This libavformat has no DVD muxer.");
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    m_io = avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, &DvdOutput::WriteBytes, nullptr);
    if (m_io == nullptr) {
      av_free(buffer);
      throw std::bad_alloc();
    }
    m_context->pb = m_io;
  }
  ~DvdOutput() {
    avformat_free_context(m_context);
    if (m_io != nullptr) av_freep(&m_io->buffer);
    avio_context_free(&m_io);
  }
  DvdOutput(const DvdOutput&) = delete;
  DvdOutput& operator=(const DvdOutput&) = delete;

  AVFormatContext* Context() { return m_context; }

  // Throws the file's own failure when there was one, else a failure of `what`.
  void Check(int status, const std::string& what) {
    if (m_error) std::rethrow_exception(m_error);
    if (status < 0) throw QuilletError(what + ": " + AvErrorText(status));
  }

 private:
  static int WriteBytes(void* opaque, uint8_t* bytes, int size) {
    auto* self = static_cast<DvdOutput*>(opaque);
    if (self->m_error) return AVERROR(EIO);
    try {
      self->m_file.Write(std::span<const uint8_t>(bytes, static_cast<std::size_t>(size)));
    } catch (...) {
      self->m_error = std::current_exception();
      return AVERROR(EIO);
    }
    return size;
  }

  OutputFile& m_file;
  AVFormatContext* m_context = nullptr;
  AVIOContext* m_io = nullptr;
  std::exception_ptr m_error;
};

/*
 * The demuxer times an audio frame that began in one PES packet and ended in the next with the second packet's
 * time, which belongs to the frame after it: two frames then share a time and a frame's worth of time is missing
 * before them ("Discontinuity" in dvdauthor). When the frame after `held` has `held`'s time or an earlier one,
 * `held` is put back where it belongs, right before that frame, though never at or before the frame written last.
 */
void RepairAudioTime(AVPacket& held, int64_t lastWrittenDts, int64_t nextDts) {
  if (held.dts == AV_NOPTS_VALUE || nextDts == AV_NOPTS_VALUE || nextDts > held.dts || held.duration <= 0) return;
  const int64_t before = nextDts - held.duration;
  if (lastWrittenDts != AV_NOPTS_VALUE && before <= lastWrittenDts) return;
  held.dts = before;
  held.pts = before;
}

// The order in which the DVD muxer numbers the streams of a kind is the order they are added in; the film's own
// are added by their stream numbers so each keeps its number.
int KindOrder(AVMediaType type) { return type == AVMEDIA_TYPE_VIDEO ? 0 : type == AVMEDIA_TYPE_AUDIO ? 1 : 2; }

// The film's streams a DVD title carries, video first, then audio, then subpictures: its video, DVD audio and
// subpictures. Its navigation packs are not copied: the muxer writes empty ones at every picture group for the
// authoring program to fill. Other streams are named in `dropped`.
std::vector<int> CarriedStreams(const AVFormatContext* in, int videoStream, std::vector<std::string>& dropped) {
  std::vector<int> carried;
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    const AVCodecParameters* par = in->streams[i]->codecpar;
    const bool keep = static_cast<int>(i) == videoStream || IsDvdAudio(par->codec_id) ||
                      par->codec_id == AV_CODEC_ID_DVD_SUBTITLE;
    if (keep) {
      carried.push_back(static_cast<int>(i));
    } else if (par->codec_id != AV_CODEC_ID_DVD_NAV) {
      dropped.push_back("stream " + std::to_string(i) + " (" + avcodec_get_name(par->codec_id) + ")");
    }
  }
  std::stable_sort(carried.begin(), carried.end(), [&](int a, int b) {
    const AVStream* sa = in->streams[a];
    const AVStream* sb = in->streams[b];
    const int ka = KindOrder(sa->codecpar->codec_type);
    const int kb = KindOrder(sb->codecpar->codec_type);
    return ka != kb ? ka < kb : sa->id < sb->id;
  });
  return carried;
}

// Adds a copy of each carried stream to the output; by the film's stream index, the output stream that carries
// it (-1 for none).
std::vector<int> AddCopiedStreams(const AVFormatContext* in, const std::vector<int>& carried, DvdOutput& output) {
  std::vector<int> outputOf(in->nb_streams, -1);
  for (int index : carried) {
    const AVStream* source = in->streams[index];
    AVStream* copy = avformat_new_stream(output.Context(), nullptr);
    if (copy == nullptr) throw std::bad_alloc();
    output.Check(avcodec_parameters_copy(copy->codecpar, source->codecpar), "Cannot copy a stream");
    copy->codecpar->codec_tag = 0;
    copy->time_base = source->time_base;
    // The video's buffer size (its CPB properties) is what the muxer's system header announces.
    for (int s = 0; s < source->nb_side_data; ++s) {
      const AVPacketSideData& side = source->side_data[s];
      uint8_t* data = av_stream_new_side_data(copy, side.type, side.size);
      if (data == nullptr) throw std::bad_alloc();
      std::memcpy(data, side.data, side.size);
    }
    outputOf[static_cast<std::size_t>(index)] = copy->index;
  }
  return outputOf;
}

// Adds one DVD subpicture stream per track; the output stream of each.
std::vector<int> AddSubpictureStreams(AVFormatContext* oc, std::size_t tracks) {
  std::vector<int> trackStream;
  for (std::size_t t = 0; t < tracks; ++t) {
    AVStream* stream = avformat_new_stream(oc, nullptr);
    if (stream == nullptr) throw std::bad_alloc();
    stream->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
    stream->codecpar->codec_id = AV_CODEC_ID_DVD_SUBTITLE;
    stream->time_base = k90kHz;
    trackStream.push_back(stream->index);
  }
  return trackStream;
}

// A unit waiting for the film to reach its time.
struct Pending {
  int64_t pts90k;
  std::size_t track;
  const TimedUnit* unit;
};

// Every unit of every track in time order (at its start plus the video's), so each is handed over where the film
// has reached its time.
std::vector<Pending> UnitsInTimeOrder(const std::vector<SubpictureTrack>& tracks, int64_t videoStart90k) {
  std::vector<Pending> pending;
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    for (const TimedUnit& unit : tracks[t].units) {
      pending.push_back({static_cast<int64_t>(unit.pts90k) + videoStart90k, t, &unit});
    }
  }
  std::stable_sort(pending.begin(), pending.end(),
                   [](const Pending& a, const Pending& b) { return a.pts90k < b.pts90k; });
  return pending;
}

// Starts the program stream at a DVD's mux rate.
void WriteHeader(DvdOutput& output) {
  AVDictionary* options = nullptr;
  av_dict_set(&options, "muxrate", kDvdMuxRate, 0);
  const int header = avformat_write_header(output.Context(), &options);
  av_dict_free(&options);
  output.Check(header, "Cannot start the program stream");
}

// By track, the entries whose units start at or after `time90k`, in entry order.
std::vector<std::vector<int>> EntriesFrom(const std::vector<Pending>& pending, std::size_t tracks, int64_t time90k) {
  std::vector<std::vector<int>> entries(tracks);
  for (const Pending& p : pending) {
    if (p.pts90k >= time90k) entries[p.track].push_back(p.unit->entryIndex);
  }
  for (std::vector<int>& track : entries) std::sort(track.begin(), track.end());
  return entries;
}

// Writes one unit as a packet of its track's stream.
void WriteUnit(const Pending& p, int streamIndex, DvdOutput& output) {
  AVFormatContext* oc = output.Context();
  PacketPtr packet(av_packet_alloc());
  if (packet == nullptr || av_new_packet(packet.get(), static_cast<int>(p.unit->bytes.size())) < 0) {
    throw std::bad_alloc();
  }
  std::memcpy(packet->data, p.unit->bytes.data(), p.unit->bytes.size());
  const AVStream* stream = oc->streams[streamIndex];
  packet->pts = packet->dts = av_rescale_q(p.pts90k, k90kHz, stream->time_base);
  packet->stream_index = stream->index;
  packet->flags |= AV_PKT_FLAG_KEY;
  output.Check(av_interleaved_write_frame(oc, packet.get()), "Cannot write a subpicture");
}

// Hands a copied packet to the muxer, which wants every time later than the one before in its stream: a time
// that is not moves on by one tick (as ffmpeg's own stream copy does). `lastDts` is by output stream.
void WriteCopied(AVPacket* copied, std::vector<int64_t>& lastDts, DvdOutput& output) {
  int64_t& last = lastDts[static_cast<std::size_t>(copied->stream_index)];
  if (copied->dts != AV_NOPTS_VALUE) {
    if (last != AV_NOPTS_VALUE && copied->dts <= last) {
      copied->dts = last + 1;
      if (copied->pts != AV_NOPTS_VALUE) copied->pts = std::max(copied->pts, copied->dts);
    }
    last = copied->dts;
  }
  output.Check(av_interleaved_write_frame(output.Context(), copied), "Cannot write the program stream");
}

}  // namespace

void SilenceLibavLog() { av_log_set_level(AV_LOG_QUIET); }

struct SubpictureMuxer::Input {
  AVFormatContext* context = nullptr;
  int videoStream = -1;
  ~Input() { avformat_close_input(&context); }
};

SubpictureMuxer::SubpictureMuxer(const std::string& videoPath) : m_input(std::make_unique<Input>()), m_path(videoPath) {
  const int opened = avformat_open_input(&m_input->context, videoPath.c_str(), nullptr, nullptr);
  if (opened < 0) throw FileError("Cannot read \"" + videoPath + "\": " + AvErrorText(opened) + ".");
  AVFormatContext* in = m_input->context;
  const std::string notPs = "\"" + videoPath + "\" is not an MPEG-2 program stream";
  const std::string remake = "; a DVD's video can be made with: ffmpeg -i VIDEO -target pal-dvd (or ntsc-dvd) OUT.mpg";
  if (std::strcmp(in->iformat->name, "mpeg") != 0) {
    throw QuilletError(notPs + " (it reads as " + in->iformat->long_name + ")" + remake);
  }
  if (const int found = avformat_find_stream_info(in, nullptr); found < 0) {
    throw QuilletError("Cannot read the streams of \"" + videoPath + "\": " + AvErrorText(found) + ".");
  }
  m_input->videoStream = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (m_input->videoStream < 0) throw QuilletError(notPs + " (it carries no video)" + remake);
  const AVStream* video = in->streams[m_input->videoStream];
  if (video->codecpar->codec_id != AV_CODEC_ID_MPEG2VIDEO) {
    throw QuilletError(notPs + " (its video is " + avcodec_get_name(video->codecpar->codec_id) + ")" + remake);
  }
  m_info.width = video->codecpar->width;
  m_info.height = video->codecpar->height;
  if (m_info.height == 576 || m_info.height == 288) {
    m_info.standard = VideoStandard::Pal;
  } else if (m_info.height == 480 || m_info.height == 240) {
    m_info.standard = VideoStandard::Ntsc;
  } else {
    throw QuilletError("The video of \"" + videoPath + "\" is " + std::to_string(m_info.width) + "x" +
                       std::to_string(m_info.height) + ", a size neither PAL (576 lines) nor NTSC (480 lines) has" +
                       remake);
  }
  if (video->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(video->start_time, video->time_base, k90kHz);
  } else if (in->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(in->start_time, AVRational{1, AV_TIME_BASE}, k90kHz);
  }
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    if (in->streams[i]->codecpar->codec_id == AV_CODEC_ID_DVD_SUBTITLE) ++m_info.subpictureStreams;
  }
  const int64_t size = avio_size(in->pb);
  m_info.bytes = size > 0 ? static_cast<uint64_t>(size) : 0;
}

SubpictureMuxer::~SubpictureMuxer() = default;

const ProgramStreamInfo& SubpictureMuxer::Info() const { return m_info; }

MuxResult SubpictureMuxer::Write(const std::vector<SubpictureTrack>& tracks, OutputFile& out,
                                 const MuxProgress& progress) {
  AVFormatContext* in = m_input->context;
  MuxResult result;
  DvdOutput output(out);
  AVFormatContext* oc = output.Context();

  const std::vector<int> outputOf =
      AddCopiedStreams(in, CarriedStreams(in, m_input->videoStream, result.droppedStreams), output);
  const std::vector<int> trackStream = AddSubpictureStreams(oc, tracks.size());

  WriteHeader(output);
  const std::vector<Pending> pending = UnitsInTimeOrder(tracks, m_info.videoStart90k);
  std::size_t next = 0;
  auto writeUnitsUpTo = [&](int64_t time90k) {
    for (; next < pending.size() && pending[next].pts90k <= time90k; ++next) {
      WriteUnit(pending[next], trackStream[pending[next].track], output);
    }
  };

  PacketPtr packet(av_packet_alloc());
  if (packet == nullptr) throw std::bad_alloc();
  std::vector<int64_t> lastDts(oc->nb_streams, AV_NOPTS_VALUE);
  std::vector<PacketPtr> heldAudio(oc->nb_streams);
  int64_t reached90k = m_info.videoStart90k;  // the film's clock as far as it has been read
  int64_t videoEnd90k = m_info.videoStart90k;
  int status = 0;
  while ((status = av_read_frame(in, packet.get())) >= 0) {
    if (progress) progress(static_cast<uint64_t>(std::max<int64_t>(avio_tell(in->pb), 0)), m_info.bytes);
    const int target = outputOf[static_cast<std::size_t>(packet->stream_index)];
    if (target < 0) {
      av_packet_unref(packet.get());
      continue;
    }
    const AVStream* source = in->streams[packet->stream_index];
    const int64_t when = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (when != AV_NOPTS_VALUE) reached90k = std::max(reached90k, av_rescale_q(when, source->time_base, k90kHz));
    // Pictures follow each other without gaps, each for its duration (a repeated field included), so the last
    // ends the sum of their durations after the first starts; some carry no presentation time of their own.
    if (packet->stream_index == m_input->videoStream)
      videoEnd90k += av_rescale_q(packet->duration, source->time_base, k90kHz);
    writeUnitsUpTo(reached90k);
    av_packet_rescale_ts(packet.get(), source->time_base, oc->streams[target]->time_base);
    packet->stream_index = target;
    packet->pos = -1;
    if (source->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
      WriteCopied(packet.get(), lastDts, output);
      continue;
    }
    // An audio frame is written once the next one is known: see RepairAudioTime.
    PacketPtr& held = heldAudio[static_cast<std::size_t>(target)];
    if (held) {
      RepairAudioTime(*held, lastDts[static_cast<std::size_t>(target)], packet->dts);
      WriteCopied(held.get(), lastDts, output);
      av_packet_move_ref(held.get(), packet.get());
    } else {
      held.reset(av_packet_clone(packet.get()));
      if (!held) throw std::bad_alloc();
      av_packet_unref(packet.get());
    }
  }
  if (status != AVERROR_EOF) {
    throw QuilletError("Reading \"" + m_path + "\" stopped at byte " + std::to_string(avio_tell(in->pb)) + ": " +
                       AvErrorText(status) + ".");
  }
  for (PacketPtr& held : heldAudio) {
    if (held) WriteCopied(held.get(), lastDts, output);
  }
  writeUnitsUpTo(INT64_MAX);
  output.Check(av_write_trailer(oc), "Cannot finish the program stream");
  avio_flush(oc->pb);
  output.Check(0, "");
  if (progress) progress(m_info.bytes, m_info.bytes);

  result.videoEnd90k = videoEnd90k;
  result.entriesAfterVideo = EntriesFrom(pending, tracks.size(), videoEnd90k);
  return result;
}

}  // namespace quillet
