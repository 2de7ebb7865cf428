#include "voice/ui/VoiceWindowHost.h"

#include <QApplication>

#include "platform/host/HostServices.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"

namespace {

struct HostState {
  StandaloneVoiceShell standalone;
  IVoiceWindowShell* shell = nullptr;
  ui::IFrameSlots* frameSlots = nullptr;
  QFont font;
  bool hasFont = false;
  VoiceEditShell editShell;
};

HostState& State() {
  static HostState state;
  return state;
}

}  // namespace

IVoiceWindowShell& VoiceWindowHost::Shell() {
  HostState& s = State();
  return s.shell ? *s.shell : s.standalone;
}

void VoiceWindowHost::SetShell(IVoiceWindowShell* shell) { State().shell = shell; }

ui::IFrameSlots* VoiceWindowHost::FrameSlots() { return State().frameSlots; }

void VoiceWindowHost::SetFrameSlots(ui::IFrameSlots* frameSlots) { State().frameSlots = frameSlots; }

QFont VoiceWindowHost::Font() { return State().hasFont ? State().font : QApplication::font(); }

void VoiceWindowHost::SetFont(const QFont& font) {
  State().font = font;
  State().hasFont = true;
}

VoiceEditShell VoiceWindowHost::EditShell() { return State().editShell; }

void VoiceWindowHost::SetEditShell(VoiceEditShell shell) { State().editShell = shell; }

StandaloneVoiceShell::StandaloneVoiceShell() = default;
StandaloneVoiceShell::~StandaloneVoiceShell() = default;

void StandaloneVoiceShell::UpdateVoiceWindows() { platform::ui().UpdateVoiceWindows(); }

void StandaloneVoiceShell::UpdateStatusPanes() { platform::ui().UpdateStatusPanes(); }

void StandaloneVoiceShell::SetClipboard(std::unique_ptr<CVoice2> voice) { m_voice2 = std::move(voice); }

void StandaloneVoiceShell::SetClipVoiceItem(CVoiceItem* item, int kind) {
  m_item.reset(item);
  m_kind = kind;
}
