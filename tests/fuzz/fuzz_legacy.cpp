// A legacy user or settings file: the container check, and the body's
// sections and lines (also without a valid digest, so that the fuzzer
// reaches the line checks directly).
#include "core/cp1252.h"
#include "fuzz_check.h"
#include "store/legacy_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = velmora::fuzz::bytes(data, size);
    if (auto body = velmora::readContainer(file)) velmora::parseLegacyBody(*body);
    velmora::parseLegacyBody(velmora::fromCp1252(file));
    return 0;
}
