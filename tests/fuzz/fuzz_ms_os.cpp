// Microsoft OS descriptors as a device may return them: the first byte
// chooses the parser (BOS, OS 2.0 descriptor set, OS 1.0 string, OS 1.0
// properties header, OS 1.0 properties), the rest is the descriptor. No
// parser reads outside the bytes or keeps more than its bounds allow.
#include "device/ms_os_descriptors.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t* bytes = data + 1;
    const std::size_t length = size - 1;
    std::vector<std::string> guids;
    switch (data[0] % 5) {
        case 0:
            if (const auto request = velmora::parseBosMsOs20(bytes, length))
                VELMORA_FUZZ_CHECK(request->length <= velmora::kMaxMsOsDescriptorBytes);
            return 0;
        case 1: guids = velmora::parseMsOs20DescriptorSet(bytes, length); break;
        case 2: velmora::parseMsOs10String(bytes, length); return 0;
        case 3: velmora::parseMsOs10PropertiesLength(bytes, length); return 0;
        default: guids = velmora::parseMsOs10Properties(bytes, length); break;
    }
    VELMORA_FUZZ_CHECK(guids.size() <= velmora::kMaxGuids);
    std::size_t total = 0;
    for (const std::string& g : guids) total += g.size();
    VELMORA_FUZZ_CHECK(total <= 3 * length);  // no text made up beyond the input
    velmora::namesReminderInterface(guids);
    return 0;
}
