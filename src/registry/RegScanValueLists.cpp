// The value-list checks: categories 4 (fonts), 5 (help files) and 6 (shared files). Each looks at
// the values of one key, never below it, and records a value whose file is missing.
//
// A "?" in the text a check would turn into a file name marks a name that did not survive the
// conversion to the ANSI code page; acting on it would test (and later repair) the wrong file, so
// such a value is passed over.
#include <exception>
#include <string>
#include <vector>

#include "registry/PublicOpt.h"
#include "registry/RegScanThread.h"

namespace vsc {

namespace {

// The frame of the fonts and help checks: every value of the key with string data, neither its
// name nor its data blank and no '?' in the data, is handed to fileOf, which gives the file the
// value names, or "" to pass the value over. A file that does not exist is recorded. An error
// ends the work on this key path; problems recorded so far stay.
template <typename FileOf>
void ScanTextValueFiles(TRegScanThread& scan, const std::string& keyPath, FileOf fileOf) {
    try {
        if (!scan.OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        scan.Registry.ListValueNames(names);
        for (const std::string& name : names) {
            if (scan.StopRequested()) return;
            scan.CurValueName = name;
            if (!IsStringKind(scan.Registry.ValueKind(name))) continue;
            scan.CurValueData = scan.Registry.ReadText(name);
            if (IsBlank(name) || IsBlank(scan.CurValueData)) continue;
            if (Contains(scan.CurValueData, '?')) continue;
            const std::string file = fileOf(name, scan.CurValueData);
            if (!file.empty() && !FileExistsWithDrive(file)) scan.AddProblem();
        }
    } catch (const std::exception&) {
    }
}

}  // namespace

void TRegScanThread::ScanFonts(const std::string& keyPath) {
    // Font data is a file name in the system's font folder, or a path of its own.
    ScanTextValueFiles(*this, keyPath, [](const std::string&, const std::string& data) {
        return Contains(data, '\\') ? data : EnvironmentVariable("windir") + "\\Fonts\\" + data;
    });
}

void TRegScanThread::ScanHelpFiles(const std::string& keyPath) {
    // The value name is the help file, the data the folder that holds it.
    ScanTextValueFiles(*this, keyPath, [](const std::string& name, const std::string& data) {
        return Contains(name, '\\') ? std::string() : data + "\\" + name;
    });
}

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
            if (IsBlank(name)) continue;
            if (Contains(name, '?')) continue;
            CurValueData = std::to_string(Registry.ReadNumber(name));
            if (Trim(name).size() <= 5 || name[1] != ':' || !HasExtDot(name)) continue;
            if (!FileExistsWithDrive(name)) AddProblem();
        } catch (const std::exception&) {
        }
    }
}

}  // namespace vsc
