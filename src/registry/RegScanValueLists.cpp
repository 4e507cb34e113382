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

bool IsTextKind(ValueKind kind) { return kind == vkString || kind == vkExpandString; }

}  // namespace

void TRegScanThread::ScanFonts(const std::string& keyPath) {
    try {
        if (!OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        Registry.ListValueNames(names);
        for (const std::string& name : names) {
            if (StopRequested()) return;
            CurValueName = name;
            if (!IsTextKind(Registry.ValueKind(name))) continue;
            CurValueData = Registry.ReadText(name);
            if (IsBlank(CurValueData) || IsBlank(name)) continue;
            if (Contains(CurValueData, '?')) continue;
            // Font data is a file name in the system's font folder, or a path of its own.
            const std::string path =
                Contains(CurValueData, '\\') ? CurValueData : EnvironmentVariable("windir") + "\\Fonts\\" + CurValueData;
            if (!FileExistsWithDrive(path)) AddProblem();
        }
    } catch (const std::exception&) {
        // Ends the work on this key path; problems recorded so far stay.
    }
}

void TRegScanThread::ScanHelpFiles(const std::string& keyPath) {
    try {
        if (!OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        Registry.ListValueNames(names);
        for (const std::string& name : names) {
            if (StopRequested()) return;
            CurValueName = name;
            if (!IsTextKind(Registry.ValueKind(name))) continue;
            CurValueData = Registry.ReadText(name);
            if (IsBlank(name) || IsBlank(CurValueData)) continue;
            if (Contains(CurValueData, '?')) continue;
            if (Contains(name, '\\')) continue;
            // The value name is the help file, the data the folder that holds it.
            if (!FileExistsWithDrive(CurValueData + "\\" + name)) AddProblem();
        }
    } catch (const std::exception&) {
    }
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
