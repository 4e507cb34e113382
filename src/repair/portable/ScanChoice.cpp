#include "repair/portable/ScanChoice.h"

#include <algorithm>

namespace vsc {

ScanSelection BuildSelection(const std::vector<int>& states, const std::vector<std::string>& captions) {
    constexpr std::size_t kFirstCategory = 1, kLastSelected = kSelectionLength, kFirstDrive = kCategoryCount + 1;
    ScanSelection result;
    for (std::size_t node = kFirstCategory; node <= kLastSelected; ++node)
        result.Selection += (node < states.size() && states[node] == tcsTicked) ? '1' : '0';
    for (std::size_t node = kFirstDrive; node < states.size(); ++node) {
        if (states[node] != tcsTicked || node >= captions.size()) continue;
        const std::string& caption = captions[node];
        const std::size_t paren = caption.find('(');
        if (paren != std::string::npos && paren + 2 < caption.size()) result.DriveLetters += caption[paren + 2];
    }
    return result;
}

std::string InvalidValueText(const std::string& category, const std::string& valueName,
                             const std::string& valueData) {
    if (category == "6") return valueName;
    if (category == "5") return valueData + valueName;
    return valueData;
}

int RowIconOf(const std::string& invalidValueText) {
    return std::count(invalidValueText.begin(), invalidValueText.end(), '.') > 1 ? kIconNotSafe : kIconSafe;
}

std::string RowAccessibleDescription(const std::string& invalidValueText, const std::string& reason, int icon) {
    return "Invalid Value: " + invalidValueText + (reason.empty() ? "" : ", Reason: " + reason) +
           (icon == kIconNotSafe ? ", not fully safe to delete" : ", safe to delete");
}

}  // namespace vsc
