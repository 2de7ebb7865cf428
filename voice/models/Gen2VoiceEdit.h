// The generation-2 voice dialog's values without a window: the fields of a CVoice2 as the
// dialog shows and stores them one operator at a time, the value texts beside its sliders, its
// pictures, and where an edited voice goes on OK.
#pragma once

#include <string>

#include "song/Voice2.h"

class CKZ1Doc;
class CVoiceLibrary;

struct Gen2Operator {
  int multi = 0, rr = 0, dr = 0, ar = 0, sl = 0, tl = 0, ksl = 0, dvb = 0, dam = 0, ws = 0;
  int vib = 0, egt = 0, sus = 0, ksr = 0, am = 0;

  /// Operator n (1..4) of the voice.
  static Gen2Operator Read(const CVoice2& voice, int n);
  void Write(CVoice2& voice, int n) const;
};

/// What the controls hold: the voice-wide values and one operator's.
struct Gen2VoiceFields {
  int bank = 0;
  int program = 0;
  int voiceNo = 1;  // shown 1-based
  std::string name;
  int lfo = 0, fb = 0, bo = 0;
  int operatorCount = 2;
  int alg = 0;  // the low two bits of the algorithm
  Gen2Operator op;
};

/// The dialog's work record and where it came from.
class CGen2VoiceEdit {
 public:
  enum Source { kSlot = 0, kLibrary = 1 };

  /// Source 0: a copy of the song's voice of the slot (cleared without a document); bank and
  /// program are the slot's.
  void InitSlot(int slot, const CKZ1Doc* doc);
  /// Source 1: a copy of the library's voice of that address (cleared without a library).
  void InitLibrary(int bank, int program, bool editable, CVoiceLibrary* library);

  /// The fields with operator n (1..4) of the work record.
  Gen2VoiceFields Show(int n) const;
  /// Writes the fields into the work record, the operator's values into operator n; the bank
  /// and program become the dialog's.
  void Store(const Gen2VoiceFields& fields, int n);

  /// Source 0: whether the song takes the work record on its slot; source 1 always.
  bool SongAccepts(const CKZ1Doc* doc) const;
  /// OK: source 0 into the song's slot, source 1 into the library at the dialog's bank and
  /// program; a voice that may not be edited, or a library target in a fixed bank, goes
  /// nowhere. True when written.
  bool Commit(CKZ1Doc* doc, CVoiceLibrary* library) const;

  const CVoice2& Work() const { return m_work; }
  int GetSource() const { return m_source; }
  int GetSlot() const { return m_slot; }
  int GetBank() const { return m_bank; }
  int GetProgram() const { return m_program; }
  bool IsEditable() const { return m_editable; }

 private:
  CVoice2 m_work;
  int m_source = kLibrary;
  int m_slot = -1;
  int m_bank = -1;
  int m_program = -1;
  bool m_editable = true;
};

namespace gen2 {
/// The banks of the library's fixed voices: 0, 1, 128 and 129.
bool IsFixedBank(int bank);
/// The ALG slider's top: 1 with two operators, 3 with four.
inline int AlgMax(int operatorCount) { return operatorCount == 4 ? 3 : 1; }
/// Bitmap 1260 + ALG with two operators, 1262 + ALG with four.
int AlgorithmPictureId(int operatorCount, int alg);
/// Bitmap 1266 + WS.
inline int WaveShapePictureId(int ws) { return 1266 + (ws & 7); }
/// The tab that stays current when the operator count changes: a tab beyond the last
/// operator moves to the last.
inline int TabForOperatorCount(int tab, int operatorCount) { return tab < operatorCount ? tab : operatorCount - 1; }
}  // namespace gen2

namespace gen2text {
/// The value texts beside the sliders, by slider position; empty outside the list.
std::string Lfo(int v);
std::string Feedback(int v);
std::string Multiple(int v);
std::string KeyScaleLevel(int v);
std::string VibratoDepth(int v);
std::string AmDepth(int v);
/// DR and RR: 64 texts, "-" four times then the decay times in milliseconds.
std::string DecayRate(int v);
/// AR: 64 texts, "-" four times, the attack times in milliseconds, then "0" four times.
std::string AttackRate(int v);
/// The 64-entry lists themselves, by entry.
std::string DecayEntry(int entry);
std::string AttackEntry(int entry);
/// 3 dB a step, "%.2f".
std::string SustainLevel(int v);
/// 0.75 dB a step, "%.2f".
std::string TotalLevel(int v);
/// "%u".
std::string WaveShape(int v);
}  // namespace gen2text
