// A run-time library opened with dlopen and closed when the object dies.
#pragma once

#include <string>

namespace platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  /// Closes any library held, then opens `path` with every symbol bound now and kept local, so
  /// two libraries never share a class by name. False when it cannot be opened.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return m_handle != nullptr; }

  /// The address of an exported symbol, or null when the library is not open or lacks it.
  void* Symbol(const char* name) const;

  template <typename F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(Symbol(name));
  }

  /// Why the last Open failed, for diagnostics.
  const std::string& LastError() const { return m_error; }

 private:
  void* m_handle = nullptr;
  std::string m_error;
};

}  // namespace platform
