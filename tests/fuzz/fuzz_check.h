#pragma once
// What every fuzz target shares: the entry point's signature and a check
// that stops the run at once (so libFuzzer keeps the input) when a
// property of the code under test does not hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#define VELMORA_FUZZ_CHECK(cond) \
    do {                         \
        if (!(cond)) std::abort(); \
    } while (0)

namespace velmora::fuzz {
inline std::string bytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
}  // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
