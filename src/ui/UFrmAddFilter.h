// The add-filter dialog: asks for one mask and its description, and refuses a mask that the
// settings file cannot hold (or that names a path rather than file names).
#pragma once

#include <string>

#include "widgets/Window.h"

namespace vsc {

// The characters a mask may not contain, in the order they are tested: \ / : " < > |
extern const char InvalidMaskChars[7];

// True when the mask (already trimmed) is acceptable: none of InvalidMaskChars, not empty, holds
// a "." and does not end with one.
bool ValidFilterMask(const std::string& mask);
// True when the description (already trimmed) can be stored: no "<" or ">", which would break
// the stored filter list.
bool ValidFilterDescription(const std::string& description);

class TFrmAddFilter : public TDialog {
public:
    TFrmAddFilter();

    // Results, valid when ShowModal returned IDOK: the trimmed mask and description.
    std::string FilterMask;
    std::string FilterDesc;

    // Controls (valid while the dialog is shown).
    HWND edtFileExpName = nullptr;
    HWND edtDesc = nullptr;
    HWND btnSave = nullptr;   // "Ok"
    HWND btnClose = nullptr;  // "Cancel"

    // "Ok": validates and ends the dialog with IDOK, or shows "Invalid Characters" and stays.
    void btnSaveClick();
    // "Cancel" and the close button: ends the dialog without a result.
    void btnCloseClick();

protected:
    void OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
};

}  // namespace vsc
