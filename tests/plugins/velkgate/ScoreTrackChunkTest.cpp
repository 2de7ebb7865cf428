// Tests of the score track "MTR" + n: building, reading and the file object's score glue.
#include "plugins/velkgate/ScoreTrackChunk.h"

#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/HuffmanCoder.h"
#include "plugins/velkgate/SetupTransfer.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SongSetup.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Event;
using testing::Hex;
using testing::ToHex;
using testing::WriteChunk;

constexpr uint8_t kStatus[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

/// "MTR" + n with the header bytes, 16 statuses and the child chunks.
Bytes TrackImage(uint8_t n, uint8_t format, uint8_t sequenceType, const Bytes& children) {
  Bytes body = {format, sequenceType, 0x02, 0x02};
  body.insert(body.end(), kStatus, kStatus + 16);
  body.insert(body.end(), children.begin(), children.end());
  Bytes image = {'M', 'T', 'R', n};
  AppendBE32(image, static_cast<uint32_t>(body.size()));
  AppendBytes(image, body.data(), static_cast<uint32_t>(body.size()));
  return image;
}

Bytes Child(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  AppendBE32(out, static_cast<uint32_t>(body.size()));
  AppendBytes(out, body.data(), static_cast<uint32_t>(body.size()));
  return out;
}

std::unique_ptr<CScoreTrackChunk> Read(const Bytes& image, uint32_t* flagsOut = nullptr) {
  static Bytes copy;
  copy = image;
  CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
  uint32_t flags = 0;
  auto track = std::make_unique<CScoreTrackChunk>(in, flags);
  if (flagsOut) *flagsOut = flags;
  return track;
}

int ReadError(const Bytes& image) {
  try {
    Read(image);
  } catch (int e) {
    return e;
  }
  return 1;
}

TEST(CScoreTrackChunk, NewTrackWritesItsChildrenInOrder) {
  CScoreTrackChunk track(5, 2, 0x02, 0x02, kStatus);
  EXPECT_EQ(track.GetSequence()->GetId(), CScoreTrackChunk::kPlaceholderId);
  CEventList list;
  list.Add(Event(0, Hex("90 3C 64"), 10));
  CSeekRecord seek;
  track.SetSequence(std::make_unique<CScoreSequenceChunk>(list, seek, false, false));
  CSongSetup setup;
  setup.SetStreamMode(3);
  uint32_t flags = 0;
  track.SetSetup(std::make_unique<CSetupDataChunk>(setup, flags));
  CSeekRecord stop;
  stop.SetStop(8);
  track.SetSeek(std::make_unique<CSeekPhraseChunk>(stop));
  COwnedList<CWaveDataChunk> waves;
  waves.Add(new CWaveDataChunk(1, 0x01, 8000, Hex("AA").data(), 1));
  track.SetStreamPcm(std::make_unique<CStreamPcmChunk>(waves));
  Bytes expected = Hex("4D545205 00000059 02 00 02 02 0102030405060708090A0B0C0D0E0F10"
                       "4D747375 00000008 F0 06 43 79 06 7F 7F F7"
                       "4D737049 00000008 73 70 3A 00 00 00 08 2C"
                       "4D747371 00000009 00 90 3C 64 0A 0A FF 2F 00"
                       "4D747370 0000000C 4D776101 00000004 01 1F40 AA");
  EXPECT_EQ(ToHex(WriteChunk(track)), ToHex(expected));
}

TEST(CScoreTrackChunk, CompactTrackWritesAStatusWord) {
  CScoreTrackChunk track(2, 0, 0x02, 0x02, kStatus);
  track.SetSequence(nullptr);
  EXPECT_EQ(ToHex(WriteChunk(track)), "4D 54 52 02 00 00 00 06 00 00 02 02 12 34");
  Bytes image = WriteChunk(track);
  auto back = Read(image);
  EXPECT_EQ(back->GetChannelStatus(0), 1);
  EXPECT_EQ(back->GetChannelStatus(3), 4);
  EXPECT_EQ(back->GetStatusCount(), 4);
}

TEST(CScoreTrackChunk, FormatTypeRules) {
  Bytes sequence = Child("Mtsq", Hex("00 FF 2F 00"));
  auto five = Read(TrackImage(5, 3, 0, sequence));
  EXPECT_EQ(five->GetFormatType(), 0xFF);
  EXPECT_EQ(five->GetSequence(), nullptr);
  EXPECT_EQ(Read(TrackImage(6, 1, 0, sequence))->GetFormatType(), 0xFF);
  EXPECT_EQ(Read(TrackImage(6, 2, 0, sequence))->GetFormatType(), 2);
  EXPECT_EQ(Read(TrackImage(5, 2, 0, sequence))->GetSequence()->GetBodySize(), 4u);
  EXPECT_EQ(ReadError(TrackImage(5, 2, 1, sequence)), kErrRejected);
  EXPECT_EQ(ReadError(TrackImage(6, 2, 1, sequence)), kErrRejected);
  EXPECT_EQ(ReadError(TrackImage(7, 2, 1, sequence)), 1);
}

TEST(CScoreTrackChunk, LaterChildReplacesEarlierAndUnknownIsSkipped) {
  Bytes children = Child("Mtsq", Hex("00 FF 2F 00"));
  Bytes more = Child("Xyzw", Hex("01 02"));
  children.insert(children.end(), more.begin(), more.end());
  Bytes second = Child("Mtsq", Hex("05 FF 2F 00"));
  children.insert(children.end(), second.begin(), second.end());
  auto track = Read(TrackImage(5, 2, 0, children));
  EXPECT_EQ(track->GetSequence()->GetBody()[0], 5);
}

TEST(CScoreTrackChunk, ChildRunningPastTheBodyThrows) {
  Bytes image = TrackImage(5, 2, 0, Child("Mtsq", Hex("00 FF 2F 00")));
  image[image.size() - 5] = 9;  // the child claims more than the track holds
  EXPECT_EQ(ReadError(image), kErrEndOfData);
}

/// A track of one event list built plain or compressed, read back and decoded.
std::vector<std::string> DecodeTrack(const CEventList& list, bool compress) {
  CScoreTrackChunk track(5, compress ? 1 : 2, 0x02, 0x02, kStatus);
  CSeekRecord seek;
  track.SetSequence(std::make_unique<CScoreSequenceChunk>(list, seek, compress, false));
  Bytes image = WriteChunk(track);
  Bytes cnti = Hex("434E5449 00000005 000000FF00");
  Bytes chunks = cnti;
  chunks.insert(chunks.end(), image.begin(), image.end());
  Bytes whole = testing::FileImage(chunks);
  CMemStream in(whole.data(), static_cast<int32_t>(whole.size()), false);
  uint32_t flags = 0;
  CVelkFileChunk read(in, flags);
  EXPECT_EQ((flags & CNVF_COMPRESS) != 0, compress);
  CEventList events;
  EXPECT_EQ(read.ScoreTracksToEvents(events, flags), 0x02);
  std::vector<std::string> out;
  for (CSeqEvent* e : events.Items())
    out.push_back(std::to_string(e->GetTick()) + ":" + ToHex(testing::EventBytes(*e)));
  return out;
}

TEST(CScoreTrackChunk, CompressedAndPlainTracksDecodeTheSame) {
  CEventList list;
  for (uint32_t i = 0; i < 50; ++i) list.Add(Event(i * 12, {static_cast<uint8_t>(0x90 | (i % 16)), static_cast<uint8_t>(30 + i), 80}, i * 12 + 6));
  std::vector<std::string> plain = DecodeTrack(list, false);
  // The 50 notes, and the song's end at the end of the last one.
  ASSERT_EQ(plain.size(), 51u);
  EXPECT_EQ(plain.back(), "594:FF 2F 00");
  EXPECT_EQ(DecodeTrack(list, true), plain);
}

TEST(CScoreTrackChunk, ExpansionIsBoundedByTheCountNotFourTimes) {
  // 1000 equal notes, each 0A 80 3C 0A, expand about 4.5 times.
  Bytes stream = Hex("00 90 3C 64 0A");
  for (int i = 0; i < 999; ++i) AppendBytes(stream, Hex("0A 80 3C 0A").data(), 4);
  AppendBytes(stream, Hex("0A FF 2F 00").data(), 4);
  CMemStream coded;
  CHuffmanCoder coder;
  coder.Encode(stream.data(), static_cast<uint32_t>(stream.size()), coded);
  Bytes body = testing::StreamBytes(coded);
  EXPECT_GT(stream.size(), 4 * body.size());
  auto track = Read(TrackImage(5, 1, 0, Child("Mtsq", body)));
  ASSERT_NE(track->GetSequence(), nullptr);
  EXPECT_EQ(track->GetSequence()->GetBodySize(), stream.size());

  Bytes tooMany = body;
  uint32_t count = static_cast<uint32_t>(8 * body.size() + 1);
  tooMany[0] = static_cast<uint8_t>(count >> 24);
  tooMany[1] = static_cast<uint8_t>(count >> 16);
  tooMany[2] = static_cast<uint8_t>(count >> 8);
  tooMany[3] = static_cast<uint8_t>(count);
  EXPECT_EQ(ReadError(TrackImage(5, 1, 0, Child("Mtsq", tooMany))), kErrEndOfData);
  Bytes huge = Hex("80 00 00 00 20 80");  // 2^31 symbols of one value
  EXPECT_EQ(ReadError(TrackImage(5, 1, 0, Child("Mtsq", huge))), kErrEndOfData);
}

TEST(CScoreTrackChunk, KeepsTheStoredSequenceWhenAskedTo) {
  Bytes body = Hex("00 00 00 04 C5 EF F0 05 20");
  Bytes copy = TrackImage(5, 1, 0, Child("Mtsq", body));
  CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
  uint32_t flags = 0x02;
  CScoreTrackChunk track(in, flags);
  EXPECT_EQ(track.GetSequence()->GetBodySize(), body.size());
}

TEST(CScoreTrackChunk, TransferSetupTakesTracksFiveAndSix) {
  CSongSetup setup;
  setup.SetOwnsObjects(1);
  setup.SetStreamMode(1);
  auto* voice = new CVoiceItem();
  voice->SetBankMsb(124);
  voice->SetAlgorithm(4);
  setup.SetVoiceItem(0, voice);
  uint32_t flags = 0;
  auto* track = new CScoreTrackChunk(5, 2, 0x02, 0x02, kStatus);
  track->SetSetup(std::make_unique<CSetupDataChunk>(setup, flags));
  CEventList list;
  list.Add(Event(0, Hex("F0 07 43 79 06 7F 00 55 F7")));
  CSeekRecord seek;
  track->SetSequence(std::make_unique<CScoreSequenceChunk>(list, seek, false, false));
  COwnedList<CWaveDataChunk> waves;
  waves.Add(new CWaveDataChunk(4, 0x11, 8000, Hex("AABB").data(), 2));
  track->SetStreamPcm(std::make_unique<CStreamPcmChunk>(waves));
  CVelkFileChunk file;
  file.AddScoreTrack(track);
  CMemStream image;
  file.Serialize(image);
  image.SeekToBegin();
  CVelkFileChunk read(image, flags);
  // The master byte comes from decoding the sequence, which runs before the transfer.
  CEventList events;
  read.ScoreTracksToEvents(events, flags);
  CSongSetup out;
  EXPECT_TRUE(TransferSetup(read, out));
  EXPECT_EQ(out.GetStatus(15), 16);
  EXPECT_EQ(out.GetMasterVolume(), 0x55);
  ASSERT_NE(out.GetVoiceItem(0), nullptr);
  EXPECT_EQ(out.GetVoiceItem(0)->GetBankMsb(), 124);
  EXPECT_EQ(out.GetStreamMode(), 1);
  ASSERT_NE(out.GetStreamPcmSlot(4), nullptr);
  EXPECT_EQ(out.GetStreamPcmSlot(4)->GetRate(), 8000);
}

TEST(CScoreTrackChunk, TrackOneStatusesReachTheFileObject) {
  Bytes body = {0x00, 0x00, 0x02, 0x02, 0x12, 0x34};
  Bytes setupChild = Child("Mtsu", Hex("01 02"));
  Bytes sequence = Child("Mtsq", Hex("00 15 05 00 00 00 00"));
  body.insert(body.end(), setupChild.begin(), setupChild.end());
  body.insert(body.end(), sequence.begin(), sequence.end());
  Bytes chunks = Hex("434E5449 00000005 000000FF00 4D545201");
  AppendBE32(chunks, static_cast<uint32_t>(body.size()));
  AppendBytes(chunks, body.data(), static_cast<uint32_t>(body.size()));
  Bytes whole = testing::FileImage(chunks);
  CMemStream in(whole.data(), static_cast<int32_t>(whole.size()), false);
  uint32_t flags = 0;
  CVelkFileChunk file(in, flags);
  EXPECT_EQ(file.GetChannelStatus(0), 1);
  EXPECT_EQ(file.GetChannelStatus(3), 4);
  EXPECT_EQ(file.GetChannelCount(), 4);
  CEventList events;
  EXPECT_EQ(file.ScoreTracksToEvents(events, flags), 0x02);
  ASSERT_EQ(events.GetCount(), 1);
  EXPECT_EQ(ToHex(testing::EventBytes(*events.Items()[0])), "90 35 64");
  ASSERT_NE(file.GetScoreTracks().Items()[0]->GetCompactSetup(), nullptr);
}

TEST(CScoreTrackChunk, FileWithoutScoreTracksKeepsTheStartingTimeBase) {
  CVelkFileChunk file;
  CEventList events;
  uint32_t flags = 0;
  EXPECT_EQ(file.ScoreTracksToEvents(events, flags), CVelkFileChunk::kNoTimeBase);
}

}  // namespace
}  // namespace velkgate
