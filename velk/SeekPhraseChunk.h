// The seek-and-phrase chunk "MspI" of a format-0 score track, and the body both seek chunks share.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "song/MemStream.h"
#include "song/TrackBuild.h"
#include "song/Chunk.h"

inline constexpr uint32_t kIdMspI = MakeChunkId('M', 's', 'p', 'I');

/// Start point, stop point and phrase marks read from a seek-and-phrase body:
/// "st:" BE32 ",", "sp:" BE32 ",", then 'P' kind ':' BE32 start BE32 end "," per mark.
class CSeekPhraseData {
 public:
  /// Parses a body. Tags it does not know are skipped to the next ','; a later "st" or "sp"
  /// replaces the earlier value; a body that ends inside an entry keeps what was read before.
  /// Throws -108 when memory runs out.
  void Parse(uint8_t* body, uint32_t size);
  /// Builds the chunk's body from a record: "st" and "sp" when present, then one entry per
  /// mark, after each mark's end was set in place to the next mark's start and the last one's
  /// to the record's end value. The data then holds what a reader of that body holds, with the
  /// record's first field. Throws -108 when memory runs out.
  void Build(CTrackBuild& record, CChunk& chunk);

  /// The byte carried from the record a chunk was built from; 0 when read from a file.
  uint8_t GetFirstField() const { return m_firstField; }
  /// Null when absent.
  const uint32_t* GetStartPoint() const { return m_start.get(); }
  const uint32_t* GetStopPoint() const { return m_stop.get(); }
  size_t GetMarkCount() const { return m_marks.size(); }
  /// Mark i, or null.
  const CPhraseMark* GetMark(size_t i) const {
    return i < m_marks.size() ? m_marks[i].get() : nullptr;
  }

  /// Fills a record with copies of the points and marks, end value 0xFFFFFFFF.
  void CopyTo(CTrackBuild& record) const;
  /// The same, but the marks move to the record (the data keeps none).
  void HandOverTo(CTrackBuild& record);

 private:
  void ReadEntry(CMemStream& body);
  static void WriteBody(CTrackBuild& record, CMemStream& out);
  void CopyPointsTo(CTrackBuild& record) const;

  uint8_t m_firstField = 0;
  std::unique_ptr<uint32_t> m_start;
  std::unique_ptr<uint32_t> m_stop;
  std::vector<std::unique_ptr<CPhraseMark>> m_marks;
};

/// The base of the "MspI" chunks: exports nothing.
class CSeekPhraseChunkBase : public CChunk {
 public:
  explicit CSeekPhraseChunkBase(uint32_t id = kIdMspI) : CChunk(id) {}
  /// Reads id, size and body, kept raw. Throws -48 when the chunk runs past the stream.
  explicit CSeekPhraseChunkBase(CMemStream& stream) : CChunk(stream) {}

  /// A new record owned by the caller, or null.
  virtual std::unique_ptr<CTrackBuild> ExportSeekPhrase() { return nullptr; }
};

/// "MspI" of a format-0 score track.
class CSeekPhraseChunk : public CSeekPhraseChunkBase {
 public:
  /// Reads the chunk and parses its body. Throws -48 when the chunk runs past the stream, -108
  /// when memory runs out.
  explicit CSeekPhraseChunk(CMemStream& stream);
  /// Builds the chunk from a record (whose marks get their ends, see CSeekPhraseData::Build).
  /// Throws -108 when memory runs out.
  explicit CSeekPhraseChunk(CTrackBuild& record);

  /// A record with copies of the points and marks; the chunk keeps its own.
  std::unique_ptr<CTrackBuild> ExportSeekPhrase() override;
  const CSeekPhraseData& GetSeekPhrase() const { return m_data; }

 private:
  CSeekPhraseData m_data;
};
