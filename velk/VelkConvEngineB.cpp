// The conversion engine without QX cue handling.
#include "velk/VelkConvEngineB.h"

#include <cstring>

int CVelkConvEngineB::Run(CStreamIO& io) {
  Options options;
  options.checkHeader = m_headerCheck;
  options.readTrackExtras = true;
  options.tolerateRange = true;
  options.phrase = static_cast<uint8_t>(m_phrase);
  const int result = Convert(io, options);
  if (result == kErrWriteRefused) return m_outOfRange ? kStoppedOutOfRange : kStoppedByWriter;
  if (result < 0) return result;
  return m_outOfRange ? kConvertedOutOfRange : kOk;
}

bool CVelkConvEngineB::SelectPhrase(const char* code) {
  if (!code || !code[0]) {
    m_phrase = 0;
    return true;
  }
  if (code[0] != 'P') return false;
  const char letter = code[1];
  if ((letter >= 'a' && letter <= 'z') || (letter && std::strchr("ABEIKSR", letter))) {
    m_phrase = letter;
  }
  return true;
}
