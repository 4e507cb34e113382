// Repair and restore as the user waits for them: the real main window, shown, with "Invalid Files
// Path" alone ticked and its check pointed at a generated tree of 12,000 keys holding 10,000 broken
// file paths (volatile keys, deleted at the end); "Scan" pressed, then "Repair" on the checked
// results, timed from the press to the end message ("Total N problems have been repaired
// successfully!"); then "Restore", the backup chosen in the restore dialog and its "Restore" button
// pressed, timed to "Selected backups were restored".
//
// In the same run, on the same tree: a bare re-checked repair (each key opened once, each value
// read once, its file tested once, the value emptied, the backup list written once and flushed)
// and a bare restore (each key opened once, each value written). Rounds alternate the two; the
// program prints every round, the spread, the median ratios (goals: 1.1 or less) and the peak
// working set. To show where the time goes, each round also times the bare repair with every value
// read once more before the first change (what a backup written first costs at the least), and
// the repair and restore engines called directly, without the window.
//
//   build/wine-exec build/win/bench_repair.exe [rounds]     (needs DISPLAY; default 3 rounds)
//
// It refuses to run outside the build's prefix: it writes below HKEY_LOCAL_MACHINE\SOFTWARE and into
// the prefix's temporary folder. Both are removed when it ends, also after a failure; what a killed
// run left is removed by the next one.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RemoveTree.h"
#include "WindowBench.h"
#include "repair/BackupFiles.h"
#include "repair/portable/BackupFormat.h"
#include "repair/Repair.h"
#include "repair/Restore.h"
#include "ui/UFrmMain.h"
#include "ui/UfrmRestore.h"
#include "widgets/Window.h"

namespace {

using namespace vsc::bench;

const char* const kTreeKey = "SOFTWARE\\VscBenchRepair";
const char* const kTreePath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\VscBenchRepair";
constexpr int kVendors = 100, kKeysPerVendor = 120;  // 12,000 keys
// Of every six keys, the first holds two broken paths, the next three one each, the last two none:
// 10,000 broken values.
constexpr int kBroken = kVendors * kKeysPerVendor / 6 * 5;

void SetText(HKEY key, const std::string& name, const std::string& text) {
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

// Makes the tree, volatile, and deletes it on every way out.
class RepairTree {
public:
    RepairTree() {
        Remove();
        HKEY root = Create(HKEY_LOCAL_MACHINE, kTreeKey);
        for (int v = 0; v < kVendors && root; ++v) {
            HKEY vendor = Create(root, "Vendor" + std::to_string(v));
            if (!vendor) break;
            for (int k = 0; k < kKeysPerVendor; ++k) {
                HKEY key = Create(vendor, "Product" + std::to_string(k));
                if (!key) break;
                const std::string gone = "C:\\VscBenchGone\\Vendor" + std::to_string(v) + "\\app" + std::to_string(k);
                SetText(key, "Name", "Product " + std::to_string(k));
                const DWORD flags = static_cast<DWORD>(k);
                RegSetValueExA(key, "Flags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flags), sizeof flags);
                if (k % 6 < 4) SetText(key, "Path", gone + ".exe");
                if (k % 6 == 0) SetText(key, "Help", gone + ".hlp");
                RegCloseKey(key);
            }
            RegCloseKey(vendor);
        }
        if (root) RegCloseKey(root);
    }
    ~RepairTree() { Remove(); }
    bool Failed() const { return failed_; }
    RepairTree(const RepairTree&) = delete;
    RepairTree& operator=(const RepairTree&) = delete;

private:
    // Null after a line on standard error when the key cannot be made.
    HKEY Create(HKEY parent, const std::string& name) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create key %s\n", name.c_str());
            failed_ = true;
            return nullptr;
        }
        return key;
    }
    static void Remove() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTreeKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTreeKey);
    }
    bool failed_ = false;
};

// The sub-key of a key path below HKEY_LOCAL_MACHINE.
std::string SubKeyOf(const std::string& keyPath) { return keyPath.substr(std::string("HKEY_LOCAL_MACHINE\\").size()); }

// ---- The bare repair and restore ----

// Each value read once more, before anything changes, each key opened once more: what a backup
// written before the first change adds to the bare repair at the least.
void ReadAllFirst(const vsc::ScanResultLists& lists, std::vector<BYTE>& data) {
    HKEY key = nullptr;
    std::string open;
    for (std::size_t i = 0; i < lists.Count(); ++i) {
        if (lists.KeyPathList[i] != open || !key) {
            if (key) RegCloseKey(key);
            key = nullptr;
            open = lists.KeyPathList[i];
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKeyOf(open).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
                continue;
        }
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        RegQueryValueExA(key, lists.ValueNameList[i].c_str(), nullptr, &type, data.data(), &size);
    }
    if (key) RegCloseKey(key);
}

// The entries of the scan's list, in its order; consecutive entries of one key share its opening.
// With readFirst, every value is read once before the first change as well.
double TimeBareRepair(const vsc::ScanResultLists& lists, const std::string& backupFile, bool readFirst,
                      int& repaired) {
    repaired = 0;
    std::string text;
    std::vector<BYTE> data(4096);
    const auto t = Clock::now();
    if (readFirst) ReadAllFirst(lists, data);
    HKEY key = nullptr;
    std::string open;
    for (std::size_t i = 0; i < lists.Count(); ++i) {
        const std::string& path = lists.KeyPathList[i];
        if (path != open || !key) {
            if (key) RegCloseKey(key);
            key = nullptr;
            open = path;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SubKeyOf(path).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
                ERROR_SUCCESS)
                continue;
        }
        const std::string& name = lists.ValueNameList[i];
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) continue;
        const std::string now(reinterpret_cast<const char*>(data.data()), size ? size - 1 : 0);
        if (type != REG_SZ || now != lists.ValueDataList[i]) continue;
        if (GetFileAttributesA(now.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        vsc::BackupRecord record{path, name, now, lists.CategoryList[i], true, REG_SZ};
        vsc::AppendBackupRecord(text, record);
        if (RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) == ERROR_SUCCESS)
            ++repaired;
    }
    if (key) RegCloseKey(key);
    HANDLE file = CreateFileA(backupFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    return Seconds(t, Clock::now());
}

double TimeBareRestore(const std::string& backupFile, int& restored) {
    restored = 0;
    std::string text;
    vsc::ReadWholeFile(backupFile, text);
    const auto t = Clock::now();
    const vsc::BackupContents contents = vsc::ReadBackupRecords(text);
    HKEY key = nullptr;
    std::string open;
    for (const vsc::BackupRecord& record : contents.Records) {
        if (record.KeyPath != open || !key) {
            if (key) RegCloseKey(key);
            key = nullptr;
            open = record.KeyPath;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SubKeyOf(open).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr) != ERROR_SUCCESS)
                continue;
        }
        if (RegSetValueExA(key, record.ValueName.c_str(), 0, record.RegType,
                           reinterpret_cast<const BYTE*>(record.DataText.c_str()),
                           static_cast<DWORD>(record.DataText.size() + 1)) == ERROR_SUCCESS)
            ++restored;
    }
    if (key) RegCloseKey(key);
    return Seconds(t, Clock::now());
}

std::vector<std::size_t> AllRows(const vsc::ScanResultLists& lists) {
    std::vector<std::size_t> rows(lists.Count());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
    return rows;
}

// ---- Through the window ----

// Scans, and waits for the results: false after a line on standard error.
bool ScanThroughWindow(vsc::TFrmMain& form, EndMessage& end) {
    if (TimeRegistryScanThroughWindow(form, end) < 0) return false;
    if (end.text != std::to_string(kBroken) + " Problem(s) Found") {
        std::fprintf(stderr, "the scan ended with \"%s\"\n", end.text.c_str());
        return false;
    }
    return true;
}

// "Repair" pressed on the results: the seconds to its end message.
double TimeRepairThroughWindow(vsc::TFrmMain& form, EndMessage& end) {
    end.count = 0;
    const auto t = Clock::now();
    Press(form.Registry().Ui().btnDeleteItems);
    PumpUntil([&] { return end.count > 0; }, 600000);
    return end.count > 0 ? Seconds(t, end.at) : -1;
}

// "Restore" on the section page, the only backup chosen in the dialog and its "Restore" pressed:
// the seconds from that press to its end message. The dialog is then closed.
double TimeRestoreThroughWindow(vsc::TFrmMain& form, EndMessage& end) {
    double seconds = -1;
    vsc::TDialog::SetShownHook([&](vsc::TDialog& d) {
        auto* restore = dynamic_cast<vsc::TfrmRestore*>(&d);
        if (restore && ListView_GetItemCount(restore->lstBackupFile) == 1) {
            ListView_SetItemState(restore->lstBackupFile, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            end.count = 0;
            const auto t = Clock::now();
            Press(restore->btnRestore);
            if (end.count > 0) seconds = Seconds(t, end.at);
        }
        d.EndModal(IDCANCEL);
    });
    Press(form.Registry().Ui().FlatButton1);
    vsc::TDialog::SetShownHook(nullptr);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (RefuseOutsideBuildPrefix("bench_repair")) return 2;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("generating below HKEY_LOCAL_MACHINE\\%s ...\n", kTreeKey);
    std::fflush(stdout);
    // The backups of the window's repairs (the restore dialog lists them) and of the bare one.
    const std::string scratch = TempFolder() + "VscBenchRepair", backups = scratch + "\\backup";
    const std::string bareBackup = scratch + "\\bare.txt";
    const RemovedAtEnd removed{scratch};
    RemoveTree(scratch);
    CreateDirectoryA(scratch.c_str(), nullptr);
    CreateDirectoryA(backups.c_str(), nullptr);
    RepairTree tree;
    if (tree.Failed()) return 1;

    vsc::TRegistryCleanPage::SetScanWorkerPreparer(
        [](vsc::TRegScanThread& worker) { worker.OverrideKeyPaths(13, {kTreePath}); });
    vsc::TFrmMain form;
    OpenMainWindow(form);
    form.Registry().SetBackupFolder(backups);
    UntickAllSections(form);
    form.Registry().ToggleTreeNode(form.Registry().Ui().CategoryNodes[13]);
    if (!SelectionIs(form, "0000000000001", "")) return 1;
    PumpFor(300);

    EndMessage end;
    std::vector<double> bareRepair, bareRestore, repair, restore, readTwice, engine, engineRestore;
    bool right = true;
    for (int round = 0; round < rounds && right; ++round) {
        if (!ScanThroughWindow(form, end)) return 1;
        const vsc::ScanResultLists lists = *form.Registry().ScanResults();
        PumpFor(300);  // the results as the user sees them before pressing "Repair"
        // Each pair leaves the values broken again for the next. The bare pair and the engines go
        // first in every second round, so that neither side always follows the scan.
        int bareRepaired = 0, bareRestored = 0, again = 0;
        std::string repairText, restoreText;
        auto throughWindow = [&] {
            repair.push_back(TimeRepairThroughWindow(form, end));
            repairText = end.text;
            restore.push_back(TimeRestoreThroughWindow(form, end));
            restoreText = end.text;
        };
        auto bareAndEngines = [&] {
            bareRepair.push_back(TimeBareRepair(lists, bareBackup, false, bareRepaired));
            bareRestore.push_back(TimeBareRestore(bareBackup, bareRestored));
            readTwice.push_back(TimeBareRepair(lists, bareBackup, true, again));
            TimeBareRestore(bareBackup, again);
            // The engines called directly, without the window.
            auto t = Clock::now();
            const vsc::RepairResult direct = vsc::RepairProblems(lists, AllRows(lists), backups);
            engine.push_back(Seconds(t, Clock::now()));
            t = Clock::now();
            const vsc::RestoreResult back = vsc::RestoreBackupFile(direct.BackupFile);
            engineRestore.push_back(Seconds(t, Clock::now()));
            DeleteFileA(direct.BackupFile.c_str());
            right = direct.Repaired == kBroken && back.Restored == kBroken;
        };
        if (round % 2 == 0) {
            throughWindow();
            bareAndEngines();
        } else {
            bareAndEngines();
            throughWindow();
        }
        std::printf("round %d: repair %.3f s, bare %.3f s, ratio %.2f (%s); restore %.3f s, bare %.3f s, ratio %.2f "
                    "(%s); bare repair reading each value twice %.3f s; the engines alone %.3f s and %.3f s\n",
                    round + 1, repair.back(), bareRepair.back(), repair.back() / bareRepair.back(), repairText.c_str(),
                    restore.back(), bareRestore.back(), restore.back() / bareRestore.back(), restoreText.c_str(),
                    readTwice.back(), engine.back(), engineRestore.back());
        std::fflush(stdout);
        right = right && repair.back() > 0 && restore.back() > 0 && bareRepaired == kBroken && bareRestored == kBroken &&
                repairText == "Total " + std::to_string(kBroken) + " problems have been repaired successfully!" &&
                restoreText == "Selected backups were restored";
        PumpFor(200);
    }
    vsc::TRegistryCleanPage::SetScanWorkerPreparer(nullptr);
    if (!right) {
        std::fprintf(stderr, "a repair or restore did not change the %d broken values\n", kBroken);
        return 1;
    }
    auto line = [](const char* what, const std::vector<double>& times) {
        const Spread s = SpreadOf(times);
        std::printf("%-40s best %.3f s, median %.3f s, worst %.3f s\n", what, s.best, s.median, s.worst);
    };
    std::printf("%d broken values in %d keys\n", kBroken, kVendors * kKeysPerVendor);
    line("bare re-checked repair:", bareRepair);
    line("repair through the window:", repair);
    line("bare restore:", bareRestore);
    line("restore through the window:", restore);
    line("bare repair, each value read twice:", readTwice);
    line("the repair engine alone (no window):", engine);
    line("the restore engine alone (no window):", engineRestore);
    std::printf("ratio, median to median: repair %.2f, restore %.2f (goals: 1.1 or less)\n",
                SpreadOf(repair).median / SpreadOf(bareRepair).median,
                SpreadOf(restore).median / SpreadOf(bareRestore).median);
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetMb());
    return 0;
}
