#pragma once
// The named steps of a reminder job, their weights (the exchanges each
// step makes on a memory map), and the tracker that a link reports its
// exchanges to: it turns them into a percentage of the whole job and says
// when the job was cancelled (checked before each step and each exchange).
#include <atomic>
#include <cstddef>
#include <functional>
#include <span>

#include "device/reminder_protocol.h"

namespace velmora {

// The step of a reminder operation that failed; None when none did.
enum class LinkStep {
    None,
    NotConnected,
    Identify,
    ReadTable,
    ReadLog,
    ClearTable,
    ClearLog,
    WriteTable,
    WriteSettings,  // clock and medication window
    Verify,         // the table area read back and compared with the image written
};

// The steps of each job, in the order they run.
inline constexpr LinkStep kReadSteps[] = {LinkStep::Identify, LinkStep::ReadTable, LinkStep::ReadLog};
inline constexpr LinkStep kPassSteps[] = {LinkStep::ClearTable, LinkStep::ClearLog, LinkStep::WriteSettings,
                                          LinkStep::WriteTable, LinkStep::Verify};
inline constexpr LinkStep kEmptySteps[] = {LinkStep::ClearTable, LinkStep::ClearLog};
inline constexpr LinkStep kIdentifySteps[] = {LinkStep::Identify};

// The exchanges `step` makes with a reminder of `map` (one that knows its
// medication window; a pass's start command counts with clearing the
// table, its finish command with verifying it).
std::size_t stepWeight(LinkStep step, const MemoryMap& map);

class LinkProgress {
public:
    // Called on the thread that runs the job, at most once per percent.
    using Report = std::function<void(LinkStep step, int percent)>;

    LinkProgress(std::span<const LinkStep> plan, Report report, const std::atomic<bool>& cancel)
        : plan_(plan), report_(std::move(report)), cancel_(cancel) {}

    // `step` begins on a reminder of `map` (known only after identifying);
    // false when the job was cancelled.
    bool begin(LinkStep step, const MemoryMap& map);
    // One exchange is about to be made; false when the job was cancelled.
    bool exchange();
    bool cancelled() const { return cancel_.load(std::memory_order_relaxed); }

private:
    void report();

    std::span<const LinkStep> plan_;
    Report report_;
    const std::atomic<bool>& cancel_;
    LinkStep step_ = LinkStep::None;
    LinkStep reported_step_ = LinkStep::None;
    std::size_t before_ = 0;  // weight of the steps before the current one
    std::size_t total_ = 1;
    std::size_t done_ = 0;    // exchanges within the current step
    int last_percent_ = -1;
};

}  // namespace velmora
