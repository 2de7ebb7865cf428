// The export entries that build the document's output images; the saving paths fill them in.
#pragma once

#include <string>

class CKZ1Doc;
class CMemStream;
struct SongOutputRecord;

/// Each entry appends an image to the streams it is given and returns nonzero on success; it
/// may throw the song data's integer codes. A document given none saves with its own.
class IDocBuilders {
 public:
  virtual ~IDocBuilders() = default;
  /// A VELK image (output profiles 2, 3, 5, 8).
  virtual int ExportVelk(CKZ1Doc& doc, CMemStream& image, int hasPath, const std::string& path,
                         const SongOutputRecord& setup, int timeBaseOption, int compression,
                         int editStatus) = 0;
  /// Up to four phrase images, one per part (output profile 4).
  virtual int ExportPhrase(CKZ1Doc& doc, CMemStream* images[4], int hasPath,
                           const std::string& path, const SongOutputRecord& setup,
                           int timeBaseOption, int compression) = 0;
  /// An image made by a converter plug-in (output profiles 1, 6, 7).
  virtual int ExportViaConverter(CKZ1Doc& doc, CMemStream& image, int hasPath,
                                 const std::string& path, const SongOutputRecord& setup,
                                 int timeBaseOption, int compression) = 0;
};
