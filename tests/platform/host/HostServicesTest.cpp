// The board-command, generation-1 export and registry services with their defaults and fakes.
#include <gtest/gtest.h>

#include <string>
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

TEST(HostServices, DefaultReportsShowNothingAndPassSuccesses) {
  EXPECT_EQ(platform::reports().ReportConvertResult(8, 0x80000002u, 0), 0);
  EXPECT_EQ(platform::reports().ReportConverterNotes(8, 0x01000000u), 1);
  EXPECT_EQ(platform::reports().ReportConverterNotesShort(0x21u), 1);
  EXPECT_EQ(platform::reports().ReportConverterNotesShort(0x80000000u), 0);
  EXPECT_EQ(platform::reports().ReportMobilePlaybackNotes(0x40u), 1);
  platform::ui().SetVelocityChannelMode(1);  // no dialog: nothing happens
}

TEST(FakeConverterReports, RecordsEachReportAndAnswersAsScripted) {
  platform::FakeHost host;
  ASSERT_EQ(&platform::reports(), &host.reports);
  EXPECT_EQ(platform::reports().ReportConvertResult(8, 0x80000001u, 0x40000u), 1);
  host.reports.answer = [](const platform::RecordedReport& r) {
    return r.name == "ReportConverterNotesShort" ? 0 : 2;
  };
  EXPECT_EQ(platform::reports().ReportConverterNotes(7, 0x04000000u), 2);
  EXPECT_EQ(platform::reports().ReportConverterNotesShort(0x20u), 0);
  EXPECT_EQ(platform::reports().ReportMobilePlaybackNotes(0x80u), 2);
  EXPECT_EQ(host.reports.Names(),
            (std::vector<std::string>{"ReportConvertResult", "ReportConverterNotes",
                                      "ReportConverterNotesShort", "ReportMobilePlaybackNotes"}));
  EXPECT_EQ(host.reports.calls[0].kind, 8);
  EXPECT_EQ(host.reports.calls[0].result, 0x80000001u);
  EXPECT_EQ(host.reports.calls[0].flags, 0x40000u);
  EXPECT_EQ(host.reports.calls[1].flags, 0x04000000u);
  EXPECT_EQ(host.reports.calls[2].result, 0x20u);
  platform::ui().SetVelocityChannelMode(5);
  EXPECT_EQ(host.ui.velocityChannelModes, std::vector<int>{5});
}

}  // namespace
