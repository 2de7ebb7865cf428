// Loads the built checker library and calls its entry points with a private program folder.
#pragma once

#include "TestPaths.h"
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CnvParam.h"

namespace polyscan_test {

class PluginLibrary {
 public:
  explicit PluginLibrary(const char* path) : m_handle(::dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~PluginLibrary() {
    if (m_handle) ::dlclose(m_handle);
  }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool IsLoaded() const { return m_handle != nullptr; }
  void* Symbol(const char* name) const { return m_handle ? ::dlsym(m_handle, name) : nullptr; }
  CnvEntryFunc Entry(const char* name) const {
    return reinterpret_cast<CnvEntryFunc>(Symbol(name));
  }
  GetKZxVersionFunc Version() const {
    return reinterpret_cast<GetKZxVersionFunc>(Symbol("GetKZxVersion"));
  }

 private:
  void* m_handle;
};

struct CheckResult {
  uint32_t code;
  uint32_t flags;
  uint32_t Fm() const { return CheckFmCount(flags); }
  uint32_t Pcm() const { return CheckPcmCount(flags); }
  bool Over() const { return (flags & CNVF_CHECK_OVER) != 0; }
};

/// Each test gets its own program folder (TRILLOT_APP_DIR) for the result file.
class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/polyscan-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_appDir = pattern;
    ::setenv("TRILLOT_APP_DIR", m_appDir.c_str(), 1);
    ASSERT_TRUE(m_library.IsLoaded()) << ::dlerror();
    m_cnvTo = m_library.Entry("CnvTo");
    ASSERT_NE(m_cnvTo, nullptr);
  }

  void TearDown() override {
    std::remove(ResultPath().c_str());
    ::rmdir(m_appDir.c_str());
    ::unsetenv("TRILLOT_APP_DIR");
  }

  CheckResult Check(const std::vector<uint8_t>& image, uint32_t flags = 0) {
    // The plug-in gets its own copy, so a read past the end shows up under the sanitizer.
    std::vector<uint8_t> copy = image;
    CnvParam p{};
    p.flags = flags;
    p.src = copy.empty() ? nullptr : copy.data();
    p.srcSize = static_cast<uint32_t>(copy.size());
    uint32_t code = m_cnvTo(&p, kCnvParamSize);
    return CheckResult{code, p.flags};
  }

  std::string ResultPath() const { return m_appDir + "/Polyscan_result.txt"; }

  bool ResultFileExists() const { return ::access(ResultPath().c_str(), F_OK) == 0; }

  std::string ResultFile() const {
    std::ifstream in(ResultPath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  PluginLibrary m_library{POLYSCAN_PLUGIN_PATH};
  CnvEntryFunc m_cnvTo = nullptr;
  std::string m_appDir;
};

}  // namespace polyscan_test
