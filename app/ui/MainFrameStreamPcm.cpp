// The main window's Send Stream PCM Wave Message (the stream-PCM map's menu sends the same).
#include "app/core/StreamPcmWaveSend.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"

void CMainFrame::OnSendStreamPcmWaveMessage() {
  stream_pcm::RunSendStreamPcmWaveMessage(m_app.GetDocument(), m_engine.get());
}
