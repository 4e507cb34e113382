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
#include "registry/ScanContext.h"

namespace vsc {

namespace {

// The frame of the fonts and help checks: every value of the key with string data is judged by
// the category's rule (EntryRules). An error ends the work on this key path; problems recorded so
// far stay.
void ScanTextValueFiles(ScanContext& scan, const std::string& keyPath, EntryRule rule) {
    try {
        TNTRegistry registry;
        if (!scan.OpenKey(keyPath, registry)) return;
        std::vector<std::string> names;
        registry.ListValueNames(names);
        for (const std::string& name : names) {
            if (scan.StopRequested()) return;
            if (!IsStringKind(registry.ValueKind(name))) continue;
            std::string data;
            scan.RecordIfListed(rule(name, registry.ReadText(name), data, scan.Targets()), keyPath, name, data);
        }
    } catch (const std::exception&) {
    }
}

}  // namespace

// Font data is a file name in the system's font folder, or a path of its own.
void ScanFonts(ScanContext& scan, const std::string& keyPath) { ScanTextValueFiles(scan, keyPath, FontRule); }

// The value name is the help file, the data the folder that holds it.
void ScanHelpFiles(ScanContext& scan, const std::string& keyPath) { ScanTextValueFiles(scan, keyPath, HelpFileRule); }

void ScanSharedFiles(ScanContext& scan, const std::string& keyPath) {
    TNTRegistry registry;
    std::vector<std::string> names;
    try {
        if (!scan.OpenKey(keyPath, registry)) return;
        registry.ListValueNames(names);
    } catch (const std::exception&) {
        return;
    }
    for (const std::string& name : names) {
        if (scan.StopRequested()) return;
        // Each value under its own guard: a value that cannot be read as a number is passed over.
        try {
            std::string data;
            scan.RecordIfListed(EntryCheck(6, registry, name, data, scan.Targets()), keyPath, name, data);
        } catch (const std::exception&) {
        }
    }
}

}  // namespace vsc
