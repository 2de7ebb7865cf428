// The application object's start-up and exit.
#include <cstring>

#include "app/core/CommandLine.h"
#include "app/core/FileDialogRules.h"
#include "app/core/HeadlessMainFrame.h"
#include "app/core/MenuEdits.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/core/WindowPlacement.h"
#include "platform/io/Paths.h"
#include "platform/settings/IniFile.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr char kInstanceName[] = "KORVAN_Trillot";
constexpr int kMainFrameResource = 1000;
constexpr int kVoiceListCommand = 32800;
constexpr uint32_t kAllChannels = 0xFFFF;
constexpr int kOpenFromCommandLine = 24;
constexpr int kLogOpenFromVelk = 7515;
constexpr int kStringExtMid = 2073;
constexpr int kStringExtKZ1 = 2069;

constexpr int kMsgAlreadyRunning = 7077;
constexpr int kMsgNoIni = 7079;
constexpr int kMsgUnexpectedProblem = 7081;
constexpr int kMsgIllegalIni = 7083;
constexpr int kMsgVoiceFile = 7045;
// A box with the stop icon and OK, as 7077 has.
constexpr unsigned kStyleStopOk = 0x10;

const char* const kVoiceListWindows[] = {"CVListFrm", "CVListFrmKZ2"};

// The board's own ports cannot be the thru input as well.
bool IsBoardInput(const std::string& name) {
  return name.find("KORVAN TVR Driver") != std::string::npos || name.find("KORVAN USB IN") != std::string::npos;
}

}  // namespace

void CTrillotApp::ReportLockFailure(const platform::SingleInstanceLock& lock) {
  const auto text = platform::strings().Find("batch.lockFailed");
  const std::string line = platform::Format(text ? *text : std::string_view("Can not open application.\n- The lock file %s can not be made: %s."),
                                            lock.Path(), std::string(std::strerror(lock.Error())));
  platform::messages().DoMessageBoxUnlessBatch(1, line, kStyleStopOk, 0);
}

void CTrillotApp::CreateMainFrame() {
  m_mainFrame = m_mainFrameFactory ? m_mainFrameFactory() : std::make_unique<HeadlessMainFrame>();
}

void CTrillotApp::DestroyMainFrame() {
  if (!m_mainFrame) return;
  m_mainFrame->DestroyWindow();
  m_mainFrame.reset();
}

CTrillotApp::StartResult CTrillotApp::InitInstance(const std::vector<std::string>& args) {
  // Step 1: the command line.
  CommandLineInfo info = ParseCommandLine(args);
  m_commandLineFile = info.fileName;
  if (!info.outputPath.empty()) {
    m_splashEnabled = false;
    m_showCommand = kShowHidden;
  }
  // Step 2: one instance at a time.
  m_instanceLock = std::make_unique<platform::SingleInstanceLock>(kInstanceName);
  if (!m_instanceLock->Acquired() && m_instanceLock->Error() != 0) {
    // No lock file is no sign of another instance: the start ends and says why.
    ReportLockFailure(*m_instanceLock);
    m_instanceLock.reset();
    return StartResult::Ended;
  }
  if (!m_instanceLock->Acquired()) {
    m_instanceLock.reset();
    platform::ShowMessage(kMsgAlreadyRunning);
    return StartResult::AlreadyRunning;
  }
  // Steps 3-8: the program folder, "Trillot.ini" and the profile.
  if (StartResult r = ReadProgramSettings(); r != StartResult::Running) return r;
  // Step 9: the main frame object.
  CreateMainFrame();
  // Step 10: the serial board.
  if (!info.outputPath.empty()) SetOutputPath(info.outputPath);
  if (info.comPort != 0 && !OpenBoardPort(info.comPort)) {
    platform::ShowMessage(kMsgUnexpectedProblem);
    return StartResult::Ended;
  }
  // Steps 11-12: the window, placed and hidden until step 24.
  if (!SetUpMainFrame()) return StartResult::Ended;
  // Step 13: only chip mode 3 runs on.
  if (m_chipMode != 3 && m_chipMode != 5) {
    platform::ShowMessage(kMsgIllegalIni);
    return StartResult::Ended;
  }
  // Steps 14-19: sound device, board check, board settings, output format, MIDI thru.
  if (!SetUpSoundAndBoard()) return StartResult::Ended;
  // Step 20: the default voices.
  if (!m_voiceLibrary.LoadDefaultVoices() && (m_chipMode == 3 || m_chipMode == 5)) {
    platform::ShowMessage(kMsgVoiceFile);
    return StartResult::Ended;
  }
  // Steps 21-24.
  ApplyStartValues();
  m_mainFrame->ApplyMenuEdits(BuildMenuEdits(m_chipMode, m_outputProfile, GetWebLanguage()));
  ReopenVoiceLists();
  m_mainFrame->ShowWindow(m_showCommand);
  // Step 25: without a song the message loop runs; a batch run has nothing to convert and
  // would wait for ever in a hidden window.
  if (m_commandLineFile.empty()) return HasOutputPath() ? EndBatchRun() : StartResult::Running;
  // Steps 26-27: the song of the command line.
  if (!OpenCommandLineSong()) {
    if (!HasOutputPath()) return StartResult::Ended;
    m_batchOpenFailed = true;
    return EndBatchRun();
  }
  // Step 28.
  if (!HasOutputPath()) return StartResult::Running;
  // Steps 29-30: failures show their messages and the run goes on to its end.
  RunBatchConversion();
  return EndBatchRun();
}

CTrillotApp::StartResult CTrillotApp::ReadProgramSettings() {
  // Step 3.
  std::string appDir = platform::AppDir();
  if (appDir.empty()) return StartResult::EndedSilently;
  m_appDir = appDir;
  // Steps 4-5.
  std::string iniPath;
  GetIniPath(iniPath);
  platform::IniFile ini = platform::IniFile::Load(iniPath);
  const int chipMode = ReadIniChipMode(ini);
  if (chipMode < 1 || chipMode > 3) {
    platform::ShowMessage(kMsgNoIni);
    return StartResult::EndedSilently;
  }
  m_chipMode = chipMode;
  SetOutputProfile(output_profile::kKORVAN);
  const int makerId = ReadIniMakerID(ini);
  if (makerId < 1 || makerId > 4) return StartResult::EndedSilently;
  m_makerId = makerId;
  // Step 6 (the profile store is the program's; step 8 writes "OutputType" on every start).
  if (ReadProfileSetting(profile_keys::kOutputTypeAtStart) == -1) WriteProfileSetting(profile_keys::kOutputType, 1);
  // Step 8.
  if (m_outputProfile != output_profile::kKORVAN && m_outputProfile != output_profile::kDeveloperVELK) {
    m_profileOption = 0;
  }
  WriteProfileSetting(profile_keys::kOutputType, 1);
  m_reserved = 0;
  ReadInfoCodeTypes();
  return StartResult::Running;
}

bool CTrillotApp::SetUpMainFrame() {
  if (!m_mainFrame->LoadFrame(kMainFrameResource)) return false;
  m_mainFrame->DragAcceptFiles(true);
  WindowPlacement placement = RestoreWindowPlacement("CMainFrame", m_mainFrame->GetPlacement(),
                                                     m_mainFrame->GetWindowRect(), 0, 0, 800, 600);
  m_mainFrame->SetPlacement(placement);
  m_mainFrame->ShowWindow(kShowHidden);
  m_mainFrame->UpdateWindow();
  return true;
}

bool CTrillotApp::SetUpSoundAndBoard() {
  // Step 14.
  if (!SetHardwareMode(m_chipMode)) {
    platform::ShowMessage(kMsgUnexpectedProblem);
    return false;
  }
  // Step 15: the check shows its own message.
  if (!CheckBoardForChipMode(m_chipMode, 1)) return false;
  // Step 16.
  if (IsKZ5OutputProfile(-1) == 0 && ReadProfileSetting(profile_keys::kModeSetting) == 2) {
    WriteProfileSetting(profile_keys::kModeSetting, 0);
  }
  // Step 17.
  if (m_chipMode == 3 || m_chipMode == 5) ApplyStreamPcmReserve();
  // Step 18.
  if (!ForceOutputFormat()) {
    platform::ShowMessage(kMsgUnexpectedProblem);
    return false;
  }
  // Step 19.
  IOutputEngine* engine = Engine();
  if ((m_chipMode == 3 || m_chipMode == 5) && engine && engine->GetConnectionKind() == 1) StartMidiThru();
  return true;
}

bool CTrillotApp::ForceOutputFormat() {
  const int stored = ReadProfileSetting(profile_keys::kOutputFormat);
  int format = 0;
  switch (m_outputProfile) {
    case 1:
    case 6:
    case 7: format = 4; break;
    case 2:
    case 3:
    case 8: format = 3; break;
    case 4: format = 5; break;
    case 5: format = (stored == 0 || stored == 3) ? stored : 3; break;
    default: return false;
  }
  if (format != stored) WriteProfileSetting(profile_keys::kOutputFormat, format);
  return true;
}

void CTrillotApp::StartMidiThru() {
  int input = ReadProfileSetting(profile_keys::kMIDIDeviceThruIn);
  if (input > 0 && IsBoardInput(m_midiThru.GetInputName(input - 1))) {
    WriteProfileSetting(profile_keys::kMIDIDeviceThruIn, 0);
    input = 0;
  }
  m_midiThru.SetInDevice(input);
  m_midiThru.SetOutDevice(ReadProfileSetting(profile_keys::kMIDIDeviceThruOut));
  m_midiThru.Start();
}

void CTrillotApp::ApplyStartValues() {
  ReadOriginSettings();
  ResetVolumes();
  m_startValues[0] = 100;
  m_startValues[1] = 64;
  m_startValues[2] = 30;
  m_mainFrame->UpdateStatusPanes();
  m_mainFrame->UpdateReportBar();
}

void CTrillotApp::ReopenVoiceLists() {
  for (const char* name : kVoiceListWindows) {
    if (platform::profile().GetProfileInt(profile_keys::kWindowState, name, 0) != 0) {
      m_mainFrame->PostCommand(kVoiceListCommand);
    }
  }
}

bool CTrillotApp::OpenCommandLineSong() {
  // Step 26: a failed open shows the document's own messages.
  SetDocument(std::make_unique<CKZ1Doc>());
  if (!m_songOpener || !m_songOpener(*m_document, m_commandLineFile, kAllChannels, kOpenFromCommandLine)) {
    SetDocument(nullptr);
    return false;
  }
  // Step 27.
  m_mainFrame->OpenSongWindow();
  m_mainFrame->UpdateStatusPanes();
  m_mainFrame->UpdateReportBar();
  m_mainFrame->UpdateSongWindows();
  m_mainFrame->UpdateVoiceWindows();
  platform::messages().AddAccessLog(kLogOpenFromVelk, m_commandLineFile, {});
  return true;
}

void CTrillotApp::RunBatchConversion() {
  const std::string& output = m_outputPath;
  // The name needs an ending of a dot and three characters.
  if (output.size() < 4 || output[output.size() - 4] != '.') return;
  const std::string ending = output.substr(output.size() - 3);
  auto same = [&ending](const std::string& extension) {
    return extension.size() == 3 && HasEndingNoCase(ending, extension);
  };
  if (same(SongExtensionOfProfile(m_outputProfile)) && m_document) {
    m_document->SetPathName(output);
    OnFileSave();
  }
  if (same(std::string(platform::strings().Find(kStringExtMid).value_or("")))) OnFileExportSMF();
  if (same(std::string(platform::strings().Find(kStringExtKZ1).value_or("")))) ExportKZ1();
}

CTrillotApp::StartResult CTrillotApp::EndBatchRun() {
  // Step 31.
  SetDocument(nullptr);
  DestroyMainFrame();
  return StartResult::BatchEnded;
}

int CTrillotApp::ExitInstance() {
  m_boardLink.reset();
  SetDocument(nullptr);
  m_instanceLock.reset();
  return 0;
}
