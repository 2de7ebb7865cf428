// Small readers and writers of bytes, big-endian numbers and variable-length quantities.
#pragma once

#include <cstdint>
#include <vector>

class CMemStream;

namespace velkgate {

/// One byte at the cursor; throws -48 at the end.
uint8_t ReadByteAt(const uint8_t*& cursor, const uint8_t* end);
/// A variable-length quantity (7 bits a byte, high bit on all but the last). No limit on the
/// count of bytes (the value keeps its low 32 bits), but never past end: throws -48 there.
uint32_t ReadVlq(const uint8_t*& cursor, const uint8_t* end);
/// The same from a stream (throws -48 when it ends first).
uint32_t ReadVlq(CMemStream& stream);

/// Appends to a growing buffer; throws -108 when memory runs out.
void AppendByte(std::vector<uint8_t>& buffer, uint8_t value);
void AppendBE16(std::vector<uint8_t>& buffer, uint16_t value);
void AppendBE32(std::vector<uint8_t>& buffer, uint32_t value);
void AppendBytes(std::vector<uint8_t>& buffer, const uint8_t* bytes, uint32_t n);
/// One to five bytes; 0 is a single 0x00.
void AppendVlq(std::vector<uint8_t>& buffer, uint32_t value);
void WriteVlq(CMemStream& stream, uint32_t value);

uint32_t SwapBytes32(uint32_t v);
/// One of the 118 stream-PCM rates 4125..48000 Hz in steps of 375.
bool IsValidStreamPcmRate(uint32_t rate);

}  // namespace velkgate
