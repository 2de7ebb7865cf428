// Recording fakes of every host service.
#include "platform/host/testing/FakeHost.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace platform {

int FakeSettings::IsKZ5OutputProfile(int chip) const {
  if (chip == -1) chip = chipMode;
  if (chip != 5) return 0;
  switch (outputProfile) {
    case 2: case 3: case 5: case 7: case 8: return 1;
    default: return 0;
  }
}

std::string FakeProfile::Key(const std::string& section, const std::string& key) {
  std::string k = section + "\n" + key;
  std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
  return k;
}

int FakeProfile::GetProfileInt(const std::string& section, const std::string& key, int def) const {
  auto it = m_values.find(Key(section, key));
  if (it == m_values.end()) return def;
  try {
    return static_cast<int>(std::stoll(it->second));
  } catch (...) {
    return 0;
  }
}

std::string FakeProfile::GetProfileString(const std::string& section, const std::string& key,
                                          const std::string& def) const {
  auto it = m_values.find(Key(section, key));
  return it == m_values.end() ? def : it->second;
}

bool FakeProfile::WriteProfileInt(const std::string& section, const std::string& key, int value) {
  return WriteProfileString(section, key, std::to_string(value));
}

bool FakeProfile::WriteProfileString(const std::string& section, const std::string& key,
                                     const std::string& value) {
  if (failWrites) return false;
  writes.push_back(section + "/" + key + "=" + value);
  m_values[Key(section, key)] = value;
  return true;
}

bool FakeProfile::DeleteSection(const std::string& section) {
  if (failWrites) return false;
  std::string prefix = Key(section, "");
  for (auto it = m_values.begin(); it != m_values.end();) {
    it = it->first.compare(0, prefix.size(), prefix) == 0 ? m_values.erase(it) : std::next(it);
  }
  writes.push_back(section + "/*deleted*");
  return true;
}

int FakeMessages::ShowMessage(int id, const FormatArgs& args) {
  shown.push_back({id, args, {}, 0});
  if (answers.empty()) return 1;
  int a = answers.front();
  answers.pop_front();
  return a;
}

int FakeMessages::DoMessageBoxUnlessBatch(int defaultAnswer, const std::string& text, unsigned style,
                                          int) {
  if (settings && settings->batchMode) return defaultAnswer;
  shown.push_back({0, {}, text, style});
  if (answers.empty()) return defaultAnswer;
  int a = answers.front();
  answers.pop_front();
  return a;
}

void FakeMessages::AddAccessLog(int id, const std::string& detail, const FormatArgs& args) {
  log.push_back({id, detail, args});
}

std::vector<int> FakeMessages::ShownIds() const {
  std::vector<int> ids;
  for (const auto& m : shown) ids.push_back(m.id);
  return ids;
}

uint32_t FakeBinder::Convert(CnvParam& param, int kind, int direction) {
  bool threw = false;
  return ConvertTellingThrow(param, kind, direction, threw);
}

uint32_t FakeBinder::ConvertTellingThrow(CnvParam& param, int kind, int direction, bool& threw) {
  threw = false;
  calls.emplace_back(kind, direction);
  auto it = plugins.find(kind);
  if (it == plugins.end()) return 0;
  const Entry& e = direction == 0 ? it->second.from : it->second.to;
  if (!e || (direction != 0 && direction != 1)) return 0;
  try {
    return e(param);
  } catch (...) {
    threw = true;
    return 0;
  }
}

uint32_t FakeBinder::ConvertAndGetReport(CnvParam& param, int kind, int direction,
                                         uint32_t& report, uint32_t& reportStatus) {
  reportStatus = CNVERR_FAILED;
  const uint32_t result = Convert(param, kind, direction);
  if (!IsConvertSuccess(result)) return result;
  reportCalls.push_back(kind);
  auto it = plugins.find(kind);
  if (it == plugins.end() || !it->second.report) return result;
  try {
    reportStatus = it->second.report(report);
  } catch (...) {
    reportStatus = CNVERR_FAILED;
  }
  return result;
}

int FakeBinder::IsAvailable(int kind, int direction) {
  auto it = plugins.find(kind);
  if (it == plugins.end()) return 0;
  if (direction == 0) return it->second.from ? 1 : 0;
  if (direction == 1) return it->second.to ? 1 : 0;
  return 0;
}

uint32_t FakeBinder::GetVersion(int kind) {
  auto it = plugins.find(kind);
  return it == plugins.end() ? 0 : it->second.version;
}

int FakeBoardCommands::SendVoice(const CVoiceItem& item, int option) {
  calls.push_back({"SendVoice", {option}, &item, {}});
  return 1;
}

int FakeBoardCommands::SendBankVoices(const CVoiceItem& item) {
  calls.push_back({"SendBankVoices", {}, &item, {}});
  return 1;
}

int FakeBoardCommands::SendVoiceItem(const CStreamPCMSlot& slot) {
  calls.push_back({"SendVoiceItem", {}, &slot, {}});
  return 1;
}

int FakeBoardCommands::SendBoardCommand07(int value) {
  if (value > 2) {
    calls.push_back({"SendBoardCommand07", {value}, nullptr, {}});
    return 0;
  }
  return Command("SendBoardCommand07", 0x07, value);
}

int FakeBoardCommands::SendBoardData0C(int kind, const uint8_t* data, uint32_t size) {
  std::vector<uint8_t> block;
  if (data) block.assign(data, data + size);
  calls.push_back({"SendBoardData0C", {kind, static_cast<int>(size)}, nullptr, std::move(block)});
  return 1;
}

int FakeBoardCommands::Command(const char* name, uint8_t command, int value) {
  std::vector<uint8_t> message = {0xF0, 0x43, 0x79, 0x06, 0x7F, command,
                                  static_cast<uint8_t>(value & 0x7F), 0xF7};
  calls.push_back({name, {value}, nullptr, std::move(message)});
  return 1;
}

std::vector<std::string> FakeBoardCommands::CallNames() const {
  std::vector<std::string> names;
  for (const auto& c : calls) names.push_back(c.name);
  return names;
}

int FakeKZ1Export::ConvertToKZ1(CMemStream& stream, int option, const SongOutputRecord&) {
  options.push_back(option);
  if (write) write(stream);
  return result;
}

std::vector<std::string> FakeConverterReports::Names() const {
  std::vector<std::string> names;
  for (const auto& c : calls) names.push_back(c.name);
  return names;
}

std::vector<RecordedPost> FakeNotifySink::Posts() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_posts;
}

std::vector<RecordedPost> FakeNotifySink::PostsOf(uint32_t message) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<RecordedPost> out;
  for (const RecordedPost& post : m_posts)
    if (post.message == message) out.push_back(post);
  return out;
}

std::vector<RecordedPost> FakeNotifySink::TakeAll() {
  std::deque<RecordedPost> taken;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    taken.swap(m_waiting);
  }
  for (const RecordedPost& post : taken) Taken(post.message);
  return {taken.begin(), taken.end()};
}

bool FakeNotifySink::WaitForPosts(size_t count, int ms) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_posted.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_posts.size() >= count; });
}

void FakeNotifySink::Deliver(uint32_t message, intptr_t wParam, intptr_t lParam, bool) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_posts.push_back({message, wParam, lParam});
  m_waiting.push_back({message, wParam, lParam});
  m_posted.notify_all();
}

FakeHost::FakeHost()
    : m_scope(HostServices{&settings, &profile, &messages, &binder, &ui, &board, &kz1Export,
                           &registry, &reports, &notify}) {
  messages.settings = &settings;
}

FakeHost::~FakeHost() = default;

}  // namespace platform
