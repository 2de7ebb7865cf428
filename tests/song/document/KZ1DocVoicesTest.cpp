// Voice lookup and assignment, cue points, the RAM estimate and the exported lookups.
#include <cstring>
#include <vector>

#include "DocTestSupport.h"
#include "song/NamedBlock.h"
#include "song/VoiceLibrary.h"
#include "song/document/VoiceLookup.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;

class KZ1DocVoices : public doctest::DocTest {
 protected:
  CVoiceItem FmVoice(int msb, int lsb, int program, int note, int algorithm) {
    CVoiceItem item;
    item.SetBankMsb(static_cast<uint8_t>(msb));
    item.SetBankLsb(static_cast<uint8_t>(lsb));
    item.SetProgram(static_cast<uint8_t>(program));
    item.SetNote(static_cast<uint8_t>(note));
    item.SetAlgorithm(static_cast<uint8_t>(algorithm));
    return item;
  }
};

TEST_F(KZ1DocVoices, FindVoiceIndexMatchesNotesByBank) {
  CKZ1Doc& d = Make(3);
  CVoiceAssignTable& t = d.GetVoiceAssignTable();
  t.SetAddress(5, 125, 0, 0, 36);
  t.SetAddress(6, 125, 0, 0, 40);
  t.SetAddress(7, 124, 3, 10, 0);
  t.SetAddress(8, 0, 0, 20, 0);
  EXPECT_EQ(d.FindVoiceIndex(125, 0, 0, 36), 5);
  EXPECT_EQ(d.FindVoiceIndex(125, 0, 0, 37), -1);
  EXPECT_EQ(d.FindVoiceIndex(124, 3, 10, 36), 7) << "melody voices match any note";
  EXPECT_EQ(d.FindVoiceIndex(0, 0, 20, 255), 8) << "note 255 finds a GM voice of note 0";
  EXPECT_EQ(d.FindVoiceIndex(0, 0, 20, 7), -1);
  EXPECT_EQ(d.FindVoiceIndex(7, 0, 0, 0), -1) << "other bank MSBs never match";
}

TEST_F(KZ1DocVoices, ExtensionAreasAreSearchedOnlyWhenEnabled) {
  CKZ1Doc& d = Make(3);
  d.GetVoiceAssignTable().SetAddress(300, 124, 0, 50, 0);
  EXPECT_EQ(d.FindVoiceIndex(124, 0, 50, 0), -1);
  d.SetExtensionAreaWord(1);
  EXPECT_EQ(d.FindVoiceIndex(124, 0, 50, 0), 300);
}

TEST_F(KZ1DocVoices, DuplicateMovesToTheNextProgramAndAFullAreaIsRefused) {
  CKZ1Doc& d = Make(3);
  ASSERT_EQ(d.AssignVoice(1, 124, 0, 5, 0), 1);
  ASSERT_EQ(d.AssignVoice(2, 124, 0, 5, 0), 1);
  EXPECT_EQ(d.GetVoiceProgram(2), 6);
  ASSERT_EQ(d.AssignVoice(3, 124, 0, 127, 0), 1);
  ASSERT_EQ(d.AssignVoice(4, 124, 0, 127, 0), 1);
  EXPECT_EQ(d.GetVoiceProgram(4), 0) << "programs wrap modulo 128";

  CKZ1Doc& full = Make(3);
  for (int i = 0; i < 128; ++i) full.GetVoiceAssignTable().SetAddress(i, 124, 1, static_cast<uint8_t>(i), 0);
  EXPECT_EQ(full.AssignVoice(200, 124, 1, 0, 0), 0) << "second-area slot, ordinary voice";
  EXPECT_EQ(full.AssignVoice(5, 124, 1, 9, 0), 1) << "a slot may keep its own address";
}

TEST_F(KZ1DocVoices, AssignVoiceTakesTheLibraryVoiceAndRefreshesTheChannels) {
  CVoiceLibrary library;
  host.registry.voiceLibrary = &library;
  CVoiceItem voice = FmVoice(124, 2, 9, 0, 3);
  voice.SetName("Lead");
  library.GetVoiceBank().SetVoice(124, 2, 9, 0, voice);
  CKZ1Doc& d = Make(3);
  d.SetChannelVoiceSlot(4, 3);
  ASSERT_EQ(d.AssignVoice(3, 124, 2, 9, 0), 1);
  EXPECT_STREQ(d.GetVoiceItem(3)->GetName(), "Lead");
  EXPECT_EQ(d.GetVoiceItem(3)->GetOperatorCount(), 4);
  EXPECT_EQ(d.GetSongSetup().GetProgram(4), 9);
  EXPECT_EQ(d.GetSongSetup().GetBankLsb(4), 2);
  EXPECT_EQ(d.GetChannelProgram(4), 9);
  ASSERT_EQ(d.SetChannelProgram(4, 11), 1);
  EXPECT_EQ(d.GetVoiceProgram(3), 11);
  EXPECT_EQ(d.GetSongSetup().GetProgram(4), 11);
}

TEST_F(KZ1DocVoices, SetVoiceItemSendsToTheBoardOnlyWhenAsked) {
  CKZ1Doc& d = Make(3);
  d.ResetModifiedFlags();
  const CVoiceItem item = FmVoice(124, 0, 1, 0, 0);
  ASSERT_EQ(d.SetVoiceItem(2, item, 0), 1);
  EXPECT_TRUE(host.board.calls.empty());
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
  ASSERT_EQ(d.SetVoiceItem(2, item, 1), 1);
  ASSERT_EQ(host.board.CallNames(), std::vector<std::string>{"SendVoice"});
  EXPECT_EQ(host.board.calls[0].object, d.GetVoiceItem(2));
  host.board.device = false;
  d.SetVoiceItem(2, item, 1);
  EXPECT_EQ(host.board.calls.size(), 1u) << "no board device, nothing sent";
}

TEST_F(KZ1DocVoices, StoredItemCarriesTheSlotAddress) {
  CKZ1Doc& d = Make(3);
  d.GetVoiceAssignTable().SetAddress(300, 125, 0, 0, 40);
  CVoiceItem pcm = FmVoice(1, 1, 1, 1, 0);
  pcm.SetPcmFlag(1);
  const uint8_t samples[] = {1, 2, 3};
  pcm.SetWaveSamples(samples, 3);
  ASSERT_EQ(d.GetVoiceAssignTable().SetVoiceItem(300, pcm), 1);
  const CVoiceItem& stored = *d.GetVoiceItem(300);
  EXPECT_EQ(stored.GetIdHi(), 1);
  EXPECT_EQ(stored.GetIdLo(), 44);
  EXPECT_EQ(stored.GetBankMsb(), 125);
  EXPECT_EQ(stored.GetNote(), 40);
  EXPECT_EQ(stored.GetWaveSampleSize(), 3u);

  CVoiceItem fm = FmVoice(124, 0, 0, 0, 0);
  fm.SetWaveSamples(samples, 3);
  d.GetVoiceAssignTable().SetVoiceItem(301, fm);
  EXPECT_EQ(d.GetVoiceItem(301)->GetWaveData(), nullptr) << "only PCM voices keep a wave";
}

TEST_F(KZ1DocVoices, GivenVoiceItemIsRefusedForADuplicateAndSentOtherwise) {
  CKZ1Doc& d = Make(3);
  d.GetVoiceAssignTable().SetAddress(1, 124, 0, 7, 0);
  const CVoiceItem given = FmVoice(124, 0, 7, 0, 2);
  EXPECT_EQ(d.AssignGivenVoiceItem(2, 124, 0, 7, 0, given, 1), 0);
  d.ResetModifiedFlags();
  ASSERT_EQ(d.AssignGivenVoiceItem(2, 124, 0, 8, 0, given, 1), 1);
  EXPECT_EQ(d.GetVoiceItem(2)->GetAlgorithm(), 2) << "the given fields are stored";
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
  EXPECT_EQ(host.board.CallNames(), std::vector<std::string>{"SendVoice"});
}

TEST_F(KZ1DocVoices, ChipModeTwoUniquenessAndGivenVoiceRenumbersProgramChanges) {
  CKZ1Doc& d = Make(2);
  d.GetVoiceAssignTable().SetAddress(1, 3, 0, 7, 0);
  EXPECT_EQ(d.IsVoiceAddressUnique(2, 4, 0, 7, 0), 1) << "another bank MSB";
  EXPECT_EQ(d.IsVoiceAddressUnique(2, 3, 0, 7, 0), 0);
  d.GetVoiceAssignTable().SetAddress(2, 3, 0, 9, 0);
  AddEvent(*d.GetMidiList(), 0, 0, {0xC0, 9});
  AddEvent(*d.GetMidiList(), 0, 0, {0xC1, 5});
  d.SetPathName("song.mmf");
  CVoice2 voice;
  voice.SetNameText("Bell");
  ASSERT_EQ(d.AssignGivenKZ2Voice(2, 3, 12, voice, 1), 1);
  EXPECT_EQ(Bytes(*d.GetMidiList()->front()), (std::vector<uint8_t>{0xC0, 12}));
  EXPECT_EQ(Bytes(*d.GetMidiList()->back()), (std::vector<uint8_t>{0xC1, 5}));
  EXPECT_EQ(d.GetVoiceProgram(2), 12);
  EXPECT_EQ(0, std::memcmp(d.GetVoiceAssignTable().GetVoice2(2)->GetName(), "Bell", 4));
}

TEST_F(KZ1DocVoices, ChipModeOneAssignsByProgramAndChecksNoteRanges) {
  CKZ1Doc& d = Make(1);
  ASSERT_EQ(d.AssignVoice(1, 0, 0, 4, 0), 1);
  ASSERT_EQ(d.AssignVoice(2, 0, 0, 4, 0), 1);
  EXPECT_EQ(d.GetVoiceProgram(2), 5);
  EXPECT_EQ(d.FindVoiceIndex(9, 9, 5, 9), 2) << "banks are ignored";

  uint8_t voice[33] = {};
  voice[32] = 0x20 | 0x40;  // 49-84 and 61-96
  d.GetVoiceAssignTable().SetKZ1Voice(1, voice);
  d.SetChannelVoiceSlot(0, 1);
  EXPECT_EQ(d.IsNoteInRange(0, 48), 0);
  EXPECT_EQ(d.IsNoteInRange(0, 49), 1);
  EXPECT_EQ(d.IsNoteInRange(0, 96), 1);
  EXPECT_EQ(d.IsNoteInRange(0, 97), 0);
  voice[32] = 0x80;
  d.GetVoiceAssignTable().SetKZ1Voice(1, voice);
  EXPECT_EQ(d.IsNoteInRange(0, 108), 1);
  host.ui.qxCue = true;
  EXPECT_EQ(d.IsNoteInRange(0, 108), 0);
  voice[32] = 0;
  d.GetVoiceAssignTable().SetKZ1Voice(1, voice);
  EXPECT_EQ(d.IsNoteInRange(0, 60), 0) << "no range bits allow nothing";
  EXPECT_EQ(Make(3).IsNoteInRange(0, 0), 1);
}

TEST_F(KZ1DocVoices, CuePointNineIsValidatedAgainstTheFirstNote) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 480, 960, {0x90, 60, 100});
  EXPECT_EQ(d.SetCuePoint(9, 100, 0), 0);
  EXPECT_EQ(d.GetCuePoint(9), CKZ1Doc::kNoCue);
  ASSERT_EQ(d.SetCuePoint(9, 600, 0), 1);
  EXPECT_EQ(d.SetCuePoint(8, 600, 0), 0) << "start must come before the stop";
  EXPECT_EQ(d.SetCuePoint(8, 2000, 0), 0) << "start after the last note's end";
  EXPECT_EQ(d.SetCuePoint(8, 500, 0), 1);
  EXPECT_EQ(d.SetCuePoint(9, CKZ1Doc::kNoCue, 0), 1);
  EXPECT_EQ(d.GetCuePoint(9), CKZ1Doc::kNoCue);
  EXPECT_EQ(d.SetCuePoint(0, 5, 0), 1) << "kind 0 does nothing";
  d.SetRefreshSuppress(1);
  EXPECT_EQ(d.SetCuePoint(9, 1, 0), 1) << "not validated while refresh is suppressed";
}

TEST_F(KZ1DocVoices, CueEventIsStoredInChipModeOne) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  const uint32_t t = 960;
  ASSERT_EQ(d.SetCuePoint(3, t, 1), 1);
  const CMidiMsg& cue = *d.GetMidiList()->back();
  EXPECT_EQ(Bytes(cue), (std::vector<uint8_t>{0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}));
  EXPECT_EQ(cue.GetTick(), t);
  EXPECT_EQ(cue.GetExtra(), 3u);
  ASSERT_EQ(d.SetCuePoint(1, 100, 1), 1);
  EXPECT_EQ(d.GetMidiList()->size(), 3u);
  auto second = std::next(d.GetMidiList()->begin());
  EXPECT_EQ((*second)->GetByte(6), 0x00) << "kinds 1 and 2 store kind - 1, at their tick";
  ASSERT_EQ(d.SetCuePoint(3, CKZ1Doc::kNoCue, 1), 1);
  EXPECT_EQ(d.GetMidiList()->size(), 2u);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
}

TEST_F(KZ1DocVoices, TimeBaseKZ3RefusesZeroAndTooLarge) {
  CKZ1Doc& d = Make(3);
  ASSERT_EQ(d.SetTimeBaseKZ3(500), 1);
  EXPECT_EQ(d.SetTimeBaseKZ3(0), 0);
  EXPECT_EQ(d.SetTimeBaseKZ3(0x1000000), 0);
  EXPECT_EQ(d.GetTimeBaseKZ3(), 500);
  EXPECT_EQ(d.SetTimeBaseKZ3(0xFFFFFF), 1);
}

class KZ3RamUse : public KZ1DocVoices {
 protected:
  // Slots 1 and 2 hold a two-operator (wave shape 3) and a four-operator FM voice; channel 0
  // plays a note.
  CKZ1Doc& SongWithTwoVoices() {
    CKZ1Doc& d = Make(3);
    CVoiceItem two = FmVoice(124, 0, 1, 0, 0);
    two.SetOpWS(1, 3);
    d.GetVoiceAssignTable().ClearSlot(0);
    d.GetVoiceAssignTable().SetAddress(1, 124, 0, 1, 0);
    d.GetVoiceAssignTable().SetVoiceItem(1, two);
    d.GetVoiceAssignTable().SetAddress(2, 124, 0, 2, 0);
    d.GetVoiceAssignTable().SetVoiceItem(2, FmVoice(124, 0, 2, 0, 4));
    AddEvent(*d.GetMidiList(), 0, 10, {0x90, 60, 100});
    d.RefreshChannelVoices(0);
    host.profile.WriteProfileInt("Setting", "KZ-3_StreamPCMReserve", 2);
    return d;
  }
};

TEST_F(KZ3RamUse, CountsVoicesAndTheReserveByModeSetting) {
  CKZ1Doc& d = SongWithTwoVoices();
  EXPECT_EQ(d.GetKZ3RamUse(), 2094);
  EXPECT_EQ(d.GetRamUseWord(), 2094);
  EXPECT_EQ(d.GetOpenWord(), 2094) << "the second figure shows the same estimate";
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  EXPECT_EQ(d.GetKZ3RamUse(), 46);
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
  EXPECT_EQ(d.GetKZ3RamUse(), 2094);
}

TEST_F(KZ3RamUse, IsZeroWithoutAChannelInUse) {
  CKZ1Doc& d = SongWithTwoVoices();
  d.GetMidiList()->clear();
  d.RefreshChannelVoices(0);
  EXPECT_EQ(d.GetKZ3RamUse(), 0);
}

TEST_F(KZ3RamUse, UsedUserWavesAndPcmWavesCount) {
  CKZ1Doc& d = SongWithTwoVoices();
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  auto block = std::make_unique<CNamedBlock>();
  const uint8_t wave[] = {1, 2, 3, 4};
  block->SetData(wave, 4);
  d.SetWaveBlockAt(3, std::move(block));
  auto unused = std::make_unique<CNamedBlock>();
  unused->SetData(wave, 4);
  d.SetWaveBlockAt(9, std::move(unused));
  EXPECT_EQ(d.GetKZ3RamUse(), 46 + 2048) << "only the block an operator uses";

  CVoiceItem pcm = FmVoice(124, 0, 3, 0, 0);
  pcm.SetPcmFlag(1);
  pcm.SetWaveId(5);
  const uint8_t samples[7] = {};
  pcm.SetWaveSamples(samples, 7);
  d.GetVoiceAssignTable().SetAddress(3, 124, 0, 3, 0);
  d.GetVoiceAssignTable().SetVoiceItem(3, pcm);
  d.GetVoiceAssignTable().SetAddress(4, 124, 0, 4, 0);
  d.GetVoiceAssignTable().SetVoiceItem(4, pcm);
  EXPECT_EQ(d.GetKZ3RamUse(), 46 + 2048 + 2 * (14 + 8)) << "profile 2: every voice's wave";
  host.settings.outputProfile = 6;
  EXPECT_EQ(d.GetKZ3RamUse(), 46 + 2048 + 14 + 8 + 14) << "profile 6: once per wave id";
  pcm.SetRM(1);
  d.GetVoiceAssignTable().SetVoiceItem(3, pcm);
  d.GetVoiceAssignTable().SetVoiceItem(4, pcm);
  EXPECT_EQ(d.GetKZ3RamUse(), 46 + 2048 + 14 + 14) << "ROM waves cost nothing";
}

TEST_F(KZ3RamUse, PresetVoicesAreFree) {
  CKZ1Doc& d = SongWithTwoVoices();
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 2);
  d.GetVoiceAssignTable().SetAddress(5, 124, 10, 0, 0);
  d.GetVoiceAssignTable().SetVoiceItem(5, FmVoice(124, 10, 0, 0, 4));
  EXPECT_EQ(d.GetKZ3RamUse(), 46);
  EXPECT_EQ(GetKZ3RamLimit(), 8176);
}

TEST_F(KZ1DocVoices, ExportedLookupsAnswerTheirCodes) {
  EXPECT_EQ(Trillot_GetVAMVoiceItem(124, 0, 0, 0), 0x80000000u);
  CKZ1Doc& d = Make(3);
  host.registry.document = &d;
  d.GetVoiceAssignTable().SetAddress(3, 124, 0, 9, 0);
  EXPECT_EQ(Trillot_GetVAMVoiceItem(124, 0, 9, 0), 0u);
  EXPECT_EQ(Trillot_GetVAMVoiceItem(124, 0, 10, 0), 0x80000001u);

  EXPECT_EQ(Trillot_GetVoiceItem(124, 0, 9, 0), 0x80000000u) << "no voice library";
  CVoiceLibrary library;
  host.registry.voiceLibrary = &library;
  library.GetVoiceBank().SetVoice(125, 0, 0, 40, FmVoice(125, 0, 0, 40, 0));
  EXPECT_EQ(Trillot_GetVoiceItem(125, 0, 0, 40), 0u);
  EXPECT_EQ(Trillot_GetVoiceItem(125, 0, 0, 41), 0x80000000u);
  EXPECT_EQ(Trillot_GetVoiceItem(125, 0, 0, 0x1FF), 0u) << "note 255 in the low byte: by program";
}

}  // namespace
