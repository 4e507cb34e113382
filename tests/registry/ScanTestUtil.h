// Helpers for tests that call the checks of a scan worker directly.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "registry/RegScanThread.h"

namespace vsc::test {

// One recorded problem, read back from the four lists.
struct Problem {
    std::string KeyPath, ValueName, ValueData, Category;
    bool operator==(const Problem& o) const {
        return std::tie(KeyPath, ValueName, ValueData, Category) ==
               std::tie(o.KeyPath, o.ValueName, o.ValueData, o.Category);
    }
};

inline std::ostream& operator<<(std::ostream& out, const Problem& p) {
    return out << "{" << p.KeyPath << " | " << p.ValueName << " | " << p.ValueData << " | " << p.Category << "}";
}

inline std::vector<Problem> ProblemsOf(const ScanResultLists& lists) {
    std::vector<Problem> out;
    for (std::size_t i = 0; i < lists.Count(); ++i)
        out.push_back({lists.KeyPathList[i], lists.ValueNameList[i], lists.ValueDataList[i], lists.CategoryList[i]});
    return out;
}

// A worker that is never started: the test calls its checks on its own thread.
struct IdleWorker {
    explicit IdleWorker(int category)
        : lists(std::make_shared<ScanResultLists>()),
          worker(true, lists, std::string(kSelectionLength, '0'), "") {
        worker.SetCategoryIndex(category);
    }
    std::vector<Problem> Problems() const { return ProblemsOf(*lists); }

    std::shared_ptr<ScanResultLists> lists;
    TRegScanThread worker;
};

}  // namespace vsc::test
