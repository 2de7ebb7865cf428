// The conversion engine without QX cue handling: also reads the tracks' set-up and
// seek-phrase chunks, converts one phrase when one is selected, and leaves out the notes no
// allowed range holds instead of failing.
#pragma once

#include "velk/VelkConvEngine.h"

class CVelkConvEngineB final : public CVelkConvEngine {
 public:
  static constexpr int kConvertedOutOfRange = 1;
  static constexpr int kStoppedByWriter = 2;
  static constexpr int kStoppedOutOfRange = 3;

  /// 0 (success), 1 (some notes out of range), 2 or 3 (stopped by a refused write), or an
  /// error below 0.
  int Run(CStreamIO& io) override;

  /// The phrase selection: no code clears it; a code not starting with 'P' is refused; 'P'
  /// with a lower-case letter or one of "ABEIKSR" selects it; other letters select nothing.
  bool SelectPhrase(const char* code);
  /// The selected phrase letter, 0 for none.
  char GetPhrase() const { return m_phrase; }

  /// The header and checksum step (on from construction).
  void SetHeaderCheck(bool on) { m_headerCheck = on; }

 private:
  char m_phrase = 0;
  bool m_headerCheck = true;
};
