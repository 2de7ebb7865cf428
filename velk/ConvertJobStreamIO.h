// The byte-stream interface through which the conversion engines read a VELK image, look up
// voices and write generation-1 song data, so that they never see the containers.
#pragma once

#include <cstdint>

class CStreamIO {
 public:
  /// Bytes of a looked-up voice: entry bytes 20-31 and 32 of a generation-1 voice.
  static constexpr int kVoiceBytes = 13;

  virtual ~CStreamIO() = default;

  // Reader.
  /// Copies n bytes from the position; false (count 0) when fewer than n remain.
  virtual bool Read(uint8_t* buffer, uint32_t n, uint32_t& count) = 0;
  /// Moves to a position counted from the start; false outside the input.
  virtual bool Seek(uint32_t position) = 0;
  /// The 13 voice bytes of a program (7 bits), from the second voice table when the bank is
  /// 0x3F, else from the first; out points at the job's copy of them.
  virtual bool Lookup(int program, int bank, const uint8_t*& out) = 0;
  /// The size of the input in bytes.
  virtual uint32_t InputSize() const = 0;

  // Writer.
  /// Appends the bytes to the output; false when they are refused.
  virtual bool Write(const uint8_t* buffer, uint32_t n) = 0;
};
