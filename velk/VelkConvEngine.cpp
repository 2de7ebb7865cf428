// The conversion engines' reading steps: header and checksum, track scan, and the walk of each
// score track's sequence into parts, voices and notes.
#include "velk/VelkConvEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "velk/Crc16.h"

namespace {

constexpr uint32_t kChunkHeader = 8;
constexpr uint32_t kChecksumBytes = 2;
constexpr uint8_t kMaker = 0x43;
constexpr uint8_t kVoiceListKind = 0x01;
constexpr uint8_t kEndOfList = 0xF7;
constexpr uint8_t kTempoProgram = 0x80;
constexpr uint8_t kTempoType = 0x31;
constexpr int kFirstStatusTrack = 5;
constexpr uint32_t kStatusBytes = 16;
// Control codes (low nibble of the second control byte).
constexpr int kCodeProgram = 0;
constexpr int kCodeBank = 1;
constexpr int kCodeOctave = 2;
constexpr int kCodeModulation = 3;
constexpr int kCodeVolume = 7;

uint32_t BE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool IdIs(const uint8_t* id, const char* text) { return std::memcmp(id, text, 4) == 0; }

// Milliseconds of a time-base code, 0 for a code the engines refuse.
uint32_t TimeBaseOf(uint8_t code) {
  switch (code) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    case 3: return 5;
    case 16: return 10;
    case 17: return 20;
    case 18: return 40;
    case 19: return 50;
    default: return 0;
  }
}

// Reads exactly n bytes at a position; a short read is a failed read.
bool ReadAt(CStreamIO& io, uint32_t pos, uint8_t* out, uint32_t n) {
  if (!io.Seek(pos)) return false;
  uint32_t count = 0;
  return io.Read(out, n, count) && count == n;
}

}  // namespace

int64_t CVelkConvEngine::ReadDuration(const uint8_t* data, uint32_t size, uint32_t& pos) {
  if (pos >= size) return kErrRead;
  const uint32_t b1 = data[pos++];
  if (b1 < 0x80) return b1;
  if (pos >= size) return kErrRead;
  const uint32_t b2 = data[pos++];
  if (b2 < 0x80) return (b1 & 0x7F) * 128 + b2 + 128;
  if (pos >= size) return kErrRead;
  const uint32_t b3 = data[pos++];
  if (b3 >= 0x80) return kErrFormat;
  return (((b1 & 0x7F) * 128 + (b2 & 0x7F) + 129) * 128) + b3;
}

uint8_t CVelkConvEngine::VolumeCode(int volume) {
  if (volume <= 0) return 63;
  const double code = std::floor(40.0 * std::log10(127.0 / volume) / 0.75);
  if (code >= 63) return 63;
  return code <= 0 ? 0 : static_cast<uint8_t>(code);
}

void CVelkConvEngine::Reset() {
  for (Track& t : m_tracks) t = Track();
  m_parts.clear();
  m_voices.clear();
  for (auto& row : m_partOf) std::fill(std::begin(row), std::end(row), -1);
  m_hasTempo = false;
  m_tempoCode = kDefaultTempoCode;
  m_outOfRange = false;
  m_hasSetupValue = false;
  m_setupValue = 0;
  std::memset(m_partVoice, 0, sizeof m_partVoice);
}

int CVelkConvEngine::Convert(CStreamIO& io, const Options& options) {
  Reset();
  uint32_t fileEnd = 0;
  uint8_t header[kChunkHeader];
  if (!ReadAt(io, 0, header, kChunkHeader)) return kErrChunkHeader;
  if (!IdIs(header, "MMMD")) return kErrFormat;
  const uint64_t end = uint64_t{kChunkHeader} + BE32(header + 4);
  if (end > io.InputSize() || end < kChunkHeader + kChecksumBytes) return kErrChunkEnd;
  fileEnd = static_cast<uint32_t>(end);
  if (options.checkHeader) {
    if (int r = CheckHeader(io, fileEnd); r < 0) return r;
  }
  if (int r = ScanTracks(io, fileEnd, options); r < 0) return r;
  std::vector<std::vector<OffsetTick>> offsets(kTracks);
  for (int n = 0; n < kTracks; ++n) {
    if (!m_tracks[n].hasSequence) continue;
    if (int r = ScanSequence(io, n, offsets[n]); r < 0) return r;
  }
  CutPhrase(options, offsets);
  if (int r = ChooseRanges(io, options); r < 0) return r;
  // Engine B's set-up value serves as the tempo code.
  if (m_hasSetupValue) m_tempoCode = m_setupValue;
  return WriteOutput(io);
}

int CVelkConvEngine::CheckHeader(CStreamIO& io, uint32_t& fileEnd) {
  std::vector<uint8_t> bytes(fileEnd);
  if (!ReadAt(io, 0, bytes.data(), fileEnd)) return kErrRead;
  const uint32_t n = fileEnd - kChecksumBytes;
  const uint16_t stored = static_cast<uint16_t>((bytes[n] << 8) | bytes[n + 1]);
  return Crc16(n, bytes.data()) == stored ? kOk : kErrChecksum;
}

int CVelkConvEngine::ScanTracks(CStreamIO& io, uint32_t fileEnd, const Options& options) {
  uint32_t pos = kChunkHeader;
  const uint32_t bodyEnd = fileEnd - kChecksumBytes;
  while (pos < bodyEnd) {
    uint8_t header[kChunkHeader];
    if (pos + kChunkHeader > bodyEnd || !ReadAt(io, pos, header, kChunkHeader)) {
      return kErrChunkHeader;
    }
    const uint32_t size = BE32(header + 4);
    const uint32_t body = pos + kChunkHeader;
    if (size > bodyEnd - body) return kErrChunkEnd;
    // Tracks numbered 8 or more have no record in the engines: skipped.
    if (std::memcmp(header, "MTR", 3) == 0 && header[3] < kTracks) {
      if (int r = ReadTrack(io, header[3], body, size, options); r < 0) return r;
    }
    pos = body + size;
  }
  uint8_t checksum[kChecksumBytes];
  if (!ReadAt(io, pos, checksum, kChecksumBytes)) return kErrRead;
  return pos + kChecksumBytes == fileEnd ? kOk : kErrChunkEnd;
}

int CVelkConvEngine::ReadTrack(CStreamIO& io, int n, uint32_t bodyPos, uint32_t bodySize,
                               const Options& options) {
  uint8_t head[6];
  if (bodySize < sizeof head || !ReadAt(io, bodyPos, head, sizeof head)) return kErrRead;
  if (head[0] != 0) return kErrTrackHeader;
  if (head[1] != 0) return kErrTrackFormat;
  Track& track = m_tracks[n];
  for (int i = 0; i < 2; ++i) {
    const uint8_t code = head[2 + i];
    track.timeBase[i] = code < 32 ? TimeBaseOf(code) : 0;
    if (track.timeBase[i] == 0) return kErrTimeBase;
  }
  track.channel[0] = head[4];
  track.channel[1] = head[5];
  track.present = true;
  const uint32_t end = bodyPos + bodySize;
  uint32_t pos = bodyPos + 4 + (n >= kFirstStatusTrack ? kStatusBytes : 2);
  while (pos < end) {
    uint8_t header[kChunkHeader];
    if (pos + kChunkHeader > end || !ReadAt(io, pos, header, kChunkHeader)) return kErrChunkHeader;
    const uint32_t size = BE32(header + 4);
    const uint32_t body = pos + kChunkHeader;
    if (size > end - body) return kErrFormat;
    if (IdIs(header, "Mtsq")) {
      track.hasSequence = true;
      track.sequencePos = body;
      track.sequenceSize = size;
      break;
    }
    if (options.readTrackExtras && IdIs(header, "MspI")) {
      if (int r = ReadSeekPhrase(io, track, body, size); r < 0) return r;
    } else if (options.readTrackExtras && IdIs(header, "Mtsu")) {
      if (int r = ReadSetup(io, body, size); r < 0) return r;
    }
    pos = body + size;
  }
  return kOk;
}

int CVelkConvEngine::ReadSeekPhrase(CStreamIO& io, Track& track, uint32_t pos, uint32_t size) {
  std::vector<uint8_t> bytes(size);
  if (size && !ReadAt(io, pos, bytes.data(), size)) return kErrRead;
  uint32_t i = 0;
  auto values = [&](int count, uint32_t* out) {
    if (i + 3 + 4u * count > size || bytes[i + 2] != ':') return false;
    for (int v = 0; v < count; ++v) out[v] = BE32(&bytes[i + 3 + 4 * v]);
    return true;
  };
  while (i + 2 <= size) {
    const uint8_t a = bytes[i];
    const uint8_t b = bytes[i + 1];
    uint32_t v[2] = {};
    if (a == 's' && (b == 't' || b == 'p') && values(1, v)) {
      (b == 't' ? track.hasStart : track.hasStop) = true;
      (b == 't' ? track.start : track.stop) = v[0];
      i += 7;
    } else if (a == 'P' && b >= 'A' && b <= 'z' && values(2, v)) {
      Phrase& phrase = track.phrases[b - 'A'];
      phrase = {true, v[0], v[1]};
      i += 11;
    }
    // Whatever follows, the entry ends at the next ','.
    while (i < size && bytes[i] != ',') ++i;
    ++i;
  }
  return kOk;
}

int CVelkConvEngine::ReadSetup(CStreamIO& io, uint32_t pos, uint32_t size) {
  std::vector<uint8_t> bytes(size);
  if (size && !ReadAt(io, pos, bytes.data(), size)) return kErrSetupRead;
  uint32_t i = 0;
  while (i < size) {
    if (i + 3 > size || bytes[i] != 0xFF || bytes[i + 1] != 0xF0) return kErrSetupRead;
    const uint32_t length = bytes[i + 2];
    const uint32_t entry = i + 3;
    if (length > size - entry) return kErrSetupRead;
    // Maker, kind, then 0x80 and the value.
    if (!m_hasSetupValue && length >= 4 && bytes[entry + 2] == kTempoProgram) {
      m_hasSetupValue = true;
      m_setupValue = bytes[entry + 3];
    }
    i = entry + length;
  }
  return kOk;
}

int CVelkConvEngine::ReadVoiceEntries(const uint8_t* entry, uint32_t size) {
  uint32_t i = 2;
  while (i < size) {
    const uint8_t program = entry[i];
    if (program == kEndOfList) return kOk;
    if (i + 2 > size) return kErrSetupRead;
    const uint8_t type = entry[i + 1];
    i += 2;
    if (program == kTempoProgram && type == kTempoType) {
      if (i + 1 > size) return kErrSetupRead;
      m_tempoCode = entry[i++];
      m_hasTempo = true;
      continue;
    }
    const uint32_t count = (type == 0 || type == 4 || type == 8) ? 4 : type == 0x0C ? 1 : 0;
    // Anything else ends what this entry can tell.
    if (program > 0x7F || count == 0) return kOk;
    if (i + count > size) return kErrSetupRead;
    auto found = std::find_if(m_voices.begin(), m_voices.end(),
                              [&](const Voice& v) { return v.program == program; });
    if (found == m_voices.end() && m_voices.size() < kParts) {
      m_voices.push_back(Voice{program, {}});
      found = m_voices.end() - 1;
    }
    if (found != m_voices.end()) std::memcpy(found->bytes + type, entry + i, count);
    i += count;
  }
  return kOk;
}

int CVelkConvEngine::ScanSequence(CStreamIO& io, int n, std::vector<OffsetTick>& offsets) {
  const Track& track = m_tracks[n];
  const uint32_t size = track.sequenceSize;
  std::vector<uint8_t> bytes(size);
  if (size && !ReadAt(io, track.sequencePos, bytes.data(), size)) return kErrRead;
  const uint8_t* data = bytes.data();

  struct ChannelState {
    bool used = false;
    int base = 0;
    bool vibrato = false;
    int program = -1;
    int bank = -1;
    int volume = -1;
    std::vector<Event> notes;
  };
  ChannelState channels[4];
  uint32_t pos = 0;
  uint32_t tick = 0;
  offsets.push_back({0, 0});
  for (;;) {
    const int64_t duration = ReadDuration(data, size, pos);
    if (duration < 0) return static_cast<int>(duration);
    tick += static_cast<uint32_t>(duration);
    if (pos >= size) return kErrRead;
    const uint8_t event = data[pos++];
    if (event == 0) {
      if (pos >= size) return kErrRead;
      const uint8_t second = data[pos++];
      if (second == 0) {
        if (pos >= size) return kErrRead;
        ++pos;
        if (duration == 0) break;
      } else if ((second & 0x30) == 0x30) {
        if (pos >= size) return kErrRead;
        const uint8_t value = data[pos++];
        ChannelState& c = channels[second >> 6];
        switch (second & 0x0F) {
          case kCodeOctave: c.base = (value & 0x80) ? -(value & 0x7F) * 12 : value * 12; break;
          case kCodeProgram: if (c.program < 0) c.program = value; break;
          case kCodeBank: if (c.bank < 0) c.bank = value; break;
          case kCodeVolume: if (c.volume < 0) c.volume = value; break;
          case kCodeModulation: c.vibrato = value != 0; break;
          default: break;
        }
      }
    } else if (event == 0xFF) {
      if (pos >= size) return kErrRead;
      if (data[pos++] == 0xF0) {
        if (pos >= size) return kErrSetupRead;
        const uint32_t length = data[pos++];
        if (length > size - pos) return kErrSetupRead;
        const uint8_t* entry = data + pos;
        if (length >= 2 && entry[0] == kMaker && entry[1] == kVoiceListKind) {
          if (int r = ReadVoiceEntries(entry, length); r < 0) return r;
        }
        pos += length;
      }
    } else {
      const int64_t gate = ReadDuration(data, size, pos);
      if (gate < 0) return static_cast<int>(gate);
      ChannelState& c = channels[event >> 6];
      c.used = true;
      const int note = (event & 0x0F) + 12 * (((event >> 4) & 3) + 3) + c.base;
      c.notes.push_back({tick, note, static_cast<uint32_t>(gate), static_cast<uint8_t>(event >> 6),
                         c.vibrato});
    }
    offsets.push_back({pos, tick});
  }
  for (int k = 0; k < 4; ++k) {
    ChannelState& c = channels[k];
    if (!c.used) continue;
    if (m_parts.size() >= kParts) return kErrFormat;
    Part part;
    part.track = n;
    part.channel = k;
    part.program = c.program < 0 ? 0 : c.program;
    part.bank = c.bank < 0 ? 0 : c.bank;
    part.volume = c.volume;
    part.notes = std::move(c.notes);
    m_partOf[n][k] = static_cast<int>(m_parts.size());
    m_parts.push_back(std::move(part));
  }
  return kOk;
}
