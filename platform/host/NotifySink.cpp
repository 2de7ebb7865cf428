// How worker and library threads reach the main window: posted messages that never block.
#include "platform/host/NotifySink.h"

namespace platform {

std::atomic<bool>* NotifySink::PendingFlag(uint32_t message) {
  if (message < kWmBoardMonitor || message > kWmPlaySecond) return nullptr;
  return &m_pending[message - kWmBoardMonitor];
}

bool NotifySink::Post(uint32_t message, intptr_t wParam, intptr_t lParam, bool coalesce) {
  if (!HasMainWindow()) return false;
  std::atomic<bool>* pending = coalesce ? PendingFlag(message) : nullptr;
  if (pending && pending->exchange(true, std::memory_order_acq_rel)) return false;
  Deliver(message, wParam, lParam, pending != nullptr);
  return true;
}

void NotifySink::Taken(uint32_t message) {
  if (std::atomic<bool>* pending = PendingFlag(message)) pending->store(false, std::memory_order_release);
}

bool NotifySink::IsPending(uint32_t message) const {
  if (message < kWmBoardMonitor || message > kWmPlaySecond) return false;
  return m_pending[message - kWmBoardMonitor].load(std::memory_order_acquire);
}

void NotifySink::SetMainWindow(bool present) {
  m_mainWindow.store(present, std::memory_order_release);
  if (!present)
    for (auto& pending : m_pending) pending.store(false, std::memory_order_release);
}

}  // namespace platform
