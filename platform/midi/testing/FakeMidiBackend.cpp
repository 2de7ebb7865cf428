// A MIDI backend for tests: named devices, a log of what was done to them, scripted answers
// and failures on demand.
#include "platform/midi/testing/FakeMidiBackend.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "platform/text/Format.h"

namespace platform {

struct FakeMidiBackend::State {
  mutable std::mutex mutex;
  std::vector<std::string> outputs;
  std::vector<std::string> inputs;
  std::set<int> failOut;
  std::set<int> failIn;
  bool failConnect = false;
  std::vector<Answer> answers;
  std::vector<std::string> log;
  std::map<int, std::vector<std::vector<uint8_t>>> sent;
  // Open inputs by index; shared with the ports so that a delivery never outlives its target.
  std::multimap<int, std::shared_ptr<MidiInputDispatch>> openInputs;
  int openOutputs = 0;
  std::vector<std::thread> threads;

  ~State() { JoinThreads(); }

  void Append(std::string line) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(std::move(line));
  }

  void DeliverTo(int input, const std::vector<uint8_t>& message) {
    std::vector<std::shared_ptr<MidiInputDispatch>> targets;
    {
      std::lock_guard<std::mutex> lock(mutex);
      auto [first, last] = openInputs.equal_range(input);
      for (auto it = first; it != last; ++it) targets.push_back(it->second);
    }
    for (const auto& target : targets) target->Deliver(message.data(), message.size());
  }

  void DeliverLater(int input, std::vector<uint8_t> message, int delayMs) {
    std::lock_guard<std::mutex> lock(mutex);
    threads.emplace_back([this, input, message = std::move(message), delayMs] {
      if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      DeliverTo(input, message);
    });
  }

  void JoinThreads() {
    for (;;) {
      std::vector<std::thread> running;
      {
        std::lock_guard<std::mutex> lock(mutex);
        running.swap(threads);
      }
      if (running.empty()) return;
      for (std::thread& t : running) t.join();
    }
  }
};

namespace {

class FakeOutput final : public IMidiOutput {
 public:
  FakeOutput(std::shared_ptr<FakeMidiBackend::State> state, int index, std::string name)
      : m_state(std::move(state)), m_index(index), m_name(std::move(name)) {}
  ~FakeOutput() override { Close(); }

  std::string Name() const override { return m_name; }
  int Index() const { return m_index; }

  bool Send(const uint8_t* data, size_t size) override {
    if (!data || size == 0) return false;
    std::vector<FakeMidiBackend::Answer> matched;
    {
      std::lock_guard<std::mutex> portLock(m_mutex);
      if (!m_open) return false;
      std::lock_guard<std::mutex> lock(m_state->mutex);
      m_state->log.push_back("send out " + std::to_string(m_index) + ": " + FakeMidiBackend::Hex(data, size));
      m_state->sent[m_index].emplace_back(data, data + size);
      for (const auto& answer : m_state->answers) {
        if (answer.prefix.size() <= size && std::equal(answer.prefix.begin(), answer.prefix.end(), data)) {
          matched.push_back(answer);
        }
      }
    }
    for (auto& answer : matched) {
      if (answer.fromThread) {
        m_state->DeliverLater(answer.input, std::move(answer.reply), answer.delayMs);
      } else {
        m_state->DeliverTo(answer.input, answer.reply);
      }
    }
    return true;
  }

  void Close() override {
    std::lock_guard<std::mutex> portLock(m_mutex);
    if (!m_open) return;
    m_open = false;
    std::lock_guard<std::mutex> lock(m_state->mutex);
    --m_state->openOutputs;
    m_state->log.push_back("close out " + std::to_string(m_index));
  }

  bool IsOpen() const override {
    std::lock_guard<std::mutex> portLock(m_mutex);
    return m_open;
  }

 private:
  std::shared_ptr<FakeMidiBackend::State> m_state;
  const int m_index;
  const std::string m_name;
  mutable std::mutex m_mutex;
  bool m_open = true;
};

class FakeInput final : public IMidiInput {
 public:
  FakeInput(std::shared_ptr<FakeMidiBackend::State> state, int index, std::string name,
            std::shared_ptr<MidiInputDispatch> dispatch)
      : m_state(std::move(state)), m_index(index), m_name(std::move(name)), m_dispatch(std::move(dispatch)) {}
  ~FakeInput() override { Close(); }

  std::string Name() const override { return m_name; }

  bool Connect(std::shared_ptr<IMidiOutput> output) override {
    std::string target = output ? OutputLabel(*output) : "none";
    bool fail;
    {
      std::lock_guard<std::mutex> lock(m_state->mutex);
      fail = m_state->failConnect;
    }
    std::string line = "connect in " + std::to_string(m_index) + " -> " + target;
    if (fail || !m_dispatch->Connect(std::move(output))) {
      m_state->Append(line + " failed");
      return false;
    }
    m_state->Append(line);
    return true;
  }

  bool Disconnect() override {
    bool had = m_dispatch->Disconnect();
    if (had) m_state->Append("disconnect in " + std::to_string(m_index));
    return had;
  }

  void Close() override {
    if (m_dispatch->IsShut()) return;
    m_dispatch->Shut();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    auto [first, last] = m_state->openInputs.equal_range(m_index);
    for (auto it = first; it != last; ++it) {
      if (it->second == m_dispatch) {
        m_state->openInputs.erase(it);
        break;
      }
    }
    m_state->log.push_back("close in " + std::to_string(m_index));
  }

  bool IsOpen() const override { return !m_dispatch->IsShut(); }

 private:
  static std::string OutputLabel(const IMidiOutput& output) {
    if (auto* fake = dynamic_cast<const FakeOutput*>(&output)) return "out " + std::to_string(fake->Index());
    return output.Name();
  }

  std::shared_ptr<FakeMidiBackend::State> m_state;
  const int m_index;
  const std::string m_name;
  std::shared_ptr<MidiInputDispatch> m_dispatch;
};

bool InRange(int index, const std::vector<std::string>& names) {
  return index >= 0 && static_cast<size_t>(index) < names.size();
}

}  // namespace

FakeMidiBackend::FakeMidiBackend(std::vector<std::string> outputs, std::vector<std::string> inputs)
    : m_state(std::make_shared<State>()) {
  SetDevices(std::move(outputs), std::move(inputs));
}

FakeMidiBackend::~FakeMidiBackend() { WaitForThreads(); }

std::vector<std::string> FakeMidiBackend::OutputNames() {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->outputs;
}

std::vector<std::string> FakeMidiBackend::InputNames() {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->inputs;
}

std::shared_ptr<IMidiOutput> FakeMidiBackend::OpenOutput(int index) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  std::string line = "open out " + std::to_string(index);
  if (!InRange(index, m_state->outputs) || m_state->failOut.count(index)) {
    m_state->log.push_back(line + " failed");
    return nullptr;
  }
  m_state->log.push_back(line);
  ++m_state->openOutputs;
  return std::make_shared<FakeOutput>(m_state, index, m_state->outputs[static_cast<size_t>(index)]);
}

std::unique_ptr<IMidiInput> FakeMidiBackend::OpenInput(int index, MidiCallback callback) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  std::string line = "open in " + std::to_string(index);
  if (!InRange(index, m_state->inputs) || m_state->failIn.count(index)) {
    m_state->log.push_back(line + " failed");
    return nullptr;
  }
  m_state->log.push_back(line);
  auto dispatch = std::make_shared<MidiInputDispatch>(std::move(callback));
  m_state->openInputs.emplace(index, dispatch);
  return std::make_unique<FakeInput>(m_state, index, m_state->inputs[static_cast<size_t>(index)], dispatch);
}

void FakeMidiBackend::SetDevices(std::vector<std::string> outputs, std::vector<std::string> inputs) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->outputs = std::move(outputs);
  m_state->inputs = std::move(inputs);
}

void FakeMidiBackend::FailOpenOutput(int index) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->failOut.insert(index);
}

void FakeMidiBackend::FailOpenInput(int index) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->failIn.insert(index);
}

void FakeMidiBackend::FailConnect(bool fail) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->failConnect = fail;
}

void FakeMidiBackend::AddAnswer(Answer answer) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->answers.push_back(std::move(answer));
}

void FakeMidiBackend::ClearAnswers() {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->answers.clear();
}

bool FakeMidiBackend::Feed(int input, const std::vector<uint8_t>& message) {
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    if (m_state->openInputs.count(input) == 0) return false;
  }
  m_state->DeliverTo(input, message);
  return true;
}

void FakeMidiBackend::FeedFromThread(int input, std::vector<uint8_t> message, int delayMs) {
  m_state->DeliverLater(input, std::move(message), delayMs);
}

void FakeMidiBackend::WaitForThreads() { m_state->JoinThreads(); }

std::vector<std::string> FakeMidiBackend::Log() const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->log;
}

void FakeMidiBackend::ClearLog() {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  m_state->log.clear();
}

std::vector<std::vector<uint8_t>> FakeMidiBackend::Sent(int index) const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  auto it = m_state->sent.find(index);
  return it == m_state->sent.end() ? std::vector<std::vector<uint8_t>>{} : it->second;
}

int FakeMidiBackend::OpenOutputCount() const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->openOutputs;
}

int FakeMidiBackend::OpenInputCount() const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return static_cast<int>(m_state->openInputs.size());
}

std::string FakeMidiBackend::Hex(const uint8_t* data, size_t size) { return HexBytes(data, size); }

}  // namespace platform
