// CnvFrom: a plain Standard MIDI File of format 0 into the song-data dialect.
#include "plugins/midigate/SmfImport.h"

#include "plugins/midigate/Failure.h"
#include "plugins/midigate/ImportFilter.h"
#include "plugins/midigate/ImportHeader.h"
#include "plugins/midigate/ImportScan.h"
#include "plugins/midigate/SmfImage.h"
#include "plugins/midigate/TrackSet.h"
#include "song/SongTextInfo.h"
#include "velk/ContentsInfo.h"

namespace midigate {

namespace {

constexpr int kContentsKindSongData = 3;

// The contents information the header blocks describe: reset for song data, then what the
// scan found in the QX text and the copyright.
void FillContents(const CImportScan& scan, CContentsInfo& contents) {
  contents.Reset(kContentsKindSongData);
  if (scan.HasSongText()) contents.SetSongTextInfo(scan.SongText());
  if (scan.HasCopyright()) {
    contents.SetText4(scan.Copyright());
    contents.SetOptionByte1(1);
  }
}

// The header blocks' view of the contents information: ST .. AN from the song text record,
// VN .. UD from the record's own texts.
HeaderContents ReadHeaderContents(const CContentsInfo& contents) {
  HeaderContents header;
  header.contentsClass = contents.GetContentsClass();
  header.contentsType = contents.GetContentsType();
  header.optionByte1 = contents.GetOptionByte1();
  header.optionByte2 = contents.GetOptionByte2();
  const CSongTextInfo& song = contents.GetSongTextInfo();
  for (int k = 1; k <= 5; ++k) header.texts[k - 1] = song.GetText(k);
  for (int k = 1; k <= 6; ++k) header.texts[4 + k] = contents.GetText(k);
  return header;
}

}  // namespace

uint32_t CSmfImport::Convert(CnvParam& param) {
  SourceHeader header = ReadSourceHeader(param.src, param.srcSize);
  if (header.formatHigh != 0 || header.formatLow != 0) Fail(CNVERR_SMFTYPE);
  // The division divides every tempo; a file without one has no time at all.
  if (header.division == 0) Fail();

  // Result bits go straight into the caller's word, so a failure keeps those set before it.
  CImportScan scan(param.flags);
  {
    CTrackSet tracks(param.src, param.srcSize, header);
    scan.Run(tracks);
  }
  CContentsInfo contents;
  FillContents(scan, contents);
  HeaderContents headerContents = ReadHeaderContents(contents);
  CSmfImage image(header.division);
  CImportHeader(scan, headerContents, image, param.flags).Write();

  CTrackSet tracks(param.src, param.srcSize, header);
  CImportFilter(scan, image, header.division, param.flags).Run(tracks);
  return image.CopyTo(param);
}

}  // namespace midigate
