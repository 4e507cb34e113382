// The numbers of the registry scan's categories that text logic needs without the category table
// itself (registry/Categories.h, which describes each category and is checked against these).
// Portable (no windows.h).
#pragma once

namespace vsc {

// Categories are numbered 1 to kCategoryCount, in the order the scan runs them.
constexpr int kCategoryCount = 14;
// The last category searches drives for broken shortcuts instead of reading the registry; its
// problems name a file, every other category's a registry value.
constexpr int kShortcutCategory = kCategoryCount;
// Characters of the selection string: one per category 1..13 (the drive letters choose 14).
constexpr int kSelectionLength = kShortcutCategory - 1;

}  // namespace vsc
