// How worker and library threads reach the main window: posted messages that never block.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace platform {

inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmApp = 0x8000;
/// The worker notifications: board monitor (wParam 0 or 1), board event (9), play position (8)
/// and the once-a-second refresh (10).
inline constexpr uint32_t kWmBoardMonitor = kWmApp + 1;
inline constexpr uint32_t kWmBoardEvent = kWmApp + 2;
inline constexpr uint32_t kWmPlayPosition = kWmApp + 3;
inline constexpr uint32_t kWmPlaySecond = kWmApp + 4;
/// The main window's Stop command, posted at the end of play.
inline constexpr int kStopCommand = 1391;

/// Posts messages to the main window from any thread. No call ever waits for the main window,
/// so a worker may post while the user-interface thread waits for it to end.
class INotifySink {
 public:
  virtual ~INotifySink() = default;

  /// Posts `message` with its two words and returns at once. With `coalesce` (WM_APP+1..+4
  /// only), the post is dropped while one of the same message waits to be taken. False when
  /// the post was dropped: no main window, or a coalesced one already waits.
  virtual bool Post(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesce = false) = 0;

  /// WM_COMMAND `id` with lParam 0.
  bool PostCommand(int id) { return Post(kWmCommand, id, 0, false); }
};

/// The rules every sink keeps, the real one and the test fake alike: without a main window
/// posts are dropped, and a coalesced post is dropped while one of its kind waits. A subclass
/// delivers to the main window's queue; the main window calls Taken when it takes a message.
class NotifySink : public INotifySink {
 public:
  bool Post(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesce = false) final;

  /// The main window took `message`: the next coalesced one of its kind goes through again.
  void Taken(uint32_t message);
  /// True while a coalesced `message` waits.
  bool IsPending(uint32_t message) const;
  /// Set once the main window exists, cleared before it goes; clearing also forgets every
  /// waiting message (they go with the window).
  void SetMainWindow(bool present);
  bool HasMainWindow() const { return m_mainWindow.load(std::memory_order_acquire); }

 protected:
  /// Hands the message to the main window's queue; must not block. `coalesced` tells that the
  /// main window must call Taken when it takes it.
  virtual void Deliver(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesced) = 0;

 private:
  static constexpr int kCoalescedKinds = 4;
  /// The pending flag of a WM_APP+1..+4 message; null for any other.
  std::atomic<bool>* PendingFlag(uint32_t message);

  std::atomic<bool> m_mainWindow{false};
  std::array<std::atomic<bool>, kCoalescedKinds> m_pending{};
};

}  // namespace platform
