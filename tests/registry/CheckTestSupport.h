// Helpers for the tests that hand scratch keys and folders to the category checks.
#pragma once

#include <windows.h>

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

// A worker that is never started: the test calls one check directly on its own thread, with the
// category whose turn it is set as RunScan would.
class CheckRun {
public:
    explicit CheckRun(int category) : lists_(std::make_shared<ScanResultLists>()), scan_(true, lists_, "", "") {
        scan_.SetCategoryIndex(category);
    }
    TRegScanThread& scan() { return scan_; }
    TRegScanThread* operator->() { return &scan_; }
    std::vector<Problem> Problems() const { return ProblemsOf(*lists_); }
    const ScanResultLists& Lists() const { return *lists_; }

private:
    std::shared_ptr<ScanResultLists> lists_;
    TRegScanThread scan_;
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
