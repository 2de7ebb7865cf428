// A serial port over termios, set up as the evaluation board's COM port expects.
#include "platform/serial/SerialPort.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/sys/Clock.h"

namespace {

constexpr int kOpenFailed = -1;
constexpr int kSetupFailed = -2;
constexpr unsigned char kXon = 17;
constexpr unsigned char kXoff = 19;
// How long a held line is waited on between write attempts.
constexpr uint32_t kWriteRetryMs = 20;

bool ApplySettings(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  if (::cfsetispeed(&tio, B38400) != 0 || ::cfsetospeed(&tio, B38400) != 0) return false;
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
  tio.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL;
  tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXANY);
  tio.c_iflag |= IXON | IXOFF;
  tio.c_cc[VSTART] = kXon;
  tio.c_cc[VSTOP] = kXoff;
  // A read returns at once with what has arrived.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;
  // RTS is simply raised; a device without modem lines (a pseudo-terminal) has none to raise.
  int rts = TIOCM_RTS;
  ::ioctl(fd, TIOCMBIS, &rts);
  return true;
}

}  // namespace

CSerialPort::CSerialPort(const std::string& name) : m_name(name) {
  m_fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) throw kOpenFailed;
  if (!ApplySettings(m_fd)) {
    ::close(m_fd);
    m_fd = -1;
    throw kSetupFailed;
  }
}

CSerialPort::~CSerialPort() {
  if (m_fd >= 0) ::close(m_fd);
}

int CSerialPort::Read(uint8_t* buffer, uint32_t count) {
  if (m_fd < 0 || !buffer || count == 0) return 0;
  for (;;) {
    const ssize_t got = ::read(m_fd, buffer, count);
    if (got >= 0) return static_cast<int>(got);
    if (errno != EINTR) return 0;
  }
}

int CSerialPort::Write(const uint8_t* data, uint32_t count) {
  if (m_fd < 0) return -1;
  uint32_t done = 0;
  uint32_t lastProgress = platform::GetTickCount();
  while (done < count) {
    const ssize_t put = ::write(m_fd, data + done, count - done);
    if (put > 0) {
      done += static_cast<uint32_t>(put);
      lastProgress = platform::GetTickCount();
      continue;
    }
    if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
    // The line is held (XOFF) or the queue is full: wait, but not for ever.
    if (platform::GetTickCount() - lastProgress >= kWriteLimitMs) return -1;
    platform::SleepMs(kWriteRetryMs);
  }
  return static_cast<int>(count);
}
