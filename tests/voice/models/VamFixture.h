// A chip-mode document with assigned voice slots and a recording voice clipboard, for the
// assignment map's model.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/NamedBlock.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "voice/models/VoiceWindowShell.h"

namespace vamtest {

class FakeShell : public IVoiceWindowShell {
 public:
  int IsDeviceIdle() const override { return idle; }
  void UpdateVoiceWindows() override { ++voiceUpdates; }
  void UpdateReportBar() override { ++reportUpdates; }
  void UpdateStatusPanes() override { ++statusUpdates; }
  uint8_t* GetClipEntry() override { return entry; }
  bool HasClipEntry() const override { return hasEntry; }
  void SetClipEntryValid(bool valid) override { hasEntry = valid; }
  CVoice2* GetClipboard() const override { return voice2.get(); }
  void SetClipboard(std::unique_ptr<CVoice2> voice) override { voice2 = std::move(voice); }
  CVoiceItem* GetClipVoiceItem() const override { return item.get(); }
  int GetClipVoiceKind() const override { return kind; }
  void SetClipVoiceItem(CVoiceItem* i, int k) override {
    item.reset(i);
    kind = k;
  }

  int idle = 1;
  int voiceUpdates = 0;
  int reportUpdates = 0;
  int statusUpdates = 0;
  uint8_t entry[kClipEntrySize] = {};
  bool hasEntry = false;
  std::unique_ptr<CVoice2> voice2;
  std::unique_ptr<CVoiceItem> item;
  int kind = 0;
};

class VamTest : public ::testing::Test {
 protected:
  VamTest() { host.registry.voiceLibrary = &library; }

  CKZ1Doc& Make(int chipMode, int profile = 2) {
    host.settings.chipMode = chipMode;
    host.settings.outputProfile = profile;
    doc = std::make_unique<CKZ1Doc>();
    doc->SetRefreshSuppress(0);
    host.registry.document = doc.get();
    doc->SetChannelValue(0, 1);
    for (int i = 0; i < 128; ++i) doc->ClearVoiceSlot(i);
    doc->ClearSlotUse(-1);
    return *doc;
  }

  static CVoiceItem Fm(int msb, int lsb, int program, int algorithm, std::vector<int> shapes = {}) {
    CVoiceItem v;
    v.SetBankMsb(static_cast<uint8_t>(msb));
    v.SetBankLsb(static_cast<uint8_t>(lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    v.SetAlgorithm(static_cast<uint8_t>(algorithm));
    for (size_t n = 0; n < shapes.size(); ++n) v.SetOpWS(static_cast<int>(n) + 1, static_cast<uint8_t>(shapes[n]));
    v.SetName("Fm Voice");
    v.UpdateKind();
    return v;
  }

  static CVoiceItem Pcm(int msb, int lsb, int program, uint32_t samples, int waveId, bool rm = false) {
    CVoiceItem v;
    v.SetBankMsb(static_cast<uint8_t>(msb));
    v.SetBankLsb(static_cast<uint8_t>(lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    v.SetPcmFlag(1);
    v.SetRM(rm ? 1 : 0);
    v.SetWaveId(static_cast<uint8_t>(waveId));
    if (samples > 0) {
      std::vector<uint8_t> bytes(samples, 0x11);
      v.SetWaveSamples(bytes.data(), samples);
      v.SetWaveHeaderId(static_cast<uint8_t>(waveId));
    }
    v.SetName("Pcm Voice");
    v.UpdateKind();
    return v;
  }

  /// Puts the voice into slot i at its own address, used by channel 0.
  void Assign(int i, const CVoiceItem& v, int note = 0) {
    doc->GetVoiceAssignTable().SetAddress(i, v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(),
                                          static_cast<uint8_t>(note));
    doc->GetVoiceAssignTable().SetVoiceItem(i, v);
    doc->SetSlotUse(0, i, 1);
  }

  void AddSongWave(int shape) {
    auto block = std::make_unique<CNamedBlock>();
    std::vector<uint8_t> bytes(64, 0x22);
    block->SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    doc->SetWaveBlockAt(shape, std::move(block));
  }

  platform::FakeHost host;
  CVoiceLibrary library;
  std::unique_ptr<CKZ1Doc> doc;
  FakeShell shell;
};

}  // namespace vamtest
