// The main frame before the window exists: it shows nothing and owns the set-up engine.
#include "app/core/HeadlessMainFrame.h"

HeadlessMainFrame::HeadlessMainFrame() : m_engine([this] { return GetTBOption(); }) {}
