#include "voice/models/Gen2VoiceEdit.h"

#include <array>
#include <cstdio>

#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr const char* kLfo[4] = {"1.9", "4.2", "6.1", "7.2"};
constexpr const char* kFeedback[8] = {"0", "(pi)/16", "(pi)/8", "(pi)/4", "(pi)/2", "pi", "2*(pi)", "4*(pi)"};
constexpr const char* kMultiple[16] = {"1/2", "1", "2", "3", "4", "5", "6", "7",
                                       "8",   "9", "10", "10", "12", "12", "15", "15"};
constexpr const char* kKeyScale[4] = {"0", "3.0", "1.5", "6.0"};
constexpr const char* kVibrato[4] = {"3.4", "6.7", "13.5", "26.8"};
constexpr const char* kAmDepth[4] = {"1.3", "2.8", "5.8", "11.8"};

constexpr int kListSize = 64;

std::string Pick(const char* const* list, int count, int v) { return v >= 0 && v < count ? list[v] : std::string(); }

std::string Fixed2(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

/// Groups of four times from `first`: within a group the time falls as 4 / (4 + k), the next
/// group starts at half the previous one's first time.
std::string GroupTime(double first, int index) {
  const int group = index / 4;
  const int k = index % 4;
  return Fixed2(first / static_cast<double>(1 << group) * 4.0 / (4.0 + k));
}

using TextList = std::array<std::string, kListSize>;

const TextList& DecayList() {
  static const TextList list = [] {
    TextList l;
    for (int i = 0; i < 4; ++i) l[i] = "-";
    for (int i = 0; i < 56; ++i) l[4 + i] = GroupTime(41536.90, i);
    // The fastest four are one time.
    for (int i = 60; i < kListSize; ++i) l[i] = GroupTime(41536.90, 56);
    return l;
  }();
  return list;
}

const TextList& AttackList() {
  static const TextList list = [] {
    TextList l;
    for (int i = 0; i < 4; ++i) l[i] = "-";
    for (int i = 0; i < 56; ++i) l[4 + i] = GroupTime(2842.12, i);
    for (int i = 60; i < kListSize; ++i) l[i] = "0";
    return l;
  }();
  return list;
}

/// The 4-bit rate shows the entry of rate x 4, so the rates 1..15 spread over the whole list.
std::string RateText(const TextList& list, int v) { return v >= 0 && v < 16 ? list[v * 4] : std::string(); }

}  // namespace

Gen2Operator Gen2Operator::Read(const CVoice2& v, int n) {
  Gen2Operator op;
  op.multi = v.GetOpMULTI(n);
  op.rr = v.GetOpRR(n);
  op.dr = v.GetOpDR(n);
  op.ar = v.GetOpAR(n);
  op.sl = v.GetOpSL(n);
  op.tl = v.GetOpTL(n);
  op.ksl = v.GetOpKSL(n);
  op.dvb = v.GetOpDVB(n);
  op.dam = v.GetOpDAM(n);
  op.ws = v.GetOpWS(n);
  op.vib = v.GetOpVIB(n);
  op.egt = v.GetOpEGT(n);
  op.sus = v.GetOpSUS(n);
  op.ksr = v.GetOpKSR(n);
  op.am = v.GetOpAM(n);
  return op;
}

void Gen2Operator::Write(CVoice2& v, int n) const {
  v.SetOpMULTI(n, multi);
  v.SetOpRR(n, rr);
  v.SetOpDR(n, dr);
  v.SetOpAR(n, ar);
  v.SetOpSL(n, sl);
  v.SetOpTL(n, tl);
  v.SetOpKSL(n, ksl);
  v.SetOpDVB(n, dvb);
  v.SetOpDAM(n, dam);
  v.SetOpWS(n, ws);
  v.SetOpVIB(n, vib != 0);
  v.SetOpEGT(n, egt != 0);
  v.SetOpSUS(n, sus != 0);
  v.SetOpKSR(n, ksr != 0);
  v.SetOpAM(n, am != 0);
}

void CGen2VoiceEdit::InitSlot(int slot, const CKZ1Doc* doc) {
  m_source = kSlot;
  m_slot = slot;
  m_editable = true;
  m_work.Clear();
  if (doc) doc->GetKZ2Voice(slot, m_work);
  // The slot's record carries the slot's address.
  m_bank = m_work.GetBank();
  m_program = m_work.GetProgram();
}

void CGen2VoiceEdit::InitLibrary(int bank, int program, bool editable, CVoiceLibrary* library) {
  m_source = kLibrary;
  m_bank = bank;
  m_program = program;
  m_editable = editable;
  m_work.Clear();
  if (library) {
    if (const CVoice2* voice = library->GetVoice2(bank, program)) m_work = *voice;
  }
}

Gen2VoiceFields CGen2VoiceEdit::Show(int n) const {
  Gen2VoiceFields f;
  f.bank = m_bank;
  f.program = m_program;
  f.voiceNo = m_work.GetVoiceNo() + 1;
  const auto* name = reinterpret_cast<const char*>(m_work.GetName());
  size_t length = 0;
  while (length < CVoice2::kNameSize && name[length] != '\0') ++length;
  f.name.assign(name, length);
  f.lfo = m_work.GetLFO();
  f.fb = m_work.GetFB();
  f.bo = m_work.GetBO();
  f.operatorCount = m_work.GetOperatorCount();
  f.alg = m_work.GetAlgorithm() & 3;
  f.op = Gen2Operator::Read(m_work, n);
  return f;
}

void CGen2VoiceEdit::Store(const Gen2VoiceFields& f, int n) {
  m_bank = f.bank;
  m_program = f.program;
  m_work.SetBank(f.bank);
  m_work.SetProgram(f.program);
  m_work.SetVoiceNo(f.voiceNo - 1);
  m_work.SetNameText(f.name.c_str());
  m_work.SetLFO(f.lfo);
  m_work.SetFB(f.fb);
  m_work.SetBO(f.bo);
  m_work.SetAlgorithm(f.alg & 3);
  m_work.SetOperatorCount(f.operatorCount);
  if (n >= 1 && n <= 4) f.op.Write(m_work, n);
}

bool CGen2VoiceEdit::SongAccepts(const CKZ1Doc* doc) const {
  if (m_source != kSlot) return true;
  return doc && doc->CheckChannelForVoice(m_slot, m_work) != 0;
}

bool CGen2VoiceEdit::Commit(CKZ1Doc* doc, CVoiceLibrary* library) const {
  if (!m_editable) return false;
  if (m_source == kSlot) return doc && doc->SetVoiceSlotBytes(m_slot, m_work) != 0;
  // The fixed banks are the library's read-only voices, whatever address was typed.
  if (gen2::IsFixedBank(m_bank)) return false;
  return library && library->SetVoice2(m_bank, m_program, m_work);
}

namespace gen2 {

bool IsFixedBank(int bank) { return bank == 0 || bank == 1 || bank == 128 || bank == 129; }

int AlgorithmPictureId(int operatorCount, int alg) {
  return operatorCount == 4 ? 1262 + (alg & 3) : 1260 + (alg & 1);
}

}  // namespace gen2

namespace gen2text {

std::string Lfo(int v) { return Pick(kLfo, 4, v); }
std::string Feedback(int v) { return Pick(kFeedback, 8, v); }
std::string Multiple(int v) { return Pick(kMultiple, 16, v); }
std::string KeyScaleLevel(int v) { return Pick(kKeyScale, 4, v); }
std::string VibratoDepth(int v) { return Pick(kVibrato, 4, v); }
std::string AmDepth(int v) { return Pick(kAmDepth, 4, v); }
std::string DecayRate(int v) { return RateText(DecayList(), v); }
std::string AttackRate(int v) { return RateText(AttackList(), v); }
std::string DecayEntry(int entry) { return entry >= 0 && entry < kListSize ? DecayList()[entry] : std::string(); }
std::string AttackEntry(int entry) { return entry >= 0 && entry < kListSize ? AttackList()[entry] : std::string(); }

std::string SustainLevel(int v) {
  if (v < 0 || v > 15) return {};
  // Bits 3..0 weigh 24, 12, 6 and 3 dB.
  return Fixed2(3.0 * v);
}

std::string TotalLevel(int v) {
  if (v < 0 || v > 63) return {};
  // Bits 5..0 weigh 24, 12, 6, 3, 1.5 and 0.75 dB.
  return Fixed2(0.75 * v);
}

std::string WaveShape(int v) {
  if (v < 0) return {};
  return std::to_string(static_cast<unsigned>(v));
}

}  // namespace gen2text
