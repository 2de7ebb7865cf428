// The built Velkgate loaded as the program loads it: exports, both drivers and their flags.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "PluginFixture.h"
#include "VelkgateFixture.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/ScoreSequenceChunk.h"
#include "plugins/velkgate/ScoreTrackChunk.h"
#include "plugins/velkgate/SetupDataChunk.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "plugins/velkgate/TrSig.h"
#include "song/MemStream.h"
#include "velk/Crc16.h"

namespace velkgate {
namespace {

using midigate::testing::OutEvent;
using midigate::testing::OutFile;
using midigate::testing::ReadOutput;
using midigate::testing::SmfWriter;
using testing::Call;
using testing::CallEntry;
using testing::ContentsBody;
using testing::FileImage;
using testing::Hex;
using testing::Image;
using testing::StatusBody;
using testing::TempoBody;
using testing::operator+;
using testing::operator+=;

constexpr uint32_t kPlain = 0x20;

/// A song of one note on channel 0 that sounds from tick 0 to endTick (division 480), with
/// contents information that asks for a master track.
Image NoteSong(uint32_t endTick, uint32_t tempo = 480000, uint8_t note = 60) {
  return SmfWriter(0, 480)
      .SysEx(0, ContentsBody())
      .SysEx(0, TempoBody(tempo))
      .Raw(0, {0xC0, 0x05})
      .Raw(0, {0x90, note, 100})
      .Raw(endTick, {0x80, note, 0})
      .End()
      .Build();
}

/// Notes on a 96-tick grid with a tempo change at tick 960.
Image GridSong() {
  SmfWriter w(0, 480);
  w.SysEx(0, ContentsBody()).SysEx(0, TempoBody(500000)).Raw(0, {0xC0, 0x05});
  for (int i = 0; i < 12; ++i) {
    uint8_t key = static_cast<uint8_t>(60 + i);
    w.Raw(i == 0 ? 0 : 96, {0x90, key, static_cast<uint8_t>(40 + i)});
    if (i == 5) w.SysEx(0, TempoBody(400000));
    w.Raw(96, {0x80, key, 0});
  }
  return w.End().Build();
}

/// A CNTI of class, type and copy status, without option text.
Image Cnti(uint8_t contentsClass = 0, uint8_t type = 0x32) {
  return Hex("434E5449 00000005") + Image{contentsClass, type, 0x01, 0xF8, 0x00};
}

/// "MTR" + n with format type, time base and a plain sequence of one note of 25 ticks.
Image ScoreTrack(uint8_t n, uint8_t format, uint8_t timeBase,
                 const Image& stream = Hex("00 90 3C 64 19 19 FF 2F 00")) {
  Image sequence = Hex("4D747371");
  AppendBE32(sequence, static_cast<uint32_t>(stream.size()));
  sequence += stream;
  Image body = {format, 0x00, timeBase, timeBase};
  body.resize(body.size() + 16, 0x00);
  body += sequence;
  Image track = {'M', 'T', 'R', n};
  AppendBE32(track, static_cast<uint32_t>(body.size()));
  return track + body;
}

/// Song data written by Velkgate's own MIDI list: one note, a stream wave in slot 1.
Image StreamSong(uint8_t format, uint16_t rate) {
  CMidiList list;
  list.GetSetup().SetTimeBase(480);
  list.GetSetup().SetOwnsObjects(1);
  auto* slot = new CStreamPCMSlot();
  slot->SetId(1);
  slot->SetFormat(format);
  slot->SetRate(rate);
  Image wave(200);
  for (size_t i = 0; i < wave.size(); ++i) wave[i] = static_cast<uint8_t>(i * 7);
  slot->SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
  list.GetSetup().SetStreamPcmSlot(1, slot);
  list.GetContentsInfo().SetOptionByte1(0);
  std::vector<uint8_t> tempo = MakeTempoMessage(500000);
  list.GetMainList().Add(testing::Event(0, tempo));
  list.GetMainList().Add(testing::Event(0, Hex("90 3C 40"), 480));
  list.GetStreamList().Add(testing::Event(0, Hex("92 00 40"), 480));
  CMemStream out;
  uint32_t report = 0;
  EXPECT_EQ(list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report), 1);
  return testing::StreamBytes(out);
}

class VelkgatePlugin : public testing::VelkgateModule {
 protected:
  Call From(const Image& image, uint32_t flags = 0) const { return CallEntry(m_from, image, flags); }
  Call To(const Image& song, uint32_t flags = kPlain) const { return CallEntry(m_to, song, flags); }
  /// The song data of an image written from a song.
  OutFile RoundTrip(const Image& song, uint32_t toFlags = kPlain, uint32_t fromFlags = 0) const {
    Call image = To(song, toFlags);
    EXPECT_TRUE(image.Converted()) << std::hex << image.result;
    Call back = From(image.output, fromFlags);
    EXPECT_TRUE(back.Converted()) << std::hex << back.result;
    return ReadOutput(back.output);
  }
};

std::vector<OutEvent> NoteOns(const OutFile& file) {
  std::vector<OutEvent> out;
  for (const OutEvent& e : file.events)
    if ((e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] != 0) out.push_back(e);
  return out;
}

TEST_F(VelkgatePlugin, ReportsVersion2970AndTheK929Prefix) {
  auto version = reinterpret_cast<GetKZxVersionFunc>(m_library.Symbol("GetKZxVersion"));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version(), 0x2970u);
  EXPECT_EQ(GetTrSigPrefix(version()), "K929");
}

TEST_F(VelkgatePlugin, ExportsOnlyItsThreeEntryPoints) {
  for (const char* inner : {"_ZN10CMemStreamC1Ei", "_Z5Crc16jPKh", "_Z15BuildCrc16Tablev",
                            "_ZN8velkgate14GetTrSigPrefixB5cxx11Ej"})
    EXPECT_EQ(m_library.Symbol(inner), nullptr) << inner;
  std::string command = std::string("nm -D --defined-only '") + VELKGATE_PLUGIN_PATH + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (fgets(line, sizeof line, pipe)) {
    std::string text(line);
    size_t space = text.find_last_of(' ');
    if (space != std::string::npos) names.insert(text.substr(space + 1, text.find('\n') - space - 1));
  }
  if (pclose(pipe) != 0 || names.empty()) GTEST_SKIP() << "nm is not available";
  EXPECT_EQ(names, (std::set<std::string>{"CnvFrom", "CnvTo", "GetKZxVersion"}));
}

TEST_F(VelkgatePlugin, NullRecordSourceOrDestinationGiveTheirCodes) {
  EXPECT_EQ(m_from(nullptr, kCnvParamSize), CNVERR_FAILED);
  EXPECT_EQ(m_to(nullptr, kCnvParamSize), CNVERR_FAILED);
  EXPECT_EQ(From(Image{}).result, CNVERR_FORMAT);
  EXPECT_EQ(To(Image{}).result, CNVERR_FAILED);

  Call image = To(NoteSong(480));
  ASSERT_TRUE(image.Converted());
  for (CnvEntryFunc entry : {m_from, m_to}) {
    const Image& source = entry == m_from ? image.output : NoteSong(480);
    CnvParam param{};
    param.flags = kPlain;
    param.src = source.data();
    param.srcSize = static_cast<uint32_t>(source.size());
    param.dstSize = 1 << 20;
    EXPECT_EQ(entry(&param, 0), CNVERR_DSTSIZE);
    EXPECT_EQ(param.dstSize, 1u << 20);
  }
}

TEST_F(VelkgatePlugin, RefusesImagesItCannotConvert) {
  Image track5 = ScoreTrack(5, 2, 0x02);
  struct Case {
    const char* name;
    Image image;
  } cases[] = {
      {"not MMMD", Hex("4D4D4D58") + FileImage(Cnti() + track5)},
      {"three bytes", Hex("4D4D4D")},
      {"first chunk not CNTI", FileImage(Hex("58585858 00000005 0000000000") + track5)},
      {"no track 5", FileImage(Cnti() + ScoreTrack(6, 2, 0x02))},
      {"track 5 of format 3", FileImage(Cnti() + ScoreTrack(5, 3, 0x02))},
      {"only CNTI", FileImage(Cnti())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(From(c.image).result, CNVERR_FORMAT);
  }
  EXPECT_TRUE(From(FileImage(Cnti() + track5)).Converted());
}

TEST_F(VelkgatePlugin, ConvertsAnImageWhoseCrcIsWrong) {
  Call image = To(NoteSong(480));
  ASSERT_TRUE(image.Converted());
  Image broken = image.output;
  broken.back() ^= 0x5A;
  Call good = From(image.output);
  Call bad = From(broken);
  ASSERT_TRUE(bad.Converted());
  EXPECT_EQ(bad.output, good.output);
}

TEST_F(VelkgatePlugin, FromKeepsTheEntryMaskAndAddsWhatItRead) {
  // Without contents information (no 7D 01) the default record holds contents type 0x32.
  Image song = SmfWriter(0, 480)
                   .SysEx(0, TempoBody(500000))
                   .Raw(0, {0x90, 60, 100}).Raw(480, {0x80, 60, 0})
                   .End().Build();
  Call plain = To(song, kPlain);
  Call packed = To(song, kPlain | CNVF_COMPRESS);
  ASSERT_TRUE(plain.Converted());
  ASSERT_TRUE(packed.Converted());
  EXPECT_EQ(From(plain.output, 0xFFFFFFFF).flags, 0x0C00FF25u);
  EXPECT_EQ(From(packed.output, 0xFFFFFFFF).flags, 0x0C00FFA5u);
}

TEST_F(VelkgatePlugin, FromMapsTimeBaseCodesByTheTable) {
  const std::pair<uint8_t, uint32_t> table[] = {{0x00, 0x00}, {0x01, 0x10}, {0x02, 0x20},
                                                {0x03, 0x30}, {0x10, 0x40}, {0x11, 0x50},
                                                {0x12, 0x60}, {0x13, 0x70}, {0x05, 0x20},
                                                {0x20, 0x20}};
  for (auto [code, flag] : table) {
    SCOPED_TRACE(int{code});
    Call c = From(FileImage(Cnti() + ScoreTrack(5, 2, code)));
    ASSERT_TRUE(c.Converted());
    EXPECT_EQ(c.flags & CNVF_TIMEBASE, flag);
  }
}

TEST_F(VelkgatePlugin, FromWritesVelkTicksOrRetimesTo480) {
  Image image = FileImage(Cnti() + ScoreTrack(5, 2, 0x02));
  OutFile plain = ReadOutput(From(image).output);
  EXPECT_EQ(plain.division, 0);
  std::vector<OutEvent> expected = {{0, Hex("FF 51 03 00 0F A0")}, {0, Hex("90 3C 64")}, {25, Hex("90 3C 00")}};
  std::vector<OutEvent> found;
  for (const OutEvent& e : plain.events)
    if (e.bytes[0] == 0x90 || (e.bytes[0] == 0xFF && e.bytes[1] == 0x51)) found.push_back(e);
  EXPECT_EQ(found, expected);

  OutFile retimed = ReadOutput(From(image, CNVF_RETIME_480).output);
  EXPECT_EQ(retimed.division, 480);
  expected = {{0, Hex("FF 51 03 00 04 12")}, {0, Hex("90 3C 64")}, {96, Hex("90 3C 00")}};
  found.clear();
  for (const OutEvent& e : retimed.events)
    if (e.bytes[0] == 0x90 || (e.bytes[0] == 0xFF && e.bytes[1] == 0x51)) found.push_back(e);
  EXPECT_EQ(found, expected);
}

TEST_F(VelkgatePlugin, FromPutsTheEventsOfSeveralTracksInTickOrder) {
  Image track5 = ScoreTrack(5, 2, 0x02, Hex("00 90 3C 64 0A 32 90 3E 64 0A 0A FF 2F 00"));
  Image track6 = ScoreTrack(6, 2, 0x02, Hex("19 91 40 64 0A 0A FF 2F 00"));
  Call c = From(FileImage(Cnti() + track5 + track6));
  ASSERT_TRUE(c.Converted()) << std::hex << c.result;
  std::vector<OutEvent> expected = {{0, Hex("90 3C 64")}, {25, Hex("91 40 64")}, {50, Hex("90 3E 64")}};
  EXPECT_EQ(NoteOns(ReadOutput(c.output)), expected);
}

TEST_F(VelkgatePlugin, ToKeepsOnlyTheLow16BitsOfTheFlags) {
  Call c = To(NoteSong(480), 0xFFFF0000 | kPlain);
  ASSERT_TRUE(c.Converted());
  EXPECT_EQ(c.flags, kPlain);
  c = To(NoteSong(480), 0x0000FF27);
  ASSERT_TRUE(c.Converted());
  EXPECT_EQ(c.flags, 0x0000FF27u);
}

TEST_F(VelkgatePlugin, ToWritesTheTimeBaseCodeOfItsFlags) {
  const std::pair<uint32_t, uint8_t> table[] = {{0x20, 0x02}, {0x30, 0x03}, {0x40, 0x10},
                                                {0x50, 0x11}, {0x60, 0x02}, {0x00, 0x02},
                                                {0x70, 0x02}, {0x10, 0x02}};
  for (auto [flag, code] : table) {
    SCOPED_TRACE(flag);
    Call c = To(NoteSong(4800), flag);
    ASSERT_TRUE(c.Converted()) << std::hex << c.result;
    size_t track = testing::Find(c.output, "MTR\x05");
    ASSERT_NE(track, std::string::npos);
    EXPECT_EQ(c.output[track + 10], code);
    EXPECT_EQ(c.output[track + 11], code);
    size_t master = testing::Find(c.output, "MSTR");
    ASSERT_NE(master, std::string::npos);
    EXPECT_EQ(c.output[master + 10], code);
  }
}

TEST_F(VelkgatePlugin, ToLeavesOutNotesAbove114) {
  Call high = To(NoteSong(480, 480000, 115));
  ASSERT_TRUE(high.Converted() || high.result == CNVERR_TOOSHORT) << std::hex << high.result;
  EXPECT_EQ(high.flags & CNVF_NOTES_DROPPED, CNVF_NOTES_DROPPED);

  Image both = SmfWriter(0, 480)
                   .SysEx(0, TempoBody(480000))
                   .Raw(0, {0x90, 114, 100}).Raw(0, {0x90, 115, 90})
                   .Raw(480, {0x80, 114, 0}).Raw(0, {0x80, 115, 0})
                   .End().Build();
  Call c = To(both);
  ASSERT_TRUE(c.Converted());
  EXPECT_EQ(c.flags & CNVF_NOTES_DROPPED, CNVF_NOTES_DROPPED);
  std::vector<OutEvent> notes = NoteOns(ReadOutput(From(c.output).output));
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].bytes, Hex("90 72 64"));

  Call kept = To(NoteSong(480, 480000, 114));
  EXPECT_EQ(kept.flags & CNVF_NOTES_DROPPED, 0u);
}

TEST_F(VelkgatePlugin, ToRefusesSongsOf20MsOrLess) {
  // At 480000 a tick of division 480 is one millisecond.
  const struct {
    uint32_t flags;
    uint32_t endTick;
    bool converts;
  } cases[] = {{0x20, 20, false}, {0x20, 24, true}, {0x30, 20, false}, {0x30, 25, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.endTick);
    Call call = To(NoteSong(c.endTick), c.flags);
    if (c.converts)
      EXPECT_TRUE(call.Converted()) << std::hex << call.result;
    else
      EXPECT_EQ(call.result, CNVERR_TOOSHORT);
  }
}

TEST_F(VelkgatePlugin, ToRefusesALengthOrGapBeyond0x1FFFFFTicks) {
  // 0x200000 ticks of 4 ms: 8388.608 s, at one millisecond a tick.
  Image gap = SmfWriter(0, 480)
                  .SysEx(0, TempoBody(480000))
                  .Raw(0, {0x90, 60, 100}).Raw(480, {0x80, 60, 0})
                  .Raw(8388608 - 480, {0x90, 62, 100}).Raw(480, {0x80, 62, 0})
                  .End().Build();
  Call c = To(gap);
  EXPECT_EQ(c.result, CNVERR_FAILED);
  EXPECT_EQ(c.flags & CNVF_LENGTH_OVER, CNVF_LENGTH_OVER);

  Image near = SmfWriter(0, 480)
                   .SysEx(0, TempoBody(480000))
                   .Raw(0, {0x90, 60, 100}).Raw(480, {0x80, 60, 0})
                   .Raw(8388600 - 480, {0x90, 62, 100}).Raw(480, {0x80, 62, 0})
                   .End().Build();
  c = To(near);
  EXPECT_TRUE(c.Converted()) << std::hex << c.result;
  EXPECT_EQ(c.flags & CNVF_LENGTH_OVER, 0u);
}

TEST_F(VelkgatePlugin, EveryImageEndsWithItsCrcAndSizeField) {
  for (uint32_t flags : {kPlain, kPlain | CNVF_COMPRESS}) {
    Call c = To(GridSong(), flags);
    ASSERT_TRUE(c.Converted());
    const Image& image = c.output;
    ASSERT_GE(image.size(), 10u);
    EXPECT_EQ(testing::BE32(image, 4), image.size() - 8);
    BuildCrc16Table();
    uint16_t crc = Crc16(static_cast<uint32_t>(image.size() - 2), image.data());
    EXPECT_EQ(image[image.size() - 2], crc >> 8);
    EXPECT_EQ(image[image.size() - 1], crc & 0xFF);
    size_t track = testing::Find(image, "MTR\x05");
    ASSERT_NE(track, std::string::npos);
    EXPECT_EQ(image[track + 8], (flags & CNVF_COMPRESS) ? 1 : 2);
  }
  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc16(9, check), 0xD64E);
}

TEST_F(VelkgatePlugin, ADestinationOneByteShortIsLeftUntouched) {
  Call image = To(GridSong());
  ASSERT_TRUE(image.Converted());
  Call data = From(image.output);
  ASSERT_TRUE(data.Converted());
  for (bool from : {true, false}) {
    SCOPED_TRACE(from);
    const Image source = from ? image.output : GridSong();
    uint32_t needed = from ? data.result : image.result;
    Image dst(needed - 1, 0xA5);
    CnvParam param{};
    param.flags = kPlain;
    param.src = source.data();
    param.srcSize = static_cast<uint32_t>(source.size());
    param.dst = dst.data();
    param.dstSize = needed - 1;
    EXPECT_EQ((from ? m_from : m_to)(&param, kCnvParamSize), CNVERR_DSTSIZE);
    EXPECT_EQ(param.dstSize, needed - 1);
    EXPECT_EQ(dst, Image(needed - 1, 0xA5));
    dst.assign(needed, 0);
    param.dst = dst.data();
    param.dstSize = needed;
    param.flags = kPlain;
    EXPECT_EQ((from ? m_from : m_to)(&param, kCnvParamSize), needed);
  }
}

TEST_F(VelkgatePlugin, GridNotesComeBackExactWhenRetimed) {
  OutFile out = RoundTrip(GridSong(), kPlain, CNVF_RETIME_480);
  std::vector<OutEvent> notes = NoteOns(out);
  ASSERT_EQ(notes.size(), 12u);
  for (size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(notes[i].tick, 192 * i) << i;
    EXPECT_EQ(notes[i].bytes, (Image{0x90, static_cast<uint8_t>(60 + i), static_cast<uint8_t>(40 + i)}));
  }
}

TEST_F(VelkgatePlugin, ToWritesNoMasterTrackWithCopyStatusBit2) {
  for (uint8_t copy : {0x00, 0x04, 0x7D}) {
    SCOPED_TRACE(int{copy});
    Image song = SmfWriter(0, 480)
                     .SysEx(0, ContentsBody(0, 0x32, copy))
                     .Raw(0, {0x90, 60, 100}).Raw(480, {0x80, 60, 0})
                     .End().Build();
    Call c = To(song);
    ASSERT_TRUE(c.Converted());
    EXPECT_EQ(testing::Find(c.output, "MSTR") == std::string::npos, (copy & 0x04) != 0);
  }
}

TEST_F(VelkgatePlugin, ToAsksClassOneSongsForAnLedChannel) {
  auto song = [](bool marked) {
    return SmfWriter(0, 480)
        .SysEx(0, ContentsBody(1))
        .SysEx(0, StatusBody(3, marked ? 0x10 : 0x01))
        .Raw(0, {0x93, 60, 100}).Raw(480, {0x83, 60, 0})
        .End().Build();
  };
  Call unmarked = To(song(false));
  EXPECT_EQ(unmarked.result, CNVERR_FAILED);
  EXPECT_EQ(unmarked.flags & CNVF_NO_LED_CHANNEL, CNVF_NO_LED_CHANNEL);
  Call skipped = To(song(false), kPlain | CNVF_SKIP_LED_CHECK);
  EXPECT_TRUE(skipped.Converted()) << std::hex << skipped.result;
  EXPECT_EQ(skipped.flags & CNVF_NO_LED_CHANNEL, 0u);

  Call marked = To(song(true));
  ASSERT_TRUE(marked.Converted()) << std::hex << marked.result;
  size_t track = testing::Find(marked.output, "MTR\x05");
  ASSERT_NE(track, std::string::npos);
  Image statuses(marked.output.begin() + static_cast<long>(track) + 12,
                 marked.output.begin() + static_cast<long>(track) + 28);
  Image expected(16, 0x00);
  expected[3] = 0x10;
  EXPECT_EQ(statuses, expected);
}

TEST_F(VelkgatePlugin, ToChecksStreamRatesByFormat) {
  const struct {
    uint8_t format;
    uint16_t rate;
    bool converts;
  } cases[] = {{0, 24000, true}, {0, 24001, false}, {2, 12000, true}, {2, 12001, false},
               {3, 12001, false}, {0, 3999, false}, {2, 3999, false}, {0, 4000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.format) + " " + std::to_string(c.rate));
    Call call = To(StreamSong(c.format, c.rate));
    if (c.converts) {
      ASSERT_TRUE(call.Converted()) << std::hex << call.result;
      EXPECT_EQ(call.flags & CNVF_BAD_RATE, 0u);
      size_t wave = testing::Find(call.output, "Mwa\x01");
      ASSERT_NE(wave, std::string::npos);
      EXPECT_EQ(testing::BE32(call.output, wave + 4), 203u);
      EXPECT_EQ(call.output[wave + 8], c.format == 0 ? 0x20 : 0x11);
      EXPECT_EQ((call.output[wave + 9] << 8) | call.output[wave + 10], c.rate);
    } else {
      EXPECT_EQ(call.result, CNVERR_FAILED);
      EXPECT_EQ(call.flags & CNVF_BAD_RATE, CNVF_BAD_RATE);
    }
  }
}

TEST_F(VelkgatePlugin, FromClampsTheRateOfAVoiceCarryingItsWave) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  auto* voice = new CVoiceItem();
  voice->SetBankMsb(124);
  voice->SetBankLsb(0);
  voice->SetProgram(3);
  voice->SetPcmFlag(1);
  voice->SetPcmFs(1000);
  voice->SetWaveId(5);
  Image samples(64, 0x33);
  voice->SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
  setup.SetVoiceItem(0, voice);
  uint32_t flags = 0;
  uint8_t status[16] = {};
  auto track = std::make_unique<CScoreTrackChunk>(5, 2, 0x02, 0x02, status);
  track->SetSetup(std::make_unique<CSetupDataChunk>(setup, flags));
  Image stream = Hex("00 90 3C 64 19 19 FF 2F 00");
  track->SetSequence(std::make_unique<CScoreSequenceChunk>(stream.data(), static_cast<uint32_t>(stream.size())));
  CVelkFileChunk file;
  file.AddScoreTrack(track.release());
  CMemStream image;
  file.Serialize(image);

  Call c = From(testing::StreamBytes(image));
  ASSERT_TRUE(c.Converted()) << std::hex << c.result;
  EXPECT_EQ(c.flags & CNVF_RATE_CORRECTED, CNVF_RATE_CORRECTED);
  CMidiList back;
  uint32_t report = 0;
  back.ReadSmf(c.output.data(), static_cast<uint32_t>(c.output.size()), &report);
  EXPECT_EQ(report & 0x20, 0u);  // already 1500 in the song data: the reader clamped nothing
  ASSERT_NE(back.GetSetup().GetVoiceItem(0), nullptr);
  EXPECT_EQ(back.GetSetup().GetVoiceItem(0)->GetPcmFs(), 1500);
  EXPECT_EQ(back.GetSetup().GetVoiceItem(0)->GetWaveSampleSize(), 64u);

  Call clean = From(FileImage(Cnti() + ScoreTrack(5, 2, 0x02)));
  EXPECT_EQ(clean.flags & CNVF_RATE_CORRECTED, 0u);
}

}  // namespace
}  // namespace velkgate
