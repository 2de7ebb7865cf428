// The application object's File commands of chip modes 1 and 2: New, Open, Import from SMF,
// Save, Save As and Export to SMF, the close question before a song goes, and the save step
// that every save ends in.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "platform/io/FileIo.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgCannotSaveSmf = 7031;
constexpr int kMsgCannotOpenSong = 7032;
constexpr int kMsgFileFormatError = 7088;
constexpr int kMsgSaveSong = 7091;
constexpr int kMsgIllegalFileFormat = 7092;
constexpr int kMsgFmmStepOver = 7093;
constexpr int kLogOpenVelk = 7515;
constexpr int kLogImportSmf = 7517;
constexpr int kLogExportSmf = 7521;
constexpr int kStringVelkSize = 2078;
constexpr int kStringVelkFmmSize = 2079;
constexpr int kStringExtMid = 2073;
constexpr int kStringFilterMid = 2087;

constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;

constexpr int kDirInput = 0;
constexpr int kDirOutput = 1;

// A KZ-1 image begins with 84 bytes before its steps of two bytes each.
constexpr int kKZ1HeaderBytes = 84;
constexpr int kFmmMaxSteps = 991;

constexpr const char* kUntitled = "untitled";

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool EndsWithNoCase(const std::string& path, const std::string& tail) {
  return path.size() >= tail.size() && Lower(path.substr(path.size() - tail.size())) == Lower(tail);
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The song file's extension and filter string by the output profile.
struct SongFileType {
  int extension;
  int filter;
};

SongFileType SongFileTypeOf(int profile) {
  if (profile == 1 || profile == 6 || profile == 7) return {2071, 2085};
  if (profile == 4) return {2187, 2186};
  return {2072, 2086};
}

int StepsOf(int size) { return (size - kKZ1HeaderBytes) / 2; }

}  // namespace

void CTrillotApp::RefreshAfterFileCommand(bool all) {
  IMainFrame* frame = GetMainFrame();
  if (!frame) return;
  frame->UpdateStatusPanes();
  frame->UpdateReportBar();
  if (!all) return;
  frame->UpdateSongWindows();
  frame->UpdateVoiceWindows();
}

bool CTrillotApp::ChooseFile(const FileRequest& request, FileAnswer& answer) {
  answer = m_fileChooser ? m_fileChooser->Choose(request) : FileAnswer{};
  return answer.ok;
}

int CTrillotApp::QueryCloseSong() {
  if (IMainFrame* frame = GetMainFrame()) frame->OnStop();
  if (CKZ1Doc* doc = GetDocument()) {
    bool ask = false;
    switch (m_chipMode) {
      case 1:
        // A song that cannot be converted could not be saved either: it goes without a question.
        ask = doc->CalcConvertedSize(0) != 0 && doc->TestModifiedFlags(CKZ1Doc::kFlagUnsaved);
        break;
      case 2: case 3: case 5:
        ask = doc->TestModifiedFlags(CKZ1Doc::kFlagUnsaved) != 0;
        break;
      default:
        break;
    }
    if (ask) {
      const int answer = platform::ShowMessage(kMsgSaveSong);
      if (answer == kAnswerCancel) return 0;
      if (answer == kAnswerYes) OnFileSave();
    }
    SetDocument(nullptr);
    m_boardPlaybackState = 0;
    if (m_boardLink) m_boardLink->Stop();
    m_songOnBoard = false;
    m_boardFlag = 0;
  }
  return 1;
}

void CTrillotApp::OnFileNew() {
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  SetDocument(std::make_unique<CKZ1Doc>());
  CKZ1Doc& doc = *GetDocument();
  doc.SetPathName(kUntitled);
  doc.SetTimeBaseMs(4000);
  doc.SetExportOption1(0);
  doc.InitChannelSetupFromEvents();
  doc.ResetModifiedFlags();
  if (IMainFrame* frame = GetMainFrame()) {
    frame->OpenSongWindow();
    frame->UpdateStatusPanes();
  }
}

int CTrillotApp::OpenSongInto(const std::string& path, const std::function<int(CKZ1Doc&)>& load,
                              int logId, int failMessage) {
  SetDocument(std::make_unique<CKZ1Doc>());
  if (!load(*GetDocument())) {
    if (failMessage) platform::ShowMessage(failMessage);
    SetDocument(nullptr);
    return 0;
  }
  if (IMainFrame* frame = GetMainFrame()) frame->OpenSongWindow();
  platform::messages().AddAccessLog(logId, FileNameOf(path), {});
  return 1;
}

void CTrillotApp::OnFileOpen() {
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  const SongFileType type = SongFileTypeOf(m_outputProfile);
  FileRequest request;
  request.kind = m_chipMode == 2 ? FileDialogKind::VelkLoad : FileDialogKind::Plain;
  request.defaultExtension = Text(type.extension);
  request.filter = Text(type.filter);
  request.folder = GetDefaultDir(kDirInput);
  request.chipMode = m_chipMode;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!EndsWithNoCase(choice.path, "." + request.defaultExtension)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else if (m_chipMode == 1) {
      OpenSongInto(choice.path, [&](CKZ1Doc& doc) { return doc.OpenDocument(choice.path); },
                   kLogOpenVelk, 0);
    } else {
      OpenSongInto(choice.path,
                   [&](CKZ1Doc& doc) { return doc.OpenWithOptions(choice.path, choice.tempo, choice.compress); },
                   kLogOpenVelk, 0);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OnFileImportSMF() {
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  FileRequest request;
  request.kind = FileDialogKind::SmfLoad;
  request.defaultExtension = Text(kStringExtMid);
  request.filter = Text(kStringFilterMid);
  request.folder = GetDefaultDir(kDirInput);
  request.chipMode = m_chipMode;  // 4 channels in chip mode 1, else 16
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!EndsWithNoCase(choice.path, ".mid")) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      OpenSongInto(choice.path,
                   [&](CKZ1Doc& doc) {
                     return m_songOpener(doc, choice.path, choice.channelMask, choice.timeBase);
                   },
                   kLogImportSmf, kMsgCannotOpenSong);
    }
  }
  RefreshAfterFileCommand(true);
}

int CTrillotApp::SaveDocument(const std::string& path) {
  CKZ1Doc* doc = GetDocument();
  if (!doc || !CheckBoardLink()) return 0;
  int result = 0;
  try {
    result = doc->SaveDocument(path);
  } catch (...) {
    // A build that threw wrote nothing: the old file stands.
    result = 0;
  }
  if (!result) return 0;
  doc->SetPathName(path);
  doc->SetModifiedFlags(CKZ1Doc::kFlagUnsaved);
  return 1;
}

bool CTrillotApp::CheckConvertedSizeKZ1(int& size) {
  size = GetDocument()->CalcConvertedSize(0);
  if (size == 0 && !platform::kz1Export().GetLastReason().empty()) {
    platform::ShowMessage(kMsgFileFormatError);
    return false;
  }
  return true;
}

void CTrillotApp::OnFileSave() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || (m_chipMode != 1 && m_chipMode != 2)) return;
  const std::string path = doc->GetPathName();
  const std::string extension = Text(SongFileTypeOf(m_outputProfile).extension);
  if (path == kUntitled || !EndsWithNoCase(path, extension)) {
    OnFileSaveAs();
    return;
  }
  if (m_chipMode == 1) {
    int size = 0;
    if (!CheckConvertedSizeKZ1(size)) return;
    if (platform::ui().IsQXCueEnabled() && StepsOf(size) > kFmmMaxSteps) {
      platform::ShowMessage(kMsgFmmStepOver);
      return;
    }
  }
  if (doc->CalcImageSize() == 0) {
    platform::messages().Beep();
    return;
  }
  if (!SaveDocument(path)) {
    OnFileSaveAs();
    return;
  }
  RefreshAfterFileCommand(false);
}

void CTrillotApp::OnFileSaveAs() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || (m_chipMode != 1 && m_chipMode != 2)) return;
  if (doc->CalcImageSize() == 0) {
    platform::messages().Beep();
    return;
  }
  std::string comment;
  if (m_chipMode == 1) {
    int size = 0;
    if (!CheckConvertedSizeKZ1(size)) return;
    if (platform::ui().IsQXCueEnabled()) {
      if (StepsOf(size) > kFmmMaxSteps) {
        platform::ShowMessage(kMsgFmmStepOver);
        return;
      }
      comment = platform::Format(Text(kStringVelkFmmSize), size, StepsOf(size));
    } else {
      comment = platform::Format(Text(kStringVelkSize), size);
    }
  }
  SaveAsKZ12(comment);
  RefreshAfterFileCommand(false);
}

void CTrillotApp::SaveAsKZ12(const std::string& comment) {
  const SongFileType type = SongFileTypeOf(m_outputProfile);
  FileRequest request;
  request.open = false;
  request.kind = FileDialogKind::Comment;
  request.defaultExtension = Text(type.extension);
  request.filter = Text(type.filter);
  request.folder = GetDefaultDir(kDirOutput);
  request.comment = comment;
  // A failed save asks again, until the user cancels.
  for (FileAnswer choice; ChooseFile(request, choice);) {
    if (SaveDocument(choice.path)) return;
  }
}

void CTrillotApp::OnFileExportSMF() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || m_chipMode != 1 || !doc->CheckDensity()) return;
  auto wait = platform::ui().ShowWaitCursor();
  SongOutputRecord setup;
  doc->BuildOutputSetup(setup, 1);
  CMemStream smf;
  int written = 0;
  try {
    written = doc->WriteSmf(smf, setup);
  } catch (...) {
    written = 0;
  }
  if (!written) {
    platform::ShowMessage(kMsgCannotSaveSmf);
  } else {
    WriteExport(std::vector<uint8_t>(smf.GetData(), smf.GetData() + smf.GetSize()));
  }
  RefreshAfterFileCommand(false);
}

void CTrillotApp::WriteExport(const std::vector<uint8_t>& bytes) {
  std::string target = GetOutputPath();
  if (target.empty()) {
    FileRequest request;
    request.open = false;
    request.defaultExtension = Text(kStringExtMid);
    request.filter = Text(kStringFilterMid);
    request.folder = GetDefaultDir(kDirOutput);
    FileAnswer choice;
    if (!ChooseFile(request, choice)) return;
    target = choice.path;
  }
  // Written beside the target and renamed over it, so a failed export leaves the old file.
  if (!platform::WriteFileAtomic(target, bytes)) {
    platform::ShowMessage(kMsgCannotSaveSmf);
    return;
  }
  platform::messages().AddAccessLog(kLogExportSmf, target, {});
}
