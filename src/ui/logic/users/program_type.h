#pragma once
// How a user's reminder alarms, as Profile::program_type stores it, and the
// medication window of a user who has not chosen one.

namespace velmora {

// The stored values of Profile::program_type.
enum class ProgramType { Intake = 0, Forgotten = 1 };

inline constexpr int kDefaultWindowSeconds = 600;

inline ProgramType programTypeOf(int stored) {
    return stored == static_cast<int>(ProgramType::Intake) ? ProgramType::Intake : ProgramType::Forgotten;
}

}  // namespace velmora
