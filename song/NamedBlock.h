// A user-wave or wave block: zero-filled bytes with a 16-bit size and a name of 16 characters.
#pragma once

#include <cstdint>
#include <memory>

class CNamedBlock {
 public:
  static constexpr uint32_t kMaxSize = 0xFFFF;
  static constexpr int kNameLength = 16;

  CNamedBlock();
  CNamedBlock(const CNamedBlock& other);
  /// Copies size, data and name.
  CNamedBlock& operator=(const CNamedBlock& other);
  virtual ~CNamedBlock() = default;

  /// Replaces the data with a copy of size bytes. Returns 1; 0 (nothing changed) for a size
  /// over 65535, which the 16-bit size cannot hold. Throws -108 when memory runs out.
  int SetData(const uint8_t* bytes, uint32_t size);
  uint16_t GetSize() const { return m_size; }
  const uint8_t* GetData() const { return m_data.get(); }
  uint8_t* GetData() { return m_data.get(); }

  /// Keeps at most the first 16 characters.
  void SetName(const char* text);
  const char* GetName() const { return m_name; }

 private:
  std::unique_ptr<uint8_t[]> m_data;
  uint16_t m_size = 0;
  char m_name[kNameLength + 1] = {};
};
