// Opening a song file into the document, and the channel filter that follows a load.
#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "song/document/DocArchive.h"
#include "song/document/KZ1Doc.h"
#include "song/document/SongFileReaders.h"

namespace {

bool IsChannelMessage(const CMidiMsg& m) {
  return m.GetLength() >= 1 && m.GetByte(0) >= 0x80 && m.GetByte(0) < 0xF0;
}

}  // namespace

int CKZ1Doc::OpenDocument(const std::string& path) {
  try {
    ResetSong();
    // A document given no readers opens with its own.
    if (!m_readers) m_readers = &SongFileReaders();
    auto wait = platform::ui().ShowWaitCursor();
    // Only a regular file: a FIFO would block and a device would never end.
    const auto length = platform::RegularFileSize(path);
    if (!length || *length == 0) throw -1;
    CDocArchive archive = CDocArchive::ForLoading(path);
    Serialize(archive);
    SetPathName(path);
    return 1;
  } catch (...) {
    // Whatever failed, no half-loaded song is left behind.
    ResetSong();
    return 0;
  }
}

int CKZ1Doc::OpenWithChannelMask(const std::string& path, int mask, int pendingTimeBase) {
  SetChannelMask(mask);
  m_pendingTimeBase = pendingTimeBase;
  return OpenDocument(path);
}

int CKZ1Doc::OpenWithOptions(const std::string& path, int option, int converterOption) {
  SetOpenOptions(option, converterOption);
  return OpenDocument(path);
}

int CKZ1Doc::FilterChannels(int mask) {
  mask &= 0xFFFF;
  if (mask == 0) return 1;
  int renumbered[16];
  int next = 0;
  for (int k = 0; k < 16; ++k) renumbered[k] = (mask & (1 << k)) ? next++ : -1;
  for (auto it = m_midlist.begin(); it != m_midlist.end();) {
    CMidiMsg& m = **it;
    if (!IsChannelMessage(m)) {
      ++it;
      continue;
    }
    const int channel = renumbered[m.GetByte(0) & 0x0F];
    if (channel < 0) {
      it = m_midlist.erase(it);
      continue;
    }
    m.GetData()[0] = static_cast<uint8_t>((m.GetByte(0) & 0xF0) | channel);
    ++it;
  }
  InitChannelSetupFromEvents();
  return 1;
}
