#include "ui/qt/resource_menu.h"

#include <QMenu>

#include "ui/qt/qt_host.h"

namespace velmora {

void addMenuItems(QMenu* into, const std::vector<MenuItem>& items,
                  const std::function<void(QAction*, int)>& bind) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
            case MenuItem::Kind::Separator: into->addSeparator(); break;
            case MenuItem::Kind::Popup: addMenuItems(into->addMenu(toQ(item.text)), item.children, bind); break;
            case MenuItem::Kind::Command: bind(into->addAction(toQ(item.text)), item.id); break;
        }
    }
}

}  // namespace velmora
