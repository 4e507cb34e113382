// The broken-shortcut search as the user waits for it: the real main window, shown, with only the
// drive under "Invalid Shortcuts" ticked in its section tree; "Scan" pressed through the button;
// timed until the end message ("N Problem(s) Found"). In the same run, a bare search of the same
// drive: one folder walk, COM initialised once, one shell link object into which each ".lnk" is
// loaded and read without a find-data record, and one attribute query per target. Rounds alternate the two; the program prints every
// round, the spread, the ratio (goal: 1.1 or less, best to best and median to median) and the peak
// working set.
//
// To show where the time goes, each round also times the bare search with one of the costs the
// search may add (a find-data record asked of every link; a new shell link object per file; COM
// set up and torn down around it as well; two existence tests per target), the check called
// directly on a thread of its own, and the scan on its worker without the window.
//
//   build/wine-exec build/win/bench_shortcutscan.exe [rounds [ratio]]    (needs DISPLAY; default 5 rounds)
//
// With "ratio", each round times only the bare search and the scan through the window: the
// variants take several times as long as the two.
//
// The drive: a folder of the prefix's temporary folder (9,000 shortcuts in 180 folders, every third
// one broken, some to a folder), lent a free drive letter for the run. The targets lie in a folder
// beside it, in 180 folders of their own; those of the broken shortcuts are there too, under a
// sub-folder that is moved aside while the rounds run. Both folders are removed when the program ends, also after a failure (the tests
// search the prefix's drive C); the shortcuts of a run that was killed are used again and removed.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "LentDrive.h"
#include "RemoveTree.h"
#include "WindowBench.h"
#include "registry/Categories.h"
#include "registry/RegScanThread.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"

namespace {

using namespace vsc::bench;

constexpr int kFolders = 180, kLinksPerFolder = 50;  // 9,000 shortcuts
constexpr int kBrokenEvery = 3;                     // link i is broken when i % 3 == 2
constexpr int kFolderTargetEvery = 30;              // link i aims at a folder when i % 30 == 0
constexpr int kLinks = kFolders * kLinksPerFolder;
constexpr int kBroken = kLinks / kBrokenEvery;
constexpr const char* kDoneMarker = "links9000.done";  // the set is complete

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Touch(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

IShellLinkA* NewLink() {
    IShellLinkA* link = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
    return link;
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(MAX_PATH, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], MAX_PATH);
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return wide;
}

// The target of link i: a file in the folder of targets matching the link's folder (50 to a folder,
// as installed programs spread theirs), the targets' root itself for every 30th link, and for the
// broken ones a file under targets\gone, which the run moves aside. Kept small, the folders keep
// Wine's case-blind search of a folder for a name that is not there (which reads the whole folder)
// from weighing on both sides alike and hiding what the window adds.
std::string TargetOf(const std::string& targets, int i) {
    const std::string folder = "\\folder" + std::to_string(i / kLinksPerFolder);
    if (i % kBrokenEvery == kBrokenEvery - 1) return targets + "\\gone" + folder + "\\app" + std::to_string(i) + ".exe";
    if (i % kFolderTargetEvery == 0) return targets;
    return targets + folder + "\\app" + std::to_string(i) + ".exe";
}

// Writes the bytes as the whole file.
bool WriteBytes(const std::string& path, const void* bytes, DWORD size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes, size, &written, nullptr) && written == size;
    CloseHandle(h);
    return ok;
}

// Writes the link's bytes into the file through a memory stream. Saved as a file, each link would
// also start Wine's menu builder, a process per shortcut, which made the tree take minutes.
bool SaveLink(IShellLinkA* link, const std::string& path) {
    IPersistStream* persist = nullptr;
    IStream* stream = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))) &&
              SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) && SUCCEEDED(persist->Save(stream, TRUE));
    HGLOBAL memory = nullptr;
    STATSTG stat = {};
    if (ok && SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
        const void* bytes = GlobalLock(memory);
        ok = bytes && WriteBytes(path, bytes, static_cast<DWORD>(stat.cbSize.QuadPart));
        GlobalUnlock(memory);
    } else {
        ok = false;
    }
    if (stream) stream->Release();
    if (persist) persist->Release();
    return ok;
}

// Makes the shortcuts under `root` and their targets under `targets`, unless a complete set is
// there. The targets of the broken ones are under targets\gone, which the run moves aside.
bool MakeLinks(const std::string& root, const std::string& targets) {
    if (Exists(root + "\\" + kDoneMarker)) return true;
    RemoveTree(root);  // an unfinished set, or one of an older layout
    RemoveTree(targets);
    std::printf("making %d shortcuts in %s ...\n", kLinks, root.c_str());
    std::fflush(stdout);
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(targets.c_str(), nullptr);
    CreateDirectoryA((targets + "\\gone").c_str(), nullptr);
    if (FAILED(CoInitialize(nullptr))) return false;
    bool ok = true;
    IShellLinkA* link = NewLink();
    if (!link) ok = false;
    for (int i = 0; ok && i < kLinks; ++i) {
        const std::string folder = "\\folder" + std::to_string(i / kLinksPerFolder);
        if (i % kLinksPerFolder == 0) {
            CreateDirectoryA((root + folder).c_str(), nullptr);
            CreateDirectoryA((targets + folder).c_str(), nullptr);
            CreateDirectoryA((targets + "\\gone" + folder).c_str(), nullptr);
        }
        const std::string target = TargetOf(targets, i);
        if (target != targets && !Touch(target)) ok = false;
        const std::string name = root + folder + "\\Shortcut " + std::to_string(i) + ".lnk";
        ok = ok && SUCCEEDED(link->SetPath(target.c_str())) && SaveLink(link, name);
    }
    if (link) link->Release();
    CoUninitialize();
    return ok && Touch(root + "\\" + kDoneMarker);
}

// Breaks every third shortcut for the life of the object: the folder of their targets is moved
// aside, and back at the end. A run that did not end leaves it aside; the next one puts it back.
class BrokenForTheRun {
public:
    explicit BrokenForTheRun(const std::string& targets) : there_(targets + "\\gone"), aside_(targets + "\\gone.aside") {
        MoveFileA(there_.c_str(), aside_.c_str());
    }
    ~BrokenForTheRun() { MoveFileA(aside_.c_str(), there_.c_str()); }
    BrokenForTheRun(const BrokenForTheRun&) = delete;
    BrokenForTheRun& operator=(const BrokenForTheRun&) = delete;
    bool Broken() const { return !Exists(there_) && Exists(aside_); }

private:
    std::string there_, aside_;
};

// ---- The bare search and its variants ----

enum class Variant {
    Bare,            // COM once, one shell link object, one attribute query per target
    FindData,        // as Bare, with a WIN32_FIND_DATA record handed to GetPath
    ObjectPerFile,   // COM once, a new shell link object per file
    ComPerFile,      // COM set up and torn down around a new object per file
    TwoTests,        // as Bare, with a file test and then a folder test per target
};

struct BareCount {
    long long links = 0, broken = 0;
};

// The target of one link, loaded into `link`; "" when the file does not load.
std::string Target(IShellLinkA* link, const std::string& path, bool findData) {
    std::string target;
    IPersistFile* file = nullptr;
    if (link && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        char buffer[MAX_PATH] = {};
        WIN32_FIND_DATAA data;
        if (SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(buffer, MAX_PATH, findData ? &data : nullptr, SLGP_UNCPRIORITY)))
            target = buffer;
        file->Release();
    }
    return target;
}

bool TargetExists(const std::string& target, Variant variant) {
    if (variant == Variant::TwoTests) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(target.c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
        }
    }
    return Exists(target);
}

void BareFolder(const std::string& folder, Variant variant, IShellLinkA* shared, BareCount& count) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = folder + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            BareFolder(full, variant, shared, count);
            continue;
        }
        if (name.size() < 4 || lstrcmpiA(name.c_str() + name.size() - 4, ".lnk") != 0) continue;
        ++count.links;
        std::string target;
        if (variant == Variant::ComPerFile) {
            CoInitialize(nullptr);
            IShellLinkA* link = NewLink();
            target = Target(link, full, false);
            if (link) link->Release();
            CoUninitialize();
        } else if (variant == Variant::ObjectPerFile) {
            IShellLinkA* link = NewLink();
            target = Target(link, full, false);
            if (link) link->Release();
        } else {
            target = Target(shared, full, variant == Variant::FindData);
        }
        if (!target.empty() && !TargetExists(target, variant)) ++count.broken;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

// Each variant runs on a thread of its own, as the scan does on its worker, so that COM starts
// from nothing there.
double TimeBareSearch(const std::string& drive, Variant variant, BareCount& count) {
    double seconds = 0;
    std::thread search([&] {
        count = BareCount();
        const auto t = Clock::now();
        if (variant != Variant::ComPerFile) CoInitialize(nullptr);
        IShellLinkA* shared = variant == Variant::ComPerFile ? nullptr : NewLink();
        BareFolder(drive, variant, shared, count);
        if (shared) shared->Release();
        if (variant != Variant::ComPerFile) CoUninitialize();
        seconds = Seconds(t, Clock::now());
    });
    search.join();
    return seconds;
}

// The check called directly on a thread of its own, without window or worker thread.
double TimeCheckAlone(const std::string& drive, std::size_t& found) {
    double seconds = 0;
    std::thread search([&] {
        vsc::TRegScanThread scan(true, std::make_shared<vsc::ScanResultLists>(),
                                 std::string(vsc::kSelectionLength, '0'), "");
        const auto t = Clock::now();
        scan.RunCheck(vsc::kShortcutCategory, drive);
        seconds = Seconds(t, Clock::now());
        found = scan.Lists()->Count();
    });
    search.join();
    return seconds;
}

// The check of the scan the window starts, timed from its first to its last step: the time before
// it (the press, the page, the worker's start) and after it (the end message) is the window's own.
Clock::time_point checkStart, checkEnd;
void TimedShortcutCheck(vsc::ScanContext& scan, const std::string& drive) {
    checkStart = Clock::now();
    vsc::CategoryOf(vsc::kShortcutCategory)->Check(scan, drive);
    checkEnd = Clock::now();
}

}  // namespace

int main(int argc, char** argv) {
    if (RefuseOutsideBuildPrefix("bench_shortcutscan")) return 2;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bool variants = !(argc > 2 && std::string(argv[2]) == "ratio");
    const std::string root = TempFolder() + "VscBenchShortcuts", targets = TempFolder() + "VscBenchShortcutTargets";
    const RemovedAtEnd removed{root, targets};
    if (!MakeLinks(root, targets)) {
        std::fprintf(stderr, "cannot make the shortcuts in %s\n", root.c_str());
        return 1;
    }
    BrokenForTheRun broken(targets);
    if (!broken.Broken()) {
        std::fprintf(stderr, "cannot move %s\\gone aside\n", targets.c_str());
        return 1;
    }
    LentDrive lent(root, kDoneMarker);
    vsc::TFrmMain form;
    const std::size_t at = OpenWithLentDrive(form, lent.Letter(), root);
    if (at == std::string::npos) return 1;
    const std::string drive = std::string(1, lent.Letter()) + ":";
    // What the user ticks: everything off, then the drive's node under "Invalid Shortcuts".
    UntickAllSections(form);
    form.Registry().ToggleTreeNode(vsc::TreeNodeAt(form.Registry().Ui().treRegistry, 15 + static_cast<int>(at)));
    if (!SelectionIs(form, std::string(vsc::kSelectionLength, '0'), drive.substr(0, 1))) return 1;
    PumpFor(300);

    vsc::TRegistryCleanPage::SetScanWorkerPreparer(
        [](vsc::TRegScanThread& worker) { worker.OverrideCheck(vsc::kShortcutCategory, &TimedShortcutCheck); });
    EndMessage end;
    BareCount count;
    TimeBareSearch(drive, Variant::Bare, count);  // warms the caches for both
    std::vector<double> before, inWindow, after;  // the parts of each scan through the window
    std::vector<double> bare, window, findData, objectPerFile, comPerFile, twoTests, direct, worker;
    std::size_t found = 0, foundDirect = 0;
    for (int round = 0; round < rounds; ++round) {
        if (variants) {
            BareCount other;
            findData.push_back(TimeBareSearch(drive, Variant::FindData, other));
            objectPerFile.push_back(TimeBareSearch(drive, Variant::ObjectPerFile, other));
            comPerFile.push_back(TimeBareSearch(drive, Variant::ComPerFile, other));
            twoTests.push_back(TimeBareSearch(drive, Variant::TwoTests, other));
            direct.push_back(TimeCheckAlone(drive, foundDirect));
            worker.push_back(TimeWorkerAlone(std::string(vsc::kSelectionLength, '0'), std::string(1, lent.Letter())));
        }
        bare.push_back(TimeBareSearch(drive, Variant::Bare, count));

        const auto pressed = Clock::now();
        window.push_back(TimeRegistryScanThroughWindow(form, end));
        if (window.back() < 0) return 1;
        before.push_back(Seconds(pressed, checkStart));
        inWindow.push_back(Seconds(checkStart, checkEnd));
        after.push_back(Seconds(checkEnd, end.at));
        found = form.Registry().ScanResults()->Count();
        std::printf("round %d: bare search %.3f s, scan through the window %.3f s, ratio %.2f (%s; before the "
                    "search %.3f s, the search %.3f s, after it %.3f s)",
                    round + 1, bare.back(), window.back(), window.back() / bare.back(), end.text.c_str(),
                    before.back(), inWindow.back(), after.back());
        if (variants)
            std::printf("; bare with a find-data record %.3f s, with an object per file %.3f s, with COM per file "
                        "%.3f s, with two tests %.3f s; the check alone %.3f s, on its worker %.3f s",
                        findData.back(), objectPerFile.back(), comPerFile.back(), twoTests.back(), direct.back(),
                        worker.back());
        std::printf("\n");
        std::fflush(stdout);
        PumpFor(200);
        if (IsWindowVisible(form.Registry().Ui().btnBackMain))
            Press(form.Registry().Ui().btnBackMain);  // back to the section tree
        PumpFor(200);
    }
    std::printf("drive %s: %lld shortcuts, %lld broken by the bare search; the window found %zu", drive.c_str(),
                count.links, count.broken, found);
    if (variants) std::printf(", the check alone %zu", foundDirect);
    std::printf(" (%d expected)\n", kBroken);
    auto line = [](const char* what, const std::vector<double>& times) {
        const Spread s = SpreadOf(times);
        std::printf("%-52s best %.3f s, median %.3f s, worst %.3f s\n", what, s.best, s.median, s.worst);
    };
    line("bare search (COM once, one object, one test):", bare);
    line("scan through the window:", window);
    line("  of which before the search:", before);
    line("  of which the search on the window's worker:", inWindow);
    line("  of which after the search, to the end message:", after);
    if (variants) {
        line("bare, a find-data record asked of every link:", findData);
        line("bare, a new shell link object per file:", objectPerFile);
        line("bare, COM set up and torn down per file:", comPerFile);
        line("bare, a file test and a folder test per target:", twoTests);
        line("the check alone (no window, no worker):", direct);
        line("the scan on its worker, without the window:", worker);
    }
    const Spread b = SpreadOf(bare), w = SpreadOf(window);
    std::vector<double> paired;  // each round's window against the bare search just before it
    for (std::size_t i = 0; i < bare.size(); ++i) paired.push_back(window[i] / bare[i]);
    std::printf("ratio: %.2f best to best, %.2f median to median, %.2f the median round (goal: 1.1 or less)\n",
                w.best / b.best, w.median / b.median, SpreadOf(paired).median);
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetMb());
    const bool right = count.broken == kBroken && found == static_cast<std::size_t>(kBroken) &&
                       (!variants || foundDirect == static_cast<std::size_t>(kBroken));
    if (!right) std::fprintf(stderr, "the searches did not find the %d broken shortcuts\n", kBroken);
    return right ? 0 : 1;
}
