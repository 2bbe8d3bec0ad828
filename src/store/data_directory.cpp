#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "core/whole_file.h"
#include "store/record_store.h"

namespace velmora {

namespace fs = std::filesystem;

fs::path dataDirectoryFor(const fs::path& programDirectory) {
    std::error_code ec;
    if (!programDirectory.empty() && fs::is_directory(programDirectory, ec) &&
        ::access(programDirectory.c_str(), W_OK) == 0)
        return programDirectory;
    fs::path base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr && *home != '\0' ? home : ".") / ".local" / "share";
    }
    fs::path dir = base / "velmora";
    makePrivateDirectory(dir);
    return dir;
}

fs::path passedOverDatabase(const fs::path& programDirectory, const fs::path& dataDirectory) {
    std::error_code ec;
    if (programDirectory.empty() || fs::equivalent(programDirectory, dataDirectory, ec)) return {};
    const fs::path beside = programDirectory / kDatabaseFileName;
    return fs::exists(beside, ec) ? beside : fs::path();
}

fs::path defaultDataDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return dataDirectoryFor(ec ? fs::path() : exe.parent_path());
}

fs::path defaultDatabasePath() { return defaultDataDirectory() / kDatabaseFileName; }

}  // namespace velmora
