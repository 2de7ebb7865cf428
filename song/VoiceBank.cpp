// The voice bank's lookups, its voice-bank file reader and writer, and its wave-id services.
#include "song/VoiceBank.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "song/Chunk.h"

namespace {

constexpr uint32_t kIdFMK3 = MakeChunkId('F', 'M', 'K', '3');
constexpr uint32_t kIdWVK3 = MakeChunkId('W', 'V', 'K', '3');
constexpr uint32_t kIdFWK3 = MakeChunkId('F', 'W', 'K', '3');

constexpr int kHeaderSize = 24;
constexpr int kFmBlockSize = 31;
constexpr int kPcmBlockSize = 16;
constexpr int kPcmBlockOldSize = 14;
constexpr int kWaveHeaderSize = 20;
// The length field of a wave counts the format byte and the name before the samples.
constexpr int kWaveLengthBias = 17;
constexpr int kUserWaveEntryHeader = 3;
constexpr int kMelodyBank = 124;
constexpr int kDrumBank = 125;
constexpr int kFirstDrumNote = 13;
constexpr int kLastDrumNote = 91;
constexpr int kWaveIdCount = 128;

uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

bool HasSamples(const CVoiceItem& item) { return item.GetWaveSamples() != nullptr; }

bool IsRamPcm(const CVoiceItem& item) { return item.IsPcm() && item.GetRM() == 0; }

bool SameAddress(const CVoiceItem& a, const CVoiceItem& b) {
  return a.GetBankMsb() == b.GetBankMsb() && a.GetBankLsb() == b.GetBankLsb() &&
         a.GetProgram() == b.GetProgram() && a.GetNote() == b.GetNote();
}

bool SameWaveData(const CVoiceItem& a, const CVoiceItem& b) {
  return a.GetWaveDataSize() == b.GetWaveDataSize() &&
         (a.GetWaveDataSize() == 0 ||
          std::memcmp(a.GetWaveData(), b.GetWaveData(), a.GetWaveDataSize()) == 0);
}

void WriteChunkIfAny(CMemStream& stream, uint32_t id, CMemStream& body) {
  const int32_t size = body.GetSize();
  if (size == 0) return;
  CChunk chunk(id);
  chunk.SetBody(body.Detach(), static_cast<uint32_t>(size));
  chunk.Write(stream);
}

}  // namespace

// Reads one voice-bank image; each chunk body is walked record by record within its bounds.
// Loading is linear in the file's size: voices are found by address through an index, and a
// wave reaches its voices once, at the end, as the last wave record of its id that came after
// the voice was stored (what giving every wave to every voice in file order leaves).
class CVoiceBank::Reader {
 public:
  Reader(CVoiceBank& bank, int mode) : m_bank(bank), m_mode(mode) {}

  bool Run(const uint8_t* data, uint32_t size) {
    if (m_mode != kLoadAll && m_mode != kLoadOldLayout && m_mode != kLoadFmOnly) return false;
    IndexBank();
    bool result = false;
    try {
      result = ReadChunks(data, size);
    } catch (...) {
      GiveWaves();  // what was read before the failure stays in the bank
      throw;
    }
    GiveWaves();
    return result;
  }

 private:
  static uint32_t Key(int msb, int lsb, int program, int note) {
    return (uint32_t(msb & 0xFF) << 24) | (uint32_t(lsb & 0xFF) << 16) |
           (uint32_t(program & 0xFF) << 8) | uint32_t(note & 0xFF);
  }
  // Melody voices are found by program alone, whatever their note.
  static uint32_t ProgramKey(int msb, int lsb, int program) { return Key(msb, lsb, program, 0xFF) | 1u << 31; }

  void Index(CVoiceItem* item) {
    const int msb = item->GetBankMsb(), lsb = item->GetBankLsb(), program = item->GetProgram();
    // The first voice of an address is the one the list lookups find.
    m_byAddress.emplace(Key(msb, lsb, program, item->GetNote()), item);
    m_byAddress.emplace(ProgramKey(msb, lsb, program), item);
  }

  void IndexBank() {
    CVoiceBankIter it(m_bank);
    while (CVoiceItem* item = it.NextItem()) Index(item);
  }

  // CVoiceBank::FindVoice through the index.
  CVoiceItem* Find(int msb, int lsb, int program, int note) const {
    uint32_t key = Key(msb, lsb, program, note);
    if (msb == kMelodyBank) {
      key = ProgramKey(msb, lsb, program);
    } else if (msb == kDrumBank && program == 0 && (note < kFirstDrumNote || note > kLastDrumNote)) {
      return nullptr;
    }
    auto found = m_byAddress.find(key);
    return found == m_byAddress.end() ? nullptr : found->second;
  }

  // CVoiceBank::SetVoice at the item's own address.
  void Store(const CVoiceItem& item) {
    CVoiceItem* held = Find(item.GetBankMsb(), item.GetBankLsb(), item.GetProgram(), item.GetNote());
    if (held) {
      *held = item;
    } else {
      auto copy = std::make_unique<CVoiceItem>(item);
      held = copy.get();
      m_bank.AddItem(copy.release());
      Index(held);
    }
    m_storedAt[held] = ++m_sequence;
  }

  bool ReadChunks(const uint8_t* data, uint32_t size) {
    CMemStream file(const_cast<uint8_t*>(data), static_cast<int32_t>(size), false);
    bool result = false;
    bool seenVoices = false;
    while (!file.AtEnd()) {
      // A chunk cut short by the end of the file fails the load (the stream throws -48).
      CChunk chunk(file);
      const uint8_t* body = chunk.GetBody();
      const uint32_t n = chunk.GetBodySize();
      const uint32_t id = chunk.GetId();
      if (id == kIdFMK3) {
        seenVoices = true;
        result = ReadVoices(body, n);
      } else if (id == kIdWVK3 || id == kIdFWK3) {
        if (m_mode == kLoadFmOnly) {
          if (!seenVoices) return false;
          continue;
        }
        result = id == kIdFWK3 ? ReadUserWaves(body, n)
                 : m_mode == kLoadAll ? ReadWaves(body, n)
                                      : ReadWavesOld(body, n);
      } else {
        return result;
      }
      if (!result) return false;
      ++m_chunkIndex;
    }
    return result;
  }

  // A record cut by the end of its chunk body ends that chunk's reading; after the first chunk
  // the load goes on with what was read (as default banks of that shape must load).
  bool PartialRecord() const { return m_chunkIndex > 0; }

  bool ReadVoices(const uint8_t* body, uint32_t n) {
    uint32_t at = 0;
    while (at < n) {
      if (n - at < kHeaderSize) return PartialRecord();
      CVoiceItem item;
      item.SetHeader(body + at);
      at += kHeaderSize;
      if (!item.IsKindConsistent()) item.SetPcmFlag(item.IsPcm());
      const bool pcm = item.IsPcm();
      const uint32_t blockSize = !pcm ? kFmBlockSize
                                 : m_mode == kLoadOldLayout ? kPcmBlockOldSize
                                                            : kPcmBlockSize;
      if (n - at < blockSize) return PartialRecord();
      const uint8_t* block = body + at;
      at += blockSize;
      if (IsDuplicate(item)) return false;
      if (pcm) {
        if (m_mode == kLoadFmOnly) continue;
        if (m_mode == kLoadOldLayout) {
          item.SetPcmVoiceOld(block);
        } else {
          item.SetPcmVoice(block);
        }
      } else {
        item.SetFmVoice(block);
        if (m_mode == kLoadFmOnly) ClearUserWaveShapes(item);
      }
      Store(item);
    }
    return true;
  }

  bool IsDuplicate(const CVoiceItem& item) const {
    const CVoiceItem* held = Find(item.GetBankMsb(), item.GetBankLsb(), item.GetProgram(), item.GetNote());
    if (!held) return false;
    return m_mode == kLoadOldLayout || !held->IsUserEditable();
  }

  // FM-only banks carry no user waves, so the shapes that would play them become 0.
  static void ClearUserWaveShapes(CVoiceItem& item) {
    for (int op = 1; op <= 4; ++op) {
      const int ws = item.GetOpWS(op);
      if (ws == 15 || ws == 23 || ws == 31) item.SetOpWS(op, 0);
    }
  }

  bool ReadWaves(const uint8_t* body, uint32_t n) {
    uint32_t at = 0;
    while (at < n) {
      if (n - at < kWaveHeaderSize) return PartialRecord();
      const uint16_t length = GetBE16(body + at + 1);
      const uint32_t samples = length > kWaveLengthBias ? length - kWaveLengthBias : 0;
      // A record without samples still occupies its header, so the walk always moves on.
      const uint32_t recordSize = kWaveHeaderSize + samples;
      if (n - at < recordSize) return PartialRecord();
      auto wave = std::make_unique<CVoiceItem>();
      wave->SetWaveData(body + at, recordSize);
      const int waveId = body[at] & 0x7F;
      at += recordSize;
      if (!wave->GetWaveData()) continue;
      KeepWave(std::move(wave), waveId);
    }
    return true;
  }

  bool ReadWavesOld(const uint8_t* body, uint32_t n) {
    uint32_t at = 0;
    while (at < n) {
      if (n - at < 3 || GetBE16(body + at + 1) > n - at) return PartialRecord();
      auto wave = std::make_unique<CVoiceItem>();
      uint32_t recordSize = 0;
      // The item refuses a record shorter than its header.
      if (!wave->SetWaveDataOld(body + at, n - at, &recordSize) || recordSize == 0 ||
          recordSize > n - at) {
        return false;
      }
      const int waveId = body[at] & 0x7F;
      at += recordSize;
      if (!wave->GetWaveData()) continue;
      KeepWave(std::move(wave), waveId);
    }
    return true;
  }

  void KeepWave(std::unique_ptr<CVoiceItem> wave, int waveId) {
    m_waves[waveId] = std::move(wave);
    m_waveAt[waveId] = ++m_sequence;
  }

  // Every PCM voice of a wave's id that was stored before that wave gets it; the earlier layout
  // gives it whatever the voice's RM bit.
  void GiveWaves() {
    const bool anyRm = m_mode == kLoadOldLayout;
    CVoiceBankIter it(m_bank);
    while (CVoiceItem* item = it.NextItem()) {
      if (!item->IsPcm()) continue;
      const int waveId = item->GetWaveId();
      const CVoiceItem* wave = m_waves[waveId].get();
      if (!wave || (!anyRm && item->GetRM() != 0)) continue;
      auto stored = m_storedAt.find(item);
      if (stored != m_storedAt.end() && stored->second > m_waveAt[waveId]) continue;
      item->SetWaveData(wave->GetWaveData(), wave->GetWaveDataSize());
    }
  }

  bool ReadUserWaves(const uint8_t* body, uint32_t n) {
    uint32_t at = 0;
    while (at < n) {
      if (n - at < kUserWaveEntryHeader) return PartialRecord();
      const int slot = body[at];
      const uint16_t length = GetBE16(body + at + 1);
      at += kUserWaveEntryHeader;
      if (n - at < length) return PartialRecord();
      // The bank has no slot past 31: such an entry is stepped over.
      if (slot < kSlotCount) {
        auto block = std::make_unique<CNamedBlock>();
        block->SetData(body + at, length);
        m_bank.m_waveSlots[slot] = std::move(block);
      }
      at += length;
    }
    return true;
  }

  CVoiceBank& m_bank;
  int m_mode;
  int m_chunkIndex = 0;
  std::unordered_map<uint32_t, CVoiceItem*> m_byAddress;
  // When each voice was last stored and each wave id last read, in one running order.
  uint64_t m_sequence = 0;
  std::unordered_map<const CVoiceItem*, uint64_t> m_storedAt;
  std::unique_ptr<CVoiceItem> m_waves[kWaveIdCount];
  uint64_t m_waveAt[kWaveIdCount] = {};
};

CVoiceBank::CVoiceBank() = default;

CVoiceBank::~CVoiceBank() { RemoveAll(kRemoveEverything); }

CVoiceItem* CVoiceBank::GetItem(int32_t index) const {
  Value v = 0;
  return GetAt(index, v) ? reinterpret_cast<CVoiceItem*>(v) : nullptr;
}

CVoiceItem* CVoiceBankIter::NextItem() {
  CPtrChain::Value v = 0;
  return Next(v) ? reinterpret_cast<CVoiceItem*>(v) : nullptr;
}

CVoiceItem* CVoiceBank::FindVoice(int msb, int lsb, int program, int note) const {
  if (msb == kMelodyBank) return FindByProgram(msb, lsb, program);
  if (msb == kDrumBank && program == 0 && (note < kFirstDrumNote || note > kLastDrumNote)) {
    return nullptr;
  }
  CVoiceBankIter it(*this);
  while (CVoiceItem* item = it.NextItem()) {
    if (item->GetBankMsb() == msb && item->GetBankLsb() == lsb && item->GetProgram() == program &&
        item->GetNote() == note) {
      return item;
    }
  }
  return nullptr;
}

CVoiceItem* CVoiceBank::FindByProgram(int msb, int lsb, int program) const {
  CVoiceBankIter it(*this);
  while (CVoiceItem* item = it.NextItem()) {
    if (item->GetBankMsb() == msb && item->GetBankLsb() == lsb && item->GetProgram() == program) {
      return item;
    }
  }
  return nullptr;
}

bool CVoiceBank::SetVoice(int msb, int lsb, int program, int note, const CVoiceItem& item) {
  auto copy = std::make_unique<CVoiceItem>();
  *copy = item;
  copy->SetBankMsb(static_cast<uint8_t>(msb));
  copy->SetBankLsb(static_cast<uint8_t>(lsb));
  copy->SetProgram(static_cast<uint8_t>(program));
  copy->SetNote(static_cast<uint8_t>(note));
  if (CVoiceItem* found = FindVoice(msb, lsb, program, note)) {
    *found = *copy;
  } else {
    AddItem(copy.release());
  }
  return true;
}

bool CVoiceBank::SetVoiceByProgram(int msb, int lsb, int program, const CVoiceItem& item) {
  auto copy = std::make_unique<CVoiceItem>();
  *copy = item;
  copy->SetBankMsb(static_cast<uint8_t>(msb));
  copy->SetBankLsb(static_cast<uint8_t>(lsb));
  copy->SetProgram(static_cast<uint8_t>(program));
  if (CVoiceItem* found = FindByProgram(msb, lsb, program)) {
    *found = *copy;
  } else {
    AddItem(copy.release());
  }
  return true;
}

void CVoiceBank::RemoveAll(int mode) {
  if (mode == kRemoveEverything) {
    CVoiceBankIter it(*this);
    while (CVoiceItem* item = it.NextItem()) delete item;
    CPtrChain::RemoveAll();
    RemoveAll(kRemoveWaveSlots);
  } else if (mode == kRemoveUserEditable) {
    int32_t index = 1;
    while (CVoiceItem* item = GetItem(index)) {
      if (!item->IsUserEditable()) {
        ++index;
        continue;
      }
      RemoveItem(item);
      delete item;
    }
  } else if (mode == kRemoveWaveSlots) {
    for (auto& slot : m_waveSlots) slot.reset();
  }
}

CNamedBlock* CVoiceBank::GetWaveSlot(int i) const {
  return (i >= 0 && i < kSlotCount) ? m_waveSlots[i].get() : nullptr;
}

void CVoiceBank::SetWaveSlot(int i, const CNamedBlock* block) {
  if (i < 0 || i >= kSlotCount) return;
  if (!block) {
    m_waveSlots[i].reset();
    return;
  }
  auto copy = std::make_unique<CNamedBlock>();
  *copy = *block;
  m_waveSlots[i] = std::move(copy);
}

bool CVoiceBank::LoadFile(const std::string& path, int mode) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return false;
  return LoadBytes(bytes->data(), static_cast<uint32_t>(bytes->size()), mode);
}

bool CVoiceBank::LoadBytes(const uint8_t* data, uint32_t size, int mode) {
  if (!data || size == 0) return false;
  try {
    Reader reader(*this, mode);
    return reader.Run(data, size);
  } catch (int) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CVoiceBank::SaveChunks(CMemStream& stream, bool allVoices) {
  CMemStream voices;
  CMemStream waves;
  CMemStream userWaves;
  int k = 0;
  CVoiceBankIter it(*this);
  while (CVoiceItem* item = it.NextItem()) {
    const int index = k++;
    if (!allVoices && !item->IsUserEditable()) continue;
    item->SetHeaderWord(static_cast<uint16_t>(index));
    item->SetBO(1);
    item->SetPcmKSR(0);
    item->SetPcmKSL(0);
    if (!item->IsKindConsistent()) item->SetPcmFlag(item->IsPcm());
    if (item->GetExtFlag()) continue;
    if (!item->IsPcm()) {
      voices.Write(item->GetHeader(), kHeaderSize);
      voices.Write(item->GetFmVoice(), kFmBlockSize);
      continue;
    }
    if (item->GetRM() == 0 && !HasSamples(*item)) continue;
    voices.Write(item->GetHeader(), kHeaderSize);
    voices.Write(item->GetPcmVoice(), kPcmBlockSize);
    if (item->GetWaveData()) waves.Write(item->GetWaveData(), item->GetWaveDataSize());
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const CNamedBlock* block = m_waveSlots[slot].get();
    if (!block) continue;
    userWaves.WriteByte(static_cast<uint8_t>(slot));
    userWaves.WriteBE16(block->GetSize());
    if (block->GetSize() > 0) userWaves.Write(block->GetData(), block->GetSize());
  }
  WriteChunkIfAny(stream, kIdFMK3, voices);
  WriteChunkIfAny(stream, kIdWVK3, waves);
  WriteChunkIfAny(stream, kIdFWK3, userWaves);
  return true;
}

bool CVoiceBank::IsWaveIdUsed(int id) const {
  CVoiceBankIter it(*this);
  while (const CVoiceItem* item = it.NextItem()) {
    if (HasSamples(*item) && item->GetWaveHeaderId() == id) return true;
  }
  return false;
}

int CVoiceBank::CountWaveIdUsers(const CVoiceItem& item) const {
  int count = 0;
  CVoiceBankIter it(*this);
  while (const CVoiceItem* other = it.NextItem()) {
    if (SameAddress(*other, item)) continue;
    if (IsRamPcm(*other) && HasSamples(*other) &&
        other->GetWaveHeaderId() == item.GetWaveHeaderId()) {
      ++count;
    }
  }
  return count;
}

int CVoiceBank::FindFreeWaveId() const {
  bool used[kWaveIdCount] = {};
  CVoiceBankIter it(*this);
  while (const CVoiceItem* item = it.NextItem()) {
    if (HasSamples(*item)) used[item->GetWaveHeaderId() & 0x7F] = true;
  }
  for (int id = 0; id < kWaveIdCount; ++id) {
    if (!used[id]) return id;
  }
  return kNoFreeWaveId;
}

const char* CVoiceBank::GetWaveNameById(int id) const {
  CVoiceBankIter it(*this);
  while (const CVoiceItem* item = it.NextItem()) {
    if (HasSamples(*item) && item->GetWaveHeaderId() == id) return item->GetWaveHeader();
  }
  return nullptr;
}

CVoiceItem* CVoiceBank::FindVoiceByWaveId(int id) const {
  CVoiceBankIter it(*this);
  while (CVoiceItem* item = it.NextItem()) {
    if (item->IsPcm() && HasSamples(*item) && item->GetWaveHeaderId() == id) return item;
  }
  return nullptr;
}

const uint8_t* CVoiceBank::GetWaveHeaderById(int id) const {
  const CVoiceItem* item = FindVoiceByWaveId(id);
  return item ? item->GetWaveData() : nullptr;
}

bool CVoiceBank::ShareIdenticalWaves(const CVoiceItem& item) {
  CVoiceBankIter outer(*this);
  while (CVoiceItem* a = outer.NextItem()) {
    if (!IsRamPcm(*a) || !HasSamples(*a)) continue;
    CVoiceBankIter inner(*this);
    while (CVoiceItem* b = inner.NextItem()) {
      if (b == a || !IsRamPcm(*b) || !HasSamples(*b)) continue;
      if (a->GetWaveHeaderId() == b->GetWaveHeaderId()) continue;
      if (a->GetWaveSampleSize() != b->GetWaveSampleSize() ||
          std::memcmp(a->GetWaveSamples(), b->GetWaveSamples(), a->GetWaveSampleSize()) != 0) {
        continue;
      }
      const int id = std::min(a->GetWaveHeaderId(), b->GetWaveHeaderId());
      b->SetWaveId(static_cast<uint8_t>(id));
      b->SetWaveHeaderId(static_cast<uint8_t>(id));
    }
  }
  // An item without a wave has nothing to spread.
  if (!IsRamPcm(item) || !item.GetWaveData()) return true;
  CVoiceBankIter it(*this);
  while (CVoiceItem* other = it.NextItem()) {
    if (other == &item || !IsRamPcm(*other) || !HasSamples(*other)) continue;
    if (other->GetWaveHeaderId() != item.GetWaveHeaderId() || SameWaveData(*other, item)) continue;
    other->SetWaveData(item.GetWaveData(), item.GetWaveDataSize());
    other->SetWaveId(static_cast<uint8_t>(item.GetWaveId()));
  }
  return true;
}
