#include "platform/ui/DesktopLauncher.h"

#include <QDesktopServices>

DesktopLauncher::~DesktopLauncher() = default;

bool QtDesktopLauncher::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
