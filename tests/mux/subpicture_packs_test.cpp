// The subpicture packs written afresh: units that shared the muxer's packets each get packs of their own. That
// ffmpeg and dvdauthor read the result is MuxE2e's.
#include "mux/subpicture_packs.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "mux/film_input.h"
#include "test_support.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;

// A 2048-byte pack as the DVD muxer writes it: pack header, one packet of `code` (0xBD with `substream` in front
// of its payload), padding.
Bytes MuxerPack(const Bytes& payload, std::optional<int64_t> pts, uint8_t code = 0xBD, int substream = 0x20) {
  Bytes pack = {0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xC3, 0xF8};
  Bytes header = {0x80, static_cast<uint8_t>(pts ? 0x80 : 0), static_cast<uint8_t>(pts ? 6 : 1)};
  if (pts) {
    const int64_t t = *pts;
    header.insert(header.end(),
                  {static_cast<uint8_t>(0x21 | (t >> 29 & 0x0E)), static_cast<uint8_t>(t >> 22),
                   static_cast<uint8_t>(t >> 14 | 1), static_cast<uint8_t>(t >> 7), static_cast<uint8_t>(t << 1 | 1)});
  }
  header.push_back(0xFF);
  if (code == 0xBD) header.push_back(static_cast<uint8_t>(substream));
  const std::size_t length = header.size() + payload.size();
  pack.insert(pack.end(), {0, 0, 1, code, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  pack.insert(pack.end(), header.begin(), header.end());
  pack.insert(pack.end(), payload.begin(), payload.end());
  const std::size_t padding = kDvdPackBytes - pack.size() - 6;
  pack.insert(pack.end(), {0, 0, 1, 0xBE, static_cast<uint8_t>(padding >> 8), static_cast<uint8_t>(padding)});
  pack.resize(kDvdPackBytes, 0xFF);
  return pack;
}

// A unit of `size` bytes: its size, then bytes counting up.
Bytes Unit(std::size_t size, uint8_t seed) {
  Bytes unit(size);
  unit[0] = static_cast<uint8_t>(size >> 8);
  unit[1] = static_cast<uint8_t>(size);
  for (std::size_t i = 2; i < size; ++i) unit[i] = static_cast<uint8_t>(seed + i);
  return unit;
}

struct ReadPacket {
  std::optional<int64_t> pts;
  Bytes payload;
};
ReadPacket ReadPack(const Bytes& pack) {
  EXPECT_EQ(pack.size(), kDvdPackBytes);
  const std::size_t pes = 14;
  const std::size_t end = pes + 6 + static_cast<std::size_t>(pack[pes + 4] << 8 | pack[pes + 5]);
  ReadPacket packet;
  if (pack[pes + 7] & 0x80) {
    const uint8_t* t = &pack[pes + 9];
    packet.pts = int64_t{t[0] >> 1 & 7} << 30 | int64_t{(t[1] << 8 | t[2]) >> 1} << 15 | (t[3] << 8 | t[4]) >> 1;
  }
  const std::size_t substream = pes + 9 + pack[pes + 8];
  EXPECT_EQ(pack[substream], 0x20);
  packet.payload.assign(pack.begin() + static_cast<std::ptrdiff_t>(substream) + 1,
                        pack.begin() + static_cast<std::ptrdiff_t>(end));
  return packet;
}

TEST(SubpicturePacker, UnitsThatShareAPacketEachGetPacksOfTheirOwnWithTheirTimes) {
  std::vector<Bytes> written, colourPacks;
  std::array<uint32_t, 16> colours{};
  for (uint32_t i = 0; i < 16; ++i) colours[i] = 0x108080 + (i << 16);
  SubpicturePacker packer(
      [&](std::span<const uint8_t> bytes) {
        // The colour packet dvdauthor reads goes before each unit: kept apart here.
        const bool colour = bytes.size() > 40 && bytes[17] == 0xBE && bytes[20] == 'd';
        (colour ? colourPacks : written).emplace_back(bytes.begin(), bytes.end());
      },
      colours);
  // Units of 100, 3 500 and 300 bytes handed at 1 000, 2 000 and 3 000; the muxer added 45 000 to each time.
  const Bytes a = Unit(100, 1), b = Unit(3500, 2), c = Unit(300, 3);
  for (const int64_t time : {1000, 2000, 3000}) packer.Expect(0x20, time);
  Bytes first(a);
  first.insert(first.end(), b.begin(), b.begin() + 1);  // only the first byte of b's size
  Bytes second(b.begin() + 1, b.begin() + 2001);
  Bytes third(b.begin() + 2001, b.end());
  third.insert(third.end(), c.begin(), c.end());
  const Bytes audio = MuxerPack(Bytes(100, 7), 500, 0xC0);
  for (const Bytes& pack : {MuxerPack(first, 46000), audio, MuxerPack(second, std::nullopt), MuxerPack(third, 48000)}) {
    packer.Feed(std::span<const uint8_t>(pack).subspan(0, 700));  // in pieces that cut packs
    packer.Feed(std::span<const uint8_t>(pack).subspan(700));
  }
  packer.Finish();

  ASSERT_EQ(written.size(), 5u);
  EXPECT_EQ(written[1], audio);  // a's pack and the audio pack came before b was whole
  const ReadPacket packets[] = {ReadPack(written[0]), ReadPack(written[2]), ReadPack(written[3]), ReadPack(written[4])};
  // b started in a's packet, which has a's time: b's handed time, moved alike, goes on b's first packet.
  EXPECT_EQ((std::vector<std::optional<int64_t>>{packets[0].pts, packets[1].pts, packets[2].pts, packets[3].pts}),
            (std::vector<std::optional<int64_t>>{46000, 47000, std::nullopt, 48000}));
  Bytes gathered = packets[1].payload;
  gathered.insert(gathered.end(), packets[2].payload.begin(), packets[2].payload.end());
  EXPECT_EQ(packets[0].payload, a);
  EXPECT_EQ(gathered, b);
  EXPECT_EQ(packets[3].payload, c);
  // One colour packet before each unit; that dvdauthor takes the colours is MuxDisc's.
  EXPECT_EQ(colourPacks.size(), 3u);
}

// A stream told to keep its colours (a film's own, drawn by another run) is told them, the others the run's; the
// film's colour packets read back give each stream its own.
TEST(SubpicturePacker, AStreamKeepsTheColoursItWasToldAndTheFilmSaysWhichTheyWere) {
  std::array<uint32_t, 16> run{}, kept{};
  for (uint32_t i = 0; i < 16; ++i) std::tie(run[i], kept[i]) = std::pair(0x108080 + (i << 16), 0xD29210 - i);
  test::TempDir dir;
  std::string bytes;
  SubpicturePacker packer([&](std::span<const uint8_t> b) { bytes.append(b.begin(), b.end()); }, run);
  packer.KeepColours(0x21, kept);
  packer.Expect(0x20, 1000);
  packer.Expect(0x21, 2000);
  packer.Feed(MuxerPack(Unit(100, 1), 46000, 0xBD, 0x20));
  packer.Feed(MuxerPack(Unit(200, 2), 47000, 0xBD, 0x21));
  packer.Finish();
  EXPECT_EQ(FilmColourPackets(dir.Write("film.mpg", bytes)), (std::map<int, std::array<uint32_t, 16>>{{0x20, run}, {0x21, kept}}));
  EXPECT_TRUE(FilmColourPackets(dir.Write("plain.mpg", std::string(4096, '\0'))).empty());
}

}  // namespace
}  // namespace quillet
