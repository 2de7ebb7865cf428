// The application object's board connection, sound-device set-up and board-link wrappers.
#include <cstdlib>
#include <string>

#include "app/core/MessageStyle.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "device/SoundDeviceSetup.h"
#include "platform/host/HostServices.h"
#include "platform/strings/StringTable.h"
#include "platform/sys/Clock.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgUnexpectedProblem = 7081;
constexpr int kMsgIllegalIni = 7083;
constexpr int kMsgExitHeadline = 7127;
constexpr int kMsgBoardUnexpected = 7128;
constexpr int kMsgNonsupportBoard = 7129;
constexpr int kMsgBoardNotFound = 7130;
constexpr int kMsgConfirmReset = 7133;

// A board that keeps answering "\0\0" must not hold the start for ever.
constexpr uint32_t kHandshakeLimitMs = 15000;

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

int LowByte(int value) { return value & 0xFF; }

/// The decimal value of the board's two answer characters.
int DecimalValue(const char answer[2]) {
  const char text[3] = {answer[0], answer[1], '\0'};
  return static_cast<int>(std::strtol(text, nullptr, 10));
}

}  // namespace

IOutputEngine* CTrillotApp::Engine() const { return m_mainFrame ? m_mainFrame->GetBoardDevice() : nullptr; }

void CTrillotApp::EndAfterBrokenLink() {
  const int code = HasOutputPath() ? 1 : 2;
  platform::profile().Flush();  // the exit skips the store's own close
  if (m_exitProcess) {
    m_exitProcess(code);
  } else {
    std::exit(code);
  }
}

int CTrillotApp::OpenBoardPort(int port) {
  m_boardLink.reset();
  if (port == 0) {
    m_boardComPort = 0;
    if (m_mainFrame) m_mainFrame->EnableBoardMonitor(false);
    return 1;
  }
  try {
    m_boardLink = m_boardLinkFactory(SerialDeviceName(port));
    // A dead board must not open as a working one: a failed link test fails the open.
    if (!m_boardLink || !TestBoardLink()) {
      m_boardLink.reset();
      return 0;
    }
    char answer[2] = {0, 0};
    const uint32_t start = platform::GetTickCount();
    for (;;) {
      if (!BoardHandshake(answer)) {
        m_boardLink.reset();
        return 0;
      }
      if (answer[0] != 0 || answer[1] != 0) break;
      if (platform::GetTickCount() - start >= kHandshakeLimitMs) {
        m_boardLink.reset();
        return 0;
      }
    }
    m_boardReplyValue = DecimalValue(answer);
    m_boardComPort = port;
    if (m_mainFrame) m_mainFrame->EnableBoardMonitor(true);
    if (HasSongOpen()) {
      MarkSongForBoard();
    } else {
      m_boardFlag = 0;
    }
    return 1;
  } catch (...) {
    m_boardLink.reset();
    return 0;
  }
}

int CTrillotApp::CheckBoardLink() {
  if (m_boardLink && !TestBoardLink()) {
    platform::ShowMessage(kMsgUnexpectedProblem);
    EndAfterBrokenLink();
    return 0;
  }
  return 1;
}

int CTrillotApp::SetHardwareMode(int chipMode) {
  IOutputEngine* engine = Engine();
  int result = 0;
  if (chipMode == 3) {
    SetChipMode(3);
    result = engine ? engine->SetupSoundDevice(3) : 0;
  } else if (chipMode == 5) {
    SetChipMode(ReadProfileSetting(profile_keys::kTrMode));
    // Selector 4 belongs to a switch that is fixed at 1.
    result = engine ? engine->SetupSoundDevice(2) : 0;
  } else {
    return 0;
  }
  if (result == 1 && m_mainFrame) m_mainFrame->UpdateStatusPanes();
  return result;
}

int CTrillotApp::CheckBoardForChipMode(int chipMode, int showFlag) {
  std::string text;
  int fit = 0;
  if (chipMode == 3) {
    fit = CheckBoardKZ3(text);
  } else if (chipMode == 5) {
    fit = CheckBoardKZ5(text);
  } else {
    text = Text(kMsgIllegalIni);
  }
  if (!fit && showFlag == 1) {
    platform::messages().DoMessageBoxUnlessBatch(0, text, message_box::kIconStop, 0);
  }
  return fit;
}

int CTrillotApp::CheckBoardKZ3(std::string& text) {
  IOutputEngine* engine = Engine();
  if (m_chipMode != 3 || !engine) return 0;
  const int kind = engine->GetConnectionKind();
  if (kind == 3 || kind == 4) return 1;
  if (kind != 1) return 0;
  text = Text(kMsgExitHeadline);
  if (engine->OpenBoard(0) == 0) {
    text += Text(kMsgBoardNotFound);
    return 0;
  }
  const int value = engine->QueryBoard(2);
  if (value == 0) return engine->QueryBoard(3) != 0 ? 1 : 0;
  text += Text(value == 1 ? kMsgNonsupportBoard : kMsgBoardNotFound);
  return 0;
}

int CTrillotApp::CheckBoardKZ5(std::string&) { return 0; }

void CTrillotApp::ApplyStreamPcmReserve() {
  IOutputEngine* engine = Engine();
  if (!engine) return;
  if (m_chipMode == 3) {
    engine->ResetBoard();
    engine->SendBoardCommand11(ModeValueFromSetting(ReadProfileSetting(profile_keys::kModeSetting)));
    engine->SendBoardCommand07(ReadProfileSetting(profile_keys::kStreamPCMReserve));
    engine->SendBoardCommand09b(100);
    GetProfileParam();
    ApplyBlinkSettings();
  } else if (m_chipMode == 5) {
    if (engine->GetConnectionKind() == 4) GetProfileParam();
    ApplyBlinkSettings();
  }
}

void CTrillotApp::ApplyBlinkSettings() {
  IOutputEngine* engine = Engine();
  if (!engine) return;
  engine->SendBoardParam03_06(ReadProfileSetting(profile_keys::kBlinkLED));
  engine->SendBoardParam03_09(ReadProfileSetting(profile_keys::kBlinkMTR));
}

void CTrillotApp::GetProfileParams(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d) const {
  ProfileParams p = ::GetProfileParams(m_outputProfile, m_makerId, m_mainFrame && m_mainFrame->GetTBOption());
  a = p.a;
  b = p.b;
  c = p.c;
  d = p.d;
}

void CTrillotApp::GetProfileParam() {
  uint8_t a = 0, b = 0, c = 0, d = 0;
  GetProfileParams(a, b, c, d);
  IOutputEngine* engine = Engine();
  if (a == 0xFF || !engine) return;
  engine->SendBoardCommand13(a, b, c, d);
}

int CTrillotApp::SendNativeReset(int confirm) {
  if (confirm == 1 && platform::ShowMessage(kMsgConfirmReset) != message_box::kIdOk) return 0;
  IOutputEngine* engine = Engine();
  if (!engine) return 0;
  const int kind = engine->GetConnectionKind();
  if (kind >= 2 && kind <= 4 && !SetHardwareMode(m_chipMode)) {
    platform::ShowMessage(kMsgUnexpectedProblem);
    EndAfterBrokenLink();
    return 0;
  }
  m_mainFrame->OnStop();
  ApplyStreamPcmReserve();
  if (engine->GetConnectionKind() == 1) m_mainFrame->LoadVolumeBar(1);
  int result = HasSongOpen() ? MarkSongForConversion() : 0;
  engine->ClearSentState();
  return result;
}

// --- Board-link wrappers ---------------------------------------------------------------------

int CTrillotApp::StartBoardPlayback() {
  if (!m_boardLink || !m_songOnBoard) return 0;
  return LowByte(m_boardLink->SetPlayParams(0, GetMasterVolume(), GetHpVolume()));
}

int CTrillotApp::ResetBoardLink() {
  if (!m_boardLink || !m_songOnBoard) return 0;
  return LowByte(m_boardLink->Reset());
}

int CTrillotApp::RewindBoardPlayback() {
  if (!m_boardLink || !m_songOnBoard) return 0;
  m_boardPlaybackState = 0;
  return 1;
}

int CTrillotApp::SendBoardSetup(int a, const uint8_t p[8], int c, int d) {
  if (!m_boardLink) return 0;
  return LowByte(m_boardLink->SendSetup(a, p, c, d, GetMasterVolume(), GetHpVolume()));
}

int CTrillotApp::BoardHandshake(char answer[2]) {
  if (!m_boardLink) return 0;
  return LowByte(m_boardLink->Handshake(answer));
}

int CTrillotApp::QueryBoardStatus(uint32_t* result) {
  if (!m_boardLink) return 0;
  return LowByte(m_boardLink->QueryStatus(result, m_boardQueryParam));
}

int CTrillotApp::TestBoardLink() {
  if (!m_boardLink) return 0;
  char scratch[2] = {0, 0};
  return LowByte(m_boardLink->Handshake(scratch));
}

bool CTrillotApp::HasSongOpen() const { return m_document != nullptr; }

void CTrillotApp::MarkSongForBoard() {
  if (m_document) m_document->SetModifiedFlags(0);
}

int CTrillotApp::MarkSongForConversion() {
  if (!m_document) return 0;
  m_document->AddModifiedFlags(CKZ1Doc::kFlagUnsent);
  return 1;
}
