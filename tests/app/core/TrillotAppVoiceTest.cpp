// The voice-bank commands on real files in a temporary program folder, over a scripted chooser.
#include "TestPaths.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "song/MemStream.h"
#include "song/Voice2.h"
#include "song/Voice2List.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

/// One voice chunk with an empty body: the user bank the build puts beside the program.
const std::vector<uint8_t> kEmptyUserBank = {0x46, 0x4D, 0x4B, 0x33, 0x00, 0x00, 0x00, 0x00};

FileAnswer PathChoice(const std::string& path) {
  FileAnswer c;
  c.ok = true;
  c.path = path;
  return c;
}

int CountVoices(const CVoiceBank& bank) {
  int n = 0;
  CVoiceBankIter it(bank);
  while (it.NextItem()) ++n;
  return n;
}

class TrillotAppVoice : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/trillot-voice-XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += "/";
    host.settings.appDir = dir;
    app.SetAppDir(dir);
    app.SetChipMode(3);
    app.SetFileChooser(&chooser);
    Write("DefKZ3_U.vk3", kEmptyUserBank);
  }
  void TearDown() override { fs::remove_all(dir); }

  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  CVoiceBank& Bank() { return app.GetVoiceLibrary().GetVoiceBank(); }
  /// A user voice at 124/1/program.
  void AddUserVoice(int program) {
    CVoiceItem voice;
    voice.SetName("Mine");
    Bank().SetVoice(124, 1, program, 0, voice);
  }
  std::vector<int> LoggedIds() const {
    std::vector<int> ids;
    for (const auto& entry : host.messages.log) ids.push_back(entry.id);
    return ids;
  }

  platform::FakeHost host;
  CTrillotApp app;
  ScriptedFileChooser chooser;
  std::string dir;
};

TEST_F(TrillotAppVoice, SaveThenOpenGivesBackTheUserVoices) {
  AddUserVoice(5);
  AddUserVoice(9);
  app.GetVoiceLibrary().SetModified(1);
  const std::string path = dir + "mine.vk3";
  chooser.Answer(PathChoice(path));
  app.OnVoiceSave();
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 0);
  Bank().RemoveAll(CVoiceBank::kRemoveEverything);
  ASSERT_EQ(Bank().FindVoice(124, 1, 5, 0), nullptr);
  chooser.Answer(PathChoice(path));
  app.OnVoiceOpen();
  EXPECT_TRUE(host.messages.ShownIds().empty());
  EXPECT_NE(Bank().FindVoice(124, 1, 5, 0), nullptr);
  EXPECT_NE(Bank().FindVoice(124, 1, 9, 0), nullptr);
  EXPECT_THAT(LoggedIds(), ElementsAre(7520, 7519));
  // The requests: a save and an open of ".vk3" in the voice folder.
  ASSERT_EQ(chooser.Requests().size(), 2u);
  EXPECT_FALSE(chooser.Requests()[0].open);
  EXPECT_EQ(chooser.Requests()[1].defaultExtension, "vk3");
}

TEST_F(TrillotAppVoice, FileNameOfSixtyCharactersIsRefused) {
  AddUserVoice(1);
  const std::string ok = dir + std::string(55, 'a') + ".vk3";
  const std::string tooLong = dir + std::string(56, 'b') + ".vk3";
  chooser.Answer(PathChoice(ok));
  app.OnVoiceSave();
  EXPECT_TRUE(fs::exists(ok));
  chooser.Answer(PathChoice(tooLong));
  app.OnVoiceSave();
  EXPECT_FALSE(fs::exists(tooLong));
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7026));
}

TEST_F(TrillotAppVoice, FailedWriteKeepsTheLibraryModifiedAndLogsNothing) {
  AddUserVoice(1);
  app.GetVoiceLibrary().SetModified(1);
  chooser.Answer(PathChoice(dir + "no-such-folder/x.vk3"));
  app.OnVoiceSave();
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 1);
  EXPECT_TRUE(LoggedIds().empty());
  EXPECT_TRUE(host.messages.ShownIds().empty());
}

TEST_F(TrillotAppVoice, MissingDefaultUserBankShowsTheMessageAndEmptiesTheUserVoices) {
  AddUserVoice(3);
  fs::remove(dir + "DefKZ3_U.vk3");
  const std::string path = dir + "other.vk3";
  Write("other.vk3", kEmptyUserBank);
  chooser.Answer(PathChoice(path));
  app.OnVoiceOpen();
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7045));
  EXPECT_EQ(Bank().FindVoice(124, 1, 3, 0), nullptr);
  EXPECT_TRUE(LoggedIds().empty());
}

TEST_F(TrillotAppVoice, ModifiedLibraryAsksBeforeOpenAndYesSavesFirst) {
  AddUserVoice(4);
  app.GetVoiceLibrary().SetModified(1);
  host.messages.answers = {6};  // Yes
  const std::string saved = dir + "first.vk3";
  chooser.Answer(PathChoice(saved));
  chooser.Answer({});  // the open is cancelled
  app.OnVoiceOpen();
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7095));
  EXPECT_TRUE(fs::exists(saved));
  EXPECT_NE(Bank().FindVoice(124, 1, 4, 0), nullptr);  // a cancel leaves the bank
}

TEST_F(TrillotAppVoice, ConvertVoiceListWritesAGenerationThreeBank) {
  // Voices of default sound are never written, so each has an algorithm of its own. The file
  // keeps programs by position: melodic banks count from program 0, drum banks from note 13.
  CVoice2List list;
  CVoice2 melodic;
  melodic.SetAlgorithm(3);
  melodic.SetNameText("Pad");
  list.Set(2, 0, melodic);
  melodic.SetNameText("Lead");
  list.Set(2, 1, melodic);
  CVoice2 drum;
  drum.SetAlgorithm(3);
  drum.SetNameText("Kick");
  drum.SetDrumKey(36);
  list.Set(130, 13, drum);
  CMemStream stream;
  ASSERT_TRUE(list.WriteChunks(stream));
  const uint8_t* data = stream.GetData();
  Write("old.vkz", std::vector<uint8_t>(data, data + stream.GetSize()));
  const std::string target = dir + "new.vk3";
  chooser.Answer(PathChoice(dir + "old.vkz"));
  chooser.Answer(PathChoice(target));
  app.OnVoiceConvertList();
  ASSERT_TRUE(fs::exists(target));
  EXPECT_EQ(chooser.Requests()[1].flags & fileflags::kOverwritePrompt, 0u);
  // Read back: the melodic voice at 124/bank/program, the drum at 125/0/bank-128/note with
  // XOF on every operator and its drum key.
  CVoiceBank written;
  ASSERT_TRUE(written.LoadFile(target, CVoiceBank::kLoadAll));
  EXPECT_EQ(CountVoices(written), 3);
  ASSERT_NE(written.FindVoice(124, 2, 0, 0), nullptr);
  EXPECT_STREQ(written.FindVoice(124, 2, 0, 0)->GetName(), "Pad");
  const CVoiceItem* lead = written.FindVoice(124, 2, 1, 0);
  ASSERT_NE(lead, nullptr);
  EXPECT_STREQ(lead->GetName(), "Lead");
  EXPECT_EQ(lead->GetAlgorithm(), 3);
  EXPECT_EQ(lead->GetOpXOF(1), 0);
  const CVoiceItem* kick = written.FindVoice(125, 0, 2, 13);
  ASSERT_NE(kick, nullptr);
  EXPECT_STREQ(kick->GetName(), "Kick");
  EXPECT_EQ(kick->GetDrumKey(), 36);
  for (int op = 1; op <= 4; ++op) EXPECT_EQ(kick->GetOpXOF(op), 1) << op;
  // The library is not touched.
  EXPECT_EQ(Bank().FindVoice(124, 2, 1, 0), nullptr);
}

TEST_F(TrillotAppVoice, ImportVoiceListAsksFirstThenTakesOnlyTheChosenBanks) {
  // The file keeps programs by position, so each bank's voice is its program 0.
  CVoice2List list;
  CVoice2 voice;
  voice.SetAlgorithm(3);  // a voice with default sound is never written
  voice.SetNameText("One");
  list.Set(1, 0, voice);
  voice.SetNameText("Two");
  list.Set(2, 0, voice);
  CMemStream stream;
  ASSERT_TRUE(list.WriteChunks(stream));
  const uint8_t* data = stream.GetData();
  Write("old.vkz", std::vector<uint8_t>(data, data + stream.GetSize()));
  AddUserVoice(4);
  app.GetVoiceLibrary().SetModified(1);
  host.messages.answers = {6};  // Yes: save first
  const std::string saved = dir + "first.vk3";
  chooser.Answer(PathChoice(saved));
  FileAnswer banks = PathChoice(dir + "old.vkz");
  banks.bankChoices[2] = 1;  // only melodic bank 2
  chooser.Answer(banks);
  app.OnVoiceImportList();
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7095));
  EXPECT_TRUE(fs::exists(saved));
  ASSERT_EQ(chooser.Requests().size(), 2u);
  EXPECT_EQ(chooser.Requests()[1].kind, FileDialogKind::BankImport);
  // The first chosen bank lands at LSB 1; the unchosen bank 1 adds nothing.
  EXPECT_NE(Bank().FindVoice(124, 1, 0, 0), nullptr);
  EXPECT_EQ(CountVoices(Bank()), 2);
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 1);
  EXPECT_EQ(LoggedIds().back(), 7523);
}

TEST_F(TrillotAppVoice, ImportVoiceListOfAnUnreadableFileShowsItsMessage) {
  Write("bad.vkz", {1, 2, 3});
  FileAnswer banks = PathChoice(dir + "bad.vkz");
  banks.bankChoices[0] = 1;
  chooser.Answer(banks);
  app.OnVoiceImportList();
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7045));
  EXPECT_EQ(app.GetVoiceLibrary().IsModified(), 0);
}

TEST_F(TrillotAppVoice, StartUpBankIsTheSameWithTheEmptyUserBanks) {
  fs::copy_file(fs::path(TRILLOT_BIN_DIR) / "DefKZ3_16.vk3", fs::path(dir) / "DefKZ3_16.vk3");
  fs::remove(dir + "DefKZ3_U.vk3");
  CVoiceLibrary without;
  ASSERT_TRUE(without.LoadDefaultVoices());
  Write("DefKZ3_U.vk3", kEmptyUserBank);
  CVoiceLibrary with;
  ASSERT_TRUE(with.LoadDefaultVoices());
  EXPECT_GT(CountVoices(with.GetVoiceBank()), 0);
  EXPECT_EQ(CountVoices(with.GetVoiceBank()), CountVoices(without.GetVoiceBank()));
}

}  // namespace
