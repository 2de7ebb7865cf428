// The Qt side of the notification sink: posts from any thread become events that the main
// window takes on the user-interface thread.
#pragma once

#include <QEvent>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/host/NotifySink.h"

class QObject;

namespace ui {

/// One posted message on its way to the main window. WM_APP+1..+4 travel as the event types
/// User+1..+4, every other message as User+5.
class NotifyEvent final : public QEvent {
 public:
  NotifyEvent(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesced);
  /// The event type of a message.
  static QEvent::Type TypeOf(uint32_t message);

  uint32_t message;
  intptr_t wParam;
  intptr_t lParam;
  bool coalesced;
};

class QtNotifySink final : public platform::NotifySink {
 public:
  /// Runs on the user-interface thread for every message taken.
  using Handler = std::function<void(uint32_t message, intptr_t wParam, intptr_t lParam)>;

  QtNotifySink();
  ~QtNotifySink() override;
  QtNotifySink(const QtNotifySink&) = delete;
  QtNotifySink& operator=(const QtNotifySink&) = delete;

  /// The main window is there: posts reach `handler`. Call on the user-interface thread.
  void Attach(Handler handler);
  /// The main window goes: later posts are dropped and waiting ones are forgotten.
  void Detach();
  /// Removes every waiting `message` (the once-a-second refresh drops a second one). Only
  /// WM_APP+1..+4 can be told apart; any other message removes all others that wait.
  void RemovePosted(uint32_t message);

 protected:
  void Deliver(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesced) override;

 private:
  class Receiver;
  std::mutex m_mutex;
  std::unique_ptr<Receiver> m_receiver;
};

}  // namespace ui
