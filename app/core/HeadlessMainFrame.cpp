// The main frame before the window exists: it shows nothing and owns the output engine.
#include "app/core/HeadlessMainFrame.h"

HeadlessMainFrame::HeadlessMainFrame() : m_engine([this] { return GetTBOption(); }) {}
