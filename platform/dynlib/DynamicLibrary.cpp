// A run-time library opened with dlopen and closed when the object dies.
#include "platform/dynlib/DynamicLibrary.h"

#include <dlfcn.h>

#include <utility>

namespace platform {

DynamicLibrary::~DynamicLibrary() { Close(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, nullptr);
    m_error = std::move(other.m_error);
  }
  return *this;
}

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  m_error.clear();
  if (path.empty()) {
    m_error = "no library file";
    return false;
  }
  // A bare name would make dlopen search the system paths; only explicit paths are opened.
  if (path.find('/') == std::string::npos) {
    m_error = "not a path: " + path;
    return false;
  }
  m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) {
    const char* e = ::dlerror();
    m_error = e ? e : "dlopen failed";
    return false;
  }
  return true;
}

void DynamicLibrary::Close() {
  if (m_handle) ::dlclose(m_handle);
  m_handle = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (!m_handle || !name) return nullptr;
  return ::dlsym(m_handle, name);
}

}  // namespace platform
