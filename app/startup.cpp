#include "startup.h"

#include <QMetaObject>

namespace velmora {

MainWindow::MainWindow(const ResourceModule& resources, const std::filesystem::path& dataDirectory,
                       const Clock* fixedClock)
    : store(dataDirectory / kDatabaseFileName),
      host(resources, DesktopPrograms::fromEnvironment()),
      logic(store, dataDirectory, resources, host, fixedClock ? *fixedClock : clock) {
    logic.setFlows(&flows);
    window = std::make_unique<MainDlg>(logic, resources);
    host.setParentWindow(window.get());
    QObject* context = window.get();
    flows.useReminder(usb, clock, [this, context] {
        return usb.startWatch([this, context](ReminderEvent e) {
            // On the transport's thread: hand the event over, nothing else.
            QMetaObject::invokeMethod(
                context, [this, e] { flows.deviceEvent(logic, e == ReminderEvent::Arrived); },
                Qt::QueuedConnection);
        });
    }, &reminderRunner);
    host.setModalsClosedListener([this] { flows.modalsClosed(logic); });
    // A finished service request is handed to the event loop.
    ServiceAccess service;
    service.post = postToEventLoop(context);
    flows.useAccount({std::move(service), dataDirectory});
}

MainWindow::~MainWindow() {
    usb.stopWatch();  // no event arrives for a window that is going
    host.setModalsClosedListener(nullptr);
    flows.endServiceRequests();  // no service notice for a window that is going
    host.setParentWindow(nullptr);
    window.reset();
    logic.setFlows(nullptr);
}

}  // namespace velmora
