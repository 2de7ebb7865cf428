// The conversion job: turns a VELK image of a song into generation-1 song data with one of
// the two stream conversion engines, reading and writing through its own stream interface.
#pragma once

#include <cstdint>
#include <memory>

#include "velk/ConvertJobStreamIO.h"

class CMemStream;
class CVoiceTable1;
class CVelkConvEngineA;
class CVelkConvEngineB;

class CConvertJob final : public CStreamIO {
 public:
  /// The input is positioned at its start. qxCue picks engine A (on) or engine B (off).
  /// Throws -108 when the engines cannot be had.
  CConvertJob(CMemStream& input, const CVoiceTable1& first, const CVoiceTable1& second,
              CMemStream& output, bool qxCue);
  ~CConvertJob() override;
  CConvertJob(const CConvertJob&) = delete;
  CConvertJob& operator=(const CConvertJob&) = delete;

  bool Read(uint8_t* buffer, uint32_t n, uint32_t& count) override;
  bool Seek(uint32_t position) override;
  bool Lookup(int program, int bank, const uint8_t*& out) override;
  uint32_t InputSize() const override;
  bool Write(const uint8_t* buffer, uint32_t n) override;

  /// Runs the engine into the output, then cuts the output to what was written and leaves
  /// its position at the end. The engine's result: 0 success, 1 notes out of range, 2 or 3
  /// stopped by the writer, below 0 an error.
  int Run();
  /// The phrase selection (null for none): always true with QX cue handling on; else false
  /// for a code not starting with 'P'.
  bool Check(const char* code);

 private:
  CMemStream& m_input;
  const CVoiceTable1& m_first;
  const CVoiceTable1& m_second;
  CMemStream& m_output;
  bool m_qxCue;
  uint8_t m_lookup[kVoiceBytes] = {};
  std::unique_ptr<CVelkConvEngineA> m_engineA;
  std::unique_ptr<CVelkConvEngineB> m_engineB;
};
