#include "core/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace velmora {

bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, Text& reason) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    std::error_code ec;
    {
        errno = 0;
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (out) out.close();
        if (!out) {
            reason = std::strerror(errno ? errno : EIO);
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        reason = ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace velmora
