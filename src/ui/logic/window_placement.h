#pragma once
// Where the main window was and how large, kept in the program's
// configuration file (configFilePath(), shared with other settings) as one
// key: main_window=x,y,width,height,maximized. Other keys and comments of
// the file are left as they are.
#include <filesystem>
#include <optional>

namespace velmora {

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

inline constexpr const char* kWindowPlacementKey = "main_window";

// The stored placement; nullopt when the file or the key is missing or the
// value is not five numbers of a sensible window.
std::optional<WindowPlacement> readWindowPlacement(const std::filesystem::path& file);
// Stores the placement, replacing the key and keeping every other line;
// creates the folder. False when the file could not be written, or is too
// large to be one of ours (it is then left alone).
bool saveWindowPlacement(const std::filesystem::path& file, const WindowPlacement& placement);

}  // namespace velmora
