#pragma once
// The reminder's device interface class as the device itself reports it in
// Microsoft OS descriptors, so that a reminder with ids not in the settings
// is still found:
// - OS 2.0: a BOS platform capability names a vendor request that returns
//   the descriptor set; a registry property DeviceInterfaceGUIDs in the set
//   holds the class.
// - OS 1.0: string descriptor 0xEE names a vendor request; the extended
//   properties (index 5) hold DeviceInterfaceGUID or DeviceInterfaceGUIDs.
// The parsers take the bytes as read and trust none of their lengths.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::string_view kReminderInterfaceGuid = "{DE35A6E6-B843-4748-BBD4-997808317928}";

// Bounds of what is read from a device.
inline constexpr std::size_t kMaxBosBytes = 1024;
inline constexpr std::size_t kMaxMsOsDescriptorBytes = 4096;
inline constexpr std::size_t kMaxGuids = 16;

// The vendor request that returns the descriptor set.
struct MsOs20Request {
    std::uint8_t vendor_code = 0;
    std::uint16_t length = 0;  // of the descriptor set, at most kMaxMsOsDescriptorBytes
};
inline constexpr std::uint16_t kMsOs20DescriptorIndex = 7;       // wIndex of the request
inline constexpr std::uint16_t kMsOs10ExtendedProperties = 5;    // wIndex of the request
inline constexpr std::uint8_t kMsOs10StringIndex = 0xEE;
inline constexpr std::size_t kMsOs10StringLength = 18;
inline constexpr std::size_t kMsOs10PropertiesHeaderLength = 10;

// The OS 2.0 platform capability of a BOS descriptor (Windows 8.1 or later).
std::optional<MsOs20Request> parseBosMsOs20(const std::uint8_t* bytes, std::size_t length);
// The GUIDs of the DeviceInterfaceGUIDs properties of an OS 2.0 descriptor set.
std::vector<std::string> parseMsOs20DescriptorSet(const std::uint8_t* bytes, std::size_t length);
// The vendor code of an OS 1.0 string descriptor ("MSFT100").
std::optional<std::uint8_t> parseMsOs10String(const std::uint8_t* bytes, std::size_t length);
// The total length announced by an OS 1.0 extended properties header.
std::optional<std::uint32_t> parseMsOs10PropertiesLength(const std::uint8_t* bytes, std::size_t length);
// The GUIDs of the DeviceInterfaceGUID(s) properties of an OS 1.0 extended
// properties descriptor.
std::vector<std::string> parseMsOs10Properties(const std::uint8_t* bytes, std::size_t length);

// True when one of `guids` is the reminder's class (letter case ignored).
bool namesReminderInterface(const std::vector<std::string>& guids);

}  // namespace velmora
