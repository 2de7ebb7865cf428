// The installed host services and the headless defaults used when none are installed.
#include "platform/host/HostServices.h"

#include <cstdio>
#include <map>

#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"

namespace platform {
namespace {

class DefaultSettings final : public IAppSettings {
 public:
  int GetChipMode() const override { return 3; }
  int GetOutputProfile() const override { return 2; }
  int GetMakerID() const override { return 1; }
  int GetInfoCodeType() const override { return 0; }
  int GetInfoCodeTypeDoCoMo() const override { return 0; }
  std::string GetAppDir() const override { return AppDir(); }
  int GetOriginPch() const override { return 0; }
  int GetOriginNote() const override { return 0; }
  int GetProfileOption() const override { return 0; }
  int GetModeParameter(int, int) const override { return 0; }
  int IsKZ5OutputProfile(int) const override { return 0; }
  int GetMasterVolume() const override { return 100; }
  int GetHpVolume() const override { return 0; }
  bool IsBatchMode() const override { return true; }
};

// Keeps values for the run only; the shell installs the real store.
class MemoryProfile final : public IProfile {
 public:
  int GetProfileInt(const std::string& section, const std::string& key, int def) const override {
    auto it = m_ints.find(section + "\n" + key);
    return it == m_ints.end() ? def : it->second;
  }
  std::string GetProfileString(const std::string& section, const std::string& key,
                               const std::string& def) const override {
    auto it = m_strings.find(section + "\n" + key);
    return it == m_strings.end() ? def : it->second;
  }
  bool WriteProfileInt(const std::string& section, const std::string& key, int value) override {
    m_ints[section + "\n" + key] = value;
    return true;
  }
  bool WriteProfileString(const std::string& section, const std::string& key,
                          const std::string& value) override {
    m_strings[section + "\n" + key] = value;
    return true;
  }
  bool DeleteSection(const std::string&) override { return true; }

 private:
  std::map<std::string, int> m_ints;
  std::map<std::string, std::string> m_strings;
};

class StderrMessages final : public IUserMessages {
 public:
  int ShowMessage(int id, const FormatArgs&) override {
    std::fprintf(stderr, "Trillot: message %d\n", id);
    return 1;
  }
  int DoMessageBoxUnlessBatch(int defaultAnswer, const std::string&, unsigned, int) override {
    return defaultAnswer;
  }
  void AddAccessLog(int, const std::string&, const FormatArgs&) override {}
};

class NoBinder final : public IConverterBinder {
 public:
  uint32_t Convert(CnvParam&, int, int) override { return 0; }
  uint32_t ConvertAndGetReport(CnvParam&, int, int, uint32_t&, uint32_t& reportStatus) override {
    reportStatus = 0x80000000u;
    return 0;
  }
  int IsAvailable(int, int) override { return 0; }
  uint32_t GetVersion(int) override { return 0; }
};

class NoBoard final : public IBoardCommands {
 public:
  bool HasBoardDevice() const override { return false; }
  int SendVoice(const CVoiceItem&, int) override { return 0; }
  int SendBankVoices(const CVoiceItem&) override { return 0; }
  int SendVoiceItem(const CStreamPCMSlot&) override { return 0; }
  int SendBoardCommand06(int) override { return 0; }
  int SendBoardCommand07(int) override { return 0; }
  int SendBoardData0C(int, const uint8_t*, uint32_t) override { return 0; }
  int SendBoardCommand0D(int) override { return 0; }
  int SendBoardCommand11(int) override { return 0; }
};

class NoKZ1Export final : public IKZ1Export {
 public:
  int ConvertToKZ1(CMemStream&, int, const SongOutputRecord&) override { return 0; }
};

class SilentReports final : public IConverterReports {
 public:
  int ReportConvertResult(int, uint32_t, uint32_t) override { return 0; }
  int ReportConverterNotes(int, uint32_t) override { return 1; }
  int ReportConverterNotesShort(uint32_t result) override { return result < 0x80000000u ? 1 : 0; }
  int ReportMobilePlaybackNotes(uint32_t) override { return 1; }
};

// Nothing to post to before a shell installs its sink.
class NoMainWindowSink final : public NotifySink {
 protected:
  void Deliver(uint32_t, intptr_t, intptr_t, bool) override {}
};

struct Defaults {
  DefaultSettings settings;
  MemoryProfile profile;
  StderrMessages messages;
  NoBinder binder;
  IUiHooks ui;
  NoBoard board;
  NoKZ1Export kz1Export;
  DocumentRegistry registry;
  SilentReports reports;
  NoMainWindowSink notify;
};

Defaults& defaults() {
  static Defaults d;
  return d;
}

HostServices& installed() {
  static HostServices services;
  return services;
}

}  // namespace

HostServices& host() { return installed(); }
IAppSettings& settings() { return installed().settings ? *installed().settings : defaults().settings; }
IProfile& profile() { return installed().profile ? *installed().profile : defaults().profile; }
IUserMessages& messages() { return installed().messages ? *installed().messages : defaults().messages; }

void NoteFileFailure(const FileError& error) {
  const auto text = strings().Find("batch.fileError");
  messages().NoteForBatch(Format(text ? *text : std::string_view("%s: %s."), error.path, error.Reason()));
}
IConverterBinder& binder() { return installed().binder ? *installed().binder : defaults().binder; }
IUiHooks& ui() { return installed().ui ? *installed().ui : defaults().ui; }
IBoardCommands& board() { return installed().board ? *installed().board : defaults().board; }
IKZ1Export& kz1Export() {
  return installed().kz1Export ? *installed().kz1Export : defaults().kz1Export;
}
DocumentRegistry& registry() {
  return installed().registry ? *installed().registry : defaults().registry;
}

IConverterReports& reports() {
  return installed().reports ? *installed().reports : defaults().reports;
}
INotifySink& notify() { return installed().notify ? *installed().notify : defaults().notify; }

ScopedHost::ScopedHost(const HostServices& services) : m_previous(installed()) {
  installed() = services;
}

ScopedHost::~ScopedHost() { installed() = m_previous; }

}  // namespace platform
