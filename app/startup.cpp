#include "startup.h"

#include <cstdlib>
#include <cstring>

#include "resources/string_ids.h"

namespace velmora {

bool displayLikelyAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0 &&
        std::strncmp(platform, "wayland", 7) != 0)
        return true;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

std::string noDisplayMessage(const StringSource& strings, const std::string& program) {
    std::string text = strings.load(ids::kNoDisplay);
    if (text.empty()) {
        text = "No display found (DISPLAY and WAYLAND_DISPLAY are not set); run: xvfb-run %s "
               "or QT_QPA_PLATFORM=offscreen %s";
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "%s") == 0) {
            out += program;
            ++i;
        } else if (text[i] != '\n') {
            out += text[i];
        } else {
            out += ' ';
        }
    }
    return out;
}

MainWindow::MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory)
    : store(dataDirectory / kDatabaseFileName),
      host(resources),
      logic(store, dataDirectory, resources, host, clock),
      window(std::make_unique<MainDlg>(logic, resources)) {
    host.setParentWindow(window.get());
}

MainWindow::~MainWindow() {
    host.setParentWindow(nullptr);
    window.reset();
}

}  // namespace velmora
