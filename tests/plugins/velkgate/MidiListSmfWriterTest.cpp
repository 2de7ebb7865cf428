// Tests of the converter's song-data SMF writer: the head, the event table, RAM, pieces and the
// round trip through the reader.
#include <gtest/gtest.h>

#include <algorithm>

#include "SmfTestTracks.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/SmfTrackWalker.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace velkgate {
namespace {

using testing::At;
using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::Listing;
using testing::Meta;
using testing::PackedDevice;
using testing::ReadSong;
using testing::Smf;
using testing::StreamBytes;
using testing::ToHex;
using testing::Track;

using Lines = std::vector<std::string>;

struct Written {
  int result = 0;
  uint32_t report = 0;
  Bytes bytes;
};

Written Write(CMidiList& list) {
  Written out;
  CMemStream stream;
  out.result = list.WriteSmf(stream, list.GetMainList(), list.GetStreamList(), &out.report);
  out.bytes = StreamBytes(stream);
  return out;
}

/// "tick: bytes" of every event of the written track.
Lines TrackEvents(const Bytes& smf) {
  Lines out;
  CSmfTrackWalker walker(smf.data(), static_cast<uint32_t>(smf.size()));
  SmfWalkEvent e;
  while (walker.Next(e)) {
    Bytes bytes(e.StoredSize());
    e.CopyStored(bytes.data());
    out.push_back(std::to_string(e.tick) + ": " + ToHex(bytes));
  }
  return out;
}

size_t IndexOf(const Lines& lines, const std::string& line) {
  return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

std::string Zeros(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += " 00";
  return out;
}

TEST(CMidiListWriteSmf, HeadOfAnEmptySongInOrder) {
  auto read = ReadSong(Smf(480, {Hex("00 FF 2F 00")}));
  ASSERT_FALSE(read.threw);
  Written w = Write(*read.list);
  ASSERT_EQ(w.result, 1);
  Lines events = TrackEvents(w.bytes);
  Lines head(events.begin(), events.begin() + 6);
  EXPECT_EQ(head, (Lines{"0: FF 51 03 00 04 12", "0: F0 0C 43 79 06 7D 01 08 00 32 01 7D 00 F7",
                         "0: F0 19 43 79 06 7D 02" + Zeros(19) + " F7",
                         "0: F0 15 43 79 06 7D 03 08 44 63 68 7F 00 00 00 02 05 45 53 00 01 78 F7",
                         "0: F0 07 43 79 06 7F 00 64 F7", "0: F0 07 43 79 06 7F 07 00 F7"}));
  EXPECT_EQ(Lines(events.begin() + 6, events.end()),
            (Lines{"0: F0 09 43 79 06 7D 10 1E 42 20 F7", "0: FF 58 04 04 02 18 08", "0: FF 2F 00"}));
}

TEST(CMidiListWriteSmf, HeaderAndTrackLength) {
  CMidiList list;
  list.GetSetup().SetTimeBase(96);
  Written w = Write(list);
  ASSERT_EQ(w.result, 1);
  ASSERT_GE(w.bytes.size(), 22u);
  EXPECT_EQ(Bytes(w.bytes.begin(), w.bytes.begin() + 18), Hex("4D546864 00000006 0000 0001 0060 4D54726B"));
  uint32_t length = (uint32_t{w.bytes[18]} << 24) | (uint32_t{w.bytes[19]} << 16) |
                    (uint32_t{w.bytes[20]} << 8) | w.bytes[21];
  EXPECT_EQ(length, w.bytes.size() - 22);
  EXPECT_EQ(ToHex(Bytes(w.bytes.end() - 3, w.bytes.end())), "FF 2F 00");
}

TEST(CMidiListWriteSmf, NoTempoEventsGiveTheTempoValueAndTheDefaultSysEx) {
  CMidiList list;
  list.SetTempo(1042);
  Written w = Write(list);
  Lines events = TrackEvents(w.bytes);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0], "0: FF 51 03 00 04 12");
  EXPECT_LT(IndexOf(events, "0: F0 09 43 79 06 7D 10 1E 42 20 F7"), events.size());
  EXPECT_LT(IndexOf(events, "0: FF 58 04 04 02 18 08"), events.size());
}

struct EventCase {
  const char* name;
  std::vector<CSeqEvent*> events;
  Lines expected;  // the events after the head, in order
};

Lines AfterHead(const Lines& events) {
  // The head ends with the default time signature in these lists (none has one at tick 0).
  size_t at = IndexOf(events, "0: FF 58 04 04 02 18 08");
  return Lines(events.begin() + static_cast<std::ptrdiff_t>(std::min(at + 1, events.size())), events.end());
}

TEST(CMidiListWriteSmf, EventTable) {
  EventCase cases[] = {
      {"note-off before a later controller",
       {Event(0, Hex("90 3C 40"), 480), Event(960, Hex("B0 07 10"))},
       {"0: 90 3C 40", "480: 90 3C 00", "960: B0 07 10", "960: FF 2F 00"}},
      {"note-offs in end-tick order",
       {Event(0, Hex("90 3C 40"), 300), Event(10, Hex("90 3E 40"), 200)},
       {"0: 90 3C 40", "10: 90 3E 40", "200: 90 3E 00", "300: 90 3C 00", "300: FF 2F 00"}},
      {"a repeated tempo once",
       {Event(10, Hex("FF 51 03 00 07 D0")), Event(20, Hex("FF 51 03 00 07 D0"))},
       {"10: FF 51 03 00 07 D0", "20: FF 2F 00"}},
      {"loop end before STOP",
       {Event(100, Meta(0x07, "01LSTPA"), 100, 3), Event(500, Meta(0x07, "STOP"), 500, 9)},
       {"100: FF 07 07 30 31 4C 53 54 50 41", "500: FF 07 07 30 31 4C 53 50 50 41",
        "500: FF 07 04 53 54 4F 50", "500: FF 2F 00"}},
      {"loop end before the next section and at the end",
       {Event(0, Meta(0x07, "START"), 0, 8), Event(10, Meta(0x07, "x"), 10, 3),
        Event(20, Meta(0x07, "x"), 20, 4)},
       {"0: FF 07 05 53 54 41 52 54", "10: FF 07 07 30 31 4C 53 54 50 41",
        "20: FF 07 07 30 31 4C 53 50 50 41", "20: FF 07 07 30 31 4C 53 54 50 42",
        "20: FF 07 07 30 31 4C 53 50 50 42", "20: FF 2F 00"}},
      {"RPN 0/0 data entry as a triplet",
       {Event(0, Hex("B0 65 00")), Event(0, Hex("B0 64 00")), Event(5, Hex("B0 06 02")),
        Event(6, Hex("B0 26 01")), Event(7, Hex("B0 64 01")), Event(8, Hex("B0 06 03")),
        Event(9, Hex("B0 38 01")), Event(9, Hex("A0 3C 10")), Event(9, Hex("D0 10"))},
       {"5: B0 65 00", "5: B0 64 00", "5: B0 06 02", "9: FF 2F 00"}},
      {"first master volume skipped",
       {Event(0, Hex("F0 07 43 79 06 7F 00 40 F7")), Event(5, Hex("F0 07 43 79 06 7F 00 41 F7")),
        Event(6, Hex("F0 07 43 79 06 7F 10 02 F7")), Event(7, Hex("F0 07 43 79 06 7F 0C 02 F7"))},
       {"5: F0 07 43 79 06 7F 00 41 F7", "6: F0 07 43 79 06 7F 10 02 F7", "7: FF 2F 00"}},
      {"device tempo only when it changes",
       {Event(5, MakeTempoMessage(500000)), Event(6, MakeTempoMessage(600000)),
        Event(7, MakeTempoMessage(600000))},
       {"6: " + ToHex(MakeTempoMessage(600000)), "7: FF 2F 00"}},
      {"time signature only when it changes",
       {Event(5, Hex("FF 58 04 04 02 18 08")), Event(6, Hex("FF 58 04 03 02 18 08"))},
       {"6: FF 58 04 03 02 18 08", "6: FF 2F 00"}},
      {"decoder markers as cue points",
       {Event(0, Hex("05"), 0, 8), Event(10, Hex("05"), 10, 1), Event(20, Hex("05"), 20, 9),
        Event(30, Hex("93 3C 40"), 40, 2)},
       {"0: FF 07 05 53 54 41 52 54", "10: FF 07 07 30 31 4C 53 54 50 49",
        "20: FF 07 07 30 31 4C 53 50 50 49", "20: FF 07 04 53 54 4F 50", "30: 93 3C 40",
        "40: 93 3C 00", "40: FF 2F 00"}},
      {"end of track at its tick", {Event(0, Hex("C0 01")), Event(900, Hex("FF 2F 00"))},
       {"0: C0 01", "900: FF 2F 00"}},
  };
  for (EventCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMidiList list;
    list.SetTempo(1042);
    list.GetSetup().SetVolume(0, 100);
    for (CSeqEvent* e : c.events) list.GetMainList().Add(e);
    Written w = Write(list);
    ASSERT_EQ(w.result, 1);
    EXPECT_EQ(AfterHead(TrackEvents(w.bytes)), c.expected);
  }
}

TEST(CMidiListWriteSmf, PendingNoteOffsHaveNoFixedLimit) {
  CMidiList list;
  for (uint32_t i = 0; i < 3000; ++i)
    list.GetMainList().Add(Event(i, Bytes{static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(i % 128), 0x40}, 5000 + i));
  Written w = Write(list);
  Lines events = TrackEvents(w.bytes);
  size_t offs = static_cast<size_t>(std::count_if(events.begin(), events.end(), [](const std::string& l) {
    return l.size() > 6 && l.compare(l.size() - 3, 3, " 00") == 0 && l.find(": 9") != std::string::npos;
  }));
  EXPECT_EQ(offs, 3000u);
}

CVoiceItem* PcmVoice(uint8_t waveId, uint32_t waveBytes) {
  auto* item = new CVoiceItem();
  item->SetBankMsb(kBankMelody);
  item->SetPcmFlag(1);
  item->SetPcmFs(8000);
  item->SetWaveId(waveId);
  item->SetRM(0);
  Bytes samples(waveBytes, 0x5A);
  item->SetWaveSamples(samples.data(), waveBytes);
  return item;
}

TEST(CMidiListWriteSmf, RamSumAndLimit) {
  {
    CMidiList list;
    list.GetSetup().SetOwnsObjects(1);
    list.GetSetup().SetVoiceItem(0, PcmVoice(3, 8162));
    Written w = Write(list);
    EXPECT_EQ(w.result, 1);
    EXPECT_EQ(list.GetRamUse(), 8176u);
  }
  CMidiList list;
  list.GetSetup().SetOwnsObjects(1);
  list.GetSetup().SetVoiceItem(0, PcmVoice(3, 8163));
  Written w = Write(list);
  EXPECT_EQ(w.result, 0);
  EXPECT_TRUE(w.bytes.empty());
  EXPECT_EQ(w.report, 0x80000001u);
  EXPECT_EQ(list.GetRamUse(), 8178u);
  list.SetRamCheck(false);
  EXPECT_EQ(Write(list).result, 1);
}

TEST(CMidiListWriteSmf, WavesAndStreamsGoInPieces) {
  CMidiList list;
  CSongSetup& setup = list.GetSetup();
  setup.SetOwnsObjects(1);
  list.SetRamCheck(false);
  setup.SetVoiceItem(0, PcmVoice(3, 7000));
  auto* slot = new CStreamPCMSlot();
  Bytes data(3499, 0x21);
  slot->SetWaveData(data.data(), 3499);
  slot->SetRate(8000);
  slot->SetFormat(2);
  slot->SetFlag(1);
  setup.SetStreamPcmSlot(4, slot);
  Written w = Write(list);
  ASSERT_EQ(w.result, 1);
  Lines waves;
  Lines streams;
  for (const std::string& line : TrackEvents(w.bytes)) {
    size_t at = line.find("43 79 06 7F 0");
    if (at == std::string::npos) continue;
    std::string command = line.substr(at + 12, 8);  // "03 03 20" or "05 04 26"
    if (line.compare(at + 12, 2, "03") == 0) waves.push_back(command);
    if (line.compare(at + 12, 2, "05") == 0) streams.push_back(command);
  }
  EXPECT_EQ(waves, (Lines{"03 03 20", "03 03 00"}));
  EXPECT_EQ(streams, (Lines{"05 04 26", "05 04 06"}));
  // Mode 2 is taken for an unset mode with stream data.
  Lines events = TrackEvents(w.bytes);
  EXPECT_LT(IndexOf(events, "0: F0 07 43 79 06 7F 07 02 F7"), events.size());

  auto back = ReadSong(w.bytes);
  ASSERT_FALSE(back.threw);
  const CStreamPCMSlot* read = back.list->GetSetup().GetStreamPcmSlot(4);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetDataSize(), 3499u);
  EXPECT_EQ(read->GetFormat(), 2);
  EXPECT_TRUE(read->GetFlag());
  EXPECT_EQ(read->GetRate(), 8000);
  const CVoiceItem* voice = back.list->GetSetup().GetVoiceItem(0);
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(voice->GetWaveSampleSize(), 7000u);
}

TEST(CMidiListWriteSmf, ChannelStatusTravelsBack) {
  Bytes status(16, 0);
  status[3] = 0x10;
  auto read = ReadSong(Smf(480, {Track({At(0, PackedDevice(kGroupSong, kSongChannelStatus, {}, status))})}));
  Written w = Write(*read.list);
  auto back = ReadSong(w.bytes);
  EXPECT_EQ(back.list->GetSetup().GetStatus(3), 0x10);
  Lines events = TrackEvents(w.bytes);
  EXPECT_EQ(events[2], "0: " + ToHex(PackedDevice(kGroupSong, kSongChannelStatus, {}, status)));
}

TEST(CMidiListWriteSmf, VariedSongSurvivesARoundTrip) {
  Bytes fm(17, 0x11);
  Bytes pcm(CVoiceItem::GetPcmVoiceSize(), 0);
  pcm[0] = 0x1F;
  pcm[1] = 0x40;
  pcm[15] = 0x02;
  Bytes stream = Hex("1F 40 01 02 03 04");
  Bytes song = Smf(480, {Track({
      At(0, Meta(0x01, "QXln:JP:Title:Words")), At(0, Meta(0x02, "(c)")),
      At(0, PackedDevice(kGroupSong, kSongContentsHeader, {}, Hex("05 33 00 02 01"))),
      At(0, PackedDevice(kGroupDevice, kDeviceVoice, {0x7C, 0x00, 0x05, 0x00, 0x00}, fm)),
      At(0, PackedDevice(kGroupDevice, kDeviceVoice, {0x7D, 0x00, 0x02, 0x24, 0x01}, pcm)),
      At(0, PackedDevice(kGroupDevice, kDeviceWave, {0x02, 0x00}, Bytes(100, 0x66))),
      At(0, PackedDevice(kGroupDevice, kDeviceStreamWave, {0x03, 0x00}, stream)),
      At(0, Hex("FF 51 03 00 07 D0")), At(0, Meta(0x07, "START")), At(0, Hex("B0 00 7C")), At(0, Hex("C0 05")),
      At(0, Hex("B0 07 50")), At(0, Hex("90 3C 40")), At(100, Hex("FF 51 03 00 0F A0")),
      At(20, Hex("80 3C 00")), At(0, Hex("91 40 40")), At(60, Meta(0x07, "01LSTPA")),
      At(10, Hex("81 40 00")), At(100, Meta(0x07, "STOP"))})});
  auto first = ReadSong(song);
  ASSERT_FALSE(first.threw);
  Written w = Write(*first.list);
  ASSERT_EQ(w.result, 1);
  auto second = ReadSong(w.bytes);
  ASSERT_FALSE(second.threw);

  auto keep = [](const Lines& lines) {
    Lines out;
    for (const std::string& line : lines)
      if (line.find(": 9") != std::string::npos || line.find(": C") != std::string::npos ||
          line.find("FF 51") != std::string::npos || line.find("FF 07") != std::string::npos)
        out.push_back(line);
    return out;
  };
  EXPECT_EQ(keep(Listing(second.list->GetMainList())), keep(Listing(first.list->GetMainList())));
  EXPECT_EQ(keep(Listing(second.list->GetMainList())).size(), 8u);
  const CContentsInfo& a = first.list->GetContentsInfo();
  const CContentsInfo& b = second.list->GetContentsInfo();
  EXPECT_EQ(b.GetContentsClass(), a.GetContentsClass());
  EXPECT_EQ(b.GetContentsType(), 0x33);
  EXPECT_EQ(b.GetOptionByte1(), a.GetOptionByte1());
  EXPECT_EQ(b.GetText(4), "(c)");
  EXPECT_STREQ(b.GetSongTextInfo().GetText(1), "Title");
  EXPECT_STREQ(b.GetSongTextInfo().GetText(2), "Words");
  EXPECT_EQ(second.list->GetTempo(), first.list->GetTempo());
  for (int i = 0; i < 2; ++i) {
    const CVoiceItem* x = first.list->GetSetup().GetVoiceItem(i);
    const CVoiceItem* y = second.list->GetSetup().GetVoiceItem(i);
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_TRUE(x->IsSameData(*y)) << i;
  }
  EXPECT_EQ(second.list->GetSetup().GetVoiceItem(1)->GetWaveSampleSize(), 100u);
  const CStreamPCMSlot* slot = second.list->GetSetup().GetStreamPcmSlot(3);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->GetDataSize(), 4u);
  EXPECT_EQ(slot->GetRate(), 0x1F40);

  // Every device message parses, and its packed payload unpacks.
  CSmfTrackWalker walker(w.bytes.data(), static_cast<uint32_t>(w.bytes.size()));
  SmfWalkEvent e;
  int devices = 0;
  while (walker.Next(e)) {
    if (e.status != 0xF0) continue;
    DialectMessage m;
    ASSERT_TRUE(ParseDialectMessage(e.data, e.dataSize, m));
    ++devices;
    if (m.group == kGroupDevice && m.command == kDeviceVoice) {
      Bytes plain(UnpackedSize7In8(m.payloadSize - 5));
      Unpack7In8(m.payload + 5, m.payloadSize - 5, plain.data());
      if (m.payload[4] == 0) EXPECT_EQ(plain, fm);
      else EXPECT_EQ(plain, pcm);
    }
  }
  EXPECT_GE(devices, 8);
}

}  // namespace
}  // namespace velkgate
