// A song's byte image and the voice-allocation check.
#include "song/SongBytes.h"

#include <cstring>
#include <new>

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"

namespace {

constexpr uint32_t kFlagPolyphony = 0x02;
constexpr uint32_t kFlagOption = 0x08;
constexpr uint32_t kFlagOverLimit = 0x08;
constexpr int kStatusNoPlugin = 3;
constexpr int kDirectionTo = 1;

}  // namespace

void CSongBytes::Free() {
  m_data.reset();
  m_size = 0;
  m_length = 0;
}

uint8_t* CSongBytes::Alloc(uint32_t n) {
  Free();
  if (n > 0) {
    m_data.reset(new (std::nothrow) uint8_t[n]);
    if (!m_data) throw kErrOutOfMemory;
  }
  m_size = n;
  return m_data.get();
}

uint32_t CSongBytes::CopyFrom(const CMemStream& buffer) {
  auto n = static_cast<uint32_t>(buffer.GetSize());
  Alloc(n);
  if (n > 0) std::memcpy(m_data.get(), buffer.GetData(), n);
  m_length = n;
  return n;
}

int CSongBytes::CheckVoiceAllocation(int polyphonyMode, int option, int& fmCount, int& pcmCount,
                                     int* status, uint32_t* result) const {
  if (status) *status = 0;
  if (result) *result = 0;
  // The destination is twice the image, so an image past 2 GiB cannot be handed over.
  if (!m_data || m_size == 0 || m_size > 0x7FFFFFFFu) return 0;

  std::unique_ptr<uint8_t[]> destination(new (std::nothrow) uint8_t[size_t{m_size} * 2]);
  if (!destination) throw kErrOutOfMemory;
  CnvParam param{};
  param.flags = (polyphonyMode == 1 ? kFlagPolyphony : 0) | (option == 1 ? kFlagOption : 0);
  param.src = m_data.get();
  param.srcSize = m_size;
  param.dst = destination.get();
  param.dstSize = m_size * 2;

  platform::IConverterBinder& binder = platform::binder();
  if (!binder.IsAvailable(kConverterVoiceChecker, kDirectionTo)) {
    if (status) *status = kStatusNoPlugin;
    return 0;
  }
  bool threw = false;
  uint32_t returned = binder.ConvertTellingThrow(param, kConverterVoiceChecker, kDirectionTo, threw);
  // A checker that threw counted nothing: its 0 is no success but the general failure.
  if (threw) returned = CNVERR_FAILED;
  if (result) *result = returned;
  if (returned >= CNVERR_FAILED) return 0;
  fmCount = static_cast<int>(param.flags >> 24);
  pcmCount = static_cast<int>((param.flags >> 16) & 0xFF);
  return (param.flags & kFlagOverLimit) ? 0 : 1;
}
