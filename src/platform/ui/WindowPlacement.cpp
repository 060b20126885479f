#include "platform/ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

void WindowPlacement::centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
