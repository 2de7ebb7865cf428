// The File commands of chip modes 1 and 2 over a scripted file chooser, the fake generation-1
// export and real song files.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "tests/song/document/KZ12TestSupport.h"

namespace {

using kz12test::ReadFile;

FileAnswer PathChoice(const std::string& path) {
  FileAnswer c;
  c.ok = true;
  c.path = path;
  return c;
}

class TrillotAppFile : public kz12test::KZ12FileTest {
 protected:
  void Mode(int chip) {
    host.settings.chipMode = chip;
    app.SetChipMode(chip);
    app.SetFileChooser(&chooser);
  }

  /// A song of one note, held by the application, with the given path.
  CKZ1Doc& SongWithPath(const std::string& path) {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& d = *app.GetDocument();
    d.SetBuilders(&builders);
    d.SetRefreshSuppress(0);
    d.SetTimeBase(4);
    doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    d.SetPathName(path);
    d.SetModifiedFlags(0);
    return d;
  }

  /// The generation-1 export answers with an image of that size.
  void ConvertedSize(int size) {
    host.kz1Export.result = size > 0 ? 1 : 0;
    host.kz1Export.write = [size](CMemStream& s) {
      const std::vector<uint8_t> bytes(static_cast<size_t>(size), 0);
      if (size > 0) s.Write(bytes.data(), static_cast<uint32_t>(size));
    };
  }

  CTrillotApp app;
  ScriptedFileChooser chooser;
};

TEST_F(TrillotAppFile, NewGivesAnUntitledSongInChipModeTwoOnly) {
  Mode(2);
  app.OnFileNew();
  ASSERT_NE(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetDocument()->GetPathName(), "untitled");
  EXPECT_EQ(app.GetDocument()->GetTimeBase(), 4000);
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(3), 0u);

  Mode(3);
  app.SetDocument(nullptr);
  app.OnFileNew();
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppFile, OpenInChipModeTwoPassesTheVelkDialogValues) {
  CKZ1Doc& d = Make(2);
  d.SetTimeBase(4);
  doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  ASSERT_EQ(Save(d, "song.MMF"), 1);
  Mode(2);
  FileAnswer choice = PathChoice(PathOf("song.MMF"));
  choice.tempo = 150;
  choice.compress = 1;
  chooser.Answer(choice);
  app.OnFileOpen();
  ASSERT_EQ(chooser.Requests().size(), 1u);
  EXPECT_EQ(chooser.Requests()[0].kind, FileDialogKind::VelkLoad);
  EXPECT_EQ(chooser.Requests()[0].defaultExtension, "mmf");
  ASSERT_NE(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetDocument()->GetOpenOption(), 150);
  EXPECT_EQ(app.GetDocument()->GetConverterOption(), 1);
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7515);
  EXPECT_EQ(host.messages.log[0].detail, "song.MMF");
}

TEST_F(TrillotAppFile, OpenRefusesAnotherEnding) {
  Mode(1);
  chooser.Answer(PathChoice(PathOf("song.mmf.bak")));
  app.OnFileOpen();
  EXPECT_EQ(chooser.Requests()[0].kind, FileDialogKind::Plain);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7092}));
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppFile, ImportFromSmfInChipModeOnePassesTheMaskAndSelection) {
  Mode(1);
  std::vector<std::pair<uint32_t, int>> calls;
  int answer = 0;
  app.SetSongOpener([&](CKZ1Doc&, const std::string&, uint32_t mask, int kind) {
    calls.push_back({mask, kind});
    return answer;
  });
  FileAnswer choice = PathChoice(PathOf("tune.MID"));
  choice.channelMask = 0x0005;
  choice.timeBase = 24;
  chooser.Answer(choice);
  app.OnFileImportSMF();
  EXPECT_EQ(chooser.Requests()[0].kind, FileDialogKind::SmfLoad);
  EXPECT_EQ(chooser.Requests()[0].chipMode, 1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (std::pair<uint32_t, int>{0x0005, 24}));
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7032}));
  EXPECT_EQ(app.GetDocument(), nullptr);

  answer = 1;
  host.messages.shown.clear();
  chooser.Answer(choice);
  app.OnFileImportSMF();
  EXPECT_NE(app.GetDocument(), nullptr);
  EXPECT_TRUE(host.messages.ShownIds().empty());
  EXPECT_EQ(host.messages.log.back().id, 7517);
}

TEST_F(TrillotAppFile, ImportedSmfBecomesTheSong) {
  CKZ1Doc& d = Make(1);
  doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  CleanUp(d);
  CMemStream smf;
  SongOutputRecord setup;
  d.BuildOutputSetup(setup, 1);
  ASSERT_EQ(d.WriteSmf(smf, setup), 1);
  kz12test::WriteFile(PathOf("tune.mid"), std::vector<uint8_t>(smf.GetData(), smf.GetData() + smf.GetSize()));
  Mode(1);
  FileAnswer choice = PathChoice(PathOf("tune.mid"));
  choice.channelMask = 0x000F;
  chooser.Answer(choice);
  app.OnFileImportSMF();
  ASSERT_NE(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetDocument()->GetMidiList()->size(), 1u);
}

TEST_F(TrillotAppFile, CloseInChipModeOneAsksOnlyWhenTheSongConverts) {
  Mode(1);
  SongWithPath(PathOf("song.mmf"));
  ConvertedSize(0);
  EXPECT_EQ(app.QueryCloseSong(), 1);
  EXPECT_TRUE(host.messages.ShownIds().empty());
  EXPECT_EQ(app.GetDocument(), nullptr);

  SongWithPath(PathOf("song.mmf"));
  ConvertedSize(200);
  host.messages.answers.push_back(2);  // Cancel
  EXPECT_EQ(app.QueryCloseSong(), 0);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7091}));
  EXPECT_NE(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppFile, SaveInChipModeOneChecksTheConvertedSize) {
  struct Row {
    const char* name;
    int size;
    const char* reason;
    bool fmm;
    std::vector<int> messages;
    bool saved;
  };
  const Row rows[] = {
      {"no size with a reason", 0, "Convert Error", false, {7088}, false},
      {"991 steps in FMM mode", 2066, "", true, {}, true},
      {"992 steps in FMM mode", 2068, "", true, {7093}, false},
      {"992 steps without FMM mode", 2068, "", false, {}, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Mode(1);
    host.ui.qxCue = r.fmm;
    host.messages.shown.clear();
    std::filesystem::remove(PathOf("song.mmf"));
    SongWithPath(PathOf("song.mmf"));
    ConvertedSize(r.size);
    host.kz1Export.reason = r.reason;
    app.OnFileSave();
    EXPECT_EQ(host.messages.ShownIds(), r.messages);
    EXPECT_EQ(std::filesystem::exists(PathOf("song.mmf")), r.saved);
    EXPECT_TRUE(chooser.Requests().empty());
    if (r.saved) {
      EXPECT_EQ(app.GetDocument()->TestModifiedFlags(1), 0u);
      const std::vector<uint8_t> image = ReadFile(PathOf("song.mmf"));
      ASSERT_GE(image.size(), 4u);
      EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "MMMD");
    }
  }
}

TEST_F(TrillotAppFile, SaveAsInChipModeOneShowsTheSizeAsItsComment) {
  struct Row {
    int size;
    bool fmm;
    std::string comment;
  };
  const Row rows[] = {
      {100, false, "VELK File Size: 100 [byte]"},
      {2066, true, "VELK File Size: 2066 [byte]    FMM Step Size: 991 [step]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.comment);
    Mode(1);
    host.ui.qxCue = r.fmm;
    chooser = ScriptedFileChooser();
    SongWithPath(PathOf("song.mmf"));
    ConvertedSize(r.size);
    app.OnFileSaveAs();
    ASSERT_EQ(chooser.Requests().size(), 1u);
    EXPECT_FALSE(chooser.Requests()[0].open);
    EXPECT_EQ(chooser.Requests()[0].kind, FileDialogKind::Comment);
    EXPECT_EQ(chooser.Requests()[0].comment, r.comment);
  }
}

TEST_F(TrillotAppFile, SaveOfAnUntitledSongRunsSaveAsUntilASaveWorks) {
  Mode(2);
  app.OnFileNew();
  CKZ1Doc& d = *app.GetDocument();
  d.SetBuilders(&builders);
  d.SetTimeBase(4);
  doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  d.SetModifiedFlags(0);
  // A folder that does not exist fails the save: the dialog comes again.
  chooser.Answer(PathChoice(PathOf("missing/song.mmf")));
  chooser.Answer(PathChoice(PathOf("song.mmf")));
  app.OnFileSave();
  EXPECT_EQ(chooser.Requests().size(), 2u);
  EXPECT_EQ(chooser.Requests()[0].comment, "");
  EXPECT_TRUE(std::filesystem::exists(PathOf("song.mmf")));
  EXPECT_EQ(d.GetPathName(), PathOf("song.mmf"));
  EXPECT_EQ(d.TestModifiedFlags(1), 0u);
}

TEST_F(TrillotAppFile, ExportToSmfInChipModeOneWritesTheSongsSmf) {
  Mode(1);
  CKZ1Doc& d = SongWithPath(PathOf("song.mmf"));
  CMemStream expected;
  SongOutputRecord setup;
  d.BuildOutputSetup(setup, 1);
  ASSERT_EQ(d.WriteSmf(expected, setup), 1);
  chooser.Answer(PathChoice(PathOf("out.mid")));
  app.OnFileExportSMF();
  EXPECT_EQ(chooser.Requests()[0].defaultExtension, "mid");
  EXPECT_EQ(ReadFile(PathOf("out.mid")),
            std::vector<uint8_t>(expected.GetData(), expected.GetData() + expected.GetSize()));
  EXPECT_EQ(host.messages.log.back().id, 7521);

  // A song without notes writes an empty play list: the export fails with 7031.
  d.GetMidiList()->clear();
  app.OnFileExportSMF();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7031}));
}

}  // namespace
