// The rules of the file dialogs' option panels and the file choosers, without windows.
#include "app/core/FileDialogRules.h"

#include <gtest/gtest.h>

#include "app/core/FileChooser.h"
#include "platform/strings/StringTable.h"

namespace {

TEST(ParseFileFilter, NamesAndPatternsOfEveryFilterText) {
  const struct {
    const char* text;
    std::vector<std::string> qt;
  } cases[] = {
      {"Standard MIDI File (*.mid)|*.mid||", {"Standard MIDI File (*.mid)"}},
      {"KZ-1 file (*.kz1)|*.kz1|All files (*.*)|*.*||", {"KZ-1 file (*.kz1)", "All files (*.*)"}},
      {"Score file (*.mld)|*.mld||", {"Score file (*.mld)"}},
      {"Score file (*.spf)|*.spf||", {"Score file (*.spf)"}},
      {"Score file (*.mmf)|*.mmf||", {"Score file (*.mmf)"}},
      {"Sound File (*.wav *.aif)|*.wav;*.aif||", {"Sound File (*.wav *.aif)"}},
      {"KZ3 Native Format File (*.K3N)|*.K3N||", {"KZ3 Native Format File (*.K3N)"}},
      {"KZ3 Hardware Format File (*.k3h)|*.k3h||", {"KZ3 Hardware Format File (*.k3h)"}},
      {"Direct Play File(*.k3h;*.mmf)|*.k3h;*.mmf||", {"Direct Play File (*.k3h *.mmf)"}},
      {"Direct Play File(*.mmf)|*.mmf||", {"Direct Play File (*.mmf)"}},
      {"Direct Play File(*.spf)|*.spf||", {"Direct Play File (*.spf)"}},
      {"Direct Play File(*.mld)|*.mld||", {"Direct Play File (*.mld)"}},
      {"", {}},
      {"No patterns||", {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> qt;
    for (const FileFilter& f : ParseFileFilter(c.text)) qt.push_back(f.QtText());
    EXPECT_EQ(qt, c.qt) << c.text;
  }
}

TEST(ParseFileFilter, FiltersOfTheStringTable) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {2082, {"KZ3 Hardware Format File (*.k3h)"}},
      {2083, {"KZ-1 file (*.kz1)", "All files (*.*)"}},
      {2084, {"KZ3 Native Format File (*.K3N)"}},
      {2085, {"Score file (*.mld)"}},
      {2086, {"Score file (*.mmf)"}},
      {2087, {"Standard MIDI File (*.mid)"}},
      {2186, {"Score file (*.spf)"}},
      {2192, {"Direct Play File (*.k3h *.mmf)"}},
      {2193, {"Direct Play File (*.mmf)"}},
      {2194, {"Direct Play File (*.spf)"}},
      {2195, {"Direct Play File (*.mld)"}},
  };
  for (const auto& [id, qt] : cases) {
    const auto text = platform::strings().Find(id);
    ASSERT_TRUE(text) << id;
    std::vector<std::string> got;
    for (const FileFilter& f : ParseFileFilter(std::string(*text))) got.push_back(f.QtText());
    EXPECT_EQ(got, qt) << id;
  }
}

TEST(SmfChannelChoice, ChipModeOneTicksFourAndHoldsTheLimit) {
  SmfChannelChoice c(1);
  EXPECT_EQ(c.GetChannelMask(), 0x000F);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(c.IsEnabled(n), n < 4) << n;
  c.Click(2, false);
  EXPECT_EQ(c.GetChannelMask(), 0x000B);
  for (int n = 0; n < 16; ++n) EXPECT_TRUE(c.IsEnabled(n)) << n;
  c.Click(9, true);
  EXPECT_EQ(c.GetChannelMask(), 0x020B);
  for (int n = 0; n < 16; ++n) EXPECT_EQ(c.IsEnabled(n), n == 0 || n == 1 || n == 3 || n == 9) << n;
}

TEST(SmfChannelChoice, NoChannelMeansNoFile) {
  SmfChannelChoice c(3);
  EXPECT_EQ(c.GetChannelMask(), 0xFFFF);
  EXPECT_EQ(c.GetLimit(), 16);
  for (int n = 0; n < 16; ++n) c.Click(n, false);
  EXPECT_EQ(c.GetChannelMask(), 0);
  EXPECT_FALSE(c.CanAccept());
  c.Click(5, true);
  EXPECT_TRUE(c.CanAccept());
  EXPECT_EQ(c.GetChannelMask(), 0x0020);
}

TEST(FileDialogRules, PanelValueTables) {
  EXPECT_EQ(SmfChannelChoice::TimeBaseOfIndex(2), 24);
  const int timeBases[] = {6, 12, 24, 48, 15, 30};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(SmfChannelChoice::TimeBaseOfIndex(i), timeBases[i]);
  EXPECT_EQ(Kz1TempoFactorOfIndex(0), 1);
  EXPECT_EQ(Kz1TempoFactorOfIndex(1), 2);
  for (const auto& [code, ms] : std::vector<std::pair<int, int>>{
           {0, 1}, {1, 2}, {2, 4}, {3, 5}, {16, 10}, {17, 20}, {18, 40}, {19, 50}, {5, 4}}) {
    EXPECT_EQ(SaveVelkTimeBaseOfCode(code), ms) << code;
  }
  const int codes[] = {2, 3, 16, 17, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SaveVelkCodeOfIndex(i), codes[i]) << i;
  for (const auto& [text, tempo] : std::vector<std::pair<std::string, int>>{
           {"200", 200}, {"abc", 0}, {"", 0}, {"-5", -5}, {"12x", 0}, {"99999999999", 0}}) {
    EXPECT_EQ(VelkTempoOfText(text), tempo) << text;
  }
  EXPECT_EQ(SoundBitsPerSample(true, false), 4);
  EXPECT_EQ(SoundBitsPerSample(false, true), 8);
  EXPECT_EQ(SoundBitsPerSample(false, false), 0);
  EXPECT_EQ(CommentLine(false, "c", "a"), "c");
  EXPECT_EQ(CommentLine(true, "c", "a"), "a");
  EXPECT_EQ(CommentLine(true, "c", ""), "c");
  for (int p : {1, 6, 7}) EXPECT_EQ(SongExtensionOfProfile(p), "mld");
  EXPECT_EQ(SongExtensionOfProfile(4), "spf");
  EXPECT_EQ(SongExtensionOfProfile(2), "mmf");
  EXPECT_EQ(SongFilterIdOfProfile(7), 2085);
  EXPECT_EQ(SongFilterIdOfProfile(4), 2186);
  EXPECT_EQ(SongFilterIdOfProfile(8), 2086);
}

TEST(FileCommandRules, EndingsAndNameLimits) {
  EXPECT_TRUE(HasEndingNoCase("/a/song.MMF", ".mmf"));
  EXPECT_FALSE(HasEndingNoCase("/a/song.mmf.bak", ".mmf"));
  EXPECT_FALSE(HasEndingNoCase("mmf", ".mmf"));
  EXPECT_EQ(FileNameOf("/a/b/song.mid"), "song.mid");
  EXPECT_EQ(FileNameOf("song.mid"), "song.mid");
  // The title is the name without folder and extension: 59 characters pass.
  EXPECT_TRUE(FitsFileTitleLimit("/x.y/" + std::string(59, 'a') + ".mmf"));
  EXPECT_FALSE(FitsFileTitleLimit("/x/" + std::string(60, 'a') + ".mmf"));
  EXPECT_TRUE(FitsFileTitleLimit(std::string(59, 'a')));
  // Save counts from the last '/', the '/' included: 64 characters pass.
  EXPECT_TRUE(FitsSaveNameLimit("/long/folder/" + std::string(59, 'b') + ".mmf"));
  EXPECT_FALSE(FitsSaveNameLimit("/" + std::string(60, 'b') + ".mmf"));
  EXPECT_TRUE(FitsSaveNameLimit(std::string(64, 'c')));
  EXPECT_FALSE(FitsSaveNameLimit(std::string(65, 'c')));
}

TEST(FileCommandRules, ReloadPaths) {
  const struct {
    const char* song;
    bool numbered;
    const char* smf;
  } cases[] = {
      {"/s/tune_3.spf", true, "/s/tune.mid"},  {"/s/tune_2.spf", true, "/s/tune.mid"},
      {"/s/tune_5.spf", true, "/s/tune_5.mid"}, {"/s/tune_3.spf", false, "/s/tune_3.mid"},
      {"/s/tune.mmf", true, "/s/tune.mid"},    {"/s/tune.MID", false, "/s/tune.MID"},
      {"_3.spf", true, "_3.mid"},              {"ab", false, "mid"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReloadSmfPath(c.song, c.numbered), c.smf) << c.song;
  EXPECT_EQ(PathInFolder("/s/tune.mid", "/in"), "/in/tune.mid");
  EXPECT_EQ(PathInFolder("/s/tune.mid", "/in/"), "/in/tune.mid");
  EXPECT_EQ(PathInFolder("/s/tune.mid", ""), "/s/tune.mid");
}

TEST(FileCommandRules, ConverterKindsAndDirectPlay) {
  const int kinds[9][5] = {
      // profile: maker 0 (none), 1, 2, 3, 4
      {0, 0, 0, 0, 0},      {10, 10, 11, 12, 13}, {8, 8, 8, 8, 8},      {8, 8, 8, 8, 8},  {17, 17, 17, 17, 17},
      {18, 18, 18, 18, 18}, {10, 14, 15, 10, 16}, {10, 10, 11, 12, 13}, {8, 8, 8, 8, 8},
  };
  for (int profile = 0; profile <= 8; ++profile) {
    for (int maker = 0; maker <= 4; ++maker) {
      EXPECT_EQ(SongConverterKind(profile, maker), kinds[profile][maker]) << profile << "/" << maker;
    }
  }
  EXPECT_EQ(SongConverterKind(9, 1), 0);
  EXPECT_EQ(DirectPlayFilterIdOfProfile(6), 2195);
  EXPECT_EQ(DirectPlayFilterIdOfProfile(4), 2194);
  EXPECT_EQ(DirectPlayFilterIdOfProfile(5), 2192);
  EXPECT_EQ(DirectPlayFilterIdOfProfile(2), 2193);
  for (const char* ok : {"a.K3H", "a.mmf", "a.Spf", "a.MLD"}) EXPECT_TRUE(IsDirectPlayFile(ok)) << ok;
  for (const char* no : {"a.mid", "a.mmf.bak", "mld"}) EXPECT_FALSE(IsDirectPlayFile(no)) << no;
}

TEST(FileChooser, HeadlessCancelsAndTheScriptAnswersInTurn) {
  FileRequest request;
  request.kind = FileDialogKind::SmfLoad;
  HeadlessFileChooser headless;
  EXPECT_FALSE(headless.Choose(request).ok);

  ScriptedFileChooser scripted;
  FileAnswer first;
  first.ok = true;
  first.path = "/tmp/a.mid";
  first.channelMask = 0x0003;
  scripted.Answer(first);
  const FileAnswer got = scripted.Choose(request);
  EXPECT_TRUE(got.ok);
  EXPECT_EQ(got.path, "/tmp/a.mid");
  EXPECT_EQ(got.channelMask, 0x0003);
  EXPECT_FALSE(scripted.Choose(request).ok);
  ASSERT_EQ(scripted.Requests().size(), 2u);
  EXPECT_EQ(scripted.Requests()[0].kind, FileDialogKind::SmfLoad);
}

}  // namespace
