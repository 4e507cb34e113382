// A short fixed-seed run of the mask fuzz target (scripts/fuzz-mask runs it for longer under
// libFuzzer). Inputs are drawn mostly from the characters that mean something in a mask, so that
// sets, ranges, stars and their limits come up often.
#include <gtest/gtest.h>

#include <random>

#include "MaskFuzzTarget.inl"

TEST(MaskFuzz, FixedSeedRun) {
    std::mt19937 rng(20261208);
    const char alphabet[] = "*?[]!-abcAB.xX*?[]-!z\x7f\xe9";
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    std::vector<std::uint8_t> input;
    for (int run = 0; run < 60000; ++run) {
        input.clear();
        const int n = length(rng) + (run % 97 == 0 ? 120 : 0);
        input.push_back(static_cast<std::uint8_t>(anyByte(rng)));
        for (int i = 0; i < n; ++i)
            input.push_back(static_cast<std::uint8_t>(run % 5 == 0 ? anyByte(rng) : alphabet[pick(rng)]));
        vsc::fuzz::MaskFuzzOne(input.data(), input.size());
    }
    // Long starred masks near the limit, against names that nearly match.
    for (int stars = 28; stars <= 32; ++stars) {
        std::string s(1, '\0');
        for (int i = 0; i < stars; ++i) s += "*a";
        s[0] = static_cast<char>(s.size() - 1);
        s += std::string(200, 'a');
        vsc::fuzz::MaskFuzzOne(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }
}
