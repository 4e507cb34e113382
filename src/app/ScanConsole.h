// VSysScan.exe, the console program: the registry scan and repair, the junk-file scan and clean,
// and restore, run from a command line without a window (the commands are in
// app/portable/ScanCommand.h, the report in app/portable/ScanReport.h).
//
// How it works. The same engine as the window does the work: TRegScanThread runs the registry
// scan on its own thread while the calling thread waits for it and shows its progress;
// RepairProblems repairs every problem found with the backup written first; TSearchFolders runs
// the junk search on the calling thread with the settings of "Config.Ini", without dispatching
// messages (there is no window to keep alive); CleanFoundFiles and RestoreAndRetireBackup, the
// window's own cleaning and restore, do the rest, and the console only reports their outcome.
// Standard output gets only the report; standard error gets one line for a run that cannot go
// ahead, and the progress line when it is a console.
//
// Runs that change something (--repair, --clean, restore) take the window's single-instance mutex
// (platform/InstanceMutex.h) for their whole run: they refuse while the window runs, and the
// window does not start while they run.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vsc {

class TRegScanThread;

// Runs the command given by the arguments after the program name and returns the exit code.
int RunScanConsole(const std::vector<std::string>& args);

// Called with the worker of each registry scan before it starts (tests make a check fail this
// way, as they do through the registry page's). Empty by default.
void SetScanConsoleWorkerPreparer(std::function<void(TRegScanThread&)> preparer);

// The 8-bit text of the process code page as UTF-8 ("" stays ""); under the UTF-8 code page,
// valid UTF-8 comes back unchanged.
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace vsc
