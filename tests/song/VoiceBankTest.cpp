// The voice bank: lookups, the voice-bank file, the wave-id services and identical waves.
#include "song/VoiceBank.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"

namespace {

using Bytes = std::vector<uint8_t>;

CVoiceItem Fm(const char* name, int algorithm = 0) {
  CVoiceItem item;
  item.SetName(name);
  item.SetAlgorithm(static_cast<uint8_t>(algorithm));
  item.SetOpTL(1, 20);
  item.SetOpMULTI(2, 3);
  return item;
}

CVoiceItem Pcm(const char* name, int waveId, int rm, const Bytes& samples) {
  CVoiceItem item;
  item.SetName(name);
  item.SetPcmFlag(1);
  item.SetPcmFs(8000);
  item.SetPcmLoopPoint(4);
  item.SetPcmEndPoint(9);
  item.SetWaveId(static_cast<uint8_t>(waveId));
  item.SetRM(static_cast<uint8_t>(rm));
  if (!samples.empty()) {
    item.SetWaveHeaderId(static_cast<uint8_t>(waveId));
    item.SetWaveName("wave");
    item.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
  }
  return item;
}

Bytes Save(CVoiceBank& bank, bool allVoices = true) {
  CMemStream out;
  EXPECT_TRUE(bank.SaveChunks(out, allVoices));
  return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

bool Load(CVoiceBank& bank, const Bytes& file, int mode = CVoiceBank::kLoadAll) {
  return bank.LoadBytes(file.data(), static_cast<uint32_t>(file.size()), mode);
}

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  const uint32_t n = static_cast<uint32_t>(body.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(n >> shift));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Record(const CVoiceItem& item) {
  Bytes r(item.GetHeader(), item.GetHeader() + 24);
  if (item.IsPcm()) {
    r.insert(r.end(), item.GetPcmVoice(), item.GetPcmVoice() + 16);
  } else {
    r.insert(r.end(), item.GetFmVoice(), item.GetFmVoice() + 31);
  }
  return r;
}

CVoiceItem At(int msb, int lsb, int program, int note, CVoiceItem item) {
  item.SetBankMsb(static_cast<uint8_t>(msb));
  item.SetBankLsb(static_cast<uint8_t>(lsb));
  item.SetProgram(static_cast<uint8_t>(program));
  item.SetNote(static_cast<uint8_t>(note));
  return item;
}

// A cleared two-operator voice at (124, 1, 3) named "A".
TEST(VoiceBank, OneTwoOperatorVoiceSavesAsFiftyFiveByteChunk) {
  CVoiceBank bank;
  CVoiceItem item;
  item.SetName("A");
  bank.SetVoice(124, 1, 3, 0, item);
  const Bytes expected = {
      'F', 'M', 'K', '3', 0x00, 0x00, 0x00, 55,  // chunk
      0x00, 0x00,                                // id 0
      0x34,                                      // kind 52
      0x7C, 0x01, 0x03, 0x00,                    // address
      0x00,                                      // flags
      'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // name
      0x00, 0x79, 0x00,                          // drum key, panpot 15 + BO 1, LFO/PE/ALG
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 1
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 2
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 3
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 4
  };
  EXPECT_EQ(Save(bank), expected);
}

TEST(VoiceBank, SaveSkipsWhatTheFileCannotCarry) {
  struct Case {
    const char* name;
    CVoiceItem item;
    size_t voiceBytes;  // body of "FMK3"
    bool waveChunk;
  };
  CVoiceItem ext = Fm("ext");
  ext.SetExtFlag(1);
  const Case cases[] = {
      {"RAM PCM without samples", Pcm("p", 1, 0, {}), 0, false},
      {"ROM PCM without a wave", Pcm("p", 1, 1, {}), 40, false},
      {"RAM PCM with samples", Pcm("p", 1, 0, {1, 2}), 40, true},
      {"extension voice", ext, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVoiceBank bank;
    bank.SetVoice(124, 1, 0, 0, c.item);
    const Bytes file = Save(bank);
    if (c.voiceBytes == 0) {
      EXPECT_TRUE(file.empty());
      continue;
    }
    ASSERT_GE(file.size(), 8 + c.voiceBytes);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{'F', 'M', 'K', '3'}));
    EXPECT_EQ(file[7], c.voiceBytes);
    const bool hasWave = file.size() > 8 + c.voiceBytes;
    EXPECT_EQ(hasWave, c.waveChunk);
    if (hasWave) {
      EXPECT_EQ(Bytes(file.begin() + 48, file.begin() + 52), (Bytes{'W', 'V', 'K', '3'}));
      EXPECT_EQ(file[55], 22);  // wave header and two samples
    }
  }
}

TEST(VoiceBank, UserEditableSaveSkipsFixedVoicesButCountsThem) {
  CVoiceBank bank;
  bank.SetVoice(0, 0, 1, 0, Fm("gm"));
  bank.SetVoice(124, 1, 2, 0, Fm("user"));
  const Bytes file = Save(bank, false);
  ASSERT_EQ(file.size(), 8u + 55u);
  EXPECT_EQ(file[8], 0x00);
  EXPECT_EQ(file[9], 0x01);  // id 1: the skipped voice was counted
  EXPECT_EQ(file[8 + 8], 'u');
}

TEST(VoiceBank, LookupsByAddress) {
  CVoiceBank bank;
  bank.SetVoice(124, 3, 10, 0, Fm("mel"));
  bank.SetVoice(125, 0, 0, 36, Fm("kick"));
  bank.SetVoice(125, 0, 0, 12, Fm("low"));
  bank.SetVoice(125, 2, 5, 40, Fm("other"));
  struct Case {
    int msb, lsb, program, note;
    const char* found;
  };
  const Case cases[] = {
      {124, 3, 10, 60, "mel"},  {124, 3, 10, 0, "mel"},   {124, 3, 11, 0, nullptr},
      {125, 0, 0, 36, "kick"},  {125, 0, 0, 12, nullptr}, {125, 0, 0, 92, nullptr},
      {125, 2, 5, 40, "other"}, {125, 2, 5, 41, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.msb) + "/" + std::to_string(c.lsb) + "/" +
                 std::to_string(c.program) + "/" + std::to_string(c.note));
    const CVoiceItem* item = bank.FindVoice(c.msb, c.lsb, c.program, c.note);
    if (!c.found) {
      EXPECT_EQ(item, nullptr);
    } else {
      ASSERT_NE(item, nullptr);
      EXPECT_STREQ(item->GetName(), c.found);
    }
  }
  EXPECT_STREQ(bank.FindByProgram(125, 2, 5)->GetName(), "other");
}

TEST(VoiceBank, SetVoiceReplacesAndSetByProgramKeepsTheNote) {
  CVoiceBank bank;
  bank.SetVoice(125, 0, 0, 36, Fm("a"));
  bank.SetVoice(125, 0, 0, 36, Fm("b"));
  ASSERT_EQ(bank.GetCount(), 1);
  EXPECT_STREQ(bank.FindVoice(125, 0, 0, 36)->GetName(), "b");
  CVoiceItem noted = Fm("c");
  noted.SetNote(50);
  bank.SetVoiceByProgram(124, 2, 7, noted);
  ASSERT_EQ(bank.GetCount(), 2);
  EXPECT_EQ(bank.FindByProgram(124, 2, 7)->GetNote(), 50);
  bank.SetVoiceByProgram(124, 2, 7, Fm("d"));
  EXPECT_EQ(bank.GetCount(), 2);
  EXPECT_STREQ(bank.FindByProgram(124, 2, 7)->GetName(), "d");
}

TEST(VoiceBank, RemoveAllByMode) {
  auto fill = [](CVoiceBank& bank) {
    bank.SetVoice(0, 0, 1, 0, Fm("gm"));
    bank.SetVoice(124, 0, 1, 0, Fm("default"));
    bank.SetVoice(124, 1, 1, 0, Fm("user"));
    bank.SetVoice(125, 0, 2, 40, Fm("drum"));
    CNamedBlock wave;
    const uint8_t data[] = {1};
    wave.SetData(data, 1);
    bank.SetWaveSlot(5, &wave);
  };
  CVoiceBank bank;
  fill(bank);
  bank.RemoveAll(CVoiceBank::kRemoveUserEditable);
  EXPECT_EQ(bank.GetCount(), 2);
  EXPECT_EQ(bank.FindByProgram(124, 1, 1), nullptr);
  EXPECT_EQ(bank.FindVoice(125, 0, 2, 40), nullptr);
  EXPECT_NE(bank.GetWaveSlot(5), nullptr);
  bank.RemoveAll(CVoiceBank::kRemoveWaveSlots);
  EXPECT_EQ(bank.GetWaveSlot(5), nullptr);
  EXPECT_EQ(bank.GetCount(), 2);
  bank.RemoveAll(7);
  EXPECT_EQ(bank.GetCount(), 2);
  fill(bank);
  bank.RemoveAll(CVoiceBank::kRemoveEverything);
  EXPECT_EQ(bank.GetCount(), 0);
  EXPECT_EQ(bank.GetWaveSlot(5), nullptr);
  EXPECT_EQ(bank.GetSlotCount(), 32);
  EXPECT_EQ(bank.GetWaveSlot(32), nullptr);
}

TEST(VoiceBank, SaveThenLoadKeepsEveryField) {
  CVoiceBank bank;
  CVoiceItem four = Fm("four", 5);
  four.SetOpWS(3, 23);
  four.SetOpFB(1, 6);
  four.SetLFO(2);
  four.SetPanpot(7);
  bank.SetVoice(124, 0, 0, 0, Fm("two"));
  bank.SetVoice(124, 1, 5, 0, four);
  bank.SetVoice(125, 0, 0, 36, Fm("kick"));
  bank.SetVoice(125, 0, 1, 40, Pcm("ram", 3, 0, {9, 8, 7, 6, 5}));
  bank.SetVoice(125, 0, 1, 41, Pcm("ram2", 4, 0, {1}));
  bank.SetVoice(125, 0, 1, 42, Pcm("rom", 2, 1, {}));
  CNamedBlock wave;
  const uint8_t data[] = {0x10, 0x20, 0x30};
  wave.SetData(data, 3);
  bank.SetWaveSlot(15, &wave);
  bank.SetWaveSlot(31, &wave);
  const Bytes file = Save(bank);
  CVoiceBank back;
  ASSERT_TRUE(Load(back, file));
  ASSERT_EQ(back.GetCount(), bank.GetCount());
  CVoiceBankIter it(bank);
  while (const CVoiceItem* a = it.NextItem()) {
    SCOPED_TRACE(a->GetName());
    const CVoiceItem* b =
        back.FindVoice(a->GetBankMsb(), a->GetBankLsb(), a->GetProgram(), a->GetNote());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Bytes(b->GetHeader(), b->GetHeader() + 24), Bytes(a->GetHeader(), a->GetHeader() + 24));
    EXPECT_EQ(Bytes(b->GetFmVoice(), b->GetFmVoice() + 31), Bytes(a->GetFmVoice(), a->GetFmVoice() + 31));
    EXPECT_EQ(Bytes(b->GetPcmVoice(), b->GetPcmVoice() + 16),
              Bytes(a->GetPcmVoice(), a->GetPcmVoice() + 16));
    ASSERT_EQ(b->GetWaveDataSize(), a->GetWaveDataSize());
    if (a->GetWaveDataSize()) {
      EXPECT_EQ(std::memcmp(b->GetWaveData(), a->GetWaveData(), a->GetWaveDataSize()), 0);
    }
  }
  for (int slot : {15, 31}) {
    ASSERT_NE(back.GetWaveSlot(slot), nullptr);
    EXPECT_EQ(back.GetWaveSlot(slot)->GetSize(), 3);
    EXPECT_EQ(back.GetWaveSlot(slot)->GetData()[2], 0x30);
  }
  EXPECT_EQ(back.GetWaveSlot(14), nullptr);
}

TEST(VoiceBank, FmOnlyLoadDropsPcmVoicesAndUserWaveShapes) {
  CVoiceBank bank;
  CVoiceItem fm = Fm("fm", 4);
  fm.SetOpWS(1, 23);
  fm.SetOpWS(2, 15);
  fm.SetOpWS(3, 31);
  fm.SetOpWS(4, 22);
  bank.SetVoice(124, 1, 0, 0, fm);
  bank.SetVoice(124, 1, 1, 0, Pcm("pcm", 1, 0, {1, 2}));
  const Bytes file = Save(bank);
  CVoiceBank back;
  ASSERT_TRUE(Load(back, file, CVoiceBank::kLoadFmOnly));
  ASSERT_EQ(back.GetCount(), 1);
  const CVoiceItem* loaded = back.FindByProgram(124, 1, 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetOpWS(1), 0);
  EXPECT_EQ(loaded->GetOpWS(2), 0);
  EXPECT_EQ(loaded->GetOpWS(3), 0);
  EXPECT_EQ(loaded->GetOpWS(4), 22);
}

TEST(VoiceBank, WaveRecordsGoToRamVoicesOfTheirId) {
  CVoiceItem ram = At(125, 0, 1, 40, Pcm("ram", 6, 0, {}));
  CVoiceItem rom = At(125, 0, 1, 41, Pcm("rom", 6, 1, {}));
  CVoiceItem other = At(125, 0, 1, 42, Pcm("other", 7, 0, {}));
  CVoiceItem source = Pcm("src", 6, 0, {4, 5, 6});
  const Bytes bare = {0x07, 0x00, 0x11, 0x00, 'e', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const Bytes file = Concat({
      Chunk("FMK3", Concat({Record(ram), Record(rom), Record(other)})),
      // A record without samples occupies its header; the next one is still read.
      Chunk("WVK3", Concat({bare, Bytes(source.GetWaveData(),
                                        source.GetWaveData() + source.GetWaveDataSize())})),
  });
  CVoiceBank bank;
  ASSERT_TRUE(Load(bank, file));
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 40)->GetWaveSampleSize(), 3u);
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 41)->GetWaveData(), nullptr);
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 42)->GetWaveData(), nullptr);
}

Bytes WaveOf(const CVoiceItem& item) {
  return Bytes(item.GetWaveData(), item.GetWaveData() + item.GetWaveDataSize());
}

TEST(VoiceBank, WaveReachesOnlyVoicesStoredBeforeIt) {
  // Voice a, wave 1, voice b, wave 2, then a stored again: a ends with no wave (its new record
  // came after both), b with wave 2 (the last after it), c never met a wave.
  CVoiceItem a = At(124, 1, 1, 0, Pcm("a", 6, 0, {}));
  CVoiceItem b = At(124, 1, 2, 0, Pcm("b", 6, 0, {}));
  CVoiceItem c = At(124, 1, 3, 0, Pcm("c", 6, 0, {}));
  const Bytes wave1 = WaveOf(Pcm("w1", 6, 0, {1, 1}));
  const Bytes wave2 = WaveOf(Pcm("w2", 6, 0, {2, 2, 2}));
  const Bytes file = Concat({
      Chunk("FMK3", Record(a)), Chunk("WVK3", wave1), Chunk("FMK3", Record(b)),
      Chunk("WVK3", wave2), Chunk("FMK3", Concat({Record(a), Record(c)})),
  });
  CVoiceBank bank;
  ASSERT_TRUE(Load(bank, file));
  EXPECT_EQ(bank.GetCount(), 3);
  EXPECT_EQ(bank.FindVoice(124, 1, 1, 0)->GetWaveData(), nullptr);
  EXPECT_EQ(bank.FindVoice(124, 1, 2, 0)->GetWaveSampleSize(), 3u);
  EXPECT_EQ(bank.FindVoice(124, 1, 3, 0)->GetWaveData(), nullptr);
}

TEST(VoiceBank, EarlierLayoutLoads) {
  // A PCM record with the 14-byte block: Fs, panpot, LFO and format, four envelope bytes, LP,
  // EP, then RM and wave id.
  CVoiceItem header = At(125, 0, 1, 50, Pcm("old", 9, 1, {}));
  const Bytes pcmOld = {0x1F, 0x40, 0x78, 0x00, 0x00, 0xF0, 0xF0, 0x00, 0x00,
                        0x00, 0x05, 0x00, 0x20, 0x89};
  Bytes record(header.GetHeader(), header.GetHeader() + 24);
  record.insert(record.end(), pcmOld.begin(), pcmOld.end());
  // The earlier wave record: id, length of the whole record, 16 name bytes, samples.
  Bytes wave = {0x09, 0x00, 19 + 4};
  wave.insert(wave.end(), 16, 0);
  wave.insert(wave.end(), {1, 2, 3, 4});
  const Bytes file = Concat({Chunk("FMK3", record), Chunk("WVK3", wave)});
  CVoiceBank bank;
  ASSERT_TRUE(Load(bank, file, CVoiceBank::kLoadOldLayout));
  const CVoiceItem* item = bank.FindVoice(125, 0, 1, 50);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetPcmFs(), 8000);
  EXPECT_EQ(item->GetPcmStartOffset(), 0);
  EXPECT_EQ(item->GetPcmLoopPoint(), 5);
  EXPECT_EQ(item->GetPcmEndPoint(), 0x20);
  EXPECT_EQ(item->GetRM(), 1);
  EXPECT_EQ(item->GetWaveId(), 9);
  // The earlier layout gives the wave whatever the RM bit.
  EXPECT_EQ(item->GetWaveSampleSize(), 4u);
  // Any address held twice fails the earlier layout.
  CVoiceBank twice;
  EXPECT_FALSE(Load(twice, Concat({Chunk("FMK3", Concat({record, record}))}),
                    CVoiceBank::kLoadOldLayout));
  EXPECT_EQ(twice.GetCount(), 1);
}

TEST(VoiceBank, MalformedFilesFailCleanly) {
  const Bytes voice = Record(At(124, 1, 0, 0, Fm("v")));
  const Bytes fixed = Record(At(124, 0, 0, 0, Fm("f")));
  Bytes userWaves = {40, 0x00, 0x02, 0xAA, 0xBB, 3, 0x00, 0x01, 0xCC};  // slot 40 is stepped over
  struct Case {
    const char* name;
    Bytes file;
    int mode;
    bool ok;
    int voices;
  };
  const Case cases[] = {
      {"empty file", {}, 0, false, 0},
      {"unknown first chunk", Chunk("XXXX", voice), 0, false, 0},
      {"unknown second chunk", Concat({Chunk("FMK3", voice), Chunk("XXXX", {1})}), 0, true, 1},
      {"chunk size past the end",
       Concat({Chunk("FMK3", voice), Bytes{'F', 'W', 'K', '3', 0, 0, 0, 50, 1}}), 0, false, 1},
      {"partial voice record", Chunk("FMK3", Bytes(voice.begin(), voice.end() - 1)), 0, false, 0},
      // A record cut by its chunk's end after the first chunk ends that chunk's reading only.
      {"partial wave record", Concat({Chunk("FMK3", voice), Chunk("WVK3", {1, 0, 30, 0})}), 0,
       true, 1},
      {"wave record longer than its body",
       Concat({Chunk("FMK3", voice), Chunk("WVK3", Concat({{1, 0, 30, 0}, Bytes(16, 0)}))}), 0,
       true, 1},
      {"partial voice record in a later chunk",
       Concat({Chunk("FMK3", voice), Chunk("FMK3", Concat({Record(At(124, 2, 0, 0, Fm("w"))),
                                                           Bytes(30, 0)}))}),
       0, true, 2},
      {"partial user wave in a later chunk",
       Concat({Chunk("FMK3", voice), Chunk("FWK3", {3, 0x00, 0x05, 1}), Chunk("XXXX", {})}), 0,
       true, 1},
      {"partial user wave", Chunk("FWK3", {3, 0x00, 0x05, 1}), 0, false, 0},
      {"user wave slot past the bank", Chunk("FWK3", userWaves), 0, true, 0},
      {"duplicate fixed voice", Chunk("FMK3", Concat({fixed, fixed})), 0, false, 1},
      {"duplicate user voice", Chunk("FMK3", Concat({voice, voice})), 0, true, 1},
      {"waves before voices, FM only", Concat({Chunk("WVK3", {}), Chunk("FMK3", voice)}), 2, false,
       0},
      {"voices then waves, FM only", Concat({Chunk("FMK3", voice), Chunk("FWK3", {9})}), 2, true,
       1},
      {"unknown mode", Chunk("FMK3", voice), 5, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVoiceBank bank;
    EXPECT_EQ(Load(bank, c.file, c.mode), c.ok);
    EXPECT_EQ(bank.GetCount(), c.voices);
  }
  CVoiceBank bank;
  ASSERT_TRUE(Load(bank, Chunk("FWK3", userWaves)));
  ASSERT_NE(bank.GetWaveSlot(3), nullptr);
  EXPECT_EQ(bank.GetWaveSlot(3)->GetData()[0], 0xCC);
}

TEST(VoiceBank, EveryTruncationFailsOrStopsAtAChunkBoundary) {
  CVoiceBank bank;
  bank.SetVoice(124, 1, 0, 0, Fm("fm"));
  bank.SetVoice(125, 0, 1, 40, Pcm("ram", 3, 0, {9, 8, 7}));
  CNamedBlock wave;
  const uint8_t data[] = {1, 2};
  wave.SetData(data, 2);
  bank.SetWaveSlot(23, &wave);
  const Bytes file = Save(bank);
  const size_t voicesEnd = 8 + 55 + 40;
  const size_t wavesEnd = voicesEnd + 8 + 23;
  ASSERT_EQ(file.size(), wavesEnd + 8 + 5);
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    CVoiceBank back;
    const bool boundary = n == voicesEnd || n == wavesEnd;
    EXPECT_EQ(back.LoadBytes(file.data(), static_cast<uint32_t>(n), 0), boundary);
  }
}

TEST(VoiceBank, LoadsFromAFile) {
  const auto path = std::filesystem::temp_directory_path() / "VoiceBankTest.vk3";
  CVoiceBank bank;
  bank.SetVoice(124, 1, 0, 0, Fm("fm"));
  ASSERT_TRUE(platform::WriteFileAtomic(path.string(), Save(bank)));
  CVoiceBank back;
  EXPECT_TRUE(back.LoadFile(path.string(), 0));
  EXPECT_EQ(back.GetCount(), 1);
  std::filesystem::remove(path);
  EXPECT_FALSE(back.LoadFile(path.string(), 0));
  // A FIFO is refused without waiting for a writer, a link to /dev/zero without reading it.
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(back.LoadFile(path.string(), 0));
  std::filesystem::remove(path);
  std::filesystem::create_symlink("/dev/zero", path);
  EXPECT_FALSE(back.LoadFile(path.string(), 0));
  std::filesystem::remove(path);
}

TEST(VoiceBank, WaveIdServices) {
  CVoiceBank bank;
  for (int id = 0; id < 5; ++id) {
    bank.SetVoice(125, 0, 1, 20 + id, Pcm(("w" + std::to_string(id)).c_str(), id, 0, {1}));
  }
  bank.SetVoice(125, 0, 1, 30, Pcm("rom", 9, 1, {}));
  EXPECT_EQ(bank.FindFreeWaveId(), 5);
  EXPECT_TRUE(bank.IsWaveIdUsed(4));
  EXPECT_FALSE(bank.IsWaveIdUsed(9));
  EXPECT_STREQ(bank.GetWaveNameById(2), "wave");
  EXPECT_EQ(bank.GetWaveNameById(9), nullptr);
  EXPECT_STREQ(bank.FindVoiceByWaveId(3)->GetName(), "w3");
  EXPECT_EQ(bank.GetWaveHeaderById(3), bank.FindVoiceByWaveId(3)->GetWaveData());
  EXPECT_EQ(bank.GetWaveHeaderById(9), nullptr);
  // Users of an id: other voices with RAM waves of the same id.
  bank.SetVoice(125, 0, 1, 31, Pcm("shares 3", 3, 0, {7}));
  EXPECT_EQ(bank.CountWaveIdUsers(*bank.FindVoice(125, 0, 1, 23)), 1);
  EXPECT_EQ(bank.CountWaveIdUsers(*bank.FindVoice(125, 0, 1, 20)), 0);

  CVoiceBank full;
  for (int id = 0; id < 128; ++id) full.SetVoice(125, 1, id, 0, Pcm("w", id, 0, {1}));
  EXPECT_EQ(full.FindFreeWaveId(), 255);
}

TEST(VoiceBank, IdenticalWavesShareTheSmallerId) {
  CVoiceBank bank;
  bank.SetVoice(125, 0, 1, 20, Pcm("a", 7, 0, {1, 2, 3}));
  bank.SetVoice(125, 0, 1, 21, Pcm("b", 3, 0, {1, 2, 3}));
  bank.SetVoice(125, 0, 1, 22, Pcm("c", 5, 0, {1, 2, 4}));
  bank.SetVoice(125, 0, 1, 23, Pcm("rom", 2, 1, {}));
  bank.ShareIdenticalWaves(*bank.FindVoice(125, 0, 1, 23));
  const CVoiceItem* a = bank.FindVoice(125, 0, 1, 20);
  EXPECT_EQ(a->GetWaveId(), 3);
  EXPECT_EQ(a->GetWaveHeaderId(), 3);
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 21)->GetWaveId(), 3);
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 22)->GetWaveId(), 5);

  // An item with new samples for id 3 spreads them over the voices of that id.
  CVoiceItem edited = Pcm("edited", 3, 0, {9, 9});
  bank.ShareIdenticalWaves(edited);
  for (int note : {20, 21}) {
    const CVoiceItem* v = bank.FindVoice(125, 0, 1, note);
    ASSERT_EQ(v->GetWaveSampleSize(), 2u);
    EXPECT_EQ(v->GetWaveSamples()[0], 9);
  }
  EXPECT_EQ(bank.FindVoice(125, 0, 1, 22)->GetWaveSamples()[2], 4);
}

}  // namespace
