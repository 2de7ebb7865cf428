#include "voice/models/VListBankTransfer.h"

#include <array>
#include <map>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"

namespace {

constexpr int kFirstDrumNote = 13;
constexpr int kLastDrumNote = 91;
constexpr int kBankCount = 10;
constexpr int kWaveIds = 128;

bool HasRamWave(const CVoiceItem& v) { return v.IsPcm() && v.GetRM() == 0 && v.GetWaveSamples() != nullptr; }

}  // namespace

CVListBankTransfer::CVListBankTransfer(CVoiceLibrary& library, int msb, int lsb, int program)
    : m_library(library), m_msb(msb), m_lsb(lsb), m_program(program) {}

bool CVListBankTransfer::InBank(int msb, int lsb, int program) const {
  if (msb != m_msb || lsb != m_lsb) return false;
  return !IsDrum() || program == m_program;
}

std::vector<uint8_t> CVListBankTransfer::BuildImage() const {
  CVoiceBank out;
  for (int i = 0; i < CVoiceLibrary::kUserWaveCount; ++i) out.SetWaveSlot(i, m_library.GetWaveBlock(i));
  const CVoiceBank& bank = m_library.GetVoiceBank();
  if (IsDrum()) {
    for (int note = kFirstDrumNote; note <= kLastDrumNote; ++note) {
      const CVoiceItem* v = bank.FindVoice(m_msb, m_lsb, m_program, note);
      if (!v) continue;
      out.SetVoice(m_msb, m_lsb, m_program, note, *v);
      out.ShareIdenticalWaves(*out.FindVoice(m_msb, m_lsb, m_program, note));
    }
  } else {
    for (int program = 0; program < 128; ++program) {
      const CVoiceItem* v = bank.FindByProgram(m_msb, m_lsb, program);
      if (!v) continue;
      out.SetVoiceByProgram(m_msb, m_lsb, program, *v);
      out.ShareIdenticalWaves(*out.FindByProgram(m_msb, m_lsb, program));
    }
  }
  CMemStream stream;
  out.SaveChunks(stream, true);
  const uint8_t* data = stream.GetData();
  return data ? std::vector<uint8_t>(data, data + stream.GetSize()) : std::vector<uint8_t>{};
}

int CVListBankTransfer::Export(const std::string& path) {
  bool written = false;
  try {
    written = platform::WriteFileAtomic(path, BuildImage());
  } catch (...) {
    written = false;
  }
  if (!written) {
    platform::ShowMessage(kMsgCannotSave);
    return kMsgCannotSave;
  }
  m_library.SetModified(0);
  platform::messages().AddAccessLog(kLogExport, path, {});
  return 0;
}

int CVListBankTransfer::Import(const std::string& path, int chipMode) {
  CVoiceBank file;
  if (chipMode != 3 || !file.LoadFile(path, CVoiceBank::kLoadAll)) {
    platform::ShowMessage(kMsgIllegalFile);
    return kMsgIllegalFile;
  }
  // The file's bank of the selected kind: the first drum program or melody LSB 0..9 found.
  const CVoiceItem* found = nullptr;
  for (int b = 0; b < kBankCount && !found; ++b) {
    found = IsDrum() ? file.FindVoice(m_msb, m_lsb, b, kFirstDrumNote) : file.FindByProgram(m_msb, b, 0);
  }
  if (!found || found->GetBankMsb() != (IsDrum() ? 125 : 124)) {
    platform::ShowMessage(kMsgOtherBank);
    return kMsgOtherBank;
  }
  const int fileLsb = found->GetBankLsb();
  const int fileProgram = found->GetProgram();

  // Wave ids of the library that stay: those of every voice outside the replaced bank.
  CVoiceBank& bank = m_library.GetVoiceBank();
  std::array<bool, kWaveIds> used{};
  {
    CVoiceBankIter it(bank);
    while (const CVoiceItem* v = it.NextItem()) {
      if (!InBank(v->GetBankMsb(), v->GetBankLsb(), v->GetProgram()) && v->GetWaveSamples()) {
        used[v->GetWaveHeaderId() & 0x7F] = true;
      }
    }
  }
  // Staged copies at the selected bank, each taken RAM wave id renumbered (one new id per id).
  std::vector<CVoiceItem> staged;
  std::map<int, int> renumbered;
  auto stage = [&](const CVoiceItem& source, int program, int note) {
    CVoiceItem v(source);
    v.SetBankMsb(static_cast<uint8_t>(m_msb));
    v.SetBankLsb(static_cast<uint8_t>(m_lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    if (note >= 0) v.SetNote(static_cast<uint8_t>(note));
    if (HasRamWave(v)) {
      const int id = v.GetWaveHeaderId() & 0x7F;
      auto known = renumbered.find(id);
      int to = known != renumbered.end() ? known->second : id;
      if (known == renumbered.end() && used[static_cast<size_t>(id)]) {
        to = -1;
        for (int free = 0; free < kWaveIds && to < 0; ++free) {
          if (!used[static_cast<size_t>(free)]) to = free;
        }
        if (to < 0) return false;
      }
      renumbered[id] = to;
      used[static_cast<size_t>(to)] = true;
      v.SetWaveId(static_cast<uint8_t>(to));
      v.SetWaveHeaderId(static_cast<uint8_t>(to));
    }
    staged.push_back(v);
    return true;
  };
  bool complete = true;
  if (IsDrum()) {
    for (int note = kFirstDrumNote; note <= kLastDrumNote && complete; ++note) {
      if (const CVoiceItem* v = file.FindVoice(m_msb, fileLsb, fileProgram, note)) complete = stage(*v, m_program, note);
    }
  } else {
    for (int program = 0; program < 128 && complete; ++program) {
      if (const CVoiceItem* v = file.FindByProgram(m_msb, fileLsb, program)) complete = stage(*v, program, -1);
    }
  }
  if (!complete) {
    platform::ShowMessage(kMsgWavesFull);
    return kMsgWavesFull;
  }

  // Everything checked: the bank's old waves go, the file's voices come.
  {
    CVoiceBankIter it(bank);
    while (CVoiceItem* v = it.NextItem()) {
      if (!InBank(v->GetBankMsb(), v->GetBankLsb(), v->GetProgram())) continue;
      v->SetWaveData(nullptr, 0);
      if (v->IsPcm()) v->SetWaveId(0);
    }
  }
  for (const CVoiceItem& v : staged) {
    if (IsDrum()) {
      bank.SetVoice(m_msb, m_lsb, m_program, v.GetNote(), v);
    } else {
      bank.SetVoiceByProgram(m_msb, m_lsb, v.GetProgram(), v);
    }
  }
  for (int slot : kUserWaveSlots) {
    if (const CNamedBlock* block = file.GetWaveSlot(slot)) {
      m_library.SetWaveBlock(slot, *block);
    } else if (m_library.GetWaveBlock(slot)) {
      if (platform::board().HasBoardDevice()) platform::board().SendBoardCommand0D(slot);
      m_library.DeleteWaveBlock(slot);
    }
  }
  platform::messages().AddAccessLog(kLogImport, path, {});
  return 0;
}
