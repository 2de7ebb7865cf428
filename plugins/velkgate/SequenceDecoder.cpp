// The decoders of score sequences: the stream of tracks 5 and 6 and the compact tracks 1 to 4.
#include "plugins/velkgate/SequenceDecoder.h"

#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/ScoreSequenceChunk.h"
#include "plugins/velkgate/SeekRecord.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"

namespace velkgate {

namespace {

constexpr int kChannels = 16;
constexpr int kKeys = 128;
constexpr uint8_t kCompactVelocity = 100;
constexpr uint8_t kFirstStreamSlot = 1;
constexpr uint8_t kLastStreamSlot = 32;

constexpr uint8_t kExpressionTable[16] = {0, 0, 32, 40, 48, 56, 64, 72,
                                          80, 88, 96, 104, 112, 120, 127, 127};
constexpr uint8_t kBendTable[16] = {0, 8, 16, 24, 32, 40, 48, 56,
                                    64, 72, 80, 88, 96, 104, 112, 127};
constexpr uint8_t kModulationTable[16] = {0, 0, 8, 16, 24, 32, 40, 48,
                                          56, 64, 72, 80, 96, 112, 127, 127};

bool IsStreamSlot(uint8_t v) { return v >= kFirstStreamSlot && v <= kLastStreamSlot; }

/// Section code of a phrase letter (I E A B S K R give 1..7), 0 for another letter.
uint32_t CodeOfLetter(uint8_t letter) {
  size_t at = kSectionLetters.find(static_cast<char>(letter));
  return (letter != 0 && at != std::string_view::npos) ? static_cast<uint32_t>(at + 1) : 0;
}

/// State both decoders share: the cursor, the tick, the markers and the sounding notes.
class DecoderBase {
 public:
  DecoderBase(CScoreSequenceChunk& sequence, CEventList& out, const CSeekRecord* seek,
              uint8_t track)
      : m_begin(sequence.GetBody()),
        m_p(sequence.GetBody()),
        m_end(sequence.GetBody() + sequence.GetBodySize()),
        m_sequence(sequence),
        m_out(out),
        m_seek(seek),
        m_track(track) {}

 protected:
  uint32_t Offset() const { return static_cast<uint32_t>(m_p - m_begin); }
  size_t Remaining() const { return static_cast<size_t>(m_end - m_p); }
  uint8_t Byte() { return ReadByteAt(m_p, m_end); }
  /// A data byte of a channel message: bit 7 is no part of the value and is dropped.
  uint8_t DataByte() { return Byte() & 0x7F; }
  /// A data byte that has no sound value with bit 7 set: the image is refused.
  uint8_t StrictByte() {
    uint8_t b = Byte();
    if (b & 0x80) throw kErrRejected;
    return b;
  }
  uint32_t Vlq() { return ReadVlq(m_p, m_end); }

  CSeqEvent* Append(const std::vector<uint8_t>& bytes, uint32_t end, uint32_t cue = 0) {
    auto* event = new CSeqEvent(m_tick, static_cast<uint32_t>(bytes.size()), bytes.data(), end, cue);
    m_out.Add(event);
    return event;
  }
  void AppendMarker(uint32_t cue) { Append({m_track}, m_tick, cue); }

  /// Markers that stand at the current byte offset, before the event there.
  void MarkersAtOffset() {
    if (!m_seek) return;
    uint32_t offset = Offset();
    if (m_seek->HasStart() && m_seek->GetStart() == offset) AppendMarker(kCueStart);
    if (m_seek->HasStop() && m_seek->GetStop() == offset) {
      AppendMarker(kCueStop);
      m_stopPending = false;
    }
    const auto& phrases = m_seek->GetPhrases();
    if (m_nextPhrase < phrases.size() && phrases[m_nextPhrase].start == offset) {
      AppendMarker(CodeOfLetter(phrases[m_nextPhrase].letter));
      ++m_nextPhrase;
    }
  }

  /// A note, or a longer first note when the key still sounds. Returns whether it merged.
  bool Note(int channel, uint8_t key, uint8_t velocity, uint32_t gate) {
    uint32_t end = m_tick + gate;
    Sounding& s = m_sounding[channel][key];
    if (s.event && s.end > m_tick) {
      if (end > s.end) s.end = end;
      if (s.event->GetEndTick() < s.end) s.event->SetEndTick(s.end);
      return true;
    }
    auto status = static_cast<uint8_t>(0x90 | channel);
    s = Sounding{m_tick, end, Append({status, key, velocity}, end)};
    return false;
  }

  void Event(std::initializer_list<uint8_t> bytes) { Append(std::vector<uint8_t>(bytes), m_tick); }

  struct Sounding {
    uint32_t start = 0;
    uint32_t end = 0;
    CSeqEvent* event = nullptr;
  };

  const uint8_t* m_begin;
  const uint8_t* m_p;
  const uint8_t* m_end;
  CScoreSequenceChunk& m_sequence;
  CEventList& m_out;
  const CSeekRecord* m_seek;
  uint8_t m_track;
  uint32_t m_tick = 0;
  bool m_stopPending = false;
  size_t m_nextPhrase = 0;
  std::vector<std::vector<Sounding>> m_sounding =
      std::vector<std::vector<Sounding>>(kChannels, std::vector<Sounding>(kKeys));
};

class StreamDecoder : public DecoderBase {
 public:
  StreamDecoder(CScoreSequenceChunk& sequence, CEventList& out, const CSeekRecord* seek,
                uint8_t track, uint32_t& flags)
      : DecoderBase(sequence, out, seek, track), m_flags(flags) {
    for (uint8_t& v : m_velocity) v = 64;
    m_stopPending = seek && seek->HasStop();
  }

  void Run() {
    bool ended = false;
    while (!ended && m_p < m_end && !AtEndOfSequence()) {
      MarkersAtOffset();
      uint32_t eventOffset = Offset();
      m_tick += Vlq();
      ended = Message(eventOffset);
    }
    if (!ended && m_stopPending && m_seek->GetStop() >= Offset()) AppendMarker(kCueStop);
  }

 private:
  bool AtEndOfSequence() const {
    return Remaining() >= 3 && m_p[0] == 0xFF && m_p[1] == 0x2F && m_p[2] == 0x00;
  }

  /// Decodes one message; true at the end of the sequence.
  bool Message(uint32_t eventOffset) {
    uint8_t s = Byte();
    int channel = s & 0x0F;
    switch (s & 0xF0) {
      case 0x80: {
        uint8_t key = Byte();
        NoteOfStream(channel, key, m_velocity[channel], Vlq());
        return false;
      }
      case 0x90: {
        uint8_t key = Byte();
        // Masked, a velocity could become 0, which ends a note instead of starting one.
        uint8_t velocity = StrictByte();
        m_velocity[channel] = velocity;
        NoteOfStream(channel, key, velocity, Vlq());
        return false;
      }
      case 0xA0: Byte(), Byte(); return false;
      case 0xB0: ControlChange(s); return false;
      case 0xC0: {
        uint8_t program = DataByte();
        Event({s, program});
        m_sequence.SetProgram(channel, program);
        return false;
      }
      case 0xE0: {
        uint8_t lsb = DataByte();
        uint8_t msb = DataByte();
        Event({s, lsb, msb});
        return false;
      }
      default: break;
    }
    if (s == 0xF0) {
      SysEx();
      return false;
    }
    if (s == 0xFF) return Escape(eventOffset);
    return false;  // any other status is consumed and ignored
  }

  void NoteOfStream(int channel, uint8_t key, uint8_t velocity, uint32_t gate) {
    // A key outside the table is no note the device could play: it is dropped.
    if (key >= kKeys) return;
    if (Note(channel, key, velocity, gate)) m_flags |= CNVF_NOTES_MERGED;
  }

  void ControlChange(uint8_t s) {
    uint8_t controller = DataByte();
    uint8_t value = DataByte();
    switch (controller) {
      case 0: case 1: case 6: case 7: case 10: case 11: case 32: case 38: case 64: case 91:
      case 100: case 101: Event({s, controller, value}); return;
      case 120: case 121: case 123: case 127:
        if (value == 0) Event({s, controller, value});
        return;
      case 126:
        if (value == 1) Event({s, controller, value});
        return;
      default: return;
    }
  }

  void SysEx() {
    Vlq();  // the length: the message is read up to its F7 instead
    uint8_t head[4];
    for (uint8_t& b : head) b = Byte();
    uint8_t kind = Byte();
    if (kind == 0xF7) return;
    // A device message copied into the song carries only 7-bit bytes, or the song data could
    // not be read back: such a message refuses the image.
    auto strictHead = [&head] {
      for (uint8_t b : head)
        if (b & 0x80) throw kErrRejected;
    };
    switch (kind) {
      case kDeviceMasterVolume: {
        strictHead();
        uint8_t v = StrictByte();
        Event({0xF0, 0x07, head[0], head[1], head[2], head[3], kind, v, 0xF7});
        if (!m_haveMaster) m_sequence.SetMasterByte(v);
        m_haveMaster = true;
        break;
      }
      case kDeviceStreamPair: {
        strictHead();
        uint8_t x = StrictByte();
        uint8_t y = StrictByte();
        uint8_t z = StrictByte();
        if (IsStreamSlot(y) && IsStreamSlot(z))
          Event({0xF0, 0x09, head[0], head[1], head[2], head[3], kind, x, y, z, 0xF7});
        else
          m_flags |= CNVF_LENGTH_OVER;
        break;
      }
      case kDeviceStreamSlot: {
        uint8_t x = Byte();
        if (!IsStreamSlot(x)) {
          m_flags |= CNVF_LENGTH_OVER;
          break;
        }
        strictHead();
        uint8_t y = StrictByte();
        uint8_t z = StrictByte();
        Event({0xF0, 0x09, head[0], head[1], head[2], head[3], kind, x, y, z, 0xF7});
        break;
      }
      case kDeviceSongValue: {
        strictHead();
        uint8_t v = StrictByte();
        Event({0xF0, 0x07, head[0], head[1], head[2], head[3], kind, v, 0xF7});
        break;
      }
      default: break;
    }
    while (Byte() != 0xF7) {
    }
  }

  bool Escape(uint32_t eventOffset) {
    uint8_t type = Byte();
    if (type == 0x00) return false;
    if (type == 0x2F) {
      if (m_stopPending && m_seek->GetStop() >= eventOffset) {
        AppendMarker(kCueStop);
        m_stopPending = false;
      }
      m_sequence.SetSequenceLength(m_tick);
      return true;
    }
    uint8_t n = Byte();
    if (n > Remaining()) throw kErrEndOfData;
    m_p += n;
    return false;
  }

  uint32_t& m_flags;
  uint8_t m_velocity[kChannels];
  bool m_haveMaster = false;
};

class CompactDecoder : public DecoderBase {
 public:
  CompactDecoder(CScoreSequenceChunk& sequence, CEventList& out, const CSeekRecord* seek,
                 uint8_t track, uint32_t& deviceValue, int& priority)
      : DecoderBase(sequence, out, seek, track),
        m_firstChannel(4 * (track - 1)),
        m_deviceValue(deviceValue),
        m_priority(priority) {}

  void Run() {
    while (Remaining() > 4) {
      MarkersAtOffset();
      m_tick += Duration();
      uint8_t m = Byte();
      if (m == 0x00) Control();
      else if (m == 0xFF) Escape();
      else CompactNote(m);
    }
  }

 private:
  /// One, two or three bytes: b0; (b0 & 0x7F) * 128 + b1 + 128; or the three-byte form + 16511.
  uint32_t Duration() {
    uint32_t b0 = Byte();
    if (b0 < 0x80) return b0;
    uint32_t b1 = Byte();
    if (b1 < 0x80) return (b0 & 0x7F) * 128 + b1 + 128;
    uint32_t b2 = Byte();
    return (b0 & 0x7F) * 16384 + (b1 & 0x7F) * 128 + b2 + 16511;
  }

  int ChannelOf(uint8_t u) const { return m_firstChannel + (u >> 6); }

  void Control() {
    uint8_t u = Byte();
    auto cc = static_cast<uint8_t>(0xB0 | ChannelOf(u));
    auto bend = static_cast<uint8_t>(0xE0 | ChannelOf(u));
    int index = u & 0x0F;
    switch ((u >> 4) & 0x03) {
      case 0: return Event({cc, 11, kExpressionTable[index]});
      case 1: return Event({bend, 0, kBendTable[index]});
      case 2: return Event({cc, 1, kModulationTable[index]});
      default: break;
    }
    uint8_t raw = Byte();
    uint8_t d = raw & 0x7F;
    switch (index) {
      case 0: return Event({static_cast<uint8_t>(0xC0 | ChannelOf(u)), d});
      case 1: return Event({cc, 0, d});
      case 2:
        m_octave[u >> 6] = (raw & 0x80) ? -d : d;
        return;
      case 3: return Event({cc, 1, d});
      case 4: return Event({bend, 0, d});
      case 7: return Event({cc, 7, d});
      case 10: return Event({cc, 10, d});
      case 11: return Event({cc, 11, d});
      default: return;
    }
  }

  void Escape() {
    if (Byte() != 0xF0) return;
    Byte();  // the length: the message is read up to its F7 instead
    uint8_t maker = Byte();
    if (maker == 0xF7) return;
    if (maker == kDialectMakerId) DeviceMessage();
    while (Byte() != 0xF7) {
    }
  }

  void DeviceMessage() {
    uint8_t kind = Byte();
    if (kind == 0x01 || kind == 0x02) {
      int valuePriority = kind;
      uint8_t a = Byte();
      uint8_t b = kind == 0x01 ? Byte() : 0x31;
      uint8_t v = Byte();
      if (a == 0x80 && b == 0x31 && valuePriority >= m_priority) {
        m_deviceValue = v;
        m_priority = valuePriority;
      }
      // The F7 may already be behind: step back so the caller finds it.
      if (v == 0xF7) --m_p;
      return;
    }
    if (kind != 0x03) {
      if (kind == 0xF7) --m_p;
      return;
    }
    uint8_t sub = Byte();
    uint8_t a = Byte();
    uint8_t b = Byte();
    if (sub == 0x90) {
      ((a >> 4) == 0x0B ? m_valueA : m_valueB) = b & 0x7F;
      if (++m_pairCount % 2 == 0)
        Event({static_cast<uint8_t>(0xF0 | (a & 0x0F)), 0xF1, m_valueA, m_valueB});
    } else if (sub == 0x91 && (a & 0x0F) == 0) {
      Event({static_cast<uint8_t>(0xF0 | m_firstChannel), 0xF0, static_cast<uint8_t>(b & 0x7F)});
    }
    if (b == 0xF7) --m_p;
  }

  void CompactNote(uint8_t m) {
    int group = m >> 6;
    int key = (((m >> 4) & 0x03) + m_octave[group] + 3) * 12 + (m & 0x0F);
    uint32_t gate = Duration();
    // An octave shift can push the key off the keyboard: such a note is dropped.
    if (key < 0 || key >= kKeys) return;
    Note(m_firstChannel + group, static_cast<uint8_t>(key), kCompactVelocity, gate);
  }

  int m_firstChannel;
  uint32_t& m_deviceValue;
  int& m_priority;
  int m_octave[4] = {0, 0, 0, 0};
  uint8_t m_valueA = 0;
  uint8_t m_valueB = 0;
  uint32_t m_pairCount = 0;
};

}  // namespace

void DecodeSequenceTrack5to6(CScoreSequenceChunk& sequence, CEventList& out,
                             const CSeekRecord* seek, uint8_t track, uint32_t& flags) {
  StreamDecoder(sequence, out, seek, track, flags).Run();
}

void DecodeSequenceTrack1to4(CScoreSequenceChunk& sequence, CEventList& out,
                             const CSeekRecord* seek, uint8_t track, uint32_t& deviceValue,
                             int& priority) {
  if (track < 1 || track > 4) return;
  CompactDecoder(sequence, out, seek, track, deviceValue, priority).Run();
}

}  // namespace velkgate
