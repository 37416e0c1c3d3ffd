// Every subpicture unit in packets of its own: the DVD muxer's packs are rewritten where one packet holds the end of
// a unit and the start of the next.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace quillet {

// A DVD's program stream is cut into packs of this size.
constexpr std::size_t kDvdPackBytes = 2048;

/*
 * The DVD muxer fills a subpicture stream's packets from one queue of bytes, so a packet may hold the last bytes of
 * one unit and the first of the next (or several small units, or only a unit's first four bytes). A reader that
 * gathers a unit from the packets that follow its first one (ffmpeg's, mpv's) then meets a unit's start inside
 * another unit, or a first packet too short to hold the unit's header, and loses its place for the rest of the
 * stream; dvdauthor adds the second unit's display time to the first. So the subpicture packs are written afresh:
 * a unit's bytes are gathered from the muxer's packets, and where its last byte came, the whole unit goes out in
 * packs of its own, each with the pack header (and clock) of that packet, the first with the unit's presentation
 * time, the last padded to the pack's size. Every other pack passes unchanged.
 *
 * In front of each unit goes the colour packet spumux writes for dvdauthor: a padding packet that starts with
 * "dvdauthor-data" and gives the 16 colours (Y Cr Cb) the unit's palette numbers stand for. dvdauthor takes it out
 * of the title and builds the title's palette from it when the project names none (and leaves the numbers as they
 * are when the project's palette holds those colours at them).
 *
 * Where units start is read from the units themselves (each begins with its size); a unit's presentation time is
 * its time as handed to the muxer (Expect) moved by the offset the muxer gave the times in its packets. A stream
 * whose bytes do not add up to units is passed on as the muxer wrote it from there on.
 */
class SubpicturePacker {
 public:
  using Sink = std::function<void(std::span<const uint8_t>)>;
  // `colours`: the palette the units were drawn for, 0x00YYCrCb each.
  SubpicturePacker(Sink sink, const std::array<uint32_t, 16>& colours) : m_sink(std::move(sink)), m_colours(colours) {}

  // A unit handed to the muxer for sub-stream `substream` (0x20–0x3F) at `pts90k`, in the order handed.
  void Expect(int substream, int64_t pts90k);
  // The muxer's output, in any pieces; packs go on to the sink as they complete.
  void Feed(std::span<const uint8_t> bytes);
  // Passes on what is left of an incomplete last pack.
  void Finish();
  // The colours told for the units of sub-stream `substream` from now on, in place of the palette's (a film's own
  // stream keeps the colours its units were drawn for).
  void KeepColours(int substream, const std::array<uint32_t, 16>& colours) {
    m_kept[static_cast<std::size_t>(substream & 0x1F)] = colours;
  }

 private:
  struct Stream {
    bool lost = false;               // its bytes stopped adding up to units: passed on as written
    std::vector<uint8_t> unit;       // the bytes of the unit being gathered
    int64_t unitPts = 0;             // its presentation time
    std::vector<uint8_t> extension;  // the PES extension of the stream's first packet, until written
    std::deque<int64_t> handed;      // presentation times of units not yet started
  };
  void Pack(const uint8_t* pack);
  // Adds the payload's bytes to units; false when they do not add up to units.
  bool Gather(Stream& stream, std::span<const uint8_t> payload, const uint8_t* pack, std::size_t headerEnd,
              int substream);
  void WriteUnit(Stream& stream, const uint8_t* pack, std::size_t headerEnd, int substream);
  Stream& StreamOf(int substream) { return m_streams[static_cast<std::size_t>(substream & 0x1F)]; }

  Sink m_sink;
  std::array<uint32_t, 16> m_colours;
  std::array<std::optional<std::array<uint32_t, 16>>, 32> m_kept;
  std::array<Stream, 32> m_streams;
  std::vector<uint8_t> m_partial;  // the start of a pack cut by the end of a piece fed
  bool m_lost = false;             // the output is not in whole packs: passed on as it is
  int64_t m_offset = 0;            // what the muxer added to the times handed to it
};

}  // namespace quillet
