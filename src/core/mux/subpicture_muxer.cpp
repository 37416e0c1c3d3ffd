// Adds DVD subpicture streams to an MPEG-2 program stream through libavformat's DVD muxer.
#include "mux/subpicture_muxer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <map>
#include <utility>

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "mux/dvd_output.h"
#include "mux/film_copy.h"
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
      dropped.push_back(StreamName(stream.id, stream.codec) +
                        " starts after the part read to learn the film's streams");
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

uint64_t FileSize(int fd) {
  struct stat file {};
  return ::fstat(fd, &file) == 0 ? static_cast<uint64_t>(file.st_size) : 0;
}

}  // namespace

void KeepUnitsApart(SubpictureTrack& track) {
  std::vector<TimedUnit>& units = track.units;
  std::stable_sort(units.begin(), units.end(),
                   [](const TimedUnit& a, const TimedUnit& b) { return a.pts90k < b.pts90k; });
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
  std::future<FilmScan> scan;       // while the whole film is read for its streams
  std::vector<FilmStream> streams;  // the whole film's, once read
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
    const double displayAspect =
        static_cast<double>(m_info.width) * sample.num / (static_cast<double>(m_info.height) * sample.den);
    m_info.widescreen = displayAspect > 1.55;  // 4:3 is 1.33, 16:9 1.78
  }
  if (video->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(video->start_time, video->time_base, k90kHz);
  } else if (in->start_time != AV_NOPTS_VALUE) {
    m_info.videoStart90k = av_rescale_q(in->start_time, AVRational{1, AV_TIME_BASE}, k90kHz);
  }
  if (in->duration != AV_NOPTS_VALUE && in->duration > 0) {
    m_info.duration90k = av_rescale_q(in->duration, AVRational{1, AV_TIME_BASE}, k90kHz);
  }
  m_info.bytes = FileSize(m_input->fd.fd);
  // Reading the whole film takes a while: on a thread of its own (its own reader, the descriptor read at offsets),
  // while the caller converts the subtitles.
  m_input->scan = std::async(std::launch::async, [fd = m_input->fd.fd, videoPath] { return ScanFilm(fd, videoPath); });
}

void SubpictureMuxer::FinishScan() {
  if (!m_input->scan.valid()) return;
  FilmScan scan = m_input->scan.get();
  m_input->streams = std::move(scan.streams);
  m_info.subpictureHash = scan.subpictureHash;
  std::vector<std::string> unused;
  for (const CarriedStream& stream :
       CarriedStreams(m_input->reader.Context(), m_input->videoStream, m_input->streams, unused)) {
    if (stream.type == AVMEDIA_TYPE_SUBTITLE) ++m_info.subpictureStreams;
  }
}

SubpictureMuxer::~SubpictureMuxer() = default;

const ProgramStreamInfo& SubpictureMuxer::Probe() const { return m_info; }

const ProgramStreamInfo& SubpictureMuxer::Info() {
  FinishScan();
  return m_info;
}

MuxResult SubpictureMuxer::Write(const std::vector<SubpictureTrack>& tracks, const std::array<uint32_t, 16>& colours,
                                 OutputFile& out, const MuxProgress& progress) {
  FinishScan();
  AVFormatContext* in = m_input->reader.Context();
  MuxResult result;
  DvdOutput output(out, colours);
  for (const auto& [substream, kept] : m_keptColours) output.KeepColours(substream, kept);
  FilmCopyPlan plan;
  plan.videoStream = m_input->videoStream;
  plan.outputOfId =
      AddCopiedStreams(CarriedStreams(in, m_input->videoStream, m_input->streams, result.droppedStreams), output);
  plan.trackStream = AddSubpictureStreams(output.Context(), tracks.size());
  plan.videoStart90k = m_info.videoStart90k;
  output.Start();
  FilmCopyResult copied = CopyFilm(in, plan, tracks, output, progress, m_info.bytes, m_path);
  output.Finish();
  if (progress) progress(m_info.bytes, m_info.bytes);

  result.videoEnd90k = copied.videoEnd90k;
  result.clockJumps = std::move(copied.clockJumps);
  result.entriesAfterVideo = std::move(copied.entriesAfterVideo);
  result.filmBytes = output.BytesWritten();
  result.filmSubpictureHash = copied.subpictureHash;
  return result;
}

}  // namespace quillet
