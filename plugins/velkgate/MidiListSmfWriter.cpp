// Writes the converter's MIDI list as song-data SMF bytes: a format-0 file with one track whose
// head carries contents, setup, voices and waves, followed by the song's events.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"

namespace velkgate {

namespace {

constexpr uint32_t kResultRam = 0x80000001u;
constexpr uint32_t kRamLimit = 8176;
constexpr uint32_t kRamFm2 = 16;
constexpr uint32_t kRamFm4 = 30;
constexpr uint32_t kRamPcm = 14;
constexpr uint32_t kRamPerMode = 1024;
constexpr uint32_t kRamUserWave = 2048;
constexpr uint8_t kContentsTypeNoStreamRam = 0x38;
constexpr uint32_t kStreamBytesPerPiece = kMaxDataBlockBytes - 2;  // the rate leads each piece
constexpr int kLastStreamSlot = 32;
constexpr int kChannels = 16;
constexpr uint8_t kStreamSlotFlag = 0x04;

uint32_t RoundUpEven(uint32_t v) { return v + (v & 1); }

bool IsUserBank(uint8_t msb) { return msb == kBankMelody || msb == kBankDrum; }

/// The tempo of a device tempo event, or false when it is none.
bool DeviceTempoOf(const CSeqEvent& e, uint32_t& tempo) {
  DialectMessage m;
  const uint8_t* p = e.GetData();
  uint32_t n = e.GetLength();
  if (n < 2 || p[0] != 0xF0) return false;
  const uint8_t* cursor = p + 1;
  uint32_t length = 0;
  try {
    length = ReadVlq(cursor, p + n);
  } catch (int) {
    return false;
  }
  uint32_t rest = static_cast<uint32_t>(p + n - cursor);
  if (!ParseDialectMessage(cursor, rest, m) || m.group != kGroupSong || m.command != kSongTempo)
    return false;
  return DecodeDialectTempo(m.payload, m.payloadSize, length, tempo);
}

/// The device message inside a stored SysEx event.
bool DeviceMessageOf(const CSeqEvent& e, DialectMessage& m) {
  const uint8_t* p = e.GetData();
  uint32_t n = e.GetLength();
  if (n < 2 || p[0] != 0xF0) return false;
  const uint8_t* cursor = p + 1;
  try {
    ReadVlq(cursor, p + n);
  } catch (int) {
    return false;
  }
  return ParseDialectMessage(cursor, static_cast<uint32_t>(p + n - cursor), m) && m.device == 0x06;
}

class SmfWriter {
 public:
  SmfWriter(CMidiList& list, uint32_t* report) : m_list(list), m_setup(list.GetSetup()), m_report(report) {}

  /// Builds the whole file; false when the RAM check fails.
  bool Build(const CEventList& main, const CEventList& stream);
  const std::vector<uint8_t>& GetBytes() const { return m_file; }

 private:
  void Put(uint32_t tick, const uint8_t* bytes, uint32_t n);
  void Put(uint32_t tick, const std::vector<uint8_t>& bytes) {
    Put(tick, bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  void PutChannel(uint32_t tick, uint8_t status, uint8_t a, uint8_t b) {
    const uint8_t bytes[3] = {status, a, b};
    Put(tick, bytes, 3);
  }

  void WriteContentsHeader();
  void WriteChannelStatus();
  void WriteContentsTexts();
  void WriteLastText();
  void WriteVoices();
  void WriteWaves();
  void WriteStreamWaves();
  void WriteStreamSettings();
  bool CheckRam();
  void WriteVolumes();
  void WriteDefaults();

  void WriteEvent(const CSeqEvent& e);
  void WriteController(const CSeqEvent& e);
  void WriteMeta(const CSeqEvent& e);
  void WriteCue(uint32_t tick, uint8_t code);
  void WriteSysEx(const CSeqEvent& e);
  void FlushNoteOffs(uint32_t tick);
  void FlushLoopEnd(uint32_t tick);

  CMidiList& m_list;
  CSongSetup& m_setup;
  uint32_t* m_report;
  CEventArray m_events;
  std::vector<uint8_t> m_track;
  std::vector<uint8_t> m_file;
  uint32_t m_lastTick = 0;

  uint32_t m_ram = 0;
  std::array<bool, CSongSetup::kUserWaveCount> m_userWaveUsed{};
  std::array<uint32_t, 128> m_waveUsers{};
  std::array<uint32_t, 128> m_waveWritten{};
  uint32_t m_userWavesWritten = 0;
  uint8_t m_mode = 0;

  std::multimap<uint32_t, uint16_t> m_noteOffs;  // end tick -> channel << 8 | note
  uint8_t m_loopEnd = 0;                          // section code of the pending loop end
  bool m_rpnMsbZero[kChannels] = {};
  bool m_rpnLsbZero[kChannels] = {};
  uint32_t m_tempo = 0;
  bool m_haveMeter = false;
  uint8_t m_meter[4] = {};
  bool m_haveDeviceTempo = false;
  uint32_t m_deviceTempo = 0;
  bool m_masterSkipped = false;
  uint32_t m_trackEnd = 0;
};

void SmfWriter::Put(uint32_t tick, const uint8_t* bytes, uint32_t n) {
  AppendVlq(m_track, tick > m_lastTick ? tick - m_lastTick : 0);
  AppendBytes(m_track, bytes, n);
  m_lastTick = std::max(m_lastTick, tick);
}

// ---- Head ------------------------------------------------------------------------------------

void SmfWriter::WriteContentsHeader() {
  const CContentsInfo& info = m_list.GetContentsInfo();
  const uint8_t plain[5] = {info.GetContentsClass(), info.GetContentsType(), 0x01,
                            info.GetOptionByte1(), info.GetOptionByte2()};
  Put(0, MakePackedDialectMessage(kGroupSong, kSongContentsHeader, nullptr, 0, plain, 5));
}

void SmfWriter::WriteChannelStatus() {
  uint8_t status[kChannels];
  for (int ch = 0; ch < kChannels; ++ch) status[ch] = m_setup.GetStatus(ch);
  Put(0, MakePackedDialectMessage(kGroupSong, kSongChannelStatus, nullptr, 0, status, kChannels));
}

void SmfWriter::WriteContentsTexts() {
  const CContentsInfo& info = m_list.GetContentsInfo();
  uint8_t code = info.GetTextCodeType();
  std::vector<uint8_t> texts;
  auto addText = [&](int tag, const char* text) {
    size_t n = std::strlen(text);
    if (n == 0) return;
    std::string_view name = ContentsTagName(tag);
    AppendBytes(texts, reinterpret_cast<const uint8_t*>(name.data()), 2);
    if (!CMidiList::WriteEntryValue(texts, text, static_cast<uint32_t>(n), code, true))
      throw kErrTextConversion;
  };
  for (int k = 1; k <= 5; ++k) addText(kTagST + k - 1, info.GetSongTextInfo().GetText(k));
  static constexpr std::pair<int, int> kTexts[] = {{kTagVN, 1}, {kTagCN, 2}, {kTagCA, 3},
                                                   {kTagCR, 4}, {kTagGR, 7}, {kTagMI, 8},
                                                   {kTagCD, 5}, {kTagUD, 6}};
  for (const auto& [tag, field] : kTexts) addText(tag, info.GetText(field).c_str());
  std::vector<uint8_t> bytes;
  auto addByte = [&](int tag, uint8_t value) {
    std::string_view name = ContentsTagName(tag);
    AppendBytes(bytes, reinterpret_cast<const uint8_t*>(name.data()), 2);
    AppendBE16(bytes, 1);
    AppendByte(bytes, value);
  };
  addByte(kTagES, info.GetOptionByte3());
  if (info.GetOptionByte4() <= 1) addByte(kTagDV, info.GetOptionByte4());
  if (code == kTextCodeByteItems) {
    texts.insert(texts.end(), bytes.begin(), bytes.end());
    bytes.clear();
  }
  std::vector<uint8_t> body;
  auto addChunk = [&](uint8_t chunkCode, const std::vector<uint8_t>& entries) {
    if (entries.empty()) return;
    AppendBytes(body, kContentsChunkId, 3);
    AppendByte(body, chunkCode);
    AppendBE32(body, static_cast<uint32_t>(entries.size()));
    AppendBytes(body, entries.data(), static_cast<uint32_t>(entries.size()));
  };
  addChunk(code, texts);
  addChunk(kTextCodeByteItems, bytes);
  if (body.empty()) return;
  Put(0, MakePackedDialectMessage(kGroupSong, kSongContentsTexts, nullptr, 0, body.data(),
                                  static_cast<uint32_t>(body.size())));
}

void SmfWriter::WriteLastText() {
  const std::string& text = m_list.GetContentsInfo().GetText(9);
  if (text.empty()) return;
  Put(0, MakePackedDialectMessage(kGroupSong, kSongLastText, nullptr, 0,
                                  reinterpret_cast<const uint8_t*>(text.data()),
                                  static_cast<uint32_t>(text.size())));
}

void SmfWriter::WriteVoices() {
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    const CVoiceItem* item = m_setup.GetVoiceItem(i);
    if (!item) continue;
    uint8_t msb = item->GetBankMsb();
    if (!IsUserBank(msb)) continue;
    if ((msb == kBankMelody && item->GetBankLsb() == 10) ||
        (msb == kBankDrum && item->GetProgram() == 10))
      continue;
    bool pcm = item->IsPcm() != 0;
    if (pcm && item->GetRM() == 0 && item->GetWaveSampleSize() == 0) continue;
    const uint8_t head[5] = {msb, item->GetBankLsb(), item->GetProgram(), item->GetNote(),
                             static_cast<uint8_t>(pcm ? 1 : 0)};
    const uint8_t* block = pcm ? item->GetPcmVoice() : item->GetFmVoice();
    uint32_t n = pcm ? CVoiceItem::GetPcmVoiceSize() : item->GetFmVoiceLength();
    Put(0, MakePackedDialectMessage(kGroupDevice, kDeviceVoice, head, 5, block, n));
    if (pcm) {
      m_ram += kRamPcm;
      if (item->GetRM() == 0) ++m_waveUsers[item->GetWaveId()];
    } else {
      int operators = item->GetOperatorCount();
      m_ram += operators == 4 ? kRamFm4 : kRamFm2;
      for (int op = 1; op <= operators; ++op) m_userWaveUsed[item->GetOpWS(op) & 0x1F] = true;
    }
  }
}

void SmfWriter::WriteWaves() {
  for (int id = 0; id < 128; ++id) {
    const CVoiceItem* item = m_setup.FindPcmVoiceByWave(id);
    if (!item || !IsUserBank(item->GetBankMsb())) continue;
    uint32_t size = item->GetWaveSampleSize();
    if (size == 0) continue;
    m_waveWritten[static_cast<size_t>(id)] = size;
    const uint8_t* samples = item->GetWaveSamples();
    uint8_t format = item->GetWaveHeaderFlags() & kBlockFormatMask;
    for (uint32_t pos = 0; pos < size; pos += kMaxDataBlockBytes) {
      uint32_t n = std::min(kMaxDataBlockBytes, size - pos);
      bool last = pos + n == size;
      const uint8_t head[2] = {static_cast<uint8_t>(id),
                               static_cast<uint8_t>(format | (last ? 0 : kBlockContinues))};
      Put(0, MakePackedDialectMessage(kGroupDevice, kDeviceWave, head, 2, samples + pos, n));
    }
  }
}

void SmfWriter::WriteStreamWaves() {
  std::vector<uint8_t> plain(kMaxDataBlockBytes);
  bool anySlot = false;
  for (int s = 0; s <= kLastStreamSlot; ++s) {
    const CStreamPCMSlot* slot = m_setup.GetStreamPcmSlot(s);
    if (!slot || slot->GetDataSize() == 0) continue;
    anySlot = true;
    uint32_t size = slot->GetDataSize();
    uint8_t flags = static_cast<uint8_t>((slot->GetFormat() & kBlockFormatMask) |
                                         (slot->GetFlag() ? kStreamSlotFlag : 0));
    plain[0] = static_cast<uint8_t>(slot->GetRate() >> 8);
    plain[1] = static_cast<uint8_t>(slot->GetRate());
    for (uint32_t pos = 0; pos < size; pos += kStreamBytesPerPiece) {
      uint32_t n = std::min(kStreamBytesPerPiece, size - pos);
      bool last = pos + n == size;
      std::memcpy(plain.data() + 2, slot->GetData() + pos, n);
      const uint8_t head[2] = {static_cast<uint8_t>(s),
                               static_cast<uint8_t>(flags | (last ? 0 : kBlockContinues))};
      Put(0, MakePackedDialectMessage(kGroupDevice, kDeviceStreamWave, head, 2, plain.data(), n + 2));
    }
  }
  m_mode = m_setup.GetStreamMode();
  if (m_mode == CSongSetup::kUnset && anySlot) m_mode = 2;
  if (m_mode > 2) m_mode = 0;
}

void SmfWriter::WriteStreamSettings() {
  Put(0, MakeDialectMessage(kGroupDevice, kDeviceSetupMode, &m_mode, 1));
  for (int s = 0; s <= kLastStreamSlot; ++s) {
    uint8_t mode = m_setup.GetSlotSettingFirst(s);
    uint8_t pan = m_setup.GetSlotSettingSecond(s);
    if (mode == CSongSetup::kUnset || pan >= 0x80) continue;
    const uint8_t payload[3] = {static_cast<uint8_t>(s), mode, pan};
    Put(0, MakeDialectMessage(kGroupDevice, kDeviceStreamSlot, payload, 3));
  }
  for (int b = 0; b < CSongSetup::kUserWaveCount; ++b) {
    const CNamedBlock* block = m_setup.GetUserWave(b);
    if (!block || block->GetSize() == 0 || !m_userWaveUsed[static_cast<size_t>(b)]) continue;
    const uint8_t index = static_cast<uint8_t>(b);
    Put(0, MakePackedDialectMessage(kGroupDevice, kDeviceUserWave, &index, 1, block->GetData(),
                                    block->GetSize()));
    ++m_userWavesWritten;
  }
}

bool SmfWriter::CheckRam() {
  for (size_t id = 0; id < m_waveWritten.size(); ++id)
    m_ram += RoundUpEven(m_waveWritten[id] * m_waveUsers[id]);
  if (m_list.GetContentsInfo().GetContentsType() != kContentsTypeNoStreamRam)
    m_ram += kRamPerMode * m_mode;
  m_ram += kRamUserWave * m_userWavesWritten;
  m_ram = RoundUpEven(m_ram);
  m_list.SetRamUse(m_ram);
  if (m_ram > kRamLimit && m_list.GetRamCheck()) {
    if (m_report) *m_report = kResultRam;
    return false;
  }
  return true;
}

void SmfWriter::WriteVolumes() {
  bool inUse[kChannels] = {};
  for (int32_t i = 0; i < m_events.GetCount(); ++i) {
    uint8_t status = m_events[i]->GetDataByte(0);
    if (status >= 0x80 && status < 0xF0) inUse[status & 0x0F] = true;
  }
  for (int ch = 0; ch < kChannels; ++ch) {
    uint8_t volume = m_setup.GetVolume(ch);
    if (inUse[ch] && volume != CSongSetup::kUnset)
      PutChannel(0, static_cast<uint8_t>(0xB0 | ch), 0x07, volume);
  }
}

void SmfWriter::WriteDefaults() {
  bool tempoAtZero = false;
  bool meterAtZero = false;
  uint32_t tempo = 0;
  for (int32_t i = 0; i < m_events.GetCount() && m_events[i]->GetTick() == 0; ++i) {
    const CSeqEvent& e = *m_events[i];
    if (DeviceTempoOf(e, tempo)) tempoAtZero = true;
    if (e.GetDataByte(0) == 0xFF && e.GetDataByte(1) == kMetaTimeSignature) meterAtZero = true;
  }
  if (!tempoAtZero) {
    Put(0, MakeTempoMessage(kDefaultQuarterTempo));
    m_haveDeviceTempo = true;
    m_deviceTempo = kDefaultQuarterTempo;
  }
  if (!meterAtZero) {
    Put(0, kDefaultTimeSignatureMeta, sizeof kDefaultTimeSignatureMeta);
    m_haveMeter = true;
    std::memcpy(m_meter, kDefaultTimeSignatureMeta + 3, 4);
  }
}

// ---- Events ----------------------------------------------------------------------------------

void SmfWriter::FlushNoteOffs(uint32_t tick) {
  while (!m_noteOffs.empty() && m_noteOffs.begin()->first <= tick) {
    auto it = m_noteOffs.begin();
    PutChannel(it->first, static_cast<uint8_t>(0x90 | (it->second >> 8)),
               static_cast<uint8_t>(it->second & 0x7F), 0x00);
    m_noteOffs.erase(it);
  }
}

void SmfWriter::FlushLoopEnd(uint32_t tick) {
  if (m_loopEnd == 0) return;
  Put(tick, MakeCueMeta(SectionEndText(m_loopEnd)));
  m_loopEnd = 0;
}

void SmfWriter::WriteCue(uint32_t tick, uint8_t code) {
  if (code == kCueStart) {
    Put(tick, MakeCueMeta(kCueStartText));
  } else if (code == kCueStop) {
    FlushLoopEnd(tick);
    Put(tick, MakeCueMeta(kCueStopText));
  } else {
    FlushLoopEnd(tick);
    Put(tick, MakeCueMeta(CueText(code)));
    m_loopEnd = code;
  }
}

void SmfWriter::WriteController(const CSeqEvent& e) {
  uint8_t status = e.GetDataByte(0);
  int ch = status & 0x0F;
  uint8_t control = e.GetDataByte(1);
  uint8_t value = e.GetDataByte(2);
  switch (control) {
    case 6:
      if (m_rpnMsbZero[ch] && m_rpnLsbZero[ch] && value <= 24) {
        PutChannel(e.GetTick(), status, 0x65, 0x00);
        PutChannel(e.GetTick(), status, 0x64, 0x00);
        PutChannel(e.GetTick(), status, 0x06, value);
      }
      return;
    case 101:
      m_rpnMsbZero[ch] = value == 0;
      if (value != 0) m_rpnLsbZero[ch] = false;
      return;
    case 100:
      m_rpnLsbZero[ch] = value == 0;
      if (value != 0) m_rpnMsbZero[ch] = false;
      return;
    case 98:
    case 99:
      m_rpnMsbZero[ch] = false;
      m_rpnLsbZero[ch] = false;
      return;
    case 38:
    case 56:
      return;
    default:
      Put(e.GetTick(), e.GetData(), e.GetLength());
      return;
  }
}

void SmfWriter::WriteMeta(const CSeqEvent& e) {
  uint8_t type = e.GetDataByte(1);
  uint32_t tick = e.GetTick();
  const uint8_t* p = e.GetData();
  uint32_t n = e.GetLength();
  switch (type) {
    case kMetaTempo: {
      if (n < 6) return;
      uint32_t tempo = (uint32_t{p[3]} << 16) | (uint32_t{p[4]} << 8) | p[5];
      if (tempo == m_tempo) return;
      m_tempo = tempo;
      Put(tick, p, n);
      return;
    }
    case kMetaTimeSignature:
      if (n < 7) return;
      if (m_haveMeter && std::memcmp(m_meter, p + 3, 4) == 0) return;
      m_haveMeter = true;
      std::memcpy(m_meter, p + 3, 4);
      Put(tick, p, n);
      return;
    case kMetaKeySignature:
    case kMetaMarker:
      Put(tick, p, n);
      return;
    case kMetaSequencerSpecific:
      if (n >= 6 && p[3] == kDialectMakerId && p[4] == kSequencerSectionId && p[5] == 0x01)
        Put(tick, p, n);
      return;
    case kMetaEndOfTrack:
      m_trackEnd = std::max(m_trackEnd, tick);
      return;
    case kMetaCuePoint:
      if (e.GetExtra() == 0) Put(tick, p, n);
      return;
    default:
      return;
  }
}

void SmfWriter::WriteSysEx(const CSeqEvent& e) {
  DialectMessage m;
  if (!DeviceMessageOf(e, m)) return;
  if (m.group == kGroupSong && m.command == kSongTempo) {
    uint32_t tempo = 0;
    if (!DeviceTempoOf(e, tempo)) return;
    if (m_haveDeviceTempo && tempo == m_deviceTempo) return;
    m_haveDeviceTempo = true;
    m_deviceTempo = tempo;
    Put(e.GetTick(), e.GetData(), e.GetLength());
    return;
  }
  if (m.group != kGroupDevice) return;
  switch (m.command) {
    case kDeviceMasterVolume:
      if (!m_masterSkipped) {
        m_masterSkipped = true;
        return;
      }
      break;
    case kDeviceStreamPair:
    case kDeviceStreamSwitch:
    case kDeviceStreamSlot:
    case kDeviceSongValue:
      break;
    default:
      return;
  }
  Put(e.GetTick(), e.GetData(), e.GetLength());
}

void SmfWriter::WriteEvent(const CSeqEvent& e) {
  uint8_t status = e.GetDataByte(0);
  // A cue is a cue meta read from song data, or a marker of the sequence decoders: one byte,
  // the track number, with its cue code.
  if (e.GetExtra() != 0 && (status == 0xFF || status < 0x80)) {
    WriteCue(e.GetTick(), static_cast<uint8_t>(e.GetExtra()));
    return;
  }
  switch (status & 0xF0) {
    case 0x90:
      Put(e.GetTick(), e.GetData(), e.GetLength());
      m_noteOffs.emplace(e.GetEndTick(),
                         static_cast<uint16_t>(((status & 0x0F) << 8) | (e.GetDataByte(1) & 0x7F)));
      return;
    case 0xC0:
    case 0xE0:
      Put(e.GetTick(), e.GetData(), e.GetLength());
      return;
    case 0xB0:
      WriteController(e);
      return;
    case 0xF0:
      if (status == 0xFF) WriteMeta(e);
      else if (status == 0xF0) WriteSysEx(e);
      return;
    default:
      return;
  }
}

bool SmfWriter::Build(const CEventList& main, const CEventList& stream) {
  CMidiList::MergeEventLists(main, stream, m_events);
  CMidiList::checkMidiList(m_events);

  m_tempo = m_list.GetTempo();
  const uint8_t tempo[6] = {0xFF, kMetaTempo, 0x03, static_cast<uint8_t>(m_tempo >> 16),
                            static_cast<uint8_t>(m_tempo >> 8), static_cast<uint8_t>(m_tempo)};
  Put(0, tempo, 6);
  WriteContentsHeader();
  WriteChannelStatus();
  WriteContentsTexts();
  WriteLastText();
  const uint8_t master = m_setup.GetMasterVolume();
  Put(0, MakeDialectMessage(kGroupDevice, kDeviceMasterVolume, &master, 1));
  WriteVoices();
  WriteWaves();
  WriteStreamWaves();
  WriteStreamSettings();
  if (!CheckRam()) return false;
  WriteVolumes();
  WriteDefaults();

  for (int32_t i = 0; i < m_events.GetCount(); ++i) {
    const CSeqEvent& e = *m_events[i];
    // Without an end-of-track event the track ends at the sequence's last event.
    m_trackEnd = std::max(m_trackEnd, e.GetTick());
    if (e.IsDropped()) continue;
    FlushNoteOffs(e.GetTick());
    WriteEvent(e);
  }
  FlushNoteOffs(UINT32_MAX);
  FlushLoopEnd(m_lastTick);
  static constexpr uint8_t kEnd[3] = {0xFF, kMetaEndOfTrack, 0x00};
  Put(std::max(m_trackEnd, m_lastTick), kEnd, 3);

  AppendBytes(m_file, kSmfHeaderId, 4);
  AppendBE32(m_file, kSmfHeaderLength);
  AppendBE16(m_file, 0);
  AppendBE16(m_file, 1);
  AppendBE16(m_file, m_setup.GetTimeBase());
  AppendBytes(m_file, kSmfTrackId, 4);
  AppendBE32(m_file, static_cast<uint32_t>(m_track.size()));
  AppendBytes(m_file, m_track.data(), static_cast<uint32_t>(m_track.size()));
  return true;
}

}  // namespace

int CMidiList::WriteSmf(CMemStream& out, const CEventList& main, const CEventList& stream,
                        uint32_t* report) {
  try {
    SmfWriter writer(*this, report);
    if (!writer.Build(main, stream)) return 0;
    const std::vector<uint8_t>& bytes = writer.GetBytes();
    out.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return 1;
  } catch (int) {
    return 0;
  }
}

}  // namespace velkgate
