#pragma once
// Writing a file whole or not at all, and keeping the program's files to
// their owner: every file that holds personal data is readable by its
// owner only (0600) and a folder the program makes for them is 0700.
#include <filesystem>
#include <string_view>

#include "core/types.h"

namespace velmora {

// Writes `bytes` beside `file` and renames it into place, so that a failed
// write never leaves half a file; the file is readable by its owner only.
// False with the system's reason when it could not be written.
bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, Text& reason);

// Makes `directory` (its parents as usual) when missing, itself with
// rights for its owner only; true when it exists afterwards.
bool makePrivateDirectory(const std::filesystem::path& directory);

// Takes the rights of group and others from an existing `file`; true when
// it is missing or now its owner's only.
bool keepToOwner(const std::filesystem::path& file);

}  // namespace velmora
