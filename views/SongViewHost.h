// What the song views need of the main frame and the application, handed to each view.
#pragma once

#include <QFont>
#include <cstdint>
#include <functional>

class CKZ1Doc;

namespace ui {
class IFrameSlots;
}

class ISongViewHost {
 public:
  virtual ~ISongViewHost() = default;
  /// The one song document (GetCurrentDocument), or null.
  virtual CKZ1Doc* Document() const = 0;
  /// CMainFrame::UpdateSongWindows: every open song window refreshes with no sender.
  virtual void UpdateSongWindows() = 0;
  /// 1 only while the main frame refreshes the windows for a play-position report.
  virtual int PlayPositionRefresh() const = 0;
  /// The play position in milliseconds of that refresh.
  virtual uint32_t CurrentPlayPosition() const = 0;
  /// CMainFrame::IsDeviceIdle: 0 while the song plays.
  virtual int IsDeviceIdle() const = 0;
  /// The main frame's interface font, for tab strips and ruler texts.
  virtual QFont InterfaceFont() const = 0;
  /// The main frame's tool-window slots; null when there are none.
  virtual ui::IFrameSlots* FrameSlots() const = 0;
};

/// The application's answers: the registry's document and the UI hooks' refresh. The main
/// frame supplies its play position, device-idle test, slots and font when it has them.
class AppSongViewHost : public ISongViewHost {
 public:
  CKZ1Doc* Document() const override;
  void UpdateSongWindows() override;
  int PlayPositionRefresh() const override;
  uint32_t CurrentPlayPosition() const override;
  int IsDeviceIdle() const override { return m_deviceIdle ? m_deviceIdle() : 1; }
  QFont InterfaceFont() const override;
  ui::IFrameSlots* FrameSlots() const override { return m_slots; }

  void SetDeviceIdle(std::function<int()> test) { m_deviceIdle = std::move(test); }
  /// The main frame's position-refresh flag and play position (none: the process-wide ones).
  void SetPlayPosition(std::function<int()> refreshing, std::function<uint32_t()> positionMs) {
    m_refreshing = std::move(refreshing);
    m_positionMs = std::move(positionMs);
  }
  void SetFrameSlots(ui::IFrameSlots* frameSlots) { m_slots = frameSlots; }
  void SetInterfaceFont(const QFont& font) { m_font = font; m_hasFont = true; }

  /// The host of the process's views.
  static AppSongViewHost& Instance();

 private:
  std::function<int()> m_deviceIdle;
  std::function<int()> m_refreshing;
  std::function<uint32_t()> m_positionMs;
  ui::IFrameSlots* m_slots = nullptr;
  QFont m_font;
  bool m_hasFont = false;
};
