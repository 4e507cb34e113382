#include "app/ScanConsole.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <stdexcept>

#include "app/portable/ScanCommand.h"
#include "app/portable/ScanReport.h"
#include "diskclean/Drives.h"
#include "diskclean/JunkFileClean.h"
#include "diskclean/SFolders.h"
#include "platform/CodePage.h"
#include "platform/Handles.h"
#include "platform/InstanceMutex.h"
#include "platform/portable/Utf8Text.h"
#include "registry/portable/ScanChoice.h"
#include "registry/PublicOpt.h"
#include "registry/RegScanThread.h"
#include "repair/BackupFiles.h"
#include "repair/Repair.h"
#include "repair/Restore.h"
#include "settings/IgnoreListStore.h"
#include "settings/Settings.h"

namespace vsc {

namespace {

std::function<void(TRegScanThread&)>& WorkerPreparer() {
    static std::function<void(TRegScanThread&)> preparer;
    return preparer;
}

// A run that cannot go ahead, or failed before it changed anything: exit code 2.
class ERunRefused : public std::runtime_error {
public:
    explicit ERunRefused(const std::string& message) : std::runtime_error(message) {}
};

// A registry scan that could not be finished: exit code 2 as well, with one line per section that
// an error ended, in the words of the window's end message. Nothing is reported or repaired.
class EScanUnfinished : public std::runtime_error {
public:
    explicit EScanUnfinished(std::vector<ScanResultLists::Failure> failures)
        : std::runtime_error(UnfinishedText(failures)), Failures(std::move(failures)) {}
    std::vector<ScanResultLists::Failure> Failures;
};

void WriteAll(HANDLE handle, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

// The report's bytes go out unchanged (text in the process code page, JSON in UTF-8), except to a
// console, which is given the same text in UTF-16 whatever its own code page is.
void WriteOut(const std::string& text, UINT codePage = CP_ACP) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = ToWide(text, codePage);
        DWORD written = 0;
        if (WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) return;
    }
    WriteAll(out, text);
}

// One line on standard error: "VSysScan: " and the message, line breaks shown as blanks.
// Lines of the ignore list that cannot be read: said on standard error, one line each; the run
// goes on without them.
void WarnUnreadLines(const TIgnoreList* list) {
    if (!list || list->UnreadLines.empty()) return;
    std::string text = list->UnreadLines, out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        out += "VSysScan: ignore list of Config.Ini, passed over: " + text.substr(start, end - start) + "\r\n";
        start = end + 2;
    }
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), out);
}

int Refuse(const std::string& message) {
    std::string line = "VSysScan: " + message;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), line + "\r\n");
    return 2;
}

// The progress line on standard error, shown only when standard error is a console: one line,
// rewritten in place, at most every 100 ms.
class ProgressLine {
public:
    ProgressLine() : handle_(GetStdHandle(STD_ERROR_HANDLE)) {
        DWORD mode = 0;
        CONSOLE_SCREEN_BUFFER_INFO info;
        enabled_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode) &&
                   GetConsoleScreenBufferInfo(handle_, &info);
        if (enabled_) width_ = std::max(20, info.dwSize.X - 1);
    }
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const std::string& text) {
        if (!enabled_) return;
        const ULONGLONG now = GetTickCount64();
        if (shown_ && now - last_ < 100) return;
        last_ = now;
        shown_ = true;
        std::string line = text.substr(0, static_cast<std::size_t>(width_));
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        line.resize(static_cast<std::size_t>(width_), ' ');
        WriteAll(handle_, "\r" + line + "\r");
    }
    void Clear() {
        if (!enabled_ || !shown_) return;
        WriteAll(handle_, "\r" + std::string(static_cast<std::size_t>(width_), ' ') + "\r");
        shown_ = false;
    }

private:
    HANDLE handle_;
    bool enabled_ = false;
    bool shown_ = false;
    int width_ = 79;
    ULONGLONG last_ = 0;
};

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* ActionText(RepairAction action) {
    switch (action) {
    case RepairAction::ClearValue: return "empty value";
    case RepairAction::DeleteValue: return "delete value";
    case RepairAction::RecycleFile: return "recycle file";
    }
    return "";
}

std::string ChosenDrivesOf(const ScanCommand& command) {
    const std::string listed = ListLocalDrives();
    return ChosenDrives(command, listed, DefaultTickedDrives(listed));
}

ScanReport RunRegistry(const ScanCommand& command, ProgressLine& progress) {
    const ScanSelection selection{SelectionString(command), ChosenDrivesOf(command)};
    if (selection.Empty()) throw ERunRefused("Please select a section to scan before continuing!");

    auto lists = std::make_shared<ScanResultLists>();
    int ignored = 0;
    {
        TRegScanThread worker(true, lists, selection.Selection, selection.DriveLetters);
        const std::shared_ptr<const TIgnoreList> ignore =
            command.NoIgnore ? nullptr : LoadIgnoreList(DefaultIniFileName());
        worker.SetPassOver(PassOverTestOf(ignore));
        WarnUnreadLines(ignore.get());
        if (WorkerPreparer()) WorkerPreparer()(worker);
        worker.Start();
        while (!worker.WaitFor(100)) {
            const ScanProgress now = worker.Progress();
            progress.Show(now.RootKeyText + ": " + now.RegKeyText);
        }
        ignored = worker.IgnoredCount();
    }
    progress.Clear();
    if (!lists->Failures.empty()) throw EScanUnfinished(lists->Failures);

    ScanReport report;
    report.Kind = ReportKind::Registry;
    report.Count = static_cast<int>(lists->Count());
    report.Ignored = ignored;
    for (std::size_t i = 0; i < lists->Count(); ++i) {
        ReportProblem p;
        p.Category = std::atoi(lists->CategoryList[i].c_str());
        p.CategoryName = CategoryProgressName(p.Category);
        p.KeyPath = lists->KeyPathList[i];
        p.ValueName = lists->ValueNameList[i];
        p.Data = lists->ValueDataList[i];
        p.InvalidValue = InvalidValueText(lists->CategoryList[i], p.ValueName, p.Data);
        p.Action = ActionText(ActionOfCategory(p.Category));
        p.Certain = lists->Certain(i);
        p.Reason = lists->Reason(i);
        report.Problems.push_back(std::move(p));
    }
    if (!command.Change) return report;

    report.Changes = true;
    // As the window leaves its rows: only what is certainly gone, unless asked for all.
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < lists->Count(); ++i)
        if (command.IncludeUncertain || lists->Certain(i)) rows.push_back(i);
    if (rows.empty()) return report;
    const std::string folder = ProgramBackupFolder();
    const RepairResult result = RepairProblems(*lists, rows, folder);
    if (result.BackupFailed)
        throw ERunRefused("Repair failing! The backup could not be written in " + folder + "; nothing was changed.");
    report.Changed = result.Repaired;
    if (!result.BackupFile.empty()) report.Backup = FileNameOf(result.BackupFile);
    for (const RepairFailure& f : result.Failures) {
        ReportFailure failure;
        failure.KeyPath = lists->KeyPathList[f.Row];
        failure.ValueName = lists->ValueNameList[f.Row];
        failure.Reason = f.Reason;
        report.Failed.push_back(std::move(failure));
    }
    for (std::size_t row : result.ChangedSinceScanRows) {
        ReportFailure left;
        left.KeyPath = lists->KeyPathList[row];
        left.ValueName = lists->ValueNameList[row];
        report.ChangedSinceScan.push_back(std::move(left));
    }
    return report;
}

ScanReport RunJunk(const ScanCommand& command, ProgressLine& progress) {
    const std::string drives = ChosenDrivesOf(command);
    // The same reading, in the same order, as the window's Scan: a switch that is not a boolean,
    // or an invalid mask, stops the run before any folder is read.
    TSearchFolders search;
    const std::string deleteTo = ConfigureJunkSearch(search, DefaultIniFileName(), drives);
    search.UpdateList = true;
    search.DoRecursive = true;
    search.Messages = false;
    if (command.NoIgnore) search.Ignore.reset();
    WarnUnreadLines(search.Ignore.get());
    search.OnProcess = [&progress](TSearchFolders&, const std::string& dir, int count, std::int64_t, int, int, int) {
        progress.Show(std::to_string(count) + " files: " + dir);
    };
    search.Search();
    progress.Clear();

    ScanReport report;
    report.Kind = ReportKind::Junk;
    std::vector<TFileItem>& files = search.FoundFiles();
    report.Count = static_cast<int>(files.size());
    report.Ignored = search.CountIgnored();
    for (const TFileItem& f : files)
        report.Files.push_back({f.Name, f.Path, f.Size, PackedTimeText(f.Time), f.FileAttrStr});
    if (!command.Change) return report;

    report.Changes = true;
    // Every file found, as "Clean Selected" with every row checked.
    for (TFileItem& f : files) f.Checked = 1;
    const CleanOutcome outcome = CleanFoundFiles(files, deleteTo != "1");
    report.Changed = outcome.Cleaned;
    for (const CleanFailure& f : outcome.Failures) {
        ReportFailure failure;
        failure.Name = f.Name;
        failure.Folder = f.Folder;
        failure.Reason = f.Reason;
        report.Failed.push_back(std::move(failure));
    }
    return report;
}

ScanReport RunRestore(const ScanCommand& command) {
    const std::string& path = command.RestoreFile;
    const BackupRestoreOutcome outcome = RestoreAndRetireBackup(path);
    if (outcome.ReadFailed) throw ERunRefused("cannot read the backup file '" + path + "'");
    if (outcome.NoRecords) throw ERunRefused("'" + path + "' holds no backup record; nothing was written");
    const RestoreResult& result = outcome.Result;
    ScanReport report;
    report.Kind = ReportKind::Restore;
    report.Count = outcome.Records;
    report.Changes = true;
    report.Backup = FileNameOf(path);
    report.Changed = result.Restored;
    for (const RestoreFailure& f : result.Failures) {
        ReportFailure failure;
        failure.KeyPath = f.Record.KeyPath;
        failure.ValueName = f.Record.ValueName;
        failure.Reason = f.Reason;
        report.Failed.push_back(std::move(failure));
    }
    return report;
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    // Under the UTF-8 code page the text is UTF-8 already: converting it again would spoil it.
    if (GetACP() == CP_UTF8 && IsValidUtf8(ansi)) return ansi;
    return FromWide(ToWide(ansi), CP_UTF8);
}

void SetScanConsoleWorkerPreparer(std::function<void(TRegScanThread&)> preparer) {
    WorkerPreparer() = std::move(preparer);
}

int RunScanConsole(const std::vector<std::string>& args) {
    try {
        const ScanCommand command = ParseScanCommand(args);
        if (command.Kind == ScanCommandKind::Help) {
            WriteOut(ScanUsageText());
            return 0;
        }
        if (command.Kind == ScanCommandKind::Version) {
            WriteOut(std::string("VSysScan ") + kScanToolVersion + "\r\n");
            return 0;
        }
        std::unique_ptr<TInstanceMutex> lock;
        if (command.Change) {
            lock = std::make_unique<TInstanceMutex>();
            if (!lock->Taken()) throw ERunRefused("Vemo System Cleaner is running; close it first, nothing was changed");
        }
        // Never ask the user about a drive without a disk: a folder that cannot be read is passed over.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        ComApartment com;
        ProgressLine progress;
        ScanReport report;
        switch (command.Kind) {
        case ScanCommandKind::Registry: report = RunRegistry(command, progress); break;
        case ScanCommandKind::Junk: report = RunJunk(command, progress); break;
        default: report = RunRestore(command); break;
        }
        if (command.Json)
            WriteOut(ReportJson(report, AnsiToUtf8), CP_UTF8);
        else
            WriteOut(ReportText(report));
        return ReportExitCode(report);
    } catch (const EScanUnfinished& e) {
        for (const ScanResultLists::Failure& failure : e.Failures) Refuse(UnfinishedText({failure}));
        return 2;
    } catch (const std::exception& e) {
        return Refuse(e.what());
    }
}

}  // namespace vsc
