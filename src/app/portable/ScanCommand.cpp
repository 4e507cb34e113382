#include "app/portable/ScanCommand.h"

#include <algorithm>

#include "platform/portable/Text.h"
#include "registry/portable/CategoryNumbers.h"

namespace vsc {

namespace {

int ParseCategory(const std::string& item) {
    const std::string problem = "category '" + item + "' is not a number from 1 to " + std::to_string(kCategoryCount);
    if (item.empty() || item.size() > 2) throw EUsageError(problem);
    int value = 0;
    for (char c : item) {
        if (c < '0' || c > '9') throw EUsageError(problem);
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kCategoryCount) throw EUsageError(problem);
    return value;
}

std::vector<int> ParseCategoryList(const std::string& text) {
    std::vector<int> categories;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        categories.push_back(ParseCategory(text.substr(start, comma == std::string::npos ? comma : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(categories.begin(), categories.end());
    categories.erase(std::unique(categories.begin(), categories.end()), categories.end());
    return categories;
}

std::string ParseDriveLetters(const std::string& text) {
    std::string letters;
    for (char c : text) {
        const char upper = UpperAsciiChar(c);
        if (upper < 'A' || upper > 'Z') throw EUsageError("'" + std::string(1, c) + "' in --drives is not a drive letter");
        if (letters.find(upper) == std::string::npos) letters.push_back(upper);
    }
    return letters;
}

ScanCommandKind CommandKind(const std::string& word) {
    if (word == "registry") return ScanCommandKind::Registry;
    if (word == "junk") return ScanCommandKind::Junk;
    if (word == "restore") return ScanCommandKind::Restore;
    if (word == "--help" || word == "-h" || word == "/?") return ScanCommandKind::Help;
    if (word == "--version") return ScanCommandKind::Version;
    throw EUsageError("unknown command '" + word + "' (see VSysScan --help)");
}

bool Accepts(ScanCommandKind kind, const std::string& option) {
    if (option == "--json") return true;
    if (option == "--no-ignore") return kind == ScanCommandKind::Registry || kind == ScanCommandKind::Junk;
    switch (kind) {
    case ScanCommandKind::Registry:
        return option == "--only" || option == "--drives" || option == "--repair" || option == "--include-uncertain";
    case ScanCommandKind::Junk: return option == "--drives" || option == "--clean";
    default: return false;
    }
}

bool TakesValue(const std::string& option) { return option == "--only" || option == "--drives"; }

}  // namespace

ScanCommand ParseScanCommand(const std::vector<std::string>& args) {
    if (args.empty()) throw EUsageError("no command given (see VSysScan --help)");
    ScanCommand command;
    command.Kind = CommandKind(args[0]);
    if (command.Kind == ScanCommandKind::Help || command.Kind == ScanCommandKind::Version) {
        if (args.size() > 1) throw EUsageError("'" + args[0] + "' takes no further arguments");
        return command;
    }
    command.Change = command.Kind == ScanCommandKind::Restore;

    std::vector<std::string> seen;
    bool hasFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (command.Kind != ScanCommandKind::Restore) throw EUsageError("unexpected argument '" + arg + "'");
            if (hasFile) throw EUsageError("restore takes one backup file, not '" + arg + "' as well");
            if (arg.empty()) throw EUsageError("the backup file name is empty");
            command.RestoreFile = arg;
            hasFile = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string option = arg.substr(0, equals);
        if (!Accepts(command.Kind, option)) throw EUsageError("unknown option '" + option + "' for " + args[0]);
        if (std::find(seen.begin(), seen.end(), option) != seen.end())
            throw EUsageError("option '" + option + "' is given twice");
        seen.push_back(option);

        std::string value;
        if (TakesValue(option)) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw EUsageError("option '" + option + "' needs a value");
            }
        } else if (equals != std::string::npos) {
            throw EUsageError("option '" + option + "' takes no value");
        }

        if (option == "--json") {
            command.Json = true;
        } else if (option == "--repair" || option == "--clean") {
            command.Change = true;
        } else if (option == "--include-uncertain") {
            command.IncludeUncertain = true;
        } else if (option == "--no-ignore") {
            command.NoIgnore = true;
        } else if (option == "--only") {
            command.HasOnly = true;
            command.Categories = ParseCategoryList(value);
        } else {
            command.HasDrives = true;
            command.Drives = ParseDriveLetters(value);
        }
    }
    if (command.Kind == ScanCommandKind::Restore && !hasFile) throw EUsageError("restore needs the backup file to write back");
    if (command.IncludeUncertain && !command.Change) throw EUsageError("option '--include-uncertain' goes with --repair");
    return command;
}

bool ScansCategory(const ScanCommand& command, int category) {
    if (category < 1 || category > kCategoryCount) return false;
    if (!command.HasOnly) return true;
    return std::find(command.Categories.begin(), command.Categories.end(), category) != command.Categories.end();
}

std::string SelectionString(const ScanCommand& command) {
    std::string selection;
    for (int k = 1; k <= kSelectionLength; ++k) selection.push_back(ScansCategory(command, k) ? '1' : '0');
    return selection;
}

std::string ChosenDrives(const ScanCommand& command, const std::string& listed, const std::string& defaults) {
    for (char letter : command.Drives) {
        if (listed.find(letter) == std::string::npos)
            throw EUsageError("drive " + std::string(1, letter) + ": is not listed (listed drives: " +
                              (listed.empty() ? std::string("none") : listed) + ")");
    }
    if (command.Kind == ScanCommandKind::Registry && !ScansCategory(command, kShortcutCategory)) return std::string();
    return command.HasDrives ? command.Drives : defaults;
}

std::string ScanUsageText() {
    return "VSysScan: the scans of Vemo System Cleaner from a console, for scripted use.\r\n"
           "\r\n"
           "  VSysScan registry [--only N[,N...]] [--drives LETTERS] [--no-ignore] [--json]\r\n"
           "                   [--repair [--include-uncertain]]\r\n"
           "      Scans the registry and lists every problem with the reason it is listed.\r\n"
           "      --only picks categories 1 to 14 (default: all), --drives the drives searched\r\n"
           "      for broken shortcuts (category 14; default: the drives the window ticks).\r\n"
           "      --repair repairs every certain problem found, with a backup in the folder\r\n"
           "      \"backup\" beside the program. A problem whose file is on a drive that is not\r\n"
           "      there, a removable, CD-ROM or network drive, or a network path is not certain:\r\n"
           "      it is listed but left, unless --include-uncertain is given as well.\r\n"
           "  VSysScan junk [--drives LETTERS] [--no-ignore] [--json] [--clean]\r\n"
           "      Searches the drives for junk files with the filters and options of \"Config.Ini\"\r\n"
           "      beside the program. --clean removes every file found, as DleteTo says.\r\n"
           "  VSysScan restore FILE [--json]\r\n"
           "      Writes a backup file back into the registry.\r\n"
           "  VSysScan --help | --version\r\n"
           "\r\n"
           "Both scans pass over what the ignore list of \"Config.Ini\" holds, and count it;\r\n"
           "--no-ignore scans everything.\r\n"
           "\r\n"
           "Exit codes: 0 nothing found (or only problems that are not certain), or everything\r\n"
           "asked for was done; 1 certain problems or files found and not changed; 2 usage error\r\n"
           "or failure before any change; 3 some changes failed.\r\n"
           "--repair, --clean and restore refuse to run while Vemo System Cleaner is open.\r\n";
}

}  // namespace vsc
