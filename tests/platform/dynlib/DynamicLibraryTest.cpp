// Tests of the dlopen wrapper on files that are not libraries; real plug-ins are loaded by the binder tests.
#include "platform/dynlib/DynamicLibrary.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

namespace platform {
namespace {

TEST(DynamicLibrary, RefusesBareNamesAndReportsFailures) {
  DynamicLibrary lib;
  EXPECT_FALSE(lib.Open("libm.so.6"));
  EXPECT_FALSE(lib.IsOpen());
  EXPECT_FALSE(lib.LastError().empty());

  char path[] = "/tmp/trillot-notalib-XXXXXX";
  int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "not a library", 13), 13);
  ::close(fd);
  EXPECT_FALSE(lib.Open(path));
  ::unlink(path);
  EXPECT_FALSE(lib.LastError().empty());
  EXPECT_EQ(lib.Symbol("CnvFrom"), nullptr);
}

TEST(DynamicLibrary, MissingFileLeavesNothingOpen) {
  DynamicLibrary lib;
  EXPECT_FALSE(lib.Open("/nonexistent/Velkgate.so"));
  EXPECT_FALSE(lib.IsOpen());
  lib.Close();
  EXPECT_FALSE(lib.IsOpen());
}

}  // namespace
}  // namespace platform
