// What the registry page tells the user when a repair has run: the error box (what was left, and a
// backup that is not safely on disk) and the closing message.
#pragma once

#include <string>

#include "registry/RegScanThread.h"
#include "repair/Repair.h"

namespace vsc {

struct RepairReport {
    std::string Error;    // shown first, with the error icon; "" when nothing went wrong
    std::string Closing;  // the count of what was repaired, shown last
};

// The messages for a repair that ran (not for NothingChecked or BackupFailed, which end before any
// change). lists are the results the rows of result refer to; administrator tells whether the
// program runs elevated, for the advice on refused entries.
RepairReport ReportOfRepair(const RepairResult& result, const ScanResultLists& lists, bool administrator);

}  // namespace vsc
