// The disk scan as the user waits for it: the real main window, shown, with one drive ticked in its
// drive list; "Scan" pressed through the button; timed until the end message ("N files Found").
// In the same run, a bare FindFirstFile/FindNextFile walk of the same drive, and the window's search
// set up as the window does but run without its page (the search alone). Rounds alternate them;
// the program prints every round, the spread, the ratio of the best times (goal: 1.1 or less), the
// window's fixed cost before the first folder and after the walk, the peak working set, and the
// memory each found file costs beyond its strings.
//
//   build/wine-exec build/win/bench_diskscan.exe [rounds]     (needs DISPLAY; default 5 rounds)
//
// The drive: a folder of the prefix's temporary folder (300,000 files in 6,151 folders, 12,000 of
// them "*.tmp"), lent a free drive letter for the run and removed when the program ends, also after
// a failure (the tests search the prefix's drive C). The window reads the shipped "Config.Ini"
// beside the executable (the default filters).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "BareWalk.h"
#include "LentDrive.h"
#include "RemoveTree.h"
#include "WindowBench.h"
#include "diskclean/JunkFileClean.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"

// ---- Counting the heap bytes the program holds (operator new only) ----

namespace {
std::atomic<long long> g_liveBytes{0};
constexpr std::size_t kHeader = 16;  // keeps the caller's block 16-byte aligned
}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    g_liveBytes += static_cast<long long>(size);
    return static_cast<char*>(block) + kHeader;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - kHeader;
    g_liveBytes -= static_cast<long long>(*static_cast<std::size_t*>(block));
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace vsc::bench;

constexpr int kTopFolders = 150, kLeafFolders = 40, kFilesPerLeaf = 50;  // 6,000 x 50 = 300,000 files
constexpr int kJunkEvery = 25;                                             // 12,000 "*.tmp" files

std::string TreeRoot() { return TempFolder() + "VscBenchDrive"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeTree(const std::string& root) {
    const std::string marker = root + "\\tree300k.done";
    if (Exists(marker)) return true;
    std::printf("making the drive's files in %s ...\n", root.c_str());
    CreateDirectoryA(root.c_str(), nullptr);
    static const char* const kKeep[] = {"notes%05d.txt", "photo%05d.jpg", "lib%05d.dll",    "main%05d.cpp",
                                        "letter%05d.docx", "data%05d.db", "readme%05d.md", "song%05d.mp3"};
    int serial = 0;
    for (int a = 0; a < kTopFolders; ++a) {
        const std::string top = root + "\\group" + std::to_string(a);
        CreateDirectoryA(top.c_str(), nullptr);
        for (int b = 0; b < kLeafFolders; ++b) {
            const std::string leaf = top + "\\folder" + std::to_string(b);
            if (!CreateDirectoryA(leaf.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
            for (int i = 0; i < kFilesPerLeaf; ++i, ++serial) {
                char name[64];
                if (serial % kJunkEvery == 0)
                    std::snprintf(name, sizeof name, "~vsc%05d.tmp", serial);
                else
                    std::snprintf(name, sizeof name, kKeep[serial % 8], serial);
                HANDLE h = CreateFileA((leaf + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                       nullptr);
                if (h == INVALID_HANDLE_VALUE) return false;
                DWORD written = 0;
                WriteFile(h, "junk", 4, &written, nullptr);
                CloseHandle(h);
            }
        }
    }
    HANDLE done = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (done == INVALID_HANDLE_VALUE) return false;
    CloseHandle(done);
    return true;
}

// The heap bytes of the found files' own strings (those too long for the string's inner buffer).
long long StringBytes(const std::vector<vsc::TFileItem>& files) {
    long long bytes = 0;
    auto add = [&bytes](const std::string& s) {
        if (s.capacity() > 15) bytes += static_cast<long long>(s.capacity()) + 1;
    };
    for (const vsc::TFileItem& f : files) {
        add(f.Name);
        add(f.Path);
        add(f.FileAttrStr);
    }
    return bytes;
}

// The window's search set up as the window sets it up (the same settings file, filters, options
// and ignore list), and run with its message dispatch but without the window's page: what the walk
// costs before the window shows it.
double TimeSearchAlone(const std::string& iniFileName, char letter) {
    vsc::TSearchFolders search;
    vsc::ConfigureJunkSearch(search, iniFileName, std::string(1, letter));
    search.Messages = true;
    const auto t = Clock::now();
    search.Search();
    return Seconds(t, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    if (RefuseOutsideBuildPrefix("bench_diskscan")) return 2;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string root = TreeRoot();
    const RemovedAtEnd removed{root};
    if (!MakeTree(root)) {
        std::fprintf(stderr, "cannot make the files in %s\n", root.c_str());
        return 1;
    }
    LentDrive lent(root, "tree300k.done");
    vsc::TFrmMain form;
    const std::size_t at = OpenWithLentDrive(form, lent.Letter(), root);
    if (at == std::string::npos) return 1;
    const std::string drive = std::string(1, lent.Letter()) + ":";
    Press(form.Ui().btnLeft2);
    for (int i = 0; i < static_cast<int>(form.ListedDrives().size()); ++i)
        vsc::SetListCheckState(form.Disk().Ui().lstPathSelect, i, i == static_cast<int>(at) ? 1 : 0);
    PumpFor(300);

    // The window's own handler, wrapped to note when the search entered its first folder: the time
    // before is the window's set-up (settings file, page switch).
    Clock::time_point firstFolder;
    bool entered = false;
    double inHandler = 0;  // seconds spent in the window's handler of each folder (its progress display)
    const vsc::TOnProcessEvent windowsHandler = form.Disk().Search().OnProcess;
    form.Disk().Search().OnProcess = [&](vsc::TSearchFolders& sender, const std::string& dir, int count,
                                         std::int64_t size, int hide, int read, int system) {
        const auto at = Clock::now();
        if (!entered) firstFolder = at;
        entered = true;
        windowsHandler(sender, dir, count, size, hide, read, system);
        inHandler += Seconds(at, Clock::now());
    };

    // And the end of the walk: the time after it is the window's closing work (figures, message).
    Clock::time_point walkEnded;
    const vsc::TOnChangedEvent windowsEnd = form.Disk().Search().OnChanged;
    form.Disk().Search().OnChanged = [&](vsc::TSearchFolders& sender, int count, std::int64_t size, int hide, int read,
                                         int system) {
        walkEnded = Clock::now();
        windowsEnd(sender, count, size, hide, read, system);
    };

    EndMessage end;
    long long entries = BareWalk(drive);  // warms the caches for both
    std::vector<double> bare, window, alone, before, after;
    long long heapPerFile = 0, foundStringBytes = 0;
    std::size_t found = 0;
    for (int round = 0; round < rounds; ++round) {
        auto t = Clock::now();
        entries = BareWalk(drive);
        bare.push_back(Seconds(t, Clock::now()));
        alone.push_back(TimeSearchAlone(form.Disk().IniFileName(), lent.Letter()));

        const long long heapBefore = g_liveBytes.load();
        end.count = 0;
        entered = false;
        inHandler = 0;
        t = Clock::now();
        Press(form.Disk().Ui().btnFileScan);  // the search runs inside the press, and ends with its message
        if (end.count == 0) {
            std::fprintf(stderr, "the scan ended without its message\n");
            return 1;
        }
        window.push_back(Seconds(t, end.at));
        before.push_back(Seconds(t, firstFolder));
        after.push_back(Seconds(walkEnded, end.at));
        found = form.Disk().Search().FoundFiles().size();
        if (round == 0) {  // later rounds reuse the list's storage, which Menu keeps
            foundStringBytes = StringBytes(form.Disk().Search().FoundFiles());
            heapPerFile = g_liveBytes.load() - heapBefore;
        }
        std::printf("round %d: bare walk %.3f s, the search alone %.3f s, scan through the window %.3f s (%.0f ms "
                    "before the first folder, %.0f ms after the walk, %.0f ms in the window's folder handler), ratio %.2f (%s)\n",
                    round + 1, bare.back(), alone.back(), window.back(), before.back() * 1000, after.back() * 1000,
                    inHandler * 1000, window.back() / bare.back(), end.text.c_str());
        std::fflush(stdout);
        PumpFor(200);
        Press(form.Disk().Ui().backMain);  // Menu: back to the drive page, results forgotten
        PumpFor(200);
    }
    const Spread b = SpreadOf(bare), w = SpreadOf(window);
    std::printf("drive %s: %lld entries, %zu found with the masks of %s\n", drive.c_str(), entries, found,
                form.Disk().IniFileName().c_str());
    std::printf("bare FindFirstFile/FindNextFile walk: best %.3f s, median %.3f s, worst %.3f s\n", b.best, b.median,
                b.worst);
    std::printf("scan through the window:              best %.3f s, median %.3f s, worst %.3f s\n", w.best, w.median,
                w.worst);
    const Spread a = SpreadOf(alone), f = SpreadOf(before), l = SpreadOf(after);
    std::printf("the search alone (no page):           best %.3f s, median %.3f s, worst %.3f s\n", a.best, a.median,
                a.worst);
    std::printf("the window's fixed cost: %.0f ms before the first folder, %.0f ms after the walk (medians)\n",
                f.median * 1000, l.median * 1000);
    std::printf("ratio: %.2f best to best, %.2f median to median (goal: 1.1 or less)\n", w.best / b.best,
                w.median / b.median);
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetMb());
    if (found > 0)
        std::printf("memory per found file beyond its strings: %.1f bytes (%lld bytes held after the first scan, %lld of "
                    "them the found files' strings; sizeof(TFileItem) %zu)\n",
                    static_cast<double>(heapPerFile - foundStringBytes) / static_cast<double>(found), heapPerFile,
                    foundStringBytes, sizeof(vsc::TFileItem));
    return 0;
}
