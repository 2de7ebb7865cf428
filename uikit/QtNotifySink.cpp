// The Qt side of the notification sink: posts from any thread become events that the main
// window takes on the user-interface thread.
#include "uikit/QtNotifySink.h"

#include <QCoreApplication>
#include <QObject>

namespace ui {

NotifyEvent::NotifyEvent(uint32_t msg, intptr_t w, intptr_t l, bool c)
    : QEvent(TypeOf(msg)), message(msg), wParam(w), lParam(l), coalesced(c) {}

QEvent::Type NotifyEvent::TypeOf(uint32_t message) {
  if (message >= platform::kWmBoardMonitor && message <= platform::kWmPlaySecond)
    return static_cast<QEvent::Type>(QEvent::User + static_cast<int>(message - platform::kWmApp));
  return static_cast<QEvent::Type>(QEvent::User + 5);
}

/// Lives on the user-interface thread and takes the events there.
class QtNotifySink::Receiver final : public QObject {
 public:
  Receiver(QtNotifySink& sink, Handler handler) : m_sink(sink), m_handler(std::move(handler)) {}

  bool event(QEvent* e) override {
    if (e->type() < QEvent::User + 1 || e->type() > QEvent::User + 5) return QObject::event(e);
    auto* n = static_cast<NotifyEvent*>(e);
    // Taken before the handler runs, so a post made meanwhile waits for the next turn.
    if (n->coalesced) m_sink.Taken(n->message);
    if (m_handler) m_handler(n->message, n->wParam, n->lParam);
    return true;
  }

 private:
  QtNotifySink& m_sink;
  Handler m_handler;
};

QtNotifySink::QtNotifySink() = default;

QtNotifySink::~QtNotifySink() { Detach(); }

void QtNotifySink::Attach(Handler handler) {
  Detach();
  {
    std::lock_guard lock(m_mutex);
    m_receiver = std::make_unique<Receiver>(*this, std::move(handler));
  }
  SetMainWindow(true);
}

void QtNotifySink::Detach() {
  SetMainWindow(false);
  std::unique_ptr<Receiver> gone;
  {
    std::lock_guard lock(m_mutex);
    gone = std::move(m_receiver);
  }
  if (gone) QCoreApplication::removePostedEvents(gone.get());
}

void QtNotifySink::RemovePosted(uint32_t message) {
  std::lock_guard lock(m_mutex);
  if (!m_receiver) return;
  QCoreApplication::removePostedEvents(m_receiver.get(), NotifyEvent::TypeOf(message));
  Taken(message);
}

void QtNotifySink::Deliver(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesced) {
  std::lock_guard lock(m_mutex);
  if (m_receiver) QCoreApplication::postEvent(m_receiver.get(), new NotifyEvent(message, wParam, lParam, coalesced));
}

}  // namespace ui
