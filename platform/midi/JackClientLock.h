// The one lock under which the program opens, starts, stops and closes its JACK clients.
#pragma once

#include <mutex>

namespace platform {

/// libjack can deadlock when one thread of a process opens a client while another closes one:
/// the closing client's notification thread is stopped in the middle of the notification of the
/// new client and keeps a lock of libjack's, which every later notification then waits for.
/// Every JACK client of the program is opened, set up, torn down and closed holding this lock
/// (never while waiting for the server's cycles).
inline std::mutex& JackClientMutex() {
  // Never destroyed: the process-wide backend closes its clients at exit.
  static auto* mutex = new std::mutex;
  return *mutex;
}

}  // namespace platform
