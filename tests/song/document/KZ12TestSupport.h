// Shared set-up of the chip-mode 1 and 2 file tests: a temporary folder, the generation-1/2
// VELK writers as the document's builders, and songs saved and opened through real files.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/document/DocBuilders.h"
#include "song/document/VelkWriterKZ12.h"
#include "velk/Crc16.h"

namespace kz12test {

namespace fs = std::filesystem;

/// Routes the VELK export entry to the chip mode's own writer.
class KZ12Builders : public IDocBuilders {
 public:
  int ExportVelk(CKZ1Doc& doc, CMemStream& image, int, const std::string&,
                 const SongOutputRecord& setup, int, int, int) override {
    switch (platform::settings().GetChipMode()) {
      case 1: return WriteVelkKZ1(doc, image, setup);
      case 2: return WriteVelkKZ2(doc, image, setup);
      default: return 0;
    }
  }
  int ExportPhrase(CKZ1Doc&, CMemStream*[4], int, const std::string&, const SongOutputRecord&, int,
                   int) override {
    return 0;
  }
  int ExportViaConverter(CKZ1Doc&, CMemStream&, int, const std::string&, const SongOutputRecord&,
                         int, int) override {
    return 0;
  }
};

inline std::vector<uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// Puts a correct CRC-16 into the last two bytes of a VELK image.
inline void FixCrc(std::vector<uint8_t>& image) {
  const size_t n = image.size();
  const uint16_t crc = VelkCrc16(static_cast<uint32_t>(n - 2), image.data());
  image[n - 2] = static_cast<uint8_t>(crc >> 8);
  image[n - 1] = static_cast<uint8_t>(crc);
}

/// Offset of the first occurrence of the four id bytes, or npos.
inline size_t FindId(const std::vector<uint8_t>& image, const char* id, uint8_t fourth) {
  for (size_t i = 0; i + 4 <= image.size(); ++i) {
    if (image[i] == id[0] && image[i + 1] == id[1] && image[i + 2] == id[2] && image[i + 3] == fourth) {
      return i;
    }
  }
  return std::string::npos;
}

class KZ12FileTest : public doctest::DocTest {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("trillot_kz12_" + std::string(info->test_suite_name()) + "_" +
                                       info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  std::string PathOf(const std::string& name) const { return (dir / name).string(); }

  /// Saves the document to the file through its own save; the save's result.
  int Save(CKZ1Doc& d, const std::string& name) {
    d.SetBuilders(&builders);
    return d.SaveDocument(PathOf(name));
  }

  /// A new document that opened the file (check GetPathName or the result for success).
  std::unique_ptr<CKZ1Doc> Open(const std::string& name, int* result = nullptr) {
    auto d = std::make_unique<CKZ1Doc>();
    d->SetBuilders(&builders);
    const int r = d->OpenDocument(PathOf(name));
    if (result) *result = r;
    return d;
  }

  /// The clean-up a load ends in, run on a song put together by hand.
  static void CleanUp(CKZ1Doc& d) {
    for (int k = 0; k < 16; ++k) {
      d.GetSongSetup().SetBankMsb(k, 255);
      d.GetSongSetup().SetBankLsb(k, 255);
      d.GetSongSetup().SetProgram(k, 255);
      d.GetSongSetup().SetVolume(k, 255);
    }
    d.InitChannelSetupFromEvents();
    d.RebuildVoiceSlotsKZ12();
  }

  fs::path dir;
  KZ12Builders builders;
};

}  // namespace kz12test
