// The score and audio sequence builders.
#include "velk/SequenceBuilder.h"

#include <new>

#include "velk/CompactSequenceWriter.h"
#include "velk/PreparedPlayList.h"
#include "velk/SequenceNumbers.h"

namespace {

using Writer = CCompactSequenceWriter;

constexpr uint8_t kHeaderIdTrack0 = 1;
constexpr uint8_t kHeaderIdTracks = 3;
constexpr uint8_t kAssignId = 0x03;
constexpr uint8_t kAssignBoard = 0x91;
constexpr uint8_t kAssignPair = 0x90;
constexpr uint8_t kUnsetSetupByte = 0xFF;
constexpr char kPhraseLetters[] = "IEABSKR";
constexpr uint8_t kLastWaveNote = 63;

// The controllers a compact sequence carries; every other one is left out.
struct WrittenController {
  uint8_t controller;
  uint8_t code;
};
constexpr WrittenController kWrittenControllers[] = {
    {0, Writer::kCodeBank}, {1, Writer::kCodeModulation},  {7, Writer::kCodeVolume},
    {10, Writer::kCodePan}, {11, Writer::kCodeExpression},
};

uint8_t HeaderId(uint8_t trackMode) { return trackMode == 0 ? kHeaderIdTrack0 : kHeaderIdTracks; }

uint8_t LastDataByte(const CSeqEvent& e) { return e.GetDataByte(e.GetLength() - 1); }

// The sequence body becomes the chunk's body.
template <class Chunk>
std::unique_ptr<Chunk> MakeChunk(uint32_t id, Writer& writer) {
  auto chunk = std::make_unique<Chunk>(id);
  CMemStream& out = writer.GetStream();
  auto size = static_cast<uint32_t>(out.GetSize());
  chunk->SetBody(out.Detach(), size);
  return chunk;
}

// A mark becomes FF 00; the offset behind it goes to the track build.
void WriteMark(Writer& writer, const CSeqEvent& e, uint32_t code, CTrackBuild& build) {
  uint32_t offset = writer.WriteNoOperation(e.GetTick());
  if (code == CPreparedPlayList::kMarkStart) {
    build.SetStartPoint(offset);
  } else if (code == CPreparedPlayList::kMarkStop) {
    build.SetStopPoint(offset);
  } else {
    auto mark = std::make_unique<CPhraseMark>();
    mark->kind = static_cast<uint8_t>(kPhraseLetters[code - 1]);
    mark->start = offset;
    build.AddMark(std::move(mark));
  }
}

// In track mode 0 banks, programs, then volumes of the four channels; in the other modes bank
// and program per channel, then the volumes. Unset bytes write nothing.
void WriteSetupEvents(Writer& writer, const SongOutputRecord& setup, uint8_t trackMode) {
  int first = trackMode == 0 ? 0 : 4 * (trackMode - 1);
  auto control = [&](int channel, int offset, uint8_t code, bool quantized) {
    uint8_t value = setup.bytes[offset + first + channel];
    if (value == kUnsetSetupByte) return;
    writer.WriteControl(0, channel, code, quantized ? LookupByteTable(value) : value);
  };
  const int channels = CPreparedPlayList::kTrackChannels;
  if (trackMode == 0) {
    for (int c = 0; c < channels; ++c)
      control(c, SongOutputRecord::kBankCodeOffset, Writer::kCodeBank, false);
    for (int c = 0; c < channels; ++c)
      control(c, SongOutputRecord::kProgramCodeOffset, Writer::kCodeProgram, false);
  } else {
    for (int c = 0; c < channels; ++c) {
      control(c, SongOutputRecord::kBankCodeOffset, Writer::kCodeBank, false);
      control(c, SongOutputRecord::kProgramCodeOffset, Writer::kCodeProgram, false);
    }
  }
  for (int c = 0; c < channels; ++c)
    control(c, SongOutputRecord::kVolumeOffset, Writer::kCodeVolume, true);
}

// Board records as the assignment exclusives the score decoder reads back into them.
void WriteBoardRecord(Writer& writer, const CSeqEvent& e) {
  uint32_t tick = e.GetTick();
  if (CPreparedPlayList::IsBoardRecord(e)) {
    writer.WriteExclusive(tick, {kAssignId, kAssignBoard, 0xF0, e.GetDataByte(2)});
    return;
  }
  auto channel = static_cast<uint8_t>(e.GetDataByte(0) & 0x0F);
  writer.WriteExclusive(
      tick, {kAssignId, kAssignPair, static_cast<uint8_t>(0xB0 | channel), e.GetDataByte(2)});
  writer.WriteExclusive(
      tick, {kAssignId, kAssignPair, static_cast<uint8_t>(0xC0 | channel), e.GetDataByte(3)});
}

void WriteChannelMessage(Writer& writer, const CSeqEvent& e, int channel) {
  uint32_t tick = e.GetTick();
  uint8_t status = e.GetDataByte(0) & 0xF0;
  if (CPreparedPlayList::IsNoteOn(e)) {
    writer.WriteNote(tick, channel, e.GetDataByte(1), CPreparedPlayList::NoteLength(e));
  } else if (status == 0xC0 && e.GetLength() >= 2) {
    writer.WriteControl(tick, channel, Writer::kCodeProgram, LastDataByte(e));
  } else if (status == 0xE0 && e.GetLength() >= 3) {
    // The bend's most significant byte; its least significant one is dropped.
    writer.WriteControl(tick, channel, Writer::kCodePitchBend, LastDataByte(e));
  } else if (status == 0xB0 && e.GetLength() >= 3) {
    for (const WrittenController& c : kWrittenControllers) {
      if (c.controller != e.GetDataByte(1)) continue;
      uint8_t value = LastDataByte(e);
      if (c.code == Writer::kCodeVolume) value = LookupByteTable(value);
      writer.WriteControl(tick, channel, c.code, value);
    }
  }
}

void WriteScoreEvent(Writer& writer, const CPreparedPlayList& list, const CSeqEvent& e,
                     CTrackBuild& build) {
  if (uint32_t code = CPreparedPlayList::MarkCode(e)) {
    WriteMark(writer, e, code, build);
    return;
  }
  int channel = list.TrackChannelOf(e);
  // Other meta events belong to the track but have no form here.
  if (channel < 0) return;
  if (CPreparedPlayList::IsBoardRecord(e) || CPreparedPlayList::IsPairRecord(e)) {
    WriteBoardRecord(writer, e);
  } else {
    WriteChannelMessage(writer, e, channel);
  }
}

// The audio form: no channel, wave notes, volume and pan only.
void WriteAudioEvent(Writer& writer, const CSeqEvent& e, CTrackBuild& build) {
  if (uint32_t code = CPreparedPlayList::MarkCode(e)) {
    WriteMark(writer, e, code, build);
    return;
  }
  uint8_t status = e.GetDataByte(0) & 0xF0;
  if (CPreparedPlayList::IsNoteOn(e)) {
    uint8_t wave = e.GetDataByte(1);
    if (wave >= 1 && wave <= kLastWaveNote) {
      writer.WriteNote(e.GetTick(), 0, wave, CPreparedPlayList::NoteLength(e));
    }
  } else if (status == 0xB0 && e.GetLength() >= 3) {
    uint8_t controller = e.GetDataByte(1);
    if (controller == 7)
      writer.WriteControl(e.GetTick(), 0, Writer::kCodeVolume, LookupByteTable(LastDataByte(e)));
    if (controller == 10) writer.WriteControl(e.GetTick(), 0, Writer::kCodePan, LastDataByte(e));
  }
}

}  // namespace

std::unique_ptr<CScoreSequenceChunk> BuildScoreSequence(
    uint16_t tempo, uint16_t division, uint16_t /*timeBase*/, const SongOutputRecord& setup,
    const CSeqEventList& playList, CSeqEventList& scratch, CTrackBuild& build, uint8_t trackMode) {
  try {
    CPreparedPlayList list(division, trackMode);
    list.Prepare(playList, scratch);
    Writer writer(Writer::NoteForm::kScore);
    writer.WriteHeader(0, HeaderId(trackMode), tempo);
    WriteSetupEvents(writer, setup, trackMode);
    for (const CSeqEvent* e : list.GetEvents()) WriteScoreEvent(writer, list, *e, build);
    build.SetEndValue(writer.Close(list.GetLatestEnd()));
    return MakeChunk<CScoreSequenceChunk>(kIdMtsq, writer);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}

std::unique_ptr<CAudioSequenceChunk> BuildAudioSequence(uint16_t tempo, uint16_t division,
                                                        uint16_t /*timeBase*/,
                                                        const CSeqEventList& playList,
                                                        CSeqEventList& scratch, CTrackBuild2& build,
                                                        uint8_t trackMode) {
  try {
    CPreparedPlayList list(division, trackMode);
    list.Prepare(playList, scratch);
    Writer writer(Writer::NoteForm::kWave);
    writer.WriteHeader(0, HeaderId(trackMode), tempo);
    for (const CSeqEvent* e : list.GetEvents()) WriteAudioEvent(writer, *e, build);
    build.SetEndValue(writer.Close(list.GetLatestEnd()));
    return MakeChunk<CAudioSequenceChunk>(kIdAtsq, writer);
  } catch (const std::bad_alloc&) {
    throw kErrOutOfMemory;
  }
}
