// Helpers for the tests that hand scratch keys and folders to the category checks.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScanTestUtil.h"
#include "registry/RegScanThread.h"

namespace vsc::test {

// Ordered by key path, then value name: the registry and the file system decide the order in which
// a key's values or a folder's entries come.
std::vector<Problem> SortedByName(std::vector<Problem> problems);

// One check run on the test's own thread, without a worker: the run is the check's sink and
// records what it is given; the context carries the category, as RunScan would set it.
class CheckRun : public ScanSink {
public:
    explicit CheckRun(int category) : scan_(category, *this, targets_) {}
    ScanContext& scan() { return scan_; }
    std::vector<Problem> Problems() const { return ProblemsOf(lists_); }
    const ScanResultLists& Lists() const { return lists_; }
    // From now on the check is told to stop.
    void RequestStop() { stop_ = true; }
    // The place the check showed last ("" when it opened nothing).
    const std::string& Place() const { return place_; }

    bool StopRequested() override { return stop_; }
    void WaitWhilePaused() override {}
    void ShowPlace(int, const std::string& place) override { place_ = place; }
    void Record(const FoundProblem& problem) override { lists_.Add(problem); }
    void PassedOver(const FoundProblem&) override {}

private:
    ScanResultLists lists_;
    TTargetProbe targets_;
    std::atomic<bool> stop_{false};
    std::string place_;
    ScanContext scan_;
};

// Sets an environment variable of this process for the test's span, then puts the old value back.
class EnvOverride {
public:
    EnvOverride(const std::string& name, const std::string& value);
    ~EnvOverride();
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_;
};

// Writes a shortcut file with the shell link object (IShellLinkA::SetPath, IPersistFile::Save).
// False when the shell refused.
bool WriteShortcut(const std::string& linkPath, const std::string& target);
// The same with a target given in UTF-16, for names the ANSI code page cannot spell.
bool WriteWideShortcut(const std::string& linkPath, const std::wstring& target);
// Writes a shortcut to a shell item given by its parsing name (a web address, say), or to the
// computer folder when the name is empty. False when the shell cannot make one.
bool WriteShellItemShortcut(const std::string& linkPath, const std::string& parsingName);

// Runs work on a thread of its own with the given stack reservation and returns the most stack, in
// bytes, that the work used below the thread's entry: the committed stack is filled with a pattern
// first, and the deepest byte that changed marks the peak.
std::size_t RunMeasuringStack(std::size_t reserve, std::function<void()> work);

// The letter of the prefix's fixture drive (VSC_FIXTURE_DRIVE), or 0 when the scripts did not make one.
char FixtureDrive();

}  // namespace vsc::test
