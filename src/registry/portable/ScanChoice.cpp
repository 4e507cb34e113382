#include "registry/portable/ScanChoice.h"

#include <algorithm>

namespace vsc {

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
