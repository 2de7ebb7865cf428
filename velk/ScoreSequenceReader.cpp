// The decoder of a format-0 score-track sequence.
#include "velk/ScoreSequenceReader.h"

#include "song/SmfDialect.h"
#include "velk/BodyScan.h"
#include "velk/SequenceNumbers.h"

namespace {

// The closing four bytes of a body are never decoded.
constexpr uint32_t kTrailerBytes = 4;
constexpr uint8_t kVelocity = 100;
constexpr uint8_t kEndOfExclusive = 0xF7;

// Short-form controller values, indexed by the low nibble of the control byte.
constexpr uint8_t kExpressionTable[16] = {0,    0,    0x20, 0x28, 0x30, 0x38, 0x40, 0x48,
                                          0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x7F, 0x7F};
constexpr uint8_t kPitchTable[16] = {0,    0x08, 0x10, 0x18, 0x20, 0x28, 0x30, 0x38,
                                     0x40, 0x48, 0x50, 0x58, 0x60, 0x68, 0x70, 0x7F};
constexpr uint8_t kModulationTable[16] = {0,    0,    0x08, 0x10, 0x18, 0x20, 0x28, 0x30,
                                          0x38, 0x40, 0x48, 0x50, 0x60, 0x70, 0x7F, 0x7F};

// Long-form control codes (the low nibble of a 0x30 control byte).
constexpr uint8_t kCodeProgram = 0;
constexpr uint8_t kCodeBank = 1;
constexpr uint8_t kCodeOctave = 2;
constexpr uint8_t kCodeModulation = 3;
constexpr uint8_t kCodePitchBend = 4;
constexpr uint8_t kCodeVolume = 7;
constexpr uint8_t kCodePan = 10;
constexpr uint8_t kCodeExpression = 11;

// Exclusive message ids and the priority each value carries.
constexpr uint8_t kIdTempo1 = 1;
constexpr uint8_t kIdTempo2 = 2;
constexpr uint8_t kIdChannel = 3;

}  // namespace

struct CScoreSequenceReader::Pass {
  CSequenceEmitter out;
  uint8_t& exclusiveValue;
  int& priority;
  uint8_t track;
  int octave[CSequenceEmitter::kChannels] = {};
  // Channel-pair exclusives come in twos; the first only arms.
  bool pairArmed = false;
  uint8_t pairFirst = 0;
  uint8_t pairSecond = 0;
};

CScoreSequenceReader::CScoreSequenceReader(uint8_t* body, uint32_t size)
    : m_body(body), m_size(size) {}

void CScoreSequenceReader::SetVoiceRecord(int i, const void* record) {
  if (i >= 0 && i < kVoiceSlots) m_voices[i] = record;
}

const void* CScoreSequenceReader::GetVoiceRecord(int i) const {
  return i >= 0 && i < kVoiceSlots ? m_voices[i] : nullptr;
}

void CScoreSequenceReader::Decode(uint8_t& exclusiveValue, CSeqEventList& list,
                                  const CTrackBuild* seek, int& priority, uint8_t trackNumber) {
  if (trackNumber > kLastTrack) return;
  CMemStream body(m_body, static_cast<int32_t>(m_size), false);
  ParseToEndOfBody([&] {
    Pass pass{CSequenceEmitter(list, seek), exclusiveValue, priority, trackNumber};
    DecodeEvents(body, pass);
  });
}

void CScoreSequenceReader::DecodeEvents(CMemStream& body, Pass& pass) {
  uint32_t tick = 0;
  while (body.RemainingBytes() > kTrailerBytes) {
    pass.out.EmitCues(static_cast<uint32_t>(body.GetPosition()), tick);
    tick += ReadSeqNumber(body);
    uint8_t e = 0;
    body.ReadByte(e);
    if (e == 0x00) {
      ReadControl(body, pass, tick);
    } else if (e == 0xFF) {
      uint8_t next = 0;
      body.ReadByte(next);
      if (next == 0xF0) ReadExclusive(body, pass, tick);
    } else {
      ReadNote(body, pass, tick, e);
    }
  }
}

int CScoreSequenceReader::ChannelOf(const Pass& pass, uint8_t b) const {
  int channel = b >> 6;
  return pass.track == 0 ? channel : (pass.track - 1) * 4 + channel;
}

void CScoreSequenceReader::ReadNote(CMemStream& body, Pass& pass, uint32_t tick, uint8_t noteByte) {
  uint32_t gate = ReadSeqNumber(body);
  int channel = ChannelOf(pass, noteByte);
  int note = NoteFromByte(noteByte, pass.octave[channel]);
  // A large octave shift can name a note outside MIDI's range: such a note is dropped.
  if (note < 0 || note >= CSequenceEmitter::kNotes) return;
  const uint8_t bytes[] = {static_cast<uint8_t>(0x90 + channel), static_cast<uint8_t>(note),
                           kVelocity};
  pass.out.EmitNote(channel, note, tick, gate, bytes, sizeof bytes);
}

void CScoreSequenceReader::ReadControl(CMemStream& body, Pass& pass, uint32_t tick) {
  uint8_t x = 0;
  body.ReadByte(x);
  int channel = ChannelOf(pass, x);
  auto status = [channel](uint8_t base) { return static_cast<uint8_t>(base + channel); };
  uint8_t index = x & 0x0F;
  switch (x & 0x30) {
    case 0x00: {
      const uint8_t bytes[] = {status(0xB0), 0x0B, kExpressionTable[index]};
      pass.out.Emit(tick, bytes, sizeof bytes, tick);
      break;
    }
    case 0x10: {
      const uint8_t bytes[] = {status(0xE0), 0x00, kPitchTable[index]};
      pass.out.Emit(tick, bytes, sizeof bytes, tick);
      break;
    }
    case 0x20: {
      const uint8_t bytes[] = {status(0xB0), 0x01, kModulationTable[index]};
      pass.out.Emit(tick, bytes, sizeof bytes, tick);
      break;
    }
    default:
      ReadLongControl(body, pass, tick, channel, index);
      break;
  }
}

void CScoreSequenceReader::ReadLongControl(CMemStream& body, Pass& pass, uint32_t tick, int channel,
                                           uint8_t code) {
  uint8_t v = 0;
  body.ReadByte(v);
  auto status = static_cast<uint8_t>(channel);
  if (code == kCodeProgram) {
    const uint8_t bytes[] = {static_cast<uint8_t>(0xC0 + status), v};
    pass.out.Emit(tick, bytes, sizeof bytes, tick);
    return;
  }
  if (code == kCodeOctave) {
    // Sign and magnitude: bit 7 marks a downward shift.
    int shift = v & 0x7F;
    pass.octave[channel] = (v & 0x80) ? -shift : shift;
    return;
  }
  uint8_t first = 0xB0;
  uint8_t second = 0;
  switch (code) {
    case kCodeBank:
      second = 0x00;
      break;
    case kCodeModulation:
      second = 0x01;
      break;
    case kCodePitchBend:
      first = 0xE0;
      second = 0x00;
      break;
    case kCodeVolume:
      second = 0x07;
      break;
    case kCodePan:
      second = 0x0A;
      break;
    case kCodeExpression:
      second = 0x0B;
      break;
    default:
      return;
  }
  const uint8_t bytes[] = {static_cast<uint8_t>(first + status), second, v};
  pass.out.Emit(tick, bytes, sizeof bytes, tick);
}

void CScoreSequenceReader::ReadExclusive(CMemStream& body, Pass& pass, uint32_t tick) {
  // The length byte is read but the message runs to its F7.
  uint8_t length = 0;
  body.ReadByte(length);
  uint8_t maker = 0;
  uint8_t id = 0;
  if (ReadExclusiveByte(body, maker) && maker == kDialectMakerId && ReadExclusiveByte(body, id)) {
    uint8_t a = 0;
    uint8_t v = 0;
    if (id == kIdTempo1) {
      ReadHeaderTempo(body, pass);
    } else if (id == kIdTempo2) {
      if (ReadExclusiveByte(body, a) && a == 0x80 && ReadExclusiveByte(body, v) &&
          pass.priority <= 2) {
        pass.priority = 2;
        pass.exclusiveValue = v;
      }
    } else if (id == kIdChannel && body.PeekByte() == 0x80) {
      // The header of tracks 1 to 4 carries the tempo under this id.
      ReadHeaderTempo(body, pass);
    } else if (id == kIdChannel && ReadExclusiveByte(body, a)) {
      if (a == 0x90) ReadChannelPair(body, pass, tick);
      if (a == 0x91) ReadChannelRecord(body, pass, tick);
    }
  }
  SkipPastByte(body, kEndOfExclusive);
}

void CScoreSequenceReader::ReadHeaderTempo(CMemStream& body, Pass& pass) {
  uint8_t a = 0;
  uint8_t b = 0;
  uint8_t v = 0;
  if (ReadExclusiveByte(body, a) && a == 0x80 && ReadExclusiveByte(body, b) && b == 0x31 &&
      ReadExclusiveByte(body, v) && pass.priority <= 1) {
    pass.priority = 1;
    pass.exclusiveValue = v;
  }
}

void CScoreSequenceReader::ReadChannelPair(CMemStream& body, Pass& pass, uint32_t tick) {
  uint8_t a = 0;
  uint8_t b = 0;
  if (!ReadExclusiveByte(body, a) || !ReadExclusiveByte(body, b)) return;
  if ((a & 0xF0) == 0xB0) {
    pass.pairSecond = b;
  } else {
    pass.pairFirst = b;
  }
  if (!pass.pairArmed) {
    pass.pairArmed = true;
    return;
  }
  pass.pairArmed = false;
  const uint8_t bytes[] = {static_cast<uint8_t>(0xF0 + (a & 0x0F)), 0xF1, pass.pairSecond,
                           pass.pairFirst};
  pass.out.Emit(tick, bytes, sizeof bytes, tick);
}

void CScoreSequenceReader::ReadChannelRecord(CMemStream& body, Pass& pass, uint32_t tick) {
  uint8_t a = 0;
  uint8_t b = 0;
  if (!ReadExclusiveByte(body, a) || !ReadExclusiveByte(body, b) || (a & 0x0F) != 0) return;
  // Track 0 has no channel group of its own: its record names the first group.
  int group = pass.track == 0 ? 0 : (pass.track - 1) * 4;
  const uint8_t bytes[] = {static_cast<uint8_t>(0xF0 + group), 0xF0, b};
  pass.out.Emit(tick, bytes, sizeof bytes, tick);
}
