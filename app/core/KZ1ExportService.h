// The application's generation-1 export conversion: the song's VELK image run through the
// conversion job into KZ-1 data, with the reason of a failure kept for the callers' message.
#pragma once

#include <functional>
#include <string>

#include "platform/host/HostServices.h"

class CKZ1ExportService final : public platform::IKZ1Export {
 public:
  /// `converted` runs after every successful conversion: the song's board data is ready.
  explicit CKZ1ExportService(std::function<void()> converted = {});

  /// 1 when the stream holds KZ-1 data. Without a song, or when its VELK image cannot be
  /// built (a warning beep), 0 with no reason.
  int ConvertToKZ1(CMemStream& stream, int option, const SongOutputRecord& setup) override;
  std::string GetLastReason() const override { return m_reason; }

  /// The reason text of a conversion job's result; empty for 0.
  static std::string ReasonOf(int result);

 private:
  std::function<void()> m_converted;
  std::string m_reason;
};
