// One write of a MIDI list as a song-data SMF.
#include "song/midilist/MidiListWriter.h"

#include <algorithm>
#include <cstring>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SmfStreamReaders.h"
#include "song/SongPrimitives.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr int kFirstSlot = 1;
constexpr int kLastSlot = 32;
/// Plain bytes of stream data in one block, behind the 2-byte rate.
constexpr uint32_t kStreamDataPerBlock = kMaxDataBlockBytes - 2;
constexpr uint32_t kRamFm2 = 16;
constexpr uint32_t kRamFm4 = 30;
constexpr uint32_t kRamPcm = 14;
constexpr size_t kShortTitle = 50;

/// The data of a SysEx event stored as F0, VLQ length, data; false when it is not one.
bool SysExData(const CSeqEvent& e, const uint8_t*& data, uint32_t& n) {
  if (e.GetLength() < 2 || e.GetDataByte(0) != 0xF0) return false;
  const uint8_t* p = e.GetData() + 1;
  const uint8_t* end = e.GetData() + e.GetLength();
  try {
    n = ReadVarLen(&p, end);
  } catch (int) {
    return false;
  }
  if (n > static_cast<uint32_t>(end - p)) return false;
  data = p;
  return true;
}

bool IsSetSlot(const CStreamPCMSlot* slot) { return slot && slot->GetDataSize() > 0; }

}  // namespace

CMidiListWriter::CMidiListWriter(CMidiList& list, uint32_t* flags) : m_list(list), m_flags(flags) {}

void CMidiListWriter::AddFlags(uint32_t bits) {
  if (m_flags) *m_flags |= bits;
}

void CMidiListWriter::Fail(uint32_t code) {
  if (m_flags) *m_flags = code;
  throw 0;
}

void CMidiListWriter::WriteEvent(uint32_t tick, const uint8_t* bytes, uint32_t n) {
  // An event earlier than the last one written goes out at once, never with a wrapped delta.
  uint32_t delta = tick >= m_lastTick ? tick - m_lastTick : 0;
  WriteStreamVarLen(*m_file, delta);
  m_file->Write(bytes, n);
  m_lastTick = std::max(m_lastTick, tick);
}

void CMidiListWriter::WriteEvent(uint32_t tick, const std::vector<uint8_t>& bytes) {
  WriteEvent(tick, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void CMidiListWriter::Write(CMemStream& file, const CSeqEventList& first, const CSeqEventList& second) {
  m_file = &file;
  m_kind = CMidiList::GetOutputKind();
  const CSongSetup& setup = m_list.m_setup;
  for (int s = kFirstSlot; s < CSongSetup::kStreamSlotCount; ++s) {
    m_hasStreamSlot = m_hasStreamSlot || IsSetSlot(setup.GetStreamPcmSlot(s));
  }
  if (m_kind == 3 && m_hasStreamSlot) {
    if (m_list.CheckStreamTriggers(second)) AddFlags(CMidiList::kFlagTriggerOverlap);
    if (m_list.CheckStreamTriggers2(second)) AddFlags(CMidiList::kFlagTriggerPaired);
  }
  CSeqEventList merged;
  CMidiList::MergeByTick(first, second, merged);
  checkMidiList(merged);
  CSeqEventIter it(merged);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) {
    if (!e->IsDropped()) m_events.push_back(e);
  }

  uint16_t division = setup.GetTimeBase();
  m_list.m_division = division;
  WriteSmfHeader(file, 0, 1, division);
  file.Write(kSmfTrackId, 4);
  m_lengthPosition = file.GetPosition();
  file.WriteBE32(0);

  m_lastTempo = m_list.m_firstTempo & 0xFFFFFF;
  const uint8_t tempo[6] = {0xFF, kMetaTempo, 0x03, static_cast<uint8_t>(m_lastTempo >> 16),
                            static_cast<uint8_t>(m_lastTempo >> 8), static_cast<uint8_t>(m_lastTempo)};
  WriteEvent(0, tempo, sizeof tempo);
  WriteContentsHeader();
  WriteChannelStatus();
  WriteContentsTexts();
  WriteLastText();
  if (m_kind != 1 && m_kind != 6) WriteEvent(0, MakeMasterVolumeMessage(setup.GetMasterVolume()));
  WriteVoices();
  WriteWaves();
  WriteStreamWaves();
  WriteSetupMode();
  WriteStreamSettings();
  WriteUserWaves();
  CheckRam();
  WriteChannelVolumes();
  WriteDefaults();
  WriteEvents();
  FinishTrack();
}

// ---- Records at tick 0 ---------------------------------------------------------------------

void CMidiListWriter::WriteContentsHeader() {
  const CContentsInfo& info = m_list.m_info;
  bool shortForm = m_kind == 1 || m_kind == 6;
  const uint8_t header[5] = {shortForm ? uint8_t{0} : info.GetContentsClass(), info.GetContentsType(),
                             shortForm ? uint8_t{0} : uint8_t{1}, info.GetOptionByte1(),
                             shortForm ? uint8_t{0} : info.GetOptionByte2()};
  WriteEvent(0, MakePackedDialectMessage(kGroupSong, kSongContentsHeader, nullptr, 0, header, 5));
}

void CMidiListWriter::WriteChannelStatus() {
  uint8_t status[16];
  for (int ch = 0; ch < 16; ++ch) status[ch] = m_list.m_setup.GetStatus(ch);
  WriteEvent(0, MakePackedDialectMessage(kGroupSong, kSongChannelStatus, nullptr, 0, status, 16));
}

void CMidiListWriter::AddTextItem(CMemStream& chunk, int tag, const std::string& text) {
  if (text.empty()) return;
  std::string_view name = ContentsTagName(tag);
  chunk.Write(name.data(), 2);
  uint8_t code = m_list.m_info.GetTextCodeType();
  if (!CMidiList::WriteInfoText(chunk, text.data(), static_cast<uint32_t>(text.size()), code, 1)) {
    throw 0;
  }
}

void CMidiListWriter::WriteContentsTexts() {
  const CContentsInfo& info = m_list.m_info;
  CMemStream texts;
  CMemStream bytes;
  const CSongTextInfo& song = info.GetSongTextInfo();
  for (int k = 1; k <= 5; ++k) {
    std::string text = song.GetText(k);
    if (k == 1 && (m_kind == 1 || m_kind == 6) && text.size() > kShortTitle) text.resize(kShortTitle);
    AddTextItem(texts, kTagST + k - 1, text);
  }
  static constexpr struct { int tag; int field; } kFields[] = {
      {kTagVN, 1}, {kTagCN, 2}, {kTagCA, 3}, {kTagCR, 4}, {kTagGR, 7}, {kTagMI, 8}, {kTagCD, 5}, {kTagUD, 6}};
  for (const auto& f : kFields) AddTextItem(texts, f.tag, info.GetText(f.field));
  uint8_t code = info.GetTextCodeType();
  CMemStream& byteItems = code == kTextCodeByteItems ? texts : bytes;
  int generation = info.GetGeneration();
  if (generation == 3 || generation == 5) {
    byteItems.Write("ES", 2);
    byteItems.WriteBE16(1);
    byteItems.WriteByte(info.GetOptionByte3());
  }
  if (info.GetOptionByte4() <= 1) {
    byteItems.Write("DV", 2);
    byteItems.WriteBE16(1);
    byteItems.WriteByte(info.GetOptionByte4());
  }
  CMemStream plain;
  auto addChunk = [&plain](uint8_t fourth, const CMemStream& body) {
    if (body.GetSize() == 0) return;
    plain.Write(kContentsChunkId, 3);
    plain.WriteByte(fourth);
    plain.WriteBE32(static_cast<uint32_t>(body.GetSize()));
    plain.Write(body.GetData(), static_cast<uint32_t>(body.GetSize()));
  };
  addChunk(code, texts);
  addChunk(kTextCodeByteItems, bytes);
  if (plain.GetSize() == 0) return;
  WriteEvent(0, MakePackedDialectMessage(kGroupSong, kSongContentsTexts, nullptr, 0, plain.GetData(),
                                         static_cast<uint32_t>(plain.GetSize())));
}

void CMidiListWriter::WriteLastText() {
  const std::string& text = m_list.m_info.GetText9();
  if (text.empty()) return;
  WriteEvent(0, MakePackedDialectMessage(kGroupSong, kSongLastText, nullptr, 0,
                                         reinterpret_cast<const uint8_t*>(text.data()),
                                         static_cast<uint32_t>(text.size())));
}

void CMidiListWriter::WriteVoices() {
  const CSongSetup& setup = m_list.m_setup;
  int maker = platform::settings().GetMakerID();
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* item = setup.GetVoiceItem(i);
    if (!item) continue;
    uint8_t msb = item->GetBankMsb();
    if (msb != kBankMelody && msb != kBankDrum) continue;
    bool pcm = item->IsPcm() != 0;
    bool fixedSlot = (msb == kBankMelody && item->GetBankLsb() == 10) ||
                     (msb == kBankDrum && item->GetProgram() == 10);
    if (fixedSlot) {
      int mode = GetModeSetting();
      if (!pcm && m_kind == 1 && maker == 2 && mode != 1 && mode != 2) m_ram += kRamFm4;
      continue;
    }
    if (pcm && item->GetRM() == 0 && item->GetWaveSampleSize() == 0) continue;
    const uint8_t head[5] = {msb, item->GetBankLsb(), item->GetProgram(), item->GetNote(),
                             static_cast<uint8_t>(pcm ? 1 : 0)};
    const uint8_t* block = pcm ? item->GetPcmVoice() : item->GetFmVoice();
    uint32_t n = pcm ? CVoiceItem::kPcmSize : item->GetFmVoiceLength();
    WriteEvent(0, MakePackedDialectMessage(kGroupDevice, kDeviceVoice, head, 5, block, n));
    if (pcm) {
      m_ram += kRamPcm;
      uint8_t id = item->GetWaveId();
      if (item->GetRM() == 0 && !m_waveCounted[id]) {
        m_waveCounted[id] = true;
        m_ram += item->GetWaveSampleSize();
      }
    } else {
      int operators = item->GetOperatorCount();
      m_ram += operators == 4 ? kRamFm4 : kRamFm2;
      for (int op = 1; op <= operators; ++op) m_userWaveUsed[item->GetOpWS(op) & 0x1F] = true;
    }
  }
}

void CMidiListWriter::WriteWaves() {
  const CSongSetup& setup = m_list.m_setup;
  std::array<bool, 128> sent{};
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* item = setup.GetVoiceItem(i);
    if (!item || !item->IsPcm() || item->GetRM() != 0) continue;
    uint32_t size = item->GetWaveSampleSize();
    uint8_t id = item->GetWaveId();
    if (size == 0 || sent[id] || !m_waveCounted[id]) continue;
    sent[id] = true;
    const uint8_t* samples = item->GetWaveSamples();
    uint8_t format = item->GetWaveHeaderFlags() & kBlockFormatMask;
    for (uint32_t pos = 0; pos < size; pos += kMaxDataBlockBytes) {
      uint32_t n = std::min(kMaxDataBlockBytes, size - pos);
      bool last = pos + n == size;
      const uint8_t head[2] = {id, static_cast<uint8_t>(format | (last ? 0 : kBlockContinues))};
      WriteEvent(0, MakePackedDialectMessage(kGroupDevice, kDeviceWave, head, 2, samples + pos, n));
    }
  }
}

void CMidiListWriter::WriteStreamWaves() {
  const CSongSetup& setup = m_list.m_setup;
  std::vector<uint8_t> plain(kMaxDataBlockBytes);
  for (int s = kFirstSlot; s <= kLastSlot; ++s) {
    const CStreamPCMSlot* slot = setup.GetStreamPcmSlot(s);
    if (!IsSetSlot(slot)) continue;
    uint32_t size = slot->GetDataSize();
    uint8_t format = slot->GetFormat() & kBlockFormatMask;
    uint8_t flag = slot->GetFlag() ? 1 : 0;
    plain[0] = static_cast<uint8_t>(slot->GetRate() >> 8);
    plain[1] = static_cast<uint8_t>(slot->GetRate());
    for (uint32_t pos = 0; pos < size; pos += kStreamDataPerBlock) {
      uint32_t n = std::min(kStreamDataPerBlock, size - pos);
      bool last = pos + n == size;
      std::memcpy(plain.data() + 2, slot->GetData() + pos, n);
      uint8_t flags = static_cast<uint8_t>(((last ? flag : (flag | 8)) << 2) | format);
      const uint8_t head[2] = {static_cast<uint8_t>(s), flags};
      WriteEvent(0, MakePackedDialectMessage(kGroupDevice, kDeviceStreamWave, head, 2, plain.data(), n + 2));
    }
  }
}

void CMidiListWriter::WriteSetupMode() {
  uint8_t mode = m_list.m_setup.GetStreamMode();
  if (mode == CSongSetup::kUnset && m_hasStreamSlot) mode = 2;
  // Only a value the reader takes goes out; an unset mode of a song without slots writes nothing.
  if (mode > 2) return;
  WriteEvent(0, MakeDialectMessage(kGroupDevice, kDeviceSetupMode, &mode, 1));
}

void CMidiListWriter::WriteStreamSettings() {
  const CSongSetup& setup = m_list.m_setup;
  for (int s = kFirstSlot; s <= kLastSlot; ++s) {
    if (setup.GetSlotSettingFirst(s) == CSongSetup::kUnset) continue;
    const uint8_t payload[3] = {static_cast<uint8_t>(s), setup.GetSlotSettingFirst(s),
                                setup.GetSlotSettingSecond(s)};
    WriteEvent(0, MakeDialectMessage(kGroupDevice, kDeviceStreamSlot, payload, 3));
  }
}

void CMidiListWriter::WriteUserWaves() {
  const CSongSetup& setup = m_list.m_setup;
  for (int b = 0; b < CSongSetup::kUserWaveCount; ++b) {
    const CNamedBlock* block = setup.GetUserWave(b);
    if (!block || !m_userWaveUsed[static_cast<size_t>(b)] || block->GetSize() == 0) continue;
    const uint8_t index = static_cast<uint8_t>(b);
    WriteEvent(0, MakePackedDialectMessage(kGroupDevice, kDeviceUserWave, &index, 1, block->GetData(),
                                           block->GetSize()));
  }
}

void CMidiListWriter::CheckRam() {
  m_list.m_ramCount = (m_ram + 1) & ~1u;
  if (m_list.m_ramCheck && m_list.m_ramCount > CMidiList::kRamLimit) Fail(CMidiList::kFailRam);
}

void CMidiListWriter::WriteChannelVolumes() {
  const CSongSetup& setup = m_list.m_setup;
  for (int ch = 0; ch < 16; ++ch) {
    if (!setup.GetNoVolumeEvent(ch) || setup.GetVolume(ch) == CSongSetup::kUnset) continue;
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xB0 | ch), 0x07, setup.GetVolume(ch)};
    WriteEvent(0, bytes, 3);
  }
}

void CMidiListWriter::WriteDefaults() {
  bool tempoAtZero = false;
  bool timeSignatureAtZero = false;
  for (const CSeqEvent* e : m_events) {
    if (e->GetTick() != 0) break;
    tempoAtZero = tempoAtZero || e->GetKind() == 3;
    timeSignatureAtZero = timeSignatureAtZero || (e->GetDataByte(0) == 0xFF && e->GetDataByte(1) == kMetaTimeSignature);
  }
  // Only a default written here counts as the last device tempo: a song's own tempo at tick 0
  // is written as it comes, even when it is the default's value.
  if (!tempoAtZero) {
    WriteEvent(0, MakeTempoMessage(kDefaultQuarterTempo));
    m_lastDeviceTempo = kDefaultQuarterTempo;
  }
  if (!timeSignatureAtZero) {
    WriteEvent(0, kDefaultTimeSignatureMeta, sizeof kDefaultTimeSignatureMeta);
    m_lastTimeSignature.assign(std::begin(kDefaultTimeSignatureMeta), std::end(kDefaultTimeSignatureMeta));
  }
}

// ---- Events --------------------------------------------------------------------------------

void CMidiListWriter::WriteEvents() {
  for (const CSeqEvent* e : m_events) {
    uint32_t tick = e->GetTick();
    FlushNoteOffs(tick);
    if (e->GetExtra() != 0) {
      WriteCue(tick, e->GetExtra());
      continue;
    }
    uint8_t status = e->GetDataByte(0);
    if (e->GetLength() == 0) continue;
    if (status < 0xF0) {
      WriteChannelEvent(*e);
    } else if (status == 0xFF) {
      WriteMetaEvent(*e);
    } else if (status == 0xF0) {
      WriteSysExEvent(*e);
    }
  }
}

void CMidiListWriter::FlushNoteOffs(uint32_t tick) {
  while (!m_noteOffs.empty() && m_noteOffs.top().endTick <= tick) {
    NoteOff off = m_noteOffs.top();
    m_noteOffs.pop();
    WriteNoteOff(off);
  }
}

void CMidiListWriter::WriteNoteOff(const NoteOff& off) {
  const uint8_t bytes[3] = {static_cast<uint8_t>(0x90 | off.channel), off.key, 0};
  WriteEvent(off.endTick, bytes, 3);
  --m_pendingPerChannel[off.channel];
}

void CMidiListWriter::WriteArmedSectionEnd(uint32_t tick) {
  if (m_armedSection == 0) return;
  WriteEvent(tick, MakeCueMeta(SectionEndText(static_cast<uint8_t>(m_armedSection))));
  m_armedSection = 0;
}

void CMidiListWriter::WriteCue(uint32_t tick, uint32_t code) {
  if (code == kCueStart) {
    WriteEvent(tick, MakeCueMeta(kCueStartText));
  } else if (code == kCueStop) {
    WriteArmedSectionEnd(tick);
    WriteEvent(tick, MakeCueMeta(kCueStopText));
    if (m_kind == 3 && !m_noteOffs.empty()) AddFlags(CMidiList::kFlagStopOverNote);
  } else if (code >= kCueFirstSection && code <= kCueLastSection) {
    WriteArmedSectionEnd(tick);
    WriteEvent(tick, MakeCueMeta(CueText(static_cast<uint8_t>(code))));
    m_armedSection = code;
  }
}

void CMidiListWriter::WriteChannelEvent(const CSeqEvent& e) {
  uint8_t status = e.GetDataByte(0);
  uint8_t ch = status & 0x0F;
  uint32_t tick = e.GetTick();
  switch (status & 0xF0) {
    case 0x90:
      if (e.GetLength() < 3 || e.GetDataByte(2) == 0) return;
      WriteEvent(tick, e.GetData(), 3);
      m_noteOffs.push({e.GetEndTick(), m_noteOrder++, ch, e.GetDataByte(1)});
      ++m_pendingPerChannel[ch];
      break;
    case 0xB0:
      if (e.GetLength() < 3 || e.GetDataByte(1) == 0x38) return;
      if (e.GetDataByte(1) == 0) m_bankValues[ch][0] = e.GetDataByte(2);
      if (e.GetDataByte(1) == 32) m_bankValues[ch][1] = e.GetDataByte(2);
      WriteEvent(tick, e.GetData(), 3);
      break;
    case 0xC0:
      // Every note-off due by now is written, so a pending note still sounds after this tick.
      if (m_pendingPerChannel[ch] > 0) Fail(CMidiList::kFailProgramUnderNote);
      if (e.GetLength() >= 2) WriteEvent(tick, e.GetData(), 2);
      break;
    case 0xE0:
      if (e.GetLength() >= 3) WriteEvent(tick, e.GetData(), 3);
      break;
    default:
      break;
  }
}

void CMidiListWriter::WriteMetaEvent(const CSeqEvent& e) {
  if (e.GetLength() < 3) return;
  uint8_t type = e.GetDataByte(1);
  const uint8_t* d = e.GetData();
  uint32_t tick = e.GetTick();
  switch (type) {
    case kMetaTempo: {
      if (e.GetLength() < 6) return;
      uint32_t value = (uint32_t{d[3]} << 16) | (uint32_t{d[4]} << 8) | d[5];
      if (value == m_lastTempo) return;
      m_lastTempo = value;
      WriteEvent(tick, d, e.GetLength());
      break;
    }
    case kMetaTimeSignature: {
      std::vector<uint8_t> bytes(d, d + e.GetLength());
      if (bytes == m_lastTimeSignature) return;
      m_lastTimeSignature = bytes;
      WriteEvent(tick, bytes);
      break;
    }
    case kMetaKeySignature:
    case kMetaMarker:
      WriteEvent(tick, d, e.GetLength());
      break;
    case kMetaSequencerSpecific:
      if (e.GetLength() >= 6 && d[3] == kDialectMakerId && d[4] == kSequencerSectionId && d[5] == 0x01) {
        WriteEvent(tick, d, e.GetLength());
      }
      break;
    case kMetaEndOfTrack:
      m_endOfTrackTick = std::max(m_endOfTrackTick, tick);
      break;
    default:
      break;
  }
}

void CMidiListWriter::WriteSysExEvent(const CSeqEvent& e) {
  const uint8_t* data = nullptr;
  uint32_t n = 0;
  DialectMessage m;
  if (!SysExData(e, data, n) || !ParseDialectMessage(data, n, m) || m.device != kDialectDeviceId) return;
  uint32_t tick = e.GetTick();
  if (m.group == kGroupDevice) {
    switch (m.command) {
      case kDeviceMasterVolume:
        // The first one went out with the records of tick 0.
        if (m_kind != 1 && m_kind != 6 && !m_firstVolumeSkipped) {
          m_firstVolumeSkipped = true;
          return;
        }
        WriteEvent(tick, e.GetData(), e.GetLength());
        break;
      case kDeviceStreamPair:
      case kDeviceStreamSwitch:
      case kDeviceStreamSlot:
      case kDeviceSongValue:
        WriteEvent(tick, e.GetData(), e.GetLength());
        break;
      default:
        break;
    }
  } else if (m.group == kGroupSong && m.command == kSongTempo) {
    uint32_t value = 0;
    if (!DecodeDialectTempo(m.payload, m.payloadSize, n, value) || value == m_lastDeviceTempo) return;
    m_lastDeviceTempo = value;
    WriteEvent(tick, e.GetData(), e.GetLength());
  }
}

void CMidiListWriter::FinishTrack() {
  while (!m_noteOffs.empty()) {
    NoteOff off = m_noteOffs.top();
    m_noteOffs.pop();
    WriteNoteOff(off);
  }
  WriteArmedSectionEnd(m_lastTick);
  const uint8_t end[3] = {0xFF, kMetaEndOfTrack, 0x00};
  WriteEvent(std::max(m_lastTick, m_endOfTrackTick), end, 3);
  int32_t endPosition = m_file->GetPosition();
  uint32_t length = static_cast<uint32_t>(endPosition - m_lengthPosition - 4);
  m_file->Seek(0, m_lengthPosition);
  m_file->WriteBE32(length);
  m_file->Seek(0, endPosition);
}
