// Tests of the converter's song-data SMF reader: header rules, merge, cues, channels, device
// messages, end steps and hostile inputs.
#include <gtest/gtest.h>

#include <algorithm>

#include "SmfTestTracks.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace velkgate {
namespace {

using testing::At;
using testing::Bytes;
using testing::Cat;
using testing::Device;
using testing::Hex;
using testing::Listing;
using testing::Meta;
using testing::PackedDevice;
using testing::ReadSong;
using testing::Smf;
using testing::Track;

using Lines = std::vector<std::string>;

const std::string kDefaultTempo = "0: F0 09 43 79 06 7D 10 1E 42 20 F7";
const std::string kDefaultMeter = "0: FF 58 04 04 02 18 08";

Bytes Song(std::initializer_list<Bytes> events) { return Smf(480, {Track(events)}); }

Bytes Voice(uint8_t msb, uint8_t kind, const Bytes& block) {
  return PackedDevice(kGroupDevice, kDeviceVoice, {msb, 0x00, 0x01, 0x00, kind}, block);
}

TEST(CMidiListReadSmf, RejectsBrokenHeadersWithZero) {
  Bytes good = Song({});
  Bytes format2 = good;
  format2[9] = 2;
  Bytes noTrack = good;
  noTrack[14] = 'X';
  for (const Bytes& smf : {Bytes(good.begin(), good.begin() + 13), format2, noTrack}) {
    auto out = ReadSong(smf, 0x40);
    EXPECT_TRUE(out.threw);
    EXPECT_EQ(out.thrown, 0);
    EXPECT_EQ(out.report, 0x40u);
  }
  EXPECT_FALSE(ReadSong(good).threw);
}

TEST(CMidiListReadSmf, EmptySongGetsTheDefaultsAtTickZero) {
  auto out = ReadSong(Song({}));
  ASSERT_FALSE(out.threw);
  EXPECT_EQ(Listing(out.list->GetMainList()), (Lines{kDefaultTempo, kDefaultMeter, "0: FF 2F 00"}));
  EXPECT_EQ(out.list->GetTempo(), 1042u);
  EXPECT_EQ(out.list->GetTempoMs(), 1u);
  EXPECT_EQ(out.list->GetValue120(), 120u);
  EXPECT_EQ(out.list->GetSetup().GetTimeBase(), 480);
  EXPECT_EQ(out.list->GetSetup().GetMasterVolume(), 100);
  for (int ch = 0; ch < 16; ++ch) {
    EXPECT_EQ(out.list->GetSetup().GetBankMsb(ch), 0);
    EXPECT_EQ(out.list->GetSetup().GetProgram(ch), 0);
    EXPECT_EQ(out.list->GetSetup().GetVolume(ch), 100);
  }
}

TEST(CMidiListReadSmf, SameTickEventsComeInTrackOrder) {
  Bytes smf = Smf(480, {Track({At(10, Hex("C0 01")), At(0, Hex("C0 02"))}),
                        Track({At(10, Hex("C1 03")), At(0, Hex("C1 04"))}),
                        Track({At(5, Hex("C2 05"))})});
  auto out = ReadSong(smf);
  ASSERT_FALSE(out.threw);
  Lines programs;
  for (const std::string& line : Listing(out.list->GetMainList()))
    if (line.find(": C") != std::string::npos) programs.push_back(line);
  EXPECT_EQ(programs, (Lines{"5: C2 05", "10: C0 01", "10: C0 02", "10: C1 03", "10: C1 04"}));
}

struct CueCase {
  const char* name;
  Bytes track;
  Lines cues;  // the cue points of the main list
  uint32_t report;
  bool fails;
};

TEST(CMidiListReadSmf, CueRules) {
  const Bytes start = Meta(0x07, "START");
  const Bytes stop = Meta(0x07, "STOP");
  const CueCase cases[] = {
      {"start without stop", Track({At(0, start), At(0, Hex("90 3C 40")), At(480, Hex("80 3C 00"))}),
       {"0: FF 07 05 53 54 41 52 54 cue 8", "480: FF 07 04 53 54 4F 50 cue 9"}, 0x02, false},
      {"stop without start", Track({At(0, Hex("C0 01")), At(10, stop)}),
       {"0: FF 07 05 53 54 41 52 54 cue 8", "10: FF 07 04 53 54 4F 50 cue 9"}, 0x02, false},
      {"two starts", Track({At(0, start), At(10, start), At(10, stop)}),
       {"10: FF 07 05 53 54 41 52 54 cue 8", "20: FF 07 04 53 54 4F 50 cue 9"}, 0x04, false},
      {"stop before start", Track({At(0, stop), At(10, start)}), {}, 0x80000001u, true},
      {"sections keep the last of a letter",
       Track({At(0, Meta(0x07, "01LSTPA")), At(5, Meta(0x07, "01LSTPA")),
              At(5, Meta(0x07, "01LSPPA")), At(0, Meta(0x07, "other"))}),
       {"5: FF 07 07 30 31 4C 53 54 50 41 cue 3", "10: FF 07 05 6F 74 68 65 72"}, 0, false},
      {"sequencer section mark", Track({At(0, Hex("FF 7F 04 43 7B 02 05")), At(0, Hex("FF 7F 04 43 7B 02 02"))}),
       {"0: FF 07 07 30 31 4C 53 54 50 53 cue 5"}, 0, false},
  };
  for (const CueCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto out = ReadSong(Smf(480, {c.track}));
    EXPECT_EQ(out.threw, c.fails);
    EXPECT_EQ(out.report, c.report);
    if (c.fails) continue;
    Lines cues;
    for (const std::string& line : Listing(out.list->GetMainList()))
      if (line.find("FF 07") != std::string::npos) cues.push_back(line);
    EXPECT_EQ(cues, c.cues);
  }
}

TEST(CMidiListReadSmf, StopGoesAfterTheLastNoteAndBeforeTheTrackEnd) {
  auto out = ReadSong(Song({At(0, Meta(0x07, "START")), At(0, Hex("90 3C 40")),
                            At(480, Hex("80 3C 00"))}));
  Lines lines = Listing(out.list->GetMainList());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "480: FF 07 04 53 54 4F 50 cue 9");
  EXPECT_EQ(lines.back(), "480: FF 2F 00");
}

struct ChannelCase {
  const char* name;
  Bytes events;   // the events of one track
  Lines channel;  // the main list's channel messages
  uint32_t report;
};

TEST(CMidiListReadSmf, ChannelMessages) {
  const ChannelCase cases[] = {
      {"bank 7B becomes 7D, 5 becomes 0", Cat({At(0, Hex("B0 00 7B")), At(0, Hex("B1 00 05"))}),
       {"0: B0 00 7D", "0: B1 00 00"}, 0x01},
      {"a note pair gives one note",
       Cat({At(0, Hex("90 3C 40")), At(100, Hex("90 3C 00"))}), {"0: 90 3C 40 end 100"}, 0},
      {"repeated notes end oldest first",
       Cat({At(0, Hex("90 3C 40")), At(10, Hex("90 3C 41")), At(10, Hex("80 3C 00")), At(10, Hex("80 3C 00"))}),
       {"0: 90 3C 40 end 20", "10: 90 3C 41 end 30"}, 0},
      {"an open note ends at its track end", Cat({At(0, Hex("91 40 40")), At(50, Hex("B1 07 10"))}),
       {"0: 91 40 40 end 50", "50: B1 07 10"}, 0},
      {"drum bank programs above 10 become 0", Cat({At(0, Hex("B2 00 7D")), At(0, Hex("C2 0B"))}),
       {"0: B2 00 7D", "0: C2 00"}, 0x01},
      {"program change while notes sound",
       Cat({At(0, Hex("90 3C 40")), At(0, Hex("C0 05")), At(10, Hex("80 3C 00"))}),
       {"0: 90 3C 40 end 10", "0: C0 05"}, 0x200},
      {"running status", Cat({At(0, Hex("90 3C 40")), At(0, Hex("3E 40")), At(5, Hex("3C 00")), At(0, Hex("3E 00"))}),
       {"0: 90 3C 40 end 5", "0: 90 3E 40 end 5"}, 0},
  };
  for (const ChannelCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes track = c.events;
    AppendBytes(track, Hex("00 FF 2F 00").data(), 4);
    auto out = ReadSong(Smf(480, {track}));
    ASSERT_FALSE(out.threw);
    EXPECT_EQ(out.report, c.report);
    Lines all = Listing(out.list->GetMainList());
    Lines picked;
    for (const std::string& line : all)
      if (line.find(": F") == std::string::npos) picked.push_back(line);
    EXPECT_EQ(picked, c.channel);
  }
}

TEST(CMidiListReadSmf, SetupFollowsTheChannelMessages) {
  auto out = ReadSong(Song({At(0, Hex("B3 00 7C")), At(0, Hex("B3 20 02")), At(0, Hex("C3 07")),
                            At(0, Hex("B3 07 55")), At(0, Hex("B3 38 01"))}));
  const CSongSetup& setup = out.list->GetSetup();
  EXPECT_EQ(setup.GetBankMsb(3), 0x7C);
  EXPECT_EQ(setup.GetBankLsb(3), 0x02);
  EXPECT_EQ(setup.GetProgram(3), 0x07);
  EXPECT_EQ(setup.GetVolume(3), 0x55);
  EXPECT_EQ(out.list->GetControl56Channels(), 1u << 3);
}

TEST(CMidiListReadSmf, DataByteWithTopBitFails) {
  auto out = ReadSong(Song({At(0, Hex("90 3C 40")), At(0, Hex("90 BC 40"))}));
  EXPECT_TRUE(out.threw);
  EXPECT_EQ(out.thrown, 0);
}

TEST(CMidiListReadSmf, MetaEvents) {
  auto out = ReadSong(Song({At(0, Hex("FF 58 04 03 02 18 08")), At(10, Hex("FF 58 04 03 02 18 08")),
                            At(10, Hex("FF 58 04 00 02 18 08")), At(0, Hex("FF 59 02 08 00")),
                            At(0, Hex("FF 59 02 02 00")), At(0, Hex("FF 51 03 00 03 E8")),
                            At(0, Hex("FF 51 03 00 07 D0")), At(0, Meta(0x06, "mark")),
                            At(0, Meta(0x05, "lyric")), At(0, Hex("FF 7F 03 44 01 02")),
                            At(0, Hex("FF 7F 06 43 7B 01 31 05 7F")),
                            At(0, Hex("FF 7F 06 43 7B 01 38 05 7F"))}));
  ASSERT_FALSE(out.threw) << out.thrown;
  EXPECT_EQ(Listing(out.list->GetMainList()),
            (Lines{kDefaultTempo, "0: FF 58 04 03 02 18 08", "20: FF 59 02 02 00",
                   "20: FF 51 03 00 03 E8", "20: FF 51 03 00 07 D0", "20: FF 06 04 6D 61 72 6B",
                   "20: FF 7F 03 44 01 02", "20: FF 7F 06 43 7B 01 31 05 7F", "20: FF 2F 00"}));
  EXPECT_EQ(out.list->GetTempo(), 1000u);
  EXPECT_EQ(out.list->GetTempoMs(), 1u);
}

TEST(CMidiListReadSmf, QxTextFillsTheSongTexts) {
  auto out = ReadSong(Song({At(0, Meta(0x01, "QXln:KR:Title:Words:Music")),
                            At(0, Meta(0x02, "(c) us"))}));
  const CContentsInfo& info = out.list->GetContentsInfo();
  EXPECT_STREQ(info.GetSongTextInfo().GetText(1), "Title");
  EXPECT_STREQ(info.GetSongTextInfo().GetText(2), "Words");
  EXPECT_STREQ(info.GetSongTextInfo().GetText(3), "Music");
  EXPECT_EQ(out.list->GetLanguageIndex(), 2);
  EXPECT_EQ(info.GetText(4), "(c) us");
  EXPECT_EQ(info.GetOptionByte1(), 1);
  EXPECT_TRUE(info.GetFlagC());
  EXPECT_EQ(Listing(out.list->GetMainList()).size(), 3u);  // the texts are not events
}

TEST(CMidiListReadSmf, TempoMessageForms) {
  struct Case {
    Bytes message;
    uint32_t tempo;
  };
  const Case cases[] = {
      {Hex("F0 09 43 79 06 7D 10 24 4F 60 F7"), (0x24u << 14) | (0x4Fu << 7) | 0x60},
      {Hex("F0 0A 43 79 06 7D 10 01 24 27 40 F7"), (1u << 21) | (0x24u << 14) | (0x27u << 7) | 0x40},
      {Hex("F0 09 43 79 06 7D 10 A4 A7 40 F7"), (0x24u << 14) | (0x27u << 7) | 0x40},
  };
  for (const Case& c : cases) {
    auto out = ReadSong(Song({At(10, c.message), At(10, c.message)}));
    ASSERT_FALSE(out.threw);
    Lines lines = Listing(out.list->GetMainList());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], kDefaultTempo);
    EXPECT_EQ(lines[2], "10: " + testing::ToHex(MakeTempoMessage(c.tempo)));
  }
  // The same tempo as the current one is not stored again.
  auto same = ReadSong(Song({At(0, MakeTempoMessage(500000)), At(10, MakeTempoMessage(500000))}));
  EXPECT_EQ(Listing(same.list->GetMainList()),
            (Lines{kDefaultMeter, kDefaultTempo, "10: FF 2F 00"}));
}

TEST(CMidiListReadSmf, TooManyVoicesFail) {
  Bytes track;
  Bytes voice = At(0, Voice(0x7C, 0, Bytes(17, 0x01)));
  for (int i = 0; i < 128; ++i) track.insert(track.end(), voice.begin(), voice.end());
  Bytes end = Hex("00 FF 2F 00");
  auto ok = ReadSong(Smf(480, {Cat({track, end})}));
  EXPECT_FALSE(ok.threw);
  EXPECT_NE(ok.list->GetSetup().GetVoiceItem(127), nullptr);
  auto out = ReadSong(Smf(480, {Cat({track, voice, end})}));
  EXPECT_TRUE(out.threw);
  EXPECT_EQ(out.report, 0x80000003u);
}

TEST(CMidiListReadSmf, VoicesAndWaves) {
  Bytes pcm(CVoiceItem::GetPcmVoiceSize(), 0);
  pcm[0] = 0x03;  // rate 800 Hz: clamped
  pcm[1] = 0x20;
  pcm[15] = 0x05;  // wave id 5, RM clear
  Bytes wave1(10, 0x11);
  Bytes wave2(4, 0x22);
  auto out = ReadSong(Song({At(0, Voice(0x7C, 0, Bytes(200, 0x01))), At(0, Voice(0x7D, 9, Bytes(3, 0))),
                            At(0, Voice(0x7C, 1, pcm)),
                            At(0, PackedDevice(kGroupDevice, kDeviceWave, {0x05, 0x22}, wave1)),
                            At(0, PackedDevice(kGroupDevice, kDeviceWave, {0x05, 0x02}, wave2))}));
  ASSERT_FALSE(out.threw);
  EXPECT_EQ(out.report, 0x08u | 0x20u);
  const CSongSetup& setup = out.list->GetSetup();
  const CVoiceItem* fm = setup.GetVoiceItem(0);
  const CVoiceItem* p = setup.GetVoiceItem(1);
  ASSERT_NE(fm, nullptr);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(fm->GetBankMsb(), 0x7C);
  EXPECT_FALSE(fm->IsPcm());
  EXPECT_EQ(fm->GetFmVoice()[0], 0x01);
  EXPECT_TRUE(p->IsPcm());
  EXPECT_EQ(p->GetPcmFs(), 1500);
  ASSERT_EQ(p->GetWaveSampleSize(), 14u);
  EXPECT_EQ(p->GetWaveSamples()[0], 0x11);
  EXPECT_EQ(p->GetWaveSamples()[13], 0x22);
  EXPECT_EQ(p->GetWaveHeaderFlags() & 3, 2);
}

TEST(CMidiListReadSmf, StreamChannelNotesGoToTheStreamList) {
  auto out = ReadSong(Song({At(0, Hex("B0 00 7D")), At(0, Hex("C0 01")), At(0, Hex("B0 0A 20")),
                            At(0, Hex("90 00 40")), At(0, Hex("90 5C 40")), At(0, Hex("90 3C 40")),
                            At(0, Hex("90 70 40")), At(10, Hex("80 00 00")),
                            At(0, Hex("80 5C 00"))}));
  ASSERT_FALSE(out.threw);
  EXPECT_EQ(Listing(out.list->GetStreamList()),
            (Lines{"0: B0 0A 20", "0: 90 00 40 end 10", "0: 90 5C 40 end 10"}));
  Lines main = Listing(out.list->GetMainList());
  EXPECT_NE(std::find(main.begin(), main.end(), "0: 90 3C 40 end 10"), main.end());
  EXPECT_EQ(std::find(main.begin(), main.end(), "0: 90 70 40 end 10"), main.end());
  EXPECT_EQ(out.list->GetSetup().GetSlotFlag(1), 1);
  EXPECT_EQ(out.list->GetSetup().GetSlotFlag(14), 1);
  EXPECT_EQ(out.list->GetSetup().GetSlotFlag(2), 0);
}

TEST(CMidiListReadSmf, UnconfirmedStreamPansAreDropped) {
  auto out = ReadSong(Song({At(0, Hex("B0 00 7D")), At(0, Hex("C0 01")), At(0, Hex("B0 0A 20")),
                            At(0, Hex("90 00 40")), At(10, Hex("B0 0A 30")),
                            At(10, Hex("80 00 00"))}));
  EXPECT_EQ(Listing(out.list->GetStreamList()), (Lines{"0: B0 0A 20", "0: 90 00 40 end 20"}));
}

TEST(CMidiListReadSmf, StreamPiecesJoinAndPairedSlotsBecomePartners) {
  Bytes first = Cat({Hex("1F 40"), Bytes(5, 0x33)});
  Bytes second = Cat({Hex("00 00"), Bytes(3, 0x44)});
  Bytes other = Cat({Hex("1F 40"), Bytes(2, 0x55)});
  auto out = ReadSong(Song({At(0, Device(kGroupDevice, kDeviceStreamPair, {0x00, 0x01, 0x02})),
                            At(0, Device(kGroupDevice, kDeviceStreamSlot, {0x01, 0x00, 0x00})),
                            At(0, Device(kGroupDevice, kDeviceStreamSlot, {0x02, 0x00, 0x7F})),
                            At(0, PackedDevice(kGroupDevice, kDeviceStreamWave, {0x01, 0x26}, first)),
                            At(0, PackedDevice(kGroupDevice, kDeviceStreamWave, {0x01, 0x06}, second)),
                            At(0, PackedDevice(kGroupDevice, kDeviceStreamWave, {0x02, 0x00}, other))}));
  ASSERT_FALSE(out.threw);
  const CStreamPCMSlot* a = out.list->GetSetup().GetStreamPcmSlot(1);
  const CStreamPCMSlot* b = out.list->GetSetup().GetStreamPcmSlot(2);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->GetRate(), 0x1F40);
  ASSERT_EQ(a->GetDataSize(), 8u);
  EXPECT_EQ(a->GetData()[7], 0x44);
  EXPECT_EQ(a->GetFormat(), 2);
  EXPECT_TRUE(a->GetFlag());
  EXPECT_FALSE(b->GetFlag());
  EXPECT_EQ(a->GetIndex(), 2);
  EXPECT_EQ(b->GetIndex(), 1);
  EXPECT_EQ(out.list->GetWaveChunks().GetCount(), 2);
  EXPECT_EQ(out.list->GetSetup().GetSlotSettingSecond(2), 0x7F);
  EXPECT_EQ(Listing(out.list->GetStreamList()).size(), 3u);
}

TEST(CMidiListReadSmf, ChannelStatusBytes) {
  Bytes status(16, 0);
  status[3] = 0x10;
  auto out = ReadSong(Song({At(0, PackedDevice(kGroupSong, kSongChannelStatus, {}, status))}));
  EXPECT_EQ(out.list->GetSetup().GetStatus(3), 0x10);
  EXPECT_EQ(out.list->GetSetup().GetStatus(2), 0);
}

struct CommandCase {
  const char* name;
  Bytes message;
  uint32_t report;
  bool fails;
};

TEST(CMidiListReadSmf, DeviceCommandChecks) {
  const CommandCase cases[] = {
      {"master 0x80", Device(kGroupDevice, kDeviceMasterVolume, {0x80}), 0x80000000u, true},
      {"mode 3", Device(kGroupDevice, kDeviceSetupMode, {0x03}), 0x08, false},
      {"pair kind 2", Device(kGroupDevice, kDeviceStreamPair, {0x02, 0x01, 0x02}), 0x08, false},
      {"switch 2", Device(kGroupDevice, kDeviceStreamSwitch, {0x02}), 0x08, false},
      {"slot 33", Device(kGroupDevice, kDeviceStreamSlot, {0x21, 0x00, 0x00}), 0x08, false},
      {"user wave 0x40", Device(kGroupDevice, kDeviceUserWave, {0x40}), 0x08, false},
      {"wave 0x80", Device(kGroupDevice, kDeviceWave, {0x80, 0x00, 0x01, 0x02}), 0x08, false},
      {"song value 16", Device(kGroupDevice, kDeviceSongValue, {0x10}), 0x08, false},
      {"short channel status", Device(kGroupSong, kSongChannelStatus, {0x00, 0x01, 0x02}), 0x08, false},
      {"short contents header", Device(kGroupSong, kSongContentsHeader, {0x00}), 0x08, false},
      {"voice kind 4", Voice(0x7C, 4, Bytes(17, 0)), 0x08, false},
      {"short voice", Device(kGroupDevice, kDeviceVoice, {0x7C, 0x00}), 0x08, false},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto out = ReadSong(Song({At(0, c.message)}));
    EXPECT_EQ(out.threw, c.fails);
    EXPECT_EQ(out.report, c.report);
  }
  auto master = ReadSong(Song({At(0, Device(kGroupDevice, kDeviceMasterVolume, {0x40})),
                               At(0, Device(kGroupDevice, kDeviceMasterVolume, {0x50}))}));
  EXPECT_EQ(master.list->GetSetup().GetMasterVolume(), 0x50);  // still before the first note
  EXPECT_EQ(Listing(master.list->GetMainList()).size(), 5u);
}

TEST(CMidiListReadSmf, UserWave) {
  Bytes wave(40, 0x12);
  auto out = ReadSong(Song({At(0, PackedDevice(kGroupDevice, kDeviceUserWave, {0x1F}, wave))}));
  const CNamedBlock* block = out.list->GetSetup().GetUserWave(31);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetSize(), 40);
}

TEST(CMidiListReadSmf, ContentsHeaderAndTexts) {
  Bytes header = Cat({Hex("05 33 00 02 01"), Hex("4D 49 3A 61 5C 2C 62 2C 53 54 3A 54 69 2C")});  // MI:a\,b, ST:Ti,
  auto out = ReadSong(Song({At(0, PackedDevice(kGroupSong, kSongContentsHeader, {}, header)),
                            At(0, PackedDevice(kGroupSong, kSongLastText, {}, Bytes{'o', 'p', 't'}))}));
  ASSERT_FALSE(out.threw);
  const CContentsInfo& info = out.list->GetContentsInfo();
  EXPECT_TRUE(out.list->HasContentsInfo());
  EXPECT_EQ(info.GetContentsClass(), 0x05);
  EXPECT_EQ(info.GetContentsType(), 0x33);
  EXPECT_EQ(info.GetOptionByte1(), 0x02);
  EXPECT_EQ(info.GetOptionByte2(), 0x01);
  EXPECT_EQ(info.GetText(8), "a,b");
  EXPECT_EQ(info.GetText(9), "opt");
  EXPECT_STREQ(info.GetSongTextInfo().GetText(1), "Ti");
}

TEST(CMidiListReadSmf, OptionalDataTexts) {
  // "Dch" 00: ST "Song", CR "me"; "Dch" FF: ES 05.
  Bytes body = Cat({Hex("44 63 68 00 00 00 00 0E"), Hex("53 54 00 04"), Bytes{'S', 'o', 'n', 'g'},
                    Hex("43 52 00 02"), Bytes{'m', 'e'}, Hex("44 63 68 FF 00 00 00 05"),
                    Hex("45 53 00 01 05")});
  auto out = ReadSong(Song({At(0, PackedDevice(kGroupSong, kSongContentsTexts, {}, body))}));
  ASSERT_FALSE(out.threw);
  const CContentsInfo& info = out.list->GetContentsInfo();
  EXPECT_STREQ(info.GetSongTextInfo().GetText(1), "Song");
  EXPECT_EQ(info.GetText(4), "me");
  EXPECT_EQ(info.GetOptionByte3(), 0x05);
}

TEST(CMidiListReadSmf, HostileInputsStayInBounds) {
  Bytes valid = Song({At(0, Meta(0x01, "QXln:JP:T")), At(0, Hex("B0 00 7D")), At(0, Hex("C0 01")),
                      At(0, Voice(0x7C, 1, Bytes(16, 0x05))),
                      At(0, PackedDevice(kGroupDevice, kDeviceWave, {0x05, 0x00}, Bytes(30, 1))),
                      At(0, PackedDevice(kGroupSong, kSongContentsTexts, {}, Hex("44 63 68 00 00 00 00 06 53 54 00 02 41 42"))),
                      At(0, Hex("90 00 40")), At(10, Hex("80 00 00")), At(0, Meta(0x07, "START"))});
  for (size_t n = 0; n < valid.size(); ++n) {
    auto out = ReadSong(Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(n)));
    if (out.threw) {
      EXPECT_EQ(out.thrown, 0) << n;
    }
  }
  const Bytes cases[] = {
      Cat({Hex("4D546864 00000006 0000 0001 01E0 4D54726B 00001000"), Hex("00 90 3C 40")}),
      Smf(480, {Hex("00 90 3C 40 FF FF FF FF FF 7F 80 3C 00 00 FF 2F 00")}),
      Smf(480, {Hex("00 F0 7F 43 79 06 7D 10 F7")}),
      Smf(480, {Hex("00 FF 01 7F 51 58")}),
      Song({At(0, Hex("F0 05 43 79 06 7F 0C 40 F7"))}),
      Song({At(0, Voice(0x7C, 0, Bytes(200, 0x7F)))}),
      Song({At(0, Hex("F0 07 43 79 06 7D 02 01 02 F7"))}),
      Song({At(0, Hex("F0 05 43 79 06 7F 05 F7"))}),
      Song({At(0, Hex("F0 04 43 79 07 7F F7"))}),
  };
  for (const Bytes& smf : cases) {
    auto out = ReadSong(smf);
    if (out.threw) {
      EXPECT_EQ(out.thrown, 0);
    }
  }
}

TEST(CMidiListReadSmf, LongSilencesCostRoundsNotTicks) {
  Bytes track = Hex("FF FF FF 7F 90 3C 40 FF FF FF 7F 80 3C 00 00 FF 2F 00");
  auto out = ReadSong(Smf(480, {track, track}));
  ASSERT_FALSE(out.threw);
  Lines main = Listing(out.list->GetMainList());
  EXPECT_EQ(std::count(main.begin(), main.end(), "268435455: 90 3C 40 end 536870910"), 2);
}

}  // namespace
}  // namespace velkgate
