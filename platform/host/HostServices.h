// Narrow interfaces through which core code reaches the application shell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/host/NotifySink.h"

struct CnvParam;
class CVoiceItem;
class CStreamPCMSlot;
class CMemStream;
struct SongOutputRecord;
class CVoiceLibrary;
class CKZ1Doc;
class CMidiThru;

namespace platform {

/// One printf-style argument of a user message or log line.
using FormatArg = std::variant<long long, unsigned long long, double, std::string>;
using FormatArgs = std::vector<FormatArg>;

/// The application object's settings and accessors.
class IAppSettings {
 public:
  virtual ~IAppSettings() = default;
  virtual int GetChipMode() const = 0;
  virtual int GetOutputProfile() const = 0;
  virtual int GetMakerID() const = 0;
  virtual int GetInfoCodeType() const = 0;
  virtual int GetInfoCodeTypeDoCoMo() const = 0;
  /// The program's folder, ending in '/'.
  virtual std::string GetAppDir() const = 0;
  virtual int GetOriginPch() const = 0;
  virtual int GetOriginNote() const = 0;
  virtual int GetProfileOption() const = 0;
  virtual int GetModeParameter(int chipMode, int which) const = 0;
  /// chipMode -1 means the current one.
  virtual int IsKZ5OutputProfile(int chipMode) const = 0;
  virtual int GetMasterVolume() const = 0;
  virtual int GetHpVolume() const = 0;
  /// True while an "-OUTPUT:" name is set (batch conversion).
  virtual bool IsBatchMode() const = 0;
};

/// The profile store (the registry key of the original): integers and strings by section and key.
class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual int GetProfileInt(const std::string& section, const std::string& key, int def) const = 0;
  virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                       const std::string& def) const = 0;
  /// False when the value could not be stored.
  virtual bool WriteProfileInt(const std::string& section, const std::string& key, int value) = 0;
  virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                  const std::string& value) = 0;
  virtual bool DeleteSection(const std::string& section) = 0;
  /// Puts values still held in memory on disk; false when that failed.
  virtual bool Flush() { return true; }
};

/// User messages and the file access log.
class IUserMessages {
 public:
  virtual ~IUserMessages() = default;
  /// The button pressed (1 OK, 2 Cancel, 6 Yes, 7 No), or -1 when the id has no text.
  virtual int ShowMessage(int id, const FormatArgs& args) = 0;
  virtual int DoMessageBoxUnlessBatch(int defaultAnswer, const std::string& text, unsigned style,
                                      int helpId) = 0;
  virtual void AddAccessLog(int id, const std::string& detail, const FormatArgs& args) = 0;
  virtual void Beep() {}
  /// A line that only batch conversion prints (on standard error, after the messages): why a
  /// file or a plug-in failed. A run with windows shows nothing of it.
  virtual void NoteForBatch(const std::string& /*text*/) {}
  /// How many messages have been shown so far: a step that failed after saying why needs no
  /// second message.
  virtual unsigned ShownCount() const { return 0; }
};

/// Loads converter plug-ins by kind for one call each.
class IConverterBinder {
 public:
  virtual ~IConverterBinder() = default;
  /// The plug-in's result, or 0 when it could not be called.
  virtual uint32_t Convert(CnvParam& param, int kind, int direction) = 0;
  /// Convert, and whether the plug-in threw (its result is then 0, as Convert gives). For the
  /// voice-allocation checker 0 is also a success, so only this tells the two apart.
  virtual uint32_t ConvertTellingThrow(CnvParam& param, int kind, int direction, bool& threw) {
    threw = false;
    return Convert(param, kind, direction);
  }
  /// Convert, then, after a success, GetKZxCnvReport of the same library into report (the
  /// report needs the library that converted). reportStatus receives the report call's result,
  /// 0x80000000 when none was made. The conversion's result.
  virtual uint32_t ConvertAndGetReport(CnvParam& param, int kind, int direction, uint32_t& report,
                                       uint32_t& reportStatus) = 0;
  virtual int IsAvailable(int kind, int direction) = 0;
  virtual uint32_t GetVersion(int kind) = 0;
};

/// Held for as long as a busy picture or wait cursor shows.
class IUiToken {
 public:
  virtual ~IUiToken() = default;
};

/// Window-side hooks that core code calls; every one is a no-op unless a shell provides it.
class IUiHooks {
 public:
  virtual ~IUiHooks() = default;
  virtual std::unique_ptr<IUiToken> ShowBusyPicture(int /*kind*/) { return nullptr; }
  virtual std::unique_ptr<IUiToken> ShowWaitCursor() { return nullptr; }
  virtual void UpdateSongWindows() {}
  virtual void UpdateVoiceWindows() {}
  virtual void FillSectionCombo() {}
  virtual int GetSelectedSection() const { return 0; }
  virtual void SetTimeRange(uint32_t /*startMs*/, uint32_t /*endMs*/) {}
  virtual void SetMasterVolumeSpin(int /*value*/) {}
  virtual int IsVolumeBarChanged() const { return 0; }
  virtual std::string GetVolumePresetName() const { return "Default"; }
  /// Marks the current song document modified (voice-library setters call it).
  virtual void SetDocumentModified() {}
  /// True once the main window exists; the access log takes lines only then.
  virtual bool HasMainWindow() const { return false; }
  /// Lines were added to the access log: an open access-log window follows them.
  virtual void AccessLogChanged() {}
  /// The chip mode changed: the main frame and its open windows take the new one.
  virtual void ChipModeChanged(int /*chipMode*/) {}
  /// The main window's QX cue switch: cue points come from marker events while it is on.
  virtual bool IsQXCueEnabled() const { return false; }
  /// The velocity dialog, when it exists, takes the mode byte and refills its channel list.
  virtual void SetVelocityChannelMode(int /*mode*/) {}
  /// Posts the framework's Undo command to the main window, which undoes the last edit once
  /// the running command has returned.
  virtual void RequestUndo() {}
  /// The song's stream-size list was replaced: an open stream-size window rebuilds its graph.
  virtual void RebuildStreamSizeGraph() {}
  /// The main frame refreshes its status panes from the song.
  virtual void UpdateStatusPanes() {}
  /// The main frame refreshes its report bar from the song.
  virtual void UpdateReportBar() {}
  /// The time edit's committed range: whether one is set, its position minus its lower bound
  /// (0 without a range), and clearing it.
  virtual bool HasTimeRange() const { return false; }
  virtual uint32_t GetTimeRangeSpan() const { return 0; }
  virtual void ClearTimeRange() {}
  /// The control bar's key change for play (12 = none) and tempo change (percent, 100 = none).
  virtual int GetKeyChange() const { return 12; }
  virtual int GetTempoChange() const { return 100; }
};

/// The board commands of the main window's output engine. Each call sends one message on the
/// engine's current output and returns when it is sent.
class IBoardCommands {
 public:
  virtual ~IBoardCommands() = default;
  /// True when the main window holds an output engine to send through.
  virtual bool HasBoardDevice() const = 0;
  /// Sends a melody or drum voice (bank MSB 124 or 125, not a fixed bank) with its wave; 1.
  virtual int SendVoice(const CVoiceItem& item, int option) = 0;
  virtual int SendBankVoices(const CVoiceItem& item) = 0;
  virtual int SendVoiceItem(const CStreamPCMSlot& slot) = 0;
  /// Stream-PCM slot select; 1.
  virtual int SendBoardCommand06(int value) = 0;
  /// Stream-PCM reserve mode; 0 and nothing sent for a value above 2.
  virtual int SendBoardCommand07(int value) = 0;
  /// An FM user-wave block.
  virtual int SendBoardData0C(int kind, const uint8_t* data, uint32_t size) = 0;
  /// FM user-wave select; 1.
  virtual int SendBoardCommand0D(int value) = 0;
  /// Mode setting (0, 1 or 5).
  virtual int SendBoardCommand11(int value) = 0;
};

/// The application's generation-1 export conversion of the song into a stream.
class IKZ1Export {
 public:
  virtual ~IKZ1Export() = default;
  /// 1 when the conversion succeeded and wrote the stream, else 0.
  virtual int ConvertToKZ1(CMemStream& stream, int option, const SongOutputRecord& setup) = 0;
  /// Why the last conversion failed ("Convert Error", ...); empty when it gave no reason.
  virtual std::string GetLastReason() const { return {}; }
};

/// The converter reports of the shell: the messages a plug-in's result and returned flags call for.
class IConverterReports {
 public:
  virtual ~IConverterReports() = default;
  /// Shows the failure message of a converter result; the button pressed, or 0 when nothing
  /// is shown (a success, or a code without a message).
  virtual int ReportConvertResult(int kind, uint32_t result, uint32_t flags) = 0;
  /// The information lines of a successful conversion's flags in one box; 1 when there is
  /// nothing to show or the user pressed OK, else the button pressed.
  virtual int ReportConverterNotes(int kind, uint32_t flags) = 0;
  /// The notes of the song-data reader's result (none in batch conversion); 1 when the
  /// result is below 0x80000000, else 0.
  virtual int ReportConverterNotesShort(uint32_t result) = 0;
  /// One OK/Cancel question per playback warning bit; 0 when any answer was not OK, else 1.
  virtual int ReportMobilePlaybackNotes(uint32_t status) = 0;
};

/// Where core code finds the application's voice library and its one song document; the
/// application and tests set them, and either may be null.
struct DocumentRegistry {
  CVoiceLibrary* voiceLibrary = nullptr;
  CKZ1Doc* document = nullptr;
  /// The application's one MIDI thru, whose output the output engine borrows.
  CMidiThru* midiThru = nullptr;
};

/// Everything the shell offers core code; installed by main or by a test fixture.
struct HostServices {
  IAppSettings* settings = nullptr;
  IProfile* profile = nullptr;
  IUserMessages* messages = nullptr;
  IConverterBinder* binder = nullptr;
  IUiHooks* ui = nullptr;
  IBoardCommands* board = nullptr;
  IKZ1Export* kz1Export = nullptr;
  DocumentRegistry* registry = nullptr;
  IConverterReports* reports = nullptr;
  /// Posts from worker and library threads to the main window.
  INotifySink* notify = nullptr;
};

/// The installed services; a built-in headless default stands in for any not installed.
HostServices& host();
IAppSettings& settings();
IProfile& profile();
IUserMessages& messages();
IConverterBinder& binder();
IUiHooks& ui();
/// The board commands; without one installed, a main window with no board device.
IBoardCommands& board();
/// The generation-1 export; without one installed every conversion fails (0).
IKZ1Export& kz1Export();
/// The installed registry, else the application's own (which starts empty).
DocumentRegistry& registry();
/// The converter reports; without them installed nothing is shown and every report passes
/// (a failure result still gives 0 from the short report).
IConverterReports& reports();
/// The installed sink; without one, a sink with no main window, which drops every post.
/// Workers get the sink handed over on the user-interface thread rather than calling this.
INotifySink& notify();

/// Installs services for the lifetime of the object, restoring the previous ones after.
class ScopedHost {
 public:
  explicit ScopedHost(const HostServices& services);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  HostServices m_previous;
};

template <typename T>
FormatArg ToFormatArg(T&& value) {
  using D = std::decay_t<T>;
  if constexpr (std::is_floating_point_v<D>) {
    return static_cast<double>(value);
  } else if constexpr (std::is_integral_v<D> && std::is_signed_v<D>) {
    return static_cast<long long>(value);
  } else if constexpr (std::is_integral_v<D>) {
    return static_cast<unsigned long long>(value);
  } else {
    return std::string(std::forward<T>(value));
  }
}

template <typename... Args>
FormatArgs MakeFormatArgs(Args&&... args) {
  FormatArgs out;
  (out.push_back(ToFormatArg(std::forward<Args>(args))), ...);
  return out;
}

struct FileError;

/// The batch line of a failed file operation: the file and the system's reason.
void NoteFileFailure(const FileError& error);

/// ShowMessage(id, args...) through the installed messages service.
template <typename... Args>
int ShowMessage(int id, Args&&... args) {
  return messages().ShowMessage(id, MakeFormatArgs(std::forward<Args>(args)...));
}

}  // namespace platform
