// Helpers of the velkgate tests: hex byte strings, events and chunk images.
#pragma once

#include <cctype>
#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "song/Chunk.h"
#include "song/MemStream.h"
#include "song/SeqEvent.h"

namespace velkgate::testing {

using Bytes = std::vector<uint8_t>;

/// Bytes from hex digits; spaces and line breaks between them are ignored.
inline Bytes Hex(const std::string& text) {
  Bytes out;
  std::string digits;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) digits.push_back(c);
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::string ToHex(const Bytes& bytes) {
  std::ostringstream out;
  for (size_t i = 0; i < bytes.size(); ++i)
    out << (i ? " " : "") << std::hex << std::uppercase << std::setw(2) << std::setfill('0')
        << int{bytes[i]};
  return out.str();
}

inline Bytes StreamBytes(const CMemStream& stream) {
  const uint8_t* p = stream.GetData();
  return p ? Bytes(p, p + stream.GetSize()) : Bytes();
}

inline Bytes EventBytes(const CSeqEvent& e) {
  return Bytes(e.GetData(), e.GetData() + e.GetLength());
}

/// A new event of the bytes at a tick (end tick = tick unless given).
inline CSeqEvent* Event(uint32_t tick, const Bytes& bytes, uint32_t end = UINT32_MAX,
                        uint32_t cue = 0) {
  return new CSeqEvent(tick, static_cast<uint32_t>(bytes.size()), bytes.data(),
                       end == UINT32_MAX ? tick : end, cue);
}

/// A Standard MIDI File of the given tracks (each the bytes after "MTrk" and its length).
inline Bytes Smf(uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes out = Hex("4D546864 00000006 0001");
  AppendBE16(out, static_cast<uint16_t>(tracks.size()));
  AppendBE16(out, division);
  for (const Bytes& track : tracks) {
    AppendBytes(out, reinterpret_cast<const uint8_t*>("MTrk"), 4);
    AppendBE32(out, static_cast<uint32_t>(track.size()));
    AppendBytes(out, track.data(), static_cast<uint32_t>(track.size()));
  }
  return out;
}

/// The chunk written whole: id, size and body.
inline Bytes WriteChunk(CChunk& chunk) {
  CMemStream out;
  chunk.Write(out);
  return StreamBytes(out);
}

/// A VELK image: "MMMD", the size, the chunks and a CRC of 0 (the parser does not check it).
inline Bytes FileImage(const Bytes& chunks) {
  Bytes out = {'M', 'M', 'M', 'D'};
  auto size = static_cast<uint32_t>(chunks.size() + 2);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(size >> shift));
  out.insert(out.end(), chunks.begin(), chunks.end());
  out.insert(out.end(), {0x00, 0x00});
  return out;
}

}  // namespace velkgate::testing
