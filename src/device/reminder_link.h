#pragma once
// The connected-reminder state and every protocol operation on it. One
// instance, owned by the main window's reminder session; used by one
// thread at a time (the session hands it to a worker for each job).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/clock.h"
#include "core/instant_list.h"
#include "core/types.h"
#include "device/alarm_table.h"
#include "device/link_progress.h"
#include "device/reminder_protocol.h"
#include "device/usb_transport.h"

namespace velmora {

struct ReminderIdentity {
    std::uint32_t serial = 0;
    std::uint8_t model = 0;
    Text version;                 // UTF-8, converted from the reminder's 8-bit text
    bool window_support = false;  // firmware "1.1.0 RD" or "1.1.0"
};

class ReminderLink {
public:
    // `readBack` receives what readTableArea / readLogArea decode; `clock`
    // gives the present instant for the log decoding.
    ReminderLink(UsbTransport& transport, AlarmTable& readBack, const Clock& clock);

    // The programming table whose capacity follows the identified model.
    void setProgrammingTable(InstantList* table) { programming_table_ = table; }
    // The job's progress: told of every step and exchange; a cancelled job
    // makes no more exchanges (they fail). Null: none.
    void watch(LinkProgress* progress) { progress_ = progress; }
    // `step` begins; false when the job was cancelled.
    bool beginStep(LinkStep step) { return !progress_ || progress_->begin(step, map_); }

    // Opens the transport; connected becomes (result == 0).
    TransportStatus open();
    // After removal: drops the link, clears connected and the serial number.
    void disconnect();
    bool connected() const { return connected_; }

    bool readIdentity();
    bool readBlock(std::uint16_t address, std::uint8_t* data32);
    bool writeBlock(std::uint16_t address, const std::uint8_t* data32);
    bool readTableArea();
    bool readLogArea();
    // Identity, table area and log area; failedStep() says which failed.
    bool readAll();
    LinkStep failedStep() const { return failed_step_; }
    // After a failure: one identification, true when the reminder that was
    // identified still answers (false: it was pulled out or went silent).
    bool answers();
    bool clearTableArea();
    bool clearLogArea();
    // One 0x86 exchange; the result is not examined.
    void sendClock(std::uint32_t deviceTime, std::uint32_t windowSeconds);
    // Writes the table area image block by block from address 32; false
    // for an image that is not exactly the area's size.
    bool writeTableArea(const std::vector<std::uint8_t>& image);
    // Reads the table area back; true when it holds exactly `image`.
    bool verifyTableArea(const std::vector<std::uint8_t>& image);
    // One 4-byte command (0x92, 0x98, 0x9A ...); the result is not examined.
    void sendCommand(std::uint16_t command);

    const ReminderIdentity& identity() const { return identity_; }
    const MemoryMap& memoryMap() const { return map_; }
    std::uint16_t battery() const { return battery_; }
    std::uint32_t reminderWindow() const { return window_; }
    int unrecognisedModelCount() const { return unrecognised_models_; }
    // Status of the last exchange, and the number of exchanges so far.
    TransportStatus lastStatus() const { return last_status_; }
    std::size_t exchangeCount() const { return exchanges_; }

private:
    // One request/reply pair; true when the transfer returned 0 and the reply
    // carries at least `replyLength` bytes. A request or reply that the
    // packet size cannot carry fails with -4 before anything is sent.
    bool exchange(std::size_t replyLength);
    // Reads `blocks` consecutive blocks from `address` on into `buf`; false
    // at the first read that fails.
    bool readBlocks(std::uint32_t address, std::size_t blocks, std::vector<std::uint8_t>& buf);
    std::uint8_t replyStatus() const { return reply_[kReplyStatusOffset]; }

    UsbTransport& transport_;
    AlarmTable& read_back_;
    const Clock& clock_;
    InstantList* programming_table_ = nullptr;
    LinkProgress* progress_ = nullptr;

    PacketBuffer request_{};
    PacketBuffer reply_{};
    std::size_t received_ = 0;
    bool connected_ = false;
    ReminderIdentity identity_;
    MemoryMap map_ = *memoryMapForModel(1);
    std::uint16_t battery_ = 0;
    std::uint32_t window_ = 0;
    int unrecognised_models_ = 0;
    LinkStep failed_step_ = LinkStep::None;
    TransportStatus last_status_ = kTransportOk;
    std::size_t exchanges_ = 0;
};

}  // namespace velmora
