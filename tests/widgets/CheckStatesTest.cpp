// Check states of tree nodes and list rows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/TestSupport.h"
#include "widgets/CheckStates.h"
#include "widgets/Window.h"

using namespace vsc;

namespace {

struct TTreeHost : TWindow {
    HWND tree = nullptr;
    HWND list = nullptr;
    UniqueImageList states{CreateCheckStateImages()};
    UniqueImageList listStates{CreateListCheckImages()};
    TTreeHost() {
        Create(CreateParams());
        tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_DISABLEDRAGDROP, 0, 0,
                               200, 200, Handle(), nullptr, nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 200, Handle(),
                               nullptr, nullptr, nullptr);
        TreeView_SetImageList(tree, states.get(), TVSIL_STATE);
        ListView_SetImageList(list, listStates.get(), LVSIL_STATE);
    }
    HTREEITEM Add(HTREEITEM parent, const char* text, int state = 1) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent ? parent : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(text);
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        insert.item.state = INDEXTOSTATEIMAGEMASK(state);
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
};

}  // namespace

TEST(CheckStates, SetSubtreeStateReachesEveryDescendantButNotTheNodeOrItsSiblings) {
    TTreeHost host;
    HTREEITEM top = host.Add(nullptr, "My Computer", 3);
    HTREEITEM a = host.Add(top, "a");
    HTREEITEM a1 = host.Add(a, "a1");
    HTREEITEM a11 = host.Add(a1, "a11");
    HTREEITEM b = host.Add(top, "b", 2);
    HTREEITEM other = host.Add(nullptr, "other", 1);
    HTREEITEM otherChild = host.Add(other, "other child", 1);

    SetSubtreeState(host.tree, top, 2);
    EXPECT_EQ(TreeNodeState(host.tree, top), 3);
    for (HTREEITEM n : {a, a1, a11, b}) EXPECT_EQ(TreeNodeState(host.tree, n), 2);
    EXPECT_EQ(TreeNodeState(host.tree, other), 1);
    EXPECT_EQ(TreeNodeState(host.tree, otherChild), 1);

    SetSubtreeState(host.tree, a, 1);
    EXPECT_EQ(TreeNodeState(host.tree, a), 2);
    EXPECT_EQ(TreeNodeState(host.tree, a1), 1);
    EXPECT_EQ(TreeNodeState(host.tree, a11), 1);
    EXPECT_EQ(TreeNodeState(host.tree, b), 2);

    // A leaf has no descendants: nothing changes.
    SetSubtreeState(host.tree, a11, 2);
    EXPECT_EQ(TreeNodeState(host.tree, a11), 1);
}

TEST(CheckStates, AbsoluteIndicesFollowDisplayOrderOverCollapsedNodes) {
    TTreeHost host;
    HTREEITEM top = host.Add(nullptr, "top");
    HTREEITEM a = host.Add(top, "a");
    HTREEITEM a1 = host.Add(a, "a1");
    HTREEITEM b = host.Add(top, "b");
    HTREEITEM second = host.Add(nullptr, "second");
    EXPECT_EQ(TreeNodeCount(host.tree), 5);
    EXPECT_EQ(TreeNodeAt(host.tree, 0), top);
    EXPECT_EQ(TreeNodeAt(host.tree, 1), a);
    EXPECT_EQ(TreeNodeAt(host.tree, 2), a1);
    EXPECT_EQ(TreeNodeAt(host.tree, 3), b);
    EXPECT_EQ(TreeNodeAt(host.tree, 4), second);
    EXPECT_EQ(TreeNodeAt(host.tree, 5), nullptr);
    EXPECT_EQ(TreeNodeAt(host.tree, -1), nullptr);
    EXPECT_EQ(TreeNodesInOrder(host.tree), (std::vector<HTREEITEM>{top, a, a1, b, second}));
    EXPECT_EQ(TreeNodeText(host.tree, a1), "a1");
}

TEST(CheckStates, DeepTreesDoNotOverflowTheStack) {
    TTreeHost host;
    HTREEITEM top = host.Add(nullptr, "top");
    HTREEITEM node = top;
    for (int i = 0; i < 2000; ++i) node = host.Add(node, "deep");
    SetSubtreeState(host.tree, top, 2);
    EXPECT_EQ(TreeNodeState(host.tree, node), 2);
    EXPECT_EQ(TreeNodeAt(host.tree, 2000), node);
}

TEST(CheckStates, ListRowsStoreZeroAndOne) {
    TTreeHost host;
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessageA(host.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("row");
    SendMessageA(host.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetListCheckState(host.list, 0, 1);
    EXPECT_EQ(ListCheckState(host.list, 0), 1);
    SetListCheckState(host.list, 0, 0);
    EXPECT_EQ(ListCheckState(host.list, 0), 0);
    // The check box sits left of the text: a hit there finds the row, a hit on the text does not.
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(host.list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    RECT icon{};
    icon.left = LVIR_ICON;
    SendMessageA(host.list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon));
    const int midY = (label.top + label.bottom) / 2;
    EXPECT_EQ(ListCheckBoxAt(host.list, POINT{label.left + 5, midY}), -1);
    EXPECT_EQ(ListCheckBoxAt(host.list, POINT{icon.left - 8, midY}), 0);
}
