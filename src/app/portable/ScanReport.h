// The report of a VSysScan.exe run: what it found, what it changed, and the two forms it is
// printed in (tab-separated text lines, or one JSON document), with the run's exit code.
// Portable (no windows.h). The texts are 8-bit texts of the system's code page; the JSON writer
// takes the conversion to UTF-8 as a function, which the console glue supplies.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vsc {

extern const char* const kScanToolVersion;  // VSC_VERSION, from the file VERSION

struct ReportProblem {
    int Category = 0;
    std::string CategoryName;  // the category's progress name
    std::string KeyPath;
    std::string ValueName;
    std::string Data;
    std::string InvalidValue;  // the "Invalid Value" column of the results list
    std::string Action;        // "empty value", "delete value" or "recycle file"
    bool Certain = true;       // the target is certainly missing (otherwise it could not be reached)
    std::string Reason;        // why the problem is listed, in a few words
};

struct ReportFile {
    std::string Name;
    std::string Folder;  // ends in a backslash
    std::int64_t Size = 0;
    std::string Time;    // "YYYY-MM-DD HH:MM:SS", local time; "" when the file has no valid time
    std::string Attributes;
};

// An entry or file that could not be changed. Registry and restore runs name it by KeyPath and
// ValueName, junk runs by Name and Folder.
struct ReportFailure {
    std::string KeyPath, ValueName;
    std::string Name, Folder;
    std::string Reason;
};

enum class ReportKind { Registry, Junk, Restore };

struct ScanReport {
    ReportKind Kind = ReportKind::Registry;
    int Count = 0;  // problems, files, or the backup file's entries
    int Ignored = 0;  // registry and junk: entries passed over because the ignore list holds them
    std::vector<ReportProblem> Problems;
    std::vector<ReportFile> Files;
    // Set when the run changed something or was asked to (repair, clean, restore).
    bool Changes = false;
    std::optional<std::string> Backup;  // backup file name, without folder
    int Changed = 0;
    std::vector<ReportFailure> Failed;
    // Registry repair: entries left as they are because they changed since the scan (KeyPath and
    // ValueName; for a shortcut its path and "LinkFiles").
    std::vector<ReportFailure> ChangedSinceScan;
};

// 0: nothing found (for a registry report: no certain problem), or every change asked for was
// made; 1: found and not changed (report only); 3: some changes failed. (2, the usage error, never
// comes with a report.) A repair leaves the problems that are not certain unless asked: they do
// not make a failure.
int ReportExitCode(const ScanReport& report);

// One line per problem or file, fields separated by tabs (a problem's reason last), then a count line (with " (N ignored)"
// when the scan passed entries over). After changes: the
// backup file's name ("backup" and the name), one "failed" line per failure, one "changed" line per
// entry left because it changed since the scan, and a last count line.
// Lines end in CR LF. Control characters inside a field (tabs, line breaks) are shown as blanks.
std::string ReportText(const ScanReport& report);

// The report as one JSON document, every text passed through toUtf8 first. Ends in CR LF.
std::string ReportJson(const ScanReport& report, const std::function<std::string(const std::string&)>& toUtf8);

// A JSON string literal (with its quotes) for UTF-8 text: quote, backslash and control characters
// escaped; other bytes as they are.
std::string JsonString(const std::string& utf8);

// A packed DOS date-time (date in the high 16 bits) as "YYYY-MM-DD HH:MM:SS"; "" when the month
// or day is out of range.
std::string PackedTimeText(std::uint32_t packed);

}  // namespace vsc
