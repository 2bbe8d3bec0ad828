#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace velmora {

bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, Text& reason) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    std::error_code ec;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    // A temporary file left by an earlier attempt keeps its rights: narrow them.
    bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    const int error = errno;
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok) {
        reason = std::strerror(error != 0 ? error : EIO);
        std::filesystem::remove(temp, ec);
        return false;
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        reason = ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool makePrivateDirectory(const std::filesystem::path& directory) {
    std::error_code ec;
    if (std::filesystem::is_directory(directory, ec)) return true;
    std::filesystem::create_directories(directory.parent_path(), ec);
    return ::mkdir(directory.c_str(), 0700) == 0 || std::filesystem::is_directory(directory, ec);
}

bool keepToOwner(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return errno == ENOENT;
    if ((st.st_mode & 077) == 0) return true;
    return ::chmod(file.c_str(), st.st_mode & 0700) == 0;
}

}  // namespace velmora
