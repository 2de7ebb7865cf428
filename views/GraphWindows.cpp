#include "views/GraphWindows.h"

#include "uikit/ToolWindow.h"
#include "views/AccessLogWnd.h"
#include "views/EventDensWnd.h"
#include "views/STMSizeWnd.h"

void RegisterGraphWindows(ISongViewHost& host, const AccessLog& log) {
  auto& registry = ui::ToolWindowRegistry::Instance();
  registry.Register(CKZ3EventDensFrm::kClassName, [&host](const ui::ToolWindowContext& c) -> ui::IToolWindow* {
    return new CKZ3EventDensFrm(host, c.frameSlots);
  });
  registry.Register(CKZ3STMSizeFrm::kClassName, [&host](const ui::ToolWindowContext& c) -> ui::IToolWindow* {
    return new CKZ3STMSizeFrm(host, c.frameSlots);
  });
  registry.Register(CKZxAccessLogFrm::kClassName, [&log](const ui::ToolWindowContext& c) -> ui::IToolWindow* {
    return new CKZxAccessLogFrm(log, c.frameSlots);
  });
}
