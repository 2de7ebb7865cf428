// The generation-3 Preference dialog without a window: what its controls show of the settings,
// and what OK writes and applies.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CTrillotApp;
class CKZ1Doc;
class CMidiList;
class IOutputEngine;

// --- Tables ------------------------------------------------------------------------------------

/// A status row ("CopyStatus", "EditStatus"): box i is ticked when bit i is 0 (0 copy, 1 save,
/// 2 edit).
std::array<bool, 3> StatusTicks(int status);
/// 0xF8 with the bit of every box not ticked.
int StatusFromTicks(const std::array<bool, 3>& ticks);
/// "DensWidth" milliseconds to the Width entry and back; unknown values give entry 2 and 500.
int DensWidthIndex(int ms);
int DensWidthMs(int index);
/// "FM16", "FM32", and "ALL64" for chip mode 5 with profile 2, 3, 5, 7 or 8.
std::vector<std::string> ModeSettingEntries(int chipMode, int profile);
/// "MFi", "VELK" or "VELK/Phrase".
std::string OutputFormatEntry(int profile);
/// "OutputFormat" as OK writes it: 4 for profiles 1, 6, 7; 5 for 4; else 3.
int OutputFormatValue(int profile, int selection);

/// Copies the density figures of a list that read the song into the document.
void TakeDensityInfo(CKZ1Doc& document, const CMidiList& list);

// --- The values behind the controls ------------------------------------------------------------

struct PreferenceValues {
  int modeSetting = 0;     // -1: no selection
  int outputFormat = 0;    // selection
  int reserve = 0;         // "KZ-3_StreamPCMReserve"
  std::array<bool, 3> copyTicks{};
  std::array<bool, 3> editTicks{};
  int densIndex = 2;
  int originPch = 0;
  int originNote = 0;
  std::array<std::string, 4> folders;  // input, output, sound files, voice files
  // Hidden controls.
  int outputType = 0;  // 0 "RS232C", 1 "MIDI"
  int comPort = 0;     // 0 "COM 1"
  int blinkLed = 0;
  int blinkMtr = 0;
};

/// The values the dialog opens with, from "Setting" and the application.
PreferenceValues ReadPreferenceValues(const CTrillotApp& app);

/// OK over the application: false (nothing written, message 7002 shown) when the board port
/// cannot be opened, so the dialog stays open. A second failure to load default voices throws.
/// `storeBlinkRates` gives the main window both blink rates.
bool CommitPreference(CTrillotApp& app, const PreferenceValues& values,
                      const std::function<void(int, int)>& storeBlinkRates = {});

// --- The Preference dialog of chip modes 1 and 2 ------------------------------------------------

struct PreferenceValuesKZ12 {
  int modeSetting = 0;   // chip mode 1: 0 "Normal", 1 "FMM"
  int chipModeIndex = 0; // "KZ-x Mode": chip mode - 1
  int outputType = 0;    // 0 "RS232C", 1 "MIDI"
  int outputFormat = 1;
  int comPort = 1;
  int midiOut = 0;
  int thruIn = 0;        // 0 "(none)", else the 1-based input
  int thruOut = 0;
};

/// What OK needs of the main window: its FMM mode and its MIDI output device.
struct PreferenceFrameKZ12 {
  std::function<void(int)> setFmmMode;
  std::function<void(int)> setMidiOutDevice;
};

/// The device names of an output engine, in device order, until the first empty name.
std::vector<std::string> MidiOutNames(IOutputEngine& engine);
std::vector<std::string> MidiInNames(IOutputEngine& engine);

/// OK of chip modes 1 and 2: false (7002, the previous port opened again, nothing written)
/// when the board port cannot be opened.
bool CommitPreferenceKZ12(CTrillotApp& app, const PreferenceValuesKZ12& values, const PreferenceFrameKZ12& frame);
