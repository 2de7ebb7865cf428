// A context menu of the voice lists as data: the panes show it, tests read it.
#pragma once

#include <string>
#include <vector>

struct VListMenuItem {
  std::string label;
  int id = 0;  // 0: a separator
  bool enabled = true;
};

using VListMenu = std::vector<VListMenuItem>;

namespace vlist {

/// The position a scroll code leads to within 0..last: a line is one step, a page `page` steps.
int StepPosition(int code, int pos, int thumb, int page, int last);

}  // namespace vlist
