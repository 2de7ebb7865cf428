// The song document's tempo index of chip modes 1 and 2 and the SMF tempo check.
#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "song/document/TempoTable.h"

int CKZ1Doc::TempoTableStart() const {
  // Tempos too fast for the time base are skipped; time bases of 6 ms or more count as 4.
  const int base = m_timeBase >= 6 ? 4 : m_timeBase;
  const auto& table = TempoTable();
  for (int i = 0; i < kTempoTableSize; ++i) {
    if (base <= 2500 / table[i]) return i;
  }
  return kTempoTableSize;
}

int CKZ1Doc::GetTempoFromIndex(int n) const {
  const int chip = platform::settings().GetChipMode();
  if (chip == 3 || chip == 5) return n;
  if (chip != 1 && chip != 2) return 0;
  const int at = TempoTableStart() + n;
  if (n < 0 || at >= kTempoTableSize) return 0;
  return TempoTable()[at];
}

int CKZ1Doc::GetTempoIndex(int tempo) const {
  const int chip = platform::settings().GetChipMode();
  if (chip == 3 || chip == 5) return tempo;
  if (chip != 1 && chip != 2) return 0;
  const int start = TempoTableStart();
  const auto& table = TempoTable();
  for (int i = start; i < kTempoTableSize; ++i) {
    if (table[i] <= tempo) return i - start;
  }
  return kTempoTableSize - 1;
}

int CKZ1Doc::QuantizeTempo(int tempo) const { return GetTempoFromIndex(GetTempoIndex(tempo)); }

int CKZ1Doc::CheckSmfTempo(int tempo) {
  const int quantized = QuantizeTempo(tempo);
  if (quantized == tempo) return tempo;
  platform::ShowMessage(7054);
  return SetTempo(quantized);
}
