// The archive a load or a save runs through: the file's name and, when storing, its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CDocArchive {
 public:
  static CDocArchive ForLoading(std::string fileName) { return CDocArchive(false, std::move(fileName)); }
  static CDocArchive ForStoring(std::string fileName) { return CDocArchive(true, std::move(fileName)); }

  bool IsStoring() const { return m_storing; }
  bool IsLoading() const { return !m_storing; }
  /// The name of the archive's file (the loader picks its reader by the ending).
  const std::string& GetFileName() const { return m_fileName; }

  void Write(const uint8_t* data, size_t size) {
    if (data && size) m_bytes.insert(m_bytes.end(), data, data + size);
  }
  /// The bytes stored so far.
  const std::vector<uint8_t>& GetBytes() const { return m_bytes; }

 private:
  CDocArchive(bool storing, std::string fileName)
      : m_storing(storing), m_fileName(std::move(fileName)) {}

  bool m_storing;
  std::string m_fileName;
  std::vector<uint8_t> m_bytes;
};
