#include "device/ms_os_descriptors.h"

#include <algorithm>
#include <cctype>

#include "device/reminder_protocol.h"

namespace velmora {

namespace {

// {D8DD60DF-4589-4CC7-9CD2-659D9E648A9F} as it travels.
constexpr std::uint8_t kMsOs20PlatformUuid[16] = {0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                                                  0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};
constexpr std::uint8_t kBosType = 0x0F;
constexpr std::uint8_t kDeviceCapabilityType = 0x10;
constexpr std::uint8_t kPlatformCapability = 0x05;
constexpr std::uint32_t kWindows81 = 0x06030000;
constexpr std::uint16_t kMsOs20RegistryProperty = 0x0004;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegMultiSz = 7;

// UTF-16LE text up to its end or the first NUL; characters outside ASCII
// become '?', which no GUID contains.
std::string ascii(const std::uint8_t* p, std::size_t bytes) {
    std::string s;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        const unsigned c = getU16(p + i);
        if (c == 0) break;
        s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return s;
}

// The strings of a REG_SZ or REG_MULTI_SZ value, at most kMaxGuids in all.
void addStrings(const std::uint8_t* p, std::size_t bytes, std::vector<std::string>& out) {
    for (std::size_t i = 0; i + 1 < bytes && out.size() < kMaxGuids;) {
        std::size_t end = i;
        while (end + 1 < bytes && getU16(p + end) != 0) end += 2;
        if (end > i) out.push_back(ascii(p + i, end - i));
        i = end + 2;
    }
}

// One registry property ending at `end`: its name of `nameLength` bytes at
// `nameAt`, then the value's length (`lengthWidth` bytes) and the value.
// Adds the value's strings when the property holds interface classes.
void addPropertyGuids(const std::uint8_t* b, std::size_t end, std::uint32_t type, std::size_t nameAt,
                      std::size_t nameLength, std::size_t lengthWidth, bool singularToo,
                      std::vector<std::string>& out) {
    const std::size_t data = nameAt + nameLength + lengthWidth;
    if (data > end || (type != kRegSz && type != kRegMultiSz)) return;
    const std::string name = ascii(b + nameAt, nameLength);
    if (name != "DeviceInterfaceGUIDs" && !(singularToo && name == "DeviceInterfaceGUID")) return;
    const std::size_t announced = lengthWidth == 2 ? getU16(b + data - 2) : getU32(b + data - 4);
    addStrings(b + data, std::min(announced, end - data), out);
}

}  // namespace

std::optional<MsOs20Request> parseBosMsOs20(const std::uint8_t* b, std::size_t length) {
    if (length < 5 || b[0] < 5 || b[1] != kBosType) return std::nullopt;
    const std::size_t total = std::min<std::size_t>(getU16(b + 2), length);
    for (std::size_t o = b[0]; o + 3 <= total;) {
        const std::size_t len = b[o];
        if (len < 3 || o + len > total) break;
        // Platform capability: 4 bytes of header, the UUID, then one or more
        // 8-byte descriptor set information blocks.
        if (b[o + 1] == kDeviceCapabilityType && b[o + 2] == kPlatformCapability && len >= 20 &&
            std::equal(kMsOs20PlatformUuid, kMsOs20PlatformUuid + 16, b + o + 4)) {
            for (std::size_t s = o + 20; s + 8 <= o + len; s += 8) {
                const std::uint16_t setLength = getU16(b + s + 4);
                if (getU32(b + s) >= kWindows81 && setLength > 0 &&
                    setLength <= kMaxMsOsDescriptorBytes)
                    return MsOs20Request{b[s + 6], setLength};
            }
        }
        o += len;
    }
    return std::nullopt;
}

std::vector<std::string> parseMsOs20DescriptorSet(const std::uint8_t* b, std::size_t length) {
    // Headers and features alike start with wLength and wDescriptorType;
    // a header's wLength is its own size, so one flat walk visits them all.
    std::vector<std::string> guids;
    for (std::size_t o = 0; o + 4 <= length;) {
        const std::size_t len = getU16(b + o);
        if (len < 4 || o + len > length) break;
        // wPropertyDataType, wPropertyNameLength, the name, wPropertyDataLength, the data.
        if (getU16(b + o + 2) == kMsOs20RegistryProperty && len >= 10)
            addPropertyGuids(b, o + len, getU16(b + o + 4), o + 8, getU16(b + o + 6), 2, false, guids);
        o += len;
    }
    return guids;
}

std::optional<std::uint8_t> parseMsOs10String(const std::uint8_t* b, std::size_t length) {
    if (length < kMsOs10StringLength || b[0] < kMsOs10StringLength || b[1] != 0x03) return std::nullopt;
    if (ascii(b + 2, 14) != "MSFT100") return std::nullopt;
    return b[16];
}

std::optional<std::uint32_t> parseMsOs10PropertiesLength(const std::uint8_t* b, std::size_t length) {
    if (length < kMsOs10PropertiesHeaderLength || getU16(b + 6) != kMsOs10ExtendedProperties)
        return std::nullopt;
    return getU32(b);
}

std::vector<std::string> parseMsOs10Properties(const std::uint8_t* b, std::size_t length) {
    std::vector<std::string> guids;
    const auto announced = parseMsOs10PropertiesLength(b, length);
    if (!announced) return guids;
    const std::size_t total = std::min<std::size_t>(*announced, length);
    const std::size_t count = getU16(b + 8);
    std::size_t o = kMsOs10PropertiesHeaderLength;
    // Each section: dwSize, dwPropertyDataType, wPropertyNameLength, the
    // name, dwPropertyDataLength, the data.
    for (std::size_t i = 0; i < count && o + 14 <= total; ++i) {
        const std::size_t size = getU32(b + o);
        if (size < 14 || size > total - o) break;
        addPropertyGuids(b, o + size, getU32(b + o + 4), o + 10, getU16(b + o + 8), 4, true, guids);
        o += size;
    }
    return guids;
}

bool namesReminderInterface(const std::vector<std::string>& guids) {
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    };
    return std::any_of(guids.begin(), guids.end(), [&](const std::string& g) {
        return std::equal(g.begin(), g.end(), kReminderInterfaceGuid.begin(), kReminderInterfaceGuid.end(),
                          same);
    });
}

}  // namespace velmora
