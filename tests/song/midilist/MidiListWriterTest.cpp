// The writer: golden images of a new list, the message table of voices, waves, stream data,
// notes and section marks, and the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "tests/song/midilist/MidiListTestSupport.h"

namespace midilisttest {

std::vector<TrackEvent> TrackEvents(const Bytes& image) {
  std::vector<TrackEvent> out;
  CSmfMultiTrackWalk walk;
  walk.Open(image.data(), static_cast<uint32_t>(image.size()));
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    Bytes bytes;
    if (e.IsChannel()) {
      bytes.push_back(e.status);
      bytes.insert(bytes.end(), e.data, e.data + e.dataSize);
    } else {
      bytes.assign(e.stored, e.stored + e.storedSize);
    }
    out.push_back({e.tick, bytes});
  });
  return out;
}

namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes EmptyChannelStatus() {
  Bytes b = {0x00, 0xF0, 0x19, 0x43, 0x79, 0x06, 0x7D, 0x02};
  b.insert(b.end(), 19, 0x00);
  b.push_back(0xF7);
  return b;
}

class MidiListWriter : public ::testing::Test {
 protected:
  platform::FakeHost m_host;
  EventList m_first;
  EventList m_second;

  std::vector<TrackEvent> WriteEvents(CMidiList& midi, uint32_t* flags = nullptr) {
    int result = 0;
    Bytes image = Write(midi, m_first.list, m_second.list, flags, &result);
    EXPECT_EQ(result, 1);
    return image.empty() ? std::vector<TrackEvent>{} : TrackEvents(image);
  }
  /// Events after the records of tick 0 (from the first event not of tick 0, or the named one).
  static std::vector<Bytes> BytesOf(const std::vector<TrackEvent>& events, uint8_t first, uint8_t second) {
    std::vector<Bytes> out;
    for (const TrackEvent& e : events) {
      if (e.bytes.size() >= 2 && e.bytes[0] == first && (second == 0 || e.bytes[1] == second)) out.push_back(e.bytes);
    }
    return out;
  }
};

TEST_F(MidiListWriter, NewListUnderProfileOneIsTheGoldenImage) {
  m_host.settings.outputProfile = 1;
  CMidiList midi;
  Bytes image = Write(midi, m_first.list, m_second.list);
  Bytes expected = Concat({
      {'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0},
      {'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x4A},
      {0x00, 0xFF, 0x51, 0x03, 0x00, 0x04, 0x12},                                        // 1042 us per tick
      {0x00, 0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x00, 0x00, 0x01, 0x00, 0x04, 0x00, 0xF7},  // header
      EmptyChannelStatus(),                                                              // 7D 02
      {0x00, 0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7},          // 500000
      {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08},                                  // 4/4
      {0x00, 0xFF, 0x2F, 0x00},
  });
  EXPECT_EQ(Hex(image), Hex(expected));
}

TEST_F(MidiListWriter, NewListUnderProfileTwoIsTheGoldenImage) {
  m_host.settings.outputProfile = 2;
  CMidiList midi;
  Bytes image = Write(midi, m_first.list, m_second.list);
  Bytes expected = Concat({
      {'M', 'T', 'h', 'd', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0},
      {'M', 'T', 'r', 'k', 0x00, 0x00, 0x00, 0x6C},
      {0x00, 0xFF, 0x51, 0x03, 0x00, 0x04, 0x12},
      {0x00, 0xF0, 0x0C, 0x43, 0x79, 0x06, 0x7D, 0x01, 0x08, 0x00, 0x32, 0x01, 0x7D, 0x00, 0xF7},
      EmptyChannelStatus(),
      // "Dch" 0xFF, size 5, ES 1 byte F8.
      {0x00, 0xF0, 0x15, 0x43, 0x79, 0x06, 0x7D, 0x03, 0x08, 0x44, 0x63, 0x68, 0x7F, 0x00, 0x00, 0x00,
       0x02, 0x05, 0x45, 0x53, 0x00, 0x01, 0x78, 0xF7},
      {0x00, 0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x64, 0xF7},                      // master volume
      {0x00, 0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7},
      {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08},
      {0x00, 0xFF, 0x2F, 0x00},
  });
  EXPECT_EQ(Hex(image), Hex(expected));
}

bool Contains(const Bytes& image, const Bytes& part) {
  return std::search(image.begin(), image.end(), part.begin(), part.end()) != image.end();
}

/// A voice item of the song setup.
CVoiceItem* AddVoice(CMidiList& midi, int slot, uint8_t msb, uint8_t lsb, uint8_t program, bool pcm,
                     uint8_t algorithm = 0) {
  auto* item = new CVoiceItem();
  item->SetBankMsb(msb);
  item->SetBankLsb(lsb);
  item->SetProgram(program);
  item->SetPcmFlag(pcm ? 1 : 0);
  if (!pcm) item->SetAlgorithm(algorithm);
  midi.GetSongSetup().SetVoiceItem(slot, item);
  return item;
}

Bytes Pattern(uint32_t n, uint32_t seed) {
  Bytes b(n);
  for (uint32_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * 7 + seed) ^ (i >> 8));
  return b;
}

TEST_F(MidiListWriter, VoiceDefinitionsHaveTheLengthOfTheirBlock) {
  CMidiList midi;
  AddVoice(midi, 0, 0x7C, 0, 1, false, 0);   // 2 operators: 17 bytes
  AddVoice(midi, 1, 0x7C, 0, 2, false, 4);   // 4 operators: 31 bytes
  CVoiceItem* pcm = AddVoice(midi, 2, 0x7D, 0, 3, true);
  pcm->SetRM(1);                             // the chip's own wave: no wave data needed
  AddVoice(midi, 3, 0x7C, 10, 4, false);     // melodic LSB 10: not sent
  AddVoice(midi, 4, 0x7D, 0, 10, false);     // drum program 10: not sent
  CVoiceItem* bare = AddVoice(midi, 5, 0x7D, 0, 5, true);
  bare->SetRM(0);                            // a PCM voice without its wave: not sent
  std::vector<Bytes> voices = BytesOf(WriteEvents(midi), 0xF0, 0);
  std::vector<Bytes> defs;
  for (const Bytes& v : voices) {
    if (IsDevice(v, 0x7F, 0x01)) defs.push_back(v);
  }
  ASSERT_EQ(defs.size(), 3u);
  EXPECT_EQ(Hex(Bytes(defs[0].begin(), defs[0].begin() + 12)), "F0 1F 43 79 06 7F 01 7C 00 01 00 00 ");
  EXPECT_EQ(Hex(Bytes(defs[1].begin(), defs[1].begin() + 12)), "F0 2F 43 79 06 7F 01 7C 00 02 00 00 ");
  EXPECT_EQ(Hex(Bytes(defs[2].begin(), defs[2].begin() + 12)), "F0 1E 43 79 06 7F 01 7D 00 03 00 01 ");
  EXPECT_EQ(midi.GetWriteTotal(), 16u + 30u + 14u);
}

TEST_F(MidiListWriter, AWaveOf7000BytesGoesInTwoBlocks) {
  CMidiList midi;
  CVoiceItem* pcm = AddVoice(midi, 0, 0x7D, 0, 1, true);
  pcm->SetWaveId(5);
  Bytes samples = Pattern(7000, 3);
  pcm->SetWaveSamples(samples.data(), 7000);
  pcm->SetWaveHeaderFlags(0x02);
  Bytes image = Write(midi, m_first.list, m_second.list);
  std::vector<Bytes> waves;
  for (const TrackEvent& e : TrackEvents(image)) {
    if (IsDevice(e.bytes, 0x7F, 0x03)) waves.push_back(e.bytes);
  }
  ASSERT_EQ(waves.size(), 2u);
  for (const Bytes& w : waves) {
    EXPECT_EQ(Hex(Bytes(w.begin(), w.begin() + 9)), "F0 9F 28 43 79 06 7F 03 05 ");
    EXPECT_EQ(w.size(), 4011u);
  }
  EXPECT_EQ(waves[0][9], 0x22);  // bit 5 and the format
  EXPECT_EQ(waves[1][9], 0x02);
  Bytes plain(3500);
  Unpack7In8(waves[1].data() + 10, 4000, plain.data());
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), samples.begin() + 3500));
}

TEST_F(MidiListWriter, StreamDataGoesInPiecesBehindTheRate) {
  CMidiList midi;
  auto* slot = new CStreamPCMSlot();
  Bytes data = Pattern(5000, 9);
  slot->SetWaveData(data.data(), 5000);
  slot->SetRate(8000);
  slot->SetFormat(2);
  slot->SetFlag(1);
  slot->SetId(4);
  midi.GetSongSetup().SetStreamPcmSlot(4, slot);
  std::vector<Bytes> blocks;
  std::vector<Bytes> modes;
  for (const TrackEvent& e : WriteEvents(midi)) {
    if (IsDevice(e.bytes, 0x7F, 0x05)) blocks.push_back(e.bytes);
    if (IsDevice(e.bytes, 0x7F, 0x07)) modes.push_back(e.bytes);
  }
  ASSERT_EQ(blocks.size(), 2u);
  // 3500 plain bytes pack to 4000; the VLQ length takes two bytes.
  EXPECT_EQ(blocks[0][8], 4);
  EXPECT_EQ(blocks[0][9], ((1 | 8) << 2) | 2);
  EXPECT_EQ(blocks[1][8], 4);
  EXPECT_EQ(blocks[1][9], (1 << 2) | 2);
  Bytes plain(3500);
  ASSERT_EQ(Unpack7In8(blocks[1].data() + 10, static_cast<uint32_t>(blocks[1].size() - 11), plain.data()),
            2u + 1502u);
  EXPECT_EQ(plain[0], 8000 >> 8);
  EXPECT_EQ(plain[1], 8000 & 0xFF);
  EXPECT_TRUE(std::equal(plain.begin() + 2, plain.begin() + 1504, data.begin() + 3498));
  // An unset mode with a stream slot goes out as 2.
  ASSERT_EQ(modes.size(), 1u);
  EXPECT_EQ(Hex(modes[0]), "F0 07 43 79 06 7F 07 02 F7 ");
}

TEST_F(MidiListWriter, NoteOffIsWrittenAtItsEndBeforeTheNextEvent) {
  CMidiList midi;
  m_first.Add(0, {0x90, 0x3C, 0x64}, 480);
  m_first.Add(960, {0xB0, 0x07, 0x50});
  Bytes image = Write(midi, m_first.list, m_second.list);
  EXPECT_TRUE(Contains(image, {0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x90, 0x3C, 0x00, 0x83, 0x60, 0xB0, 0x07, 0x50}))
      << Hex(image);
}

TEST_F(MidiListWriter, SectionCuesEndEachOtherAndTheLastEndsAtTheTrackEnd) {
  CMidiList midi;
  m_first.Add(0, MakeCueMeta("01LSTPA"), 0, 3);
  m_first.Add(480, MakeCueMeta("01LSTPB"), 480, 4);
  Bytes image = Write(midi, m_first.list, m_second.list);
  std::vector<std::pair<uint32_t, std::string>> cues;
  for (const TrackEvent& e : TrackEvents(image)) {
    if (e.bytes[0] == 0xFF && e.bytes[1] == 0x07) cues.emplace_back(e.tick, std::string(e.bytes.begin() + 3, e.bytes.end()));
  }
  EXPECT_EQ(cues, (std::vector<std::pair<uint32_t, std::string>>{
                      {0, "01LSTPA"}, {480, "01LSPPA"}, {480, "01LSTPB"}, {480, "01LSPPB"}}));
}

TEST_F(MidiListWriter, ProgramChangeUnderASoundingNoteFails) {
  CMidiList midi;
  m_first.Add(0, {0x91, 0x3C, 0x64}, 480);
  m_first.Add(100, {0xC1, 0x05});
  uint32_t flags = 0;
  int result = 1;
  Write(midi, m_first.list, m_second.list, &flags, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(flags, 0x80000002u);
}

TEST_F(MidiListWriter, ProgramChangeAfterTheNoteEndedIsWritten) {
  CMidiList midi;
  m_first.Add(0, {0x91, 0x3C, 0x64}, 100);
  m_first.Add(100, {0xC1, 0x05});
  uint32_t flags = 0;
  EXPECT_EQ(BytesOf(WriteEvents(midi, &flags), 0xC1, 0).size(), 1u);
  EXPECT_EQ(flags, 0u);
}

TEST_F(MidiListWriter, StopOverAPendingNoteIsReportedUnderProfileThree) {
  m_host.settings.outputProfile = 3;
  CMidiList midi;
  m_first.Add(0, {0x90, 0x3C, 0x64}, 960);
  m_first.Add(480, MakeCueMeta("STOP"), 480, 9);
  uint32_t flags = 0;
  WriteEvents(midi, &flags);
  EXPECT_EQ(flags, 0x40u);
}

TEST_F(MidiListWriter, RamOverTheLimitFails) {
  CMidiList midi;
  CVoiceItem* pcm = AddVoice(midi, 0, 0x7D, 0, 1, true);
  pcm->SetWaveId(1);
  Bytes samples = Pattern(8170, 1);
  pcm->SetWaveSamples(samples.data(), 8170);
  uint32_t flags = 0;
  int result = 1;
  Write(midi, m_first.list, m_second.list, &flags, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(flags, 0x80000001u);
  EXPECT_EQ(midi.GetWriteTotal(), 8184u);
  midi.SetRamCheck(false);
  flags = 0;
  Write(midi, m_first.list, m_second.list, &flags, &result);
  EXPECT_EQ(result, 1);
}

TEST_F(MidiListWriter, AnEventBeforeTheLastTickGoesOutWithDeltaZero) {
  CMidiList midi;
  m_first.Add(0, {0x90, 0x3C, 0x64}, 960);
  m_first.Add(480, {0xB0, 0x07, 0x50});
  m_first.Add(100, {0xB0, 0x0A, 0x40});  // out of order
  Bytes image = Write(midi, m_first.list, m_second.list);
  EXPECT_TRUE(Contains(image, {0x83, 0x60, 0xB0, 0x07, 0x50, 0x00, 0xB0, 0x0A, 0x40, 0x83, 0x60, 0x90, 0x3C, 0x00}))
      << Hex(image);
}

TEST_F(MidiListWriter, ManyOverlappingNotesAllGetTheirNoteOffs) {
  CMidiList midi;
  for (uint32_t i = 0; i < 3000; ++i) m_first.Add(i, {0x90, static_cast<uint8_t>(i % 128), 0x40}, 10000 + i);
  Bytes image = Write(midi, m_first.list, m_second.list);
  int on = 0, off = 0;
  for (const TrackEvent& e : TrackEvents(image)) {
    if ((e.bytes[0] & 0xF0) != 0x90) continue;
    (e.bytes[2] == 0 ? off : on)++;
    if (e.bytes[2] == 0) {
      EXPECT_GE(e.tick, 10000u);
    }
  }
  EXPECT_EQ(on, 3000);
  EXPECT_EQ(off, 3000);
}

TEST_F(MidiListWriter, ListEventsAreFilteredAsTheDialectWants) {
  m_host.settings.outputProfile = 2;
  CMidiList midi;
  m_first.Add(0, MakeMasterVolumeMessage(90));        // first 7F 00: went out with the records
  m_first.Add(0, {0xB0, 0x38, 0x01});                 // controller 56: not written
  m_first.Add(10, {0xA0, 0x3C, 0x10});                // key pressure: not written
  m_first.Add(10, {0xD0, 0x10});                      // channel pressure: not written
  m_first.Add(10, {0xE0, 0x00, 0x40});                // pitch bend
  m_first.Add(20, MakeMasterVolumeMessage(80));       // a second 7F 00
  m_first.Add(20, {0xFF, 0x51, 0x03, 0x00, 0x04, 0x12});  // same tempo as step 4: not written
  m_first.Add(20, {0xFF, 0x03, 0x01, 'x'});            // other metas: not written
  m_first.Add(30, MakeTempoMessage(500000));          // same as the default: not written
  m_first.Add(30, MakeTempoMessage(600000));
  m_first.Add(40, {0xFF, 0x2F, 0x00});
  m_first.Add(40, {0xF0, 0x03, 0x7E, 0x00, 0xF7});     // other SysEx: not written
  std::vector<Bytes> written;
  for (const TrackEvent& e : WriteEvents(midi)) {
    if (e.tick > 0) written.push_back(e.bytes);
  }
  EXPECT_EQ(written, (std::vector<Bytes>{{0xE0, 0x00, 0x40}, MakeMasterVolumeMessage(80), MakeTempoMessage(600000),
                                         {0xFF, 0x2F, 0x00}}));
}

TEST_F(MidiListWriter, ASongsOwnTempoAtTickZeroIsWrittenEvenAtTheDefaultValue) {
  // Without the default message written before, the song's 500000 is the only device tempo.
  CMidiList midi;
  m_first.Add(0, MakeTempoMessage(500000));
  m_first.Add(30, MakeTempoMessage(500000));  // the same again: not written
  m_first.Add(40, {0xFF, 0x2F, 0x00});
  std::vector<Bytes> tempos;
  for (const TrackEvent& e : WriteEvents(midi)) {
    if (e.bytes.size() > 6 && e.bytes[0] == 0xF0 && e.bytes[5] == 0x7D && e.bytes[6] == 0x10) tempos.push_back(e.bytes);
  }
  EXPECT_EQ(tempos, (std::vector<Bytes>{MakeTempoMessage(500000)}));
}

TEST_F(MidiListWriter, TextsWithTheirCodesGoIntoTheTextChunks) {
  CMidiList midi;
  CContentsInfo& info = midi.GetContentsInfo();
  info.SetTextCodeType(kTextCodeUtf16);
  info.SetText1("AB");
  info.SetOptionByte4(1);
  Bytes image = Write(midi, m_first.list, m_second.list);
  Bytes texts;
  for (const TrackEvent& e : TrackEvents(image)) {
    Bytes payload;
    if (IsDevice(e.bytes, 0x7D, 0x03, &payload)) texts = Unpacked(payload.data(), payload.size());
  }
  // "Dch" 32 with VN as UTF-16, then "Dch" FF with ES and DV.
  EXPECT_EQ(Hex(texts), "44 63 68 20 00 00 00 08 56 4E 00 04 41 00 42 00 "
                        "44 63 68 FF 00 00 00 0A 45 53 00 01 F8 44 56 00 01 01 ");
}

TEST_F(MidiListWriter, GroupCodesSplitTheSongWithTheAssignedVoices) {
  CMidiList midi;
  midi.SetVoiceLookup([](uint8_t msb, uint8_t, uint8_t program, uint8_t) {
    return (msb == 0x7C && program == 5) ? -1 : 3;
  });
  m_first.Add(0, {0xB0, 0x00, 0x7A});
  m_first.Add(0, {0xC0, 0x02});
  m_first.Add(0, {0xB1, 0x00, 0x7C});
  m_first.Add(0, {0xC1, 0x05});
  m_first.Add(10, {0x90, 0x3C, 0x64}, 20);
  m_first.Add(10, {0x91, 0x3E, 0x64}, 20);
  const uint8_t groups[16] = {1, 2};
  CMemStream out;
  ASSERT_EQ(midi.WriteSmf(out, m_first.list, m_second.list, nullptr, groups, 1), 1);
  // The whole song keeps channel 0's note and loses channel 1's unassigned one.
  std::vector<TrackEvent> whole = TrackEvents(StreamBytes(out));
  int notes = 0;
  for (const TrackEvent& e : whole) notes += (e.bytes[0] & 0xE0) == 0x80;
  EXPECT_EQ(notes, 2);
  std::array<uint8_t, 4> voice = midi.GetGroupVoice(1, 0);
  EXPECT_EQ(Hex(Bytes(voice.begin(), voice.end())), "7C 00 02 FF ");
  EXPECT_EQ(midi.GetGroupVoice(2, 0)[0], 0xFF);
  CMemStream group1, group2;
  midi.GetGroupStream(1, group1);
  midi.GetGroupStream(2, group2);
  std::vector<TrackEvent> one = TrackEvents(StreamBytes(group1));
  Bytes list1 = {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7F, 0x20, 0x7C, 0x00, 0x02, 0xFF, 0xF7};
  bool found = false;
  for (size_t i = 0; i < one.size(); ++i) {
    if (one[i].bytes != list1) continue;
    found = true;
    EXPECT_EQ(one[i].tick, 0u);
    ASSERT_LT(i + 1, one.size());
    EXPECT_GT(one[i + 1].tick, 0u);  // right after the events of tick 0
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(Contains(StreamBytes(group2), {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7F, 0x20, 0xF7}));
}

TEST_F(MidiListWriter, OtherModesMeasureTheStreamRate) {
  CMidiList midi;
  auto* slot = new CStreamPCMSlot();
  Bytes data = Pattern(100, 1);
  slot->SetWaveData(data.data(), 100);
  slot->SetRate(8000);
  slot->SetFormat(2);
  slot->SetId(1);
  midi.GetSongSetup().SetStreamPcmSlot(1, slot);
  m_first.Add(0, {0xB9, 0x00, 0x7D});
  m_first.Add(0, {0xC9, 0x00});
  m_first.Add(480, {0x99, 0x00, 0x64}, 960);
  CMemStream out;
  ASSERT_EQ(midi.WriteSmf(out, m_first.list, m_second.list, nullptr, nullptr, 0), 1);
  EXPECT_GT(out.GetSize(), 0);
  EXPECT_EQ(midi.GetStreamSummary1(), 8000u);
  ASSERT_FALSE(midi.GetStreamPoints().empty());
  EXPECT_EQ(midi.GetStreamPoints().front().GetThird(), 0u);
  std::vector<CMsgKey> points;
  EXPECT_EQ(midi.CopyPoints2(points), 1);
  EXPECT_EQ(points.size(), midi.GetStreamPoints().size());
  EXPECT_EQ(midi.CopyPoints2(points), 0);
}

TEST_F(MidiListWriter, OverlappingAndPairedTriggersAreReportedUnderProfileThree) {
  m_host.settings.outputProfile = 3;
  CMidiList midi;
  for (int s : {1, 2}) {
    auto* slot = new CStreamPCMSlot();
    Bytes data = Pattern(10, 1);
    slot->SetWaveData(data.data(), 10);
    slot->SetId(s);
    if (s == 1) slot->SetIndex(2);
    midi.GetSongSetup().SetStreamPcmSlot(s, slot);
  }
  midi.GetSongSetup().SetStatus(9, 0x20);  // VS
  m_second.Add(0, {0x99, 0x00, 0x64}, 480);
  m_second.Add(100, {0x99, 0x01, 0x64}, 480);
  uint32_t flags = 0;
  WriteEvents(midi, &flags);
  EXPECT_EQ(flags, 0x180u);
  midi.GetSongSetup().SetStreamMode(0);
  midi.GetSongSetup().SetStatus(9, 0);
  flags = 0;
  WriteEvents(midi, &flags);
  EXPECT_EQ(flags, 0u);
}

TEST(MidiListMerge, TakesTheFirstListFirstAtATie) {
  EventList a, b;
  CSeqEvent* a0 = a.Add(0, {0xB0, 1, 1});
  CSeqEvent* a1 = a.Add(10, {0xB0, 1, 2});
  CSeqEvent* b0 = b.Add(5, {0xB0, 1, 3});
  CSeqEvent* b1 = b.Add(10, {0xB0, 1, 4});
  CSeqEventList merged;
  CMidiList::MergeByTick(a.list, b.list, merged);
  std::vector<const CSeqEvent*> got = Events(merged);
  EXPECT_EQ(got, (std::vector<const CSeqEvent*>{a0, b0, a1, b1}));
}

TEST(MidiListCheck, DropsRepeatedPansOfTheSameTickButNoNotes) {
  EventList list;
  list.Add(0, {0xB0, 10, 64});
  CSeqEvent* same = list.Add(0, {0xB0, 10, 64});
  CSeqEvent* other = list.Add(0, {0xB0, 10, 65});
  CSeqEvent* later = list.Add(1, {0xB0, 10, 64});
  EXPECT_EQ(checkMidiList(list.list), 1);
  EXPECT_TRUE(same->IsDropped());
  EXPECT_FALSE(other->IsDropped());
  EXPECT_FALSE(later->IsDropped());
}

// Only keys 0..12 and 92..127 trigger stream slots; a byte with bit 7 set (from a list built
// outside the reader) is no key and selects no slot past the 49.
TEST(MidiListStreamTriggers, ByteAbove127IsNoTrigger) {
  platform::FakeHost host;
  CMidiList midi;
  for (uint8_t key : {uint8_t{0x80}, uint8_t{0xA0}, uint8_t{0xFF}}) {
    EventList list;
    list.Add(0, {0x99, key, 100}, 100);
    list.Add(10, {0x99, key, 100}, 110);
    EXPECT_EQ(midi.CheckStreamTriggers(list.list), 0) << int{key};
    EXPECT_EQ(midi.CheckStreamTriggers2(list.list), 0) << int{key};
  }
  EventList keys;
  keys.Add(0, {0x99, 127, 100}, 100);
  keys.Add(10, {0x99, 92, 100}, 110);
  EXPECT_EQ(midi.CheckStreamTriggers(keys.list), 1) << "keys 127 and 92 do overlap";
}

TEST(MidiListGroupVoice, KeepsOneEntryPerVoiceAndDropsWhenFull) {
  platform::FakeHost host;
  CMidiList midi;
  midi.AddGroupVoice(1, 0x7D, 0, 0, 36);
  midi.AddGroupVoice(1, 0x7D, 0, 0, 36);
  midi.AddGroupVoice(1, 0x7C, 2, 5, 0xFF);
  midi.AddGroupVoice(1, 0x7C, 2, 9, 0xFF);  // same LSB: present
  midi.AddGroupVoice(1, 0x00, 0, 7, 0xFF);
  midi.AddGroupVoice(1, 0x00, 1, 7, 0xFF);  // same program: present
  midi.AddGroupVoice(1, 0x7D, 0, 0, 38);
  midi.AddGroupVoice(1, 0x7D, 0, 0, 40);    // group full
  midi.AddGroupVoice(5, 0x7D, 0, 0, 40);    // no such group
  EXPECT_EQ(midi.GetGroupVoice(1, 3)[3], 38);
  EXPECT_EQ(midi.GetGroupVoice(1, 1)[0], 0x7C);
  EXPECT_EQ(midi.GetGroupVoice(1, 2)[2], 7);
  CMemStream out;
  EXPECT_EQ(midi.GetGroupStream(7, out), 1);
  EXPECT_EQ(out.GetSize(), 0);
  // Never split by group: every group gives nothing.
  for (int group = 1; group <= 4; ++group) EXPECT_EQ(midi.GetGroupStream(group, out), 1);
  EXPECT_EQ(out.GetSize(), 0);
}

TEST(MidiListOutputKind, FollowsTheOutputProfile) {
  platform::FakeHost host;
  const int kinds[][2] = {{1, 1}, {7, 1}, {2, 2}, {8, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {10, 7}, {9, 2}};
  for (const auto& k : kinds) {
    host.settings.outputProfile = k[0];
    EXPECT_EQ(CMidiList::GetOutputKind(), k[1]) << "profile " << k[0];
  }
}

}  // namespace
}  // namespace midilisttest
