// Stored scrambled fields and Base64 text with anything in them, and the
// round trips that stored data relies on.
#include "core/cp1252.h"
#include "fuzz_check.h"
#include "store/credentials.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = velmora::fuzz::bytes(data, size);
    velmora::FieldCipher::decipher(input);
    const std::string decoded = velmora::base64Decode(input);
    VELMORA_FUZZ_CHECK(decoded.size() <= input.size() * 3 / 4 + 1);
    VELMORA_FUZZ_CHECK(velmora::base64Decode(velmora::base64Encode(input)) == input);
    VELMORA_FUZZ_CHECK(velmora::fieldXor(velmora::fieldXor(input)) == input);
    const velmora::Text text = velmora::fromCp1252(input);
    VELMORA_FUZZ_CHECK(velmora::FieldCipher::decipher(velmora::FieldCipher::encipher(text)) == text);
    return 0;
}
