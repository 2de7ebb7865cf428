// The serial command channel to a hardware board on a COM port: ASCII texts of register writes.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <semaphore>
#include <string>

class CSerialPort;

/// One link opens the process-wide serial port (the first link creates it) and greets the
/// board with "X". Every command holds the board-command semaphore for its whole exchange, so
/// the user-interface thread and the board monitor never interleave on the line. A command
/// returns 1 when its texts were written, 0 when a write failed or stayed held for 20000 ms.
class CBoardLink {
 public:
  /// The longest wait for an answer, from the moment the query was written.
  static constexpr uint32_t kReadLimitMs = 15000;
  /// The shortest song block; shorter or odd blocks are refused.
  static constexpr uint32_t kMinSongSize = 84;

  /// Opens (or shares) the port named and writes the greeting. Throws the port's integer -1
  /// (no such port) or -2 (settings refused), or -108 when memory runs out.
  explicit CBoardLink(const std::string& portName);
  /// Resets the board, then lets the process-wide port go.
  virtual ~CBoardLink();
  CBoardLink(const CBoardLink&) = delete;
  CBoardLink& operator=(const CBoardLink&) = delete;

  /// Writes the text without its terminator, under the semaphore; 1, or 0 when it failed.
  virtual int WriteString(const char* text);
  /// "FC": 1 when both answer characters arrived within 15000 ms, else 0.
  virtual int Handshake(char answer[2]);
  /// "F7": the four answer characters read as a hexadecimal number (characters that are no
  /// hexadecimal digits read as 0) times 5, and times 1.0185 more for a parameter below 16.
  /// 1 when at least one character arrived, else 0 (with 0 as the value).
  virtual int QueryStatus(uint32_t* result, int parameter);
  /// "FF04" (flag set) or "FF00", the two volumes a and b, and the start; then 25 ms.
  virtual int SetPlayParams(int flag, int a, int b);
  virtual int Reset();
  /// a, the eight bytes p0..p7, c, the mode d, and the two volumes e and f.
  virtual int SendSetup(int a, const uint8_t p[8], int c, int d, int e, int f);
  /// The two volumes e (SP) and f (HP).
  virtual int SendAddress(int e, int f);
  /// Sends a KZ-1 song block (its first two bytes are not sent): "X", the register text of
  /// the block in one write, then the four closing register writes. An odd size or one below
  /// 84 is refused: 0, and nothing is written.
  virtual int SendSong(const uint8_t* block, uint32_t size);
  virtual int Stop();

  /// The register text of a song block, as SendSong writes it in one piece.
  static std::string SongText(const uint8_t* block, uint32_t size);
  /// The status value of the answer characters a status query read (at most four used).
  static uint32_t StatusValue(const uint8_t* chars, int count, int parameter);
  /// The set-up word text "00%4X003000" of a, c and the mode d.
  static std::string SetupWordText(int a, int c, int d);

 protected:
  /// A link that speaks on no port: for stand-ins that override the commands.
  CBoardLink() = default;

 private:
  /// Writes each text in turn under one hold of the semaphore; false at the first failure.
  bool WriteTexts(std::initializer_list<std::string> texts);
  bool WriteText(const std::string& text);
  /// Writes `query`, then reads up to `count` bytes within the read limit; the bytes read.
  int Ask(const char* query, uint8_t* answer, int count);

  std::shared_ptr<CSerialPort> m_port;
};

/// The one board-command semaphore of the process (count 1), held by every link command.
std::binary_semaphore& BoardCommandSemaphore();

/// Opens a link on a serial device name; throws the integer -1 (no such port), -2 (settings
/// refused) or -108 (out of memory) as the link's own failures.
using BoardLinkFactory = std::function<std::unique_ptr<CBoardLink>(const std::string& deviceName)>;

/// The factory of the program: a CBoardLink on the serial device.
BoardLinkFactory SerialBoardLinkFactory();
/// A factory whose every port fails to open (-1).
BoardLinkFactory UnavailableBoardLinkFactory();

/// The serial device of COM port n: the path TRILLOT_COMn names when set, else /dev/ttyS(n-1).
std::string SerialDeviceName(int port);
