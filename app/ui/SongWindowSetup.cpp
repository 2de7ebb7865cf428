#include "app/ui/SongWindowSetup.h"

#include <QMdiArea>
#include <memory>

#include "app/core/AppPlayState.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"
#include "uikit/ToolWindow.h"
#include "views/ChannelStatusDlg.h"
#include "views/ChildFrame.h"
#include "views/EListView.h"
#include "views/Mixer16Dlg.h"
#include "views/MixerDlg.h"
#include "views/PRollPane.h"
#include "views/RegionEditDlg.h"
#include "views/TransposeDlg.h"
#include "voice/ui/KZxVoiceEditDlg.h"
#include "voice/ui/VoiceWindowRegistration.h"

namespace {

constexpr int kEditTranspose = 32770;
constexpr int kEditDuplicateMove = 32768;
constexpr int kEditErase = 32769;

std::unique_ptr<MainFrameSongWindowHost> g_host;

/// The main-frame slot of a class name; the text score answers to its class name too.
int SlotOf(const std::string& className) {
  if (className == "CKZ1TextScoreFrm") return CMainFrame::kTextScore;
  const auto& names = CMainFrame::SlotClassNames();
  for (int slot = 0; slot < CMainFrame::kSlotCount; ++slot)
    if (className == names[static_cast<size_t>(slot)]) return slot;
  return -1;
}

MainFrameSongWindowHost& HostFor(const ui::ToolWindowContext& context) {
  g_host->Attach(dynamic_cast<CMainFrame*>(context.mainWindow));
  return *g_host;
}

/// The registry's factory of an MDI frame class made on the host.
template <typename Frame>
ui::ToolWindowRegistry::Factory FrameFactory() {
  return [](const ui::ToolWindowContext& context) -> ui::IToolWindow* { return new Frame(HostFor(context)); };
}

template <typename Mixer>
ui::ToolWindowRegistry::Factory MixerFactory() {
  return [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new Mixer(HostFor(context), context.mainWindow);
  };
}

bool RunRegionEdit(int mode, CTrillotApp::RegionEditAnswer& answer) {
  CRegionEditDlg dialog(*g_host, g_host->Frame());
  dialog.SetMode(mode);
  if (dialog.exec() != QDialog::Accepted) return false;
  answer.sourceChannel = dialog.GetSourceChannel();
  answer.from = dialog.GetPosition(0);
  answer.to = dialog.GetPosition(1);
  answer.targetChannel = dialog.GetTargetChannel();
  answer.target = dialog.GetPosition(2);
  answer.option = dialog.GetOption();
  return true;
}

/// The song window's voice editor of chip modes 3 and 5.
int EditVoice(CTrillotApp& app, CVoiceItem& voice) {
  CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), g_host->Frame(), 0, VoiceEditShell{&app, app.GetMainFrame()});
  sheet.Init(voice, 2);
  if (sheet.DoModal() != 1) return 0;
  voice = sheet.GetVoice();
  return 1;
}

/// The program's host without its slots, so a picture's window leaves the real ones alone.
class ScreenshotHost final : public MainFrameSongWindowHost {
 public:
  explicit ScreenshotHost(const MainFrameSongWindowHost& real) : MainFrameSongWindowHost(real) {}
  ui::IFrameSlots* FrameSlots() const override { return nullptr; }
  ui::IToolWindow* OpenToolWindow(const std::string&, int) override { return nullptr; }
  void PostCommand(int) override {}
};

}  // namespace

void MainFrameSongWindowHost::Attach(CMainFrame* frame) {
  if (!frame || frame == m_frame.data()) return;
  m_frame = frame;
  frame->AddCommandTarget(this);
}

CKZ1Doc* MainFrameSongWindowHost::Document() const { return m_app.GetDocument(); }

void MainFrameSongWindowHost::UpdateSongWindows() {
  if (m_frame) m_frame->UpdateSongWindows();
}

int MainFrameSongWindowHost::PlayPositionRefresh() const { return ::PlayPositionRefresh(); }

uint32_t MainFrameSongWindowHost::CurrentPlayPosition() const { return ::CurrentPlayPosition(); }

int MainFrameSongWindowHost::IsDeviceIdle() const { return m_frame ? m_frame->IsDeviceIdle() : 1; }

QFont MainFrameSongWindowHost::InterfaceFont() const {
  return m_frame ? m_frame->InterfaceFont() : AppSongViewHost::Instance().InterfaceFont();
}

ui::IFrameSlots* MainFrameSongWindowHost::FrameSlots() const { return m_frame.data(); }

void MainFrameSongWindowHost::UpdateVoiceWindows() {
  if (m_frame) m_frame->UpdateVoiceWindows();
}

void MainFrameSongWindowHost::UpdateStatusPanes() {
  if (m_frame) m_frame->UpdateStatusPanes();
}

void MainFrameSongWindowHost::UpdateReportBar() {
  if (m_frame) m_frame->UpdateReportBar();
}

ui::IToolWindow* MainFrameSongWindowHost::FindToolWindow(const std::string& className) const {
  return m_frame ? m_frame->GetSlot(SlotOf(className)) : nullptr;
}

ui::IToolWindow* MainFrameSongWindowHost::OpenToolWindow(const std::string& className, int resourceId) {
  const int slot = SlotOf(className);
  return m_frame && slot >= 0 ? m_frame->OpenToolWindow(slot, resourceId) : nullptr;
}

void MainFrameSongWindowHost::PostCommand(int commandId) {
  if (m_frame) m_frame->PostCommand(commandId);
}

IOutputEngine* MainFrameSongWindowHost::BoardDevice() const { return m_frame ? m_frame->GetBoardDevice() : nullptr; }

void MainFrameSongWindowHost::FileClose() {
  m_app.OnFileClose();
  if (!m_app.GetDocument() && m_frame) m_frame->CloseToolWindows();
}

uint32_t MainFrameSongWindowHost::ChannelTable(int which, int channel) const {
  if (!m_frame || channel < 0 || channel >= 16) return 0;
  const auto k = static_cast<size_t>(channel);
  switch (which) {
    case 0: return m_frame->ChannelBankMsb()[k];
    case 1: return m_frame->ChannelBankLsb()[k];
    default: return m_frame->ChannelProgram()[k];
  }
}

bool MainFrameSongWindowHost::HandlesCommand(int id) const {
  return id == kEditTranspose || id == kEditDuplicateMove || id == kEditErase;
}

bool MainFrameSongWindowHost::OnCommand(int id) {
  switch (id) {
    case kEditTranspose: m_app.OnEditTranspose(); return true;
    case kEditDuplicateMove: m_app.OnEditDuplicateMove(); return true;
    case kEditErase: m_app.OnEditErase(); return true;
    default: return false;
  }
}

void RegisterSongWindows(CTrillotApp& app) {
  if (!g_host || &g_host->App() != &app) g_host = std::make_unique<MainFrameSongWindowHost>(app);
  ui::ToolWindowRegistry& registry = ui::ToolWindowRegistry::Instance();
  registry.Register(CChildFrame::kClassName, FrameFactory<CChildFrame>());
  registry.Register(CMixerDlg::kClassName, MixerFactory<CMixerDlg>());
  registry.Register(CMixer16Dlg::kClassName, MixerFactory<CMixer16Dlg>());
  // The views the region bar opens, unless their own set-up registered them. The text score is
  // left out: its frame fills no slot under its class name, so the slot would outlive it.
  if (!registry.Has(CPRollFrm::kClassName)) registry.Register(CPRollFrm::kClassName, FrameFactory<CPRollFrm>());
  if (!registry.Has(CEListFrm::kClassName)) registry.Register(CEListFrm::kClassName, FrameFactory<CEListFrm>());
  app.SetTransposeDialog([] {
    CTransposeDlg dialog(*g_host, g_host->Frame());
    dialog.exec();
  });
  app.SetRegionEditDialog(RunRegionEdit);
  SongWindowOpeners::Instance().voiceEdit2Op = OpenGen1SlotDialog;
  SongWindowOpeners::Instance().voiceEditKZx = [&app](CVoiceItem& voice) { return EditVoice(app, voice); };
}

MainFrameSongWindowHost* SongWindowHostOf() { return g_host.get(); }

QWidget* OpenSongWindowForScreenshot() {
  if (!g_host) return nullptr;
  static ScreenshotHost host(*g_host);
  auto* frame = new CChildFrame(host);
  frame->resize(frame->CalcFrameRect().size());
  frame->Pane()->UpdateView(nullptr);
  frame->Pane()->SetRegion(1, 1, 1000, 4000);
  return frame;
}

QWidget* OpenMixerForScreenshot(bool sixteen) {
  if (!g_host) return nullptr;
  CMixerBase* mixer = sixteen ? static_cast<CMixerBase*>(new CMixer16Dlg(*g_host))
                              : static_cast<CMixerBase*>(new CMixerDlg(*g_host));
  mixer->Refresh();
  return mixer;
}

QWidget* RunRegionEditForScreenshot() {
  if (!g_host) return nullptr;
  CRegionEditDlg dialog(*g_host);
  dialog.SetMode(CRegionEditDlg::kDuplicate);
  dialog.exec();
  return nullptr;
}

QWidget* RunTransposeForScreenshot() {
  if (!g_host) return nullptr;
  CTransposeDlg dialog(*g_host);
  dialog.exec();
  return nullptr;
}

QWidget* RunChannelStatusForScreenshot() {
  if (!g_host) return nullptr;
  CChannelStatusDlg dialog(*g_host);
  dialog.exec();
  return nullptr;
}
