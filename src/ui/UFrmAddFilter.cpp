#include "ui/UFrmAddFilter.h"

#include "settings/portable/FilterList.h"
#include "widgets/FlatControls.h"
#include "widgets/Messages.h"

namespace vsc {

TFrmAddFilter::TFrmAddFilter() : TDialog("Add Filter", 360, 184) {}

void TFrmAddFilter::OnCreate() {
    AddTitleStrip();
    CreateLabel(Handle(), "Enter the scan filter(e.g *.bak) ,You can use standard wildcard characters", 12, 28, 336,
                30, [] {
                    LabelStyle s;
                    s.WordWrap = true;
                    return s;
                }());
    CreateLabel(Handle(), "* stands for any run of characters, ? for exactly one", 12, 60, 336, 16);
    CreateLabel(Handle(), "File Type:", 12, 88, 80, 16);
    edtFileExpName = CreateEditBox(Handle(), "", 96, 85, 252, 21);
    CreateLabel(Handle(), "Description:", 12, 116, 80, 16);
    edtDesc = CreateEditBox(Handle(), "", 96, 113, 252, 21);
    SendMessageA(edtFileExpName, EM_LIMITTEXT, 255, 0);
    SendMessageA(edtDesc, EM_LIMITTEXT, 255, 0);
    btnSave = CreateFlatButton(Handle(), "Ok", 196, 148, 73, 25);
    btnClose = CreateFlatButton(Handle(), "Cancel", 275, 148, 73, 25);
    OnClick(btnSave, [this] { btnSaveClick(); });
    OnClick(btnClose, [this] { btnCloseClick(); });
}

void TFrmAddFilter::btnSaveClick() {
    FilterMask = Trim(ControlText(edtFileExpName));
    FilterDesc = Trim(ControlText(edtDesc));
    if (!ValidFilterMask(FilterMask) || !ValidFilterDescription(FilterDesc)) {
        ShowInfo("Invalid Characters");
        return;
    }
    EndModal(IDOK);
}

void TFrmAddFilter::btnCloseClick() { EndModal(IDCANCEL); }

void TFrmAddFilter::OnCommand(int id, int code, HWND control) {
    // Enter in an edit box reaches the dialog as IDOK without a control: the same as "Ok".
    if (id == IDOK && !control) btnSaveClick();
}

}  // namespace vsc
