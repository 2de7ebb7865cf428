// A song's byte image and its hand-over to the voice-allocation checker plug-in.
#pragma once

#include <cstdint>
#include <memory>

class CMemStream;

/// Converter kind of the voice-allocation checker.
inline constexpr int kConverterVoiceChecker = 19;

class CSongBytes {
 public:
  CSongBytes() = default;
  CSongBytes(const CSongBytes&) = delete;
  CSongBytes& operator=(const CSongBytes&) = delete;
  virtual ~CSongBytes() = default;

  void Free();
  /// Frees, then n bytes (size n, length 0). Throws -108 when they cannot be had.
  uint8_t* Alloc(uint32_t n);
  /// Copies every byte of the stream; the length becomes its size, which is returned.
  uint32_t CopyFrom(const CMemStream& buffer);

  /// Runs the checker plug-in (converter kind 19, CnvTo) over the image. Returns 1 when it
  /// counted the voices within the limits, else 0. fmCount and pcmCount are set whenever the
  /// plug-in succeeded; status (when given) becomes 3 when the plug-in is missing; result (when
  /// given) is the plug-in's return value, 0x80000000 when it threw.
  int CheckVoiceAllocation(int polyphonyMode, int option, int& fmCount, int& pcmCount,
                           int* status, uint32_t* result) const;

  const uint8_t* GetData() const { return m_data.get(); }
  uint8_t* GetData() { return m_data.get(); }
  uint32_t GetSize() const { return m_size; }
  uint32_t GetLength() const { return m_length; }

 private:
  uint32_t m_size = 0;
  std::unique_ptr<uint8_t[]> m_data;
  uint32_t m_length = 0;
};
