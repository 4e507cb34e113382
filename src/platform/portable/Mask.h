// Wildcard masks for file names, as the folder search uses them. Portable (no windows.h).
//
// Mask syntax: "*" any run of characters (also none), "?" exactly one character, "[set]" one
// character of the set (ranges "a-z", a leading "!" negates it), anything else itself. Letters
// compare without regard to ASCII case. A name matches only when the whole name is consumed.
#pragma once

#include <bitset>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/portable/Text.h"

namespace vsc {

// Raised for a mask that cannot be compiled: "'<mask>' is an invalid mask at (<position>)".
class EMaskException : public std::runtime_error {
public:
    EMaskException(const std::string& mask, std::size_t position);
    const std::string& Mask() const { return mask_; }
    std::size_t Position() const { return position_; }  // 1-based

private:
    std::string mask_;
    std::size_t position_;
};

enum MaskStepKind { mskLiteral, mskAnyChar, mskSet };

// One compiled step; each step consumes exactly one character of the name, except the last step
// of every mask, a literal holding the end-of-text marker (NUL), which matches only the end.
struct MaskStep {
    bool AfterStar = false;      // preceded by one or more "*"
    MaskStepKind Kind = mskLiteral;
    unsigned char Literal = 0;   // literal: the character, ASCII upper-cased
    bool Negated = false;        // set: written with a leading "!"
    std::bitset<256> Chars;      // set: its members, ASCII upper-cased
};

// One compiled mask. Compiled once; Matches may be called any number of times.
class TMask {
public:
    // At most this many steps may follow a "*".
    static constexpr int kMaxStarredSteps = 30;

    // Compiles the text (up to its first NUL, if any). Throws EMaskException when it is invalid.
    explicit TMask(const std::string& mask);

    // True when the whole name (up to its first NUL, if any) matches.
    bool Matches(const std::string& name) const;
    bool Matches(const char* name, std::size_t length) const;

    const std::vector<MaskStep>& Steps() const { return steps_; }
    std::size_t StepCount() const { return steps_.size(); }

private:
    std::vector<MaskStep> steps_;
};

// The holder of one compiled mask in the mask list of a search. Move-only: it owns its mask.
class TMultiMask {
public:
    explicit TMultiMask(const std::string& mask) : FMask(mask), text_(mask) {}
    const TMask& Mask() const { return FMask; }
    const std::string& Text() const { return text_; }

private:
    TMask FMask;
    std::string text_;
};

using TMaskList = std::vector<TMultiMask>;

// Splits a comma-separated mask list and compiles each item, in the order of the text. Leading and
// trailing spaces of an item are dropped; empty items are skipped. Throws EMaskException for the
// first invalid item; nothing is returned then.
TMaskList SplitMasks(const std::string& fileMask);

// True when any mask of the list matches the name; an empty list matches nothing.
bool MatchesAny(const TMaskList& masks, const std::string& name);
bool MatchesAny(const TMaskList& masks, const char* name, std::size_t length);

}  // namespace vsc
