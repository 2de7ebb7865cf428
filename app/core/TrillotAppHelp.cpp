// The Help commands of the application object: the About box and the maker's web pages.
#include "app/core/AboutBoxRows.h"
#include "app/core/TrillotApp.h"

namespace {

constexpr const char* kJapanesePath = "/jp/";
constexpr const char* kGlobalPath = "/";
constexpr const char* kKoreanPath = "/kr/";
constexpr const char* kChinesePath = "/cn/";

}  // namespace

void CTrillotApp::OnAppAbout() {
  if (m_aboutBox) m_aboutBox();
  if (IMainFrame* frame = GetMainFrame()) frame->UpdateStatusPanes();
}

void CTrillotApp::OnWebJapanese() {
  if (m_urlOpener) m_urlOpener(MakerWebAddress(kJapanesePath));
}

void CTrillotApp::OnWebGlobal() {
  if (m_urlOpener) m_urlOpener(MakerWebAddress(kGlobalPath));
}

void CTrillotApp::OnWebKorean() {
  if (m_urlOpener) m_urlOpener(MakerWebAddress(kKoreanPath));
}

void CTrillotApp::OnWebChinese() {
  if (m_urlOpener) m_urlOpener(MakerWebAddress(kChinesePath));
}

bool CTrillotApp::OnUpdateByMode() const {
  IOutputEngine* engine = Engine();
  return !engine || !engine->IsPlaying();
}
