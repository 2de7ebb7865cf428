// A MIDI input on a JACK server through a client of its own, so that closing never frees what
// the process callback or libjack's own threads are using.
#pragma once

#include <memory>
#include <string>

#include "platform/midi/MidiBackend.h"

namespace platform {

/// Opens a client named `clientName` with one input port connected from the JACK port `source`
/// (a full "client:port" name); null when any step fails. `name` is what the input's Name gives.
/// Returns once the connection is in force (at most five seconds).
///
/// The callback and the forwarding run on JACK's process thread, one whole message at a time
/// (a SysEx that arrives in pieces is joined first). The port is registered before the client
/// is activated, and Close shuts the dispatch, deactivates the client (which returns only once
/// the callback can no longer run) and only then closes it.
std::unique_ptr<IMidiInput> OpenJackMidiInput(const std::string& clientName, const std::string& source,
                                              std::string name, MidiCallback callback);

}  // namespace platform
