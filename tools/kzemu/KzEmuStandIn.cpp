// The silent stand-in of the sound-emulator libraries: keeps what it is given, reports the states
// the player asks for and tells the end of play after the image's play time.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

#include "EmuPlayTime.h"
#include "EmuSequence.h"
#include "device/KzSoundApi.h"
#include "platform/text/Format.h"

#define KZEMU_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int32_t kPhraseChannels = 4;
constexpr int32_t kEndOfPlay = 127;
constexpr int32_t kRefused = -1;
constexpr int32_t kUnreadable = -2;

struct Instance {
  int32_t nextSequence = 0;
  std::map<int32_t, std::unique_ptr<EmuSequence>> sequences;
};

struct Phrase {
  std::unique_ptr<EmuSequence> sequence;
  int32_t volume = 100;
  int32_t panpot = 64;
  int32_t link = 0;
};

// Everything the library keeps. Sequences live in unique_ptrs so their timers can be joined
// with this lock released (a timer's notice must not wait on it).
struct Library {
  std::mutex mutex;
  int32_t nextInstance = 1;
  std::map<int32_t, Instance> instances;
  Phrase phrases[kPhraseChannels];
  KzPhraseEvHandler phraseHandler = nullptr;
  std::deque<std::vector<uint8_t>> output;
  std::vector<std::string> record;

  ~Library() { CancelAll(); }

  void CancelAll() {
    std::vector<EmuSequence*> all;
    {
      std::lock_guard<std::mutex> lock(mutex);
      for (auto& [id, instance] : instances)
        for (auto& [seq, sequence] : instance.sequences) all.push_back(sequence.get());
      for (Phrase& p : phrases)
        if (p.sequence) all.push_back(p.sequence.get());
    }
    for (EmuSequence* s : all) s->Cancel();
  }
};

Library& Lib() {
  static Library library;
  return library;
}

#ifdef KZEMU_RECORD
// The recording variant keeps every call, and appends it to the file TRILLOT_EMU_RECORD names.
void Record(const std::string& line) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().record.push_back(line);
  if (const char* path = std::getenv("TRILLOT_EMU_RECORD")) {
    if (std::FILE* f = std::fopen(path, "a")) {
      std::fprintf(f, "%s\n", line.c_str());
      std::fclose(f);
    }
  }
}
/// The recording variant keeps the last image loaded, so tests can compare it byte by byte.
std::vector<uint8_t>& LastImage() {
  static std::vector<uint8_t> image;
  return image;
}

void KeepLoadedImage(const uint8_t* image, int32_t size) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  LastImage().assign(image, image + (image && size > 0 ? size : 0));
}
#else
void Record(const std::string&) {}
void KeepLoadedImage(const uint8_t*, int32_t) {}
#endif

template <typename... Ints>
std::string Call(const char* name, Ints... values) {
  std::string line = name;
  line += '(';
  bool first = true;
  ((line += (first ? "" : ","), line += std::to_string(values), first = false), ...);
  return line + ')';
}

std::string Bytes(const uint8_t* data, int32_t length) {
  return platform::HexBytes(data, length > 0 ? static_cast<size_t>(length) : 0);
}

/// The sequence of an instance, or null.
EmuSequence* FindSequence(int32_t instance, int32_t sequence) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  auto it = Lib().instances.find(instance);
  if (it == Lib().instances.end()) return nullptr;
  auto seq = it->second.sequences.find(sequence);
  return seq == it->second.sequences.end() ? nullptr : seq->second.get();
}

EmuSequence* FindPhrase(int32_t channel) {
  if (channel < 0 || channel >= kPhraseChannels) return nullptr;
  std::lock_guard<std::mutex> lock(Lib().mutex);
  return Lib().phrases[channel].sequence.get();
}

int32_t Result(bool ok) { return ok ? 0 : kRefused; }

// The state table of sequences and phrases: every operation that only moves the state is one
// row, checked and applied in one place (EmuSequence::Step).
enum class Op { Open, Standby, Start, Pause, Restart, Stop, Close, Unload, PhraseSet, PhrasePlay };

struct OpRow {
  const char* name;
  EmuTransition move;
};

constexpr OpRow kOps[] = {
    {"KzSound_Open", {1, -1, 2}},    {"KzSound_Standby", {2, -1, 3}}, {"KzSound_Start", {3, -1, 4}},
    {"KzSound_Pause", {4, -1, 5}},   {"KzSound_Restart", {5, -1, 4}}, {"KzSound_Stop", {4, 5, 3}},
    {"KzSound_Close", {2, 3, 1}},    {"KzSound_Unload", {1, -1, 0}},
    // A phrase is loaded and opened at once; it plays from open or standby.
    {"Phrase_SetData", {1, -1, 2}},  {"Phrase_Play", {2, 3, 4}},
};

const OpRow& Row(Op op) { return kOps[static_cast<int>(op)]; }

/// Records the call and makes the operation's move on the sequence; 0, or -1 when there is no
/// such sequence or its state does not allow the move.
template <typename... Extra>
int32_t SequenceStep(Op op, int32_t instance, int32_t sequence, Extra... extra) {
  Record(Call(Row(op).name, instance, sequence, extra...));
  EmuSequence* s = FindSequence(instance, sequence);
  return Result(s && s->Step(Row(op).move));
}

/// The same on a phrase channel, recorded under the phrase entry's own name.
template <typename... Extra>
int32_t PhraseStep(Op op, const char* name, int32_t channel, Extra... extra) {
  Record(Call(name, channel, extra...));
  EmuSequence* s = FindPhrase(channel);
  return Result(s && s->Step(Row(op).move));
}

void NotifyPhraseEnd(int32_t channel) {
  KzPhraseEvHandler handler = nullptr;
  {
    std::lock_guard<std::mutex> lock(Lib().mutex);
    handler = Lib().phraseHandler;
  }
  KzPhraseEvent event{channel, -1};
  if (handler) handler(&event);
}

}  // namespace

// --- Library start and end -------------------------------------------------------------------

KZEMU_EXPORT int32_t KzSound_Initialize(void) {
  Record("KzSound_Initialize()");
#ifdef KZEMU_FAILING_INITIALIZE
  return -1;
#else
  return 0;
#endif
}

KZEMU_EXPORT int32_t KzSound_Terminate(void) {
  Record("KzSound_Terminate()");
  Lib().CancelAll();
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().output.clear();
  return 0;
}

KZEMU_EXPORT int32_t KzSound_EmuInitialize(int32_t rate, int32_t value, int32_t emulationMode) {
  Record(Call("KzSound_EmuInitialize", rate, value, emulationMode));
  return 0;
}

KZEMU_EXPORT int32_t KzSound_EmuTerminate(void) {
  Record("KzSound_EmuTerminate()");
  Lib().CancelAll();
  return 0;
}

KZEMU_EXPORT int32_t KzSound_GetEmuInfo(int32_t which) {
  Record(Call("KzSound_GetEmuInfo", which));
  return 0;
}

KZEMU_EXPORT int32_t KzSound_Generate(int16_t* buffer, int32_t frames, int32_t flags) {
  Record(Call("KzSound_Generate", frames, flags));
  if (!buffer || frames < 0) return kRefused;
  std::memset(buffer, 0, static_cast<size_t>(frames) * sizeof(int16_t));
  return frames;
}

KZEMU_EXPORT int32_t KzSound_DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  Record(Call("KzSound_DeviceControl", code, a, b, c));
  return 0;
}

/// The answer to board query q: identify (0) 3, ready status (2) 0, version (3) 12, else 0.
uint8_t QueryAnswer(uint8_t q) {
  switch (q) {
    case 0: return 3;
    case 3: return 12;
    default: return 0;
  }
}

KZEMU_EXPORT int32_t SetMidiMsg(const uint8_t* data, int32_t length) {
  Record("SetMidiMsg(" + Bytes(data, length) + ")");
  if (!data || length <= 0) return kRefused;
  // A board query (F0 43 79 05 7E 07 q F7) is answered as a board would, after an unrelated
  // message that a reader must pass over.
  static const uint8_t kQuery[] = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07};
  if (length == 8 && std::memcmp(data, kQuery, sizeof kQuery) == 0 && data[7] == 0xF7) {
    std::lock_guard<std::mutex> lock(Lib().mutex);
    Lib().output.push_back({0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 0x64, 0xF7});
    Lib().output.push_back({0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08, QueryAnswer(data[6]), 0xF7});
  }
  return 0;
}

KZEMU_EXPORT int32_t GetMidiMsg(int32_t port, uint8_t* buffer, int32_t size) {
  Record(Call("GetMidiMsg", port, size));
  std::lock_guard<std::mutex> lock(Lib().mutex);
  if (Lib().output.empty() || !buffer) return -1;
  std::vector<uint8_t> message = std::move(Lib().output.front());
  Lib().output.pop_front();
  int32_t n = std::min<int32_t>(size, static_cast<int32_t>(message.size()));
  std::memcpy(buffer, message.data(), static_cast<size_t>(n));
  return n;
}

// --- Instances and sequences -----------------------------------------------------------------

KZEMU_EXPORT int32_t KzSound_Create(int32_t mode) {
  Record(Call("KzSound_Create", mode));
  std::lock_guard<std::mutex> lock(Lib().mutex);
  int32_t id = Lib().nextInstance++;
  Lib().instances[id];
  return id;
}

KZEMU_EXPORT int32_t KzSound_Delete(int32_t instance) {
  Record(Call("KzSound_Delete", instance));
  std::map<int32_t, std::unique_ptr<EmuSequence>> doomed;
  {
    std::lock_guard<std::mutex> lock(Lib().mutex);
    auto it = Lib().instances.find(instance);
    if (it == Lib().instances.end()) return kRefused;
    doomed = std::move(it->second.sequences);
    Lib().instances.erase(it);
  }
  return 0;  // the sequences' timers are joined as `doomed` goes
}

KZEMU_EXPORT int32_t KzSound_Load(int32_t instance, const uint8_t* image, int32_t size, int32_t mode,
                                  KzSoundEndCallback callback, int32_t option) {
  Record(Call("KzSound_Load", instance, size, mode, option));
  KeepLoadedImage(image, size);
  std::optional<uint32_t> playMs = MeasurePlayTimeMs(image, size);
  if (!playMs) return kUnreadable;
  auto notice = [callback] {
    if (callback) callback(kEndOfPlay);
  };
  std::lock_guard<std::mutex> lock(Lib().mutex);
  auto it = Lib().instances.find(instance);
  if (it == Lib().instances.end()) return kRefused;
  int32_t id = it->second.nextSequence++;
  it->second.sequences[id] = std::make_unique<EmuSequence>(*playMs, notice);
  return id;
}

KZEMU_EXPORT int32_t KzSound_Unload(int32_t instance, int32_t sequence, int32_t a) {
  Record(Call("KzSound_Unload", instance, sequence, a));
  std::unique_ptr<EmuSequence> doomed;
  {
    std::lock_guard<std::mutex> lock(Lib().mutex);
    auto it = Lib().instances.find(instance);
    if (it == Lib().instances.end()) return kRefused;
    auto seq = it->second.sequences.find(sequence);
    if (seq == it->second.sequences.end() || !seq->second->Step(Row(Op::Unload).move)) return kRefused;
    doomed = std::move(seq->second);
    it->second.sequences.erase(seq);
  }
  return 0;
}

KZEMU_EXPORT int32_t KzSound_Open(int32_t instance, int32_t sequence, int32_t a, int32_t b) {
  return SequenceStep(Op::Open, instance, sequence, a, b);
}

KZEMU_EXPORT int32_t KzSound_Standby(int32_t instance, int32_t sequence, int32_t a) {
  return SequenceStep(Op::Standby, instance, sequence, a);
}

KZEMU_EXPORT int32_t KzSound_Start(int32_t instance, int32_t sequence, int32_t repeat, int32_t a) {
  return SequenceStep(Op::Start, instance, sequence, repeat, a);
}

KZEMU_EXPORT int32_t KzSound_Pause(int32_t instance, int32_t sequence, int32_t a) {
  return SequenceStep(Op::Pause, instance, sequence, a);
}

KZEMU_EXPORT int32_t KzSound_Restart(int32_t instance, int32_t sequence, int32_t a) {
  return SequenceStep(Op::Restart, instance, sequence, a);
}

KZEMU_EXPORT int32_t KzSound_Stop(int32_t instance, int32_t sequence, int32_t a) {
  return SequenceStep(Op::Stop, instance, sequence, a);
}

KZEMU_EXPORT int32_t KzSound_Close(int32_t instance, int32_t sequence, int32_t a) {
  return SequenceStep(Op::Close, instance, sequence, a);
}

KZEMU_EXPORT int32_t KzSound_Seek(int32_t instance, int32_t sequence, int32_t position, int32_t a, int32_t b) {
  Record(Call("KzSound_Seek", instance, sequence, position, a, b));
  EmuSequence* s = FindSequence(instance, sequence);
  return Result(s && position >= 0 && s->State() == 3 && s->Seek(static_cast<uint32_t>(position), 3));
}

/// Code 6 the state (0 for no sequence), 5 the play time, 4 the position; other codes are kept.
KZEMU_EXPORT int32_t KzSound_Control(int32_t instance, int32_t sequence, int32_t code, int32_t value, int32_t extra) {
  Record(Call("KzSound_Control", instance, sequence, code, value, extra));
  EmuSequence* s = FindSequence(instance, sequence);
  if (code == 6) return s ? s->State() : 0;
  if (!s) return kRefused;
  if (code == 5) return static_cast<int32_t>(s->PlayMs());
  if (code == 4) return static_cast<int32_t>(s->PositionMs());
  return 0;
}

// --- Phrases: the same states per channel ----------------------------------------------------

KZEMU_EXPORT int32_t Phrase_Initialize(void) {
  Record("Phrase_Initialize()");
  return 0;
}

KZEMU_EXPORT int32_t Phrase_Terminate(void) {
  Record("Phrase_Terminate()");
  std::unique_ptr<EmuSequence> doomed[kPhraseChannels];
  std::lock_guard<std::mutex> lock(Lib().mutex);
  for (int32_t i = 0; i < kPhraseChannels; ++i) doomed[i] = std::move(Lib().phrases[i].sequence);
  Lib().phraseHandler = nullptr;
  return 0;
}

KZEMU_EXPORT int32_t Phrase_Kill(void) {
  Record("Phrase_Kill()");
  std::unique_ptr<EmuSequence> doomed[kPhraseChannels];
  std::lock_guard<std::mutex> lock(Lib().mutex);
  for (int32_t i = 0; i < kPhraseChannels; ++i) doomed[i] = std::move(Lib().phrases[i].sequence);
  return 0;
}

KZEMU_EXPORT int32_t Phrase_GetInfo(int32_t which) {
  Record(Call("Phrase_GetInfo", which));
  return 0;
}

KZEMU_EXPORT int32_t Phrase_CheckData(const uint8_t* data, int32_t size) {
  Record(Call("Phrase_CheckData", size));
  return MeasurePlayTimeMs(data, size) ? 0 : kUnreadable;
}

/// Loads and opens the phrase at once: its state becomes 2.
KZEMU_EXPORT int32_t Phrase_SetData(int32_t channel, const uint8_t* data, int32_t size, int32_t check) {
  Record(Call("Phrase_SetData", channel, size, check));
  if (channel < 0 || channel >= kPhraseChannels) return kRefused;
  std::optional<uint32_t> playMs = MeasurePlayTimeMs(data, size);
  if (!playMs) return kUnreadable;
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Phrase& phrase = Lib().phrases[channel];
  if (phrase.sequence) return kRefused;
  phrase.sequence = std::make_unique<EmuSequence>(*playMs, [channel] { NotifyPhraseEnd(channel); });
  phrase.sequence->Step(Row(Op::PhraseSet).move);
  return 0;
}

KZEMU_EXPORT int32_t Phrase_RemoveData(int32_t channel) {
  Record(Call("Phrase_RemoveData", channel));
  if (channel < 0 || channel >= kPhraseChannels) return kRefused;
  std::unique_ptr<EmuSequence> doomed;
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Phrase& phrase = Lib().phrases[channel];
  if (!phrase.sequence) return kRefused;
  int32_t state = phrase.sequence->State();
  if (state != 2 && state != 3) return kRefused;
  doomed = std::move(phrase.sequence);
  return 0;
}

/// Plays the phrase; after its play time the event handler hears -1 for the channel, never
/// once Phrase_Stop, Phrase_Kill or Phrase_Terminate has returned.
KZEMU_EXPORT int32_t Phrase_Play(int32_t channel, int32_t loop) {
  return PhraseStep(Op::PhrasePlay, "Phrase_Play", channel, loop);
}

KZEMU_EXPORT int32_t Phrase_Pause(int32_t channel) { return PhraseStep(Op::Pause, "Phrase_Pause", channel); }

KZEMU_EXPORT int32_t Phrase_Restart(int32_t channel) { return PhraseStep(Op::Restart, "Phrase_Restart", channel); }

KZEMU_EXPORT int32_t Phrase_Stop(int32_t channel) { return PhraseStep(Op::Stop, "Phrase_Stop", channel); }

KZEMU_EXPORT int32_t Phrase_Seek(int32_t channel, int32_t position) {
  Record(Call("Phrase_Seek", channel, position));
  EmuSequence* s = FindPhrase(channel);
  return Result(s && position >= 0 && s->Seek(static_cast<uint32_t>(position), 2));
}

KZEMU_EXPORT int32_t Phrase_GetStatus(int32_t channel) {
  Record(Call("Phrase_GetStatus", channel));
  if (channel < 0 || channel >= kPhraseChannels) return kRefused;
  EmuSequence* s = FindPhrase(channel);
  return s ? s->State() : 0;
}

KZEMU_EXPORT int32_t Phrase_GetPosition(int32_t channel) {
  Record(Call("Phrase_GetPosition", channel));
  EmuSequence* s = FindPhrase(channel);
  return s ? static_cast<int32_t>(s->PositionMs()) : kRefused;
}

KZEMU_EXPORT int32_t Phrase_GetLength(int32_t channel) {
  Record(Call("Phrase_GetLength", channel));
  EmuSequence* s = FindPhrase(channel);
  return s ? static_cast<int32_t>(s->PlayMs()) : kRefused;
}

namespace {

int32_t GetPhraseValue(int32_t channel, int32_t Phrase::*field) {
  if (channel < 0 || channel >= kPhraseChannels) return kRefused;
  std::lock_guard<std::mutex> lock(Lib().mutex);
  return Lib().phrases[channel].*field;
}

int32_t SetPhraseValue(int32_t channel, int32_t Phrase::*field, int32_t value) {
  if (channel < 0 || channel >= kPhraseChannels || value < 0 || value > 127) return kRefused;
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().phrases[channel].*field = value;
  return 0;
}

}  // namespace

KZEMU_EXPORT int32_t Phrase_GetVolume(int32_t channel) {
  Record(Call("Phrase_GetVolume", channel));
  return GetPhraseValue(channel, &Phrase::volume);
}

#ifndef KZEMU_WITHOUT_PHRASE_SETVOLUME
KZEMU_EXPORT int32_t Phrase_SetVolume(int32_t channel, int32_t value) {
  Record(Call("Phrase_SetVolume", channel, value));
  return SetPhraseValue(channel, &Phrase::volume, value);
}
#endif

KZEMU_EXPORT int32_t Phrase_GetPanpot(int32_t channel) {
  Record(Call("Phrase_GetPanpot", channel));
  return GetPhraseValue(channel, &Phrase::panpot);
}

KZEMU_EXPORT int32_t Phrase_SetPanpot(int32_t channel, int32_t value) {
  Record(Call("Phrase_SetPanpot", channel, value));
  return SetPhraseValue(channel, &Phrase::panpot, value);
}

KZEMU_EXPORT int32_t Phrase_GetLink(int32_t channel) {
  Record(Call("Phrase_GetLink", channel));
  return GetPhraseValue(channel, &Phrase::link);
}

KZEMU_EXPORT int32_t Phrase_SetLink(int32_t channel, int32_t value) {
  Record(Call("Phrase_SetLink", channel, value));
  return SetPhraseValue(channel, &Phrase::link, value);
}

KZEMU_EXPORT int32_t Phrase_SetEvHandler(KzPhraseEvHandler handler) {
  Record("Phrase_SetEvHandler()");
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().phraseHandler = handler;
  return 0;
}

#ifdef KZEMU_RECORD
/// Copies the recorded calls, one a line, into the buffer (cut to fit, always terminated) and
/// returns the full length.
KZEMU_EXPORT int32_t KzEmuTest_ReadRecord(char* buffer, int32_t size) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  std::string all;
  for (const std::string& line : Lib().record) all += line + "\n";
  if (buffer && size > 0) {
    size_t n = std::min(all.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, all.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int32_t>(all.size());
}

/// Copies the last loaded image into the buffer (as much as fits) and returns its full size.
KZEMU_EXPORT int32_t KzEmuTest_ReadLastImage(uint8_t* buffer, int32_t size) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  const std::vector<uint8_t>& image = LastImage();
  if (buffer && size > 0) std::memcpy(buffer, image.data(), std::min(image.size(), static_cast<size_t>(size)));
  return static_cast<int32_t>(image.size());
}

KZEMU_EXPORT void KzEmuTest_ClearRecord(void) {
  std::lock_guard<std::mutex> lock(Lib().mutex);
  Lib().record.clear();
}
#endif
