// A short fixed-seed fuzz run of the backup reader; scripts/fuzz-backup runs the long one.
#include <gtest/gtest.h>

#include "BackupFuzz.h"

TEST(BackupFuzz, ReaderKeepsItsPromisesOnGeneratedFiles) {
    std::mt19937 rng(20240307u);
    for (int i = 0; i < 3000; ++i) {
        const std::string input = i % 4 == 3 ? vsc::fuzz::RandomBytes(rng, 200) : vsc::fuzz::MakeInput(rng);
        vsc::fuzz::CheckReader(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
}
