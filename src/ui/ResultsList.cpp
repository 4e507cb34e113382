#include "ui/ResultsList.h"

#include <algorithm>

#include "platform/portable/Utf8Text.h"
#include "registry/portable/ScanChoice.h"
#include "widgets/CheckStates.h"
#include "widgets/RowDescriptions.h"

namespace vsc {

namespace {

void CopyText(const std::string& text, NMLVDISPINFOA* request) {
    if (!request->item.pszText || request->item.cchTextMax <= 0) return;
    const std::size_t room = static_cast<std::size_t>(request->item.cchTextMax) - 1;
    const std::size_t length = GetACP() == CP_UTF8 ? Utf8CutLength(text, room) : std::min(text.size(), room);
    std::copy_n(text.data(), length, request->item.pszText);
    request->item.pszText[length] = '\0';
}

}  // namespace

void TResultsList::Attach(TWindow& owner, HWND list) {
    list_ = list;
    // Check boxes come from the model, as the row's state image.
    SendMessageA(list_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    owner.OnNotify(list_, LVN_GETDISPINFOA, [this](NMHDR* header) {
        AnswerRowRequest(reinterpret_cast<NMLVDISPINFOA*>(header));
        return LRESULT(0);
    });
    owner.OnNotify(list_, LVN_KEYDOWN, [this](NMHDR* header) {
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_SPACE) {
            const int row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (row >= 0) Toggle(static_cast<std::size_t>(row));
        }
        return LRESULT(0);
    });
    owner.OnMouse(list_, [this](const ControlMouseEvent& event) {
        if (!event.Down || event.Button != 0) return;
        const int row = ListCheckBoxAt(list_, event.Pos);
        if (row >= 0) Toggle(static_cast<std::size_t>(row));
    });
    DescribeRowsToScreenReaders(list_, [this](int row) { return RowDescription(row); });
}

std::string TResultsList::RowDescription(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= checked_.size()) return std::string();
    const std::size_t index = static_cast<std::size_t>(row);
    return RowAccessibleDescription(InvalidValue(index), Reason(index), Icon(index));
}

void TResultsList::Fill(std::shared_ptr<const ScanResultLists> problems) {
    problems_ = std::move(problems);
    const std::size_t count = problems_ ? problems_->Count() : 0;
    checked_.assign(count, 1);
    for (std::size_t i = 0; i < count; ++i) checked_[i] = problems_->Certain(i) ? 1 : 0;
    SendMessageA(list_, LVM_SETITEMCOUNT, count, 0);
    if (count) SendMessageA(list_, LVM_ENSUREVISIBLE, 0, FALSE);
    InvalidateRect(list_, nullptr, TRUE);
}

void TResultsList::Clear() {
    problems_.reset();
    checked_.clear();
    SendMessageA(list_, LVM_SETITEMCOUNT, 0, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void TResultsList::SetChecked(std::size_t row, bool checked) {
    if (row >= checked_.size()) return;
    const unsigned char state = checked ? 1 : 0;
    if (checked_[row] == state) return;
    checked_[row] = state;
    Repaint(row);
    NotifyRowTickChanged(list_, static_cast<int>(row));
}

void TResultsList::SetAllChecked(bool checked) {
    // Check All leaves uncertain rows as they are: only a hand ticks them.
    for (std::size_t row = 0; row < checked_.size(); ++row) {
        if (checked && !(problems_ && problems_->Certain(row))) continue;
        const unsigned char state = checked ? 1 : 0;
        if (checked_[row] == state) continue;
        checked_[row] = state;
        NotifyRowTickChanged(list_, static_cast<int>(row));
    }
    InvalidateRect(list_, nullptr, FALSE);
}

std::vector<std::size_t> TResultsList::CheckedRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < checked_.size(); ++i)
        if (checked_[i]) rows.push_back(i);
    return rows;
}

void TResultsList::RowsRemoved(const std::vector<std::size_t>& rows) {
    std::vector<unsigned char> gone(checked_.size(), 0);
    for (std::size_t row : rows)
        if (row < gone.size()) gone[row] = 1;
    std::vector<unsigned char> kept;
    for (std::size_t i = 0; i < checked_.size(); ++i)
        if (!gone[i]) kept.push_back(checked_[i]);
    checked_.swap(kept);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    SendMessageA(list_, LVM_SETITEMCOUNT, checked_.size(), LVSICF_NOSCROLL);
    InvalidateRect(list_, nullptr, TRUE);
}

std::string TResultsList::PathText(std::size_t row) const {
    if (!problems_ || row >= problems_->KeyPathList.size()) return std::string();
    return problems_->KeyPathList[row];
}

std::string TResultsList::InvalidValue(std::size_t row) const {
    if (!problems_ || row >= problems_->Count() || row >= problems_->ValueNameList.size() ||
        row >= problems_->ValueDataList.size() || row >= problems_->CategoryList.size())
        return std::string();
    return InvalidValueText(problems_->CategoryList[row], problems_->ValueNameList[row],
                            problems_->ValueDataList[row]);
}

std::string TResultsList::Reason(std::size_t row) const {
    return problems_ ? problems_->Reason(row) : std::string();
}

int TResultsList::Icon(std::size_t row) const { return RowIconOf(InvalidValue(row)); }

void TResultsList::AnswerRowRequest(NMLVDISPINFOA* request) const {
    if (request->item.iItem < 0) return;
    const std::size_t row = static_cast<std::size_t>(request->item.iItem);
    if (row >= checked_.size()) return;
    if (request->item.mask & LVIF_TEXT)
        CopyText(request->item.iSubItem == 0   ? PathText(row)
                 : request->item.iSubItem == 1 ? InvalidValue(row)
                                               : Reason(row),
                 request);
    if (request->item.mask & LVIF_IMAGE) request->item.iImage = Icon(row);
    if (request->item.mask & LVIF_STATE) {
        request->item.state = (request->item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(Checked(row) ? 2 : 1);
        request->item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void TResultsList::Repaint(std::size_t row) const {
    SendMessageA(list_, LVM_REDRAWITEMS, row, row);
}

}  // namespace vsc
