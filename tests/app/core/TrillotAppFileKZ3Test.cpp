// The File commands of chip modes 3 and 5 over a scripted file chooser, scripted plug-ins and
// real files: open, import, reload, close, save, save as, the exports, Direct Play and the
// update rules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "app/core/ConverterReportService.h"
#include "app/core/FileChooser.h"
#include "app/core/HeadlessMainFrame.h"
#include "app/core/RecordingPresenter.h"
#include "app/core/TrillotApp.h"
#include "app/core/UserMessages.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/strings/StringTable.h"
#include "song/document/KZ1Doc.h"
#include "tests/song/SmfTestImages.h"
#include "tests/song/document/DocTestSupport.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A song-data SMF of one note, as a plug-in's CnvFrom gives it.
Bytes OneNoteSongData() {
  smftest::Track t;
  t.Event(0, {0xC0, 0x00}).Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).EndOfTrack();
  return smftest::Image({t});
}

Bytes ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<std::streamsize>(bytes.size()));
}

FileAnswer PathChoice(const std::string& path) {
  FileAnswer c;
  c.ok = true;
  c.path = path;
  return c;
}

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

class TrillotAppFileKZ3 : public ::testing::Test {
 protected:
  TrillotAppFileKZ3() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("trillot_file_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Profile(2);
    app.SetChipMode(3);
    app.SetFileChooser(&chooser);
    app.CreateMainFrame();
    // The plug-ins: the VELK converter both ways, Midigate into song data and back.
    Plugin(8, 1, {'M', 'M', 'M', 'D', 1, 2, 3});
    Plugin(8, 0, OneNoteSongData());
    Plugin(7, 0, OneNoteSongData());
    Plugin(7, 1, {'M', 'T', 'h', 'd', 9});
  }
  ~TrillotAppFileKZ3() override {
    app.SetDocument(nullptr);
    app.DestroyMainFrame();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void Profile(int profile) {
    host.settings.outputProfile = profile;
    app.SetOutputProfile(profile);
  }

  /// A plug-in entry that writes `out` into the destination (flags OR'ed with `returned`).
  void Plugin(int kind, int direction, Bytes out, uint32_t returned = 0) {
    auto entry = [this, out, returned](CnvParam& p) -> uint32_t {
      lastFlags = p.flags;
      p.flags |= returned;
      if (!p.dst || p.dstSize < out.size()) return CNVERR_DSTSIZE;
      std::memcpy(p.dst, out.data(), out.size());
      return static_cast<uint32_t>(out.size());
    };
    if (direction == 0) {
      host.binder.plugins[kind].from = entry;
    } else {
      host.binder.plugins[kind].to = entry;
    }
  }

  std::string PathOf(const std::string& name) const { return (dir / name).string(); }

  /// A song of one note, held by the application, with the given path.
  CKZ1Doc& Song(const std::string& path, bool modified = false) {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& d = *app.GetDocument();
    d.SetRefreshSuppress(0);
    doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    d.SetPathName(path);
    d.ResetModifiedFlags();
    if (modified) d.SetModifiedFlags(0);
    return d;
  }

  HeadlessMainFrame& Frame() { return static_cast<HeadlessMainFrame&>(*app.GetMainFrame()); }

  fs::path dir;
  platform::FakeHost host;
  CTrillotApp app;
  ScriptedFileChooser chooser;
  uint32_t lastFlags = 0;
};

TEST_F(TrillotAppFileKZ3, OpenChecksTheEndingAfterTheCloseQuestion) {
  WriteFile(PathOf("song.MMF"), {'M', 'M', 'M', 'D'});
  chooser.Answer(PathChoice(PathOf("song.MMF")));
  app.OnFileOpen();
  ASSERT_NE(app.GetDocument(), nullptr);
  EXPECT_EQ(app.GetDocument()->GetOpenOption(), 200);
  EXPECT_EQ(app.GetDocument()->GetConverterOption(), 0);
  EXPECT_EQ(chooser.Requests()[0].defaultExtension, "mmf");
  EXPECT_EQ(chooser.Requests()[0].filter, Text(2086));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7515);
  EXPECT_EQ(host.messages.log[0].detail, "song.MMF");

  // The modified song is asked about first (No), then the ending is refused.
  app.GetDocument()->SetModifiedFlags(0);
  host.messages.answers = {7};
  chooser.Answer(PathChoice(PathOf("song.mmf.bak")));
  app.OnFileOpen();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7091, 7092}));
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppFileKZ3, CancelOnTheCloseQuestionKeepsTheSong) {
  CKZ1Doc& d = Song(PathOf("song.mmf"), true);
  host.messages.answers = {2};
  app.OnFileOpen();
  EXPECT_EQ(app.GetDocument(), &d);
  EXPECT_TRUE(chooser.Requests().empty());
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7091}));
}

TEST_F(TrillotAppFileKZ3, ImportFromSmfTakesEveryChannel) {
  std::vector<std::pair<uint32_t, int>> calls;
  app.SetSongOpener([&](CKZ1Doc&, const std::string&, uint32_t mask, int kind) {
    calls.push_back({mask, kind});
    return 0;
  });
  for (int profile : {2, 1}) {
    SCOPED_TRACE(profile);
    Profile(profile);
    host.messages.shown.clear();
    chooser.Answer(PathChoice(PathOf("tune.MID")));
    app.OnFileImportSMF();
    EXPECT_EQ(chooser.Requests().back().kind, FileDialogKind::Plain);
    EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{profile == 1 ? 7033 : 7092}));
    EXPECT_EQ(app.GetDocument(), nullptr);
  }
  EXPECT_EQ(calls, (std::vector<std::pair<uint32_t, int>>{{0xFFFF, 24}, {0xFFFF, 24}}));
}

TEST_F(TrillotAppFileKZ3, ReloadReadsTheSongsOwnSmf) {
  WriteFile(PathOf("tune.mid"), OneNoteSongData());
  struct Row {
    const char* song;
    int profile;
    bool numbered;
  };
  for (const Row& r : {Row{"tune_3.spf", 4, true}, Row{"tune.mmf", 4, true}, Row{"tune.mmf", 2, false}}) {
    SCOPED_TRACE(r.song);
    Profile(r.profile);
    host.messages.log.clear();
    CKZ1Doc& d = Song(PathOf(r.song));
    d.SetNumberedExport(r.numbered ? 1 : 0);
    EXPECT_TRUE(app.OnUpdateFileReloadSMF());
    app.OnFileReloadSMF();
    ASSERT_EQ(host.messages.log.size(), 1u);
    EXPECT_EQ(host.messages.log[0].id, 7522);
    EXPECT_EQ(host.messages.log[0].detail, PathOf("tune.mid"));
    EXPECT_NE(app.GetDocument(), nullptr);
  }
}

TEST_F(TrillotAppFileKZ3, FailedReloadClosesWithoutAsking) {
  Song(PathOf("gone.mmf"), true);
  EXPECT_FALSE(app.OnUpdateFileReloadSMF());
  app.OnFileReloadSMF();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7032}));
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppFileKZ3, SaveOfAnUntitledOrMldSongRunsSaveAs) {
  for (const char* name : {"untitled", "song.mld"}) {
    SCOPED_TRACE(name);
    chooser = ScriptedFileChooser();
    Song(std::string(name) == "untitled" ? name : PathOf(name));
    app.OnFileSave();
    ASSERT_EQ(chooser.Requests().size(), 1u);
    EXPECT_EQ(chooser.Requests()[0].kind, FileDialogKind::SaveVelk);
    EXPECT_FALSE(chooser.Requests()[0].open);
    EXPECT_EQ(chooser.Requests()[0].compressShow, 0);
    EXPECT_EQ(chooser.Requests()[0].dvxShow, 0);
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(TrillotAppFileKZ3, SaveAsTakesATitleOfFiftyNineCharacters) {
  const std::string title59(59, 'a');
  const std::string title60(60, 'b');
  Song("untitled");
  chooser.Answer(PathChoice(PathOf(title60 + ".mmf")));
  app.OnFileSaveAs();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7026}));
  EXPECT_FALSE(fs::exists(PathOf(title60 + ".mmf")));

  host.messages.shown.clear();
  FileAnswer choice = PathChoice(PathOf(title59 + ".mmf"));
  choice.timeBaseMs = 10;
  choice.compress = 1;
  chooser.Answer(choice);
  app.OnFileSaveAs();
  EXPECT_TRUE(host.messages.ShownIds().empty());
  EXPECT_EQ(ReadFile(PathOf(title59 + ".mmf")), (Bytes{'M', 'M', 'M', 'D', 1, 2, 3}));
  EXPECT_EQ(app.GetDocument()->GetPathName(), PathOf(title59 + ".mmf"));
  EXPECT_EQ(app.GetDocument()->GetCnvOptionFlag(), 1);
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(1), 0u);
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7504);
  EXPECT_EQ(host.messages.log[0].detail, title59 + ".mmf");
  // The dialog's choices reach the converter: 10 ms and compression.
  EXPECT_EQ(lastFlags & 0xF0u, 0xC0u);
  EXPECT_TRUE(app.HasWrittenOutput());
}

TEST_F(TrillotAppFileKZ3, SaveTakesANameOfSixtyThreeCharacters) {
  const std::string name63 = std::string(59, 'c') + ".mmf";
  const std::string name64 = std::string(60, 'd') + ".mmf";
  Song(PathOf(name64));
  app.OnFileSave();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7026}));
  EXPECT_FALSE(fs::exists(PathOf(name64)));
  EXPECT_TRUE(chooser.Requests().empty());

  host.messages.shown.clear();
  Song(PathOf(name63));
  app.OnFileSave();
  EXPECT_TRUE(host.messages.ShownIds().empty());
  EXPECT_TRUE(fs::exists(PathOf(name63)));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7504);
  EXPECT_EQ(host.messages.log[0].detail, PathOf(name63));
}

TEST_F(TrillotAppFileKZ3, FailingSaveRepeatsSaveAsUntilCancel) {
  Song(PathOf("missing/song.mmf"));
  chooser.Answer(PathChoice(PathOf("missing/a.mmf")));
  chooser.Answer(PathChoice(PathOf("missing/b.mmf")));
  app.OnFileSave();
  // The save, two choices that fail as well, then Cancel.
  EXPECT_EQ(chooser.Requests().size(), 3u);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7031, 7031, 7031}));
  // Each failed write also names its file and the system's reason, for batch runs.
  EXPECT_EQ(host.messages.notes, (std::vector<std::string>{PathOf("missing/song.mmf") + ": No such file or directory.",
                                                          PathOf("missing/a.mmf") + ": No such file or directory.",
                                                          PathOf("missing/b.mmf") + ": No such file or directory."}));
  EXPECT_FALSE(fs::exists(PathOf("missing")));
  EXPECT_FALSE(app.HasWrittenOutput());
}

TEST_F(TrillotAppFileKZ3, ExportToSmfInBatchWritesTheOutputNameWithoutADialog) {
  Song(PathOf("song.mmf"));
  app.SetOutputPath(PathOf("out.mid"));
  app.OnFileExportSMF();
  EXPECT_TRUE(chooser.Requests().empty());
  EXPECT_EQ(ReadFile(PathOf("out.mid")), (Bytes{'M', 'T', 'h', 'd', 9}));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7521);
  EXPECT_EQ(host.messages.log[0].detail, PathOf("out.mid"));
  EXPECT_TRUE(app.HasWrittenOutput());
}

TEST_F(TrillotAppFileKZ3, FailedExportsLeaveTheOldFile) {
  WriteFile(PathOf("old.mid"), {'o', 'l', 'd'});
  Song(PathOf("song.mmf"));
  struct Row {
    int profile;
    bool pluginFails;
    std::vector<int> messages;
  };
  // A plug-in's own message is the one message of its failure.
  for (const Row& r : {Row{2, true, {7103}}, Row{1, true, {7103}}, Row{1, false, {7030}}, Row{2, false, {7031}}}) {
    SCOPED_TRACE(r.profile);
    Profile(r.profile);
    host.messages.shown.clear();
    if (r.pluginFails) {
      host.binder.plugins[7].to = [](CnvParam&) { return CNVERR_FORMAT; };
    } else {
      Plugin(7, 1, {'M', 'T', 'h', 'd', 9});
      // A folder where the file should be: the rename over it fails.
      fs::create_directories(PathOf("taken.mid"));
      chooser.Answer(PathChoice(PathOf("taken.mid")));
    }
    app.OnFileExportSMF();
    EXPECT_EQ(host.messages.ShownIds(), r.messages);
  }
  EXPECT_EQ(ReadFile(PathOf("old.mid")), (Bytes{'o', 'l', 'd'}));
  EXPECT_TRUE(host.messages.log.empty());
  EXPECT_FALSE(app.HasWrittenOutput());
}

TEST_F(TrillotAppFileKZ3, ExportToHardwareFormatWritesThePluginsBytes) {
  host.binder.plugins[9].to = [](CnvParam& p) -> uint32_t {
    EXPECT_GE(p.dstSize, 4 * p.srcSize);
    std::memcpy(p.dst, "K3H!", 4);
    return 4;
  };
  Song(PathOf("song.mmf"));
  EXPECT_TRUE(app.OnUpdateFileExportHardware());
  chooser.Answer(PathChoice(PathOf(std::string(60, 'h') + ".k3h")));
  chooser.Answer(PathChoice(PathOf("song.k3h")));
  app.OnFileExportHardware();
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7026}));
  app.OnFileExportHardware();
  EXPECT_EQ(chooser.Requests().back().defaultExtension, "k3h");
  EXPECT_EQ(chooser.Requests().back().filter, Text(2082));
  EXPECT_EQ(ReadFile(PathOf("song.k3h")), (Bytes{'K', '3', 'H', '!'}));
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7516);
  EXPECT_EQ(host.messages.log[0].detail, "song.k3h");
}

TEST_F(TrillotAppFileKZ3, DirectPlayTakesEverySongEndingWhateverTheFilter) {
  Profile(5);
  chooser.Answer(PathChoice(PathOf("tune.mld")));
  app.OnFileDirectPlay();
  EXPECT_EQ(chooser.Requests()[0].filter, Text(2192));
  EXPECT_EQ(Frame().DirectPlayPath(), PathOf("tune.mld"));
  EXPECT_TRUE(host.messages.ShownIds().empty());

  // The close question closes the direct-play window as it would a song.
  chooser.Answer(PathChoice(PathOf("tune.wav")));
  app.OnFileDirectPlay();
  EXPECT_EQ(Frame().DirectPlayPath(), "");
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7092}));
}

TEST_F(TrillotAppFileKZ3, OpenIsEnabledOnlyWhenThePluginReadsVelk) {
  EXPECT_TRUE(app.OnUpdateFileOpen());
  host.binder.plugins[8].from = nullptr;
  EXPECT_FALSE(app.OnUpdateFileOpen());
  EXPECT_TRUE(app.OnUpdateFileImportSMF());
  host.binder.plugins.erase(7);
  EXPECT_FALSE(app.OnUpdateFileImportSMF());
  app.SetChipMode(5);
  EXPECT_FALSE(app.OnUpdateFileOpen());
}

TEST_F(TrillotAppFileKZ3, UpdateRulesOfTheSaveSide) {
  EXPECT_FALSE(app.OnUpdateFileSave());
  EXPECT_FALSE(app.OnUpdateFileSaveAs());
  EXPECT_FALSE(app.OnUpdateFileExportSMF());
  EXPECT_TRUE(app.OnUpdateFileDirectPlay());
  CKZ1Doc& d = Song(PathOf("song.mmf"));
  EXPECT_TRUE(app.OnUpdateFileSave());
  EXPECT_TRUE(app.OnUpdateFileSaveAs());
  // The phrase profile saves only a song whose view flag is 1.
  Profile(4);
  host.binder.plugins[17].to = host.binder.plugins[8].to;
  d.SetViewFlag(0);
  EXPECT_FALSE(app.OnUpdateFileSave());
  d.SetViewFlag(1);
  EXPECT_TRUE(app.OnUpdateFileSave());
  Profile(9);
  EXPECT_FALSE(app.OnUpdateFileSaveAs());
  EXPECT_FALSE(app.OnUpdateFileDirectPlay());
  EXPECT_FALSE(app.IsFileCommandEnabled(32779));
  EXPECT_FALSE(app.IsFileCommandEnabled(32774));
  EXPECT_TRUE(app.IsFileCommandEnabled(57602));
  // The KZ-1 rows are on the window's route, and off outside chip mode 1.
  EXPECT_TRUE(app.IsFileCommand(32773));
  EXPECT_TRUE(app.IsFileCommand(32777));
  EXPECT_FALSE(app.IsFileCommandEnabled(32773));
  EXPECT_FALSE(app.IsFileCommandEnabled(32777));
}

TEST_F(TrillotAppFileKZ3, CloseTakesTheSongAndItsWindows) {
  Song(PathOf("song.mmf"));
  app.SetSongOnBoard(true);
  app.SetBoardPlaybackState(5);
  app.OnFileClose();
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_FALSE(app.IsSongOnBoard());
  EXPECT_EQ(app.GetBoardPlaybackState(), 0u);
  EXPECT_TRUE(host.messages.shown.empty());
}

// With the program's own messages in batch conversion: a note of the VELK converter is
// printed and the save goes on.
TEST_F(TrillotAppFileKZ3, VelkgateNoteInBatchStillSaves) {
  RecordingPresenter presenter;
  UserMessages messages(app, presenter, platform::strings());
  ConverterReportService reports;
  platform::HostServices services = platform::host();
  services.messages = &messages;
  services.reports = &reports;
  platform::ScopedHost scope(services);
  host.settings.batchMode = true;
  app.SetOutputPath(PathOf("out.mmf"));
  Plugin(8, 1, {'M', 'M', 'M', 'D', 7}, 0x00100000);
  Song(PathOf("out.mmf"));
  app.OnFileSave();
  EXPECT_EQ(ReadFile(PathOf("out.mmf")), (Bytes{'M', 'M', 'M', 'D', 7}));
  ASSERT_EQ(presenter.notes.size(), 1u);
  EXPECT_EQ(presenter.notes[0], Text(7151));
  EXPECT_TRUE(presenter.boxes.empty());
  EXPECT_TRUE(app.HasWrittenOutput());
}

}  // namespace
