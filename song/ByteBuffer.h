// An owned or borrowed byte buffer with a position.
#pragma once

#include <cstdint>

class CByteBuffer {
 public:
  /// n bytes of its own (none for 0). Throws -108 when they cannot be had.
  explicit CByteBuffer(uint32_t n = 0);
  CByteBuffer(const CByteBuffer&) = delete;
  CByteBuffer& operator=(const CByteBuffer&) = delete;
  virtual ~CByteBuffer();

  /// A view on the caller's bytes, position 0; with owns set they must be std::malloc'ed and
  /// are freed here. The previous data is freed when it was owned.
  void Attach(uint8_t* bytes, uint32_t size, bool owns);

  uint8_t* GetData() const { return m_data; }
  uint32_t GetSize() const { return m_size; }
  uint32_t GetPosition() const { return m_position; }
  void SetPosition(uint32_t position) { m_position = position <= m_size ? position : m_size; }
  bool OwnsData() const { return m_owns; }

 private:
  void Release();

  uint8_t* m_data = nullptr;
  uint32_t m_size = 0;
  uint32_t m_position = 0;
  bool m_owns = true;
};
