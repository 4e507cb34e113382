#include "ui/portable/SectionTree.h"

#include "widgets/portable/TickStates.h"

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

}  // namespace vsc
