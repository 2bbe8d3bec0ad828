// Run by velmora-reminder-sim in the test of the command: identifies the
// emulated reminder through the real libusb transport in a separate
// process and prints what it read; the test matches that line.
#include <cstdio>

#include "core/clock.h"
#include "device/alarm_table.h"
#include "device/libusb_transport.h"
#include "device/reminder_link.h"

int main() {
    using namespace velmora;
    LibusbTransport transport;
    SystemClock clock;
    AlarmTable readBack;
    ReminderLink link(transport, readBack, clock);
    if (const TransportStatus s = link.open(); s != kTransportOk || !link.readAll()) {
        std::fprintf(stderr, "open or read failed: %d\n", static_cast<int>(s));
        return 1;
    }
    std::printf("serial %u model %d version %s window %u\n", link.identity().serial,
                link.identity().model, link.identity().version.c_str(), link.reminderWindow());
    return 0;
}
