#include "platform/portable/Mask.h"

#include <cstring>

namespace vsc {

namespace {

std::string InvalidMaskMessage(const std::string& mask, std::size_t position) {
    return "'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")";
}

// Does the character satisfy the step, as the scan after a "*" tests it? The end marker is
// satisfied by no character; an any-character step never follows a "*".
bool Satisfies(const MaskStep& step, unsigned char c) {
    const unsigned char u = UpperAsciiChar(c);
    switch (step.Kind) {
    case mskLiteral: return step.Literal != 0 && u == step.Literal;
    case mskSet: return step.Chars.test(u) != step.Negated;
    case mskAnyChar: return true;
    }
    return false;
}

}  // namespace

EMaskException::EMaskException(const std::string& mask, std::size_t position)
    : std::runtime_error(InvalidMaskMessage(mask, position)), mask_(mask), position_(position) {}

TMask::TMask(const std::string& maskText) {
    const std::string mask(maskText.c_str());  // up to the first NUL
    const std::size_t n = mask.size();
    bool star = false;
    int starred = 0;

    // Adds a step; `at` is the 1-based position reported when it would be one starred step too many.
    auto add = [&](MaskStep step, std::size_t at) {
        step.AfterStar = star;
        if (star && ++starred > kMaxStarredSteps) throw EMaskException(mask, at);
        star = false;
        steps_.push_back(step);
    };

    std::size_t pos = 0;
    while (pos < n) {
        const char c = mask[pos];
        if (c == '*') {
            star = true;
            ++pos;
        } else if (c == '?') {
            if (!star) {
                MaskStep step;
                step.Kind = mskAnyChar;
                add(step, pos + 1);
            }
            ++pos;
        } else if (c == '[') {
            MaskStep step;
            step.Kind = mskSet;
            ++pos;
            if (pos < n && mask[pos] == '!') {
                step.Negated = true;
                ++pos;
            }
            bool havePrevious = false;
            unsigned char previous = 0;
            bool closed = false;
            while (pos < n) {
                const unsigned char m = static_cast<unsigned char>(mask[pos]);
                if (m == ']') {
                    if (step.Chars.none()) throw EMaskException(mask, pos + 1);
                    closed = true;
                    break;
                }
                if (m == '-') {
                    if (!havePrevious) throw EMaskException(mask, pos + 1);
                    ++pos;  // the range end, whatever it is, is consumed
                    if (pos >= n) break;
                    const unsigned last = UpperAsciiChar(static_cast<unsigned char>(mask[pos]));
                    for (unsigned ch = previous; ch <= last; ++ch) step.Chars.set(ch);
                } else {
                    previous = UpperAsciiChar(m);
                    havePrevious = true;
                    step.Chars.set(previous);
                }
                ++pos;
            }
            if (!closed) throw EMaskException(mask, n + 1);
            add(step, pos + 1);  // pos is at the "]"
            ++pos;
        } else {
            MaskStep step;
            step.Kind = mskLiteral;
            step.Literal = UpperAsciiChar(static_cast<unsigned char>(c));
            add(step, pos + 1);
            ++pos;
        }
    }
    MaskStep end;
    end.Kind = mskLiteral;
    end.Literal = 0;
    add(end, n + 1);
}

bool TMask::Matches(const std::string& name) const { return Matches(name.c_str(), std::strlen(name.c_str())); }

// How it works: an attempt takes the steps in order from a (position, step) pair. A step that
// follows a "*" first skips the characters that cannot satisfy it and keeps the next position as
// the alternative to come back to, should the rest of the attempt fail. Every step consumes exactly
// one character, so the text between two stars is of fixed length; once an attempt has reached a
// later star, no other placement of an earlier star can succeed where the later star's own
// alternatives fail (they would only reach it further right). So reaching a star discards the
// alternatives of the stars before it, and at most one alternative is ever kept: the result is
// that of the full backtracking search, in time proportional to name length times step count.
bool TMask::Matches(const char* name, std::size_t length) const {
    const std::size_t last = steps_.size();
    std::size_t startPos = 0, startStep = 0;
    for (;;) {
        bool haveAlternative = false;
        std::size_t altPos = 0, altStep = 0;
        std::size_t p = startPos;
        bool ok = true;
        for (std::size_t k = startStep; k < last; ++k) {
            const MaskStep& step = steps_[k];
            if (step.AfterStar) {
                while (p < length && !Satisfies(step, static_cast<unsigned char>(name[p]))) ++p;
                haveAlternative = p < length;
                altPos = p + 1;
                altStep = k;
            }
            if (step.Kind == mskLiteral) {
                ok = step.Literal == 0 ? p == length
                                       : p < length && UpperAsciiChar(static_cast<unsigned char>(name[p])) == step.Literal;
            } else if (step.Kind == mskSet) {
                ok = p < length && Satisfies(step, static_cast<unsigned char>(name[p]));
            } else {
                ok = p < length;
            }
            if (!ok) break;
            ++p;
        }
        if (ok) return true;
        if (!haveAlternative) return false;
        startPos = altPos;
        startStep = altStep;
    }
}

TMaskList SplitMasks(const std::string& fileMask) {
    TMaskList masks;
    std::string item;
    auto finish = [&]() {
        // Trailing spaces (and control characters, which no file name holds) are dropped.
        while (!item.empty() && static_cast<unsigned char>(item.back()) <= ' ') item.pop_back();
        if (!item.empty()) masks.emplace_back(item);
        item.clear();
    };
    for (const char c : fileMask) {
        if (c == ' ') {
            if (!item.empty()) item += c;
        } else if (c == ',') {
            finish();
        } else {
            item += c;
        }
    }
    finish();
    return masks;
}

bool MatchesAny(const TMaskList& masks, const char* name, std::size_t length) {
    for (const TMultiMask& m : masks)
        if (m.Mask().Matches(name, length)) return true;
    return false;
}

bool MatchesAny(const TMaskList& masks, const std::string& name) {
    return MatchesAny(masks, name.c_str(), std::strlen(name.c_str()));
}

}  // namespace vsc
