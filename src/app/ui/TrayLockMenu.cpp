#include "app/ui/TrayLockMenu.h"

#include <QAction>
#include <QMenu>

namespace TrayLockMenu {

void showLocked(QMenu& menu, const QAction& unlock, bool locked)
{
    for (QAction* item : menu.actions())
        item->setVisible((item == &unlock) == locked);
}

} // namespace TrayLockMenu
