// The KZ-1 commands of the application object (import, export, board transfer) over a
// scripted file chooser, the fake generation-1 export, a recording board link and real files;
// and the real generation-1 export service over real songs.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/core/FileChooser.h"
#include "app/core/KZ1ExportService.h"
#include "app/core/TrillotApp.h"
#include "device/BoardLink.h"
#include "platform/host/testing/FakeHost.h"
#include "song/SongSetup.h"
#include "tests/song/document/KZ12TestSupport.h"

namespace {

using kz12test::ReadFile;

/// A link that answers every handshake and records the song blocks it is sent.
class SongLink : public CBoardLink {
 public:
  explicit SongLink(std::vector<size_t>* sent) : m_sent(sent) {}
  int Handshake(char answer[2]) override {
    answer[0] = 'O';
    answer[1] = 'K';
    return 1;
  }
  int QueryStatus(uint32_t*, int) override { return 1; }
  int SetPlayParams(int, int, int) override { return 1; }
  int Reset() override { return 1; }
  int SendSetup(int, const uint8_t*, int, int, int, int) override { return 1; }
  int Stop() override { return 1; }
  int SendSong(const uint8_t*, uint32_t size) override {
    m_sent->push_back(size);
    return 1;
  }

 private:
  std::vector<size_t>* m_sent;
};

FileAnswer PathChoice(const std::string& path) {
  FileAnswer c;
  c.ok = true;
  c.path = path;
  return c;
}

std::vector<uint8_t> Kz1File(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> out(84, 0);
  out[66] = 0x32;
  out[67] = 0x10;
  out[69] = 30;
  for (uint16_t w : words) {
    out.push_back(static_cast<uint8_t>(w >> 8));
    out.push_back(static_cast<uint8_t>(w));
  }
  return out;
}

class TrillotAppKZ1 : public kz12test::KZ12FileTest {
 protected:
  void SetUp() override {
    KZ12FileTest::SetUp();
    host.settings.chipMode = 1;
    app.SetChipMode(1);
    app.SetFileChooser(&chooser);
    host.registry.voiceLibrary = &app.GetVoiceLibrary();
  }

  CKZ1Doc& Song() {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& d = *app.GetDocument();
    d.SetBuilders(&builders);
    d.SetRefreshSuppress(0);
    d.SetTimeBase(4);
    doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    d.ResetModifiedFlags();
    return d;
  }

  /// The generation-1 export answers with an image of that size whose first word is `word`.
  void Image(int size, int word) {
    host.kz1Export.result = 1;
    host.kz1Export.write = [size, word](CMemStream& s) {
      std::vector<uint8_t> bytes(static_cast<size_t>(size), 0);
      bytes[0] = static_cast<uint8_t>(word >> 8);
      bytes[1] = static_cast<uint8_t>(word);
      s.Write(bytes.data(), static_cast<uint32_t>(size));
    };
  }

  void ConnectBoard() {
    app.SetBoardLinkFactory([this](const std::string&) { return std::make_unique<SongLink>(&sent); });
    ASSERT_EQ(app.OpenBoardPort(1), 1);
  }

  CTrillotApp app;
  ScriptedFileChooser chooser;
  std::vector<size_t> sent;
};

TEST_F(TrillotAppKZ1, ImportReadsAtTheDialogsDivisor) {
  kz12test::WriteFile(dir / "tune.KZ1", Kz1File({0x4623, 0x4623}));
  for (int divisor : {1, 2}) {
    SCOPED_TRACE(divisor);
    FileAnswer choice = PathChoice(PathOf("tune.KZ1"));
    choice.tempoFactor = divisor;
    chooser.Answer(choice);
    app.OnFileImportKZ1();
    ASSERT_NE(app.GetDocument(), nullptr);
    const auto& list = *app.GetDocument()->GetMidiList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.back()->GetTick(), 6u / static_cast<uint32_t>(divisor));
  }
  const FileRequest& request = chooser.Requests().back();
  EXPECT_EQ(request.kind, FileDialogKind::Kz1Load);
  EXPECT_EQ(request.defaultExtension, "kz1");
  EXPECT_TRUE(host.messages.log.empty());
}

TEST_F(TrillotAppKZ1, ImportRefusesOtherEndingsAndBrokenFiles) {
  kz12test::WriteFile(dir / "tune.kz1.bak", Kz1File({0x4620}));
  chooser.Answer(PathChoice(PathOf("tune.kz1.bak")));
  app.OnFileImportKZ1();
  EXPECT_EQ(app.GetDocument(), nullptr);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7092});

  kz12test::WriteFile(dir / "short.kz1", std::vector<uint8_t>(40, 0));
  chooser.Answer(PathChoice(PathOf("short.kz1")));
  app.OnFileImportKZ1();
  EXPECT_EQ(app.GetDocument(), nullptr);
}

TEST_F(TrillotAppKZ1, UpdateRulesEnableChipModeOneOnly) {
  for (int chip : {1, 2, 3}) {
    app.SetChipMode(chip);
    EXPECT_EQ(app.OnUpdateFileImportKZ1(), chip == 1) << chip;
    EXPECT_EQ(app.OnUpdateFileExportKZ1(), chip == 1) << chip;
  }
}

TEST_F(TrillotAppKZ1, ExportOffersTheStepCountAndWritesTheImage) {
  Song();
  Image(94, 94);
  chooser.Answer(PathChoice(PathOf("out.kz1")));
  EXPECT_EQ(app.ExportKZ1(), 1);
  ASSERT_EQ(chooser.Requests().size(), 1u);
  EXPECT_EQ(chooser.Requests()[0].comment, "Step Size: 5 [step]");
  EXPECT_EQ(chooser.Requests()[0].filter, "KZ-1 file (*.kz1)|*.kz1|All files (*.*)|*.*||");
  EXPECT_EQ(ReadFile(dir / "out.kz1").size(), 94u);
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7504);
}

TEST_F(TrillotAppKZ1, ExportStopsWithoutWriting) {
  Song();
  Image(84, 84);
  app.SetOutputPath(PathOf("never.kz1"));
  EXPECT_EQ(app.ExportKZ1(), 0);
  EXPECT_FALSE(app.HasWrittenOutput());
  app.SetOutputPath("");
  EXPECT_EQ(host.messages.beeps, 1);
  EXPECT_TRUE(chooser.Requests().empty());

  host.kz1Export.result = 0;
  host.kz1Export.reason = "Convert Error";
  EXPECT_EQ(app.ExportKZ1(), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7088});
  host.kz1Export.reason.clear();
  EXPECT_EQ(app.ExportKZ1(), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7088});
  EXPECT_TRUE(host.messages.log.empty());
}

TEST_F(TrillotAppKZ1, BatchExportWritesTheCommandLineNameWithoutADialog) {
  Song();
  Image(100, 100);
  const std::string target = PathOf("batch.kz1");
  kz12test::WriteFile(target, {1, 2, 3});
  app.SetOutputPath(target);
  EXPECT_EQ(app.ExportKZ1(), 1);
  EXPECT_TRUE(chooser.Requests().empty());
  EXPECT_EQ(ReadFile(target).size(), 100u);
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7504);
  EXPECT_EQ(host.messages.log[0].detail, target);
  EXPECT_TRUE(app.HasWrittenOutput());
}

TEST_F(TrillotAppKZ1, BatchExportRunsInEveryChipModeAndSaysWhyItFails) {
  // The chip-mode rule belongs to the menu item; the batch run exports whatever the mode.
  for (int chip : {1, 2, 3}) {
    SCOPED_TRACE(chip);
    app.SetChipMode(chip);
    host.settings.chipMode = chip;
    Song();
    Image(100, 100);
    const std::string target = PathOf("batch" + std::to_string(chip) + ".kz1");
    app.SetOutputPath(target);
    EXPECT_EQ(app.ExportKZ1(), 1);
    EXPECT_EQ(ReadFile(target).size(), 100u);
  }
  struct Case {
    std::string reason;
    std::vector<std::string> texts;  // after message 7088
  };
  const Case cases[] = {{"Note Range Error( Over 3 Octave )", {"- Note Range Error( Over 3 Octave )"}},
                        {"Convert Error", {"- Convert Error"}},
                        {"File Format Error", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    host.messages.shown.clear();
    host.kz1Export.result = 0;
    host.kz1Export.reason = c.reason;
    const std::string target = PathOf("failed.kz1");
    app.SetOutputPath(target);
    EXPECT_EQ(app.ExportKZ1(), 0);
    EXPECT_FALSE(std::filesystem::exists(target));
    ASSERT_EQ(host.messages.shown.size(), 1 + c.texts.size());
    EXPECT_EQ(host.messages.shown[0].id, 7088);
    for (size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(host.messages.shown[1 + i].text, c.texts[i]);
  }
}

TEST_F(TrillotAppKZ1, SendToBoardTable) {
  struct Case {
    const char* name;
    int size;  // 0: the conversion fails
    std::string reason;
    int result;
    std::vector<int> shown;
    std::vector<size_t> sent;
  };
  const std::vector<Case> cases = {
      {"converted and sent", 28670, "", 1, {}, {28670}},
      {"too large", 28672, "", 0, {7087}, {}},
      {"failure with a reason", 0, "Note Range Error( Over 3 Octave )", 0, {7088}, {}},
      {"failure without a reason", 0, "", 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.messages.shown.clear();
    sent.clear();
    CKZ1Doc& d = Song();
    ConnectBoard();
    d.ResetModifiedFlags();
    app.SetBoardFlag(0);
    app.SetBoardPlaybackState(5);
    if (c.size) {
      Image(c.size, c.size);
    } else {
      host.kz1Export.result = 0;
      host.kz1Export.write = nullptr;
    }
    host.kz1Export.reason = c.reason;
    EXPECT_EQ(app.SendSongToBoardKZ1(), c.result);
    EXPECT_EQ(host.messages.ShownIds(), c.shown);
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(app.GetBoardFlag(), c.result ? 1u : 0u);
    EXPECT_EQ(app.GetBoardPlaybackState(), c.result ? 0u : 5u);
    EXPECT_EQ(d.TestModifiedFlags(3), c.size ? 0u : 3u);
  }
}

TEST_F(TrillotAppKZ1, WithoutALinkNothingIsConverted) {
  Song();
  Image(200, 200);
  EXPECT_EQ(app.SendSongToBoardKZ1(), 0);
  EXPECT_TRUE(host.kz1Export.options.empty());
}

TEST_F(TrillotAppKZ1, ClosingTheSongClearsTheBoardFlag) {
  Song();
  host.kz1Export.result = 0;
  app.SetBoardFlag(1);
  app.SetBoardPlaybackState(3);
  EXPECT_EQ(app.QueryCloseSong(), 1);
  EXPECT_EQ(app.GetBoardFlag(), 0u);
  EXPECT_EQ(app.GetBoardPlaybackState(), 0u);
}

class KZ1ExportServiceTest : public kz12test::KZ12FileTest {
 protected:
  void SetUp() override {
    KZ12FileTest::SetUp();
    host.registry.voiceLibrary = &library;
    for (int i = 0; i < 128; ++i) library.GetGen1VoiceTable(0).GetEntry(i)[32] = 0xF0;
  }

  /// Notes on channel 0 every 240 ticks, with phrase A from the fifth on.
  CKZ1Doc& PhraseSong() {
    CKZ1Doc& d = Make(1);
    d.SetBuilders(&builders);
    d.SetTimeBase(4);
    d.SetTempo(120);
    for (int i = 0; i < 8; ++i) {
      doctest::AddEvent(*d.GetMidiList(), static_cast<uint32_t>(240 * i), static_cast<uint32_t>(240 * i + 120),
                        {0x90, 60, 100});
    }
    CleanUp(d);
    d.SetCuePoint(CKZ1Doc::kStartCue, 0, 1);
    d.SetCuePoint(3, 960, 1);
    d.SetCuePoint(CKZ1Doc::kStopCue, 1920, 1);
    host.registry.document = &d;
    return d;
  }

  /// Note words in the converted image.
  static int NoteWords(const CMemStream& image) {
    int n = 0;
    for (int i = 84; i + 1 < image.GetSize(); i += 2) {
      if ((image.GetData()[i] & 0xFC) != 0x30) ++n;
    }
    return n;
  }

  CVoiceLibrary library;
  int converted = 0;
  CKZ1ExportService service{[this] { ++converted; }};
};

TEST_F(KZ1ExportServiceTest, SectionLetterGoesToTheJobUnlessFmmModeIsOn) {
  PhraseSong();
  SongOutputRecord setup;
  host.registry.document->BuildOutputSetup(setup, 1);
  struct Case {
    bool qxCue;
    int section;
    int notes;
  };
  for (const Case& c : {Case{false, 0, 8}, Case{false, 3, 4}, Case{true, 3, 8}}) {
    host.ui.qxCue = c.qxCue;
    host.ui.selectedSection = c.section;
    CMemStream out;
    ASSERT_EQ(service.ConvertToKZ1(out, 0, setup), 1) << c.section;
    EXPECT_EQ((out.GetData()[0] << 8) | out.GetData()[1], out.GetSize());
    EXPECT_EQ(NoteWords(out), c.notes) << c.qxCue << " " << c.section;
    EXPECT_TRUE(service.GetLastReason().empty());
  }
  EXPECT_EQ(converted, 3);
}

TEST_F(KZ1ExportServiceTest, FailuresGiveTheirReasons) {
  CMemStream out;
  SongOutputRecord setup;
  EXPECT_EQ(service.ConvertToKZ1(out, 0, setup), 0);
  EXPECT_TRUE(service.GetLastReason().empty());

  // Notes over four octaves cannot be placed.
  CKZ1Doc& d = PhraseSong();
  doctest::AddEvent(*d.GetMidiList(), 2000, 2100, {0x90, 100, 100});
  doctest::AddEvent(*d.GetMidiList(), 2200, 2300, {0x90, 40, 100});
  d.BuildOutputSetup(setup, 1);
  host.ui.qxCue = true;
  EXPECT_EQ(service.ConvertToKZ1(out, 0, setup), 0);
  EXPECT_EQ(service.GetLastReason(), "Note Range Error( Over 3 Octave )");
  EXPECT_EQ(converted, 0);

  const std::pair<int, const char*> reasons[] = {{-8, "Note Range Error( Over 3 Octave )"},
                                                 {-1, "Convert Error"},
                                                 {1, "There are some notes exist out of range."},
                                                 {-10, "File Format Error"},
                                                 {2, "File Format Error"},
                                                 {0, ""}};
  for (auto [result, text] : reasons) EXPECT_EQ(CKZ1ExportService::ReasonOf(result), text) << result;
}

TEST_F(KZ1ExportServiceTest, AFailedVelkImageBeepsWithoutAReason) {
  /// Builders that fail every export.
  class FailingBuilders : public kz12test::KZ12Builders {
   public:
    int ExportVelk(CKZ1Doc&, CMemStream&, int, const std::string&, const SongOutputRecord&, int, int,
                   int) override {
      return 0;
    }
  } failing;
  CKZ1Doc& d = PhraseSong();
  d.SetBuilders(&failing);
  SongOutputRecord setup;
  CMemStream out;
  EXPECT_EQ(service.ConvertToKZ1(out, 0, setup), 0);
  EXPECT_EQ(host.messages.beeps, 1);
  EXPECT_TRUE(service.GetLastReason().empty());
  EXPECT_EQ(converted, 0);
}

}  // namespace

namespace {

TEST_F(KZ1ExportServiceTest, KZ1DataReadsBackAtTheSongsOctave) {
  // The reader knows no octave range: notes that range 1 (49..84) holds come back as they
  // were; lower notes need range 0, whose notes the file holds an octave up.
  struct Case {
    int low;
    int shift;
  };
  for (const Case& c : {Case{49, 0}, Case{61, 0}, Case{72, 0}, Case{37, 12}}) {
    SCOPED_TRACE(c.low);
    CKZ1Doc& d = Make(1);
    d.SetBuilders(&builders);
    d.SetTimeBase(4);
    d.SetTempo(120);
    std::vector<int> keys;
    for (int i = 0; i < 4; ++i) {
      keys.push_back(c.low + 3 * i);
      doctest::AddEvent(*d.GetMidiList(), static_cast<uint32_t>(240 * i), static_cast<uint32_t>(240 * i + 120),
                        {0x90, static_cast<uint8_t>(keys.back()), 100});
    }
    CleanUp(d);
    host.registry.document = &d;
    SongOutputRecord setup;
    d.BuildOutputSetup(setup, 1);
    CMemStream out;
    ASSERT_EQ(service.ConvertToKZ1(out, 0, setup), 1);
    kz12test::WriteFile(PathOf("song.kz1"), std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize()));
    CKZ1Doc back;
    back.SetExportOption2(2);
    ASSERT_EQ(back.ReadKZ1File(PathOf("song.kz1")), 1);
    std::vector<int> read;
    for (const auto& m : *back.GetMidiList()) {
      if ((m->GetByte(0) & 0xF0) == 0x90) read.push_back(m->GetByte(1) - c.shift);
    }
    EXPECT_EQ(read, keys);
  }
}

}  // namespace
