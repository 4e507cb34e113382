#include "diskclean/portable/FileText.h"

namespace vsc {

std::string AttrString(std::uint32_t attributes) {
    static const struct {
        std::uint32_t bit;
        char letter;
    } kLetters[] = {{kAttrArchive, 'A'}, {kAttrDirectory, 'D'}, {kAttrHidden, 'H'},
                    {kAttrReadOnly, 'R'}, {kAttrSystem, 'S'}, {kAttrVolume, 'V'}};
    std::string text;
    for (const auto& l : kLetters) text += (attributes & l.bit) ? l.letter : '-';
    return text;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return std::string();
    if (folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::string ScanSizeText(std::int64_t bytes) {
    if (bytes < 1024000) return std::to_string(bytes / 1024) + " Kb";
    return std::to_string(bytes / 1024000) + " Mb";
}

}  // namespace vsc
