#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "platform/Files.h"
#include "platform/portable/Mask.h"
#include "settings/portable/FilterList.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "ui/UFrmAddFilter.h"
#include "ui/UFrmFileClearExp.h"
#include "ui/UFrmIgnoreList.h"
#include "widgets/FlatControls.h"

using namespace vsc;
using namespace vsc::test;

namespace {

std::vector<std::string> Rows(HWND list, int columns = 2) {
    std::vector<std::string> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        std::string row;
        for (int c = 0; c < columns; ++c) {
            char text[512] = {};
            ListView_GetItemText(list, i, c, text, sizeof text);
            row += (c ? "|" : "") + std::string(text);
        }
        rows.push_back(row);
    }
    return rows;
}

const char* const kIni =
    "[FileFilters]\r\nUserExp=<*.tmp:Temp><*.bak:>\r\nDefaultExp=<*.old:Old><*.dmp:Dumps>\r\n"
    "[ScanOptions]\r\nSystemFile=1\r\nReadFile=0\r\nHideFile=true\r\n[DeleteOptions]\r\nDleteTo=1\r\n";

// Opens the options dialog on the file and runs `drive` inside it; the dialog is closed afterwards
// unless `drive` closed it.
void WithOptions(const std::string& ini, const std::function<void(TFrmFileClearExp&)>& drive) {
    bool ran = false;
    DialogHook hook([&](TDialog& d) {
        if (auto* f = dynamic_cast<TFrmFileClearExp*>(&d); f && !ran) {
            ran = true;
            drive(*f);
            if (f->InModalLoop()) f->btnRestoreClick();
        }
    });
    TFrmFileClearExp dialog(ini);
    dialog.ShowModal(SharedOwner());
    EXPECT_TRUE(ran);
}

}  // namespace

TEST(AddFilterDialog, OkRefusesBadInputAndStaysOpenThenReturnsTheTrimmedFilter) {
    MessageRecorder messages;
    const std::pair<const char*, const char*> refused[] = {
        {"C:\\*.tmp", "x"}, {"a:b.x", ""}, {"*.<x>", ""}, {"a|b.x", ""}, {"*", ""},
        {"*.", ""},          {"   ", ""},  {"", "y"},     {"*.x", "a>b"}, {"*.x", "<b"}};
    bool ran = false;
    DialogHook hook([&](TDialog& d) {
        auto& f = dynamic_cast<TFrmAddFilter&>(d);
        ran = true;
        for (const auto& [mask, desc] : refused) {
            messages.shown.clear();
            SetControlText(f.edtFileExpName, mask);
            SetControlText(f.edtDesc, desc);
            Click(f.btnSave);
            EXPECT_NE(f.ModalResult(), IDOK) << mask;
            ASSERT_EQ(messages.shown.size(), 1u) << mask;
            EXPECT_EQ(messages.shown[0].Text, "Invalid Characters");
            EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
            EXPECT_EQ(ControlText(f.edtFileExpName), mask);  // the input stays
        }
        messages.shown.clear();
        SetControlText(f.edtFileExpName, "  *.tmp ");
        SetControlText(f.edtDesc, " Temp  ");
        Click(f.btnSave);
        EXPECT_TRUE(messages.shown.empty());
        if (f.ModalResult() != IDOK) Click(f.btnClose);
    });
    TFrmAddFilter dialog;
    EXPECT_EQ(dialog.ShowModal(SharedOwner()), IDOK);
    EXPECT_TRUE(ran);
    EXPECT_EQ(dialog.FilterMask, "*.tmp");
    EXPECT_EQ(dialog.FilterDesc, "Temp");
}

TEST(OptionsDialog, OpensWithTheStoredFiltersAndSwitches) {
    ScratchDir dir("opts");
    const std::string ini = dir.WriteFile("Config.Ini", kIni);
    WithOptions(ini, [&](TFrmFileClearExp& f) {
        EXPECT_EQ(Rows(f.lstFilterFile), (std::vector<std::string>{"*.tmp|Temp", "*.bak|"}));
        EXPECT_TRUE(IsChecked(f.radDelFile));
        EXPECT_FALSE(IsChecked(f.radMoveFile));
        EXPECT_TRUE(IsChecked(f.chkSystemFile));
        EXPECT_FALSE(IsChecked(f.chkReadFile));
        EXPECT_FALSE(IsChecked(f.chkHideFile));  // checked only for exactly "1"

        // A missing file: no rows, "Delete Files" (DleteTo defaults to "1"), boxes clear.
        f.IniFileName = dir.File("none.ini");
        ListView_DeleteAllItems(f.lstFilterFile);
        f.LoadSettings("UserExp");
        EXPECT_TRUE(Rows(f.lstFilterFile).empty());
        EXPECT_TRUE(IsChecked(f.radDelFile));
        EXPECT_FALSE(IsChecked(f.chkSystemFile));
    });
}

TEST(OptionsDialog, AddDeleteDefaultAndSave) {
    ScratchDir dir("optsave");
    const std::string ini = dir.WriteFile("Config.Ini", kIni);
    MessageRecorder messages;
    WithOptions(ini, [&](TFrmFileClearExp& f) {
        // Add through the add-filter dialog, which opens over the options dialog.
        std::string nextMask = " *.tmp ", nextDesc = "";
        DialogHook inner([&](TDialog& d) {
            if (auto* a = dynamic_cast<TFrmAddFilter*>(&d)) {
                SetControlText(a->edtFileExpName, nextMask);
                SetControlText(a->edtDesc, nextDesc);
                Click(a->btnSave);
                if (a->ModalResult() != IDOK) Click(a->btnClose);
            }
        });
        Click(f.btnAdd);  // a duplicate is added as a new last row
        nextMask = "bad";  // refused: the list is unchanged
        Click(f.btnAdd);
        EXPECT_EQ(Rows(f.lstFilterFile), (std::vector<std::string>{"*.tmp|Temp", "*.bak|", "*.tmp|"}));
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Invalid Characters"});

        // Delete: nothing without a selection, the selected row with one.
        Click(f.btnDelete);
        EXPECT_EQ(Rows(f.lstFilterFile).size(), 3u);
        ListView_SetItemState(f.lstFilterFile, 1, LVIS_SELECTED, LVIS_SELECTED);
        Click(f.btnDelete);
        EXPECT_EQ(Rows(f.lstFilterFile), (std::vector<std::string>{"*.tmp|Temp", "*.tmp|"}));

        // Save with "Move Files To Recycle Bin" and the boxes changed.
        Click(f.radMoveFile);
        EXPECT_FALSE(IsChecked(f.radDelFile));
        SetChecked(f.chkSystemFile, false);
        SetChecked(f.chkReadFile, true);
        messages.shown.clear();
        Click(f.btnSave);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Save Successd!!"});
        EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_TRUE(f.InModalLoop());  // the dialog stays open
        EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), "<*.tmp:Temp><*.tmp:>");
        const DiskOptions o = ReadDiskOptions(ini);
        EXPECT_EQ(o.DleteTo, "0");
        EXPECT_EQ(o.SystemFile, "0");
        EXPECT_EQ(o.ReadFile, "1");
        EXPECT_EQ(o.HideFile, "0");

        // Default replaces the rows and re-reads the switches from the file.
        SetChecked(f.chkHideFile, true);
        Click(f.btnDefault);
        EXPECT_EQ(Rows(f.lstFilterFile), (std::vector<std::string>{"*.old|Old", "*.dmp|Dumps"}));
        EXPECT_FALSE(IsChecked(f.chkHideFile));
        EXPECT_TRUE(IsChecked(f.radMoveFile));
        // "Delete Files" writes "1"; an empty list writes an empty value.
        ListView_DeleteAllItems(f.lstFilterFile);
        Click(f.radDelFile);
        Click(f.btnSave);
        EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "absent", ini), "");
        EXPECT_EQ(ReadDiskOptions(ini).DleteTo, "1");
    });

    // The next opening shows the file; what Close leaves behind is not saved.
    const std::string bare = dir.WriteFile("Bare.Ini", "[FileFilters]\r\nUserExp=<*.x:X>\r\n");
    WithOptions(ini, [&](TFrmFileClearExp& f) {
        EXPECT_TRUE(Rows(f.lstFilterFile).empty());
        f.AddFilterRows("<*.a,*.b:Two>");
        EXPECT_EQ(f.FilterListText(), "<*.a,*.b:Two>");
        EXPECT_EQ(SplitMasks(FilterMaskList(f.FilterListText())).size(), 2u);  // one row, two masks

        // Default with no "DefaultExp" empties the list.
        f.IniFileName = bare;
        Click(f.btnDefault);
        EXPECT_TRUE(Rows(f.lstFilterFile).empty());

        // Save to a read-only file: the error, no confirmation, the dialog stays.
        SetFileAttributesA(bare.c_str(), FILE_ATTRIBUTE_READONLY);
        messages.shown.clear();
        Click(f.btnSave);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].Text, "Unable to write to " + bare);
        EXPECT_EQ(messages.shown[0].Flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        EXPECT_TRUE(f.InModalLoop());
        SetFileAttributesA(bare.c_str(), FILE_ATTRIBUTE_NORMAL);
        f.IniFileName = ini;
        Click(f.btnClose);
    });
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "absent", ini), "");
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", bare), "<*.x:X>");
}

TEST(OptionsDialog, SaveKeepsLongRowsWhole) {
    // A hand-edited list can hold rows far longer than the edit boxes allow; Save writes them back
    // as they were, not cut (a cut mask list would end in a different mask).
    std::string masks, description(1500, 'd');
    for (int i = 0; masks.size() < 3000; ++i) masks += (i ? ",*.e" : "*.e") + std::to_string(i);
    const std::string stored = "<*.tmp:Temp><" + masks + ":" + description + ">";
    ScratchDir dir("optlong");
    const std::string ini = dir.WriteFile("Config.Ini", "[FileFilters]\r\nUserExp=" + stored + "\r\n");
    MessageRecorder messages;
    WithOptions(ini, [&](TFrmFileClearExp& f) {
        EXPECT_EQ(f.FilterListText(), stored);
        Click(f.btnSave);
    });
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Save Successd!!"});
    EXPECT_EQ(ReadIniString("FileFilters", "UserExp", "", ini), stored);
}

// The ignore list opens from the options dialog on the same file. A hand-written list with paths
// holding "=" and ";" and a bad line is shown as written, changes are checked before they are
// written, and Save of the options before and after keeps every line of it.
TEST(OptionsDialog, TheIgnoreListOpensFromItAndSurvivesItsSave) {
    ScratchDir dir("optignore");
    const std::string ini = dir.WriteFile(
        "Config.Ini", std::string(kIni) +
                          "[IgnoreList]\r\n; by hand\r\nFile=C:\\Data\\a=b;c.tmp\r\n"
                          "Value=HKEY_CURRENT_USER\\Software\\x=y|na=me;1\r\nbroken line\r\nMask=*.bak\r\n");
    MessageRecorder messages;
    std::vector<std::string> shown, refused;
    std::string unread;
    WithOptions(ini, [&](TFrmFileClearExp& f) {
        Click(f.btnSave);
        TDialog::SetShownHook([&](TDialog& d) {
            auto* list = dynamic_cast<TFrmIgnoreList*>(&d);
            if (!list) return;
            EXPECT_EQ(list->IniFileName, ini);
            shown = Rows(list->lstIgnoreList, 3);
            unread = ControlText(list->labUnread);
            messages.shown.clear();
            for (const auto& [text, button] : {std::pair<const char*, HWND>{"*", list->btnAddMask},
                                               {"Keep", list->btnAddFolder}, {"D:\\Keep\\", list->btnAddFolder}}) {
                SetControlText(list->edtEntry, text);
                Click(button);
            }
            refused = messages.Texts();
            ListView_SetItemState(list->lstIgnoreList, 3, LVIS_SELECTED, LVIS_SELECTED);  // the mask
            Click(list->btnRemove);
            list->EndModal(IDCANCEL);
        });
        Click(f.btnIgnoreList);
        Click(f.btnSave);
    });
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], "File|C:\\Data\\a=b;c.tmp|");
    EXPECT_EQ(shown[1], "Registry value|HKEY_CURRENT_USER\\Software\\x=y|na=me;1");
    EXPECT_EQ(shown[2].rfind("Unreadable (line ", 0), 0u) << shown[2];
    EXPECT_EQ(shown[3], "Mask|*.bak|");
    EXPECT_EQ(unread, "1 line of the list cannot be read: the scans pass over them.");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0], "Invalid Characters");
    EXPECT_NE(refused[1].find("'Keep': not a full path"), std::string::npos) << refused[1];

    std::string text;
    ASSERT_TRUE(ReadWholeFile(ini, text));
    const IgnoreSection section = ReadIgnoreSection(text);
    const std::vector<IgnoreEntry> entries = section.Entries();
    ASSERT_EQ(entries.size(), 3u) << text;
    EXPECT_EQ(entries[0].Path, "C:\\Data\\a=b;c.tmp");
    EXPECT_EQ(entries[1].ValueName, "na=me;1");
    EXPECT_EQ(entries[2].Kind, IgnoreKind::Folder);
    EXPECT_EQ(entries[2].Path, "D:\\Keep");
    ASSERT_EQ(section.BadLines().size(), 1u);
    EXPECT_EQ(section.BadLines()[0].Text, "broken line");
    EXPECT_EQ(ReadDiskOptions(ini).HideFile, "0");  // the options were saved too
}
