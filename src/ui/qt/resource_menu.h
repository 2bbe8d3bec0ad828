#pragma once
// Menus of the resource module as Qt menus: one filler for the menu bar
// and the popups, and the object names of their commands.
#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

#include "resources/resource_module.h"

class QAction;
class QMenu;

namespace velmora {

// Adds the items (commands, separators, popups) to a menu; `bind` is
// called for every command with its action and id.
void addMenuItems(QMenu* into, const std::vector<MenuItem>& items,
                  const std::function<void(QAction*, int)>& bind);

// The object name of a command's action by what it does ("editAlarm");
// "command<id>" for a command without one.
QString commandObjectName(int commandId);

// The key of a command, none for most.
QKeySequence commandShortcut(int commandId);

}  // namespace velmora
