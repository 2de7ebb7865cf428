// Which MIDI system the program uses: the ALSA sequencer, a running JACK server, or none.
#pragma once

#include <string>

namespace platform {

enum class MidiApi { None, Alsa, Jack };

/// TRILLOT_MIDI_API ("alsa", "jack" or "none") forces the choice; any other value is ignored.
/// Otherwise the ALSA sequencer when its device exists, else JACK when a server answers, else
/// none. A forced system that is not there gives none. Starts no server and prints nothing.
MidiApi ChooseMidiApi();

/// True when the ALSA sequencer device can be opened for reading and writing.
bool AlsaSequencerExists();
/// True when a JACK server answers libjack's own client open (never starting one); the
/// server is the one JACK_DEFAULT_SERVER names, else the default one.
bool JackServerAnswers();

/// The name of a MIDI-system client of this process ("Trillot" or "Trillot <role>", then the
/// process id). JACK servers running side by side collide on equal client names, so every
/// process names its clients apart.
std::string MidiClientName(const char* role = nullptr);

/// What is printed once when there is no MIDI system.
extern const char* const kNoMidiSystemText;
/// Whether that line is printed (it is by default); a batch conversion, which plays nothing,
/// keeps standard error for its own lines.
void SetNoMidiSystemNotice(bool on);
bool IsNoMidiSystemNoticeOn();

}  // namespace platform
