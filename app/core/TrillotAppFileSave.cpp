// The application object's File commands that write the song: Save, Save As, the exports to
// SMF, hardware and native format, Direct Play, their update rules and the save step that
// every save ends in.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "app/core/ConverterReports.h"
#include "app/core/FileDialogRules.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "platform/io/FileIo.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgFileNameTooLong = 7026;
constexpr int kMsgCannotSaveMFiSmf = 7030;
constexpr int kMsgCannotSaveSmf = 7031;
constexpr int kMsgFileFormatError = 7088;
constexpr int kMsgCannotSaveMFi = 7089;
constexpr int kMsgCannotSaveVelk = 7090;
constexpr int kMsgIllegalFileFormat = 7092;
constexpr int kMsgFmmStepOver = 7093;
constexpr int kLogSaveVelk = 7504;
constexpr int kLogExportHardware = 7516;
constexpr int kLogSaveMFi = 7518;
constexpr int kLogExportSmf = 7521;
constexpr int kStringVelkSize = 2078;
constexpr int kStringVelkFmmSize = 2079;
constexpr int kStringExtHardware = 2068;
constexpr int kStringExtNative = 2070;
constexpr int kStringExtMid = 2073;
constexpr int kStringFilterHardware = 2082;
constexpr int kStringFilterNative = 2084;
constexpr int kStringFilterMid = 2087;

constexpr int kDirInput = 0;
constexpr int kDirOutput = 1;

constexpr int kSmfConverter = 7;
constexpr int kHardwareConverter = 9;
// The plug-ins' output may grow this many times the native data.
constexpr uint32_t kSmfGrowth = 7;
constexpr uint32_t kHardwareGrowth = 4;

// A KZ-1 image begins with 84 bytes before its steps of two bytes each.
constexpr int kKZ1HeaderBytes = 84;
constexpr int kFmmMaxSteps = 991;

constexpr int kShowNoActivate = 8;

constexpr uint32_t kSaveFlags = fileflags::kOverwritePrompt | fileflags::kHideReadOnly | fileflags::kLongNames;
constexpr uint32_t kSaveDialogFlags = kSaveFlags | fileflags::kPathMustExist;

constexpr const char* kUntitled = "untitled";

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

bool IsMFiProfile(int profile) { return profile == 1 || profile == 6 || profile == 7; }

bool IsGen35(int chipMode) { return chipMode == 3 || chipMode == 5; }

int StepsOf(int size) { return (size - kKZ1HeaderBytes) / 2; }

/// The song's native data for the exports; false once the document has said why not.
bool BuildNativeData(CKZ1Doc& doc, CMemStream& stream) {
  try {
    return doc.makeKZ3NativeFormat(stream, 0, 1) != 0;
  } catch (...) {
    return false;
  }
}

/// A zero-filled buffer of `growth` times the source for the plug-in's output; empty when
/// it cannot be had.
std::vector<uint8_t> OutputBuffer(uint32_t sourceSize, uint32_t growth) {
  const uint64_t size = uint64_t{sourceSize} * growth;
  if (size == 0 || size > 0xFFFFFFFFu) return {};
  try {
    return std::vector<uint8_t>(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

/// Converts native data with a plug-in: the bytes it wrote, or none after its failure was
/// reported. `result` receives the plug-in's result.
std::vector<uint8_t> ConvertNativeData(CMemStream& native, int kind, uint32_t growth, bool withDestination,
                                       uint32_t& result) {
  CnvParam param{};
  param.flags = CurrentVoiceModeBits();
  param.src = native.GetData();
  param.srcSize = static_cast<uint32_t>(native.GetSize());
  std::vector<uint8_t> output;
  if (withDestination) {
    output = OutputBuffer(param.srcSize, growth);
    param.dst = output.data();
    param.dstSize = static_cast<uint32_t>(output.size());
  }
  result = output.empty() ? 0 : platform::binder().Convert(param, kind, 1);
  // A result that claims more than the destination holds is no output of the plug-in.
  if (IsConvertSuccess(result) && result > output.size()) result = CNVERR_FAILED;
  if (!IsConvertSuccess(result)) {
    ReportConvertResult(kind, result, param.flags);
    return {};
  }
  output.resize(result);
  return output;
}

/// The failure message of a step, unless the step has shown why it failed: one message per failure.
void SayUnlessSaid(unsigned shownBefore, int message) {
  if (platform::messages().ShownCount() == shownBefore) platform::ShowMessage(message);
}

}  // namespace

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
  m_outputWritten = true;
  if (IMainFrame* frame = GetMainFrame()) frame->UpdateFrameTitle();
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

int CTrillotApp::ExportFailedMessage() const {
  return IsMFiProfile(m_outputProfile) ? kMsgCannotSaveMFiSmf : kMsgCannotSaveSmf;
}

void CTrillotApp::OnFileSave() {
  CKZ1Doc* doc = GetDocument();
  if (!doc) return;
  if (IsGen35(m_chipMode)) {
    SaveKZ35();
    RefreshAfterFileCommand(false);
    return;
  }
  if (m_chipMode != 1 && m_chipMode != 2) return;
  const std::string path = doc->GetPathName();
  const std::string extension = SongExtensionOfProfile(m_outputProfile);
  if (path == kUntitled || !HasEndingNoCase(path, extension)) {
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

void CTrillotApp::SaveKZ35() {
  CKZ1Doc& doc = *GetDocument();
  const std::string path = doc.GetPathName();
  if (path == kUntitled || !HasEndingNoCase(path, SongExtensionOfProfile(m_outputProfile))) {
    OnFileSaveAs();
    return;
  }
  if (!doc.CheckDensity()) return;
  // The test build leaves the image that the save then writes.
  const unsigned shownBefore = platform::messages().ShownCount();
  if (!doc.BuildOutputImage(1, std::string(), doc.GetTimeBase(), doc.GetCnvOptionFlag(), doc.GetExportOption4())) {
    doc.DeleteOutputImages();
    SayUnlessSaid(shownBefore, IsMFiProfile(m_outputProfile) ? kMsgCannotSaveMFi : kMsgCannotSaveVelk);
    return;
  }
  if (doc.GetOpenFlag()) {
    doc.DeleteOutputImages();
    return;
  }
  doc.SetCnvOptionFlag(doc.GetCnvOptionFlag());
  doc.SetTimeBaseMs(doc.GetTimeBase());
  if (!FitsSaveNameLimit(path)) {
    // An image left behind would be saved later in place of the edited song.
    doc.DeleteOutputImages();
    platform::ShowMessage(kMsgFileNameTooLong);
    return;
  }
  if (!SaveDocument(path)) {
    OnFileSaveAs();
    return;
  }
  if (IsMFiProfile(m_outputProfile)) {
    platform::messages().AddAccessLog(kLogSaveMFi, path, {});
  } else if (m_outputProfile != output_profile::kVELKPhrase) {
    platform::messages().AddAccessLog(kLogSaveVelk, path, {});
  }
}

void CTrillotApp::OnFileSaveAs() {
  CKZ1Doc* doc = GetDocument();
  if (!doc) return;
  if (IsGen35(m_chipMode)) {
    SaveAsKZ35();
    RefreshAfterFileCommand(false);
    return;
  }
  if (m_chipMode != 1 && m_chipMode != 2) return;
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
  FileRequest request;
  request.open = false;
  request.kind = FileDialogKind::Comment;
  request.defaultExtension = SongExtensionOfProfile(m_outputProfile);
  request.filter = Text(SongFilterIdOfProfile(m_outputProfile));
  request.folder = GetDefaultDir(kDirOutput);
  request.flags = kSaveDialogFlags;
  request.comment = comment;
  // A failed save asks again, until the user cancels.
  for (FileAnswer choice; ChooseFile(request, choice);) {
    if (SaveDocument(choice.path)) return;
  }
}

void CTrillotApp::SaveAsKZ35() {
  CKZ1Doc& doc = *GetDocument();
  if (!doc.CheckDensity()) return;
  const int profile = m_outputProfile;
  const bool velkDialog = profile == 2 || profile == 3 || profile == 5 || profile == 8;
  FileRequest request;
  request.open = false;
  request.kind = velkDialog ? FileDialogKind::SaveVelk : FileDialogKind::Plain;
  request.defaultExtension = SongExtensionOfProfile(profile);
  request.filter = Text(SongFilterIdOfProfile(profile));
  request.folder = GetDefaultDir(kDirOutput);
  request.flags = velkDialog ? kSaveDialogFlags : kSaveFlags;
  request.compressShow = (profile == 3 || profile == 5) ? kShowNoActivate : 0;
  request.dvxShow = 0;  // the DVX switch is off in this build
  // A failed save asks again, until the user cancels.
  for (FileAnswer choice; ChooseFile(request, choice);) {
    if (!FitsFileTitleLimit(choice.path)) {
      platform::ShowMessage(kMsgFileNameTooLong);
      return;
    }
    int timeBase = 20;
    int option = 0;
    int flag = 0;
    if (IsMFiProfile(profile)) {
      timeBase = 1;
    } else if (velkDialog) {
      timeBase = choice.timeBaseMs;
      option = choice.compress;
      flag = choice.dvx;
    }
    const unsigned shownBefore = platform::messages().ShownCount();
    if (!doc.BuildOutputImage(1, std::string(), timeBase, option, flag)) {
      doc.DeleteOutputImages();
      SayUnlessSaid(shownBefore, IsMFiProfile(profile) ? kMsgCannotSaveMFi : kMsgCannotSaveVelk);
      return;
    }
    // The user declined a question while the image was built: nothing is saved.
    if (doc.GetOpenFlag()) {
      doc.DeleteOutputImages();
      return;
    }
    doc.SetCnvOptionFlag(option);
    doc.SetTimeBaseMs(timeBase);
    if (velkDialog) doc.SetExportOption3(flag);
    if (!SaveDocument(choice.path)) continue;
    if (IsMFiProfile(profile)) {
      platform::messages().AddAccessLog(kLogSaveMFi, FileNameOf(choice.path), {});
    } else if (velkDialog) {
      platform::messages().AddAccessLog(kLogSaveVelk, FileNameOf(choice.path), {});
    }
    return;
  }
}

void CTrillotApp::OnFileExportSMF() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || !(m_chipMode == 1 || IsGen35(m_chipMode)) || !doc->CheckDensity()) return;
  auto wait = platform::ui().ShowWaitCursor();
  if (m_chipMode == 1) {
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
  } else {
    ExportSmfKZ35();
  }
  RefreshAfterFileCommand(false);
}

void CTrillotApp::ExportSmfKZ35() {
  CMemStream native;
  if (!BuildNativeData(*GetDocument(), native)) {
    platform::ShowMessage(ExportFailedMessage());
    return;
  }
  uint32_t result = 0;
  const unsigned shownBefore = platform::messages().ShownCount();
  const std::vector<uint8_t> smf = ConvertNativeData(native, kSmfConverter, kSmfGrowth, m_chipMode == 3, result);
  if (!IsConvertSuccess(result)) {
    SayUnlessSaid(shownBefore, ExportFailedMessage());
    return;
  }
  WriteExportFile(smf, {kStringExtMid, kStringFilterMid, true, kLogExportSmf});
}

void CTrillotApp::WriteExport(const std::vector<uint8_t>& bytes) {
  WriteExportFile(bytes, {kStringExtMid, kStringFilterMid, false, kLogExportSmf});
}

bool CTrillotApp::WriteExportFile(const std::vector<uint8_t>& bytes, const ExportTarget& target) {
  std::string path = GetOutputPath();
  std::string logged = path;
  if (path.empty()) {
    FileRequest request;
    request.open = false;
    request.defaultExtension = Text(target.extension);
    request.filter = Text(target.filter);
    request.folder = GetDefaultDir(kDirOutput);
    request.flags = kSaveFlags;
    FileAnswer choice;
    if (!ChooseFile(request, choice)) return false;
    if (target.titleLimit && !FitsFileTitleLimit(choice.path)) {
      platform::ShowMessage(kMsgFileNameTooLong);
      return false;
    }
    path = choice.path;
    logged = FileNameOf(path);
  }
  // Written beside the target and renamed over it, so a failed export leaves the old file.
  platform::FileError error;
  if (!platform::WriteFileAtomic(path, bytes, &error)) {
    platform::ShowMessage(ExportFailedMessage());
    platform::NoteFileFailure(error);
    return false;
  }
  m_outputWritten = true;
  if (target.logId) platform::messages().AddAccessLog(target.logId, logged, {});
  return true;
}

void CTrillotApp::OnFileExportHardware() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || !IsGen35(m_chipMode) || !doc->CheckDensity()) return;
  auto wait = platform::ui().ShowWaitCursor();
  CMemStream native;
  if (!BuildNativeData(*doc, native)) {
    platform::ShowMessage(IsMFiProfile(m_outputProfile) ? kMsgCannotSaveMFi : kMsgCannotSaveVelk);
  } else {
    uint32_t result = 0;
    const std::vector<uint8_t> image =
        ConvertNativeData(native, kHardwareConverter, kHardwareGrowth, m_chipMode == 3, result);
    // Chip mode 5 has no texts of its own for the hardware file: it shows the generation-3 ones.
    if (IsConvertSuccess(result)) {
      WriteExportFile(image, {kStringExtHardware, kStringFilterHardware, true, kLogExportHardware});
    }
  }
  RefreshAfterFileCommand(false);
}

void CTrillotApp::OnFileExportNative() {
  CKZ1Doc* doc = GetDocument();
  if (!doc || !IsGen35(m_chipMode)) return;
  CMemStream native;
  if (!BuildNativeData(*doc, native)) {
    platform::ShowMessage(IsMFiProfile(m_outputProfile) ? kMsgCannotSaveMFi : kMsgCannotSaveVelk);
    return;
  }
  WriteExportFile(std::vector<uint8_t>(native.GetData(), native.GetData() + native.GetSize()),
                  {kStringExtNative, kStringFilterNative, true, 0});
}

void CTrillotApp::OnFileDirectPlay() {
  if (!QueryCloseSong()) return;
  FileRequest request;
  request.filter = Text(DirectPlayFilterIdOfProfile(m_outputProfile));
  request.folder = GetDefaultDir(kDirInput);
  request.flags = fileflags::kPathMustExist | fileflags::kHideReadOnly | fileflags::kLongNames;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!IsDirectPlayFile(choice.path)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else if (IMainFrame* frame = GetMainFrame()) {
      frame->OpenDirectPlay(choice.path);
    }
  }
  RefreshAfterFileCommand(true);
}

bool CTrillotApp::OnUpdateFileSave() const {
  const IMainFrame* frame = GetMainFrame();
  if (!GetDocument() || (frame && !frame->SongMenuHasCommand(57603))) return false;
  return OnUpdateFileSaveAs();
}

bool CTrillotApp::OnUpdateFileSaveAs() const {
  const CKZ1Doc* doc = GetDocument();
  if (!doc) return false;
  if (m_chipMode == 1 || m_chipMode == 2) return true;
  if (m_chipMode != 3) return false;
  if (m_outputProfile == output_profile::kVELKPhrase && doc->GetViewFlag() != 1) return false;
  const int kind = SongConverterKind(m_outputProfile, m_makerId);
  return kind != 0 && platform::binder().IsAvailable(kind, 1) != 0;
}

bool CTrillotApp::OnUpdateFileExportSMF() const {
  const CKZ1Doc* doc = GetDocument();
  return doc && doc->HasTickUnit();
}

bool CTrillotApp::OnUpdateFileExportHardware() const {
  return m_chipMode == 3 && GetDocument() && m_outputProfile >= 1 && m_outputProfile <= 8 &&
         platform::binder().IsAvailable(kHardwareConverter, 1) != 0;
}

bool CTrillotApp::OnUpdateFileDirectPlay() const { return m_outputProfile >= 1 && m_outputProfile <= 8; }
