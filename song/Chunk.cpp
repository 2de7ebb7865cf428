// The base of every VELK chunk.
#include "song/Chunk.h"

#include <cstring>

namespace {

[[noreturn]] void ThrowEndOfData(CMemStream& stream) {
  stream.Seek(2, 0);
  throw kErrEndOfData;
}

}  // namespace

uint32_t PeekChunkId(const CMemStream& stream) {
  if (stream.RemainingBytes() < 4) throw kErrEndOfData;
  const uint8_t* p = stream.GetCurrent();
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

CChunk::CChunk(uint32_t id) : m_id(id) {}

CChunk::CChunk(CMemStream& stream) : m_id(0) {
  uint32_t size = ReadHeader(stream, m_id);
  m_body.reset(ReadBodyBytes(stream, size));
  m_bodySize = size;
}

uint32_t CChunk::ReadHeader(CMemStream& stream, uint32_t& id) {
  uint32_t size = 0;
  stream.ReadBE32(id).ReadBE32(size);
  // Checked before allocating: a hostile size must not reserve gigabytes.
  if (size > stream.RemainingBytes()) ThrowEndOfData(stream);
  return size;
}

uint8_t* CChunk::ReadBodyBytes(CMemStream& stream, uint32_t size) {
  if (size == 0) return nullptr;
  auto* body = static_cast<uint8_t*>(std::malloc(size));
  if (!body) throw kErrOutOfMemory;
  try {
    stream.Read(body, size);
  } catch (...) {
    std::free(body);
    throw;
  }
  return body;
}

void CChunk::Write(CMemStream& stream) {
  stream.WriteBE32(m_id);
  stream.WriteBE32(0);
  int32_t bodyStart = stream.GetPosition();
  WriteBody(stream);
  // Size is patched after the body is written, so WriteBody may only append.
  uint32_t n = static_cast<uint32_t>(stream.GetPosition() - bodyStart);
  stream.Seek(0, bodyStart - 4);
  stream.WriteBE32(n);
  stream.Seek(1, static_cast<int32_t>(n));
}

void CChunk::Read(CMemStream& stream) {
  uint32_t id = 0;
  uint32_t size = ReadHeader(stream, id);
  BodyBuffer body(ReadBodyBytes(stream, size));
  CMemStream view(body.get(), static_cast<int32_t>(size), false);
  ReadBody(view);
  // ReadBody normally took the buffer; one that did not leaves it to be freed here.
  if (view.GetData() != body.get()) (void)body.release();
  m_id = id;
  m_bodySize = size;
}

void CChunk::WriteBody(CMemStream& stream) {
  if (m_bodySize > 0) stream.Write(m_body.get(), m_bodySize);
}

void CChunk::ReadBody(CMemStream& stream) {
  m_body.reset(stream.Detach());
}

void CChunk::SetBody(uint8_t* buffer, uint32_t size) {
  m_body.reset(buffer);
  m_bodySize = buffer ? size : 0;
}

void CChunk::SetBodyCopy(const uint8_t* data, uint32_t size) {
  uint8_t* copy = nullptr;
  if (size > 0) {
    copy = static_cast<uint8_t*>(std::malloc(size));
    if (!copy) throw kErrOutOfMemory;
    std::memcpy(copy, data, size);
  }
  SetBody(copy, size);
}

void SkipChunk(CMemStream& stream) {
  uint32_t id = 0;
  // Nothing is kept, so the body is stepped over rather than copied.
  uint32_t size = CChunk::ReadHeader(stream, id);
  stream.Seek(1, static_cast<int32_t>(size));
}
