// The fuzz target of the mask compiler and matcher, shared by the short fixed-seed run in the
// portable tests and by the libFuzzer build of scripts/fuzz-mask. Included, not compiled alone.
//
// Input: the first byte gives the mask length (modulo the bytes left), the mask follows, the rest
// is the name. Checks that compiling either succeeds with a well-formed step list or raises the
// invalid-mask error at a position inside the text (or just after it), and that matching agrees
// with two references: a table over (step, position), and, for short names, the plain
// backtracking search with its stack of thirty pairs, which must never overflow.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/portable/Mask.h"

namespace vsc::fuzz {

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "mask fuzz check failed: %s\n", what);
        std::abort();
    }
}

inline bool StepTest(const MaskStep& s, std::size_t p, const std::string& name) {
    if (s.Kind == mskLiteral && s.Literal == 0) return p == name.size();
    if (p >= name.size()) return false;
    const unsigned char u = UpperAsciiChar(static_cast<unsigned char>(name[p]));
    if (s.Kind == mskLiteral) return u == s.Literal;
    if (s.Kind == mskSet) return s.Chars.test(u) != s.Negated;
    return true;
}

// ok[k][p]: steps k.. match the name from p on.
inline bool TableMatch(const std::vector<MaskStep>& steps, const std::string& name) {
    const std::size_t n = name.size(), m = steps.size();
    std::vector<std::vector<char>> ok(m + 1, std::vector<char>(n + 2, 0));
    for (std::size_t k = m; k-- > 0;) {
        for (std::size_t p = n + 1; p-- > 0;) {
            const MaskStep& s = steps[k];
            const bool last = k + 1 == m;
            bool here = StepTest(s, p, name) && (last || ok[k + 1][p + 1]);
            if (!here && s.AfterStar && p < n) here = ok[k][p + 1];
            ok[k][p] = here;
        }
    }
    return m > 0 && ok[0][0];
}

// The backtracking search with a stack of at most thirty (position, step) pairs.
inline bool StackMatch(const std::vector<MaskStep>& steps, const std::string& name) {
    struct Pair { std::size_t p, i; };
    Pair stack[TMask::kMaxStarredSteps];
    int top = 0;
    std::size_t p = 0, i = 0;
    for (;;) {
        bool ok = true;
        for (std::size_t k = i; k < steps.size(); ++k) {
            const MaskStep& s = steps[k];
            if (s.AfterStar) {
                while (p < name.size() && !StepTest(s, p, name)) ++p;
                if (p < name.size()) {
                    Check(top < TMask::kMaxStarredSteps, "backtracking stack overflow");
                    stack[top++] = {p + 1, k};
                }
            }
            if (!StepTest(s, p, name)) { ok = false; break; }
            ++p;
        }
        if (ok) return true;
        if (top == 0) return false;
        --top;
        p = stack[top].p;
        i = stack[top].i;
    }
}

inline int MaskFuzzOne(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t maskLength = data[0] % size;
    std::string mask(reinterpret_cast<const char*>(data + 1), maskLength);
    std::string name(reinterpret_cast<const char*>(data + 1 + maskLength), size - 1 - maskLength);
    mask = mask.c_str();  // both stop at a NUL, as texts from the system do
    name = name.c_str();
    if (name.size() > 300) name.resize(300);

    try {
        const TMask m(mask);
        const auto& steps = m.Steps();
        Check(!steps.empty(), "no steps");
        Check(steps.back().Kind == mskLiteral && steps.back().Literal == 0, "no end marker");
        int starred = 0;
        for (std::size_t k = 0; k < steps.size(); ++k) {
            if (steps[k].AfterStar) ++starred;
            Check(!(steps[k].Kind == mskAnyChar && steps[k].AfterStar), "starred any-character step");
            Check(k + 1 == steps.size() || steps[k].Kind != mskLiteral || steps[k].Literal != 0, "inner end marker");
            Check(steps[k].Kind != mskSet || steps[k].Chars.any(), "empty set");
        }
        Check(starred <= TMask::kMaxStarredSteps, "too many starred steps");
        const bool got = m.Matches(name);
        Check(got == TableMatch(steps, name), "matcher disagrees with the table");
        if (name.size() <= 14) Check(got == StackMatch(steps, name), "matcher disagrees with backtracking");
        Check(m.Matches(name + std::string("\0tail", 5)) == got, "text after a NUL counts");
    } catch (const EMaskException& e) {
        Check(e.Position() >= 1 && e.Position() <= mask.size() + 1, "error position outside the text");
        Check(std::string(e.what()) == "'" + mask + "' is an invalid mask at (" + std::to_string(e.Position()) + ")",
              "error message");
    }
    return 0;
}

}  // namespace vsc::fuzz
