// Release of the seek-and-phrase records.
#include "song/TrackBuild.h"

void CTrackBuild::Release() {
  m_start.reset();
  m_stop.reset();
  m_marks.clear();
}
