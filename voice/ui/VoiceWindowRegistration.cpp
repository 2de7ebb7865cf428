#include "voice/ui/VoiceWindowRegistration.h"

#include <QApplication>
#include <QPainter>

#include "app/core/TrillotApp.h"
#include "uikit/PictureStore.h"
#include "platform/host/HostServices.h"
#include "uikit/ToolWindow.h"
#include "views/SongWindowHost.h"
#include "voice/VoiceWindowHooks.h"
#include "voice/ui/AAMView.h"
#include "voice/ui/DirectPlayFrm.h"
#include "voice/ui/VListHooks.h"
#include "voice/ui/VListFrm.h"
#include "voice/ui/VAMPane.h"
#include "voice/ui/VoiceEditDlg.h"
#include "voice/ui/VoiceEditDlgKZ2.h"
#include "voice/ui/VoiceWindowHost.h"

namespace {

/// The direct-play picture: a board with a play sign and the function's name.
void PaintDirectPlay(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(24, 48, 96));
  p.fillRect(QRect(6, 6, size.width() - 12, size.height() - 12), QColor(40, 80, 150));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 210, 60));
  const int cy = size.height() / 2;
  const QPoint play[3] = {QPoint(22, cy - 20), QPoint(22, cy + 20), QPoint(56, cy)};
  p.drawPolygon(play, 3);
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setPixelSize(22);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(70, 0, size.width() - 76, size.height()), Qt::AlignVCenter | Qt::AlignLeft,
             QStringLiteral("Direct Play"));
}

/// The "changed" mark of a slot whose voice differs from the library's.
void PaintChanged(QPainter& p, const QSize& size) {
  p.fillRect(QRect(QPoint(0, 0), size), QColor(200, 0, 0));
  p.setPen(Qt::white);
  p.drawLine(2, 2, size.width() - 3, 2);
  p.drawLine(2, 2, 2, size.height() - 3);
  p.drawLine(2, size.height() - 3, size.width() - 3, size.height() - 3);
}

/// A channel's part mark: the value in a box, filled when another slot shares the voice.
ui::PictureStore::Painter ChannelMark(int value, bool shared) {
  return [value, shared](QPainter& p, const QSize& size) {
    const QRect box(1, 1, size.width() - 3, size.height() - 3);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (shared) p.fillRect(box, QColor(255, 220, 140));
    p.setPen(QColor(0, 0, 128));
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter, QString::number(value));
  };
}

void RegisterPictures() {
  ui::PictureStore& store = ui::PictureStore::Instance();
  store.Register(CDirectPlayPane::kPictureId, QSize(308, 81), PaintDirectPlay);
  store.Register(1203, QSize(10, 10), PaintChanged);
  for (int v = 0; v < 6; ++v) {
    store.Register(2146 + v, QSize(17, 19), ChannelMark(v, false));
    store.Register(2152 + v, QSize(17, 19), ChannelMark(v, true));
  }
}

}  // namespace

int OpenGen1SlotDialog(int slot) {
  CVoiceEditDlg dialog(VoiceWindowHost::EditShell().app, QApplication::activeWindow());
  dialog.SetSlot(slot);
  return dialog.DoModal() == 1 ? 1 : 0;
}

bool VoiceCommandTarget::IsVoiceEditEnabled() {
  const int chip = platform::settings().GetChipMode();
  return chip != 2 && chip != 3 && chip != 5;
}

bool VoiceCommandTarget::OnUpdate(int id, ui::CmdUI& cmdUi) {
  if (id != kVoiceEdit) return false;
  cmdUi.enabled = IsVoiceEditEnabled();
  return true;
}

bool VoiceCommandTarget::OnCommand(int id) {
  if (id != kVoiceEdit) return false;
  if (IsVoiceEditEnabled()) OnVoiceEdit();
  return true;
}

void VoiceCommandTarget::OnVoiceEdit() {
  CVoiceEditDlg dialog(VoiceWindowHost::EditShell().app, QApplication::activeWindow());
  dialog.DoModal();
  VoiceWindowHost::Shell().UpdateVoiceWindows();
}

void RegisterVoiceWindows() {
  RegisterPictures();
  voice_hooks::SetSlotVoiceDialogOpener([](int slot, voice_hooks::SlotDialog kind) {
    if (kind == voice_hooks::SlotDialog::ByChipMode) {
      const int chip = platform::settings().GetChipMode();
      if (chip == 2) return OpenGen2SlotVoiceDialog(QApplication::activeWindow(), slot);
      if (chip != 1) return 0;
    }
    return OpenGen1SlotDialog(slot);
  });
  // The chip-mode-2 voice list's double-click; the dialog greys the fixed banks itself.
  vlist_hooks::SetGen2DialogOpener([](int bank, int program, bool) {
    CVoiceLibrary* library = platform::registry().voiceLibrary;
    return library ? OpenGen2LibraryVoiceDialog(QApplication::activeWindow(), *library, bank, program) : 0;
  });
  // The song window's "Region" click and "Name" double-click.
  SongWindowOpeners& song = SongWindowOpeners::Instance();
  song.voiceEdit2Op = OpenGen1SlotDialog;
  song.voiceEditKZ2 = [](int slot) { return OpenGen2SlotVoiceDialog(QApplication::activeWindow(), slot); };
  song.voiceEditKZx = [](CVoiceItem& voice) {
    CKZxVoiceEditDlg sheet(QStringLiteral("Voice Edit"), QApplication::activeWindow(), 0, VoiceWindowHost::EditShell());
    sheet.Init(voice, 2, 0);
    if (sheet.DoModal() != 1) return 0;
    voice = sheet.GetVoice();
    return 1;
  };
  ui::ToolWindowRegistry& registry = ui::ToolWindowRegistry::Instance();
  registry.Register(CVAMFrm::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CVAMFrm(context.frameSlots);
  });
  registry.Register(CAAMFrm::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CAAMFrm(context.frameSlots);
  });
  registry.Register(CVListFrm::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CVListFrm(context.frameSlots);
  });
  registry.Register(CVListFrmKZ2::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CVListFrmKZ2(context.frameSlots);
  });
  registry.Register(CVListFrmKZ3::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CVListFrmKZ3(context.frameSlots);
  });
  registry.Register(CKZxDirectPlayFrm::kClassName, [](const ui::ToolWindowContext& context) -> ui::IToolWindow* {
    return new CKZxDirectPlayFrm(context.frameSlots, [] {
      if (CTrillotApp* app = VoiceWindowHost::EditShell().app) app->ResetBoardLink();
    });
  });
}
