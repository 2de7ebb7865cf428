// Recording fakes of every host service, installed for the lifetime of a test.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"

namespace platform {

/// Settings with public fields; defaults are those of a fresh start in chip mode 3.
class FakeSettings : public IAppSettings {
 public:
  int chipMode = 3;
  int outputProfile = 2;
  int makerId = 1;
  int infoCodeType = 0;
  int infoCodeTypeDoCoMo = 0;
  std::string appDir = "./";
  int originPch = 0;
  int originNote = 0;
  int profileOption = 0;
  int modeParameter = 1;
  int masterVolume = 100;
  int hpVolume = 0;
  bool batchMode = false;

  int GetChipMode() const override { return chipMode; }
  int GetOutputProfile() const override { return outputProfile; }
  int GetMakerID() const override { return makerId; }
  int GetInfoCodeType() const override { return infoCodeType; }
  int GetInfoCodeTypeDoCoMo() const override { return infoCodeTypeDoCoMo; }
  std::string GetAppDir() const override { return appDir; }
  int GetOriginPch() const override { return originPch; }
  int GetOriginNote() const override { return originNote; }
  int GetProfileOption() const override { return profileOption; }
  int GetModeParameter(int chip, int) const override {
    return (chip == 3 || chip == 5) ? modeParameter : 0;
  }
  int IsKZ5OutputProfile(int chip) const override;
  int GetMasterVolume() const override { return masterVolume; }
  int GetHpVolume() const override { return hpVolume; }
  bool IsBatchMode() const override { return batchMode; }
};

/// An in-memory profile; section and key names compare without case.
class FakeProfile : public IProfile {
 public:
  int GetProfileInt(const std::string& section, const std::string& key, int def) const override;
  std::string GetProfileString(const std::string& section, const std::string& key,
                               const std::string& def) const override;
  bool WriteProfileInt(const std::string& section, const std::string& key, int value) override;
  bool WriteProfileString(const std::string& section, const std::string& key,
                          const std::string& value) override;
  bool DeleteSection(const std::string& section) override;

  /// Every write in order, as "section/key=value".
  std::vector<std::string> writes;
  bool failWrites = false;

 private:
  static std::string Key(const std::string& section, const std::string& key);
  std::map<std::string, std::string> m_values;
};

struct RecordedMessage {
  int id = 0;
  FormatArgs args;
  std::string text;    // for DoMessageBoxUnlessBatch
  unsigned style = 0;  // for DoMessageBoxUnlessBatch
};

struct RecordedLog {
  int id = 0;
  std::string detail;
  FormatArgs args;
};

/// Records messages and answers them from a script (the first button when the script is empty).
class FakeMessages : public IUserMessages {
 public:
  int ShowMessage(int id, const FormatArgs& args) override;
  int DoMessageBoxUnlessBatch(int defaultAnswer, const std::string& text, unsigned style,
                              int helpId) override;
  void AddAccessLog(int id, const std::string& detail, const FormatArgs& args) override;
  void Beep() override { ++beeps; }
  void NoteForBatch(const std::string& text) override { notes.push_back(text); }
  unsigned ShownCount() const override { return static_cast<unsigned>(shown.size()); }

  std::vector<RecordedMessage> shown;
  std::vector<std::string> notes;
  std::vector<RecordedLog> log;
  std::deque<int> answers;
  int beeps = 0;
  const FakeSettings* settings = nullptr;

  std::vector<int> ShownIds() const;
};

/// A binder with in-process plug-in functions per kind; unknown kinds are unavailable.
class FakeBinder : public IConverterBinder {
 public:
  using Entry = std::function<uint32_t(CnvParam&)>;
  /// GetKZxCnvReport: fills the report word and gives the call's result.
  using ReportEntry = std::function<uint32_t(uint32_t& report)>;
  struct Plugin {
    Entry from;  // direction 0
    Entry to;    // direction 1
    uint32_t version = 0;
    ReportEntry report;  // none: the report call fails (0x80000000)
  };
  std::map<int, Plugin> plugins;
  std::vector<std::pair<int, int>> calls;  // kind, direction
  std::vector<int> reportCalls;             // kind of each report fetched

  uint32_t Convert(CnvParam& param, int kind, int direction) override;
  /// An entry that throws gives 0 with threw set.
  uint32_t ConvertTellingThrow(CnvParam& param, int kind, int direction, bool& threw) override;
  uint32_t ConvertAndGetReport(CnvParam& param, int kind, int direction, uint32_t& report,
                               uint32_t& reportStatus) override;
  int IsAvailable(int kind, int direction) override;
  uint32_t GetVersion(int kind) override;
};

/// Counts the window-side hooks that core code calls.
class FakeUiHooks : public IUiHooks {
 public:
  std::unique_ptr<IUiToken> ShowBusyPicture(int kind) override {
    busyPictures.push_back(kind);
    return nullptr;
  }
  void UpdateSongWindows() override { ++songWindowUpdates; }
  void UpdateVoiceWindows() override { ++voiceWindowUpdates; }
  void FillSectionCombo() override { ++sectionComboFills; }
  int GetSelectedSection() const override { return selectedSection; }
  void SetTimeRange(uint32_t startMs, uint32_t endMs) override { timeRanges.push_back({startMs, endMs}); }
  void SetMasterVolumeSpin(int value) override { masterVolumeSpins.push_back(value); }
  int IsVolumeBarChanged() const override { return volumeBarChanged; }
  std::string GetVolumePresetName() const override { return volumePresetName; }
  void SetDocumentModified() override { ++documentModified; }
  bool HasMainWindow() const override { return mainWindow; }
  void AccessLogChanged() override { ++accessLogChanges; }
  void ChipModeChanged(int chipMode) override { chipModeChanges.push_back(chipMode); }
  bool IsQXCueEnabled() const override { return qxCue; }
  void SetVelocityChannelMode(int mode) override { velocityChannelModes.push_back(mode); }
  void RequestUndo() override { ++undoRequests; }
  void RebuildStreamSizeGraph() override { ++streamSizeGraphBuilds; }
  void UpdateStatusPanes() override {
    ++statusPaneUpdates;
    if (onStatusPanes) onStatusPanes();
  }
  void UpdateReportBar() override { ++reportBarUpdates; }
  bool HasTimeRange() const override { return timeRangeSpan.has_value(); }
  uint32_t GetTimeRangeSpan() const override { return timeRangeSpan.value_or(0); }
  void ClearTimeRange() override {
    timeRangeSpan.reset();
    ++timeRangeClears;
  }
  int GetKeyChange() const override { return keyChange; }
  int GetTempoChange() const override { return tempoChange; }

  std::vector<int> busyPictures;
  int songWindowUpdates = 0;
  int voiceWindowUpdates = 0;
  int sectionComboFills = 0;
  int selectedSection = 0;
  std::vector<std::pair<uint32_t, uint32_t>> timeRanges;
  std::vector<int> masterVolumeSpins;
  int volumeBarChanged = 0;
  std::string volumePresetName = "Default";
  int documentModified = 0;
  bool mainWindow = true;
  int accessLogChanges = 0;
  std::vector<int> chipModeChanges;
  bool qxCue = false;
  std::vector<int> velocityChannelModes;
  int undoRequests = 0;
  int streamSizeGraphBuilds = 0;
  int statusPaneUpdates = 0;
  /// Run at each status-pane refresh, so a test can see what had happened by then.
  std::function<void()> onStatusPanes;
  int reportBarUpdates = 0;
  /// The committed time range's span; none without a range.
  std::optional<uint32_t> timeRangeSpan;
  int timeRangeClears = 0;
  int keyChange = 12;
  int tempoChange = 100;
};

struct RecordedBoardCall {
  std::string name;               // the call, e.g. "SendBoardCommand06"
  std::vector<int> values;        // its integer arguments in order
  const void* object = nullptr;   // the voice item or stream-PCM slot handed over
  std::vector<uint8_t> bytes;     // the message sent for the plain commands, or the data block
};

/// A board device that records every command; `device` false stands for a main window
/// without one.
class FakeBoardCommands : public IBoardCommands {
 public:
  bool HasBoardDevice() const override { return device; }
  int SendVoice(const CVoiceItem& item, int option) override;
  int SendBankVoices(const CVoiceItem& item) override;
  int SendVoiceItem(const CStreamPCMSlot& slot) override;
  int SendBoardCommand06(int value) override { return Command("SendBoardCommand06", 0x06, value); }
  int SendBoardCommand07(int value) override;
  int SendBoardData0C(int kind, const uint8_t* data, uint32_t size) override;
  int SendBoardCommand0D(int value) override { return Command("SendBoardCommand0D", 0x0D, value); }
  int SendBoardCommand11(int value) override { return Command("SendBoardCommand11", 0x11, value); }

  std::vector<std::string> CallNames() const;

  bool device = true;
  std::vector<RecordedBoardCall> calls;

 private:
  int Command(const char* name, uint8_t command, int value);
};

/// The generation-1 export: records each call and answers `result`, after running `write`
/// (when set) on the stream.
class FakeKZ1Export : public IKZ1Export {
 public:
  int ConvertToKZ1(CMemStream& stream, int option, const SongOutputRecord& setup) override;
  std::string GetLastReason() const override { return reason; }

  std::function<void(CMemStream&)> write;
  int result = 1;
  std::string reason;
  std::vector<int> options;
};

struct RecordedReport {
  std::string name;       // the report, e.g. "ReportConvertResult"
  int kind = -1;          // the converter kind, -1 for the reports without one
  uint32_t result = 0;    // the result or status handed over (0 when none)
  uint32_t flags = 0;     // the returned flags handed over (0 when none)
};

/// Records every report; each answers `answer`(report) when set, else 1.
class FakeConverterReports : public IConverterReports {
 public:
  int ReportConvertResult(int kind, uint32_t result, uint32_t flags) override {
    return Record({"ReportConvertResult", kind, result, flags});
  }
  int ReportConverterNotes(int kind, uint32_t flags) override {
    return Record({"ReportConverterNotes", kind, 0, flags});
  }
  int ReportConverterNotesShort(uint32_t result) override {
    return Record({"ReportConverterNotesShort", -1, result, 0});
  }
  int ReportMobilePlaybackNotes(uint32_t status) override {
    return Record({"ReportMobilePlaybackNotes", -1, status, 0});
  }

  std::vector<std::string> Names() const;

  std::function<int(const RecordedReport&)> answer;
  std::vector<RecordedReport> calls;

 private:
  int Record(RecordedReport report) {
    calls.push_back(report);
    return answer ? answer(calls.back()) : 1;
  }
};

struct RecordedPost {
  uint32_t message = 0;
  intptr_t wParam = 0;
  intptr_t lParam = 0;
  bool operator==(const RecordedPost&) const = default;
};

/// Records every post that reaches the main window, by the real sink's rules (dropped without
/// a main window, coalesced while one of its kind waits). Posts wait in a queue until the test
/// takes them as the main window would. Safe from any thread.
class FakeNotifySink : public NotifySink {
 public:
  FakeNotifySink() { SetMainWindow(true); }

  /// Every post delivered so far, taken or not, in order.
  std::vector<RecordedPost> Posts() const;
  /// The delivered posts of one message.
  std::vector<RecordedPost> PostsOf(uint32_t message) const;
  /// Takes every waiting post, as the main window's handler does, clearing their pending flags.
  std::vector<RecordedPost> TakeAll();
  /// Waits up to `ms` for at least `count` delivered posts; true when they came.
  bool WaitForPosts(size_t count, int ms) const;

 protected:
  void Deliver(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesced) override;

 private:
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_posted;
  std::vector<RecordedPost> m_posts;
  std::deque<RecordedPost> m_waiting;
};

/// All fakes together, installed while the object lives.
class FakeHost {
 public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  FakeSettings settings;
  FakeProfile profile;
  FakeMessages messages;
  FakeBinder binder;
  FakeUiHooks ui;
  FakeBoardCommands board;
  FakeKZ1Export kz1Export;
  DocumentRegistry registry;
  FakeConverterReports reports;
  FakeNotifySink notify;

 private:
  ScopedHost m_scope;
};

}  // namespace platform
