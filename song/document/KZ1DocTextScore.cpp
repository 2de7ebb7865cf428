// The text-score notation of one channel's notes: the parser that turns a text into note
// events and the generator that renders the notes as text.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/text/CodePage.h"
#include "platform/text/Format.h"
#include "song/GrowPtrArray.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kGeneratorQuarter = 24;
constexpr uint8_t kVelocity = 64;

// r(a, b): the quotient rounded half up, in tenths.
int Rounded(int a, int b) { return (a * 10 / b + 5) / 10; }

struct LengthName {
  const char* name;
  int ticks;
};

// The lengths of the notation, largest first, for a quarter note of q ticks.
std::vector<LengthName> LengthTable(int q) {
  const int h = Rounded(q, 2);
  return {{"1", 4 * q},          {"2.", 3 * q},         {"2", 2 * q},          {"4.", q + h},
          {"4", q},              {"8.", h + Rounded(h, 2)}, {"6", 2 * Rounded(q, 3)}, {"8", h},
          {"12", Rounded(q, 3)}, {"16", Rounded(q, 4)}, {"24", Rounded(q, 6)}, {"32", Rounded(q, 8)},
          {"48", Rounded(q, 12)}, {"96", Rounded(q, 24)}, {"192", Rounded(q, 48)}};
}

class TextScoreError {};

// Reads one token's notes; throws TextScoreError at the first illegal character.
class TokenReader {
 public:
  TokenReader(const std::string& token, int quarter, int& octave)
      : m_token(token), m_quarter(quarter), m_octave(octave) {}

  bool AtEnd() const { return m_pos >= m_token.size(); }

  /// One note or rest of the token: note -1 for a rest; tied when a "^" followed it.
  void Next(int& note, int& length, bool& tied) {
    const bool rest = ReadLetter(note);
    if (!rest) ReadModifiers(note);
    length = ReadLength();
    tied = false;
    if (AtEnd()) return;
    if (rest || m_token[m_pos] != '^') throw TextScoreError();
    tied = true;
    ++m_pos;
  }

 private:
  char Peek(size_t ahead = 0) const {
    return m_pos + ahead < m_token.size() ? m_token[m_pos + ahead] : '\0';
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  // The pitch letter, or a leading digit standing for C; true for a rest.
  bool ReadLetter(int& note) {
    static const char kLetters[] = "CDEFGAB";
    static const int kNotes[] = {60, 62, 64, 65, 67, 69, 71};
    const char c = Peek();
    if (c == 'R') {
      ++m_pos;
      note = -1;
      return true;
    }
    if (IsDigit(c)) {
      note = 60;
      return false;
    }
    for (int i = 0; i < 7; ++i) {
      if (c == kLetters[i]) {
        ++m_pos;
        note = kNotes[i];
        return false;
      }
    }
    throw TextScoreError();
  }

  void ReadModifiers(int& note) {
    bool accidental = false;
    while (!AtEnd() && !IsDigit(Peek()) && Peek() != '^') {
      const char c = m_token[m_pos++];
      if (c == '#' || c == '+' || c == '-') {
        if (accidental) throw TextScoreError();
        accidental = true;
        note += c == '-' ? -1 : 1;
        if (note < 0 || note > 127) throw TextScoreError();
      } else if (c == '<' || c == '>') {
        m_octave += c == '<' ? -12 : 12;
        if (note + m_octave < 0 || note + m_octave > 127) throw TextScoreError();
      } else {
        throw TextScoreError();
      }
    }
    note += m_octave;
    if (note < 0 || note > 127) throw TextScoreError();
  }

  // Consumes the digits (and dot) of one length name; the ticks, at least 1.
  int ReadLength() {
    static const char* kNames[] = {"192", "2.", "4.", "8.", "12", "16", "24", "32", "48", "96",
                                   "1",   "2",  "4",  "8",  "6"};
    if (AtEnd() || Peek() == '^') return m_quarter;
    for (const char* name : kNames) {
      const std::string n(name);
      if (m_token.compare(m_pos, n.size(), n) != 0) continue;
      // "1" may not be the start of "12", "16" or "192" that failed to match in full.
      if (n == "1" && Peek(1) == '9') throw TextScoreError();
      m_pos += n.size();
      for (const LengthName& entry : LengthTable(m_quarter)) {
        if (n == entry.name) return std::max(entry.ticks, 1);
      }
    }
    throw TextScoreError();
  }

  const std::string& m_token;
  const int m_quarter;
  int& m_octave;
  size_t m_pos = 0;
};

std::string Prepared(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else {
      out += text[i] == '&' ? '^' : text[i];
    }
  }
  return out;
}

bool HasMultiByteCharacters(const std::string& text) {
  auto codePage = platform::CodePage::Ansi();
  for (unsigned char c : text) {
    if (codePage->IsLeadByte(c)) return true;
  }
  return false;
}

std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::string current;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n') {
      if (!current.empty()) tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(current);
  return tokens;
}

void DeleteAdded(CGrowPtrArray& events, uint32_t from) {
  for (uint32_t i = from; i < events.GetCount(); ++i) delete static_cast<CMidiMsg*>(events.GetAt(i));
  events.RemoveAll();
}

// Cuts ticks into lengths of the table, largest first; below a quarter note the first length
// that fits without leaving exactly one tick. A tick that no length can take is dropped and
// counted in the result.
int SplitLengths(int ticks, const std::vector<LengthName>& table, int quarter,
                 std::vector<const char*>& names) {
  constexpr size_t kQuarterIndex = 4;  // "1" .. "4"
  int dropped = 0;
  while (ticks > 0) {
    const LengthName* pick = nullptr;
    for (size_t i = 0; i < table.size() && !pick; ++i) {
      const LengthName& e = table[i];
      if (e.ticks > ticks || e.ticks < 1) continue;
      if (ticks >= quarter ? i <= kQuarterIndex : (i > kQuarterIndex && ticks - e.ticks != 1)) {
        pick = &e;
      }
    }
    if (!pick) {
      ++dropped;
      --ticks;
      continue;
    }
    names.push_back(pick->name);
    ticks -= pick->ticks;
  }
  return dropped;
}

// The name of a note folded into 60..71, and its octave relative to 60.
void NoteName(int note, std::string& name, int& octave) {
  static const char* kNames[] = {"C", "C+", "D", "D+", "E", "F", "F+", "G", "G+", "A", "A+", "B"};
  octave = note >= 60 ? (note - 60) / 12 : -((71 - note) / 12);
  name = kNames[note - 60 - 12 * octave];
}

}  // namespace

int CKZ1Doc::ParseTextScore(int channel, std::string text, CGrowPtrArray& events,
                            std::string& error, int quarter) {
  const int q = quarter != 0 ? quarter : (m_timeBase != 0 ? m_timeBase : kGeneratorQuarter);
  text = Prepared(std::move(text));
  if (HasMultiByteCharacters(text)) {
    error = "It not support multi-byte description";
    return 0;
  }
  const uint32_t first = events.GetCount();
  const uint8_t status = static_cast<uint8_t>(0x90 | (channel & 0x0F));
  const std::vector<std::string> tokens = Tokens(text);
  uint32_t tick = 0;
  int octave = 0;
  size_t number = 0;
  try {
    for (number = 0; number < tokens.size(); ++number) {
      TokenReader reader(tokens[number], q, octave);
      do {
        int note = 0;
        int length = 0;
        bool tied = false;
        reader.Next(note, length, tied);
        if (note >= 0) {
          const uint8_t bytes[] = {status, static_cast<uint8_t>(note), kVelocity};
          const uint32_t end = tick + static_cast<uint32_t>(length) + (tied ? 1 : 0);
          auto event = std::make_unique<CMidiMsg>(tick, end, 3, bytes, 0);
          events.Add(event.get());
          event.release();
        }
        tick += static_cast<uint32_t>(length);
      } while (!reader.AtEnd());
    }
  } catch (const TextScoreError&) {
    DeleteAdded(events, first);
    error = platform::Format("It found illegal description : %d channel, %d th caracter.",
                             channel + 1, static_cast<int>(number + 1));
    return 0;
  } catch (...) {
    DeleteAdded(events, first);
    throw;
  }
  return 1;
}

int CKZ1Doc::MakeTextScore(int channel, std::string& text, std::string& error, int* warnOnce) {
  std::vector<const CMidiMsg*> notes;
  for (const auto& m : m_midlist) {
    if (m->GetLength() >= 2 && (m->GetByte(0) & 0xF0) == 0x90 && (m->GetByte(0) & 0x0F) == channel) {
      notes.push_back(m.get());
    }
  }
  const auto warn = [warnOnce] {
    if (warnOnce && *warnOnce) {
      *warnOnce = 0;
      platform::ShowMessage(7055);
    }
  };
  const std::vector<LengthName> table = LengthTable(kGeneratorQuarter);
  int64_t previousEnd = 0;
  int previousOctave = 0;
  int64_t correction = 0;
  std::string out;
  for (size_t i = 0; i < notes.size(); ++i) {
    const CMidiMsg& m = *notes[i];
    const int64_t tick = m.GetTick();
    const int64_t end = m.GetEndTick();
    const bool tied = i + 1 < notes.size() && end == int64_t{notes[i + 1]->GetTick()} + 1;
    int64_t rest = tick - previousEnd;
    if (rest == -1) rest = 0;
    if (rest < 0) {
      error = "It can not be converted to text score so that delta time of notes is minus.";
      return 0;
    }
    if (correction > 0 && rest > correction) {
      rest -= correction;
      correction = 0;
    }
    std::vector<const char*> pieces;
    if (const int dropped = SplitLengths(static_cast<int>(std::min<int64_t>(rest, 0x7FFFFFFF)), table, kGeneratorQuarter, pieces)) {
      warn();
      correction += dropped;
    }
    for (const char* piece : pieces) out += std::string("R") + piece + " ";

    std::string name;
    int octave = 0;
    NoteName(m.GetByte(1) & 0x7F, name, octave);
    const std::string marks(static_cast<size_t>(std::abs(octave - previousOctave)),
                            octave > previousOctave ? '>' : '<');
    previousOctave = octave;
    int64_t length = end - tick - (tied ? 1 : 0);
    if (length < 1) {
      warn();
      correction += 1 - length;
      length = 1;
    }
    pieces.clear();
    SplitLengths(static_cast<int>(std::min<int64_t>(length, 0x7FFFFFFF)), table, kGeneratorQuarter,
                 pieces);
    for (size_t p = 0; p < pieces.size(); ++p) {
      out += name + (p == 0 ? marks : std::string()) + pieces[p];
      if (p + 1 < pieces.size() || tied) out += '^';
      out += ' ';
    }
    previousEnd = end;
  }
  text += out;
  return 1;
}
