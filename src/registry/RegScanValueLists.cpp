// The value-list checks: categories 4 (fonts), 5 (help files) and 6 (shared files). Each looks at
// the values of one key, never below it, and records a value whose file is missing.
//
// A "?" in the text a check would turn into a file name marks a name that did not survive the
// conversion to the ANSI code page; acting on it would test (and later repair) the wrong file, so
// such a value is passed over.
#include <exception>
#include <string>
#include <vector>

#include "registry/EntryRules.h"
#include "registry/PublicOpt.h"
#include "registry/RegScanThread.h"

namespace vsc {

namespace {

// The frame of the fonts and help checks: every value of the key with string data is judged by
// the category's rule (EntryRules). An error ends the work on this key path; problems recorded so
// far stay.
void ScanTextValueFiles(TRegScanThread& scan, const std::string& keyPath, int category) {
    try {
        if (!scan.OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        scan.Registry.ListValueNames(names);
        for (const std::string& name : names) {
            if (scan.StopRequested()) return;
            scan.CurValueName = name;
            if (!IsStringKind(scan.Registry.ValueKind(name))) continue;
            scan.RecordIfListed(
                TextEntryCheck(category, name, scan.Registry.ReadText(name), scan.CurValueData, scan.Targets));
        }
    } catch (const std::exception&) {
    }
}

}  // namespace

// Font data is a file name in the system's font folder, or a path of its own.
void TRegScanThread::ScanFonts(const std::string& keyPath) { ScanTextValueFiles(*this, keyPath, 4); }

// The value name is the help file, the data the folder that holds it.
void TRegScanThread::ScanHelpFiles(const std::string& keyPath) { ScanTextValueFiles(*this, keyPath, 5); }

void TRegScanThread::ScanSharedFiles(const std::string& keyPath) {
    std::vector<std::string> names;
    try {
        if (!OpenScanKey(keyPath)) return;
        Registry.ListValueNames(names);
    } catch (const std::exception&) {
        return;
    }
    for (const std::string& name : names) {
        if (StopRequested()) return;
        // Each value under its own guard: a value that cannot be read as a number is passed over.
        try {
            CurValueName = name;
            RecordIfListed(EntryCheck(6, Registry, name, CurValueData, Targets));
        } catch (const std::exception&) {
        }
    }
}

}  // namespace vsc
