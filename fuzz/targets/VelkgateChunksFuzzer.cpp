// The chunk readers of a Velkgate score track on their own, past the container: the score
// sequence decoders (stream tracks 5 and 6, compact tracks 1 to 4), the setup ("Mtsu") and
// seek ("MspI") chunks, the stream-PCM chunk, a whole score track and the master sequence.
// The first byte picks the reader and the track; the rest is the chunk (id and size first,
// except for the sequence decoders, which take the expanded stream bytes).
#include <memory>

#include "fuzz/FuzzInput.h"
#include "plugins/velkgate/MasterSequenceChunk.h"
#include "plugins/velkgate/ScoreSequenceChunk.h"
#include "plugins/velkgate/ScoreTrackChunk.h"
#include "plugins/velkgate/SeekPhraseChunk.h"
#include "plugins/velkgate/SequenceDecoder.h"
#include "plugins/velkgate/SetupDataChunk.h"
#include "plugins/velkgate/StreamPcmChunk.h"

namespace {

using namespace velkgate;

void DecodeSequence(const uint8_t* data, uint32_t n, uint8_t selector) {
  CScoreSequenceChunk sequence(data, n);
  CEventList out;
  // A seek record read from the same bytes puts markers at arbitrary offsets.
  std::unique_ptr<CSeekPhraseChunk> seekChunk;
  try {
    CMemStream seekStream = fuzz::ReadStream(data, n);
    seekChunk = std::make_unique<CSeekPhraseChunk>(seekStream);
  } catch (int) {
  }
  const CSeekRecord* seek = seekChunk && (selector & 0x10) ? &seekChunk->GetPoints() : nullptr;
  const auto track = static_cast<uint8_t>(selector & 0x07);
  if (track >= 5) {
    uint32_t flags = 0;
    DecodeSequenceTrack5to6(sequence, out, seek, track == 7 ? 6 : track, flags);
  } else {
    static const uint8_t kStatus[16] = {0x01, 0x02, 0x13, 0x20, 0x30, 0x05, 0x06, 0x07,
                                        0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    sequence.SetChannelStatus(kStatus, static_cast<uint8_t>((selector >> 5) + 1));
    uint32_t value = 0;
    int priority = kDeviceValuePriority;
    DecodeSequenceTrack1to4(sequence, out, seek, static_cast<uint8_t>(track % 4 + 1), value,
                            priority);
  }
}

void ReadChunk(const uint8_t* data, size_t size, uint8_t selector) {
  CMemStream stream = fuzz::ReadStream(data, size);
  switch ((selector >> 4) % 6) {
    case 0: {
      CSetupDataChunk setup(stream, selector & 0x01 ? 6 : 5);
      break;
    }
    case 1: {
      CSeekPhraseChunk seek(stream);
      seek.CopyToRecord();
      break;
    }
    case 2: {
      uint32_t flags = 0;
      CStreamPcmChunk pcm(stream, &flags);
      break;
    }
    case 3: {
      uint32_t flags = 0;
      CScoreTrackChunk track(stream, flags);
      CMemStream out;
      track.Write(out);
      break;
    }
    case 4: {
      CMasterSequenceChunk master(stream);
      CEventList out;
      master.DecodeMasterSequence(out);
      break;
    }
    default: {
      CMasterSequenceChunk master;
      master.SetBodyCopy(data, static_cast<uint32_t>(size));
      CEventList out;
      master.DecodeMasterSequence(out);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  const uint8_t selector = data[0];
  ++data;
  --size;
  try {
    if (selector & 0x08) {
      DecodeSequence(data, static_cast<uint32_t>(size), selector);
    } else {
      ReadChunk(data, size, selector);
    }
  } catch (int) {
    // -48 for data that end early, -1 for a refused chunk, -108 without memory
  }
  return 0;
}
