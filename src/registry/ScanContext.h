// What a category's check is given to work with, and where it reports.
//
// How it works. A check is a free function of a ScanContext and one key path (for the shortcut
// search a drive, "X:"). The context carries the category's number, the scan's existence tests
// (one TTargetProbe per scan, so that each drive root is asked about once), the ignore test, and
// the sink: the worker while a scan runs, or a test's recorder, so that a check runs without a
// thread. A check opens keys through the context, which waits while the scan is paused and shows
// each sub-key it opens; it asks StopRequested between entries; and it hands each entry its rule
// lists to RecordIfListed, which passes over what the ignore list holds and records the rest.
//
// An error a check does not handle itself leaves it as an exception: the worker then ends the
// category and notes why (RegScanThread.h).
//
// Everything here is called on the thread that runs the checks.
#pragma once

#include <functional>
#include <string>

#include "registry/NTReg.h"
#include "registry/TargetProbe.h"

namespace vsc {

// One problem as a check finds it.
struct FoundProblem {
    int Category = 0;
    std::string KeyPath;    // key path of the value, or for category 14 the shortcut's full path
    std::string ValueName;  // "" = the default value; "LinkFiles" for category 14
    std::string Data;       // the data found invalid, as text; for 14 the shortcut's missing target
    TargetCheck Check;      // missing or out of reach, and why it is listed
};

// Whether a problem about to be recorded is to be passed over (the user's ignore list says so):
// its category, key path (for 14 the shortcut's path) and value name.
using PassOverTest = std::function<bool(int category, const std::string& keyPath, const std::string& valueName)>;

// Where the checks of a scan report.
class ScanSink {
public:
    virtual ~ScanSink() = default;
    // True once a stop has been requested. Blocks while the scan is paused.
    virtual bool StopRequested() = 0;
    // Blocks while the scan is paused; a pause point that does not end the work.
    virtual void WaitWhilePaused() = 0;
    // The place the check of the category has reached: the sub-key opened last, or the folder
    // being searched.
    virtual void ShowPlace(int category, const std::string& place) = 0;
    // A problem to keep (the ignore test has let it through).
    virtual void Record(const FoundProblem& problem) = 0;
    // A problem the ignore test passed over.
    virtual void PassedOver(const FoundProblem& problem) = 0;
};

class ScanContext {
public:
    // The context keeps references to the sink and the probe, which outlive it.
    ScanContext(int category, ScanSink& sink, TTargetProbe& targets, PassOverTest passOver = {});

    int Category() const { return category_; }
    TTargetProbe& Targets() { return targets_; }
    bool StopRequested() { return sink_.StopRequested(); }
    void WaitWhilePaused() { sink_.WaitWhilePaused(); }
    // Shows the place (a sub-key, a folder) as the scan's progress; ShowAgain shows the last again.
    void Show(const std::string& place);
    void ShowAgain() { sink_.ShowPlace(category_, place_); }

    // Opens the key of keyPath on registry, without creating it and as itself (a registry link is
    // not followed: the category's own key paths are resolved before the checks run). Waits while
    // the scan is paused and shows the sub-key first. False when the key cannot be opened.
    bool OpenKey(const std::string& keyPath, TNTRegistry& registry);
    // The same for a sub-key met during a walk: keyPath is the parent's key path + "\" + name, and
    // the key is opened by its name below the parent's open key, which must stay open while
    // registry uses it. Reaches keys whose whole path is longer than the 8-bit registry calls take.
    bool OpenSubKey(const std::string& keyPath, const TNTRegistry& parent, const std::string& name,
                    TNTRegistry& registry);

    // Records the entry when check lists it, unless a stop has been requested (then nothing is
    // recorded any more) or the ignore test passes it over (then it is only counted).
    void RecordIfListed(const TargetCheck& check, const std::string& keyPath, const std::string& valueName,
                        const std::string& data);

private:
    const int category_;
    ScanSink& sink_;
    TTargetProbe& targets_;
    PassOverTest passOver_;
    std::string place_;
};

// The checks, one per category (categories 1 and 11 share one; 9 hands its key to it as well).
// Each takes one key path of its category, or for ScanShortcuts a drive ("X:") or a folder.
void ScanDefaultValues(ScanContext& scan, const std::string& keyPath);    // 1, 11
void ScanInprocServers(ScanContext& scan, const std::string& keyPath);    // 2
void ScanAppPaths(ScanContext& scan, const std::string& keyPath);         // 3
void ScanFonts(ScanContext& scan, const std::string& keyPath);            // 4
void ScanHelpFiles(ScanContext& scan, const std::string& keyPath);        // 5
void ScanSharedFiles(ScanContext& scan, const std::string& keyPath);      // 6
void ScanStartupEntries(ScanContext& scan, const std::string& keyPath);   // 7
void ScanUninstallEntries(ScanContext& scan, const std::string& keyPath); // 8
void ScanVirtualDevices(ScanContext& scan, const std::string& keyPath);   // 9
void ScanConfigFiles(ScanContext& scan, const std::string& keyPath);      // 10
void ScanSoundEvents(ScanContext& scan, const std::string& keyPath);      // 12
void ScanFilePaths(ScanContext& scan, const std::string& keyPath);        // 13
void ScanShortcuts(ScanContext& scan, const std::string& drive);          // 14

}  // namespace vsc
