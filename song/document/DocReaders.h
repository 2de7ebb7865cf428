// The readers the document's loader picks by file ending; the opening paths fill them in.
#pragma once

#include <string>

class CKZ1Doc;

/// Each reader loads the named file into the document and returns nonzero on success; it may
/// also throw the song data's integer codes. The document treats a missing reader as one that
/// returned 0.
class IDocReaders {
 public:
  virtual ~IDocReaders() = default;
  /// A VELK file (".mmf", ".spf"), by chip mode.
  virtual int ReadVelkFile(CKZ1Doc& doc, const std::string& path) = 0;
  /// A generation-1 song file (".kz1").
  virtual int ReadKZ1File(CKZ1Doc& doc, const std::string& path) = 0;
  /// A Standard MIDI File (".mid"), by chip mode.
  virtual int ReadSmfFile(CKZ1Doc& doc, const std::string& path) = 0;
  /// A native song file (".K3N", ".K5N").
  virtual int ReadNativeFile(CKZ1Doc& doc, const std::string& path) = 0;
};
