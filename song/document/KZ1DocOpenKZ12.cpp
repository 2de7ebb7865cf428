// Opening VELK files in chip modes 1 and 2 with the program's own chunk readers: the file's
// tracks become the score and stream-PCM event lists, its setup the voices and cue points.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/Voice2.h"
#include "song/VoiceLibrary.h"
#include "song/document/ImportSupport.h"
#include "song/document/KZ1Doc.h"
#include "velk/Crc16.h"
#include "velk/SequenceNumbers.h"
#include "velk/VelkFileChunk.h"

namespace {

constexpr uint8_t kAudioVelocity = 100;
// The time-base byte ReadScoreTracks keeps when no track sets one.
constexpr uint8_t kNoTimeBaseByte = 24;
constexpr int kSetupEntrySize = 16;
constexpr int kKZ1Voice = CVoiceAssignTable::kKZ1VoiceSize;

int OutputProfile() { return platform::settings().GetOutputProfile(); }

// Milliseconds of a score track's time-base code; an unknown code counts as 4 ms here.
int TimeBaseMsOfCode(uint8_t code) {
  const bool known = code <= 0x03 || (code >= 0x10 && code <= 0x13);
  return known ? static_cast<int>(TimeBaseCodeToMs(code)) : 4;
}

[[noreturn]] void Refuse(int message) {
  if (message) platform::ShowMessage(message);
  throw -1;
}

// The contents checks of a VELK file against the output profile; a failing check throws -1.
void CheckContents(CContentsInfo& info) {
  const int profile = OutputProfile();
  const uint8_t group = info.GetTypeGroup();
  if (group != 0) {
    if (group == 0x10 || group == 0x20) {
      if (profile != 5) info.SetContentsType(1, 0, 0);
    } else if (profile != 5) {
      Refuse(7040);
    }
  }
  if (profile == 3) {
    if (info.GetContentsClass() > 1) Refuse(7041);
    info.SetContentsClass(1);
    info.SetCodeType(0x80);
    if (info.GetTypeGroup() != 0) Refuse(7040);
  } else if (profile != 5) {
    if (info.GetContentsClass() != 0) Refuse(7041);
    if (info.GetTypeGroup() != 0) Refuse(7040);
    if (info.GetCodeType() > 6) Refuse(0);
  }
}

std::unique_ptr<CMidiMsg> NewEvent(uint32_t tick, uint32_t endTick, uint32_t length,
                                   const uint8_t* bytes) {
  try {
    return std::make_unique<CMidiMsg>(tick, endTick, length, bytes, 0);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

// Moves the decoded events into the list in tick order (records of one tick keep their order).
void FillEvents(CKZ1Doc::EventList& target, std::vector<std::unique_ptr<CMidiMsg>>& events) {
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a->GetTick() < b->GetTick(); });
  for (auto& e : events) target.push_back(std::move(e));
}

// A cue record of a decoder: extra 1..9.
bool IsCueRecord(const CSeqEvent& e) { return e.GetExtra() >= 1 && e.GetExtra() <= 9; }

// The four board controls the chip-mode 2 play list adds at the first note (F0+4i F0 volume):
// every save writes them afresh, so a song read back must not keep the old ones.
bool IsBoardControl(const CSeqEvent& e) {
  const uint8_t status = e.GetDataByte(0);
  return e.GetLength() == 3 && status >= 0xF0 && (status & 0x03) == 0 && e.GetDataByte(1) == 0xF0;
}

void TakeScoreRecords(const CSeqEventList& records, CKZ1Doc::EventList& target, bool boardControls) {
  std::vector<std::unique_ptr<CMidiMsg>> events;
  CSeqEventIter it(records);
  for (CSeqEvent* e = nullptr; it.Next(e);) {
    if (e->GetExtra() != 0) continue;
    if (!boardControls && IsBoardControl(*e)) continue;
    events.push_back(NewEvent(e->GetTick(), e->GetEndTick(), e->GetLength(), e->GetData()));
  }
  FillEvents(target, events);
}

// The audio track's wave notes are 2-byte records; the song keeps them as full note-ons.
void TakeAudioRecords(const CSeqEventList& records, CKZ1Doc::EventList& target) {
  std::vector<std::unique_ptr<CMidiMsg>> events;
  CSeqEventIter it(records);
  for (CSeqEvent* e = nullptr; it.Next(e);) {
    if (e->GetExtra() != 0) continue;
    if ((e->GetDataByte(0) & 0xF0) == 0x90 && e->GetLength() == 2) {
      const uint8_t note[] = {e->GetDataByte(0), e->GetDataByte(1), kAudioVelocity};
      events.push_back(NewEvent(e->GetTick(), e->GetEndTick(), 3, note));
    } else {
      events.push_back(NewEvent(e->GetTick(), e->GetEndTick(), e->GetLength(), e->GetData()));
    }
  }
  FillEvents(target, events);
}

// Warns once per record whose start or stop point differs from the first of its kind.
void CheckCueSync(const std::vector<const CSeqEvent*>& cues) {
  const CSeqEvent* first[2] = {nullptr, nullptr};
  for (const CSeqEvent* e : cues) {
    if (e->GetExtra() != CKZ1Doc::kStartCue && e->GetExtra() != CKZ1Doc::kStopCue) continue;
    const int k = e->GetExtra() == CKZ1Doc::kStartCue ? 0 : 1;
    if (!first[k]) {
      first[k] = e;
    } else if (e->GetTick() != first[k]->GetTick()) {
      platform::ShowMessage(k == 0 ? 7042 : 7043);
    }
  }
}

std::vector<const CSeqEvent*> CueRecords(const CSeqEventList& records) {
  std::vector<const CSeqEvent*> cues;
  CSeqEventIter it(records);
  for (CSeqEvent* e = nullptr; it.Next(e);) {
    if (IsCueRecord(*e)) cues.push_back(e);
  }
  return cues;
}

// Program p when no other slot holds it, else the first program 0..254 that is free.
int FreeProgram(const CKZ1Doc& doc, int slot, int bank, int program) {
  if (doc.IsVoiceAddressUnique(slot, bank, 0, program, 0)) return program;
  for (int p = 0; p < CVoiceAssignTable::kUnset; ++p) {
    if (doc.IsVoiceAddressUnique(slot, bank, 0, p, 0)) return p;
  }
  return -1;
}

}  // namespace

int CKZ1Doc::ReadVelkFile1(const std::string& path) { return ReadVelkFileKZ12(path, 1); }
int CKZ1Doc::ReadVelkFile2(const std::string& path) { return ReadVelkFileKZ12(path, 2); }

int CKZ1Doc::ReadVelkFileKZ12(const std::string& path, int generation) {
  auto bytes = songimport::ReadSongFile(path, 1);
  if (!bytes) return 0;
  std::vector<uint8_t>& image = *bytes;
  if (image.size() < 4 || std::memcmp(image.data(), "MMMD", 4) != 0) return 0;

  std::unique_ptr<CVelkFileChunk> file;
  try {
    CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
    file = std::make_unique<CVelkFileChunk>(stream);
  } catch (...) {
    platform::ShowMessage(7039);
    return 0;
  }
  const size_t n = image.size();
  const uint16_t stored = static_cast<uint16_t>((image[n - 2] << 8) | image[n - 1]);
  if (VelkCrc16(static_cast<uint32_t>(n - 2), image.data()) != stored) platform::ShowMessage(7038);

  file->GetContentsInfo(m_contentsInfo);
  CheckContents(m_contentsInfo);

  uint8_t value = file->GetSetupTempoByte();
  int priority = value != 0 ? 2 : 0;
  uint8_t timeBaseByte = kNoTimeBaseByte;
  TOwnedChunkList<CSeqEvent> score;
  file->ReadScoreTracks(value, timeBaseByte, score, priority, nullptr);
  if (priority > 0) m_tempo = static_cast<int>(8739.0 / (4.0 * value + 4.0) + 0.5);
  m_timeBase = TimeBaseMsOfCode(timeBaseByte);

  TOwnedChunkList<CSeqEvent> audio;
  CChunkInfoList waves;
  if (generation == 2) {
    file->ReadAudioTracks(audio, waves);
    TakeAudioWaves(waves);
    TakeAudioChannelRecord(file->GetAudioHeaderWord());
  }

  TakeScoreRecords(score, m_midlist, generation != 2);
  TakeAudioRecords(audio, m_midlist_PCM);
  std::vector<const CSeqEvent*> cues = CueRecords(score);
  for (const CSeqEvent* e : CueRecords(audio)) cues.push_back(e);
  if (generation == 2) {
    CheckCueSync(cues);
  } else {
    const CSeqEvent* start = nullptr;
    const CSeqEvent* stop = nullptr;
    for (const CSeqEvent* e : cues) {
      if (e->GetExtra() == kStartCue && !start) start = e;
      if (e->GetExtra() == kStopCue && !stop) stop = e;
    }
    if (start && stop && start->GetTick() > stop->GetTick()) throw -1;
  }
  for (const CSeqEvent* e : cues) SetCuePoint(static_cast<int>(e->GetExtra()), e->GetTick(), 1);

  InitChannelSetupFromEvents();
  for (int k = 0; k < 16; ++k) m_setup.SetVoiceSlot(k, CVoiceAssignTable::kUnset);
  if (generation == 1) {
    TakeSetupVoicesKZ1(*file);
  } else {
    TakeSetupVoicesKZ2(*file);
  }
  RebuildVoiceSlotsKZ12();

  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  if (start != kNoCue && stop != kNoCue && stop <= start) return 0;
  return 1;
}

void CKZ1Doc::TakeSetupVoicesKZ1(const CVelkFileChunk& file) {
  uint8_t count = 0;
  const uint8_t* entries = file.GetSetupEntries(&count);
  if (!entries) return;
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  for (int i = 0; i < count; ++i) {
    const uint8_t* entry = entries + kSetupEntrySize * i;
    const int slot = entry[0];
    const int bank = entry[1];
    if (slot >= m_voiceLimit || bank == CVoiceAssignTable::kUnset) continue;
    const int program = FreeProgram(*this, slot, bank, entry[2]);
    if (program < 0) continue;
    uint8_t voice[kKZ1Voice] = {};
    if (library) std::memcpy(voice, library->GetVoiceTableEntry(0, entry[2]), kKZ1Voice);
    // The entry carries the range byte and the operator bytes the chip plays.
    voice[32] = entry[3];
    std::memcpy(voice + 20, entry + 4, 12);
    AssignGivenKZ1Voice(slot, bank, program, voice);
  }
}

void CKZ1Doc::TakeSetupVoicesKZ2(const CVelkFileChunk& file) {
  SongOutputRecord record;
  std::vector<std::unique_ptr<CVoice2>> voices;
  file.GetTrackSetup(record, voices);
  for (int n = 1; n <= 4; ++n) {
    for (int i = 0; i < 4; ++i) {
      const int k = 4 * (n - 1) + i;
      const uint8_t status = record.bytes[SongOutputRecord::kStatusOffset + k];
      m_setup.SetStatus(k, static_cast<uint8_t>((m_setup.GetStatus(k) & 0xF0) | (status & 0x0F)));
    }
  }
  for (const auto& voice : voices) {
    // The setup chunk packs its records: the voice number, not the table index, is the slot.
    const int slot = voice->GetVoiceNo();
    const int bank = voice->GetBank();
    if (slot >= m_voiceLimit) continue;
    const int program = FreeProgram(*this, slot, bank, voice->GetProgram());
    if (program < 0) continue;
    m_voiceAssign.SetAddress(slot, static_cast<uint8_t>(bank), 0, static_cast<uint8_t>(program), 0);
    m_voiceAssign.SetVoice2(slot, *voice);
    RefreshChannelCopies(slot);
  }
}

void CKZ1Doc::TakeAudioWaves(const CChunkInfoList& waves) {
  CChunkInfoIter it(waves);
  for (CChunkInfo* wave = nullptr; it.Next(wave);) {
    const int s = wave->GetKind();
    if (s < 1 || s >= kStreamSlotCount) continue;
    CStreamPCMSlot slot;
    slot.SetWaveData(wave->GetData().GetData(), wave->GetSize());
    SetStreamPcmSlot(s, slot);
  }
}

void CKZ1Doc::TakeAudioChannelRecord(uint16_t word) {
  // The inverse of the writer's packing, so the next save writes the same word.
  m_valueRecord.SetValue(0, (word >> 15) & 0x1);
  m_valueRecord.SetValue(1, (word >> 12) & 0x7);
  m_valueRecord.SetValue(2, (word >> 8) & 0xF);
  m_valueRecord.SetValue(3, (word >> 4) & 0xF);
}
