// The single-instance guard: a second holder is refused until the first lets go.
#include "platform/sys/SingleInstanceLock.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace {

class SingleInstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("trillot-lock-" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
    ::setenv("TRILLOT_RUNTIME_DIR", m_dir.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::filesystem::path m_dir;
};

TEST_F(SingleInstanceLockTest, SecondHolderIsRefusedUntilTheFirstEnds) {
  {
    platform::SingleInstanceLock first("KORVAN_Trillot");
    ASSERT_TRUE(first.Acquired());
    EXPECT_EQ(first.Path(), (m_dir / "KORVAN_Trillot.lock").string());
    platform::SingleInstanceLock second("KORVAN_Trillot");
    EXPECT_FALSE(second.Acquired());
  }
  platform::SingleInstanceLock again("KORVAN_Trillot");
  EXPECT_TRUE(again.Acquired());
}

TEST_F(SingleInstanceLockTest, MissingFolderIsMadePrivateToTheUser) {
  const std::filesystem::path run = m_dir / "no" / "such";
  ::setenv("TRILLOT_RUNTIME_DIR", run.c_str(), 1);
  platform::SingleInstanceLock lock("KORVAN_Trillot");
  EXPECT_TRUE(lock.Acquired());
  EXPECT_EQ(lock.Error(), 0);
  struct stat st {};
  ASSERT_EQ(::stat(run.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(SingleInstanceLockTest, FolderThatCannotBeMadeGivesTheReason) {
  // A plain file where the folder should be.
  std::ofstream(m_dir / "file") << "x";
  ::setenv("TRILLOT_RUNTIME_DIR", (m_dir / "file" / "run").c_str(), 1);
  platform::SingleInstanceLock lock("KORVAN_Trillot");
  EXPECT_FALSE(lock.Acquired());
  EXPECT_EQ(lock.Error(), ENOTDIR);
}

}  // namespace
