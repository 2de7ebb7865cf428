// The song setup record: reset values, shallow and deep copies, ownership and the output record.
#include "song/SongSetup.h"

#include <cstring>

#include "song/NamedBlock.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace {

constexpr uint16_t kDefaultTimeBase = 480;
constexpr uint8_t kDefaultMasterVolume = 100;
constexpr uint8_t kBankGeneral = 0x00;
constexpr uint8_t kBankMelody = 0x7C;
constexpr uint8_t kBankDrum = 0x7D;
constexpr uint8_t kDrumProgramCode = 13;

}  // namespace

// An array of object pointers with one owned flag per entry. An object held in several
// entries is owned when any of them says so; the flags of one object always agree.
template <typename T>
struct CSongSetup::ObjectArray {
  T** items;
  bool* owned;
  int count;

  bool Holds(const T* p) const {
    for (int i = 0; i < count; ++i) {
      if (items[i] == p) return true;
    }
    return false;
  }
  bool Owns(const T* p) const {
    for (int i = 0; i < count; ++i) {
      if (items[i] == p && owned[i]) return true;
    }
    return false;
  }
  void MarkOwned(const T* p, bool value) {
    for (int i = 0; i < count; ++i) {
      if (items[i] == p) owned[i] = value;
    }
  }
  // Deletes every distinct owned object that `keep` (when given) does not also hold, and
  // clears its entries' flags.
  void DeleteOwned(const ObjectArray* keep) {
    for (int i = 0; i < count; ++i) {
      T* p = items[i];
      if (!p || !owned[i]) continue;
      MarkOwned(p, false);
      if (keep && keep->Holds(p)) continue;
      delete p;
    }
  }
  // Takes the other's pointers. This record keeps owning an object only when it owned it
  // before and the other does not: an object never gets a second owner, and one this record
  // owned and still holds is never left without one.
  void AssignFrom(const ObjectArray& other) {
    bool keptOwned[256];
    for (int i = 0; i < count; ++i) {
      T* p = other.items[i];
      keptOwned[i] = p && Owns(p) && !other.Owns(p);
    }
    DeleteOwned(&other);
    for (int i = 0; i < count; ++i) {
      items[i] = other.items[i];
      owned[i] = keptOwned[i];
    }
  }
  // Replaces entry i. An object already held here keeps its ownership; a new one is owned when
  // the record takes ownership of what it is given. The old object goes when it was owned and
  // is no longer held.
  int Replace(int i, T* object, bool takes) {
    if (i < 0 || i >= count) return 0;
    T* old = items[i];
    bool oldOwned = old && Owns(old);
    bool newOwned = object && (Holds(object) ? Owns(object) : takes);
    items[i] = object;
    owned[i] = newOwned;
    if (object) MarkOwned(object, newOwned);
    if (oldOwned && old != object) {
      if (Holds(old)) {
        MarkOwned(old, true);
      } else {
        delete old;
      }
    }
    return 1;
  }
};

namespace {

template <typename T>
void CopyObjects(T* const* from, T** to, int count) {
  for (int i = 0; i < count; ++i) {
    to[i] = nullptr;
    if (!from[i]) continue;
    to[i] = new T;
    *to[i] = *from[i];
  }
}

}  // namespace

CSongSetup::ObjectArray<CVoiceItem> CSongSetup::VoiceItems() const {
  return {const_cast<CVoiceItem**>(m_voiceItems), const_cast<bool*>(m_ownsVoiceItem), kVoiceItemCount};
}

CSongSetup::ObjectArray<CStreamPCMSlot> CSongSetup::StreamSlots() const {
  return {const_cast<CStreamPCMSlot**>(m_streamSlots), const_cast<bool*>(m_ownsStreamSlot),
          kStreamSlotCount};
}

CSongSetup::ObjectArray<CNamedBlock> CSongSetup::UserWaves() const {
  return {const_cast<CNamedBlock**>(m_userWaves), const_cast<bool*>(m_ownsUserWave), kUserWaveCount};
}

CSongSetup::CSongSetup() { ResetValues(); }

CSongSetup::~CSongSetup() { Clear(); }

void CSongSetup::ResetValues() {
  m_owns = 0;
  std::memset(m_bankMsb, kUnset, sizeof m_bankMsb);
  std::memset(m_bankLsb, kUnset, sizeof m_bankLsb);
  std::memset(m_program, kUnset, sizeof m_program);
  std::memset(m_volume, kUnset, sizeof m_volume);
  std::memset(m_noVolumeEvent, 0, sizeof m_noVolumeEvent);
  std::memset(m_voiceSlot, kUnset, sizeof m_voiceSlot);
  for (int32_t& w : m_voiceSlotWord) w = -1;
  std::memset(m_block, 0, sizeof m_block);
  std::memset(m_status, 0, sizeof m_status);
  m_masterVolume = kDefaultMasterVolume;
  std::memset(m_slotFirst, kUnset, sizeof m_slotFirst);
  std::memset(m_slotSecond, kUnset, sizeof m_slotSecond);
  std::memset(m_slotFlag, 0, sizeof m_slotFlag);
  for (std::uintptr_t& w : m_words) w = 0;
  for (CVoiceItem*& p : m_voiceItems) p = nullptr;
  for (CStreamPCMSlot*& p : m_streamSlots) p = nullptr;
  for (CNamedBlock*& p : m_userWaves) p = nullptr;
  MarkAllOwned(false);
  m_streamMode = kUnset;
  m_timeBase = kDefaultTimeBase;
  m_optionByte = kUnset;
}

void CSongSetup::Reset() {
  // Clearing the pointers of an owning record would leak its objects.
  Clear();
  ResetValues();
}

void CSongSetup::Clear() {
  VoiceItems().DeleteOwned(nullptr);
  StreamSlots().DeleteOwned(nullptr);
  UserWaves().DeleteOwned(nullptr);
  m_owns = 0;
}

void CSongSetup::MarkAllOwned(bool owned) {
  for (int i = 0; i < kVoiceItemCount; ++i) m_ownsVoiceItem[i] = owned && m_voiceItems[i];
  for (int i = 0; i < kStreamSlotCount; ++i) m_ownsStreamSlot[i] = owned && m_streamSlots[i];
  for (int i = 0; i < kUserWaveCount; ++i) m_ownsUserWave[i] = owned && m_userWaves[i];
}

void CSongSetup::CopyValues(const CSongSetup& other) {
  std::memcpy(m_bankMsb, other.m_bankMsb, sizeof m_bankMsb);
  std::memcpy(m_bankLsb, other.m_bankLsb, sizeof m_bankLsb);
  std::memcpy(m_program, other.m_program, sizeof m_program);
  std::memcpy(m_volume, other.m_volume, sizeof m_volume);
  std::memcpy(m_noVolumeEvent, other.m_noVolumeEvent, sizeof m_noVolumeEvent);
  std::memcpy(m_voiceSlot, other.m_voiceSlot, sizeof m_voiceSlot);
  std::memcpy(m_status, other.m_status, sizeof m_status);
  m_masterVolume = other.m_masterVolume;
  m_streamMode = other.m_streamMode;
  m_timeBase = other.m_timeBase;
  m_optionByte = other.m_optionByte;
  std::memcpy(m_slotFirst, other.m_slotFirst, sizeof m_slotFirst);
  std::memcpy(m_slotSecond, other.m_slotSecond, sizeof m_slotSecond);
  std::memcpy(m_slotFlag, other.m_slotFlag, sizeof m_slotFlag);
}

void CSongSetup::Assign(const CSongSetup& other) {
  if (this == &other) return;
  // The owns flag stays (it decides what the setters take), but the objects are shared: the
  // other record, or whoever owns them, stays their owner.
  CopyValues(other);
  VoiceItems().AssignFrom(other.VoiceItems());
  StreamSlots().AssignFrom(other.StreamSlots());
  UserWaves().AssignFrom(other.UserWaves());
}

void CSongSetup::Copy(const CSongSetup& other) {
  // The copies are made first: the other record may be this one, or share its objects.
  CVoiceItem* items[kVoiceItemCount];
  CStreamPCMSlot* slots[kStreamSlotCount];
  CNamedBlock* waves[kUserWaveCount];
  CopyObjects(other.m_voiceItems, items, kVoiceItemCount);
  CopyObjects(other.m_streamSlots, slots, kStreamSlotCount);
  CopyObjects(other.m_userWaves, waves, kUserWaveCount);
  Clear();
  if (this != &other) CopyValues(other);
  std::memcpy(m_voiceItems, items, sizeof m_voiceItems);
  std::memcpy(m_streamSlots, slots, sizeof m_streamSlots);
  std::memcpy(m_userWaves, waves, sizeof m_userWaves);
  m_owns = 1;
  MarkAllOwned(true);
}

int CSongSetup::SetOwnsObjects(int owns) {
  const int old = m_owns;
  m_owns = owns;
  MarkAllOwned(owns != 0);
  return old;
}

CVoiceItem* CSongSetup::FindPcmVoiceByWave(int id) const {
  for (CVoiceItem* item : m_voiceItems) {
    if (item && item->IsPcm() && item->GetRM() == 0 && item->GetWaveId() == id) return item;
  }
  return nullptr;
}

int CSongSetup::SetWaveSamplesForId(int id, const uint8_t* bytes, uint32_t n) {
  for (CVoiceItem* item : m_voiceItems) {
    if (!item || item->GetRM() != 0 || item->GetWaveId() != id) continue;
    item->SetWaveHeaderId(static_cast<uint8_t>(id));
    item->SetWaveSamples(bytes, n);
  }
  return 1;
}

void CSongSetup::GetOutputRecord(SongOutputRecord& out) const {
  for (int ch = 0; ch < kChannelCount; ++ch) {
    uint8_t bank = 0;
    uint8_t program = 0;
    switch (m_bankMsb[ch]) {
      case kBankGeneral:
        program = m_program[ch];
        break;
      case kBankMelody:
        bank = m_bankLsb[ch];
        program = m_program[ch];
        break;
      case kBankDrum:
        bank = static_cast<uint8_t>(m_program[ch] | 0x80);
        program = kDrumProgramCode;
        break;
      default:
        break;
    }
    out.bytes[SongOutputRecord::kBankCodeOffset + ch] = bank;
    out.bytes[SongOutputRecord::kProgramCodeOffset + ch] = program;
    out.bytes[SongOutputRecord::kVolumeOffset + ch] = m_volume[ch];
    out.bytes[SongOutputRecord::kVoiceSlotOffset + ch] = m_voiceSlot[ch];
    out.bytes[SongOutputRecord::kStatusOffset + ch] = m_status[ch];
  }
  std::memcpy(out.bytes + SongOutputRecord::kBlockOffset, m_block, kBlockSize);
  for (int i = 0; i < kWordCount; ++i) out.words[i] = m_words[i];
}

int32_t CSongSetup::GetVoiceSlotWord(int i) const {
  return (i >= 0 && i < kVoiceSlotCount) ? m_voiceSlotWord[i] : -1;
}

int CSongSetup::SetVoiceSlot(int i, int32_t v) {
  if (i < 0 || i >= kVoiceSlotCount) return 0;
  m_voiceSlot[i] = static_cast<uint8_t>(v);
  m_voiceSlotWord[i] = m_voiceSlot[i] == kUnset ? -1 : v;
  return 1;
}

int CSongSetup::SetWord(int i, std::uintptr_t v) {
  if (i < 0 || i >= kWordCount) return 0;
  m_words[i] = v;
  return 1;
}

int CSongSetup::SetSlotSetting(int s, uint8_t first, uint8_t second) {
  if (s < 0 || s >= kStreamSlotCount) return 0;
  m_slotFirst[s] = first;
  m_slotSecond[s] = second;
  return 1;
}

int CSongSetup::SetByteAt(uint8_t* array, int count, int i, uint8_t v) {
  if (i < 0 || i >= count) return 0;
  array[i] = v;
  return 1;
}

CVoiceItem* CSongSetup::GetVoiceItem(int i) const {
  return (i >= 0 && i < kVoiceItemCount) ? m_voiceItems[i] : nullptr;
}

int CSongSetup::SetVoiceItem(int i, CVoiceItem* item) {
  return VoiceItems().Replace(i, item, m_owns != 0);
}

CStreamPCMSlot* CSongSetup::GetStreamPcmSlot(int s) const {
  return (s >= 0 && s < kStreamSlotCount) ? m_streamSlots[s] : nullptr;
}

int CSongSetup::SetStreamPcmSlot(int s, CStreamPCMSlot* slot) {
  return StreamSlots().Replace(s, slot, m_owns != 0);
}

CNamedBlock* CSongSetup::GetUserWave(int b) const {
  return (b >= 0 && b < kUserWaveCount) ? m_userWaves[b] : nullptr;
}

int CSongSetup::SetUserWave(int b, CNamedBlock* block) {
  return UserWaves().Replace(b, block, m_owns != 0);
}
