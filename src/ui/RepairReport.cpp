#include "ui/RepairReport.h"

#include <cstdlib>
#include <vector>

#include "repair/portable/RefusedChanges.h"

namespace vsc {

RepairReport ReportOfRepair(const RepairResult& result, const ScanResultLists& lists, bool administrator) {
    RepairReport report;
    if (result.Failed > 0) {
        // Named, with the reason, so that the user knows what is left and what may help.
        std::vector<RefusedEntry> refused;
        for (const RepairFailure& f : result.Failures)
            refused.push_back({lists.KeyPathList[f.Row], lists.ValueNameList[f.Row],
                               ActionOfCategory(std::atoi(lists.CategoryList[f.Row].c_str())) ==
                                   RepairAction::RecycleFile,
                               f.Reason});
        report.Error = "there are not all selected problems have been Deleted successfully!\r\n\r\nLeft as they are:\r\n" +
                       RefusedChangesText(refused, administrator);
    }
    if (result.BackupNotOnDisk) {
        if (!report.Error.empty()) report.Error += "\r\n";
        report.Error += "The backup file " + result.BackupFile +
                        " could not be flushed to disk. It holds the changed values, but a power cut before "
                        "the system writes it out could lose them: copy it to another disk to keep it safe.";
    }
    report.Closing = "Total " + std::to_string(result.Repaired) + " problems have been repaired successfully!";
    if (result.ChangedSinceScan > 0)
        report.Closing += "\r\n" + std::to_string(result.ChangedSinceScan) +
                          " problems were left as they are, because they changed since the scan.";
    return report;
}

}  // namespace vsc
