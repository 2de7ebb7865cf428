// The program's MIDI list and Velkgate's read each other's song data.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <memory>

#include <tuple>

#include "PluginFixture.h"
#include "SmfTestTracks.h"
#include "platform/host/testing/FakeHost.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TempoMessage.h"
#include "song/MemStream.h"
#include "song/SmfDialectText.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/midilist/MidiList.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Listing;
using testing::ReadSong;
using testing::StreamBytes;

using Lines = std::vector<std::string>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}


Lines Notes(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines)
    if (line.find(": 9") != std::string::npos || line.find(": C") != std::string::npos) out.push_back(line);
  return out;
}

class MidiListInterop : public ::testing::Test {
 protected:
  platform::FakeHost m_host;
};

TEST_F(MidiListInterop, VelkgateReadsWhatTheProgramWrites) {
  ::CMidiList program;
  program.SetTempo(1042);
  program.GetSongSetup().SetStatus(3, 0x10);
  CSeqEventList song;
  CSeqEventList none;
  auto add = [&](uint32_t tick, const Bytes& bytes, uint32_t end) {
    song.AddOwned(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()), bytes.data(), end, 0));
  };
  add(0, Hex("C0 05"), 0);
  add(0, Hex("90 3C 40"), 240);
  add(480, Hex("91 40 50"), 960);
  CMemStream image;
  uint32_t flags = 0;
  ASSERT_EQ(program.WriteSmf(image, song, none, &flags, nullptr, 1), 1);
  song.DeleteAll();

  auto read = ReadSong(StreamBytes(image));
  ASSERT_FALSE(read.threw);
  EXPECT_EQ(Notes(Listing(read.list->GetMainList())),
            (Lines{"0: C0 05", "0: 90 3C 40 end 240", "480: 91 40 50 end 960"}));
  EXPECT_EQ(read.list->GetSetup().GetStatus(3), 0x10);
  EXPECT_EQ(read.list->GetTempo(), 1042u);
}

TEST_F(MidiListInterop, TheProgramReadsWhatVelkgateWrites) {
  auto read = ReadSong(testing::Smf(480, {testing::Track({testing::At(0, Hex("C0 05")),
                                                          testing::At(0, Hex("90 3C 40")),
                                                          testing::At(240, Hex("80 3C 00"))})}));
  ASSERT_FALSE(read.threw);
  read.list->GetSetup().SetStatus(5, 0x10);
  CMemStream image;
  uint32_t report = 0;
  ASSERT_EQ(read.list->WriteSmf(image, read.list->GetMainList(), read.list->GetStreamList(), &report), 1);

  ::CMidiList program;
  image.SeekToBegin();
  uint32_t flags = 0;
  ASSERT_EQ(program.ReadSmf(image, &flags), 1);
  Lines notes;
  for (const CSeqEvent* e : [&] {
         std::vector<const CSeqEvent*> out;
         CSeqEventIter it(program.GetSongList());
         CSeqEvent* event = nullptr;
         while (it.Next(event)) out.push_back(event);
         return out;
       }()) {
    uint8_t status = e->GetDataByte(0);
    if ((status & 0xF0) == 0x90 || (status & 0xF0) == 0xC0)
      notes.push_back(std::to_string(e->GetTick()) + ": " + testing::ToHex(testing::EventBytes(*e)) +
                      " end " + std::to_string(e->GetEndTick()));
  }
  EXPECT_EQ(notes, (Lines{"0: C0 05 end 0", "0: 90 3C 40 end 240"}));
  EXPECT_EQ(program.GetSongSetup().GetStatus(5), 0x10);
}


// ---- A whole song both ways, and through a VELK image --------------------------------------

/// What both MIDI lists must agree on: the setup's statuses, voices, waves and stream slot, the
/// title with its code type, and the cue points.
struct SongSummary {
  std::vector<uint8_t> statuses;
  std::vector<std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, bool, Bytes>> voices;  // address, pcm, block
  std::vector<Bytes> waves;
  int slotFormat = -1;
  bool slotFlag = false;
  uint16_t slotRate = 0;
  Bytes slotData;
  std::string title;
  uint8_t textCode = 0;
  std::vector<std::pair<uint32_t, uint32_t>> cues;  // tick, code
};

SongSummary Summarize(const CSongSetup& setup, const CContentsInfo& info, const std::vector<const CSeqEvent*>& events) {
  SongSummary s;
  for (int ch = 0; ch < 16; ++ch) s.statuses.push_back(setup.GetStatus(ch));
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* v = setup.GetVoiceItem(i);
    if (!v) continue;
    bool pcm = v->IsPcm() != 0;
    const uint8_t* block = pcm ? v->GetPcmVoice() : v->GetFmVoice();
    uint32_t n = pcm ? CVoiceItem::GetPcmVoiceSize() : v->GetFmVoiceLength();
    s.voices.emplace_back(v->GetBankMsb(), v->GetBankLsb(), v->GetProgram(), v->GetNote(), pcm, Bytes(block, block + n));
    if (pcm && v->GetWaveSampleSize() > 0)
      s.waves.emplace_back(v->GetWaveSamples(), v->GetWaveSamples() + v->GetWaveSampleSize());
  }
  if (const CStreamPCMSlot* slot = setup.GetStreamPcmSlot(1)) {
    s.slotFormat = slot->GetFormat();
    s.slotFlag = slot->GetFlag();
    s.slotRate = slot->GetRate();
    s.slotData.assign(slot->GetData(), slot->GetData() + slot->GetDataSize());
  }
  s.title = info.GetSongTextInfo().GetText(1);
  s.textCode = info.GetTextCodeType();
  for (const CSeqEvent* e : events)
    if (e->GetExtra() != 0) s.cues.emplace_back(e->GetTick(), e->GetExtra());
  return s;
}

std::vector<const CSeqEvent*> EventsOf(const CSeqEventList& list) {
  std::vector<const CSeqEvent*> out;
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) out.push_back(e);
  return out;
}

std::vector<const CSeqEvent*> EventsOf(const CEventList& list) {
  std::vector<CSeqEvent*> items = list.Items();
  return std::vector<const CSeqEvent*>(items.begin(), items.end());
}

void ExpectSameSong(const SongSummary& a, const SongSummary& b, bool withSlotFlag, uint32_t cueTolerance) {
  EXPECT_EQ(a.statuses, b.statuses);
  EXPECT_EQ(a.voices, b.voices);
  EXPECT_EQ(a.waves, b.waves);
  EXPECT_EQ(a.slotFormat, b.slotFormat);
  if (withSlotFlag) {
    EXPECT_EQ(a.slotFlag, b.slotFlag);
  }
  EXPECT_EQ(a.slotRate, b.slotRate);
  EXPECT_EQ(a.slotData, b.slotData);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.textCode, b.textCode);
  ASSERT_EQ(a.cues.size(), b.cues.size());
  for (size_t i = 0; i < a.cues.size(); ++i) {
    EXPECT_EQ(a.cues[i].second, b.cues[i].second) << i;
    uint32_t gap = a.cues[i].first > b.cues[i].first ? a.cues[i].first - b.cues[i].first : b.cues[i].first - a.cues[i].first;
    EXPECT_LE(gap, cueTolerance) << i << ": " << a.cues[i].first << " and " << b.cues[i].first;
  }
}

CVoiceItem* Fm(uint8_t program, int algorithm) {
  auto* v = new CVoiceItem();
  v->SetBankMsb(124);
  v->SetBankLsb(0);
  v->SetProgram(program);
  v->SetAlgorithm(static_cast<uint8_t>(algorithm));
  v->SetOpTL(1, static_cast<uint8_t>(10 + program));
  v->SetOpTL(2, 40);
  return v;
}

Bytes Pattern(size_t n, uint8_t step) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * step + 1);
  return b;
}

/// The program's song: class 1 with the LED mark on channel 3, a 2-operator and a 4-operator FM
/// voice, a PCM voice with a 3000-byte wave, stream slot 1 (format 2, flag set, 8000 Hz, 5000
/// bytes), ST "Song" in UTF-8, START, section A and STOP, tempi 500000 and 400000.
void FillProgramSong(::CMidiList& program) {
  program.SetTempo(1042);
  CSongSetup& setup = program.GetSongSetup();
  setup.SetTimeBase(480);
  setup.SetOwnsObjects(1);
  setup.SetStatus(3, 0x10);
  setup.SetVoiceItem(0, Fm(1, 0));
  setup.SetVoiceItem(1, Fm(2, 4));
  auto* pcm = new CVoiceItem();
  pcm->SetBankMsb(124);
  pcm->SetBankLsb(0);
  pcm->SetProgram(3);
  pcm->SetPcmFlag(1);
  pcm->SetPcmFs(8000);
  pcm->SetWaveId(5);
  pcm->SetRM(0);
  Bytes wave = Pattern(3000, 7);
  pcm->SetWaveSamples(wave.data(), static_cast<uint32_t>(wave.size()));
  setup.SetVoiceItem(2, pcm);
  auto* slot = new CStreamPCMSlot();
  slot->SetId(1);
  slot->SetFormat(2);
  slot->SetFlag(1);
  slot->SetRate(8000);
  Bytes stream = Pattern(5000, 3);
  slot->SetWaveData(stream.data(), static_cast<uint32_t>(stream.size()));
  setup.SetStreamPcmSlot(1, slot);

  CContentsInfo& info = program.GetContentsInfo();
  info.Reset(3);
  info.SetContentsClass(1);
  info.SetOptionByte1(0);
  info.SetTextCodeType(kTextCodeUtf8);
  info.GetSongTextInfo().SetText(1, "Song");

  auto add = [&](uint32_t tick, const Bytes& bytes, uint32_t end, uint32_t cue = 0) {
    program.AddSongEvent(std::make_unique<CSeqEvent>(tick, static_cast<uint32_t>(bytes.size()), bytes.data(), end, cue));
  };
  Bytes tempo = MakeTempoMessage(500000);
  add(0, tempo, 0);
  add(0, Hex("FF 07 05") + Bytes{'S', 'T', 'A', 'R', 'T'}, 0, kCueStart);
  add(0, Hex("B3 00 7C"), 0);
  add(0, Hex("B3 20 00"), 0);
  add(0, Hex("C3 01"), 0);
  add(0, Hex("93 3C 64"), 480);
  add(480, Hex("FF 07 07") + Bytes{'0', '1', 'L', 'S', 'T', 'P', 'A'}, 480, 3);
  add(480, Hex("93 3E 64"), 900);
  add(960, MakeTempoMessage(400000), 960);
  add(960, Hex("93 40 50"), 1500);
  add(1500, Hex("FF 07 04") + Bytes{'S', 'T', 'O', 'P'}, 1500, kCueStop);
}

TEST_F(MidiListInterop, AWholeSongCrossesBothListsAndAVelkImage) {
  ::CMidiList program;
  FillProgramSong(program);
  SongSummary original = Summarize(program.GetSongSetup(), program.GetContentsInfo(), EventsOf(program.GetSongList()));
  ASSERT_EQ(original.voices.size(), 3u);
  ASSERT_EQ(original.cues.size(), 3u);

  CMemStream songData;
  uint32_t flags = 0;
  ASSERT_EQ(program.WriteSmf(songData, program.GetSongList(), program.GetSetupList(), &flags, nullptr, 1), 1);

  // The program's song data into Velkgate's list.
  auto read = ReadSong(StreamBytes(songData));
  ASSERT_FALSE(read.threw);

  EXPECT_EQ(read.report & 0x80000000u, 0u);
  SCOPED_TRACE("Velkgate's list");
  ExpectSameSong(original,
                 Summarize(read.list->GetSetup(), read.list->GetContentsInfo(), EventsOf(read.list->GetMainList())),
                 true, 0);

  // Velkgate's song data into the program's list.
  CMemStream velkgateData;
  uint32_t report = 0;
  ASSERT_EQ(read.list->WriteSmf(velkgateData, read.list->GetMainList(), read.list->GetStreamList(), &report), 1);
  ::CMidiList back;
  velkgateData.SeekToBegin();
  uint32_t backFlags = 0;
  ASSERT_EQ(back.ReadSmf(velkgateData, &backFlags), 1);
  EXPECT_EQ(backFlags & 0x80000000u, 0u);
  SCOPED_TRACE("the program's list from Velkgate's song data");
  ExpectSameSong(original, Summarize(back.GetSongSetup(), back.GetContentsInfo(), EventsOf(back.GetSongList())), true, 0);

  // Through a VELK image: the LED check passes and the track header holds the statuses.
  velkgate::testing::PluginLibrary plugin(VELKGATE_PLUGIN_PATH);
  ASSERT_NE(plugin.Handle(), nullptr);
  velkgate::testing::Call image = velkgate::testing::CallEntry(plugin.Entry("CnvTo"), StreamBytes(songData), 0x20);
  ASSERT_TRUE(image.Converted()) << std::hex << image.result << " " << image.flags;
  EXPECT_EQ(image.flags & CNVF_NO_LED_CHANNEL, 0u);
  size_t track = velkgate::testing::Find(image.output, "MTR\x05");
  ASSERT_NE(track, std::string::npos);
  EXPECT_EQ(Bytes(image.output.begin() + static_cast<long>(track) + 12, image.output.begin() + static_cast<long>(track) + 28),
            original.statuses);

  velkgate::testing::Call reopened = velkgate::testing::CallEntry(plugin.Entry("CnvFrom"), image.output, CNVF_RETIME_480);
  ASSERT_TRUE(reopened.Converted()) << std::hex << reopened.result;
  ::CMidiList opened;
  CMemStream openedData(reopened.output.data(), static_cast<int32_t>(reopened.output.size()), false);
  uint32_t openedFlags = 0;
  ASSERT_EQ(opened.ReadSmf(openedData, &openedFlags), 1);
  // One VELK tick of 4 ms is at most 4.8 ticks of 480 a quarter at these tempi; the slot flag
  // has no place in a VELK file.
  SCOPED_TRACE("the program's list through a VELK image");
  ExpectSameSong(original, Summarize(opened.GetSongSetup(), opened.GetContentsInfo(), EventsOf(opened.GetSongList())),
                 false, 5);
}

}  // namespace
}  // namespace velkgate
