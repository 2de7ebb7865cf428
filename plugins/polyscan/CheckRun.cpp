// One voice-allocation check of a song-data SMF: header, pre-scan, RAM, walk, report.
#include "plugins/polyscan/CheckRun.h"

#include <algorithm>
#include <cstring>

#include "plugins/polyscan/CheckFailure.h"
#include "plugins/polyscan/CheckReport.h"
#include "plugins/polyscan/DeviceScanner.h"
#include "plugins/polyscan/RamPlacer.h"
#include "plugins/polyscan/ResultLog.h"
#include "plugins/polyscan/TrackReader.h"
#include "plugins/polyscan/VoiceModel.h"

namespace polyscan {

namespace {

constexpr size_t kHeaderSize = 22;  // "MThd", 6, format, tracks, division, "MTrk", length
constexpr uint32_t kDefaultDivision = 500;
constexpr uint32_t kMaxTick = 0x7FFFFFFF;  // a larger tick would read as a failure code
constexpr uint64_t kMaxMicros = uint64_t{1} << 62;

constexpr uint32_t kRamLimitNoStream = 0x6000;
constexpr uint32_t kRamLimitOneStream = 0x5C00;
constexpr uint32_t kRamLimitTwoStreams = 0x5800;

constexpr uint8_t kMetaTempo = 0x51;
constexpr uint8_t kMetaEndOfTrack = 0x2F;

uint32_t BE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t BE16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }

[[noreturn]] void BadFormat() { throw CheckFailure{CNVERR_FORMAT}; }

}  // namespace

uint32_t CheckRun::Run() {
  // Bit 0x8 asks for the peak going in and says "over" coming out: read it before clearing.
  const uint32_t options = m_param.flags;
  const bool peak = (options & CNVF_CHECK_PEAK) != 0;
  m_param.flags &= 0x0000FFFFu & ~CNVF_CHECK_OVER;
  if (!m_param.src || m_param.srcSize == 0) return CNVERR_FAILED;
  try {
    CheckSmfHeader();
    DeviceScanner(m_tables).ScanDeviceSysEx(m_track, m_trackSize);
    // A song that resets the device plays on the default banks with 16 FM voices.
    const bool defaultBanks = !(options & CNVF_CHECK_FM32) || m_tables.deviceReset;
    SettleStreamMode();
    int streamKeys = RamPlacer(m_tables, m_ramLimit).PlaceAll(m_streamMode);
    VoiceModel model(m_tables, defaultBanks, m_streamMode, streamKeys);
    ResultLog log((options & CNVF_CHECK_LOG) != 0);
    CheckReport report(m_param.flags, peak, model.FmSlots(), model.PcmSlots(), log);
    uint32_t result;
    try {
      result = WalkEvents(model, report);
    } catch (const CheckFailure&) {
      log.Save();  // what was reported before the failure stays readable
      throw;
    }
    log.Save();
    return result;
  } catch (const CheckFailure& failure) {
    return failure.code;
  }
}

void CheckRun::CheckSmfHeader() {
  const uint8_t* s = m_param.src;
  if (m_param.srcSize < kHeaderSize) BadFormat();
  if (std::memcmp(s, "MThd", 4) != 0 || BE32(s + 4) != 6 || BE16(s + 8) != 0 ||
      BE16(s + 10) != 1 || std::memcmp(s + 14, "MTrk", 4) != 0) {
    BadFormat();
  }
  uint32_t length = BE32(s + 18);
  if (length == 0 || length > m_param.srcSize - kHeaderSize) BadFormat();
  uint32_t division = BE16(s + 12);
  // Time-code divisions are not ticks per quarter; they keep the default.
  m_division = (division != 0 && !(division & 0x8000)) ? division : kDefaultDivision;
  m_microsPerTick = 500000 / m_division;
  m_track = s + kHeaderSize;
  m_trackSize = length;
}

void CheckRun::SettleStreamMode() {
  if (!m_tables.streamMode) {
    m_streamMode = m_tables.CountStreamKeys() > 0 ? 2 : 0;
  } else {
    m_streamMode = std::min<int>(*m_tables.streamMode, 2);
  }
  static constexpr uint32_t kLimits[] = {kRamLimitNoStream, kRamLimitOneStream,
                                         kRamLimitTwoStreams};
  m_ramLimit = kLimits[m_streamMode];
}

uint32_t CheckRun::WalkEvents(VoiceModel& model, CheckReport& report) {
  TrackReader reader(m_track, m_trackSize);
  const size_t regionStart = m_tables.regionStart.value_or(0);
  const size_t regionEnd = m_tables.regionEnd.value_or(m_trackSize);
  while (!reader.AtEnd() && reader.Offset() < regionEnd) {
    const bool inRegion = reader.Offset() >= regionStart;
    TrackEvent ev = reader.Next();
    m_tick = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{m_tick} + ev.delta, kMaxTick));
    if (inRegion && ev.delta != 0) {
      uint64_t step = uint64_t{ev.delta} * m_microsPerTick;
      m_elapsedMicros = std::min(m_elapsedMicros + step, kMaxMicros);
      model.AdvanceTo(m_elapsedMicros);
    }
    if (ev.IsChannelMessage()) {
      if (!OnChannelMessage(ev, inRegion, model, report)) return CNVERR_FAILED;
    } else if (ev.status == 0xFF && ev.metaType == kMetaTempo) {
      OnTempo(ev.body, ev.length);
    } else if (ev.status == 0xFF && ev.metaType == kMetaEndOfTrack) {
      break;
    }
    // SysEx and system common messages change no voice and no count.
  }
  model.Finish();
  report.Finish(model.FmCount(), model.PcmCount(), m_elapsedMicros);
  return report.Result();
}

bool CheckRun::OnChannelMessage(const TrackEvent& ev, bool inRegion, VoiceModel& model,
                                CheckReport& report) {
  const int channel = ev.Channel();
  switch (ev.Command()) {
    case 0x80:
      if (inRegion) model.NoteOff(channel, ev.data1);
      break;
    case 0x90:
      if (!inRegion) break;
      model.NoteOn(channel, ev.data1, ev.data2);
      if (ev.data2 > 0) {
        return report.AfterNoteOn(model.FmCount(), model.PcmCount(), m_tick, m_elapsedMicros);
      }
      break;
    case 0xB0:
      // Before the region the notes are not played, so there is nothing to silence.
      if (!inRegion && (ev.data1 == 120 || ev.data1 == 123)) break;
      model.ControlChange(channel, ev.data1, ev.data2);
      break;
    case 0xC0:
      model.ProgramChange(channel, ev.data1);
      break;
    default:
      break;  // pressure and pitch bend touch no voice
  }
  return true;
}

void CheckRun::OnTempo(const uint8_t* data, uint32_t length) {
  if (length < 3) throw CheckFailure{CNVERR_FAILED};
  // The song-data dialect stores microseconds per tick here, not per quarter note.
  m_microsPerTick = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
}

uint32_t RunCheck(CnvParam& param) {
  try {
    return CheckRun(param).Run();
  } catch (...) {
    return CNVERR_FAILED;
  }
}

}  // namespace polyscan
