// The program's VELK reader and writer against the built Velkgate: what one writes, the other reads.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PluginFixture.h"
#include "VelkgateFixture.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TempoMessage.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "tests/velk/SeqRecords.h"
#include "velk/StreamPcmChunk.h"
#include "velk/VelkFileChunk.h"
#include "velk/VoiceSetupChunk.h"
#include "velk/WaveDataChunk.h"

namespace {

using velkgate::testing::Call;
using velkgate::testing::CallEntry;
using velkgate::testing::Find;
using velkgate::testing::Hex;
using velkgate::testing::Image;
using velktest::Rec;
using velkgate::testing::operator+;
using velkgate::testing::operator+=;

constexpr uint8_t kFmProgram = 5;

CVoiceItem* FmVoice() {
  auto* voice = new CVoiceItem();
  voice->SetBankMsb(124);
  voice->SetBankLsb(0);
  voice->SetProgram(kFmProgram);
  voice->SetAlgorithm(4);
  voice->SetOpTL(1, 20);
  voice->SetOpTL(2, 33);
  return voice;
}

Image StreamWave() {
  Image wave(100);
  for (size_t i = 0; i < wave.size(); ++i) wave[i] = static_cast<uint8_t>(i * 3 + 1);
  return wave;
}

/// Tempo 500000 then 4/4 at tick 0, 400000 at 960, a dozen notes on a 96-tick grid, an FM
/// voice, a stream wave and the title "Song", written by Velkgate's own MIDI list.
Image GridSong() {
  velkgate::CMidiList list;
  CSongSetup& setup = list.GetSetup();
  setup.SetTimeBase(480);
  setup.SetOwnsObjects(1);
  setup.SetVoiceItem(0, FmVoice());
  auto* slot = new CStreamPCMSlot();
  slot->SetId(1);
  slot->SetFormat(2);
  slot->SetRate(8000);
  Image wave = StreamWave();
  slot->SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
  setup.SetStreamPcmSlot(1, slot);
  list.GetContentsInfo().SetOptionByte1(0);
  list.GetContentsInfo().GetSongTextInfo().SetText(1, "Song");
  velkgate::CEventList& events = list.GetMainList();
  events.Add(velkgate::testing::Event(0, velkgate::MakeTempoMessage(500000)));
  events.Add(velkgate::testing::Event(0, Hex("FF 58 04 04 02 18 08")));
  events.Add(velkgate::testing::Event(0, Hex("B0 00 7C")));
  events.Add(velkgate::testing::Event(0, Hex("B0 20 00")));
  events.Add(velkgate::testing::Event(0, Image{0xC0, kFmProgram}));
  for (uint32_t i = 0; i < 12; ++i) {
    if (i == 10) events.Add(velkgate::testing::Event(960, velkgate::MakeTempoMessage(400000)));
    Image note = {0x90, static_cast<uint8_t>(60 + i), static_cast<uint8_t>(40 + i)};
    events.Add(velkgate::testing::Event(96 * i, note, 96 * (i + 1)));
  }
  CMemStream out;
  uint32_t report = 0;
  EXPECT_EQ(list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report), 1);
  return velkgate::testing::StreamBytes(out);
}

Image Bytes(const CMemStream& stream) { return velkgate::testing::StreamBytes(stream); }
Image Body(const CChunk& chunk) { return Image(chunk.GetBody(), chunk.GetBody() + chunk.GetBodySize()); }

using VelkInterop = velkgate::testing::VelkgateModule;

TEST_F(VelkInterop, TheProgramReadsWhatCnvToWrites) {
  for (uint32_t flags : {0x20u, 0xA0u}) {
    SCOPED_TRACE(flags);
    Call c = CallEntry(m_to, GridSong(), flags);
    ASSERT_TRUE(c.Converted()) << std::hex << c.result;
    Image image = c.output;
    if (flags & CNVF_COMPRESS) {
      // The program's reader may refuse a stream that expands more than four times.
      size_t sequence = Find(image, "Mtsq");
      ASSERT_NE(sequence, std::string::npos);
      uint32_t stored = velkgate::testing::BE32(image, sequence + 4);
      uint32_t expanded = velkgate::testing::BE32(image, sequence + 8);
      ASSERT_LT(expanded, 4 * stored);
    }

    CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
    uint32_t report = 0;
    CVelkFileChunk file(stream, &report);

    velktest::RecordList list;
    uint8_t value = 0;
    uint8_t timeBase = 24;
    int priority = 0;
    file.ReadScoreTracks(value, timeBase, list.List(), priority, nullptr);
    EXPECT_EQ(timeBase, 0x02);
    std::vector<Rec> notes;
    for (const Rec& r : list.Records())
      if ((r.bytes[0] & 0xF0) == 0x90) notes.push_back(r);
    std::vector<Rec> expected;
    for (uint32_t i = 0; i < 12; ++i) {
      // 96 ticks are 25 VELK ticks at 500000 and 20 at 400000.
      uint32_t start = i <= 10 ? 25 * i : 250 + 20 * (i - 10);
      uint32_t end = i + 1 <= 10 ? 25 * (i + 1) : 250 + 20 * (i + 1 - 10);
      expected.push_back(Rec{start, {0x90, static_cast<uint8_t>(60 + i), static_cast<uint8_t>(40 + i)}, end, 0});
    }
    EXPECT_EQ(notes, expected);

    CMasterTrackChunk* master = nullptr;
    CMasterTrackIter masters(file.GetMasterTracks());
    ASSERT_TRUE(masters.Next(master));
    ASSERT_NE(master->GetSequenceChunk(), nullptr);
    EXPECT_EQ(Body(*master->GetSequenceChunk()),
              Hex("00 F0 9E C2 20 00 BA 04 81 7A F0 98 B5 00 00 00 00 00"));

    Image texts;
    const COptionalDataChunk& opda = file.GetOptionalDataChunk();
    for (CDataChunk* dch : {opda.GetDataChunk(), opda.GetDataChunkFF()})
      if (dch) texts += Bytes(dch->GetData());
    EXPECT_NE(Find(texts, std::string("ST\0\x04Song", 8)), std::string::npos);

    CScoreTrackChunk* track = nullptr;
    CScoreTrackIter tracks(file.GetScoreTracks());
    ASSERT_TRUE(tracks.Next(track));
    EXPECT_EQ(track->GetTrackNumber(), 5);
    auto* setup = dynamic_cast<CVoiceSetupChunk*>(track->GetSetupChunk());
    ASSERT_NE(setup, nullptr);
    ASSERT_GE(setup->GetVoiceCount(), 1);
    const CVoiceItem* voice = setup->GetVoice(0);
    ASSERT_NE(voice, nullptr);
    std::unique_ptr<CVoiceItem> original(FmVoice());
    EXPECT_EQ(voice->GetProgram(), kFmProgram);
    EXPECT_EQ(Image(voice->GetFmVoice(), voice->GetFmVoice() + CVoiceItem::GetFmVoiceSize()),
              Image(original->GetFmVoice(), original->GetFmVoice() + CVoiceItem::GetFmVoiceSize()));

    ASSERT_NE(track->GetStreamPcmChunk(), nullptr);
    CWaveDataChunk* wave = track->GetStreamPcmChunk()->GetWaves().GetItem(1);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->GetNumber(), 1);
    EXPECT_EQ(wave->GetRate(), 8000);
    EXPECT_EQ(Bytes(wave->GetWaveData()), StreamWave());
  }
}

/// An image built with the program's own chunk classes.
Image ProgramImage() {
  CVelkFileChunk file;
  CContentsInfo record;
  record.Reset(3);
  record.SetContentsTypeByte(0x32);
  file.SetContentsInfo(record);
  auto dch = std::make_unique<CDataChunk>(0x01);
  Image entry = Hex("5354 0004") + Image{'S', 'o', 'n', 'g'};
  dch->GetData().Write(entry.data(), static_cast<uint32_t>(entry.size()));
  file.GetOptionalDataChunk().SetDataChunk(std::move(dch));

  auto track = std::make_unique<CScoreTrackChunk>(5, CScoreTrackChunk::kFormatPlain, 0, 0x02, 0x02, 0);
  auto sequence = std::make_unique<CScoreSequenceChunk>(MakeChunkId('M', 't', 's', 'q'));
  Image notes = Hex("00 90 3C 64 19 19 FF 2F 00");
  sequence->SetBodyCopy(notes.data(), static_cast<uint32_t>(notes.size()));
  track->SetSequenceChunk(std::move(sequence));
  file.AddScoreTrack(std::move(track));
  // velk/ builds no master track: it is read from its bytes.
  Image master = Hex("4D535452 00000018 00 00 02 00 4D737371 0000000C 00 F0 9E C2 20 00 BA 04 00 00 00 00");
  CMemStream masterStream(master.data(), static_cast<int32_t>(master.size()), false);
  file.AddMasterTrack(std::make_unique<CMasterTrackChunk>(masterStream));
  CMemStream out;
  file.Write(out);
  return Bytes(out);
}

TEST_F(VelkInterop, CnvFromReadsWhatTheProgramWrites) {
  Image image = ProgramImage();
  for (bool retime : {false, true}) {
    SCOPED_TRACE(retime);
    Call c = CallEntry(m_from, image, retime ? CNVF_RETIME_480 : 0);
    ASSERT_TRUE(c.Converted()) << std::hex << c.result;
    midigate::testing::OutFile out = midigate::testing::ReadOutput(c.output);
    std::vector<midigate::testing::OutEvent> found;
    for (const auto& e : out.events)
      if (e.bytes[0] == 0x90 || (e.bytes[0] == 0xFF && e.bytes[1] == 0x51)) found.push_back(e);
    std::vector<midigate::testing::OutEvent> expected = {
        {0, retime ? Hex("FF 51 03 00 04 12") : Hex("FF 51 03 00 0F A0")},
        {0, Hex("90 3C 64")},
        {retime ? 96u : 25u, Hex("90 3C 00")}};
    EXPECT_EQ(found, expected);

    velkgate::CMidiList list;
    uint32_t report = 0;
    list.ReadSmf(c.output.data(), static_cast<uint32_t>(c.output.size()), &report);
    EXPECT_STREQ(list.GetContentsInfo().GetSongTextInfo().GetText(1), "Song");
  }
}

}  // namespace
