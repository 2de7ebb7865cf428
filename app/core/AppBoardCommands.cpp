// The host's board service in the program: the main frame's output engine, while there is one.
#include "app/core/AppBoardCommands.h"

#include "app/core/TrillotApp.h"

IOutputEngine* AppBoardCommands::Engine() const {
  IMainFrame* frame = m_app.GetMainFrame();
  return frame ? frame->GetBoardDevice() : nullptr;
}

int AppBoardCommands::SendVoice(const CVoiceItem& item, int option) {
  IOutputEngine* e = Engine();
  return e ? e->SendVoice(item, option) : 0;
}

int AppBoardCommands::SendBankVoices(const CVoiceItem& item) {
  IOutputEngine* e = Engine();
  return e ? e->SendBankVoices(item) : 0;
}

int AppBoardCommands::SendVoiceItem(const CStreamPCMSlot& slot) {
  IOutputEngine* e = Engine();
  return e ? e->SendVoiceItem(slot) : 0;
}

int AppBoardCommands::SendBoardCommand06(int value) {
  IOutputEngine* e = Engine();
  return e ? e->SendBoardCommand06(value) : 0;
}

int AppBoardCommands::SendBoardCommand07(int value) {
  IOutputEngine* e = Engine();
  return e ? e->SendBoardCommand07(value) : 0;
}

int AppBoardCommands::SendBoardData0C(int kind, const uint8_t* data, uint32_t size) {
  IOutputEngine* e = Engine();
  return e ? e->SendBoardData0C(kind, data, size) : 0;
}

int AppBoardCommands::SendBoardCommand0D(int value) {
  IOutputEngine* e = Engine();
  return e ? e->SendBoardCommand0D(value) : 0;
}

int AppBoardCommands::SendBoardCommand11(int value) {
  IOutputEngine* e = Engine();
  return e ? e->SendBoardCommand11(value) : 0;
}
