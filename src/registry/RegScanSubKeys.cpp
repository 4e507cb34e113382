// The checks that look one level below a fixed key and read one value in each sub-key: COM
// in-process servers (category 2), application paths (3) and uninstall command lines (8).
//
// Each call takes the whole sub-key list of its key first and then visits the names in
// enumeration order, opening every sub-key with OpenScanKey so that the progress follows it. A
// sub-key that has gone since the list was taken cannot be opened and is passed over. A call made
// after a stop request returns before it opens anything. Any error ends the call for its key path;
// what was recorded before it stays.
#include "registry/EntryRules.h"
#include "registry/RegScanThread.h"

namespace vsc {

// A problem names the class's InprocServer32 key, the default value, and the data exactly as
// stored. A bare file name is looked for in the system directory only; a path that does not start
// with a drive root is never reported; an existing folder counts as present.
void TRegScanThread::ScanInprocServers(const std::string& keyPath) {
    try {
        if (StopRequested() || !OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        Registry.ListSubKeyNames(names);
        CurValueName.clear();
        for (const std::string& name : names) {
            // Tested before the opening too, so a stop is not held up by a run of classes that
            // have no server key.
            if (StopRequested()) return;
            if (!OpenScanKey(keyPath + "\\" + name + "\\InprocServer32")) continue;
            if (StopRequested()) return;
            if (!IsStringKind(Registry.ValueKind(""))) continue;
            RecordIfListed(TextEntryCheck(2, CurValueName, Registry.ReadText(""), CurValueData, Targets));
        }
    } catch (...) {
    }
}

// A problem names the application's key and its default value; the data is the path after
// unquoting and expansion. Only drive-rooted paths with a folder and a dot are tested, and a
// folder does not count as the program file.
void TRegScanThread::ScanAppPaths(const std::string& keyPath) {
    try {
        if (StopRequested() || !OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        Registry.ListSubKeyNames(names);
        CurValueName.clear();
        for (const std::string& name : names) {
            if (StopRequested()) return;
            if (!OpenScanKey(keyPath + "\\" + name)) continue;
            if (!IsStringKind(Registry.ValueKind(""))) continue;
            RecordIfListed(TextEntryCheck(3, CurValueName, Registry.ReadText(""), CurValueData, Targets));
        }
    } catch (...) {
    }
}

// A problem names the entry's key and its "UninstallString", with the command line as read. The
// extensions are tried in table order; the first one that yields a drive-qualified path to a
// missing file records the entry, so an entry gives at most one problem.
void TRegScanThread::ScanUninstallEntries(const std::string& keyPath) {
    try {
        if (StopRequested() || !OpenScanKey(keyPath)) return;
        std::vector<std::string> names;
        Registry.ListSubKeyNames(names);
        for (const std::string& name : names) {
            if (StopRequested()) return;
            if (!OpenScanKey(keyPath + "\\" + name)) continue;
            CurValueName = "UninstallString";
            if (!IsStringKind(Registry.ValueKind(CurValueName))) continue;
            RecordIfListed(TextEntryCheck(8, CurValueName, Registry.ReadText(CurValueName), CurValueData, Targets));
        }
    } catch (...) {
    }
}

}  // namespace vsc
