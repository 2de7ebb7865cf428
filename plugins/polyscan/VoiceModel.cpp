// How the chip driver gives its 42 voices to the notes of a song, and the counts it demands.
#include "plugins/polyscan/VoiceModel.h"

#include "plugins/polyscan/BuiltinVoices.h"

namespace polyscan {

namespace {

constexpr int kDrumChannel = 9;  // channel 10
// Channels give up a voice in this order: 16 down to 11, 9 down to 1, and the drums last.
constexpr std::array<int, kChannels> kStealOrder = {15, 14, 13, 12, 11, 10, 8, 7,
                                                    6,  5,  4,  3,  2,  1,  0, 9};
constexpr uint64_t kKeyOffHoldMicros = 1000;
constexpr uint64_t kStolenKeyOnDelayMicros = 4000;
constexpr uint8_t kLowStreamKeys = 13;   // keys 0-12 play stream ids 1-13
constexpr uint8_t kHighStreamKeys = 91;  // keys 92-127 play stream ids 14-49

}  // namespace

VoiceModel::VoiceModel(const SongTables& tables, bool defaultBanks, int streamMode,
                       int streamKeys)
    : m_tables(tables),
      m_defaultBanks(defaultBanks),
      m_streamMode(streamMode),
      m_streamKeys(streamMode > 0 ? streamKeys : 0) {
  for (int id = 1; id < kStreamIdLimit && m_streamKeys > 0; ++id) {
    m_streamKeyIds[id] = tables.HasStreamKey(id);
  }
  for (int ch = 0; ch < kChannels; ++ch) {
    if (defaultBanks) m_channels[ch].msb = ch == kDrumChannel ? kDrumBank : kMelodyBank;
  }
}

void VoiceModel::AdvanceTo(uint64_t micros) {
  m_now = micros;
  m_pending.FlushUntil(micros);
}

void VoiceModel::NoteOn(int channel, uint8_t key, uint8_t velocity) {
  if (velocity == 0) {
    ReleaseNote(channel, key);
  } else {
    AllocateNote(channel, key, velocity);
  }
}

void VoiceModel::NoteOff(int channel, uint8_t key) { ReleaseNote(channel, key); }

void VoiceModel::ControlChange(int channel, uint8_t control, uint8_t value) {
  ChannelState& c = m_channels[channel];
  switch (control) {
    case 0: c.msb = value; break;
    case 32: c.lsb = value; break;
    case 120:
    case 123: AllNotesOff(channel); break;
    case 126:
      if (value == 1) {
        c.mono = true;
        AllNotesOff(channel);
      }
      break;
    case 127:
      if (value == 0) {
        c.mono = false;
        AllNotesOff(channel);
      }
      break;
    default: break;  // volume, pan, pedal, RPN and the rest touch no voice
  }
}

void VoiceModel::ProgramChange(int channel, uint8_t program) {
  m_channels[channel].program = program;
}

void VoiceModel::Finish() {
  m_pending.FlushAll();
  for (int ch = 0; ch < kChannels; ++ch) AllNotesOff(ch);
}

bool VoiceModel::IsDrumChannel(int channel) const {
  uint8_t msb = m_channels[channel].msb;
  return msb == kDrumBank || (channel == kDrumChannel && msb != kMelodyBank);
}

VoiceRef VoiceModel::FindVoiceDef(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t key,
                                  bool drum) const {
  if (msb == kMelodyBank || msb == kDrumBank) {
    for (const VoiceDef& v : m_tables.voices) {
      if (v.kind == VoiceKind::StreamKey || v.msb != msb) continue;
      bool match = msb == kDrumBank ? v.program == program && v.key == key
                                    : v.lsb == lsb && v.program == program;
      if (match) return VoiceRef{v.kind, v.ramAddress};
    }
  }
  if (drum) {
    std::optional<VoiceKind> kind = BuiltinDrumVoice(key);
    return kind ? VoiceRef{*kind, kRomVoice} : VoiceRef{VoiceKind::Fm, kNoAddress};
  }
  return VoiceRef{BuiltinMelodyVoice(program), kRomVoice};
}

bool VoiceModel::IsStreamKeyNote(const ChannelState& c, uint8_t key) const {
  return m_streamKeys > 0 && c.msb == kDrumBank && (key < kLowStreamKeys || key > kHighStreamKeys);
}

void VoiceModel::AllocateNote(int channel, uint8_t key, uint8_t velocity) {
  ++m_age;
  ChannelState& c = m_channels[channel];
  if (IsStreamKeyNote(c, key)) {
    int id = key < kLowStreamKeys ? key + 1 : key - 78;
    if (!m_streamKeyIds[id]) return;
    int slot = PickStreamSlot(channel);
    Record(c, static_cast<uint8_t>(slot), m_voices[slot].serial, key, velocity, true);
    return;
  }
  VoiceRef v = FindVoiceDef(c.msb, c.lsb, c.program, key, IsDrumChannel(channel));
  if (v.ramAddress == kNoAddress) return;
  if (c.mono && c.heldNotes > 0) {
    // A mono channel plays the new key on the voice it already sounds.
    Record(c, c.currentVoice, c.currentSerial, key, velocity, false);
    return;
  }
  int slot = PickVoiceSlot(v.kind, channel);
  c.currentVoice = static_cast<uint8_t>(slot);
  c.currentSerial = m_voices[slot].serial;
  Record(c, c.currentVoice, c.currentSerial, key, velocity, false);
}

void VoiceModel::ReleaseNote(int channel, uint8_t key) {
  ++m_age;
  ChannelState& c = m_channels[channel];
  if (IsStreamKeyNote(c, key)) {
    ReleaseStreamKey(channel, key);
    return;
  }
  VoiceRef v = FindVoiceDef(c.msb, c.lsb, c.program, key, IsDrumChannel(channel));
  // A note that had nothing to play raised no count, so its release lowers none.
  if (v.ramAddress == kNoAddress) return;
  NoteEntry* e = FindEntry(c, key, false);
  NoteEntry held = e ? *e : NoteEntry{};
  if (e) {
    *e = NoteEntry{};
    --c.heldNotes;
  }
  if (c.mono && c.heldNotes > 0) return;  // the voice goes on with the other held keys
  LowerCount(v.kind);
  if (held.voice != kFreeVoice) FreeSlot(held.voice, held.serial, true);
}

void VoiceModel::ReleaseStreamKey(int channel, uint8_t key) {
  NoteEntry* e = FindEntry(m_channels[channel], key, true);
  if (!e) return;
  FreeSlot(e->voice, e->serial, true);
  *e = NoteEntry{};
}

int VoiceModel::PickVoiceSlot(VoiceKind kind, int channel) {
  int first = 0;
  int last = FmSlots() - 1;
  if (kind == VoiceKind::Pcm) {
    ++m_pcmCount;
    first = kFirstPcmSlot;
    last = kFirstPcmSlot + PcmSlots() - 1;
  } else {
    ++m_fmCount;
  }
  int slot = FindFreeSlot(first, last, false);
  if (slot < 0) slot = FindStealSlot(first, last);
  return TakeSlot(slot, channel);
}

int VoiceModel::PickStreamSlot(int channel) {
  int first = kLastStreamSlot + 1 - m_streamMode;
  int slot = FindFreeSlot(first, kLastStreamSlot, true);
  // With every stream voice sounding, the one held longest gives way.
  if (slot < 0) slot = FindOldestSlot(first, kLastStreamSlot, true);
  return TakeSlot(slot, channel);
}

int VoiceModel::FindFreeSlot(int first, int last, bool downward) const {
  int best = -1;
  for (int i = 0; i <= last - first; ++i) {
    int s = downward ? last - i : first + i;
    if (!m_voices[s].busy && (best < 0 || m_voices[s].age < m_voices[best].age)) best = s;
  }
  return best;
}

int VoiceModel::FindStealSlot(int first, int last) const {
  for (int ch : kStealOrder) {
    int best = -1;
    for (int s = first; s <= last; ++s) {
      const ChipVoice& v = m_voices[s];
      if (v.busy && v.owner == ch && (best < 0 || v.age < m_voices[best].age)) best = s;
    }
    if (best >= 0) return best;
  }
  return FindOldestSlot(first, last, false);
}

int VoiceModel::FindOldestSlot(int first, int last, bool downward) const {
  int best = downward ? last : first;
  for (int i = 0; i <= last - first; ++i) {
    int s = downward ? last - i : first + i;
    if (m_voices[s].age < m_voices[best].age) best = s;
  }
  return best;
}

int VoiceModel::TakeSlot(int slot, int channel) {
  ChipVoice& v = m_voices[slot];
  bool steal = v.busy;
  v.busy = true;
  v.stolen = steal;
  v.owner = static_cast<uint8_t>(channel);
  v.age = m_age;
  ++v.serial;
  v.keyOnMicros = m_now;
  // The stolen voice must fall silent first, so its new key-on waits.
  if (steal) m_pending.Add(m_now + kStolenKeyOnDelayMicros, static_cast<uint8_t>(slot), true);
  return slot;
}

void VoiceModel::FreeSlot(uint8_t slot, uint32_t serial, bool keyOff) {
  ChipVoice& v = m_voices[slot];
  if (!v.busy || v.serial != serial) return;  // another note has taken it since
  // The chip needs a key-on to sound for a moment before its key-off.
  if (keyOff && m_now - v.keyOnMicros < kKeyOffHoldMicros) {
    m_pending.Add(v.keyOnMicros + kKeyOffHoldMicros, slot, false);
  }
  v.busy = false;
  v.stolen = false;
  v.age = m_age;
}

void VoiceModel::Record(ChannelState& c, uint8_t voice, uint32_t serial, uint8_t key,
                        uint8_t velocity, bool stream) {
  // A channel with every entry taken records no more; its voice stays until all notes off.
  for (NoteEntry& e : c.notes) {
    if (e.voice != kFreeVoice) continue;
    e = NoteEntry{voice, key, velocity, stream, m_age, serial};
    if (!stream) ++c.heldNotes;
    return;
  }
}

NoteEntry* VoiceModel::FindEntry(ChannelState& c, uint8_t key, bool stream) {
  NoteEntry* best = nullptr;
  for (NoteEntry& e : c.notes) {
    if (e.voice == kFreeVoice || e.key != key || e.stream != stream) continue;
    if (!best || e.age < best->age) best = &e;
  }
  return best;
}

void VoiceModel::AllNotesOff(int channel) {
  for (ChipVoice& v : m_voices) {
    if (!v.busy || v.owner != channel) continue;
    v.busy = false;
    v.stolen = false;
    v.age = m_age;
  }
  ChannelState& c = m_channels[channel];
  c.notes.fill(NoteEntry{});
  c.heldNotes = 0;
  c.currentVoice = kFreeVoice;
}

void VoiceModel::LowerCount(VoiceKind kind) {
  if (kind == VoiceKind::Fm && m_fmCount > 0) --m_fmCount;
  if (kind == VoiceKind::Pcm && m_pcmCount > 0) --m_pcmCount;
}

}  // namespace polyscan
