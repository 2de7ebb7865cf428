// Writes the default voice files that start-up loads, from our own voice parameters:
// make_default_voices <folder>.
#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "VoiceParams.h"
#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/Voice2.h"
#include "song/Voice2List.h"
#include "song/VoiceBank.h"
#include "song/VoiceItem.h"
#include "song/VoiceTable1.h"

namespace {

using defvoices::DrumVoice;
using defvoices::MelodyVoice;
using defvoices::OpParams;
using defvoices::Patch;

constexpr int kMelodyBank = 124;
constexpr int kDrumBank = 125;
constexpr int kPanCentre = 15;
// Two-operator voices sound through ALG 0 or 1; the 16-voice banks voice their richer programs
// with ALG 2, read as two such pairs side by side (operators 1-2 and 3-4).
constexpr uint8_t kFourOpAlgorithm = 2;
constexpr int kUserWaveSamples = 1024;
constexpr int kUserWaveSlots[] = {15, 23, 31};

void SetOperator(CVoiceItem& item, int n, const OpParams& op, uint8_t fb) {
  item.SetOpMULTI(n, op.mul);
  item.SetOpTL(n, op.tl);
  item.SetOpAR(n, op.ar);
  item.SetOpDR(n, op.dr);
  item.SetOpSL(n, op.sl);
  item.SetOpSR(n, op.sr);
  item.SetOpRR(n, op.rr);
  item.SetOpKSL(n, op.ksl);
  item.SetOpKSR(n, op.ksr);
  item.SetOpDT(n, op.dt);
  item.SetOpWS(n, op.ws);
  item.SetOpSUS(n, op.sus);
  // Only operators 1 and 3 keep a feedback value.
  item.SetOpFB(n, (n == 1 || n == 3) ? fb : 0);
}

CVoiceItem FmItem(const char* name, const Patch& patch, bool fourOp) {
  CVoiceItem item;
  item.SetName(name);
  item.SetPanpot(kPanCentre);
  item.SetLFO(patch.lfo);
  SetOperator(item, 1, patch.mod, patch.fb);
  SetOperator(item, 2, patch.car, 0);
  if (fourOp) {
    // The second pair is the first detuned, for width.
    OpParams mod = patch.mod;
    OpParams car = patch.car;
    mod.dt = 1;
    car.dt = 1;
    mod.tl = static_cast<uint8_t>(mod.tl + 2 > 63 ? 63 : mod.tl + 2);
    SetOperator(item, 3, mod, patch.fb);
    SetOperator(item, 4, car, 0);
    item.SetAlgorithm(kFourOpAlgorithm);
  } else {
    item.SetAlgorithm(patch.alg);
  }
  return item;
}

CVoiceItem DrumItem(int note) {
  const DrumVoice drum = defvoices::DrumVoiceFor(note);
  CVoiceItem item = FmItem(drum.name, drum.patch, false);
  item.SetDrumKey(drum.key);
  item.SetPanpot(drum.pan);
  return item;
}

// A user wave of 16-bit big-endian samples: 15 a soft square, 23 a saw, 31 a triangle.
CNamedBlock UserWave(int slot) {
  std::vector<uint8_t> bytes;
  bytes.reserve(2 * kUserWaveSamples);
  for (int i = 0; i < kUserWaveSamples; ++i) {
    const double phase = static_cast<double>(i) / kUserWaveSamples;
    double v = 0;
    if (slot == 15) {
      v = std::tanh(6.0 * std::sin(2.0 * std::numbers::pi * phase)) * 0.9;
    } else if (slot == 23) {
      v = 0.9 * (1.0 - 2.0 * phase);
    } else {
      v = 0.9 * (phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase);
    }
    const int sample = static_cast<int>(std::lround(v * 32767.0));
    bytes.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
  }
  CNamedBlock block;
  block.SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
  block.SetName(("UserWave" + std::to_string(slot)).c_str());
  return block;
}

std::vector<uint8_t> BankImage(bool fourOp, bool userWaves) {
  CVoiceBank bank;
  for (int program = 0; program < defvoices::kMelodyCount; ++program) {
    const MelodyVoice voice = defvoices::MelodyVoiceFor(program);
    bank.SetVoice(kMelodyBank, 0, program, 0, FmItem(voice.name, voice.patch, fourOp && voice.fourOp));
  }
  for (int note = defvoices::kFirstDrumNote; note <= defvoices::kLastDrumNote; ++note) {
    bank.SetVoice(kDrumBank, 0, 0, note, DrumItem(note));
  }
  if (userWaves) {
    for (int slot : kUserWaveSlots) {
      const CNamedBlock wave = UserWave(slot);
      bank.SetWaveSlot(slot, &wave);
    }
  }
  CMemStream stream;
  bank.SaveChunks(stream, true);
  return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
}

// The generation-1 operator word: FL, WAVE, TL, SL, AR, DR, RR, SUS, EGT, VIB, MULTI.
void SetGen1Operator(CVoiceTable1& table, int i, int which, const OpParams& op, uint8_t fl) {
  table.SetFL(i, which, fl);
  table.SetTL(i, which, op.tl);
  table.SetSL(i, which, op.sl);
  table.SetAR(i, which, op.ar);
  table.SetDR(i, which, op.dr);
  table.SetRR(i, which, op.rr);
  table.SetSUS(i, which, op.sus);
  // Without a sustain rate the generation-1 voice holds through EG type 1.
  table.SetEGT(i, which, op.sr == 0 ? 1 : 0);
  table.SetMULTI(i, which, op.mul & 7);
}

std::vector<uint8_t> VoiceTableImage() {
  CVoiceTable1 table;
  for (int program = 0; program < defvoices::kMelodyCount; ++program) {
    const MelodyVoice voice = defvoices::MelodyVoiceFor(program);
    uint8_t* entry = table.GetEntry(program);
    std::strncpy(reinterpret_cast<char*>(entry), voice.name, 16);
    SetGen1Operator(table, program, CVoiceTable1::kModulator, voice.patch.mod, voice.patch.fb);
    SetGen1Operator(table, program, CVoiceTable1::kCarrier, voice.patch.car, 0);
    for (int range = 0; range < 4; ++range) {
      table.SetMultiples(program, range, voice.patch.mod.mul & 7, voice.patch.car.mul & 7);
    }
    table.SetBasicRange(program, 1, 0);
    table.SetRangeFlags(program, 0x0F);
  }
  CMemStream stream;
  // The voice file of chip mode 1 carries bank byte 1.
  WriteVoiceTable(table, 1, stream);
  return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
}

CVoice2 Gen2Voice(const char* name, const Patch& patch) {
  CVoice2 v;
  v.SetNameText(name);
  v.SetLFO(patch.lfo);
  v.SetFB(patch.fb);
  v.SetAlgorithm(patch.alg & 3);
  v.SetBO(1);
  const OpParams* ops[] = {&patch.mod, &patch.car};
  for (int n = 1; n <= 2; ++n) {
    const OpParams& op = *ops[n - 1];
    v.SetOpMULTI(n, op.mul);
    v.SetOpTL(n, op.tl);
    v.SetOpAR(n, op.ar);
    v.SetOpDR(n, op.dr);
    v.SetOpSL(n, op.sl);
    v.SetOpRR(n, op.rr);
    v.SetOpKSL(n, op.ksl);
    v.SetOpKSR(n, op.ksr);
    v.SetOpSUS(n, op.sus);
    v.SetOpEGT(n, op.sr == 0 ? 1 : 0);
    v.SetOpWS(n, op.ws & 7);
  }
  return v;
}

std::vector<uint8_t> Voice2Image() {
  CVoice2List list;
  for (int program = 0; program < defvoices::kMelodyCount; ++program) {
    const MelodyVoice voice = defvoices::MelodyVoiceFor(program);
    list.Set(0, program, Gen2Voice(voice.name, voice.patch));
  }
  // Drum bank 128 is file bank 10; its voices are numbered from 13 in file order.
  for (int note = defvoices::kFirstDrumNote; note <= defvoices::kLastDrumNote; ++note) {
    const DrumVoice drum = defvoices::DrumVoiceFor(note);
    CVoice2 v = Gen2Voice(drum.name, drum.patch);
    v.SetDrumKey(drum.key);
    list.Set(128, note, v);
  }
  CMemStream stream;
  list.WriteChunks(stream);
  return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
}

bool Write(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
  const std::string path = platform::JoinPath(folder, name);
  if (bytes.empty() || !platform::WriteFileAtomic(path, bytes)) {
    std::fprintf(stderr, "make_default_voices: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_default_voices <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::vector<uint8_t> rich = BankImage(true, true);
  const std::vector<uint8_t> wide = BankImage(false, true);
  const std::vector<uint8_t> phraseRich = BankImage(true, false);
  const std::vector<uint8_t> phraseWide = BankImage(false, false);
  bool ok = Write(folder, "DefKZ3_16.vk3", rich);
  ok = Write(folder, "DefKZ3_32.vk3", wide) && ok;
  ok = Write(folder, "DefKZ3P_16.vk3", phraseRich) && ok;
  ok = Write(folder, "DefKZ3P_32.vk3", phraseWide) && ok;
  ok = Write(folder, "DefaultVoice.dat", VoiceTableImage()) && ok;
  ok = Write(folder, "DefKZ2FM.vkz", Voice2Image()) && ok;
  return ok ? 0 : 1;
}
