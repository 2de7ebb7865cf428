// The board-command, generation-1 export and registry services with their defaults and fakes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/HostServices.h"
#include "platform/host/testing/FakeHost.h"

namespace {

TEST(HostServices, DefaultsStandForAWindowWithoutABoard) {
  EXPECT_FALSE(platform::board().HasBoardDevice());
  EXPECT_EQ(platform::board().SendBoardCommand11(1), 0);
  EXPECT_FALSE(platform::ui().IsQXCueEnabled());
  EXPECT_EQ(platform::registry().voiceLibrary, nullptr);
}

TEST(FakeBoardCommands, RecordsTheMessagesOfThePlainCommands) {
  platform::FakeHost host;
  ASSERT_EQ(&platform::board(), &host.board);
  EXPECT_TRUE(platform::board().HasBoardDevice());
  EXPECT_EQ(platform::board().SendBoardCommand06(5), 1);
  EXPECT_EQ(platform::board().SendBoardCommand07(3), 0) << "reserve modes above 2 are not sent";
  EXPECT_EQ(platform::board().SendBoardCommand11(5), 1);
  const uint8_t block[] = {1, 2};
  platform::board().SendBoardData0C(7, block, 2);
  ASSERT_EQ(host.board.calls.size(), 4u);
  EXPECT_EQ(host.board.calls[0].bytes, (std::vector<uint8_t>{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x06, 5, 0xF7}));
  EXPECT_TRUE(host.board.calls[1].bytes.empty());
  EXPECT_EQ(host.board.calls[2].bytes, (std::vector<uint8_t>{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x11, 5, 0xF7}));
  EXPECT_EQ(host.board.calls[3].values, (std::vector<int>{7, 2}));
  EXPECT_EQ(host.board.calls[3].bytes, (std::vector<uint8_t>{1, 2}));
}

TEST(FakeHost, InstallsItsRegistryAndRestoresTheDefault) {
  int marker = 0;
  {
    platform::FakeHost host;
    host.registry.document = reinterpret_cast<CKZ1Doc*>(&marker);
    EXPECT_EQ(platform::registry().document, reinterpret_cast<CKZ1Doc*>(&marker));
    host.ui.qxCue = true;
    EXPECT_TRUE(platform::ui().IsQXCueEnabled());
  }
  EXPECT_EQ(platform::registry().document, nullptr);
}

}  // namespace
