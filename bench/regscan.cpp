// The registry scan as the user waits for it: the real main window, shown, with "Invalid Files
// Path" alone ticked in its section tree; "Scan" pressed through the button; timed until the end
// message ("N Problem(s) Found"). The scan walks all of HKEY_LOCAL_MACHINE\SOFTWARE, to which the
// run adds a generated tree of about 20,000 keys and 100,000 values (RegTree.h, volatile keys,
// deleted at the end). In the same run, a bare walk of the same key: every key opened, every value
// enumerated with its data by one RegEnumValueA. Rounds alternate the two; the program prints every
// round, the spread, the ratio of the best times (goal: 1.1 or less) and the peak working set. To
// show what the window adds, each round also times the check called directly and the scan on its
// worker thread without the window.
//
//   build/wine-exec build/win/bench_regscan.exe [rounds]     (needs DISPLAY; default 5 rounds)
//
// It refuses to run outside the build's prefix: it writes below HKEY_LOCAL_MACHINE\SOFTWARE.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "RegTree.h"
#include "WindowBench.h"
#include "ui/UFrmMain.h"
#include "widgets/CheckStates.h"

namespace {

using namespace vsc::bench;

const char* const kTreeKey = "SOFTWARE\\VscBenchScan";
constexpr int kVendors = 98;  // 98 x 206 keys, 98 x 1,022 values

// Deletes the generated tree on every way out.
class GeneratedTree {
public:
    GeneratedTree() {
        Remove();
        Generator generator(counts);
        generator.Build(HKEY_LOCAL_MACHINE, kTreeKey, kVendors);
        failed = generator.Failed();
    }
    ~GeneratedTree() { Remove(); }
    GeneratedTree(const GeneratedTree&) = delete;
    GeneratedTree& operator=(const GeneratedTree&) = delete;
    Counts counts;
    bool failed = false;

private:
    static void Remove() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTreeKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTreeKey);
    }
};

double TimeBareWalk(BareTotals& totals) {
    totals = BareTotals();
    std::vector<char> name(256);
    std::vector<BYTE> data(1024);
    const auto t = Clock::now();
    HKEY root = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &root) == ERROR_SUCCESS) {
        BareWalk(root, totals, name, data);
        RegCloseKey(root);
    }
    return Seconds(t, Clock::now());
}

// The check of "Invalid Files Path" called on this thread, without window or worker: what the
// window adds is the difference.
double TimeCheckAlone() {
    vsc::TRegScanThread scan(true, std::make_shared<vsc::ScanResultLists>(), std::string(vsc::kSelectionLength, '0'),
                             "");
    const auto t = Clock::now();
    scan.RunCheck(13, "HKEY_LOCAL_MACHINE\\SOFTWARE");
    return Seconds(t, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    if (RefuseOutsideBuildPrefix("bench_regscan")) return 2;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("generating below HKEY_LOCAL_MACHINE\\%s ...\n", kTreeKey);
    std::fflush(stdout);
    GeneratedTree tree;
    if (tree.failed) return 1;
    std::printf("generated %lld keys and %lld values (%lld paths, %lld of them missing)\n", tree.counts.keys,
                tree.counts.values, tree.counts.paths, tree.counts.missing);

    vsc::TFrmMain form;
    OpenMainWindow(form);
    // What the user ticks: everything off, then "Invalid Files Path".
    UntickAllSections(form);
    form.Registry().ToggleTreeNode(form.Registry().Ui().CategoryNodes[13]);
    if (!SelectionIs(form, "0000000000001", "")) return 1;
    PumpFor(300);

    EndMessage end;
    BareTotals totals;
    TimeBareWalk(totals);  // warms the caches for both
    std::vector<double> bare, window, direct, worker;
    for (int round = 0; round < rounds; ++round) {
        bare.push_back(TimeBareWalk(totals));
        direct.push_back(TimeCheckAlone());
        worker.push_back(TimeWorkerAlone("0000000000001", ""));
        window.push_back(TimeRegistryScanThroughWindow(form, end));
        if (window.back() < 0) return 1;
        std::printf("round %d: bare walk %.3f s; the check alone %.3f s, on its worker %.3f s; scan through the "
                    "window %.3f s, ratio %.2f (%s)\n",
                    round + 1, bare.back(), direct.back(), worker.back(), window.back(), window.back() / bare.back(),
                    end.text.c_str());
        std::fflush(stdout);
        PumpFor(200);
        if (IsWindowVisible(form.Registry().Ui().btnBackMain))
            Press(form.Registry().Ui().btnBackMain);  // back to the section tree
        PumpFor(200);
    }
    const Spread b = SpreadOf(bare), w = SpreadOf(window);
    std::printf("HKEY_LOCAL_MACHINE\\SOFTWARE: %lld keys, %lld values, %lld bytes of data\n", totals.keys,
                totals.values, totals.bytes);
    std::printf("bare walk (one RegEnumValueA with data per value): best %.3f s, median %.3f s, worst %.3f s\n",
                b.best, b.median, b.worst);
    std::printf("scan through the window:                           best %.3f s, median %.3f s, worst %.3f s\n",
                w.best, w.median, w.worst);
    const Spread d = SpreadOf(direct), k = SpreadOf(worker);
    std::printf("the check alone (no window, no worker):            best %.3f s, median %.3f s, worst %.3f s\n",
                d.best, d.median, d.worst);
    std::printf("the scan on its worker, without the window:        best %.3f s, median %.3f s, worst %.3f s\n",
                k.best, k.median, k.worst);
    std::printf("ratio: %.2f best to best, %.2f median to median (goal: 1.1 or less)\n", w.best / b.best,
                w.median / b.median);
    std::printf("peak working set: %.1f MB\n", PeakWorkingSetMb());
    return 0;
}
