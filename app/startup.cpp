#include "startup.h"

namespace velmora {

MainWindow::MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory,
                       const Clock* fixedClock)
    : store(dataDirectory / kDatabaseFileName),
      host(resources),
      logic(store, dataDirectory, resources, host, fixedClock ? *fixedClock : clock) {
    logic.setFlows(&flows);
    window = std::make_unique<MainDlg>(logic, resources);
    host.setParentWindow(window.get());
}

MainWindow::~MainWindow() {
    host.setParentWindow(nullptr);
    window.reset();
    logic.setFlows(nullptr);
}

}  // namespace velmora
