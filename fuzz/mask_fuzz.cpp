// libFuzzer entry for the mask compiler and matcher; built and run by scripts/fuzz-mask.
#include "../tests/diskclean/portable/MaskFuzzTarget.inl"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vsc::fuzz::MaskFuzzOne(data, size);
}
