// The document's own readers of song files, by the loader's choice of ending.
#pragma once

#include "song/document/DocReaders.h"

/// Reads VELK files and Standard MIDI Files by chip mode, KZ-1 files and native files into the
/// document.
class CSongFileReaders final : public IDocReaders {
 public:
  int ReadVelkFile(CKZ1Doc& doc, const std::string& path) override;
  int ReadKZ1File(CKZ1Doc& doc, const std::string& path) override;
  int ReadSmfFile(CKZ1Doc& doc, const std::string& path) override;
  int ReadNativeFile(CKZ1Doc& doc, const std::string& path) override;
};

/// The reader set a document opens with when it was given none.
CSongFileReaders& SongFileReaders();
