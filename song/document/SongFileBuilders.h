// The document's own output builders, by the output profile's export entry and the chip mode.
#pragma once

#include "song/document/DocBuilders.h"

/// Chip mode 3 hands the song to the converter plug-ins; the chip-mode 1 and 2 VELK builders
/// fail until they are built.
class CSongFileBuilders final : public IDocBuilders {
 public:
  int ExportVelk(CKZ1Doc& doc, CMemStream& image, int hasPath, const std::string& path,
                 const SongOutputRecord& setup, int timeBaseOption, int compression,
                 int editStatus) override;
  int ExportPhrase(CKZ1Doc& doc, CMemStream* images[4], int hasPath, const std::string& path,
                   const SongOutputRecord& setup, int timeBaseOption, int compression) override;
  int ExportViaConverter(CKZ1Doc& doc, CMemStream& image, int hasPath, const std::string& path,
                         const SongOutputRecord& setup, int timeBaseOption,
                         int compression) override;
};

/// The builder set a document saves with when it was given none.
CSongFileBuilders& SongFileBuilders();
