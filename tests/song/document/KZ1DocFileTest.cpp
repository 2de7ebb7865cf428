// Loading by file ending and safe saving of the song document.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "song/MemStream.h"
#include "song/document/DocArchive.h"
#include "song/document/testing/RecordingDocFakes.h"

namespace {

namespace fs = std::filesystem;
using doctest::AddEvent;

std::vector<uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class KZ1DocFile : public doctest::DocTest {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("trillot_doc_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  /// Loads through the archive as the open operation does; the thrown code, or 1.
  int Load(CKZ1Doc& d, const std::string& name) {
    d.ResetSong();
    d.SetReaders(&readers);
    CDocArchive archive = CDocArchive::ForLoading(name);
    try {
      d.Serialize(archive);
    } catch (int code) {
      return code;
    }
    return 1;
  }

  fs::path dir;
  RecordingDocReaders readers;
  RecordingDocBuilders builders;
};

TEST_F(KZ1DocFile, LoaderPicksTheReaderByEnding) {
  struct Case {
    const char* name;
    const char* reader;  // null: refused without a reader
    int result;
  };
  const Case cases[] = {
      {"song.MID", "smf", 1},     {"song.mid", "smf", 1},   {"song.mmf", "velk", 1},
      {"song.SPF", "velk", 1},    {"song.kz1", "kz1", 1},   {"song.K3N", "native", 1},
      {"song.k5n", "native", 1},  {"song.mld", nullptr, 0}, {"song.txt", nullptr, 0},
      {"ab", nullptr, 0},
  };
  for (const auto& c : cases) {
    CKZ1Doc& d = Make(3);
    readers.calls.clear();
    EXPECT_EQ(Load(d, c.name), c.result) << c.name;
    if (c.reader) {
      ASSERT_EQ(readers.calls.size(), 1u) << c.name;
      EXPECT_EQ(readers.calls[0].first, c.reader) << c.name;
    } else {
      EXPECT_TRUE(readers.calls.empty()) << c.name;
    }
  }
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(KZ1DocFile, FailedReadShowsItsMessageOnlyWhenReporting) {
  struct Case {
    const char* name;
    int message;
    int thrown;
  };
  const Case cases[] = {
      {"a.spf", 7032, -1}, {"a.mmf", 7032, -1}, {"a.kz1", 7034, -1}, {"a.K3N", 7092, 0},
      {"a.mid", 0, 0}};
  readers.read = [](CKZ1Doc&, const std::string&, const std::string&) { return 0; };
  for (int report = 0; report <= 1; ++report) {
    for (const auto& c : cases) {
      host.messages.shown.clear();
      CKZ1Doc& d = Make(3);
      d.SetDropFlag(report);
      EXPECT_EQ(Load(d, c.name), c.thrown) << c.name;
      const std::vector<int> expected =
          (report && c.message) ? std::vector<int>{c.message} : std::vector<int>{};
      EXPECT_EQ(host.messages.ShownIds(), expected) << c.name << " report " << report;
    }
  }
}

TEST_F(KZ1DocFile, MissingReaderFailsLikeOneReturningZero) {
  CKZ1Doc& d = Make(3);
  CDocArchive archive = CDocArchive::ForLoading("x.spf");
  EXPECT_THROW(d.Serialize(archive), int);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7032});
}

TEST_F(KZ1DocFile, LoadLeavesFlagsTwoAndRevalidatesCuePoints) {
  CKZ1Doc& d = Make(3);
  readers.read = [](CKZ1Doc& song, const std::string&, const std::string&) {
    AddEvent(*song.GetMidiList(), 100, 900, {0x90, 60, 100});
    for (int kind = 1; kind <= 7; ++kind) song.SetCuePoint(kind, 100u * kind, 1);
    song.SetCuePoint(CKZ1Doc::kStartCue, 200, 1);
    song.SetCuePoint(CKZ1Doc::kStopCue, 1000, 1);
    song.SetModifiedFlags(0);
    return 1;
  };
  ASSERT_EQ(Load(d, "song.spf"), 1);
  EXPECT_EQ(d.TestModifiedFlags(0xFFFFFFFF), 2u);
  for (int kind = 1; kind <= 7; ++kind) EXPECT_EQ(d.GetCuePoint(kind), 100u * kind) << kind;
  EXPECT_EQ(d.GetCuePoint(CKZ1Doc::kStartCue), 200u);
  EXPECT_EQ(d.GetCuePoint(CKZ1Doc::kStopCue), 1000u);
  EXPECT_EQ(d.IsLoadedFromVelk(), 1);
  EXPECT_EQ(d.GetRefreshSuppress(), 0);
  EXPECT_EQ(d.GetChannelValue(0), 1);
}

TEST_F(KZ1DocFile, SmfLoadChecksTheTempoInChipModeOne) {
  CKZ1Doc& d = Make(1);
  readers.read = [](CKZ1Doc& song, const std::string&, const std::string&) {
    song.SetTimeBase(5);
    song.SetTempo(500);
    return 1;
  };
  ASSERT_EQ(Load(d, "old.mid"), 1);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7054});
  EXPECT_EQ(d.GetTempo(), 437);
  EXPECT_EQ(d.GetTimeBase(), 4) << "chip mode 1 takes the pending time base";
}

TEST_F(KZ1DocFile, SaveWritesTheBuiltImage) {
  CKZ1Doc& d = Make(3);
  d.SetBuilders(&builders);
  d.SetModifiedFlags(0);
  const fs::path target = dir / "song.mmf";
  ASSERT_EQ(d.SaveDocument(target.string()), 1);
  EXPECT_EQ(ReadFile(target), builders.bytes);
  EXPECT_EQ(builders.calls, std::vector<std::string>{"velk"});
  EXPECT_EQ(builders.options[0], (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(d.TestModifiedFlags(3), 2u);
  EXPECT_EQ(d.GetPathName(), target.string());
  EXPECT_EQ(d.GetOutputImage(0), nullptr) << "the image is consumed by the save";
}

TEST_F(KZ1DocFile, SaveChoosesTheBuilderByProfile) {
  const std::pair<int, const char*> cases[] = {{1, "converter"}, {6, "converter"}, {7, "converter"},
                                               {2, "velk"},      {3, "velk"},      {5, "velk"},
                                               {8, "velk"},      {4, "phrase"}};
  for (const auto& [profile, entry] : cases) {
    host.settings.outputProfile = profile;
    CKZ1Doc& d = Make(3);
    d.SetBuilders(&builders);
    builders.calls.clear();
    EXPECT_EQ(d.BuildOutputImage(1, "", 1, 0, 0), 1) << profile;
    EXPECT_EQ(builders.calls, std::vector<std::string>{entry}) << profile;
  }
  host.settings.outputProfile = 9;
  CKZ1Doc& d = Make(3);
  d.SetBuilders(&builders);
  EXPECT_EQ(d.BuildOutputImage(1, "", 1, 0, 0), 0);
}

TEST_F(KZ1DocFile, BuilderThrowingLeavesTheOldFileByteIdentical) {
  const fs::path target = dir / "song.mmf";
  const std::vector<uint8_t> old = {'o', 'l', 'd', 0, 1, 2};
  WriteFile(target, old);
  CKZ1Doc& d = Make(3);
  builders.throws = true;
  d.SetBuilders(&builders);
  EXPECT_THROW(d.SaveDocument(target.string()), int);
  EXPECT_EQ(ReadFile(target), old);

  builders.throws = false;
  builders.SetResult(0);
  EXPECT_EQ(d.SaveDocument(target.string()), 0) << "a failed build writes nothing";
  EXPECT_EQ(ReadFile(target), old);

  CKZ1Doc& noBuilders = Make(3);
  EXPECT_EQ(noBuilders.SaveDocument(target.string()), 0);
  EXPECT_EQ(ReadFile(target), old);
}

TEST_F(KZ1DocFile, DeclinedSaveWritesNothing) {
  const fs::path target = dir / "song.mmf";
  WriteFile(target, {'o', 'l', 'd'});
  struct Declining : RecordingDocBuilders {
    int ExportVelk(CKZ1Doc& doc, CMemStream& image, int a, const std::string& b,
                   const SongOutputRecord& c, int d, int e, int f) override {
      doc.SetSaveDeclined(1);
      return RecordingDocBuilders::ExportVelk(doc, image, a, b, c, d, e, f);
    }
  } declining;
  CKZ1Doc& d = Make(3);
  d.SetBuilders(&declining);
  EXPECT_EQ(d.SaveDocument(target.string()), 0);
  EXPECT_EQ(ReadFile(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(KZ1DocFile, PhraseProfileWritesNumberedFilesAndLogsEach) {
  host.settings.outputProfile = 4;
  CKZ1Doc& d = Make(3);
  d.SetBuilders(&builders);
  const fs::path target = dir / "song.mmf";
  ASSERT_EQ(d.SaveDocument(target.string()), 1);
  const char* names[] = {"song.mmf", "song_2.mmf", "song_3.mmf", "song_4.mmf"};
  for (int n = 0; n < 4; ++n) {
    std::vector<uint8_t> expected = builders.bytes;
    expected.push_back(static_cast<uint8_t>(n + 1));
    EXPECT_EQ(ReadFile(dir / names[n]), expected) << names[n];
    ASSERT_GT(host.messages.log.size(), static_cast<size_t>(n));
    EXPECT_EQ(host.messages.log[n].id, 7504);
    EXPECT_EQ(host.messages.log[n].detail, (dir / names[n]).string());
  }
  EXPECT_EQ(host.messages.log.size(), 4u);
}

TEST_F(KZ1DocFile, PhraseProfileSkipsEmptyPartsAndRefusesShortPaths) {
  host.settings.outputProfile = 4;
  CKZ1Doc& d = Make(3);
  builders.phraseParts = 2;
  d.SetBuilders(&builders);
  ASSERT_EQ(d.SaveDocument((dir / "tune.spf").string()), 1);
  EXPECT_TRUE(fs::exists(dir / "tune_2.spf"));
  EXPECT_FALSE(fs::exists(dir / "tune_3.spf"));

  CKZ1Doc& shortPath = Make(3);
  shortPath.SetBuilders(&builders);
  EXPECT_EQ(shortPath.SaveDocument(".mmf"), 0);
  EXPECT_FALSE(fs::exists(".mmf"));
}

TEST_F(KZ1DocFile, PhraseProfileSavesAVelkLoadPlainly) {
  host.settings.outputProfile = 4;
  CKZ1Doc& d = Make(3);
  d.SetBuilders(&builders);
  const fs::path source = dir / "in.mmf";
  ASSERT_EQ(Load(d, source.string()), 1);
  d.SetPathName(source.string());
  ASSERT_EQ(d.SaveDocument(source.string()), 1);
  EXPECT_EQ(ReadFile(source).size(), builders.bytes.size() + 1) << "only the first part";
  EXPECT_FALSE(fs::exists(dir / "in_2.mmf"));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7504);
}

TEST_F(KZ1DocFile, UnwritableFolderGivesItsMessageAndZero) {
  // A folder that does not exist cannot be written, whoever runs the test.
  const fs::path folder = dir / "missing";
  const std::pair<int, int> cases[] = {{2, 7031}, {1, 7030}, {6, 7030}};
  for (const auto& [profile, message] : cases) {
    host.settings.outputProfile = profile;
    host.messages.shown.clear();
    CKZ1Doc& d = Make(3);
    d.SetBuilders(&builders);
    d.SetModifiedFlags(0);
    EXPECT_EQ(d.SaveDocument((folder / "song.mmf").string()), 0) << profile;
    EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{message}) << profile;
    // The song is no more saved than it was.
    EXPECT_EQ(d.TestModifiedFlags(3), 3u) << profile;
    EXPECT_EQ(host.messages.notes, std::vector<std::string>{(folder / "song.mmf").string() + ": No such file or directory."});
    host.messages.notes.clear();
  }
}

TEST_F(KZ1DocFile, ConvertedSizeComesFromTheHostConversion) {
  CKZ1Doc& d = Make(3);
  host.kz1Export.write = [](CMemStream& s) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    s.Write(bytes, 5);
  };
  EXPECT_EQ(d.CalcConvertedSize(7), 5);
  EXPECT_EQ(host.kz1Export.options, std::vector<int>{7});
  host.kz1Export.result = 0;
  EXPECT_EQ(d.CalcConvertedSize(7), 0);
  EXPECT_EQ(d.IsImageReady(), 1);
}

TEST_F(KZ1DocFile, ImageSizeIsMeasuredInChipModesOneAndTwoOnly) {
  CKZ1Doc& three = Make(3);
  three.SetBuilders(&builders);
  EXPECT_EQ(three.CalcImageSize(), 0);
  EXPECT_TRUE(builders.calls.empty());
  CKZ1Doc& one = Make(1);
  one.SetBuilders(&builders);
  EXPECT_EQ(one.CalcImageSize(), static_cast<int>(builders.bytes.size()));
}

TEST_F(KZ1DocFile, SetPathNameStoresAFullPath) {
  CKZ1Doc& d = Make(3);
  d.SetPathName("rel/song.mmf");
  EXPECT_TRUE(fs::path(d.GetPathName()).is_absolute());
  EXPECT_EQ(fs::path(d.GetPathName()).filename(), "song.mmf");
  d.SetPathName("");
  EXPECT_EQ(fs::path(d.GetPathName()).filename(), "song.mmf");
}

}  // namespace
