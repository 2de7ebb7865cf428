// The time-base change of chip modes 3 and 5 over the song's event list.
#include "app/core/TimebaseRewrite.h"

#include <memory>
#include <vector>

#include "song/MidiMsg.h"
#include "song/SmfDialect.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace timebase {
namespace {

constexpr uint32_t kSmallForm = 0x200000;  // values below fit three groups
constexpr uint32_t kValueStart = 7;

bool IsDeviceTempo(const CMidiMsg& m) {
  if (m.GetLength() < kValueStart) return false;
  const uint8_t* d = m.GetData();
  return d[0] == 0xF0 && d[2] == kDialectMakerId && d[3] == 0x79 && d[4] == 0x06 && d[5] == 0x7D && d[6] == 0x10;
}

/// The value of a well-formed message: three groups in 11 bytes or four in 12, closed by F7.
bool ReadValue(const CMidiMsg& m, uint32_t& value) {
  const uint32_t length = m.GetLength();
  if ((length != 11 && length != 12) || m.GetByte(length - 1) != 0xF7) return false;
  value = 0;
  for (uint32_t i = kValueStart; i + 1 < length; ++i) value = value << 7 | (m.GetByte(i) & 0x7F);
  return true;
}

void WriteValue(CMidiMsg& m, uint32_t v) {
  std::vector<uint8_t> bytes = {0xF0, 0, kDialectMakerId, 0x79, 0x06, 0x7D, 0x10};
  const int groups = v < kSmallForm ? 3 : 4;
  bytes[1] = static_cast<uint8_t>(groups == 3 ? 9 : 10);
  for (int g = groups - 1; g >= 0; --g) bytes.push_back(static_cast<uint8_t>((v >> (7 * g)) & 0x7F));
  bytes.push_back(0xF7);
  m = CMidiMsg(m.GetTick(), m.GetEndTick(), static_cast<uint32_t>(bytes.size()), bytes.data(), m.GetExtra());
}

/// Rescales the device tempo messages; the time base `n` may fall when a value reaches the cap.
void RescaleDeviceTempo(CKZ1Doc& doc, int old, uint16_t setup, int& n) {
  for (const std::unique_ptr<CMidiMsg>& event : *doc.GetMidiList()) {
    if (!event || !IsDeviceTempo(*event)) continue;
    uint64_t v = 0;
    if (setup != 0) {
      v = uint64_t{setup} * static_cast<uint64_t>(n);
    } else {
      uint32_t value = 0;
      // Without a divisor, or with a message of another shape, there is nothing sound to scale.
      if (old <= 0 || !ReadValue(*event, value)) continue;
      const uint64_t quotient = value / static_cast<uint32_t>(old);
      v = quotient * static_cast<uint64_t>(n);
      if (v > kValueCap) {
        v = kValueCap;
        n = static_cast<int>(kValueCap / quotient);
        doc.SetTimeBaseKZ3(n);
      }
    }
    WriteValue(*event, static_cast<uint32_t>(v));
  }
}

void WriteTempoEvent(CKZ1Doc& doc, int n) {
  for (const std::unique_ptr<CMidiMsg>& event : *doc.GetMidiList()) {
    if (!event || event->GetLength() < 6) continue;
    uint8_t* d = event->GetData();
    if (d[0] != 0xFF || d[1] != 0x51 || d[2] != 0x03) continue;
    d[3] = static_cast<uint8_t>(n >> 16);
    d[4] = static_cast<uint8_t>(n >> 8);
    d[5] = static_cast<uint8_t>(n);
    return;
  }
}

}  // namespace

int ClampTimebase(int n, uint16_t setup) {
  const int limit = setup != 0 ? 0xFFFFFF / setup : 0xFFFFFF;
  if (n >= limit) return limit;
  return n < 0 ? 1 : n;
}

int ChangeSongTimebase(CKZ1Doc* doc, int n) {
  if (!doc) return 0;
  const int old = doc->GetTimeBaseKZ3();
  CSongSetup setup;
  doc->BuildAssignMap(setup);
  const uint16_t s = setup.GetTimeBase();
  n = ClampTimebase(n, s);
  doc->SetModifiedFlags(0);
  if (n == old) return 1;
  doc->SetTimeBaseKZ3(n);
  RescaleDeviceTempo(*doc, old, s, n);
  WriteTempoEvent(*doc, n);
  return 1;
}

}  // namespace timebase
