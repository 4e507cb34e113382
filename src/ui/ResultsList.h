// The model behind the registry results list lstJunkReg, a virtual (owner-data) list view.
//
// How it works. Row i is problem i of the scan's ScanResultLists; the list never sorts, so the
// positions always match. The list stores nothing per row: it asks for each row's texts, icon and
// check box when it draws them (LVN_GETDISPINFO), and this model answers from the result lists and
// its own vector of check states. Showing 100,000 rows is one LVM_SETITEMCOUNT, and Check All is a
// fill of the vector and one repaint, so neither needs to yield to the message loop.
//
// The third column says why the row is there (the problem's reason).
//
// Check boxes are state images (image 1 unchecked, image 2 checked: widgets/CheckStates.h), so
// ListCheckState reads them as usual. A left-button press on a row's check box toggles it, and so
// does Space on the selected row. User-interface thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegScanThread.h"
#include "widgets/Window.h"

namespace vsc {

class TResultsList {
public:
    TResultsList() = default;
    // The list's handlers hold this object's address: it is never copied or moved.
    TResultsList(const TResultsList&) = delete;
    TResultsList& operator=(const TResultsList&) = delete;

    // Takes over a list view created with LVS_OWNERDATA, whose notifications reach owner: answers
    // its row requests, toggles check boxes on mouse presses and Space. The list must outlive
    // neither the owner nor this object.
    void Attach(TWindow& owner, HWND list);
    HWND Handle() const { return list_; }

    // Shows the problems (and scrolls the list to the top). The rows of certain problems start
    // checked; a problem whose target could not be reached starts unchecked.
    void Fill(std::shared_ptr<const ScanResultLists> problems);
    // Empties the list.
    void Clear();

    std::size_t Count() const { return checked_.size(); }
    bool Checked(std::size_t row) const { return row < checked_.size() && checked_[row] != 0; }
    void SetChecked(std::size_t row, bool checked);
    void Toggle(std::size_t row) { SetChecked(row, !Checked(row)); }
    // Checks every row of a certain problem (an uncertain one stays as it is), or unchecks every row.
    void SetAllChecked(bool checked);
    // The positions of the checked rows, ascending.
    std::vector<std::size_t> CheckedRows() const;
    // The problems at these positions have left the result lists (each later one moved up): the
    // rows go too, the others keep their check boxes, and no row stays selected.
    void RowsRemoved(const std::vector<std::size_t>& rows);

    // The texts and icon of a row as the list shows them.
    std::string PathText(std::size_t row) const;
    std::string InvalidValue(std::size_t row) const;
    std::string Reason(std::size_t row) const;
    int Icon(std::size_t row) const;
    // What screen readers add to a row (its accessible description): the "Invalid Value" and
    // "Reason" texts and the safety its icon shows. Empty for a row that is not there.
    std::string RowDescription(int row) const;

    // Answers an LVN_GETDISPINFO request of the list.
    void AnswerRowRequest(NMLVDISPINFOA* request) const;

private:
    void Repaint(std::size_t row) const;

    HWND list_ = nullptr;
    std::shared_ptr<const ScanResultLists> problems_;
    std::vector<unsigned char> checked_;
};

}  // namespace vsc
