// The tick rules of the section tree, kept apart from the controls that show them. Portable (no
// windows.h).
#pragma once

#include <vector>

namespace vsc {

// A tree node's check state, which is also its state-image index.
enum TreeCheckState { tcsNone = 0, tcsUnticked = 1, tcsTicked = 2, tcsPartly = 3 };

// The state a click gives a node: ticked when it was not ticked, otherwise not ticked (a partly
// ticked node becomes not ticked).
int ToggledState(int state);

// The state of a parent from its children's states: not ticked when every child is not ticked (or
// it has none), ticked when none is, partly ticked otherwise.
int ChildrenSummary(const std::vector<int>& childStates);

}  // namespace vsc
