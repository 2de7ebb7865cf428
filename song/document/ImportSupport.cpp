// What the song readers share: reading a song file whole, running a converter plug-in into a
// buffer, and reading song data into a MIDI list.
#include "song/document/ImportSupport.h"

#include <algorithm>
#include <new>

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/midilist/MidiList.h"

namespace songimport {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFFu;
// The song-data reader keeps its data in a memory stream, whose size is a signed 32-bit value.
constexpr uint64_t kMaxSource = 0x7FFFFFFFu;

std::unique_ptr<uint8_t[]> NewBuffer(uint32_t size) {
  if (size == 0) return nullptr;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
  if (!buffer) throw -108;
  return buffer;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadSongFile(const std::string& path, uint32_t factor) {
  // Only a regular file: a FIFO would block and a device would never end.
  const std::optional<uint64_t> size = platform::RegularFileSize(path);
  if (!size || *size == 0 || *size > kMaxSource) return std::nullopt;
  if (*size * std::max<uint64_t>(factor, 1) > kMax32) return std::nullopt;
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes || bytes->empty() || bytes->size() > kMaxSource ||
      bytes->size() * std::max<uint64_t>(factor, 1) > kMax32) {
    return std::nullopt;
  }
  return bytes;
}

Conversion RunConverter(int kind, uint32_t flags, const std::vector<uint8_t>& source,
                        uint32_t factor) {
  Conversion out;
  out.sourceSize = static_cast<uint32_t>(source.size());
  uint64_t capacity = static_cast<uint64_t>(source.size()) * factor;
  if (capacity > kMax32) {
    out.result = CNVERR_DSTSIZE;
    return out;
  }
  for (;;) {
    out.bytes = NewBuffer(static_cast<uint32_t>(capacity));
    out.capacity = static_cast<uint32_t>(capacity);
    CnvParam param{};
    param.flags = flags;
    param.src = source.data();
    param.srcSize = static_cast<uint32_t>(source.size());
    param.dst = out.bytes.get();
    param.dstSize = out.capacity;
    out.result = platform::binder().Convert(param, kind, 0);
    out.flags = param.flags;
    // A well-compressed file expands beyond any fixed factor: give the plug-in more room.
    if (out.result != CNVERR_DSTSIZE || factor == 0 || capacity >= kMaxDestination) break;
    capacity = std::min<uint64_t>(capacity * 2, kMaxDestination);
  }
  if (out.Succeeded() && out.result > out.capacity) out.result = CNVERR_FAILED;
  return out;
}

std::optional<Conversion> ConvertSongFile(const std::string& path, int kind, uint32_t flags,
                                          uint32_t factor) {
  const auto source = ReadSongFile(path, factor);
  if (!source) return std::nullopt;
  Conversion out = RunConverter(kind, flags, *source, factor);
  if (!out.Succeeded()) {
    platform::reports().ReportConvertResult(kind, out.result, out.flags);
    return std::nullopt;
  }
  platform::reports().ReportConverterNotes(kind, out.flags);
  return out;
}

int ReadSongData(const uint8_t* bytes, uint32_t size, CMidiList& list) {
  auto busy = platform::ui().ShowBusyPicture(1);
  list.SetDensWidth(static_cast<uint32_t>(
      platform::profile().GetProfileInt("Setting", "DensWidth", 500)));
  CMemStream stream(const_cast<uint8_t*>(bytes), static_cast<int32_t>(size), false);
  uint32_t flags = 0;
  const bool read = list.ReadSmf(stream, &flags) == 1;
  const uint32_t status = read ? flags : (flags >= CNVERR_FAILED ? flags : CNVERR_FAILED);
  const int passed = platform::reports().ReportConverterNotesShort(status);
  return read && passed ? 1 : 0;
}

}  // namespace songimport
