// The converter reports as the host service that core code reaches.
#include "app/core/ConverterReportService.h"

#include <gtest/gtest.h>

#include "app/CnvParam.h"
#include "platform/host/testing/FakeHost.h"

namespace {

TEST(ConverterReportService, EachReportShowsWhatTheShellReportShows) {
  platform::FakeHost host;
  ConverterReportService service;
  EXPECT_EQ(service.ReportConvertResult(8, CNVERR_FORMAT, 0), 1);
  EXPECT_EQ(service.ReportConvertResult(8, 0x10, 0), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7103});

  host.messages.shown.clear();
  EXPECT_EQ(service.ReportConverterNotes(8, 0), 1);
  EXPECT_EQ(service.ReportConverterNotes(7, 0x01000000), 1);
  EXPECT_EQ(service.ReportConverterNotesShort(0x01), 1);
  EXPECT_EQ(service.ReportConverterNotesShort(CNVERR_FAILED), 0);
  EXPECT_EQ(host.messages.shown.size(), 2u);

  host.messages.shown.clear();
  host.messages.answers = {1, 2};
  EXPECT_EQ(service.ReportMobilePlaybackNotes(0xC0), 0);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7124, 7125}));
  EXPECT_EQ(service.ReportMobilePlaybackNotes(CNVERR_FAILED), 1);
}

}  // namespace
