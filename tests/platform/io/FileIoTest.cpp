// Whole-file reads that take regular files only, and atomic writes through links and long names.
#include "platform/io/FileIo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trillot-fileio-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string At(const std::string& name) const { return (dir / name).string(); }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir;
};

TEST_F(FileIoTest, OnlyRegularFilesAreReadAndNothingWaits) {
  Write(At("plain"), "bytes");
  ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", At("zero"));
  fs::create_directories(At("folder"));
  fs::create_symlink(At("plain"), At("link"));
  struct Case {
    const char* name;
    bool regular;
  };
  for (const Case c : {Case{"plain", true}, Case{"link", true}, Case{"fifo", false}, Case{"zero", false},
                       Case{"folder", false}, Case{"missing", false}}) {
    SCOPED_TRACE(c.name);
    const auto bytes = platform::ReadWholeFile(At(c.name));
    const auto size = platform::RegularFileSize(At(c.name));
    EXPECT_EQ(bytes.has_value(), c.regular);
    EXPECT_EQ(size.has_value(), c.regular);
    if (c.regular) {
      EXPECT_EQ(*bytes, (Bytes{'b', 'y', 't', 'e', 's'}));
      EXPECT_EQ(*size, 5u);
    }
  }
}

TEST_F(FileIoTest, WriteReplacesTheFileALinkPointsToAndKeepsTheLink) {
  fs::create_directories(At("other"));
  Write(At("other/target"), "old");
  ::chmod(At("other/target").c_str(), 0640);
  fs::create_symlink("other/target", At("link"));
  platform::FileError error;
  ASSERT_TRUE(platform::WriteFileAtomic(At("link"), Bytes{'n', 'e', 'w'}, &error)) << error.Reason();
  EXPECT_TRUE(fs::is_symlink(At("link")));
  EXPECT_EQ(Read(At("other/target")), "new");
  // The file keeps its permissions, and nothing is left beside it.
  struct stat st {};
  ASSERT_EQ(::stat(At("other/target").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(At("other")), fs::directory_iterator()), 1);
}

TEST_F(FileIoTest, TheLongestNameIsWritten) {
  const std::string name = std::string(255, 'n');
  ASSERT_TRUE(platform::WriteFileAtomic(At(name), Bytes{'x'}));
  EXPECT_EQ(Read(At(name)), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(FileIoTest, FailedWritesGiveTheReasonAndTheFile) {
  fs::create_directories(At("folder"));
  ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", At("null"));
  fs::create_symlink("loop", At("loop"));
  struct Case {
    std::string path;
    int code;
    std::string file;
  };
  const Case cases[] = {{At("gone/x"), ENOENT, At("gone/x")},
                        {At("folder"), EISDIR, At("folder")},
                        {At("fifo"), platform::FileError::kNotRegularFile, At("fifo")},
                        {At("null"), platform::FileError::kNotRegularFile, "/dev/null"},
                        {At("loop"), ELOOP, At("loop")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    platform::FileError error;
    EXPECT_FALSE(platform::WriteFileAtomic(c.path, Bytes{'x'}, &error));
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.path, c.file);
  }
  EXPECT_EQ((platform::FileError{platform::FileError::kNotRegularFile, ""}.Reason()), "Not a regular file");
  EXPECT_TRUE(fs::is_fifo(At("fifo")));
  EXPECT_TRUE(fs::is_directory(At("folder")));
}

}  // namespace
