// The voice library: lookups, marked setters, user waves and the default voices by chip mode.
#include "TestPaths.h"
#include "song/VoiceLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"

namespace {

using Bytes = std::vector<uint8_t>;

CVoiceItem Fm(const char* name, int algorithm = 0) {
  CVoiceItem item;
  item.SetName(name);
  item.SetAlgorithm(static_cast<uint8_t>(algorithm));
  return item;
}

CVoiceItem RamPcm(const char* name) {
  CVoiceItem item;
  item.SetName(name);
  item.SetPcmFlag(1);
  item.SetWaveId(1);
  item.SetWaveHeaderId(1);
  const uint8_t samples[] = {1, 2, 3};
  item.SetWaveSamples(samples, 3);
  return item;
}

CNamedBlock Wave(uint8_t first) {
  CNamedBlock block;
  const uint8_t data[] = {first, 2, 3, 4};
  block.SetData(data, 4);
  return block;
}

// A temporary program folder, removed at the end.
class ProgramFolder {
 public:
  ProgramFolder() {
    m_path = std::filesystem::temp_directory_path() /
             ("VoiceLibraryTest-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(m_path);
  }
  ~ProgramFolder() { std::filesystem::remove_all(m_path); }
  std::string Dir() const { return m_path.string() + "/"; }
  void Write(const char* name, const Bytes& bytes) const {
    ASSERT_TRUE(platform::WriteFileAtomic((m_path / name).string(), bytes));
  }

 private:
  std::filesystem::path m_path;
};

// A default bank whose melody voice 0 carries the file's name, with a PCM voice, a drum voice,
// a four-operator voice at program 5 and user waves 15, 23 and 30.
Bytes DefaultBank(const char* name) {
  CVoiceBank bank;
  bank.SetVoice(124, 0, 0, 0, Fm(name));
  bank.SetVoice(124, 0, 5, 0, Fm("four", 4));
  bank.SetVoice(125, 0, 0, 36, Fm("kick"));
  bank.SetVoice(124, 0, 9, 0, RamPcm("pcm"));
  for (int slot : {15, 23, 30}) {
    const CNamedBlock wave = Wave(static_cast<uint8_t>(slot));
    bank.SetWaveSlot(slot, &wave);
  }
  CMemStream out;
  bank.SaveChunks(out, true);
  return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

Bytes UserBank() {
  CVoiceBank bank;
  bank.SetVoice(124, 1, 3, 0, Fm("user"));
  CMemStream out;
  bank.SaveChunks(out, true);
  return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

TEST(VoiceLibrary, DefaultBankFollowsProfileAndModeSetting) {
  ProgramFolder folder;
  for (const char* name : {"DefKZ3_16.vk3", "DefKZ3_32.vk3", "DefKZ3P_16.vk3", "DefKZ3P_32.vk3"}) {
    folder.Write(name, DefaultBank(name));
  }
  folder.Write("DefKZ3_U.vk3", UserBank());
  struct Case {
    int profile;
    int setting;  // -1: absent
    const char* file;
    bool pcmKept;
  };
  const Case cases[] = {
      {2, 1, "DefKZ3_32.vk3", true},   {2, 2, "DefKZ3_32.vk3", true},
      {2, -1, "DefKZ3_16.vk3", true},  {2, 0, "DefKZ3_16.vk3", true},
      {2, 3, "DefKZ3_16.vk3", true},   {4, -1, "DefKZ3P_16.vk3", false},
      {6, 1, "DefKZ3P_32.vk3", false}, {8, 2, "DefKZ3_32.vk3", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.profile) + " " + std::to_string(c.setting));
    platform::FakeHost host;
    host.settings.appDir = folder.Dir();
    host.settings.outputProfile = c.profile;
    if (c.setting >= 0) host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.setting);
    CVoiceLibrary library;
    ASSERT_TRUE(library.LoadDefaultVoices());
    CVoiceBank& bank = library.GetVoiceBank();
    ASSERT_NE(bank.FindByProgram(124, 0, 0), nullptr);
    EXPECT_STREQ(bank.FindByProgram(124, 0, 0)->GetName(), c.file);
    EXPECT_EQ(bank.FindByProgram(124, 0, 9) != nullptr, c.pcmKept);
    // The user bank of the other profiles is absent, which is no error.
    EXPECT_EQ(bank.FindByProgram(124, 1, 3) != nullptr, c.pcmKept);
    // User waves 15 and 23 come over; the FM-only banks carry none.
    EXPECT_EQ(library.GetWaveBlock(15) != nullptr, c.pcmKept);
    EXPECT_EQ(library.GetWaveBlock(23) != nullptr, c.pcmKept);
    EXPECT_EQ(library.GetWaveBlock(30), nullptr);
    EXPECT_EQ(library.GetWaveBlock(31), nullptr);
  }
}

TEST(VoiceLibrary, DefaultBankWithARecordCutInALaterChunkStillLoads) {
  ProgramFolder folder;
  Bytes file = DefaultBank("bank");
  // A further voice chunk whose only record stops inside its header.
  const Bytes cut = {'F', 'M', 'K', '3', 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  file.insert(file.end(), cut.begin(), cut.end());
  folder.Write("DefKZ3_16.vk3", file);
  platform::FakeHost host;
  host.settings.appDir = folder.Dir();
  CVoiceLibrary library;
  ASSERT_TRUE(library.LoadDefaultVoices());
  CVoiceBank& bank = library.GetVoiceBank();
  ASSERT_NE(bank.FindByProgram(124, 0, 0), nullptr);
  EXPECT_STREQ(bank.FindByProgram(124, 0, 0)->GetName(), "bank");
  EXPECT_NE(bank.FindByProgram(124, 0, 9), nullptr);
  EXPECT_NE(library.GetWaveBlock(15), nullptr);
}

TEST(VoiceLibrary, DefaultBankGainsTheFixedBankCopies) {
  ProgramFolder folder;
  folder.Write("DefKZ3_16.vk3", DefaultBank("bank"));
  platform::FakeHost host;
  host.settings.appDir = folder.Dir();
  CVoiceLibrary library;
  ASSERT_TRUE(library.LoadDefaultVoices());
  CVoiceBank& bank = library.GetVoiceBank();
  const CVoiceItem* copy = bank.FindByProgram(124, 10, 5);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetAlgorithm(), 0);
  EXPECT_STREQ(copy->GetName(), "four");
  EXPECT_EQ(bank.FindByProgram(124, 0, 5)->GetAlgorithm(), 4);
  ASSERT_NE(bank.FindVoice(125, 0, 10, 36), nullptr);
  EXPECT_STREQ(bank.FindVoice(125, 0, 10, 36)->GetName(), "kick");
  EXPECT_TRUE(bank.FindVoice(125, 0, 10, 36)->IsFixedBank());
  EXPECT_FALSE(copy->IsUserEditable());
  // Neither the defaults nor their fixed copies are saved with the library's voices: only the
  // user waves are.
  CMemStream out;
  ASSERT_TRUE(library.SaveVoiceBank(out));
  ASSERT_GE(out.GetSize(), 4);
  EXPECT_EQ(Bytes(out.GetData(), out.GetData() + 4), (Bytes{'F', 'W', 'K', '3'}));
}

TEST(VoiceLibrary, MissingOrBrokenBanksFailChipModeThree) {
  ProgramFolder folder;
  platform::FakeHost host;
  host.settings.appDir = folder.Dir();
  {
    CVoiceLibrary library;
    EXPECT_FALSE(library.LoadDefaultVoices());
  }
  folder.Write("DefKZ3_16.vk3", DefaultBank("bank"));
  folder.Write("DefKZ3_U.vk3", Bytes{'F', 'M', 'K', '3', 0, 0, 0, 9, 1});
  {
    CVoiceLibrary library;
    EXPECT_FALSE(library.LoadDefaultVoices());
  }
  host.settings.chipMode = 5;
  {
    CVoiceLibrary library;
    EXPECT_TRUE(library.LoadDefaultVoices());
    EXPECT_EQ(library.GetVoiceBank().GetCount(), 0);
  }
}

TEST(VoiceLibrary, ChipModesOneAndTwo) {
  ProgramFolder folder;
  platform::FakeHost host;
  host.settings.appDir = folder.Dir();
  host.settings.chipMode = 1;
  CVoiceLibrary library;
  library.GetVoiceTable().GetEntry(3)[0] = 0x5A;
  EXPECT_TRUE(library.LoadDefaultVoices());
  EXPECT_EQ(library.GetCopyVoiceTable().GetEntry(3)[0], 0x5A);

  host.settings.chipMode = 2;
  EXPECT_TRUE(library.LoadDefaultVoices());  // no file: still true
  EXPECT_EQ(library.GetVoice2List().GetCount(), 0);
  CVoice2List list;
  CVoice2 v;
  v.SetNameText("fm");
  v.SetOpAR(1, 15);
  list.Set(0, 0, v);
  CMemStream out;
  list.WriteChunks(out);
  folder.Write("DefKZ2FM.vkz", Bytes(out.GetData(), out.GetData() + out.GetSize()));
  EXPECT_TRUE(library.LoadDefaultVoices());
  EXPECT_EQ(library.GetVoice2List().GetCount(), 1);
  EXPECT_EQ(library.GetVoice2(0, 0)->GetOpAR(1), 15);
}

TEST(VoiceLibrary, LookupsFallBackToClearedWorkRecords) {
  platform::FakeHost host;
  CVoiceLibrary library;
  library.GetVoiceBank().SetVoice(124, 0, 7, 0, Fm("seven"));
  EXPECT_STREQ(library.FindOrCreateVoice(124, 0, 7, 255)->GetName(), "seven");
  EXPECT_STREQ(library.FindOrCreateVoice(124, 0, 7, 60)->GetName(), "seven");

  CVoiceItem* work = library.FindOrCreateVoice(124, 0, 8, 255);
  ASSERT_NE(work, nullptr);
  EXPECT_STREQ(work->GetName(), "");
  EXPECT_EQ(work->GetBankMsb(), 124);
  EXPECT_EQ(work->GetBankLsb(), 0);
  EXPECT_EQ(work->GetProgram(), 8);
  EXPECT_EQ(work->GetNote(), 0);
  work->SetName("dirty");
  CVoiceItem* drum = library.FindOrCreateVoice(125, 0, 0, 40);
  EXPECT_EQ(drum, work);
  EXPECT_STREQ(drum->GetName(), "");
  EXPECT_EQ(drum->GetNote(), 40);
  EXPECT_EQ(library.GetVoiceBank().GetCount(), 1);

  CVoice2* v2 = library.GetVoice2(3, 4);
  v2->SetFB(5);
  EXPECT_EQ(library.GetVoice2(3, 4)->GetFB(), 0);
  EXPECT_EQ(library.GetVoice2List().GetCount(), 0);
}

TEST(VoiceLibrary, SettersMarkTheLibraryAndTheDocument) {
  platform::FakeHost host;
  CVoiceLibrary library;
  EXPECT_EQ(library.GetFirstField(), 0);
  library.SetVoice(125, 0, 1, 40, Fm("d"));
  EXPECT_EQ(library.GetFirstField(), 1);
  EXPECT_EQ(host.ui.documentModified, 1);
  EXPECT_EQ(library.SetModified(0), 1);
  library.SetVoiceByProgram(124, 1, 2, Fm("m"));
  CVoice2 v;
  library.SetVoice2(1, 2, v);
  EXPECT_EQ(host.ui.documentModified, 3);
  EXPECT_EQ(library.SetModified(0), 1);
  EXPECT_NE(library.GetVoiceBank().FindVoice(125, 0, 1, 40), nullptr);
  EXPECT_NE(library.GetVoiceBank().FindByProgram(124, 1, 2), nullptr);
  EXPECT_NE(library.GetVoice2List().Find(1, 2), nullptr);
  // Wave blocks change no voice and mark nothing.
  library.SetWaveBlock(3, Wave(1));
  EXPECT_EQ(host.ui.documentModified, 3);
}

TEST(VoiceLibrary, UserWavesAreOwnedCopiesAndGoIntoTheSavedBank) {
  platform::FakeHost host;
  CVoiceLibrary library;
  CNamedBlock wave = Wave(7);
  EXPECT_TRUE(library.SetWaveBlock(15, wave));
  EXPECT_NE(library.GetWaveBlock(15), &wave);
  EXPECT_EQ(library.GetWaveBlock(15)->GetData()[0], 7);
  EXPECT_TRUE(library.SetWaveBlock(15, Wave(8)));
  EXPECT_EQ(library.GetWaveBlock(15)->GetData()[0], 8);
  EXPECT_FALSE(library.SetWaveBlock(32, wave));
  EXPECT_EQ(library.GetWaveBlock(32), nullptr);

  const CNamedBlock stale = Wave(9);
  library.GetVoiceBank().SetWaveSlot(3, &stale);  // emptied by the save: the library has none
  library.SetVoice(124, 1, 0, 0, Fm("user"));
  CMemStream out;
  ASSERT_TRUE(library.SaveVoiceBank(out));
  CVoiceBank back;
  ASSERT_TRUE(back.LoadBytes(out.GetData(), static_cast<uint32_t>(out.GetSize()), 0));
  EXPECT_EQ(back.GetCount(), 1);
  ASSERT_NE(back.GetWaveSlot(15), nullptr);
  EXPECT_EQ(back.GetWaveSlot(15)->GetData()[0], 8);
  EXPECT_EQ(back.GetWaveSlot(3), nullptr);

  EXPECT_TRUE(library.DeleteWaveBlock(15));
  EXPECT_EQ(library.GetWaveBlock(15), nullptr);
  EXPECT_TRUE(library.DeleteWaveBlock(15));
}

TEST(VoiceLibrary, SharesIdenticalWavesOnlyInChipModesThreeAndFive) {
  for (int mode : {1, 2, 3, 5}) {
    SCOPED_TRACE(mode);
    platform::FakeHost host;
    host.settings.chipMode = mode;
    CVoiceLibrary library;
    CVoiceItem a = RamPcm("a");
    a.SetWaveId(4);
    a.SetWaveHeaderId(4);
    library.GetVoiceBank().SetVoice(125, 0, 1, 20, a);
    library.GetVoiceBank().SetVoice(125, 0, 1, 21, RamPcm("b"));
    EXPECT_TRUE(library.ShareIdenticalWaves(a));
    const int expected = (mode == 3 || mode == 5) ? 1 : 4;
    EXPECT_EQ(library.GetVoiceBank().FindVoice(125, 0, 1, 20)->GetWaveId(), expected);
  }
}

TEST(VoiceLibrary, GenerationOneTablesAndSmallHelpers) {
  CVoiceLibrary library;
  library.GetFileVoiceTable().GetEntry(2)[0] = 0x11;
  library.GetVoiceTable().GetEntry(2)[0] = 0x22;
  EXPECT_EQ(library.GetVoiceTableEntry(1, 0x102)[0], 0x11);
  EXPECT_EQ(library.GetVoiceTableEntry(0, 2)[0], 0x22);
  EXPECT_EQ(&library.GetGen1VoiceTable(5), &library.GetFileVoiceTable());
  EXPECT_EQ(&library.GetGen1VoiceTable(0), &library.GetVoiceTable());
  EXPECT_EQ(library.GetBankBaseIndex(7), 0);
  EXPECT_EQ(IsValueOne(1), 1);
  EXPECT_EQ(IsValueOne(2), 0);
  EXPECT_EQ(ReturnTrue3(0, 0, 0), 1);
}

// The files the build generates beside the executable.
TEST(VoiceLibrary, LoadsTheGeneratedDefaultVoices) {
  struct Case {
    int profile;
    int setting;
    bool fourOp;
    bool userWaves;
  };
  const Case cases[] = {{2, 0, true, true}, {2, 1, false, true}, {4, 0, true, false},
                        {6, 2, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.profile) + " " + std::to_string(c.setting));
    platform::FakeHost host;
    host.settings.appDir = TRILLOT_BIN_DIR;
    host.settings.outputProfile = c.profile;
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", c.setting);
    CVoiceLibrary library;
    ASSERT_TRUE(library.LoadDefaultVoices());
    const CVoiceBank& bank = library.GetVoiceBank();
    EXPECT_EQ(bank.GetCount(), 2 * 128 + 2 * 79);
    bool anyFourOp = false;
    for (int program = 0; program < 128; ++program) {
      const CVoiceItem* voice = bank.FindByProgram(124, 0, program);
      const CVoiceItem* fixed = bank.FindByProgram(124, 10, program);
      ASSERT_TRUE(voice && fixed) << program;
      EXPECT_FALSE(voice->IsPcm());
      EXPECT_STRNE(voice->GetName(), "");
      EXPECT_STREQ(fixed->GetName(), voice->GetName());
      EXPECT_EQ(fixed->GetAlgorithm(), 0);
      EXPECT_TRUE(fixed->IsFixedBank());
      anyFourOp = anyFourOp || voice->GetOperatorCount() == 4;
    }
    EXPECT_EQ(anyFourOp, c.fourOp);
    for (int note = 0; note < 128; ++note) {
      const bool drum = note >= 13 && note <= 91;
      EXPECT_EQ(bank.FindVoice(125, 0, 0, note) != nullptr, drum) << note;
      EXPECT_EQ(bank.FindVoice(125, 0, 10, note) != nullptr, drum) << note;
    }
    for (int slot : {15, 23, 31}) {
      EXPECT_EQ(library.GetWaveBlock(slot) != nullptr, c.userWaves) << slot;
    }
  }
}

TEST(VoiceLibrary, GeneratedFilesOfChipModesOneAndTwoLoad) {
  const auto table = platform::ReadWholeFile(platform::JoinPath(TRILLOT_BIN_DIR, "DefaultVoice.dat"));
  ASSERT_TRUE(table);
  ASSERT_EQ(table->size(), 128u * 32u);
  CMemStream stream(const_cast<uint8_t*>(table->data()), static_cast<int32_t>(table->size()),
                    false);
  CVoiceLibrary library;
  ReadVoiceTable(library.GetVoiceTable(), stream);
  EXPECT_EQ(library.GetVoiceTable().GetBank(), 1);
  for (int i = 0; i < 128; ++i) {
    EXPECT_NE(library.GetVoiceTable().GetEntry(i)[0], 0) << i;  // every entry is named
    EXPECT_GT(library.GetVoiceTable().GetAR(i, CVoiceTable1::kCarrier), 0) << i;
  }

  platform::FakeHost host;
  host.settings.appDir = TRILLOT_BIN_DIR;
  host.settings.chipMode = 2;
  ASSERT_TRUE(library.LoadDefaultVoices());
  const CVoice2List& list = library.GetVoice2List();
  EXPECT_EQ(list.GetCount(), 128 + 79);
  for (int program = 0; program < 128; ++program) EXPECT_NE(list.Find(0, program), nullptr);
  for (int note = 13; note <= 91; ++note) EXPECT_NE(list.Find(128, note), nullptr) << note;
}

}  // namespace
