#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "store/record_store.h"

namespace velmora {

std::filesystem::path defaultDataDirectory() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        fs::path dir = exe.parent_path();
        if (!dir.empty() && ::access(dir.c_str(), W_OK) == 0) return dir;
    }
    fs::path base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr && *home != '\0' ? home : ".") / ".local" / "share";
    }
    fs::path dir = base / "velmora";
    fs::create_directories(dir, ec);
    return dir;
}

std::filesystem::path defaultDatabasePath() { return defaultDataDirectory() / kDatabaseFileName; }

}  // namespace velmora
