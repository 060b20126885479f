#pragma once

#include "platform/ui/DesktopLauncher.h"

#include <QList>

// Records the addresses it is asked to open and answers with a settable result.
class RecordingDesktopLauncher final : public DesktopLauncher {
public:
    bool result = true;
    QList<QUrl> openedUrls;

    bool openUrl(const QUrl& url) override;
};
