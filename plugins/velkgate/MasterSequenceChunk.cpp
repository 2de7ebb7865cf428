// "Mssq": tempo, time signature, key signature and chord events of the master track.
#include "plugins/velkgate/MasterSequenceChunk.h"

#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/TempoMessage.h"
#include "song/SmfDialect.h"

namespace velkgate {

namespace {

constexpr uint8_t kKeySignature = 0xB8;
constexpr uint8_t kTempoStatus = 0xF0;
constexpr uint8_t kMaxChordType = 34;
constexpr uint8_t kNoBass = 127;
/// FF 7F 07 43 7B 01: the chord meta's head.
constexpr uint8_t kChordHead[6] = {0xFF, 0x7F, 0x07, kDialectMakerId, 0x7B, 0x01};

bool IsValidTimeSignature(uint8_t numerator, uint8_t power) {
  return numerator >= 1 && numerator <= 64 && power >= 1 && power <= 5;
}

bool IsTimeSignatureMeta(const CSeqEvent* e) {
  return e->GetLength() >= 5 && e->GetDataByte(0) == 0xFF && e->GetDataByte(1) == 0x58;
}

/// Root or bass of the chord meta: bits 4-6 accidental (0..6), bits 0-3 note (1..7).
bool IsValidChordNote(uint8_t v) { return (v >> 4) <= 6 && (v & 0x0F) >= 1 && (v & 0x0F) <= 7; }
uint8_t ChordNoteCode(uint8_t v) { return static_cast<uint8_t>(0x80 | ((v >> 4) << 3) | (v & 0x0F)); }
/// A coded chord note back to the meta form; 0 when the byte is not one.
bool DecodeChordNote(uint8_t c, uint8_t& out) {
  if (c < 0x81 || c > 0xB7 || (c & 0x38) > 0x30 || (c & 7) == 0) return false;
  out = static_cast<uint8_t>((c & 0x38) * 2 + (c & 7));
  return true;
}

class MasterEncoder {
 public:
  explicit MasterEncoder(const CEventList& list) : m_events(list.Items()) {}

  std::vector<uint8_t> Run() {
    bool tempoAtZero = false;
    bool signatureAtZero = false;
    for (const CSeqEvent* e : m_events) {
      if (e->GetTick() != 0 || e->GetExtra() != 0) continue;
      if (IsTempo(e)) tempoAtZero = true;
      if (IsTimeSignatureMeta(e) && IsValidTimeSignature(e->GetDataByte(3), e->GetDataByte(4)))
        signatureAtZero = true;
    }
    if (!tempoAtZero) {
      const uint8_t head[2] = {0x00, kTempoStatus};
      AppendBytes(m_out, head, 2);
      AppendVlq(m_out, kDefaultTempo);
      m_tempo = kDefaultTempo;
    }
    if (!signatureAtZero) {
      const uint8_t fourFour[3] = {0x00, static_cast<uint8_t>(kKeySignature + 2), 4};
      AppendBytes(m_out, fourFour, 3);
      m_numerator = 4;
      m_power = 2;
    }
    for (const CSeqEvent* e : m_events)
      if (e->GetExtra() == 0) Encode(e);
    const uint8_t end[4] = {0, 0, 0, 0};
    AppendBytes(m_out, end, 4);
    return std::move(m_out);
  }

 private:
  static bool IsTempo(const CSeqEvent* e) {
    return e->GetDataByte(0) == 0xF0 && e->GetDataByte(5) == kGroupSong &&
           e->GetDataByte(6) == kSongTempo;
  }

  void Delta(const CSeqEvent* e) {
    AppendVlq(m_out, e->GetTick() - m_lastTick);
    m_lastTick = e->GetTick();
  }

  void Encode(const CSeqEvent* e) {
    if (IsTempo(e)) return EncodeTempo(e);
    if (e->GetDataByte(0) != 0xFF) return;
    uint8_t type = e->GetDataByte(1);
    if (type == 0x58 && IsTimeSignatureMeta(e)) return EncodeTimeSignature(e);
    if (type == 0x59 && e->GetLength() >= 5) return EncodeKeySignature(e);
    if (type == 0x7F && e->GetLength() >= 10) EncodeChord(e);
  }

  void EncodeTempo(const CSeqEvent* e) {
    uint32_t tempo = 0;
    if (!ReadTempoMessage(e->GetData(), e->GetLength(), tempo) || tempo == m_tempo) return;
    Delta(e);
    AppendByte(m_out, kTempoStatus);
    AppendVlq(m_out, tempo);
    m_tempo = tempo;
  }

  void EncodeTimeSignature(const CSeqEvent* e) {
    uint8_t numerator = e->GetDataByte(3);
    uint8_t power = e->GetDataByte(4);
    if (!IsValidTimeSignature(numerator, power)) return;
    if (numerator == m_numerator && power == m_power) return;
    Delta(e);
    AppendByte(m_out, static_cast<uint8_t>(kKeySignature + power));
    AppendByte(m_out, numerator);
    m_numerator = numerator;
    m_power = power;
  }

  void EncodeKeySignature(const CSeqEvent* e) {
    auto sharps = static_cast<int8_t>(e->GetDataByte(3));
    uint8_t minor = e->GetDataByte(4);
    if (sharps < -7 || sharps > 7 || minor > 1) return;
    Delta(e);
    AppendByte(m_out, kKeySignature);
    AppendByte(m_out, static_cast<uint8_t>((static_cast<uint8_t>(sharps) & 0x0F) | (minor << 4)));
  }

  void EncodeChord(const CSeqEvent* e) {
    for (int i = 0; i < 6; ++i)
      if (e->GetDataByte(static_cast<uint32_t>(i)) != kChordHead[i]) return;
    uint8_t root = e->GetDataByte(6);
    uint8_t type = e->GetDataByte(7);
    uint8_t bass = e->GetDataByte(8);
    uint8_t bassType = e->GetDataByte(9);
    if (!IsValidChordNote(root) || type > kMaxChordType) return;
    bool hasBass = bass != kNoBass;
    if (hasBass && (!IsValidChordNote(bass) || bassType > kMaxChordType)) return;
    Delta(e);
    AppendByte(m_out, ChordNoteCode(root));
    if (!hasBass) return AppendByte(m_out, type);
    AppendByte(m_out, static_cast<uint8_t>(type | 0x80));
    AppendByte(m_out, ChordNoteCode(bass));
    AppendByte(m_out, bassType);
  }

  std::vector<CSeqEvent*> m_events;
  std::vector<uint8_t> m_out;
  uint32_t m_lastTick = 0;
  uint32_t m_tempo = 0;
  uint8_t m_numerator = 0;
  uint8_t m_power = 0;
};

class MasterDecoder {
 public:
  MasterDecoder(const uint8_t* data, uint32_t n, CEventList& out)
      : m_p(data), m_end(data + n), m_out(out) {}

  void Run() {
    while (m_p < m_end && !AtClosing()) {
      m_tick += ReadVlq(m_p, m_end);
      uint8_t s = ReadByteAt(m_p, m_end);
      if (s == kKeySignature) KeySignature();
      else if (s == kTempoStatus) Tempo();
      else if (s >= 0xB9 && s <= 0xBD) TimeSignature(s);
      else if (s >= 0x81 && s <= 0xB7 && (s & 7) != 0) Chord(s);
      else if (s == 0xFF) Escape();
      else if (s & 0x80) SkipHighBytes();
    }
  }

 private:
  bool AtClosing() const {
    if (m_end - m_p < 4) return false;
    return m_p[0] == 0 && m_p[1] == 0 && m_p[2] == 0 && m_p[3] == 0;
  }
  void SkipHighBytes() {
    while (m_p < m_end && (*m_p & 0x80)) ++m_p;
  }
  void Add(const std::vector<uint8_t>& bytes) {
    m_out.Add(new CSeqEvent(m_tick, static_cast<uint32_t>(bytes.size()), bytes.data(), m_tick, 0));
  }

  void KeySignature() {
    uint8_t k = ReadByteAt(m_p, m_end);
    if (k >= 32) return SkipHighBytes();
    auto sharps = static_cast<uint8_t>((k & 0x08) ? (k & 0x0F) | 0xF0 : (k & 0x0F));
    Add({0xFF, 0x59, 0x02, sharps, static_cast<uint8_t>((k >> 4) & 1)});
  }

  void Tempo() {
    // A variable-length number of up to four bytes: the encoder writes small tempi in one or two.
    uint32_t tempo = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b = ReadByteAt(m_p, m_end);
      tempo = (tempo << 7) | (b & 0x7F);
      if (!(b & 0x80)) break;
    }
    Add(MakeTempoMessage(tempo));
  }

  void TimeSignature(uint8_t s) {
    uint8_t n = ReadByteAt(m_p, m_end);
    if (n < 1 || n > 64) return SkipHighBytes();
    Add({0xFF, 0x58, 0x04, n, static_cast<uint8_t>(s & 7), 24, 8});
  }

  void Chord(uint8_t s) {
    uint8_t t = ReadByteAt(m_p, m_end);
    uint8_t bass = kNoBass;
    uint8_t bassType = kNoBass;
    bool valid = (t & 0x7F) <= kMaxChordType;
    if (t & 0x80) {
      uint8_t c = ReadByteAt(m_p, m_end);
      bassType = ReadByteAt(m_p, m_end) & 0x7F;
      valid = valid && DecodeChordNote(c, bass) && bassType <= kMaxChordType;
    }
    uint8_t root = 0;
    if (!valid || !DecodeChordNote(s, root)) return;
    std::vector<uint8_t> bytes(kChordHead, kChordHead + 6);
    bytes.insert(bytes.end(), {root, static_cast<uint8_t>(t & 0x7F), bass, bassType});
    Add(bytes);
  }

  void Escape() {
    uint8_t b = ReadByteAt(m_p, m_end);
    if (b != 0 && (b & 0x80)) SkipHighBytes();
  }

  const uint8_t* m_p;
  const uint8_t* m_end;
  CEventList& m_out;
  uint32_t m_tick = 0;
};

}  // namespace

CMasterSequenceChunk::CMasterSequenceChunk(const CEventList& masterList) : CChunk(kId) {
  std::vector<uint8_t> body = MasterEncoder(masterList).Run();
  SetBodyCopy(body.data(), static_cast<uint32_t>(body.size()));
}

CMasterSequenceChunk::CMasterSequenceChunk(CMemStream& stream) : CChunk(stream) {}

void CMasterSequenceChunk::DecodeMasterSequence(CEventList& out) const {
  if (GetBodySize() == 0) return;
  MasterDecoder(GetBody(), GetBodySize(), out).Run();
}

}  // namespace velkgate
