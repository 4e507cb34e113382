#include "support/OutsideReader.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "support/TestSupport.h"

namespace vsc::test {

class OutsideReader::Remote {
public:
    Remote(HANDLE process, size_t size) : process_(process) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~Remote() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;
    char* At(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    LPARAM Param() const { return reinterpret_cast<LPARAM>(address_); }
    void Write(const void* data, size_t size, size_t offset = 0) const {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0) const {
        ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }
    std::string Text(size_t offset, size_t room) const {
        std::string buffer(room, '\0');
        Read(&buffer[0], room - 1, offset);
        buffer.resize(buffer.find('\0'));
        return buffer;
    }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

namespace {

const size_t kTextRoom = 1024;

std::string WithoutAmpersands(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// What the screen shows of a window's client area, as 32-bit pixels.
std::vector<COLORREF> ScreenPixels(HWND window, int width, int height) {
    std::vector<COLORREF> pixels;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(screen, origin.x + x, origin.y + y));
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How far a drawn icon is from what the screen shows (sum of channel differences).
long long IconDistance(const std::vector<COLORREF>& shown, int size, HICON icon) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, size, size};
    HBRUSH back = CreateSolidBrush(shown[0]);  // the corner is background in every standard icon
    FillRect(memory, &all, back);
    DeleteObject(back);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    long long distance = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const COLORREF a = GetPixel(memory, x, y), b = shown[static_cast<size_t>(y * size + x)];
            distance += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                        std::abs(GetBValue(a) - GetBValue(b));
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return distance;
}

// The standard icon a message box's icon control shows, told by its pixels: another process's
// icon handle cannot be read, but its picture can.
char IconKind(HWND iconControl) {
    RECT client{};
    GetClientRect(iconControl, &client);
    const int size = std::min<int>(std::min<int>(client.right, client.bottom), 32);
    if (size < 16) return 0;
    const auto shown = ScreenPixels(iconControl, size, size);
    struct Candidate { char kind; LPCSTR id; } const candidates[] = {
        {'i', IDI_ASTERISK}, {'e', IDI_HAND}, {'q', IDI_QUESTION}, {'w', IDI_EXCLAMATION}};
    char best = 0;
    long long bestDistance = LLONG_MAX;
    for (const Candidate& c : candidates) {
        const long long d = IconDistance(shown, size, LoadIconA(nullptr, c.id));
        if (d < bestDistance) {
            bestDistance = d;
            best = c.kind;
        }
    }
    return best;
}

}  // namespace

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT is marshalled by the system, so it reads another process's controls too.
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(text.find('\0'));
    return text;
}

OutsideReader::OutsideReader(HWND anyWindow) {
    GetWindowThreadProcessId(anyWindow, &processId_);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, processId_);
}

OutsideReader::~OutsideReader() {
    if (process_) CloseHandle(process_);
}

std::vector<OutsideReader::Control> OutsideReader::Controls(HWND window) const {
    std::vector<Control> all;
    EnumChildWindows(window, [](HWND w, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<Control>*>(p)->push_back({w, ClassOf(w), TextOf(w), IsWindowVisible(w) != FALSE});
        return TRUE;
    }, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND OutsideReader::Find(HWND window, const std::string& cls, const std::string& text) const {
    for (const Control& c : Controls(window)) {
        if (c.Visible && c.Class == cls && c.Text == text) return c.Handle;
    }
    return nullptr;
}

std::vector<std::string> OutsideReader::VisibleCaptions(HWND window) const {
    std::vector<std::string> captions;
    for (const Control& c : Controls(window)) {
        if (c.Visible && (c.Class == "Static" || c.Class == "Button") && !c.Text.empty()) captions.push_back(c.Text);
    }
    return captions;
}

int OutsideReader::RowCount(HWND list) const { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::string> OutsideReader::Headers(HWND list) const {
    std::vector<std::string> headers;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    Remote remote(process_, sizeof(HDITEMA) + kTextRoom);
    for (int column = 0; column < count; ++column) {
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = remote.At(sizeof(HDITEMA));
        item.cchTextMax = static_cast<int>(kTextRoom - 1);
        remote.Write(&item, sizeof item);
        remote.Write("", 1, sizeof(HDITEMA));
        SendMessageA(header, HDM_GETITEMA, column, remote.Param());
        headers.push_back(remote.Text(sizeof(HDITEMA), kTextRoom));
    }
    return headers;
}

std::string OutsideReader::ReadListText(HWND list, int row, int column) const {
    Remote remote(process_, sizeof(LVITEMA) + kTextRoom);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remote.At(sizeof(LVITEMA));
    item.cchTextMax = static_cast<int>(kTextRoom - 1);
    remote.Write(&item, sizeof item);
    remote.Write("", 1, sizeof(LVITEMA));
    SendMessageA(list, LVM_GETITEMTEXTA, row, remote.Param());
    return remote.Text(sizeof(LVITEMA), kTextRoom);
}

OutsideReader::ListRow OutsideReader::Row(HWND list, int row) const { return Row(list, row, Headers(list).size()); }

OutsideReader::ListRow OutsideReader::Row(HWND list, int row, size_t columns) const {
    ListRow result;
    Remote remote(process_, sizeof(LVITEMA));
    LVITEMA item{};
    item.mask = LVIF_STATE | LVIF_IMAGE;
    item.iItem = row;
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.iImage = -1;
    remote.Write(&item, sizeof item);
    if (SendMessageA(list, LVM_GETITEMA, 0, remote.Param())) {
        remote.Read(&item, sizeof item);
        const int stateImage = static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12);
        result.Check = stateImage > 0 ? stateImage - 1 : -1;
        result.Image = item.iImage;
    }
    for (size_t column = 0; column < columns; ++column) {
        result.Columns.push_back(ReadListText(list, row, static_cast<int>(column)));
    }
    return result;
}

std::vector<OutsideReader::ListRow> OutsideReader::Rows(HWND list) const {
    std::vector<ListRow> rows;
    const size_t columns = Headers(list).size();
    const int count = RowCount(list);
    for (int row = 0; row < count; ++row) rows.push_back(Row(list, row, columns));
    return rows;
}

HWND OutsideReader::FindList(HWND window, const std::string& firstHeader) const {
    for (const Control& c : Controls(window)) {
        if (c.Visible && c.Class == "SysListView32") {
            const auto headers = Headers(c.Handle);
            if (!headers.empty() && headers[0] == firstHeader) return c.Handle;
        }
    }
    return nullptr;
}

RECT OutsideReader::CellRect(HWND list, int row, int column) const {
    Remote remote(process_, sizeof(RECT));
    RECT rect{LVIR_LABEL, column, 0, 0};
    remote.Write(&rect, sizeof rect);
    if (!SendMessageA(list, LVM_GETSUBITEMRECT, row, remote.Param())) return RECT{};
    remote.Read(&rect, sizeof rect);
    return rect;
}

POINT OutsideReader::CheckBoxPoint(HWND list, int row) const {
    Remote rectMemory(process_, sizeof(RECT));
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    rectMemory.Write(&bounds, sizeof bounds);
    SendMessageA(list, LVM_GETITEMRECT, row, rectMemory.Param());
    rectMemory.Read(&bounds, sizeof bounds);
    Remote hitMemory(process_, sizeof(LVHITTESTINFO));
    const int y = (bounds.top + bounds.bottom) / 2;
    int first = -1, last = -1;
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        hitMemory.Write(&hit, sizeof hit);
        const int at = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, hitMemory.Param()));
        hitMemory.Read(&hit, sizeof hit);
        if (at == row && (hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) {
            if (first < 0) first = x;
            last = x;
        }
    }
    return first < 0 ? POINT{-1, y} : POINT{(first + last) / 2, y};
}

std::vector<OutsideReader::TreeNode> OutsideReader::Nodes(HWND tree) const {
    std::vector<TreeNode> nodes;
    Remote remote(process_, sizeof(TVITEMA) + kTextRoom);
    // Depth-first, with an explicit stack of (node, depth): the next sibling waits under the child.
    std::vector<std::pair<HTREEITEM, int>> pending;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (root) pending.push_back({root, 0});
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE | TVIF_STATE;
        item.hItem = node;
        item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
        item.pszText = remote.At(sizeof(TVITEMA));
        item.cchTextMax = static_cast<int>(kTextRoom - 1);
        remote.Write(&item, sizeof item);
        remote.Write("", 1, sizeof(TVITEMA));
        SendMessageA(tree, TVM_GETITEMA, 0, remote.Param());
        remote.Read(&item, sizeof item);
        TreeNode out;
        out.Text = remote.Text(sizeof(TVITEMA), kTextRoom);
        out.Depth = depth;
        out.State = static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12);
        out.Expanded = (item.state & TVIS_EXPANDED) != 0;
        nodes.push_back(out);
        const auto param = reinterpret_cast<LPARAM>(node);
        if (auto next = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, param))) {
            pending.push_back({next, depth});
        }
        if (auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, param))) {
            pending.push_back({child, depth + 1});
        }
    }
    return nodes;
}

OutsideReader::MessageBoxInfo OutsideReader::OpenMessageBox() const {
    struct Search { DWORD pid; HWND found; } search{processId_, nullptr};
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && IsWindowVisible(w) && ClassOf(w) == "#32770") {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    MessageBoxInfo box;
    if (!search.found) return box;
    box.Handle = search.found;
    box.Title = TextOf(search.found);
    for (const Control& c : Controls(search.found)) {
        if (c.Class == "Button" && c.Visible) {
            box.Buttons.push_back(WithoutAmpersands(c.Text));
        } else if (c.Class == "Static") {
            const LONG_PTR style = GetWindowLongPtrA(c.Handle, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                if (c.Visible) box.Icon = IconKind(c.Handle);
            } else if (!c.Text.empty()) {
                box.Text = c.Text;
            }
        }
    }
    return box;
}

OutsideReader::MessageBoxInfo OutsideReader::WaitForMessageBox(DWORD ms) const {
    MessageBoxInfo box;
    PumpUntil([&] {
        box = OpenMessageBox();
        return box.Handle != nullptr;
    }, ms);
    if (box.Handle) {
        PumpMessagesFor(200);  // let it paint its icon
        box = OpenMessageBox();
    }
    return box;
}

bool OutsideReader::Press(const MessageBoxInfo& box, const std::string& button) const {
    for (const Control& c : Controls(box.Handle)) {
        if (c.Class == "Button" && WithoutAmpersands(c.Text) == button) {
            PostMessageA(c.Handle, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

HWND OutsideReader::Focus(HWND window) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool OutsideReader::SaysCheckBoxes(HWND control) const {
    if (ClassOf(control) == WC_TREEVIEWA) {
        return (GetWindowLongPtrA(control, GWL_STYLE) & TVS_CHECKBOXES) &&
               (SendMessageA(control, TVM_GETEXTENDEDSTYLE, 0, 0) & TVS_EX_PARTIALCHECKBOXES);
    }
    return (SendMessageA(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
}

std::string OutsideReader::AccessibleName(HWND control) const {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string name = "(no accessible object)";
    IAccessible* accessible = nullptr;
    BSTR text = nullptr;
    VARIANT self{};
    self.vt = VT_I4;  // lVal 0: CHILDID_SELF
    if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void**>(&accessible)))) {
        name = accessible->get_accName(self, &text) == S_OK && text ? std::string(text, text + SysStringLen(text)) : "";
        SysFreeString(text);
        accessible->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return name;  // ASCII names only: each UTF-16 unit becomes one character
}

}  // namespace vsc::test
