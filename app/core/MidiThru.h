// The MIDI thru connection the start-up sets up, as the application object uses it.
#pragma once

#include <string>

class IMidiThru {
 public:
  virtual ~IMidiThru() = default;
  /// The product name of MIDI input device `index`; empty when there is none.
  virtual std::string GetInputName(int index) const = 0;
  /// 1-based device numbers; 0 means none.
  virtual void SetInput(int device) = 0;
  virtual void SetOutput(int device) = 0;
  virtual int Start() = 0;
};

/// Before the MIDI services exist: no devices, and starting connects nothing.
class IdleMidiThru final : public IMidiThru {
 public:
  std::string GetInputName(int) const override { return {}; }
  void SetInput(int device) override { m_input = device; }
  void SetOutput(int device) override { m_output = device; }
  int Start() override { return 0; }

 private:
  int m_input = 0;
  int m_output = 0;
};
