// Where the voice windows find the main frame's part for them: its voice clipboard, idle test,
// refreshes, tool-window slots and font. A run without a main frame gets a stand-in with a
// clipboard of its own and the host services' refreshes.
#pragma once

#include <QFont>
#include <array>
#include <memory>

#include "voice/models/VoiceWindowShell.h"
#include "voice/ui/KZxVoiceEditDlg.h"

namespace ui {
class IFrameSlots;
}

class VoiceWindowHost {
 public:
  static IVoiceWindowShell& Shell();
  /// Null puts the stand-in back.
  static void SetShell(IVoiceWindowShell* shell);
  static ui::IFrameSlots* FrameSlots();
  static void SetFrameSlots(ui::IFrameSlots* frameSlots);
  static QFont Font();
  static void SetFont(const QFont& font);
  /// What the voice editor sheet reaches when a voice window opens it.
  static VoiceEditShell EditShell();
  static void SetEditShell(VoiceEditShell shell);
};

/// The stand-in: a clipboard of its own, always idle, refreshes through the host services.
class StandaloneVoiceShell : public IVoiceWindowShell {
 public:
  StandaloneVoiceShell();
  ~StandaloneVoiceShell() override;
  int IsDeviceIdle() const override { return idle; }
  void UpdateVoiceWindows() override;
  void UpdateReportBar() override {}
  void UpdateStatusPanes() override;
  uint8_t* GetClipEntry() override { return m_entry.data(); }
  bool HasClipEntry() const override { return m_hasEntry; }
  void SetClipEntryValid(bool valid) override { m_hasEntry = valid; }
  CVoice2* GetClipboard() const override { return m_voice2.get(); }
  void SetClipboard(std::unique_ptr<CVoice2> voice) override;
  CVoiceItem* GetClipVoiceItem() const override { return m_item.get(); }
  int GetClipVoiceKind() const override { return m_kind; }
  void SetClipVoiceItem(CVoiceItem* item, int kind) override;

  int idle = 1;

 private:
  std::array<uint8_t, kClipEntrySize> m_entry{};
  bool m_hasEntry = false;
  std::unique_ptr<CVoice2> m_voice2;
  std::unique_ptr<CVoiceItem> m_item;
  int m_kind = 0;
};
