// The ignore-list dialog: every entry of the ignore list with its kind, "Remove" for the selected
// entry, and a box where a key path, a folder or a mask is typed and added with the button of its
// kind. What is typed is checked first (a key path must begin with a known root key, a folder must
// be a full path, a mask follows the rules of the junk-file filters). Every change is written to
// "Config.Ini" at once; lines of the list that cannot be read are shown too, and stay in the file.
// Opened from the registry category page and from the options dialog of disk clean.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/portable/IgnoreList.h"
#include "widgets/Window.h"

namespace vsc {

class TFrmIgnoreList : public TDialog {
public:
    explicit TFrmIgnoreList(std::string iniFileName);

    const std::string IniFileName;

    // Controls (valid while the dialog is shown).
    HWND lstIgnoreList = nullptr;  // columns "Kind", "Entry", "Value name"
    HWND labUnread = nullptr;      // says how many lines cannot be read; empty when none
    HWND edtEntry = nullptr;
    HWND btnRemove = nullptr, btnAddKey = nullptr, btnAddFolder = nullptr, btnAddMask = nullptr, btnClose = nullptr;

    // Reads the list from the file again and shows it.
    void LoadRows();
    void btnRemoveClick();
    // Checks the typed text as an entry of the kind and adds it, or says what is wrong with it.
    void AddTyped(IgnoreKind kind);
    void btnCloseClick() { EndModal(IDCANCEL); }

protected:
    void OnCreate() override;

private:
    std::vector<IgnoreLine> rows_;  // what each row of lstIgnoreList shows
};

// Adds the entries and returns the list as it then stands; when the file cannot be written, says
// so in an error box and returns null.
std::shared_ptr<const TIgnoreList> AddIgnoreEntriesOrSayWhy(const std::string& iniFileName,
                                                            const std::vector<IgnoreEntry>& entries);

}  // namespace vsc
