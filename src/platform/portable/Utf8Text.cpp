#include "platform/portable/Utf8Text.h"

namespace vsc {

bool IsValidUtf8(const char* text, std::size_t length) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0) low = 0xA0;   // over-long
            if (lead == 0xED) high = 0x9F;  // surrogate halves
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0) low = 0x90;   // over-long
            if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;  // a continuation byte, C0/C1, or F5..FF
        }
        if (length - i <= extra) return false;
        if (p[i + 1] < low || p[i + 1] > high) return false;
        for (std::size_t k = 2; k <= extra; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        i += extra + 1;
    }
    return true;
}

std::size_t Utf8CutLength(const std::string& text, std::size_t room) {
    if (text.size() <= room) return text.size();
    std::size_t length = room;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return length;
}

}  // namespace vsc
