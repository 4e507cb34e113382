// The category table: the one place each of the registry scan's fourteen categories is described.
// The section tree takes its captions, the worker its progress names, key paths and checks, the
// check before a change (EntryRules) its rules, Repair its actions, and VSysScan its names from
// here; the help pages' lists of keys are checked against it (tests/help).
#pragma once

#include <string>
#include <vector>

#include "registry/EntryRules.h"
#include "registry/NTReg.h"
#include "registry/portable/CategoryNumbers.h"

namespace vsc {

class ScanContext;

// What Repair does to a problem of the category.
enum class RepairAction { ClearValue, DeleteValue, RecycleFile };

// A category's check: one key path of the category, or for the shortcut search one drive ("X:").
using CategoryCheck = void (*)(ScanContext& scan, const std::string& keyPath);

struct CategoryEntry {
    int Number;                         // 1..14, the category's identity everywhere
    const char* Caption;                // the section tree's node, and the end message's name for it
    const char* ProgressName;           // exact text shown while the category runs, and VSysScan's name
    CategoryCheck Check;
    EntryRule Rule;                     // the rule for one entry, the scan's and Repair's
    ValueKind Reads;                    // what a value of the category holds: text, a count (6), none (14)
    RepairAction Action;
    // The fixed key paths the check runs on, in order; where Windows keeps a key apart for 32-bit
    // programs (below Wow6432Node) its twin follows it. Empty for 14, which runs once per drive.
    std::vector<std::string> KeyPaths;
};

// Categories 1 to 14 in order (index 0 is category 1).
const std::vector<CategoryEntry>& CategoryTable();
// The category's entry; null outside 1..14.
const CategoryEntry* CategoryOf(int category);
// The category's progress name and caption; "" outside 1..14.
const char* CategoryProgressName(int category);
const char* CategoryCaption(int category);
// The category's repair action. Outside the table (lists made by hand): a file above it, the
// value emptied below it.
RepairAction ActionOfCategory(int category);

}  // namespace vsc
