// The backup reader's fuzz target. Built by scripts/fuzz-backup: with -DVSC_LIBFUZZER as a
// libFuzzer target, otherwise as a loop over the tests' input generator:
//   backup_fuzz run SECONDS SEED     generated inputs for that long
//   backup_fuzz seeds DIR COUNT      writes COUNT generated inputs into DIR (a corpus to start from)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "BackupFuzz.h"

#ifdef VSC_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vsc::fuzz::CheckReader(data, size);
    return 0;
}
#else
int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "run";
    if (mode == "seeds" && argc > 3) {
        std::mt19937 rng(1);
        for (int i = 0; i < std::stoi(argv[3]); ++i) {
            std::ofstream(std::string(argv[2]) + "/seed" + std::to_string(i), std::ios::binary) << vsc::fuzz::MakeInput(rng);
        }
        return 0;
    }
    const int seconds = argc > 2 ? std::stoi(argv[2]) : 60;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::stoul(argv[3])) : 1u;
    std::mt19937 rng(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    unsigned long long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 1000; ++i, ++runs) {
            const std::string input = i % 4 == 3 ? vsc::fuzz::RandomBytes(rng, 400) : vsc::fuzz::MakeInput(rng);
            vsc::fuzz::CheckReader(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        }
    }
    std::printf("backup reader: %llu generated inputs (seed %u), no failure\n", runs, seed);
    return 0;
}
#endif
