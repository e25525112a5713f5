// The menus on the screen, for tests of what opens a context menu: ours ("Was ist das?") or a
// control's own.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QWidget>

#include <vector>

namespace velmoran::testing {

// The menus shown now.
inline std::vector<QMenu*> MenusShown()
{
    std::vector<QMenu*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
            shown.push_back(menu);
    return shown;
}

// Closes every menu shown, so that the next case starts with none.
inline void CloseMenus()
{
    for (QMenu* menu : MenusShown())
        menu->close();
    QApplication::processEvents();
}

}  // namespace velmoran::testing
