// Windows-1252 and UTF-8/UTF-16 conversions of arbitrary bytes: every
// Windows-1252 byte string survives the trip through UTF-8 and UTF-16,
// and malformed UTF-8 never breaks a conversion.
#include "core/cp1252.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = velmora::fuzz::bytes(data, size);
    const velmora::Text utf8 = velmora::fromCp1252(input);
    VELMORA_FUZZ_CHECK(velmora::toCp1252(utf8) == input);
    VELMORA_FUZZ_CHECK(velmora::toCp1252(velmora::cp1252ToUtf16(input)) == input);
    VELMORA_FUZZ_CHECK(velmora::utf8ToUtf16(utf8) == velmora::cp1252ToUtf16(input));
    VELMORA_FUZZ_CHECK(velmora::toCp1252(input).size() <= input.size());
    velmora::utf16ToUtf8(velmora::utf8ToUtf16(input));
    return 0;
}
