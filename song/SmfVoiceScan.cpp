// The voice-usage scan of a song-data SMF.
#include "song/SmfVoiceScan.h"

#include <cstring>

#include "song/HeapBlock.h"
#include "song/SmfDialect.h"
#include "song/SmfEventStream.h"
#include "song/SmfStreamReaders.h"
#include "song/SongBytes.h"

namespace {

constexpr uint8_t kMonoControl = 126;
constexpr uint8_t kDrumChannel = 9;
constexpr uint8_t kFixedFmBankLsb = 10;
constexpr uint8_t kDrumSetProgram = 10;

// Drum keys that the chip plays with PCM voices. The fixed General MIDI kit (bank 0) plays
// key 52 with FM; the user drum bank's program 10 plays it with PCM.
bool IsPcmDrumKey(uint8_t note, bool includes52) {
  switch (note) {
    case 31: case 33: case 35: case 36: case 38: case 55: case 57: case 59:
      return true;
    default:
      return note >= 40 && (note <= 51 || (includes52 && note == 52));
  }
}

// The data of a SysEx event (after F0 and its length), or false when it does not fit.
bool SysExData(const CHeapBlock& event, const uint8_t*& data, uint32_t& n) {
  const uint8_t* bytes = event.GetData();
  const uint8_t* end = bytes + event.GetSize();
  if (event.GetSize() < 2 || bytes[0] != 0xF0) return false;
  const uint8_t* p = bytes + 1;
  try {
    uint32_t length = ReadVarLen(&p, end);
    if (length > static_cast<uint64_t>(end - p)) return false;
    data = p;
    n = length;
  } catch (int) {
    return false;
  }
  return true;
}

}  // namespace

void CSmfVoiceScan::Reset() {
  m_streamFlags = 0;
  m_checkFlags = 0;
  m_stopPosition = kNoStop;
}

int CSmfVoiceScan::Scan(const uint8_t* image, uint32_t size, int polyphonyMode, int* status) {
  Reset();
  if (status) *status = 0;
  for (int ch = 0; ch < 16; ++ch) {
    m_channels[ch] = CScanChannel{};
    m_flags[ch] = ChannelFlags{};
  }
  m_voices.clear();
  m_voices.reserve(10);

  CSmfEventStream events;
  if (!image || events.Parse(image, size) == 0) {
    if (status) *status = kStatusUnreadable;
    return 1;
  }
  for (uint32_t i = 0; i < events.GetCount(); ++i) {
    const CHeapBlock& event = *events.GetAt(i);
    switch (event.GetKind()) {
      case kKindChannel: ScanChannelMessage(event); break;
      case kKindNote: ScanNote(event); break;
      case kKindVoice: AddVoiceRecord(event); break;
      case kKindStreamPcm: ScanStreamData(event); break;
      case kKindCueStop:
        m_stopPosition = event.GetTick() >= events.GetLastNoteEnd() ? kStopAfterNotes
                                                                    : kStopBeforeNotes;
        break;
      default: break;
    }
  }
  RunChecker(image, size, polyphonyMode, status);
  m_voices.clear();
  return 1;
}

void CSmfVoiceScan::ScanChannelMessage(const CHeapBlock& event) {
  const uint8_t* b = event.GetData();
  int channel = b[0] & 0x0F;
  if ((b[0] & 0xF0) == 0xB0 && event.GetSize() >= 3) {
    if (b[1] == 0) m_channels[channel].bankMsb = b[2];
    if (b[1] == 32) m_channels[channel].bankLsb = b[2];
    if (b[1] == kMonoControl && b[2] == 1) {
      m_flags[channel].mono = true;
      m_checkFlags |= kCheckMonoMode;
    }
  } else if ((b[0] & 0xF0) == 0xC0 && event.GetSize() >= 2) {
    m_channels[channel].program = b[1];
    m_flags[channel].programPending = true;
  }
}

void CSmfVoiceScan::ScanNote(const CHeapBlock& event) {
  if (event.GetSize() < 2) return;
  const uint8_t* b = event.GetData();
  int channel = b[0] & 0x0F;
  ChannelFlags& flags = m_flags[channel];
  // Only the first note after each program change of a mono channel tells its voice.
  if (!flags.mono || !flags.programPending) return;
  ClassifyNote(channel, b[1]);
  flags.programPending = false;
}

void CSmfVoiceScan::ClassifyNote(int channel, uint8_t note) {
  const CScanChannel& c = m_channels[channel];
  ChannelFlags& flags = m_flags[channel];
  switch (c.bankMsb) {
    case kBankMelody:
      if (c.bankLsb == kFixedFmBankLsb) {
        flags.fmUsed = true;
      } else {
        SearchVoiceList(channel, note);
      }
      break;
    case kBankDrum:
      if (c.program == kDrumSetProgram) {
        (IsPcmDrumKey(note, true) ? flags.pcmUsed : flags.fmUsed) = true;
      } else {
        SearchVoiceList(channel, note);
      }
      break;
    case 0:
      if (channel == kDrumChannel) {
        (IsPcmDrumKey(note, false) ? flags.pcmUsed : flags.fmUsed) = true;
      } else {
        flags.fmUsed = true;
      }
      break;
    default:
      break;
  }
}

void CSmfVoiceScan::SearchVoiceList(int channel, uint8_t note) {
  const CScanChannel& c = m_channels[channel];
  ChannelFlags& flags = m_flags[channel];
  for (const CScanChannel& voice : m_voices) {
    if (voice.bankMsb != c.bankMsb || voice.bankLsb != c.bankLsb || voice.program != c.program) {
      continue;
    }
    if (voice.type == 0) {
      flags.fmUsed = true;
    } else if (voice.type == 1) {
      if (voice.bankMsb == kBankMelody || (voice.bankMsb == kBankDrum && voice.key == note)) {
        flags.pcmUsed = true;
      }
    }
  }
}

void CSmfVoiceScan::AddVoiceRecord(const CHeapBlock& event) {
  const uint8_t* data = nullptr;
  uint32_t n = 0;
  // 43 79 06 7F 01, then bank MSB, bank LSB, program, key, type.
  if (!SysExData(event, data, n) || n < 10) return;
  m_voices.push_back({data[5], data[6], data[7], data[8], data[9]});
}

void CSmfVoiceScan::ScanStreamData(const CHeapBlock& event) {
  const uint8_t* data = nullptr;
  uint32_t n = 0;
  // 43 79 06 7F 05, then the slot and the flags.
  if (!SysExData(event, data, n) || n < 7) return;
  uint8_t format = data[6] & kBlockFormatMask;
  if (format == 2) m_streamFlags |= kStreamFormat2;
  if (format == 3) m_streamFlags |= kStreamFormat3;
}

void CSmfVoiceScan::RunChecker(const uint8_t* image, uint32_t size, int polyphonyMode,
                               int* status) {
  bool fmUsed = false, pcmUsed = false;
  for (const ChannelFlags& flags : m_flags) {
    fmUsed |= flags.fmUsed;
    pcmUsed |= flags.pcmUsed;
  }
  if (!fmUsed && !pcmUsed) return;

  CSongBytes song;
  if (size > 0) std::memcpy(song.Alloc(size), image, size);
  int fmCount = 0, pcmCount = 0, checkStatus = 0;
  uint32_t result = 0;
  if (song.CheckVoiceAllocation(polyphonyMode, 0, fmCount, pcmCount, &checkStatus, &result)) {
    m_checkFlags |= kCheckRan;
    int fmLimit = polyphonyMode == 1 ? 33 : 17;
    if ((fmUsed && fmCount >= fmLimit) || (pcmUsed && pcmCount >= 9)) {
      m_checkFlags |= kCheckOverLimit;
    }
    return;
  }
  if (checkStatus != 0) {
    if (status) *status = kStatusNoChecker;
    return;
  }
  if (result == 0) return;
  if (result < 0x80000000u) {
    m_checkFlags |= kCheckOverWithoutError | kCheckOverLimit;
  } else {
    m_checkFlags |= kCheckError | kCheckOverLimit;
    if (status) *status = static_cast<int>(result);
  }
}
