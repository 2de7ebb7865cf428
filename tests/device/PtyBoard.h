// A scripted board on the master side of a pseudo-terminal; the program's port opens the slave.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace ptytest {

class PtyBoard {
 public:
  PtyBoard() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) m_slaveName = name;
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
  }
  ~PtyBoard() {
    StopAnswering();
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
  }
  PtyBoard(const PtyBoard&) = delete;
  PtyBoard& operator=(const PtyBoard&) = delete;

  bool Ok() const { return !m_slaveName.empty(); }
  const std::string& SlaveName() const { return m_slaveName; }
  int Slave() const { return m_slave; }

  /// Puts bytes on the line towards the program.
  void Send(const std::string& text) { (void)!::write(m_master, text.data(), text.size()); }

  /// Everything the program wrote that the board has not taken yet (tests without a thread).
  std::string Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    DrainLocked();
    std::string out = std::move(m_seen);
    m_seen.clear();
    m_scanned = 0;
    return out;
  }

  /// From now on a thread answers every `query` seen on the line with its text.
  void Answer(std::map<std::string, std::string> answers) {
    m_answers = std::move(answers);
    m_running = true;
    m_thread = std::thread([this] { Loop(); });
  }
  void StopAnswering() {
    m_running = false;
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  void DrainLocked() {
    char buffer[512];
    for (;;) {
      const ssize_t got = ::read(m_master, buffer, sizeof buffer);
      if (got <= 0) break;
      m_seen.append(buffer, static_cast<size_t>(got));
    }
  }
  void Loop() {
    while (m_running) {
      pollfd p{m_master, POLLIN, 0};
      ::poll(&p, 1, 5);
      std::lock_guard<std::mutex> lock(m_mutex);
      DrainLocked();
      // Answers each query in the order it came; a query is two characters.
      while (m_scanned + 2 <= m_seen.size()) {
        bool answered = false;
        for (const auto& [query, answer] : m_answers) {
          if (m_seen.compare(m_scanned, query.size(), query) == 0) {
            Send(answer);
            m_scanned += query.size();
            answered = true;
            break;
          }
        }
        if (!answered) ++m_scanned;
      }
    }
  }

  int m_master = -1;
  int m_slave = -1;
  std::string m_slaveName;
  std::mutex m_mutex;
  std::string m_seen;
  size_t m_scanned = 0;
  std::map<std::string, std::string> m_answers;
  std::atomic<bool> m_running{false};
  std::thread m_thread;
};

}  // namespace ptytest
