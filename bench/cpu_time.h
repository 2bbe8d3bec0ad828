#pragma once
// CPU time of the calling thread (CLOCK_THREAD_CPUTIME_ID) or of the whole
// process (CLOCK_PROCESS_CPUTIME_ID), in seconds.
#include <time.h>

namespace velmora::bench {

inline double cpuSeconds(clockid_t which) {
    timespec ts{};
    clock_gettime(which, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace velmora::bench
