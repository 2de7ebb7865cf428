// The document's own readers of song files, by the loader's choice of ending.
#include "song/document/SongFileReaders.h"

#include "song/document/KZ1Doc.h"

int CSongFileReaders::ReadVelkFile(CKZ1Doc& doc, const std::string& path) {
  return doc.ReadVelkFile(path);
}

int CSongFileReaders::ReadKZ1File(CKZ1Doc& doc, const std::string& path) {
  return doc.ReadKZ1File(path);
}

int CSongFileReaders::ReadSmfFile(CKZ1Doc& doc, const std::string& path) {
  return doc.ReadSmfFile(path);
}

int CSongFileReaders::ReadNativeFile(CKZ1Doc& doc, const std::string& path) {
  return doc.ReadNativeFile(path);
}

CSongFileReaders& SongFileReaders() {
  static CSongFileReaders readers;
  return readers;
}
