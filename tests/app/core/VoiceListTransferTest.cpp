// Voices between a song and the voice library, over a real document and library.
#include "app/core/VoiceListTransfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class VoiceListTransferTest : public ::testing::Test {
 protected:
  VoiceListTransferTest() {
    host.registry.voiceLibrary = &library;
    doc.SetRefreshSuppress(0);
    host.registry.document = &doc;
    doc.SetChannelValue(0, 1);
    for (int i = 0; i < 128; ++i) doc.ClearVoiceSlot(i);
  }

  static CVoiceItem Fm(int msb, int lsb, int program, int algorithm, const char* name, std::vector<int> shapes = {}) {
    CVoiceItem v;
    v.SetBankMsb(static_cast<uint8_t>(msb));
    v.SetBankLsb(static_cast<uint8_t>(lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    v.SetAlgorithm(static_cast<uint8_t>(algorithm));
    for (size_t n = 0; n < shapes.size(); ++n) v.SetOpWS(static_cast<int>(n) + 1, static_cast<uint8_t>(shapes[n]));
    v.SetName(name);
    v.UpdateKind();
    return v;
  }
  static CVoiceItem Pcm(int msb, int lsb, int program, uint8_t sample, int waveId, const char* name) {
    CVoiceItem v;
    v.SetBankMsb(static_cast<uint8_t>(msb));
    v.SetBankLsb(static_cast<uint8_t>(lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    v.SetPcmFlag(1);
    v.SetWaveId(static_cast<uint8_t>(waveId));
    const std::vector<uint8_t> bytes(40, sample);
    v.SetWaveSamples(bytes.data(), static_cast<uint32_t>(bytes.size()));
    v.SetWaveHeaderId(static_cast<uint8_t>(waveId));
    v.SetName(name);
    v.UpdateKind();
    return v;
  }
  /// Puts the voice into song slot i at its own address.
  void Assign(int i, const CVoiceItem& v) {
    doc.GetVoiceAssignTable().SetAddress(i, v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(), v.GetNote());
    doc.GetVoiceAssignTable().SetVoiceItem(i, v);
  }
  void Keep(const CVoiceItem& v) {
    library.GetVoiceBank().SetVoice(v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(), v.GetNote(), v);
  }
  static CNamedBlock Block(uint8_t fill, uint32_t size = 64) {
    CNamedBlock block;
    const std::vector<uint8_t> bytes(size, fill);
    block.SetData(bytes.data(), size);
    return block;
  }
  std::string SongName(int slot) { return doc.GetVoiceItem(slot)->GetName(); }
  int Import(int profile = 2, int modeSetting = 0) {
    host.settings.outputProfile = profile;
    return VoiceListTransfer(doc, library, profile, modeSetting).ImportFromLibrary();
  }
  int Export() { return VoiceListTransfer(doc, library, 2, 0).ExportToLibrary(); }

  platform::FakeHost host;
  CVoiceLibrary library;
  CKZ1Doc doc;
};

TEST_F(VoiceListTransferTest, ImportTakesTheLibraryVoicesOfTheUserSlotsWithTheirUserWaves) {
  Assign(0, Fm(124, 1, 0, 0, "Old", {15}));
  Assign(1, Fm(124, 10, 0, 0, "Fixed"));  // a fixed bank is not the user's
  Assign(2, Fm(124, 1, 7, 0, "Alone"));   // the library has no such voice
  Keep(Fm(124, 1, 0, 0, "New", {15, 3}));
  Keep(Fm(124, 10, 0, 0, "Library fixed"));
  library.SetWaveBlock(15, Block(0x33));
  library.SetWaveBlock(3, Block(0x44, 64));
  const CNamedBlock differing = Block(0x22);
  doc.SetWaveBlock(15, &differing);
  const CNamedBlock samePrefix = Block(0x44, 16);
  doc.SetWaveBlock(3, &samePrefix);

  EXPECT_EQ(Import(), 1);
  EXPECT_EQ(SongName(0), "New");
  EXPECT_EQ(SongName(1), "Fixed");
  EXPECT_EQ(SongName(2), "Alone");
  // A differing block is replaced; one agreeing over the shorter size is kept as it is.
  EXPECT_EQ(doc.GetWaveBlock(15)->GetData()[0], 0x33);
  EXPECT_EQ(doc.GetWaveBlock(3)->GetSize(), 16);
  EXPECT_THAT(host.messages.ShownIds(), IsEmpty());
}

TEST_F(VoiceListTransferTest, FourOperatorVoicesInGmModeAreSkippedWithOneMessage) {
  struct Case {
    int profile;
    int modeSetting;
    bool taken;
  };
  for (const Case c : {Case{2, 0, true}, Case{2, 1, false}, Case{8, 2, false}, Case{4, 1, true}, Case{6, 2, true}}) {
    host.messages.shown.clear();
    for (int slot = 0; slot < 3; ++slot) {
      Assign(slot, Fm(124, 1, slot, 0, "Old"));
      Keep(Fm(124, 1, slot, 3, "Four"));
    }
    Assign(3, Fm(124, 1, 3, 0, "Old"));
    Keep(Fm(124, 1, 3, 1, "Two"));
    Import(c.profile, c.modeSetting);
    EXPECT_EQ(SongName(0), c.taken ? "Four" : "Old") << c.profile << " " << c.modeSetting;
    EXPECT_EQ(SongName(2), c.taken ? "Four" : "Old");
    EXPECT_EQ(SongName(3), "Two");
    if (c.taken) {
      EXPECT_THAT(host.messages.ShownIds(), IsEmpty());
    } else {
      EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7069));
    }
  }
}

TEST_F(VoiceListTransferTest, ImportGivesRamWavesFreshIdsAndSharesIdenticalOnes) {
  Assign(0, Pcm(124, 1, 0, 0x10, 40, "Old"));
  Assign(1, Pcm(124, 1, 1, 0x10, 41, "Old"));
  Assign(2, Pcm(124, 1, 2, 0x20, 42, "Old"));
  Keep(Pcm(124, 1, 0, 0x55, 9, "Same"));
  Keep(Pcm(124, 1, 1, 0x55, 10, "Same"));
  Keep(Pcm(124, 1, 2, 0x66, 11, "Other"));
  EXPECT_EQ(Import(), 3);
  EXPECT_EQ(doc.GetVoiceItem(0)->GetWaveId(), 0);
  EXPECT_EQ(doc.GetVoiceItem(1)->GetWaveId(), 0);
  EXPECT_EQ(doc.GetVoiceItem(2)->GetWaveId(), 1);
  EXPECT_EQ(doc.GetVoiceItem(2)->GetWaveHeaderId(), 1);
  EXPECT_EQ(doc.GetVoiceItem(2)->GetWaveSamples()[0], 0x66);
}

TEST_F(VoiceListTransferTest, WaveIdShortageStopsTheImportAndKeepsWhatCameBefore) {
  // Under the MFi profiles 32 user waves leave no wave id.
  for (int w = 0; w < 32; ++w) {
    const CNamedBlock block = Block(static_cast<uint8_t>(w));
    doc.SetWaveBlock(w, &block);
  }
  Assign(0, Fm(124, 1, 0, 0, "Old"));
  Assign(1, Pcm(124, 1, 1, 0x10, 3, "Old"));
  Assign(2, Fm(124, 1, 2, 0, "Old"));
  Keep(Fm(124, 1, 0, 0, "New"));
  Keep(Pcm(124, 1, 1, 0x55, 9, "New"));
  Keep(Fm(124, 1, 2, 0, "New"));
  EXPECT_EQ(Import(1), 1);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7057));
  EXPECT_EQ(SongName(0), "New");
  EXPECT_EQ(SongName(1), "Old");
  EXPECT_EQ(SongName(2), "Old");
}

TEST_F(VoiceListTransferTest, RamOverflowAfterTheImportIsReportedAndTheVoicesStay) {
  host.profile.WriteProfileInt("Setting", "KZ-3_StreamPCMReserve", 8);
  doc.SetChannelValue(16, 1);
  Assign(0, Fm(124, 1, 0, 0, "Old"));
  Keep(Fm(124, 1, 0, 0, "New"));
  EXPECT_EQ(Import(), 1);
  EXPECT_GT(doc.GetKZ3RamUse(), GetKZ3RamLimit());
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7029));
  EXPECT_EQ(SongName(0), "New");
}

TEST_F(VoiceListTransferTest, ExportStoresMelodicAndDrumUserVoicesWithTheirWaves) {
  Assign(0, Fm(124, 2, 5, 0, "Melodic", {23}));
  CVoiceItem drum = Fm(125, 0, 2, 0, "Drum");
  drum.SetNote(40);
  Assign(1, drum);
  Assign(2, Fm(124, 10, 1, 0, "Fixed"));
  Assign(3, Fm(124, 0, 1, 0, "Preset"));
  Assign(4, Fm(7, 0, 1, 0, "Elsewhere"));
  const CNamedBlock songWave = Block(0x77);
  doc.SetWaveBlock(23, &songWave);

  EXPECT_EQ(Export(), 2);
  const CVoiceBank& bank = library.GetVoiceBank();
  ASSERT_NE(bank.FindByProgram(124, 2, 5), nullptr);
  EXPECT_STREQ(bank.FindByProgram(124, 2, 5)->GetName(), "Melodic");
  ASSERT_NE(bank.FindVoice(125, 0, 2, 40), nullptr);
  EXPECT_STREQ(bank.FindVoice(125, 0, 2, 40)->GetName(), "Drum");
  EXPECT_EQ(bank.FindByProgram(124, 10, 1), nullptr);
  EXPECT_EQ(bank.FindByProgram(124, 0, 1), nullptr);
  EXPECT_EQ(bank.FindByProgram(7, 0, 1), nullptr);
  ASSERT_NE(library.GetWaveBlock(23), nullptr);
  EXPECT_EQ(library.GetWaveBlock(23)->GetData()[0], 0x77);
  EXPECT_EQ(library.IsModified(), 1);
}

TEST_F(VoiceListTransferTest, ExportWithEveryLibraryWaveIdTakenStopsWithItsMessage) {
  for (int id = 0; id < 128; ++id) Keep(Pcm(124, 1 + id / 128, id % 128, static_cast<uint8_t>(id), id, "Held"));
  Assign(0, Fm(124, 3, 0, 0, "First"));
  Assign(1, Pcm(124, 3, 1, 0x10, 0, "Wave"));
  Assign(2, Fm(124, 3, 2, 0, "After"));
  EXPECT_EQ(Export(), 1);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7070));
  EXPECT_NE(library.GetVoiceBank().FindByProgram(124, 3, 0), nullptr);
  EXPECT_EQ(library.GetVoiceBank().FindByProgram(124, 3, 1), nullptr);
  EXPECT_EQ(library.GetVoiceBank().FindByProgram(124, 3, 2), nullptr);
}

TEST_F(VoiceListTransferTest, ExportedWaveTakesTheFirstFreeLibraryId) {
  Keep(Pcm(124, 1, 0, 0x01, 0, "Held"));
  Assign(0, Pcm(124, 3, 4, 0x10, 0, "Wave"));
  EXPECT_EQ(Export(), 1);
  const CVoiceItem* stored = library.GetVoiceBank().FindByProgram(124, 3, 4);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->GetWaveId(), 1);
  EXPECT_EQ(stored->GetWaveSamples()[0], 0x10);
}

}  // namespace
