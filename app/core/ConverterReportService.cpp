// The converter reports as the host service through which core code shows them.
#include "app/core/ConverterReportService.h"

#include "app/core/ConverterReports.h"

int ConverterReportService::ReportConvertResult(int kind, uint32_t result, uint32_t flags) {
  return ::ReportConvertResult(kind, result, flags);
}

int ConverterReportService::ReportConverterNotes(int kind, uint32_t flags) {
  return ::ReportConverterNotes(kind, flags);
}

int ConverterReportService::ReportConverterNotesShort(uint32_t result) {
  return ::ReportConverterNotesShort(result);
}

int ConverterReportService::ReportMobilePlaybackNotes(uint32_t status) {
  return ::ReportMobilePlaybackNotes(status);
}
