// The serial command channel to a hardware board on a COM port: ASCII texts of register writes.
#include "device/BoardLink.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

#include "platform/serial/SerialPort.h"
#include "platform/sys/Clock.h"

namespace {

constexpr int kOutOfMemory = -108;
// How long an answer is waited on between two reads.
constexpr uint32_t kReadRetryMs = 10;
constexpr uint32_t kPlayParamsPauseMs = 25;
constexpr int kStatusChars = 4;
constexpr uint32_t kStatusFactor = 5;
constexpr double kLowParameterFactor = 1.0185;
constexpr int kLowParameterLimit = 16;

std::mutex& PortMutex() {
  static std::mutex mutex;
  return mutex;
}

// The one port of the process: created by the first link, let go by a link's destructor.
std::shared_ptr<CSerialPort>& ProcessPort() {
  static std::shared_ptr<CSerialPort> port;
  return port;
}

/// Holds the board-command semaphore for one exchange, whatever ends it.
class CommandHold {
 public:
  CommandHold() { BoardCommandSemaphore().acquire(); }
  ~CommandHold() { BoardCommandSemaphore().release(); }
  CommandHold(const CommandHold&) = delete;
  CommandHold& operator=(const CommandHold&) = delete;
};

std::string Format(const char* format, int value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Register(unsigned reg, uint8_t high, uint8_t low) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", reg, high, low);
  return text;
}

std::string AddressText(int e, int f) {
  char text[40];
  std::snprintf(text, sizeof text, "30000031%04X35%04X36%04X37%04X", 120u, static_cast<unsigned>(e) & 0xFFFF,
                static_cast<unsigned>(f) & 0xFFFF, 28u);
  return text;
}

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// The leading hexadecimal digits of the answer; none reads as 0.
uint32_t HexValue(const uint8_t* chars, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) {
    const int digit = HexDigit(chars[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

}  // namespace

std::binary_semaphore& BoardCommandSemaphore() {
  static std::binary_semaphore semaphore{1};
  return semaphore;
}

CBoardLink::CBoardLink(const std::string& portName) {
  try {
    std::lock_guard<std::mutex> lock(PortMutex());
    if (!ProcessPort()) ProcessPort() = std::make_shared<CSerialPort>(portName);
    m_port = ProcessPort();
  } catch (const std::bad_alloc&) {
    throw kOutOfMemory;
  }
  // The greeting comes before any monitor exists: it needs no semaphore.
  static const uint8_t kGreeting = 'X';
  m_port->Write(&kGreeting, 1);
}

CBoardLink::~CBoardLink() {
  if (!m_port) return;
  Reset();
  std::lock_guard<std::mutex> lock(PortMutex());
  if (ProcessPort() == m_port) ProcessPort().reset();
  m_port.reset();
}

bool CBoardLink::WriteText(const std::string& text) {
  if (!m_port) return false;
  const auto size = static_cast<uint32_t>(text.size());
  return m_port->Write(reinterpret_cast<const uint8_t*>(text.data()), size) == static_cast<int>(size);
}

bool CBoardLink::WriteTexts(std::initializer_list<std::string> texts) {
  CommandHold hold;
  for (const std::string& text : texts) {
    if (!WriteText(text)) return false;
  }
  return true;
}

int CBoardLink::WriteString(const char* text) {
  if (!text) return 0;
  return WriteTexts({std::string(text)}) ? 1 : 0;
}

int CBoardLink::Ask(const char* query, uint8_t* answer, int count) {
  CommandHold hold;
  if (!WriteText(query)) return 0;
  const uint32_t start = platform::GetTickCount();
  int got = 0;
  while (got < count) {
    got += m_port->Read(answer + got, static_cast<uint32_t>(count - got));
    if (got >= count || platform::GetTickCount() - start >= kReadLimitMs) break;
    platform::SleepMs(kReadRetryMs);
  }
  return got;
}

int CBoardLink::Handshake(char answer[2]) {
  uint8_t bytes[2] = {0, 0};
  if (Ask("FC", bytes, 2) < 2) return 0;
  if (answer) {
    answer[0] = static_cast<char>(bytes[0]);
    answer[1] = static_cast<char>(bytes[1]);
  }
  return 1;
}

uint32_t CBoardLink::StatusValue(const uint8_t* chars, int count, int parameter) {
  const uint32_t number = chars ? HexValue(chars, std::min(count, kStatusChars)) : 0;
  if (parameter < kLowParameterLimit) return static_cast<uint32_t>(number * kStatusFactor * kLowParameterFactor);
  return number * kStatusFactor;
}

int CBoardLink::QueryStatus(uint32_t* result, int parameter) {
  uint8_t chars[kStatusChars] = {0, 0, 0, 0};
  const int got = Ask("F7", chars, kStatusChars);
  if (result) *result = got > 0 ? StatusValue(chars, got, parameter) : 0;
  return got > 0 ? 1 : 0;
}

int CBoardLink::SetPlayParams(int flag, int a, int b) {
  const bool sent = WriteTexts({flag ? "FF04" : "FF00", Format("3500%02x", a & 0xFF), Format("3600%02x", b & 0xFF),
                                "320001"});
  platform::SleepMs(kPlayParamsPauseMs);
  return sent ? 1 : 0;
}

int CBoardLink::Reset() {
  return WriteTexts({"FF02", "003000", "003100", "003200", "003300", "320000", "FF00"}) ? 1 : 0;
}

std::string CBoardLink::SetupWordText(int a, int c, int d) {
  int x = 15;
  int y = 6;
  switch (d) {
    case 1: x = 13, y = 1; break;
    case 2: x = 7, y = 6; break;
    case 3: x = 4, y = 3; break;
    case 4: x = 2, y = 1; break;
    case 255: x = 11, y = 7; break;
    default: break;
  }
  const unsigned word = ((((static_cast<unsigned>(a) * 16 + (static_cast<unsigned>(c) & 15)) * 1024) +
                          static_cast<unsigned>(y)) & 0xFFFF) + 8 * static_cast<unsigned>(x);
  char text[24];
  std::snprintf(text, sizeof text, "00%4X003000", word);
  return text;
}

int CBoardLink::SendSetup(int a, const uint8_t p[8], int c, int d, int e, int f) {
  const uint8_t none[8] = {};
  const uint8_t* b = p ? p : none;
  return WriteTexts({"FF02", "330007380000340000320000", Register(0x10, b[0], b[1]), Register(0x11, b[2], b[3]),
                     Register(0x12, b[4], b[5]), Register(0x13, b[6], b[7]), AddressText(e, f),
                     SetupWordText(a, c, d), "320001", "FF00"})
             ? 1
             : 0;
}

int CBoardLink::SendAddress(int e, int f) { return WriteTexts({"FF02", AddressText(e, f), "FF00"}) ? 1 : 0; }

std::string CBoardLink::SongText(const uint8_t* block, uint32_t size) {
  std::string text;
  if (!block || size < kMinSongSize || size % 2 != 0) return text;
  text.reserve(size * 3);
  uint32_t at = 2;
  // Registers 0x10..0x38 carry bytes 2..83, two each.
  for (unsigned reg = 0x10; reg <= 0x38; ++reg, at += 2) text += Register(reg, block[at], block[at + 1]);
  for (; at + 1 < size; at += 2) text += Register(0x00, block[at], block[at + 1]);
  return text;
}

int CBoardLink::SendSong(const uint8_t* block, uint32_t size) {
  if (!block || size < kMinSongSize || size % 2 != 0) return 0;
  return WriteTexts({"X", SongText(block, size), "340000", "35001C", "36001C", "37001C"}) ? 1 : 0;
}

int CBoardLink::Stop() { return WriteTexts({"320002", "320000"}) ? 1 : 0; }

BoardLinkFactory SerialBoardLinkFactory() {
  return [](const std::string& name) { return std::make_unique<CBoardLink>(name); };
}

BoardLinkFactory UnavailableBoardLinkFactory() {
  return [](const std::string&) -> std::unique_ptr<CBoardLink> { throw -1; };
}

std::string SerialDeviceName(int port) {
  std::string variable = "TRILLOT_COM" + std::to_string(port);
  if (const char* named = std::getenv(variable.c_str()); named && *named) return named;
  return "/dev/ttyS" + std::to_string(port - 1);
}
