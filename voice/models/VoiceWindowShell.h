// What the voice windows reach of the main frame beyond the host services: the voice
// clipboard, the idle report and the report bar.
#pragma once

#include <cstdint>
#include <memory>

class CVoice2;
class CVoiceItem;

class IVoiceWindowShell {
 public:
  static constexpr int kClipEntrySize = 33;
  virtual ~IVoiceWindowShell() = default;

  /// 1 while the output engine plays nothing.
  virtual int IsDeviceIdle() const = 0;
  virtual void UpdateVoiceWindows() = 0;
  virtual void UpdateReportBar() = 0;
  virtual void UpdateStatusPanes() = 0;
  /// A command of the main frame (send assigned voices, import or export a voice list).
  virtual void SendCommand(int /*commandId*/) {}

  // The generation-1 record (33 bytes), the generation-2 voice and the generation-3 item with
  // its kind (0 empty, 1 from a voice list, 2 from the assignment map).
  virtual uint8_t* GetClipEntry() = 0;
  virtual bool HasClipEntry() const = 0;
  virtual void SetClipEntryValid(bool valid) = 0;
  virtual CVoice2* GetClipboard() const = 0;
  virtual void SetClipboard(std::unique_ptr<CVoice2> voice) = 0;
  virtual CVoiceItem* GetClipVoiceItem() const = 0;
  virtual int GetClipVoiceKind() const = 0;
  /// Takes the item; the one replaced is deleted.
  virtual void SetClipVoiceItem(CVoiceItem* item, int kind) = 0;
};
