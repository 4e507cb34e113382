// The add-filter dialog: asks for one mask and its description, and refuses a mask that the
// settings file cannot hold (or that names a path rather than file names).
#pragma once

#include <string>

#include "settings/portable/FilterList.h"  // the mask and description rules
#include "widgets/Window.h"

namespace vsc {

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
