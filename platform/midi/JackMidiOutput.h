// A MIDI output on a JACK server through a client of its own, so that closing can wait until
// what was sent has gone out and never frees what the process callback is using.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/midi/MidiBackend.h"

namespace platform {

/// How long an output's Close waits for pending messages to go out, and Send for room.
constexpr int kJackDrainWaitMs = 2000;
/// The most a JACK output holds pending; a larger message is refused.
constexpr size_t kJackPendingBytes = 64 * 1024;

/// Opens a client named `clientName` with one output port connected to the JACK port `target`
/// (a full "client:port" name); null when any step fails. `name` is what the output's Name gives.
/// Returns once the connection is in force (at most five seconds).
///
/// Sends go into a ring that the process callback empties into the port buffer, whole messages
/// only; what does not fit one cycle goes in the next. A message larger than the ring or than
/// one cycle can carry is refused. Close waits (at most kJackDrainWaitMs)
/// until nothing is pending and the cycle that took the last of it has ended, then deactivates
/// the client, which returns only once the callback can no longer run, and only then frees.
std::shared_ptr<IMidiOutput> OpenJackMidiOutput(const std::string& clientName, const std::string& target,
                                                std::string name);

}  // namespace platform
