#include "app/ui/HelpLinks.h"

#include "app/ui/WebSite.h"
#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "platform/MessageService.h"
#include "platform/ui/DesktopLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

HelpLinks::HelpLinks(const ProgramPaths& paths, const CaptionTable& captions, MessageService& messages,
                     DesktopLauncher& launcher)
    : m_paths(paths)
    , m_captions(captions)
    , m_messages(messages)
    , m_launcher(launcher)
{
}

QString HelpLinks::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

void HelpLinks::openManual()
{
    const QString manual = m_paths.manualFile();
    if (!QFileInfo::exists(manual)) {
        m_messages.show(MessageService::Kind::Error, caption("ManualFileNotExists", "Manual.pdf not found"));
        return;
    }
    open(QUrl::fromLocalFile(manual), QDir::toNativeSeparators(manual), "MessageNoViewer",
         "No program on this computer is set up to show %1");
}

void HelpLinks::openWebSite()
{
    const QUrl address = WebSite::address();
    open(address, address.toString(), "MessageNoBrowser", "No web browser on this computer is set up to open %1");
}

void HelpLinks::open(const QUrl& url, const QString& shown, const char* failureKey, const char* failure)
{
    if (!m_launcher.openUrl(url))
        m_messages.show(MessageService::Kind::Error, caption(failureKey, failure).arg(shown));
}
