// The channel split of a one-track SMF.
#include "song/SmfChannelStreams.h"

#include <cstring>

#include "song/SmfDialect.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"

namespace {

constexpr uint8_t kDrumChannel = 9;
constexpr uint8_t kVoiceCountControl = 55;
constexpr uint8_t kMaxVoiceCount = 16;
constexpr uint8_t kFirstDrumKey = 13;
constexpr uint8_t kLastDrumKey = 91;

uint8_t MapBankMsb(uint8_t value) {
  if (value == 0x7A) return kBankMelody;
  if (value == 0x7B) return kBankDrum;
  return value;
}

}  // namespace

CSmfChannelStreams::CSmfChannelStreams() : m_output(std::make_unique<CMemStream>(0)) { Reset(); }

CSmfChannelStreams::~CSmfChannelStreams() = default;

void CSmfChannelStreams::Reset() {
  m_voiceCount.fill(0xFF);
  m_slots = {};
  m_sources = {};
  m_cursor = nullptr;
}

void CSmfChannelStreams::AssignSlot(int outputChannel, uint8_t sourceChannel) {
  m_slots[outputChannel & 0x0F].SetSourceChannel(sourceChannel);
}

int CSmfChannelStreams::CopyStream(uint8_t* buffer, uint32_t n) const {
  if (!buffer) return 0;
  uint32_t size = GetStreamSize();
  if (n > size) n = size;
  if (n > 0) std::memcpy(buffer, m_output->GetData(), n);
  return 1;
}

// ---- First walk: who asks for how many voices ---------------------------------------------

void CSmfChannelStreams::CountVoices(const SmfEvent& event) {
  if (!event.IsChannel()) return;
  SourceState& source = m_sources[event.Channel()];
  switch (event.Kind()) {
    case 0x80:
    case 0x90:
      source.hasNotes = true;
      break;
    case 0xC0:
      source.hasProgram = true;
      break;
    case 0xB0:
      if (event.Data1() == kVoiceCountControl && event.tick == 0 && !source.hasProgram) {
        uint8_t count = event.Data2();
        m_voiceCount[event.Channel()] = count > kMaxVoiceCount ? kMaxVoiceCount : count;
      }
      break;
    default:
      break;
  }
}

void CSmfChannelStreams::HandOutChannels() {
  int next = 0;
  for (uint8_t channel = 0; channel < kChannelCount && next < kChannelCount; ++channel) {
    int count = 0;
    if (m_voiceCount[channel] != 0xFF) {
      count = m_voiceCount[channel];
    } else if (m_sources[channel].hasNotes) {
      count = 1;
    }
    for (int i = next; i < next + count && i < kChannelCount; ++i) AssignSlot(i, channel);
    next += count;
  }
}

// ---- Slot choosers -------------------------------------------------------------------------

uint8_t CSmfChannelStreams::AllocNoteSlot(uint8_t note, uint8_t channel, uint32_t tick,
                                          uint8_t& stolen, bool noteOn) {
  stolen = 0xFF;
  int sounding = -1, free = -1, oldest = -1;
  for (int i = 0; i < kChannelCount; ++i) {
    const CSmfChannelSlot& slot = m_slots[i];
    if (slot.GetSourceChannel() != channel) continue;
    if (sounding < 0 && slot.GetNote() == note) sounding = i;
    if (free < 0 && slot.GetNote() == CSmfChannelSlot::kNone) free = i;
    if (oldest < 0 || slot.GetStartTick() < m_slots[oldest].GetStartTick()) oldest = i;
  }
  if (!noteOn) {
    if (sounding < 0) return kNoSlot;
    CSmfChannelSlot& slot = m_slots[sounding];
    slot.DecrementNoteCount();
    if (slot.GetNoteCount() == 0) {
      slot.SetNote(CSmfChannelSlot::kNone);
      slot.SetStartTick(0);
    }
    return static_cast<uint8_t>(sounding);
  }
  int chosen = sounding;
  if (chosen >= 0) {
    m_slots[chosen].IncrementNoteCount();
    m_slots[chosen].SetStartTick(tick);
    return static_cast<uint8_t>(chosen);
  }
  if (free >= 0) {
    chosen = free;
  } else {
    // Steal the voice that started first, but never one that started at this very tick.
    if (oldest < 0 || m_slots[oldest].GetStartTick() >= tick) return kNoSlot;
    chosen = oldest;
    stolen = m_slots[chosen].GetNote();
  }
  CSmfChannelSlot& slot = m_slots[chosen];
  slot.SetNote(note);
  slot.ClearNoteCount();
  slot.IncrementNoteCount();
  slot.SetStartTick(tick);
  return static_cast<uint8_t>(chosen);
}

uint8_t CSmfChannelStreams::AllocDrumSlot(uint8_t key, uint8_t channel, uint32_t tick,
                                          bool noteOn) {
  int sounding = -1, bound = -1, unbound = -1;
  for (int i = 0; i < kChannelCount; ++i) {
    const CSmfChannelSlot& slot = m_slots[i];
    if (slot.GetSourceChannel() != channel) continue;
    if (sounding < 0 && slot.GetDrumKey() == key) sounding = i;
    if (bound < 0 && slot.GetBoundKey() == key) bound = i;
    if (unbound < 0 && slot.GetBoundKey() == CSmfChannelSlot::kNone) unbound = i;
  }
  if (!noteOn) {
    if (sounding < 0) return kNoSlot;
    CSmfChannelSlot& slot = m_slots[sounding];
    slot.DecrementDrumCount();
    if (slot.GetDrumCount() == 0) {
      slot.SetDrumKey(CSmfChannelSlot::kNone);  // the binding stays
      slot.SetStartTick(0);
    }
    return static_cast<uint8_t>(sounding);
  }
  int chosen = bound >= 0 ? bound : unbound;
  if (chosen < 0) return kNoSlot;
  CSmfChannelSlot& slot = m_slots[chosen];
  if (slot.GetDrumKey() == key) {
    slot.IncrementDrumCount();
  } else {
    slot.SetBoundKey(key);
    slot.SetDrumKey(key);
    slot.ClearDrumCount();
    slot.IncrementDrumCount();
  }
  slot.SetStartTick(tick);
  return static_cast<uint8_t>(chosen);
}

// ---- Second walk: writing the output -------------------------------------------------------

void CSmfChannelStreams::Emit(uint8_t status, uint8_t data1, uint8_t data2, uint32_t size) {
  WriteStreamVarLen(*m_output, m_cursor->GetPendingDelta());
  m_cursor->SetPendingDelta(0);
  uint8_t bytes[3] = {status, data1, data2};
  m_output->Write(bytes, size);
}

void CSmfChannelStreams::EmitStored(const SmfEvent& event) {
  WriteStreamVarLen(*m_output, m_cursor->GetPendingDelta());
  m_cursor->SetPendingDelta(0);
  m_output->Write(event.stored, event.storedSize);
}

int CSmfChannelStreams::FirstOutputOf(uint8_t channel) const {
  for (int i = 0; i < kChannelCount; ++i) {
    if (m_slots[i].GetSourceChannel() == channel) return i;
  }
  return -1;
}

void CSmfChannelStreams::SplitNote(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  SourceState& source = m_sources[channel];
  if (source.program == 0xFF) {
    source.bank = channel == kDrumChannel ? kBankDrum : 0;
    source.drum = channel == kDrumChannel;
  }
  uint8_t note = event.Data1();
  uint8_t kind = event.Kind();
  if (m_voiceCount[channel] == 0xFF) {
    int out = FirstOutputOf(channel);
    if (out >= 0) Emit(static_cast<uint8_t>(kind | out), note, event.Data2(), 3);
    return;
  }
  bool noteOn = event.IsNoteOn();
  if (!source.drum) {
    uint8_t stolen = 0xFF;
    uint8_t out = AllocNoteSlot(note, channel, event.tick, stolen, noteOn);
    if (out == kNoSlot) return;
    if (stolen != 0xFF) Emit(static_cast<uint8_t>(0x90 | out), stolen, 0, 3);
    Emit(static_cast<uint8_t>(kind | out), note, event.Data2(), 3);
    return;
  }
  if (note < kFirstDrumKey || note > kLastDrumKey) return;
  uint8_t out = AllocDrumSlot(note, channel, event.tick, noteOn);
  if (out != kNoSlot) Emit(static_cast<uint8_t>(kind | out), note, event.Data2(), 3);
}

void CSmfChannelStreams::SplitControl(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  if (event.Kind() == 0xB0) {
    if (event.Data1() == kVoiceCountControl) return;
    if (event.Data1() == 0) m_sources[channel].bank = MapBankMsb(event.Data2());
  }
  for (int i = 0; i < kChannelCount; ++i) {
    if (m_slots[i].GetSourceChannel() != channel) continue;
    Emit(static_cast<uint8_t>(event.Kind() | i), event.Data1(), event.Data2(), 3);
  }
}

void CSmfChannelStreams::ReleaseForProgram(int outputChannel, bool nowMelodic) {
  CSmfChannelSlot& slot = m_slots[outputChannel];
  uint8_t sounding, count;
  if (nowMelodic) {
    sounding = slot.GetDrumKey();
    count = slot.GetDrumCount();
    slot.SetDrumKey(CSmfChannelSlot::kNone);
    slot.ClearDrumCount();
    slot.SetBoundKey(CSmfChannelSlot::kNone);
  } else {
    sounding = slot.GetNote();
    count = slot.GetNoteCount();
    slot.SetNote(CSmfChannelSlot::kNone);
    slot.ClearNoteCount();
  }
  slot.SetStartTick(0);
  if (sounding == CSmfChannelSlot::kNone) return;
  for (uint8_t i = 0; i < count; ++i) Emit(static_cast<uint8_t>(0x90 | outputChannel), sounding, 0, 3);
}

void CSmfChannelStreams::SplitProgram(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  SourceState& source = m_sources[channel];
  source.program = event.Data1();
  source.drum = false;
  if (source.bank == kBankDrum) {
    source.drum = true;
  } else if ((source.bank == 0 || source.bank == 0xFF) && channel == kDrumChannel) {
    source.drum = true;
    source.bank = kBankDrum;
  }
  for (int i = 0; i < kChannelCount; ++i) {
    if (m_slots[i].GetSourceChannel() != channel) continue;
    ReleaseForProgram(i, !source.drum);
    Emit(static_cast<uint8_t>(0xC0 | i), event.Data1(), 0, 2);
  }
}

void CSmfChannelStreams::SplitEvent(const SmfEvent& event, CSmfTrackCursor& cursor) {
  m_cursor = &cursor;
  // Whatever this event writes first carries every delta since the last written event.
  cursor.SetPendingDelta(cursor.GetPendingDelta() + event.delta);
  if (!event.IsChannel()) {
    EmitStored(event);
    if (event.IsMeta() && event.metaType == kMetaEndOfTrack) cursor.End();
    return;
  }
  switch (event.Kind()) {
    case 0x80:
    case 0x90:
      SplitNote(event);
      break;
    case 0xB0:
    case 0xE0:
      SplitControl(event);
      break;
    case 0xC0:
      SplitProgram(event);
      break;
    default:
      break;  // key and channel pressure are dropped
  }
}

int CSmfChannelStreams::SplitChannels(const uint8_t* image, uint32_t size) {
  Reset();
  CSmfMultiTrackWalk walk;
  walk.Open(image, size, 1);
  walk.Walk([this](const SmfEvent& event, CSmfTrackCursor&) { CountVoices(event); });
  bool anyCount = false;
  for (uint8_t count : m_voiceCount) anyCount |= count != 0xFF;
  if (!anyCount) throw kSmfMalformed;
  HandOutChannels();
  for (SourceState& source : m_sources) source = SourceState{};

  m_output = std::make_unique<CMemStream>(0);  // a second split starts a new file
  WriteSmfHeader(*m_output, 0, 1, walk.GetHeader().division);
  m_output->Write(kSmfTrackId, 4);
  int32_t lengthPosition = m_output->GetPosition();
  m_output->WriteBE32(0);
  walk.Rewind();
  walk.Walk([this](const SmfEvent& event, CSmfTrackCursor& cursor) { SplitEvent(event, cursor); });
  int32_t end = m_output->GetSize();
  m_output->Seek(0, lengthPosition);
  m_output->WriteBE32(static_cast<uint32_t>(end - lengthPosition - 4));
  m_output->Seek(0, end);
  return 1;
}
