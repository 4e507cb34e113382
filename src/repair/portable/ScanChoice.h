// The text rules of scan control and the results list: turning the section tree into a scan
// selection (its tick rules are in widgets/portable/TickStates.h), and the text and icon of a
// results row.
// Portable (no windows.h).
#pragma once

#include <string>
#include <vector>

#include "registry/portable/CategoryNumbers.h"
#include "widgets/portable/TickStates.h"

namespace vsc {

struct ScanSelection {
    std::string Selection;     // kSelectionLength characters "1"/"0", categories 1 to 13
    std::string DriveLetters;  // one letter per drive to search for broken shortcuts
    // No category chosen and no drive: nothing to scan.
    bool Empty() const { return Selection.find('1') == std::string::npos && DriveLetters.empty(); }
};

// From the tree's nodes in display order (absolute index 0 "My Computer", 1 to 14 the categories,
// 15 and on the drives): category k is chosen when node k is ticked; node 14 itself adds nothing;
// each ticked drive node adds the character two places after the first "(" of its caption.
// Missing nodes count as not ticked; a drive caption without that character adds nothing.
ScanSelection BuildSelection(const std::vector<int>& states, const std::vector<std::string>& captions);

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
