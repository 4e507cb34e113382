#include "widgets/CheckStates.h"

#include <string>
#include <vector>

#include "widgets/Dpi.h"
#include "widgets/Gdi.h"

namespace vsc {

namespace {

void DrawCheckPicture(HDC dc, int left, int state) {
    if (state == 0) return;
    RECT box{left + 2, 2, left + 15, 15};
    FillRect(dc, &box, SolidBrushFor(RGB(255, 255, 255)));
    FrameRect(dc, &box, SolidBrushFor(colors::kButtonBorder));
    if (state >= 2) {
        UniquePen pen(CreatePen(PS_SOLID, 2, state == 2 ? RGB(0, 0, 0) : RGB(150, 150, 150)));
        ScopedSelect select(dc, pen.get());
        POINT tick[3] = {{box.left + 3, box.top + 6}, {box.left + 5, box.top + 9}, {box.left + 10, box.top + 3}};
        Polyline(dc, tick, 3);
    }
}

// How screen readers learn the ticks. Nodes and rows keep their ticks as state images numbered as
// the controls' own check boxes number them (tree: 1 not ticked, 2 ticked, 3 partly ticked; list: 1
// unchecked, 2 checked). The system's accessibility proxies (MSAA, and UI Automation through it)
// read those as unchecked, checked and mixed once the control says it has check boxes: a tree by
// TVS_CHECKBOXES in its window style and TVS_EX_PARTIALCHECKBOXES in its extended style, a list by
// LVS_EX_CHECKBOXES in its extended list style. Given those styles for real, the controls would
// tick by themselves on a click or Space, cycle through their own states and put in their own
// pictures, while the program ticks by its own rules (a release over the selected node ticks it
// and its children; a press on a row's box toggles that row). So the controls themselves are
// never told: the tree gets TVS_CHECKBOXES in its window style but its WM_STYLECHANGED for that
// bit is held back, and both answer the questions for their extended styles with the check-box
// bits added. Screen readers then read every tick, and clicks, keys and pictures stay the program's.
const UINT_PTR kTicksSubclassId = 7;

bool IsTree(HWND control) {
    char name[32] = {};
    GetClassNameA(control, name, sizeof(name));
    return lstrcmpiA(name, WC_TREEVIEWA) == 0;
}

LRESULT CALLBACK TicksShownProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR tree) {
    switch (message) {
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        if (tree && wParam == static_cast<WPARAM>(GWL_STYLE)) {
            const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
            if (((change->styleOld ^ change->styleNew) & ~static_cast<DWORD>(TVS_CHECKBOXES)) == 0) return 0;
        }
        break;
    case TVM_GETEXTENDEDSTYLE:
        if (tree) return DefSubclassProc(control, message, wParam, lParam) | TVS_EX_PARTIALCHECKBOXES;
        break;
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        if (!tree) return DefSubclassProc(control, message, wParam, lParam) | LVS_EX_CHECKBOXES;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, TicksShownProc, kTicksSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void ShowTicksToScreenReaders(HWND treeOrList) {
    const bool tree = IsTree(treeOrList);
    SetWindowSubclass(treeOrList, TicksShownProc, kTicksSubclassId, tree ? 1 : 0);
    if (tree) SetWindowLongPtrA(treeOrList, GWL_STYLE, GetWindowLongPtrA(treeOrList, GWL_STYLE) | TVS_CHECKBOXES);
}

void NotifyNodeTickChanged(HWND tree, HTREEITEM node) {
    // The tree's accessible children are numbered by the tree itself.
    const LONG child = static_cast<LONG>(SendMessageA(tree, TVM_MAPHTREEITEMTOACCID, reinterpret_cast<WPARAM>(node), 0));
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, tree, OBJID_CLIENT, child > 0 ? child : CHILDID_SELF);
}

void NotifyRowTickChanged(HWND list, int row) {
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, list, OBJID_CLIENT, row + 1);  // rows are children 1, 2, ...
}

HIMAGELIST MakeImageList(int count, const std::function<void(HDC dc, int x, int index)>& draw, int dpi) {
    const COLORREF transparent = RGB(255, 0, 255);
    const int size = ScaleToDpi(16, dpi);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return nullptr;
    const WindowDC screen;
    MemoryDC memory(screen.get());
    UniqueBitmap strip(CreateCompatibleBitmap(screen.get(), size * count, size));
    {
        ScopedSelect select(memory.get(), strip.get());
        RECT all{0, 0, size * count, size};
        FillRect(memory.get(), &all, SolidBrushFor(transparent));
        if (size != 16) {
            SetGraphicsMode(memory.get(), GM_ADVANCED);
            const float scale = static_cast<float>(size) / 16.0f;
            const XFORM stretch{scale, 0.0f, 0.0f, scale, 0.0f, 0.0f};
            SetWorldTransform(memory.get(), &stretch);
        }
        for (int i = 0; i < count; ++i) draw(memory.get(), i * 16, i);
    }
    ImageList_AddMasked(list, strip.get(), transparent);
    return list;
}

HIMAGELIST CreateCheckStateImages(int dpi) {
    return MakeImageList(4, [](HDC dc, int x, int index) { DrawCheckPicture(dc, x, index); }, dpi);
}
HIMAGELIST CreateListCheckImages(int dpi) {
    return MakeImageList(2, [](HDC dc, int x, int index) { DrawCheckPicture(dc, x, index + 1); }, dpi);
}

int TreeNodeState(HWND tree, HTREEITEM node) {
    const UINT state = static_cast<UINT>(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node),
                                                      TVIS_STATEIMAGEMASK));
    return static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
}

void SetTreeNodeState(HWND tree, HTREEITEM node, int state) {
    const bool changed = TreeNodeState(tree, node) != state;
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = node;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(state);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (changed) NotifyNodeTickChanged(tree, node);
}

void SetSubtreeState(HWND tree, HTREEITEM node, int state) {
    // Pre-order walk below node, with an explicit stack instead of recursion.
    std::vector<HTREEITEM> pending;
    auto pushChildren = [&](HTREEITEM parent) {
        std::vector<HTREEITEM> children;
        for (HTREEITEM c = TreeView_GetChild(tree, parent); c; c = TreeView_GetNextSibling(tree, c)) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    };
    pushChildren(node);
    while (!pending.empty()) {
        HTREEITEM child = pending.back();
        pending.pop_back();
        SetTreeNodeState(tree, child, state);
        pushChildren(child);
    }
}

int SummaryStateOfChildren(HWND tree, HTREEITEM parent) {
    std::vector<int> states;
    for (HTREEITEM c = TreeView_GetChild(tree, parent); c; c = TreeView_GetNextSibling(tree, c))
        states.push_back(TreeNodeState(tree, c));
    return ChildrenSummary(states);
}

std::vector<HTREEITEM> TreeNodesInOrder(HWND tree) {
    std::vector<HTREEITEM> nodes, pending;
    for (HTREEITEM n = TreeView_GetRoot(tree); n; n = TreeView_GetNextSibling(tree, n)) pending.insert(pending.begin(), n);
    while (!pending.empty()) {
        HTREEITEM node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        std::vector<HTREEITEM> children;
        for (HTREEITEM c = TreeView_GetChild(tree, node); c; c = TreeView_GetNextSibling(tree, c)) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return nodes;
}

HTREEITEM TreeNodeAt(HWND tree, int index) {
    const std::vector<HTREEITEM> nodes = TreeNodesInOrder(tree);
    return index >= 0 && static_cast<std::size_t>(index) < nodes.size() ? nodes[static_cast<std::size_t>(index)] : nullptr;
}

int TreeNodeCount(HWND tree) { return static_cast<int>(SendMessageA(tree, TVM_GETCOUNT, 0, 0)); }

std::string TreeNodeText(HWND tree, HTREEITEM node) {
    char buffer[512] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return std::string();
    return buffer;
}

int ListCheckState(HWND list, int row) {
    const UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

void SetListCheckState(HWND list, int row, int state) {
    const bool changed = ListCheckState(list, row) != state;
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(state + 1);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    if (changed) NotifyRowTickChanged(list, row);
}

int ListCheckBoxAt(HWND list, POINT pos) {
    LVHITTESTINFO hit{};
    hit.pt = pos;
    const int row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return -1;
    // A full-row-select list may report a hit anywhere on the row with every "on item" bit set (so
    // does Wine's), so the box is told by place too: it lies between the row's left edge and its
    // small icon.
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    RECT icon{LVIR_ICON, 0, 0, 0};
    if (!SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)) ||
        !SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon)))
        return -1;
    if (pos.x < bounds.left || pos.x >= icon.left) return -1;
    return row;
}

}  // namespace vsc
