// The serial command channel to a hardware board on a COM port, as the application uses it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

/// Commands return 1 when sent; Handshake and QueryStatus report an answer that did not come.
class CBoardLink {
 public:
  virtual ~CBoardLink() = default;

  /// "FC": 1 when both answer characters arrived in time, else 0.
  virtual int Handshake(char answer[2]) = 0;
  /// "F7": the board's status value through `result`; always 1.
  virtual int QueryStatus(uint32_t* result, int parameter) = 0;
  virtual int SetPlayParams(int flag, int a, int b) = 0;
  virtual int Reset() = 0;
  /// a, the eight bytes p0..p7, c, the mode d, and the two volumes e and f.
  virtual int SendSetup(int a, const uint8_t p[8], int c, int d, int e, int f) = 0;
  virtual int Stop() = 0;
  /// Sends a generation-1 song block (even size, at least 84 bytes); 1 when sent. A link that
  /// cannot send songs answers 0.
  virtual int SendSong(const uint8_t* /*block*/, uint32_t /*size*/) { return 0; }
};

/// Opens a link on a serial device name; throws the integer -1 (no such port), -2 (settings
/// refused) or -108 (out of memory) as the link's own failures.
using BoardLinkFactory = std::function<std::unique_ptr<CBoardLink>(const std::string& deviceName)>;

/// The factory of a program without a serial link: every port fails to open (-1).
BoardLinkFactory UnavailableBoardLinkFactory();

/// The serial device of COM port n: the path TRILLOT_COMn names when set, else /dev/ttyS(n-1).
std::string SerialDeviceName(int port);
