#pragma once
// The program's configuration file: key=value lines, "#" starts a comment,
// spaces around key and value do not count, the last line of a key wins.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/types.h"

namespace velmora {

// velmora/velmora.conf under `configHome` ($XDG_CONFIG_HOME) when it is an
// absolute path, else under `home`/.config; empty when `home` is empty too.
std::filesystem::path configFileFor(std::string_view configHome, std::string_view home);

// The value of `key`; nullopt when the file or the key is missing. Reads
// at most the first 64 KiB of the file.
std::optional<std::string> readConfigValue(const std::filesystem::path& file, std::string_view key);

// Sets `key` to `value`, every other line as it was (the file and its
// folder are made when missing); the file is replaced whole or not at
// all. False with the reason when it cannot be read whole or written.
bool writeConfigValue(const std::filesystem::path& file, std::string_view key, std::string_view value,
                      Text& reason);

}  // namespace velmora
