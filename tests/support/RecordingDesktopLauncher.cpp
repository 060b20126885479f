#include "RecordingDesktopLauncher.h"

bool RecordingDesktopLauncher::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    return result;
}
