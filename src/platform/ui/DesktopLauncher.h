#pragma once

#include <QUrl>

// Opens a document or web address with the desktop's default handler.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher();
    // False when no handler could be started.
    virtual bool openUrl(const QUrl& url) = 0;
};

class QtDesktopLauncher final : public DesktopLauncher {
public:
    bool openUrl(const QUrl& url) override;
};
