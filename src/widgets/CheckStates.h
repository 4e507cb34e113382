// Check boxes inside tree views and list views, kept as state images.
//
// The tree's state-image index is the node's check state itself: 1 not ticked, 2 ticked, 3 partly
// ticked; a tree draws picture n of its state image list for index n. A list view row's check
// state is 0 (unchecked) or 1 (checked); it is stored as state image index + 1 (index 0 means "no
// image"), and a list view draws picture n - 1 for index n, so it needs a list of its own.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "widgets/portable/TickStates.h"

namespace vsc {

// Owns an image list; destroyed on destruction. Move-only.
using UniqueImageList = UniqueOf<HIMAGELIST, NullHandleTraits<HIMAGELIST, &ImageList_Destroy>>;

// A new image list of count pictures of 16 by 16 design pixels, made at a DPI (so 24 by 24 at
// 144); draw(dc, x, index) paints picture index at (x, 0) in design pixels, on a background that
// becomes transparent. At any DPI but 96 the drawing is scaled by a world transform, so lines,
// shapes and text are drawn at the finer resolution, not enlarged afterwards. Null when the list
// cannot be created.
HIMAGELIST MakeImageList(int count, const std::function<void(HDC dc, int x, int index)>& draw, int dpi = 96);

// The tree's check pictures (0 none, 1 empty, 2 ticked, 3 grey tick), 16 by 16 design pixels. The
// caller owns the list and must keep it alive as long as a control shows it.
HIMAGELIST CreateCheckStateImages(int dpi = 96);
// The list views' check pictures (0 empty, 1 ticked), 16 by 16 design pixels; owned as above.
HIMAGELIST CreateListCheckImages(int dpi = 96);

int TreeNodeState(HWND tree, HTREEITEM node);
// Sets a node's state; a change is told to screen readers.
void SetTreeNodeState(HWND tree, HTREEITEM node, int state);
// Gives every descendant of node the state: each child in order gets it, then its own children
// (depth first). The node itself is not changed. Iterative: any depth is safe.
void SetSubtreeState(HWND tree, HTREEITEM node, int state);
// The state a parent gets from its direct children, by ChildrenSummary.
int SummaryStateOfChildren(HWND tree, HTREEITEM parent);
// Every node of the tree in display order (expanded or not): what TreeNodeAt counts, read in one
// walk.
std::vector<HTREEITEM> TreeNodesInOrder(HWND tree);
// Node at an absolute index counted from 0 in display order over the whole tree (expanded or not);
// null past the end.
HTREEITEM TreeNodeAt(HWND tree, int index);
// Number of nodes in the tree.
int TreeNodeCount(HWND tree);
std::string TreeNodeText(HWND tree, HTREEITEM node);

// Lets screen readers see a tree's ticks or a list's check boxes (see the .cpp: how it works), while
// the program keeps ticking them by its own rules with its own pictures. Call once, after the
// control has its state images.
void ShowTicksToScreenReaders(HWND treeOrList);
// Tells screen readers that a node's or a row's tick changed (EVENT_OBJECT_STATECHANGE). The
// setters below do it themselves; lists whose rows come from a model call NotifyRowTickChanged.
void NotifyNodeTickChanged(HWND tree, HTREEITEM node);
void NotifyRowTickChanged(HWND list, int row);

// A list row's check state: 0 unchecked, 1 checked (-1 for a row with no check box).
int ListCheckState(HWND list, int row);
// Sets a row's state; a change is told to screen readers.
void SetListCheckState(HWND list, int row, int state);
// The row whose check box lies at pos (client coordinates), or -1.
int ListCheckBoxAt(HWND list, POINT pos);

}  // namespace vsc
