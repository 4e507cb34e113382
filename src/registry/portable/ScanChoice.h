// What a scan is asked to cover, and how a problem reads in a results row (its text, icon and
// accessible description), for the window's list and the console's report alike. The section tree
// turns its ticks into a selection in ui/portable/SectionTree.h.
// Portable (no windows.h).
#pragma once

#include <string>
#include <vector>

#include "registry/portable/CategoryNumbers.h"

namespace vsc {

struct ScanSelection {
    std::string Selection;     // kSelectionLength characters "1"/"0", categories 1 to 13
    std::string DriveLetters;  // one letter per drive to search for broken shortcuts
    // No category chosen and no drive: nothing to scan.
    bool Empty() const { return Selection.find('1') == std::string::npos && DriveLetters.empty(); }
};

// The "Invalid Value" column of a problem: the value name for category 6, data and name run
// together for category 5, the data for every other category.
std::string InvalidValueText(const std::string& category, const std::string& valueName,
                             const std::string& valueData);

// Icons of the results rows.
constexpr int kIconSafe = 0;       // blue: safe to delete
constexpr int kIconNotSafe = 1;    // orange: not fully safe to delete
// Orange when the "Invalid Value" text holds more than one ".", else blue.
int RowIconOf(const std::string& invalidValueText);

// What a screen reader adds to a results row beside its path (the row's accessible description):
// the "Invalid Value" and "Reason" columns, named as the system's own description of a row names
// them, and the safety that the row's icon shows by colour alone, for example
// "Invalid Value: C:\Gone\v1.2.exe, Reason: file not found, not fully safe to delete". An empty
// reason is left out.
std::string RowAccessibleDescription(const std::string& invalidValueText, const std::string& reason, int icon);

}  // namespace vsc
