#include "device/link_progress.h"

#include <algorithm>

namespace velmora {

std::size_t stepWeight(LinkStep step, const MemoryMap& map) {
    switch (step) {
        case LinkStep::Identify: return 4;  // block 0, identity, battery, window
        case LinkStep::ReadTable:
        case LinkStep::WriteTable: return map.tableBlocks();
        case LinkStep::Verify: return map.tableBlocks() + 1;  // then 0x92
        case LinkStep::ReadLog:
        case LinkStep::ClearLog: return map.logBlocks();
        case LinkStep::ClearTable: return map.tableBlocks() + 2;  // 0x98, 0x94
        case LinkStep::WriteSettings: return 1;
        case LinkStep::None:
        case LinkStep::NotConnected: break;
    }
    return 0;
}

bool LinkProgress::begin(LinkStep step, const MemoryMap& map) {
    step_ = step;
    done_ = 0;
    before_ = 0;
    total_ = 0;
    bool seen = false;
    for (LinkStep s : plan_) {
        seen = seen || s == step;
        if (!seen) before_ += stepWeight(s, map);
        total_ += stepWeight(s, map);
    }
    total_ = std::max<std::size_t>(total_, 1);
    report();
    return !cancelled();
}

bool LinkProgress::exchange() {
    if (cancelled()) return false;
    ++done_;
    report();
    return !cancelled();
}

void LinkProgress::report() {
    const std::size_t done = std::min(before_ + done_, total_);
    const int percent = static_cast<int>(done * 100 / total_);
    if ((percent == last_percent_ && step_ == reported_step_) || !report_) return;
    last_percent_ = percent;
    reported_step_ = step_;
    report_(step_, percent);
}

}  // namespace velmora
