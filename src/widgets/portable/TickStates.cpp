#include "widgets/portable/TickStates.h"

#include <algorithm>

namespace vsc {

int ToggledState(int state) { return state == tcsUnticked ? tcsTicked : tcsUnticked; }

int ChildrenSummary(const std::vector<int>& childStates) {
    const auto unticked = std::count(childStates.begin(), childStates.end(), static_cast<int>(tcsUnticked));
    if (unticked == static_cast<long>(childStates.size())) return tcsUnticked;
    if (unticked == 0) return tcsTicked;
    return tcsPartly;
}

}  // namespace vsc
