// A byte buffer with a position in which every file image is read, built and patched.
#pragma once

#include <cstddef>
#include <cstdint>

/// Failures are thrown as plain integers: -108 out of memory, -48 read past the end.
inline constexpr int kErrOutOfMemory = -108;
inline constexpr int kErrEndOfData = -48;

class CMemStream {
 public:
  /// An owned buffer of n zero bytes (none when n is 0). Throws -108 when it cannot be had.
  explicit CMemStream(int32_t n = 0);
  /// Uses the caller's buffer; frees it (with std::free) at the end only when `owns` is set.
  CMemStream(uint8_t* data, int32_t size, bool owns);
  CMemStream(const CMemStream&) = delete;
  CMemStream& operator=(const CMemStream&) = delete;
  virtual ~CMemStream();

  /// origin 0: from the start, 1: from the position, 2: back from the end; clamped to 0..size.
  void Seek(int origin, int32_t offset);
  void SeekToBegin() { Seek(0, 0); }

  /// Copies n bytes. Past the end it copies what is left, moves to the end and throws -48.
  void Read(void* destination, uint32_t n);
  CMemStream& ReadByte(uint8_t& out) {
    if (m_position < m_size) {
      out = m_data[m_position++];
      return *this;
    }
    Read(&out, 1);
    return *this;
  }
  CMemStream& ReadBE16(uint16_t& out);
  CMemStream& ReadBE32(uint32_t& out);

  /// Grows the data to exactly position + n when needed (throws -108 when it cannot), then copies.
  void Write(const void* source, uint32_t n);
  // The small writes take a fast path when the bytes fit the buffer as it is.
  CMemStream& WriteByte(uint8_t value) {
    if (FitsInPlace(1)) {
      m_data[m_position] = value;
      Advance(1);
    } else {
      Write(&value, 1);
    }
    return *this;
  }
  void WriteBE16(uint16_t value) {
    const uint8_t b[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    WriteSmall<2>(b);
  }
  void WriteBE32(uint32_t value) {
    const uint8_t b[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                          static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    WriteSmall<4>(b);
  }
  CMemStream& PutBE16(uint16_t value);
  CMemStream& PutBE32(uint32_t value);
  /// The characters of a zero-terminated text, without the terminator.
  void WriteText(const char* text);

  bool AtEnd() const { return m_position == m_size; }
  int32_t GetSize() const { return m_size; }
  int32_t GetPosition() const { return m_position; }
  /// Bytes between the position and the end.
  uint32_t RemainingBytes() const { return static_cast<uint32_t>(m_size - m_position); }
  uint8_t* GetData() { return m_data; }
  const uint8_t* GetData() const { return m_data; }
  bool OwnsData() const { return m_owns; }

  /// The byte at the position, not taken. Throws -48 at the end.
  uint8_t PeekByte() const;
  /// The data at the position (null for an empty stream); RemainingBytes() of them are valid.
  const uint8_t* GetCurrent() const { return m_data ? m_data + m_position : nullptr; }
  /// Takes a std::malloc'ed buffer as the owned data (the old one freed when owned), position 0.
  void Attach(uint8_t* data, int32_t size);

  /// Replaces the data by an owned copy of n bytes, position 0 (the old buffer freed when
  /// owned). Throws -108 when the copy cannot be had; the stream is then unchanged.
  void SetCopy(const uint8_t* bytes, int32_t n);

  /// Hands the buffer to the caller (who frees it with std::free) and leaves the stream empty.
  uint8_t* Detach();

 private:
  void Reserve(int64_t needed);
  /// True when n bytes at the position need neither growth nor a move to an own buffer: they
  /// overwrite bytes of the stream or append within the spare room of an owned buffer.
  bool FitsInPlace(uint32_t n) const {
    const int64_t end = int64_t{m_position} + n;
    return m_data && (end <= m_size || (m_owns && end <= m_capacity));
  }
  void Advance(uint32_t n) {
    m_position += static_cast<int32_t>(n);
    if (m_position > m_size) m_size = m_position;
  }
  template <uint32_t N>
  void WriteSmall(const uint8_t (&bytes)[N]) {
    if (FitsInPlace(N)) {
      for (uint32_t i = 0; i < N; ++i) m_data[m_position + static_cast<int32_t>(i)] = bytes[i];
      Advance(N);
    } else {
      Write(bytes, N);
    }
  }

  uint8_t* m_data = nullptr;
  int32_t m_size = 0;
  int32_t m_position = 0;
  bool m_owns = true;
  int64_t m_capacity = 0;  // spare room behind size, so building an image stays linear
};
