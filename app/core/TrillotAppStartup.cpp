// The application object's start-up and exit.
#include "app/core/HeadlessMainFrame.h"
#include "app/core/TrillotApp.h"

void CTrillotApp::CreateMainFrame() {
  m_mainFrame = m_mainFrameFactory ? m_mainFrameFactory() : std::make_unique<HeadlessMainFrame>();
}

void CTrillotApp::DestroyMainFrame() {
  if (!m_mainFrame) return;
  m_mainFrame->DestroyWindow();
  m_mainFrame.reset();
}
