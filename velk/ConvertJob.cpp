// The conversion job and its stream interface over memory streams.
#include "velk/ConvertJob.h"

#include <cstring>
#include <new>

#include "song/MemStream.h"
#include "song/VoiceTable1.h"
#include "velk/VelkConvEngineA.h"
#include "velk/VelkConvEngineB.h"

namespace {

constexpr int kSecondTableBank = 0x3F;
constexpr int kVoiceOffset = 20;
constexpr int kRangeByte = 32;

}  // namespace

CConvertJob::CConvertJob(CMemStream& input, const CVoiceTable1& first, const CVoiceTable1& second,
                         CMemStream& output, bool qxCue)
    : m_input(input), m_first(first), m_second(second), m_output(output), m_qxCue(qxCue) {
  try {
    m_engineA = std::make_unique<CVelkConvEngineA>();
    m_engineB = std::make_unique<CVelkConvEngineB>();
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
  m_input.SeekToBegin();
}

CConvertJob::~CConvertJob() = default;

bool CConvertJob::Read(uint8_t* buffer, uint32_t n, uint32_t& count) {
  count = 0;
  // A short read is a failed read, not a success with nothing read.
  if (n > m_input.RemainingBytes()) {
    m_input.Seek(2, 0);
    return false;
  }
  if (n) std::memcpy(buffer, m_input.GetCurrent(), n);
  m_input.Seek(1, static_cast<int32_t>(n));
  count = n;
  return true;
}

bool CConvertJob::Seek(uint32_t position) {
  if (position > static_cast<uint32_t>(m_input.GetSize())) return false;
  m_input.Seek(0, static_cast<int32_t>(position));
  return true;
}

bool CConvertJob::Lookup(int program, int bank, const uint8_t*& out) {
  const CVoiceTable1& table = bank == kSecondTableBank ? m_second : m_first;
  const uint8_t* entry = table.GetEntry(program & 0x7F);
  // Entry bytes 20-31 and then byte 32: the 33-byte entry has no more.
  std::memcpy(m_lookup, entry + kVoiceOffset, kVoiceBytes - 1);
  m_lookup[kVoiceBytes - 1] = entry[kRangeByte];
  out = m_lookup;
  return true;
}

uint32_t CConvertJob::InputSize() const { return static_cast<uint32_t>(m_input.GetSize()); }

bool CConvertJob::Write(const uint8_t* buffer, uint32_t n) {
  m_output.Write(buffer, n);
  return true;
}

int CConvertJob::Run() {
  const int result = m_qxCue ? m_engineA->Run(*this) : m_engineB->Run(*this);
  const auto written = static_cast<int32_t>(m_output.GetPosition());
  if (written < m_output.GetSize()) {
    // Cut the stream to what was written.
    std::unique_ptr<uint8_t[]> keep(new uint8_t[static_cast<size_t>(written) + 1]);
    std::memcpy(keep.get(), m_output.GetData(), static_cast<size_t>(written));
    m_output.SetCopy(keep.get(), written);
  }
  m_output.Seek(2, 0);
  return result;
}

bool CConvertJob::Check(const char* code) {
  if (m_qxCue) return true;
  return m_engineB->SelectPhrase(code);
}
