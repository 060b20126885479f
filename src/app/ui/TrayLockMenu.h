#pragma once

class QAction;
class QMenu;

namespace TrayLockMenu {

// While the program is locked its tray menu offers unlock alone: the other
// items would show the windows or end the program without the password.
void showLocked(QMenu& menu, const QAction& unlock, bool locked);

} // namespace TrayLockMenu
