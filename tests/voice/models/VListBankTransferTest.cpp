#include "voice/models/VListBankTransfer.h"

#include <gmock/gmock.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "tests/voice/models/VamFixture.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class VListBankTransferTest : public vamtest::VamTest {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    char pattern[] = "/tmp/trillot-vlist-XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += "/";
  }
  void TearDown() override { fs::remove_all(dir); }

  CVoiceBank& Bank() { return library.GetVoiceBank(); }

  void SetBlock(int slot, uint8_t fill, uint32_t size = 32) {
    CNamedBlock block;
    std::vector<uint8_t> bytes(size, fill);
    block.SetData(bytes.data(), size);
    library.SetWaveBlock(slot, block);
  }

  /// The library bank as a file image.
  std::vector<uint8_t> Saved() {
    CMemStream stream;
    Bank().SaveChunks(stream, true);
    return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
  }

  std::vector<int> LoggedIds() const {
    std::vector<int> ids;
    for (const auto& line : host.messages.log) ids.push_back(line.id);
    return ids;
  }

  /// Bank 124/3: an FM voice at 0, a RAM wave 7 at 1, a second voice sharing it at 2.
  void FillBank3() {
    Bank().SetVoiceByProgram(124, 3, 0, Fm(124, 3, 0, 4));
    Bank().SetVoiceByProgram(124, 3, 1, Pcm(124, 3, 1, 12, 7));
    Bank().SetVoiceByProgram(124, 3, 2, Pcm(124, 3, 2, 12, 7));
  }

  std::string dir;
};

TEST_F(VListBankTransferTest, ExportedBankImportsIntoAnotherBank) {
  FillBank3();
  Bank().SetVoiceByProgram(124, 5, 0, Pcm(124, 5, 0, 3, 0));  // wave 0 taken elsewhere
  Bank().SetVoiceByProgram(124, 4, 9, Pcm(124, 4, 9, 5, 9));  // replaced bank: its wave goes
  SetBlock(15, 0xA1);
  SetBlock(23, 0xA2);
  library.SetModified(1);
  const std::string path = dir + "bank3.vk3";
  ASSERT_EQ(CVListBankTransfer(library, 124, 3, 0).Export(path), 0);
  EXPECT_EQ(library.IsModified(), 0);
  EXPECT_THAT(LoggedIds(), ElementsAre(7512));
  EXPECT_EQ(host.messages.log[0].detail, path);

  SetBlock(15, 0xB1);  // changed after the export: the file's comes back
  SetBlock(31, 0xB3);  // absent from the file: deleted, and the board told
  ASSERT_EQ(CVListBankTransfer(library, 124, 4, 0).Import(path, 3), 0);

  const CVoiceItem* fm = Bank().FindByProgram(124, 4, 0);
  ASSERT_NE(fm, nullptr);
  EXPECT_EQ(fm->GetAlgorithm(), 4);
  const CVoiceItem* a = Bank().FindByProgram(124, 4, 1);
  const CVoiceItem* b = Bank().FindByProgram(124, 4, 2);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  // Wave 7 is the source bank's: the copies take the first id nobody keeps (0 is taken).
  EXPECT_EQ(a->GetWaveHeaderId(), 1);
  EXPECT_EQ(a->GetWaveId(), 1);
  EXPECT_EQ(b->GetWaveHeaderId(), 1);
  EXPECT_EQ(a->GetWaveSampleSize(), 12u);
  EXPECT_EQ(Bank().FindByProgram(124, 3, 1)->GetWaveHeaderId(), 7);
  EXPECT_EQ(Bank().FindByProgram(124, 4, 9)->GetWaveData(), nullptr);
  ASSERT_NE(library.GetWaveBlock(15), nullptr);
  EXPECT_EQ(library.GetWaveBlock(15)->GetData()[0], 0xA1);
  EXPECT_EQ(library.GetWaveBlock(23)->GetData()[0], 0xA2);
  EXPECT_EQ(library.GetWaveBlock(31), nullptr);
  EXPECT_THAT(host.board.CallNames(), ElementsAre("SendBoardCommand0D"));
  EXPECT_THAT(host.board.calls[0].values, ElementsAre(31));
  EXPECT_THAT(LoggedIds(), ElementsAre(7512, 7511));
}

TEST_F(VListBankTransferTest, DrumBankTravelsByNote) {
  host.settings.outputProfile = 2;
  Bank().SetVoice(125, 0, 2, 13, Fm(125, 0, 2, 0));
  Bank().SetVoice(125, 0, 2, 91, Fm(125, 0, 2, 5));
  Bank().SetVoice(125, 0, 2, 92, Fm(125, 0, 2, 5));
  const std::string path = dir + "drum.vk3";
  ASSERT_EQ(CVListBankTransfer(library, 125, 0, 2).Export(path), 0);
  ASSERT_EQ(CVListBankTransfer(library, 125, 0, 6).Import(path, 3), 0);
  EXPECT_NE(Bank().FindVoice(125, 0, 6, 13), nullptr);
  ASSERT_NE(Bank().FindVoice(125, 0, 6, 91), nullptr);
  EXPECT_EQ(Bank().FindVoice(125, 0, 6, 91)->GetAlgorithm(), 5);
  EXPECT_EQ(Bank().FindVoice(125, 0, 6, 92), nullptr);
}

TEST_F(VListBankTransferTest, RefusedImportsChangeNothing) {
  FillBank3();
  Bank().SetVoiceByProgram(124, 3, 3, Pcm(124, 3, 3, 13, 8));
  const std::string bankFile = dir + "bank3.vk3";
  ASSERT_EQ(CVListBankTransfer(library, 124, 3, 0).Export(bankFile), 0);
  const std::string garbage = dir + "garbage.vk3";
  ASSERT_TRUE(platform::WriteFileAtomic(garbage, std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'n', 'k'}));
  SetBlock(31, 0xC3);
  // Every wave id is kept but 9, which the replaced bank's own voice frees: the file's two
  // waves (7 and 8, both taken) find one id only, and the bank's wave must survive that.
  Bank().SetVoiceByProgram(124, 4, 9, Pcm(124, 4, 9, 5, 9));
  for (int id = 0; id < 128; ++id) {
    if (id != 7 && id != 9) Bank().SetVoiceByProgram(124, 6, id, Pcm(124, 6, id, 1, id));
  }
  const std::vector<uint8_t> before = Saved();
  struct Case {
    std::string path;
    int msb, lsb, program, chip, message;
  };
  const Case cases[] = {
      {garbage, 124, 4, 0, 3, 7045},
      {dir + "missing.vk3", 124, 4, 0, 3, 7045},
      {bankFile, 124, 4, 0, 5, 7045},
      {bankFile, 125, 0, 3, 3, 7074},  // a melody file on the Drum tab
      {bankFile, 124, 4, 0, 3, 7070},
  };
  for (const Case& c : cases) {
    host.messages.shown.clear();
    EXPECT_EQ(CVListBankTransfer(library, c.msb, c.lsb, c.program).Import(c.path, c.chip), c.message) << c.path;
    EXPECT_THAT(host.messages.ShownIds(), ElementsAre(c.message));
    EXPECT_EQ(Saved(), before) << c.message;
    EXPECT_NE(library.GetWaveBlock(31), nullptr);
    EXPECT_NE(Bank().FindByProgram(124, 4, 9)->GetWaveData(), nullptr);
  }
  EXPECT_TRUE(host.board.calls.empty());
  EXPECT_THAT(LoggedIds(), ElementsAre(7512));
}

TEST_F(VListBankTransferTest, FailedExportKeepsFlagsAndTheOldFile) {
  FillBank3();
  library.SetModified(1);
  // A folder in the way of the file: the write fails and the folder stays as it was.
  const std::string blocked = dir + "taken.vk3";
  fs::create_directory(blocked);
  std::ofstream(blocked + "/keep") << "old";
  EXPECT_EQ(CVListBankTransfer(library, 124, 3, 0).Export(blocked), 7075);
  EXPECT_EQ(CVListBankTransfer(library, 124, 3, 0).Export(dir + "no-such-folder/x.vk3"), 7075);
  EXPECT_THAT(host.messages.ShownIds(), ElementsAre(7075, 7075));
  EXPECT_TRUE(LoggedIds().empty());
  EXPECT_EQ(library.IsModified(), 1);
  EXPECT_TRUE(fs::exists(blocked + "/keep"));
}

}  // namespace
