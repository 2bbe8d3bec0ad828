// A reply of the web service: "code[|payload]" with anything in it, read
// in every reply state.
#include "fuzz_check.h"
#include "online/service_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr int kStates[] = {1, 0, velmora::kResultTransferFailed};
    const int state = kStates[data[0] % 3];
    velmora::Text payload = "untouched";
    const int code = velmora::readReply(state, velmora::fuzz::bytes(data + 1, size - 1), payload);
    if (state != 1) VELMORA_FUZZ_CHECK(code == state && payload == "untouched");
    if (state == 1 && code != velmora::kResultOk) VELMORA_FUZZ_CHECK(payload.empty());
    return 0;
}
