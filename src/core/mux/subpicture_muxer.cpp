// Adds DVD subpicture streams to an MPEG-2 program stream through libavformat's DVD muxer.
#include "mux/subpicture_muxer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <cstring>
#include <exception>
#include <utility>

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "mux/dvd_output.h"
#include "mux/film_input.h"
#include "sup/subpicture_unit.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

namespace quillet {
namespace {

constexpr AVRational k90kHz{1, 90000};

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

// A stream of the film the output carries. `probed` is the stream as the opening read described it, null for a
// subpicture stream that starts later (a subpicture stream needs no description beyond its kind).
struct CarriedStream {
  int id;
  AVMediaType type;
  const AVStream* probed;
};

const AVStream* ProbedStream(const AVFormatContext* in, int id) {
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    if (in->streams[i]->id == id) return in->streams[i];
  }
  return nullptr;
}

std::string StreamName(int id, AVCodecID codec) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%X", static_cast<unsigned>(id));
  return std::string("stream ") + number + " (" + avcodec_get_name(codec) + ")";
}

// The film's streams a DVD title carries, video first, then audio, then subpictures: its video, DVD audio and
// subpictures. Its navigation packs are not copied: the muxer writes empty ones at every picture group for the
// authoring program to fill. Other streams are named in `dropped`, and so is an audio stream that starts after
// the opening read (nothing describes it: its rate and channels are unknown when the output is set up).
std::vector<CarriedStream> CarriedStreams(const AVFormatContext* in, int videoStream,
                                          const std::vector<FilmStream>& film, std::vector<std::string>& dropped) {
  std::vector<FilmStream> streams = film;
  for (unsigned i = 0; i < in->nb_streams; ++i) {  // the scan stops at damage the opening read may lie past
    const AVStream* st = in->streams[i];
    if (std::none_of(streams.begin(), streams.end(), [&](const FilmStream& f) { return f.id == st->id; })) {
      streams.push_back({st->id, st->codecpar->codec_type, st->codecpar->codec_id});
    }
  }
  std::vector<CarriedStream> carried;
  for (const FilmStream& stream : streams) {
    const AVStream* probed = ProbedStream(in, stream.id);
    if (stream.codec == AV_CODEC_ID_DVD_SUBTITLE || (probed && probed->index == videoStream)) {
      carried.push_back({stream.id, stream.type, probed});
    } else if (IsDvdAudio(stream.codec) && probed != nullptr) {
      carried.push_back({stream.id, stream.type, probed});
    } else if (IsDvdAudio(stream.codec)) {
      dropped.push_back(StreamName(stream.id, stream.codec) + " starts after the part read to learn the film's streams");
    } else if (stream.codec != AV_CODEC_ID_DVD_NAV) {
      dropped.push_back(StreamName(stream.id, stream.codec) + " is not a DVD stream");
    }
  }
  std::stable_sort(carried.begin(), carried.end(), [](const CarriedStream& a, const CarriedStream& b) {
    const int ka = KindOrder(a.type);
    const int kb = KindOrder(b.type);
    return ka != kb ? ka < kb : a.id < b.id;
  });
  return carried;
}

AVStream* NewSubpictureStream(AVFormatContext* oc) {
  AVStream* stream = avformat_new_stream(oc, nullptr);
  if (stream == nullptr) throw std::bad_alloc();
  stream->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
  stream->codecpar->codec_id = AV_CODEC_ID_DVD_SUBTITLE;
  stream->time_base = k90kHz;
  return stream;
}

// Adds a copy of each carried stream to the output; by the film's stream number, the output stream that carries it.
std::map<int, int> AddCopiedStreams(const std::vector<CarriedStream>& carried, DvdOutput& output) {
  std::map<int, int> outputOf;
  for (const CarriedStream& stream : carried) {
    const AVStream* source = stream.probed;
    AVStream* copy = source ? avformat_new_stream(output.Context(), nullptr) : NewSubpictureStream(output.Context());
    if (copy == nullptr) throw std::bad_alloc();
    outputOf[stream.id] = copy->index;
    if (source == nullptr) continue;
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
  }
  return outputOf;
}

// Adds one DVD subpicture stream per track; the output stream of each.
std::vector<int> AddSubpictureStreams(AVFormatContext* oc, std::size_t tracks) {
  std::vector<int> trackStream;
  for (std::size_t t = 0; t < tracks; ++t) trackStream.push_back(NewSubpictureStream(oc)->index);
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
  output.Write(packet.get(), "Cannot write a subpicture");
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
  output.Write(copied, "Cannot write the program stream");
}

/*
 * The film's clock as ffmpeg's stream copy continues it: a program stream made of two joined with cat starts
 * its clock again where the second begins. When a packet's time is more than a tenth of a second before where its
 * stream had reached, or more than ten seconds after, every later time of the film is moved so that the packet
 * comes where its stream would have continued, and the jump is recorded.
 */
class ContinuedClock {
 public:
  void Continue(AVPacket& packet, AVRational timeBase) {
    if (packet.dts == AV_NOPTS_VALUE) return;
    const auto [at, first] = m_next.try_emplace(packet.stream_index, 0);
    int64_t& next = at->second;
    const int64_t dts = av_rescale_q(packet.dts, timeBase, k90kHz) + m_offset90k;
    const bool jumped = !first && (dts + kBack90k < next || dts > next + kForward90k);
    if (jumped) {
      m_jumps.push_back({packet.pos, next});
      m_offset90k -= dts - next;
    }
    const int64_t move = av_rescale_q(m_offset90k, k90kHz, timeBase);
    packet.dts += move;
    if (packet.pts != AV_NOPTS_VALUE) packet.pts += move;
    next = av_rescale_q(packet.dts + std::max<int64_t>(packet.duration, 0), timeBase, k90kHz);
  }
  const std::vector<ClockJump>& Jumps() const { return m_jumps; }

 private:
  static constexpr int64_t kBack90k = 9000;
  static constexpr int64_t kForward90k = 900000;
  std::map<int, int64_t> m_next;  // by the film's stream: the time its next packet should have
  int64_t m_offset90k = 0;
  std::vector<ClockJump> m_jumps;
};

/*
 * The copy of the film with the units between its packets: each packet goes to the stream that carries its
 * stream (found by its number when the packet's stream first appears, so a stream the demuxer meets late maps like
 * the rest), each unit where the film's clock has reached its time.
 */
class FilmCopy {
 public:
  FilmCopy(const AVFormatContext* in, int videoStream, std::map<int, int> outputOf, DvdOutput& output,
           const std::vector<Pending>& pending, std::vector<int> trackStream, int64_t videoStart90k)
      : m_in(in),
        m_videoStream(videoStream),
        m_outputOfId(std::move(outputOf)),
        m_output(output),
        m_pending(pending),
        m_trackStream(std::move(trackStream)),
        m_lastDts(output.Context()->nb_streams, AV_NOPTS_VALUE),
        m_heldAudio(output.Context()->nb_streams),
        m_reached90k(videoStart90k),
        m_videoEnd90k(videoStart90k) {}

  void Copy(AVPacket* packet) {
    const int target = OutputStreamOf(packet->stream_index);
    if (target < 0) {
      av_packet_unref(packet);
      return;
    }
    const AVStream* source = m_in->streams[packet->stream_index];
    m_clock.Continue(*packet, source->time_base);
    const int64_t when = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (when != AV_NOPTS_VALUE) m_reached90k = std::max(m_reached90k, av_rescale_q(when, source->time_base, k90kHz));
    // Pictures follow each other without gaps, each for its duration (a repeated field included), so the last
    // ends the sum of their durations after the first starts; some carry no presentation time of their own.
    if (packet->stream_index == m_videoStream) m_videoEnd90k += av_rescale_q(packet->duration, source->time_base, k90kHz);
    // A unit goes in once the film has reached its time and its pictures cover it.
    WriteUnitsUpTo(std::min(m_reached90k, m_videoEnd90k - 1));
    AVFormatContext* oc = m_output.Context();
    av_packet_rescale_ts(packet, source->time_base, oc->streams[target]->time_base);
    packet->stream_index = target;
    packet->pos = -1;
    if (source->codecpar->codec_id == AV_CODEC_ID_DVD_SUBTITLE) Hash(target, packet->data, packet->size);
    if (source->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
      WriteCopied(packet, m_lastDts, m_output);
      return;
    }
    // An audio frame is written once the next one is known: see RepairAudioTime.
    PacketPtr& held = m_heldAudio[static_cast<std::size_t>(target)];
    if (held) {
      RepairAudioTime(*held, m_lastDts[static_cast<std::size_t>(target)], packet->dts);
      WriteCopied(held.get(), m_lastDts, m_output);
      av_packet_move_ref(held.get(), packet);
    } else {
      held.reset(av_packet_clone(packet));
      if (!held) throw std::bad_alloc();
      av_packet_unref(packet);
    }
  }

  // The written subpicture streams' bytes hashed, as ScanFilm hashes a film on disk.
  uint64_t SubpictureHash() const {
    std::vector<uint64_t> hashes;
    for (const auto& [stream, hash] : m_subpictureHashes) hashes.push_back(hash);
    return SubpictureStreamsHash(hashes);
  }

  const std::vector<ClockJump>& Jumps() const { return m_clock.Jumps(); }

  // Writes what is held back and every unit before the video's end. Returns where the video ends.
  int64_t Finish() {
    for (PacketPtr& held : m_heldAudio) {
      if (held) WriteCopied(held.get(), m_lastDts, m_output);
    }
    WriteUnitsUpTo(m_videoEnd90k - 1);  // units after the last picture are left out
    return m_videoEnd90k;
  }

 private:
  // The output stream of the film's stream `index`, -1 for one that is not carried.
  int OutputStreamOf(int index) {
    while (m_outputOfIndex.size() <= static_cast<std::size_t>(index)) {
      const auto found = m_outputOfId.find(m_in->streams[m_outputOfIndex.size()]->id);
      m_outputOfIndex.push_back(found != m_outputOfId.end() ? found->second : -1);
    }
    return m_outputOfIndex[static_cast<std::size_t>(index)];
  }

  void WriteUnitsUpTo(int64_t time90k) {
    for (; m_next < m_pending.size() && m_pending[m_next].pts90k <= time90k; ++m_next) {
      const Pending& unit = m_pending[m_next];
      const int stream = m_trackStream[unit.track];
      Hash(stream, unit.unit->bytes.data(), static_cast<int>(unit.unit->bytes.size()));
      WriteUnit(unit, stream, m_output);
    }
  }

  void Hash(int stream, const uint8_t* bytes, int size) {
    auto [at, added] = m_subpictureHashes.try_emplace(stream, kHashStart);
    at->second = HashBytes(bytes, static_cast<std::size_t>(size), at->second);
  }

  const AVFormatContext* m_in;
  const int m_videoStream;
  const std::map<int, int> m_outputOfId;
  std::vector<int> m_outputOfIndex;  // by the film's stream index, grown as the demuxer adds streams
  DvdOutput& m_output;
  const std::vector<Pending>& m_pending;
  const std::vector<int> m_trackStream;
  std::size_t m_next = 0;
  std::vector<int64_t> m_lastDts;  // by output stream
  std::vector<PacketPtr> m_heldAudio;
  std::map<int, uint64_t> m_subpictureHashes;  // by output stream
  ContinuedClock m_clock;
  int64_t m_reached90k;  // the film's clock as far as it has been read
  int64_t m_videoEnd90k;
};

uint64_t FileSize(int fd) {
  struct stat file {};
  return ::fstat(fd, &file) == 0 ? static_cast<uint64_t>(file.st_size) : 0;
}

}  // namespace

void KeepUnitsApart(SubpictureTrack& track) {
  std::vector<TimedUnit>& units = track.units;
  std::stable_sort(units.begin(), units.end(), [](const TimedUnit& a, const TimedUnit& b) { return a.pts90k < b.pts90k; });
  constexpr uint32_t kTickIn90k = 1024;
  for (std::size_t i = 0; i + 1 < units.size(); ++i) {
    const uint32_t ticks = (units[i + 1].pts90k - units[i].pts90k) / kTickIn90k;
    LimitStopDelay(units[i].bytes, static_cast<uint16_t>(std::min<uint32_t>(ticks, kMaxDelayTicks)));
  }
}

void SilenceLibavLog() { av_log_set_level(AV_LOG_QUIET); }

struct SubpictureMuxer::Input {
  explicit Input(const std::string& path) : fd(OpenFilm(path)), reader(fd.fd, path, nullptr) {}
  Descriptor fd;
  FilmReader reader;
  std::vector<FilmStream> streams;  // the whole film's
  int videoStream = -1;
};

SubpictureMuxer::SubpictureMuxer(const std::string& videoPath)
    : m_input(std::make_unique<Input>(videoPath)), m_path(videoPath) {
  AVFormatContext* in = m_input->reader.Context();
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
  // The display aspect the sequence header gives (a 720-wide 16:9 picture has square-ish samples 64:45 or 32:27).
  const AVRational sample = av_guess_sample_aspect_ratio(in, const_cast<AVStream*>(video), nullptr);
  if (sample.num > 0 && sample.den > 0 && m_info.height > 0) {
    const double displayAspect = static_cast<double>(m_info.width) * sample.num / (static_cast<double>(m_info.height) * sample.den);
    m_info.widescreen = displayAspect > 1.55;  // 4:3 is 1.33, 16:9 1.78
  }
  if (video->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(video->start_time, video->time_base, k90kHz);
  } else if (in->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(in->start_time, AVRational{1, AV_TIME_BASE}, k90kHz);
  }
  std::vector<std::string> unused;
  FilmScan scan = ScanFilm(m_input->fd.fd, videoPath);
  m_input->streams = std::move(scan.streams);
  m_info.subpictureHash = scan.subpictureHash;
  m_info.bytes = FileSize(m_input->fd.fd);
  for (const CarriedStream& stream : CarriedStreams(in, m_input->videoStream, m_input->streams, unused)) {
    if (stream.type == AVMEDIA_TYPE_SUBTITLE) ++m_info.subpictureStreams;
  }
}

SubpictureMuxer::~SubpictureMuxer() = default;

const ProgramStreamInfo& SubpictureMuxer::Info() const { return m_info; }

MuxResult SubpictureMuxer::Write(const std::vector<SubpictureTrack>& tracks, const std::array<uint32_t, 16>& colours,
                                 OutputFile& out, const MuxProgress& progress) {
  AVFormatContext* in = m_input->reader.Context();
  MuxResult result;
  DvdOutput output(out, colours);
  std::map<int, int> outputOf = AddCopiedStreams(
      CarriedStreams(in, m_input->videoStream, m_input->streams, result.droppedStreams), output);
  std::vector<int> trackStream = AddSubpictureStreams(output.Context(), tracks.size());
  output.Start();
  const std::vector<Pending> pending = UnitsInTimeOrder(tracks, m_info.videoStart90k);
  FilmCopy copy(in, m_input->videoStream, std::move(outputOf), output, pending, std::move(trackStream),
                m_info.videoStart90k);

  PacketPtr packet(av_packet_alloc());
  if (packet == nullptr) throw std::bad_alloc();
  int status = 0;
  while ((status = av_read_frame(in, packet.get())) >= 0) {
    if (progress) progress(static_cast<uint64_t>(std::max<int64_t>(avio_tell(in->pb), 0)), m_info.bytes);
    copy.Copy(packet.get());
  }
  if (status != AVERROR_EOF) {
    throw QuilletError("Reading \"" + m_path + "\" stopped at byte " + std::to_string(avio_tell(in->pb)) + ": " +
                       AvErrorText(status) + ".");
  }
  result.videoEnd90k = copy.Finish();
  result.clockJumps = copy.Jumps();
  output.Finish();
  if (progress) progress(m_info.bytes, m_info.bytes);

  result.entriesAfterVideo = EntriesFrom(pending, tracks.size(), result.videoEnd90k);
  result.filmBytes = output.BytesWritten();
  result.filmSubpictureHash = copy.SubpictureHash();
  return result;
}

}  // namespace quillet
