// What the pre-scan collects from a song's device messages: voices, waves, stream waves, extras.
#include "plugins/polyscan/SongTables.h"

namespace polyscan {

bool SongTables::HasStreamKey(int id) const {
  for (const VoiceDef& v : voices) {
    if (v.kind == VoiceKind::StreamKey && v.streamId == id) return true;
  }
  return false;
}

int SongTables::CountStreamKeys() const {
  int count = 0;
  for (int id = 1; id < kStreamIdLimit; ++id) {
    if (HasStreamKey(id)) ++count;
  }
  return count;
}

}  // namespace polyscan
