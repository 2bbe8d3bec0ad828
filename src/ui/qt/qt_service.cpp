#include "ui/qt/qt_service.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace velmora {

ServiceAccess::MakeClient qtServiceClients() {
    return [](ServiceClient::ReplyNotice notice) {
        // The application outlives every client; the task itself checks
        // that its client still lives.
        auto post = [](ServiceClient::Task task) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
        };
        return std::make_unique<ServiceClient>(ServiceSettings::fromEnvironment(), post, std::move(notice));
    };
}

}  // namespace velmora
