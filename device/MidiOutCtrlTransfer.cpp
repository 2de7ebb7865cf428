// The song transfer before play: the song's native data converted by a plug-in, sent to the
// board in pieces or loaded into the emulator player, then the start.
#include <memory>
#include <new>
#include <vector>

#include "app/CnvParam.h"
#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/SoundDeviceSetup.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SmfVoiceScan.h"
#include "song/SongPrimitives.h"
#include "song/SongSetup.h"
#include "song/Stopwatch.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgCannotPlay = 7001;
constexpr int kMsgMonoOver = 7003;
constexpr int kMsgCheck8BitStream = 7004;
constexpr int kMsg8BitStream = 7005;
constexpr int kMsgReportProblem = 7006;
constexpr int kMsgReportSize = 7007;
constexpr int kBusySending = 6;
constexpr int kPhraseConverter = 17;
constexpr uint32_t kPhraseFlags = 0x50;
constexpr uint32_t kReportBadSize = 0x80000001u;
constexpr const char* kSendingWatch = "TMidiOutCtrl::play_midi_list_KZ3() Now Sending...";

const uint8_t kBeginSong[] = {0xF0, TMidiOutCtrl::kMaker, 0x79, 0x05, 0x7E, 0x00, 0xF7};
const uint8_t kEndSong[] = {0xF0, TMidiOutCtrl::kMaker, 0x79, 0x05, 0x7E, 0x01, 0xF7};
const uint8_t kStartSong[] = {0xF0, TMidiOutCtrl::kMaker, 0x79, 0x05, 0x7E, 0x03, 0x01, 0xF7};
const uint8_t kPieceHeader[] = {0xF0, TMidiOutCtrl::kMaker, 0x79, 0x05, 0x00};

int ChipMode() { return platform::settings().GetChipMode(); }
int Profile() { return platform::settings().GetOutputProfile(); }
int OutputFormat() { return platform::profile().GetProfileInt("Setting", "OutputFormat", 3); }
bool RepeatOn() { return appPlayState().repeat.load(); }
CKZ1Doc* Document() { return platform::registry().document; }
bool SendsSectionValues(int profile) { return (profile >= 2 && profile <= 5) || profile == 8; }

/// The plug-in, its destination size and its flags for an "OutputFormat"; kind 0: none.
struct Conversion {
  int kind = 0;
  uint32_t factor = 0;
  uint32_t flags = 0;
};

int MFiKind(int chip, int profile, int maker) {
  if (chip != 3) return 10;
  if (profile == 6) {
    switch (maker) {
      case 1: return 14;
      case 2: return 15;
      case 4: return 16;
      default: return 10;
    }
  }
  return (maker >= 1 && maker <= 4) ? 9 + maker : 10;
}

uint32_t TimeBaseFlags(int value) {
  switch (value) {
    case 5: return 0x30;
    case 10: return 0x40;
    case 20: return 0x50;
    default: return 0x20;
  }
}

Conversion ChooseConversion(const CKZ1Doc& doc, int format) {
  const uint32_t mode = VoiceModeBits(GetModeSetting());
  switch (format) {
    case 0: return {9, 4, mode};
    case 2: return {7, 7, mode};
    case 3: {
      uint32_t flags = mode | TimeBaseFlags(doc.GetTimeBaseKZ3());
      if (doc.GetCnvOptionFlag()) flags |= 0x80;
      if (Profile() == 5) flags |= 0x08000000u;
      return {8, 2, flags};
    }
    case 4: return {MFiKind(ChipMode(), Profile(), platform::settings().GetMakerID()), 4, mode};
    default: return {};
  }
}

/// The native data; 0 when the song gave none (a thrown failure counts as none).
int BuildNative(CKZ1Doc& doc, CMemStream& native) {
  try {
    return doc.makeKZ3NativeFormat(native, 1, 1) == 1 ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

/// The voice scan's verdict by output profile: 0 ends the transfer.
int CheckVoices(const CMemStream& native) {
  const int profile = Profile();
  if (profile == 4 || profile == 5 || profile == 6) return 1;
  const int mode = GetModeSetting();
  CSmfVoiceScan scan;
  int status = 0;
  if (scan.Scan(native.GetData(), static_cast<uint32_t>(native.GetSize()), (mode == 1 || mode == 2) ? 1 : 0,
                &status) != 1) {
    return 0;
  }
  if (scan.GetCheckFlags() & CSmfVoiceScan::kCheckOverLimit) {
    platform::ShowMessage(kMsgMonoOver);
    return 0;
  }
  if (scan.GetStreamFlags() != 0) {
    if (profile == 1) {
      platform::ShowMessage(kMsg8BitStream);
      return 0;
    }
    if ((profile == 2 || profile == 3 || profile == 8) && ChipMode() == 3) platform::ShowMessage(kMsgCheck8BitStream);
  }
  return 1;
}

/// A zero-filled destination of `size` bytes; null when it cannot be had.
std::unique_ptr<uint8_t[]> NewDestination(uint64_t size) {
  if (size == 0 || size > 0xFFFFFFFFu) return nullptr;
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

/// A result the plug-in claims beyond the destination is a failure: those bytes are not its.
uint32_t CheckedResult(uint32_t result, uint32_t capacity) {
  return (IsConvertSuccess(result) && result > capacity) ? CNVERR_FAILED : result;
}

}  // namespace

// --- Conversion and sending ------------------------------------------------------------------

int TMidiOutCtrl::SendSongPieces(const uint8_t* data, uint32_t size, bool waitBeforeEach) {
  uint32_t at = 0;
  while (size - at > kPieceSize) {
    if (waitBeforeEach && !WaitReady()) return 0;
    SendPackedData(data + at, kPieceSize, kPieceHeader, sizeof kPieceHeader, true);
    at += kPieceSize;
  }
  SendPackedData(data ? data + at : nullptr, size - at, kPieceHeader, sizeof kPieceHeader, true);
  return 1;
}

void TMidiOutCtrl::SendSectionTimes() {
  CKZ1Doc* doc = Document();
  if (!doc || !SendsSectionValues(Profile())) return;
  const int section = GetLoopMode();
  SendBoardValue06(doc->GetSectionStartTime(0, 0));
  SendBoardValue07(doc->GetCueSectionTime(0, 0));
  SendBoardValue06(doc->GetSectionStartTime(section, 0));
  SendBoardValue07(doc->GetCueSectionTime(section, 0));
}

int TMidiOutCtrl::SendConvertedSong(const uint8_t* data, uint32_t size, bool& ok) {
  ok = false;
  CStopwatch watch(kSendingWatch);
  auto busy = platform::ui().ShowBusyPicture(kBusySending);
  if (m_connectionKind == 2) {
    const platform::IAppSettings& app = platform::settings();
    m_player.ResetEmulator(2, MapDeviceMode(2, app.GetOutputProfile(), app.GetMakerID()));
    platform::ui().UpdateStatusPanes();
  }
  SetBoardSwitch(RepeatOn());
  if (m_connectionKind == 1) {
    OpenBoardPorts(kBeginSong, sizeof kBeginSong);
    if (!SendSongPieces(data, size, true)) return 0;
    SendSysEx(kEndSong, sizeof kEndSong);
    SendSectionTimes();
  } else if (IsEmulatorConnection()) {
    m_player.Close(0);
    m_player.Unload(0);
    if (m_player.Load(data, static_cast<int32_t>(size), 1, nullptr, 0) < 0) return 0;
    m_player.Open(0, 0);
    SendSectionTimes();
    m_player.Standby(0);
  }
  CKZ1Doc* doc = Document();
  platform::IUiHooks& ui = platform::ui();
  SendBoardValue0A(ui.GetTimeRangeSpan(), 1);
  ui.ClearTimeRange();
  if (doc) SetPlayPosition(doc->GetSectionStartTime(GetLoopMode(), 0));
  SendBoardParam03_11(ui.GetKeyChange());
  SendBoardParam03_10(ui.GetTempoChange());
  if (doc) doc->SetModifiedFlags(CKZ1Doc::kFlagUnsent);
  ok = true;
  return 1;
}

int TMidiOutCtrl::play_midi_list_KZ3() {
  if (!IsThruActive() && m_out) {
    ResetMidiOut(m_out.get());
    ClosePorts(m_out, m_in);
  }
  if (!OpenPorts()) return 0;
  int result = 1;
  CKZ1Doc* doc = Document();
  if (doc) {
    if (doc->CheckDensityForBoard() != 1) return 0;
    if (doc->TestModifiedFlags(CKZ1Doc::kFlagUnsent)) result = TransferSong(*doc);
  }
  if (result) {
    if (m_connectionKind == 1) {
      SendSysEx(kStartSong, sizeof kStartSong);
    } else if (IsEmulatorConnection()) {
      m_player.Start(0);
    }
  }
  return result;
}

int TMidiOutCtrl::TransferSong(CKZ1Doc& doc) {
  CMemStream native;
  if (!BuildNative(doc, native)) return 0;
  if (!CheckVoices(native)) return 0;
  const int format = OutputFormat();
  const Conversion conversion = ChooseConversion(doc, format);
  const auto nativeSize = static_cast<uint32_t>(native.GetSize());
  if (conversion.kind == 0) {
    bool ok = false;
    return SendConvertedSong(native.GetData(), nativeSize, ok);
  }
  CnvParam param{};
  param.flags = conversion.flags;
  param.src = native.GetData();
  param.srcSize = nativeSize;
  std::unique_ptr<uint8_t[]> destination;
  if (ChipMode() == 3) {
    destination = NewDestination(static_cast<uint64_t>(nativeSize) * conversion.factor);
    if (!destination) return 0;
    param.dst = destination.get();
    param.dstSize = nativeSize * conversion.factor;
  }
  const uint32_t capacity = param.dstSize;
  const int profile = Profile();
  const bool withReport =
      format == 4 && (profile == 1 || profile == 7) && platform::settings().GetMakerID() == 4;
  uint32_t report = 0;
  uint32_t reportStatus = CNVERR_FAILED;
  uint32_t result = withReport
                        ? platform::binder().ConvertAndGetReport(param, conversion.kind, 1, report, reportStatus)
                        : platform::binder().Convert(param, conversion.kind, 1);
  result = CheckedResult(result, capacity);
  if (!IsConvertSuccess(result)) {
    platform::reports().ReportConvertResult(conversion.kind, result, param.flags);
    return 0;
  }
  platform::reports().ReportConverterNotes(conversion.kind, param.flags);
  if (withReport) {
    if (reportStatus == CNVERR_FAILED) platform::ShowMessage(kMsgReportProblem);
    if (reportStatus == kReportBadSize) platform::ShowMessage(kMsgReportSize);
    if (!IsConvertSuccess(reportStatus) && reportStatus != 0) return 0;
    doc.SetConverterReport(report);
  }
  // Without a destination (chip mode 5) there is nothing converted to send.
  if (!param.dst) return 0;
  bool ok = false;
  return SendConvertedSong(param.dst, result, ok);
}

// --- Phrase playback -------------------------------------------------------------------------

int TMidiOutCtrl::ConvertPhrases(CKZ1Doc& doc, std::vector<uint8_t> converted[4]) {
  CMemStream streams[4];
  CMemStream* targets[4] = {&streams[0], &streams[1], &streams[2], &streams[3]};
  try {
    doc.makeKZ3NativeFormat2(targets, 1);
  } catch (...) {
    return 0;
  }
  for (int ch = 0; ch < 4; ++ch) {
    const auto size = static_cast<uint32_t>(streams[ch].GetSize());
    if (size == 0) continue;
    CnvParam param{};
    param.flags = kPhraseFlags | VoiceModeBits(GetModeSetting());
    param.src = streams[ch].GetData();
    param.srcSize = size;
    std::unique_ptr<uint8_t[]> destination;
    if (ChipMode() == 3) {
      destination = NewDestination(static_cast<uint64_t>(size) * 2);
      if (!destination) return 0;
      param.dst = destination.get();
      param.dstSize = size * 2;
    }
    const uint32_t capacity = param.dstSize;
    const uint32_t result = CheckedResult(platform::binder().Convert(param, kPhraseConverter, 1), capacity);
    if (!IsConvertSuccess(result)) {
      platform::reports().ReportConvertResult(kPhraseConverter, result, param.flags);
      return 0;
    }
    platform::reports().ReportConverterNotes(kPhraseConverter, param.flags);
    if (!param.dst) return 0;
    converted[ch].assign(param.dst, param.dst + result);
  }
  return 1;
}

int TMidiOutCtrl::SendPhrases(CKZ1Doc& doc, const std::vector<uint8_t> converted[4]) {
  CStopwatch watch(kSendingWatch);
  auto busy = platform::ui().ShowBusyPicture(kBusySending);
  if (m_connectionKind == 2) {
    const platform::IAppSettings& app = platform::settings();
    m_player.ResetEmulator(2, MapDeviceMode(2, app.GetOutputProfile(), app.GetMakerID()));
    platform::ui().UpdateStatusPanes();
  }
  int first = -1;
  int later = 0;
  for (int ch = 0; ch < 4; ++ch) {
    if (converted[ch].empty()) continue;
    if (first < 0) {
      first = ch;
    } else {
      later |= 1 << ch;
    }
  }
  // No phrase data means phrase channel 0.
  m_phraseChannel = static_cast<uint8_t>(first < 0 ? 0 : first);
  if (m_connectionKind == 1) {
    for (int ch = 0; ch < 4; ++ch) SendChannelOff(ch);
    for (int ch = 0; ch < 4; ++ch) {
      if (converted[ch].empty()) continue;
      if (!SendLongData(ch + 1, converted[ch].data(), static_cast<uint32_t>(converted[ch].size()), true)) return 0;
    }
    for (int ch = 0; ch < 4; ++ch) {
      if (!converted[ch].empty()) SendChannelOn(ch);
    }
    if (later) SendChannelValue18(m_phraseChannel, later);
    SendChannelValue12(m_phraseChannel, RepeatOn() ? 0 : 1);
  } else if (IsEmulatorConnection()) {
    for (int ch = 0; ch < 4; ++ch) {
      m_player.SetPhraseData(ch, nullptr, 0, 1);
      if (!converted[ch].empty()) {
        m_player.SetPhraseData(ch, converted[ch].data(), static_cast<int32_t>(converted[ch].size()), 1);
      }
    }
    SendSectionTimes();
    if (m_rewind || platform::ui().HasTimeRange()) {
      SendChannelValue1A(m_phraseChannel, platform::ui().GetTimeRangeSpan());
      platform::ui().ClearTimeRange();
    }
    SetPlayPosition(doc.GetSectionStartTime(GetLoopMode(), 0));
  }
  doc.SetModifiedFlags(CKZ1Doc::kFlagUnsent);
  return 1;
}

void TMidiOutCtrl::StartPhraseChannel() {
  if (m_connectionKind == 1) {
    platform::IUiHooks& ui = platform::ui();
    int mode = 3;
    if (m_rewind || ui.HasTimeRange()) {
      SendChannelValue1A(m_phraseChannel, ui.GetTimeRangeSpan());
      ui.ClearTimeRange();
      mode = 1;
    }
    SendChannelValue13(m_phraseChannel, mode);
    m_rewind = 0;
  } else if (IsEmulatorConnection()) {
    m_player.SetRepeat(RepeatOn() ? 0 : 1);
    m_player.Start(0);
  }
}

int TMidiOutCtrl::play_midi_list_KZ3Phrase() {
  if (!IsThruActive() && m_out) {
    ResetMidiOut(m_out.get());
    ClosePorts(m_out, m_in);
  }
  if (!OpenPorts()) return 0;
  CKZ1Doc* doc = Document();
  if (doc && doc->TestModifiedFlags(CKZ1Doc::kFlagUnsent)) {
    std::vector<uint8_t> converted[4];
    if (!ConvertPhrases(*doc, converted)) return 0;
    if (!SendPhrases(*doc, converted)) return 0;
  }
  StartPhraseChannel();
  return 1;
}

// --- Chip mode 2 -----------------------------------------------------------------------------

int TMidiOutCtrl::PrepareBoardPlay() {
  if (m_out) ClosePorts(m_out, m_in);
  if (!OpenPorts()) return 0;
  CKZ1Doc* doc = Document();
  bool exported = true;
  if (doc) {
    SongOutputRecord setup{};
    doc->BuildOutputSetup(setup, 0);
    if (doc->TestModifiedFlags(CKZ1Doc::kFlagUnsent)) {
      CMemStream image;
      try {
        exported = doc->ExportVelk(image, 0, std::string(), setup, 0, 0, 0) != 0;
      } catch (...) {
        exported = false;
      }
      if (exported) {
        SendSysEx(kBeginSong, sizeof kBeginSong);
        SendSongPieces(image.GetData(), static_cast<uint32_t>(image.GetSize()), false);
        SendSysEx(kEndSong, sizeof kEndSong);
      }
    }
  }
  if (exported) SendSysEx(kStartSong, sizeof kStartSong);
  return 1;
}

// --- Direct play -----------------------------------------------------------------------------

bool TMidiOutCtrl::ReopenPortsForSong() {
  if (!IsThruActive() && m_out) {
    ResetMidiOut(m_out.get());
    ClosePorts(m_out, m_in);
  }
  return OpenPorts() != 0;
}

void TMidiOutCtrl::ResetEmulatorForSong() {
  if (m_connectionKind != 2) return;
  const platform::IAppSettings& app = platform::settings();
  m_player.ResetEmulator(2, MapDeviceMode(2, app.GetOutputProfile(), app.GetMakerID()));
  platform::ui().UpdateStatusPanes();
}

int TMidiOutCtrl::SendSongToBoard(const uint8_t* image, uint32_t size) {
  if (!ReopenPortsForSong()) return 0;
  auto busy = platform::ui().ShowBusyPicture(kBusySending);
  ResetEmulatorForSong();
  SetBoardSwitch(RepeatOn());
  if (m_connectionKind == 1) {
    OpenBoardPorts(kBeginSong, sizeof kBeginSong);
    if (!SendSongPieces(image, size, true)) return 0;
    SendSysEx(kEndSong, sizeof kEndSong);
  } else if (IsEmulatorConnection()) {
    m_player.Close(0);
    m_player.Unload(0);
    if (!image || m_player.Load(image, static_cast<int32_t>(size), 1, nullptr, 0) < 0) {
      platform::ShowMessage(kMsgCannotPlay);
      return 0;
    }
    m_player.Open(0, 0);
    m_player.Standby(0);
  }
  SendBoardParam03_11(platform::ui().GetKeyChange());
  SendBoardParam03_10(platform::ui().GetTempoChange());
  return 1;
}

int TMidiOutCtrl::SendSongToBoard2(const uint8_t* image, uint32_t size) {
  if (!ReopenPortsForSong()) return 0;
  auto busy = platform::ui().ShowBusyPicture(kBusySending);
  ResetEmulatorForSong();
  const bool hasData = image && size > 0;
  if (m_connectionKind == 1) {
    for (int ch = 0; ch < 4; ++ch) SendChannelOff(ch);
    if (!SendLongData(1, image, hasData ? size : 0, true)) return 0;
    SendChannelOn(0);
    if (hasData) m_phraseChannel = 0;
    SendChannelValue12(m_phraseChannel, RepeatOn() ? 0 : 1);
  } else if (IsEmulatorConnection()) {
    m_player.SetRepeat(RepeatOn() ? 0 : 1);
    for (int ch = 0; ch < 4; ++ch) m_player.SetPhraseData(ch, nullptr, 0, 1);
    if (hasData) m_player.SetPhraseData(0, image, static_cast<int32_t>(size), 1);
  }
  SendBoardParam03_11(platform::ui().GetKeyChange());
  SendBoardParam03_10(platform::ui().GetTempoChange());
  return 1;
}

int TMidiOutCtrl::PrepareDirectPlay() {
  if (!IsThruActive() && m_out) {
    ResetMidiOut(m_out.get());
    ClosePorts(m_out, m_in);
  }
  if (!OpenPorts() || Document() || !appPlayState().directPlayImageSent.load()) return 0;
  if (m_connectionKind == 1) {
    if (Profile() == 4) {
      StartPhraseChannel();
    } else {
      SendSysEx(kStartSong, sizeof kStartSong);
    }
    return 1;
  }
  if (IsEmulatorConnection()) {
    m_player.SetRepeat(RepeatOn() ? 0 : 1);
    m_player.Start(0);
    return 1;
  }
  return 0;
}
