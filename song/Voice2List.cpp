// The generation-2 voice list, its lookups and the ".vkz" file of "FM  " and "ADP " chunks.
#include "song/Voice2List.h"

#include <memory>
#include <new>
#include <vector>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/Voice2.h"
#include "song/Chunk.h"

namespace {

constexpr uint32_t kIdFM = MakeChunkId('F', 'M', ' ', ' ');
constexpr uint32_t kIdADP = MakeChunkId('A', 'D', 'P', ' ');
constexpr uint32_t kIdFMT = MakeChunkId('F', 'M', 'T', ' ');
constexpr uint32_t kFormatRecordSize = 24;
constexpr int kFirstDrumFileBank = 10;
constexpr int kLastDrumFileBank = 19;
constexpr int kFirstDrumListBank = 128;
constexpr int kLastDrumListBank = 137;
constexpr int kDrumBankOffset = 118;
constexpr int kFirstDrumProgram = 13;

// Where the program counter restarts when the file bank changes.
int FirstProgramOfFileBank(int fileBank) {
  return (fileBank >= kFirstDrumFileBank && fileBank <= kLastDrumFileBank) ? kFirstDrumProgram : 0;
}

// An "ADP " body holds sub-chunks that are read and dropped; only their framing is checked.
bool ReadAdpcmChunk(const uint8_t* body, uint32_t n) {
  CMemStream stream(const_cast<uint8_t*>(body), static_cast<int32_t>(n), false);
  while (!stream.AtEnd()) {
    CChunk sub(stream);
    if (sub.GetId() == kIdFMT && sub.GetBodySize() % kFormatRecordSize != 0) return false;
  }
  return true;
}

}  // namespace

int ListBankFromFile(int fileBank) {
  return (fileBank >= kFirstDrumFileBank && fileBank <= kLastDrumFileBank)
             ? fileBank + kDrumBankOffset
             : fileBank;
}

int FileBankFromList(int bank) {
  return (bank >= kFirstDrumListBank && bank <= kLastDrumListBank) ? bank - kDrumBankOffset
                                                                   : bank;
}

CVoice2List::~CVoice2List() { RemoveAll(); }

CVoice2* CVoice2List::GetVoice(int32_t index) const {
  Value v = 0;
  return GetAt(index, v) ? reinterpret_cast<CVoice2*>(v) : nullptr;
}

CVoice2* CVoice2ListIter::NextVoice() {
  CPtrChain::Value v = 0;
  return Next(v) ? reinterpret_cast<CVoice2*>(v) : nullptr;
}

CVoice2* CVoice2List::Find(int bank, int program) const {
  CVoice2ListIter it(*this);
  while (CVoice2* v = it.NextVoice()) {
    if (v->GetBank() == bank && v->GetProgram() == program) return v;
  }
  return nullptr;
}

bool CVoice2List::RemoveMatching(int bank, int program) {
  bool removed = false;
  while (CVoice2* v = Find(bank, program)) {
    RemoveVoice(v);
    delete v;
    removed = true;
  }
  return removed;
}

bool CVoice2List::Set(int bank, int program, const CVoice2& voice) {
  auto copy = std::make_unique<CVoice2>(voice);
  copy->SetBank(bank);
  copy->SetProgram(program);
  RemoveMatching(bank, program);
  AddVoice(copy.release());
  return true;
}

void CVoice2List::RemoveAll() {
  CVoice2ListIter it(*this);
  while (CVoice2* v = it.NextVoice()) delete v;
  CPtrChain::RemoveAll();
}

bool CVoice2List::LoadFile(const std::string& path) {
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) return false;
  return LoadBytes(bytes->data(), static_cast<uint32_t>(bytes->size()));
}

bool CVoice2List::LoadBytes(const uint8_t* data, uint32_t size) {
  if (!data || size == 0) return false;
  try {
    CMemStream file(const_cast<uint8_t*>(data), static_cast<int32_t>(size), false);
    while (!file.AtEnd()) {
      CChunk chunk(file);
      bool ok = false;
      if (chunk.GetId() == kIdFM) {
        ok = ReadVoiceChunk(chunk.GetBody(), chunk.GetBodySize());
      } else if (chunk.GetId() == kIdADP) {
        ok = ReadAdpcmChunk(chunk.GetBody(), chunk.GetBodySize());
      }
      if (!ok) return false;
    }
    return true;
  } catch (int) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CVoice2List::ReadVoiceChunk(const uint8_t* body, uint32_t n) {
  if (n % CVoice2::kSize != 0) return false;
  const uint32_t count = n / CVoice2::kSize;
  const uint8_t* params = body + count * CVoice2::kNameSize;
  int previousFileBank = -1;
  int program = 0;
  for (uint32_t i = 0; i < count; ++i) {
    CVoice2 voice;
    voice.SetName(body + i * CVoice2::kNameSize);
    voice.SetParams(params + i * CVoice2::kParamsSize);
    const int fileBank = voice.GetBank();
    if (fileBank != previousFileBank) program = FirstProgramOfFileBank(fileBank);
    previousFileBank = fileBank;
    voice.SetProgram(program);
    Set(ListBankFromFile(fileBank), voice.GetProgram(), voice);
    ++program;
  }
  return true;
}

bool CVoice2List::WriteChunks(CMemStream& stream) const {
  if (stream.GetSize() != 0) return false;
  // Sorted copies: each record goes before the first of a greater bank, or of the same bank
  // and a greater program, so equal keys keep their list order.
  std::vector<CVoice2> sorted;
  CVoice2ListIter it(*this);
  while (const CVoice2* v = it.NextVoice()) {
    auto at = sorted.begin();
    while (at != sorted.end() &&
           !(at->GetBank() > v->GetBank() ||
             (at->GetBank() == v->GetBank() && at->GetProgram() > v->GetProgram()))) {
      ++at;
    }
    sorted.insert(at, *v);
  }
  CMemStream names;
  CMemStream params;
  for (CVoice2& v : sorted) {
    const int fileBank = FileBankFromList(v.GetBank());
    if (fileBank >= kFirstDrumFileBank && fileBank <= kLastDrumFileBank) {
      v.SetBank(fileBank);
      v.SetProgram(fileBank - kFirstDrumFileBank);
    }
    if (v.IsDefault()) continue;
    names.Write(v.GetName(), CVoice2::kNameSize);
    params.Write(v.GetParams(), CVoice2::kParamsSize);
  }
  if (params.GetSize() > 0) names.Write(params.GetData(), static_cast<uint32_t>(params.GetSize()));
  CChunk chunk(kIdFM);
  const int32_t size = names.GetSize();
  if (size > 0) chunk.SetBody(names.Detach(), static_cast<uint32_t>(size));
  chunk.Write(stream);
  return true;
}
