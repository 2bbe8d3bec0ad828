// Pouch data text as the service delivers it (Windows-1252 bytes): the
// sections, the period and every dose's date and time.
#include "core/cp1252.h"
#include "fuzz_check.h"
#include "online/pouch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const velmora::PouchData pouch = velmora::ParsePouchData(velmora::fromCp1252(velmora::fuzz::bytes(data, size)));
    if (auto period = velmora::ParsePeriod(pouch.startDate, pouch.endDate))
        VELMORA_FUZZ_CHECK(period->first.wYear >= 2011 && period->second.wYear <= 2037);
    for (const velmora::PouchDose& dose : pouch.doses) {
        if (auto at = velmora::ParseDoseTime(dose.time, dose.date))
            VELMORA_FUZZ_CHECK(at->wHour < 24 && at->wMinute < 60 && at->wMonth >= 1 && at->wMonth <= 12);
    }
    return 0;
}
