// The generation-2 voice record's whole-record operations.
#include "song/Voice2.h"

#include <cstring>

CVoice2& CVoice2::operator=(const CVoice2& other) {
  if (this != &other) std::memcpy(m_bytes, other.m_bytes, kSize);
  return *this;
}

void CVoice2::Clear() { std::memset(m_bytes, 0, kSize); }

void CVoice2::SetName(const uint8_t* name16) { std::memcpy(m_bytes, name16, kNameSize); }

void CVoice2::SetNameText(const char* text) {
  std::memset(m_bytes, 0, kNameSize);
  if (!text) return;
  std::memcpy(m_bytes, text, strnlen(text, kNameSize));
}

void CVoice2::SetParams(const uint8_t* params26) {
  std::memcpy(m_bytes + kParamsOffset, params26, kParamsSize);
}

bool CVoice2::SetField(int byte, int shift, int width, int v) {
  const int mask = ((1 << width) - 1) << shift;
  m_bytes[byte] = static_cast<uint8_t>((m_bytes[byte] & ~mask) | ((v << shift) & mask));
  return true;
}

bool CVoice2::SetVoiceNo(int v) { return SetField(16, 0, 4, v); }

bool CVoice2::SetBank(int v) {
  m_bytes[17] = static_cast<uint8_t>(v);
  return true;
}

bool CVoice2::SetProgram(int v) { return SetField(18, 0, 7, v); }

bool CVoice2::SetDrumKey(int v) {
  m_bytes[41] = static_cast<uint8_t>(v);
  return true;
}

bool CVoice2::SetOperatorCount(int n) {
  if (n == 2) return SetAlgorithm(GetAlgorithm() & 3);
  if (n == 4) return SetAlgorithm((GetAlgorithm() & 3) | 4);
  return true;
}

bool CVoice2::IsSameParams(const CVoice2& other) const {
  if (GetLFO() != other.GetLFO() || GetFB() != other.GetFB() ||
      GetAlgorithm() != other.GetAlgorithm() || GetBO() != other.GetBO()) {
    return false;
  }
  // Every operator byte is made of named fields, so comparing the 5 bytes compares all 15.
  const int count = other.GetOperatorCount();
  for (int n = 1; n <= count; ++n) {
    const int at = kOpBase + GetOperatorOffset(n);
    if (std::memcmp(m_bytes + at, other.m_bytes + at, 5) != 0) return false;
  }
  return true;
}

bool CVoice2::IsDefault() const {
  const CVoice2 cleared;
  return IsSameParams(cleared);
}
