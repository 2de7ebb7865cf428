// The board's command set over MIDI: SysEx messages of one fixed form, 7-in-8 packing of bulk
// data in pieces of 3500 bytes, and the transfers of voices, waves and stream-PCM data.
#include <algorithm>
#include <cstring>

#include "device/MidiOutCtrl.h"
#include "platform/host/HostServices.h"
#include "platform/mem/ZeroedBlock.h"
#include "song/SmfDialect.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr uint8_t kTransport = 0x05;
constexpr uint8_t kData = 0x06;
constexpr uint8_t kDataGen5 = 0x07;
constexpr uint8_t kTypeE = 0x7E;
constexpr uint8_t kTypeF = 0x7F;
constexpr uint8_t kEnd = 0xF7;
constexpr uint8_t kMoreFlag = 0x20;
constexpr int kTempoMin = 70;
constexpr int kTempoMax = 130;
constexpr int kNoKeyChange = 12;
constexpr int kValueOutputFormatLimit = 6;

int ChipMode() { return platform::settings().GetChipMode(); }

uint8_t Low7(int value) { return static_cast<uint8_t>(value & 0x7F); }

int OutputFormat() { return platform::profile().GetProfileInt("Setting", "OutputFormat", 3); }

}  // namespace

// --- Building and sending --------------------------------------------------------------------

void TMidiOutCtrl::SendShort(uint8_t group, uint8_t type, uint8_t command, std::initializer_list<int> data) {
  uint8_t message[16] = {0xF0, kMaker, 0x79, group, type, command};
  uint32_t n = 6;
  for (int value : data) message[n++] = Low7(value);
  message[n++] = kEnd;
  SendSysEx(message, n);
}

void TMidiOutCtrl::SendSetting(int p1, int p2, int p3) { SendShort(kTransport, kTypeF, 0x03, {p1, p2, p3}); }

void TMidiOutCtrl::SendValue28(uint8_t group, uint8_t command, std::initializer_list<int> before, uint32_t value) {
  uint8_t message[16] = {0xF0, kMaker, 0x79, group, kTypeE, command};
  uint32_t n = 6;
  for (int b : before) message[n++] = Low7(b);
  for (int shift = 0; shift < 28; shift += 7) message[n++] = static_cast<uint8_t>((value >> shift) & 0x7F);
  message[n++] = kEnd;
  SendSysEx(message, n);
}

uint32_t TMidiOutCtrl::SendPackedData(const uint8_t* data, uint32_t length, const uint8_t* header,
                                      uint32_t headerLength, bool packing) {
  if (!data) length = 0;
  const uint64_t body = packing ? PackedSize7In8(length) : length;
  const uint64_t total = headerLength + body + 1;
  if (total > 0xFFFFFFFFu) return 0;
  std::unique_ptr<uint8_t[]> block = platform::TryAllocZeroed(static_cast<size_t>(total));
  if (!block) return 0;
  if (headerLength) std::memcpy(block.get(), header, headerLength);
  if (length) {
    if (packing) {
      Pack7In8(data, length, block.get() + headerLength);
    } else {
      std::memcpy(block.get() + headerLength, data, length);
    }
  }
  block[total - 1] = kEnd;
  SendSysEx(block.get(), static_cast<uint32_t>(total));
  return static_cast<uint32_t>(total);
}

bool TMidiOutCtrl::WaitReady() { return WaitBoardStatus() != kNoReply; }

void TMidiOutCtrl::MarkSongChanged() {
  if (CKZ1Doc* doc = platform::registry().document) doc->SetModifiedFlags(0);
}

// --- Transport -------------------------------------------------------------------------------

int TMidiOutCtrl::SetBoardSwitch(int repeat) {
  const int off = repeat ? 0 : 1;
  if (m_connectionKind == 1) {
    SendShort(kTransport, kTypeE, 0x02, {off});
  } else if (IsEmulatorConnection()) {
    m_player.SetRepeat(off);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardCommand09(int value) {
  const int chip = ChipMode();
  if (chip != 3 && chip != 5) return 1;
  if (m_connectionKind == 1 || m_connectionKind == 2) {
    SendShort(kTransport, kTypeE, 0x09, {value});
  } else if (m_connectionKind == 3 || m_connectionKind == 4) {
    m_player.Control(0, 127);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardValue0A(uint32_t value, int force) {
  if (force == 0 && IsPlaying()) return 1;
  if (IsEmulatorConnection()) {
    m_player.Seek(static_cast<int32_t>(value));
  } else {
    SendValue28(kTransport, 0x0A, {}, value);
  }
  return 1;
}

int TMidiOutCtrl::SendChannelOff(int channel) {
  SendShort(kTransport, kTypeE, 0x10, {channel});
  SetChannelActive(channel, false);
  return 1;
}

int TMidiOutCtrl::SendChannelOn(int channel) {
  SendShort(kTransport, kTypeE, 0x11, {channel});
  SetChannelActive(channel, true);
  return 1;
}

int TMidiOutCtrl::SendChannelValue12(int channel, int value) {
  if (IsChannelActive(channel)) SendShort(kTransport, kTypeE, 0x12, {channel, value});
  return 1;
}

int TMidiOutCtrl::SendChannelValue13(int channel, int value) {
  if (m_connectionKind == 1 && IsChannelActive(channel)) SendShort(kTransport, kTypeE, 0x13, {channel, value});
  return 1;
}

int TMidiOutCtrl::SendChannelValue18(int channel, int value) {
  if (IsChannelActive(channel)) SendShort(kTransport, kTypeE, 0x18, {channel, value});
  return 1;
}

int TMidiOutCtrl::SendChannelValue1A(int channel, uint32_t value) {
  if (IsEmulatorConnection()) {
    m_player.Seek(static_cast<int32_t>(value));
  } else {
    SendValue28(kTransport, 0x1A, {channel}, value);
  }
  return 1;
}

int TMidiOutCtrl::SendLongData(int channel, const uint8_t* data, uint32_t length, bool packing) {
  if (m_connectionKind != 1) return 1;
  const uint8_t header[] = {0xF0, kMaker, 0x79, kTransport, Low7(channel)};
  uint32_t at = 0;
  while (length - at > kPieceSize) {
    if (!WaitReady()) return 0;
    SendPackedData(data + at, kPieceSize, header, sizeof header, packing);
    at += kPieceSize;
  }
  if (!WaitReady()) return 0;
  SendPackedData(data ? data + at : nullptr, length - at, header, sizeof header, packing);
  return 1;
}

// --- Settings --------------------------------------------------------------------------------

int TMidiOutCtrl::SendBoardParam03a(int value) {
  const int chip = ChipMode();
  if (chip == 2) {
    SendSetting(0x00, 0x0F, 0x01);
    SendSetting(0x00, 0x25, value);
  } else if (chip == 3 || chip == 5) {
    if (m_connectionKind == 1) SendSetting(0x04, value, 0);
    if (IsEmulatorConnection()) DeviceControl(4, value, 0, 0);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03b(int a, int b) {
  const int chip = ChipMode();
  if (chip == 2) {
    SendSetting(0x00, 0x0F, 0x01);
    SendSetting(0x00, 0x23, a);
    SendSetting(0x00, 0x24, b);
  } else if (chip == 3 || chip == 5) {
    if (m_connectionKind == 1) SendSetting(0x03, a, 0);
    if (IsEmulatorConnection()) DeviceControl(3, 0, a, b);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03c(int value) {
  const int chip = ChipMode();
  if (chip == 2) {
    SendSetting(0x00, 0x0F, 0x01);
    SendSetting(0x00, 0x22, value);
  } else if (chip == 3 || chip == 5) {
    if (m_connectionKind == 1) SendSetting(0x02, value, 0);
    if (IsEmulatorConnection()) DeviceControl(2, value, 0, 0);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03_06(int value) {
  if (IsEmulatorConnection()) {
    DeviceControl(5, 2, 0, 0);
    DeviceControl(6, value, 0, 0);
  } else {
    SendSetting(0x06, value, 0);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03_09(int value) {
  if (IsEmulatorConnection()) {
    DeviceControl(8, 2, 0, 0);
    DeviceControl(9, value, 0, 0);
  } else {
    SendSetting(0x09, value, 0);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03_11(int value) {
  if (IsEmulatorConnection()) {
    m_player.Control(2, value - kNoKeyChange);
  } else {
    SendSetting(0x11, value, 0);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardParam03_10(int value) {
  if (value < kTempoMin || value > kTempoMax) return 0;
  if (IsEmulatorConnection()) {
    m_player.Control(1, value);
  } else {
    SendSetting(0x10, value, 0);
  }
  return 1;
}

// --- Voices and waves ------------------------------------------------------------------------

bool TMidiOutCtrl::IsBoardVoice(const CVoiceItem& item) const {
  const uint8_t msb = item.GetBankMsb();
  return (msb == 124 || msb == 125) && !item.IsFixedBank();
}

int TMidiOutCtrl::SendVoiceParams(const CVoiceItem& item) {
  SendShort(kData, kTypeF, 0x02,
            {item.GetBankMsb(), item.GetBankLsb(), item.GetProgram(), item.IsDrum() ? item.GetNote() : 0});
  return 1;
}

int TMidiOutCtrl::SendVoice(const CVoiceItem& item, int withWave) {
  if (!IsBoardVoice(item)) return 1;
  const bool pcm = item.IsPcm() != 0;
  const uint8_t* block = pcm ? item.GetPcmVoice() : item.GetFmVoice();
  const uint32_t blockSize = pcm ? CVoiceItem::kPcmSize : item.GetFmVoiceLength();
  const uint8_t note = item.IsDrum() ? item.GetNote() : 0;
  if (m_connectionKind == 1) {
    SendVoiceParams(item);
    const uint8_t header[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x01, item.GetBankMsb(), item.GetBankLsb(),
                              item.GetProgram(), note, static_cast<uint8_t>(pcm ? 1 : 0)};
    SendPackedData(block, blockSize, header, sizeof header, true);
  } else if (m_connectionKind == 2) {
    SendVoiceParams(item);
    const bool ext = item.GetExtFlag() != 0;
    const bool nothingMore = pcm && item.GetRM() == 0 && item.GetWaveSampleSize() == 0 && !ext;
    if (!nothingMore) {
      const uint8_t k = static_cast<uint8_t>((ext ? 2 : 0) + (pcm ? 1 : 0));
      const uint8_t header[] = {0xF0, kMaker, 0x79, kDataGen5, kTypeF, 0x01, item.GetBankMsb(), item.GetBankLsb(),
                                item.GetProgram(), note, k};
      uint8_t data[CVoiceItem::kExtSize + CVoiceItem::kFmSize] = {};
      uint32_t n = 0;
      if (ext) {
        std::memcpy(data, item.GetExtBlock(), CVoiceItem::kExtSize);
        n = CVoiceItem::kExtSize;
      }
      std::memcpy(data + n, block, blockSize);
      SendPackedData(data, n + blockSize, header, sizeof header, true);
    }
  }
  int result = 1;
  if (withWave) result = SendBankVoices(item);
  MarkSongChanged();
  return result;
}

int TMidiOutCtrl::SendBoardCommand04(int waveId) {
  SendShort(kData, kTypeF, 0x04, {waveId});
  return 1;
}

int TMidiOutCtrl::SendBankVoices(const CVoiceItem& item) {
  if ((m_connectionKind != 1 && m_connectionKind != 2) || !IsBoardVoice(item)) return 1;
  if (!item.IsPcm() || item.GetRM() != 0) return 1;
  const uint8_t id = item.GetWaveHeaderId();
  SendBoardCommand04(id);
  int result = 1;
  const uint8_t* samples = item.GetWaveSamples();
  if (item.GetWaveData() && samples) {
    // Never more than the wave holds, whatever its length field says.
    const uint32_t size = item.GetWaveSampleSize();
    const uint8_t format = item.GetPcmWaveFormat();
    uint32_t at = 0;
    while (size - at > kPieceSize) {
      if (!WaitReady()) {
        result = 0;
        break;
      }
      const uint8_t header[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x03, id, static_cast<uint8_t>(format | kMoreFlag)};
      SendPackedData(samples + at, kPieceSize, header, sizeof header, true);
      at += kPieceSize;
    }
    if (result) {
      const uint8_t header[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x03, id, format};
      SendPackedData(samples + at, size - at, header, sizeof header, true);
    }
  }
  MarkSongChanged();
  return result;
}

int TMidiOutCtrl::SendVoiceBlock(int a, int b, uint16_t c, const uint8_t* data, uint32_t length, int flag) {
  if (m_connectionKind != 1 && m_connectionKind != 2) return 1;
  if (!data) length = 0;
  std::vector<uint8_t> piece;
  piece.reserve(kVoiceBlockPieceData + 2);
  auto send = [&](uint32_t at, uint32_t count, uint8_t x) {
    piece.assign({static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c & 0xFF)});
    if (count) piece.insert(piece.end(), data + at, data + at + count);
    const uint8_t header[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x05, Low7(a), Low7(x)};
    SendPackedData(piece.data(), static_cast<uint32_t>(piece.size()), header, sizeof header, true);
  };
  const int base = flag * 4 + b;
  int result = 1;
  uint32_t at = 0;
  // Pieces go on only while at least 3499 bytes remain, as in the other piecewise senders.
  while (length - at >= kVoiceBlockPieceData + 1) {
    if (!WaitReady()) {
      result = 0;
      break;
    }
    send(at, kVoiceBlockPieceData, static_cast<uint8_t>(base + kMoreFlag));
    at += kVoiceBlockPieceData;
  }
  if (result) send(at, length - at, static_cast<uint8_t>(base));
  MarkSongChanged();
  return result;
}

int TMidiOutCtrl::SendVoiceItem(const CStreamPCMSlot& slot) {
  return SendVoiceBlock(slot.GetId(), (slot.GetFlag() ? 4 : 0) + slot.GetFormat(), slot.GetRate(), slot.GetData(),
                        slot.GetDataSize(), 0);
}

// --- Data and parameters ---------------------------------------------------------------------

int TMidiOutCtrl::SendBoardCommand06(int value) {
  SendShort(kData, kTypeF, 0x06, {value});
  return 1;
}

int TMidiOutCtrl::SendBoardCommand07(int value) {
  if (value > 2) return 0;
  if (m_connectionKind == 1 || m_connectionKind == 2) {
    SendShort(kData, kTypeF, 0x07, {value});
    return 1;
  }
  return (m_connectionKind == 3 || m_connectionKind == 4) ? 1 : 0;
}

int TMidiOutCtrl::SendBoardCommand08(int a, int b, int c) {
  SendShort(kData, kTypeF, 0x08, {a, b, c});
  return 1;
}

int TMidiOutCtrl::SendBoardCommand0B(int a, int b, int c) {
  SendShort(kData, kTypeF, 0x0B, {a, b, c});
  return 1;
}

int TMidiOutCtrl::SendBoardData0C(int a, const uint8_t* data, uint32_t size) {
  if (m_connectionKind != 1 && m_connectionKind != 2) return 1;
  const uint8_t header[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x0C, Low7(a)};
  SendPackedData(data, size, header, sizeof header, true);
  MarkSongChanged();
  return 1;
}

int TMidiOutCtrl::SendBoardCommand0D(int value) {
  SendShort(kData, kTypeF, 0x0D, {value});
  return 1;
}

int TMidiOutCtrl::SendBoardCommand11(int value) {
  if (m_connectionKind == 1 || m_connectionKind == 2) SendShort(kData, kTypeF, 0x11, {value});
  return 1;
}

int TMidiOutCtrl::SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  const int low = (d & 1) * 64 + (c & 1) * 32 + (b & 1) * 16 + (a & 0x0F);
  if (m_connectionKind == 1) {
    SendShort(kData, kTypeF, 0x13, {low});
  } else if (m_connectionKind == 2) {
    SendShort(kData, kTypeF, 0x13, {low + (ChipMode() == 5 ? 8 : 0)});
  } else if (m_connectionKind == 3 || m_connectionKind == 4) {
    const int profile = platform::settings().GetOutputProfile();
    if ((profile == 1 || profile == 7) && d <= 1) m_player.SetOptionWord(1 - d);
  }
  return 1;
}

int TMidiOutCtrl::ResetBoard() {
  if (m_connectionKind == 1) {
    const uint8_t message[] = {0xF0, kMaker, 0x79, kData, kTypeF, 0x7F, kEnd};
    SendSysEx(message, sizeof message);
  }
  return 1;
}

int TMidiOutCtrl::SendBoardValue06(uint32_t value) {
  if (m_connectionKind == 1) {
    if (OutputFormat() < kValueOutputFormatLimit) SendValue28(kData, 0x06, {}, value);
  } else if (IsEmulatorConnection()) {
    m_player.Control(12, static_cast<intptr_t>(value));
  }
  return 1;
}

int TMidiOutCtrl::SendBoardValue07(uint32_t value) {
  if (m_connectionKind == 1) {
    if (OutputFormat() < kValueOutputFormatLimit) SendValue28(kData, 0x07, {}, value);
  } else if (IsEmulatorConnection()) {
    m_player.Control(13, static_cast<intptr_t>(value));
  }
  return 1;
}

int TMidiOutCtrl::SendBoardCommand09b(int value) {
  if (m_connectionKind == 1 || m_connectionKind == 2) SendShort(kData, kTypeE, 0x09, {value});
  return 1;
}

int TMidiOutCtrl::SendBankSelect(int channel, int msb, int lsb) {
  const uint8_t status = static_cast<uint8_t>(0xB0 | (channel & 0x0F));
  const uint8_t first[] = {status, 0x00, Low7(msb)};
  const uint8_t second[] = {status, 0x20, Low7(lsb)};
  SendSysEx(first, sizeof first);
  SendSysEx(second, sizeof second);
  return 1;
}

int TMidiOutCtrl::SendProgramChange(int channel, int program) {
  const uint8_t message[] = {static_cast<uint8_t>(0xC0 | (channel & 0x0F)), Low7(program)};
  SendSysEx(message, sizeof message);
  return 1;
}

void TMidiOutCtrl::SetChannelActive(int channel, bool active) {
  if (channel >= 0 && channel < 4) m_channelActive[channel].store(active);
}

bool TMidiOutCtrl::IsChannelActive(int channel) const {
  return channel >= 0 && channel < 4 && m_channelActive[channel].load();
}
