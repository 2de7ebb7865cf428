// The converter reports as the host service through which core code shows them.
#pragma once

#include "platform/host/HostServices.h"

/// Forwards each report to the shell's converter reports.
class ConverterReportService final : public platform::IConverterReports {
 public:
  int ReportConvertResult(int kind, uint32_t result, uint32_t flags) override;
  int ReportConverterNotes(int kind, uint32_t flags) override;
  int ReportConverterNotesShort(uint32_t result) override;
  int ReportMobilePlaybackNotes(uint32_t status) override;
};
