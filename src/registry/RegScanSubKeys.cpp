// The checks that look one level below a fixed key and read one value in each sub-key: COM
// in-process servers (category 2), application paths (3) and uninstall command lines (8).
//
// Each call takes the whole sub-key list of its key first and then visits the names in
// enumeration order, opening every sub-key through the context so that the progress follows it. A
// sub-key that has gone since the list was taken cannot be opened and is passed over. A call made
// after a stop request returns before it opens anything. Any error ends the call for its key path;
// what was recorded before it stays.
#include "registry/EntryRules.h"
#include "registry/ScanContext.h"

namespace vsc {

// A problem names the class's InprocServer32 key, the default value, and the data exactly as
// stored. A bare file name is looked for in the system directory only; a path that does not start
// with a drive root is never reported; an existing folder counts as present.
void ScanInprocServers(ScanContext& scan, const std::string& keyPath) {
    try {
        TNTRegistry registry;
        if (scan.StopRequested() || !scan.OpenKey(keyPath, registry)) return;
        std::vector<std::string> names;
        registry.ListSubKeyNames(names);
        for (const std::string& name : names) {
            // Tested before the opening too, so a stop is not held up by a run of classes that
            // have no server key.
            if (scan.StopRequested()) return;
            const std::string server = keyPath + "\\" + name + "\\InprocServer32";
            if (!scan.OpenKey(server, registry)) continue;
            if (scan.StopRequested()) return;
            if (!IsStringKind(registry.ValueKind(""))) continue;
            std::string data;
            scan.RecordIfListed(InprocServerRule("", registry.ReadText(""), data, scan.Targets()), server, "", data);
        }
    } catch (...) {
    }
}

// A problem names the application's key and its default value; the data is the path after
// unquoting and expansion. Only drive-rooted paths with a folder and a dot are tested, and a
// folder does not count as the program file.
void ScanAppPaths(ScanContext& scan, const std::string& keyPath) {
    try {
        TNTRegistry registry;
        if (scan.StopRequested() || !scan.OpenKey(keyPath, registry)) return;
        std::vector<std::string> names;
        registry.ListSubKeyNames(names);
        for (const std::string& name : names) {
            if (scan.StopRequested()) return;
            const std::string app = keyPath + "\\" + name;
            if (!scan.OpenKey(app, registry)) continue;
            if (!IsStringKind(registry.ValueKind(""))) continue;
            std::string data;
            scan.RecordIfListed(AppPathRule("", registry.ReadText(""), data, scan.Targets()), app, "", data);
        }
    } catch (...) {
    }
}

// A problem names the entry's key and its "UninstallString", with the command line as read. The
// extensions are tried in table order; the first one that yields a drive-qualified path to a
// missing file records the entry, so an entry gives at most one problem.
void ScanUninstallEntries(ScanContext& scan, const std::string& keyPath) {
    static const std::string kValue = "UninstallString";
    try {
        TNTRegistry registry;
        if (scan.StopRequested() || !scan.OpenKey(keyPath, registry)) return;
        std::vector<std::string> names;
        registry.ListSubKeyNames(names);
        for (const std::string& name : names) {
            if (scan.StopRequested()) return;
            const std::string entry = keyPath + "\\" + name;
            if (!scan.OpenKey(entry, registry)) continue;
            if (!IsStringKind(registry.ValueKind(kValue))) continue;
            std::string data;
            scan.RecordIfListed(UninstallRule(kValue, registry.ReadText(kValue), data, scan.Targets()), entry, kValue,
                                data);
        }
    } catch (...) {
    }
}

}  // namespace vsc
