// The command line of VSysScan.exe, the console program that runs the scans without a window:
//
//     VSysScan.exe registry [--only N[,N...]] [--drives LETTERS] [--no-ignore] [--json]
//                           [--repair [--include-uncertain]]
//     VSysScan.exe junk [--drives LETTERS] [--no-ignore] [--json] [--clean]
//     VSysScan.exe restore FILE [--json]
//     VSysScan.exe --help | --version
//
// An option's value is the next argument or follows "=" ("--only=3,7"). Portable (no windows.h):
// what needs the system (which drives exist, whether the restore file can be read) is checked by
// the console glue (app/ScanConsole.h).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace vsc {

// A command line that cannot be run; the message names the problem in one line.
class EUsageError : public std::runtime_error {
public:
    explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};

enum class ScanCommandKind { Help, Version, Registry, Junk, Restore };

struct ScanCommand {
    ScanCommandKind Kind = ScanCommandKind::Help;
    bool Json = false;
    bool Change = false;          // --repair (registry) or --clean (junk); always set for restore
    bool NoIgnore = false;        // --no-ignore: the ignore list of "Config.Ini" is not used
    bool IncludeUncertain = false;  // --include-uncertain (with --repair): problems not certain too
    bool HasOnly = false;         // --only was given
    std::vector<int> Categories;  // with --only: the categories 1..14, ascending, each once
    bool HasDrives = false;       // --drives was given (it may be empty: no drive)
    std::string Drives;           // with --drives: upper-case letters, each once, in the order given
    std::string RestoreFile;      // restore: the backup file as given
};

// Parses the arguments after the program name. Throws EUsageError for an unknown command or
// option, a missing or repeated option value, --include-uncertain without --repair, a category
// that is not a number from 1 to 14, a character of --drives that is not a letter, or a restore
// without exactly one file.
ScanCommand ParseScanCommand(const std::vector<std::string>& args);

// The categories a registry run scans: those of --only, or all fourteen.
bool ScansCategory(const ScanCommand& command, int category);

// The selection string of categories 1..13 ("1" chosen, "0" not), as the scan worker takes it.
std::string SelectionString(const ScanCommand& command);

// The drive letters a run uses: --drives when given, otherwise the defaults. For a registry run
// that does not scan category 14 the result is empty. Throws EUsageError naming the first letter
// of --drives that is not among the listed drives.
std::string ChosenDrives(const ScanCommand& command, const std::string& listed, const std::string& defaults);

// The text of --help.
std::string ScanUsageText();

}  // namespace vsc
