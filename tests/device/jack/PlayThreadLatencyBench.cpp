// How late the chip-mode-1 play thread delivers its notes into a JACK port (run under
// scripts/with-jack): four channels play a note every 10 ms for 5 s, 2000 notes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "JackPorts.h"
#include "device/MidiOutCtrl.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/MidiBackend.h"
#include "song/document/KZ1Doc.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSteps = 500;
constexpr int kChannels = 4;
constexpr int kStepMs = 10;
constexpr double kPeriodMs = 256.0 * 1000.0 / 48000.0;

/// Step i is carried by its key and velocity, so that a note lost on a busy machine does not
/// shift the due times of the rest.
uint8_t StepKey(int step) { return static_cast<uint8_t>(10 + step % 100); }
uint8_t StepVelocity(int step) { return static_cast<uint8_t>(1 + step / 100); }

struct Arrival {
  Clock::time_point at;
  int step;
};

/// Keeps the arrival time and step of every note-on.
class ArrivalSynth {
 public:
  explicit ArrivalSynth(const std::string& port)
      : m_client("bench synth", port, "", [this](const jacktest::Message& m) { Keep(m); }) {}
  std::vector<Arrival> Arrivals() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivals;
  }

 private:
  void Keep(const jacktest::Message& m) {
    if (m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[2] != 0) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_arrivals.push_back({Clock::now(), (m[2] - 1) * 100 + (m[1] - 10)});
    }
  }

  std::mutex m_mutex;
  std::vector<Arrival> m_arrivals;
  jacktest::TestClient m_client;  // last: its callback uses the members above
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

}  // namespace

int main() {
  platform::FakeHost host;
  host.settings.chipMode = 1;
  ArrivalSynth synth("bench-synth");
  const int index = jacktest::IndexOf(platform::midi().OutputNames(), "bench-synth");
  if (index < 0) {
    std::fprintf(stderr, "bench: the synth port is not listed\n");
    return 1;
  }
  host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", index);

  // Tempo 125 at 480 ticks a quarter note: one tick is one millisecond.
  CKZ1Doc doc;
  doc.SetTempo(125);
  for (int step = 0; step < kSteps; ++step) {
    for (int ch = 0; ch < kChannels; ++ch) {
      const uint8_t note[3] = {static_cast<uint8_t>(0x90 | ch), StepKey(step), StepVelocity(step)};
      const auto tick = static_cast<uint32_t>(step * kStepMs);
      doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(tick, tick + 5, 3, note, 0));
    }
  }
  host.registry.document = &doc;

  TMidiOutCtrl engine;
  if (engine.Play() != 1) {
    std::fprintf(stderr, "bench: Play failed\n");
    return 1;
  }
  while (engine.IsPlaying()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  engine.Stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  host.registry.document = nullptr;

  const std::vector<Arrival> arrivals = synth.Arrivals();
  if (arrivals.empty()) {
    std::fprintf(stderr, "bench: no note arrived\n");
    return 1;
  }
  std::vector<double> lateness;
  int early = 0;
  for (const Arrival& a : arrivals) {
    const auto due = arrivals.front().at + std::chrono::milliseconds((a.step - arrivals.front().step) * kStepMs);
    const double late = std::chrono::duration<double, std::milli>(a.at - due).count();
    lateness.push_back(late);
    if (late < -kPeriodMs) ++early;
  }
  std::printf("play thread into JACK, %zu of %d notes arrived: lateness p50 %.2f ms, p99 %.2f ms, max %.2f ms; %d "
              "more than one period (%.1f ms) early\n",
              arrivals.size(), kSteps * kChannels, Percentile(lateness, 0.5), Percentile(lateness, 0.99),
              *std::max_element(lateness.begin(), lateness.end()), early, kPeriodMs);
  return 0;
}
