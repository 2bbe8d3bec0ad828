#pragma once
// The only way the program talks to the reminder: one request packet out on
// the bulk OUT pipe, one reply packet back on the bulk IN pipe.
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

// Result of opening the link or of one exchange. 0 is success.
enum TransportStatus : int {
    kTransportOk = 0,
    kTransportNoDeviceSet = -1,      // the list of present devices cannot be obtained
    kTransportNotFound = -2,         // no reminder, or it cannot be opened / claimed
    kTransportBadInterface = -3,     // the interface handle is unusable / speed query failed
    kTransportPipeQueryFailed = -4,  // interface settings or pipes cannot be queried
    kTransportWriteFailed = -5,      // no open link, or the request write failed
    kTransportReadFailed = -6,       // the reply read failed
    kTransportPolicyFailed = -7,     // the pipe timeout cannot be set
    kTransportTimeout = -8,          // the write or the read timed out
};

// Request and reply buffers are 64 bytes; a transfer moves packetSize()
// bytes, which never exceeds the buffer.
inline constexpr std::size_t kPacketBufferSize = 64;
// Packet size until the pipes have been discovered.
inline constexpr std::size_t kDefaultPacketSize = 48;
// Bound of every single write or read.
inline constexpr unsigned kTransferTimeoutMs = 3000;

using PacketBuffer = std::array<std::uint8_t, kPacketBufferSize>;

class UsbTransport {
public:
    virtual ~UsbTransport() = default;
    // Releases any earlier link, then finds and opens the reminder.
    // Returns 0, -1, -2, -3, -4 or -7.
    virtual TransportStatus open() = 0;
    // One exchange: writes packetSize() bytes of `request`, then reads up to
    // packetSize() bytes into `reply`; `received` is how many came. Returns
    // 0, -5, -6 or -8; only 0 means that `reply` holds a new reply.
    virtual TransportStatus transfer(const PacketBuffer& request, PacketBuffer& reply,
                                     std::size_t& received) = 0;
    // Bytes moved per transfer (48 until an IN pipe has reported its size).
    virtual std::size_t packetSize() const = 0;
    // True between a successful open() and the loss of the link.
    virtual bool isOpen() const = 0;
    // Drops the link (after removal); later transfers return -5.
    virtual void close() = 0;
};

}  // namespace velmora
