// The VELK writers of chip modes 1 and 2: score tracks, the audio track with its waves, and
// the file with its CRC, built by the program's own chunk classes.
#include "song/document/VelkWriterKZ12.h"

#include <memory>
#include <new>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "song/SongSetup.h"
#include "song/TrackBuild.h"
#include "song/document/KZ1Doc.h"
#include "velk/AudioSeekPhraseChunk.h"
#include "velk/AudioTrackChunk.h"
#include "velk/ChunkInfo.h"
#include "velk/ScoreTrackChunk.h"
#include "velk/SeekPhraseChunk.h"
#include "velk/SequenceBuilder.h"
#include "velk/SetupDataChunk.h"
#include "velk/VelkFileChunk.h"

namespace {

// The four writer options the chunk headers share: format type 0 and sequence type 0.
constexpr uint8_t kFormatCompact = 0;
constexpr uint8_t kSequenceType = 0;

template <class T, class... Args>
std::unique_ptr<T> Make(Args&&... args) {
  try {
    return std::make_unique<T>(std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

struct SongFigures {
  uint16_t tempo;
  uint16_t division;
  uint16_t timeBase;
  uint8_t code;
};

SongFigures FiguresOf(const CKZ1Doc& doc) {
  return {static_cast<uint16_t>(doc.GetTempo()), static_cast<uint16_t>(doc.GetResolution()),
          static_cast<uint16_t>(doc.GetTimeBase()),
          static_cast<uint8_t>(VelkTimeBaseCode(doc.GetTimeBase()))};
}

// The 16-bit channel word of score track n (1..4): channel i's status in nibble i, most
// significant first, as the track reader splits it.
uint16_t ChannelWord(const SongOutputRecord& setup, int n) {
  uint16_t word = 0;
  for (int i = 0; i < 4; ++i) {
    const uint8_t status = setup.bytes[SongOutputRecord::kStatusOffset + 4 * (n - 1) + i];
    word = static_cast<uint16_t>(word | ((status & 0x0F) << (12 - 4 * i)));
  }
  return word;
}

std::unique_ptr<CScoreTrackChunk> ScoreTrack(const SongFigures& f, const SongOutputRecord& setup,
                                             const CSeqEventList& list, uint8_t n,
                                             uint16_t channelWord, bool withSetup,
                                             bool generation2) {
  TOwnedChunkList<CSeqEvent> scratch;
  CTrackBuild build;
  auto sequence = BuildScoreSequence(f.tempo, f.division, f.timeBase, setup, list, scratch, build,
                                     n);
  auto track = Make<CScoreTrackChunk>(n, kFormatCompact, kSequenceType, f.code, f.code,
                                      channelWord);
  if (withSetup) track->SetSetupChunk(Make<CSetupDataChunk>(setup, f.tempo, generation2));
  if (build.HasContent()) track->SetSeekPhraseChunk(Make<CSeekPhraseChunk>(build));
  track->SetSequenceChunk(std::move(sequence));
  return track;
}

// The audio channel record's four values packed into the track's header word.
uint16_t AudioHeaderWord(const CDocValueRecord& record) {
  const uint32_t word = (static_cast<uint32_t>(record.GetValue(0)) << 15) |
                        (static_cast<uint32_t>(record.GetValue(1)) << 12) |
                        ((static_cast<uint32_t>(record.GetValue(2)) & 0xFF) << 8) |
                        (static_cast<uint32_t>(record.GetValue(3)) << 4);
  return static_cast<uint16_t>(word);
}

std::unique_ptr<CAudioTrackChunk> AudioTrack(CKZ1Doc& doc, const SongFigures& f,
                                             const CSeqEventList& pcmList) {
  TOwnedChunkList<CSeqEvent> scratch;
  CTrackBuild2 build;
  auto sequence = BuildAudioSequence(f.tempo, f.division, f.timeBase, pcmList, scratch, build, 0);
  auto track = Make<CAudioTrackChunk>(0, kFormatCompact, kSequenceType, f.code, f.code,
                                      AudioHeaderWord(doc.GetDocValueRecord()));
  if (build.HasContent()) track->SetSeekPhraseChunk(Make<CAudioSeekPhraseChunk>(build));
  track->SetSequenceChunk(std::move(sequence));
  // One wave per stream-PCM slot that holds one, numbered by its slot.
  TOwnedChunkList<CChunkInfo> waves;
  for (int s = 1; s < CKZ1Doc::kStreamSlotCount; ++s) {
    const CStreamPCMSlot* slot = doc.GetStreamPcmSlot(s);
    if (!slot || slot->GetBankMsb() == 255 || !slot->GetData()) continue;
    waves.AddOwned(Make<CChunkInfo>(static_cast<uint8_t>(s), slot->GetData(), slot->GetDataSize()));
  }
  track->AddWaveChunks(waves);
  return track;
}

void WriteFile(CKZ1Doc& doc, CVelkFileChunk& file, CMemStream& image) {
  file.SetContentsInfo(doc.GetContentsInfo());
  file.Write(image);
}

}  // namespace

int VelkTimeBaseCode(int milliseconds) {
  switch (milliseconds) {
    case 1: return 0x00;
    case 2: return 0x01;
    case 4: return 0x02;
    case 5: return 0x03;
    case 10: return 0x10;
    case 20: return 0x11;
    case 40: return 0x12;
    case 50: return 0x13;
    default: return 0x02;
  }
}

int WriteVelkKZ1(CKZ1Doc& doc, CMemStream& image, const SongOutputRecord& setup) {
  SongOutputRecord record = setup;
  TOwnedChunkList<CSeqEvent> list;
  const int result = doc.makeMidiList(list, record, 0);
  if (!result) return result;
  const SongFigures f = FiguresOf(doc);
  const bool withSetup = !platform::ui().IsQXCueEnabled();
  CVelkFileChunk file;
  file.AddScoreTrack(ScoreTrack(f, record, list, 0, 0, withSetup, false));
  WriteFile(doc, file, image);
  return result;
}

int WriteVelkKZ2(CKZ1Doc& doc, CMemStream& image, const SongOutputRecord& setup) {
  SongOutputRecord record = setup;
  TOwnedChunkList<CSeqEvent> list;
  TOwnedChunkList<CSeqEvent> pcmList;
  const int result = doc.makeMidiListPCM(list, pcmList, record, 0);
  if (!result) return result;
  const SongFigures f = FiguresOf(doc);
  const bool qxCue = platform::ui().IsQXCueEnabled();
  CVelkFileChunk file;
  for (uint8_t n = 1; n <= 4; ++n) {
    file.AddScoreTrack(ScoreTrack(f, record, list, n, ChannelWord(record, n), n == 1 && !qxCue,
                                  true));
  }
  if (!doc.GetMidiListPCM()->empty() && pcmList.GetCount() > 0) {
    file.AddAudioTrack(AudioTrack(doc, f, pcmList));
  }
  WriteFile(doc, file, image);
  return result;
}
