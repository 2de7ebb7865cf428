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

TEST(FakeBinder, FetchesTheScriptedReportOnlyAfterASuccess) {
  platform::FakeHost host;
  CnvParam p{};
  uint32_t result = 12;
  host.binder.plugins[10].to = [&result](CnvParam&) { return result; };
  host.binder.plugins[10].report = [](uint32_t& report) {
    report = 0x55;
    return 0u;
  };
  uint32_t report = 0;
  uint32_t status = 9;
  EXPECT_EQ(platform::binder().ConvertAndGetReport(p, 10, 1, report, status), 12u);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(report, 0x55u);

  result = CNVERR_FAILED;
  report = 0;
  EXPECT_EQ(platform::binder().ConvertAndGetReport(p, 10, 1, report, status), CNVERR_FAILED);
  EXPECT_EQ(status, CNVERR_FAILED);
  EXPECT_EQ(report, 0u);
  EXPECT_EQ(host.binder.reportCalls, std::vector<int>{10});

  // A plug-in without the report export: the conversion stands, the report fails.
  host.binder.plugins[11].to = [](CnvParam&) { return 3u; };
  EXPECT_EQ(platform::binder().ConvertAndGetReport(p, 11, 1, report, status), 3u);
  EXPECT_EQ(status, CNVERR_FAILED);
}

TEST(HostServices, DefaultBinderConvertsNothingAndReportsNothing) {
  CnvParam p{};
  uint32_t report = 0;
  uint32_t status = 0;
  EXPECT_EQ(platform::binder().ConvertAndGetReport(p, 8, 1, report, status), 0u);
  EXPECT_EQ(status, CNVERR_FAILED);
}
