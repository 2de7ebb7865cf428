#include "voice/ui/KZxVoiceEditDlg.h"

#include "app/core/MainFrame.h"
#include "app/core/OutputEngine.h"
#include "app/core/TrillotApp.h"
#include "device/EmuPlayer.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"
#include "voice/VoiceEditRules.h"
#include "voice/ui/KZxVoiceEditPropertyPageFM.h"
#include "voice/ui/KZxVoiceEditPropertyPagePCM.h"

using voiceedit::IsFullProfile;
using voiceedit::IsPhraseProfile;

CKZxVoiceEditDlg::CKZxVoiceEditDlg(const QString& caption, QWidget* parent, int, VoiceEditShell shell)
    : ui::PropertySheet(caption, parent), m_shell(shell) {
  if (m_shell.app) {
    m_mv = static_cast<uint8_t>(m_shell.app->GetEditorMasterVolume());
    m_velocity = static_cast<uint8_t>(m_shell.app->GetEditorVelocity());
    m_gt = static_cast<uint8_t>(m_shell.app->GetEditorGateTime());
  }
  m_fm = new CKZxVoiceEdit_PropertyPageFM(this);
  m_pcm = new CKZxVoiceEdit_PropertyPagePCM(this);
  const int profile = platform::settings().GetOutputProfile();
  if (platform::settings().GetChipMode() == 3) {
    AddPage(m_fm, QStringLiteral("FM Voice Edit"));
    if (!IsPhraseProfile(profile)) AddPage(m_pcm, QStringLiteral("PCM Voice Edit"));
  }
  // A page the sheet does not show stays a hidden child, so that it still goes with the sheet.
  if (IndexOf(m_fm) < 0) m_fm->hide();
  if (IndexOf(m_pcm) < 0) m_pcm->hide();
}

CKZxVoiceEditDlg::~CKZxVoiceEditDlg() {
  // The MV control's volume gives way to the application's again.
  SendMasterVolume(platform::settings().GetMasterVolume());
}

int CKZxVoiceEditDlg::IndexOf(const CVoiceEditPageBase* page) const {
  for (int i = 0; i < PageCount(); ++i)
    if (Page(i) == page) return i;
  return -1;
}

IOutputEngine* CKZxVoiceEditDlg::Engine() const {
  return m_shell.mainFrame ? m_shell.mainFrame->GetBoardDevice() : nullptr;
}

IOutputEngine* CKZxVoiceEditDlg::IdleBoard() const {
  IOutputEngine* e = Engine();
  if (!e || e->IsPlaying()) return nullptr;
  const int kind = e->GetConnectionKind();
  return (kind == 1 || kind == 2) ? e : nullptr;
}

int CKZxVoiceEditDlg::Init(const CVoiceItem& voice, int editSource, int) {
  m_editSource = editSource;
  m_msb = voice.GetBankMsb();
  m_lsb = voice.GetBankLsb();
  m_program = voice.GetProgram();
  m_editable = voice.IsUserEditable() ? 1 : 0;
  m_reference = voice;
  m_working = voice;
  const int profile = platform::settings().GetOutputProfile();
  uint8_t* gt = IsFullProfile(profile) ? &m_gt : nullptr;
  m_fm->Init(&m_reference, &m_working, m_editSource, m_editable, &m_mv, &m_velocity, gt);
  if (!IsPhraseProfile(profile)) m_pcm->Init(&m_reference, &m_working, m_editSource, m_editable, &m_mv, &m_velocity, gt);
  return 1;
}

bool CKZxVoiceEditDlg::RefusesToOpen() const {
  IOutputEngine* e = Engine();
  if (e && e->IsPlaying()) return true;
  if (m_msb == 0) return true;
  if (m_working.IsFixedBank()) return true;
  if (m_working.IsDrum() && (m_working.GetNote() < 13 || m_working.GetNote() > 91)) return true;
  return platform::profile().GetProfileInt("Setting", "KZ-3_ModeSetting", 0) == 2 && m_working.GetExtFlag() == 1;
}

int CKZxVoiceEditDlg::DoModal() {
  if (RefusesToOpen() || PageCount() == 0) return 2;
  SwitchSoundDevice(1);
  SendBankSelect(0, m_msb, m_lsb);
  SendProgramChange(0, m_program);
  m_running = true;
  SelectPageForVoice();
  ShowCurrentPage();
  const int result = exec() == QDialog::Accepted ? 1 : 2;
  m_running = false;
  SwitchSoundDevice(0);
  return result;
}

void CKZxVoiceEditDlg::ShowCurrentPage() {
  const int i = ActiveIndex();
  if (i < 0) return;
  auto* page = static_cast<CVoiceEditPageBase*>(Page(i));
  if (!page->IsOpened()) page->OnSetActive();
}

int CKZxVoiceEditDlg::SelectPageForVoice() {
  const int profile = platform::settings().GetOutputProfile();
  auto activate = [this](CVoiceEditPageBase* page, bool evenWhenActive) {
    const int index = IndexOf(page);
    if (index < 0) return 0;
    if (index == ActiveIndex() && !evenWhenActive) return 0;
    if (index == ActiveIndex()) {
      page->OnSetActive();
      return 1;
    }
    return SetActivePage(index) ? 1 : 0;
  };
  const bool pcm = m_reference.IsPcm() != 0;
  if (IsFullProfile(profile)) {
    if (m_reference.GetExtFlag()) return 0;
    return activate(pcm ? static_cast<CVoiceEditPageBase*>(m_pcm) : m_fm, false);
  }
  if (IsPhraseProfile(profile)) return activate(m_fm, pcm);
  return activate(pcm ? static_cast<CVoiceEditPageBase*>(m_pcm) : m_fm, true);
}

int CKZxVoiceEditDlg::SendBankSelect(int channel, int msb, int lsb) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendBankSelect(channel, msb, lsb) : 1;
}

int CKZxVoiceEditDlg::SendProgramChange(int channel, int program) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendProgramChange(channel, program) : 1;
}

int CKZxVoiceEditDlg::SendMasterVolume(int value) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendBoardCommand09(value) : 1;
}

int CKZxVoiceEditDlg::SendVoice(const CVoiceItem& voice) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendVoice(voice, 0) : 1;
}

int CKZxVoiceEditDlg::SendVoiceParams(const CVoiceItem& voice) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendVoiceParams(voice) : 1;
}

int CKZxVoiceEditDlg::SendBankVoices(const CVoiceItem& voice) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendBankVoices(voice) : 1;
}

int CKZxVoiceEditDlg::SendWaveId(int waveId) {
  IOutputEngine* e = IdleBoard();
  return e ? e->SendBoardCommand04(waveId) : 1;
}

const CNamedBlock* CKZxVoiceEditDlg::GetUserWave(int shape) const {
  return shape >= 0 && shape < 32 ? m_userWaves[static_cast<size_t>(shape)].get() : nullptr;
}

int CKZxVoiceEditDlg::SetUserWave(int shape, const uint8_t* bytes, uint32_t size) {
  IOutputEngine* e = Engine();
  if (!e || shape < 0 || shape >= 32) return 1;
  const int kind = e->GetConnectionKind();
  if (IdleBoard()) {
    e->SendBoardData0C(shape, bytes, size);
  } else if (kind == 3) {
    auto block = std::make_unique<CNamedBlock>();
    block->SetData(bytes, size);
    m_userWaves[static_cast<size_t>(shape)] = std::move(block);
  }
  return 1;
}

int CKZxVoiceEditDlg::DeleteUserWave(int shape) {
  IOutputEngine* e = Engine();
  if (!e || shape < 0 || shape >= 32) return 1;
  if (IdleBoard()) {
    e->SendBoardCommand0D(shape);
  } else if (e->GetConnectionKind() == 3) {
    m_userWaves[static_cast<size_t>(shape)].reset();
  }
  return 1;
}

int CKZxVoiceEditDlg::Audition(int unused, int note, int masterVolume, int velocity, uint32_t gateMs,
                               const CVoiceItem& voice) {
  IOutputEngine* e = Engine();
  CEmuPlayer* player = e ? e->GetPlayer() : nullptr;
  if (!e || e->GetConnectionKind() != 3 || !player) return 1;
  AuditionUserWaves waves{};
  for (size_t i = 0; i < waves.size(); ++i) waves[i] = m_userWaves[i].get();
  CMemStream image;
  BuildAuditionVelk(waves, image, unused, note, masterVolume, velocity, gateMs, voice);
  player->Stop(0);
  player->Close(0);
  player->Unload(0);
  player->Load(image.GetData(), image.GetSize(), 1, nullptr, 0);
  player->Open(0, 0);
  player->Standby(0);
  player->Start(0);
  return 1;
}

int CKZxVoiceEditDlg::SwitchSoundDevice(int opening) {
  IOutputEngine* e = Engine();
  if (opening == 1) {
    const int profile = platform::settings().GetOutputProfile();
    const int maker = platform::settings().GetMakerID();
    if (profile == 1 || profile == 6 || profile == 7) {
      if (maker != 2 && maker != 4) return 0;
    } else if (profile < 2 || profile > 8 || profile == 6 || profile == 7) {
      return 0;
    }
    if (m_shell.mainFrame) m_shell.mainFrame->PostCommand(kStopCommand);
    m_savedKind = e ? e->GetConnectionKind() : 0;
    if (m_savedKind >= 0 && m_savedKind <= 2) return 1;
    if (m_savedKind != 3 && m_savedKind != 4) return 0;
    if (CEmuPlayer* player = e->GetPlayer()) player->Shutdown(1);
    return e->SetupSoundDevice(m_savedKind == 3 ? 3 : 5);
  }
  if (m_savedKind >= 0 && m_savedKind <= 2) return 1;
  if ((m_savedKind != 3 && m_savedKind != 4) || !e) return 0;
  if (CEmuPlayer* player = e->GetPlayer()) player->Shutdown(1);
  const int result = e->SetupSoundDevice(m_savedKind);
  if (result == 1) {
    if (m_shell.mainFrame) m_shell.mainFrame->LoadVolumeBar(1);
    if (CKZ1Doc* doc = platform::registry().document) doc->AddModifiedFlags(2);
  }
  return result;
}

void CKZxVoiceEditDlg::StoreEditorValues(int mv, int velocity, int gt) {
  if (!m_shell.app) return;
  m_shell.app->SetEditorMasterVolume(mv);
  m_shell.app->SetEditorVelocity(velocity);
  m_shell.app->SetEditorGateTime(gt);
}
