#include "voice/models/Gen1VoiceEdit.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "song/VoiceTable1.h"

namespace {

constexpr const char* kAttack[16] = {"---",    "38081.68", "19040.84", "9520.42", "4760.21", "2380.10",
                                     "1190.05", "595.03",  "297.51",   "148.76",  "74.38",   "37.19",
                                     "18.59",  "9.30",     "4.65",     "0"};
constexpr const char* kDecay[16] = {"---",     "73234.00", "36617.00", "18308.50", "9154.25", "4577.12",
                                    "2288.56", "1144.25",  "572.14",   "286.07",   "143.04",  "71.52",
                                    "35.76",   "17.88",    "8.94",     "4.47"};
constexpr const char* kFeedback[8] = {"0", "1/16", "1/8", "1/4", "1/2", "1", "2", "4"};
constexpr const char* kMultiple[8] = {"1/2", "1", "2", "3", "4", "5", "6", "7"};

std::string Pick(const char* const* list, int count, int v) { return v >= 0 && v < count ? list[v] : std::string(); }

void ReadOperator(const CVoiceTable1& t, int e, int w, Gen1Operator& op) {
  op.vib = t.GetVIB(e, w);
  op.egt = t.GetEGT(e, w);
  op.sus = t.GetSUS(e, w);
  op.wave = t.GetWAVE(e, w);
  op.rr = t.GetRR(e, w);
  op.dr = t.GetDR(e, w);
  op.ar = std::max(1, t.GetAR(e, w));
  op.sl = t.GetSL(e, w);
  op.tl = t.GetTL(e, w);
  op.fl = t.GetFL(e, w);
}

void WriteOperator(CVoiceTable1& t, int e, int w, const Gen1Operator& op) {
  t.SetVIB(e, w, op.vib);
  t.SetEGT(e, w, op.egt);
  t.SetSUS(e, w, op.sus);
  t.SetWAVE(e, w, op.wave);
  t.SetRR(e, w, op.rr);
  t.SetDR(e, w, op.dr);
  t.SetAR(e, w, op.ar);
  t.SetSL(e, w, op.sl);
  t.SetTL(e, w, op.tl);
  t.SetFL(e, w, op.fl);
}

// Key indices of the button ids 1954..1989.
constexpr int kFirstButton = 1954;
constexpr int kButtonKeys[36] = {0,  1,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2,  20, 21, 22, 23, 24,
                                 25, 26, 27, 28, 29, 3,  30, 31, 32, 33, 34, 35, 4,  5,  6,  7,  8,  9};
constexpr int kKeyCodes[12] = {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15};

}  // namespace

Gen1VoiceFields Gen1VoiceFields::Read(const CVoiceTable1& table, int entry) {
  Gen1VoiceFields f;
  const auto* name = reinterpret_cast<const char*>(table.GetEntry(entry));
  f.name.assign(name, strnlen(name, 16));
  ReadOperator(table, entry, 0, f.op[0]);
  ReadOperator(table, entry, 1, f.op[1]);
  for (int r = 0; r < 4; ++r) {
    f.rangeOn[r] = table.IsRangeOn(entry, r) ? 1 : 0;
    table.GetMultiples(entry, r, f.m[r], f.c[r]);
    f.m[r] &= 7;
    f.c[r] &= 7;
  }
  f.basic = table.GetBasicRange(entry) & 3;
  return f;
}

void Gen1VoiceFields::Write(CVoiceTable1& table, int entry) const {
  uint8_t* bytes = table.GetEntry(entry);
  const size_t n = std::min<size_t>(name.size(), 16);
  std::memcpy(bytes, name.data(), n);
  if (n < 16) bytes[n] = 0;
  WriteOperator(table, entry, 0, op[0]);
  WriteOperator(table, entry, 1, op[1]);
  for (int r = 0; r < 4; ++r) table.SetMultiples(entry, r, m[r], c[r]);
  if (basic >= 0) table.SetBasicRange(entry, basic, 0);
  int flags = 0;
  for (int r = 0; r < 4; ++r) flags |= (rangeOn[r] ? 1 : 0) << r;
  table.SetRangeFlags(entry, flags);
}

namespace gen1text {

std::string AttackRate(int v) { return Pick(kAttack, 16, v); }
std::string DecayRate(int v) { return Pick(kDecay, 16, v); }
std::string SustainLevel(int v) { return v < 0 || v > 15 ? std::string() : v == 0 ? "0" : "-" + std::to_string(3 * v); }
std::string TotalLevel(int v) {
  if (v < 0 || v > 63) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", -0.75 * v);
  return v == 0 ? "0.00" : text;
}
std::string FeedbackLevel(int v) { return Pick(kFeedback, 8, v); }
std::string Multiple(int v) { return Pick(kMultiple, 8, v); }

}  // namespace gen1text

namespace gen1keys {

int KeyOfButton(int controlId) {
  const int i = controlId - kFirstButton;
  return i >= 0 && i < 36 ? kButtonKeys[i] : -1;
}

int ButtonOfKey(int key) {
  for (int i = 0; i < 36; ++i) {
    if (kButtonKeys[i] == key) return kFirstButton + i;
  }
  return 0;
}

Gen1TestKey Sound(int key) {
  if (key < 0 || key > 35) return {};
  return {key / 12 + 1, kKeyCodes[key % 12]};
}

int KeyOfLetter(char letter, int& octave) {
  static const char kLetters[] = "SXDCVGBHNJMZ";
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (upper == 'A' || upper == 'Q') {
    const int next = octave + (upper == 'A' ? -1 : 1);
    if (next < 0 || next > 3) return kPassOn;
    octave = next;
    return kOctaveMoved;
  }
  const char* at = std::strchr(kLetters, upper);
  if (!at || upper == 0) return kPassOn;
  const int s = static_cast<int>(at - kLetters);
  return s + 12 * octave - (upper == 'Z' ? 12 : 0);
}

}  // namespace gen1keys
