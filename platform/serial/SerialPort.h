// A serial port over termios, set up as the evaluation board's COM port expects.
#pragma once

#include <cstdint>
#include <string>

/// 38400 baud, 8 data bits, 2 stop bits, no parity, XON/XOFF both ways (17 and 19), no
/// hardware flow control with RTS raised; reads return at once with what has arrived.
class CSerialPort {
 public:
  /// A write that moves no byte for this long ends the write.
  static constexpr uint32_t kWriteLimitMs = 20000;

  /// Opens the device for reading and writing (existing devices only) and applies the
  /// settings. Throws the integer -1 when the device cannot be opened, -2 when the settings
  /// are refused (the device is closed again).
  explicit CSerialPort(const std::string& name);
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  /// One read: the bytes that had arrived (possibly 0), up to `count`; 0 on a read error.
  int Read(uint8_t* buffer, uint32_t count);
  /// Writes every byte, waiting while the line is held (XOFF); `count`, or -1 when nothing
  /// moved for kWriteLimitMs or the device failed. Waits sleep through the platform clock.
  int Write(const uint8_t* data, uint32_t count);

  const std::string& GetName() const { return m_name; }
  int GetHandle() const { return m_fd; }

 private:
  std::string m_name;
  int m_fd = -1;
};
