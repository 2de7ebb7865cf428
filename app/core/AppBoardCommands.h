// The host's board service in the program: the main frame's output engine, while there is one.
#pragma once

#include "platform/host/HostServices.h"

class CTrillotApp;
class IOutputEngine;

class AppBoardCommands final : public platform::IBoardCommands {
 public:
  explicit AppBoardCommands(const CTrillotApp& app) : m_app(app) {}

  bool HasBoardDevice() const override { return Engine() != nullptr; }
  /// Each command answers 0 without an engine.
  int SendVoice(const CVoiceItem& item, int option) override;
  int SendBankVoices(const CVoiceItem& item) override;
  int SendVoiceItem(const CStreamPCMSlot& slot) override;
  int SendBoardCommand06(int value) override;
  int SendBoardCommand07(int value) override;
  int SendBoardData0C(int kind, const uint8_t* data, uint32_t size) override;
  int SendBoardCommand0D(int value) override;
  int SendBoardCommand11(int value) override;

 private:
  IOutputEngine* Engine() const;

  const CTrillotApp& m_app;
};
