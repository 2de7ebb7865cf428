// Tests of how library names of the program map to files in its folder.
#include "platform/dynlib/LibraryLocator.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace platform {
namespace {

class TempDir {
 public:
  TempDir() {
    char templ[] = "/tmp/trillot-libs-XXXXXX";
    m_path = ::mkdtemp(templ) ? templ : "";
  }
  ~TempDir() { std::filesystem::remove_all(m_path); }
  const std::string& Path() const { return m_path; }
  void Touch(const std::string& rel) const {
    std::filesystem::create_directories(std::filesystem::path(m_path + "/" + rel).parent_path());
    std::ofstream(m_path + "/" + rel) << "x";
  }

 private:
  std::string m_path;
};

TEST(LibraryLocator, DllNamesBecomeSharedObjectNames) {
  struct Case {
    const char* name;
    const char* file;
  };
  const Case cases[] = {
      {"Velkgate.DLL", "Velkgate.so"},   {"Polyscan5.dll", "Polyscan5.so"},
      {"kz3qelemu.dll", "kz3qelemu.so"}, {"Midigate.so", "Midigate.so"},
      {"Hardgate", "Hardgate.so"},       {"a.DlL", "a.so"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SharedObjectName(c.name), c.file);
  }
}

TEST(LibraryLocator, FindsTheFileInTheProgramFolderWithoutCase) {
  TempDir dir;
  dir.Touch("velkgate.so");
  dir.Touch("plugins/Polyscan5.SO");
  EXPECT_EQ(LocateLibrary("Velkgate.DLL", dir.Path()), dir.Path() + "/velkgate.so");
  EXPECT_EQ(LocateLibrary("Polyscan5.dll", dir.Path() + "/"), dir.Path() + "/plugins/Polyscan5.SO");
  EXPECT_EQ(LocateLibrary("Midigate.DLL", dir.Path()), "");
}

TEST(LibraryLocator, NamesWithAFolderAreRefused) {
  TempDir dir;
  dir.Touch("sub/Velkgate.so");
  EXPECT_EQ(LocateLibrary("sub/Velkgate.DLL", dir.Path()), "");
  EXPECT_EQ(LocateLibrary("", dir.Path()), "");
}

}  // namespace
}  // namespace platform
