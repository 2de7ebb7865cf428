// The document's own output builders, by the output profile's export entry and the chip mode.
#include "song/document/SongFileBuilders.h"

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }

}  // namespace

int CSongFileBuilders::ExportVelk(CKZ1Doc& doc, CMemStream& image, int hasPath,
                                  const std::string& path, const SongOutputRecord& setup,
                                  int timeBaseOption, int compression, int editStatus) {
  switch (ChipMode()) {
    case 1:
      return doc.ConvertToVelk_KZ1(image, hasPath, path, setup, timeBaseOption, compression,
                                   editStatus);
    case 2:
      return doc.ConvertToVelk_KZ2(image, hasPath, path, setup, timeBaseOption, compression,
                                   editStatus);
    case 3:
      return doc.ConvertToVelk_KZ3(image, hasPath, path, setup, timeBaseOption, compression,
                                   editStatus);
    default:
      return 0;
  }
}

int CSongFileBuilders::ExportPhrase(CKZ1Doc& doc, CMemStream* images[4], int hasPath,
                                    const std::string& path, const SongOutputRecord& setup,
                                    int timeBaseOption, int compression) {
  const int chip = ChipMode();
  if (chip < 1 || chip > 3 || platform::settings().GetOutputProfile() != 4) return 0;
  return doc.ConvertToVelkPhrase_KZ3(images, hasPath, path, setup, timeBaseOption, compression);
}

int CSongFileBuilders::ExportViaConverter(CKZ1Doc& doc, CMemStream& image, int hasPath,
                                          const std::string& path, const SongOutputRecord& setup,
                                          int timeBaseOption, int compression) {
  if (ChipMode() != 3) return 0;
  return doc.ConvertToMFi_KZ3(image, hasPath, path, setup, timeBaseOption, compression);
}

CSongFileBuilders& SongFileBuilders() {
  static CSongFileBuilders builders;
  return builders;
}
