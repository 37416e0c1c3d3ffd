// Copying the film packet by packet with the subpicture units between its packets, its clock continued where it
// starts again.
#include "mux/film_copy.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/errors.h"
#include "mux/film_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mathematics.h>
}

namespace quillet {
namespace {

constexpr AVRational k90kHz{1, 90000};

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

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
    if (packet->stream_index == m_videoStream)
      m_videoEnd90k += av_rescale_q(packet->duration, source->time_base, k90kHz);
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

}  // namespace

FilmCopyResult CopyFilm(AVFormatContext* in, const FilmCopyPlan& plan, const std::vector<SubpictureTrack>& tracks,
                        DvdOutput& output, const MuxProgress& progress, uint64_t bytes, const std::string& path) {
  const std::vector<Pending> pending = UnitsInTimeOrder(tracks, plan.videoStart90k);
  FilmCopy copy(in, plan.videoStream, plan.outputOfId, output, pending, plan.trackStream, plan.videoStart90k);
  PacketPtr packet(av_packet_alloc());
  if (packet == nullptr) throw std::bad_alloc();
  int status = 0;
  while ((status = av_read_frame(in, packet.get())) >= 0) {
    if (progress) progress(static_cast<uint64_t>(std::max<int64_t>(avio_tell(in->pb), 0)), bytes);
    copy.Copy(packet.get());
  }
  if (status != AVERROR_EOF) {
    throw QuilletError("Reading \"" + path + "\" stopped at byte " + std::to_string(avio_tell(in->pb)) + ": " +
                       AvErrorText(status) + ".");
  }
  FilmCopyResult result;
  result.videoEnd90k = copy.Finish();
  result.clockJumps = copy.Jumps();
  result.entriesAfterVideo = EntriesFrom(pending, tracks.size(), result.videoEnd90k);
  result.subpictureHash = copy.SubpictureHash();
  return result;
}

}  // namespace quillet
