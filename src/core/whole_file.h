#pragma once
// Writing a file whole or not at all.
#include <filesystem>
#include <string_view>

#include "core/types.h"

namespace velmora {

// Writes `bytes` beside `file` and renames it into place, so that a failed
// write never leaves half a file; false with the system's reason when it
// could not be written.
bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, Text& reason);

}  // namespace velmora
