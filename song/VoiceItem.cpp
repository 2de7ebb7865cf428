// The voice item: clearing, copying, whole blocks, operators, extension fields and comparisons.
#include "song/VoiceItem.h"

#include <cstring>

#include "platform/host/HostServices.h"
#include "platform/text/CodePage.h"

namespace {

constexpr int kOperatorBytes = 7;
constexpr int kOperatorCount = 4;
constexpr uint32_t kExtAPairAt = 2;   // A1 at extension bytes 2-3, then every two bytes
constexpr uint32_t kExtBLevelAt = 12;
constexpr uint32_t kExtCDPairAt = 17;  // C1 and D1 at bytes 17-18, then every two bytes

uint8_t High7Bits(uint16_t v) { return static_cast<uint8_t>((v >> 7) & 0x7F); }
uint8_t Low7Bits(uint16_t v) { return static_cast<uint8_t>(v & 0x7F); }
uint16_t Join7Bits(uint8_t high, uint8_t low) {
  return static_cast<uint16_t>(((high & 0x7F) << 7) | (low & 0x7F));
}

}  // namespace

CVoiceItem::CVoiceItem() { Clear(); }

CVoiceItem::CVoiceItem(const CVoiceItem& other) : CVoiceItem() { *this = other; }

CVoiceItem::~CVoiceItem() { FreeWave(); }

CVoiceItem& CVoiceItem::operator=(const CVoiceItem& other) {
  if (this == &other) return *this;
  SetHeader(other.GetHeader());
  SetFmVoice(other.GetFmVoice());
  SetPcmVoice(other.GetPcmVoice());
  SetExtBlock(other.GetExtBlock());
  // The copy holds exactly the source's wave bytes, also when its length field claims more than
  // its block holds (a block SetWaveData would refuse, leaving the old samples here).
  if (other.IsPcm() && other.m_wave) {
    CopyWaveBlock(other.m_wave.get(), other.m_waveSize);
  } else {
    FreeWave();
  }
  return *this;
}

void CVoiceItem::Clear() {
  std::memset(m_bytes, 0, sizeof m_bytes);
  std::memset(m_nameCopy, 0, sizeof m_nameCopy);
  std::memset(m_waveNameCopy, 0, sizeof m_waveNameCopy);
  SetPcmFlag(0);
  SetBO(1);
  SetPanpot(15);
  for (int n = 1; n <= kOperatorCount; ++n) {
    SetOpAR(n, 15);
    SetOpRR(n, 15);
  }
  SetPcmAR(15);
  SetPcmRR(15);
  SetPcmPanpot(15);
  SetPcmKSR(0);
  SetPcmKSL(0);
  FreeWave();
  for (int k = 1; k <= 5; ++k) SetExtValueA(k, kExtValueADefault);
  for (int k = 1; k <= 4; ++k) {
    SetExtLevelB(k, 0);
    SetExtValueD(k, kExtValueDDefault);
    SetExtSelectorC(k, 3);
  }
  SetExtFlagE1(1);
  SetExtFlagE2(1);
}

void CVoiceItem::UpdateKind() {
  uint8_t kind = IsPcm() ? kKindPcm : kKindFm;
  if (GetExtFlag()) kind = static_cast<uint8_t>(kind + kKindExtension);
  SetKind(kind);
}

bool CVoiceItem::IsKindConsistent() const {
  return (!IsPcm() && GetKind() == kKindFm) || (IsPcm() && GetKind() == kKindPcm);
}

bool CVoiceItem::SetPcmFlag(uint8_t v) {
  SetField(kFlagsAt, 0, 1, v);
  UpdateKind();
  return true;
}

bool CVoiceItem::SetExtFlag(uint8_t v) {
  SetField(kFlagsAt, 1, 1, v);
  UpdateKind();
  return true;
}

void CVoiceItem::CopyName(uint8_t* field, const char* text) {
  std::memset(field, 0, kNameSize);
  if (!text) return;
  std::string_view view(text, strnlen(text, kNameSize + 1));
  size_t n = platform::CodePage::Ansi()->CharBoundary(view, kNameSize);
  std::memcpy(field, view.data(), n);
}

bool CVoiceItem::SetName(const char* text) {
  CopyName(m_bytes + kNameAt, text);
  return true;
}

const char* CVoiceItem::GetName() const {
  std::memcpy(m_nameCopy, m_bytes + kNameAt, kNameSize);
  m_nameCopy[kNameSize] = 0;
  return m_nameCopy;
}

int CVoiceItem::GetOperatorOffset(int n) {
  return (n >= 1 && n <= kOperatorCount) ? kOperatorBytes * (n - 1) : -1;
}

const uint8_t* CVoiceItem::GetOperatorBytes(int n) const {
  int offset = GetOperatorOffset(n);
  return offset < 0 ? nullptr : m_bytes + kOperatorsAt + offset;
}

uint8_t* CVoiceItem::GetOperatorBytes(int n) {
  int offset = GetOperatorOffset(n);
  return offset < 0 ? nullptr : m_bytes + kOperatorsAt + offset;
}

bool CVoiceItem::SetOperatorBytes(int n, const uint8_t* bytes) {
  uint8_t* op = GetOperatorBytes(n);
  if (!op || !bytes) return false;
  std::memcpy(op, bytes, kOperatorBytes);
  // Only operators 1 and 3 keep a feedback value.
  if (n == 2 || n == 4) SetOpFB(n, 0);
  return true;
}

uint8_t CVoiceItem::OpField(int n, int byte, int shift, uint8_t mask) const {
  int offset = GetOperatorOffset(n);
  return offset < 0 ? 0 : Field(kOperatorsAt + offset + byte, shift, mask);
}

bool CVoiceItem::SetOpField(int n, int byte, int shift, uint8_t mask, uint8_t v) {
  int offset = GetOperatorOffset(n);
  return offset >= 0 && SetField(kOperatorsAt + offset + byte, shift, mask, v);
}

bool CVoiceItem::SetExtValueA(int k, uint16_t v) {
  if (k < 1 || k > 5) return false;
  uint32_t at = kExtAt + kExtAPairAt + 2 * (k - 1);
  SetField(at, 0, 0x3F, High7Bits(v));
  return SetField(at + 1, 0, 0x7F, Low7Bits(v));
}

uint16_t CVoiceItem::GetExtValueA(int k) const {
  if (k < 1 || k > 5) return 0;
  uint32_t at = kExtAt + kExtAPairAt + 2 * (k - 1);
  return Join7Bits(m_bytes[at] & 0x3F, m_bytes[at + 1]);
}

bool CVoiceItem::SetExtLevelB(int k, uint8_t v) {
  return k >= 1 && k <= 4 && SetField(kExtAt + kExtBLevelAt + (k - 1), 0, 0x1F, v);
}

uint8_t CVoiceItem::GetExtLevelB(int k) const {
  return (k >= 1 && k <= 4) ? Field(kExtAt + kExtBLevelAt + (k - 1), 0, 0x1F) : 0;
}

bool CVoiceItem::SetExtSelectorC(int k, uint8_t v) {
  return k >= 1 && k <= 4 && SetField(kExtAt + kExtCDPairAt + 2 * (k - 1), 3, 0x07, v);
}

uint8_t CVoiceItem::GetExtSelectorC(int k) const {
  return (k >= 1 && k <= 4) ? Field(kExtAt + kExtCDPairAt + 2 * (k - 1), 3, 0x07) : 0;
}

bool CVoiceItem::SetExtValueD(int k, uint16_t v) {
  if (k < 1 || k > 4) return false;
  uint32_t at = kExtAt + kExtCDPairAt + 2 * (k - 1);
  SetField(at, 0, 0x07, High7Bits(v));
  return SetField(at + 1, 0, 0x7F, Low7Bits(v));
}

uint16_t CVoiceItem::GetExtValueD(int k) const {
  if (k < 1 || k > 4) return 0;
  uint32_t at = kExtAt + kExtCDPairAt + 2 * (k - 1);
  return Join7Bits(m_bytes[at] & 0x07, m_bytes[at + 1]);
}

bool CVoiceItem::SetHeader(const uint8_t* bytes) {
  if (!bytes) return false;
  std::memmove(m_bytes + kHeaderAt, bytes, kHeaderSize);
  return true;
}

bool CVoiceItem::SetFmVoice(const uint8_t* bytes) {
  if (!bytes) return false;
  std::memmove(m_bytes + kFmAt, bytes, kFmSize);
  return SetBO(1);
}

bool CVoiceItem::SetPcmVoice(const uint8_t* bytes) {
  if (!bytes) return false;
  std::memmove(m_bytes + kPcmAt, bytes, kPcmSize);
  SetPcmKSR(0);
  return SetPcmKSL(0);
}

bool CVoiceItem::SetPcmVoiceOld(const uint8_t* bytes) {
  if (!bytes) return false;
  uint8_t pcm[kPcmSize] = {};
  std::memcpy(pcm, bytes, 9);           // Fs through the DAM byte
  std::memcpy(pcm + 11, bytes + 9, 4);  // LP and EP; no start offset
  pcm[15] = bytes[13];                  // RM and wave id
  return SetPcmVoice(pcm);
}

bool CVoiceItem::SetExtBlock(const uint8_t* bytes) {
  if (!bytes) return false;
  std::memmove(m_bytes + kExtAt, bytes, kExtSize);
  if (!GetExtFlag()) return true;
  for (int k = 1; k <= 5; ++k) {
    uint16_t a = GetExtValueA(k);
    if (a < kExtValueAMin) SetExtValueA(k, kExtValueAMin);
    if (a > kExtValueADefault) SetExtValueA(k, kExtValueADefault);
  }
  return true;
}

bool CVoiceItem::SetHeader(const uint8_t* bytes, uint32_t available) {
  return available >= kHeaderSize && SetHeader(bytes);
}

bool CVoiceItem::SetFmVoice(const uint8_t* bytes, uint32_t available) {
  return available >= kFmSize && SetFmVoice(bytes);
}

bool CVoiceItem::SetPcmVoice(const uint8_t* bytes, uint32_t available) {
  return available >= kPcmSize && SetPcmVoice(bytes);
}

bool CVoiceItem::SetPcmVoiceOld(const uint8_t* bytes, uint32_t available) {
  return available >= kPcmOldSize && SetPcmVoiceOld(bytes);
}

bool CVoiceItem::SetExtBlock(const uint8_t* bytes, uint32_t available) {
  return available >= kExtSize && SetExtBlock(bytes);
}

bool CVoiceItem::IsSameHeader(const CVoiceItem& other) const {
  return std::memcmp(GetHeader(), other.GetHeader(), kHeaderSize) == 0;
}

bool CVoiceItem::IsSamePcmBlock(const CVoiceItem& other) const {
  if (GetRM() != other.GetRM()) return false;
  // With both waves in RAM the wave id is left out: equal waves may carry different ids.
  uint32_t n = (GetRM() == 0) ? kPcmSize - 1 : kPcmSize;
  return std::memcmp(GetPcmVoice(), other.GetPcmVoice(), n) == 0;
}

bool CVoiceItem::IsSame(const CVoiceItem& other) const {
  if (IsPcm() != other.IsPcm()) return false;
  if (!IsPcm()) {
    uint32_t n = GetFmVoiceLength();
    return n == other.GetFmVoiceLength() && std::memcmp(GetFmVoice(), other.GetFmVoice(), n) == 0;
  }
  if (!IsSamePcmBlock(other)) return false;
  if (GetRM() == 1) return true;
  if (m_waveSize != other.m_waveSize) return false;
  if (m_waveSize == 0) return true;
  // Length and format, then the samples; the id and the wave name do not count.
  if (std::memcmp(m_wave.get() + 1, other.m_wave.get() + 1, 3) != 0) return false;
  return std::memcmp(m_wave.get() + kWaveHeaderSize, other.m_wave.get() + kWaveHeaderSize,
                     m_waveSize - kWaveHeaderSize) == 0;
}

bool CVoiceItem::IsSameData(const CVoiceItem& other) const {
  uint32_t n = GetFmVoiceLength();
  if (n != other.GetFmVoiceLength() || std::memcmp(GetFmVoice(), other.GetFmVoice(), n) != 0)
    return false;
  if (!IsSamePcmBlock(other)) return false;
  if (GetRM() == 1) return true;
  if (m_waveSize != other.m_waveSize) return false;
  if (m_waveSize == 0) return true;
  return std::memcmp(m_wave.get() + 1, other.m_wave.get() + 1, m_waveSize - 1) == 0;
}

bool CVoiceItem::IsDefault() const {
  static const CVoiceItem kFresh;
  return IsSameData(kFresh);
}

bool CVoiceItem::IsDefaultFmVoice() const {
  static const CVoiceItem kFresh;
  uint8_t fm[kFmSize] = {0x00, 0x01};
  return std::memcmp(GetFmVoice(), fm, kFmSize) == 0 &&
         std::memcmp(GetPcmVoice(), kFresh.GetPcmVoice(), kPcmSize) == 0;
}

bool CVoiceItem::IsFixedBank() const {
  uint8_t msb = GetBankMsb();
  if (msb == 0) return true;
  if (msb == 124) return GetBankLsb() == 10;
  if (msb == 125) return GetBankLsb() == 0 && GetProgram() == 10;
  return false;
}

bool CVoiceItem::IsUserEditable() const {
  if (IsFixedBank()) return false;
  uint8_t msb = GetBankMsb();
  if (msb == 124) return GetBankLsb() != 0;
  if (msb == 125 && GetBankLsb() == 0) {
    if (GetProgram() == 0) return false;
    if (GetProgram() == 1) {
      int profile = platform::settings().GetOutputProfile();
      return profile == 4 || profile == 6;
    }
  }
  return true;
}

bool CVoiceItem::IsDrum() const {
  if (GetBankMsb() == 125) return true;
  return GetBankMsb() == 0 && GetNote() >= 24 && GetNote() <= 84;
}
