// The section tree's ticks as a scan selection. Portable (no windows.h).
#pragma once

#include <string>
#include <vector>

#include "registry/portable/ScanChoice.h"

namespace vsc {

// From the tree's nodes in display order (absolute index 0 "My Computer", 1 to 14 the categories,
// 15 and on the drives): category k is chosen when node k is ticked; node 14 itself adds nothing;
// each ticked drive node adds the character two places after the first "(" of its caption.
// Missing nodes count as not ticked; a drive caption without that character adds nothing.
ScanSelection BuildSelection(const std::vector<int>& states, const std::vector<std::string>& captions);

}  // namespace vsc
